// zelvara-cli as scripts use it: the JSON form, messages on stderr and the
// exit codes, the hour grid, and real calendar data across the whole range.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct CliRun {
    std::string out;
    std::string err;
    int code = -1;
};

// Each run has its own stderr file: ctest runs the cases of this file as
// parallel processes, which must not read one another's messages.
CliRun Cli(const std::string& args) {
    static int runs = 0;
    const std::string errFile =
        testing::TempDir() + "cli_stderr_" + std::to_string(getpid()) + "_" + std::to_string(++runs) + ".txt";
    const std::string command = std::string(ZELVARA_CLI) + " " + args + " 2>" + errFile;
    CliRun r;
    FILE* p = popen(command.c_str(), "r");
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
    const int status = pclose(p);
    r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (FILE* e = fopen(errFile.c_str(), "r")) {
        while ((n = fread(buf.data(), 1, buf.size(), e)) > 0) r.err.append(buf.data(), n);
        fclose(e);
    }
    std::remove(errFile.c_str());
    return r;
}

const std::string kFixtures = std::string("--home ") + ZELVARA_ENGINE_FIXTURES + " --today 2026/12/08";

TEST(CliChart, JsonKeysInTheirOrder) {
    const CliRun r = Cli("chart --sex 男 --date S34/5/7 --hour 05:00-07:00 --name '見本 \"太郎\"' --json " + kFixtures);
    ASSERT_EQ(r.code, 0) << r.err;
    const char* keys[] = {"name", "sex", "birthText", "age", "hourIndex", "stems", "branches", "lunarMonth",
                          "lunarDay", "luckDirection", "daysToTerm", "firstLuckAge", "firstLuckAgeMale",
                          "firstLuckAgeFemale", "bodyPalace", "bureau", "palaceBranch", "starBranch", "minorBranch",
                          "transformStar", "brightness", "mainStar"};
    size_t last = 0;
    for (const char* key : keys) {
        const size_t at = r.out.find("\"" + std::string(key) + "\":");
        ASSERT_NE(at, std::string::npos) << key;
        EXPECT_GT(at, last) << key << " out of order";
        last = at;
    }
    EXPECT_NE(r.out.find("\"name\":\"見本 \\\"太郎\\\"\""), std::string::npos) << r.out.substr(0, 80);
    EXPECT_NE(r.out.find("\"sex\":\"M\",\"birthText\":\"1959/5/7\",\"age\":68,\"hourIndex\":3"), std::string::npos);
    EXPECT_NE(r.out.find("\"palaceBranch\":[4,3,2,1,12,11,10,9,8,7,6,5]"), std::string::npos);
    EXPECT_NE(r.out.find("\"mainStar\":[0,0,6,12,11,10,1,2,7,3,4,5]"), std::string::npos);
    EXPECT_NE(r.out.find("\"transformStar\":[4,9,12,17]"), std::string::npos);
}

TEST(CliChart, StoppedRequestsSayWhyOnStderr) {
    CliRun r = Cli("chart --sex 男 --date 1920/5/7 --hour 05:00-07:00 " + kFixtures);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("万年暦が１９２１年より小さい年には対応していませんので診断できません。"), std::string::npos) << r.err;

    r = Cli("chart --sex 男 --date 1959/2/30 --hour 05:00-07:00 " + kFixtures);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("日のデータ異常"), std::string::npos) << r.err;

    r = Cli("chart --sex 男 --date 1959/5/7 --hour 25:00-27:00 " + kFixtures);
    EXPECT_EQ(r.code, 2);
    EXPECT_FALSE(r.err.empty());

    r = Cli("chart --sex 男 --date 1975/5/7 --hour 05:00-07:00 " + kFixtures);
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("1974.etonot found ?"), std::string::npos) << r.err;
}

TEST(CliChart, UnknownHourPrintsTheGrid) {
    const CliRun r = Cli("chart --sex 女 --date 1959/5/7 --hour 不明の場合 " + kFixtures);
    ASSERT_EQ(r.code, 0) << r.err;
    int lines = 0;
    for (char c : r.out) lines += c == '\n';
    EXPECT_EQ(lines, 13);
    EXPECT_NE(r.out.find("疾厄宮"), std::string::npos);
    EXPECT_NE(r.out.find("\t05:00-07:00\t"), std::string::npos);
}

// The shipped calendar data: the first and last covered days and known facts
// (2024-02-10 is New Year's Day of the old calendar and a 甲辰 day).
TEST(CliChart, ShippedCalendarCoversTheWholeRange) {
    const std::string home = std::string("--home ") + ZELVARA_PROGRAM_DIR;
    CliRun r = Cli("chart --sex 男 --date 1921/1/7 --hour 11:00-13:00 --json " + home);
    EXPECT_EQ(r.code, 0) << r.err;
    r = Cli("chart --sex 女 --date 2100/12/31 --hour 21:00-23:00 --json " + home);
    EXPECT_EQ(r.code, 0) << r.err;
    r = Cli("chart --sex 女 --date 2024/2/10 --hour 11:00-13:00 --json " + home);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("\"lunarMonth\":1,\"lunarDay\":1"), std::string::npos);
    EXPECT_NE(r.out.find("\"stems\":{\"year\":1,\"month\":3,\"day\":1"), std::string::npos) << "甲辰 year, 丙寅 month, 甲 day";
    EXPECT_NE(r.out.find("\"branches\":{\"year\":5,\"month\":3,\"day\":5"), std::string::npos);
}

}  // namespace
