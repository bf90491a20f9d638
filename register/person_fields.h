// The fields of the person register nam_data.db, in their order, with their
// sizes in Shift-JIS bytes and their display labels.
#pragma once

#include <QString>

#include <array>

namespace zelvara {

struct PersonField {
    const char16_t* name;   // column name in the table
    int size;               // bytes in Shift-JIS
    const char16_t* label;  // display label ("" = the name itself)
};

constexpr int kPersonFieldCount = 18;
constexpr int kFirstPalaceField = 6;  // field index of palace 1 (hubo); palace p at 5 + p

extern const std::array<PersonField, kPersonFieldCount> kPersonFields;

enum PersonFieldIndex {
    kFieldName = 0,
    kFieldYear,
    kFieldMonth,
    kFieldDay,
    kFieldTime,
    kFieldSex,
};

inline QString FieldName(int index) { return QString::fromUtf16(kPersonFields[index].name); }
QString FieldLabel(int index);

// Index of a field by its column name, −1 when the register has no such field.
int FieldIndexOf(const QString& name);

// Field of palace 1..12 (hubo … hukutoku), the order of the palace list.
inline int PalaceFieldIndex(int palace) { return kFirstPalaceField + palace - 1; }

}  // namespace zelvara
