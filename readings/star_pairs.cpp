#include "readings/star_pairs.h"

#include "common/cp932.h"
#include "engine/context.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace zelvara {
namespace {

void Report(MessageSink& sink, const QString& text) { sink.Show(text.toStdString(), {}); }

}  // namespace

bool StarPairFile::Prepare(const QString& folder, const QStringList& seedFolders, MessageSink& sink) {
    path_ = QDir(folder).filePath(QString::fromLatin1(kFileName));
    if (QFileInfo::exists(path_)) return true;
    QString seedPath;
    for (const QString& f : seedFolders) {
        const QString candidate = QDir(f).filePath(QString::fromLatin1(kSeedName));
        if (QFileInfo::exists(candidate)) {
            seedPath = candidate;
            break;
        }
    }
    if (seedPath.isEmpty()) {
        Report(sink,
               QStringLiteral(
                   "星の組合せのファイル「%1」がありません。元になる種ファイルも見つかりません（探した場所: %2）。")
                   .arg(path_, seedFolders.join(QStringLiteral(", "))));
        return false;
    }
    QFile seed(seedPath);
    if (!seed.open(QIODevice::ReadOnly)) {
        Report(sink, QStringLiteral("種ファイル「%1」を読めません（%2）。").arg(seedPath, seed.errorString()));
        return false;
    }
    QString text = QString::fromUtf8(seed.readAll());
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
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

}  // namespace zelvara
