// zelvara-cli notes list|show|add|edit|delete|deleted|undelete|search|agenda|
// export|import: the consultation record (鑑定記録) kept beside the register,
// in the file or, with --register, on the server. The writing commands take
// the register's lock like the register commands and stop with exit code 3
// while another program holds it.
#pragma once

#include <QStringList>

namespace zelvara::cli {

// args: the words after "notes". Returns the exit code.
int RunNotes(const QStringList& args);

}  // namespace zelvara::cli
