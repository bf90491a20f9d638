// What the register tests share: a person appended and posted, another
// program's connection on the file, and a run of the real zelvara-cli
// register command on a program folder.
#pragma once

#include "register/person_table.h"

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTest>

namespace register_test {

// Appends and posts a person born 1959-05-07 05:00-07:00, male, with the
// main star of 命宮 when given.
inline void AddPerson(zelvara::PersonTable& t, const QString& name, const QString& lifeStar = {}) {
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

// Another connection on the file, as another program (or an older copy of
// this one that knows nothing of the lock) would have it.
class OtherProgram {
public:
    explicit OtherProgram(const QString& path) : name_(QStringLiteral("other-%1").arg(++serial_)) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name_);
        db.setDatabaseName(path);
        db.open();
    }
    ~OtherProgram() {
        QSqlDatabase::database(name_).close();
        QSqlDatabase::removeDatabase(name_);
    }
    bool Exec(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(name_));
        return q.exec(sql);
    }
    // The first value the query gives, "<none>" when none.
    QString Value(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(name_));
        return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }
    QString Name(qint64 rowId) {
        QSqlQuery q(QSqlDatabase::database(name_));
        q.exec(QStringLiteral("SELECT \"氏名\" FROM nam_data WHERE rowid = %1").arg(rowId));
        return q.next() ? q.value(0).toString() : QStringLiteral("<none>");
    }

private:
    static inline int serial_ = 0;
    QString name_;
};

#ifdef ZELVARA_CLI
struct Run {
    int code = -1;
    QString out, err;
};

// zelvara-cli register ARGS --home HOME; code −1 when it did not end normally.
inline Run Cli(const QString& home, QStringList args) {
    args << QStringLiteral("--home") << home;
    QProcess p;
    p.start(QStringLiteral(ZELVARA_CLI), QStringList{QStringLiteral("register")} + args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
#endif

}  // namespace register_test
