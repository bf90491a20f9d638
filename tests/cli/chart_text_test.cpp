// zelvara-cli chart --format markdown: the chart as a text for mail or another
// tool, with every palace, the decade periods and a layer's palaces mapped
// onto the birth palaces.
#include "tests/cli/cli_run.h"

#include <QString>
#include <QStringList>

namespace {

// 1972/11/23 巳 hour, female: 命宮 午 with 武曲 (忌, 旺) and 天府 (科, 旺);
// in 2027 (丁未) the year's 命 stands on 未, her 父母宮, where 太陰 takes 禄.
const std::string kBirth = std::string("chart --sex 女 --date 1972/11/23 --hour 09:00-11:00 --name 山田花子 --home ") +
                           ZELVARA_PROGRAM_DIR + " --today 2026/12/08";

QStringList Lines(const std::string& out) { return QString::fromStdString(out).split(QLatin1Char('\n')); }

// The table rows that begin with cell.
QStringList RowsOf(const QStringList& lines, const QString& cell) {
    QStringList rows;
    for (const QString& line : lines)
        if (line.startsWith(QStringLiteral("| ") + cell + QStringLiteral(" |")) ||
            line.startsWith(QStringLiteral("| ") + cell + QStringLiteral("（")))
            rows << line;
    return rows;
}

TEST(CliChartMarkdown, EveryPalaceTheDecadesAndTheLayerMapping) {
    const CliRun r = Cli(kBirth + " --format markdown --layer year:2027");
    ASSERT_EQ(r.code, 0) << r.err;
    const QStringList lines = Lines(r.out);
    EXPECT_EQ(lines.value(0).toStdString(), "# 出生図　山田花子");
    for (const char* item : {"- 生年月日：1972/11/23　09:00-11:00", "- 身宮：辰（夫妻宮）", "- 流派の設定：標準",
                             "- 時刻の補正：なし（入力した時刻で作盤）"})
        EXPECT_TRUE(lines.contains(QString::fromUtf8(item))) << item << "\n" << r.out;
    const char* palaces[] = {"命宮",   "兄弟宮", "夫妻宮", "子女宮", "財帛宮", "疾厄宮",
                             "遷移宮", "奴僕宮", "官禄宮", "田宅宮", "福徳宮", "父母宮"};
    for (const char* palace : palaces) {
        // One row among the palaces and one among the decades.
        EXPECT_EQ(RowsOf(lines, QString::fromUtf8(palace)).size(), 1) << palace;
    }
    EXPECT_EQ(RowsOf(lines, QStringLiteral("命宮")).value(0).toStdString(),
              "| 命宮 | 午 | 丙 | 5〜14才 | 武曲(忌)(旺)、天府(科)(旺)、天空、天刑 |  |");
    EXPECT_TRUE(RowsOf(lines, QStringLiteral("夫妻宮")).value(0).startsWith(QStringLiteral("| 夫妻宮（身宮） | 辰 |")));
    EXPECT_EQ(RowsOf(lines, QStringLiteral("1")).value(0).toStdString(), "| 1 | 5〜14才 | 命宮 | 午 |");
    EXPECT_EQ(RowsOf(lines, QStringLiteral("12")).value(0).toStdString(), "| 12 | 115〜124才 | 父母宮 | 未 |");

    EXPECT_TRUE(lines.contains(QStringLiteral("## 流年2027（丁未）"))) << r.out;
    const char* layerPalaces[] = {"年命", "年兄", "年夫", "年子", "年財", "年疾",
                                  "年遷", "年奴", "年官", "年田", "年福", "年父"};
    for (const char* palace : layerPalaces) EXPECT_EQ(RowsOf(lines, QString::fromUtf8(palace)).size(), 1) << palace;
    EXPECT_EQ(RowsOf(lines, QStringLiteral("年命")).value(0).toStdString(), "| 年命 | 父母宮 | 未 | 化禄 太陰 |");
    EXPECT_EQ(RowsOf(lines, QStringLiteral("年福")).value(0).toStdString(),
              "| 年福 | 田宅宮 | 酉 | 化科 天機、化忌 巨門 |");
    EXPECT_EQ(RowsOf(lines, QStringLiteral("年兄")).value(0).toStdString(), "| 年兄 | 命宮 | 午 |  |");
}

// Without a layer, no layer section; an exact time brings its correction and place.
TEST(CliChartMarkdown, ExactTimeAndPlace) {
    const CliRun plain = Cli(kBirth + " --format markdown");
    ASSERT_EQ(plain.code, 0) << plain.err;
    EXPECT_EQ(plain.out.find("## 流年"), std::string::npos);
    EXPECT_EQ(plain.out.find("出生地"), std::string::npos);

    const std::string exact = std::string(
                                  "chart --sex 女 --date 1972/11/23 --time 09:30 --place 東京都 --correction "
                                  "true --format markdown --home ") +
                              ZELVARA_PROGRAM_DIR + " --today 2026/12/08";
    const CliRun r = Cli(exact);
    ASSERT_EQ(r.code, 0) << r.err;
    const QStringList lines = Lines(r.out);
    EXPECT_TRUE(lines.contains(QStringLiteral("- 時刻の補正：真太陽時（経度と均時差）"))) << r.out;
    EXPECT_TRUE(lines.filter(QStringLiteral("- 出生地：東京都")).size() == 1) << r.out;
    EXPECT_TRUE(lines.filter(QStringLiteral("- 出生時刻：09:30 → ")).size() == 1) << r.out;
}

TEST(CliChartMarkdown, RefusedOptions) {
    for (const char* extra : {" --format xml", " --format markdown --json", " --size 1080x1080",
                              " --png /tmp/x.png --size huge", " --png"}) {
        const CliRun r = Cli(kBirth + extra);
        EXPECT_EQ(r.code, 2) << extra << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << extra;
    }
}

}  // namespace
