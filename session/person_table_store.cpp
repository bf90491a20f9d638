#include "person_table_store.h"

#include "person_table.h"

namespace zelvara {

QString PersonTableStore::Unavailability() const
{
    if (table_.IsWritable())
        return {};
    const QString why = table_.Unavailability();
    return why.isEmpty() ? QStringLiteral("名簿が開かれていないため、鑑定の結果は保存されません。") : why;
}

// The bound entry boxes may already have put some of the values into the edit
// buffer; setting them all here makes the record complete either way.
bool PersonTableStore::WriteChartFields(const PersonChartFields& fields)
{
    table_.SetValue(kFieldYear, fields.year);
    table_.SetValue(kFieldTime, fields.hour);
    for (int p = 1; p <= kPalaces; ++p)
        table_.SetValue(PalaceFieldIndex(p), fields.mainStars[p]);
    return table_.Post();
}

}  // namespace zelvara
