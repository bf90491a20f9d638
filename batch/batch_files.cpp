#include "batch/batch_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace zelvara::batch {
namespace {

// Writes, flushes and closes; the reason of the first failure, else empty.
QString WriteAll(QFile& file, const std::string& bytes) {
    const auto size = static_cast<qint64>(bytes.size());
    if (file.write(bytes.data(), size) != size || !file.flush()) return file.errorString();
#ifdef Q_OS_UNIX
    // The rename must not publish a file whose bytes are still only in memory.
    if (::fsync(file.handle()) != 0) return QString::fromLocal8Bit(std::strerror(errno));
#endif
    file.close();
    return file.error() == QFileDevice::NoError ? QString() : file.errorString();
}

std::filesystem::path Native(const QString& path) { return QFile::encodeName(path).toStdString(); }

}  // namespace

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
    return QStringLiteral(
               "ファイル「%1」を書き込めません（%2）。\nフォルダ「%3」に書き込めるか、空きがあるか確かめて下さい。"
               "書き終えたファイルはそのまま残っています。")
        .arg(QDir::toNativeSeparators(path), reason, QDir::toNativeSeparators(QFileInfo(path).absolutePath()));
}

QString PartName(const QString& path) { return path + QStringLiteral(".part"); }

QString RenameOver(const QString& from, const QString& to) {
    std::error_code ec;
    std::filesystem::rename(Native(from), Native(to), ec);
    return ec ? CannotWriteMessage(to, QString::fromStdString(ec.message())) : QString();
}

QString WriteWholeFile(const QString& path, const std::string& bytes) {
    const QString part = PartName(path);
    QFile file(part);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return CannotWriteMessage(path, file.errorString());
    QString error;
    if (const QString reason = WriteAll(file, bytes); !reason.isEmpty())
        error = CannotWriteMessage(path, reason);
    else
        error = RenameOver(part, path);
    if (!error.isEmpty()) {
        file.close();
        QFile::remove(part);
    }
    return error;
}

QString RemoveLeftovers(const QString& folder, const QStringList& patterns) {
    const QDir dir(folder);
    if (!dir.exists()) return {};
    for (const QString& name : dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System)) {
        const QString path = dir.filePath(name);
        if (!QFile::remove(path)) return CannotWriteMessage(path, QStringLiteral("前の実行の書きかけを消せません"));
    }
    return {};
}

}  // namespace zelvara::batch
