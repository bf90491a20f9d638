// The program folder: where the program's data files lie. Normally the
// folder of the executable; ZELVARA_HOME or the option --home DIR (which wins)
// point the program elsewhere, for tests and for a second installation.
#pragma once

#include <QString>
#include <QStringList>

namespace zelvara {

// Pure resolution: args as given on the command line (argv[0] included; the
// last --home DIR or --home=DIR counts), envHome the value of ZELVARA_HOME
// (empty when unset).
QString ResolveProgramFolder(const QStringList& args, const QString& envHome, const QString& executableFolder);

// The same once the command line is parsed: homeOption the value of --home
// (empty when not given). Both programs decide the folder here.
QString ResolveProgramFolder(const QString& homeOption, const QString& envHome, const QString& executableFolder);

// The same for the running application (needs a QCoreApplication).
QString ProgramFolder();

// Absolute path of a file in the program folder.
QString ProgramFile(const QString& folder, const QString& name);

}  // namespace zelvara
