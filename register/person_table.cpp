#include "person_table.h"

#include "context.h"
#include "sqlite_connection.h"
#include "sqlite_copy.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

namespace zelvara {
namespace {

const QString kTable = QString::fromLatin1(PersonTable::kTableName);
const QString kDeletedTable = QString::fromLatin1(PersonTable::kDeletedTableName);
const QString kDeletedNumber = QStringLiteral("番号");
const QString kDeletedAt = QStringLiteral("削除日時");

TableLayout PersonLayout()
{
    TableLayout layout{kTable, {}, TableLayout::Columns::NotNullText, {}};
    for (int i = 0; i < kPersonFieldCount; ++i)
        layout.fields << FieldDef{FieldName(i), FieldType::String, kPersonFields[i].size};
    return layout;
}

const QStringList& Columns()
{
    static const QStringList columns = [] {
        QStringList c;
        for (int i = 0; i < kPersonFieldCount; ++i)
            c << FieldName(i);
        return c;
    }();
    return columns;
}

QString ColumnList() { return SingleTableStore::ColumnList(Columns()); }
QString SameValuesCondition() { return SingleTableStore::SameValuesCondition(Columns()); }

QString Bindable(const QString& v) { return v.isNull() ? QStringLiteral("") : v; }  // a null text binds as NULL

void BindValues(QSqlQuery& q, const PersonValues& values)
{
    for (const QString& v : values)
        q.addBindValue(Bindable(v));
}

QStringList ToList(const PersonValues& values) { return QStringList(values.begin(), values.end()); }

PersonValues FromList(const QStringList& list)
{
    PersonValues values;
    for (int i = 0; i < kPersonFieldCount; ++i)
        values[i] = list.value(i);
    return values;
}

PersonValues ReadValues(const QSqlQuery& q, int firstColumn)
{
    PersonValues values;
    for (int i = 0; i < kPersonFieldCount; ++i)
        values[i] = q.value(firstColumn + i).toString();
    return values;
}

// What the user can do about a refused write, by SQLite's result code.
QString WriteFailureAdvice(int sqliteCode)
{
    switch (sqliteCode & 0xff) {
    case 5:  // SQLITE_BUSY
    case 6:  // SQLITE_LOCKED
        return QStringLiteral("別のプログラムがファイルを使用中のため書き込めませんでした。"
                              "しばらく待ってから、もう一度登録してください。");
    case 8:  // SQLITE_READONLY
        return QStringLiteral("ファイルまたはフォルダーが読み取り専用のため書き込めませんでした。"
                              "ファイルとフォルダーの書き込み権限を確かめてください。");
    case 13:  // SQLITE_FULL
        return QStringLiteral("ディスクがいっぱいのため書き込めませんでした。空きを作ってから、もう一度登録してください。");
    case 10:  // SQLITE_IOERR
        return QStringLiteral("ディスクへの書き込みに失敗しました。ディスクとその空き容量を確かめてください。");
    case 11:  // SQLITE_CORRUPT
    case 26:  // SQLITE_NOTADB
        return QStringLiteral("ファイルが壊れているため書き込めませんでした。"
                              "バックアップから戻してください（zelvara-cli register restore）。");
    default:
        return QStringLiteral("書き込めませんでした。ファイルとフォルダーの書き込み権限と、ディスクの空き容量を確かめてください。");
    }
}

const QString kDiscardQuestion = QStringLiteral("保存できなかった変更を破棄して、登録されている内容に戻しますか？");

}  // namespace

PersonTable::PersonTable(MessageSink& sink, QObject* parent)
    : QObject(parent), sink_(sink), store_(PersonLayout(), QStringLiteral("persons"))
{
}

PersonTable::~PersonTable() { Close(); }

void PersonTable::Report(const QString& text) const { sink_.Show(text.toStdString(), {}); }

QString PersonTable::Describe(const QSqlError& error) const
{
    return QStringLiteral("人物データをファイル「%1」に書き込めませんでした。\n%2\n詳細: %3")
        .arg(path_, WriteFailureAdvice(error.nativeErrorCode().toInt()), error.text());
}

QString PersonTable::BackupFolder() const
{
    return backupFolder_.isEmpty() ? QFileInfo(path_).dir().filePath(QStringLiteral("backup")) : backupFolder_;
}

bool PersonTable::Open(const QString& folder, OpenMode mode)
{
    return OpenPath(QDir(folder).filePath(QString::fromLatin1(kFileName)), mode);
}

bool PersonTable::OpenPath(const QString& path, OpenMode mode)
{
    Close();
    path_ = path;
    const QFileInfo info(path_);
    auto unavailable = [this](const QString& why) {
        unavailability_ = QStringLiteral("名簿（%1）を開けません：%2。鑑定と印刷はできますが、入力した内容は保存されません。")
                              .arg(path_, why);
        emit accessChanged();
        return false;
    };
    if (info.exists() && !info.isFile()) {
        Report(QStringLiteral("人物データの「%1」はファイルではありません。").arg(path_));
        return unavailable(QStringLiteral("ファイルではありません"));
    }
    if (info.exists() && !info.isReadable()) {
        Report(QStringLiteral("人物データのファイル「%1」を読むことができません。\nファイルの権限を確かめてください。").arg(path_));
        return unavailable(QStringLiteral("ファイルを読む権限がありません"));
    }

    QString readOnlyWhy;
    if (mode == OpenMode::Write) {
        QString holder;
        const RegisterLock::State lock = store_.TakeLock(path_, &holder);
        if (lock == RegisterLock::State::HeldElsewhere) {
            lockHolder_ = holder;
            readOnlyWhy = QStringLiteral("%1 が使用中です").arg(lockHolder_);
        } else if (lock == RegisterLock::State::Unavailable) {
            readOnlyWhy = QStringLiteral("フォルダーに書き込めません");
        } else if (info.exists() && !info.isWritable()) {
            readOnlyWhy = QStringLiteral("ファイルが読み取り専用です");
        }
        if (!readOnlyWhy.isEmpty())
            store_.ReleaseLock();
    } else {
        readOnlyWhy = QStringLiteral("読み取り専用で開きました");
    }
    const bool readOnly = !readOnlyWhy.isEmpty();
    const bool fresh = !info.exists() || info.size() == 0;
    if (readOnly && fresh) {
        store_.ReleaseLock();
        return unavailable(QStringLiteral("ファイルがなく、作ることもできません（%1）").arg(readOnlyWhy));
    }
    if (const QString why = store_.Open(path_, readOnly); !why.isEmpty()) {
        Report(QStringLiteral("人物データのファイル「%1」を開けません。\n%2").arg(path_, why));
        store_.Close();
        return unavailable(why);
    }
    if (!(fresh ? CreateTable() : CheckTable())) {
        store_.Close();
        return unavailable(QStringLiteral("人物データの表として使えないファイルです"));
    }
    access_ = readOnly ? Access::ReadOnly : Access::Writable;
    if (readOnly && mode == OpenMode::Write)
        unavailability_ = QStringLiteral("名簿（%1）は読み取り専用で開いています：%2。"
                                         "閲覧・検索・鑑定・印刷はできますが、変更は保存されません。")
                              .arg(path_, readOnlyWhy);
    emit accessChanged();
    return Reload(-1);
}

void PersonTable::Close()
{
    rows_.clear();
    current_ = -1;
    modified_ = false;
    filterField_ = -1;
    filterValue_.clear();
    store_.Close();
    access_ = Access::Closed;
    unavailability_.clear();
    lockHolder_.clear();
}

bool PersonTable::CreateTable()
{
    if (const QString why = store_.CreateTable(); !why.isEmpty()) {
        Report(QStringLiteral("人物データのファイル「%1」に表を作れません。\n%2").arg(path_, why));
        return false;
    }
    return true;
}

bool PersonTable::CheckTable()
{
    const QString why = store_.CheckSchema(SingleTableStore::SchemaRule::Exact);
    if (why.isEmpty())
        return true;
    Report(QStringLiteral("人物データのファイル「%1」は人物データの表として使えません。\n（%2）\n"
                          "ファイルはそのまま残してあります。別の場所に移すと、次の起動で空の表が作られます。")
               .arg(path_, why));
    return false;
}

bool PersonTable::Reload(qint64 keepRowId, bool quiet)
{
    QString why;
    const auto found = filterField_ >= 0
                           ? store_.Select(Columns(), QStringLiteral("rowid"), &why, FieldName(filterField_), filterValue_)
                           : store_.Select(Columns(), QStringLiteral("rowid"), &why);
    if (!found) {  // the rows in view stay as they were
        if (!quiet)
            Report(QStringLiteral("人物データを読めません。\n%1").arg(why));
        return false;
    }
    std::vector<PersonRecord> rows;
    int current = -1;
    for (const SingleTableStore::Row& row : *found) {
        PersonRecord r;
        r.rowId = row.rowId;
        r.values = FromList(row.values);
        r.stored = r.values;
        if (r.rowId == keepRowId)
            current = int(rows.size());
        rows.push_back(std::move(r));
    }
    rows_ = std::move(rows);
    current_ = current < 0 && !rows_.empty() ? 0 : current;
    modified_ = false;
    emit recordsReset();
    emit currentChanged();
    return true;
}

QString PersonTable::Value(int field) const
{
    return current_ >= 0 ? rows_[current_].values[field] : QString();
}

void PersonTable::SetValue(int field, const QString& text)
{
    if (!IsOpen())
        return;
    if (rows_.empty())
        Append();
    QString& slot = rows_[current_].values[field];
    if (slot == text)
        return;
    slot = text;
    modified_ = true;
    emit valueEdited(field);
}

bool PersonTable::SetCurrent(int row)
{
    if (row < 0 || row >= RecordCount() || row == current_)
        return false;
    current_ = row;
    modified_ = false;
    emit currentChanged();
    return true;
}

bool PersonTable::PostIfModified()
{
    if (current_ < 0)
        return true;
    if (modified_) {
        if (access_ == Access::ReadOnly) {  // nothing can be kept; the page says so
            Cancel();
            return true;
        }
        return Post() || !modified_;  // refused, or refused and discarded
    }
    if (rows_[current_].rowId < 0)
        Cancel();  // an appended record left untouched is not kept
    return true;
}

bool PersonTable::First() { return IsOpen() && PostIfModified() && SetCurrent(0); }
bool PersonTable::Last() { return IsOpen() && PostIfModified() && SetCurrent(RecordCount() - 1); }
bool PersonTable::Prior() { return IsOpen() && PostIfModified() && SetCurrent(current_ - 1); }
bool PersonTable::Next() { return IsOpen() && PostIfModified() && SetCurrent(current_ + 1); }

bool PersonTable::MoveTo(int row)
{
    if (!IsOpen() || row < 0 || row >= RecordCount() || row == current_)
        return false;
    const qint64 target = rows_[row].rowId;
    if (!PostIfModified())
        return false;
    for (int i = 0; i < RecordCount(); ++i) {
        if (rows_[i].rowId == target)
            return SetCurrent(i);
    }
    return false;
}

bool PersonTable::Append()
{
    if (!IsOpen() || !PostIfModified())
        return false;
    rows_.push_back(PersonRecord{});
    current_ = RecordCount() - 1;
    modified_ = false;
    emit recordsReset();
    emit currentChanged();
    return true;
}

bool PersonTable::RefuseReadOnly()
{
    Report(unavailability_ + QStringLiteral("\nこの変更は登録できません。"));
    return false;
}

bool PersonTable::RefuseWrite(const QString& why)
{
    if (!askDiscard_) {
        Report(why);
        return false;
    }
    if (askDiscard_(why + QStringLiteral("\n\n") + kDiscardQuestion))
        Cancel();
    return false;
}

bool PersonTable::Post()
{
    if (!IsOpen() || current_ < 0 || !modified_)
        return true;
    if (access_ == Access::ReadOnly)
        return RefuseReadOnly();
    // A text the field cannot hold is the user's to mend in place; only a
    // file that refuses the write offers to discard the edit.
    QString why = FieldProblem();
    if (!why.isEmpty()) {
        Report(why);
        return false;
    }
    return WriteBuffer(&why) || RefuseWrite(why);
}

QString PersonTable::FieldProblem() const
{
    static const QStringList labels = [] {
        QStringList l;
        for (int i = 0; i < kPersonFieldCount; ++i)
            l << FieldLabel(i);
        return l;
    }();
    const QString problem = store_.CheckValues(Columns(), ToList(rows_[current_].values), labels);
    return problem.isEmpty() ? problem : problem + QStringLiteral("\nこのデータはまだ登録されていません。");
}

bool PersonTable::PostQuietly(QString* why)
{
    if (!IsOpen() || current_ < 0 || !modified_)
        return true;
    if (access_ == Access::ReadOnly) {
        *why = unavailability_;
        return false;
    }
    return WriteBuffer(why);
}

void PersonTable::BackUpBeforeFirstWriteOfDay()
{
    const QDate today = today_.value_or(QDate::currentDate());
    if (lastBackup_ == today)
        return;
    lastBackup_ = today;  // one attempt, and at most one message, a day
    const QString error = DailyBackup(path_, BackupFolder()).EnsureCopyOf(today);
    if (!error.isEmpty())
        Report(QStringLiteral("今日の名簿のバックアップを作れませんでした。登録は続けます。\n%1").arg(error));
}

QString PersonTable::StaleRecordReason(qint64 rowId, const PersonValues& expected) const
{
    const auto row = store_.SelectRow(rowId, Columns());
    if (!row)
        return QStringLiteral("この人物データは、読み込んだ後に別のプログラムで削除されています。"
                              "上書きしないよう、登録を取りやめました。");
    const PersonValues now = FromList(row->values);
    QStringList changed;
    for (int i = 0; i < kPersonFieldCount; ++i) {
        if (now[i] != expected[i])
            changed << FieldLabel(i);
    }
    return QStringLiteral("この人物データは、読み込んだ後に別のプログラムで変更されています（%1）。"
                          "上書きしないよう、登録を取りやめました。")
        .arg(changed.join(QStringLiteral("、")));
}

bool PersonTable::WriteBuffer(QString* why)
{
    PersonRecord& rec = rows_[current_];
    if (*why = FieldProblem(); !why->isEmpty())
        return false;
    const PersonValues values = FromList(SingleTableStore::Writable(ToList(rec.values)));

    BackUpBeforeFirstWriteOfDay();
    const QStringList stored = ToList(rec.stored);
    const StoreWrite w = rec.rowId < 0 ? store_.Insert(Columns(), ToList(values))
                                       : store_.Update(rec.rowId, Columns(), ToList(values), &stored);
    if (!w.ok) {
        *why = w.error.isValid() ? Describe(w.error) : StaleRecordReason(rec.rowId, rec.stored);
        return false;
    }
    const qint64 rowId = w.rowId;
    rec.rowId = rowId;
    rec.values = values;
    rec.stored = values;
    modified_ = false;
    if (filterField_ >= 0)
        return Reload(rowId);  // the record may have left the view
    emit recordsReset();
    emit currentChanged();
    return true;
}

void PersonTable::Cancel()
{
    if (current_ < 0)
        return;
    if (rows_[current_].rowId < 0) {
        rows_.erase(rows_.begin() + current_);
        current_ = std::min(current_, RecordCount() - 1);
        modified_ = false;
        emit recordsReset();
        emit currentChanged();
        return;
    }
    if (!modified_)
        return;
    // Back to the record as the file holds it now; when the file cannot be
    // read (another program has it locked), as it was last read.
    if (Reload(rows_[current_].rowId, true))
        return;
    rows_[current_].values = rows_[current_].stored;
    modified_ = false;
    emit currentChanged();
}

bool PersonTable::Delete()
{
    if (!IsOpen() || current_ < 0)
        return false;
    if (rows_[current_].rowId < 0) {
        Cancel();
        return true;
    }
    if (access_ == Access::ReadOnly)
        return RefuseReadOnly();
    const PersonRecord& rec = rows_[current_];
    BackUpBeforeFirstWriteOfDay();
    QSqlDatabase db = store_.Database();
    db.transaction();
    QSqlQuery q(db);
    QString why;
    QStringList cols;
    for (int i = 0; i < kPersonFieldCount; ++i)
        cols << QuotedName(FieldName(i)) + QLatin1String(" TEXT NOT NULL DEFAULT ''");
    const bool ok =
        q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2 INTEGER PRIMARY KEY AUTOINCREMENT, %3 TEXT NOT NULL, %4)")
                   .arg(kDeletedTable, QuotedName(kDeletedNumber), QuotedName(kDeletedAt), cols.join(QLatin1String(", ")))) &&
        q.prepare(QStringLiteral("INSERT INTO %1 (%2, %3) SELECT ?, %3 FROM %4 WHERE rowid = ? AND %5")
                      .arg(kDeletedTable, QuotedName(kDeletedAt), ColumnList(), kTable, SameValuesCondition()));
    if (ok) {
        q.addBindValue(QDateTime::currentDateTime().toString(Qt::ISODate));
        q.addBindValue(rec.rowId);
        BindValues(q, rec.stored);
    }
    if (!ok || !q.exec()) {
        why = Describe(q.lastError());
    } else if (q.numRowsAffected() != 1) {
        why = StaleRecordReason(rec.rowId, rec.stored);
    } else {
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(kTable));
        q.addBindValue(rec.rowId);
        if (!q.exec())
            why = Describe(q.lastError());
        else if (!db.commit())
            why = Describe(db.lastError());
    }
    if (!why.isEmpty()) {
        db.rollback();
        Report(QStringLiteral("人物データを削除できませんでした。\n") + why);
        return false;
    }
    rows_.erase(rows_.begin() + current_);
    current_ = std::min(current_, RecordCount() - 1);
    modified_ = false;
    emit recordsReset();
    emit currentChanged();
    return true;
}

std::vector<DeletedPerson> PersonTable::DeletedRecords() const
{
    std::vector<DeletedPerson> list;
    if (!IsOpen())
        return list;
    QSqlQuery q(store_.Database());
    if (!q.exec(QStringLiteral("SELECT %1, %2, %3 FROM %4 ORDER BY %1 DESC")
                    .arg(QuotedName(kDeletedNumber), QuotedName(kDeletedAt), ColumnList(), kDeletedTable)))
        return list;  // no record was ever deleted: the table is not there yet
    while (q.next()) {
        DeletedPerson d;
        d.number = q.value(0).toLongLong();
        d.deletedAt = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
        d.values = ReadValues(q, 2);
        list.push_back(std::move(d));
    }
    return list;
}

bool PersonTable::Undelete(qint64 number)
{
    if (!IsOpen())
        return false;
    if (access_ == Access::ReadOnly)
        return RefuseReadOnly();
    if (!PostIfModified())
        return false;
    BackUpBeforeFirstWriteOfDay();
    QSqlDatabase db = store_.Database();
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO %1 (%2) SELECT %2 FROM %3 WHERE %4 = ?")
                  .arg(kTable, ColumnList(), kDeletedTable, QuotedName(kDeletedNumber)));
    q.addBindValue(number);
    QString why;
    qint64 rowId = -1;
    if (!q.exec()) {
        why = Describe(q.lastError());
    } else if (q.numRowsAffected() != 1) {
        why = QStringLiteral("削除済みデータの番号 %1 はありません。").arg(number);
    } else {
        rowId = q.lastInsertId().toLongLong();
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(kDeletedTable, QuotedName(kDeletedNumber)));
        q.addBindValue(number);
        if (!q.exec())
            why = Describe(q.lastError());
        else if (!db.commit())
            why = Describe(db.lastError());
    }
    if (!why.isEmpty()) {
        db.rollback();
        Report(why);
        return false;
    }
    return Reload(rowId);
}

std::vector<PersonValues> PersonTable::AllRecords() const
{
    std::vector<PersonValues> list;
    if (!IsOpen())
        return list;
    if (const auto rows = store_.Select(Columns()))
        for (const SingleTableStore::Row& row : *rows)
            list.push_back(FromList(row.values));
    return list;
}

bool PersonTable::AppendRecords(const std::vector<PersonValues>& records, QString* why,
                                const std::function<void(int done)>& progress)
{
    if (!IsOpen() || access_ == Access::ReadOnly) {
        *why = IsOpen() ? unavailability_ : QStringLiteral("名簿が開かれていません。");
        return false;
    }
    if (!PostIfModified()) {
        *why = QStringLiteral("保存されていない変更があるため、読み込みをやめました。");
        return false;
    }
    BackUpBeforeFirstWriteOfDay();
    QList<QStringList> rows;
    rows.reserve(qsizetype(records.size()));
    for (const PersonValues& r : records)
        rows << ToList(r);
    if (const StoreWrite w = store_.InsertRows(Columns(), rows, progress); !w.ok) {
        *why = Describe(w.error);
        return false;
    }
    return Reload(-1);
}

bool PersonTable::FindByName(const QString& prefix)
{
    if (!IsOpen() || !PostIfModified())
        return false;
    for (int i = 0; i < RecordCount(); ++i) {
        if (rows_[i].values[kFieldName].startsWith(prefix, Qt::CaseSensitive)) {
            SetCurrent(i);
            return true;
        }
    }
    return false;
}

bool PersonTable::SetFilter(const QString& field, const QString& value)
{
    const int index = FieldIndexOf(field);
    if (!IsOpen() || index < 0 || !PostIfModified())
        return false;
    filterField_ = index;
    filterValue_ = value;
    return Reload(current_ >= 0 ? rows_[current_].rowId : -1);
}

bool PersonTable::ClearFilter()
{
    if (!IsOpen() || !PostIfModified())
        return false;
    filterField_ = -1;
    filterValue_.clear();
    return Reload(current_ >= 0 ? rows_[current_].rowId : -1);
}

}  // namespace zelvara
