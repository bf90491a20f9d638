// chart --layer: the birth chart's JSON and text stay exactly as without the
// option, the layer's fields follow them; a bad layer is refused.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli_run.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kBirth =
    std::string("chart --sex 男 --date S34/5/7 --hour 05:00-07:00 --home ") + ZELVARA_ENGINE_FIXTURES + " --today 2026/12/08";

QJsonObject Json(const std::string& out) { return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object(); }

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
    for (const char* bad : {"decade:13", "month:2027-13", "year:", "week:3"}) {
        const CliRun r = Cli(kBirth + " --layer " + bad);
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_NE(r.err.find("--layer"), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

}  // namespace
