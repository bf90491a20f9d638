#include "common/table_fields.h"

#include "common/cp932.h"

#include <climits>

namespace zelvara {

QString CheckFieldValue(const FieldDef& field, const QString& text, const QString& label) {
    const QString& shown = label.isEmpty() ? field.name : label;
    if (field.type == FieldType::SmallInt) {
        bool ok = false;
        const int n = text.toInt(&ok);
        if (!text.isEmpty() && (!ok || n < -32768 || n > 32767))
            return QStringLiteral("項目「%1」は -32768 から 32767 までの整数です（「%2」）。").arg(shown, text);
        return {};
    }
    return cp932::CheckFieldText(shown, text, field.type == FieldType::String ? field.size : INT_MAX);
}

int IndexOfField(const QList<FieldDef>& fields, const QString& name) {
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name == name) return i;
    return -1;
}

}  // namespace zelvara
