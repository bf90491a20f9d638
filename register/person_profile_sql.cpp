#include "register/person_profile_sql.h"

#include "common/sqlite_connection.h"
#include "register/person_storage.h"
#include "register/sql_statement.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace zelvara {
namespace {

const QString kTable = QString::fromLatin1(kProfileTableName);
const QString kDeletedTable = QString::fromLatin1(kDeletedProfileTableName);

bool IsSqlite(const QSqlDatabase& db) { return db.driverName() == QLatin1String("QSQLITE"); }
QString PersonKey(const QSqlDatabase& db) { return IsSqlite(db) ? QStringLiteral("rowid") : QStringLiteral("id"); }

bool TableExists(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q(db);
    q.prepare(IsSqlite(db) ? QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?")
                           : QStringLiteral("SELECT 1 WHERE to_regclass(?) IS NOT NULL"));
    q.addBindValue(table);
    return q.exec() && q.next();
}

// On a server the user may lack rights on tables the administrator made.
bool Allowed(const QSqlDatabase& db, const QString& table, const char* rights) {
    if (IsSqlite(db)) return true;
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT has_table_privilege(?, ?)"));
    q.addBindValue(table);
    q.addBindValue(QString::fromLatin1(rights));
    return q.exec() && q.next() && q.value(0).toBool();
}

bool Readable(const QSqlDatabase& db) { return TableExists(db, kTable) && Allowed(db, kTable, "SELECT"); }

// Joined with the register, so that the entry of a person deleted by a
// program that did not have the trigger is never read.
QString SelectSql(const QSqlDatabase& db) {
    return QStringLiteral("SELECT f.person, f.profile FROM %1 f JOIN %2 p ON p.%3 = f.person")
        .arg(kTable, kPersonTable, PersonKey(db));
}

}  // namespace

QString NoProfileTablesText() {
    return QStringLiteral(
               "この名簿には流派を記録できません（表 %1 がないか、書き換える権限がありません）。サーバーの管理者が "
               "data/sql/register-postgresql.sql を実行して権限を与えると、記録できるようになります。")
        .arg(kTable);
}

bool ProfileTablesWritable(const QSqlDatabase& db) {
    return ProfileTablesPresent(db) && Allowed(db, kTable, "SELECT, INSERT, UPDATE, DELETE") &&
           Allowed(db, kDeletedTable, "SELECT, INSERT, DELETE");
}

bool ProfileTablesPresent(const QSqlDatabase& db) { return TableExists(db, kTable) && TableExists(db, kDeletedTable); }

bool CreateSqliteProfileTables(const QSqlDatabase& db, QSqlError* error) {
    return RunStatement(
               db,
               QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (person INTEGER PRIMARY KEY, profile TEXT NOT NULL)")
                   .arg(kTable),
               {}, error) &&
           RunStatement(db,
                        QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_person_deleted AFTER DELETE ON %2 "
                                       "BEGIN DELETE FROM %1 WHERE person = OLD.rowid; END")
                            .arg(kTable, QuotedName(kPersonTable)),
                        {}, error) &&
           RunStatement(
               db,
               QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (number INTEGER PRIMARY KEY, profile TEXT NOT NULL)")
                   .arg(kDeletedTable),
               {}, error);
}

std::optional<QString> ReadPersonProfile(const QSqlDatabase& db, qint64 person, QString* why) {
    if (!Readable(db)) return QString();
    QSqlQuery q(db);
    q.prepare(SelectSql(db) + QStringLiteral(" WHERE f.person = ?"));
    q.addBindValue(person);
    if (!q.exec()) {
        if (why) *why = q.lastError().text().trimmed();
        return std::nullopt;
    }
    return q.next() ? q.value(1).toString() : QString();
}

std::optional<std::unordered_map<qint64, QString>> ReadPersonProfiles(const QSqlDatabase& db, QString* why) {
    std::unordered_map<qint64, QString> profiles;
    if (!Readable(db)) return profiles;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(SelectSql(db))) {
        if (why) *why = q.lastError().text().trimmed();
        return std::nullopt;
    }
    while (q.next()) profiles.emplace(q.value(0).toLongLong(), q.value(1).toString());
    return profiles;
}

bool WritePersonProfile(const QSqlDatabase& db, qint64 person, const QString& name, bool* found, QSqlError* error) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT count(*) FROM %1 WHERE %2 = ?").arg(kPersonTable, PersonKey(db)));
    q.addBindValue(person);
    if (!q.exec() || !q.next()) {
        *error = q.lastError();
        return false;
    }
    *found = q.value(0).toInt() == 1;
    if (!*found) return true;
    if (name.isEmpty())
        return RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(kTable), {person}, error);
    const QString sql = IsSqlite(db) ? QStringLiteral("INSERT OR REPLACE INTO %1 (person, profile) VALUES (?, ?)")
                                     : QStringLiteral(
                                           "INSERT INTO %1 (person, profile) VALUES (?, ?) "
                                           "ON CONFLICT (person) DO UPDATE SET profile = EXCLUDED.profile");
    return RunStatement(db, sql.arg(kTable), {person, name}, error);
}

bool KeepDeletedProfile(const QSqlDatabase& db, qint64 person, qint64 number, QSqlError* error) {
    if (!ProfileTablesWritable(db)) return true;
    return RunStatement(db,
                        QStringLiteral("INSERT INTO %1 (number, profile) SELECT ?, profile FROM %2 WHERE person = ?")
                            .arg(kDeletedTable, kTable),
                        {number, person}, error);
}

bool BringBackProfile(const QSqlDatabase& db, qint64 number, qint64 person, QSqlError* error) {
    if (!ProfileTablesWritable(db)) return true;
    // A row number used again may still carry an entry a program without the
    // trigger left behind: the record brought back takes its own or none.
    return RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(kTable), {person}, error) &&
           RunStatement(db,
                        QStringLiteral("INSERT INTO %1 (person, profile) SELECT ?, profile FROM %2 WHERE number = ?")
                            .arg(kTable, kDeletedTable),
                        {person, number}, error) &&
           RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE number = ?").arg(kDeletedTable), {number}, error);
}

bool EraseProfiles(const QSqlDatabase& db, qint64 person, const std::vector<qint64>& numbers, QSqlError* error) {
    if (TableExists(db, kTable) &&
        !RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(kTable), {person}, error))
        return false;
    if (!TableExists(db, kDeletedTable)) return true;
    for (const qint64 number : numbers)
        if (!RunStatement(db, QStringLiteral("DELETE FROM %1 WHERE number = ?").arg(kDeletedTable), {number}, error))
            return false;
    return true;
}

}  // namespace zelvara
