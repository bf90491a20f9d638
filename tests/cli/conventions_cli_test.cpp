// zelvara-cli's convention options: the standard profile named only when asked
// for, a profile of the settings file, switch options on top of it, refusals
// with their messages, and chart --alternatives.
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "tests/cli/cli_run.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace {

const std::string kHome = std::string("--home ") + ZELVARA_PROGRAM_DIR + " --today 2026/12/09";
const std::string kBirth = "chart --sex 男 --date 2023/4/10 --hour 05:00-07:00 " + kHome;

QJsonObject Json(const std::string& out) { return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object(); }

std::string Settings(const std::string& name, const std::string& text) {
    const std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

TEST(CliConventions, NamedOnlyWhenChosen) {
    const CliRun plain = Cli(kBirth + " --json");
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_FALSE(Json(plain.out).contains("conventions"));
    EXPECT_FALSE(Json(plain.out).contains("transformMinor"));
    const CliRun named = Cli(kBirth + " --json --profile 標準");
    ASSERT_EQ(named.code, 0) << named.err;
    const QJsonObject chart = Json(named.out);
    const QJsonObject conventions = chart["conventions"].toObject();
    EXPECT_EQ(conventions["profile"].toString().toStdString(), "標準");
    EXPECT_EQ(conventions["palace-month"].toString().toStdString(), "solar-term");
    EXPECT_EQ(conventions["line"].toString().toStdString(),
              "標準：命宮 節月・年 立春・23時 当日・旧暦 135°E・四化 戊科太陽 庚科天府 壬科天府・補正 なし");
    // Everything else is the plain chart's.
    QJsonObject rest = chart;
    rest.remove("conventions");
    rest.remove("transformMinor");
    EXPECT_EQ(rest, Json(plain.out));
    EXPECT_NE(Cli(kBirth + " --profile 標準").out.find("規則　　　標準："), std::string::npos);
    EXPECT_EQ(Cli(kBirth).out.find("規則"), std::string::npos);
}

// The year 2028 (戊申) laid over the chart transforms by the chart's table:
// 化科 on 右弼 with ubitsu, in the text and in JSON; on 太陽 by the standard one.
TEST(CliConventions, LayersTransformByTheChosenTable) {
    const std::string layer = kBirth + " --layer year:2028";
    const CliRun plain = Cli(layer);
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_NE(plain.out.find("化科 太陽→"), std::string::npos) << plain.out;
    EXPECT_FALSE(Json(Cli(layer + " --json").out)["layer"].toObject().contains("transformMinor"));
    const CliRun ubitsu = Cli(layer + " --transform-wu ubitsu");
    ASSERT_EQ(ubitsu.code, 0) << ubitsu.err;
    EXPECT_NE(ubitsu.out.find("化科 右弼→"), std::string::npos) << ubitsu.out;
    EXPECT_EQ(ubitsu.out.find("化科 太陽→"), std::string::npos) << ubitsu.out;
    const QJsonObject json = Json(Cli(layer + " --json --transform-wu ubitsu").out)["layer"].toObject();
    EXPECT_EQ(json["transformMinor"].toArray(), (QJsonArray{0, 0, 5, 0}));
    EXPECT_EQ(json["transforms"].toArray()[2].toInt(), 0);
}

TEST(CliConventions, ProfileFromTheSettingsFileAndSwitchesOnTop) {
    const std::string ini = Settings("profiles.ini",
                                     "[owner]\r\ntitle=x\r\n[profiles]\r\n全書=transform-wu=ubitsu;"
                                     "palace-month=lunar-next\r\n");
    const CliRun r = Cli(kBirth + " --json --settings " + ini + " --profile 全書");
    ASSERT_EQ(r.code, 0) << r.err;
    QJsonObject c = Json(r.out)["conventions"].toObject();
    EXPECT_EQ(c["profile"].toString().toStdString(), "全書");
    EXPECT_EQ(c["palace-month"].toString().toStdString(), "lunar-next");
    EXPECT_EQ(c["transform-wu"].toString().toStdString(), "ubitsu");
    EXPECT_EQ(Json(r.out)["palaceBranch"].toArray()[1].toInt(), 2);  // 閏2/20 as the 3rd month: 丑
    const CliRun over = Cli(kBirth + " --json --settings " + ini + " --profile 全書 --palace-month lunar");
    c = Json(over.out)["conventions"].toObject();
    EXPECT_EQ(c["palace-month"].toString().toStdString(), "lunar");
    EXPECT_EQ(c["profile"].toString().toStdString(), "全書（指定で変更）");
    EXPECT_EQ(Json(over.out)["palaceBranch"].toArray()[1].toInt(), 1);  // as the 2nd month: 子
}

TEST(CliConventions, RefusalsSayWhy) {
    const std::string ini = Settings("bad-profiles.ini", "[profiles]\r\n壊れ=palace-month=moon\r\n");
    CliRun r = Cli(kBirth + " --settings " + ini + " --profile 無い");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("規則の組「無い」は設定ファイル"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("使える組: 標準、壊れ"), std::string::npos) << r.err;
    r = Cli(kBirth + " --settings " + ini + " --profile 壊れ");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("「palace-month=moon」を読めません"), std::string::npos) << r.err;
    r = Cli(kBirth + " --year-start 立春");
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--year-start には risshun、lunar-new-year のどれかを指定して下さい（指定: 立春）"),
              std::string::npos)
        << r.err;
    EXPECT_TRUE(r.out.empty());
    // A profile that corrects the time needs the birthplace.
    const std::string mean = Settings("mean.ini", "[profiles]\r\n平均=correction=mean\r\n");
    r = Cli("chart --sex 男 --date 1990/5/5 --time 10:00 " + kHome + " --settings " + mean + " --profile 平均");
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("規則の組「平均」は時刻を mean で補正します"), std::string::npos) << r.err;
    r = Cli("chart --sex 男 --date 1990/5/5 --time 10:00 --place 札幌 --json " + kHome + " --settings " + mean +
            " --profile 平均");
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_GT(Json(r.out)["longitudeMinutes"].toDouble(), 25);
}

TEST(CliConventions, AlternativesListReasonChangeAndFields) {
    CliRun r = Cli("chart --sex 男 --date 1965/3/17 --time 06:58 --alternatives --json " + kHome);
    ASSERT_EQ(r.code, 0) << r.err;
    const QJsonArray alternatives = Json(r.out)["alternatives"].toArray();
    ASSERT_FALSE(alternatives.isEmpty());
    const QJsonObject first = alternatives[0].toObject();
    EXPECT_EQ(first["kind"].toString().toStdString(), "period");
    EXPECT_EQ(first["reason"].toString().toStdString(), "出生が 06:58、卯と辰の境から 2 分");
    EXPECT_EQ(first["changes"].toString().toStdString(), "hour");
    EXPECT_EQ(first["value"].toString().toStdString(), "07:00-09:00");
    EXPECT_TRUE(first["differs"].toArray().contains(QStringLiteral("lifePalace")));
    EXPECT_TRUE(first["boundary"].toBool());
    r = Cli("chart --sex 男 --date 2024/2/4 --hour 15:00-17:00 --alternatives " + kHome);
    EXPECT_NE(r.out.find("境界注意　2月の節入り（4日 酉の刻）の当日の出生：節入り後とした場合："), std::string::npos)
        << r.out;
    EXPECT_EQ(Cli(kBirth).out.find("境界注意"), std::string::npos);
    // A 庚 year's 四化 variants are another value of a switch, not a boundary.
    r = Cli("chart --sex 男 --date 2020/8/10 --hour 11:00-13:00 --alternatives " + kHome);
    EXPECT_NE(r.out.find("他の規則　規則「庚科太陰」"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find("境界注意"), std::string::npos) << r.out;
}

TEST(CliConventions, NeighbourPeriodsOfABirthKnownOnlyByItsPeriod) {
    const std::string birth = "chart --sex 男 --date 1965/3/17 --hour 05:00-07:00 --alternatives --json ";
    CliRun r = Cli(birth + "--neighbour-periods " + kHome);
    ASSERT_EQ(r.code, 0) << r.err;
    QStringList periods;
    for (const QJsonValue& a : Json(r.out)["alternatives"].toArray())
        if (a["changes"].toString() == QLatin1String("hour")) {
            periods << a["value"].toString();
            EXPECT_TRUE(a["boundary"].toBool());
        }
    EXPECT_EQ(periods, (QStringList{QStringLiteral("03:00-05:00"), QStringLiteral("07:00-09:00")}));
    // Asked for only with the alternatives; without the option, none.
    for (const QJsonValue& a : Json(Cli(birth + kHome).out)["alternatives"].toArray())
        EXPECT_NE(a["changes"].toString(), QLatin1String("hour"));
    r = Cli("chart --sex 男 --date 1965/3/17 --hour 05:00-07:00 --neighbour-periods " + kHome);
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--alternatives と一緒に"), std::string::npos) << r.err;
}

}  // namespace
