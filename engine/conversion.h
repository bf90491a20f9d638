// Calendar conversion: date check, range check, hour pillars, four pillars and
// the lunar date, and the stem/branch name lookups.
#pragma once

#include "context.h"

#include <string>
#include <string_view>

namespace zelvara {

std::string_view StemName(int n);    // 0..10; anything else two blanks
std::string_view BranchName(int n);  // 0..12; anything else two blanks
std::string PillarText(int stem, int branch);
int StemNumber(std::string_view name);    // 1..10, 0 when no name matches
int BranchNumber(std::string_view name);  // 1..12, 0 when no name matches

// Days of a civil month by the Gregorian rule (0 for a month outside 1..12).
int DaysInCivilMonth(int year, int month);

// Checks "year/month/day", shows one of its boxes and returns false on a fault;
// on success stores birthYear/Month/Day and the counted age.
bool CheckBirthDate(EngineContext& ctx, std::string_view text);

// −1 before 1921-01-06, else 0.
int InRange(int year, int month, int day);

void BuildHourPillarTable(EngineContext& ctx);

// Fills the four pillars and the lunar date of ctx.man from slot 2 (and its
// neighbours) and sets the term reference. −1 (with its message) for a moment
// the calendar data cannot cover: 1921-01-06 before that day's term entry.
int ConvertBirthDate(EngineContext& ctx);

void ExpandLunarMonth(EngineContext& ctx, int slot, int month);
void PickLunarDate(EngineContext& ctx, int slot, int day);

// The message of every "outside the range the calendar covers" stop.
inline constexpr std::string_view kOutOfRangeMessage = "鑑定可能範囲を越えているので鑑定はできません。";

}  // namespace zelvara
