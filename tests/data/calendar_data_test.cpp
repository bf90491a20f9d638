// The shipped calendar data files: every one loads, and together they form one
// continuous, self-consistent almanac. The same checks run over the second set
// (the lunar months reckoned at 120°E) when ZELVARA_CALENDAR_SET names its
// folder (calendar-120e), whose solar-term lines must equal the first set's.
#include "engine/calendar_file.h"
#include "engine/chart_request.h"
#include "engine/context.h"
#include "engine/conversion.h"
#include "tests/recording_sink.h"

#ifdef ZELVARA_HAVE_CALGEN
#include "tools/calgen/almanac.h"
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using zelvara::CalendarYear;

constexpr int kFirstYear = 1921;
constexpr int kLastYear = 2101;
const std::string kSet = std::getenv("ZELVARA_CALENDAR_SET") ? std::getenv("ZELVARA_CALENDAR_SET") : "";
const std::string kDataDir = std::string(ZELVARA_DATA_DIR) + (kSet.empty() ? "" : "/" + kSet);

std::string ReadFile(int year, const std::string& folder = kDataDir) {
    std::ifstream f(folder + "/" + std::to_string(year) + ".eto", std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// All files parsed once, by year.
const std::map<int, CalendarYear>& Years() {
    static const std::map<int, CalendarYear> years = [] {
        std::map<int, CalendarYear> m;
        for (int y = kFirstYear; y <= kLastYear; ++y) {
            std::string message;
            CalendarYear cy;
            const std::string path = kDataDir + "/" + std::to_string(y) + ".eto";
            if (zelvara::ParseCalendarLines(zelvara::SplitCalendarLines(ReadFile(y)), path, 2, cy, message) == 0)
                m[y] = cy;
        }
        return m;
    }();
    return years;
}

int Cycle(int stem, int branch) {  // 0 = 甲子 … 59 = 癸亥
    for (int i = 0; i < 60; ++i)
        if (i % 10 + 1 == stem && i % 12 + 1 == branch) return i;
    return -1;
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

std::string Where(int y, int m) { return std::to_string(y) + "-" + std::to_string(m); }

TEST(CalendarData, EveryYearLoadsWithoutAMessage) {
    RecordingSink sink;
    zelvara::EngineContext ctx(kDataDir, sink);
    for (int y = kFirstYear; y < kLastYear; ++y) {
        EXPECT_EQ(zelvara::LoadCalendarYears(ctx, y), 0) << "year " << y;
        ASSERT_TRUE(sink.shown.empty()) << "year " << y << ": " << sink.shown.front().text;
    }
    EXPECT_EQ(Years().size(), static_cast<size_t>(kLastYear - kFirstYear + 1));
}

TEST(CalendarData, FilesAreTwentyFiveAsciiCrLfLinesWithPlainNumbers) {
    for (int y = kFirstYear; y <= kLastYear; ++y) {
        const std::string text = ReadFile(y);
        int lines = 0;
        size_t start = 0;
        for (size_t pos; (pos = text.find("\r\n", start)) != std::string::npos; start = pos + 2) {
            const std::string line = text.substr(start, pos - start);
            ++lines;
            for (size_t i = 0; i < line.size(); ++i) {
                const char c = line[i];
                ASSERT_TRUE((c >= '0' && c <= '9') || c == ':' || c == '-' || c == '/' || c == ',' ||
                            (i == 0 && lines == 1))
                    << y << " line " << lines << ": " << line;
                const bool numberStart = c >= '0' && c <= '9' && (i == 0 || line[i - 1] < '0' || line[i - 1] > '9');
                if (numberStart && c == '0') ADD_FAILURE() << y << " line " << lines << " has a leading zero: " << line;
            }
        }
        EXPECT_EQ(start, text.size()) << y << ": text after the last CR LF or a bare LF";
        EXPECT_EQ(lines, 25) << y;
    }
}

TEST(CalendarData, YearAndMonthPillarsFollowTheSexagenaryRules) {
    const auto& years = Years();
    int previousMonthCycle = -1;
    for (const auto& [y, cy] : years) {
        const int yearCycle = ((y - 4) % 60 + 60) % 60;
        EXPECT_EQ(Cycle(cy.yearStem, cy.yearBranch), yearCycle) << y;
        // The 寅 month's stem follows from the year stem (甲己 → 丙寅, 乙庚 → 戊寅, …).
        const auto& feb = cy.monthInfo[2];
        EXPECT_EQ(feb.branch, 3) << y;
        EXPECT_EQ(feb.stem, ((cy.yearStem - 1) % 5 * 2 + 2) % 10 + 1) << y << " year stem " << cy.yearStem;
        for (int m = 1; m <= 12; ++m) {
            const auto& mi = cy.monthInfo[m];
            EXPECT_EQ(mi.branch, m % 12 + 1) << Where(y, m);
            const int c = Cycle(mi.stem, mi.branch);
            ASSERT_GE(c, 0) << Where(y, m) << " month pillar " << mi.stem << "-" << mi.branch;
            if (previousMonthCycle >= 0) {
                EXPECT_EQ(c, (previousMonthCycle + 1) % 60) << Where(y, m);
            }
            previousMonthCycle = c;
        }
    }
}

TEST(CalendarData, TermsAndMonthLengthsArePlausible) {
    for (const auto& [y, cy] : Years())
        for (int m = 1; m <= 12; ++m) {
            const auto& mi = cy.monthInfo[m];
            const int days = m == 2 ? (LeapYear(y) ? 29 : 28) : (m == 4 || m == 6 || m == 9 || m == 11 ? 30 : 31);
            EXPECT_EQ(mi.monthDays, days) << Where(y, m);
            // 立春 falls on 3 February in 2021 and some later years; no 節 lies before the 3rd or after the 9th.
            EXPECT_GE(mi.termDay, 3) << Where(y, m);
            EXPECT_LE(mi.termDay, 9) << Where(y, m);
            if (m != 2) {
                EXPECT_GE(mi.termDay, 4) << Where(y, m);
            }
            EXPECT_GE(mi.termHour, 1) << Where(y, m);
            EXPECT_LE(mi.termHour, 12) << Where(y, m);
        }
}

// Walks from the 1st of each month to the 1st of the next (across years) and
// checks the day pillar and the lunar date that the first line implies.
TEST(CalendarData, DayPillarsAndLunarDatesContinueFromMonthToMonth) {
    const auto& years = Years();
    int leapMonths = 0;
    for (int y = kFirstYear; y <= kLastYear; ++y)
        for (int m = 1; m <= 12; ++m) {
            if (y == kLastYear && m == 12) break;
            const auto& cy = years.at(y);
            const auto& next = m == 12 ? years.at(y + 1).firstDayInfo[1] : cy.firstDayInfo[m + 1];
            const auto& d = cy.firstDayInfo[m];
            const int days = cy.monthInfo[m].monthDays;
            const std::string at = Where(y, m);
            EXPECT_EQ(Cycle(next.stem, next.branch), (Cycle(d.stem, d.branch) + days) % 60) << at;
            ASSERT_TRUE(d.lunarMonthDays == 29 || d.lunarMonthDays == 30) << at << " " << d.lunarMonthDays;
            ASSERT_TRUE(d.nextLunarMonthDays == 29 || d.nextLunarMonthDays == 30) << at << " " << d.nextLunarMonthDays;
            ASSERT_GE(d.lunarDay, 1);
            ASSERT_LE(d.lunarDay, d.lunarMonthDays) << at;
            int lunarDay = d.lunarDay + days;
            if (lunarDay <= d.lunarMonthDays) {
                EXPECT_EQ(next.lunarMonth, d.lunarMonth) << at;
                EXPECT_EQ(next.lunarDay, lunarDay) << at;
                EXPECT_EQ(next.lunarMonthDays, d.lunarMonthDays) << at;
                EXPECT_EQ(next.nextLunarMonthDays, d.nextLunarMonthDays) << at;
                continue;
            }
            lunarDay -= d.lunarMonthDays;
            const bool leap = next.lunarMonth == d.lunarMonth;
            if (leap) ++leapMonths;
            if (lunarDay <= d.nextLunarMonthDays) {
                EXPECT_TRUE(leap || next.lunarMonth == d.lunarMonth % 12 + 1)
                    << at << ": lunar month " << d.lunarMonth << " followed by " << next.lunarMonth;
                EXPECT_EQ(next.lunarDay, lunarDay) << at;
                EXPECT_EQ(next.lunarMonthDays, d.nextLunarMonthDays) << at;
            } else {
                // Two new moons in one civil month: the 1st of the next lies in a third lunar month.
                lunarDay -= d.nextLunarMonthDays;
                EXPECT_EQ(next.lunarDay, lunarDay) << at;
                EXPECT_NE(next.lunarMonth, d.lunarMonth) << at;
            }
        }
    // 7 leap months in 19 years: about 66 in 180 years.
    EXPECT_GE(leapMonths, 60);
    EXPECT_LE(leapMonths, 70);
}

std::vector<std::string> Lines(int year) {
    std::vector<std::string> out;
    for (const auto& l : zelvara::SplitCalendarLines(ReadFile(year))) out.push_back(l);
    return out;
}

TEST(CalendarData, AgreesWithIndependentlyKnownFacts) {
    struct Fact {
        const char* what;
        int year;
        int lineIndex;
        std::string expected;  // the start of the line, or a part of it when it begins with ':'
    };
    const Fact facts[] = {
        // Day pillars (continuous cycle: 2000-01-01 戊午, 1949-10-01 甲子).
        {"2000-01-01 is 戊午", 2000, 3, "5-7:"},
        {"1949-10-01 is 甲子", 1949, 21, "1-1:"},
        // 立春: 4 Feb 2000 21:40 JST (亥); 3 Feb 2021 23:59 JST (子), the first 3 February since 1897.
        {"立春 2000", 2000, 4, "5-3:4:12:"},
        {"立春 2021", 2021, 4, "7-3:3:1:"},
        {"立春 1984 (甲子 year)", 1984, 1, "S59:1-1"},
        // Leap months: 閏2月 of 2023 began on 22 March; 閏4月 of 2020 on 23 May.
        {"2023-03-01 is 2/10", 2023, 7, ":2/10-"},
        {"2023-04-01 is 閏2/11", 2023, 9, ":2/11-"},
        {"2020-05-01 is 4/9", 2020, 11, ":4/9-"},
        {"2020-06-01 is 閏4/10", 2020, 13, ":4/10-"},
        // Eras.
        {"1925 is 大正14", 1925, 1, "T14:"},
        {"1926 is 昭和1 on 31 December", 1926, 1, "S1:"},
        {"1989 is 平成1", 1989, 1, "H1:"},
        {"2019 is 令和1", 2019, 1, "R1:"},
    };
    for (const Fact& f : facts) {
        const auto lines = Lines(f.year);
        ASSERT_GE(lines.size(), static_cast<size_t>(f.lineIndex)) << f.what;
        const std::string& got = lines[static_cast<size_t>(f.lineIndex - 1)];
        if (f.expected[0] == ':')
            EXPECT_NE(got.find(f.expected), std::string::npos) << f.what << ": line is " << got;
        else
            EXPECT_EQ(got.substr(0, f.expected.size()), f.expected) << f.what << ": line is " << got;
    }
}

TEST(CalendarData, Year2033HasALeapEleventhMonth) {
    // 22 Nov 2033 begins month 11 (it holds 冬至), 22 Dec 2033 its leap repeat,
    // 20 Jan 2034 month 12, 20 Mar 2034 month 2 (it holds 春分).
    const auto& years = Years();
    const auto& dec = years.at(2033).firstDayInfo[12];
    EXPECT_EQ(dec.lunarMonth, 11) << "2033-12-01";
    EXPECT_EQ(dec.lunarDay, 10) << "2033-12-01";
    const auto& jan = years.at(2034).firstDayInfo[1];
    EXPECT_EQ(jan.lunarMonth, 11) << "2034-01-01 lies in the leap 11th month";
    EXPECT_EQ(jan.lunarDay, 11) << "2034-01-01";
    const auto& feb = years.at(2034).firstDayInfo[2];
    EXPECT_EQ(feb.lunarMonth, 12) << "2034-02-01";
    const auto& apr = years.at(2034).firstDayInfo[4];
    EXPECT_EQ(apr.lunarMonth, 2) << "2034-04-01";
    EXPECT_EQ(apr.lunarDay, 13) << "2034-04-01";
}

// The chart's lunar date of every civil month, as the conversion expands it,
// runs on into the 1st of the next month as the files give it (the leap 11th
// month that begins on 2033-12-22 included).
TEST(CalendarData, ChartLunarDatesRunOnIntoTheNextMonth) {
    zelvara::SilentSink sink;
    zelvara::EngineContext ctx(kDataDir, sink);
    for (int y = kFirstYear; y <= zelvara::kLastChartYear; ++y) {
        ASSERT_EQ(zelvara::LoadCalendarYears(ctx, y), 0) << y;
        for (int m = 1; m <= 12; ++m) {
            zelvara::ExpandLunarMonth(ctx, 2, m);
            const auto& slot = ctx.reki.slot[2];
            const auto& next = m == 12 ? ctx.reki.slot[3].firstDayInfo[1] : slot.firstDayInfo[m + 1];
            const std::string last = slot.lunarText[slot.monthInfo[m].monthDays].str();
            if (next.lunarDay == 1) continue;  // the next month begins with a new lunar month
            EXPECT_EQ(last, std::to_string(next.lunarMonth) + "/" + std::to_string(next.lunarDay - 1)) << Where(y, m);
        }
    }
}

// Births in the leap 11th month of 2033 read lunar month 11, with the body
// palace of month 11; the 12th month begins on 2034-01-20.
TEST(CalendarData, December2033BirthsLieInTheLeapEleventhMonth) {
    struct Birth {
        const char* date;
        int lunarMonth, lunarDay;
    };
    const Birth births[] = {{"2033/12/20", 11, 29}, {"2033/12/21", 11, 30}, {"2033/12/22", 11, 1},
                            {"2033/12/25", 11, 4},  {"2033/12/31", 11, 10}, {"2034/1/1", 11, 11},
                            {"2034/1/19", 11, 29},  {"2034/1/20", 12, 1}};
    RecordingSink sink;
    zelvara::EngineContext ctx(kDataDir, sink);
    ctx.FixToday({2026, 1, 1});
    std::map<std::pair<int, int>, int> bodyOfMonthAndHour;  // a lunar month's births share a body palace per hour
    for (const Birth& b : births)
        for (int hour = 0; hour < zelvara::kHours; ++hour) {
            const std::string date = b.date;
            zelvara::BirthInput in{"試験",
                                   hour % 2 ? "男" : "女",
                                   date.substr(0, 4),
                                   "",
                                   "",
                                   std::string(zelvara::kHourPeriodTexts[hour])};
            const size_t a = date.find('/', 5);
            in.month = date.substr(5, a - 5);
            in.day = date.substr(a + 1);
            ASSERT_TRUE(zelvara::RequestChart(ctx, in).has_value()) << date;
            EXPECT_EQ(ctx.man.lunarMonth, b.lunarMonth) << date;
            EXPECT_EQ(ctx.man.lunarDay, b.lunarDay) << date;
            const auto known = bodyOfMonthAndHour.emplace(std::pair{b.lunarMonth, hour}, ctx.man.bodyPalace).first;
            EXPECT_EQ(ctx.man.bodyPalace, known->second) << date << " hour " << hour;
            if (date == "2033/12/25" && hour == 3) {
                EXPECT_EQ(ctx.man.bodyPalace, 4) << "卯";
            }
        }
    EXPECT_NE(bodyOfMonthAndHour.at({11, 3}), bodyOfMonthAndHour.at({12, 3}));
    EXPECT_TRUE(sink.shown.empty()) << sink.shown.front().text;
}

// The second set differs from the first in the lunar dates only: the year
// line and the month lines (pillars and term entries in JST) are the same.
TEST(CalendarData, SecondSetKeepsTheFirstSetsTermLines) {
    if (kSet.empty()) GTEST_SKIP() << "the first set";
    for (int y = kFirstYear; y <= kLastYear; ++y) {
        const auto lines = Lines(y);
        const auto first = zelvara::SplitCalendarLines(ReadFile(y, ZELVARA_DATA_DIR));
        ASSERT_EQ(lines.size(), first.size()) << y;
        for (size_t i = 0; i < lines.size(); i += 2 - (i == 0)) EXPECT_EQ(lines[i], first[i]) << y << " line " << i + 1;
    }
}

#ifdef ZELVARA_HAVE_CALGEN
TEST(CalendarData, RegeneratingASampleGivesIdenticalFiles) {
    const double lunarZone = kSet.empty() ? calgen::kJstOffsetDays : calgen::kCstOffsetDays;
    for (int y : {1921, 1965, 2033, 2101}) {
        const calgen::Almanac al = calgen::BuildAlmanac(y, y, 0.0, lunarZone);
        EXPECT_EQ(calgen::FormatYearFile(y, al), ReadFile(y)) << "year " << y;
    }
}
#endif

}  // namespace
