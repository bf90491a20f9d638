// One reading-text table as the editor windows edit it, open for the whole
// run: a SQLite file in the program folder with one table of the layout in
// table_schema.h, as an item model. Rows are the records in table order (by No
// where No is the key, else as stored), columns the layout's fields the file
// has. Edits stay in the model until submit(), which checks each edited
// record and writes it in one transaction; revert() drops them. insertRows
// appends a record, removeRows removes records from the file. The readings
// never see the edits: they compose from SavedTexts, published after every
// write.
#pragma once

#include "common/single_table_store.h"
#include "readings/reading_texts.h"
#include "readings/table_schema.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zelvara {

class MessageSink;

class ReadingTable : public QAbstractTableModel {
    Q_OBJECT
public:
    ReadingTable(TableId id, MessageSink& sink, QObject* parent = nullptr);
    ~ReadingTable() override;

    // Opens folder/<file name>. A missing or empty file is first created from
    // the seed source, taken from the first of seedFolders that has it; a
    // file that exists is never replaced. On any failure the message names
    // the file and the table stays closed.
    // A table that holds edits it cannot save is not opened again (false).
    bool Open(const QString& folder, const QStringList& seedFolders);
    // Saves the pending edits first; when they are refused (reported) the
    // table stays open with them and the result is false.
    bool Close();
    // Reads the file again (the pending edits are dropped).
    bool Select();
    bool IsOpen() const { return open_; }
    const TableSchema& Schema() const { return schema_; }
    QString FileName() const { return schema_.fileName; }

    int RecordCount() const { return int(rows_.size()); }
    // The column of a field the file has, or −1.
    int ColumnOf(const QString& name) const { return int(columns_.indexOf(name)); }
    bool HasField(const QString& name) const { return ColumnOf(name) >= 0; }
    bool IsMemo(int column) const;
    // Value of a field of the record at row, edits included; empty when there
    // is no such record. A table not open, or a field it does not have, is
    // reported (naming table and field) and gives nullopt.
    std::optional<QString> Value(int row, const QString& name) const;
    // Edits a field of the record at row; a field the table does not have is reported.
    bool SetValue(int row, const QString& name, const QString& text);

    // Whether any record holds edits not yet written.
    bool IsModified() const;
    bool IsRowModified(int row) const { return row >= 0 && row < RecordCount() && rows_[row].edited.has_value(); }
    // submit() when there are pending edits; true when there are none.
    bool PostPending() { return !IsModified() || submit(); }

    // The records as the file holds them, for the readings; a table not open
    // gives a table not loaded.
    TextTable SavedTexts() const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    // The display of a memo is its first line; its whole text is the tool tip.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Memos are edited in their memo controls, not in grids.
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    // Appends one record (row must be the record count): its No one above the
    // highest (1 in an empty table), every other field empty.
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    // Removes records from the file: by No where No is the key, else by the
    // record's place in the file. Their edits go with them.
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

public slots:
    // Checks and writes every edited record, each in one transaction. A
    // refused record is reported (naming table, record and field) and keeps
    // its edits; the result is then false.
    bool submit() override;
    // Drops every pending edit.
    void revert() override;

signals:
    // The file was read again (opened or not) or records were written: what
    // SavedTexts gives has changed.
    void saved();

private:
    struct Row {
        qint64 rowId = -1;
        QStringList values;                 // as the file holds them, by column of columns_
        std::optional<QStringList> edited;  // pending edits
        const QStringList& Shown() const { return edited ? *edited : values; }
    };
    // Reads the records; empty, or why they could not be read.
    QString LoadRows();
    // Checks and writes the record at row; empty, or why it was refused.
    QString WriteRow(int row);
    // Empty when the record at row keeps No unique in a table keyed by it.
    QString KeyClash(int row) const;
    // Puts the records back in No order after a No changed.
    void SortByNo();
    // "No 2「命宮」" for the record at row, or its place when it has no No.
    QString RecordLabel(int row) const;
    void CloseNow();
    void Report(const QString& text) const;
    bool Fail(const QString& what, const QString& why) const;

    const TableSchema& schema_;
    MessageSink& sink_;
    SingleTableStore store_;
    bool open_ = false;
    QStringList columns_;  // the layout's fields that the file has, in layout order
    std::vector<Row> rows_;
};

}  // namespace zelvara
