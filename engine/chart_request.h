// The engine side of a chart request: the input checks in their fixed order,
// the era-year conversion, the hour lookup, and the cast of one chart. The main
// window, the hour inference, the batch tools and the command line all cast
// through here.
#pragma once

#include "engine/context.h"
#include "engine/conventions.h"
#include "engine/expected.h"

#include <array>
#include <string>
#include <string_view>

namespace zelvara {

// The text of a year, month or day box as the program reads it: full-width
// ASCII forms (１９６５, Ｓ４０, ｓ４０, ／), which Japanese input methods type,
// become their ASCII letters (as NFKC maps them), and blanks (also the
// full-width one) at either end are dropped. Other text is kept as it is.
std::string NormalizeTypedText(std::string_view text);

// "M1" → "1868", "S40" → "1965", "T10" → "1921", "H2" → "1990", "R1" → "2019"
// (lower case and full-width forms alike). Anything else comes back only
// normalised: a western year, an era year outside its era (R0, S100) and an
// era letter followed by something that is not a number (the year check then
// reports them).
std::string EraYearToWestern(std::string_view text);

// A date in the era in force on it: "令和8年12月9日", "令和元年5月1日"; empty
// before 明治 (1868).
std::string EraDateText(int year, int month, int day);

// The era letters the year box takes, worded once for every message, the
// command line's usage and the help page.
inline constexpr std::string_view kEraLettersText = "M 明治・T 大正・S 昭和・H 平成・R 令和";

// 1..12 for the twelve hour-period texts ("23:00-01:00" → 1), else 0.
int HourIndexOf(std::string_view text);

// The entry fields as the user typed them.
struct BirthInput {
    std::string name;
    std::string sex;   // "男" or "女"
    std::string year;  // western or era form
    std::string month;
    std::string day;
    std::string hour;  // hour-period text, "不明の場合" or empty
};

// A whole birth date typed as one text: year, month and day separated by '/'
// or '.' ("1959/5/7", "S34.5.7", "Ｓ３４／５／７", read through
// NormalizeTypedText), into in's year, month and day, the month and day
// without the leading zeros a user may type ("05"). The year stays as typed
// (EraYearToWestern turns an era year western); the parts are checked by
// CheckBirthInput. false, in unchanged, without two separators.
bool SplitTypedDate(std::string_view text, BirthInput& in);

// A birth the engine casts: read from the entry fields by CheckBirthInput, or
// given as numbers by a batch run or a tool.
struct ChartRequest {
    std::string name{};
    std::string birthText{};  // the date as the record shows it: "1965/3/7", month and day as typed
    char sexCode = 'M';
    int year = 0, month = 0, day = 0;
    int hourIndex = -1;         // 0..11; −1 when the hour must be inferred
    int age = 0;                // counted age (数え年) today; 0 for a birth after today
    Conventions conventions{};  // the rules it is cast by; the default: the program's own
    bool lateHour = false;      // born between 23:00 and 24:00 (known from an exact time)
    // An alternative chart: −1 casts the birth as before its civil month's
    // 節 entry, +1 as after it, 0 as the entry's moment decides.
    int termSide = 0;
};

// Why no chart was cast: the message the sink was shown when the cast stopped.
struct CastRefusal {
    std::string message;
};

// One cast chart, never changed once cast: the record with its luck periods
// laid out and their rulers named, and the first luck ages of both sexes.
class Chart {
public:
    Chart(const Tmandata& man, int firstLuckAgeMale, int firstLuckAgeFemale)
        : man_(man), firstLuckAgeMale_(firstLuckAgeMale), firstLuckAgeFemale_(firstLuckAgeFemale) {}

    const Tmandata& Man() const { return man_; }
    int FirstLuckAgeMale() const { return firstLuckAgeMale_; }
    int FirstLuckAgeFemale() const { return firstLuckAgeFemale_; }

private:
    Tmandata man_;
    int firstLuckAgeMale_ = 0;
    int firstLuckAgeFemale_ = 0;
};

using CastOutcome = Expected<Chart, CastRefusal>;

// Sex, year, year bound, month, day and date check, in that order; the first
// failing check shows its message and refuses.
Expected<ChartRequest, CastRefusal> CheckBirthInput(EngineContext& ctx, const BirthInput& in);

// The one cast: range check, calendar load, pillars, luck start, palaces,
// stars, main stars and the luck periods of a request with a known hour, in
// the context's working record (ctx.man). Every message shown on the way goes
// to the context's sink; a refusal carries the one that stopped the cast.
CastOutcome CastChart(EngineContext& ctx, const ChartRequest& request);

// Main star of every palace for every hour period (the request's hour aside):
// grid[palace][hourIndex].
using HourGrid = std::array<std::array<int, kHours>, kPalaces + 1>;
Expected<HourGrid, CastRefusal> CastAllHours(EngineContext& ctx, const ChartRequest& request);

// The entry fields checked and cast for a known hour (an unknown one refused
// with its message), by the conventions given (lateHour: born between 23:00
// and 24:00). The command line and the tools cast typed births here.
CastOutcome RequestChart(EngineContext& ctx, const BirthInput& in, const Conventions& conventions = {},
                         bool lateHour = false);

}  // namespace zelvara
