// The fields of a table file: name, kind and size. Every table the program
// keeps (the register, the reading texts, the legends) declares its fields
// this way; these declarations are the only source of names that reach a
// query, and of the sizes a value is checked against before it is written.
#pragma once

#include <QList>
#include <QString>

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

// Empty when the text may be stored in the field; else a message naming the
// field: a No that is not a 16-bit number, a string longer than its size in
// Shift-JIS bytes, a character that Shift-JIS cannot write. label, when
// given, names the field in the message instead of its column name.
QString CheckFieldValue(const FieldDef& field, const QString& text, const QString& label = {});

// Position of the field called name, −1 when there is none.
int IndexOfField(const QList<FieldDef>& fields, const QString& name);

}  // namespace zelvara
