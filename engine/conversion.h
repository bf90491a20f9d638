// Calendar conversion: date check, range check, hour pillars, four pillars and
// the lunar date, and the stem/branch name lookups.
#pragma once

#include "engine/context.h"
#include "engine/conventions.h"

#include <optional>
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

// Checks the month and day texts of a birth in a western year, shows one of
// its boxes and returns nullopt on a fault.
std::optional<CivilDate> CheckBirthDate(EngineContext& ctx, int year, std::string_view month, std::string_view day);

// Checks "year/month/day" as above; on success stores birthYear/Month/Day and
// the counted age in the working record.
bool CheckBirthDate(EngineContext& ctx, std::string_view text);

// Counted age (数え年) on a day; 0, no age, for a birth after it.
int CountedAge(const CivilDate& birth, const CivilDate& today);

// −1 before 1921-01-06 or after 2100-12-31, else 0.
int InRange(int year, int month, int day);

void BuildHourPillarTable(EngineContext& ctx);

// Fills the four pillars and the lunar date of ctx.man from slot 2 (and its
// neighbours) and sets the term reference and the palace months. −1 (with its
// message) for a moment the calendar data cannot cover: 1921-01-06 before
// that day's term entry. The conventions choose the year's start, the
// palace months and, for a birth known to lie between 23:00 and 24:00
// (lateHour), the day. termSide −1 or +1 puts the birth before or after its
// civil month's 節 entry whatever its moment (an alternative chart).
int ConvertBirthDate(EngineContext& ctx, const Conventions& conventions = {}, bool lateHour = false, int termSide = 0);

// Lunar date and day pillar texts of every day of civil month m of a slot.
// December reads January 1st of the next slot (the year after) to tell a leap
// month; the chart always has that year loaded.
void ExpandLunarMonth(EngineContext& ctx, int slot, int month);

// The lunar date and day pillar of one civil day of month m of a slot, by the
// same expansion; zeros for a day the month does not have.
struct LunarDate {
    int month = 0, day = 0;
};
// Whether the lunar month of a civil day of a slot (its lunar date given) is a
// leap month: the day before that month's 1st has the same number. false when
// that day lies before the loaded years.
bool InLeapMonth(const Treki& reki, int slot, const CivilDate& date, const LunarDate& lunar);
struct LunarDay {
    LunarDate lunar;
    int stem = 0, branch = 0;
};
LunarDay LunarDayOf(const Treki& reki, int slot, int month, int day);

// The births the calendar data cover, as every range message words them.
inline constexpr std::string_view kCoveredRangeText = "1921年1月6日〜2100年12月31日";

// The message of every "outside the range the calendar covers" stop of a moment.
inline constexpr std::string_view kOutOfRangeMessage =
    "鑑定可能範囲（1921年1月6日〜2100年12月31日）を越えているので鑑定はできません。";

// The message for a birth year outside 1921..2100 (five-digit years included).
std::string YearOutOfRangeMessage(long long year);

}  // namespace zelvara
