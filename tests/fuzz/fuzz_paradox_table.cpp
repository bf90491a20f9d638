// Paradox tables: any bytes are written as a table file and read in this
// process (no child, so that a fault in the checks or in pxlib is a fault
// here). The bytes past the end the header gives the table (header size +
// blocks × block size) become its memo file, so that memo tables are
// fuzzed with their memos.
// - A table is refused with a message naming the file, or every record is
//   read or refused with a message naming the file, with one value a field.
// - The records read never outnumber what the file's blocks can hold.
// - The bytes passed back from the reading process decode to the same table.
#include "tests/fuzz/fuzz_check.h"

#include "exchange/paradox_file.h"
#include "exchange/paradox_table.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using namespace zelvara;

// A folder of its own for the table and memo files, removed at the end.
struct Scratch {
    fs::path folder;
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "fuzz-paradox-XXXXXX").string();
        FUZZ_CHECK(mkdtemp(pattern.data()) != nullptr, "no temporary folder");
        folder = pattern;
    }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

const fs::path& Folder() {
    static const Scratch scratch;
    return scratch.folder;
}

void WriteFile(const fs::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

// The table's extent by its header, or the whole input when it is shorter.
std::size_t TableBytes(std::string_view input) {
    if (input.size() < 0x10) return input.size();
    const auto byte = [&](std::size_t i) { return std::size_t(static_cast<unsigned char>(input[i])); };
    const std::size_t extent = (byte(2) | byte(3) << 8) + (byte(0x0C) | byte(0x0D) << 8) * byte(5) * 1024;
    return extent > 0 && extent < input.size() ? extent : input.size();
}

bool Same(const paradox::RawTable& a, const paradox::RawTable& b) {
    if (a.problem != b.problem || a.fields.size() != b.fields.size() || a.records.size() != b.records.size())
        return false;
    for (std::size_t i = 0; i < a.fields.size(); ++i)
        if (a.fields[i].name != b.fields[i].name || a.fields[i].type != b.fields[i].type ||
            a.fields[i].size != b.fields[i].size)
            return false;
    for (std::size_t i = 0; i < a.records.size(); ++i)
        if (a.records[i].values != b.records[i].values || a.records[i].problem != b.records[i].problem ||
            a.records[i].field != b.records[i].field)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = InputText(data, size);
    const std::size_t tableBytes = TableBytes(input);
    const fs::path table = Folder() / "t.DB", memo = Folder() / "t.MB";
    WriteFile(table, input.substr(0, tableBytes));
    fs::remove(memo);
    if (tableBytes < input.size()) WriteFile(memo, input.substr(tableBytes));

    const paradox::RawTable raw = paradox::ReadTable(table.string(), memo.string());
    paradox::RawTable back;
    FUZZ_CHECK(paradox::Decode(paradox::Encode(raw), &back) && Same(raw, back), "the table does not survive the pipe");
    FUZZ_CHECK(!paradox::Decode(paradox::Encode(raw).substr(1), &back), "a damaged transfer decodes");

    const QString path = QString::fromStdString(table.string());
    const ParadoxContent content = ReadParadoxTableHere(path);
    if (!content.error.isEmpty()) {
        FUZZ_CHECK(content.error.contains(path), "a refusal that names no file");
        return 0;
    }
    int recordBytes = 0;
    for (const ParadoxField& f : content.fields) recordBytes += f.size;
    FUZZ_CHECK(recordBytes > 0, "a table read without fields");
    FUZZ_CHECK(content.records.size() <= tableBytes / std::size_t(recordBytes), "more records than the file holds");
    for (const ParadoxRecord& record : content.records) {
        if (!record.error.isEmpty())
            FUZZ_CHECK(record.error.contains(path) && record.values.isEmpty(), "a refused record that names no file");
        else
            FUZZ_CHECK(record.values.size() == content.fields.size(), "a record without one value a field");
    }
    return 0;
}
