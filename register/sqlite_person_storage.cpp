#include "register/sqlite_person_storage.h"

#include "common/sqlite_connection.h"
#include "engine/context.h"
#include "register/birth_time_sql.h"
#include "register/consultation_storage.h"
#include "register/person_values.h"

#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <sqlite3.h>

#include <algorithm>

namespace zelvara {
namespace {

// The deleted records' table, made with the first deletion: its number and
// time of deletion before the register's columns.
QString DeletedPersonTableSql() {
    const TableLayout layout = PersonTableLayout();
    QStringList columns{QuotedName(kDeletedNumberColumn) + QLatin1String(" INTEGER PRIMARY KEY AUTOINCREMENT"),
                        QuotedName(kDeletedAtColumn) + QLatin1String(" TEXT NOT NULL")};
    for (const FieldDef& field : layout.fields) columns << layout.ColumnSql(field);
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
        .arg(kDeletedPersonTable, columns.join(QLatin1String(", ")));
}

// What the user can do about a refused write, by SQLite's result code
// (an extended code counts as its primary one).
QString WriteFailureAdvice(int sqliteCode) {
    switch (sqliteCode & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral(
                "別のプログラムがファイルを使用中のため書き込めませんでした。"
                "しばらく待ってから、もう一度登録してください。");
        case SQLITE_READONLY:
            return QStringLiteral(
                "ファイルまたはフォルダーが読み取り専用のため書き込めませんでした。"
                "ファイルとフォルダーの書き込み権限を確かめてください。");
        case SQLITE_FULL:
            return QStringLiteral(
                "ディスクがいっぱいのため書き込めませんでした。空きを作ってから、もう一度登録してください。");
        case SQLITE_IOERR:
            return QStringLiteral("ディスクへの書き込みに失敗しました。ディスクとその空き容量を確かめてください。");
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral(
                "ファイルが壊れているため書き込めませんでした。"
                "バックアップから戻してください（zelvara-cli register restore）。");
        default:
            return QStringLiteral(
                "書き込めませんでした。ファイルとフォルダーの書き込み権限と、ディスクの空き容量を確かめてください。");
    }
}

}  // namespace

TableLayout PersonTableLayout() {
    TableLayout layout{kPersonTable, {}, TableLayout::Columns::NotNullText, {}};
    for (int i = 0; i < kPersonFieldCount; ++i)
        layout.fields << FieldDef{FieldName(i), FieldType::String, kPersonFields[i].size};
    return layout;
}

const QStringList& PersonColumns() {
    static const QStringList columns = [] {
        QStringList c;
        for (int i = 0; i < kPersonFieldCount; ++i) c << FieldName(i);
        return c;
    }();
    return columns;
}

QString PersonColumnList() { return SingleTableStore::ColumnList(PersonColumns()); }

SqlitePersonStorage::SqlitePersonStorage(MessageSink& sink)
    : sink_(sink), store_(PersonTableLayout(), QStringLiteral("persons")) {}

SqlitePersonStorage::~SqlitePersonStorage() { store_.Close(); }

void SqlitePersonStorage::Report(const QString& text) const { sink_.Show(text.toStdString(), {}); }

QString SqlitePersonStorage::Describe(const QSqlError& error) const {
    return QStringLiteral("人物データをファイル「%1」に書き込めませんでした。\n%2\n詳細: %3")
        .arg(path_, WriteFailureAdvice(error.nativeErrorCode().toInt()), error.text());
}

PersonWrite SqlitePersonStorage::Written(const StoreWrite& w) const {
    if (w.ok) return PersonWrite::Done(w.rowId);
    return w.error.isValid() ? PersonWrite::Refused(Describe(w.error)) : PersonWrite::StaleRecord();
}

StorageOpening SqlitePersonStorage::Open(const QString& path, Mode mode) {
    store_.Close();
    path_ = path;
    const QFileInfo info(path_);
    StorageOpening opening;
    auto closed = [&](const QString& why) {
        store_.Close();
        opening.access = RegisterAccess::Closed;
        opening.why = why;
        return opening;
    };
    if (info.exists() && !info.isFile()) {
        Report(QStringLiteral("人物データの「%1」はファイルではありません。").arg(path_));
        return closed(QStringLiteral("ファイルではありません"));
    }
    if (info.exists() && !info.isReadable()) {
        Report(QStringLiteral("人物データのファイル「%1」を読むことができません。\nファイルの権限を確かめてください。")
                   .arg(path_));
        return closed(QStringLiteral("ファイルを読む権限がありません"));
    }

    QString readOnlyWhy;
    if (mode == Mode::Write) {
        QString holder;
        const RegisterLock::State lock = store_.TakeLock(path_, &holder);
        if (lock == RegisterLock::State::HeldElsewhere) {
            opening.lockHolder = holder;
            readOnlyWhy = QStringLiteral("%1 が使用中です").arg(holder);
        } else if (lock == RegisterLock::State::Unavailable) {
            readOnlyWhy = QStringLiteral("フォルダーに書き込めません");
        } else if (info.exists() && !info.isWritable()) {
            readOnlyWhy = QStringLiteral("ファイルが読み取り専用です");
        }
        if (!readOnlyWhy.isEmpty()) store_.ReleaseLock();
    } else {
        readOnlyWhy = QStringLiteral("読み取り専用で開きました");
    }
    const bool readOnly = !readOnlyWhy.isEmpty();
    const bool fresh = !info.exists() || info.size() == 0;
    if (readOnly && fresh) return closed(QStringLiteral("ファイルがなく、作ることもできません（%1）").arg(readOnlyWhy));
    if (const QString why = store_.Open(path_, readOnly); !why.isEmpty()) {
        Report(QStringLiteral("人物データのファイル「%1」を開けません。\n%2").arg(path_, why));
        return closed(why);
    }
    if (fresh) {
        if (const QString why = store_.CreateTable(); !why.isEmpty()) {
            Report(QStringLiteral("人物データのファイル「%1」に表を作れません。\n%2").arg(path_, why));
            return closed(QStringLiteral("人物データの表として使えないファイルです"));
        }
    } else if (const QString why = store_.CheckSchema(SingleTableStore::SchemaRule::Exact); !why.isEmpty()) {
        Report(QStringLiteral("人物データのファイル「%1」は人物データの表として使えません。\n（%2）\n"
                              "ファイルはそのまま残してあります。別の場所に移すと、次の起動で空の表が作られます。")
                   .arg(path_, why));
        return closed(QStringLiteral("人物データの表として使えないファイルです"));
    }
    opening.access = readOnly ? RegisterAccess::ReadOnly : RegisterAccess::Writable;
    opening.why = readOnlyWhy;
    return opening;
}

std::optional<std::vector<StoredPerson>> SqlitePersonStorage::Select(int filterField, const QString& value,
                                                                     QString* why) {
    const auto found = filterField >= 0
                           ? store_.Select(PersonColumns(), QStringLiteral("rowid"), why, FieldName(filterField), value)
                           : store_.Select(PersonColumns(), QStringLiteral("rowid"), why);
    if (!found) return std::nullopt;
    std::vector<StoredPerson> rows;
    rows.reserve(size_t(found->size()));
    for (const SingleTableStore::Row& row : *found)
        rows.push_back(StoredPerson{row.rowId, 0, PersonValuesFromList(row.values)});
    return rows;
}

std::optional<StoredPerson> SqlitePersonStorage::SelectOne(qint64 rowId, QString*) {
    const auto row = store_.SelectRow(rowId, PersonColumns());
    if (!row) return std::nullopt;
    return StoredPerson{rowId, 0, PersonValuesFromList(row->values)};
}

PersonWrite SqlitePersonStorage::Insert(const PersonValues& values) {
    return Written(store_.Insert(PersonColumns(), PersonValuesToList(values)));
}

PersonWrite SqlitePersonStorage::Update(const StoredPerson& asRead, const PersonValues& values) {
    const QStringList expected = PersonValuesToList(asRead.values);
    return Written(store_.Update(asRead.rowId, PersonColumns(), PersonValuesToList(values), &expected));
}

PersonWrite SqlitePersonStorage::Remove(const StoredPerson& asRead) {
    QSqlDatabase db = store_.Database();
    db.transaction();
    QSqlQuery q(db);
    const bool ok = q.exec(DeletedPersonTableSql()) &&
                    q.prepare(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT ?, %3 FROM %4 WHERE rowid = ? AND %5")
                                  .arg(kDeletedPersonTable, QuotedName(kDeletedAtColumn), PersonColumnList(),
                                       kPersonTable, SingleTableStore::SameValuesCondition(PersonColumns())));
    if (ok) {
        q.addBindValue(QDateTime::currentDateTime().toString(Qt::ISODate));
        q.addBindValue(asRead.rowId);
        BindPersonValues(q, asRead.values);
    }
    PersonWrite result = PersonWrite::Done(asRead.rowId);
    QSqlError timeError;
    if (!ok || !q.exec()) {
        result = PersonWrite::Refused(Describe(q.lastError()));
    } else if (q.numRowsAffected() != 1) {
        result = PersonWrite::StaleRecord();
    } else if (const qint64 number = q.lastInsertId().toLongLong();
               !KeepDeletedBirthTime(db, asRead.rowId, number, &timeError) ||
               !KeepDeletedProfile(db, asRead.rowId, number, &timeError) ||
               !KeepClientConsultations(db, asRead.rowId, number, &timeError)) {
        result = PersonWrite::Refused(Describe(timeError));
    } else {
        result =
            FinishMove(q, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kPersonTable), asRead.rowId, result);
    }
    if (!result.Ok()) db.rollback();
    return result;
}

PersonWrite SqlitePersonStorage::FinishMove(QSqlQuery& q, const QString& deleteSql, qint64 key, PersonWrite written) {
    q.prepare(deleteSql);
    q.addBindValue(key);
    if (!q.exec()) return PersonWrite::Refused(Describe(q.lastError()));
    if (QSqlDatabase db = store_.Database(); !db.commit()) return PersonWrite::Refused(Describe(db.lastError()));
    return written;
}

std::optional<std::vector<DeletedPerson>> SqlitePersonStorage::Deleted(QString*) {
    std::vector<DeletedPerson> list;
    QSqlQuery q(store_.Database());
    if (!q.exec(QStringLiteral("SELECT %1, %2, %3 FROM %4 ORDER BY %1 DESC")
                    .arg(QuotedName(kDeletedNumberColumn), QuotedName(kDeletedAtColumn), PersonColumnList(),
                         kDeletedPersonTable)))
        return list;  // no record was ever deleted: the table is not there yet
    while (q.next()) {
        DeletedPerson d;
        d.number = q.value(0).toLongLong();
        d.deletedAt = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
        d.values = ReadPersonValues(q, 2);
        list.push_back(std::move(d));
    }
    return list;
}

PersonWrite SqlitePersonStorage::Restore(qint64 number) {
    QSqlDatabase db = store_.Database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 WHERE %4 = ?")
                  .arg(kPersonTable, PersonColumnList(), kDeletedPersonTable, QuotedName(kDeletedNumberColumn)));
    q.addBindValue(number);
    PersonWrite result;
    QSqlError timeError;
    if (!q.exec()) {
        result = PersonWrite::Refused(Describe(q.lastError()));
    } else if (q.numRowsAffected() != 1) {
        result = PersonWrite::Refused(NoDeletedRecordText(number));
    } else if (const qint64 rowId = q.lastInsertId().toLongLong();
               !BringBackBirthTime(db, number, rowId, &timeError) || !BringBackProfile(db, number, rowId, &timeError) ||
               !BringBackClientConsultations(db, number, rowId, &timeError)) {
        result = PersonWrite::Refused(Describe(timeError));
    } else {
        result = FinishMove(
            q, QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(kDeletedPersonTable, QuotedName(kDeletedNumberColumn)),
            number, PersonWrite::Done(rowId));
    }
    if (!result.Ok()) db.rollback();
    return result;
}

PersonWrite SqlitePersonStorage::InsertAll(const std::vector<PersonValues>& records,
                                           const std::function<void(int done)>& progress, const RecordBirthTimes& times,
                                           const RecordProfiles& profiles) {
    QList<QStringList> rows;
    rows.reserve(qsizetype(records.size()));
    for (const PersonValues& r : records) rows << PersonValuesToList(r);
    const bool anyTime = std::any_of(times.begin(), times.end(), [](const auto& t) { return t.has_value(); });
    const bool anyProfile =
        std::any_of(profiles.begin(), profiles.end(), [](const QString& p) { return !p.isEmpty(); });
    if (!anyTime && !anyProfile) return Written(store_.InsertRows(PersonColumns(), rows, progress));
    // The records in runs, each ending at a record with a time or a profile,
    // so that the last row of a run is the one they belong to.
    QSqlDatabase db = store_.Database();
    QSqlError error;
    if (!store_.Begin()) return PersonWrite::Refused(Describe(db.lastError()));
    if ((anyTime && !CreateSqliteBirthTimeTables(db, &error)) ||
        (anyProfile && !CreateSqliteProfileTables(db, &error))) {
        store_.Rollback();
        return PersonWrite::Refused(Describe(error));
    }
    qsizetype start = 0;
    for (qsizetype n = 0; n < rows.size(); ++n) {
        const bool timed = size_t(n) < times.size() && times[size_t(n)];
        const QString profile = size_t(n) < profiles.size() ? profiles[size_t(n)] : QString();
        if (!timed && profile.isEmpty() && n + 1 < rows.size()) continue;
        const StoreWrite w = store_.InsertRows(PersonColumns(), rows.mid(start, n + 1 - start));
        bool found = true;
        if (!w.ok || (timed && !WriteSqliteBirthTime(db, w.rowId, *times[size_t(n)], &found, &error)) || !found ||
            (!profile.isEmpty() && !WritePersonProfile(db, w.rowId, profile, &found, &error)) || !found) {
            store_.Rollback();
            return w.ok ? PersonWrite::Refused(Describe(error)) : Written(w);
        }
        if (progress && (n + 1) / 1000 > start / 1000)  // every thousand records, as without times
            progress(int(n + 1));
        start = n + 1;
    }
    const StoreWrite done = store_.Commit();
    if (progress) progress(int(rows.size()));
    return done.ok ? PersonWrite::Done(-1) : Written(done);
}

std::optional<BirthTimeEntry> SqlitePersonStorage::ReadBirthTime(qint64 rowId, QString*) {
    return ReadSqliteBirthTime(store_.Database(), rowId);
}

std::optional<std::unordered_map<qint64, BirthTimeEntry>> SqlitePersonStorage::ReadBirthTimes(QString* why) {
    return ReadSqliteBirthTimes(store_.Database(), why);
}

PersonWrite SqlitePersonStorage::WriteBirthTime(qint64 rowId, const BirthTimeEntry& entry) {
    QSqlDatabase db = store_.Database();
    QSqlError error;
    bool found = false;
    if (!db.transaction()) return PersonWrite::Refused(Describe(db.lastError()));
    if (!CreateSqliteBirthTimeTables(db, &error) || !WriteSqliteBirthTime(db, rowId, entry, &found, &error)) {
        db.rollback();
        return PersonWrite::Refused(Describe(error));
    }
    if (!found) {
        db.rollback();
        return PersonWrite::StaleRecord();
    }
    if (!db.commit()) {
        const PersonWrite refused = PersonWrite::Refused(Describe(db.lastError()));
        db.rollback();
        return refused;
    }
    return PersonWrite::Done(rowId);
}

PersonWrite SqlitePersonStorage::RemoveBirthTime(qint64 rowId) {
    QSqlError error;
    if (!RemoveSqliteBirthTime(store_.Database(), rowId, &error)) return PersonWrite::Refused(Describe(error));
    return PersonWrite::Done(rowId);
}

}  // namespace zelvara
