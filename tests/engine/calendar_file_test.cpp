// The calendar data loader: every message of the file format, the order in
// which years are read into the three slots, and the cache.
#include "engine/calendar_file.h"
#include "tests/engine/test_support.h"

#include <gtest/gtest.h>

#include <thread>

namespace zelvara::test {
namespace {

struct FaultCase {
    const char* what;
    int lineIndex;  // 0 = year line, 1 = January month line, 2 = January day line
    const char* replacement;
    std::string expected;  // "{line}" stands for the replaced line
};

std::string Expand(std::string text, const std::string& line, const std::string& path) {
    for (auto [key, value] : {std::pair<std::string, std::string>{"{line}", line}, {"{path}", path}})
        if (auto pos = text.find(key); pos != std::string::npos) text.replace(pos, key.size(), value);
    return text;
}

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.what; }

class LoaderMessages : public ::testing::TestWithParam<FaultCase> {};

// Each fault in the birth year's file (slot 2) stops the load with exactly its message.
TEST_P(LoaderMessages, FaultyLineGivesItsMessage) {
    const FaultCase& c = GetParam();
    ProgramFolder folder;
    folder.AddYears({1958, 1960});
    auto lines = FixtureLines(1959);
    lines[c.lineIndex] = c.replacement;
    folder.Write("1959.eto", JoinCrLf(lines));

    Engine e(folder);
    EXPECT_EQ(LoadCalendarYears(e.ctx, 1959), -1);
    ASSERT_EQ(e.sink.shown.size(), 1u) << c.what;
    std::string expected = Expand(c.expected, c.replacement, folder.FilePath(1959));
    if (expected.rfind("万暦データファイル", 0) != 0)  // the loader's own texts say where below
        expected +=
            "\n（万暦データファイル：" + folder.FilePath(1959) + " " + std::to_string(c.lineIndex + 1) + "行目）";
    EXPECT_EQ(e.sink.shown[0].text, expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, LoaderMessages,
    ::testing::Values(
        FaultCase{"era letter", 0, "X34:6-12", "年データ異常 年号 err： X"},
        FaultCase{"lower-case era letter", 0, "s34:6-12", "年データ異常 年号 err： s"},
        FaultCase{"year line without colon", 0, "S34 6-12", "年データ異常 区切１(:) err"},
        FaultCase{"year line without dash", 0, "S34:6+12", "年データ異常 区切干支(-) err"},
        FaultCase{"year stem 11", 0, "S34:11-12", "年データ異常 １０干 err： 11"},
        FaultCase{"year stem 0", 0, "S34:0-12", "年データ異常 １０干 err： 0"},
        FaultCase{"year branch 13", 0, "S34:6-13", "年データ異常 １２支 err： 13"},
        FaultCase{"stem checked before branch", 0, "S34:11-13", "年データ異常 １０干 err： 11"},
        FaultCase{"month line without colon", 1, "2-2 6 4 31", "{line}月データ異常 区切１(:) err"},
        FaultCase{"month dash only after colon", 1, "2:2-6:4:31", "{line}月データ異常 区切干支(-) err"},
        FaultCase{"month stem", 1, "11-2:6:4:31", "{line}月データ異常 １０干 err： 11"},
        FaultCase{"month branch", 1, "2-13:6:4:31", "{line}月データ異常 １２支 err： 13"},
        FaultCase{"month without second colon", 1, "2-2:6", "{line}月データ異常 区切２(:) err"},
        FaultCase{"term hour 13", 1, "2-2:6:13:31", "{line}月データ異常 月始め１２支 err： 13"},
        FaultCase{"term hour 0", 1, "2-2:6:0:31", "{line}月データ異常 月始め１２支 err： 0"},
        FaultCase{"day line without colon", 2, "10-8 11/23-30,29", "日データ異常 区切１(:) err"},
        FaultCase{"day line without dash: no line text", 2, "10+8:11/23-30,29", "日データ異常 区切干支(-) err"},
        FaultCase{"day stem: blank after Yno", 2, "11-8:11/23-30,29", "{line} Yno : 2 日データ異常 １０干 err： 11"},
        FaultCase{"day branch: no blanks around Yno", 2, "10-13:11/23-30,29",
                  "{line}Yno : 2日データ異常 １２支 err： 13"},
        FaultCase{"day line without slash", 2, "10-8:11.23-30,29", "日データ異常 区切２(/) err"},
        FaultCase{"day line without second dash", 2, "10-8:11/23+30,29", "日データ異常 区切３(-) err"},
        FaultCase{"day line without comma", 2, "10-8:11/23-30.29", "日データ異常 区切４(-) err"},
        FaultCase{"month line without third colon", 1, "2-2:6:4",
                  "万暦データファイル：{path} 2行目の形式が正しくありません：2-2:6:4"},
        FaultCase{"empty year line", 0, "", "万暦データファイル：{path} 1行目の形式が正しくありません："},
        FaultCase{"letter in a number", 1, "2-2:x6:4:31",
                  "万暦データファイル：{path} 2行目の数値が正しくありません：「x6」"},
        FaultCase{"blank before a number", 2, " 10-8:11/23-30,29",
                  "万暦データファイル：{path} 3行目の数値が正しくありません：「 10」"},
        FaultCase{"sign before a number", 0, "S34:+6-12",
                  "万暦データファイル：{path} 1行目の数値が正しくありません：「+6」"},
        FaultCase{"number too long for the field", 2, "10-8:11/23-30,99999999999",
                  "万暦データファイル：{path} 3行目の数値が正しくありません：「99999999999」"}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// A field outside what the calendar allows is a malformed line, not a chart
// cast from it: the message names the file, the line, the field and its value.
struct RangeCase {
    const char* what;
    int lineIndex;  // 0-based index into the file's lines; the message counts from 1
    const char* replacement;
    const char* field;
    const char* allowed;
    int value;
};

void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.what; }

class OutOfRangeFields : public ::testing::TestWithParam<RangeCase> {};

TEST_P(OutOfRangeFields, StopTheLoadNamingFileAndLine) {
    const RangeCase& c = GetParam();
    ProgramFolder folder;
    folder.AddYears({1958, 1960});
    auto lines = FixtureLines(1959);
    lines[c.lineIndex] = c.replacement;
    folder.Write("1959.eto", JoinCrLf(lines));

    Engine e(folder);
    EXPECT_EQ(LoadCalendarYears(e.ctx, 1959), -1) << c.what;
    ASSERT_EQ(e.sink.shown.size(), 1u) << c.what;
    const std::string expected = "万暦データファイル：" + folder.FilePath(1959) + " " +
                                 std::to_string(c.lineIndex + 1) + "行目の" + c.field + "「" + std::to_string(c.value) +
                                 "」が正しくありません（" + c.allowed + "）：" + c.replacement;
    EXPECT_EQ(e.sink.shown[0].text, expected) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Table, OutOfRangeFields,
    ::testing::Values(
        RangeCase{"lunar month 0 (the June line that cast 旧暦 0月)", 12, "6-8:0/6-30,29", "旧暦の月", "1〜12", 0},
        RangeCase{"lunar month 13 in the December line", 24, "4-6:13/3-30,29", "旧暦の月", "1〜12", 13},
        RangeCase{"lunar day 0", 2, "10-8:11/0-30,29", "旧暦の日", "1〜30", 0},
        RangeCase{"lunar day 31", 2, "10-8:11/31-30,29", "旧暦の日", "1〜30", 31},
        RangeCase{"lunar day 30 of a 29-day lunar month", 2, "10-8:11/30-29,30", "旧暦の日", "1〜29", 30},
        RangeCase{"lunar month of 28 days", 2, "10-8:11/23-28,29", "旧暦の月の日数", "29か30", 28},
        RangeCase{"lunar month of 31 days", 2, "10-8:11/23-31,29", "旧暦の月の日数", "29か30", 31},
        RangeCase{"following lunar month of 31 days", 2, "10-8:11/23-30,31", "旧暦の次の月の日数", "29か30", 31},
        RangeCase{"following lunar month of 0 days", 2, "10-8:11/23-30,0", "旧暦の次の月の日数", "29か30", 0},
        RangeCase{"term day 0", 1, "2-2:0:4:31", "節入りの日", "1〜31", 0},
        RangeCase{"term day after the month's last day", 1, "2-2:32:4:31", "節入りの日", "1〜31", 32},
        RangeCase{"term day 31 of a 30-day month", 7, "5-5:31:2:30", "節入りの日", "1〜30", 31},
        RangeCase{"civil month of 32 days", 1, "2-2:6:4:32", "月の日数", "28〜31", 32},
        RangeCase{"civil month of 27 days", 3, "3-3:4:3:27", "月の日数", "28〜31", 27}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

// The edges of every range load and are stored as they stand.
TEST(Loader, FieldsAtTheEdgesOfTheirRangesLoad) {
    ProgramFolder folder;
    folder.AddYears({1958, 1960});
    auto lines = FixtureLines(1959);
    lines[1] = "2-2:31:4:31";       // term on the month's last day
    lines[3] = "3-3:1:3:28";        // term on the 1st of a 28-day month
    lines[2] = "10-8:12/30-30,29";  // lunar month 12, day 30 of a 30-day month
    lines[4] = "1-3:1/1-29,30";     // lunar month 1, day 1
    folder.Write("1959.eto", JoinCrLf(lines));
    Engine e(folder);
    ASSERT_EQ(LoadCalendarYears(e.ctx, 1959), 0) << e.sink.Last();
    const YearSlot& s = e.ctx.reki.slot[2];
    EXPECT_EQ(s.monthInfo[1].termDay, 31);
    EXPECT_EQ(s.monthInfo[2].termDay, 1);
    EXPECT_EQ(s.monthInfo[2].monthDays, 28);
    EXPECT_EQ(s.firstDayInfo[1].lunarMonth, 12);
    EXPECT_EQ(s.firstDayInfo[1].lunarDay, 30);
    EXPECT_EQ(s.firstDayInfo[2].lunarMonth, 1);
    EXPECT_EQ(s.firstDayInfo[2].lunarDay, 1);
}

TEST(Loader, DayLineMessageNamesTheSlot) {
    ProgramFolder folder;
    folder.AddYears({1959, 1960});
    auto lines = FixtureLines(1958);
    lines[4] = "11-8:1/1-30,29";
    folder.Write("1958.eto", JoinCrLf(lines));
    Engine e(folder);
    EXPECT_EQ(LoadCalendarYears(e.ctx, 1959), -1);
    EXPECT_EQ(e.sink.Last(), "11-8:1/1-30,29 Yno : 1 日データ異常 １０干 err： 11\n（万暦データファイル：" +
                                 folder.FilePath(1958) + " 5行目）");
}

TEST(Loader, WrongNumberOfLinesIsReportedNotBorrowed) {
    for (size_t count : {24u, 26u}) {
        ProgramFolder folder;
        folder.AddYears({1958, 1960});
        auto lines = FixtureLines(1959);
        lines.resize(count, "1-1:1/1-30,29");
        folder.Write("1959.eto", JoinCrLf(lines));
        Engine e(folder);
        EXPECT_EQ(LoadCalendarYears(e.ctx, 1959), -1);
        EXPECT_EQ(e.sink.Last(), "万暦データファイル：" + folder.FilePath(1959) + " の行数が" + std::to_string(count) +
                                     "行です（25行のはずです）");
    }
}

TEST(Loader, AcceptsBareLineFeedsAndTheReiwaEra) {
    ProgramFolder folder;
    folder.AddYears({1958, 1960});
    auto lines = FixtureLines(1959);
    lines[0] = "R1:6-12";
    std::string content;
    for (const auto& l : lines) content += l + "\n";
    folder.Write("1959.eto", content);
    Engine e(folder);
    ASSERT_EQ(LoadCalendarYears(e.ctx, 1959), 0) << e.sink.Last();
    EXPECT_EQ(e.ctx.reki.slot[2].eraName, "令和");
    EXPECT_EQ(e.ctx.reki.slot[2].eraYear, 1);
}

TEST(Loader, StoresEveryFieldInItsSlot) {
    ProgramFolder folder;
    folder.AddYears({1958, 1959, 1960});
    Engine e(folder);
    ASSERT_EQ(LoadCalendarYears(e.ctx, 1959), 0) << e.sink.Last();
    const YearSlot& s = e.ctx.reki.slot[2];
    EXPECT_EQ(s.eraName, "昭和");
    EXPECT_EQ(s.eraYear, 34);
    EXPECT_EQ(s.yearStem, 6);
    EXPECT_EQ(s.yearBranch, 12);
    // "6-6:6:8:31" and "10-8:3/25-30,29" are the May lines of the fixture.
    EXPECT_EQ(s.monthInfo[5].stem, 6);
    EXPECT_EQ(s.monthInfo[5].branch, 6);
    EXPECT_EQ(s.monthInfo[5].termDay, 6);
    EXPECT_EQ(s.monthInfo[5].termHour, 8);
    EXPECT_EQ(s.monthInfo[5].monthDays, 31);
    EXPECT_EQ(s.firstDayInfo[5].stem, 10);
    EXPECT_EQ(s.firstDayInfo[5].branch, 8);
    EXPECT_EQ(s.firstDayInfo[5].lunarMonth, 3);
    EXPECT_EQ(s.firstDayInfo[5].lunarDay, 25);
    EXPECT_EQ(s.firstDayInfo[5].lunarMonthDays, 30);
    EXPECT_EQ(s.firstDayInfo[5].nextLunarMonthDays, 29);
    EXPECT_EQ(s.monthInfo[13].monthDays, 0);
    EXPECT_EQ(s.firstDayInfo[13].lunarMonth, 0);
    EXPECT_EQ(e.ctx.reki.slot[1].eraYear, 33);
    EXPECT_EQ(e.ctx.reki.slot[3].eraYear, 35);
}

// Which files a load reads, and in what order, shows in which file's absence
// is reported and which slots were filled before it.
TEST(LoaderOrder, Year1921ReadsOnly1921And1922) {
    ProgramFolder folder;
    folder.AddYears({1921, 1922});
    Engine e(folder);
    e.ctx.reki.slot[1].eraYear = 77;  // what an earlier request left
    ASSERT_EQ(LoadCalendarYears(e.ctx, 1921), 0) << e.sink.Last();
    EXPECT_TRUE(e.sink.shown.empty());
    EXPECT_EQ(e.ctx.reki.slot[1].eraYear, 77) << "slot 1 keeps what it held";
    EXPECT_EQ(e.ctx.reki.slot[2].eraYear, 10);
    EXPECT_EQ(e.ctx.reki.slot[3].eraYear, 11);
}

TEST(LoaderOrder, Year1922ReadsTheYearBeforeFirst) {
    ProgramFolder folder;
    folder.AddYears({1922, 1923});
    Engine e(folder);
    EXPECT_EQ(LoadCalendarYears(e.ctx, 1922), -1);
    EXPECT_EQ(e.sink.Last(), "万暦データファイル：" + folder.FilePath(1921) + "not found ?");
    EXPECT_EQ(e.ctx.reki.slot[2].eraYear, 0) << "nothing after the failing slot is read";

    folder.AddYear(1921);
    e.sink.shown.clear();
    ASSERT_EQ(LoadCalendarYears(e.ctx, 1922), 0) << e.sink.Last();
    EXPECT_EQ(e.ctx.reki.slot[1].eraYear, 10);
    EXPECT_EQ(e.ctx.reki.slot[2].eraYear, 11);
    EXPECT_EQ(e.ctx.reki.slot[3].eraYear, 12);
}

TEST(LoaderOrder, MissingYearAfterStopsAfterTwoSlots) {
    ProgramFolder folder;
    folder.AddYears({1958, 1959});
    Engine e(folder);
    EXPECT_EQ(LoadCalendarYears(e.ctx, 1959), -1);
    EXPECT_EQ(e.sink.Last(), "万暦データファイル：" + folder.FilePath(1960) + "not found ?");
    EXPECT_EQ(e.ctx.reki.slot[1].eraYear, 33);
    EXPECT_EQ(e.ctx.reki.slot[2].eraYear, 34);
    EXPECT_EQ(e.ctx.reki.slot[3].eraYear, 0);
}

TEST(LoaderCache, NoticesAChangedOrRemovedFile) {
    ProgramFolder folder;
    folder.AddYears({1958, 1959, 1960});
    Engine e(folder);
    ASSERT_EQ(LoadCalendarYears(e.ctx, 1959), 0);

    auto lines = FixtureLines(1959);
    lines[0] = "S99:6-12";
    folder.Write("1959.eto", JoinCrLf(lines));
    ASSERT_EQ(LoadCalendarYears(e.ctx, 1959), 0);
    EXPECT_EQ(e.ctx.reki.slot[2].eraYear, 99);

    std::filesystem::remove(folder.Path() / "1960.eto");
    EXPECT_EQ(LoadCalendarYears(e.ctx, 1959), -1);
    EXPECT_EQ(e.sink.Last(), "万暦データファイル：" + folder.FilePath(1960) + "not found ?");
}

TEST(LoaderCache, FaultyFileIsReportedAgainOnEveryLoad) {
    ProgramFolder folder;
    folder.AddYears({1958, 1960});
    folder.Write("1959.eto", "garbage\r\n");
    Engine e(folder);
    EXPECT_EQ(LoadCalendarYears(e.ctx, 1959), -1);
    EXPECT_EQ(LoadCalendarYears(e.ctx, 1959), -1);
    EXPECT_EQ(e.sink.shown.size(), 2u);
}

}  // namespace
}  // namespace zelvara::test
