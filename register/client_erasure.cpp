#include "register/client_erasure.h"

#include "common/sqlite_connection.h"
#include "register/birth_time_sql.h"
#include "register/client_data.h"
#include "register/consultation_storage.h"
#include "register/person_profile_sql.h"
#include "register/person_table.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUrl>
#include <QVariant>

#include <sqlite3.h>

#include <algorithm>
#include <memory>

namespace zelvara {
namespace {

// The fields that make a deleted record or a backup's record the client's.
constexpr int kIdentityFields[] = {kFieldName, kFieldYear, kFieldMonth, kFieldDay, kFieldSex};

bool SamePerson(const PersonValues& a, const PersonValues& b) {
    for (int f : kIdentityFields)
        if (a[f].trimmed() != b[f].trimmed()) return false;
    return true;
}

bool IsSqlite(const QSqlDatabase& db) { return db.driverName() == QLatin1String("QSQLITE"); }

bool HasTable(const QSqlDatabase& db, const QString& table) {
    if (IsSqlite(db)) return SqliteTableExists(db, table);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT to_regclass(?) IS NOT NULL"));
    q.addBindValue(table);
    return q.exec() && q.next() && q.value(0).toBool();
}

// "?, ?, ?" for n values (n ≥ 1).
QString Placeholders(size_t n) {
    QStringList marks;
    for (size_t i = 0; i < n; ++i) marks << QStringLiteral("?");
    return marks.join(QStringLiteral(", "));
}

// The count of rows the statement selects, or nullopt with *error.
std::optional<int> Count(const QSqlDatabase& db, const QString& sql, const QVariantList& values, QString* error) {
    QSqlQuery q(db);
    q.prepare(sql);
    for (const QVariant& v : values) q.addBindValue(v);
    if (!q.exec() || !q.next()) {
        *error = q.lastError().text().trimmed();
        return std::nullopt;
    }
    return q.value(0).toInt();
}

QVariantList Numbers(const std::vector<qint64>& numbers) {
    QVariantList list;
    for (qint64 n : numbers) list << n;
    return list;
}

QString PersonKey(const QSqlDatabase& db) { return IsSqlite(db) ? QStringLiteral("rowid") : QStringLiteral("id"); }
QString DeletedTimeKey(const QSqlDatabase& db) {
    return IsSqlite(db) ? QStringLiteral("number") : QuotedName(kDeletedNumberColumn);
}

// Counts what the plan names from the tables themselves.
bool CountEntries(const QSqlDatabase& db, ClientErasure& plan, QString* why) {
    const QString entries = QString::fromLatin1(kConsultationTableName);
    const QString deleted = QString::fromLatin1(kDeletedConsultationTableName);
    if (!HasTable(db, entries) || !HasTable(db, deleted)) return true;
    const auto own =
        Count(db, QStringLiteral("SELECT count(*) FROM %1 WHERE person = ?").arg(entries), {plan.client}, why);
    const auto alone =
        own ? Count(db,
                    QStringLiteral("SELECT count(*) FROM %1 WHERE person = ? AND client_number IS NULL").arg(deleted),
                    {plan.client}, why)
            : std::nullopt;
    std::optional<int> withCopies = 0;
    if (alone && !plan.deletedCopies.empty())
        withCopies = Count(db,
                           QStringLiteral("SELECT count(*) FROM %1 WHERE client_number IN (%2)")
                               .arg(deleted, Placeholders(plan.deletedCopies.size())),
                           Numbers(plan.deletedCopies), why);
    if (!own || !alone || !withCopies) return false;
    plan.entries = *own;
    plan.deletedEntries = *alone;
    plan.deletedCopyEntries = *withCopies;
    return true;
}

class StatementRunner {
public:
    explicit StatementRunner(QSqlDatabase db) : db_(std::move(db)) {}
    bool Run(const QString& sql, const QVariantList& values = {}) {
        if (!error_.isEmpty()) return false;
        QSqlQuery q(db_);
        if (!q.prepare(sql)) return Failed(q.lastError());
        for (const QVariant& v : values) q.addBindValue(v);
        if (!q.exec()) return Failed(q.lastError());
        affected_ = q.numRowsAffected();
        return true;
    }
    int Affected() const { return affected_; }
    const QString& Error() const { return error_; }

private:
    bool Failed(const QSqlError& e) {
        error_ = e.text().trimmed();
        return false;
    }
    QSqlDatabase db_;
    QString error_;
    int affected_ = 0;
};

// The statements of the erasure, inside the caller's transaction; false
// with the runner's error, or with *stale when the record changed.
bool RunErasure(const QSqlDatabase& db, const ClientErasure& plan, const QString& expectedName, bool* stale,
                QString* error) {
    StatementRunner run(db);
    const QString key = PersonKey(db);
    const QString entries = QString::fromLatin1(kConsultationTableName);
    const QString deleted = QString::fromLatin1(kDeletedConsultationTableName);
    const bool hasEntries = HasTable(db, entries) && HasTable(db, deleted);
    const QVariantList copies = Numbers(plan.deletedCopies);
    const QString inCopies = Placeholders(plan.deletedCopies.size());
    if (hasEntries) {
        run.Run(QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(entries), {plan.client});
        run.Run(QStringLiteral("DELETE FROM %1 WHERE person = ? AND client_number IS NULL").arg(deleted),
                {plan.client});
        if (!copies.isEmpty())
            run.Run(QStringLiteral("DELETE FROM %1 WHERE client_number IN (%2)").arg(deleted, inCopies), copies);
    }
    const QString times = QString::fromLatin1(kBirthTimeTableName);
    const QString deletedTimes = QString::fromLatin1(kDeletedBirthTimeTableName);
    if (HasTable(db, times)) run.Run(QStringLiteral("DELETE FROM %1 WHERE person = ?").arg(times), {plan.client});
    if (!copies.isEmpty() && HasTable(db, deletedTimes))
        run.Run(QStringLiteral("DELETE FROM %1 WHERE %2 IN (%3)").arg(deletedTimes, DeletedTimeKey(db), inCopies),
                copies);
    if (QSqlError profileError;
        run.Error().isEmpty() && !EraseProfiles(db, plan.client, plan.deletedCopies, &profileError))
        *error = profileError.text().trimmed();
    if (!error->isEmpty()) return false;
    // The record itself, only while it is still the client as planned.
    run.Run(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND %3 = ?")
                .arg(kPersonTable, key, QuotedName(FieldName(kFieldName))),
            {plan.client, expectedName});
    if (run.Error().isEmpty() && run.Affected() != 1) {
        *stale = true;
        return false;
    }
    if (!copies.isEmpty())
        run.Run(QStringLiteral("DELETE FROM %1 WHERE %2 IN (%3)")
                    .arg(kDeletedPersonTable, QuotedName(kDeletedNumberColumn), inCopies),
                copies);
    // The full-text index keeps the erased texts in its older segments
    // until they are merged; merging writes new segments and frees the old
    // pages, which secure_delete overwrites.
    if (hasEntries && IsSqlite(db))
        run.Run(QStringLiteral("INSERT INTO consultation_text (consultation_text) VALUES ('optimize')"));
    *error = run.Error();
    return run.Error().isEmpty();
}

// The date a backup copy is of: nam_data-YYYYMMDD… in its name, else the
// time the file was last written.
QDate CopyDate(const QFileInfo& file) {
    static const QRegularExpression dated(QStringLiteral("(\\d{8})"));
    if (const QRegularExpressionMatch m = dated.match(file.completeBaseName()); m.hasMatch()) {
        const QDate d = QDate::fromString(m.captured(1), QStringLiteral("yyyyMMdd"));
        if (d.isValid()) return d;
    }
    return file.lastModified().date();
}

// Whether the copy holds the person: true/false, or nullopt with *why when it
// cannot be read. Opened immutable and read-only: nothing is written, not
// even a journal.
std::optional<bool> CopyHolds(const QString& path, const PersonValues& values, QString* why) {
    sqlite3* db = nullptr;
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?immutable=1";
    int rc = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> open(db, sqlite3_close);
    if (rc != SQLITE_OK) {
        *why = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        return std::nullopt;
    }
    bool anyTable = false;
    for (const QString& table : {kPersonTable, kDeletedPersonTable}) {
        QString sql = QStringLiteral("SELECT count(*) FROM %1 WHERE ").arg(table);
        QStringList conditions;
        for (int f : kIdentityFields) conditions << QStringLiteral("trim(%1) = ?").arg(QuotedName(FieldName(f)));
        sql += conditions.join(QStringLiteral(" AND "));
        sqlite3_stmt* stmt = nullptr;
        rc = sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &stmt, nullptr);
        const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)> statement(stmt, sqlite3_finalize);
        if (rc != SQLITE_OK) {
            // A copy made before any record was deleted has no deleted table.
            if (table == kDeletedPersonTable &&
                QString::fromUtf8(sqlite3_errmsg(db)).contains(QLatin1String("no such")))
                continue;
            *why = QString::fromUtf8(sqlite3_errmsg(db));
            return std::nullopt;
        }
        anyTable = true;
        int n = 1;
        std::vector<QByteArray> texts;
        for (int f : kIdentityFields) texts.push_back(values[f].trimmed().toUtf8());
        for (const QByteArray& t : texts) sqlite3_bind_text(stmt, n++, t.constData(), int(t.size()), SQLITE_STATIC);
        rc = sqlite3_step(stmt);
        if (rc != SQLITE_ROW) {
            *why = QString::fromUtf8(sqlite3_errmsg(db));
            return std::nullopt;
        }
        if (sqlite3_column_int(stmt, 0) > 0) return true;
    }
    if (!anyTable) {
        *why = QStringLiteral("名簿の写しではありません");
        return std::nullopt;
    }
    return false;
}

}  // namespace

std::optional<ClientErasure> PlanClientErasure(PersonTable& table, qint64 client, QString* why) {
    const std::optional<StoredPerson> stored = StoredClient(table, client, why);
    if (!stored) return std::nullopt;
    ClientErasure plan;
    plan.client = client;
    plan.values = stored->values;
    plan.exactTime = table.BirthTime(client).has_value();
    plan.profile = table.Profile(client);
    const auto deleted = table.ReadDeletedRecords(why);
    if (!deleted) return std::nullopt;
    for (const DeletedPerson& d : *deleted)
        if (SamePerson(d.values, plan.values)) plan.deletedCopies.push_back(d.number);
    if (!CountEntries(table.Connection(), plan, why)) return std::nullopt;
    return plan;
}

QString ClientErasureText(const ClientErasure& plan) {
    const PersonValues& v = plan.values;
    QStringList goes;
    goes << QStringLiteral("・名簿の記録（%1　%2年%3月%4日生　%5）")
                .arg(v[kFieldName], v[kFieldYear], v[kFieldMonth], v[kFieldDay], v[kFieldSex]);
    goes << (plan.exactTime ? QStringLiteral("・出生時刻・出生地") : QStringLiteral("・出生時刻・出生地（記録なし）"));
    if (!plan.profile.isEmpty()) goes << QStringLiteral("・流派の選択（%1）").arg(plan.profile);
    goes << QStringLiteral("・鑑定記録 %1 件").arg(plan.entries);
    goes << QStringLiteral("・削除した鑑定記録 %1 件").arg(plan.deletedEntries);
    goes << QStringLiteral("・削除したデータに残るこの人物の記録 %1 件（その鑑定記録 %2 件）")
                .arg(plan.deletedCopies.size())
                .arg(plan.deletedCopyEntries);
    return QStringLiteral("「%1」のデータを完全に削除します。次のものが名簿から消え、元に戻せません。\n%2")
        .arg(v[kFieldName], goes.join(QLatin1Char('\n')));
}

PersonWrite EraseClient(PersonTable& table, const ClientErasure& plan, QString* holder) {
    if (!table.IsWritable())
        return PersonWrite::Refused(table.Unavailability().isEmpty()
                                        ? QStringLiteral("名簿に書き込めないため削除できません。")
                                        : QStringLiteral("名簿に書き込めないため削除できません。\n") +
                                              table.Unavailability());
    const ExclusiveWork work = table.TakeExclusiveWork();
    if (!work.taken && holder) *holder = work.holder;
    if (!work.taken)
        return PersonWrite::Refused(work.holder.isEmpty() ? work.why
                                                          : ExclusiveWorkBusyText(work.holder) +
                                                                QStringLiteral("終わってから、もう一度してください。"));
    // The plan is made again under the work of one at a time: what the
    // reader confirmed must still be what goes.
    QString why;
    const std::optional<ClientErasure> now = PlanClientErasure(table, plan.client, &why);
    const auto stale = [&] {
        table.ReleaseExclusiveWork();
        return PersonWrite::Refused(QStringLiteral("「%1」のデータは確かめた後に変わりました。何も削除していません。"
                                                   "もう一度確かめてから削除してください。")
                                        .arg(plan.values[kFieldName]));
    };
    if (!now) {
        table.ReleaseExclusiveWork();
        return PersonWrite::Refused(why);
    }
    if (now->values != plan.values || now->entries != plan.entries || now->deletedEntries != plan.deletedEntries ||
        now->deletedCopies != plan.deletedCopies || now->deletedCopyEntries != plan.deletedCopyEntries)
        return stale();

    QSqlDatabase db = table.Connection();
    const bool file = IsSqlite(db);
    QSqlQuery pragma(db);
    if (file) pragma.exec(QStringLiteral("PRAGMA secure_delete = ON"));
    bool wasStale = false;
    QString error;
    bool done = db.transaction() && RunErasure(db, plan, plan.values[kFieldName], &wasStale, &error);
    if (done && !db.commit()) {
        error = db.lastError().text().trimmed();
        done = false;
    }
    if (!done) db.rollback();
    if (file) pragma.exec(QStringLiteral("PRAGMA secure_delete = OFF"));
    table.ReleaseExclusiveWork();
    if (wasStale) return stale();
    if (!done)
        return PersonWrite::Refused(
            QStringLiteral("「%1」のデータを削除できませんでした。何も削除していません。\n詳細: %2")
                .arg(plan.values[kFieldName], error.isEmpty() ? db.lastError().text().trimmed() : error));
    table.Refresh();
    return PersonWrite::Done(plan.client);
}

std::vector<BackupHolding> BackupCopiesHolding(const QString& folder, const PersonValues& values) {
    std::vector<BackupHolding> holding;
    const QFileInfoList files = QDir(folder).entryInfoList({QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    for (const QFileInfo& file : files) {
        QString why;
        const std::optional<bool> holds = CopyHolds(file.absoluteFilePath(), values, &why);
        if (holds && !*holds) continue;
        holding.push_back({file.fileName(), CopyDate(file), holds.has_value(), why});
    }
    std::stable_sort(holding.begin(), holding.end(),
                     [](const BackupHolding& a, const BackupHolding& b) { return a.date < b.date; });
    return holding;
}

QString BackupHoldingText(const std::vector<BackupHolding>& copies, bool server, const QString& folder) {
    if (server)
        return QStringLiteral(
            "サーバーの名簿のバックアップは、サーバーの管理者が管理しています。"
            "バックアップに残るこの人物のデータの削除は、管理者に依頼してください。");
    if (copies.empty())
        return QStringLiteral("バックアップ（%1）に、この人物のデータを含む写しはありません。")
            .arg(QDir::toNativeSeparators(folder));
    QStringList lines;
    for (const BackupHolding& c : copies)
        lines << (c.readable ? QStringLiteral("・%1（%2）").arg(c.file, c.date.toString(QStringLiteral("yyyy/MM/dd")))
                             : QStringLiteral("・%1（%2）: 読めないため確かめられません（%3）")
                                   .arg(c.file, c.date.toString(QStringLiteral("yyyy/MM/dd")), c.why));
    return QStringLiteral(
               "次のバックアップの写し（%1）には、この人物のデータがまだ残っています。"
               "写しは変更していません。必要なら、これらのファイルを削除してください。\n%2")
        .arg(QDir::toNativeSeparators(folder), lines.join(QLatin1Char('\n')));
}

}  // namespace zelvara
