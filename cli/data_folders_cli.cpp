#include "cli/data_folders_cli.h"

#include "common/data_folders.h"
#include "zelvara_version.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <iostream>

namespace zelvara::cli {

QString UserFolder(const std::string& programFolder) {
    QString error;
    const DataFolders folders = DataFoldersOf(QString::fromStdString(programFolder), &error);
    if (!error.isEmpty()) std::cerr << error.toStdString() << '\n';
    return folders.user;
}

int PrintVersion(const std::string& programFolder) {
    int argc = 1;
    char name[] = "zelvara-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    // The desktop program's name, so that the settings file is the one it uses.
    QCoreApplication::setApplicationName(QStringLiteral("zelvara"));
    const DataFolders folders = ResolveDataFolders(QString::fromStdString(programFolder),
                                                   QCoreApplication::applicationDirPath(), UserDataLocation());
    const QString settings =
        QDir(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation)).filePath(QStringLiteral("zelv.ini"));
    std::cout << "zelvara-cli " << kVersion << '\n' << DescribeDataFolders(folders, settings).toStdString() << '\n';
    return 0;
}

}  // namespace zelvara::cli
