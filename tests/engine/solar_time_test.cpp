// Exact birth time: clock-time parsing, the longitude and equation-of-time
// corrections, and the civil date and period of the corrected moment.
#include "engine/solar_time.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#ifdef ZELVARA_HAVE_ERFA
#include <erfa.h>
#include <erfam.h>
#endif

namespace zelvara {
namespace {

TEST(SolarTime, LongitudeMinutesFromTheStandardMeridian) {
    struct Case {
        const char* place;
        double longitude;
        double minutes;
    };
    const Case cases[] = {
        {"Sapporo", 141.35, 25.4},
        {"Naha", 127.68, -29.3},
        {"Akashi", 135.0, 0.0},
        {"Nemuro", 145.58, 42.3},
    };
    for (const Case& c : cases) EXPECT_NEAR(LongitudeMinutes(c.longitude), c.minutes, 0.05) << c.place;
}

TEST(SolarTime, ClockTimesAreReadAsHoursAndMinutes) {
    struct Case {
        const char* text;
        int minute;  // −1: refused
    };
    const Case cases[] = {
        {"05:50", 350}, {"5:50", 350}, {"００：００", 0}, {" 23:59 ", 1439}, {"12:00", 720},
        {"24:00", -1},  {"12:60", -1}, {"1250", -1},      {"12:5", -1},      {"", -1},
        {"ab:cd", -1},  {"-1:00", -1}, {"123:00", -1},    {"12:00:00", -1},  {":30", -1},
    };
    for (const Case& c : cases) {
        const auto got = ParseClockTime(c.text);
        if (c.minute < 0)
            EXPECT_FALSE(got.has_value()) << c.text;
        else
            EXPECT_EQ(got.value_or(-1), c.minute) << c.text;
    }
    EXPECT_EQ(ClockTimeText(350), "05:50");
    EXPECT_EQ(ClockTimeText(0), "00:00");
}

TEST(SolarTime, PeriodOfEachMinuteOfTheDay) {
    const std::pair<int, int> cases[] = {
        {0, 0}, {59, 0}, {60, 1}, {179, 1}, {180, 2}, {570, 5}, {1319, 11}, {1379, 11}, {1380, 0}, {1439, 0},
    };
    for (auto [minute, index] : cases) EXPECT_EQ(HourIndexOfMinute(minute), index) << minute;
}

TEST(SolarTime, CorrectionWords) {
    for (TimeCorrection c : {TimeCorrection::kNone, TimeCorrection::kMean, TimeCorrection::kTrue})
        EXPECT_EQ(TimeCorrectionFromWord(TimeCorrectionWord(c)), c);
    EXPECT_FALSE(TimeCorrectionFromWord("solar").has_value());
}

struct MomentCase {
    const char* what;
    ClockBirth clock;
    int summer;
    TimeCorrection correction;
    double longitude;
    int year, month, day;
    const char* time;
    int hourIndex;
};

TEST(SolarTime, CorrectedMomentMovesTheDateAcrossMidnightAndNewYear) {
    const MomentCase cases[] = {
        {"summer time only", {1949, 7, 1, 10 * 60 + 30}, -60, TimeCorrection::kNone, 141.35, 1949, 7, 1, "09:30", 5},
        {"no correction", {1990, 5, 5, 10 * 60 + 30}, 0, TimeCorrection::kNone, 141.35, 1990, 5, 5, "10:30", 5},
        {"summer time over midnight", {1949, 7, 1, 30}, -60, TimeCorrection::kNone, 135, 1949, 6, 30, "23:30", 0},
        {"Naha back over midnight", {1990, 3, 1, 10}, 0, TimeCorrection::kMean, 127.68, 1990, 2, 28, "23:41", 0},
        {"Sapporo on to a leap day",
         {2000, 2, 28, 23 * 60 + 50},
         0,
         TimeCorrection::kMean,
         141.35,
         2000,
         2,
         29,
         "00:15",
         0},
        {"Naha back over a century's 1 March",
         {1900, 3, 1, 10},
         0,
         TimeCorrection::kMean,
         127.68,
         1900,
         2,
         28,
         "23:41",
         0},
        {"Naha back over New Year", {1960, 1, 1, 5}, 0, TimeCorrection::kMean, 127.68, 1959, 12, 31, "23:36", 0},
        {"Sapporo on over New Year",
         {1999, 12, 31, 23 * 60 + 50},
         0,
         TimeCorrection::kMean,
         141.35,
         2000,
         1,
         1,
         "00:15",
         0},
        {"Akashi mean is the clock",
         {1975, 8, 15, 12 * 60 + 59},
         0,
         TimeCorrection::kMean,
         135.0,
         1975,
         8,
         15,
         "12:59",
         6},
        // 3 November: the Sun runs about 16.4 minutes ahead of the mean sun.
        {"Akashi true time", {1975, 11, 3, 12 * 60 + 50}, 0, TimeCorrection::kTrue, 135.0, 1975, 11, 3, "13:06", 7},
        // Sapporo 00:20 in summer time: −60 + 25 crosses back into the day before.
        {"summer and longitude", {1950, 6, 1, 20}, -60, TimeCorrection::kMean, 141.35, 1950, 5, 31, "23:45", 0},
        {"period boundary moved", {1990, 5, 5, 10 * 60 + 50}, 0, TimeCorrection::kMean, 141.35, 1990, 5, 5, "11:15", 6},
    };
    for (const MomentCase& c : cases) {
        const CorrectedBirth got = CorrectBirthTime(c.clock, c.summer, c.correction, c.longitude);
        EXPECT_EQ(got.year, c.year) << c.what;
        EXPECT_EQ(got.month, c.month) << c.what;
        EXPECT_EQ(got.day, c.day) << c.what;
        EXPECT_EQ(ClockTimeText(got.minuteOfDay), c.time) << c.what;
        EXPECT_EQ(got.hourIndex, c.hourIndex) << c.what;
        EXPECT_EQ(got.longitudeMinutes.has_value(), c.correction != TimeCorrection::kNone) << c.what;
        EXPECT_EQ(got.equationMinutes.has_value(), c.correction == TimeCorrection::kTrue) << c.what;
    }
}

// A birth abroad: the clock is read in the birthplace's zone (summer time
// removed) and local mean time is UTC + 4 minutes per degree; in Japan's zone
// that is the rule above, figure for figure.
TEST(SolarTime, BirthsAbroadReadTheClockInTheirZone) {
    // New York, 3 November 1972 10:40 EST (UTC−5), 74.0°W: 10:44, 巳.
    const ClockBirth newYork{1972, 11, 3, 10 * 60 + 40};
    const CorrectedBirth mean = CorrectBirthTime(newYork, ZoneReading{-300, 0}, TimeCorrection::kMean, -74.0);
    EXPECT_EQ(ClockTimeText(mean.minuteOfDay), "10:44");
    EXPECT_EQ(mean.day, 3);
    EXPECT_EQ(mean.hourIndex, 5);
    const CorrectedBirth none = CorrectBirthTime(newYork, ZoneReading{-300, 0}, TimeCorrection::kNone, -74.0);
    EXPECT_EQ(none.hourIndex, 5);
    EXPECT_EQ(none.day, 3);
    // Summer time (EDT) removed, then 4 minutes per degree from 75°W.
    const CorrectedBirth summer =
        CorrectBirthTime(ClockBirth{1972, 7, 1, 0 * 60 + 30}, ZoneReading{-300, -60}, TimeCorrection::kMean, -74.0);
    EXPECT_EQ(summer.day, 30);
    EXPECT_EQ(ClockTimeText(summer.minuteOfDay), "23:34");
    // True solar time takes the equation of time at the zone's own instant:
    // the same UTC moment gives the same equation wherever it is read.
    const CorrectedBirth london =
        CorrectBirthTime(ClockBirth{1975, 11, 3, 3 * 60 + 50}, ZoneReading{0, 0}, TimeCorrection::kTrue, 0.0);
    const CorrectedBirth akashi =
        CorrectBirthTime(ClockBirth{1975, 11, 3, 12 * 60 + 50}, ZoneReading{540, 0}, TimeCorrection::kTrue, 135.0);
    EXPECT_DOUBLE_EQ(*london.equationMinutes, *akashi.equationMinutes);
    // In Japan's zone the longitude's minutes are the old rule's to the last bit.
    for (double longitude : {122.93, 127.68, 135.0, 139.69, 141.35, 153.98, 130.123456789})
        EXPECT_EQ(*CorrectBirthTime(ClockBirth{1990, 3, 1, 600}, ZoneReading{540, 0}, TimeCorrection::kMean, longitude)
                       .longitudeMinutes,
                  LongitudeMinutes(longitude));
    // The line names a zone other than Japan's.
    CorrectedBirth named = mean;
    named.zone = "America/New_York";
    EXPECT_EQ(CorrectionLine(named), "10:40 → 10:44（America/New_York、経度 +4分）");
}

TEST(SolarTime, CompactLineNamesEachCorrection) {
    CorrectedBirth c;
    c.clockMinute = 5 * 60 + 50;
    c.minuteOfDay = 5 * 60 + 26;
    c.summerMinutes = -60;
    c.longitudeMinutes = 25.4;
    c.equationMinutes = 10.6;
    EXPECT_EQ(CorrectionLine(c), "05:50 → 05:26（夏時間 −60分、経度 +25分、均時差 +11分）");
    c.summerMinutes = 0;
    c.equationMinutes.reset();
    c.longitudeMinutes = -29.3;
    c.minuteOfDay = 5 * 60 + 21;
    EXPECT_EQ(CorrectionLine(c), "05:50 → 05:21（経度 −29分）");
    c.longitudeMinutes.reset();
    c.minuteOfDay = c.clockMinute;
    EXPECT_EQ(CorrectionLine(c), "05:50（補正なし）");
}

TEST(SolarTime, EquationOfTimeNearItsKnownExtremes) {
    // Mid-February the Sun is about 14.2 minutes behind the mean sun, early
    // November about 16.4 minutes ahead (the classic extremes).
    EXPECT_NEAR(EquationOfTimeMinutes(2000, 2, 11, 12 * 60), -14.2, 0.3);
    EXPECT_NEAR(EquationOfTimeMinutes(2000, 11, 3, 12 * 60), 16.4, 0.3);
}

#ifdef ZELVARA_HAVE_ERFA
// Apparent minus mean solar time from ERFA: the Greenwich hour angle of the
// apparent Sun (Greenwich apparent sidereal time, IAU 2006/2000A, minus the
// Sun's right ascension on the true equator and equinox of date, from Earth's
// position of eraEpv00 with annual aberration) minus the hour angle of the
// mean sun, which is UT − 12h.
double ErfaEquationOfTime(int year, int month, int day, double minuteJst) {
    double mjd0 = 0, mjd = 0;
    EXPECT_EQ(eraCal2jd(year, month, day, &mjd0, &mjd), 0);
    const double ut = mjd + (minuteJst - 9 * 60) / 1440.0;
    const double tt = ut + 60.0 / 86400.0;  // ΔT of about a minute; the Sun moves 0.04" in that error
    double pvh[2][3], pvb[2][3];
    eraEpv00(mjd0, tt, pvh, pvb);
    double toSun[3] = {-pvh[0][0], -pvh[0][1], -pvh[0][2]};
    const double dist = eraPm(toSun);
    double unit[3], v[3], apparent[3], ofDate[3], rbpn[3][3];
    eraSxp(1.0 / dist, toSun, unit);
    eraSxp(1.0 / ERFA_DC, pvb[1], v);
    eraAb(unit, v, dist, std::sqrt(1.0 - eraPm(v) * eraPm(v)), apparent);
    eraPnm06a(mjd0, tt, rbpn);
    eraRxp(rbpn, apparent, ofDate);
    const double ra = std::atan2(ofDate[1], ofDate[0]);
    const double gast = eraGst06a(mjd0, ut, mjd0, tt);
    const double meanHourAngle = (ut - std::floor(ut) - 0.5) * ERFA_D2PI;
    return eraAnpm(gast - ra - meanHourAngle) * 1440.0 / ERFA_D2PI;
}

TEST(SolarTime, EquationOfTimeAgreesWithErfaWithinTenSeconds) {
    struct Case {
        int year, month, day, minute;
    };
    const Case cases[] = {
        {1921, 1, 6, 0},    {1921, 2, 11, 720}, {1935, 5, 14, 300},  {1948, 5, 2, 600},   {1951, 9, 8, 1380},
        {1964, 7, 26, 480}, {1975, 11, 3, 720}, {1989, 12, 24, 60},  {2000, 1, 1, 720},   {2012, 4, 15, 900},
        {2026, 9, 1, 1200}, {2050, 2, 12, 30},  {2075, 6, 13, 1000}, {2088, 10, 31, 600}, {2100, 12, 31, 1439},
    };
    double worst = 0;
    for (const Case& c : cases) {
        const double ours = EquationOfTimeMinutes(c.year, c.month, c.day, c.minute);
        const double erfa = ErfaEquationOfTime(c.year, c.month, c.day, c.minute);
        EXPECT_NEAR(ours, erfa, 10.0 / 60.0) << c.year << "-" << c.month << "-" << c.day;
        worst = std::max(worst, std::abs(ours - erfa));
    }
    // Sampled through the whole range, every 29th day.
    for (int day = 0; day < 180 * 365; day += 29) {
        const int year = 1921 + day / 365, doy = day % 365;
        const int month = 1 + doy / 31 % 12, dom = 1 + doy % 28;
        const double ours = EquationOfTimeMinutes(year, month, dom, 720);
        const double erfa = ErfaEquationOfTime(year, month, dom, 720);
        ASSERT_NEAR(ours, erfa, 10.0 / 60.0) << year << "-" << month << "-" << dom;
        worst = std::max(worst, std::abs(ours - erfa));
    }
    RecordProperty("worst_seconds", std::to_string(worst * 60.0));
}
#endif

}  // namespace
}  // namespace zelvara
