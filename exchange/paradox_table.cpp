#include "paradox_table.h"

#include "cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <vector>

extern "C" {
#include <paradox.h>
}

namespace zelvara {
namespace {

constexpr long kMemoBlock = 4096;  // a memo file is made of 4 KB blocks
constexpr int kMemoTail = 10;      // offset, size and modification number after a memo's leader

// pxlib reports through a handler; the last message explains a failure.
void CollectError(pxdoc_t*, int, const char* message, void* data)
{
    *static_cast<QString*>(data) = QString::fromLocal8Bit(message);
}

// The memo file is read through these instead of PX_set_blob_file: the
// pxlib of Debian 12 overruns a stack buffer while indexing a memo file it
// opens itself (fixed upstream in 2025) and the program would abort. Reading
// a memo only needs the stream, seek and read; a short read is an error, so
// that a cut-off memo file is reported rather than read as garbage.
size_t MemoRead(pxblob_t*, pxstream_t* stream, size_t count, void* buffer)
{
    return std::fread(buffer, 1, count, stream->s.fp) == count ? count : size_t(-1);
}
int MemoSeek(pxblob_t*, pxstream_t* stream, long offset, int whence) { return std::fseek(stream->s.fp, offset, whence); }
long MemoTell(pxblob_t*, pxstream_t* stream) { return std::ftell(stream->s.fp); }

long FileSize(FILE* file)
{
    if (std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long size = std::ftell(file);
    std::rewind(file);
    return size;
}

ParadoxType TypeOf(char code)
{
    switch (code) {
    case pxfAlpha: return ParadoxType::Alpha;
    case pxfShort: return ParadoxType::Short;
    case pxfMemoBLOb: return ParadoxType::Memo;
    default: return ParadoxType::Other;
    }
}

// The memo file beside the table: the same name with .MB in any letter case.
QString MemoFileOf(const QFileInfo& table)
{
    const QString wanted = table.completeBaseName() + QStringLiteral(".mb");
    for (const QString& name : table.dir().entryList(QDir::Files))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return table.dir().filePath(name);
    return table.dir().filePath(table.completeBaseName() + QStringLiteral(".MB"));
}

quint32 LittleEndian32(const char* p)
{
    const auto* u = reinterpret_cast<const unsigned char*>(p);
    return quint32(u[0]) | quint32(u[1]) << 8 | quint32(u[2]) << 16 | quint32(u[3]) << 24;
}

}  // namespace

struct ParadoxTable::Doc {
    pxdoc_t* px = nullptr;
    FILE* table = nullptr;
    FILE* memo = nullptr;
    long memoSize = 0;
    pxstream_t* memoStream = nullptr;
    QString error;  // pxlib's last message

    ~Doc()
    {
        if (px) {
            if (px->px_blob) {
                px->px_blob->mb_stream = nullptr;  // ours, closed below
                PX_delete_blob(px->px_blob);
                px->px_blob = nullptr;
            }
            std::free(memoStream);
            PX_close(px);
            PX_delete(px);
        }
        if (memo)
            std::fclose(memo);
        if (table)
            std::fclose(table);
    }
};

ParadoxTable::ParadoxTable() = default;
ParadoxTable::~ParadoxTable() = default;

QString ParadoxTable::Open(const QString& path)
{
    doc_ = std::make_unique<Doc>();
    fields_.clear();
    recordCount_ = 0;
    path_ = path;
    Doc& d = *doc_;
    d.table = std::fopen(QFile::encodeName(path).constData(), "rb");
    if (!d.table)
        return QStringLiteral("「%1」を開けません。%2").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
    const long size = FileSize(d.table);
    d.px = PX_new3(CollectError, nullptr, nullptr, nullptr, &d.error);
    if (!d.px)
        return QStringLiteral("「%1」を読む準備ができません。").arg(path);
    d.px->warnings = px_false;  // pxlib would print its doubts to stderr; the checks below say what is wrong
    if (PX_open_fp(d.px, d.table) < 0)
        return QStringLiteral("「%1」は Paradox の表ではありません（%2）。").arg(path, d.error);
    const pxhead_t& head = *d.px->px_head;
    const bool dataFile = head.px_filetype == pxfFileTypIndexDB || head.px_filetype == pxfFileTypNonIndexDB;
    const long blockSize = long(head.px_maxtablesize) * 1024;
    if (!dataFile)
        return QStringLiteral("「%1」は Paradox の表（.DB）ではなく、索引などの別のファイルです。").arg(path);
    if (head.px_numfields <= 0 || head.px_recordsize <= 0 || head.px_numrecords < 0 || blockSize <= 0 ||
        size < long(head.px_headersize) + long(head.px_fileblocks) * blockSize)
        return QStringLiteral("「%1」は壊れているか途中で切れています（ヘッダーが示す大きさ %2 バイトに対し %3 バイト）。")
            .arg(path)
            .arg(long(head.px_headersize) + long(head.px_fileblocks) * blockSize)
            .arg(size);

    const pxfield_t* f = PX_get_fields(d.px);
    bool hasMemo = false;
    for (int i = 0; i < PX_get_num_fields(d.px); ++i) {
        ParadoxField field{cp932::Decode(QByteArray(f[i].px_fname)), TypeOf(f[i].px_ftype), f[i].px_flen};
        hasMemo = hasMemo || field.type == ParadoxType::Memo;
        fields_ << field;
    }
    recordCount_ = PX_get_num_records(d.px);

    if (hasMemo) {
        const QString memoPath = MemoFileOf(QFileInfo(path));
        d.memo = std::fopen(QFile::encodeName(memoPath).constData(), "rb");
        if (!d.memo)
            return QStringLiteral("「%1」のメモ項目の文章が入るファイル「%2」がありません。").arg(path, memoPath);
        d.memoSize = FileSize(d.memo);
        if (d.memoSize < kMemoBlock || d.memoSize % kMemoBlock != 0)
            return QStringLiteral("メモのファイル「%1」は壊れているか途中で切れています（%2 バイト）。").arg(memoPath).arg(d.memoSize);
        pxblob_t* blob = PX_new_blob(d.px);
        d.memoStream = static_cast<pxstream_t*>(std::calloc(1, sizeof(pxstream_t)));
        if (!blob || !d.memoStream)
            return QStringLiteral("メモのファイル「%1」を読む準備ができません。").arg(memoPath);
        d.memoStream->type = pxfIOFile;
        d.memoStream->mode = pxfFileRead;
        d.memoStream->s.fp = d.memo;
        blob->mb_stream = d.memoStream;
        blob->read = MemoRead;
        blob->seek = MemoSeek;
        blob->tell = MemoTell;
    }
    return {};
}

QString ParadoxTable::ReadRecord(int n, QStringList* values) const
{
    Doc& d = *doc_;
    values->clear();
    d.error.clear();
    std::vector<char> buffer(size_t(PX_get_recordsize(d.px)));
    char* record = PX_get_record(d.px, n, buffer.data());
    if (!record)
        return QStringLiteral("「%1」の %2 件目の記録を読めません（%3）。").arg(path_).arg(n + 1).arg(d.error);
    int offset = 0;
    for (const ParadoxField& field : fields_) {
        char* data = record + offset;
        offset += field.size;
        if (field.type == ParadoxType::Alpha) {
            char* text = nullptr;
            const int got = PX_get_data_alpha(d.px, data, field.size, &text);
            *values << (got > 0 && text ? cp932::Decode(QByteArray(text)) : QString());
            if (text)
                d.px->free(d.px, text);
        } else if (field.type == ParadoxType::Short) {
            short number = 0;
            *values << (PX_get_data_short(d.px, data, field.size, &number) > 0 ? QString::number(number) : QString());
        } else if (field.type == ParadoxType::Memo) {
            const auto fail = [&](const QString& why) {
                return QStringLiteral("「%1」の %2 件目の記録の項目「%3」のメモを読めません（%4）。")
                    .arg(path_)
                    .arg(n + 1)
                    .arg(field.name, why);
            };
            if (field.size < kMemoTail || LittleEndian32(data + field.size - kMemoTail + 4) > quint32(d.memoSize))
                return fail(QStringLiteral("メモの大きさが壊れています"));
            int modification = 0, length = 0;
            char* memo = nullptr;
            const int got = PX_get_data_blob(d.px, data, field.size, &modification, &length, &memo);
            if (got < 0)
                return fail(d.error);
            QByteArray bytes = got > 0 && memo ? QByteArray(memo, length) : QByteArray();
            if (memo)
                d.px->free(d.px, memo);
            while (bytes.endsWith('\0'))
                bytes.chop(1);
            *values << cp932::Decode(bytes);
        } else {
            *values << QString();
        }
    }
    return {};
}

QString ParadoxTypeName(ParadoxType type)
{
    switch (type) {
    case ParadoxType::Alpha: return QStringLiteral("A（文字）");
    case ParadoxType::Short: return QStringLiteral("S（短整数）");
    case ParadoxType::Memo: return QStringLiteral("M（メモ）");
    case ParadoxType::Other: break;
    }
    return QStringLiteral("その他");
}

QString MatchFields(const ParadoxTable& table, const QString& fileName, const QList<WantedField>& wanted, QList<int>* columns)
{
    columns->clear();
    const QList<ParadoxField>& fields = table.Fields();
    for (const WantedField& w : wanted) {
        int found = -1;
        for (int i = 0; i < fields.size() && found < 0; ++i)
            if (fields[i].name == w.name)
                found = i;
        if (found < 0)
            return QStringLiteral("「%1」には項目「%2」がありません。").arg(fileName, w.name);
        if (fields[found].type != w.type)
            return QStringLiteral("「%1」の項目「%2」の型が %3 です（%4 のはずです）。")
                .arg(fileName, w.name, ParadoxTypeName(fields[found].type), ParadoxTypeName(w.type));
        *columns << found;
    }
    for (const ParadoxField& f : fields) {
        bool known = false;
        for (const WantedField& w : wanted)
            known = known || w.name == f.name;
        if (!known)
            return QStringLiteral("「%1」には読み込み先にない項目「%2」があります。").arg(fileName, f.name);
    }
    return {};
}

}  // namespace zelvara
