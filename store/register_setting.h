// Which register the programs open: the file on this computer (the default,
// needing nothing) or a register on a PostgreSQL server shared by several
// desks. The choice comes from the command line (--register URL), else the
// environment (ZELVARA_REGISTER), else the settings window's 「名簿の場所」
// ([register] in zelv.ini). A password is never written to zelv.ini: the
// server's password file (~/.pgpass) or a prompt gives it.
#pragma once

#include "common/pg_connection.h"
#include "store/settings_file.h"

#include <QList>
#include <QString>

#include <optional>

namespace zelvara {

inline const QString kRegisterEnvironmentVariable = QStringLiteral("ZELVARA_REGISTER");

// [register] in zelv.ini.
struct RegisterServerSettings {
    bool useServer = false;  // place=server; anything else is this computer
    QString host;
    int port = 5432;
    QString database = QStringLiteral("zelvara");
    QString user;
    QString sslMode = QStringLiteral("prefer");
};

RegisterServerSettings LoadRegisterServerSettings(const SettingsFile& settings);
// The lines the settings window writes.
QList<SettingsFile::Entry> RegisterServerEntries(const RegisterServerSettings& server);
PgConnection ServerConnectionOf(const RegisterServerSettings& server);

struct RegisterChoice {
    std::optional<PgConnection> server;  // nullopt: the register file on this computer
    QString from;                        // "--register", "ZELVARA_REGISTER" or "zelv.ini"
    QString error;                       // a given address that is not one: open nothing
};

// commandLineUri and environmentUri empty when not given; settings null when
// the settings file has no say (the command line).
RegisterChoice ChooseRegister(const QString& commandLineUri, const QString& environmentUri,
                              const RegisterServerSettings* settings);

}  // namespace zelvara
