// zelvara-cli register export|import: the register to and from CSV files,
// and records from a Paradox table of the older program.
#pragma once

#include <QStringList>

namespace zelvara::cli {

// args: the words after "register": export --csv FILE [--encoding utf-8|cp932]
// | import --csv FILE|--paradox FILE [--dry-run] [--skip-bad], and --home. Returns the exit
// code: 0 done, 1 refused or failed (the register unchanged), 2 usage, 3 the
// register's lock is held by another program.
int RunRegisterTransfer(const QStringList& args);

}  // namespace zelvara::cli
