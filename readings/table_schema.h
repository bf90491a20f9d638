// The layouts of the five reading-text tables: file name, table name, and the
// fields in their order with their types. These lists are the only source of
// field names that ever reach a query.
#pragma once

#include "common/single_table_store.h"
#include "common/table_fields.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zelvara {

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
    // The table as the store keeps it: typed columns, No the key where keyed.
    TableLayout Layout() const;
    // The column definition as written into CREATE TABLE.
    QString ColumnSql(const FieldDef& field) const { return Layout().ColumnSql(field); }
};

const TableSchema& SchemaOf(TableId id);

const QList<TableId>& AllReadingTables();

// The luck and partner tables share one field list: the twenty star long
// names, the twelve additional stars from 天存星, the transformations, 駅馬星.
const QStringList& StarTextFieldNames();

}  // namespace zelvara
