#pragma once

#include <string>

namespace zelvara::cli {

// Casts a chart for every day and hour of the years; prints charts per second
// with calendar years cached and with the files read for every chart.
int RunBench(const std::string& home, int fromYear, int toYear);

}  // namespace zelvara::cli
