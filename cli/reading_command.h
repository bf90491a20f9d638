// zelvara-cli reading overall|luck|marriage: the three readings of a chart,
// composed by the same code as the desktop program's reading pages.
#pragma once

#include <QStringList>

namespace zelvara::cli {

// args: the words after "reading": the reading's name, the birth options of
// `chart`, --palace, --period, --home. Prints each memo's lines under a line
// "--- <memo> <tab> ---". Returns the exit code.
int RunReading(const QStringList& args);

}  // namespace zelvara::cli
