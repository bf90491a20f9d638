// Exact birth time: the clock time a reader is given, corrected to the local
// solar time of the birthplace, and the civil date and two-hour period that
// the corrected moment falls in.
//
// Japan Standard Time is the mean solar time of 135°E. A place east of that
// meridian sees the Sun earlier (4 minutes of time per degree), so its local
// mean time is later than the clock. True (apparent) solar time adds the
// equation of time. Summer time is not decided here: the caller asks the
// time-zone database and passes the minutes it removes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zelvara {

enum class TimeCorrection { kNone, kMean, kTrue };

// "none", "mean", "true" (the command line's and the settings file's words).
std::optional<TimeCorrection> TimeCorrectionFromWord(std::string_view word);
std::string_view TimeCorrectionWord(TimeCorrection c);

// The meridian of Japan Standard Time, and the longitudes a birthplace in
// Japan may have (the land lies between about 122.9°E and 153.9°E).
inline constexpr double kStandardMeridian = 135.0;
inline constexpr double kFirstJapanLongitude = 122.0;
inline constexpr double kLastJapanLongitude = 154.0;

// Minutes of time from midnight for "HH:MM" (00:00..23:59; one or two digits
// for the hour, two for the minute; full-width digits and colon read as
// ASCII). nullopt for anything else.
std::optional<int> ParseClockTime(std::string_view text);
std::string ClockTimeText(int minuteOfDay);  // "05:50"

// Local mean time minus standard time, in minutes: 4 minutes per degree east
// of 135°E (Sapporo 141.35°E: +25.4, Naha 127.68°E: −29.3).
double LongitudeMinutes(double longitudeEast);

// Apparent minus mean solar time, in minutes, at a moment of a zone's
// standard time (year, month, day and minutes after midnight; the zone
// standardOffsetMinutes ahead of UTC, Japan Standard Time by default).
double EquationOfTimeMinutes(int year, int month, int day, double minuteOfDay, int standardOffsetMinutes = 9 * 60);

// Index 0..11 of the two-hour period of a minute of the day: 23:00–00:59 is
// 0, 01:00–02:59 is 1, … 21:00–22:59 is 11.
int HourIndexOfMinute(int minuteOfDay);

// A clock reading on a civil date, as the reader was given it.
struct ClockBirth {
    int year = 0;
    int month = 0;
    int day = 0;
    int minuteOfDay = 0;
};

// How a clock reading relates to UTC in the zone of the birthplace: the
// zone's standard time is standardOffsetMinutes ahead of UTC (Japan: 540),
// and summerMinutes (−60 inside summer time, else 0) turn the reading into
// standard time. The engine has no time-zone database: the caller asks one.
struct ZoneReading {
    int standardOffsetMinutes = 9 * 60;
    int summerMinutes = 0;
};

// The moment after the corrections, and what each contributed (minutes added
// to the clock; nullopt where the correction was not applied).
struct CorrectedBirth {
    int year = 0, month = 0, day = 0;
    int minuteOfDay = 0;    // rounded to the nearest minute
    int hourIndex = 0;      // 0..11 of the corrected minute
    int clockMinute = 0;    // the clock reading it came from
    int summerMinutes = 0;  // −60 inside summer time, else 0
    std::optional<double> longitudeMinutes;
    std::optional<double> equationMinutes;
    std::string zone;  // the zone's name when it is not Japan's, for the line
    // True when any correction moved the time (a summer-time reading or a
    // solar-time correction chosen).
    bool Corrected() const { return summerMinutes != 0 || longitudeMinutes.has_value(); }
};

// Removes summer time (the zone's answer for this clock reading), then, for
// a solar-time correction, moves the zone's standard time to the local mean
// time of the longitude (UTC + 4 minutes per degree east) and, for true solar
// time, adds the equation of time. The date moves with the time across
// midnight, month ends and New Year. In Japan's zone this is the standard
// time plus 4 minutes per degree east of 135°E.
CorrectedBirth CorrectBirthTime(const ClockBirth& clock, const ZoneReading& zone, TimeCorrection correction,
                                double longitudeEast);
// The same in Japan's zone (summerMinutes −60 or 0).
CorrectedBirth CorrectBirthTime(const ClockBirth& clock, int summerMinutes, TimeCorrection correction,
                                double longitudeEast);

// The compact line the chart page, the sheet and the command line show:
// 「05:50 → 05:26（夏時間 −60分、経度 +25分、均時差 +11分）」, or the clock time
// alone when nothing moved it: 「10:30（補正なし）」.
std::string CorrectionLine(const CorrectedBirth& c);

}  // namespace zelvara
