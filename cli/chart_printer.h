// Text and JSON forms of a cast chart for the command line.
#pragma once

#include "chart_options.h"
#include "chart_request.h"
#include "context.h"
#include "time_layers.h"

#include <ostream>

namespace zelvara::cli {

// time: the exact birth time when --time was given; without it the output
// is exactly that of a chart cast from --hour. layer: the layer of --layer,
// whose flying 四化 and layer follow the chart; without it nothing is added.
void PrintChartText(std::ostream& out, const EngineContext& ctx, const BirthTime* time = nullptr,
                    const TimeLayer* layer = nullptr);
void PrintChartJson(std::ostream& out, const EngineContext& ctx, const BirthTime* time = nullptr,
                    const TimeLayer* layer = nullptr);
void PrintHourGrid(std::ostream& out, const HourGrid& grid);

}  // namespace zelvara::cli
