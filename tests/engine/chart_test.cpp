// Whole chart requests through the engine: the order of the input checks, the
// era years, and a chart checked field by field against working done by hand.
#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "engine/conversion.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

namespace zelvara::test {
namespace {

BirthInput Birth(std::string sex, std::string year, std::string month, std::string day, std::string hour) {
    return {"試験", std::move(sex), std::move(year), std::move(month), std::move(day), std::move(hour)};
}

TEST(EraYears, Conversion) {
    EXPECT_EQ(EraYearToWestern("S40"), "1965");
    EXPECT_EQ(EraYearToWestern("s40"), "1965");
    EXPECT_EQ(EraYearToWestern("T10"), "1921");
    EXPECT_EQ(EraYearToWestern("T9"), "1920");
    EXPECT_EQ(EraYearToWestern("H1"), "1989");
    EXPECT_EQ(EraYearToWestern("h2"), "1990");
    EXPECT_EQ(EraYearToWestern("R1"), "2019");
    EXPECT_EQ(EraYearToWestern("1965"), "1965");
    EXPECT_EQ(EraYearToWestern(""), "");
    EXPECT_EQ(EraYearToWestern("S4x"), "S4x");
    EXPECT_EQ(EraYearToWestern("M1"), "1868");
    EXPECT_EQ(EraYearToWestern("m45"), "1912");
    // Japanese input methods type full-width forms; F2 converts them too.
    EXPECT_EQ(EraYearToWestern("Ｓ４０"), "1965");
    EXPECT_EQ(EraYearToWestern("ｓ４０"), "1965");
    EXPECT_EQ(EraYearToWestern("　R1 "), "2019");
    EXPECT_EQ(EraYearToWestern("１９６５"), "1965");
    // An era year outside its era is left for the year check to explain.
    EXPECT_EQ(EraYearToWestern("R0"), "R0");
    EXPECT_EQ(EraYearToWestern("S100"), "S100");
    EXPECT_EQ(EraYearToWestern("T16"), "T16");
}

TEST(TypedText, FullWidthAsciiAndBlanks) {
    EXPECT_EQ(NormalizeTypedText("１９６５／３／７"), "1965/3/7");
    EXPECT_EQ(NormalizeTypedText("ＡＺａｚ！～"), "AZaz!~");
    EXPECT_EQ(NormalizeTypedText(" \t1959　"), "1959");
    EXPECT_EQ(NormalizeTypedText("　"), "");
    // Other full-width text stays: the forms beside the ASCII block and kana.
    EXPECT_EQ(NormalizeTypedText("｟年"), "｟年");
    EXPECT_EQ(NormalizeTypedText("S 40"), "S 40");
}

TEST(HourIndex, ExactTextsOnly) {
    EXPECT_EQ(HourIndexOf("23:00-01:00"), 1);
    EXPECT_EQ(HourIndexOf("21:00-23:00"), 12);
    EXPECT_EQ(HourIndexOf("不明の場合"), 0);
    EXPECT_EQ(HourIndexOf(""), 0);
    EXPECT_EQ(HourIndexOf("23:00-01:00 "), 0);
}

constexpr const char* kBefore1921 =
    "万年暦が１９２１年より小さい年には対応していませんので診断できません。（鑑定できるのは "
    "1921年1月6日〜2100年12月31日 に生まれた方です）";
constexpr const char* kAfter2100 =
    "万年暦が２１００年より大きい年には対応していませんので診断できません。（鑑定できるのは "
    "1921年1月6日〜2100年12月31日 に生まれた方です）";

struct CheckCase {
    BirthInput in;
    const char* message;  // "" when the checks pass
};

void PrintTo(const CheckCase& c, std::ostream* os) { *os << c.in.sex + "/" + c.in.year; }

class InputChecks : public ::testing::TestWithParam<CheckCase> {};

TEST_P(InputChecks, FirstFailingCheckWins) {
    const CheckCase& c = GetParam();
    ProgramFolder folder;
    Engine e(folder);
    const auto r = CheckBirthInput(e.ctx, c.in);
    if (std::string(c.message).empty()) {
        EXPECT_TRUE(r.has_value()) << e.sink.Last();
        EXPECT_TRUE(e.sink.shown.empty());
        return;
    }
    ASSERT_FALSE(r.has_value());
    ASSERT_EQ(e.sink.shown.size(), 1u);
    EXPECT_EQ(e.sink.shown[0].text, c.message);
    EXPECT_EQ(r.error().message, c.message) << "the refusal carries the message shown";
}

INSTANTIATE_TEST_SUITE_P(
    Table, InputChecks,
    ::testing::Values(
        CheckCase{Birth("", "", "", "", ""), "性別を指定してください。"},
        CheckCase{Birth("男性", "1965", "3", "7", ""), "性別を指定してください。"},
        CheckCase{Birth("男", "", "3", "7", ""), "年が指定されていません。"},
        CheckCase{Birth("女", "1920", "", "", ""), kBefore1921},
        CheckCase{Birth("女", "T9", "3", "7", ""), kBefore1921},
        CheckCase{Birth("女", "M45", "3", "7", ""), kBefore1921},
        CheckCase{Birth("女", "ｍ１", "3", "7", ""), kBefore1921},
        CheckCase{Birth("女", "2101", "1", "1", ""), kAfter2100},
        CheckCase{Birth("女", "2102", "3", "7", "05:00-07:00"), kAfter2100},
        CheckCase{Birth("女", "R83", "3", "7", ""), kAfter2100},
        CheckCase{Birth("女", "19650", "3", "7", ""), kAfter2100},
        CheckCase{Birth("女", "123456789012", "3", "7", ""), kAfter2100},
        CheckCase{Birth("女", "R0", "3", "7", ""),
                  "生まれた年「R0」は令和の年としてありません。令和は R1（2019年）からです。"},
        CheckCase{Birth("女", "S100", "3", "7", ""),
                  "生まれた年「S100」は昭和の年としてありません。昭和は S1（1926年）〜S64（1989年）です。"},
        CheckCase{Birth("女", "h32", "3", "7", ""),
                  "生まれた年「h32」は平成の年としてありません。平成は H1（1989年）〜H31（2019年）です。"},
        CheckCase{Birth("女", "T16", "3", "7", ""),
                  "生まれた年「T16」は大正の年としてありません。大正は T1（1912年）〜T15（1926年）です。"},
        CheckCase{Birth("女", "1921", "", "7", ""), "月が指定されていません。"},
        CheckCase{Birth("女", "1965", "3", "", ""), "日が指定されていません。"},
        CheckCase{Birth("女", "abcd", "3", "7", ""),
                  "生まれた年「abcd」を年として読めません。西暦の数字（例 1965）か、年号の頭文字（M 明治・T 大正・S "
                  "昭和・H 平成・R 令和）と年（例 S40）で入力して下さい。"},
        CheckCase{Birth("女", "S4x", "3", "7", ""),
                  "生まれた年「S4x」を年として読めません。西暦の数字（例 1965）か、年号の頭文字（M 明治・T 大正・S "
                  "昭和・H 平成・R 令和）と年（例 S40）で入力して下さい。"},
        CheckCase{Birth("女", "1965", "2", "30", ""), "1965年2月には30日がありません。日付を確かめて下さい。"},
        CheckCase{Birth("男", "s40", "3", "7", "不明の場合"), ""}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// The year, month and day as Japanese users type them: full-width digits and
// letters, blanks around them. Each reads as the plain ASCII date.
TEST(InputChecks, FullWidthAndBlanksInEveryDateBox) {
    struct TypedDate {
        const char* year;
        const char* month;
        const char* day;
    };
    const TypedDate cases[] = {
        {"１９６５", "3", "7"}, {"Ｓ４０", "3", "7"}, {"ｓ４０", "3", "7"},    {" 1965", "3", "7"},
        {"1965　", "3", "7"},   {"1965", "３", "7"},  {"1965", " 3 ", "7"},    {"1965", "　３", "7"},
        {"1965", "3", "７"},    {"1965", "3", "7 "},  {"1965", "3", "\t７　"}, {"　Ｓ４０　", "　３", "７　"},
    };
    for (const TypedDate& c : cases) {
        ProgramFolder folder;
        Engine e(folder);
        const std::string label = std::string(c.year) + "/" + c.month + "/" + c.day;
        const auto out = CheckBirthInput(e.ctx, Birth("男", c.year, c.month, c.day, "03:00-05:00"));
        ASSERT_TRUE(out.has_value()) << label << ": " << e.sink.Last();
        EXPECT_EQ(out->birthText, "1965/3/7") << label;
        EXPECT_EQ(out->month, 3) << label;
        EXPECT_EQ(out->day, 7) << label;
    }
}

// The counted age, and no age at all for a birth after today (2026-01-01).
TEST(InputChecks, NoAgeForABirthAfterToday) {
    const std::pair<const char*, int> cases[] = {
        {"1965/3/7", 62}, {"2026/1/1", 1}, {"2026/1/2", 0}, {"2099/12/31", 0}, {"2025/12/31", 2}};
    for (const auto& [date, age] : cases) {
        ProgramFolder folder;
        Engine e(folder);
        ASSERT_TRUE(CheckBirthDate(e.ctx, date)) << date;
        EXPECT_EQ(e.ctx.man.age, age) << date;
    }
}

TEST(InputChecks, EraFormsGiveTheSameYearAndDateText) {
    for (const char* year : {"s40", "S40", "1965"}) {
        ProgramFolder folder;
        Engine e(folder);
        const auto out = CheckBirthInput(e.ctx, Birth("男", year, "3", "7", "03:00-05:00"));
        ASSERT_TRUE(out.has_value()) << e.sink.Last();
        EXPECT_EQ(out->year, 1965);
        EXPECT_EQ(out->birthText, "1965/3/7");
        EXPECT_EQ(out->hourIndex, 2);
    }
    ProgramFolder folder;
    Engine e(folder);
    const auto out = CheckBirthInput(e.ctx, Birth("男", "H1", "3", "7", ""));
    ASSERT_TRUE(out.has_value());
    EXPECT_EQ(out->year, 1989);
    EXPECT_EQ(out->hourIndex, -1) << "an empty hour is inferred";
}

class WholeChart : public ::testing::Test {
protected:
    void SetUp() override { folder.AddYears({1921, 1922, 1923, 1958, 1959, 1960}); }
    ProgramFolder folder;
    Engine e{folder};
};

// 1959/5/7, 05:00-07:00 (hour index 3, 卯), a man; worked by hand from the
// fixture lines "6-6:6:8:31" (May: 己巳 begins on the 6th) and
// "10-8:3/25-30,29" (May 1st: 癸未, lunar 3/25 in a 30-day month).
TEST_F(WholeChart, Sample1959FieldByField) {
    const CastOutcome chart = RequestChart(e.ctx, Birth("男", "S34", "5", "7", "05:00-07:00"));
    ASSERT_TRUE(chart.has_value()) << e.sink.Last();
    EXPECT_TRUE(e.sink.shown.empty());
    const Tmandata& m = chart->Man();
    EXPECT_EQ(m.birthText, "1959/5/7");
    EXPECT_EQ(m.age, 2026 - 1959 + 1);
    // Day: 癸未 + 6 = 己丑. After the term (6th): month 己巳, year 己亥.
    // Hour: 己 day → group 1, 卯 period → stem (0 + 3) % 10 + 1 = 丁.
    EXPECT_EQ(PillarText(m.stems.year, m.branches.year), "己亥");
    EXPECT_EQ(PillarText(m.stems.month, m.branches.month), "己巳");
    EXPECT_EQ(PillarText(m.stems.day, m.branches.day), "己丑");
    EXPECT_EQ(PillarText(m.stems.hour, m.branches.hour), "丁卯");
    // Lunar: 3/25 … 3/30 are May 1–6, so May 7 opens month 4.
    EXPECT_EQ(m.lunarMonth, 4);
    EXPECT_EQ(m.lunarDay, 1);
    // A man of a yin (己) year goes backward: 7 − 6 = 1 day → age 0.
    // A woman would go forward: 31 − 7 + 6 (June's term) = 30 days → 10.
    EXPECT_EQ(m.luckDirection, -1);
    EXPECT_EQ(m.daysToTerm, 1);
    EXPECT_EQ(m.firstLuckAge, 0);
    EXPECT_EQ(chart->FirstLuckAgeMale(), 0);
    EXPECT_EQ(chart->FirstLuckAgeFemale(), 10);
    // Life palace: 巳 (6) − (卯 4 − 1) = 寅; palace i at 5 − i.
    const std::array<int, 13> palaces = {0, 4, 3, 2, 1, 12, 11, 10, 9, 8, 7, 6, 5};
    EXPECT_EQ(m.palaceBranch, palaces);
    EXPECT_EQ(m.bureau, 2);  // 寅 row, 己 column: 火局
    // 紫薇: day 1 in 火局 → 酉 (10); 天府 = 6 − 10 → 未 (8).
    const std::array<int, 21> stars = {0, 10, 9,  7,  6,  5, 2,  // 紫薇 天機 太陽 武曲 天同 廉貞
                                       8, 9,  10, 11, 12, 1, 2, 6,  // 天府 太陰 貪狼 巨門 天相 天梁 七殺 破軍
                                       1, 2,                        // 炎星 (亥 year: 酉 + 3), 鈴星 (戌 + 3)
                                       8, 8,                        // 文曲 (辰 + 3), 文昌 (戌 − 3)
                                       8, 6};                       // 羊刃, 陀羅 (己)
    EXPECT_EQ(m.starBranch, stars);
    EXPECT_EQ(m.bodyPalace, 9);  // 卯 4 + lunar month 4 + 1 = 申
    const std::array<int, 14> minors = {0, 7, 9, 1, 8, 8, 12, 9, 3, 1, 5, 11, 5, 1};
    EXPECT_EQ(m.minorBranch, minors);
    const std::array<int, 5> transforms = {0, 4, 9, 12, 17};  // 己: 武曲 禄, 貪狼 権, 天梁 科, 文曲 忌
    EXPECT_EQ(m.transformStar, transforms);
    const std::array<int, 21> grades = {0, 3, 2, 1, 3, 2, 2, 1, 2, 3, 3, 2, 1, 2, 3, 4, 3, 2, 2, 2, 4};
    EXPECT_EQ(m.brightness, grades);
    const std::array<int, 13> mains = {0, 0, 0, 6, 12, 11, 10, 1, 2, 7, 3, 4, 5};
    EXPECT_EQ(m.mainStar, mains);
    EXPECT_EQ(m.luckRulingStar, mains);
    // Backward: 命宮, 兄弟, 夫妻 … from age 0.
    EXPECT_EQ(m.luckPalace[2], 3);
    EXPECT_EQ(m.luckAge[2], 10);
    EXPECT_EQ(m.luckBranch[1], 3);

    const ChartLayout layout = LayOutChart(m);
    // 未 holds 天府, 文曲(忌), 文昌, 羊刃, then 左輔 and 右弼: full.
    EXPECT_EQ(layout.box[8][2].caption, "文曲(忌)");
    EXPECT_EQ(layout.box[8][6].caption, "右弼");
    EXPECT_EQ(layout.boxText[9][5], "左輔");  // 奴僕 stands at 未
    // 命宮 (寅) holds only 地劫: strength −2.
    EXPECT_EQ(PalaceStrengths(m)[2], -2);
}

TEST_F(WholeChart, AllHoursLeaveTheLastPeriod) {
    const auto request = CheckBirthInput(e.ctx, Birth("男", "1959", "5", "7", ""));
    ASSERT_TRUE(request.has_value()) << e.sink.Last();
    const auto cast = CastAllHours(e.ctx, *request);
    ASSERT_TRUE(cast.has_value()) << e.sink.Last();
    const HourGrid& grid = *cast;
    EXPECT_EQ(e.ctx.man.hourIndex, 11);
    EXPECT_EQ(e.ctx.man.birthText, "1959/5/7");
    EXPECT_EQ(grid[7][3], 1) << "紫薇 in 疾厄 at the 卯 period, as in the sample chart";
    EXPECT_EQ(grid[5][3], 11);
    // Every period puts 紫薇 somewhere.
    for (int h = 0; h < kHours; ++h) {
        int found = 0;
        for (int p = 1; p <= kPalaces; ++p) found += grid[p][h] == 1;
        EXPECT_LE(found, 1) << h;
    }
}

// Every stop shows its message once and refuses with that same message.
TEST_F(WholeChart, StopsAreReportedAndRefused) {
    const auto refusedWith = [this](const CastOutcome& cast, const std::string& message) {
        ASSERT_FALSE(cast.has_value());
        EXPECT_EQ(cast.error().message, message);
        ASSERT_EQ(e.sink.shown.size(), 1u);
        EXPECT_EQ(e.sink.Last(), message);
        e.sink.shown.clear();
    };
    // Before the first covered day.
    refusedWith(RequestChart(e.ctx, Birth("男", "1921", "1", "5", "05:00-07:00")), std::string(kOutOfRangeMessage));
    // A man of a 庚 (yang) year... born January 1921 before the term needs 1920.
    refusedWith(RequestChart(e.ctx, Birth("女", "1921", "1", "6", "01:00-03:00")), std::string(kOutOfRangeMessage));
    // After the last covered day: the range, not the missing file of the year after.
    refusedWith(CastChart(e.ctx, {.year = 2101, .month = 1, .day = 1, .hourIndex = 3}),
                std::string(kOutOfRangeMessage));
    // A missing file.
    refusedWith(RequestChart(e.ctx, Birth("男", "1975", "5", "7", "05:00-07:00")),
                "万暦データファイル：" + folder.FilePath(1974) + "not found ?");
    // A known hour is needed.
    refusedWith(RequestChart(e.ctx, Birth("男", "1959", "5", "7", "")), "生まれた時刻が指定されていません。");
}

// A chart stays as it was cast whatever the context casts after it.
TEST_F(WholeChart, ACastChartIsNotChangedByLaterCasts) {
    const CastOutcome first = RequestChart(e.ctx, Birth("男", "S34", "5", "7", "05:00-07:00"));
    ASSERT_TRUE(first.has_value()) << e.sink.Last();
    const Tmandata before = first->Man();
    ASSERT_TRUE(RequestChart(e.ctx, Birth("女", "1922", "3", "7", "23:00-01:00")).has_value()) << e.sink.Last();
    EXPECT_FALSE(RequestChart(e.ctx, Birth("男", "1975", "5", "7", "05:00-07:00")).has_value());
    EXPECT_EQ(first->Man().birthText, "1959/5/7");
    EXPECT_EQ(first->Man().starBranch, before.starBranch);
    EXPECT_EQ(first->Man().lunarMonth, 4);
    EXPECT_EQ(first->Man().daiunStarName, before.daiunStarName);
    EXPECT_EQ(first->FirstLuckAgeFemale(), 10);
}

// January 1921 after its term: 庚申 year; a backward count on or before the
// term day would need December 1920.
TEST_F(WholeChart, January1921BackwardCannotBeCounted) {
    // 1921 is a 辛 (yin) year from spring; before it the year is 庚 (yang),
    // so a woman counts backward.
    EXPECT_FALSE(RequestChart(e.ctx, Birth("女", "1921", "1", "6", "09:00-11:00")).has_value());
    EXPECT_EQ(e.sink.Last(), kOutOfRangeMessage);
    e.sink.shown.clear();
    const CastOutcome chart = RequestChart(e.ctx, Birth("男", "1921", "1", "6", "09:00-11:00"));
    ASSERT_TRUE(chart.has_value()) << e.sink.Last();
    EXPECT_EQ(PillarText(chart->Man().stems.year, chart->Man().branches.year), "庚申");
    EXPECT_EQ(chart->Man().luckDirection, 0);
}

}  // namespace
}  // namespace zelvara::test
