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

// "S40" → "1965", "T10" → "1921", "H2" → "1990", "R1" → "2019"; anything else
// unchanged. An era letter followed by something that is not a number is left
// unchanged (the year check then reports it).
std::string EraYearToWestern(std::string_view text);

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

struct CheckedBirth {
    std::string yearText;  // after the era conversion
    std::string dateText;  // "1965/3/7"
    int hourIndex = -1;    // 0..11, or −1 when the hour must be inferred
};

// Reset, then sex, year, year bound, month, day, date check, in that order.
// Shows the first failing check's message and returns −1 (validMark 0).
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
