// chart --layer: the birth chart's JSON and text stay exactly as without the
// option, the layer's fields follow them; several layers stack in the order
// given; a bad layer is refused.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>

namespace {

const std::string kBirth = std::string("chart --sex 男 --date S34/5/7 --hour 05:00-07:00 --home ") +
                           ZELVARA_ENGINE_FIXTURES + " --today 2026/12/08";

// S34/5/7 卯 hour, male (命宮 丑): in 2027 the 斗君 is 申 and month 3 stands
// on 戌. 2027-04-15 is lunar 3/9, a 甲子 day: its 命 stands on 午; the 巳
// hour (10 o'clock) of that day stands on 亥 and is 己巳.
const std::string kRealBirth = std::string("chart --sex 男 --date S34/5/7 --hour 05:00-07:00 --home ") +
                               ZELVARA_PROGRAM_DIR + " --today 2026/12/08";

QJsonObject Json(const std::string& out) { return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object(); }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(CliLayer, BirthChartUnchangedAndLayerAdded) {
    const CliRun plain = Cli(kBirth + " --json");
    ASSERT_EQ(plain.code, 0) << plain.err;
    for (const char* layer : {"birth", "decade:3", "year:2027", "month:2027-03"}) {
        const CliRun layered = Cli(kBirth + " --json --layer " + layer);
        ASSERT_EQ(layered.code, 0) << layered.err;
        QJsonObject chart = Json(layered.out);
        for (const char* key : {"palaceStems", "flying", "selfTransforms", "jiClashes", "layer"}) {
            EXPECT_TRUE(chart.contains(QLatin1String(key))) << key;
            chart.remove(QLatin1String(key));
        }
        EXPECT_EQ(chart, Json(plain.out)) << layer;
        const QJsonObject full = Json(layered.out);
        EXPECT_EQ(full["palaceStems"].toArray().size(), 12);
        EXPECT_EQ(full["flying"].toArray().size(), 12);
        EXPECT_EQ(full["flying"].toArray()[0].toArray().size(), 4);
        EXPECT_EQ(full["layer"].toObject()["transforms"].toArray().size(), 4);
    }
    // 1959 is 己亥: the year layer of 2027 (丁未) stands on 未 and is a year.
    const QJsonObject year = Json(Cli(kBirth + " --json --layer year:2027").out)["layer"].toObject();
    EXPECT_EQ(year["kind"].toString().toStdString(), "year");
    EXPECT_EQ(year["stem"].toInt(), 4);
    EXPECT_EQ(year["branch"].toInt(), 8);

    const CliRun text = Cli(kBirth);
    const CliRun layeredText = Cli(kBirth + " --layer year:2027");
    ASSERT_EQ(layeredText.code, 0);
    EXPECT_EQ(layeredText.out.substr(0, text.out.size()), text.out);
    EXPECT_NE(layeredText.out.find("流年2027（丁未）"), std::string::npos);
}

TEST(CliLayer, BadLayerIsRefused) {
    for (const char* bad :
         {"decade:13", "month:2027-13", "year:", "week:3", "day:2027-02-29", "day:2027-4-31", "day:1921-01-05",
          "day:2101-01-01", "hour:2027-04-15", "hour:2027-04-15:24", "hour:2027-04-15:ten", "day:2027-04-15:10"}) {
        const CliRun r = Cli(kBirth + " --layer " + bad);
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_NE(r.err.find("--layer"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find(bad), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    // One bad value among good ones refuses the whole run.
    const CliRun r = Cli(kBirth + " --json --layer year:2027 --layer hour:2027-04-15:25 --layer decade:2");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("hour:2027-04-15:25"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
}

// A print takes one layer, a day or an hour as well; two are refused before
// anything is written.
TEST(CliLayer, PrintTakesOneLayer) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    const std::string pdf = testing::TempDir() + "zelvara_day_layer_" + std::to_string(getpid()) + ".pdf";
    const std::string print = "print flying --pdf " + pdf + kRealBirth.substr(5);
    const CliRun two = Cli(print + " --layer year:2027 --layer day:2027-04-15");
    EXPECT_EQ(two.code, 2);
    EXPECT_NE(two.err.find("--layer を一つだけ"), std::string::npos) << two.err;
    EXPECT_FALSE(std::ifstream(pdf).good());
    const CliRun day = Cli(print + " --layer hour:2027-04-15:10");
    EXPECT_EQ(day.code, 0) << day.err;
    EXPECT_TRUE(std::ifstream(pdf).good());
    std::remove(pdf.c_str());
}

// A single layer writes exactly what it wrote before several could be given
// (the files were written by the program before that change).
TEST(CliLayer, SingleLayerOutputIsByteForByteAsBefore) {
    const std::pair<const char*, const char*> kRuns[] = {
        {" --json --layer month:2027-03", "chart_layer_month.json"},
        {" --json --layer decade:3", "chart_layer_decade.json"},
        {" --layer year:2027", "chart_layer_year.txt"},
    };
    for (const auto& [options, file] : kRuns) {
        const CliRun r = Cli(kBirth + options);
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.out, ReadFile(std::string(ZELVARA_CLI_GOLDEN) + "/" + file)) << options;
    }
}

int LifeBranch(const QJsonObject& chart, const QJsonObject& layer) {
    return chart["palaceBranch"].toArray()[layer["lifePalace"].toInt() - 1].toInt();
}

TEST(CliLayer, SeveralLayersStackInTheOrderGiven) {
    const std::string layers = " --layer decade:3 --layer year:2027 --layer day:2027-04-15 --layer hour:2027-04-15:10";
    const CliRun stacked = Cli(kRealBirth + " --json" + layers);
    ASSERT_EQ(stacked.code, 0) << stacked.err;
    const QJsonObject chart = Json(stacked.out);
    EXPECT_FALSE(chart.contains(QLatin1String("layer")));
    const QJsonArray array = chart["layers"].toArray();
    ASSERT_EQ(array.size(), 4);
    const char* const kinds[] = {"decade", "year", "day", "hour"};
    const char* const singles[] = {"decade:3", "year:2027", "day:2027-04-15", "hour:2027-04-15:10"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(array[i].toObject()["kind"].toString().toStdString(), kinds[i]);
        // Each is the object the layer alone gives.
        EXPECT_EQ(array[i].toObject(), Json(Cli(kRealBirth + " --json --layer " + singles[i]).out)["layer"].toObject())
            << singles[i];
    }
    const QJsonObject day = array[2].toObject();
    EXPECT_EQ(LifeBranch(chart, day), 7);
    EXPECT_EQ(day["stem"].toInt(), 1);
    EXPECT_EQ(day["branch"].toInt(), 1);
    EXPECT_EQ(day["date"].toString().toStdString(), "2027-04-15");
    EXPECT_EQ(day["year"].toInt(), 2027);
    EXPECT_EQ(day["month"].toInt(), 3);
    EXPECT_EQ(day["day"].toInt(), 9);
    EXPECT_FALSE(day["leapMonth"].toBool());
    const QJsonObject hour = array[3].toObject();
    EXPECT_EQ(LifeBranch(chart, hour), 12);
    EXPECT_EQ(hour["stem"].toInt(), 6);
    EXPECT_EQ(hour["branch"].toInt(), 6);

    // Another order, another order of the array; 23:00 is the 子 hour of the
    // same day, on the day's palace.
    const QJsonArray reversed =
        Json(Cli(kRealBirth + " --json --layer hour:2027-04-15:23 --layer day:2027-04-15").out)["layers"].toArray();
    ASSERT_EQ(reversed.size(), 2);
    EXPECT_EQ(reversed[0].toObject()["kind"].toString().toStdString(), "hour");
    EXPECT_EQ(LifeBranch(chart, reversed[0].toObject()), 7);
    EXPECT_EQ(reversed[0].toObject()["stem"].toInt(), 1);
    EXPECT_EQ(reversed[1].toObject(), day);

    // The text prints the flying table once and a block per layer, in order.
    const CliRun text = Cli(kRealBirth + layers);
    ASSERT_EQ(text.code, 0) << text.err;
    const size_t decade = text.out.find("大限3");
    const size_t year = text.out.find("流年2027（丁未）");
    const size_t dayCaption = text.out.find("流日2027年4月15日（旧暦3月9日、甲子）");
    const size_t hourCaption = text.out.find("流時2027年4月15日巳時（己巳）");
    ASSERT_NE(hourCaption, std::string::npos) << text.out;
    EXPECT_LT(decade, year);
    EXPECT_LT(year, dayCaption);
    EXPECT_LT(dayCaption, hourCaption);
    EXPECT_EQ(text.out.find("飛星"), text.out.rfind("飛星"));
}

}  // namespace
