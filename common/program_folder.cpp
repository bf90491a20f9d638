#include "common/program_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace zelvara {

QString ResolveProgramFolder(const QStringList& args, const QString& envHome, const QString& executableFolder) {
    QString chosen;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (a == QLatin1String("--home") && i + 1 < args.size())
            chosen = args.at(++i);
        else if (a.startsWith(QLatin1String("--home=")))
            chosen = a.mid(7);
    }
    return ResolveProgramFolder(chosen, envHome, executableFolder);
}

QString ResolveProgramFolder(const QString& homeOption, const QString& envHome, const QString& executableFolder) {
    QString chosen = homeOption;
    if (chosen.isEmpty()) chosen = envHome;
    if (chosen.isEmpty()) chosen = executableFolder;
    return QDir::cleanPath(QFileInfo(chosen).absoluteFilePath());
}

QString ProgramFolder() {
    return ResolveProgramFolder(QCoreApplication::arguments(), qEnvironmentVariable("ZELVARA_HOME"),
                                QCoreApplication::applicationDirPath());
}

QString ProgramFile(const QString& folder, const QString& name) { return QDir(folder).filePath(name); }

}  // namespace zelvara
