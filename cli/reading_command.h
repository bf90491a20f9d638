// zelvara-cli reading overall|luck|marriage: the three readings of a chart,
// composed by the same code as the desktop program's reading pages.
#pragma once

#include "chart_options.h"

#include <string>
#include <vector>

namespace zelvara::cli {

// words: the words after "reading" that are not options (the reading's name);
// opts: the birth options of `chart`, --palace, --period, --home. Prints each
// memo's lines under a line "--- <memo> <tab> ---". Returns the exit code.
int RunReading(const std::vector<std::string>& words, const Options& opts, const std::string& programFolder);

}  // namespace zelvara::cli
