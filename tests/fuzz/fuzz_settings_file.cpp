// The settings file zelv.ini as any editor may have left it: any bytes are
// the file. Reading must not fail whatever it holds; a write then either
// succeeds, and every value written reads back as written, or says why and
// leaves the file byte for byte as it was.
#include "tests/fuzz/fuzz_check.h"

#include "store/settings_file.h"

#include <QFile>
#include <QTemporaryDir>

namespace {

using namespace zelvara;

QByteArray Contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir folder;
    FUZZ_CHECK(folder.isValid(), "no temporary folder");
    const QString path = folder.filePath(QStringLiteral("zelv.ini"));
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    {
        QFile f(path);
        FUZZ_CHECK(f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size(),
                   "cannot write the input file");
    }

    SettingsFile settings(path);
    StartupSoundEnabled(settings);
    LoadOwnerSettings(settings);
    settings.Read(QStringLiteral("print"), QStringLiteral("pdffolder"), QString());

    // One key the file may already have, in a section it may already have,
    // and one in a section of its own.
    const QList<SettingsFile::Entry> entries{
        {QStringLiteral("owner"), QStringLiteral("title"), QStringLiteral("占い処 %1").arg(size)},
        {QStringLiteral("fuzz"), QStringLiteral("Key"), QStringLiteral("value-%1").arg(size % 97)},
    };
    QString why;
    if (settings.Write(entries, &why)) {
        for (const auto& e : entries)
            FUZZ_CHECK(settings.Read(e.section, e.key, QStringLiteral("<none>")) == e.value,
                       "a written value does not read back");
    } else {
        FUZZ_CHECK(!why.isEmpty(), "a failed write without a reason");
        FUZZ_CHECK(Contents(path) == bytes, "a failed write changed the file");
    }
    return 0;
}
