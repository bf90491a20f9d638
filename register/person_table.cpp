#include "person_table.h"

#include "context.h"
#include "cp932.h"
#include "sqlite_connection.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>

namespace zelvara {
namespace {

constexpr const char* kTableName = "nam_data";

QString ColumnList()
{
    QStringList cols;
    for (int i = 0; i < kPersonFieldCount; ++i)
        cols << QuotedName(FieldName(i));
    return cols.join(QLatin1String(", "));
}

}  // namespace

PersonTable::PersonTable(MessageSink& sink, QObject* parent)
    : QObject(parent), sink_(sink), connection_(NewConnectionName(QStringLiteral("persons")))
{
}

PersonTable::~PersonTable() { Close(); }

void PersonTable::Report(const QString& text) const { sink_.Show(text.toStdString(), {}); }

bool PersonTable::Open(const QString& folder)
{
    Close();
    path_ = QDir(folder).filePath(QString::fromLatin1(kFileName));
    const QFileInfo info(path_);
    if (info.exists() && !info.isReadable()) {
        Report(QStringLiteral("人物データのファイル「%1」を読むことができません。\nファイルの権限を確かめてください。").arg(path_));
        return false;
    }
    const bool fresh = !info.exists() || info.size() == 0;
    if (const QString why = OpenSqliteConnection(connection_, path_); !why.isEmpty()) {
        Report(QStringLiteral("人物データのファイル「%1」を開けません。\n%2").arg(path_, why));
        return false;
    }
    open_ = true;
    if (!(fresh ? CreateTable() : CheckTable())) {
        Close();
        return false;
    }
    return Reload(-1);
}

void PersonTable::Close()
{
    rows_.clear();
    current_ = -1;
    modified_ = false;
    filterField_ = -1;
    filterValue_.clear();
    CloseSqliteConnection(connection_);
    open_ = false;
}

bool PersonTable::CreateTable()
{
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QStringList cols;
    for (int i = 0; i < kPersonFieldCount; ++i)
        cols << QuotedName(FieldName(i)) + QLatin1String(" TEXT NOT NULL DEFAULT ''");
    db.transaction();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(QLatin1String(kTableName), cols.join(QLatin1String(", "))))) {
        db.rollback();
        Report(QStringLiteral("人物データのファイル「%1」に表を作れません。\n%2").arg(path_, q.lastError().text()));
        return false;
    }
    return db.commit();
}

bool PersonTable::CheckTable()
{
    QSqlDatabase db = QSqlDatabase::database(connection_);
    QSqlQuery q(db);
    QStringList found;
    QString why;
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QLatin1String(kTableName)))) {
        why = q.lastError().text();
    } else {
        while (q.next())
            found << q.value(1).toString();
        QStringList expected;
        for (int i = 0; i < kPersonFieldCount; ++i)
            expected << FieldName(i);
        if (found.isEmpty())
            why = QStringLiteral("表 %1 がありません").arg(QLatin1String(kTableName));
        else if (found != expected)
            why = QStringLiteral("項目が違います: %1").arg(found.join(QLatin1Char(',')));
    }
    if (why.isEmpty())
        return true;
    Report(QStringLiteral("人物データのファイル「%1」は人物データの表として使えません。\n（%2）\n"
                          "ファイルはそのまま残してあります。別の場所に移すと、次の起動で空の表が作られます。")
               .arg(path_, why));
    return false;
}

bool PersonTable::Reload(qint64 keepRowId)
{
    rows_.clear();
    QSqlQuery q(QSqlDatabase::database(connection_));
    QString sql = QStringLiteral("SELECT rowid, %1 FROM %2").arg(ColumnList(), QLatin1String(kTableName));
    if (filterField_ >= 0)
        sql += QStringLiteral(" WHERE %1 = ?").arg(QuotedName(FieldName(filterField_)));
    sql += QLatin1String(" ORDER BY rowid");
    q.prepare(sql);
    if (filterField_ >= 0)
        q.addBindValue(filterValue_.isNull() ? QStringLiteral("") : filterValue_);
    if (!q.exec()) {
        Report(QStringLiteral("人物データを読めません。\n%1").arg(q.lastError().text()));
        current_ = -1;
        modified_ = false;
        emit recordsReset();
        emit currentChanged();
        return false;
    }
    current_ = -1;
    while (q.next()) {
        PersonRecord r;
        r.rowId = q.value(0).toLongLong();
        for (int i = 0; i < kPersonFieldCount; ++i)
            r.values[i] = q.value(i + 1).toString();
        if (r.rowId == keepRowId)
            current_ = int(rows_.size());
        rows_.push_back(std::move(r));
    }
    if (current_ < 0 && !rows_.empty())
        current_ = 0;
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
    if (!open_)
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
    if (modified_)
        return Post();
    if (rows_[current_].rowId < 0)
        Cancel();  // an appended record left untouched is not kept
    return true;
}

bool PersonTable::First() { return open_ && PostIfModified() && SetCurrent(0); }
bool PersonTable::Last() { return open_ && PostIfModified() && SetCurrent(RecordCount() - 1); }
bool PersonTable::Prior() { return open_ && PostIfModified() && SetCurrent(current_ - 1); }
bool PersonTable::Next() { return open_ && PostIfModified() && SetCurrent(current_ + 1); }

bool PersonTable::MoveTo(int row)
{
    if (!open_ || row < 0 || row >= RecordCount() || row == current_)
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
    if (!open_ || !PostIfModified())
        return false;
    rows_.push_back(PersonRecord{});
    current_ = RecordCount() - 1;
    modified_ = false;
    emit recordsReset();
    emit currentChanged();
    return true;
}

bool PersonTable::Post()
{
    if (!open_ || current_ < 0 || !modified_)
        return true;
    PersonRecord& rec = rows_[current_];
    for (int i = 0; i < kPersonFieldCount; ++i) {
        const QString problem = cp932::CheckFieldText(FieldLabel(i), rec.values[i], kPersonFields[i].size);
        if (!problem.isEmpty()) {
            Report(problem + QStringLiteral("\nこのデータはまだ登録されていません。"));
            return false;
        }
    }
    PersonRecord stored = rec;
    for (QString& v : stored.values)
        v = cp932::RemapInputMethodChars(v);

    QSqlDatabase db = QSqlDatabase::database(connection_);
    db.transaction();
    QSqlQuery q(db);
    if (stored.rowId < 0) {
        QStringList marks;
        for (int i = 0; i < kPersonFieldCount; ++i)
            marks << QStringLiteral("?");
        q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                      .arg(QLatin1String(kTableName), ColumnList(), marks.join(QLatin1Char(','))));
    } else {
        QStringList sets;
        for (int i = 0; i < kPersonFieldCount; ++i)
            sets << QuotedName(FieldName(i)) + QLatin1String(" = ?");
        q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                      .arg(QLatin1String(kTableName), sets.join(QLatin1String(", "))));
    }
    for (const QString& v : stored.values)
        q.addBindValue(v.isNull() ? QStringLiteral("") : v);  // a null text would bind as NULL
    if (stored.rowId >= 0)
        q.addBindValue(stored.rowId);
    if (!q.exec() || !db.commit()) {
        const QString error = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
        db.rollback();
        Report(QStringLiteral("人物データを書き込めません。\n%1").arg(error));
        return false;
    }
    if (stored.rowId < 0)
        stored.rowId = q.lastInsertId().toLongLong();
    rec = stored;
    modified_ = false;
    if (filterField_ >= 0)
        return Reload(stored.rowId);  // the record may have left the view
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
    if (modified_)
        Reload(rows_[current_].rowId);
}

bool PersonTable::Delete()
{
    if (!open_ || current_ < 0)
        return false;
    if (rows_[current_].rowId < 0) {
        Cancel();
        return true;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_);
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(QLatin1String(kTableName)));
    q.addBindValue(rows_[current_].rowId);
    if (!q.exec() || !db.commit()) {
        db.rollback();
        Report(QStringLiteral("人物データを削除できません。\n%1").arg(q.lastError().text()));
        return false;
    }
    rows_.erase(rows_.begin() + current_);
    current_ = std::min(current_, RecordCount() - 1);
    modified_ = false;
    emit recordsReset();
    emit currentChanged();
    return true;
}

bool PersonTable::FindByName(const QString& prefix)
{
    if (!open_ || !PostIfModified())
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
    if (!open_ || index < 0 || !PostIfModified())
        return false;
    filterField_ = index;
    filterValue_ = value;
    return Reload(current_ >= 0 ? rows_[current_].rowId : -1);
}

bool PersonTable::ClearFilter()
{
    if (!open_ || !PostIfModified())
        return false;
    filterField_ = -1;
    filterValue_.clear();
    return Reload(current_ >= 0 ? rows_[current_].rowId : -1);
}

}  // namespace zelvara
