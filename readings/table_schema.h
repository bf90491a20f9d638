// The layouts of the five reading-text tables: file name, table name, and the
// fields in their order with their types. These lists are the only source of
// field names that ever reach a query.
#pragma once

#include <QString>
#include <QStringList>
#include <QList>

namespace zelvara {

enum class FieldType {
    SmallInt,  // 16-bit integer
    String,    // text of at most `size` Shift-JIS bytes
    Memo,      // text of any length
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Memo;
    int size = 0;  // String only: CP932 bytes
};

enum class TableId { Kyu12, Kantei, HosiImi, Ai01, Ai02 };
constexpr int kReadingTableCount = 5;

struct TableSchema {
    TableId id;
    QString fileName;   // "KYU12.db" … in the program folder
    QString tableName;  // the one table inside the file
    QString seedName;   // the UTF-8 seed source in the seed folder
    QList<FieldDef> fields;
    bool keyedByNo = false;  // No is the unique primary key; table order follows it

    int FieldIndex(const QString& name) const;  // −1 when not a field
    QStringList FieldNames() const;
    // The column definition as written into CREATE TABLE.
    QString ColumnSql(const FieldDef& field) const;
};

const TableSchema& SchemaOf(TableId id);

// Empty when the text may be stored in the field; else a message naming the
// field: a No that is not a 16-bit number, a string longer than its size in
// Shift-JIS bytes, a character that Shift-JIS cannot write.
QString CheckFieldValue(const FieldDef& field, const QString& text);
const QList<TableId>& AllReadingTables();

// The luck and partner tables share one field list: the twenty star long
// names, the twelve additional stars from 天存星, the transformations, 駅馬星.
const QStringList& StarTextFieldNames();

}  // namespace zelvara
