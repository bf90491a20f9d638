// The conventions a chart is cast by: the words of every switch, the standard
// set leaving every chart as it was, and each switch against births worked by
// hand on the shipped calendar (2023 has a leap 2nd month, 2023-03-22 to
// 04-19; 立春 2024 is 02-04 and its lunar New Year 02-10).
#include "engine/conventions.h"
#include "engine/calendar_file.h"
#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "engine/conversion.h"
#include "engine/palaces.h"
#include "engine/time_layers.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

namespace zelvara::test {
namespace {

struct Calendar {
    Calendar() : ctx(ZELVARA_DATA_DIR, sink) { ctx.FixToday({2026, 12, 9}); }
    Tmandata Cast(int y, int m, int d, int hourIndex, const Conventions& c = {}, bool lateHour = false) {
        ChartRequest request;
        request.year = y;
        request.month = m;
        request.day = d;
        request.hourIndex = hourIndex;
        request.conventions = c;
        request.lateHour = lateHour;
        const CastOutcome chart = CastChart(ctx, request);
        EXPECT_TRUE(chart) << y << "/" << m << "/" << d << " " << sink.Last();
        return chart ? chart->Man() : Tmandata{};
    }
    RecordingSink sink;
    EngineContext ctx;
};

Conventions With(std::string_view key, std::string_view word) {
    Conventions c;
    EXPECT_TRUE(SetConvention(c, key, word)) << key << "=" << word;
    return c;
}

int LifePalace(const Tmandata& man) { return man.palaceBranch[kLifePalace]; }

TEST(ConventionWords, EveryWordReadsBackAndBadItemsAreNamed) {
    for (const ConventionSwitch& s : ConventionSwitches()) {
        ASSERT_GE(s.words.size(), 2u) << s.key;
        for (std::string_view word : s.words) {
            const Conventions c = With(s.key, word);
            EXPECT_EQ(ConventionWord(c, s.key), word);
            EXPECT_EQ(c.IsStandard(), word == s.words[0]) << s.key << "=" << word;
            const auto back = ParseConventionsText(ConventionsText(c));
            ASSERT_TRUE(back) << ConventionsText(c);
            EXPECT_EQ(*back, c) << ConventionsText(c);
        }
    }
    EXPECT_EQ(ConventionsText({}), "");
    const auto spaced = ParseConventionsText(" palace-month = lunar-split , year-start=lunar-new-year;");
    ASSERT_TRUE(spaced);
    EXPECT_EQ(spaced->palaceMonth, PalaceMonth::kLunarSplit);
    EXPECT_EQ(spaced->yearStart, YearStart::kLunarNewYear);
    std::string bad;
    EXPECT_FALSE(ParseConventionsText("year-start=lunar-new-year;meridian=121", &bad));
    EXPECT_EQ(bad, "meridian=121");
    EXPECT_FALSE(ParseConventionsText("palace", &bad));
    EXPECT_EQ(bad, "palace");
    Conventions unchanged;
    EXPECT_FALSE(SetConvention(unchanged, "year-start", "立春"));
    EXPECT_TRUE(unchanged.IsStandard());
    EXPECT_EQ(ConventionsLine(kStandardProfileName, {}),
              "標準：命宮 節月・年 立春・23時 当日・旧暦 135°E・四化 戊科太陽 庚科天府 壬科天府・補正 なし");
}

// A set that is not the standard one but whose switches decide nothing for a
// chart takes the cast through every branch the conventions add; the charts
// must be the standard ones, field by field, over every day and hour of two
// years (with a leap month each: 2023 the 2nd, 1984 the 10th).
TEST(StandardConventions, ChartsStayAsTheyWere) {
    Calendar cal;
    Conventions onlyCorrection;
    onlyCorrection.correction = TimeCorrection::kTrue;
    for (int y : {1984, 2023})
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= DaysInCivilMonth(y, m); ++d)
                for (int h = 0; h < kHours; h += 5) {
                    const Tmandata a = cal.Cast(y, m, d, h);
                    const Tmandata b = cal.Cast(y, m, d, h, onlyCorrection, true);
                    ASSERT_EQ(a.palaceBranch, b.palaceBranch) << y << "/" << m << "/" << d << " " << h;
                    ASSERT_EQ(a.starBranch, b.starBranch);
                    ASSERT_EQ(a.minorBranch, b.minorBranch);
                    ASSERT_EQ(a.transformStar, b.transformStar);
                    ASSERT_EQ(b.transformMinor, (std::array<int, 5>{}));
                    ASSERT_EQ(a.bodyPalace, b.bodyPalace);
                    ASSERT_EQ(a.bureau, b.bureau);
                    ASSERT_EQ(std::tie(a.lunarMonth, a.lunarDay, a.stems.year, a.stems.day, a.stems.hour),
                              std::tie(b.lunarMonth, b.lunarDay, b.stems.year, b.stems.day, b.stems.hour));
                    ASSERT_EQ(a.luckAge, b.luckAge);
                }
}

// 2023-04-10 is the 20th and 2023-03-28 the 7th of the leap 2nd month; at the
// 卯 hour the solar-term month (辰 after 清明 on 04-05, 卯 before) puts 命宮 on
// 丑 and 子. By the lunar month: 2nd month 子, 3rd month 丑.
TEST(PalaceMonthConvention, LeapMonthRules) {
    Calendar cal;
    constexpr int kMao = 3;  // hour index of 05:00-07:00
    struct Case {
        std::string_view word;
        int lateInLeap, earlyInLeap;  // 命宮 branches of 04-10 and 03-28
        int bodyLate;
    };
    for (const Case& c : {Case{"solar-term", 2, 1, 7}, Case{"lunar", 1, 1, 7}, Case{"lunar-next", 2, 2, 8},
                          Case{"lunar-split", 2, 1, 8}}) {
        const Tmandata late = cal.Cast(2023, 4, 10, kMao, With("palace-month", c.word));
        const Tmandata early = cal.Cast(2023, 3, 28, kMao, With("palace-month", c.word));
        EXPECT_EQ(std::tie(late.lunarMonth, late.lunarDay), std::tuple(2, 20));
        EXPECT_EQ(LifePalace(late), c.lateInLeap) << c.word;
        EXPECT_EQ(LifePalace(early), c.earlyInLeap) << c.word;
        EXPECT_EQ(late.bodyPalace, c.bodyLate) << c.word;
    }
    // Outside a leap month every lunar rule is the same; the month-driven
    // stars follow the palace month (左輔 from 辰 for the 1st month).
    const Tmandata solar = cal.Cast(2024, 2, 7, kMao);  // 寅 month, lunar 12th month
    const Tmandata lunar = cal.Cast(2024, 2, 7, kMao, With("palace-month", "lunar-split"));
    EXPECT_EQ(LifePalace(solar), LifePalaceBranch(3, 4));
    EXPECT_EQ(LifePalace(lunar), LifePalaceBranch(2, 4));
    EXPECT_EQ(lunar.minorBranch[4], WrapBranch(solar.minorBranch[4] - 1));
}

TEST(YearStartConvention, RisshunOrLunarNewYear) {
    Calendar cal;
    const Conventions lunarYear = With("year-start", "lunar-new-year");
    // After 立春, before the lunar New Year: 甲辰 by 立春, still 癸卯 by the lunar year.
    const Tmandata risshun = cal.Cast(2024, 2, 7, 3);
    EXPECT_EQ(std::tie(risshun.stems.year, risshun.branches.year), std::tuple(1, 5));
    const Tmandata lunar = cal.Cast(2024, 2, 7, 3, lunarYear);
    EXPECT_EQ(std::tie(lunar.stems.year, lunar.branches.year), std::tuple(10, 4));
    EXPECT_EQ(lunar.transformStar, (std::array<int, 5>{0, 14, 10, 8, 9}));  // 癸: 破軍 巨門 太陰 貪狼
    // After the lunar New Year, before 立春: 壬寅 by 立春, 癸卯 by the lunar year.
    EXPECT_EQ(cal.Cast(2023, 1, 28, 3).stems.year, 9);
    EXPECT_EQ(cal.Cast(2023, 1, 28, 3, lunarYear).stems.year, 10);
    // December and a day of 1921 before its lunar New Year (the year before is 庚申).
    EXPECT_EQ(cal.Cast(2023, 12, 31, 3, lunarYear).stems.year, 10);
    const Tmandata first = cal.Cast(1921, 1, 20, 3, lunarYear);
    EXPECT_EQ(std::tie(first.stems.year, first.branches.year), std::tuple(7, 9));
}

TEST(LateHourConvention, NextDayAcrossNewYearAndLeapMonthEnd) {
    Calendar cal;
    const Conventions nextDay = With("late-hour", "next-day");
    const Tmandata same = cal.Cast(2023, 12, 31, 0, nextDay, false);  // no exact time: the day stays
    EXPECT_EQ(std::tie(same.lunarMonth, same.lunarDay, same.stems.day), std::tuple(11, 19, 10));
    const Tmandata next = cal.Cast(2023, 12, 31, 0, nextDay, true);
    EXPECT_EQ(std::tie(next.lunarMonth, next.lunarDay), std::tuple(11, 20));
    EXPECT_EQ(std::tie(next.stems.day, next.branches.day, next.stems.hour),
              std::tuple(1, 1, 1));  // 甲子 day, 甲子 hour
    EXPECT_EQ(next.stems.year, 10);  // still 癸卯
    // The last day of the leap 2nd month moves to the 1st of the 3rd.
    Conventions split = nextDay;
    split.palaceMonth = PalaceMonth::kLunarSplit;
    const Tmandata leapEnd = cal.Cast(2023, 4, 19, 0, split, true);
    EXPECT_EQ(std::tie(leapEnd.lunarMonth, leapEnd.lunarDay), std::tuple(3, 1));
    EXPECT_EQ(LifePalace(leapEnd), LifePalaceBranch(5, 1));
    // Kept in its month: 2050-09-15 (7/30) late is the 1st of the 7th month, on 己亥 (the 16th's pillar).
    Conventions keepMonth = With("late-hour", "next-day-keep-month");
    keepMonth.palaceMonth = PalaceMonth::kLunarSplit;
    const Tmandata kept = cal.Cast(2050, 9, 15, 0, keepMonth, true);
    EXPECT_EQ(std::tie(kept.lunarMonth, kept.lunarDay, kept.stems.day, kept.branches.day), std::tuple(7, 1, 6, 12));
    EXPECT_EQ(LifePalace(kept), LifePalaceBranch(9, 1));
}

TEST(TransformConvention, VariantsOfWuGengRen) {
    EXPECT_EQ(TransformCarrierOf(7, 3, {}).star, 7);  // 庚 科 天府
    EXPECT_EQ(TransformCarrierOf(7, 4, {}).star, 5);  // 庚 忌 天同
    TransformTable t;
    t.geng = GengTransform::kTaiin;
    EXPECT_EQ(TransformCarrierOf(7, 3, t).star, 8);
    EXPECT_EQ(TransformCarrierOf(7, 4, t).star, 5);
    t.geng = GengTransform::kTendo;
    EXPECT_EQ(TransformCarrierOf(7, 3, t).star, 5);
    EXPECT_EQ(TransformCarrierOf(7, 4, t).star, 8);
    EXPECT_EQ(TransformCarrierOf(7, 1, t).star, 3);  // 禄 太陽 in every table
    t.wu = WuTransform::kUbitsu;
    t.ren = RenTransform::kSaho;
    EXPECT_EQ(TransformCarrierOf(5, 3, t).star, 0);
    EXPECT_EQ(TransformCarrierOf(5, 3, t).minor, 5);  // 右弼
    EXPECT_EQ(TransformCarrierOf(9, 3, t).minor, 4);  // 左輔
    EXPECT_EQ(TransformCarrierOf(9, 4, t).star, 4);   // 忌 武曲 stays

    // A 戊 year (1988) with 右弼 taking 科: the mark moves from 太陽 to 右弼 in the boxes.
    Calendar cal;
    const Tmandata man = cal.Cast(1988, 6, 15, 6, With("transform-wu", "ubitsu"));
    ASSERT_EQ(man.stems.year, 5);
    EXPECT_EQ(man.transformStar[3], 0);
    EXPECT_EQ(man.transformMinor[3], 5);
    const ChartLayout layout = LayOutChart(man);
    const int b = man.minorBranch[5];
    bool marked = false;
    for (int r = 1; r <= kBoxSlots; ++r) {
        marked = marked || layout.box[b][r].caption == "右弼(科)";
        EXPECT_NE(layout.box[man.starBranch[3]][r].caption, "太陽(科)");
    }
    EXPECT_TRUE(marked);
}

// The time layers and the palaces' flights transform by the table the chart
// was cast by: a 戊 decade and the 戊 year 2028 put 化科 on 右弼 with ubitsu,
// on 太陽 by the standard table.
TEST(TransformConvention, LayersAndFlightsFollowTheChartsTable) {
    Calendar cal;
    for (const bool ubitsu : {false, true}) {
        const Tmandata man = cal.Cast(1988, 6, 15, 6, ubitsu ? With("transform-wu", "ubitsu") : Conventions{});
        const std::string carrier = ubitsu ? "化科 右弼→" : "化科 太陽→";
        const int carrierPalace =
            ubitsu ? PalaceOnBranch(man, man.minorBranch[5]) : PalaceOnBranch(man, man.starBranch[3]);
        std::vector<TimeLayer> layers{*YearLayer(man, 2028)};
        for (int n = 1; n <= 12; ++n)
            if (const auto decade = DecadeLayer(man, n); decade && decade->stem == 5) layers.push_back(*decade);
        ASSERT_EQ(layers.size(), 2u);
        for (const TimeLayer& layer : layers) {
            ASSERT_EQ(layer.stem, 5);
            EXPECT_EQ(layer.transformStar[3], ubitsu ? 0 : 3);
            EXPECT_EQ(layer.transformMinor[3], ubitsu ? 5 : 0);
            EXPECT_EQ(layer.transformStar[4], 2);  // 忌 天機 in both
            const std::string text = LayerTransformsText(man, layer);
            EXPECT_NE(text.find(carrier + std::string(kPalaceNames[carrierPalace])), std::string::npos) << text;
        }
        const FlyingTransforms flying = FlyTransforms(man);
        int wuPalaces = 0;
        for (int p = 1; p <= kPalaces; ++p) {
            if (flying.palaceStem[p] != 5) continue;
            ++wuPalaces;
            EXPECT_EQ(CarrierShortName(flying.carrier[p][3]), ubitsu ? "右弼" : "太陽");
            EXPECT_EQ(flying.target[p][3], carrierPalace);
        }
        EXPECT_EQ(wuPalaces, 1);
    }
}

// The new moon of 2020-02-23 15:32 UT falls on the 24th in Japan and on the
// 23rd in China: that day is the 30th of the 1st month at 135°E and the 1st of
// the 2nd month at 120°E. A program folder without the second set refuses the
// cast by naming its folder.
TEST(MeridianConvention, SecondCalendarSetAndItsAbsence) {
    Calendar cal;
    const Tmandata japan = cal.Cast(2020, 2, 23, 6);
    const Tmandata china = cal.Cast(2020, 2, 23, 6, With("meridian", "120"));
    EXPECT_EQ(std::tie(japan.lunarMonth, japan.lunarDay), std::tuple(1, 30));
    EXPECT_EQ(std::tie(china.lunarMonth, china.lunarDay), std::tuple(2, 1));
    EXPECT_EQ(japan.palaceBranch, china.palaceBranch);  // the solar-term month is the same
    EXPECT_EQ(cal.Cast(2020, 2, 23, 6).lunarDay, 30);   // the cache keeps the two sets apart

    ProgramFolder folder;
    folder.AddYears({1958, 1959, 1960});
    Engine e(folder);
    ChartRequest request;
    request.year = 1959;
    request.month = 5;
    request.day = 7;
    request.hourIndex = 3;
    ASSERT_TRUE(CastChart(e.ctx, request));
    request.conventions = With("meridian", "120");
    const CastOutcome refused = CastChart(e.ctx, request);
    ASSERT_FALSE(refused);
    EXPECT_NE(refused.error().message.find(std::string(kChinaCalendarFolder)), std::string::npos)
        << refused.error().message;
}

}  // namespace
}  // namespace zelvara::test
