// zelvara-cli print report: the 鑑定書 of one client in one PDF file, from
// the register's person (--person) or the birth options.
#pragma once

#include <QStringList>

namespace zelvara::cli {

// args: the words after "print", starting with "report". Returns the exit code.
int RunPrintReport(const QStringList& args);

}  // namespace zelvara::cli
