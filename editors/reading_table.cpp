#include "editors/reading_table.h"

#include "engine/context.h"
#include "readings/table_file.h"

#include <QDir>
#include <QSqlQuery>

#include <algorithm>

namespace zelvara {
namespace {

const QString kNo = QStringLiteral("No");

}  // namespace

ReadingTable::ReadingTable(TableId id, MessageSink& sink, QObject* parent)
    : QAbstractTableModel(parent),
      schema_(SchemaOf(id)),
      sink_(sink),
      store_(SchemaOf(id).Layout(), QStringLiteral("reading-") + SchemaOf(id).tableName) {}

ReadingTable::~ReadingTable() {
    // Nothing can be kept open any longer: edits that cannot be saved are
    // dropped, and said so.
    for (int row = 0; row < RecordCount(); ++row) {
        if (!rows_[row].edited) continue;
        if (const QString why = WriteRow(row); !why.isEmpty())
            Report(QStringLiteral("鑑定文の表「%1」の記録（%2）の変更は保存できないまま破棄されました。\n%3")
                       .arg(schema_.fileName, RecordLabel(row), why));
    }
    CloseNow();
}

void ReadingTable::Report(const QString& text) const { sink_.Show(text.toStdString(), {}); }

bool ReadingTable::Fail(const QString& what, const QString& why) const {
    Report(QStringLiteral("鑑定文の表「%1」%2できません。\n%3").arg(schema_.fileName, what, why));
    return false;
}

bool ReadingTable::Open(const QString& folder, const QStringList& seedFolders) {
    if (!Close()) return false;
    const QString path = QDir(folder).filePath(schema_.fileName);
    QString why = PrepareTableFile(schema_, path, seedFolders);
    if (why.isEmpty()) why = OpenTableFile(store_, path);
    beginResetModel();
    if (why.isEmpty()) {
        open_ = true;
        why = LoadRows();
    }
    if (!why.isEmpty()) CloseNow();
    endResetModel();
    if (!why.isEmpty()) Report(why);
    emit saved();
    return open_;
}

bool ReadingTable::Close() {
    if (open_ && !PostPending()) return false;
    beginResetModel();
    CloseNow();
    endResetModel();
    return true;
}

bool ReadingTable::Select() {
    if (!open_) return false;
    beginResetModel();
    const QString why = LoadRows();
    if (!why.isEmpty()) CloseNow();
    endResetModel();
    if (!why.isEmpty()) Report(why);
    emit saved();
    return open_;
}

void ReadingTable::CloseNow() {
    rows_.clear();
    columns_.clear();
    store_.Close();
    open_ = false;
}

QString ReadingTable::LoadRows() {
    QList<SingleTableStore::Row> rows;
    if (const QString why = ReadTableRecords(schema_, store_, columns_, rows); !why.isEmpty()) return why;
    rows_.clear();
    for (SingleTableStore::Row& r : rows) rows_.push_back(Row{r.rowId, std::move(r.values), std::nullopt});
    return {};
}

TextTable ReadingTable::SavedTexts() const {
    if (!open_) return TextTable(schema_.id);
    QList<QStringList> records;
    for (const Row& r : rows_) records << r.values;
    return TextTable(schema_.id, columns_, std::move(records));
}

bool ReadingTable::IsMemo(int column) const {
    const int i = schema_.FieldIndex(columns_.value(column));
    return i >= 0 && schema_.fields[i].type == FieldType::Memo;
}

bool ReadingTable::IsModified() const {
    return std::any_of(rows_.begin(), rows_.end(), [](const Row& r) { return r.edited.has_value(); });
}

std::optional<QString> ReadingTable::Value(int row, const QString& name) const {
    if (!open_) {
        Report(QStringLiteral("鑑定文の表「%1」が開いていないため、鑑定文を読めません。").arg(schema_.fileName));
        return std::nullopt;
    }
    const int column = ColumnOf(name);
    if (column < 0) {
        Report(QStringLiteral("鑑定文の表「%1」に項目「%2」がありません。").arg(schema_.fileName, name));
        return std::nullopt;
    }
    return row >= 0 && row < RecordCount() ? rows_[row].Shown()[column] : QString();
}

bool ReadingTable::SetValue(int row, const QString& name, const QString& text) {
    if (ColumnOf(name) < 0) {
        Report(QStringLiteral("鑑定文の表「%1」に項目「%2」がありません。").arg(schema_.fileName, name));
        return false;
    }
    return setData(index(row, ColumnOf(name)), text);
}

// --- the model -------------------------------------------------------------------

int ReadingTable::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : RecordCount(); }

int ReadingTable::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(columns_.size()); }

QVariant ReadingTable::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= RecordCount() || index.column() >= columnCount()) return {};
    const QString& value = rows_[index.row()].Shown()[index.column()];
    switch (role) {
        case Qt::DisplayRole: return IsMemo(index.column()) ? value.section(QLatin1Char('\n'), 0, 0).trimmed() : value;
        case Qt::EditRole: return value;
        case Qt::ToolTipRole: return IsMemo(index.column()) ? QVariant(value) : QVariant();
        default: return {};
    }
}

QVariant ReadingTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return columns_.value(section);
    return QString();
}

Qt::ItemFlags ReadingTable::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && !IsMemo(index.column())) f |= Qt::ItemIsEditable;
    return f;
}

bool ReadingTable::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.row() >= RecordCount()) return false;
    Row& row = rows_[index.row()];
    const QString text = value.toString();
    if (row.Shown()[index.column()] == text) return true;
    if (!row.edited) row.edited = row.values;
    (*row.edited)[index.column()] = text;
    emit dataChanged(index, index);
    return true;
}

// --- writing ---------------------------------------------------------------------

QString ReadingTable::KeyClash(int row) const {
    if (!schema_.keyedByNo || !HasField(kNo)) return {};
    const int no = ColumnOf(kNo);
    const int palace = ColumnOf(QStringLiteral("宮名称"));
    const QString mine = rows_[row].Shown()[no].trimmed();
    if (mine.isEmpty()) return QStringLiteral("番号（No）が空です。");
    for (int r = 0; r < RecordCount(); ++r) {
        if (r != row && rows_[r].Shown()[no].trimmed() == mine)
            return QStringLiteral("番号（No）%1 は「%2」の記録ですでに使われています。")
                .arg(mine, palace >= 0 ? rows_[r].Shown()[palace] : QString());
    }
    return {};
}

QString ReadingTable::WriteRow(int row) {
    if (!open_) return QStringLiteral("表が開いていません。");
    Row& r = rows_[row];
    if (!r.edited) return {};
    if (const QString why = store_.CheckValues(columns_, *r.edited); !why.isEmpty()) return why;
    if (const StoreWrite w = store_.Update(r.rowId, columns_, *r.edited); !w.ok)
        return w.error.isValid() ? w.Why() : QStringLiteral("記録がファイルにありません。");
    r.values = *r.edited;
    r.edited.reset();
    return {};
}

bool ReadingTable::submit() {
    bool written = false, ok = true, noChanged = false;
    const int no = ColumnOf(kNo);
    for (int row = 0; row < RecordCount() && ok; ++row) {
        if (!rows_[row].edited) continue;
        if (const QString clash = KeyClash(row); !clash.isEmpty()) {
            Report(QStringLiteral("鑑定文の表「%1」に書き込めません。\n%2\nこの表では番号が重なってはいけません。"
                                  "別の番号にしてから更新登録してください。入力した内容はそのまま残っています。")
                       .arg(schema_.fileName, clash));
            ok = false;
            break;
        }
        const bool noEdited = no >= 0 && (*rows_[row].edited)[no] != rows_[row].values[no];
        if (const QString why = WriteRow(row); !why.isEmpty()) {
            Report(QStringLiteral(
                       "鑑定文の表「%1」の記録（%2）を保存できません。\n%3\n入力した内容はそのまま残っています。")
                       .arg(schema_.fileName, RecordLabel(row), why));
            ok = false;
        } else {
            written = true;
            noChanged = noChanged || noEdited;
        }
    }
    if (noChanged && schema_.keyedByNo) SortByNo();
    if (written) emit saved();
    return ok;
}

void ReadingTable::SortByNo() {
    const int no = ColumnOf(kNo);
    std::vector<int> order(rows_.size());
    for (int i = 0; i < int(order.size()); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return rows_[a].values[no].trimmed().toInt() < rows_[b].values[no].trimmed().toInt();
    });
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted;
    std::vector<int> newRowOf(rows_.size());
    for (int i = 0; i < int(order.size()); ++i) {
        newRowOf[order[i]] = i;
        sorted.push_back(std::move(rows_[order[i]]));
    }
    rows_ = std::move(sorted);
    QModelIndexList from, to;
    for (const QModelIndex& old : persistentIndexList()) {
        from << old;
        to << index(newRowOf[old.row()], old.column());
    }
    changePersistentIndexList(from, to);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

void ReadingTable::revert() {
    for (int row = 0; row < RecordCount(); ++row) {
        if (!rows_[row].edited) continue;
        rows_[row].edited.reset();
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
}

QString ReadingTable::RecordLabel(int row) const {
    const QStringList& values = rows_[row].Shown();
    const int no = ColumnOf(kNo);
    const int palace = ColumnOf(QStringLiteral("宮名称"));
    QString label = no >= 0 ? QStringLiteral("No %1").arg(values[no]) : QStringLiteral("%1件目").arg(row + 1);
    if (palace >= 0 && !values[palace].isEmpty()) label += QStringLiteral("「%1」").arg(values[palace]);
    return label;
}

// --- adding and removing records ---------------------------------------------------

bool ReadingTable::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row != RecordCount() || count != 1 || !open_) return false;
    const QString what = QStringLiteral("に記録を追加");
    const int noColumn = ColumnOf(kNo);
    if (noColumn < 0) return Fail(what, QStringLiteral("番号（No）の項目がありません。"));
    int no = 1;
    for (const Row& r : rows_) no = std::max(no, r.values[noColumn].trimmed().toInt() + 1);
    if (no > 32767) return Fail(what, QStringLiteral("番号（No）が 32767 を超えます。"));
    const StoreWrite w = store_.Insert({kNo}, {QString::number(no)});
    if (!w.ok) return Fail(what, w.Why());
    const auto stored = store_.SelectRow(w.rowId, columns_);
    beginInsertRows({}, row, row);
    rows_.push_back(Row{w.rowId, stored ? stored->values : QStringList(columns_.size(), QString()), std::nullopt});
    if (!stored) rows_.back().values[noColumn] = QString::number(no);
    endInsertRows();
    emit saved();
    return true;
}

bool ReadingTable::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > RecordCount() || !open_) return false;
    const QString what = QStringLiteral("から記録を削除");
    const int no = ColumnOf(kNo);
    const bool byNo = schema_.keyedByNo && no >= 0;
    if (!store_.Begin()) return Fail(what, store_.Database().lastError().text());
    QString why;
    for (int r = row; r < row + count && why.isEmpty(); ++r) {
        QSqlQuery q(store_.Database());
        q.prepare(QStringLiteral("DELETE FROM %1 WHERE %2 = ?").arg(store_.QuotedTable(), byNo ? "\"No\"" : "rowid"));
        q.addBindValue(byNo ? QVariant(rows_[r].values[no].toInt()) : QVariant(rows_[r].rowId));
        if (!q.exec())
            why = q.lastError().text();
        else if (q.numRowsAffected() != 1)
            why = QStringLiteral("削除する記録が見つかりません。");
    }
    if (why.isEmpty()) {
        if (const StoreWrite w = store_.Commit(); !w.ok) why = w.Why();
    } else {
        store_.Rollback();
    }
    if (!why.isEmpty()) return Fail(what, why);
    beginRemoveRows({}, row, row + count - 1);
    rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
    endRemoveRows();
    emit saved();
    return true;
}

}  // namespace zelvara
