// What the register tests share: a person appended and posted, and a run of
// the real zelvara-cli register command on a program folder.
#pragma once

#include "person_table.h"

#include <QProcess>
#include <QStringList>
#include <QTest>

namespace register_test {

// Appends and posts a person born 1959-05-07 05:00-07:00, male, with the
// main star of 命宮 when given.
inline void AddPerson(zelvara::PersonTable& t, const QString& name, const QString& lifeStar = {})
{
    using namespace zelvara;
    QVERIFY(t.Append());
    t.SetValue(kFieldName, name);
    t.SetValue(kFieldYear, QStringLiteral("1959"));
    t.SetValue(kFieldMonth, QStringLiteral("5"));
    t.SetValue(kFieldDay, QStringLiteral("7"));
    t.SetValue(kFieldTime, QStringLiteral("05:00-07:00"));
    t.SetValue(kFieldSex, QStringLiteral("男"));
    t.SetValue(PalaceFieldIndex(2), lifeStar);
    QVERIFY(t.Post());
}

#ifdef ZELVARA_CLI
struct Run {
    int code = -1;
    QString out, err;
};

// zelvara-cli register ARGS --home HOME; code −1 when it did not end normally.
inline Run Cli(const QString& home, QStringList args)
{
    args << QStringLiteral("--home") << home;
    QProcess p;
    p.start(QStringLiteral(ZELVARA_CLI), QStringList{QStringLiteral("register")} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
#endif

}  // namespace register_test
