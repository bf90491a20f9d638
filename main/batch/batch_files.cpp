#include "batch_files.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace zelvara::batch {

QString MakeFolder(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) return {};
    if (info.exists())
        return QStringLiteral("出力先「%1」はフォルダではありません。別のフォルダを指定して下さい。")
            .arg(QDir::toNativeSeparators(path));
    if (!QDir().mkpath(path))
        return QStringLiteral("出力先のフォルダ「%1」を作れません。場所と書き込みの権限を確かめて下さい。")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

QString CannotWriteMessage(const QString& path, const QString& reason) {
    return QStringLiteral("ファイル「%1」を書き込めません（%2）。\nフォルダ「%3」に書き込めるか、空きがあるか確かめて下さい。"
                          "書き終えたファイルはそのまま残っています。")
        .arg(QDir::toNativeSeparators(path), reason,
             QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}

QString WriteWholeFile(const QString& path, const std::string& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return CannotWriteMessage(path, file.errorString());
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return CannotWriteMessage(path, reason);
    }
    if (!file.commit()) return CannotWriteMessage(path, file.errorString());
    return {};
}

}  // namespace zelvara::batch
