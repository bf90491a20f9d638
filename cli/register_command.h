// zelvara-cli register list|check|backup|restore|deleted|undelete: the person
// register from the command line. The writing commands take the register's
// lock like the desktop program and refuse, with exit code 3, while another
// program holds it.
#pragma once

#include "cli/command_line.h"

#include <QString>
#include <QStringList>

namespace zelvara {
class PersonTable;
}

namespace zelvara::cli {

// args: the words after "register": list [--csv] | check | backup --out FILE
// | export/import --csv FILE (register_transfer.h)
// | restore --from FILE | deleted | undelete N, and --home. Returns the exit code.
int RunRegister(const QStringList& args);

// Says which program holds the register's lock; returns exit code 3.
// The exit code of a command that stopped because another program holds the
// register (its lock, or a server's work of one at a time).
inline constexpr int kExitHeld = 3;

int HeldElsewhere(const QString& holder);

// Opens the chosen register for writing: 0, or the exit code after saying why
// not (3 while another program holds its lock, 1 when it cannot be written).
int OpenForWriting(const Options& opts, PersonTable& table, const QString& folder);

// The last line of an import: how many were (or, with --dry-run, could be)
// read in, skipped as already there (`already`: what was found there) and refused.
QString ImportSummary(int added, const QString& already, int duplicates, int refused, bool dryRun);

}  // namespace zelvara::cli
