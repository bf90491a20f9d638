// The day (流日) and hour (流時) layers: the calendar day read from the shipped
// calendar files, and the layers counted on from the month layer, checked
// against dates worked by hand. Branches: 子 丑 寅 卯 辰 巳 午 未 申 酉 戌 亥.
#include "engine/calendar_day.h"
#include "engine/chart_request.h"
#include "engine/conversion.h"
#include "engine/stars.h"
#include "engine/time_layers.h"
#include "tests/recording_sink.h"
#include "tests/worked_charts.h"

#include <gtest/gtest.h>

#include <string>

namespace zelvara {
namespace {

struct Calendar {
    Calendar() : ctx(ZELVARA_DATA_DIR, sink) {}
    RecordingSink sink;
    EngineContext ctx;
    CalendarDay Day(int y, int m, int d) {
        const auto day = CalendarDayOf(ctx, {y, m, d});
        EXPECT_TRUE(day.has_value()) << y << "-" << m << "-" << d;
        return day.value_or(CalendarDay{});
    }
};

std::string Pillar(int stem, int branch) { return PillarText(stem, branch); }

// Lunar dates and day pillars of the shipped calendar, with the leap months of
// 2023 (閏2月, 2023-03-22 … 04-19) and of 2033 (閏11月, from 2033-12-22, whose
// days run into 2034).
TEST(CalendarDay, LunarDateLeapMonthAndDayPillar) {
    Calendar cal;
    const CalendarDay d = cal.Day(2027, 4, 15);
    EXPECT_EQ(d.lunarYear, 2027);
    EXPECT_EQ(d.lunarMonth, 3);
    EXPECT_EQ(d.lunarDay, 9);
    EXPECT_FALSE(d.leapMonth);
    EXPECT_EQ(Pillar(d.dayStem, d.dayBranch), "甲子");

    const CalendarDay last = cal.Day(2023, 3, 21);
    EXPECT_EQ(last.lunarMonth, 2);
    EXPECT_EQ(last.lunarDay, 30);
    EXPECT_FALSE(last.leapMonth);
    const CalendarDay leap = cal.Day(2023, 3, 22);
    EXPECT_EQ(leap.lunarMonth, 2);
    EXPECT_EQ(leap.lunarDay, 1);
    EXPECT_TRUE(leap.leapMonth);
    EXPECT_EQ(Pillar(leap.dayStem, leap.dayBranch), "己卯");
    const CalendarDay leapEnd = cal.Day(2023, 4, 19);  // the civil month began inside the leap month
    EXPECT_EQ(leapEnd.lunarDay, 29);
    EXPECT_TRUE(leapEnd.leapMonth);
    const CalendarDay after = cal.Day(2023, 4, 20);
    EXPECT_EQ(after.lunarMonth, 3);
    EXPECT_EQ(after.lunarDay, 1);
    EXPECT_FALSE(after.leapMonth);

    const CalendarDay january = cal.Day(2034, 1, 5);
    EXPECT_EQ(january.lunarYear, 2033);
    EXPECT_EQ(january.lunarMonth, 11);
    EXPECT_TRUE(january.leapMonth);

    // The days before the lunar new year belong to the lunar year before. The
    // new moon of 2027-02-07 00:56 in Japan (6 February in China) begins 2027.
    const CalendarDay eve = cal.Day(2027, 2, 6);
    EXPECT_EQ(eve.lunarYear, 2026);
    EXPECT_EQ(eve.lunarMonth, 12);
    EXPECT_EQ(eve.lunarDay, 30);
    const CalendarDay newYear = cal.Day(2027, 2, 7);
    EXPECT_EQ(newYear.lunarYear, 2027);
    EXPECT_EQ(newYear.lunarMonth, 1);
    EXPECT_EQ(newYear.lunarDay, 1);

    for (const CivilDate bad :
         {CivilDate{1921, 1, 5}, CivilDate{2101, 1, 1}, CivilDate{2027, 2, 29}, CivilDate{2027, 13, 1}})
        EXPECT_FALSE(CalendarDayOf(cal.ctx, bad).has_value()) << bad.year << "-" << bad.month << "-" << bad.day;
    EXPECT_EQ(cal.sink.Count(), 0u) << cal.sink.Last();
}

// The day pillar and the hour stem of a birth cast on the same day agree with
// the calendar day and the 五鼠遁 rule.
// The leap months the calendar holds, each agreeing with the days inside it:
// the 流月 picker offers them, so one missed or invented would show a month
// that is not there. 2033's leap 11th month begins in December; 2034 has none.
TEST(CalendarDay, LeapMonthsOfTheYears) {
    Calendar cal;
    const std::vector<LeapMonth> leaps = LeapMonthsOf(cal.ctx, 2012, 2034);
    // 2012 has 閏3月 in Japan's lunar calendar (閏4月 in China's).
    const std::vector<LeapMonth> expected = {{2012, 3}, {2014, 9}, {2017, 5}, {2020, 4}, {2023, 2},
                                             {2025, 6}, {2028, 5}, {2031, 3}, {2033, 11}};
    EXPECT_EQ(leaps, expected);
    EXPECT_TRUE(cal.Day(2023, 3, 22).leapMonth);
    EXPECT_TRUE(cal.Day(2012, 4, 21).leapMonth);
    EXPECT_EQ(cal.Day(2012, 4, 21).lunarMonth, 3);
    EXPECT_TRUE(cal.Day(2034, 1, 10).leapMonth);  // 閏11月 of 2033
    EXPECT_EQ(cal.Day(2034, 1, 10).lunarYear, 2033);
    // Over the whole calendar about seven in nineteen years have one, never two.
    const std::vector<LeapMonth> all = LeapMonthsOf(cal.ctx, kFirstCalendarYear, kLastChartYear);
    EXPECT_GT(all.size(), size_t(60));
    EXPECT_LT(all.size(), size_t(72));
    for (size_t i = 1; i < all.size(); ++i) EXPECT_LT(all[i - 1].lunarYear, all[i].lunarYear);
    EXPECT_EQ(cal.sink.Count(), 0u);
}

TEST(CalendarDay, PillarsAgreeWithACastBirth) {
    for (const CivilDate date :
         {CivilDate{1959, 5, 7}, CivilDate{2000, 2, 29}, CivilDate{2023, 3, 22}, CivilDate{2099, 12, 31}}) {
        Calendar cal;
        const CalendarDay day = cal.Day(date.year, date.month, date.day);
        for (int hourIndex : {0, 5, 11}) {
            ASSERT_TRUE(
                CastChart(cal.ctx, {.year = date.year, .month = date.month, .day = date.day, .hourIndex = hourIndex}))
                << date.year;
            EXPECT_EQ(day.dayStem, cal.ctx.man.stems.day) << date.year;
            EXPECT_EQ(day.dayBranch, cal.ctx.man.branches.day) << date.year;
            EXPECT_EQ(day.lunarMonth, cal.ctx.man.lunarMonth) << date.year;
            EXPECT_EQ(day.lunarDay, cal.ctx.man.lunarDay) << date.year;
            EXPECT_EQ(HourStem(day.dayStem, hourIndex + 1), cal.ctx.man.stems.hour) << date.year << " " << hourIndex;
        }
    }
}

// 五鼠遁 written out, and the engine's own table of hour pillars.
TEST(CalendarDay, HourStemsAndClockHours) {
    const char* const kFirstHour[] = {"甲", "丙", "戊", "庚", "壬", "甲", "丙", "戊", "庚", "壬"};
    for (int stem = 1; stem <= kStems; ++stem)
        EXPECT_EQ(std::string(kStemNames[HourStem(stem, 1)]), kFirstHour[stem - 1]);
    EXPECT_EQ(Pillar(HourStem(1, 6), 6), "己巳");
    EXPECT_EQ(Pillar(HourStem(1, 12), 12), "乙亥");
    RecordingSink sink;
    EngineContext ctx("", sink);
    BuildHourPillarTable(ctx);
    for (int stem = 1; stem <= kStems; ++stem)
        for (int h = 0; h < kHours; ++h)
            EXPECT_EQ(Pillar(HourStem(stem, h + 1), h + 1), ctx.timedt.hourPillar[h][StemPairGroup(stem)]);
    EXPECT_EQ(HourStem(0, 1), 0);
    EXPECT_EQ(HourStem(1, 13), 0);

    EXPECT_EQ(HourBranchOfClock(23), 1);
    EXPECT_EQ(HourBranchOfClock(0), 1);
    EXPECT_EQ(HourBranchOfClock(1), 2);
    EXPECT_EQ(HourBranchOfClock(10), 6);
    EXPECT_EQ(HourBranchOfClock(22), 12);
    EXPECT_EQ(HourBranchOfClock(24), 0);
    EXPECT_EQ(HourBranchOfClock(-1), 0);
}

// The first worked chart (甲子 year, lunar month 1, 卯 hour, 命宮 亥): palaces
// 父母 子, 命宮 亥, 兄弟 戌, 夫妻 酉, 子女 申, 財帛 未, 疾厄 午, 遷移 巳, 奴僕 辰,
// 官禄 卯, 田宅 寅, 福徳 丑.
Tmandata FirstWorkedChart() { return test::PlacedChart(1, 1, 3, 4, 1, 6, 'M', 3); }

CalendarDay DayOf(int lunarYear, int month, bool leap, int day, int stem, int branch, CivilDate date) {
    return CalendarDay{date, lunarYear, month, leap, day, stem, branch};
}

// 2027 (丁未): 斗君 戌, month 3 on 子. Lunar 3/1 (2027-04-07, 丙辰) stands on
// 子 (父母) itself; 3/9 (2027-04-15, 甲子) eight on, on 申 (子女), and flies
// 甲's 廉貞 破軍 武曲 太陽.
TEST(DayLayers, DayCountsOnFromTheMonthPalace) {
    const Tmandata man = FirstWorkedChart();
    const auto first = DayLayer(man, DayOf(2027, 3, false, 1, 3, 5, {2027, 4, 7}));
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->lifePalace, MonthLayer(man, 2027, 3)->lifePalace);
    EXPECT_EQ(first->lifePalace, 1);
    EXPECT_EQ(first->stem, 3);
    EXPECT_EQ(LayerCaption(*first), "流日2027年4月7日（旧暦3月1日、丙辰）");

    const auto ninth = DayLayer(man, DayOf(2027, 3, false, 9, 1, 1, {2027, 4, 15}));
    ASSERT_TRUE(ninth.has_value());
    EXPECT_EQ(ninth->lifePalace, 5);
    EXPECT_EQ(ninth->transformStar, (std::array<int, 5>{0, 6, 14, 4, 3}));
    EXPECT_EQ(LayerPalaceName(LayerKind::Day, ninth->layerPalace[5]), "日命");
    EXPECT_EQ(LayerPalaceName(LayerKind::Day, ninth->layerPalace[4]), "日父");  // 酉, one on from 申
    EXPECT_EQ(LayerPalaceName(LayerKind::Day, ninth->layerPalace[6]), "日兄");  // 未, one back

    EXPECT_FALSE(DayLayer(man, DayOf(2027, 3, false, 0, 1, 1, {2027, 4, 15})).has_value());
    EXPECT_FALSE(DayLayer(man, DayOf(2027, 13, false, 9, 1, 1, {2027, 4, 15})).has_value());
    EXPECT_FALSE(DayLayer(Tmandata{}, DayOf(2027, 3, false, 9, 1, 1, {2027, 4, 15})).has_value());
}

// 2023 (癸卯): 斗君 午, month 2 on 未. The leap second month counts as the
// second: 閏2/1 (2023-03-22, 己卯) on 未 (財帛), 閏2/15 (2023-04-05, 癸巳) on
// 酉 (夫妻); the last day of the second month itself, 2/30, on 子 (父母).
TEST(DayLayers, LeapMonthCountsAsTheMonthItRepeats) {
    const Tmandata man = FirstWorkedChart();
    Calendar cal;
    const auto leapFirst = DayLayer(man, cal.Day(2023, 3, 22));
    ASSERT_TRUE(leapFirst.has_value());
    EXPECT_EQ(leapFirst->lifePalace, 6);
    EXPECT_EQ(std::string(kStemNames[leapFirst->stem]), "己");
    EXPECT_EQ(LayerCaption(*leapFirst), "流日2023年3月22日（旧暦閏2月1日、己卯）");
    EXPECT_EQ(DayLayer(man, cal.Day(2023, 4, 5))->lifePalace, 4);
    EXPECT_EQ(DayLayer(man, cal.Day(2023, 3, 21))->lifePalace, 1);
}

// The hour counts on from the day's palace, 子 standing there. 2027-04-15 (甲子
// day, on 申): 子 hour 甲子 on 申 (子女), 巳 hour 己巳 on 丑 (福徳). 23:00
// belongs to the 子 hour of the same day, as for a birth.
TEST(DayLayers, HourCountsOnFromTheDayPalace) {
    const Tmandata man = FirstWorkedChart();
    const CalendarDay day = DayOf(2027, 3, false, 9, 1, 1, {2027, 4, 15});
    const auto rat = HourLayer(man, day, 1);
    ASSERT_TRUE(rat.has_value());
    EXPECT_EQ(rat->lifePalace, 5);
    EXPECT_EQ(Pillar(rat->stem, rat->branch), "甲子");
    const auto snake = HourLayer(man, day, 6);
    EXPECT_EQ(snake->lifePalace, 12);
    EXPECT_EQ(Pillar(snake->stem, snake->branch), "己巳");
    EXPECT_EQ(snake->transformStar, (std::array<int, 5>{0, 4, 9, 12, 17}));
    EXPECT_EQ(LayerCaption(*snake), "流時2027年4月15日巳時（己巳）");
    EXPECT_EQ(LayerPalaceName(LayerKind::Hour, snake->layerPalace[12]), "時命");
    EXPECT_FALSE(HourLayer(man, day, 0).has_value());
    EXPECT_FALSE(HourLayer(man, day, 13).has_value());

    Calendar cal;
    const CalendarDay real = cal.Day(2027, 4, 15);
    LayerChoice night;
    night.kind = LayerKind::Hour;
    night.date = {2027, 4, 15};
    night.clockHour = 23;
    LayerChoice midnight = night;
    midnight.clockHour = 0;
    const auto late = LayerOf(man, night, real);
    ASSERT_TRUE(late.has_value());
    EXPECT_EQ(late->lifePalace, 5);
    EXPECT_EQ(Pillar(late->stem, late->branch), "甲子");
    EXPECT_EQ(LayerOf(man, midnight, real)->lifePalace, 5);
    // Without its calendar day, or with another day's, no layer is laid.
    EXPECT_FALSE(LayerOf(man, night).has_value());
    EXPECT_FALSE(LayerOf(man, night, cal.Day(2027, 4, 16)).has_value());
}

TEST(DayLayers, ChoicesFromText) {
    const auto day = ParseLayerChoice("day:2027-04-15");
    ASSERT_TRUE(day.has_value());
    EXPECT_EQ(day->kind, LayerKind::Day);
    EXPECT_EQ(day->date.year, 2027);
    EXPECT_EQ(day->date.month, 4);
    EXPECT_EQ(day->date.day, 15);
    const auto hour = ParseLayerChoice("hour:2027-4-5:23");
    ASSERT_TRUE(hour.has_value());
    EXPECT_EQ(hour->kind, LayerKind::Hour);
    EXPECT_EQ(hour->date.day, 5);
    EXPECT_EQ(hour->clockHour, 23);
    EXPECT_EQ(ParseLayerChoice("hour:1921-01-06:0")->clockHour, 0);
    EXPECT_TRUE(ParseLayerChoice("day:2100-12-31").has_value());
    for (const char* bad :
         {"day:", "day:2027-04", "day:2027-02-29", "day:2027-13-01", "day:2027-04-31", "day:1921-01-05",
          "day:2101-01-01", "day:2027-04-15:3", "day:2027/04/15", "hour:2027-04-15",
          "hour:2027-04-15:", "hour:2027-04-15:24", "hour:2027-04-15:-1", "hour:2027-04-15:100", "hour:2027-02-30:5"})
        EXPECT_FALSE(ParseLayerChoice(bad).has_value()) << bad;

    Calendar cal;
    const Chart chart(FirstWorkedChart(), 0, 0);
    EXPECT_EQ(ChartLayerOf(cal.ctx, chart, *ParseLayerChoice("day:2027-04-15"))->lifePalace, 5);
    EXPECT_EQ(ChartLayerOf(cal.ctx, chart, *ParseLayerChoice("hour:2027-04-15:10"))->lifePalace, 12);
    EXPECT_EQ(ChartLayerOf(cal.ctx, chart, *ParseLayerChoice("year:2027"))->lifePalace, 6);
}

}  // namespace
}  // namespace zelvara
