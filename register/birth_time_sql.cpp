#include "register/birth_time_sql.h"

#include "common/sqlite_connection.h"
#include "register/person_storage.h"
#include "register/sql_statement.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace zelvara {
namespace {

const QString kTable = QString::fromLatin1(kBirthTimeTableName);
const QString kDeletedTable = QString::fromLatin1(kDeletedBirthTimeTableName);
QString Persons() { return QuotedName(QString::fromLatin1(kPersonTableName)); }

// True when the file's birth_time has the column (a table made by an earlier
// version has neither zone nor correction).
bool HasColumn(const QSqlDatabase& db, const char* column) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(kTable))) return false;
    while (q.next())
        if (q.value(1).toString() == QLatin1String(column)) return true;
    return false;
}

// The five columns of b; a table of an earlier version, opened read-only,
// has no zone and no correction: Japan's zone and the settings' choice.
QString ReadableColumns(const QSqlDatabase& db) {
    return HasColumn(db, "correction") ? BirthTimeColumns(QStringLiteral("b."))
                                       : QStringLiteral("b.clock_time, b.place, b.longitude, '', NULL");
}

}  // namespace

QString BirthTimeColumns(const QString& prefix) {
    QStringList names;
    for (const char* c : {"clock_time", "place", "longitude", "zone", "correction"}) names << prefix + QLatin1String(c);
    return names.join(QStringLiteral(", "));
}

void BindBirthTimeEntry(QSqlQuery& q, const BirthTimeEntry& entry) {
    // An empty text as empty, never as NULL (which a server's driver makes of
    // a null QString).
    auto text = [](const QString& s) { return s.isNull() ? QStringLiteral("") : s; };
    q.addBindValue(text(entry.clockTime.trimmed()));
    q.addBindValue(text(entry.place));
    q.addBindValue(entry.longitude ? QVariant(*entry.longitude) : QVariant(QMetaType::fromType<double>()));
    q.addBindValue(text(entry.InJapan() ? QString() : entry.zone));
    if (entry.correction) {
        const std::string_view word = TimeCorrectionWord(*entry.correction);
        q.addBindValue(QString::fromLatin1(word.data(), qsizetype(word.size())));
    } else {
        q.addBindValue(QVariant(QMetaType::fromType<QString>()));
    }
}

BirthTimeEntry BirthTimeEntryAt(const QSqlQuery& q, int first) {
    BirthTimeEntry e{q.value(first).toString(), q.value(first + 1).toString(), std::nullopt,
                     q.value(first + 3).toString(), std::nullopt};
    if (!q.value(first + 2).isNull()) e.longitude = q.value(first + 2).toDouble();
    if (!q.value(first + 4).isNull())
        e.correction = TimeCorrectionFromWord(q.value(first + 4).toString().toStdString());
    return e;
}

bool SqliteTableExists(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?"));
    q.addBindValue(table);
    return q.exec() && q.next();
}

bool CreateSqliteBirthTimeTables(const QSqlDatabase& db, QSqlError* error) {
    const QString columns = QStringLiteral(
        "clock_time TEXT NOT NULL, place TEXT NOT NULL DEFAULT '', longitude REAL, "
        "zone TEXT NOT NULL DEFAULT '', correction TEXT");
    bool made = RunStatement(
        db, QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (person INTEGER PRIMARY KEY, %2)").arg(kTable, columns), {},
        error);
    if (made && !HasColumn(db, "zone"))
        made = RunStatement(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN zone TEXT NOT NULL DEFAULT ''").arg(kTable),
                            {}, error);
    if (made && !HasColumn(db, "correction"))
        made = RunStatement(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN correction TEXT").arg(kTable), {}, error);
    return made &&
           RunStatement(db,
                        QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_person_deleted AFTER DELETE ON %2 "
                                       "BEGIN DELETE FROM %1 WHERE person = OLD.rowid; END")
                            .arg(kTable, Persons()),
                        {}, error) &&
           RunStatement(db,
                        QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (number INTEGER PRIMARY KEY, %2)")
                            .arg(kDeletedTable, columns),
                        {}, error);
}

std::optional<BirthTimeEntry> ReadSqliteBirthTime(const QSqlDatabase& db, qint64 person) {
    if (!SqliteTableExists(db, kTable)) return std::nullopt;
    // Joined with the register, so that the entry of a person deleted by a
    // program that did not yet have the trigger is never read.
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 b JOIN %3 p ON p.rowid = b.person WHERE b.person = ?")
                  .arg(ReadableColumns(db), kTable, Persons()));
    q.addBindValue(person);
    if (!q.exec() || !q.next()) return std::nullopt;
    return BirthTimeEntryAt(q, 0);
}

std::optional<std::unordered_map<qint64, BirthTimeEntry>> ReadSqliteBirthTimes(const QSqlDatabase& db, QString* why) {
    std::unordered_map<qint64, BirthTimeEntry> entries;
    if (!SqliteTableExists(db, kTable)) return entries;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT b.person, %1 FROM %2 b JOIN %3 p ON p.rowid = b.person")
                    .arg(ReadableColumns(db), kTable, Persons()))) {
        if (why) *why = q.lastError().text();
        return std::nullopt;
    }
    while (q.next()) entries.emplace(q.value(0).toLongLong(), BirthTimeEntryAt(q, 1));
    return entries;
}

bool WriteSqliteBirthTime(const QSqlDatabase& db, qint64 person, const BirthTimeEntry& entry, bool* found,
                          QSqlError* error) {
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("INSERT OR REPLACE INTO %1 (person, %2) SELECT rowid, ?, ?, ?, ?, ? FROM %3 WHERE rowid = ?")
            .arg(kTable, BirthTimeColumns(), Persons()));
    BindBirthTimeEntry(q, entry);
    q.addBindValue(person);
    if (!q.exec()) {
        *error = q.lastError();
        return false;
    }
    *found = q.numRowsAffected() == 1;
    return true;
}

bool RemoveSqliteBirthTime(const QSqlDatabase& db, qint64 person, QSqlError* error) {
    if (!SqliteTableExists(db, kTable)) return true;
    return RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(kTable), {person}, error);
}

bool KeepDeletedBirthTime(const QSqlDatabase& db, qint64 person, qint64 number, QSqlError* error) {
    if (!SqliteTableExists(db, kTable)) return true;
    return CreateSqliteBirthTimeTables(db, error) &&
           RunStatement(db,
                        QStringLiteral("INSERT OR REPLACE INTO %1 (number, %2) SELECT ?, %2 FROM %3 WHERE person = ?")
                            .arg(kDeletedTable, BirthTimeColumns(), kTable),
                        {number, person}, error);
}

bool BringBackBirthTime(const QSqlDatabase& db, qint64 number, qint64 person, QSqlError* error) {
    if (!SqliteTableExists(db, kDeletedTable)) return true;
    return CreateSqliteBirthTimeTables(db, error) &&
           RunStatement(db,
                        QStringLiteral("INSERT OR REPLACE INTO %1 (person, %2) SELECT ?, %2 FROM %3 WHERE number = ?")
                            .arg(kTable, BirthTimeColumns(), kDeletedTable),
                        {person, number}, error) &&
           RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE number = ?").arg(kDeletedTable), {number}, error);
}

}  // namespace zelvara
