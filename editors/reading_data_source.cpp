#include "editors/reading_data_source.h"

#include "editors/reading_table.h"
#include "editors/record_rows.h"
#include "engine/context.h"

#include <climits>

namespace zelvara {
namespace {

const QString kNo = QStringLiteral("No");

}  // namespace

ReadingDataSource::ReadingDataSource(ReadingTable& table, MessageSink& sink, QObject* parent)
    : NaviDataSet(parent), table_(table), sink_(sink) {
    connect(&table_, &ReadingTable::currentChanged, this, &ReadingDataSource::TableMoved);
    ReadAllRows();
    lastRow_ = table_.CurrentRow();
}

bool ReadingDataSource::IsMemo(const QString& field) const {
    const int i = table_.Schema().FieldIndex(field);
    return i >= 0 && table_.Schema().fields[i].type == FieldType::Memo;
}

int ReadingDataSource::CurrentRow() const { return table_.IsOpen() ? table_.CurrentRow() : -1; }

QString ReadingDataSource::Value(int row, const QString& field) const {
    const int column = int(fields_.indexOf(field));
    if (row < 0 || row >= RowCount() || column < 0 || column >= rows_[row].size()) return {};
    return rows_[row][column];
}

bool ReadingDataSource::IsActive() const { return table_.IsOpen(); }
bool ReadingDataSource::IsBof() const { return rows_.empty() || CurrentRow() <= 0; }
bool ReadingDataSource::IsEof() const { return rows_.empty() || CurrentRow() >= RowCount() - 1; }
bool ReadingDataSource::IsEditing() const { return IsActive() && (table_.IsModified() || editRequested_); }

// --- the copy of the records ---------------------------------------------------

void ReadingDataSource::ReadAllRows() {
    fields_.clear();
    rows_.clear();
    if (!table_.IsOpen()) return;
    for (const FieldDef& f : table_.Schema().fields)
        if (table_.HasField(f.name)) fields_ << f.name;
    rows_.resize(table_.RecordCount(), QStringList(fields_.size(), QString()));
    if (table_.IsModified()) {
        // Walking would save the edits; only the current record is known.
        ReadCurrentRow();
        return;
    }
    reading_ = true;
    {
        const ControlsFrozen still(table_);
        const int keep = table_.CurrentRow();
        for (int r = 0; r < table_.RecordCount(); ++r) {
            table_.MoveTo(r);
            for (int c = 0; c < fields_.size(); ++c) rows_[r][c] = table_.Field(fields_[c]).value_or(QString());
        }
        table_.MoveTo(keep);
    }
    reading_ = false;
}

void ReadingDataSource::ReadCurrentRow() {
    const int row = CurrentRow();
    if (row < 0 || row >= RowCount()) return;
    for (int c = 0; c < fields_.size(); ++c) rows_[row][c] = table_.Field(fields_[c]).value_or(QString());
}

void ReadingDataSource::TableMoved() {
    if (reading_) return;
    if (!table_.IsOpen() || table_.RecordCount() != RowCount()) {
        ReadAllRows();
        emit rowsReset();
    } else {
        ReadCurrentRow();
    }
    const int now = CurrentRow();
    if (now != lastRow_) {
        editRequested_ = false;
        insertedRow_ = -1;
        noChanged_ = false;
        lastRow_ = now;
    }
    emit recordMoved();
    emit stateChanged();
}

void ReadingDataSource::Reload(int row) {
    reading_ = true;
    ReloadTable(table_, row);
    reading_ = false;
    ReadAllRows();
    lastRow_ = CurrentRow();
    editRequested_ = false;
    insertedRow_ = -1;
    noChanged_ = false;
    emit rowsReset();
    emit recordMoved();
    emit stateChanged();
}

// --- editing ---------------------------------------------------------------------

bool ReadingDataSource::SetCurrentValue(const QString& field, const QString& text) {
    const int row = CurrentRow();
    const int column = int(fields_.indexOf(field));
    if (row < 0 || column < 0 || !table_.SetValue(field, text)) return false;
    if (rows_[row][column] != text) {
        rows_[row][column] = text;
        noChanged_ = noChanged_ || field == kNo;
        emit valueChanged(row, field);
    }
    emit stateChanged();
    return true;
}

bool ReadingDataSource::SetValueAt(int row, const QString& field, const QString& text) {
    return MoveTo(row) && SetCurrentValue(field, text);
}

bool ReadingDataSource::MoveTo(int row) {
    if (row < 0 || row >= RowCount()) return false;
    const int from = CurrentRow();
    if (row == from) return true;
    if (insertedRow_ == from && !table_.IsModified()) {
        // A new record left as it was added is not kept.
        DiscardInserted();
        if (row >= RowCount()) return false;
    } else if (table_.IsModified() && !PostRecord()) {
        emit recordMoved();  // the grids go back to the record still being edited
        return false;
    }
    const bool moved = table_.MoveTo(row);
    if (!moved) emit recordMoved();
    return moved;
}

bool ReadingDataSource::KeyIsFree() const {
    if (!table_.Schema().keyedByNo) return true;
    const QString no = CurrentValue(kNo).trimmed();
    QString clash;
    if (no.isEmpty()) {
        clash = QStringLiteral("番号（No）が空です。");
    } else {
        for (int r = 0; r < RowCount(); ++r) {
            if (r != CurrentRow() && Value(r, kNo).trimmed() == no) {
                clash = QStringLiteral("番号（No）%1 は「%2」の記録ですでに使われています。")
                            .arg(no, Value(r, QStringLiteral("宮名称")));
                break;
            }
        }
    }
    if (clash.isEmpty()) return true;
    sink_.Show(QStringLiteral("鑑定文の表「%1」に書き込めません。\n%"
                              "2\nこの表では番号が重なってはいけません。別の番号にしてから更新登録してください。"
                              "入力した内容はそのまま残っています。")
                   .arg(table_.FileName(), clash)
                   .toStdString(),
               {});
    return false;
}

bool ReadingDataSource::PostRecord() {
    if (CurrentRow() < 0) return false;
    if (!KeyIsFree() || !table_.Post()) {
        editRequested_ = true;
        emit stateChanged();
        return false;
    }
    editRequested_ = false;
    insertedRow_ = -1;
    if (table_.Schema().keyedByNo && noChanged_) {
        // The table is in No order: read it again and stay on this record.
        const QString no = CurrentValue(kNo).trimmed();
        Reload(CurrentRow());
        for (int r = 0; r < RowCount(); ++r)
            if (Value(r, kNo).trimmed() == no) table_.MoveTo(r);
    }
    noChanged_ = false;
    emit stateChanged();
    return true;
}

bool ReadingDataSource::SavePending() { return !table_.IsModified() || PostRecord(); }

// --- navigator actions -------------------------------------------------------------

void ReadingDataSource::Edit() {
    if (CurrentRow() < 0) {
        Insert();  // an empty table is edited in a new record
        return;
    }
    editRequested_ = true;
    emit stateChanged();
}

void ReadingDataSource::Insert() {
    if (!IsActive() || (table_.IsModified() && !PostRecord())) return;
    if (insertedRow_ >= 0 && insertedRow_ == CurrentRow()) return;  // the new record is already there, empty
    if (!AppendRecord(table_, sink_)) return;
    Reload(INT_MAX);
    insertedRow_ = CurrentRow();
    editRequested_ = true;
    emit stateChanged();
}

void ReadingDataSource::Delete() {
    const int row = CurrentRow();
    if (row < 0) return;
    table_.Cancel();
    if (RemoveRecord(table_, row, CurrentValue(kNo), sink_)) Reload(row);
}

void ReadingDataSource::DiscardInserted() {
    const int row = insertedRow_;
    insertedRow_ = -1;
    if (row >= 0 && RemoveRecord(table_, row, Value(row, kNo), sink_)) Reload(row - 1);
}

void ReadingDataSource::Cancel() {
    const bool inserted = insertedRow_ >= 0 && insertedRow_ == CurrentRow();
    table_.Cancel();
    editRequested_ = false;
    noChanged_ = false;
    if (inserted) DiscardInserted();
    emit stateChanged();
}

void ReadingDataSource::Refresh() {
    if (table_.IsModified() && !PostRecord()) return;
    Reload(CurrentRow());
}

}  // namespace zelvara
