#include "engine/solar_time.h"

#include "engine/chart_request.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace zelvara {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;
constexpr int kMinutesPerDay = 24 * 60;

// The civil day as a count of days since 1970-01-01 (proleptic Gregorian).
std::chrono::sys_days CivilDays(int y, int m, int d) {
    return std::chrono::year{y} / std::chrono::month{unsigned(m)} / std::chrono::day{unsigned(d)};
}

double Wrap180(double deg) {
    double r = std::fmod(deg, 360.0);
    if (r > 180.0) r -= 360.0;
    if (r <= -180.0) r += 360.0;
    return r;
}

// Minutes as the line shows them: a sign always (U+2212 for minus), whole minutes.
std::string SignedMinutes(double minutes) {
    const long m = std::lround(minutes);
    return (m < 0 ? "−" : "+") + std::to_string(m < 0 ? -m : m) + "分";
}

}  // namespace

std::optional<TimeCorrection> TimeCorrectionFromWord(std::string_view word) {
    if (word == "none") return TimeCorrection::kNone;
    if (word == "mean") return TimeCorrection::kMean;
    if (word == "true") return TimeCorrection::kTrue;
    return std::nullopt;
}

std::string_view TimeCorrectionWord(TimeCorrection c) {
    switch (c) {
        case TimeCorrection::kMean: return "mean";
        case TimeCorrection::kTrue: return "true";
        case TimeCorrection::kNone: break;
    }
    return "none";
}

std::optional<int> ParseClockTime(std::string_view typed) {
    const std::string text = NormalizeTypedText(typed);
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 2 || text.size() != colon + 3) return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i)
        if (i != colon && (text[i] < '0' || text[i] > '9')) return std::nullopt;
    const int hour = std::stoi(text.substr(0, colon));
    const int minute = std::stoi(text.substr(colon + 1));
    if (hour > 23 || minute > 59) return std::nullopt;
    return hour * 60 + minute;
}

std::string ClockTimeText(int minuteOfDay) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d:%02d", (minuteOfDay / 60) % 100, minuteOfDay % 60);
    return buf;
}

double LongitudeMinutes(double longitudeEast) { return 4.0 * (longitudeEast - kStandardMeridian); }

double EquationOfTimeMinutes(int year, int month, int day, double minuteOfDay, int standardOffsetMinutes) {
    // The Sun's low-precision coordinates of the Astronomical Almanac (section
    // C, "Sun, low precision": 0.01° in right ascension, 1950–2050, and well
    // within 10 seconds of time over 1921–2100). The equation of time is the
    // right ascension of the mean sun (its mean longitude, corrected for
    // aberration) minus the Sun's apparent right ascension; nutation moves both
    // alike and is left out.
    const double utDays = CivilDays(year, month, day).time_since_epoch().count() +
                          (minuteOfDay - standardOffsetMinutes) / double(kMinutesPerDay);
    const double n = utDays - 10957.5;  // days from J2000.0 (2000-01-01 12:00 UT)
    const double L = 280.460 + 0.9856474 * n;
    const double g = (357.528 + 0.9856003 * n) * kRad;
    const double lambda = (L + 1.915 * std::sin(g) + 0.020 * std::sin(2 * g)) * kRad;
    const double epsilon = (23.439 - 0.0000004 * n) * kRad;
    const double alpha = std::atan2(std::cos(epsilon) * std::sin(lambda), std::cos(lambda)) / kRad;
    return 4.0 * Wrap180(L - alpha);
}

int HourIndexOfMinute(int minuteOfDay) { return ((minuteOfDay + 60) / 120) % 12; }

CorrectedBirth CorrectBirthTime(const ClockBirth& clock, int summerMinutes, TimeCorrection correction,
                                double longitudeEast) {
    return CorrectBirthTime(clock, ZoneReading{9 * 60, summerMinutes}, correction, longitudeEast);
}

CorrectedBirth CorrectBirthTime(const ClockBirth& clock, const ZoneReading& zone, TimeCorrection correction,
                                double longitudeEast) {
    CorrectedBirth c;
    c.clockMinute = clock.minuteOfDay;
    c.summerMinutes = zone.summerMinutes;
    const int standard = clock.minuteOfDay + zone.summerMinutes;  // may leave the day; the date follows below
    double shift = 0;
    if (correction != TimeCorrection::kNone) {
        // Local mean time is UTC + 4 minutes per degree east; counted from the
        // zone's standard time that is 4 minutes per degree from the zone's
        // meridian (Japan: 135°E, the same figures as LongitudeMinutes).
        c.longitudeMinutes = 4.0 * longitudeEast - zone.standardOffsetMinutes;
        shift += *c.longitudeMinutes;
    }
    if (correction == TimeCorrection::kTrue) {
        c.equationMinutes =
            EquationOfTimeMinutes(clock.year, clock.month, clock.day, standard, zone.standardOffsetMinutes);
        shift += *c.equationMinutes;
    }
    const auto corrected =
        CivilDays(clock.year, clock.month, clock.day) + std::chrono::minutes{standard + std::lround(shift)};
    const auto day = std::chrono::floor<std::chrono::days>(corrected);
    c.minuteOfDay = static_cast<int>((corrected - day).count());
    const std::chrono::year_month_day date{day};
    c.year = int(date.year());
    c.month = int(unsigned(date.month()));
    c.day = int(unsigned(date.day()));
    c.hourIndex = HourIndexOfMinute(c.minuteOfDay);
    return c;
}

std::string CorrectionLine(const CorrectedBirth& c) {
    const std::string clock = ClockTimeText(c.clockMinute);
    if (!c.Corrected()) return clock + (c.zone.empty() ? "（補正なし）" : "（" + c.zone + "、補正なし）");
    std::string parts;
    auto add = [&parts](std::string part) { parts += (parts.empty() ? "" : "、") + part; };
    if (!c.zone.empty()) add(c.zone);
    if (c.summerMinutes != 0) add("夏時間 " + SignedMinutes(c.summerMinutes));
    if (c.longitudeMinutes) add("経度 " + SignedMinutes(*c.longitudeMinutes));
    if (c.equationMinutes) add("均時差 " + SignedMinutes(*c.equationMinutes));
    return clock + " → " + ClockTimeText(c.minuteOfDay) + "（" + parts + "）";
}

}  // namespace zelvara
