// The seed files the tables are made from: any bytes, read as UTF-8, are
// parsed as the seed of each of the five reading-text tables and as the
// legends table's seed.
// - A reading seed that parses holds only records whose every value the table
//   takes (a named field, a number that is one, a string within its size in
//   Shift-JIS bytes, text Shift-JIS can write); one that does not names a line.
// - No value of either keeps a carriage return, whatever line breaks the file
//   uses (one parser reads every seed).
#include "tests/fuzz/fuzz_check.h"

#include "common/seed_file.h"
#include "readings/table_schema.h"
#include "store/legends_table.h"

namespace {

using namespace zelvara;

void CheckReadingSeed(const QString& text, const TableSchema& schema) {
    const SeedParse parse = ParseSeed(text, schema.fields, schema.tableName, schema.seedName);
    if (!parse.error.isEmpty()) {
        FUZZ_CHECK(parse.error.contains(QStringLiteral("行目")), "a refusal that names no line");
        return;
    }
    for (const SeedRecord& record : parse.records) {
        for (auto it = record.values.cbegin(); it != record.values.cend(); ++it) {
            const int index = schema.FieldIndex(it.key());
            FUZZ_CHECK(index >= 0, "a value for a field the table does not have");
            FUZZ_CHECK(CheckFieldValue(schema.fields[index], it.value()).isEmpty(), "a value the table refuses");
            FUZZ_CHECK(!it.value().contains(QLatin1Char('\r')), "a reading value keeps a carriage return");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (TableId id : AllReadingTables()) CheckReadingSeed(text, SchemaOf(id));

    const LegendSeed legends = ParseLegendSeed(text);
    for (const QString& value : legends.values)
        FUZZ_CHECK(!value.contains(QLatin1Char('\r')), "a legends value keeps a carriage return");
    return 0;
}
