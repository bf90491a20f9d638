// What every register test shares, with Qt's test library or GoogleTest: a
// person's values, the names a register shows, a file's bytes, and a run of
// the real zelvara-cli on a program folder.
#pragma once

#include "register/person_table.h"

#include <QFile>
#include <QProcess>
#include <QStringList>

namespace register_test {

// A person born on the 7th of May of the year in the period 05:00-07:00,
// the palaces empty.
inline zelvara::PersonValues Person(const QString& name, const QString& year = QStringLiteral("1959"),
                                    const QString& sex = QStringLiteral("男")) {
    using namespace zelvara;
    PersonValues v;
    v[kFieldName] = name;
    v[kFieldYear] = year;
    v[kFieldMonth] = QStringLiteral("5");
    v[kFieldDay] = QStringLiteral("7");
    v[kFieldTime] = QStringLiteral("05:00-07:00");
    v[kFieldSex] = sex;
    return v;
}

// The names of the records in the register's view, in order.
inline QStringList Names(const zelvara::PersonTable& t) {
    QStringList names;
    for (int i = 0; i < t.RecordCount(); ++i) names << t.Record(i).values[zelvara::kFieldName];
    return names;
}

// A file's bytes, none when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

#ifdef ZELVARA_CLI
struct Run {
    int code = -1;
    QString out, err;
};

// zelvara-cli COMMAND ARGS --home HOME; code −1 when it did not end normally.
inline Run Cli(const QString& home, QStringList args, const QString& command = QStringLiteral("register")) {
    args << QStringLiteral("--home") << home;
    QProcess p;
    p.start(QStringLiteral(ZELVARA_CLI), QStringList{command} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
#endif

}  // namespace register_test
