// The engine's constant tables checked against the rules they encode: the
// 紫薇 table against the bureau and lunar-day count, the bureau table against
// the sound elements (納音) of the sixty stem-branch pairs, the branch-driven
// stars against their counting rules, the year-stem stars and the four
// transformations against lists written out in names, brightness and palace
// weights against their descriptions star by star, and the shapes every row
// must have. Nothing here repeats a table cell by cell in numbers.
#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "engine/conversion.h"
#include "engine/palaces.h"
#include "engine/stars.h"
#include "tests/engine/test_support.h"
#include "tests/worked_charts.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace zelvara {
namespace {

// The characters of a UTF-8 text (the names used here are all three bytes).
std::vector<std::string> Characters(std::string_view text) {
    std::vector<std::string> out;
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t n = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        out.emplace_back(text.substr(i, n));
        i += n;
    }
    return out;
}

std::vector<std::string> Words(std::string_view text) {
    std::istringstream in{std::string(text)};
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

int BranchNamed(std::string_view name) {
    for (int b = 1; b <= kBranches; ++b)
        if (kBranchNames[b] == name) return b;
    ADD_FAILURE() << "no branch " << name;
    return 0;
}

int StemNamed(std::string_view name) {
    for (int s = 1; s <= kStems; ++s)
        if (kStemNames[s] == name) return s;
    ADD_FAILURE() << "no stem " << name;
    return 0;
}

int StarNamed(std::string_view name) {
    for (int s = 1; s <= kStars; ++s)
        if (kStarShortNames[s] == name) return s;
    ADD_FAILURE() << "no star " << name;
    return 0;
}

int PalaceNamed(std::string_view name) {
    for (int p = 1; p <= kPalaces; ++p)
        if (kPalaceNames[p] == name) return p;
    ADD_FAILURE() << "no palace " << name;
    return 0;
}

// A record placed from inputs set directly.
Tmandata Placed(int yearStem, int yearBranch, int monthBranch, int hourBranch, int lunarMonth = 1, int lunarDay = 1) {
    Tmandata man = zelvara::test::PlacementInputs(yearStem, yearBranch, monthBranch, hourBranch, lunarMonth, lunarDay);
    EXPECT_EQ(PlaceStars(man), 0);
    return man;
}

// --- 紫薇 --------------------------------------------------------------------

// The bureau's number is how many days one step of 紫薇 takes: 水 2, 木 3,
// 金 4, 土 5, 火 6. Borrow the fewest days x that make the lunar day a whole
// multiple of it; the quotient counts from 寅 (quotient 1 stands on 寅)
// forwards; then go back x branches when x is odd, forwards x when it is even.
int ZiweiByCounting(int day, int bureau) {
    static const std::map<std::string, int> kStep = {{"木局", 3}, {"火局", 6}, {"土局", 5}, {"金局", 4}, {"水局", 2}};
    const int n = kStep.at(std::string(kBureauNames[bureau - 1]));
    int x = 0;
    while ((day + x) % n != 0) ++x;
    const int quotientBranch = 3 + (day + x) / n - 1;
    return WrapBranch(x % 2 == 1 ? quotientBranch - x : quotientBranch + x);
}

TEST(TableRules, ZiweiFollowsTheBureauCount) {
    for (int bureau = 1; bureau <= kBureaus; ++bureau)
        for (int day = 1; day <= 30; ++day)
            EXPECT_EQ(ZiweiBranch(day, bureau), ZiweiByCounting(day, bureau))
                << kBureauNames[bureau - 1] << " day " << day;
}

// Every bureau walks 紫薇 round the twelve branches: each branch is reached.
TEST(TableRules, ZiweiReachesEveryBranchInEveryBureau) {
    for (int bureau = 1; bureau <= kBureaus; ++bureau) {
        std::set<int> seen;
        for (int day = 1; day <= 30; ++day) seen.insert(ZiweiBranch(day, bureau));
        EXPECT_EQ(seen.size(), 12u) << kBureauNames[bureau - 1];
    }
}

// The two star groups hang on 紫薇 and on 天府 (its mirror about 寅–申) at
// fixed distances. Lunar days 1..30 in 水局 (命宮 子 in a 甲 year) take 紫薇
// to all twelve branches.
TEST(TableRules, StarGroupsKeepTheirDistances) {
    std::set<int> seen;
    for (int day = 1; day <= 30; ++day) {
        const Tmandata man = Placed(1, 1, 1, 1, 1, day);
        const auto& sb = man.starBranch;
        const int z = sb[1];
        const int f = sb[7];
        seen.insert(z);
        EXPECT_EQ(z, ZiweiByCounting(day, 5));
        EXPECT_EQ(WrapBranch(z + f), 6) << "天府 mirrors 紫薇 about 寅–申";
        // 天機 one behind, 太陽 three, 武曲 four, 天同 five; 廉貞 four ahead.
        EXPECT_EQ(sb[StarNamed("天機")], WrapBranch(z - 1));
        EXPECT_EQ(sb[StarNamed("太陽")], WrapBranch(z - 3));
        EXPECT_EQ(sb[StarNamed("武曲")], WrapBranch(z - 4));
        EXPECT_EQ(sb[StarNamed("天同")], WrapBranch(z - 5));
        EXPECT_EQ(sb[StarNamed("廉貞")], WrapBranch(z + 4));
        // 太陰 貪狼 巨門 天相 天梁 七殺 follow 天府 one branch apart; 破軍 stands ten on.
        const char* const kFollowers[] = {"太陰", "貪狼", "巨門", "天相", "天梁", "七殺"};
        for (int i = 0; i < 6; ++i) EXPECT_EQ(sb[StarNamed(kFollowers[i])], WrapBranch(f + i + 1)) << kFollowers[i];
        EXPECT_EQ(sb[StarNamed("破軍")], WrapBranch(f + 10));
    }
    EXPECT_EQ(seen.size(), 12u);
}

// --- Bureau -------------------------------------------------------------------

// The sound element of each stem-branch pair, two pairs to a name, 甲子乙丑 first.
constexpr const char* kSoundElements =
    "海中金 爐中火 大林木 路傍土 剣鋒金 山頭火 澗下水 城頭土 白鑞金 楊柳木 "
    "泉中水 屋上土 霹靂火 松柏木 長流水 沙中金 山下火 平地木 壁上土 金箔金 "
    "覆燈火 天河水 大駅土 釵釧金 桑柘木 大渓水 沙中土 天上火 石榴木 大海水";

// The stem of a palace: 寅 takes 丙 in 甲 and 己 years, 戊 in 乙 and 庚 years,
// 庚 in 丙 and 辛, 壬 in 丁 and 壬, 甲 in 戊 and 癸; the stems then run on with
// the branches 卯 … 亥, and 子 丑 follow 亥 (so they repeat the stems of 寅 卯).
int PalaceStem(int yearStem, int branch) {
    static const std::map<std::string, std::string> kYinStem = {{"甲", "丙"}, {"己", "丙"}, {"乙", "戊"}, {"庚", "戊"},
                                                                {"丙", "庚"}, {"辛", "庚"}, {"丁", "壬"}, {"壬", "壬"},
                                                                {"戊", "甲"}, {"癸", "甲"}};
    const int yin = StemNamed(kYinStem.at(std::string(kStemNames[yearStem])));
    const int steps = (branch - 3 + 12) % 12;
    return (yin - 1 + steps) % 10 + 1;
}

TEST(TableRules, BureauIsTheSoundElementOfTheLifePalacePillar) {
    const std::vector<std::string> names = Words(kSoundElements);
    ASSERT_EQ(names.size(), 30u);
    const std::map<std::string, int> bureauOfElement = {{"木", 1}, {"火", 2}, {"土", 3}, {"金", 4}, {"水", 5}};
    for (int stem = 1; stem <= kStems; ++stem)
        for (int branch = 1; branch <= kBranches; ++branch) {
            const int ps = PalaceStem(stem, branch);
            int cycle = 0;  // place of the pair in the sixty, 甲子 = 0
            while (cycle < 60 && (cycle % 10 != ps - 1 || cycle % 12 != branch - 1)) ++cycle;
            ASSERT_LT(cycle, 60);
            const std::string element = Characters(names[cycle / 2]).back();
            EXPECT_EQ(BureauOf(branch, stem), bureauOfElement.at(element))
                << kStemNames[stem] << " year, life palace " << kBranchNames[branch] << ": " << kStemNames[ps]
                << kBranchNames[branch] << " " << names[cycle / 2];
        }
}

TEST(TableRules, PlacementUsesTheBureauOfTheLifePalace) {
    for (int stem = 1; stem <= kStems; ++stem)
        for (int month = 1; month <= 12; ++month) {
            Tmandata man = Placed(stem, 1, month, 1);
            EXPECT_EQ(man.bureau, BureauOf(month, stem));  // 子 hour: 命宮 on the month branch
        }
}

// --- Hour stars ---------------------------------------------------------------

TEST(TableRules, FireAndBellStarsStartByTheYearTriad) {
    // 炎星 starts on 寅 for 申子辰 years, 卯 for 巳酉丑, 丑 for 寅午戌, 酉 for 亥卯未;
    // 鈴星 on 卯 for 寅午戌 years and on 戌 for all others; both go forwards with the hour.
    const std::map<std::string, std::pair<std::string, std::string>> kStart = {
        {"申子辰", {"寅", "戌"}}, {"巳酉丑", {"卯", "戌"}}, {"寅午戌", {"丑", "卯"}}, {"亥卯未", {"酉", "戌"}}};
    for (const auto& [triad, starts] : kStart)
        for (const std::string& yb : Characters(triad))
            for (int hour = 1; hour <= 12; ++hour) {
                const Tmandata man = Placed(1, BranchNamed(yb), 1, hour);
                EXPECT_EQ(man.starBranch[StarNamed("炎星")], WrapBranch(BranchNamed(starts.first) + hour - 1)) << yb;
                EXPECT_EQ(man.starBranch[StarNamed("鈴星")], WrapBranch(BranchNamed(starts.second) + hour - 1)) << yb;
                // 文曲 from 辰 forwards, 文昌 from 戌 backwards.
                EXPECT_EQ(man.starBranch[StarNamed("文曲")], WrapBranch(BranchNamed("辰") + hour - 1));
                EXPECT_EQ(man.starBranch[StarNamed("文昌")], WrapBranch(BranchNamed("戌") - hour + 1));
            }
}

// --- Year-stem stars and transformations ----------------------------------------

TEST(TableRules, YearStemStars) {
    // 天存 (祿存) stands where the stem is at its full strength; 羊刃 one branch
    // ahead of it, 陀羅 one behind. 天魁 and 天鉞 by the stem, 魁 first.
    const char* const kLines[] = {"甲 天存寅 魁丑 鉞未", "乙 天存卯 魁子 鉞申", "丙 天存巳 魁亥 鉞酉",
                                  "丁 天存午 魁酉 鉞亥", "戊 天存巳 魁未 鉞丑", "己 天存午 魁申 鉞子",
                                  "庚 天存申 魁未 鉞丑", "辛 天存酉 魁午 鉞寅", "壬 天存亥 魁巳 鉞卯",
                                  "癸 天存子 魁卯 鉞巳"};
    std::set<int> stems;
    for (const char* line : kLines) {
        const std::vector<std::string> w = Words(line);
        const int stem = StemNamed(w[0]);
        stems.insert(stem);
        const int cun = BranchNamed(Characters(w[1]).back());
        const Tmandata man = Placed(stem, 1, 1, 1);
        EXPECT_EQ(man.minorBranch[1], cun) << line;
        EXPECT_EQ(man.starBranch[StarNamed("羊刃")], WrapBranch(cun + 1)) << line;
        EXPECT_EQ(man.starBranch[StarNamed("陀羅")], WrapBranch(cun - 1)) << line;
        EXPECT_EQ(man.minorBranch[2], BranchNamed(Characters(w[2]).back())) << line;
        EXPECT_EQ(man.minorBranch[3], BranchNamed(Characters(w[3]).back())) << line;
    }
    EXPECT_EQ(stems.size(), 10u);
}

TEST(TableRules, FourTransformationsOfEachStem) {
    // 禄 権 科 忌 in that order.
    const char* const kLines[] = {"甲 廉貞 破軍 武曲 太陽", "乙 天機 天梁 紫薇 太陰", "丙 天同 天機 文昌 廉貞",
                                  "丁 太陰 天同 天機 巨門", "戊 貪狼 太陰 太陽 天機", "己 武曲 貪狼 天梁 文曲",
                                  "庚 太陽 武曲 天府 天同", "辛 巨門 太陽 文曲 文昌", "壬 天梁 紫薇 天府 武曲",
                                  "癸 破軍 巨門 太陰 貪狼"};
    std::set<int> stems;
    for (const char* line : kLines) {
        const std::vector<std::string> w = Words(line);
        const int stem = StemNamed(w[0]);
        stems.insert(stem);
        const Tmandata man = Placed(stem, 1, 1, 1);
        std::set<int> carriers;
        for (int t = 1; t <= kTransforms; ++t) {
            EXPECT_EQ(man.transformStar[t], StarNamed(w[t])) << line << " " << kTransformMarks[t];
            carriers.insert(man.transformStar[t]);
        }
        EXPECT_EQ(carriers.size(), 4u) << "four different stars carry the four marks: " << line;
    }
    EXPECT_EQ(stems.size(), 10u);
}

// --- Branch-driven additional stars --------------------------------------------

TEST(TableRules, BranchDrivenStarsFollowTheirCounts) {
    // Month stars are counted from the 寅 month (lunar month 1), hour stars from
    // the 子 hour, year stars from the 子 year. Each star is placed with only its
    // own driver moving, the other two held at 午.
    const int wu = BranchNamed("午");
    for (int b = 1; b <= 12; ++b) {
        const Tmandata byMonth = Placed(1, wu, b, wu);
        const Tmandata byHour = Placed(1, wu, wu, b);
        const Tmandata byYear = Placed(1, b, wu, wu);
        const int fromYin = b - BranchNamed("寅");
        // 左輔 from 辰 forwards, 右弼 from 戌 backwards.
        EXPECT_EQ(byMonth.minorBranch[4], WrapBranch(BranchNamed("辰") + fromYin));
        EXPECT_EQ(byMonth.minorBranch[5], WrapBranch(BranchNamed("戌") - fromYin));
        // 天姚 from 丑 forwards, 天刑 from 酉 forwards.
        EXPECT_EQ(byMonth.minorBranch[12], WrapBranch(BranchNamed("丑") + fromYin));
        EXPECT_EQ(byMonth.minorBranch[13], WrapBranch(BranchNamed("酉") + fromYin));
        // 天空 from 亥 backwards, 地劫 from 亥 forwards.
        EXPECT_EQ(byHour.minorBranch[7], WrapBranch(BranchNamed("亥") - (b - 1)));
        EXPECT_EQ(byHour.minorBranch[8], WrapBranch(BranchNamed("亥") + (b - 1)));
        // 天耗 the branch after the year's, 紅鸞 from 卯 backwards, 天喜 opposite 紅鸞.
        EXPECT_EQ(byYear.minorBranch[9], WrapBranch(b + 1));
        EXPECT_EQ(byYear.minorBranch[10], WrapBranch(BranchNamed("卯") - (b - 1)));
        EXPECT_EQ(byYear.minorBranch[11], WrapBranch(byYear.minorBranch[10] + 6));
    }
    // 駅馬 by the month's triad: it stands opposite the triad's first branch.
    const std::map<std::string, std::string> kHorse = {
        {"申子辰", "寅"}, {"寅午戌", "申"}, {"巳酉丑", "亥"}, {"亥卯未", "巳"}};
    for (const auto& [triad, horse] : kHorse)
        for (const std::string& mb : Characters(triad))
            EXPECT_EQ(Placed(1, wu, BranchNamed(mb), wu).minorBranch[6], BranchNamed(horse)) << mb;
}

// Each star but 駅馬 lands on a different branch for each of its twelve drivers.
TEST(TableRules, BranchDrivenRowsArePermutations) {
    for (int star = 4; star <= kMinorStars; ++star) {
        std::set<int> seen;
        for (int b = 1; b <= 12; ++b) {
            const Tmandata man = Placed(1, b, b, b);
            ASSERT_GE(man.minorBranch[star], 1);
            ASSERT_LE(man.minorBranch[star], 12);
            seen.insert(man.minorBranch[star]);
        }
        EXPECT_EQ(seen.size(), star == 6 ? 4u : 12u) << kMinorShortNames[star];
    }
}

// --- Brightness -----------------------------------------------------------------

// Grades of each star by branch: 廟 and 旺 favour the star, 失 and 陥 do not.
// A branch not named has no grade, which no star has.
constexpr std::pair<const char*, const char*> kGrades[] = {
    {"紫薇", "廟午 旺子寅辰巳申戌亥 失丑卯未酉"}, {"天機", "廟子午 旺卯辰申酉戌 失丑寅巳未亥"},
    {"太陽", "廟卯辰巳午 旺丑寅未 失子申酉戌亥"}, {"武曲", "旺子丑寅卯辰午未申酉戌 失巳亥"},
    {"天同", "廟子 旺寅卯辰巳酉戌亥 失丑午未申"}, {"廉貞", "旺丑寅辰未申戌 失子午 陥卯巳酉亥"},
    {"天府", "廟丑未 旺子寅卯辰巳午申酉戌亥"},    {"太陰", "廟子酉戌亥 旺丑未申 失寅卯辰巳午"},
    {"貪狼", "旺子丑辰午未戌 失寅卯申酉 陥巳亥"}, {"巨門", "旺子寅卯午酉 失丑辰巳未申戌亥"},
    {"天相", "廟丑 旺寅辰巳未申戌亥 失子卯午酉"}, {"天梁", "廟子卯午 旺丑寅辰未戌 失巳申酉亥"},
    {"七殺", "旺子丑寅卯辰巳午未申酉戌亥"},       {"破軍", "旺子辰午戌 失丑巳未亥 陥寅卯申酉"},
    {"炎星", "旺寅午未戌 失丑卯巳酉亥 陥子辰申"},
};

int GradeNamed(std::string_view name) {
    for (int g = 1; g <= 4; ++g)
        if (kBrightnessNames[g] == name) return g;
    return 0;
}

TEST(TableRules, BrightnessStarByStar) {
    for (const auto& [star, text] : kGrades) {
        std::map<int, int> grade;
        for (const std::string& group : Words(text)) {
            const std::vector<std::string> c = Characters(group);
            for (size_t i = 1; i < c.size(); ++i) grade[BranchNamed(c[i])] = GradeNamed(c[0]);
        }
        ASSERT_EQ(grade.size(), 12u) << star;
        for (int b = 1; b <= 12; ++b)
            EXPECT_EQ(Brightness(b, StarNamed(star)), grade[b]) << star << " " << kBranchNames[b];
    }
}

TEST(TableRules, BrightnessOfThePairedStars) {
    const std::string water = "申子辰", fire = "寅午戌", tombs = "辰戌丑未";
    for (int b = 1; b <= 12; ++b) {
        const std::string name(kBranchNames[b]);
        // 鈴星 is graded like 炎星.
        EXPECT_EQ(Brightness(b, StarNamed("鈴星")), Brightness(b, StarNamed("炎星")));
        // 文曲 and 文昌: 廟 in the water triad, 失 in the fire triad, 旺 elsewhere.
        const int letters = water.find(name) != std::string::npos ? 1 : fire.find(name) != std::string::npos ? 3 : 2;
        EXPECT_EQ(Brightness(b, StarNamed("文曲")), letters) << name;
        EXPECT_EQ(Brightness(b, StarNamed("文昌")), letters) << name;
        // 羊刃 and 陀羅: 旺 on the four tomb branches, 陥 everywhere else.
        const int blades = tombs.find(name) != std::string::npos ? 2 : 4;
        EXPECT_EQ(Brightness(b, StarNamed("羊刃")), blades) << name;
        EXPECT_EQ(Brightness(b, StarNamed("陀羅")), blades) << name;
    }
}

TEST(TableRules, PlacementGradesEveryStarWhereItStands) {
    for (int day = 1; day <= 30; ++day) {
        const Tmandata man = Placed(day % 10 + 1, day % 12 + 1, (day * 5) % 12 + 1, (day * 7) % 12 + 1, 1, day);
        for (int s = 1; s <= kStars; ++s) EXPECT_EQ(man.brightness[s], Brightness(man.starBranch[s], s));
    }
}

// --- Palace strength weights ------------------------------------------------------

// Each star's weight in the twelve palaces: the usual weight first, then the
// palaces that differ from it.
constexpr std::pair<const char*, const char*> kWeights[] = {
    {"紫薇", "+2, +4 命宮 財帛 遷移 官禄"},
    {"天機", "+2, +4 命宮 兄弟, -2 疾厄 奴僕 田宅 福徳"},
    {"太陽", "+4, +2 兄弟 疾厄 田宅 福徳"},
    {"武曲", "-2, +4 財帛 遷移 奴僕 官禄, +2 命宮 田宅 福徳"},
    {"天同", "+2, +4 命宮 兄弟 夫妻 子女 疾厄 福徳"},
    {"廉貞", "-4, +4 遷移 官禄, +2 命宮 財帛 奴僕, -2 田宅 福徳"},
    {"天府", "+4, +2 官禄"},
    {"太陰", "+4, +2 兄弟 夫妻 疾厄 官禄"},
    {"貪狼", "-4, +2 官禄, -2 命宮 財帛 遷移 奴僕"},
    {"巨門", "-4, +4 財帛 官禄, -2 命宮 夫妻 遷移 奴僕"},
    {"天相", "+4, +2 夫妻 子女 財帛 田宅"},
    {"天梁", "+4, +2 子女 財帛 官禄 田宅"},
    {"七殺", "-4, +2 命宮 財帛 官禄 田宅, -2 遷移 福徳"},
    {"破軍", "-4, +4 遷移, +2 財帛 官禄, -2 命宮 子女 奴僕 田宅"},
    {"炎星", "-2, +2 疾厄, -4 父母 子女"},
    {"文曲", "+2, +4 命宮 遷移 奴僕 官禄 福徳"},
    {"羊刃", "-4, -2 命宮 財帛 遷移 官禄 田宅 福徳"},
    {"天存", "+2, +1 命宮 兄弟 子女 疾厄 福徳"},
    {"天魁", "+2, +1 財帛 田宅"},
    {"左輔", "+2, +1 命宮 子女 財帛 疾厄 田宅, -1 夫妻"},
    {"駅馬", "+0, +1 父母 遷移"},
    {"天空", "-2"},
    {"天耗", "+0"},
    {"紅鸞", "+0, +1 父母"},
    {"天姚", "+0, -1 父母 夫妻 福徳"},
    {"天刑", "+0, -1 父母"},
};

// Stars weighed like the star named before them.
constexpr std::pair<const char*, const char*> kWeighedAlike[] = {{"鈴星", "炎星"}, {"文昌", "文曲"}, {"陀羅", "羊刃"},
                                                                 {"天鉞", "天魁"}, {"右弼", "左輔"}, {"地劫", "天空"},
                                                                 {"天喜", "紅鸞"}};

std::map<int, int> WeightsOf(std::string_view text) {
    std::map<int, int> weight;
    std::string item;
    std::istringstream in{std::string(text)};
    bool first = true;
    int usual = 0;
    while (std::getline(in, item, ',')) {
        const std::vector<std::string> w = Words(item);
        const int value = std::stoi(w[0]);
        if (first) {
            usual = value;
            first = false;
        }
        for (size_t i = 1; i < w.size(); ++i) weight[PalaceNamed(w[i])] = value;
    }
    for (int p = 1; p <= kPalaces; ++p) weight.try_emplace(p, usual);
    return weight;
}

// One star alone in one palace of a chart whose 命宮 stands at 寅.
int StrengthAlone(int star, bool minor, int palace) {
    Tmandata man;
    for (int i = 1; i <= kPalaces; ++i) man.palaceBranch[i] = WrapBranch(3 - i + 2);
    if (minor)
        man.minorBranch[star] = man.palaceBranch[palace];
    else
        man.starBranch[star] = man.palaceBranch[palace];
    const auto strength = PalaceStrengths(man);
    for (int p = 1; p <= kPalaces; ++p) {
        if (p != palace) {
            EXPECT_EQ(strength[p], 0);
        }
    }
    return strength[palace];
}

struct Named {
    int number;
    bool minor;
};

Named StarOrMinor(std::string_view name) {
    for (int s = 1; s <= kStars; ++s)
        if (kStarShortNames[s] == name) return {s, false};
    for (int s = 1; s <= kMinorStars; ++s)
        if (kMinorShortNames[s] == name) return {s, true};
    ADD_FAILURE() << "no star " << name;
    return {0, false};
}

TEST(TableRules, PalaceWeightsStarByStar) {
    std::map<std::string, std::map<int, int>> described;
    for (const auto& [star, text] : kWeights) described[star] = WeightsOf(text);
    for (const auto& [star, like] : kWeighedAlike) described[star] = described.at(like);
    ASSERT_EQ(described.size(), size_t(kStars + kMinorStars));
    for (const auto& [star, weight] : described) {
        const Named n = StarOrMinor(star);
        for (int p = 1; p <= kPalaces; ++p)
            EXPECT_EQ(StrengthAlone(n.number, n.minor, p), weight.at(p)) << star << " in " << kPalaceNames[p];
    }
}

// --- Luck periods, calendar months ---------------------------------------------------

// The first period is the 命宮's; forwards the periods then take the branches
// that follow it (palace numbers falling), backwards those before it.
TEST(TableRules, LuckPeriodsWalkTheBranchesFromTheLifePalace) {
    for (int direction : {0, -1}) {
        Tmandata man;
        for (int i = 1; i <= kPalaces; ++i) man.palaceBranch[i] = WrapBranch(5 - i + 2);  // 命宮 辰
        man.luckDirection = direction;
        man.firstLuckAge = 4;
        LayOutLuckPeriods(man);
        std::set<int> palaces;
        for (int k = 1; k <= 12; ++k) {
            const int step = direction == 0 ? k - 1 : -(k - 1);
            EXPECT_EQ(man.luckBranch[k], WrapBranch(5 + step)) << "period " << k;
            EXPECT_EQ(man.luckPalace[k], WrapBranch(kLifePalace - step)) << "period " << k;
            EXPECT_EQ(man.luckAge[k], 4 + 10 * (k - 1));
            palaces.insert(man.luckPalace[k]);
        }
        EXPECT_EQ(palaces.size(), 12u);
    }
}

TEST(TableRules, DaysOfTheCivilMonths) {
    // Thirty days have September, April, June and November; February has 28, 29
    // in a leap year; all the rest have 31.
    const std::set<int> thirty = {9, 4, 6, 11};
    for (int m = 1; m <= 12; ++m) {
        const int expected = m == 2 ? 28 : thirty.count(m) ? 30 : 31;
        EXPECT_EQ(DaysInCivilMonth(1959, m), expected) << m;
        EXPECT_EQ(DaysInCivilMonth(1960, m), m == 2 ? 29 : expected) << m;
    }
    EXPECT_EQ(DaysInCivilMonth(1900, 2), 28);
    EXPECT_EQ(DaysInCivilMonth(2000, 2), 29);
}

// --- Eras --------------------------------------------------------------------------

// Each era from its first year: 明治 1868 for 45 years, 大正 1912 for 15, 昭和
// 1926 for 64, 平成 1989 for 31, 令和 2019 to this day. A year past an era's
// last, or year 0, is no year of that era, and the message names the era.
TEST(EraTable, EachEraFromItsFirstToItsLastYear) {
    struct EraFacts {
        const char* letter;
        const char* name;
        int firstYear;
        int years;  // 0: still in force
    };
    const EraFacts kEraFacts[] = {{"M", "明治", 1868, 45},
                                  {"T", "大正", 1912, 15},
                                  {"S", "昭和", 1926, 64},
                                  {"H", "平成", 1989, 31},
                                  {"R", "令和", 2019, 0}};
    for (const EraFacts& e : kEraFacts) {
        const std::string letter = e.letter;
        EXPECT_EQ(EraYearToWestern(letter + "1"), std::to_string(e.firstYear)) << e.name;
        if (e.years > 0) {
            EXPECT_EQ(EraYearToWestern(letter + std::to_string(e.years)), std::to_string(e.firstYear + e.years - 1));
            EXPECT_EQ(EraYearToWestern(letter + std::to_string(e.years + 1)), letter + std::to_string(e.years + 1));
        }
        test::ProgramFolder folder;
        test::Engine engine(folder);
        EXPECT_FALSE(CheckBirthInput(engine.ctx, {"試験", "男", letter + "0", "3", "7", ""}).has_value());
        EXPECT_NE(engine.sink.Last().find(std::string("は") + e.name + "の年としてありません"), std::string::npos)
            << engine.sink.Last();
    }
}

// --- Name tables -----------------------------------------------------------------------

TEST(NameTables, StemsBranchesPalacesAndStars) {
    EXPECT_EQ(kStemNames[0], "  ");
    EXPECT_EQ(kBranchNames[0], "  ");
    const std::vector<std::string> stems = Characters("甲乙丙丁戊己庚辛壬癸");
    for (int s = 1; s <= kStems; ++s) EXPECT_EQ(kStemNames[s], stems[s - 1]);
    const std::vector<std::string> branches = Characters("子丑寅卯辰巳午未申酉戌亥");
    for (int b = 1; b <= kBranches; ++b) EXPECT_EQ(kBranchNames[b], branches[b - 1]);
    const std::vector<std::string> palaces = Words("父母 命宮 兄弟 夫妻 子女 財帛 疾厄 遷移 奴僕 官禄 田宅 福徳");
    EXPECT_EQ(kPalaceNames[0], "");
    for (int p = 1; p <= kPalaces; ++p) EXPECT_EQ(kPalaceNames[p], palaces[p - 1]);
    const std::vector<std::string> stars =
        Words("紫薇 天機 太陽 武曲 天同 廉貞 天府 太陰 貪狼 巨門 天相 天梁 七殺 破軍 炎星 鈴星 文曲 文昌 羊刃 陀羅");
    const std::vector<std::string> minors = Words("天存 天魁 天鉞 左輔 右弼 駅馬 天空 地劫 天耗 紅鸞 天喜 天姚 天刑");
    EXPECT_EQ(kStarShortNames[0], "");
    EXPECT_EQ(kStarLongNames[0], "");
    for (int s = 1; s <= kStars; ++s) {
        EXPECT_EQ(kStarShortNames[s], stars[s - 1]);
        // The long name adds 星, except where the short name already ends in it.
        EXPECT_EQ(kStarLongNames[s], s == 15 || s == 16 ? stars[s - 1] : stars[s - 1] + "星");
    }
    EXPECT_EQ(kMinorShortNames[0], "");
    EXPECT_EQ(kMinorLongNames[0], "");
    for (int s = 1; s <= kMinorStars; ++s) {
        EXPECT_EQ(kMinorShortNames[s], minors[s - 1]);
        EXPECT_EQ(kMinorLongNames[s], minors[s - 1] + "星");
    }
}

TEST(NameTables, MarksHoursAndBureaus) {
    const std::vector<std::string> transforms = Characters("禄権科忌");
    const std::vector<std::string> grades = Characters("廟旺失陥");
    const std::vector<std::string> elements = Characters("木火土金水");
    EXPECT_EQ(kTransformMarks[0], "");
    EXPECT_EQ(kBrightnessNames[0], "");
    EXPECT_EQ(kBrightnessMarks[0], "");
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(kTransformMarks[i], "(" + transforms[i - 1] + ")");
        EXPECT_EQ(kBrightnessNames[i], grades[i - 1]);
        EXPECT_EQ(kBrightnessMarks[i], "(" + grades[i - 1] + ")");
    }
    for (int b = 0; b < kBureaus; ++b) EXPECT_EQ(kBureauNames[b], elements[b] + "局");
    // Two-hour periods from 23:00, each ending where the next begins.
    for (int h = 0; h < kHours; ++h) {
        char text[12];
        std::snprintf(text, sizeof text, "%02d:00-%02d:00", (23 + 2 * h) % 24, (1 + 2 * h) % 24);
        EXPECT_EQ(kHourPeriodTexts[h], text);
    }
}

// Keyword and partner lines and pictures: one of each per star, shared only by
// the star pairs that read alike (炎星 鈴星, 文曲 文昌, 羊刃 陀羅).
TEST(NameTables, StarTextsAreTheirStarsOwn) {
    auto pairOf = [](int s) { return s >= 15 ? (s % 2 == 1 ? s + 1 : s - 1) : s; };
    for (int a = 1; a <= kStars; ++a)
        for (int b = a + 1; b <= kStars; ++b) {
            const bool alike = pairOf(a) == b;
            EXPECT_EQ(kStarKeywordLines[a] == kStarKeywordLines[b], alike) << a << " " << b;
            EXPECT_EQ(kStarPartnerLines[a] == kStarPartnerLines[b], alike) << a << " " << b;
            EXPECT_NE(kStarPictureFiles[a - 1], kStarPictureFiles[b - 1]);
        }
    for (int s = 1; s <= kStars; ++s) {
        EXPECT_EQ(kStarPartnerLines[s].substr(0, 3), "◎") << s;
        EXPECT_FALSE(kStarKeywordLines[s].empty());
        EXPECT_TRUE(kStarPictureFiles[s - 1].ends_with(".bmp"));
    }
    EXPECT_EQ(kStarKeywordLines[0], "");
    EXPECT_EQ(kStarPartnerLines[0], "");
    // Only the first partner line holds an ordinary space; the third ends in U+3000.
    for (int s = 2; s <= kStars; ++s) EXPECT_EQ(kStarPartnerLines[s].find(' '), std::string_view::npos) << s;
    EXPECT_NE(kStarPartnerLines[1].find(' '), std::string_view::npos);
    EXPECT_TRUE(kStarPartnerLines[3].ends_with("　"));
    EXPECT_EQ(kStarPictureFiles[0], "zelvsei.bmp");
}

// The palace names the reading tabs, the hour window and the prints show: the
// palace's name with 宮, except 命宮, which already ends in it. The four
// transformations are named 化 and the character their mark carries.
TEST(NameTables, PalaceFullNamesAndTransformNames) {
    const std::vector<std::string> full =
        Words("父母宮 命宮 兄弟宮 夫妻宮 子女宮 財帛宮 疾厄宮 遷移宮 奴僕宮 官禄宮 田宅宮 福徳宮");
    for (int p = 1; p <= kPalaces; ++p) EXPECT_EQ(PalaceFullName(p), full[p - 1]) << "palace " << p;
    EXPECT_EQ(PalaceFullName(0), "");
    EXPECT_EQ(PalaceFullName(kPalaces + 1), "");
    const std::vector<std::string> transforms = Words("化禄 化権 化科 化忌");
    for (int t = 1; t <= kTransforms; ++t) {
        EXPECT_EQ(kTransformNames[t], transforms[t - 1]);
        EXPECT_EQ(kTransformMarks[t], "(" + transforms[t - 1].substr(3) + ")");
    }
    EXPECT_EQ(kUnknownHourText, "不明の場合");
}

}  // namespace
}  // namespace zelvara
