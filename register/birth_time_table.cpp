#include "birth_time_table.h"

#include "person_table.h"
#include "solar_time.h"
#include "sqlite_connection.h"
#include "summer_time.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace zelvara {
namespace {

QString Fault(const QString& what, const QSqlError& error)
{
    return QStringLiteral("出生時刻・出生地を%1できません（%2）。").arg(what, error.text());
}

// True when the file's table has the column (a table made by an earlier
// version has neither zone nor correction).
bool HasColumn(const QString& connection, const char* column)
{
    QSqlQuery q(QSqlDatabase::database(connection, false));
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QString::fromLatin1(BirthTimeTable::kTableName))))
        return false;
    while (q.next())
        if (q.value(1).toString() == QLatin1String(column))
            return true;
    return false;
}

// The table and the trigger that removes a deleted person's entry, in one
// transaction; a table of an earlier version gains the zone and correction
// columns. Empty on success.
QString CreateTable(const QString& connection)
{
    QSqlDatabase db = QSqlDatabase::database(connection, false);
    QSqlQuery q(db);
    const QString table = QString::fromLatin1(BirthTimeTable::kTableName);
    bool made = db.transaction() &&
                q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (person INTEGER PRIMARY KEY, clock_time TEXT NOT "
                                      "NULL, place TEXT NOT NULL DEFAULT '', longitude REAL, zone TEXT NOT NULL "
                                      "DEFAULT '', correction TEXT)")
                           .arg(table));
    if (made && !HasColumn(connection, "zone"))
        made = q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN zone TEXT NOT NULL DEFAULT ''").arg(table));
    if (made && !HasColumn(connection, "correction"))
        made = q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN correction TEXT").arg(table));
    made = made &&
        q.exec(QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1_person_deleted AFTER DELETE ON %2 "
                              "BEGIN DELETE FROM %1 WHERE person = OLD.rowid; END")
                   .arg(table, QuotedName(QString::fromLatin1(PersonTable::kTableName)))) &&
        db.commit();
    if (made)
        return {};
    const QString error = Fault(QStringLiteral("記録する表を作成"), q.lastError().isValid() ? q.lastError() : db.lastError());
    db.rollback();
    return error;
}

}  // namespace

QString BirthTimeEntryFault(const BirthTimeEntry& entry, bool outsideJapanConfirmed)
{
    if (!ParseClockTime(entry.clockTime.toStdString()))
        return QStringLiteral("出生時刻「%1」は時刻として読めません。24 時間制の 時:分（00:00〜23:59、例 05:50）で入力して下さい。")
            .arg(entry.clockTime);
    if (!entry.place.isEmpty() && !entry.longitude)
        return QStringLiteral("出生地「%1」の経度が分かりません。一覧から選ぶか、東経を度で入力して下さい。").arg(entry.place);
    if (entry.longitude && !(*entry.longitude >= -180 && *entry.longitude <= 360))
        return QStringLiteral("東経 %1 度は経度としてありません。").arg(*entry.longitude);
    if (!entry.InJapan() && !IsKnownZone(entry.zone))
        return QStringLiteral("タイムゾーン「%1」は分かりません。Asia/Tokyo、America/New_York のような名で指定して下さい。")
            .arg(entry.zone);
    if (entry.longitude && entry.InJapan() && !outsideJapanConfirmed &&
        (*entry.longitude < kFirstJapanLongitude || *entry.longitude > kLastJapanLongitude))
        return QStringLiteral("東経 %1 度は日本（東経 %2〜%3 度）の外です。")
            .arg(*entry.longitude)
            .arg(kFirstJapanLongitude)
            .arg(kLastJapanLongitude);
    return {};
}

BirthTimeTable::BirthTimeTable() = default;

BirthTimeTable::~BirthTimeTable() { Close(); }

QString BirthTimeTable::Open(const QString& registerPath, bool writable)
{
    Close();
    const QString name = NewConnectionName(QStringLiteral("birth_time"));
    if (const QString error = OpenSqliteConnection(name, registerPath, !writable); !error.isEmpty())
        return QStringLiteral("名簿 %1 を開けません（%2）。").arg(registerPath, error);
    if (writable) {
        if (const QString error = CreateTable(name); !error.isEmpty()) {
            CloseSqliteConnection(name);
            return error;
        }
    }
    connection_ = name;
    writable_ = writable;
    hasZone_ = HasColumn(name, "zone") && HasColumn(name, "correction");
    return {};
}

void BirthTimeTable::Close()
{
    if (connection_.isEmpty())
        return;
    CloseSqliteConnection(connection_);
    connection_.clear();
}

std::optional<BirthTimeEntry> BirthTimeTable::Read(qint64 person) const
{
    if (connection_.isEmpty())
        return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    // Joined with the register, so that the entry of a person deleted by a
    // program that did not yet have the trigger is never read.
    // A table of an earlier version, opened read-only, has no zone and no
    // correction: Japan's zone and the settings' choice.
    const bool current = hasZone_;
    q.prepare(QStringLiteral("SELECT b.clock_time, b.place, b.longitude, %3 FROM %1 b JOIN %2 p ON p.rowid = b.person "
                             "WHERE b.person = ?")
                  .arg(QString::fromLatin1(kTableName), QuotedName(QString::fromLatin1(PersonTable::kTableName)),
                       current ? QStringLiteral("b.zone, b.correction") : QStringLiteral("'', NULL")));
    q.addBindValue(person);
    if (!q.exec() || !q.next())
        return std::nullopt;
    BirthTimeEntry e{q.value(0).toString(), q.value(1).toString(), std::nullopt, q.value(3).toString(), std::nullopt};
    if (!q.value(2).isNull())
        e.longitude = q.value(2).toDouble();
    if (!q.value(4).isNull())
        e.correction = TimeCorrectionFromWord(q.value(4).toString().toStdString());
    return e;
}

QString BirthTimeTable::Write(qint64 person, const BirthTimeEntry& entry, bool outsideJapanConfirmed)
{
    if (const QString fault = BirthTimeEntryFault(entry, outsideJapanConfirmed); !fault.isEmpty())
        return fault;
    if (connection_.isEmpty() || !writable_)
        return QStringLiteral("名簿が読み取り専用で開かれているため、出生時刻・出生地は保存できません。");
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    if (!db.transaction())
        return Fault(QStringLiteral("保存"), db.lastError());
    q.prepare(QStringLiteral("INSERT OR REPLACE INTO %1 (person, clock_time, place, longitude, zone, correction) "
                             "SELECT rowid, ?, ?, ?, ?, ? FROM %2 WHERE rowid = ?")
                  .arg(QString::fromLatin1(kTableName), QuotedName(QString::fromLatin1(PersonTable::kTableName))));
    q.addBindValue(entry.clockTime.trimmed());
    q.addBindValue(entry.place);
    q.addBindValue(entry.longitude ? QVariant(*entry.longitude) : QVariant());
    q.addBindValue(entry.InJapan() ? QString() : entry.zone);
    if (entry.correction) {
        const std::string_view word = TimeCorrectionWord(*entry.correction);
        q.addBindValue(QString::fromLatin1(word.data(), qsizetype(word.size())));
    } else {
        q.addBindValue(QVariant(QMetaType::fromType<QString>()));
    }
    q.addBindValue(person);
    if (!q.exec()) {
        const QString error = Fault(QStringLiteral("保存"), q.lastError());
        db.rollback();
        return error;
    }
    if (q.numRowsAffected() != 1) {
        db.rollback();
        return QStringLiteral("出生時刻・出生地を保存する人が名簿にありません。先に名簿に登録して下さい。");
    }
    if (!db.commit()) {
        const QString error = Fault(QStringLiteral("保存"), db.lastError());
        db.rollback();
        return error;
    }
    return {};
}

QString BirthTimeTable::Remove(qint64 person)
{
    if (connection_.isEmpty() || !writable_)
        return QStringLiteral("名簿が読み取り専用で開かれているため、出生時刻・出生地は消せません。");
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(QString::fromLatin1(kTableName)));
    q.addBindValue(person);
    if (!q.exec())
        return Fault(QStringLiteral("消去"), q.lastError());
    return {};
}

}  // namespace zelvara
