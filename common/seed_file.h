// The seed source of a table: a UTF-8 text file that a writer edits and a
// reviewer reads in a diff. The format (data/seed/README.md):
//
//   # a comment line (outside a text block)
//   [記録]                  starts the next record, in table order
//   宮名称: 父母宮           a one-line value (blanks around it dropped)
//   内容: <<                a text of several lines, taken as it stands,
//   first line               up to the line ">>"
//   second line
//   >>
//
// Lines may end in CR LF, LF or CR; a text block's lines are joined with LF.
// Fields a record does not name stay empty.
#pragma once

#include "common/table_fields.h"

#include <QHash>
#include <QList>
#include <QString>

namespace zelvara {

struct SeedRecord {
    QHash<QString, QString> values;  // field name → text
};

struct SeedParse {
    QList<SeedRecord> records;
    QString error;  // empty when the file was read in full; else names the file and the line
};

// Parses seed text against a table's fields: every field name must be one of
// them and named once per record, a string must fit its size in Shift-JIS
// bytes, a 16-bit number must be one, and every text must be writable in
// Shift-JIS. maxRecords > 0 limits the records (a table of one record).
// tableName and sourceName only go into the messages.
SeedParse ParseSeed(const QString& text, const QList<FieldDef>& fields, const QString& tableName,
                    const QString& sourceName, int maxRecords = 0);

// Reads and parses a seed file (a file name or a Qt resource path).
SeedParse ReadSeedFile(const QString& path, const QList<FieldDef>& fields, const QString& tableName,
                       int maxRecords = 0);

}  // namespace zelvara
