#include "reading_table.h"

#include "context.h"
#include "seed_file.h"
#include "sqlite_connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace zelvara {

ReadingTable::ReadingTable(TableId id, MessageSink& sink, QObject* parent)
    : QObject(parent),
      schema_(SchemaOf(id)),
      sink_(sink),
      connection_(NewConnectionName(QStringLiteral("reading-") + SchemaOf(id).tableName))
{
}

ReadingTable::~ReadingTable()
{
    // Nothing can be kept open any longer: edits that cannot be saved are
    // dropped, and said so.
    if (modified_) {
        if (const QString why = WriteCurrent(); !why.isEmpty())
            Report(QStringLiteral("鑑定文の表「%1」の記録（%2）の変更は保存できないまま破棄されました。\n%3")
                       .arg(schema_.fileName, RecordLabel(), why));
    }
    CloseNow();
}

void ReadingTable::Report(const QString& text) const { sink_.Show(text.toStdString(), {}); }

bool ReadingTable::Open(const QString& folder, const QStringList& seedFolders)
{
    if (!Close())
        return false;
    path_ = QDir(folder).filePath(schema_.fileName);
    const QFileInfo info(path_);
    if (!info.exists() || info.size() == 0) {
        if (!CreateFromSeed(seedFolders))
            return false;
    } else if (!info.isReadable()) {
        Report(QStringLiteral("鑑定文の表「%1」を読むことができません。\nファイルの権限を確かめてください。").arg(path_));
        return false;
    }
    if (const QString why = OpenSqliteConnection(connection_, path_); !why.isEmpty()) {
        Report(QStringLiteral("鑑定文の表「%1」を開けません。\n%2").arg(path_, why));
        return false;
    }
    open_ = true;
    if (!LoadRows()) {
        CloseNow();
        return false;
    }
    return true;
}

bool ReadingTable::Close()
{
    if (open_ && !PostPending())
        return false;
    CloseNow();
    return true;
}

void ReadingTable::CloseNow()
{
    rows_.clear();
    columns_.clear();
    current_ = -1;
    eof_ = true;
    modified_ = false;
    CloseSqliteConnection(connection_);
    open_ = false;
}

bool ReadingTable::CreateFromSeed(const QStringList& seedFolders)
{
    QString seedPath;
    for (const QString& folder : seedFolders) {
        const QString candidate = QDir(folder).filePath(schema_.seedName);
        if (QFileInfo::exists(candidate)) {
            seedPath = candidate;
            break;
        }
    }
    if (seedPath.isEmpty()) {
        Report(QStringLiteral("鑑定文の表「%1」がありません。元になる種ファイル「%2」も見つかりません（探した場所: %3）。")
                   .arg(path_, schema_.seedName, seedFolders.join(QStringLiteral(", "))));
        return false;
    }
    const SeedParse seed = ReadSeedFile(seedPath, schema_.fields, schema_.fileName);
    if (!seed.error.isEmpty()) {
        Report(QStringLiteral("鑑定文の表「%1」を種ファイルから作れません。\n%2").arg(path_, seed.error));
        return false;
    }

    // Written beside the table under another name and moved into place only
    // when complete, so no half-written table is ever left.
    const QString temp = path_ + QStringLiteral(".new");
    QFile::remove(temp);
    QString why;
    {
        ScopedSqliteConnection conn(connection_ + QStringLiteral("-seed"), temp);
        if (!conn.ok()) {
            why = conn.error();
        } else {
            QSqlDatabase db = conn.db();
            db.transaction();
            QSqlQuery q(db);
            QStringList defs, cols, marks;
            for (const FieldDef& f : schema_.fields) {
                defs << schema_.ColumnSql(f);
                cols << QuotedName(f.name);
                marks << QStringLiteral("?");
            }
            if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(QuotedName(schema_.tableName), defs.join(QLatin1String(", "))))) {
                why = q.lastError().text();
            } else {
                q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                              .arg(QuotedName(schema_.tableName), cols.join(QLatin1String(", ")), marks.join(QLatin1String(", "))));
                for (const SeedRecord& r : seed.records) {
                    for (const FieldDef& f : schema_.fields) {
                        const auto it = r.values.constFind(f.name);
                        if (it == r.values.constEnd() || (f.type == FieldType::SmallInt && it->isEmpty()))
                            q.addBindValue(QVariant());
                        else if (f.type == FieldType::SmallInt)
                            q.addBindValue(it->toInt());
                        else
                            q.addBindValue(*it);
                    }
                    if (!q.exec()) {
                        why = q.lastError().text();
                        break;
                    }
                }
            }
            if (why.isEmpty() && !db.commit())
                why = db.lastError().text();
            if (!why.isEmpty())
                db.rollback();
        }
    }
    if (why.isEmpty() && !QFile::remove(path_) && QFileInfo::exists(path_))
        why = QStringLiteral("空のファイルを置き換えられません");
    if (why.isEmpty() && !QFile::rename(temp, path_))
        why = QStringLiteral("作った表を「%1」に移せません").arg(path_);
    if (!why.isEmpty()) {
        QFile::remove(temp);
        Report(QStringLiteral("鑑定文の表「%1」を種ファイル「%2」から作れません。\n%3").arg(path_, seedPath, why));
        return false;
    }
    return true;
}

bool ReadingTable::LoadRows()
{
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    QStringList found;
    QString why;
    if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(QuotedName(schema_.tableName)))) {
        why = q.lastError().text();
    } else {
        while (q.next())
            found << q.value(1).toString();
        if (found.isEmpty())
            why = QStringLiteral("表 %1 がありません").arg(schema_.tableName);
    }
    if (why.isEmpty()) {
        // Only the layout's own names reach the query.
        for (const FieldDef& f : schema_.fields)
            if (found.contains(f.name))
                columns_ << f.name;
        QStringList cols;
        for (const QString& c : columns_)
            cols << QuotedName(c);
        const QString order = schema_.keyedByNo && columns_.contains(QLatin1String("No")) ? QStringLiteral("\"No\"")
                                                                                         : QStringLiteral("rowid");
        if (!q.exec(QStringLiteral("SELECT rowid%1 FROM %2 ORDER BY %3")
                        .arg(cols.isEmpty() ? QString() : QStringLiteral(", ") + cols.join(QLatin1String(", ")),
                             QuotedName(schema_.tableName), order))) {
            why = q.lastError().text();
        }
    }
    if (!why.isEmpty()) {
        Report(QStringLiteral("「%1」は鑑定文の表として読めません。\n（%2）\nファイルはそのまま残してあります。").arg(path_, why));
        return false;
    }
    rows_.clear();
    while (q.next()) {
        Row r;
        r.rowId = q.value(0).toLongLong();
        for (int i = 0; i < columns_.size(); ++i)
            r.values << q.value(i + 1).toString();
        rows_.push_back(std::move(r));
    }
    current_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
    modified_ = false;
    emit currentChanged();
    return true;
}

bool ReadingTable::CheckOpen() const
{
    if (!open_)
        Report(QStringLiteral("鑑定文の表「%1」が開いていないため、鑑定文を読めません。").arg(schema_.fileName));
    return open_;
}

int ReadingTable::ColumnOf(const QString& name) const { return int(columns_.indexOf(name)); }

bool ReadingTable::HasField(const QString& name) const { return ColumnOf(name) >= 0; }

bool ReadingTable::SetCurrent(int row, bool eof)
{
    if (row < 0 || row >= RecordCount())
        return false;
    if (row != current_ && !PostPending()) {
        eof_ = true;  // whoever scans stops here instead of asking again and again
        return false;
    }
    eof_ = eof;
    if (row != current_) {
        current_ = row;
        if (!ControlsDisabled())
            emit currentChanged();
    }
    return true;
}

bool ReadingTable::First()
{
    if (rows_.empty()) {
        eof_ = true;
        return false;
    }
    return SetCurrent(0, false);
}

bool ReadingTable::Next()
{
    if (current_ + 1 >= RecordCount()) {
        eof_ = true;
        return false;
    }
    return SetCurrent(current_ + 1, false);
}

bool ReadingTable::Prior() { return current_ > 0 && SetCurrent(current_ - 1, false); }

bool ReadingTable::Last() { return !rows_.empty() && SetCurrent(RecordCount() - 1, false); }

bool ReadingTable::MoveTo(int row) { return SetCurrent(row, false); }

std::optional<QString> ReadingTable::Field(const QString& name)
{
    if (!CheckOpen())
        return std::nullopt;
    const int column = ColumnOf(name);
    if (column < 0) {
        Report(QStringLiteral("鑑定文の表「%1」に項目「%2」がありません。").arg(schema_.fileName, name));
        return std::nullopt;
    }
    return current_ >= 0 ? rows_[current_].values[column] : QString();
}

bool ReadingTable::SetValue(const QString& name, const QString& text)
{
    const int column = ColumnOf(name);
    if (column < 0) {
        Report(QStringLiteral("鑑定文の表「%1」に項目「%2」がありません。").arg(schema_.fileName, name));
        return false;
    }
    if (current_ < 0)
        return false;
    QString& slot = rows_[current_].values[column];
    if (slot != text) {
        slot = text;
        modified_ = true;
    }
    return true;
}

bool ReadingTable::Post()
{
    if (current_ < 0 || !open_)
        return false;
    if (const QString why = WriteCurrent(); !why.isEmpty()) {
        Report(QStringLiteral("鑑定文の表「%1」の記録（%2）を保存できません。\n%3\n入力した内容はそのまま残っています。")
                   .arg(schema_.fileName, RecordLabel(), why));
        return false;
    }
    return true;
}

QString ReadingTable::WriteCurrent()
{
    if (current_ < 0 || !open_)
        return QStringLiteral("表が開いていません。");
    Row& row = rows_[current_];
    for (int c = 0; c < columns_.size(); ++c) {
        const QString why = CheckFieldValue(schema_.fields[schema_.FieldIndex(columns_[c])], row.values[c]);
        if (!why.isEmpty())
            return why;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QStringList sets;
    for (const QString& c : columns_)
        sets << QuotedName(c) + QStringLiteral(" = ?");
    db.transaction();
    QSqlQuery q(db);
    q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(QuotedName(schema_.tableName), sets.join(QLatin1String(", "))));
    for (int c = 0; c < columns_.size(); ++c) {
        const bool number = schema_.fields[schema_.FieldIndex(columns_[c])].type == FieldType::SmallInt;
        const QString& v = row.values[c];
        q.addBindValue(number ? (v.isEmpty() ? QVariant() : QVariant(v.toInt())) : QVariant(v));
    }
    q.addBindValue(row.rowId);
    if (!q.exec() || !db.commit()) {
        const QString why = q.lastError().isValid() ? q.lastError().text() : db.lastError().text();
        db.rollback();
        return why;
    }
    modified_ = false;
    return {};
}

QString ReadingTable::RecordLabel() const
{
    if (current_ < 0)
        return {};
    const QStringList& values = rows_[current_].values;
    const int no = ColumnOf(QStringLiteral("No"));
    const int palace = ColumnOf(QStringLiteral("宮名称"));
    QString label = no >= 0 ? QStringLiteral("No %1").arg(values[no]) : QStringLiteral("%1件目").arg(current_ + 1);
    if (palace >= 0 && !values[palace].isEmpty())
        label += QStringLiteral("「%1」").arg(values[palace]);
    return label;
}

void ReadingTable::Cancel()
{
    if (!modified_)
        return;
    const qint64 keep = current_ >= 0 ? rows_[current_].rowId : -1;
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery q(db);
    QStringList cols;
    for (const QString& c : columns_)
        cols << QuotedName(c);
    q.prepare(QStringLiteral("SELECT %1 FROM %2 WHERE rowid = ?").arg(cols.join(QLatin1String(", ")), QuotedName(schema_.tableName)));
    q.addBindValue(keep);
    if (q.exec() && q.next()) {
        for (int c = 0; c < columns_.size(); ++c)
            rows_[current_].values[c] = q.value(c).toString();
    }
    modified_ = false;
    emit currentChanged();
}

void ReadingTable::EnableControls()
{
    if (disabled_ > 0 && --disabled_ == 0)
        emit currentChanged();
}

}  // namespace zelvara
