// Luck direction, the day counts to the solar terms and the first luck age.
#include "engine/luck.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

namespace zelvara::test {
namespace {

TEST(Luck, DirectionBySexAndYearStem) {
    EXPECT_EQ(LuckDirection('M', 1), 0);  // man, 甲
    EXPECT_EQ(LuckDirection('F', 2), 0);  // woman, 乙
    EXPECT_EQ(LuckDirection('M', 2), -1);
    EXPECT_EQ(LuckDirection('F', 1), -1);
    EXPECT_EQ(LuckDirection('X', 1), -1);
    EXPECT_EQ(LuckDirection('X', 2), -1);
}

TEST(Luck, AgeOfDays) {
    EXPECT_EQ(LuckAgeOfDays(1), 0);
    EXPECT_EQ(LuckAgeOfDays(2), 1);
    EXPECT_EQ(LuckAgeOfDays(4), 1);
    EXPECT_EQ(LuckAgeOfDays(5), 2);
    EXPECT_EQ(LuckAgeOfDays(6), 2);
    EXPECT_EQ(LuckAgeOfDays(30), 10);
}

// A calendar store with term days set by hand.
class TermCounts : public ::testing::Test {
protected:
    void SetUp() override {
        for (int k = 1; k <= 3; ++k)
            for (int m = 1; m <= 12; ++m) reki.slot[k].monthInfo[m] = {1, 1, 6, 1, m == 2 ? 28 : 31};
        reki.slot[2].monthInfo[5].termDay = 6;
        reki.slot[2].monthInfo[6].termDay = 5;
        reki.slot[3].monthInfo[1].termDay = 5;
        reki.slot[1].monthInfo[12].termDay = 7;
    }
    Treki reki;
};

TEST_F(TermCounts, Forward) {
    EXPECT_EQ(DaysToNextTerm(reki, 2, 5, 5), 1);              // the day before the term day
    EXPECT_EQ(DaysToNextTerm(reki, 2, 5, 6), 31 - 6 + 5);     // on the term day: next month's term
    EXPECT_EQ(DaysToNextTerm(reki, 2, 12, 20), 31 - 20 + 5);  // December reads January of the year after
}

TEST_F(TermCounts, Backward) {
    EXPECT_EQ(DaysSincePreviousTerm(reki, 2, 1959, 5, 9), 3);
    EXPECT_EQ(DaysSincePreviousTerm(reki, 2, 1959, 5, 6), 6 + 31 - 6);  // on the term day
    EXPECT_EQ(DaysSincePreviousTerm(reki, 2, 1959, 1, 3), 3 + 31 - 7);  // previous year's December
    EXPECT_EQ(DaysSincePreviousTerm(reki, 2, 1921, 1, 6), -1);          // no December 1920
    EXPECT_EQ(DaysSincePreviousTerm(reki, 2, 1921, 1, 3), -1);
    EXPECT_EQ(DaysSincePreviousTerm(reki, 2, 1921, 1, 9), 3);
}

TEST(LuckStart, BothSexesAndTheRecord) {
    ProgramFolder folder;
    Engine e(folder);
    auto& reki = e.ctx.reki;
    for (int m = 1; m <= 12; ++m) reki.slot[2].monthInfo[m] = {1, 1, 6, 1, 31};
    e.ctx.termRef = {2, 5, 10};
    e.ctx.man.birthYear = 1959;
    e.ctx.man.stems.year = 6;  // 己: a man goes backward, a woman forward
    e.ctx.man.sexCode = 'M';
    ASSERT_EQ(ComputeLuckStart(e.ctx), 0);
    EXPECT_EQ(e.ctx.man.luckDirection, -1);
    EXPECT_EQ(e.ctx.man.daysToTerm, 4);
    EXPECT_EQ(e.ctx.man.firstLuckAge, 1);
    EXPECT_EQ(e.ctx.firstLuckAgeMale, 1);
    EXPECT_EQ(e.ctx.firstLuckAgeFemale, LuckAgeOfDays(31 - 10 + 6));

    e.ctx.termRef = {2, 1, 2};
    e.ctx.man.birthYear = 1921;
    e.ctx.man.daysToTerm = 0;
    e.ctx.man.firstLuckAge = 0;
    EXPECT_EQ(ComputeLuckStart(e.ctx), -1);
    EXPECT_EQ(e.ctx.man.firstLuckAge, 0) << "left at its reset value";
}

}  // namespace
}  // namespace zelvara::test
