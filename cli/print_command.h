// zelvara-cli print chart|graph|overall|luck|marriage|legends: the printouts
// of a cast chart (or the star legends) as PDF files, drawn by the same print
// module as the desktop program's print buttons, without a window.
#pragma once

#include "cli/command_line.h"

#include <QStringList>

namespace zelvara::cli {

// args: the words after "print": the printout's name, --pdf FILE, --dpi,
// --title, --tel, --settings, the birth options of `chart`, --palace
// (overall), --period (luck), --home. Writes the names of the PDF files made,
// one a line. Runs under a QGuiApplication. Returns the exit code.
int RunPrint(const QStringList& args);

// The footer line of a print or picture: --title and --tel, else title and
// tel of the settings file's [owner] (--settings).
QString FooterOfOptions(const Options& opts);

}  // namespace zelvara::cli
