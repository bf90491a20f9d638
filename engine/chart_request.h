// The engine side of a chart request: the input checks in their fixed order,
// the era-year conversion, the hour lookup, and the cast of one chart. The main
// window, the hour inference, the batch tools and the command line all cast
// through here.
#pragma once

#include "context.h"

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

// The era letters the year box takes, worded once for every message, the
// command line's usage and the help page.
inline constexpr std::string_view kEraLettersText = "M 明治・T 大正・S 昭和・H 平成・R 令和";

// 1..12 for the twelve hour-period texts ("23:00-01:00" → 1), else 0.
int HourIndexOf(std::string_view text);

// The entry fields as the user typed them.
struct BirthInput {
    std::string name;
    std::string sex;    // "男" or "女"
    std::string year;   // western or era form
    std::string month;
    std::string day;
    std::string hour;   // hour-period text, "不明の場合" or empty
};

// A whole birth date typed as one text: year, month and day separated by '/'
// or '.' ("1959/5/7", "S34.5.7", "Ｓ３４／５／７", read through
// NormalizeTypedText), into in's year, month and day, the month and day
// without the leading zeros a user may type ("05"). The year stays as typed
// (EraYearToWestern turns an era year western); the parts are checked by
// CheckBirthInput. false, in unchanged, without two separators.
bool SplitTypedDate(std::string_view text, BirthInput& in);

struct CheckedBirth {
    std::string yearText;  // after the era conversion
    std::string dateText;  // "1965/3/7"
    int hourIndex = -1;    // 0..11, or −1 when the hour must be inferred
};

// Marks whether the record holds a complete chart (validMark): the one place
// the mark is written. A check or cast that stops clears it, a cast that
// completes sets it, and so may a caller that throws a cast away.
void MarkChart(Tmandata& man, bool complete);

// Reset (no chart from then on), then sex, year, year bound, month, day, date
// check, in that order. Shows the first failing check's message and returns
// −1 (validMark 0).
int CheckBirthInput(EngineContext& ctx, const BirthInput& in, CheckedBirth& out);

// Range check, calendar load, pillars, luck start, palaces, stars and main
// stars for a checked date and a known hour. −1 (with its message shown,
// validMark 0) when the moment cannot be cast.
int CastChart(EngineContext& ctx, int year, int month, int day, int hourIndex);

// Main star of every palace for every hour period: grid[palace][hourIndex].
using HourGrid = std::array<std::array<int, kHours>, kPalaces + 1>;
int CastAllHours(EngineContext& ctx, int year, int month, int day, HourGrid& grid);

// The whole engine part of a request for a known hour: checks and cast.
// −1 when it stopped (message shown). Used by the command line and tests.
int RequestChart(EngineContext& ctx, const BirthInput& in);

}  // namespace zelvara
