// One SQLite file holding one table of declared fields: the register, each
// reading-text table and the legends table are kept this way. The store opens
// the file under its own connection, creates the table with the declared
// fields, checks that a file's table has them, writes records after checking
// every value for its size in Shift-JIS bytes and for characters Shift-JIS
// cannot write, makes a missing file from seed records (written under another
// name and moved into place when complete), and takes the one-writer lock of
// the file for a table that needs one.
//
// The store says why something failed in a short reason; the table that uses
// it puts that into its own message for the user.
#pragma once

#include "common/register_lock.h"
#include "common/seed_file.h"
#include "common/table_fields.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

namespace zelvara {

struct TableLayout {
    enum class Columns {
        Typed,        // SMALLINT / VARCHAR(size) / TEXT, NULL allowed
        NotNullText,  // every column TEXT NOT NULL DEFAULT ''
    };
    QString tableName;
    QList<FieldDef> fields;
    Columns columns = Columns::Typed;
    QString primaryKey;  // a SmallInt field that is the unique key; empty for none

    // The column definition as written into CREATE TABLE.
    QString ColumnSql(const FieldDef& field) const;
    int IndexOf(const QString& name) const { return IndexOfField(fields, name); }
};

// The outcome of a write: rowsAffected is 0 when an update found the record
// changed or removed meanwhile; error says why a write failed.
struct StoreWrite {
    bool ok = false;
    int rowsAffected = 0;
    qint64 rowId = -1;
    QSqlError error;
    QString Why() const { return error.text(); }
};

class SingleTableStore {
public:
    // How the file's table must match the layout.
    enum class SchemaRule {
        Exact,        // the declared fields, in their order, and no others
        AllDeclared,  // every declared field; others may be there
        AnyDeclared,  // any of the declared fields (a file of an older layout)
    };

    SingleTableStore(TableLayout layout, const QString& connectionPrefix);
    ~SingleTableStore();
    SingleTableStore(const SingleTableStore&) = delete;
    SingleTableStore& operator=(const SingleTableStore&) = delete;

    const TableLayout& Layout() const { return layout_; }
    QString QuotedTable() const;

    // Opens the file (never creating or writing it when readOnly). Empty on
    // success; else the driver's reason.
    QString Open(const QString& path, bool readOnly = false);
    void Close();
    bool IsOpen() const { return open_; }
    const QString& Path() const { return path_; }
    QSqlDatabase Database() const;

    // The one-writer lock of the file, tried once without waiting; held until
    // ReleaseLock() or Close().
    RegisterLock::State TakeLock(const QString& path, QString* holder = nullptr);
    void ReleaseLock() { lock_.reset(); }

    // Creates the table with the declared fields in one transaction. Empty on
    // success; else the reason.
    QString CreateTable();
    // Empty when the file's table fits the rule; else why not: the table is
    // missing, the fields differ, a field is missing. present receives the
    // declared fields the file has, in declared order.
    QString CheckSchema(SchemaRule rule, QStringList* present = nullptr) const;

    // Empty when every value fits its field (by name): size in Shift-JIS
    // bytes, a number that is one, characters Shift-JIS can write. labels,
    // when given, name the fields in the message.
    QString CheckValues(const QStringList& columns, const QStringList& values, const QStringList& labels = {}) const;
    // The values as they are written: characters that input methods type but
    // Shift-JIS knows only in their full-width form are replaced.
    static QStringList Writable(QStringList values);

    // Reads the columns of every record (or of one rowid) in the given order:
    // each row is the rowid followed by the values as text.
    struct Row {
        qint64 rowId = -1;
        QStringList values;
    };
    std::optional<QList<Row>> Select(const QStringList& columns, const QString& orderBy = QStringLiteral("rowid"),
                                     QString* why = nullptr, const QString& whereColumn = {},
                                     const QString& whereValue = {}) const;
    std::optional<Row> SelectRow(qint64 rowId, const QStringList& columns) const;

    // Writes values into the columns (checked first with CheckValues; the
    // caller passes Writable values). Insert appends a record; Update writes
    // over the record rowId, and when expected is given only while the
    // record still holds those values. Each runs in its own transaction
    // unless one is already open (Begin/Commit).
    StoreWrite Insert(const QStringList& columns, const QStringList& values);
    // Appends the records in one statement prepared once: all or none.
    // progress, when set, is told every thousand records how many are written.
    StoreWrite InsertRows(const QStringList& columns, const QList<QStringList>& rows,
                          const std::function<void(int done)>& progress = {});
    StoreWrite Update(qint64 rowId, const QStringList& columns, const QStringList& values,
                      const QStringList* expected = nullptr);
    // Removes every record (a table rebuilt from other records). Empty on
    // success; else the reason.
    QString RemoveAll();
    bool Begin();
    StoreWrite Commit();
    void Rollback();

    // Inserts the seed's records into the open table in one transaction.
    // Empty on success; else the reason.
    QString InsertSeed(const QList<SeedRecord>& records);
    // Makes the file at path with the table and the seed's records: written
    // under another name and moved into place when complete, so no
    // half-written table is ever left. An existing empty file is replaced.
    // Empty on success; else the reason.
    QString CreateFile(const QString& path, const QList<SeedRecord>& records);

    // Each column equal to its bound value, NULL on either side read as empty.
    static QString SameValuesCondition(const QStringList& columns);
    static QString ColumnList(const QStringList& columns);

private:
    QVariant Bound(const QString& column, const QString& value) const;
    StoreWrite Finish(QSqlQuery& q, bool ownTransaction);

    TableLayout layout_;
    QString connection_;
    QString path_;
    bool open_ = false;
    bool inTransaction_ = false;
    std::unique_ptr<RegisterLock> lock_;
};

}  // namespace zelvara
