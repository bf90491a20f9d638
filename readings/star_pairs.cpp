#include "star_pairs.h"

#include "context.h"
#include "cp932.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zelvara {
namespace {

void Report(MessageSink& sink, const QString& text) { sink.Show(text.toStdString(), {}); }

// A line of the file without its line end.
QByteArray Chomp(QByteArray line)
{
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return line;
}

}  // namespace

bool StarPairFile::Prepare(const QString& folder, const QStringList& seedFolders, MessageSink& sink)
{
    path_ = QDir(folder).filePath(QString::fromLatin1(kFileName));
    if (QFileInfo::exists(path_))
        return true;
    QString seedPath;
    for (const QString& f : seedFolders) {
        const QString candidate = QDir(f).filePath(QString::fromLatin1(kSeedName));
        if (QFileInfo::exists(candidate)) {
            seedPath = candidate;
            break;
        }
    }
    if (seedPath.isEmpty()) {
        Report(sink, QStringLiteral("星の組合せのファイル「%1」がありません。元になる種ファイルも見つかりません（探した場所: %2）。")
                         .arg(path_, seedFolders.join(QStringLiteral(", "))));
        return false;
    }
    QFile seed(seedPath);
    if (!seed.open(QIODevice::ReadOnly)) {
        Report(sink, QStringLiteral("種ファイル「%1」を読めません（%2）。").arg(seedPath, seed.errorString()));
        return false;
    }
    QString text = QString::fromUtf8(seed.readAll());
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    QString bad;
    const auto bytes = cp932::Encode(text, &bad);
    if (!bytes) {
        Report(sink, QStringLiteral("種ファイル「%1」の文字「%2」はShift-JISで書けません。").arg(seedPath, bad));
        return false;
    }
    QSaveFile out(path_);
    if (!out.open(QIODevice::WriteOnly) || out.write(*bytes) != bytes->size() || !out.commit()) {
        Report(sink, QStringLiteral("星の組合せのファイル「%1」を書けません（%2）。").arg(path_, out.errorString()));
        return false;
    }
    return true;
}

std::optional<QList<QStringList>> StarPairFile::Lookup(const QString& key, MessageSink& sink) const
{
    QFile file(path_);
    if (!file.open(QIODevice::ReadOnly)) {
        Report(sink, QStringLiteral("星の組合せのファイル「%1」を開けません（%2）。").arg(path_, file.errorString()));
        return std::nullopt;
    }
    QList<QStringList> blocks;
    while (!file.atEnd()) {
        if (cp932::Decode(Chomp(file.readLine())) != key)
            continue;
        // The block's lines, up to the next "#" line, which is passed over
        // without being compared; an empty line also ends the block.
        QStringList& text = blocks.emplace_back();
        while (!file.atEnd()) {
            const QByteArray line = Chomp(file.readLine());
            if (line.isEmpty() || line.startsWith('#'))
                break;
            text << cp932::Decode(line);
        }
    }
    if (file.error() != QFileDevice::NoError) {
        Report(sink, QStringLiteral("星の組合せのファイル「%1」を読めません（%2）。").arg(path_, file.errorString()));
        return std::nullopt;
    }
    return blocks;
}

}  // namespace zelvara
