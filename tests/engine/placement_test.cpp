// Palaces, bureau, body palace, star placement, brightness and main stars.
#include "engine/chart_layout.h"
#include "engine/palaces.h"
#include "engine/stars.h"
#include "tests/worked_charts.h"

#include <gtest/gtest.h>

namespace zelvara {
namespace {

TEST(Palaces, LifePalaceAndRing) {
    EXPECT_EQ(LifePalaceBranch(3, 1), 3);   // 寅 month, 子 hour → 寅
    EXPECT_EQ(LifePalaceBranch(1, 12), 2);  // 子 month, 亥 hour → 丑
    EXPECT_EQ(LifePalaceBranch(0, 1), 0);
    EXPECT_EQ(LifePalaceBranch(1, 13), 0);
    // Rows of the printed table: 丑 hour runs 12 1 2 … 11.
    for (int month = 1; month <= 12; ++month) EXPECT_EQ(LifePalaceBranch(month, 2), WrapBranch(month - 1));

    Tmandata man;
    man.branches.month = 3;
    man.branches.hour = 1;
    man.stems.year = 1;
    ASSERT_EQ(PlacePalaces(man), 0);
    EXPECT_EQ(man.palaceBranch[2], 3);   // 命宮 寅
    EXPECT_EQ(man.palaceBranch[1], 4);   // 父母 卯
    EXPECT_EQ(man.palaceBranch[3], 2);   // 兄弟 丑
    EXPECT_EQ(man.palaceBranch[12], 5);  // 福徳 辰
    EXPECT_EQ(man.bureau, 2);            // 寅 with 甲: 火局
}

TEST(Palaces, BureauAndBodyPalace) {
    EXPECT_EQ(BureauOf(1, 1), 5);  // 子, 甲: 水局
    EXPECT_EQ(BureauOf(3, 1), 2);  // 寅, 甲: 火局
    EXPECT_EQ(BureauOf(12, 10), 5);
    EXPECT_EQ(BureauOf(1, 11), 0);
    // Rows come in equal pairs and the columns repeat after five stems.
    for (int b = 1; b <= 12; b += 2)
        for (int s = 1; s <= 10; ++s) {
            EXPECT_EQ(BureauOf(b, s), BureauOf(b + 1, s));
            EXPECT_EQ(BureauOf(b, s), BureauOf(b, (s + 4) % 10 + 1));
        }
    EXPECT_EQ(BodyPalaceBranch(1, 1), 3);    // month 1 at 子: 寅
    EXPECT_EQ(BodyPalaceBranch(12, 12), 1);  // month 12 at 亥: 子
    EXPECT_EQ(BodyPalaceBranch(2, 1), 4);
    EXPECT_EQ(BodyPalaceBranch(1, 13), 0);
}

using test::PlacementInputs;

TEST(Stars, ZiweiTableCorners) {
    EXPECT_EQ(ZiweiBranch(1, 5), 2);  // 水局, day 1: 丑
    EXPECT_EQ(ZiweiBranch(30, 1), 12);
    EXPECT_EQ(ZiweiBranch(30, 4), 12);
    EXPECT_EQ(ZiweiBranch(0, 1), 0);
    EXPECT_EQ(ZiweiBranch(31, 1), 0);
    EXPECT_EQ(ZiweiBranch(1, 6), 0);
}

// Life palace 子 (子 month, 子 hour) with a 甲 year is 水局; lunar day 1 puts
// 紫薇 at 丑 and 天府 at 6 − 2 = 4 (卯).
TEST(Stars, WaterBureauDayOne) {
    Tmandata man = PlacementInputs(1, 1, 1, 1, 1, 1);
    ASSERT_EQ(PlaceStars(man), 0);
    EXPECT_EQ(man.bureau, 5);
    EXPECT_EQ(man.starBranch[1], 2);
    EXPECT_EQ(man.starBranch[7], 4);
}

// 紫薇 at 子: lunar day 22 in 水局.
TEST(Stars, ZiweiAtZiGroup) {
    Tmandata man = PlacementInputs(1, 1, 1, 1, 1, 22);
    ASSERT_EQ(PlaceStars(man), 0);
    const auto& sb = man.starBranch;
    EXPECT_EQ(sb[1], 1);
    EXPECT_EQ(sb[2], 12);  // 天機 亥
    EXPECT_EQ(sb[3], 10);  // 太陽 酉
    EXPECT_EQ(sb[4], 9);   // 武曲 申
    EXPECT_EQ(sb[5], 8);   // 天同 未
    EXPECT_EQ(sb[6], 5);   // 廉貞 辰
    EXPECT_EQ(sb[7], 5);   // 天府 辰
    EXPECT_EQ(sb[8], 6);   // 太陰 巳
    EXPECT_EQ(sb[14], 3);  // 破軍 寅 (5 + 10 wrapped)
}

TEST(Stars, ZiweiAndTianfuShareYinAndShen) {
    for (int z : {3, 9}) {
        EXPECT_EQ(WrapBranch(6 - z), z);
    }
}

TEST(Stars, HourStarsByYearBranch) {
    // 寅 year, 子 hour: 炎星 丑, 鈴星 卯; 文曲 辰, 文昌 戌.
    Tmandata man = PlacementInputs(1, 3, 1, 1, 1, 1);
    ASSERT_EQ(PlaceStars(man), 0);
    EXPECT_EQ(man.starBranch[15], 2);
    EXPECT_EQ(man.starBranch[16], 4);
    EXPECT_EQ(man.starBranch[17], 5);
    EXPECT_EQ(man.starBranch[18], 11);
    // 亥 year, 亥 hour: 炎星 酉 + 11 = 申, 鈴星 戌 + 11 = 酉; 文曲 卯, 文昌 亥.
    man = PlacementInputs(1, 12, 1, 12, 1, 1);
    ASSERT_EQ(PlaceStars(man), 0);
    EXPECT_EQ(man.starBranch[15], 9);
    EXPECT_EQ(man.starBranch[16], 10);
    EXPECT_EQ(man.starBranch[17], 4);
    EXPECT_EQ(man.starBranch[18], 12);
}

TEST(Stars, TransformationsByYearStem) {
    Tmandata man = PlacementInputs(9, 1, 1, 1, 1, 1);  // 壬
    ASSERT_EQ(PlaceStars(man), 0);
    EXPECT_EQ(man.transformStar[2], 1);       // 紫薇 権
    EXPECT_EQ(man.transformStar[3], 7);       // 天府 科
    man = PlacementInputs(7, 1, 1, 1, 1, 1);  // 庚
    ASSERT_EQ(PlaceStars(man), 0);
    EXPECT_EQ(man.transformStar[3], 7);
    EXPECT_EQ(StarCaption(man, 5), "天同(忌)");
}

TEST(Stars, RefusesInputsOutsideTheTables) {
    Tmandata bad = PlacementInputs(11, 1, 1, 1, 1, 1);
    EXPECT_EQ(PlaceStars(bad), -1);
    bad = PlacementInputs(1, 1, 1, 1, 1, 31);
    EXPECT_EQ(PlaceStars(bad), -1);
    bad = PlacementInputs(1, 1, 0, 1, 1, 1);
    EXPECT_EQ(PlaceStars(bad), -1);
}

TEST(MainStars, LowestNumberWinsAndMinorsNeverCount) {
    Tmandata man;
    for (int i = 1; i <= 12; ++i) man.palaceBranch[i] = WrapBranch(3 - i + 2);
    man.starBranch.fill(12);
    man.starBranch[11] = 3;   // 天相 in 命宮
    man.starBranch[7] = 3;    // 天府 too: 天府 wins
    man.starBranch[1] = 4;    // 紫薇 in 父母
    man.minorBranch.fill(2);  // only additional stars in 兄弟
    man.starBranch[0] = 2;    // index 0 is not a star
    man.mainStar[3] = 9;      // stale value from an earlier chart
    FindMainStars(man);
    EXPECT_EQ(man.mainStar[2], 7);
    EXPECT_EQ(man.mainStar[1], 1);
    EXPECT_EQ(man.mainStar[3], 0);
    EXPECT_EQ(man.luckRulingStar, man.mainStar);
}

TEST(Strength, WeightTables) {
    Tmandata man;
    for (int i = 1; i <= 12; ++i) man.palaceBranch[i] = WrapBranch(3 - i + 2);
    man.starBranch.fill(0);
    man.minorBranch.fill(0);
    man.starBranch[1] = 3;  // 紫薇 and 天府 alone in 命宮 (寅)
    man.starBranch[7] = 3;
    auto s = PalaceStrengths(man);
    EXPECT_EQ(s[2], 8);
    man.starBranch[7] = 4;  // 紫薇 alone in 命宮, 天府 alone in 父母
    man.starBranch[1] = 4;
    man.starBranch[7] = 3;
    s = PalaceStrengths(man);
    EXPECT_EQ(s[1], 2);
    man.minorBranch[7] = 3;   // 天空 joins 命宮
    man.minorBranch[13] = 4;  // 天刑 joins 父母
    s = PalaceStrengths(man);
    EXPECT_EQ(s[2], 4 - 2);
    EXPECT_EQ(s[1], 2 - 1);
}

TEST(Layout, SixSlotsThenAdditionalStarsAreDropped) {
    Tmandata man;
    for (int i = 1; i <= 12; ++i) man.palaceBranch[i] = WrapBranch(3 - i + 2);
    man.starBranch.fill(0);
    man.minorBranch.fill(0);
    for (int q = 1; q <= 6; ++q) man.starBranch[q] = 5;   // six stars at 辰
    for (int q = 7; q <= 11; ++q) man.starBranch[q] = 6;  // five at 巳
    man.minorBranch[1] = 5;
    man.minorBranch[2] = 6;
    man.minorBranch[3] = 6;
    man.brightness[1] = 1;
    man.transformStar[4] = 3;
    const ChartLayout l = LayOutChart(man);
    EXPECT_EQ(l.box[5][6].caption, "廉貞");
    EXPECT_EQ(l.box[5][3].caption, "太陽(忌)");
    EXPECT_EQ(l.box[5][1].Mark(), "(廟)");
    EXPECT_EQ(l.box[6][6].caption, "天魁") << "only the first additional star fits";
    EXPECT_EQ(l.box[6][6].Mark(), "");
    // 辰 holds palace 12 (福徳): box texts follow the palace.
    EXPECT_EQ(l.boxText[12][1], "紫薇");
    EXPECT_EQ(l.boxText[11][6], "天魁");
    EXPECT_EQ(l.boxText[2][1], "");
}

TEST(Layout, LuckPeriodsInBothDirections) {
    Tmandata man;
    for (int i = 1; i <= 12; ++i) man.palaceBranch[i] = WrapBranch(1 - i + 2);  // 命宮 at 子
    man.firstLuckAge = 3;
    man.luckDirection = 0;
    LayOutLuckPeriods(man);
    auto l = LayOutChart(man);
    EXPECT_EQ(l.ageOfBranch[man.palaceBranch[2]], 3);
    EXPECT_EQ(l.ageOfBranch[man.palaceBranch[1]], 13);
    EXPECT_EQ(l.ageOfBranch[man.palaceBranch[12]], 23);
    EXPECT_EQ(man.luckPalace[12], 3);
    man.luckDirection = -1;
    LayOutLuckPeriods(man);
    l = LayOutChart(man);
    EXPECT_EQ(l.ageOfBranch[man.palaceBranch[3]], 13);
    EXPECT_EQ(man.luckAge[12], 113);
    EXPECT_EQ(man.luckBranch[2], man.palaceBranch[3]);
}

}  // namespace
}  // namespace zelvara
