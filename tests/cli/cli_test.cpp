// zelvara-cli as scripts use it: the JSON form, messages on stderr and the
// exit codes, the hour grid, and real calendar data across the whole range.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <array>
#include <cstdio>
#include <string>

namespace {

const std::string kFixtures = std::string("--home ") + ZELVARA_ENGINE_FIXTURES + " --today 2026/12/08";

QJsonObject Json(const std::string& out) {
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(out), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString() << ": " << out.substr(0, 80);
    return doc.object();
}

std::string Str(const QJsonValue& v) {
    return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).toStdString();
}

TEST(CliChart, JsonHoldsEveryKey) {
    const CliRun r = Cli("chart --sex 男 --date S34/5/7 --hour 05:00-07:00 --name '見本 \"太郎\"' --json " + kFixtures);
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonObject chart = Json(r.out);
    const char* keys[] = {"name",
                          "sex",
                          "birthText",
                          "age",
                          "hourIndex",
                          "stems",
                          "branches",
                          "lunarMonth",
                          "lunarDay",
                          "luckDirection",
                          "daysToTerm",
                          "firstLuckAge",
                          "firstLuckAgeMale",
                          "firstLuckAgeFemale",
                          "bodyPalace",
                          "bureau",
                          "palaceBranch",
                          "starBranch",
                          "minorBranch",
                          "transformStar",
                          "brightness",
                          "mainStar",
                          "luckAge",
                          "luckPalace",
                          "luckBranch",
                          "boxText",
                          "palaceStrength"};
    for (const char* key : keys) EXPECT_TRUE(chart.contains(QLatin1String(key))) << key;
    EXPECT_EQ(chart.size(), qsizetype(std::size(keys)));
    EXPECT_EQ(chart["name"].toString().toStdString(), "見本 \"太郎\"");
    EXPECT_EQ(chart["sex"].toString().toStdString(), "M");
    EXPECT_EQ(chart["birthText"].toString().toStdString(), "1959/5/7");
    EXPECT_EQ(chart["age"].toInt(), 68);
    EXPECT_EQ(chart["hourIndex"].toInt(), 3);
    EXPECT_EQ(Str(chart["palaceBranch"]), "[[4,3,2,1,12,11,10,9,8,7,6,5]]");
    EXPECT_EQ(Str(chart["mainStar"]), "[[0,0,6,12,11,10,1,2,7,3,4,5]]");
    EXPECT_EQ(Str(chart["transformStar"]), "[[4,9,12,17]]");
}

// A birth after today has no age: none in the text, null in the JSON.
TEST(CliChart, NoAgeForABirthAfterToday) {
    const std::string args = "chart --sex 男 --date 1959/5/7 --hour 05:00-07:00 --home " +
                             std::string(ZELVARA_ENGINE_FIXTURES) + " --today 1950/1/1";
    CliRun r = Cli(args + " --json");
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonObject chart = Json(r.out);
    ASSERT_TRUE(chart.contains(QLatin1String("age")));
    EXPECT_TRUE(chart["age"].isNull()) << Str(chart["age"]);
    r = Cli(args);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("生年月日　1959/5/7　05:00-07:00　男命\n"), std::string::npos) << r.out.substr(0, 200);
    EXPECT_EQ(r.out.find("-8才"), std::string::npos);
}

// Dates as Japanese input methods type them, with blanks around the parts.
TEST(CliChart, FullWidthAndBlanksInTheDate) {
    for (const char* date : {"１９５９/５/７", "Ｓ３４／５／７", "ｓ３４/5/7", "' 1959/5/7'", "'1959/ 5 /7　'",
                             "1959/05/０７", "'　S34/5/7'"}) {
        const CliRun r = Cli(std::string("chart --sex 男 --hour 05:00-07:00 --json --date ") + date + " " + kFixtures);
        ASSERT_EQ(r.code, 0) << date << ": " << r.err;
        EXPECT_EQ(Json(r.out)["birthText"].toString().toStdString(), "1959/5/7") << date;
    }
}

// The command line refuses what it does not understand, with the usage.
TEST(CliChart, StrictCommandLine) {
    const std::string chart = "chart --sex 男 --date 1959/5/7 --hour 05:00-07:00 ";
    struct Case {
        std::string args;
        const char* said;
    };
    const Case cases[] = {
        {chart + "--hone x " + kFixtures, "hone"},
        {chart + "--jsn 1 " + kFixtures, "jsn"},
        {chart + "extra " + kFixtures, "extra"},
        {chart + kFixtures + " --home", "home"},
        {chart + "--today 2026/13/1 --home " + ZELVARA_ENGINE_FIXTURES, "2026/13/1"},
        {chart + "--today 2026/2/30 --home " + ZELVARA_ENGINE_FIXTURES, "2026/2/30"},
        {chart + "--today 99999999999/1/1 --home " + ZELVARA_ENGINE_FIXTURES, "99999999999/1/1"},
        {chart + "--today -5/1/1 --home " + ZELVARA_ENGINE_FIXTURES, "-5/1/1"},
        {"bench --from abc --home " + std::string(ZELVARA_ENGINE_FIXTURES), "abc"},
        {"bench --from 1922 --to 99999999999 --home " + std::string(ZELVARA_ENGINE_FIXTURES), "99999999999"},
        {"bench --from 1930 --to 1925 --home " + std::string(ZELVARA_ENGINE_FIXTURES), "1930"},
        {"bench --from 1922 --to 1922 --mode fast --home " + std::string(ZELVARA_ENGINE_FIXTURES), "fast"},
        {"chrt --sex 男", "chrt"},
    };
    for (const Case& c : cases) {
        const CliRun r = Cli(c.args);
        EXPECT_EQ(r.code, 2) << c.args << "\n" << r.out << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << c.args << "\n" << r.err;
    }
    // The usage of a fault in the options is the command's own help.
    const CliRun r = Cli(chart + "--hone x");
    EXPECT_NE(r.err.find("usage: zelvara-cli chart"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("--today <YYYY/MM/DD>"), std::string::npos) << r.err;
}

TEST(CliChart, HelpOfEachCommandComesFromItsOptions) {
    const std::pair<const char*, const char*> commands[] = {{"chart", "--json"}, {"bench", "--mode"},
                                                            {"export", "--out"}, {"reading", "--period"},
                                                            {"print", "--dpi"},  {"register", "--csv"}};
    for (const auto& [command, option] : commands) {
        const CliRun r = Cli(std::string(command) + " --help");
        EXPECT_EQ(r.code, 0) << command << r.err;
        EXPECT_NE(r.out.find("usage: zelvara-cli " + std::string(command)), std::string::npos) << r.out;
        EXPECT_NE(r.out.find(option), std::string::npos) << command << "\n" << r.out;
        EXPECT_NE(r.out.find("--home <DIR>"), std::string::npos) << command;
    }
}

// --home=DIR as the desktop program takes it.
TEST(CliChart, HomeWithEqualsSign) {
    const CliRun r = Cli("chart --sex 男 --date 1959/5/7 --hour 05:00-07:00 --json --today 2026/12/08 --home=" +
                         std::string(ZELVARA_ENGINE_FIXTURES));
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(Json(r.out)["mainStar"].toArray().size(), 12);
}

// --home before the command is the command's --home, in either spelling; a
// --home with no folder, or with no command after it, is a usage fault.
TEST(CliChart, HomeBeforeTheCommand) {
    const std::string fixtures = ZELVARA_ENGINE_FIXTURES;
    const std::string birth = " --sex 男 --date 1959/5/7 --hour 05:00-07:00 --json --today 2026/12/08";
    for (const std::string& home : {"--home " + fixtures, "--home=" + fixtures}) {
        const CliRun r = Cli(home + " chart" + birth);
        ASSERT_EQ(r.code, 0) << home << "\n" << r.err;
        EXPECT_EQ(r.out, Cli("chart" + birth + " " + home).out) << home;
    }
    CliRun r = Cli("--home /nonexistent/zelvara-home chart" + birth);
    EXPECT_EQ(r.code, 1) << "the folder given before the command is the one used";
    EXPECT_NE(r.err.find("/nonexistent/zelvara-home"), std::string::npos) << r.err;
    r = Cli("--home " + fixtures);
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("usage: zelvara-cli [--home DIR] COMMAND"), std::string::npos) << r.err;
    r = Cli("--home");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--home"), std::string::npos) << r.err;
}

// Every command declares each of its options once (Qt's parser complains of a
// second declaration and keeps only the first's description).
TEST(CliUsage, EveryCommandDeclaresEachOptionOnce) {
    for (const char* command : {"chart", "reading overall", "print chart", "print report", "print notes",
                                "register list", "register export-person", "notes list", "texts import", "export"}) {
        const CliRun r = Cli(std::string(command) + " --help");
        EXPECT_EQ(r.err.find("already having an option"), std::string::npos) << command << "\n" << r.err;
    }
}

// A name whose bytes are not UTF-8 is refused, not written as broken JSON.
TEST(CliChart, NameThatIsNotUtf8IsRefused) {
    const CliRun r =
        Cli("chart --name \"$(printf '\\377\\376\\202\\240')\" --sex 男 --date 1959/5/7 --hour 05:00-07:00 --json " +
            kFixtures);
    EXPECT_EQ(r.code, 2) << r.out;
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find("--name"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("UTF-8"), std::string::npos) << r.err;
}

TEST(CliChart, StoppedRequestsSayWhyOnStderr) {
    CliRun r = Cli("chart --sex 男 --date 1920/5/7 --hour 05:00-07:00 " + kFixtures);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("万年暦が１９２１年より小さい年には対応していませんので診断できません。"), std::string::npos)
        << r.err;

    // After the last covered year: the range, not the missing calendar file of the year after.
    r = Cli("chart --sex 男 --date 2101/5/7 --hour 05:00-07:00 --home " + std::string(ZELVARA_PROGRAM_DIR));
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("1921年1月6日〜2100年12月31日"), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(".eto"), std::string::npos) << r.err;

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
    const QJsonObject chart = Json(r.out);
    EXPECT_EQ(chart["lunarMonth"].toInt(), 1);
    EXPECT_EQ(chart["lunarDay"].toInt(), 1);
    const QJsonObject stems = chart["stems"].toObject(), branches = chart["branches"].toObject();
    EXPECT_EQ(stems["year"].toInt() * 100 + stems["month"].toInt() * 10 + stems["day"].toInt(), 131)
        << "甲辰 year, 丙寅 month, 甲 day";
    EXPECT_EQ(branches["year"].toInt() * 100 + branches["month"].toInt() * 10 + branches["day"].toInt(), 535);
}

}  // namespace
