// What the register tests share: a person's values, appended and posted,
// a register with people in a folder of its own, the names a register
// shows, files read and written whole, another
// program's connection on the file, and a run of the real zelvara-cli on a
// program folder.
#pragma once

#include "register/person_table.h"
#include "tests/recording_sink.h"

#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

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

// Appends and posts the values.
inline void AddPerson(zelvara::PersonTable& t, const zelvara::PersonValues& values) {
    QVERIFY(t.Append());
    for (int i = 0; i < zelvara::kPersonFieldCount; ++i) t.SetValue(i, values[size_t(i)]);
    QVERIFY(t.Post());
}

// Appends and posts Person(name), with the main star of 命宮 when given.
inline void AddPerson(zelvara::PersonTable& t, const QString& name, const QString& lifeStar = {}) {
    zelvara::PersonValues v = Person(name);
    v[zelvara::PalaceFieldIndex(2)] = lifeStar;
    AddPerson(t, v);
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

inline void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// A writable register in a temporary folder holding the people named (each
// as AddPerson makes them).
struct RegisterFolder {
    explicit RegisterFolder(const QStringList& people = {}) {
        QVERIFY(table.Open(dir.path()));
        for (const QString& name : people) AddPerson(table, name);
    }
    QString FilePath(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    RecordingSink sink;
    zelvara::PersonTable table{sink};
};

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
