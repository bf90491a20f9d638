// The entry boxes as the user may type them: the era and full-width forms of
// the year box, and the whole input check with the cast that follows it.
// The input's lines are name, sex, year, month, day and hour, in that order.
// Promises checked:
// - normalising typed text twice gives what once gives, and so does the era
//   conversion; what the era conversion changes becomes a western year;
// - a refused entry shows a message and leaves no valid chart behind;
// - an accepted entry holds a date the calendar check took, and casting it
//   either gives a chart or says why not.
#include "tests/fuzz/fuzz_check.h"

#include "engine/chart_request.h"
#include "tests/recording_sink.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace {

using namespace zelvara;

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (lines.size() < 6) {
        const size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) break;
        start = end + 1;
    }
    lines.resize(6);
    return lines;
}

bool AllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](unsigned char c) { return std::isdigit(c); });
}

void CheckTypedText(std::string_view text) {
    const std::string once = NormalizeTypedText(text);
    FUZZ_CHECK(NormalizeTypedText(once) == once, "normalising twice changes the text");
    const std::string western = EraYearToWestern(text);
    FUZZ_CHECK(EraYearToWestern(western) == western, "converting an era year twice changes it");
    if (western != once) {
        FUZZ_CHECK(AllDigits(western), "an era year converted to something else than a western year");
    }
    const int hour = HourIndexOf(text);
    FUZZ_CHECK(hour >= 0 && hour <= kHours, "hour index outside 0..12");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = InputText(data, size);
    const std::vector<std::string> lines = Lines(text);
    for (const std::string& line : lines) CheckTypedText(line);

    // One context for the whole run: its calendar cache keeps the files read.
    static RecordingSink sink;
    static EngineContext ctx(ZELVARA_CALENDAR_DIR, sink);
    ctx.FixToday({2026, 12, 8});
    sink.Clear();

    const BirthInput in{lines[0], lines[1], lines[2], lines[3], lines[4], lines[5]};
    const auto checked = CheckBirthInput(ctx, in);
    if (!checked) {
        FUZZ_CHECK(sink.Count() > 0, "an entry refused without a message");
        FUZZ_CHECK(!checked.error().message.empty(), "a refusal without its message");
        return 0;
    }
    ChartRequest request = *checked;
    FUZZ_CHECK(request.year >= kFirstCalendarYear && request.year <= kLastChartYear, "accepted year out of range");
    FUZZ_CHECK(request.month >= 1 && request.month <= 12, "accepted month");
    FUZZ_CHECK(request.day >= 1 && request.day <= 31, "accepted day");
    FUZZ_CHECK(request.hourIndex >= -1 && request.hourIndex < kHours, "accepted hour");
    FUZZ_CHECK(request.birthText.rfind(std::to_string(request.year) + "/", 0) == 0, "date text and year differ");

    request.hourIndex = request.hourIndex < 0 ? 0 : request.hourIndex;
    const CastOutcome chart = CastChart(ctx, request);
    if (!chart)
        FUZZ_CHECK(sink.Count() > 0, "a cast that stopped without a message");
    else
        FUZZ_CHECK(chart->Man().birthYear == request.year && chart->Man().hourIndex == request.hourIndex,
                   "a cast chart of another moment");
    return 0;
}
