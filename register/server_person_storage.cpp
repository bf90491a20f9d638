#include "register/server_person_storage.h"

#include "common/sqlite_connection.h"
#include "register/birth_time_sql.h"
#include "register/consultation_storage.h"
#include "register/person_values.h"
#include "register/sqlite_person_storage.h"

#include <QCoreApplication>
#include <QFile>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <atomic>

namespace zelvara {
namespace {

const QString kTimeTable = QString::fromLatin1(kBirthTimeTableName);
const QString kDeletedTimeTable = QString::fromLatin1(kDeletedBirthTimeTableName);
constexpr int kRowsPerInsert = 500;  // 9,000 bound values, well under the server's 65,535

// The advisory lock of work of one at a time: the program's own number
// ("ZELV") and the register table's oid, so that registers in other schemas
// or databases never wait for each other.
constexpr qint64 kExclusiveWorkKey = 0x5A454C56;
const QString kExclusiveWorkLock = QStringLiteral("%1, ?::regclass::oid::int").arg(kExclusiveWorkKey);

bool WantsPassword(const QSqlError& error) { return PgWantsPassword(error.databaseText() + error.driverText()); }

QString ConnectionName() {
    static std::atomic<int> next{0};
    return QStringLiteral("persons-server-%1").arg(++next);
}

}  // namespace

ServerPersonStorage::ServerPersonStorage(PgConnection connection)
    : connection_(std::move(connection)), name_(ConnectionName()) {}

ServerPersonStorage::~ServerPersonStorage() {
    if (QSqlDatabase::contains(name_)) {
        Database().close();
        QSqlDatabase::removeDatabase(name_);
    }
}

QSqlDatabase ServerPersonStorage::Database() const { return QSqlDatabase::database(name_, false); }

QString ServerPersonStorage::Location() const { return DescribePgConnection(connection_); }

QString ServerPersonStorage::TableScript() {
    QFile file(QStringLiteral(":/sql/register-postgresql.sql"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool ServerPersonStorage::Connect(QString* why) {
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QPSQL"))) {
        *why = QStringLiteral("PostgreSQL に接続する Qt のドライバー（libqt6sql6-psql）が入っていません");
        return false;
    }
    if (!QSqlDatabase::contains(name_)) QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), name_);
    QSqlDatabase db = Database();
    // The program shows on the server (pg_stat_activity) under its name
    // unless the address names another.
    PgConnection named = connection_;
    named.options << qMakePair(
        QStringLiteral("fallback_application_name"),
        QStringLiteral("%1 (pid %2)").arg(QCoreApplication::applicationName()).arg(QCoreApplication::applicationPid()));
    for (int attempt = 0;; ++attempt) {
        named.password = connection_.password;
        ApplyPgConnection(named, db);
        if (db.open()) break;
        const QSqlError error = db.lastError();
        if (!WantsPassword(error) || !askPassword_ || attempt == 3) {
            *why =
                WantsPassword(error) && !askPassword_
                    ? QStringLiteral(
                          "サーバーがパスワードを求めています。PostgreSQL のパスワードファイル（~/.pgpass）に書くか、"
                          "環境変数 PGPASSWORD で渡してください（詳細: %1）")
                          .arg(error.text().trimmed())
                    : QStringLiteral("サーバーに接続できません（%1）").arg(error.text().trimmed());
            return false;
        }
        const QString prompt =
            attempt == 0 ? QStringLiteral("名簿のサーバー %1 のパスワード：").arg(Location())
                         : QStringLiteral("パスワードが違います。名簿のサーバー %1 のパスワード：").arg(Location());
        const std::optional<QString> password = askPassword_(prompt);
        if (!password) {
            *why = QStringLiteral("パスワードが入力されませんでした");
            return false;
        }
        connection_.password = *password;
    }
    if (readOnly_) {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SET SESSION CHARACTERISTICS AS TRANSACTION READ ONLY"))) {
            *why = QStringLiteral("読み取り専用にできません（%1）").arg(q.lastError().text());
            return false;
        }
    }
    lost_ = false;
    return true;
}

bool ServerPersonStorage::Ready(QString* why) {
    if (!lost_) return true;
    Database().close();
    if (Connect(why)) return true;
    *why = QStringLiteral("名簿のサーバー %1 との接続が切れています。つなぎ直せませんでした：%2").arg(Location(), *why);
    return false;
}

bool ServerPersonStorage::ConnectionLost() {
    if (!lost_) {
        QSqlQuery ping(Database());
        lost_ = !Database().isOpen() || !ping.exec(QStringLiteral("SELECT 1"));
    }
    return lost_;
}

QString ServerPersonStorage::Describe(const QSqlError& error, bool lost) const {
    const QString state = error.nativeErrorCode();
    QString advice;
    if (lost)
        advice = QStringLiteral(
            "サーバーとの接続が切れています。サーバーが動いているか、ネットワークを確かめてから、"
            "もう一度登録してください。");
    else if (state == QLatin1String("42501"))
        advice =
            QStringLiteral("このユーザーには名簿を書き換える権限がありません。サーバーの管理者に確かめてください。");
    else if (state == QLatin1String("25006"))
        advice = QStringLiteral("名簿を読み取り専用で開いているため書き込めません。");
    else
        advice = QStringLiteral("サーバーが書き込みを受け付けませんでした。");
    return QStringLiteral("人物データを名簿のサーバー %1 に書き込めませんでした。\n%2\n詳細: %3")
        .arg(Location(), advice, error.text().trimmed());
}

PersonWrite ServerPersonStorage::Refused(const QSqlError& error) {
    const bool lost = ConnectionLost();
    return PersonWrite::Refused(Describe(error, lost));
}

PersonWrite ServerPersonStorage::Abandon(QSqlError error) {
    Database().rollback();
    return Refused(error);
}

StorageOpening ServerPersonStorage::Open(bool readOnly) {
    readOnly_ = readOnly;
    StorageOpening opening;
    QString why;
    if (!Connect(&why)) {
        opening.why = why;
        return opening;
    }
    TableState state = CheckTables(&why);
    if (state == TableState::Missing && !readOnly) {
        why = MakeTables();
        if (why.isEmpty()) state = CheckTables(&why);
    }
    if (state != TableState::Usable) {
        opening.why = why;
        return opening;
    }
    const Rights rights = UserRights();
    if (!rights.read) {
        opening.why =
            QStringLiteral("ユーザー %1 には名簿の表を読む権限がありません。サーバーの管理者に確かめてください")
                .arg(connection_.user);
        return opening;
    }
    opening.access = readOnly || !rights.write ? RegisterAccess::ReadOnly : RegisterAccess::Writable;
    birthTimesWhy_ = OpenBirthTimes(opening.access == RegisterAccess::Writable);
    // A database of an earlier version gains the profile tables the same way
    // (the script, run again, leaves everything else as it is); without them
    // every client reads as having none chosen.
    if (opening.access == RegisterAccess::Writable && !ProfileTablesPresent(Database())) MakeTables();
    if (readOnly)
        opening.why = QStringLiteral("読み取り専用で開きました");
    else if (!rights.write)
        opening.why = QStringLiteral("このユーザーには名簿を書き換える権限がありません");
    return opening;
}

QString ServerPersonStorage::MakeTables() {
    const QString script = TableScript();
    if (script.isEmpty()) return QStringLiteral("表を作る手順がプログラムに含まれていません");
    // The script as one text: the server runs its statements in turn and
    // stops at the first error, and the transaction makes it all or nothing.
    // A statement refused after the first one may only show at the commit.
    QSqlDatabase db = Database();
    db.transaction();
    QSqlQuery q(db);
    const bool made = q.exec(script) && db.commit();
    if (made) return {};
    const QString driver = (q.lastError().isValid() ? q.lastError() : db.lastError()).text().trimmed();
    db.rollback();
    return QStringLiteral(
               "表を作れません（%1）。サーバーの管理者が data/sql/register-postgresql.sql を"
               "実行すると使えるようになります")
        .arg(driver);
}

QString ServerPersonStorage::OpenBirthTimes(bool writable) {
    auto present = [this] {
        QSqlQuery q(Database());
        q.prepare(
            QStringLiteral("SELECT count(*) FROM pg_catalog.pg_class WHERE relkind = 'r' "
                           "AND relnamespace = current_schema()::regnamespace AND relname IN (?, ?)"));
        q.addBindValue(kTimeTable);
        q.addBindValue(kDeletedTimeTable);
        return q.exec() && q.next() && q.value(0).toInt() == 2;
    };
    const QString prefix = QStringLiteral("出生時刻と出生地は、名簿のサーバー %1 には記録できません。").arg(Location());
    // A database made by an earlier version: the script, run again, adds them.
    if (!present() && writable) {
        if (const QString why = MakeTables(); !why.isEmpty()) return prefix + why + QStringLiteral("。");
    }
    if (!present()) return prefix + QStringLiteral("サーバーに出生時刻の表（%1）がありません。").arg(kTimeTable);
    QSqlQuery q(Database());
    if (!q.exec(QStringLiteral("SELECT has_table_privilege('%1', 'SELECT') AND has_table_privilege('%2', 'SELECT')")
                    .arg(kTimeTable, kDeletedTimeTable)) ||
        !q.next() || !q.value(0).toBool())
        return prefix + QStringLiteral(
                            "ユーザー %1 には出生時刻の表を読む権限がありません。サーバーの管理者に確かめてください。")
                            .arg(connection_.user);
    return {};
}

ServerPersonStorage::TableState ServerPersonStorage::CheckTables(QString* why) const {
    QSqlQuery q(Database());
    // The catalog, not information_schema: that shows only the tables the
    // user has rights on, and a table without them is not a missing one.
    q.prepare(
        QStringLiteral("SELECT c.relname, a.attname FROM pg_catalog.pg_attribute a "
                       "JOIN pg_catalog.pg_class c ON c.oid = a.attrelid "
                       "WHERE c.relnamespace = current_schema()::regnamespace AND c.relname IN (?, ?) "
                       "AND a.attnum > 0 AND NOT a.attisdropped ORDER BY c.relname, a.attnum"));
    q.addBindValue(kPersonTable);
    q.addBindValue(kDeletedPersonTable);
    if (!q.exec()) {
        *why = QStringLiteral("表を調べられません（%1）").arg(q.lastError().text().trimmed());
        return TableState::Unusable;
    }
    QStringList main, deleted;
    while (q.next()) (q.value(0).toString() == kPersonTable ? main : deleted) << q.value(1).toString();
    if (main.isEmpty() || deleted.isEmpty()) {
        *why = QStringLiteral("サーバーに名簿の表がありません（%1）")
                   .arg(main.isEmpty() ? kPersonTable : kDeletedPersonTable);
        return TableState::Missing;
    }
    const QStringList wantMain = QStringList{QStringLiteral("id"), QStringLiteral("version")} + PersonColumns();
    const QStringList wantDeleted = QStringList{kDeletedNumberColumn, kDeletedAtColumn} + PersonColumns();
    if (main != wantMain || deleted != wantDeleted) {
        *why = QStringLiteral("サーバーの表 %1 の項目が名簿の項目と違います（%2）")
                   .arg(main != wantMain ? kPersonTable : kDeletedPersonTable,
                        (main != wantMain ? main : deleted).join(QStringLiteral("、")));
        return TableState::Unusable;
    }
    return TableState::Usable;
}

ServerPersonStorage::Rights ServerPersonStorage::UserRights() const {
    QSqlQuery q(Database());
    const bool ok = q.exec(QStringLiteral(
        "SELECT has_table_privilege('nam_data', 'SELECT') AND has_table_privilege('nam_data_deleted', 'SELECT'), "
        "has_table_privilege('nam_data', 'INSERT, UPDATE, DELETE') "
        "AND has_table_privilege('nam_data_deleted', 'SELECT, INSERT, DELETE') "
        "AND has_sequence_privilege(pg_get_serial_sequence('nam_data', 'id'), 'USAGE') "
        "AND has_sequence_privilege(pg_get_serial_sequence('nam_data_deleted', '番号'), 'USAGE')"));
    if (!ok || !q.next()) return {};
    return {q.value(0).toBool(), q.value(1).toBool()};
}

std::optional<std::vector<StoredPerson>> ServerPersonStorage::Select(int filterField, const QString& value,
                                                                     QString* why) {
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!Ready(why)) return std::nullopt;
        if (auto rows = SelectThroughCache(filterField, value, why)) return rows;
        if (!ConnectionLost()) break;
    }
    return std::nullopt;
}

// The records in view are asked for by number and version only; the fields
// come from what was read before, and only records that are new or were
// written since are read whole. A filter or its removal then moves a few
// hundred kilobytes less than reading every record again.
std::optional<std::vector<StoredPerson>> ServerPersonStorage::SelectThroughCache(int filterField, const QString& value,
                                                                                 QString* why) {
    const QString where =
        filterField >= 0 ? QStringLiteral(" WHERE %1 = ?").arg(QuotedName(FieldName(filterField))) : QString();
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT id, version FROM %1%2 ORDER BY id").arg(kPersonTable, where));
    if (filterField >= 0) q.addBindValue(value);
    if (!q.exec()) {
        *why = q.lastError().text().trimmed();
        return std::nullopt;
    }
    std::vector<std::pair<qint64, qint64>> wanted;
    QStringList stale;
    while (q.next()) {
        const qint64 id = q.value(0).toLongLong();
        const qint64 version = q.value(1).toLongLong();
        wanted.emplace_back(id, version);
        const auto known = cache_.find(id);
        if (known == cache_.end() || known->second.version != version) stale << QString::number(id);
    }
    if (!stale.isEmpty()) {
        // Read whole: all of the view when most of it is unknown, else the
        // records by number.
        const bool all = stale.size() > qsizetype(wanted.size() / 2);
        QSqlQuery whole(Database());
        whole.setForwardOnly(true);
        whole.prepare(
            QStringLiteral("SELECT id, version, %1 FROM %2%3")
                .arg(PersonColumnList(), kPersonTable, all ? where : QStringLiteral(" WHERE id = ANY (?::bigint[])")));
        if (all && filterField >= 0) whole.addBindValue(value);
        if (!all) whole.addBindValue(QLatin1Char('{') + stale.join(QLatin1Char(',')) + QLatin1Char('}'));
        if (!whole.exec()) {
            *why = whole.lastError().text().trimmed();
            return std::nullopt;
        }
        while (whole.next()) {
            const qint64 id = whole.value(0).toLongLong();
            cache_[id] = StoredPerson{id, whole.value(1).toLongLong(), ReadPersonValues(whole, 2)};
        }
    }
    std::vector<StoredPerson> rows;
    rows.reserve(wanted.size());
    for (const auto& [id, version] : wanted) {
        const auto known = cache_.find(id);
        if (known != cache_.end())  // gone between the two reads: not shown
            rows.push_back(known->second);
    }
    if (filterField < 0 && cache_.size() > rows.size()) {  // forget the records no longer there
        std::unordered_map<qint64, StoredPerson> present;
        for (const StoredPerson& r : rows) present.emplace(r.rowId, r);
        cache_ = std::move(present);
    }
    return rows;
}

std::optional<StoredPerson> ServerPersonStorage::SelectOne(qint64 rowId, QString* why) {
    if (!Ready(why)) return std::nullopt;
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("SELECT id, version, %1 FROM %2 WHERE id = ?").arg(PersonColumnList(), kPersonTable));
    q.addBindValue(rowId);
    if (!q.exec()) {
        *why = q.lastError().text().trimmed();
        ConnectionLost();
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    return StoredPerson{q.value(0).toLongLong(), q.value(1).toLongLong(), ReadPersonValues(q, 2)};
}

PersonWrite ServerPersonStorage::Insert(const PersonValues& values) {
    if (QString why; !Ready(&why)) return PersonWrite::Refused(why);
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING id, version")
                  .arg(kPersonTable, PersonColumnList(),
                       QStringList(kPersonFieldCount, QStringLiteral("?")).join(QStringLiteral(", "))));
    BindPersonValues(q, values);
    if (!q.exec() || !q.next()) return Refused(q.lastError());
    return PersonWrite::Done(q.value(0).toLongLong(), q.value(1).toLongLong());
}

PersonWrite ServerPersonStorage::Update(const StoredPerson& asRead, const PersonValues& values) {
    if (QString why; !Ready(&why)) return PersonWrite::Refused(why);
    QStringList assignments;
    for (const QString& c : PersonColumns()) assignments << QuotedName(c) + QStringLiteral(" = ?");
    QSqlQuery q(Database());
    // The table's trigger counts the version up.
    q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE id = ? AND version = ? RETURNING version")
                  .arg(kPersonTable, assignments.join(QStringLiteral(", "))));
    BindPersonValues(q, values);
    q.addBindValue(asRead.rowId);
    q.addBindValue(asRead.version);
    if (!q.exec()) return Refused(q.lastError());
    if (!q.next()) return PersonWrite::StaleRecord();
    return PersonWrite::Done(asRead.rowId, q.value(0).toLongLong());
}

PersonWrite ServerPersonStorage::Remove(const StoredPerson& asRead) {
    if (QString why; !Ready(&why)) return PersonWrite::Refused(why);
    QSqlDatabase db = Database();
    if (!db.transaction()) return Refused(db.lastError());
    // The record joins the deleted ones, its exact time with it, then leaves
    // the register (its time goes with it): while it is still as it was
    // read, or not at all.
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 WHERE id = ? AND version = ? RETURNING %4")
                  .arg(kDeletedPersonTable, PersonColumnList(), kPersonTable, QuotedName(kDeletedNumberColumn)));
    q.addBindValue(asRead.rowId);
    q.addBindValue(asRead.version);
    if (!q.exec()) return Abandon(q.lastError());
    if (!q.next()) {
        db.rollback();
        return PersonWrite::StaleRecord();
    }
    const qint64 number = q.value(0).toLongLong();
    if (birthTimesWhy_.isEmpty()) {
        q.prepare(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT ?, %3 FROM %4 WHERE person = ?")
                      .arg(kDeletedTimeTable, QuotedName(kDeletedNumberColumn), BirthTimeColumns(), kTimeTable));
        q.addBindValue(number);
        q.addBindValue(asRead.rowId);
        if (!q.exec()) return Abandon(q.lastError());
    }
    // The client's profile and consultation entries go with it (before the
    // row, which they refer to).
    if (QSqlError error; !KeepDeletedProfile(db, asRead.rowId, number, &error) ||
                         !KeepClientConsultations(db, asRead.rowId, number, &error))
        return Abandon(error);
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE id = ? AND version = ?").arg(kPersonTable));
    q.addBindValue(asRead.rowId);
    q.addBindValue(asRead.version);
    if (!q.exec()) return Abandon(q.lastError());
    if (q.numRowsAffected() != 1) {
        db.rollback();
        return PersonWrite::StaleRecord();
    }
    if (!db.commit()) return Abandon(db.lastError());
    return PersonWrite::Done(asRead.rowId);
}

std::optional<std::vector<DeletedPerson>> ServerPersonStorage::Deleted(QString* why) {
    if (!Ready(why)) return std::nullopt;
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1, %2, %3 FROM %4 ORDER BY %1 DESC")
                    .arg(QuotedName(kDeletedNumberColumn), QuotedName(kDeletedAtColumn), PersonColumnList(),
                         kDeletedPersonTable))) {
        *why = q.lastError().text().trimmed();
        ConnectionLost();
        return std::nullopt;
    }
    std::vector<DeletedPerson> list;
    while (q.next())
        list.push_back(
            DeletedPerson{q.value(0).toLongLong(), q.value(1).toDateTime().toLocalTime(), ReadPersonValues(q, 2)});
    return list;
}

PersonWrite ServerPersonStorage::Restore(qint64 number) {
    if (QString why; !Ready(&why)) return PersonWrite::Refused(why);
    QSqlDatabase db = Database();
    if (!db.transaction()) return Refused(db.lastError());
    // Back at the end of the register with its exact time, and gone from the
    // deleted ones (its kept time with it); a record another desk brought
    // back meanwhile is not there any more.
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 WHERE %4 = ? RETURNING id, version")
                  .arg(kPersonTable, PersonColumnList(), kDeletedPersonTable, QuotedName(kDeletedNumberColumn)));
    q.addBindValue(number);
    if (!q.exec()) return Abandon(q.lastError());
    if (!q.next()) {
        db.rollback();
        return PersonWrite::Refused(NoDeletedRecordText(number));
    }
    const PersonWrite back = PersonWrite::Done(q.value(0).toLongLong(), q.value(1).toLongLong());
    if (birthTimesWhy_.isEmpty()) {
        q.prepare(QStringLiteral("INSERT INTO %1 (person, %2) SELECT ?, %2 FROM %3 WHERE %4 = ?")
                      .arg(kTimeTable, BirthTimeColumns(), kDeletedTimeTable, QuotedName(kDeletedNumberColumn)));
        q.addBindValue(back.rowId);
        q.addBindValue(number);
        if (!q.exec()) return Abandon(q.lastError());
    }
    if (QSqlError error; !BringBackProfile(db, number, back.rowId, &error) ||
                         !BringBackClientConsultations(db, number, back.rowId, &error))
        return Abandon(error);
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(kDeletedPersonTable, QuotedName(kDeletedNumberColumn)));
    q.addBindValue(number);
    if (!q.exec()) return Abandon(q.lastError());
    if (q.numRowsAffected() != 1) {
        db.rollback();
        return PersonWrite::Refused(NoDeletedRecordText(number));
    }
    if (!db.commit()) return Abandon(db.lastError());
    return back;
}

PersonWrite ServerPersonStorage::InsertAll(const std::vector<PersonValues>& records,
                                           const std::function<void(int done)>& progress, const RecordBirthTimes& times,
                                           const RecordProfiles& profiles) {
    if (QString why; !Ready(&why)) return PersonWrite::Refused(why);
    auto timeOf = [&](int n) { return size_t(n) < times.size() && times[size_t(n)] ? &*times[size_t(n)] : nullptr; };
    auto profileOf = [&](int n) { return size_t(n) < profiles.size() ? profiles[size_t(n)] : QString(); };
    const int total = int(records.size());
    const bool anyTime = std::any_of(times.begin(), times.end(), [](const auto& t) { return t.has_value(); });
    const bool anyProfile =
        std::any_of(profiles.begin(), profiles.end(), [](const QString& p) { return !p.isEmpty(); });
    if (anyTime && !birthTimesWhy_.isEmpty()) return PersonWrite::Refused(birthTimesWhy_);
    if (anyProfile && !ProfileTablesWritable(Database())) return PersonWrite::Refused(NoProfileTablesText());
    QSqlDatabase db = Database();
    if (!db.transaction()) return Refused(db.lastError());
    const QString row = QLatin1Char('(') +
                        QStringList(kPersonFieldCount, QStringLiteral("?")).join(QStringLiteral(", ")) +
                        QLatin1Char(')');
    auto statement = [&](int rows) {
        return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
            .arg(kPersonTable, PersonColumnList(), QStringList(rows, row).join(QStringLiteral(", ")));
    };
    QSqlQuery full(db);
    if (total >= kRowsPerInsert) full.prepare(statement(kRowsPerInsert));
    // A record with an exact time or a profile goes in alone, they with it.
    QSqlQuery single(db), timed(db);
    if (anyTime || anyProfile) single.prepare(statement(1) + QStringLiteral(" RETURNING id"));
    if (anyTime)
        timed.prepare(QStringLiteral("INSERT INTO %1 (person, %2) VALUES (?, ?, ?, ?, ?, ?)")
                          .arg(kTimeTable, BirthTimeColumns()));
    auto alone = [&](int n) { return timeOf(n) || !profileOf(n).isEmpty(); };
    for (int done = 0; done < total;) {
        int rows = 0;
        if (alone(done)) {
            BindPersonValues(single, records[size_t(done)]);
            if (!single.exec() || !single.next()) return Abandon(single.lastError());
            const qint64 id = single.value(0).toLongLong();
            if (const BirthTimeEntry* time = timeOf(done)) {
                timed.addBindValue(id);
                BindBirthTimeEntry(timed, *time);
                if (!timed.exec()) return Abandon(timed.lastError());
            }
            bool found = true;
            if (QSqlError error;
                !profileOf(done).isEmpty() && !WritePersonProfile(db, id, profileOf(done), &found, &error))
                return Abandon(error);
            rows = 1;
        } else {
            while (rows < kRowsPerInsert && done + rows < total && !alone(done + rows)) ++rows;
            QSqlQuery rest(db);
            QSqlQuery* q = rows == kRowsPerInsert ? &full : &rest;
            if (q == &rest) rest.prepare(statement(rows));
            for (int r = 0; r < rows; ++r) BindPersonValues(*q, records[size_t(done + r)]);
            if (!q->exec()) return Abandon(q->lastError());
        }
        done += rows;
        if (progress) progress(done);
    }
    if (!db.commit()) return Abandon(db.lastError());
    return PersonWrite::Done(-1);
}

ExclusiveWork ServerPersonStorage::TakeExclusiveWork() {
    ExclusiveWork work{false, {}, {}};
    if (!Ready(&work.why)) return work;
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("SELECT pg_try_advisory_lock(%1)").arg(kExclusiveWorkLock));
    q.addBindValue(kPersonTable);
    if (!q.exec() || !q.next()) {
        ConnectionLost();
        work.why = QStringLiteral("名簿のサーバー %1 で作業の順番を取れません（%2）")
                       .arg(Location(), q.lastError().text().trimmed());
        return work;
    }
    work.taken = q.value(0).toBool();
    if (!work.taken) work.holder = ExclusiveWorkHolder();
    return work;
}

void ServerPersonStorage::ReleaseExclusiveWork() {
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("SELECT pg_advisory_unlock(%1)").arg(kExclusiveWorkLock));
    q.addBindValue(kPersonTable);
    q.exec();  // a connection lost meanwhile has let go of the lock with it
}

// Who holds the lock, as the server knows the connection: program, user,
// address and since when.
QString ServerPersonStorage::ExclusiveWorkHolder() const {
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("SELECT a.application_name, a.usename, host(a.client_addr), "
                             "to_char(a.backend_start, 'YYYY/MM/DD HH24:MI:SS'), a.pid "
                             "FROM pg_catalog.pg_locks l JOIN pg_catalog.pg_stat_activity a ON a.pid = l.pid "
                             "WHERE l.locktype = 'advisory' AND l.granted AND l.objsubid = 2 AND l.database = "
                             "(SELECT oid FROM pg_catalog.pg_database WHERE datname = current_database()) "
                             "AND l.classid = %1::oid AND l.objid = ?::regclass::oid")
                  .arg(kExclusiveWorkKey));
    q.addBindValue(kPersonTable);
    if (!q.exec() || !q.next()) return QStringLiteral("別の接続（名簿のサーバー %1）").arg(Location());
    const QString program =
        q.value(0).toString().isEmpty() ? QStringLiteral("名前のないプログラム") : q.value(0).toString();
    const QString address =
        q.value(2).toString().isEmpty() ? QStringLiteral("サーバー上のソケット") : q.value(2).toString();
    return QStringLiteral("%1（ユーザー %2、接続元 %3、%4 から、サーバーのプロセス %5）")
        .arg(program, q.value(1).toString(), address, q.value(3).toString(), q.value(4).toString());
}

std::optional<BirthTimeEntry> ServerPersonStorage::ReadBirthTime(qint64 rowId, QString* why) {
    if (!birthTimesWhy_.isEmpty() || !Ready(why)) return std::nullopt;
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE person = ?").arg(BirthTimeColumns(), kTimeTable));
    q.addBindValue(rowId);
    if (!q.exec()) {
        *why = q.lastError().text().trimmed();
        ConnectionLost();
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    return BirthTimeEntryAt(q, 0);
}

std::optional<std::unordered_map<qint64, BirthTimeEntry>> ServerPersonStorage::ReadBirthTimes(QString* why) {
    std::unordered_map<qint64, BirthTimeEntry> entries;
    if (!birthTimesWhy_.isEmpty()) return entries;
    if (!Ready(why)) return std::nullopt;
    QSqlQuery q(Database());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT person, %1 FROM %2").arg(BirthTimeColumns(), kTimeTable))) {
        *why = q.lastError().text().trimmed();
        ConnectionLost();
        return std::nullopt;
    }
    while (q.next()) entries.emplace(q.value(0).toLongLong(), BirthTimeEntryAt(q, 1));
    return entries;
}

PersonWrite ServerPersonStorage::WriteBirthTime(qint64 rowId, const BirthTimeEntry& entry) {
    if (!birthTimesWhy_.isEmpty()) return PersonWrite::Refused(birthTimesWhy_);
    if (QString why; !Ready(&why)) return PersonWrite::Refused(why);
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("INSERT INTO %1 (person, %2) SELECT id, ?, ?, ?, ?, ? FROM %3 WHERE id = ? "
                             "ON CONFLICT (person) DO UPDATE SET (%2) = (%4)")
                  .arg(kTimeTable, BirthTimeColumns(), kPersonTable, BirthTimeColumns(QStringLiteral("EXCLUDED."))));
    BindBirthTimeEntry(q, entry);
    q.addBindValue(rowId);
    if (!q.exec()) return Refused(q.lastError());
    return q.numRowsAffected() == 1 ? PersonWrite::Done(rowId) : PersonWrite::StaleRecord();
}

PersonWrite ServerPersonStorage::RemoveBirthTime(qint64 rowId) {
    if (!birthTimesWhy_.isEmpty()) return PersonWrite::Done(rowId);  // nothing can be stored here, so nothing is
    if (QString why; !Ready(&why)) return PersonWrite::Refused(why);
    QSqlQuery q(Database());
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(kTimeTable));
    q.addBindValue(rowId);
    if (!q.exec()) return Refused(q.lastError());
    return PersonWrite::Done(rowId);
}

}  // namespace zelvara
