// Palace stems, flying transformations and the time layers, checked against
// charts worked by hand. Branch names in the working: 子 丑 寅 卯 辰 巳 午 未 申 酉 戌 亥.
#include "engine/time_layers.h"
#include "engine/chart_layout.h"
#include "engine/stars.h"
#include "tests/worked_charts.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

namespace zelvara {
namespace {

std::string StemsByBranch(int yearStem) {
    std::string text;
    for (int b = 1; b <= kBranches; ++b) text += std::string(kStemNames[BranchStem(yearStem, b)]);
    return text;
}

// The stems of the twelve branches 子 … 亥, written out by the 寅-first rule:
// 寅 takes the group's first stem, the stems run on to 丑, so 子 and 丑 repeat
// the stems of 寅 and 卯.
TEST(PalaceStems, EveryYearStemByTheTigerRule) {
    const std::pair<const char*, const char*> kByStem[] = {
        {"甲", "丙丁丙丁戊己庚辛壬癸甲乙"}, {"乙", "戊己戊己庚辛壬癸甲乙丙丁"}, {"丙", "庚辛庚辛壬癸甲乙丙丁戊己"},
        {"丁", "壬癸壬癸甲乙丙丁戊己庚辛"}, {"戊", "甲乙甲乙丙丁戊己庚辛壬癸"}, {"己", "丙丁丙丁戊己庚辛壬癸甲乙"},
        {"庚", "戊己戊己庚辛壬癸甲乙丙丁"}, {"辛", "庚辛庚辛壬癸甲乙丙丁戊己"}, {"壬", "壬癸壬癸甲乙丙丁戊己庚辛"},
        {"癸", "甲乙甲乙丙丁戊己庚辛壬癸"},
    };
    for (int stem = 1; stem <= kStems; ++stem) {
        EXPECT_EQ(std::string(kStemNames[stem]), kByStem[stem - 1].first);
        EXPECT_EQ(StemsByBranch(stem), kByStem[stem - 1].second) << kByStem[stem - 1].first << "年";
    }
    EXPECT_EQ(BranchStem(0, 3), 0);
    EXPECT_EQ(BranchStem(1, 13), 0);
}

TEST(PalaceStems, SexagenaryYearsAndTheSpringTurn) {
    EXPECT_EQ(YearStemOf(1984), 1);  // 甲子
    EXPECT_EQ(YearBranchOf(1984), 1);
    EXPECT_EQ(YearStemOf(2027), 4);  // 丁未
    EXPECT_EQ(YearBranchOf(2027), 8);
    EXPECT_EQ(YearStemOf(1921), 8);  // 辛酉
    EXPECT_EQ(YearBranchOf(1921), 10);
    // 立春 on 4 February: the 3rd still belongs to the year before.
    EXPECT_EQ(FlowYearOf(2026, 2, 3, 4), 2025);
    EXPECT_EQ(FlowYearOf(2026, 2, 4, 4), 2026);
    EXPECT_EQ(FlowYearOf(2026, 1, 31, 4), 2025);
    EXPECT_EQ(FlowYearOf(2026, 12, 31, 4), 2026);
}

// 甲子 year, 寅 month, 卯 hour, lunar 1/6, male (the first chart of the
// whole-chart tests). 命宮 亥; palaces 父母 子, 命宮 亥, 兄弟 戌, 夫妻 酉,
// 子女 申, 財帛 未, 疾厄 午, 遷移 巳, 奴僕 辰, 官禄 卯, 田宅 寅, 福徳 丑.
// Stars: 紫薇 寅, 天機 丑, 太陽 亥, 武曲 戌, 天同 酉, 廉貞 午, 天府 寅, 太陰 卯,
// 貪狼 辰, 巨門 巳, 天相 午, 天梁 未, 七殺 申, 破軍 子, 炎星 巳, 鈴星 丑,
// 文曲 未, 文昌 未, 羊刃 卯, 陀羅 丑. Male with a yang stem: luck runs forward.
Tmandata FirstWorkedChart() {
    Tmandata man = test::PlacedChart(1, 1, 3, 4, 1, 6, 'M', 3);
    EXPECT_EQ(man.palaceBranch[kLifePalace], 12);
    return man;
}

// 乙卯 year, 丑 month, 戌 hour, lunar 12/19, female: 命宮 卯; palaces 父母 辰,
// 命宮 卯, 兄弟 寅, 夫妻 丑, 子女 子, 財帛 亥, 疾厄 戌, 遷移 酉, 奴僕 申,
// 官禄 未, 田宅 午, 福徳 巳.
Tmandata SecondWorkedChart() {
    Tmandata man = test::PlacedChart(2, 4, 2, 11, 12, 19, 'F');
    EXPECT_EQ(man.palaceBranch[kLifePalace], 4);
    return man;
}

// Palace stems of the first chart (甲 year): 父母 子 丙, 命宮 亥 乙, 兄弟 戌 甲,
// 夫妻 酉 癸, 子女 申 壬, 財帛 未 辛, 疾厄 午 庚, 遷移 巳 己, 奴僕 辰 戊,
// 官禄 卯 丁, 田宅 寅 丙, 福徳 丑 丁.
// Where the four stars of each stem stand (禄 権 科 忌):
//   父母 丙: 天同 酉 夫妻, 天機 丑 福徳, 文昌 未 財帛, 廉貞 午 疾厄
//   命宮 乙: 天機 丑 福徳, 天梁 未 財帛, 紫薇 寅 田宅, 太陰 卯 官禄
//   兄弟 甲: 廉貞 午 疾厄, 破軍 子 父母, 武曲 戌 兄弟 (自化科), 太陽 亥 命宮
//   夫妻 癸: 破軍 子 父母, 巨門 巳 遷移, 太陰 卯 官禄, 貪狼 辰 奴僕
//   子女 壬: 天梁 未 財帛, 紫薇 寅 田宅, 天府 寅 田宅, 武曲 戌 兄弟
//   財帛 辛: 巨門 巳 遷移, 太陽 亥 命宮, 文曲 未 (自化科), 文昌 未 (自化忌)
//   疾厄 庚: 太陽 亥 命宮, 武曲 戌 兄弟, 天府 寅 田宅, 天同 酉 夫妻
//   遷移 己: 武曲 戌 兄弟, 貪狼 辰 奴僕, 天梁 未 財帛, 文曲 未 財帛
//   奴僕 戊: 貪狼 辰 (自化禄), 太陰 卯 官禄, 太陽 亥 命宮, 天機 丑 福徳
//   官禄 丁: 太陰 卯 (自化禄), 天同 酉 夫妻, 天機 丑 福徳, 巨門 巳 遷移
//   田宅 丙: as 父母
//   福徳 丁: 太陰 卯 官禄, 天同 酉 夫妻, 天機 丑 (自化科), 巨門 巳 遷移
TEST(FlyingTransforms, FirstWorkedChart) {
    const Tmandata man = FirstWorkedChart();
    const FlyingTransforms flying = FlyTransforms(man);
    const std::string stems = "丙乙甲癸壬辛庚己戊丁丙丁";
    for (int p = 1; p <= kPalaces; ++p)
        EXPECT_EQ(std::string(kStemNames[flying.palaceStem[p]]), stems.substr(3 * (p - 1), 3)) << kPalaceNames[p];

    const std::array<std::array<int, 4>, 12> kTargets = {{
        {4, 12, 6, 7},
        {12, 6, 11, 10},
        {7, 1, 3, 2},
        {1, 8, 10, 9},
        {6, 11, 11, 3},
        {8, 2, 6, 6},
        {2, 3, 11, 4},
        {3, 9, 6, 6},
        {9, 10, 2, 12},
        {10, 4, 12, 8},
        {4, 12, 6, 7},
        {10, 4, 12, 8},
    }};
    for (int p = 1; p <= kPalaces; ++p)
        for (int t = 1; t <= kTransforms; ++t)
            EXPECT_EQ(flying.target[p][t], kTargets[p - 1][t - 1]) << kPalaceNames[p] << " " << kTransformMarks[t];

    std::set<std::pair<int, int>> self;
    for (int p = 1; p <= kPalaces; ++p)
        for (int t = 1; t <= kTransforms; ++t)
            if (flying.SelfTransform(p, t)) self.insert({p, t});
    const std::set<std::pair<int, int>> kSelf = {{3, 3}, {6, 3}, {6, 4}, {9, 1}, {10, 1}, {12, 3}};
    EXPECT_EQ(self, kSelf);

    // 忌沖: 命宮's 忌 (太陰) lands in 官禄 (卯) and strikes 夫妻 (酉); 福徳's 忌
    // (巨門) lands in 遷移 (巳) and strikes 命宮 (亥); 財帛's 忌 stays at home
    // and strikes 福徳 (丑).
    ASSERT_EQ(flying.jiClashes.size(), 12u);
    auto clashOf = [&](int from) { return flying.jiClashes[from - 1]; };
    EXPECT_EQ(clashOf(2).to, 10);
    EXPECT_EQ(clashOf(2).clashed, 4);
    EXPECT_EQ(clashOf(12).to, 8);
    EXPECT_EQ(clashOf(12).clashed, 2);
    EXPECT_EQ(clashOf(6).to, 6);
    EXPECT_EQ(clashOf(6).clashed, 12);
}

TEST(FlyingTransforms, UnplacedChartGivesNothing) {
    Tmandata man;
    const FlyingTransforms flying = FlyTransforms(man);
    EXPECT_TRUE(flying.jiClashes.empty());
    EXPECT_EQ(flying.palaceStem[2], 0);
    EXPECT_FALSE(DecadeLayer(man, 1).has_value());
    EXPECT_FALSE(YearLayer(man, 2027).has_value());
    EXPECT_FALSE(MonthLayer(man, 2027, 1).has_value());
}

std::string LayerNames(const TimeLayer& layer) {
    std::string text;
    for (int p = 1; p <= kPalaces; ++p) text += LayerPalaceName(layer.kind, layer.layerPalace[p]);
    return text;
}

TEST(TimeLayers, BirthLayerIsTheChartItself) {
    const Tmandata man = FirstWorkedChart();
    const TimeLayer birth = BirthLayer(man);
    EXPECT_EQ(birth.kind, LayerKind::Birth);
    EXPECT_EQ(birth.lifePalace, kLifePalace);
    EXPECT_EQ(birth.transformStar, man.transformStar);
    EXPECT_EQ(LayerCaption(birth), "");
    EXPECT_EQ(LayerNames(birth), "");
}

// First chart, luck forward from age 3: the second period is 父母 (子), ages
// 13–22, stem 丙: 天同 天機 文昌 廉貞. Its 命 stands on 子, so 限父 is on 丑
// (福徳), 限兄 on 亥 (命宮) and so on round the chart.
TEST(TimeLayers, DecadeTakesThePeriodPalaceAndItsStem) {
    const Tmandata man = FirstWorkedChart();
    const auto decade = DecadeLayer(man, 2);
    ASSERT_TRUE(decade.has_value());
    EXPECT_EQ(decade->lifePalace, 1);
    EXPECT_EQ(std::string(kStemNames[decade->stem]), "丙");
    EXPECT_EQ(decade->transformStar, (std::array<int, 5>{0, 5, 2, 18, 6}));
    EXPECT_EQ(LayerCaption(*decade), "大限2（13〜22才）");
    // By birth palace 父母 … 福徳.
    EXPECT_EQ(LayerNames(*decade), "限命限兄限夫限子限財限疾限遷限奴限官限田限福限父");
    EXPECT_FALSE(DecadeLayer(man, 0).has_value());
    EXPECT_FALSE(DecadeLayer(man, 13).has_value());
    EXPECT_EQ(DecadeLayer(man, 1)->lifePalace, kLifePalace);
}

// 2027 is 丁未: the year's 命 is the palace on 未 (財帛 of the first chart);
// 丁 transforms 太陰 天同 天機 巨門.
TEST(TimeLayers, YearTakesTheYearBranchAndStem) {
    const Tmandata man = FirstWorkedChart();
    const auto year = YearLayer(man, 2027);
    ASSERT_TRUE(year.has_value());
    EXPECT_EQ(year->lifePalace, 6);
    EXPECT_EQ(year->branch, 8);
    EXPECT_EQ(year->transformStar, (std::array<int, 5>{0, 8, 5, 2, 10}));
    EXPECT_EQ(LayerCaption(*year), "流年2027（丁未）");
    EXPECT_EQ(LayerPalaceName(LayerKind::Year, year->layerPalace[6]), "年命");
    EXPECT_EQ(LayerPalaceName(LayerKind::Year, year->layerPalace[7]), "年兄");  // 午, one back from 未
    EXPECT_EQ(LayerPalaceName(LayerKind::Year, year->layerPalace[5]), "年父");  // 申
    // The year before (丙午) moves the 命 one branch back, to 疾厄 on 午.
    EXPECT_EQ(YearLayer(man, 2026)->lifePalace, 7);
}

// 斗君, first chart in 2027: from 未 (month 1) back 0 months to the birth
// month 1, then on 3 hours to 卯: 戌. Month 1 stands on 戌 (兄弟), month 3 on
// 子 (父母). 丁 years begin with 壬寅: month 1 壬寅 (天梁 紫薇 天府 武曲),
// month 3 甲辰.
// Second chart (lunar month 12, 戌 hour) in 2026 (丙午): from 午 back 11 to
// 未, on 10 to 巳: 斗君 巳 (福徳). Month 12 stands on 辰 (父母) and is 辛丑
// (丙 years begin with 庚寅).
TEST(TimeLayers, MonthByTheDoukunRule) {
    const Tmandata first = FirstWorkedChart();
    EXPECT_EQ(DoukunBranch(first, 2027), 11);
    const auto m1 = MonthLayer(first, 2027, 1);
    ASSERT_TRUE(m1.has_value());
    EXPECT_EQ(m1->lifePalace, 3);
    EXPECT_EQ(LayerCaption(*m1), "流月2027年1月（壬寅）");
    EXPECT_EQ(m1->transformStar, (std::array<int, 5>{0, 12, 1, 7, 4}));
    const auto m3 = MonthLayer(first, 2027, 3);
    EXPECT_EQ(m3->lifePalace, 1);
    EXPECT_EQ(LayerCaption(*m3), "流月2027年3月（甲辰）");

    const Tmandata second = SecondWorkedChart();
    EXPECT_EQ(DoukunBranch(second, 2026), 6);
    EXPECT_EQ(MonthLayer(second, 2026, 1)->lifePalace, 12);
    const auto m12 = MonthLayer(second, 2026, 12);
    EXPECT_EQ(m12->lifePalace, 1);
    EXPECT_EQ(LayerCaption(*m12), "流月2026年12月（辛丑）");
    EXPECT_FALSE(MonthLayer(second, 2026, 13).has_value());
    EXPECT_FALSE(MonthLayer(second, 2026, 0).has_value());
}

}  // namespace
}  // namespace zelvara

namespace zelvara {
namespace {

// The command line's layer texts, good and bad.
TEST(TimeLayers, ChoicesFromText) {
    EXPECT_EQ(ParseLayerChoice("birth")->kind, LayerKind::Birth);
    EXPECT_EQ(ParseLayerChoice("decade:12")->period, 12);
    EXPECT_EQ(ParseLayerChoice("year:2027")->year, 2027);
    const auto month = ParseLayerChoice("month:2027-03");
    ASSERT_TRUE(month.has_value());
    EXPECT_EQ(month->kind, LayerKind::Month);
    EXPECT_EQ(month->year, 2027);
    EXPECT_EQ(month->month, 3);
    for (const char* bad :
         {"", "decade", "decade:", "decade:0", "decade:13", "decade:1x", "year:", "year:-5", "year:20270", "month:2027",
          "month:2027-13", "month:2027-0", "month:-3", "week:1", "Decade:1", "year: 2027"})
        EXPECT_FALSE(ParseLayerChoice(bad).has_value()) << bad;

    const Tmandata man = FirstWorkedChart();
    EXPECT_EQ(LayerOf(man, *ParseLayerChoice("year:2027"))->lifePalace, 6);
    EXPECT_EQ(LayerOf(man, *ParseLayerChoice("month:2027-3"))->lifePalace, 1);
    EXPECT_EQ(LayerOf(man, *ParseLayerChoice("decade:2"))->lifePalace, 1);
    EXPECT_EQ(LayerOf(man, LayerChoice{})->kind, LayerKind::Birth);
}

}  // namespace
}  // namespace zelvara
