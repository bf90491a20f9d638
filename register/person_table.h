// The person register: nam_data.db in the program folder, one SQLite table
// nam_data with the eighteen text fields. The table keeps a current record
// and an edit buffer for it, like a data set behind bound controls: edits go
// into the buffer and are posted by Post() or when the current record changes.
#pragma once

#include "person_fields.h"

#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <array>
#include <vector>

namespace zelvara {

class MessageSink;

struct PersonRecord {
    qint64 rowId = -1;  // −1: appended, not yet in the file
    std::array<QString, kPersonFieldCount> values;
};

class PersonTable : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kFileName = "nam_data.db";

    explicit PersonTable(MessageSink& sink, QObject* parent = nullptr);
    ~PersonTable() override;

    // Opens folder/nam_data.db; a missing or empty file is created with the
    // register's fields. A file that is not a usable register is reported and
    // left untouched; the table then stays closed.
    bool Open(const QString& folder);
    void Close();
    bool IsOpen() const { return open_; }
    QString FilePath() const { return path_; }

    // Records in view (the filter applied), in table order.
    int RecordCount() const { return int(rows_.size()); }
    int CurrentRow() const { return current_; }  // −1 when empty
    const PersonRecord& Record(int row) const { return rows_.at(row); }
    QString Value(int field) const;              // of the current record
    bool IsModified() const { return modified_; }

    // Edit the current record's buffer (appends one when the view is empty).
    void SetValue(int field, const QString& text);

    // Moving posts pending edits first; when the post is refused the current
    // record stays where it is. False when nothing moved.
    bool First();
    bool Prior();
    bool Next();
    bool Last();
    bool MoveTo(int row);

    bool Append();  // a new empty record at the end, made current
    bool Post();    // writes the buffer (checked for size and encoding)
    void Cancel();  // drops unposted edits
    bool Delete();  // removes the current record, without asking

    // First record in view whose name begins with prefix (exact characters).
    // Nothing changes when none does.
    bool FindByName(const QString& prefix);

    // Keeps only the records whose field equals value. The field must be one
    // of the register's own; the value is bound, never spliced in.
    bool SetFilter(const QString& field, const QString& value);
    bool ClearFilter();
    bool IsFiltered() const { return filterField_ >= 0; }

signals:
    void currentChanged();    // another record, or the current one reloaded
    void recordsReset();      // the view's rows were reloaded
    void valueEdited(int field);

private:
    bool CreateTable();
    bool CheckTable();
    bool Reload(qint64 keepRowId);
    bool PostIfModified();
    bool SetCurrent(int row);
    void Report(const QString& text) const;

    MessageSink& sink_;
    QString connection_;
    QString path_;
    bool open_ = false;
    std::vector<PersonRecord> rows_;
    int current_ = -1;
    bool modified_ = false;
    int filterField_ = -1;
    QString filterValue_;
};

}  // namespace zelvara
