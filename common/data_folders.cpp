#include "common/data_folders.h"

#include "common/shipped_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace zelvara {
namespace {

QString Clean(const QString& folder) {
    return folder.isEmpty() ? folder : QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

}  // namespace

QString UserDataLocation() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("zelvara"));
}

DataFolders ResolveDataFolders(const QString& programFolder, const QString& executableFolder,
                               const QString& userDataFolder) {
    const QString exe = Clean(executableFolder);
    const QString shipped = Clean(QString::fromStdString(ShippedFolderOf(exe.toStdString())));
    const QString chosen = Clean(programFolder);
    // A folder named with --home or ZELVARA_HOME holds everything.
    if (!chosen.isEmpty() && chosen != exe && chosen != shipped) return {chosen, chosen};
    // A writable program folder with the data beside the executable.
    if (shipped == exe && QFileInfo(exe).isWritable()) return {exe, exe};
    return {shipped, Clean(userDataFolder)};
}

QString FindDataFile(const DataFolders& folders, const QString& relative) {
    if (folders.Separate() && !folders.user.isEmpty()) {
        const QString own = QDir(folders.user).filePath(relative);
        if (QFileInfo(own).isFile()) return own;
    }
    return QDir(folders.shipped).filePath(relative);
}

DataFolders DataFoldersOf(const QString& programFolder, QString* error) {
    const DataFolders folders =
        ResolveDataFolders(programFolder, QCoreApplication::applicationDirPath(), UserDataLocation());
    if (folders.Separate() && !QDir().mkpath(folders.user) && error)
        *error = QStringLiteral("利用者のデータフォルダ「%1」を作れません。名簿や鑑定文の表を保存できません。")
                     .arg(QDir::toNativeSeparators(folders.user));
    return folders;
}

QString DescribeDataFolders(const DataFolders& folders, const QString& settingsPath) {
    const QString layout = folders.Separate() ? QStringLiteral("インストール（配布ファイルと利用者のデータが別）")
                                              : QStringLiteral("ポータブル（プログラムフォルダにすべて）");
    return QStringLiteral("配置: %1\n配布ファイル: %2\n利用者のデータ: %3\n設定ファイル: %4")
        .arg(layout, QDir::toNativeSeparators(folders.shipped), QDir::toNativeSeparators(folders.user),
             QDir::toNativeSeparators(settingsPath));
}

}  // namespace zelvara
