// What the chart-casting commands share: the message sink that writes to
// stderr, the program folder, and the birth options of `chart`.
#pragma once

#include "chart_request.h"
#include "context.h"

#include <map>
#include <string>
#include <string_view>

namespace zelvara::cli {

using Options = std::map<std::string, std::string>;

class StderrSink final : public MessageSink {
public:
    void Show(std::string_view text, std::string_view caption) override;
};

// --home, else $ZELVARA_HOME, else the folder of this program.
std::string ProgramFolder(const Options& opts);

// Reads --name, --sex (男|女|M|F), --date YEAR/MONTH/DAY, --hour and --today
// into the input and the context. A malformed option is explained on stderr
// and gives false. The hour may be 不明の場合.
bool ReadBirthOptions(const Options& opts, EngineContext& ctx, BirthInput& in);

// Reads the birth options, which must name one of the twelve hours, and casts
// the chart into ctx.man. 0 when the chart stands; otherwise the exit code:
// 2 for a malformed option (explained on stderr, naming the command), 1 when
// the chart request stopped (its messages already shown).
int CastFromOptions(const Options& opts, std::string_view command, EngineContext& ctx, BirthInput& in);

}  // namespace zelvara::cli
