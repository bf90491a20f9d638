#include "store/register_setting.h"

namespace zelvara {
namespace {

const QString kSection = QStringLiteral("register");
const QString kServerPlace = QStringLiteral("server");

}  // namespace

RegisterServerSettings LoadRegisterServerSettings(const SettingsFile& settings) {
    RegisterServerSettings s;
    auto read = [&](const char* key, const QString& fallback) {
        return settings.Read(kSection, QString::fromLatin1(key), fallback);
    };
    s.useServer = read("place", QStringLiteral("local")) == kServerPlace;
    s.host = read("host", s.host);
    bool ok = false;
    const int port = read("port", QString::number(s.port)).toInt(&ok);
    if (ok && port >= 1 && port <= 65535) s.port = port;
    s.database = read("database", s.database);
    s.user = read("user", s.user);
    s.sslMode = read("sslmode", s.sslMode);
    return s;
}

QList<SettingsFile::Entry> RegisterServerEntries(const RegisterServerSettings& server) {
    return {
        {kSection, QStringLiteral("place"), server.useServer ? kServerPlace : QStringLiteral("local")},
        {kSection, QStringLiteral("host"), server.host},
        {kSection, QStringLiteral("port"), QString::number(server.port)},
        {kSection, QStringLiteral("database"), server.database},
        {kSection, QStringLiteral("user"), server.user},
        {kSection, QStringLiteral("sslmode"), server.sslMode},
    };
}

PgConnection ServerConnectionOf(const RegisterServerSettings& server) {
    PgConnection c;
    c.host = server.host;
    c.port = server.port;
    c.database = server.database;
    c.user = server.user;
    if (!server.sslMode.isEmpty()) c.options.append({QStringLiteral("sslmode"), server.sslMode});
    return c;
}

RegisterChoice ChooseRegister(const QString& commandLineUri, const QString& environmentUri,
                              const RegisterServerSettings* settings) {
    RegisterChoice choice;
    auto fromUri = [&](const QString& uri, const QString& from) {
        choice.from = from;
        QString why;
        choice.server = ParsePgUri(uri, &why);
        if (!choice.server) choice.error = QStringLiteral("%1 の名簿の場所「%2」を使えません：%3").arg(from, uri, why);
        return choice;
    };
    if (!commandLineUri.isEmpty()) return fromUri(commandLineUri, QStringLiteral("--register"));
    if (!environmentUri.isEmpty()) return fromUri(environmentUri, kRegisterEnvironmentVariable);
    if (settings && settings->useServer) {
        choice.from = QStringLiteral("zelv.ini");
        choice.server = ServerConnectionOf(*settings);
    }
    return choice;
}

}  // namespace zelvara
