// zelvara-cli register list|check|backup|restore|deleted|undelete: the person
// register from the command line. The writing commands take the register's
// lock like the desktop program and refuse, with exit code 3, while another
// program holds it.
#pragma once

#include <QStringList>

namespace zelvara::cli {

// args: the words after "register": list [--csv] | check | backup --out FILE
// | restore --from FILE | deleted | undelete N, and --home. Returns the exit code.
int RunRegister(const QStringList& args);

}  // namespace zelvara::cli
