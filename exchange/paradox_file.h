// A Paradox table file as untrusted bytes: its header and data blocks
// checked before pxlib sees them, then every record read through pxlib as
// raw bytes (alpha fields and memos in the file's Shift-JIS, short numbers
// as decimal digits). No Qt here and no threads: this is what runs in the
// reading process (paradox_table.h), and the fuzz target calls it directly.
// Texts for the user are UTF-8 and follow the table's name: 「name」 + text.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace zelvara::paradox {

struct RawField {
    std::string name;  // Shift-JIS bytes
    int type = 0;      // pxlib's type code (pxfAlpha, pxfShort, pxfMemoBLOb, …)
    int size = 0;      // bytes in the record
};

struct RawRecord {
    std::vector<std::string> values;  // one a field; empty when the record is refused
    std::string problem;              // why it cannot be read, UTF-8; empty when read
    int field = -1;                   // the field the problem is in, −1 for the whole record
};

struct RawTable {
    std::string problem;  // the table as a whole cannot be read; UTF-8, follows 「name」
    std::vector<RawField> fields;
    std::vector<RawRecord> records;
};

// Most bytes one table may yield (values and problems together): a memo
// referred to by every record must not multiply into gigabytes.
constexpr std::size_t kMaxTableBytes = std::size_t(256) << 20;

// The header, field list and chain of data blocks of the open file of
// fileSize bytes: empty when pxlib may read it, else why not (follows
// 「name」). Checks the file type and version, that it is not encrypted,
// the field count and each field's length for its type, that the lengths
// add up to the record size, that the blocks the header counts lie in the
// file, that each block of the chain is one of them, visited once, with a
// whole number of records, and that the header's record count is what the
// blocks hold.
std::string CheckTableFile(std::FILE* file, long fileSize);

// Checks the table file at dbPath and reads every record; memo fields are
// read from memoPath (only opened when the table has memo fields).
RawTable ReadTable(const std::string& dbPath, const std::string& memoPath);

// The table as bytes to pass between processes, and back. Decode is false
// for bytes that are not a whole table as Encode writes it.
std::string Encode(const RawTable& table);
bool Decode(std::string_view bytes, RawTable* table);

}  // namespace zelvara::paradox
