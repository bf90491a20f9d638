// zelvara-cli print chart|graph|overall|luck|marriage|legends: the printouts
// of a cast chart (or the star legends) as PDF files, drawn by the same print
// module as the desktop program's print buttons, without a window.
#pragma once

#include "chart_options.h"

#include <string>
#include <vector>

namespace zelvara::cli {

// words: the printout's name; opts: --pdf FILE, --dpi, --title, --tel,
// --settings, the birth options of `chart`, --palace (overall), --period
// (luck), --home. Writes the names of the PDF files made, one a line.
// Returns the exit code.
int RunPrint(const std::vector<std::string>& words, const Options& opts, const std::string& programFolder);

}  // namespace zelvara::cli
