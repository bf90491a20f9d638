// The almanac behind the calendar data files: solar terms, new moons, the
// Japanese lunar calendar computed for JST, and the 25-line file of a civil year.
#pragma once

#include <string>
#include <vector>

namespace calgen {

inline constexpr double kJstOffsetDays = 9.0 / 24.0;
// China Standard Time (120°E), at which the Chinese lunar calendar is reckoned.
inline constexpr double kCstOffsetDays = 8.0 / 24.0;

// Julian day number of a Gregorian civil date and back.
long JdnFromCivil(int y, int m, int d);
void CivilFromJdn(long jdn, int& y, int& m, int& d);
int DaysInMonth(int y, int m);

// A moment in Japan Standard Time.
struct JstMoment {
    long jdn = 0;  // civil day
    int year = 0, month = 0, day = 0;
    double minuteOfDay = 0;  // 0 ≤ … < 1440
};
JstMoment JstFromTt(double jde);
// The same moment as a civil day and minute in a zone offsetDays ahead of UT.
JstMoment LocalFromTt(double jde, double offsetDays);

// Branch (1 = 子 … 12 = 亥) of the two-hour period containing a minute of the day.
int HourBranch(double minuteOfDay);

struct SolarTerm {
    int longitude = 0;  // 0, 15, …, 345
    double jde = 0;
    JstMoment jst;
    bool major() const { return longitude % 30 == 0; }                            // 中気
    int majorNumber() const { return ((longitude - 330 + 720) % 360) / 30 + 1; }  // 雨水 → 1 … 大寒 → 12
};

struct NewMoon {
    double jde = 0;
    JstMoment jst;
};

struct LunarMonth {
    long startJdn = 0;  // JST civil day of the new moon
    int number = 0;     // 1..12
    bool leap = false;
};

struct Almanac {
    std::vector<SolarTerm> terms;        // in time order
    std::vector<NewMoon> newMoons;       // in time order
    std::vector<LunarMonth> months;      // numbered months, in order
    std::vector<std::string> tieBreaks;  // one note per stretch that needed the fixed-anchor rule
};

// Computes everything needed for the files of civil years fromYear..toYear.
// lunarPrecision: truncation of the lunar series in radians (0 = full series).
// lunarOffsetDays: the zone whose civil days the lunar months begin on and
// are numbered in (JST for the Japanese calendar, CST for the Chinese); the
// solar terms of the files (month pillars, term day and period) stay in JST.
Almanac BuildAlmanac(int fromYear, int toYear, double lunarPrecision = 0.0, double lunarOffsetDays = kJstOffsetDays);

// Numbers the lunar months between new-moon days using the major terms (exposed
// for tests). Throws std::runtime_error when the months cannot be numbered.
std::vector<LunarMonth> NumberLunarMonths(const std::vector<long>& newMoonDays, const std::vector<SolarTerm>& terms,
                                          std::vector<std::string>* tieBreaks);

// Era letter and year within the era in force on 31 December of a civil year.
void EraOfYear(int year, char& letter, int& eraYear);

// The 25 CR LF lines of the calendar data file of a civil year.
std::string FormatYearFile(int year, const Almanac& almanac);

}  // namespace calgen
