#include "paradox_register.h"

#include "paradox_table.h"
#include "person_fields.h"

namespace zelvara {

ParadoxRecords ReadRegisterParadox(const QString& path)
{
    ParadoxRecords result;
    ParadoxTable table;
    if (const QString error = table.Open(path); !error.isEmpty()) {
        result.error = error;
        return result;
    }
    QList<WantedField> wanted;
    for (int i = 0; i < kPersonFieldCount; ++i)
        wanted << WantedField{FieldName(i), ParadoxType::Alpha};
    QList<int> columns;
    if (const QString error = MatchFields(table, path, wanted, &columns); !error.isEmpty()) {
        result.error = error + QStringLiteral("\n名簿の表（%1 項目）として読めません。").arg(kPersonFieldCount);
        return result;
    }
    result.items.reserve(size_t(table.RecordCount()));
    QStringList values;
    for (int n = 0; n < table.RecordCount(); ++n) {
        ImportItem item;
        item.line = n + 1;
        if (const QString error = table.ReadRecord(n, &values); !error.isEmpty())
            item.problem = error;
        else
            for (int i = 0; i < kPersonFieldCount; ++i)
                item.values[size_t(i)] = values.at(columns[i]);
        result.items.push_back(std::move(item));
    }
    return result;
}

}  // namespace zelvara
