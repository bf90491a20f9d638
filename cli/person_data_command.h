// zelvara-cli register export-person N --out BASE and register erase N
// [--yes]: a client's own data, written out (BASE.csv and BASE.pdf) or erased
// completely, at the client's request. N is the client's number as the
// notes commands name it (notes list --client N).
#pragma once

#include "cli/command_line.h"

#include <QString>

namespace zelvara::cli {

int ExportPerson(const Options& opts, const QString& folder, const QString& numberText, const QString& base);
// Without yes: prints what would go and returns 1, changing nothing.
int ErasePerson(const Options& opts, const QString& folder, const QString& numberText, bool yes);

}  // namespace zelvara::cli
