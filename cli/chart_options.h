// The birth options of `chart`, which the reading and print commands take too.
#pragma once

#include "chart_request.h"
#include "command_line.h"
#include "context.h"

#include <string_view>

namespace zelvara::cli {

// Declares --name, --sex, --date, --hour and --today.
void AddBirthOptions(Options& parser);

// Reads --name, --sex (男|女|M|F), --date YEAR/MONTH/DAY, --hour and --today
// into the input and the context; full-width digits, letters and slashes read
// as ASCII. A malformed option is explained on stderr and gives false. The
// hour may be 不明の場合.
bool ReadBirthOptions(const Options& opts, EngineContext& ctx, BirthInput& in);

// Reads the birth options, which must name one of the twelve hours, and casts
// the chart into ctx.man. 0 when the chart stands; otherwise the exit code:
// 2 for a malformed option (explained on stderr, naming the command), 1 when
// the chart request stopped (its messages already shown).
int CastFromOptions(const Options& opts, std::string_view command, EngineContext& ctx, BirthInput& in);

}  // namespace zelvara::cli
