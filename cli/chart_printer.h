// Text and JSON forms of a cast chart for the command line.
#pragma once

#include "chart_request.h"
#include "context.h"

#include <ostream>

namespace zelvara::cli {

void PrintChartText(std::ostream& out, const EngineContext& ctx);
void PrintChartJson(std::ostream& out, const EngineContext& ctx);
void PrintHourGrid(std::ostream& out, const HourGrid& grid);

}  // namespace zelvara::cli
