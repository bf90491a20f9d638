// Date check, range check, hour pillars, the four pillars around the solar
// terms, and the lunar expansion.
#include "engine/conversion.h"
#include "engine/calendar_file.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

namespace zelvara::test {
namespace {

TEST(Names, LookupsAndBlanks) {
    EXPECT_EQ(StemName(0), "  ");
    EXPECT_EQ(BranchName(0), "  ");
    EXPECT_EQ(StemName(11), "  ");
    EXPECT_EQ(PillarText(1, 1), "甲子");
    EXPECT_EQ(PillarText(0, 0), "    ");
    EXPECT_EQ(StemNumber("癸"), 10);
    EXPECT_EQ(BranchNumber("亥"), 12);
    EXPECT_EQ(BranchNumber("x"), 0);
    EXPECT_EQ(StemPairGroup(1), 1);
    EXPECT_EQ(StemPairGroup(6), 1);
    EXPECT_EQ(StemPairGroup(10), 5);
    EXPECT_EQ(StemPairGroup(0), 0);
    for (int s = 1; s <= kStars; ++s) {
        const std::string shortName(kStarShortNames[s]), longName(kStarLongNames[s]);
        if (s == 15 || s == 16)
            EXPECT_EQ(longName, shortName);
        else
            EXPECT_EQ(longName, shortName + "星") << s;
    }
}

struct DateCase {
    const char* text;
    bool ok;
    const char* message;
    const char* caption;
};

void PrintTo(const DateCase& c, std::ostream* os) { *os << c.text; }

class DateCheck : public ::testing::TestWithParam<DateCase> {};

TEST_P(DateCheck, BoxesAndCaptions) {
    const DateCase& c = GetParam();
    ProgramFolder folder;
    Engine e(folder);
    EXPECT_EQ(CheckBirthDate(e.ctx, c.text), c.ok) << c.text;
    if (c.ok) {
        EXPECT_TRUE(e.sink.shown.empty()) << e.sink.Last();
    } else {
        ASSERT_EQ(e.sink.shown.size(), 1u);
        EXPECT_EQ(e.sink.shown[0].text, c.message);
        EXPECT_EQ(e.sink.shown[0].caption, c.caption);
        EXPECT_EQ(e.ctx.man.birthYear, 0) << "the record keeps its reset values";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, DateCheck,
    ::testing::Values(
        DateCase{"1959/5/7", true, "", ""}, DateCase{"1960/2/29", true, "", ""},
        DateCase{"1959-5-7", false, "生年月日を 1959年 5月 7日 の形式で入力して下さい", "入力不足"},
        DateCase{"1959/5", false, "生年月日を 1959年 5月 7日 の形式で入力して下さい", "入力不足"},
        DateCase{"19590/5/7", false, "生年月日を 1959年 5月 7日 の形式で入力して下さい", "入力不足"},
        DateCase{"1959/13/7", false, "月を １月 から１２月 の形式で入力して下さい", "月のデータ異常"},
        DateCase{"1959/0/7", false, "月を １月 から１２月 の形式で入力して下さい", "月のデータ異常"},
        DateCase{"1959/x/7", false, "月を １月 から１２月 の形式で入力して下さい", "月のデータ異常"},
        DateCase{"1959/5/32", false, "日を １日 から３１日 の形式で入力して下さい", "日のデータ異常"},
        DateCase{"1959/5/", false, "日を １日 から３１日 の形式で入力して下さい", "日のデータ異常"},
        DateCase{"1959/2/30", false, "1959年2月には30日がありません。日付を確かめて下さい。", "日のデータ異常"},
        DateCase{"1959/2/29", false, "1959年2月には29日がありません。日付を確かめて下さい。", "日のデータ異常"},
        DateCase{"1959/4/31", false, "1959年4月には31日がありません。日付を確かめて下さい。", "日のデータ異常"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(DateCheck, StoresDateAndCountedAge) {
    ProgramFolder folder;
    Engine e(folder);
    e.ctx.FixToday({2026, 12, 8});
    ASSERT_TRUE(CheckBirthDate(e.ctx, "1959/5/7"));
    EXPECT_EQ(e.ctx.man.birthYear, 1959);
    EXPECT_EQ(e.ctx.man.birthMonth, 5);
    EXPECT_EQ(e.ctx.man.birthDay, 7);
    EXPECT_EQ(e.ctx.man.age, 2026 - 1959 + 1);
}

TEST(RangeCheck, FirstCoveredDay) {
    EXPECT_EQ(InRange(1921, 1, 5), -1);
    EXPECT_EQ(InRange(1921, 1, 6), 0);
    EXPECT_EQ(InRange(1920, 12, 31), -1);
    EXPECT_EQ(InRange(2100, 12, 31), 0);
    EXPECT_EQ(InRange(2101, 1, 1), -1);
}

TEST(HourPillars, ZiPeriodByStemPair) {
    ProgramFolder folder;
    Engine e(folder);
    BuildHourPillarTable(e.ctx);
    const auto& t = e.ctx.timedt.hourPillar;
    EXPECT_EQ(t[0][1], "甲子");
    EXPECT_EQ(t[0][2], "丙子");
    EXPECT_EQ(t[0][3], "戊子");
    EXPECT_EQ(t[0][4], "庚子");
    EXPECT_EQ(t[0][5], "壬子");
    EXPECT_EQ(t[1][1], "乙丑");
    EXPECT_EQ(t[11][5], "癸亥");
}

// Casts the pillars of a moment from the 1958–1960 (or 1921–1923) fixtures.
class Pillars : public ::testing::Test {
protected:
    void SetUp() override { folder.AddYears({1921, 1922, 1923, 1958, 1959, 1960}); }
    int Convert(int y, int m, int d, int hourIndex) {
        Tmandata& man = e.ctx.man;
        man.birthYear = y;
        man.birthMonth = m;
        man.birthDay = d;
        man.hourIndex = hourIndex;
        if (LoadCalendarYears(e.ctx, y) < 0) return -99;
        BuildHourPillarTable(e.ctx);
        return ConvertBirthDate(e.ctx);
    }
    std::string Year() const { return PillarText(e.ctx.man.stems.year, e.ctx.man.branches.year); }
    std::string Month() const { return PillarText(e.ctx.man.stems.month, e.ctx.man.branches.month); }
    std::string Day() const { return PillarText(e.ctx.man.stems.day, e.ctx.man.branches.day); }
    std::string Hour() const { return PillarText(e.ctx.man.stems.hour, e.ctx.man.branches.hour); }
    ProgramFolder folder;
    Engine e{folder};
};

// 1959 fixture: May term on the 6th in the 未 period (hour index 7); April's
// line is 5-5 (戊辰), May's 6-6 (己巳).
TEST_F(Pillars, TermDayInTheEntryPeriodIsBeforeTheTerm) {
    ASSERT_EQ(Convert(1959, 5, 6, 7), 0);
    EXPECT_EQ(Month(), "戊辰");
    ASSERT_EQ(Convert(1959, 5, 6, 8), 0);
    EXPECT_EQ(Month(), "己巳");
    ASSERT_EQ(Convert(1959, 5, 5, 11), 0);
    EXPECT_EQ(Month(), "戊辰");
}

// January's term is on the 6th; 1958 is 戊戌 (5-11), 1959 己亥.
TEST_F(Pillars, JanuaryTakesThePreviousYearsPillar) {
    ASSERT_EQ(Convert(1959, 1, 10, 0), 0);
    EXPECT_EQ(Year(), "戊戌");
    EXPECT_EQ(Month(), "乙丑") << "January line of the birth year";
    ASSERT_EQ(Convert(1959, 1, 3, 0), 0);
    EXPECT_EQ(Year(), "戊戌");
    EXPECT_EQ(Month(), "甲子") << "December line of the previous year (1958: 12-1)";
}

// February's term is on the 4th in the 寅 period (hour index 2).
TEST_F(Pillars, FebruaryChangesTheYearAtItsTerm) {
    ASSERT_EQ(Convert(1959, 2, 4, 2), 0);
    EXPECT_EQ(Year(), "戊戌");
    EXPECT_EQ(Month(), "乙丑");
    ASSERT_EQ(Convert(1959, 2, 4, 3), 0);
    EXPECT_EQ(Year(), "己亥");
    EXPECT_EQ(Month(), "丙寅");
}

TEST_F(Pillars, Year1921BeforeSpringIs庚申) {
    ASSERT_EQ(Convert(1921, 2, 1, 5), 0);
    EXPECT_EQ(Year(), "庚申");
    ASSERT_EQ(Convert(1921, 1, 20, 5), 0);
    EXPECT_EQ(Year(), "庚申");
    ASSERT_EQ(Convert(1921, 2, 10, 5), 0);
    EXPECT_EQ(Year(), "辛酉");
}

// The 1921 January term enters on the 6th in the 卯 period (hour index 3):
// earlier that day the month of December 1920 would be needed.
TEST_F(Pillars, FirstDayBeforeItsTermIsOutOfRange) {
    EXPECT_EQ(Convert(1921, 1, 6, 3), -1);
    EXPECT_EQ(e.sink.Last(), kOutOfRangeMessage);
    EXPECT_EQ(Convert(1921, 1, 6, 4), 0) << e.sink.Last();
    EXPECT_EQ(Month(), "己丑");
}

// 1959-05-01 is 癸未 (10-8) in the fixture; 23:00-01:00 takes the civil day's stem.
TEST_F(Pillars, DayAndHourPillars) {
    ASSERT_EQ(Convert(1959, 5, 7, 0), 0);
    EXPECT_EQ(Day(), "己丑");   // six days on from 癸未
    EXPECT_EQ(Hour(), "甲子");  // 己 day, 子 period
    ASSERT_EQ(Convert(1959, 5, 8, 0), 0);
    EXPECT_EQ(Day(), "庚寅");
    EXPECT_EQ(Hour(), "丙子");
    EXPECT_EQ(e.ctx.termRef.slot, 2);
    EXPECT_EQ(e.ctx.termRef.month, 5);
    EXPECT_EQ(e.ctx.termRef.day, 8);
}

// Lunar expansion on a hand-made slot.
class Lunar : public ::testing::Test {
protected:
    YearSlot& Slot() { return e.ctx.reki.slot[2]; }
    void Month(int m, int days, int lm, int ld, int len, int next, int followingLm) {
        Slot().monthInfo[m].monthDays = days;
        Slot().firstDayInfo[m] = {1, 1, lm, ld, len, next};
        if (m < 12) Slot().firstDayInfo[m + 1].lunarMonth = followingLm;
    }
    ProgramFolder folder;
    Engine e{folder};
};

TEST_F(Lunar, RollsOverAfterTheLastDay) {
    Month(3, 31, 2, 20, 29, 30, 3);
    ExpandLunarMonth(e.ctx, 2, 3);
    EXPECT_EQ(Slot().lunarText[10], "2/29");
    EXPECT_EQ(Slot().lunarText[11], "3/1");
    EXPECT_EQ(Slot().lunarText[31], "3/21");
    EXPECT_EQ(Slot().dayPillarText[1], "甲子");
    EXPECT_EQ(Slot().dayPillarText[11], "甲戌");
    const LunarDate picked = LunarDayOf(e.ctx.reki, 2, 3, 11).lunar;
    EXPECT_EQ(picked.month, 3);
    EXPECT_EQ(picked.day, 1);
}

TEST_F(Lunar, MonthEndingOnTheLastCivilDayDoesNotRoll) {
    Month(4, 30, 3, 1, 30, 29, 4);
    ExpandLunarMonth(e.ctx, 2, 4);
    EXPECT_EQ(Slot().lunarText[30], "3/30");
}

TEST_F(Lunar, LeapMonthRepeatsItsNumber) {
    Month(6, 30, 5, 15, 29, 30, 5);  // the 1st of July is in the leap 5th month
    ExpandLunarMonth(e.ctx, 2, 6);
    EXPECT_EQ(Slot().lunarText[16], "5/1");
}

TEST_F(Lunar, TwelfthMonthRollsToTheFirst) {
    Month(1, 31, 12, 10, 30, 29, 12);
    ExpandLunarMonth(e.ctx, 2, 1);
    EXPECT_EQ(Slot().lunarText[21], "12/30");
    EXPECT_EQ(Slot().lunarText[22], "1/1");
}

// Without the year after in slot 3 (nothing to compare with) December advances.
TEST_F(Lunar, DecemberAlwaysAdvances) {
    Month(12, 31, 11, 25, 29, 30, 0);
    ExpandLunarMonth(e.ctx, 2, 12);
    EXPECT_EQ(Slot().lunarText[6], "12/1");
}

// December compares with January 1st of the year after: a leap 11th month
// (as in 2033) repeats 11, an ordinary one advances to 12.
TEST_F(Lunar, DecemberComparesWithJanuaryOfTheNextYear) {
    Month(12, 31, 11, 10, 30, 29, 0);  // new lunar month on the 22nd
    e.ctx.reki.slot[3].firstDayInfo[1].lunarMonth = 11;
    ExpandLunarMonth(e.ctx, 2, 12);
    EXPECT_EQ(Slot().lunarText[21], "11/30");
    EXPECT_EQ(Slot().lunarText[22], "11/1");
    EXPECT_EQ(Slot().lunarText[31], "11/10");
    e.ctx.reki.slot[3].firstDayInfo[1].lunarMonth = 12;
    ExpandLunarMonth(e.ctx, 2, 12);
    EXPECT_EQ(Slot().lunarText[22], "12/1");
}

// The cast reads one day's lunar date and pillar without the month's texts:
// it agrees with the expansion on every day, the leap month and December's
// look at the year after included, and has nothing for a day the month lacks.
TEST_F(Lunar, OneDayAgreesWithTheExpandedMonth) {
    Month(6, 30, 5, 15, 29, 30, 5);
    Month(12, 31, 11, 10, 30, 29, 0);
    e.ctx.reki.slot[3].firstDayInfo[1].lunarMonth = 11;
    for (int m : {6, 12}) {
        ExpandLunarMonth(e.ctx, 2, m);
        for (int d = 1; d <= Slot().monthInfo[m].monthDays; ++d) {
            const LunarDay day = LunarDayOf(e.ctx.reki, 2, m, d);
            EXPECT_EQ(std::to_string(day.lunar.month) + "/" + std::to_string(day.lunar.day), Slot().lunarText[d].str())
                << m << "/" << d;
            EXPECT_EQ(PillarText(day.stem, day.branch), Slot().dayPillarText[d].str()) << m << "/" << d;
        }
    }
    EXPECT_EQ(LunarDayOf(e.ctx.reki, 2, 6, 31).lunar.month, 0);
}

}  // namespace
}  // namespace zelvara::test
