// The data source of an editor window over one shared reading-text table: it
// follows the table's current record, lets bound controls change it, and does
// the ten navigator actions. It keeps a copy of every record's values for the
// grids, since a table shows only its current record.
#pragma once

#include "editors/navi_data_set.h"

#include <QStringList>

#include <vector>

namespace zelvara {

class MessageSink;
class ReadingTable;

class ReadingDataSource : public NaviDataSet {
    Q_OBJECT
public:
    ReadingDataSource(ReadingTable& table, MessageSink& sink, QObject* parent = nullptr);

    ReadingTable& Table() const { return table_; }
    // The fields the table's file has, in layout order.
    const QStringList& Fields() const { return fields_; }
    bool IsMemo(const QString& field) const;

    int RowCount() const { return int(rows_.size()); }
    int CurrentRow() const;
    QString Value(int row, const QString& field) const;
    QString CurrentValue(const QString& field) const { return Value(CurrentRow(), field); }

    // Changes a field of the current record, which starts editing it.
    bool SetCurrentValue(const QString& field, const QString& text);
    // Moves to row (saving the current record's edits first), then changes it.
    bool SetValueAt(int row, const QString& field, const QString& text);
    // Saves the current record's edits first; false (and the record kept in
    // edit mode) when they are refused.
    bool MoveTo(int row);
    // Writes the current record; false when refused (reported), with the
    // edits kept.
    bool PostRecord();
    // PostRecord() when the table holds edits; true when it holds none.
    bool SavePending();

    bool IsActive() const override;
    bool IsBof() const override;
    bool IsEof() const override;
    bool IsEmpty() const override { return rows_.empty(); }
    bool CanModify() const override { return IsActive(); }
    bool IsEditing() const override;
    void First() override { MoveTo(0); }
    void Prior() override { MoveTo(CurrentRow() - 1); }
    void Next() override { MoveTo(CurrentRow() + 1); }
    void Last() override { MoveTo(RowCount() - 1); }
    void Insert() override;
    void Delete() override;
    void Edit() override;
    void Post() override { PostRecord(); }
    void Cancel() override;
    void Refresh() override;

signals:
    // Another record is current, or the current one was read again: bound
    // controls load their values anew.
    void recordMoved();
    // A value changed through this data source.
    void valueChanged(int row, const QString& field);
    // The records were read again; grids start over.
    void rowsReset();

private:
    void TableMoved();
    void ReadAllRows();
    void ReadCurrentRow();
    bool KeyIsFree() const;
    void Reload(int row);
    void DiscardInserted();

    ReadingTable& table_;
    MessageSink& sink_;
    QStringList fields_;
    std::vector<QStringList> rows_;  // by field of fields_
    int lastRow_ = -1;
    bool editRequested_ = false;
    int insertedRow_ = -1;    // a record Insert added that is not saved yet
    bool noChanged_ = false;  // No of the current record edited since the last save
    bool reading_ = false;
};

}  // namespace zelvara
