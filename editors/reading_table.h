// One reading-text table as the editor windows edit it, open for the whole
// run: a SQLite file in the program folder with one table of the layout in
// table_schema.h. Like a data set behind bound controls it keeps a current
// record, which the editor windows show; edits go into a buffer for the current
// record and are written by Post(), before the current record moves, and when
// the table is closed. The readings never see the buffer: they compose from
// SavedTexts, published after every save.
#pragma once

#include "common/single_table_store.h"
#include "readings/reading_texts.h"
#include "readings/table_schema.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace zelvara {

class MessageSink;

class ReadingTable : public QObject {
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
    bool IsOpen() const { return open_; }
    // True when open; otherwise reports that the table is not open.
    bool CheckOpen() const;
    const TableSchema& Schema() const { return schema_; }
    QString FileName() const { return schema_.fileName; }
    QString FilePath() const { return path_; }

    // Records in table order (by No where No is the key, else as stored).
    int RecordCount() const { return int(rows_.size()); }
    int CurrentRow() const { return current_; }  // −1 when the table is empty
    // A move saves the pending edits of the record it leaves. When they are
    // refused (reported), the record stays current, Eof() is set so that a
    // First/Next scan ends, and the move gives false.
    bool First();
    bool Next();  // at the last record: stays there and sets Eof()
    bool Prior();
    bool Last();
    bool MoveTo(int row);
    bool Eof() const { return eof_; }

    // The file has this field of the layout.
    bool HasField(const QString& name) const;
    // Value of a field of the current record; empty when there is no record.
    // A name the table does not have is reported (naming table and field)
    // and gives nullopt.
    std::optional<QString> Field(const QString& name);

    // Editing the current record. SetValue refuses (and reports) a name the
    // table does not have. Post checks every changed value, then writes the
    // record in one transaction; a refused post keeps the edits pending and
    // its message names the table, the record and the field.
    bool SetValue(const QString& name, const QString& text);
    bool Post();
    // Post() when there are pending edits; true when there are none.
    bool PostPending() { return !modified_ || Post(); }
    // Drops the pending edits: the current record is read again from the file.
    void Cancel();
    bool IsModified() const { return modified_; }

    // Bound controls do not follow the current record while disabled (an
    // editor walking its records); enabling again tells them once where it stands.
    void DisableControls() { ++disabled_; }
    void EnableControls();
    bool ControlsDisabled() const { return disabled_ > 0; }

    // The records as the file holds them, for the readings: a table not open,
    // or one holding edits not yet saved, gives a table not loaded.
    TextTable SavedTexts() const;

signals:
    void currentChanged();  // another record, or the current one reloaded
    // The file was read again (opened or not) or a record was saved: what
    // SavedTexts gives has changed.
    void saved();

private:
    struct Row {
        qint64 rowId = -1;
        QStringList values;  // by column of columns_
    };
    // Reads the records; empty, or why they could not be read.
    QString LoadRows();
    bool SetCurrent(int row, bool eof);
    // Checks and writes the current record; empty, or why it was refused.
    QString WriteCurrent();
    // "No 2「命宮」" for the current record, or its place when it has no No.
    QString RecordLabel() const;
    void CloseNow();
    int ColumnOf(const QString& name) const;
    void Report(const QString& text) const;

    const TableSchema& schema_;
    MessageSink& sink_;
    SingleTableStore store_;
    QString path_;
    bool open_ = false;
    QStringList columns_;  // the layout's fields that the file has, in layout order
    std::vector<Row> rows_;
    int current_ = -1;
    bool eof_ = true;
    bool modified_ = false;
    int disabled_ = 0;
};

// Keeps a table's bound controls still for a scope.
class ControlsFrozen {
public:
    explicit ControlsFrozen(ReadingTable& t) : t_(t) { t_.DisableControls(); }
    ~ControlsFrozen() { t_.EnableControls(); }
    ControlsFrozen(const ControlsFrozen&) = delete;
    ControlsFrozen& operator=(const ControlsFrozen&) = delete;

private:
    ReadingTable& t_;
};

}  // namespace zelvara
