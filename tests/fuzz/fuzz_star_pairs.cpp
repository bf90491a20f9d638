// The star-pair file hosi2dat.txt: any bytes are the Shift-JIS file, and the
// same bytes, read as UTF-8, are the seed a missing file is made from.
// - A lookup of any key reads the file to its end; every block it gives has
//   only text lines (none empty, none a "#" key line), and there are no more
//   blocks than key lines equal to the key.
// - Making the file from the seed either writes it or says why, never both.
#include "tests/fuzz/fuzz_check.h"

#include "common/cp932.h"
#include "engine/context.h"
#include "readings/reading_texts.h"
#include "readings/star_pairs.h"
#include "tests/recording_sink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace zelvara;

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(),
               "cannot write an input file");
}

// The lines of the file as the lookup compares them: without CR and LF.
QList<QByteArray> KeyLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    for (QByteArray line : bytes.split('\n')) {
        while (line.endsWith('\r')) line.chop(1);
        lines << line;
    }
    return lines;
}

void CheckLookup(const StarPairFile& file, const QString& key, const QList<QByteArray>& lines) {
    RecordingSink sink;
    const auto blocks = StarPairTexts::Read(file.FilePath()).Lookup(key, sink);
    FUZZ_CHECK(blocks.has_value() && sink.Count() == 0, "a readable file was not read");
    qsizetype keyLines = 0;
    for (const QByteArray& line : lines) keyLines += cp932::Decode(line) == key;
    FUZZ_CHECK(blocks->size() <= keyLines, "more blocks than key lines");
    for (const QStringList& block : *blocks)
        for (const QString& line : block)
            FUZZ_CHECK(!line.isEmpty() && !line.startsWith(QLatin1Char('#')), "a block holds a key or empty line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    FUZZ_CHECK(folder.isValid(), "no temporary folder");
    const QDir dir(folder.path());
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    // The file as it lies in the program folder.
    const QString filePath = dir.filePath(QString::fromLatin1(StarPairFile::kFileName));
    Put(filePath, bytes);
    const StarPairFile file(filePath);
    const QList<QByteArray> lines = KeyLines(bytes);
    CheckLookup(file, QStringLiteral("#紫薇-天府"), lines);
    if (!lines.isEmpty()) CheckLookup(file, cp932::Decode(lines.first()), lines);

    // The same bytes as the seed of a missing file.
    dir.mkpath(QStringLiteral("seed"));
    dir.mkpath(QStringLiteral("made"));
    Put(dir.filePath(QStringLiteral("seed/") + QString::fromLatin1(StarPairFile::kSeedName)), bytes);
    const QString madePath = dir.filePath(QStringLiteral("made/") + QString::fromLatin1(StarPairFile::kFileName));
    QFile::remove(madePath);
    StarPairFile made;
    RecordingSink sink;
    const bool ok = made.Prepare(dir.filePath(QStringLiteral("made")), {dir.filePath(QStringLiteral("seed"))}, sink);
    FUZZ_CHECK(ok == QFile::exists(madePath), "the made file's presence contradicts the outcome");
    FUZZ_CHECK(ok == (sink.Count() == 0), "a message with success, or a failure without one");
    return 0;
}
