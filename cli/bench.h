#pragma once

#include <string>

namespace zelvara::cli {

// Casts a chart for every day and hour of the years; prints charts per second
// with calendar years cached and with the files read for every chart.
// only: "cached", "checked" or "read" to run one mode; empty for all three.
int RunBench(const std::string& home, int fromYear, int toYear, const std::string& only);

}  // namespace zelvara::cli
