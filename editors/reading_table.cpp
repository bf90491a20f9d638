#include "editors/reading_table.h"

#include "engine/context.h"
#include "readings/table_file.h"

#include <QDir>

namespace zelvara {

ReadingTable::ReadingTable(TableId id, MessageSink& sink, QObject* parent)
    : QObject(parent),
      schema_(SchemaOf(id)),
      sink_(sink),
      store_(SchemaOf(id).Layout(), QStringLiteral("reading-") + SchemaOf(id).tableName) {}

ReadingTable::~ReadingTable() {
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

bool ReadingTable::Open(const QString& folder, const QStringList& seedFolders) {
    if (!Close()) return false;
    path_ = QDir(folder).filePath(schema_.fileName);
    QString why = PrepareTableFile(schema_, path_, seedFolders);
    if (why.isEmpty()) why = OpenTableFile(store_, path_);
    if (why.isEmpty()) {
        open_ = true;
        why = LoadRows();
    }
    if (!why.isEmpty()) {
        CloseNow();
        Report(why);
    }
    emit saved();
    return open_;
}

bool ReadingTable::Close() {
    if (open_ && !PostPending()) return false;
    CloseNow();
    return true;
}

void ReadingTable::CloseNow() {
    rows_.clear();
    columns_.clear();
    current_ = -1;
    eof_ = true;
    modified_ = false;
    store_.Close();
    open_ = false;
}

QString ReadingTable::LoadRows() {
    QList<SingleTableStore::Row> rows;
    if (const QString why = ReadTableRecords(schema_, store_, columns_, rows); !why.isEmpty()) return why;
    rows_.clear();
    for (SingleTableStore::Row& r : rows) rows_.push_back(Row{r.rowId, std::move(r.values)});
    current_ = rows_.empty() ? -1 : 0;
    eof_ = rows_.empty();
    modified_ = false;
    emit currentChanged();
    return {};
}

TextTable ReadingTable::SavedTexts() const {
    if (!open_ || modified_) return TextTable(schema_.id);
    QList<QStringList> records;
    for (const Row& r : rows_) records << r.values;
    return TextTable(schema_.id, columns_, std::move(records));
}

bool ReadingTable::CheckOpen() const {
    if (!open_)
        Report(QStringLiteral("鑑定文の表「%1」が開いていないため、鑑定文を読めません。").arg(schema_.fileName));
    return open_;
}

int ReadingTable::ColumnOf(const QString& name) const { return int(columns_.indexOf(name)); }

bool ReadingTable::HasField(const QString& name) const { return ColumnOf(name) >= 0; }

bool ReadingTable::SetCurrent(int row, bool eof) {
    if (row < 0 || row >= RecordCount()) return false;
    if (row != current_ && !PostPending()) {
        eof_ = true;  // whoever scans stops here instead of asking again and again
        return false;
    }
    eof_ = eof;
    if (row != current_) {
        current_ = row;
        if (!ControlsDisabled()) emit currentChanged();
    }
    return true;
}

bool ReadingTable::First() {
    if (rows_.empty()) {
        eof_ = true;
        return false;
    }
    return SetCurrent(0, false);
}

bool ReadingTable::Next() {
    if (current_ + 1 >= RecordCount()) {
        eof_ = true;
        return false;
    }
    return SetCurrent(current_ + 1, false);
}

bool ReadingTable::Prior() { return current_ > 0 && SetCurrent(current_ - 1, false); }

bool ReadingTable::Last() { return !rows_.empty() && SetCurrent(RecordCount() - 1, false); }

bool ReadingTable::MoveTo(int row) { return SetCurrent(row, false); }

std::optional<QString> ReadingTable::Field(const QString& name) {
    if (!CheckOpen()) return std::nullopt;
    const int column = ColumnOf(name);
    if (column < 0) {
        Report(QStringLiteral("鑑定文の表「%1」に項目「%2」がありません。").arg(schema_.fileName, name));
        return std::nullopt;
    }
    return current_ >= 0 ? rows_[current_].values[column] : QString();
}

bool ReadingTable::SetValue(const QString& name, const QString& text) {
    const int column = ColumnOf(name);
    if (column < 0) {
        Report(QStringLiteral("鑑定文の表「%1」に項目「%2」がありません。").arg(schema_.fileName, name));
        return false;
    }
    if (current_ < 0) return false;
    QString& slot = rows_[current_].values[column];
    if (slot != text) {
        slot = text;
        modified_ = true;
    }
    return true;
}

bool ReadingTable::Post() {
    if (current_ < 0 || !open_) return false;
    if (const QString why = WriteCurrent(); !why.isEmpty()) {
        Report(
            QStringLiteral("鑑定文の表「%1」の記録（%2）を保存できません。\n%3\n入力した内容はそのまま残っています。")
                .arg(schema_.fileName, RecordLabel(), why));
        return false;
    }
    emit saved();
    return true;
}

QString ReadingTable::WriteCurrent() {
    if (current_ < 0 || !open_) return QStringLiteral("表が開いていません。");
    const Row& row = rows_[current_];
    if (const QString why = store_.CheckValues(columns_, row.values); !why.isEmpty()) return why;
    if (const StoreWrite w = store_.Update(row.rowId, columns_, row.values); !w.ok)
        return w.error.isValid() ? w.Why() : QStringLiteral("記録がファイルにありません。");
    modified_ = false;
    return {};
}

QString ReadingTable::RecordLabel() const {
    if (current_ < 0) return {};
    const QStringList& values = rows_[current_].values;
    const int no = ColumnOf(QStringLiteral("No"));
    const int palace = ColumnOf(QStringLiteral("宮名称"));
    QString label = no >= 0 ? QStringLiteral("No %1").arg(values[no]) : QStringLiteral("%1件目").arg(current_ + 1);
    if (palace >= 0 && !values[palace].isEmpty()) label += QStringLiteral("「%1」").arg(values[palace]);
    return label;
}

void ReadingTable::Cancel() {
    if (!modified_) return;
    if (current_ >= 0)
        if (const auto stored = store_.SelectRow(rows_[current_].rowId, columns_))
            rows_[current_].values = stored->values;
    modified_ = false;
    emit currentChanged();
}

void ReadingTable::EnableControls() {
    if (disabled_ > 0 && --disabled_ == 0) emit currentChanged();
}

}  // namespace zelvara
