// What the register tests of Qt's test library share besides the records
// (register_records.h): a person appended and posted, a register with people
// in a folder of its own, a file written whole, and another program's
// connection on the file.
#pragma once

#include "register/person_table.h"
#include "tests/recording_sink.h"
#include "tests/register/register_records.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>

namespace register_test {

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

}  // namespace register_test
