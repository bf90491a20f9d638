#include "exchange/paradox_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

extern "C" {
#include <paradox.h>
}

namespace zelvara::paradox {
namespace {

// Where the header keeps what is checked (all numbers little-endian). The
// common header is 0x58 bytes; tables of version 4.0 and later (version
// code 5 and above) follow it with a data header up to 0x78, and the field
// list (type byte, length byte a field) comes after whichever ends last.
constexpr long kRecordSize = 0x00;      // word
constexpr long kHeaderSize = 0x02;      // word
constexpr long kFileType = 0x04;        // byte
constexpr long kBlockKilobytes = 0x05;  // byte: 1 … 32
constexpr long kRecordCount = 0x06;     // longint
constexpr long kFileBlocks = 0x0C;      // word
constexpr long kFirstBlock = 0x0E;      // word
constexpr long kFieldCount = 0x21;      // integer
constexpr long kEncryption = 0x25;      // longint; kSeeDataHeader sends to kEncryption2
constexpr long kVersion = 0x39;         // byte: 3 … 15
constexpr long kCommonHeaderEnd = 0x58;
constexpr long kEncryption2 = 0x5C;  // longint in the data header
constexpr long kDataHeaderEnd = 0x78;
constexpr std::uint32_t kSeeDataHeader = 0xFF00FF00;
constexpr int kFirstDataHeaderVersion = 5;

constexpr long kBlockHead = 6;   // next block, previous block, bytes used beyond the first record
constexpr int kMaxFields = 255;  // what Paradox allows
constexpr int kMemoTail = 10;    // offset, size and modification number after a memo's leader

unsigned Word(const unsigned char* p) { return unsigned(p[0]) | unsigned(p[1]) << 8; }
int Integer(const unsigned char* p) { return std::int16_t(Word(p)); }
std::uint32_t LongWord(const unsigned char* p) { return std::uint32_t(Word(p)) | std::uint32_t(Word(p + 2)) << 16; }

bool ReadAt(std::FILE* file, long offset, void* buffer, std::size_t count) {
    return std::fseek(file, offset, SEEK_SET) == 0 && std::fread(buffer, 1, count, file) == count;
}

std::string Number(long long n) { return std::to_string(n); }

// The bytes a field of this type takes in a record given its length byte,
// or −1 when no Paradox field of the type is that long.
int FieldBytes(int type, int lengthByte) {
    const auto exactly = [&](int bytes) { return lengthByte == bytes ? bytes : -1; };
    switch (type) {
        case pxfAlpha:
        case pxfBytes: return lengthByte >= 1 ? lengthByte : -1;
        case pxfLogical: return exactly(1);
        case pxfShort: return exactly(2);
        case pxfDate:
        case pxfLong:
        case pxfTime:
        case pxfAutoInc: return exactly(4);
        case pxfCurrency:
        case pxfNumber:
        case pxfTimestamp: return exactly(8);
        case pxfBCD: return lengthByte <= 32 ? 17 : -1;  // the length byte counts decimals; pxlib reads 17 bytes
        case pxfMemoBLOb:
        case pxfBLOb:
        case pxfFmtMemoBLOb:
        case pxfOLE:
        case pxfGraphic: return lengthByte > kMemoTail && lengthByte <= kMemoTail + 240 ? lengthByte : -1;
        default: return -1;
    }
}

// The records the chain of data blocks holds, or −1 with *problem set.
long long CountRecordsInBlocks(std::FILE* file, long headerSize, long blockSize, unsigned fileBlocks,
                               unsigned firstBlock, int recordSize, std::string* problem) {
    std::vector<bool> seen(fileBlocks + 1, false);
    long long records = 0;
    const long most = blockSize - kBlockHead - recordSize;  // bytes used beyond the first record in a full block
    for (unsigned block = firstBlock; block != 0;) {
        if (block > fileBlocks || seen[block]) {
            *problem =
                "は壊れています（データのブロックのつながりが正しくありません: ブロック " + Number(block) + "）。";
            return -1;
        }
        seen[block] = true;
        unsigned char head[kBlockHead];
        if (!ReadAt(file, headerSize + long(block - 1) * blockSize, head, sizeof head)) {
            *problem = "は途中で切れています（データのブロック " + Number(block) + " を読めません）。";
            return -1;
        }
        const int used = Integer(head + 4);
        if (used < -recordSize || used > most || (used + recordSize) % recordSize != 0) {
            *problem = "は壊れています（データのブロック " + Number(block) + " の記録の大きさ " + Number(used) +
                       " バイトが正しくありません）。";
            return -1;
        }
        records += (used + recordSize) / recordSize;
        block = Word(head);
    }
    return records;
}

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

long FileSize(std::FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long size = std::ftell(file);
    std::rewind(file);
    return size;
}

// pxlib reports through a handler; the last message explains a failure.
void CollectError(pxdoc_t*, int, const char* message, void* data) { *static_cast<std::string*>(data) = message; }

// The memo file is read through these instead of PX_set_blob_file: the
// pxlib of Debian 12 overruns a stack buffer while indexing a memo file it
// opens itself (fixed upstream in 2025). Reading a memo only needs the
// stream, seek and read; a short read is an error, so that a cut-off memo
// file is reported rather than read as garbage.
size_t MemoRead(pxblob_t*, pxstream_t* stream, size_t count, void* buffer) {
    return std::fread(buffer, 1, count, stream->s.fp) == count ? count : size_t(-1);
}
int MemoSeek(pxblob_t*, pxstream_t* stream, long offset, int whence) {
    return std::fseek(stream->s.fp, offset, whence);
}
long MemoTell(pxblob_t*, pxstream_t* stream) { return std::ftell(stream->s.fp); }

// One open table in pxlib with its memo stream (ours, not pxlib's).
struct Doc {
    pxdoc_t* px = nullptr;
    pxstream_t* memoStream = nullptr;
    std::string error;  // pxlib's last message

    ~Doc() {
        if (!px) return;
        if (px->px_blob) {
            px->px_blob->mb_stream = nullptr;  // ours, freed below
            PX_delete_blob(px->px_blob);
            px->px_blob = nullptr;
        }
        std::free(memoStream);
        PX_close(px);
        PX_delete(px);
    }
};

// Reads record n's fields into *record; *bytes grows by what was read.
void ReadRecord(Doc& d, int n, const std::vector<RawField>& fields, long memoSize, RawRecord* record,
                std::size_t* bytes) {
    d.error.clear();
    std::vector<char> buffer(size_t(PX_get_recordsize(d.px)));
    char* data = PX_get_record(d.px, n, buffer.data());
    if (!data) {
        record->problem = d.error.empty() ? std::string("記録が見つかりません") : d.error;
        return;
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        const RawField& field = fields[i];
        char* at = data;
        data += field.size;
        std::string value;
        if (field.type == pxfAlpha) {
            char* text = nullptr;
            if (PX_get_data_alpha(d.px, at, field.size, &text) > 0 && text) value = text;
            if (text) d.px->free(d.px, text);
        } else if (field.type == pxfShort) {
            short number = 0;
            if (PX_get_data_short(d.px, at, field.size, &number) > 0) value = Number(number);
        } else if (field.type == pxfMemoBLOb) {
            const auto fail = [&](const std::string& why) {
                record->values.clear();
                record->problem = why;
                record->field = int(i);
            };
            if (LongWord(reinterpret_cast<const unsigned char*>(at) + field.size - kMemoTail + 4) >
                std::uint32_t(memoSize))
                return fail("メモの大きさが壊れています");
            int modification = 0, length = 0;
            char* memo = nullptr;
            const int got = PX_get_data_blob(d.px, at, field.size, &modification, &length, &memo);
            if (got < 0) return fail(d.error);
            if (got > 0 && memo && length > 0) value.assign(memo, size_t(length));
            if (memo) d.px->free(d.px, memo);
            while (!value.empty() && value.back() == '\0') value.pop_back();
        }
        *bytes += value.size();
        record->values.push_back(std::move(value));
    }
}

}  // namespace

std::string CheckTableFile(std::FILE* file, long fileSize) {
    unsigned char head[kDataHeaderEnd] = {};
    if (fileSize < kCommonHeaderEnd || !ReadAt(file, 0, head, size_t(std::min(fileSize, kDataHeaderEnd))))
        return "は Paradox の表ではありません（見出しの " + Number(kCommonHeaderEnd) + " バイトに足りません）。";
    const int recordSize = int(Word(head + kRecordSize));
    const long headerSize = long(Word(head + kHeaderSize));
    const int fileType = head[kFileType];
    const int blockKilobytes = head[kBlockKilobytes];
    const int version = head[kVersion];
    if (fileType > pxfFileTypIncSecIndexG || blockKilobytes < 1 || blockKilobytes > 32 || version < 3 || version > 15 ||
        recordSize == 0 || headerSize < kCommonHeaderEnd)
        return "は Paradox の表ではありません（見出しが Paradox のものではありません）。";
    if (fileType != pxfFileTypIndexDB && fileType != pxfFileTypNonIndexDB)
        return "は Paradox の表（.DB）ではなく、索引などの別のファイルです。";

    const long blockSize = long(blockKilobytes) * 1024;
    const unsigned fileBlocks = Word(head + kFileBlocks);
    const long long wanted = headerSize + (long long)fileBlocks * blockSize;
    if (fileSize < wanted)
        return "は壊れているか途中で切れています（見出しが示す大きさ " + Number(wanted) + " バイトに対し " +
               Number(fileSize) + " バイト）。";

    const bool dataHeader = version >= kFirstDataHeaderVersion;
    std::uint32_t key = LongWord(head + kEncryption);
    if (key == kSeeDataHeader) key = dataHeader ? LongWord(head + kEncryption2) : key;
    if (key != 0)
        return "は暗号化されている（パスワードが掛かっている）か、見出しが壊れているため読めません。"
               "暗号化された表は Paradox でパスワードを外してから取り込んで下さい。";

    const int fieldCount = Integer(head + kFieldCount);
    const long fieldList = dataHeader ? kDataHeaderEnd : kCommonHeaderEnd;
    if (fieldCount < 1 || fieldCount > kMaxFields || fieldList + 2L * fieldCount > headerSize)
        return "は壊れています（項目の数 " + Number(fieldCount) + " は 1 から " + Number(kMaxFields) +
               " までの、見出しに収まる数ではありません）。";
    std::vector<unsigned char> list(size_t(fieldCount) * 2);
    if (!ReadAt(file, fieldList, list.data(), list.size())) return "は途中で切れています（項目の一覧を読めません）。";
    long sum = 0;
    for (int i = 0; i < fieldCount; ++i) {
        const int bytes = FieldBytes(list[2 * i], list[2 * i + 1]);
        if (bytes < 0)
            return "は壊れています（" + Number(i + 1) + " 番目の項目の型 " + Number(list[2 * i]) + " と長さ " +
                   Number(list[2 * i + 1]) + " の組み合わせは Paradox にありません）。";
        sum += bytes;
    }
    if (sum != recordSize)
        return "は壊れています（項目の長さの合計 " + Number(sum) + " バイトが記録の大きさ " + Number(recordSize) +
               " バイトと合いません）。";

    const long long records = std::int32_t(LongWord(head + kRecordCount));
    const long long room = (long long)fileBlocks * ((blockSize - kBlockHead) / recordSize);
    if (records < 0 || records > room)
        return "は壊れています（見出しの記録数 " + Number(records) + " 件は、データのブロック " + Number(fileBlocks) +
               " 個に入る " + Number(room) + " 件を超えます）。";
    std::string problem;
    const long long found =
        CountRecordsInBlocks(file, headerSize, blockSize, fileBlocks, Word(head + kFirstBlock), recordSize, &problem);
    if (found < 0) return problem;
    if (found != records)
        return "は壊れています（見出しの記録数 " + Number(records) + " 件に対し、データのブロックにある記録は " +
               Number(found) + " 件です）。";
    return {};
}

RawTable ReadTable(const std::string& dbPath, const std::string& memoPath) {
    RawTable t;
    const File table(std::fopen(dbPath.c_str(), "rb"));
    if (!table) {
        t.problem = std::string("を開けません。") + std::strerror(errno);
        return t;
    }
    if (std::string problem = CheckTableFile(table.get(), FileSize(table.get())); !problem.empty()) {
        t.problem = std::move(problem);
        return t;
    }
    Doc d;
    d.px = PX_new3(CollectError, nullptr, nullptr, nullptr, &d.error);
    if (!d.px) {
        t.problem = "を読む準備ができません。";
        return t;
    }
    d.px->warnings = px_false;  // pxlib would print its doubts to stderr; the checks say what is wrong
    if (PX_open_fp(d.px, table.get()) < 0) {
        t.problem = "は Paradox の表ではありません（" + d.error + "）。";
        return t;
    }
    const pxfield_t* f = PX_get_fields(d.px);
    bool hasMemo = false;
    for (int i = 0; i < PX_get_num_fields(d.px); ++i) {
        t.fields.push_back(RawField{f[i].px_fname ? f[i].px_fname : "", f[i].px_ftype, f[i].px_flen});
        hasMemo = hasMemo || f[i].px_ftype == pxfMemoBLOb;
    }

    File memo;
    long memoSize = 0;
    if (hasMemo) {
        memo.reset(std::fopen(memoPath.c_str(), "rb"));
        if (!memo) {
            t.problem = "のメモ項目の文章が入るファイル「" + memoPath + "」がありません。";
            return t;
        }
        memoSize = FileSize(memo.get());
        constexpr long kMemoBlock = 4096;  // a memo file is made of 4 KB blocks
        if (memoSize < kMemoBlock || memoSize % kMemoBlock != 0) {
            t.problem = "のメモのファイル「" + memoPath + "」は壊れているか途中で切れています（" + Number(memoSize) +
                        " バイト）。";
            return t;
        }
        pxblob_t* blob = PX_new_blob(d.px);
        d.memoStream = static_cast<pxstream_t*>(std::calloc(1, sizeof(pxstream_t)));
        if (!blob || !d.memoStream) {
            t.problem = "のメモのファイル「" + memoPath + "」を読む準備ができません。";
            return t;
        }
        d.memoStream->type = pxfIOFile;
        d.memoStream->mode = pxfFileRead;
        d.memoStream->s.fp = memo.get();
        blob->mb_stream = d.memoStream;
        blob->read = MemoRead;
        blob->seek = MemoSeek;
        blob->tell = MemoTell;
    }

    // The count was checked against the blocks, so it is bounded by the file.
    const int count = PX_get_num_records(d.px);
    t.records.reserve(size_t(count));
    std::size_t bytes = 0;
    for (int n = 0; n < count; ++n) {
        RawRecord record;
        ReadRecord(d, n, t.fields, memoSize, &record, &bytes);
        bytes += record.problem.size();
        if (bytes > kMaxTableBytes) {
            t.records.clear();
            t.problem = "は大きすぎて読めません（" + Number(n + 1) + " 件目までで " + Number(kMaxTableBytes >> 20) +
                        " MB を超えました。メモが壊れているかもしれません）。";
            return t;
        }
        t.records.push_back(std::move(record));
    }
    return t;
}

namespace {

// Encode's form: a tag, then counts and texts each preceded by its length
// (four bytes, little-endian).
constexpr std::string_view kTag = "zelvara-paradox-1";

void Put(std::string* out, std::uint32_t n) {
    for (int i = 0; i < 4; ++i) out->push_back(char((n >> (8 * i)) & 0xFF));
}
void Put(std::string* out, std::string_view text) {
    Put(out, std::uint32_t(text.size()));
    out->append(text);
}

struct Reader {
    std::string_view rest;
    bool ok = true;

    std::uint32_t Count() {
        if (rest.size() < 4) return ok = false, 0;
        const auto* p = reinterpret_cast<const unsigned char*>(rest.data());
        rest.remove_prefix(4);
        return LongWord(p);
    }
    std::string Text() {
        const std::uint32_t n = Count();
        if (!ok || n > rest.size()) return ok = false, std::string();
        std::string text(rest.substr(0, n));
        rest.remove_prefix(n);
        return text;
    }
    // A count of items each at least 4 bytes long, so a damaged count
    // cannot ask for more room than the bytes left.
    std::uint32_t Items() {
        const std::uint32_t n = Count();
        return ok && n <= rest.size() / 4 ? n : (ok = false, 0);
    }
};

}  // namespace

std::string Encode(const RawTable& table) {
    std::string out(kTag);
    Put(&out, table.problem);
    Put(&out, std::uint32_t(table.fields.size()));
    for (const RawField& f : table.fields) {
        Put(&out, f.name);
        Put(&out, std::uint32_t(f.type));
        Put(&out, std::uint32_t(f.size));
    }
    Put(&out, std::uint32_t(table.records.size()));
    for (const RawRecord& r : table.records) {
        Put(&out, r.problem);
        Put(&out, std::uint32_t(r.field));
        Put(&out, std::uint32_t(r.values.size()));
        for (const std::string& v : r.values) Put(&out, v);
    }
    return out;
}

bool Decode(std::string_view bytes, RawTable* table) {
    *table = RawTable{};
    if (bytes.substr(0, kTag.size()) != kTag) return false;
    Reader in{bytes.substr(kTag.size())};
    table->problem = in.Text();
    for (std::uint32_t n = in.Items(); in.ok && n > 0; --n) {
        RawField f;
        f.name = in.Text();
        f.type = int(in.Count());
        f.size = int(in.Count());
        table->fields.push_back(std::move(f));
    }
    for (std::uint32_t n = in.Items(); in.ok && n > 0; --n) {
        RawRecord r;
        r.problem = in.Text();
        r.field = int(in.Count());
        for (std::uint32_t v = in.Items(); in.ok && v > 0; --v) r.values.push_back(in.Text());
        table->records.push_back(std::move(r));
    }
    return in.ok && in.rest.empty();
}

}  // namespace zelvara::paradox
