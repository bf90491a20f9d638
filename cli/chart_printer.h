// Text and JSON forms of a cast chart for the command line.
#pragma once

#include "cli/chart_options.h"
#include "engine/alternatives.h"
#include "engine/chart_request.h"
#include "engine/time_layers.h"

#include <ostream>
#include <vector>

namespace zelvara::cli {

// time: the exact birth time when --time was given; without it the output
// is exactly that of a chart cast from --hour. layers: the layers of the
// --layer options in their order, whose flying 四化 and layers follow the
// chart; without any nothing is added. profile: the conventions to name (a
// line 規則, and in JSON `conventions` and `transformMinor`); none: nothing.
// alternatives (--alternatives): lines 境界注意 (a boundary) or 他の規則 (another
// value of a switch), in JSON `alternatives` (an
// empty list when none was kept); none: nothing.
void PrintChartText(std::ostream& out, const Chart& chart, const BirthTime* time = nullptr,
                    const std::vector<TimeLayer>& layers = {}, const ConventionProfile* profile = nullptr,
                    const std::vector<ChartAlternative>* alternatives = nullptr);
void PrintChartJson(std::ostream& out, const Chart& chart, const BirthTime* time = nullptr,
                    const std::vector<TimeLayer>& layers = {}, const ConventionProfile* profile = nullptr,
                    const std::vector<ChartAlternative>* alternatives = nullptr);
void PrintHourGrid(std::ostream& out, const HourGrid& grid);

}  // namespace zelvara::cli
