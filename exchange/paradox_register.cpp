#include "exchange/paradox_register.h"

#include "exchange/paradox_table.h"
#include "register/person_fields.h"

namespace zelvara {

ParadoxRecords ReadRegisterParadox(const QString& path) {
    ParadoxRecords result;
    const ParadoxContent table = ReadParadoxTable(path);
    if (!table.error.isEmpty()) {
        result.error = table.error;
        return result;
    }
    QList<WantedField> wanted;
    for (int i = 0; i < kPersonFieldCount; ++i) wanted << WantedField{FieldName(i), ParadoxType::Alpha};
    QList<int> columns;
    if (const QString error = MatchFields(table.fields, path, wanted, &columns); !error.isEmpty()) {
        result.error = error + QStringLiteral("\n名簿の表（%1 項目）として読めません。").arg(kPersonFieldCount);
        return result;
    }
    result.items.reserve(table.records.size());
    for (size_t n = 0; n < table.records.size(); ++n) {
        const ParadoxRecord& record = table.records[n];
        ImportItem item;
        item.line = int(n) + 1;
        if (!record.error.isEmpty())
            item.problem = record.error;
        else
            for (int i = 0; i < kPersonFieldCount; ++i) item.values[size_t(i)] = record.values.at(columns[i]);
        result.items.push_back(std::move(item));
    }
    return result;
}

}  // namespace zelvara
