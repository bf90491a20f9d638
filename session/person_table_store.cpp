#include "session/person_table_store.h"

#include "register/person_table.h"

namespace zelvara {

QString PersonTableStore::Unavailability() const {
    if (table_.IsWritable()) return {};
    // The register words its own reason when it could not be opened for
    // writing; a register opened read-only on purpose (or never) has none.
    if (const QString why = table_.Unavailability(); !why.isEmpty()) return why;
    return table_.IsOpen() ? QStringLiteral("名簿は読み取り専用で開いているため、鑑定の結果は保存されません。")
                           : QStringLiteral("名簿が開かれていないため、鑑定の結果は保存されません。");
}

// The bound entry boxes may already have put some of the values into the edit
// buffer; setting them all here makes the record complete either way.
bool PersonTableStore::WriteChartFields(const PersonChartFields& fields) {
    table_.SetValue(kFieldYear, fields.year);
    table_.SetValue(kFieldTime, fields.hour);
    for (int p = 1; p <= kPalaces; ++p) table_.SetValue(PalaceFieldIndex(p), fields.mainStars[p]);
    return table_.Post();
}

}  // namespace zelvara
