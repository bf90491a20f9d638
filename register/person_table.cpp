#include "register/person_table.h"

#include "common/profile_name.h"
#include "engine/context.h"
#include "register/person_values.h"
#include "register/server_person_storage.h"
#include "register/sqlite_copy.h"
#include "register/sqlite_person_storage.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QStringList>

#include <algorithm>

namespace zelvara {
namespace {

const QString kDiscardQuestion = QStringLiteral("保存できなかった変更を破棄して、登録されている内容に戻しますか？");

}  // namespace

PersonTable::PersonTable(MessageSink& sink, QObject* parent) : QObject(parent), sink_(sink) {}

PersonTable::~PersonTable() { Close(); }

void PersonTable::Report(const QString& text) const { sink_.Show(text.toStdString(), {}); }

QString PersonTable::BackupFolder() const {
    return backupFolder_.isEmpty() ? QFileInfo(path_).dir().filePath(QStringLiteral("backup")) : backupFolder_;
}

QSqlDatabase PersonTable::Connection() const { return storage_ && IsOpen() ? storage_->Connection() : QSqlDatabase(); }

bool PersonTable::Open(const QString& folder, OpenMode mode) {
    return OpenPath(QDir(folder).filePath(QString::fromLatin1(kFileName)), mode);
}

bool PersonTable::OpenPath(const QString& path, OpenMode mode) {
    Close();
    path_ = path;
    location_ = path;
    auto storage = std::make_unique<SqlitePersonStorage>(sink_);
    const StorageOpening opening = storage->Open(
        path, mode == OpenMode::Write ? SqlitePersonStorage::Mode::Write : SqlitePersonStorage::Mode::ReadOnly);
    storage_ = std::move(storage);
    return Opened(opening, mode);
}

bool PersonTable::OpenServer(const PgConnection& connection, OpenMode mode) {
    Close();
    auto storage = std::make_unique<ServerPersonStorage>(connection);
    storage->SetPasswordQuestion(askPassword_);
    location_ = storage->Location();
    const StorageOpening opening = storage->Open(mode == OpenMode::ReadOnly);
    server_ = true;
    storage_ = std::move(storage);
    if (opening.access == Access::Closed)
        Report(QStringLiteral("名簿のサーバー %1 を使えません。\n%2").arg(location_, opening.why));
    return Opened(opening, mode);
}

bool PersonTable::Opened(const StorageOpening& opening, OpenMode mode) {
    if (opening.access == Access::Closed) {
        storage_.reset();
        unavailability_ =
            QStringLiteral("名簿（%1）を開けません：%2。鑑定と印刷はできますが、入力した内容は保存されません。")
                .arg(location_, opening.why);
        emit accessChanged();
        return false;
    }
    access_ = opening.access;
    lockHolder_ = opening.lockHolder;
    if (access_ == Access::ReadOnly && mode == OpenMode::Write)
        unavailability_ = QStringLiteral(
                              "名簿（%1）は読み取り専用で開いています：%2。"
                              "閲覧・検索・鑑定・印刷はできますが、変更は保存されません。")
                              .arg(location_, opening.why);
    emit accessChanged();
    return Reload(-1);
}

void PersonTable::MarkUnavailable(const QString& why) {
    Close();
    QString reason = why;
    while (reason.endsWith(QStringLiteral("。"))) reason.chop(1);
    unavailability_ = QStringLiteral("%1。鑑定と印刷はできますが、入力した内容は保存されません。").arg(reason);
    emit accessChanged();
}

void PersonTable::Close() {
    if (storage_) emit aboutToClose();
    rows_.clear();
    current_ = -1;
    modified_ = false;
    filterField_ = -1;
    filterValue_.clear();
    storage_.reset();
    server_ = false;
    access_ = Access::Closed;
    unavailability_.clear();
    lockHolder_.clear();
}

bool PersonTable::Reload(qint64 keepRowId, bool quiet) {
    QString why;
    const auto found = storage_->Select(filterField_, filterValue_, &why);
    if (!found) {  // the rows in view stay as they were
        if (!quiet) Report(QStringLiteral("人物データを読めません。\n%1").arg(why));
        return false;
    }
    std::vector<PersonRecord> rows;
    rows.reserve(found->size());
    int current = -1;
    for (const StoredPerson& row : *found) {
        if (row.rowId == keepRowId) current = int(rows.size());
        rows.push_back(PersonRecord{row.rowId, row.version, row.values, row.values});
    }
    rows_ = std::move(rows);
    current_ = current < 0 && !rows_.empty() ? 0 : current;
    modified_ = false;
    emit recordsReset();
    emit currentChanged();
    return true;
}

std::optional<StoredPerson> PersonTable::StoredRecord(qint64 rowId, QString* why) const {
    if (!storage_) {
        *why = unavailability_.isEmpty() ? QStringLiteral("名簿が開いていません。") : unavailability_;
        return std::nullopt;
    }
    return storage_->SelectOne(rowId, why);
}

bool PersonTable::Refresh() {
    if (!storage_) return false;
    return Reload(current_ >= 0 ? rows_[size_t(current_)].rowId : -1);
}

QString PersonTable::Value(int field) const { return current_ >= 0 ? rows_[current_].values[field] : QString(); }

void PersonTable::SetValue(int field, const QString& text) {
    if (!IsOpen()) return;
    if (rows_.empty()) Append();
    QString& slot = rows_[current_].values[field];
    if (slot == text) return;
    slot = text;
    modified_ = true;
    emit valueEdited(field);
}

bool PersonTable::SetCurrent(int row) {
    if (row < 0 || row >= RecordCount() || row == current_) return false;
    current_ = row;
    modified_ = false;
    emit currentChanged();
    return true;
}

bool PersonTable::PostIfModified() {
    if (current_ < 0) return true;
    if (modified_) {
        if (access_ == Access::ReadOnly) {  // nothing can be kept; the page says so
            Cancel();
            return true;
        }
        return Post() || !modified_;  // refused, or refused and discarded
    }
    if (rows_[current_].rowId < 0) Cancel();  // an appended record left untouched is not kept
    return true;
}

bool PersonTable::First() { return IsOpen() && PostIfModified() && SetCurrent(0); }
bool PersonTable::Last() { return IsOpen() && PostIfModified() && SetCurrent(RecordCount() - 1); }
bool PersonTable::Prior() { return IsOpen() && PostIfModified() && SetCurrent(current_ - 1); }
bool PersonTable::Next() { return IsOpen() && PostIfModified() && SetCurrent(current_ + 1); }

bool PersonTable::MoveTo(int row) {
    if (!IsOpen() || row < 0 || row >= RecordCount() || row == current_) return false;
    const qint64 target = rows_[row].rowId;
    if (!PostIfModified()) return false;
    for (int i = 0; i < RecordCount(); ++i) {
        if (rows_[i].rowId == target) return SetCurrent(i);
    }
    return false;
}

bool PersonTable::Append() {
    if (!IsOpen() || !PostIfModified()) return false;
    rows_.push_back(PersonRecord{});
    current_ = RecordCount() - 1;
    modified_ = false;
    emit recordsReset();
    emit currentChanged();
    return true;
}

bool PersonTable::RefuseReadOnly() {
    Report(unavailability_ + QStringLiteral("\nこの変更は登録できません。"));
    return false;
}

bool PersonTable::RefuseWrite(const QString& why) {
    if (!askDiscard_) {
        Report(why);
        return false;
    }
    if (askDiscard_(why + QStringLiteral("\n\n") + kDiscardQuestion)) Cancel();
    return false;
}

bool PersonTable::Post() {
    if (!IsOpen() || current_ < 0 || !modified_) return true;
    if (access_ == Access::ReadOnly) return RefuseReadOnly();
    // A text the field cannot hold is the user's to mend in place; only a
    // register that refuses the write offers to discard the edit.
    QString why = FieldProblem();
    if (!why.isEmpty()) {
        Report(why);
        return false;
    }
    return WriteBuffer(&why) || RefuseWrite(why);
}

QString PersonTable::FieldProblem() const {
    static const TableLayout layout = PersonTableLayout();
    const PersonValues& values = rows_[current_].values;
    for (int i = 0; i < kPersonFieldCount; ++i) {
        if (const QString why = CheckFieldValue(layout.fields[i], values[i], FieldLabel(i)); !why.isEmpty())
            return why + QStringLiteral("\nこのデータはまだ登録されていません。");
    }
    return {};
}

bool PersonTable::PostQuietly(QString* why) {
    if (!IsOpen() || current_ < 0 || !modified_) return true;
    if (access_ == Access::ReadOnly) {
        *why = unavailability_;
        return false;
    }
    return WriteBuffer(why);
}

void PersonTable::BackUpBeforeFirstWriteOfDay() {
    if (server_) return;  // a server's copies are its administrator's (pg_dump)
    const QDate today = today_.value_or(QDate::currentDate());
    if (lastBackup_ == today) return;
    lastBackup_ = today;  // one attempt, and at most one message, a day
    const QString error = DailyBackup(path_, BackupFolder()).EnsureCopyOf(today);
    if (!error.isEmpty())
        Report(QStringLiteral("今日の名簿のバックアップを作れませんでした。登録は続けます。\n%1").arg(error));
}

QString PersonTable::StaleRecordReason(qint64 rowId, const PersonValues& expected) const {
    const QString where = server_ ? QStringLiteral("別の机") : QStringLiteral("別のプログラム");
    QString readError;
    const auto now = storage_->SelectOne(rowId, &readError);
    if (!now && !readError.isEmpty())
        return QStringLiteral(
                   "この人物データは、読み込んだ後に%1で変更されたため登録を取りやめましたが、"
                   "今の内容を読めませんでした。\n%2")
            .arg(where, readError);
    if (!now)
        return QStringLiteral(
                   "この人物データは、読み込んだ後に%1で削除されています。"
                   "上書きしないよう、登録を取りやめました。")
            .arg(where);
    QStringList changed;
    for (int i = 0; i < kPersonFieldCount; ++i) {
        if (now->values[i] != expected[i]) changed << FieldLabel(i);
    }
    return QStringLiteral(
               "この人物データは、読み込んだ後に%1で変更されています（%2）。"
               "上書きしないよう、登録を取りやめました。")
        .arg(where, changed.join(QStringLiteral("、")));
}

bool PersonTable::WriteBuffer(QString* why) {
    PersonRecord& rec = rows_[current_];
    if (*why = FieldProblem(); !why->isEmpty()) return false;
    const PersonValues values = PersonValuesFromList(SingleTableStore::Writable(PersonValuesToList(rec.values)));

    BackUpBeforeFirstWriteOfDay();
    const PersonWrite w = rec.rowId < 0 ? storage_->Insert(values)
                                        : storage_->Update(StoredPerson{rec.rowId, rec.version, rec.stored}, values);
    if (!w.Ok()) {
        *why = w.result == PersonWrite::Result::Stale ? StaleRecordReason(rec.rowId, rec.stored) : w.why;
        return false;
    }
    rec.rowId = w.rowId;
    rec.version = w.version;
    rec.values = values;
    rec.stored = values;
    modified_ = false;
    if (filterField_ >= 0) return Reload(w.rowId);  // the record may have left the view
    emit recordsReset();
    emit currentChanged();
    return true;
}

void PersonTable::Cancel() {
    if (current_ < 0) return;
    if (rows_[current_].rowId < 0) {
        rows_.erase(rows_.begin() + current_);
        current_ = std::min(current_, RecordCount() - 1);
        modified_ = false;
        emit recordsReset();
        emit currentChanged();
        return;
    }
    if (!modified_) return;
    // Back to the record as the register holds it now; when it cannot be
    // read (another program has the file locked, the server is away), as it
    // was last read.
    if (Reload(rows_[current_].rowId, true)) return;
    rows_[current_].values = rows_[current_].stored;
    modified_ = false;
    emit currentChanged();
}

bool PersonTable::Delete() {
    if (!IsOpen() || current_ < 0) return false;
    if (rows_[current_].rowId < 0) {
        Cancel();
        return true;
    }
    if (access_ == Access::ReadOnly) return RefuseReadOnly();
    const PersonRecord& rec = rows_[current_];
    BackUpBeforeFirstWriteOfDay();
    const PersonWrite w = storage_->Remove(StoredPerson{rec.rowId, rec.version, rec.stored});
    if (!w.Ok()) {
        const QString why = w.result == PersonWrite::Result::Stale ? StaleRecordReason(rec.rowId, rec.stored) : w.why;
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

std::optional<std::vector<DeletedPerson>> PersonTable::ReadDeletedRecords(QString* why) const {
    if (!IsOpen()) {
        *why = QStringLiteral("名簿が開かれていません。");
        return std::nullopt;
    }
    QString reason;
    auto list = storage_->Deleted(&reason);
    if (!list) *why = QStringLiteral("削除したデータを読めません。\n%1").arg(reason);
    return list;
}

std::vector<DeletedPerson> PersonTable::DeletedRecords() const {
    if (!IsOpen()) return {};
    QString why;
    auto list = ReadDeletedRecords(&why);
    if (!list) {
        Report(why);
        return {};
    }
    return std::move(*list);
}

bool PersonTable::Undelete(qint64 number) {
    if (!IsOpen()) return false;
    if (access_ == Access::ReadOnly) return RefuseReadOnly();
    if (!PostIfModified()) return false;
    if (const ExclusiveWork work = TakeExclusiveWork(); !work.taken) {
        Report(work.holder.isEmpty()
                   ? work.why
                   : ExclusiveWorkBusyText(work.holder) + QStringLiteral("終わってから、もう一度戻してください。"));
        return false;
    }
    BackUpBeforeFirstWriteOfDay();
    const PersonWrite w = storage_->Restore(number);
    ReleaseExclusiveWork();
    if (!w.Ok()) {
        Report(w.why);
        return false;
    }
    return Reload(w.rowId);
}

ExclusiveWork PersonTable::TakeExclusiveWork() {
    if (!IsOpen())
        return {false, {}, unavailability_.isEmpty() ? QStringLiteral("名簿が開かれていません。") : unavailability_};
    return storage_->TakeExclusiveWork();
}

void PersonTable::ReleaseExclusiveWork() {
    if (IsOpen()) storage_->ReleaseExclusiveWork();
}

std::optional<std::vector<PersonValues>> PersonTable::ReadAllRecords(QString* why, RecordBirthTimes* times,
                                                                     RecordProfiles* profiles) const {
    QString reason;
    if (!IsOpen()) {
        if (why) *why = unavailability_.isEmpty() ? QStringLiteral("名簿が開かれていません。") : unavailability_;
        return std::nullopt;
    }
    const auto rows = storage_->Select(-1, {}, &reason);
    if (!rows) {
        if (why) *why = QStringLiteral("名簿（%1）を読めません。\n%2").arg(location_, reason);
        return std::nullopt;
    }
    std::optional<std::unordered_map<qint64, BirthTimeEntry>> entries;
    if (times && !(entries = storage_->ReadBirthTimes(&reason))) {
        if (why) *why = QStringLiteral("名簿（%1）の出生時刻を読めません。\n%2").arg(location_, reason);
        return std::nullopt;
    }
    std::optional<std::unordered_map<qint64, QString>> names;
    if (profiles && !(names = ReadPersonProfiles(storage_->Connection(), &reason))) {
        if (why) *why = QStringLiteral("名簿（%1）の流派を読めません。\n%2").arg(location_, reason);
        return std::nullopt;
    }
    std::vector<PersonValues> list;
    list.reserve(rows->size());
    if (times) times->clear();
    if (profiles) profiles->clear();
    for (const StoredPerson& row : *rows) {
        list.push_back(row.values);
        if (profiles) {
            const auto name = names->find(row.rowId);
            profiles->push_back(name == names->end() ? QString() : name->second);
        }
        if (times) {
            const auto entry = entries->find(row.rowId);
            times->push_back(entry == entries->end() ? std::nullopt : std::optional(entry->second));
        }
    }
    return list;
}

bool PersonTable::AppendRecords(const std::vector<PersonValues>& records, QString* why,
                                const std::function<void(int done)>& progress, const RecordBirthTimes& times,
                                const RecordProfiles& profiles) {
    if (!IsOpen() || access_ == Access::ReadOnly) {
        *why = IsOpen() ? unavailability_ : QStringLiteral("名簿が開かれていません。");
        return false;
    }
    if (!PostIfModified()) {
        *why = QStringLiteral("保存されていない変更があるため、読み込みをやめました。");
        return false;
    }
    BackUpBeforeFirstWriteOfDay();
    if (const PersonWrite w = storage_->InsertAll(records, progress, times, profiles); !w.Ok()) {
        *why = w.why;
        return false;
    }
    return Reload(-1);
}

std::optional<BirthTimeEntry> PersonTable::BirthTime(qint64 rowId) const {
    QString why;
    return IsOpen() && rowId >= 0 ? storage_->ReadBirthTime(rowId, &why) : std::nullopt;
}

PersonWrite PersonTable::WriteBirthTime(qint64 rowId, const BirthTimeEntry& entry) {
    if (!IsWritable())
        return PersonWrite::Refused(IsOpen() ? unavailability_ : QStringLiteral("名簿が開かれていません。"));
    BackUpBeforeFirstWriteOfDay();
    return storage_->WriteBirthTime(rowId, entry);
}

PersonWrite PersonTable::RemoveBirthTime(qint64 rowId) {
    if (!IsWritable())
        return PersonWrite::Refused(IsOpen() ? unavailability_ : QStringLiteral("名簿が開かれていません。"));
    BackUpBeforeFirstWriteOfDay();
    return storage_->RemoveBirthTime(rowId);
}

std::optional<QString> PersonTable::ReadProfile(qint64 rowId, QString* why) const {
    if (!IsOpen() || rowId < 0) return QString();
    QString reason;
    const std::optional<QString> name = ReadPersonProfile(storage_->Connection(), rowId, &reason);
    if (!name && why) *why = QStringLiteral("名簿（%1）の流派を読めません。\n%2").arg(location_, reason);
    return name;
}

PersonWrite PersonTable::WriteProfile(qint64 rowId, const QString& name) {
    const QString chosen = name.trimmed();
    if (!name.isEmpty())
        if (const QString fault = ProfileNameFault(name); !fault.isEmpty()) return PersonWrite::Refused(fault);
    if (!IsWritable())
        return PersonWrite::Refused(QStringLiteral("名簿に書き込めないため、流派は保存できません。%1")
                                        .arg(!IsOpen() ? QStringLiteral("名簿が開かれていません。")
                                             : unavailability_.isEmpty()
                                                 ? QStringLiteral("名簿は読み取り専用で開いています。")
                                                 : unavailability_));
    QSqlDatabase db = storage_->Connection();
    const auto failed = [&](const QSqlError& error) {
        db.rollback();
        return PersonWrite::Refused(
            QStringLiteral("流派を保存できませんでした。何も変えていません。\n詳細: %1").arg(error.text().trimmed()));
    };
    if (!ProfileTablesPresent(db) && chosen.isEmpty()) return PersonWrite::Done(rowId);  // none kept, none to remove
    if (server_ && !ProfileTablesWritable(db)) return PersonWrite::Refused(NoProfileTablesText());
    BackUpBeforeFirstWriteOfDay();
    if (!db.transaction()) return failed(db.lastError());
    QSqlError error;
    bool found = false;
    if ((!server_ && !CreateSqliteProfileTables(db, &error)) || !WritePersonProfile(db, rowId, chosen, &found, &error))
        return failed(error);
    if (!found) {
        db.rollback();
        return PersonWrite::StaleRecord();
    }
    if (!db.commit()) return failed(db.lastError());
    return PersonWrite::Done(rowId);
}

bool PersonTable::FindByName(const QString& prefix) {
    if (!IsOpen() || !PostIfModified()) return false;
    for (int i = 0; i < RecordCount(); ++i) {
        if (rows_[i].values[kFieldName].startsWith(prefix, Qt::CaseSensitive)) {
            SetCurrent(i);
            return true;
        }
    }
    return false;
}

bool PersonTable::SetFilter(const QString& field, const QString& value) {
    const int index = FieldIndexOf(field);
    if (!IsOpen() || index < 0 || !PostIfModified()) return false;
    filterField_ = index;
    filterValue_ = value;
    return Reload(current_ >= 0 ? rows_[current_].rowId : -1);
}

bool PersonTable::ClearFilter() {
    if (!IsOpen() || !PostIfModified()) return false;
    filterField_ = -1;
    filterValue_.clear();
    return Reload(current_ >= 0 ? rows_[current_].rowId : -1);
}

}  // namespace zelvara
