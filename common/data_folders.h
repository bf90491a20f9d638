// The two folders the programs work with, decided by one rule for the
// desktop program and zelvara-cli:
//   shipped  the read-only files: calendar files, seeds, pictures, sounds, help
//   user     the files the user changes: the register nam_data.db with its
//            lock, backup/ and deleted records, the reading-text tables, the
//            legends table
// Portable layout: both are one folder, the program folder (--home DIR,
// ZELVARA_HOME, or the executable's folder when it holds the program's data
// and can be written). Installed layout: shipped is share/zelvara beside
// bin/ (or a read-only program folder), user is the per-user data folder
// (~/.local/share/zelvara), made on first run; the tables are made there
// from the seeds (the user's seed/ folder first, then the shipped one) and
// are never overwritten by the program. A shipped file read by the programs
// (a picture, a sound, the help) is taken from the user folder when the user
// put a copy there, else from the shipped folder (FindDataFile).
#pragma once

#include <QString>
#include <QStringList>

namespace zelvara {

struct DataFolders {
    QString shipped;
    QString user;

    // Installed layout: the two are different folders.
    bool Separate() const { return shipped != user; }

    // Portable layout: one folder holds everything.
    static DataFolders Portable(const QString& folder) { return {folder, folder}; }
};

// The path of a shipped file, relative to the data folders ("bmp/inkoku.bmp",
// "help/index.html"): the user's copy when it exists, else the shipped one,
// whether that exists or not (so that a missing file is reported under its
// shipped name).
QString FindDataFile(const DataFolders& folders, const QString& relative);

// The per-user data folder: QStandardPaths' AppDataLocation of an
// application named "zelvara" (XDG_DATA_HOME/zelvara), whatever the name the
// running program gave itself.
QString UserDataLocation();

// Pure rule. programFolder: what the program-folder lookup gave (--home,
// ZELVARA_HOME, else the executable's folder); it may also be the shipped
// folder the CLI's lookup found for the executable.
DataFolders ResolveDataFolders(const QString& programFolder, const QString& executableFolder,
                               const QString& userDataFolder);

// The rule for the running program (needs a QCoreApplication). The user
// folder is created when it is not the program folder; when that fails,
// error gets a Japanese message naming it.
DataFolders DataFoldersOf(const QString& programFolder, QString* error = nullptr);

// Lines for the settings window and zelvara-cli --version.
QString DescribeDataFolders(const DataFolders& folders, const QString& settingsPath);

}  // namespace zelvara
