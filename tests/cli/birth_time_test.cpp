// zelvara-cli with an exact birth time: summer time removed, the solar-time
// corrections, the corrected moment's date and period, the JSON fields, and
// the refusals of bad exact-time options.
#include "tests/cli/cli_run.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

const std::string kHome = std::string(" --home ") + ZELVARA_PROGRAM_DIR + " --today 2026/12/08";
const char* const kTimeKeys[] = {"clockTime",         "correctedTime",    "correctedDate",
                                 "summerTimeMinutes", "longitudeMinutes", "equationOfTimeMinutes"};

// reading and print are built only with the Qt modules of the desktop program.
bool HasCommand(const std::string& command) { return Cli(command + " --help").code == 0; }

QJsonObject Json(const CliRun& r) {
    EXPECT_EQ(r.code, 0) << r.err;
    return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
}

// A clock time that no correction moves casts exactly the chart of its
// period; the exact-time keys are the only addition to the JSON, one line
// the only addition to the text.
TEST(CliBirthTime, UncorrectedTimeCastsThePeriodsChart) {
    const std::string birth = "chart --sex 女 --date 1959/5/7 --name 見本";
    QJsonObject byHour = Json(Cli(birth + " --hour 05:00-07:00 --json" + kHome));
    QJsonObject byTime = Json(Cli(birth + " --time 06:10 --json" + kHome));
    for (const char* key : kTimeKeys) {
        EXPECT_FALSE(byHour.contains(QLatin1String(key))) << key;
        EXPECT_TRUE(byTime.contains(QLatin1String(key))) << key;
        byTime.remove(QLatin1String(key));
    }
    EXPECT_EQ(byTime, byHour);

    const CliRun hourText = Cli(birth + " --hour 05:00-07:00" + kHome);
    CliRun timeText = Cli(birth + " --time 06:10" + kHome);
    ASSERT_EQ(timeText.code, 0) << timeText.err;
    const std::string line = "出生時刻　06:10（補正なし）\n";
    const size_t at = timeText.out.find(line);
    ASSERT_NE(at, std::string::npos) << timeText.out.substr(0, 300);
    EXPECT_EQ(timeText.out.erase(at, line.size()), hourText.out);
}

TEST(CliBirthTime, CorrectedMomentDecidesDateAndPeriod) {
    struct Case {
        const char* what;
        const char* args;
        const char* correctedDate;
        const char* correctedTime;
        int summer;
        double longitude;  // nan: null
        double equation;   // nan: null
        int hourIndex;
    };
    const double none = std::nan("");
    const Case cases[] = {
        {"summer time", "--date 1949/7/1 --time 11:20", "1949/7/1", "10:20", -60, none, none, 5},
        {"summer time, era year", "--date S24/7/1 --time 11:20 --correction none", "1949/7/1", "10:20", -60, none, none,
         5},
        {"Naha over midnight", "--date 1959/5/7 --time 00:10 --place 那覇 --correction mean", "1959/5/6", "23:41", 0,
         -29.3, none, 0},
        {"Naha over New Year", "--date 1960/1/1 --time 00:05 --place 沖縄県 --correction mean", "1959/12/31", "23:36",
         0, -29.3, none, 0},
        {"Sapporo into the next period", "--date 1965/3/7 --time 10:50 --place 札幌 --correction mean", "1965/3/7",
         "11:15", 0, 25.4, none, 6},
        {"true solar time", "--date 1975/11/3 --time 12:50 --longitude 135 --correction true", "1975/11/3", "13:06", 0,
         0.0, 16.4, 7},
        {"summer and Sapporo", "--date 1950/6/1 --time 00:20 --place 北海道 --correction mean", "1950/5/31", "23:45",
         -60, 25.4, none, 0},
    };
    for (const Case& c : cases) {
        const QJsonObject chart = Json(Cli(std::string("chart --sex 男 --json ") + c.args + kHome));
        EXPECT_EQ(chart["correctedDate"].toString().toStdString(), c.correctedDate) << c.what;
        EXPECT_EQ(chart["birthText"].toString().toStdString(), c.correctedDate) << c.what;
        EXPECT_EQ(chart["correctedTime"].toString().toStdString(), c.correctedTime) << c.what;
        EXPECT_EQ(chart["summerTimeMinutes"].toInt(-1), c.summer) << c.what;
        if (std::isnan(c.longitude))
            EXPECT_TRUE(chart["longitudeMinutes"].isNull()) << c.what;
        else
            EXPECT_NEAR(chart["longitudeMinutes"].toDouble(), c.longitude, 0.05) << c.what;
        if (std::isnan(c.equation))
            EXPECT_TRUE(chart["equationOfTimeMinutes"].isNull()) << c.what;
        else
            EXPECT_NEAR(chart["equationOfTimeMinutes"].toDouble(), c.equation, 0.15) << c.what;
        EXPECT_EQ(chart["hourIndex"].toInt(), c.hourIndex) << c.what;
    }
    const CliRun text = Cli("chart --sex 男 --date 1950/6/1 --time 00:20 --place 札幌 --correction mean" + kHome);
    ASSERT_EQ(text.code, 0) << text.err;
    EXPECT_NE(
        text.out.find("出生時刻　00:20 → 23:45（夏時間 −60分、経度 +25分）\n出生地　　北海道 札幌市　東経 141.35 度\n"),
        std::string::npos)
        << text.out.substr(0, 400);
}

// The reading and print commands take the same options and cast the same
// corrected moment.
TEST(CliBirthTime, ReadingTakesTheCorrectedMoment) {
    if (!HasCommand("reading")) GTEST_SKIP() << "built without the reading command";
    const CliRun byTime =
        Cli("reading marriage --sex 男 --date 1959/5/7 --time 00:10 --place 那覇 --correction mean" + kHome);
    const CliRun byHour = Cli("reading marriage --sex 男 --date 1959/5/6 --hour 23:00-01:00" + kHome);
    ASSERT_EQ(byTime.code, byHour.code) << byTime.err;
    EXPECT_FALSE(byTime.out.empty());
    EXPECT_EQ(byTime.out, byHour.out);
}

// A birth abroad: --place finds a city of the world by its Japanese or Latin
// name and sets its zone; the clock is read in that zone. 1972/11/3 10:40 in
// New York is 巳 of 11/3 (10:44 local mean time) — as with --zone and a
// typed longitude — while the same longitude read in Japan's zone falls on
// the day before. A Japanese birth is unchanged by naming Asia/Tokyo.
TEST(CliBirthTime, BirthsAbroadAreReadInTheirZone) {
    const std::string birth = "chart --sex 男 --date 1972/11/3 --time 10:40 --correction mean --json" + kHome;
    for (const char* place :
         {" --place ニューヨーク", " --place \"new york\"", " --longitude -74.006 --zone America/New_York"}) {
        const QJsonObject chart = Json(Cli(birth + place));
        EXPECT_EQ(chart.value(QLatin1String("correctedDate")).toString(), QStringLiteral("1972/11/3")) << place;
        EXPECT_EQ(chart.value(QLatin1String("correctedTime")).toString(), QStringLiteral("10:44")) << place;
        EXPECT_EQ(chart.value(QLatin1String("zone")).toString(), QStringLiteral("America/New_York")) << place;
        EXPECT_EQ(chart.value(QLatin1String("hourIndex")).toInt(), 5) << place;  // 巳
    }
    const QJsonObject inJapansZone = Json(Cli(birth + " --longitude -74 --force-longitude"));
    EXPECT_EQ(inJapansZone.value(QLatin1String("correctedDate")).toString(), QStringLiteral("1972/11/2"));
    EXPECT_FALSE(inJapansZone.contains(QLatin1String("zone")));

    const std::string sapporo = "chart --sex 女 --date 1980/3/15 --time 08:50 --place 札幌 --correction true" + kHome;
    EXPECT_EQ(Cli(sapporo + " --zone Asia/Tokyo").out, Cli(sapporo).out);

    const CliRun text =
        Cli("chart --sex 男 --date 1972/11/3 --time 10:40 --correction mean --place ニューヨーク" + kHome);
    EXPECT_NE(text.out.find("10:40 → 10:44（America/New_York、経度 +4分）"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("ニューヨーク（New York, United States of America）"), std::string::npos) << text.out;

    const CliRun unknownZone = Cli(birth + " --longitude -74 --zone America/Atlantis");
    EXPECT_EQ(unknownZone.code, 1);
    EXPECT_NE(unknownZone.err.find("--zone"), std::string::npos) << unknownZone.err;
    const CliRun zoneWithoutTime = Cli("chart --sex 男 --date 1972/11/3 --hour 09:00-11:00 --zone Asia/Tokyo" + kHome);
    EXPECT_EQ(zoneWithoutTime.code, 1);
    const CliRun nowhere = Cli(birth + " --place どこにもない町");
    EXPECT_EQ(nowhere.code, 1);
    EXPECT_NE(nowhere.err.find("出生地「どこにもない町」"), std::string::npos) << nowhere.err;
}

TEST(CliBirthTime, BadExactTimeOptionsAreRefused) {
    const std::string chart = "chart --sex 男 --date 1959/5/7 ";
    struct Case {
        std::string args;
        const char* said;
    };
    const Case cases[] = {
        {chart + "--time 25:00", "HH:MM"},
        {chart + "--time 1230", "HH:MM"},
        {chart + "--time 12:3", "HH:MM"},
        {chart + "--time 06:10 --place 明石 --correction mean", "出生地「明石」は出生地の一覧にありません"},
        {chart + "--time 06:10 --longitude 160 --correction mean", "日本（東経 122〜154 度）の外"},
        {chart + "--time 06:10 --longitude 121.9", "--force-longitude"},
        {chart + "--time 06:10 --longitude 東経 --correction mean", "--longitude には"},
        {chart + "--time 06:10 --correction solar --place 札幌", "none、mean、true"},
        {chart + "--time 06:10 --correction mean", "--place または --longitude"},
        {chart + "--time 06:10 --hour 05:00-07:00", "一緒に指定できません"},
        {chart + "--hour 05:00-07:00 --place 札幌", "--time"},
        {chart + "--hour 05:00-07:00 --correction mean", "--time"},
        {chart + "--time 06:10 --place 札幌 --longitude 141", "どちらか一つ"},
        {"print chart --pdf /tmp/zelvara-never.pdf " + chart.substr(6) + "--time 6時", "HH:MM"},
        {"reading marriage " + chart.substr(6) + "--time 06:10 --place 明石", "出生地の一覧にありません"},
    };
    for (const Case& c : cases) {
        if (c.args.rfind("chart ", 0) != 0 && !HasCommand(c.args.substr(0, c.args.find(' ')))) continue;
        const CliRun r = Cli(c.args + kHome);
        EXPECT_EQ(r.code, 1) << c.args;
        EXPECT_TRUE(r.out.empty()) << c.args << ": " << r.out.substr(0, 100);
        EXPECT_NE(r.err.find(c.said), std::string::npos) << c.args << ": " << r.err;
    }
    const CliRun forced =
        Cli(chart + "--time 06:10 --longitude 160 --force-longitude --correction mean --json" + kHome);
    ASSERT_EQ(forced.code, 0) << forced.err;
    EXPECT_NE(forced.out.find("\"longitudeMinutes\":100"), std::string::npos) << forced.out.substr(0, 100);
}

}  // namespace
