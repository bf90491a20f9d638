// A Paradox table (.DB, with its memo file .MB) read as untrusted input: the
// file is checked and read through pxlib in a process of its own with
// limits on time and memory (paradox_file.h, isolated_run.h), and comes
// back as the fields and every record as texts. Alpha fields and memos are
// Shift-JIS and come out decoded as the program decodes CP932; short numbers
// as digits, an empty field as an empty text. Nothing here knows which
// table it reads.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

namespace zelvara {

enum class ParadoxType { Alpha, Short, Memo, Other };

struct ParadoxField {
    QString name;
    ParadoxType type = ParadoxType::Other;
    int size = 0;  // bytes in the record
};

struct ParadoxRecord {
    QStringList values;  // one a field, in field order
    QString error;       // the record cannot be read (naming the file, record and field); values empty
};

struct ParadoxContent {
    // The table as a whole cannot be read; a message naming the file: not a
    // Paradox table, a damaged or cut-off file, a missing memo file, a
    // reading that crashed or took too long.
    QString error;
    QList<ParadoxField> fields;
    std::vector<ParadoxRecord> records;
};

// Reads the table at path in a separate process. A table with memo fields
// also reads its memo file (same name, extension .MB in any case).
ParadoxContent ReadParadoxTable(const QString& path);

// The same in this process, for the fuzz target: a fault in pxlib is a
// fault here.
ParadoxContent ReadParadoxTableHere(const QString& path);

// Where each wanted field lies in the table: wanted[i] is found at
// columns[i]. Empty when the table has exactly these fields (in any order)
// with these types; else a message naming the file and the first field that
// is missing, extra or of another type.
struct WantedField {
    QString name;
    ParadoxType type;
};
QString MatchFields(const QList<ParadoxField>& fields, const QString& fileName, const QList<WantedField>& wanted,
                    QList<int>* columns);

// The type's name as Paradox shows it ("A", "S", "M").
QString ParadoxTypeName(ParadoxType type);

}  // namespace zelvara
