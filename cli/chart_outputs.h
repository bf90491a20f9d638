// The chart command's forms beside text and JSON: the chart as Markdown
// (--format markdown) and as a picture (--png FILE, --svg FILE, --size), and
// the chart sheet that the pictures and the print command draw.
#pragma once

#include "cli/chart_options.h"
#include "engine/chart_layout.h"
#include "engine/conventions.h"
#include "engine/time_layers.h"
#include "print/chart_sheet.h"

#include <optional>
#include <vector>

namespace zelvara::cli {

// The sheet of a chart cast from the options: the name and hour typed, the
// exact time when a correction moved it, the place of an exact time.
ChartSheet ChartSheetOfOptions(const Tmandata& man, const ChartLayout& layout, const BirthInput& in,
                               const BirthTime* time);

// Declares --format, --png, --svg, --size, --title, --tel and --settings.
void AddChartOutputOptions(Options& opts);

// True when the options ask for a picture (the command then runs under a
// QGuiApplication).
bool AsksForPicture(const QStringList& args);

// Checks the options before anything is cast: the exit code of a usage error,
// else nullopt.
std::optional<int> CheckChartOutputOptions(const Options& opts);

// Writes what the options ask for beside the text (Markdown to stdout, the
// pictures to their files, whose names go to stdout); nullopt when they ask
// for neither, else the exit code. named: the conventions chosen, which the
// Markdown names (標準 when none were).
std::optional<int> WriteChartOutputs(const Options& opts, const Chart& chart, const BirthInput& in,
                                     const BirthTime* time, const std::vector<TimeLayer>& layers,
                                     const ConventionProfile* named = nullptr);

}  // namespace zelvara::cli
