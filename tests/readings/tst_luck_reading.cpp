// The luck-period reading: period names, the year-of-age branches for both
// sexes, and the composed lines against a seeded hosiImi.DB.
#include "engine/chart_layout.h"
#include "readings/luck_reading.h"
#include "tests/readings/reading_fixture.h"

#include <algorithm>

using namespace zelvara;

namespace {

// Palace p on branch p, luck periods forward from age 3, period j named by
// names[j - 1].
Tmandata Chart(char sex, int yearBranch, const QStringList& names) {
    Tmandata man;
    man.sexCode = sex;
    man.branches.year = yearBranch;
    for (int p = 1; p <= kPalaces; ++p) man.palaceBranch[p] = p;
    man.firstLuckAge = 3;
    man.luckDirection = 0;
    LayOutLuckPeriods(man);  // palaces 2, 1, 12, 11 … so branches 2, 1, 12, 11 …
    for (int j = 1; j <= 12; ++j) man.daiunStarName[j] = names.value(j - 1, "空白").toStdString();
    return man;
}

const QStringList kNames = {"紫薇星", "天機星", "太陽星", "武曲星", "天同星", "廉貞星",
                            "天府星", "太陰星", "貪狼星", "巨門星", "天相星", "空白"};

QString LuckSeed() {
    QList<QPair<QString, QString>> fields;
    for (const QString& n : kNames.mid(0, 11)) fields.append({n, n + "の運"});
    fields[0].second += "\n二行目";
    return ReadingFixture::OneRecord(fields);
}

const QString kQuiet = "○この期間は、支配する星がありませんので、特に吉も凶もない平穏な期間です。";

}  // namespace

class TestLuckReading : public QObject {
    Q_OBJECT
private slots:
    void yearsOfAgeRunFromTheStartBranch_data() {
        QTest::addColumn<char>("sex");
        QTest::addColumn<int>("yearBranch");
        QTest::addColumn<QList<int>>("firstYears");  // branches of ages 1, 2, 3
        QTest::newRow("woman, 子 year") << 'F' << 1 << QList<int>{11, 10, 9};
        QTest::newRow("man, 子 year") << 'M' << 1 << QList<int>{11, 12, 1};
        QTest::newRow("man, 丑 year") << 'M' << 2 << QList<int>{7, 8, 9};
        QTest::newRow("woman, 丑 year") << 'F' << 2 << QList<int>{7, 6, 5};
        QTest::newRow("辰 year") << 'M' << 5 << QList<int>{11, 12, 1};
        QTest::newRow("巳 year") << 'M' << 6 << QList<int>{7, 8, 9};
        QTest::newRow("酉 year") << 'F' << 10 << QList<int>{7, 6, 5};
        QTest::newRow("寅 year") << 'M' << 3 << QList<int>{5, 6, 7};
        QTest::newRow("戌 year") << 'F' << 11 << QList<int>{5, 4, 3};
        QTest::newRow("woman, 卯 year wraps to 12") << 'F' << 4 << QList<int>{2, 1, 12};
        QTest::newRow("亥 year") << 'M' << 12 << QList<int>{2, 3, 4};
    }
    void yearsOfAgeRunFromTheStartBranch() {
        QFETCH(char, sex);
        QFETCH(int, yearBranch);
        QFETCH(QList<int>, firstYears);
        const Tmandata man = Chart(sex, yearBranch, kNames);
        QCOMPARE(QList<int>({MinorLimitBranch(man, 1), MinorLimitBranch(man, 2), MinorLimitBranch(man, 3)}),
                 firstYears);
        // Twelve years later the same branch comes round again, up to age 160.
        for (int a = 1; a <= 148; ++a) QCOMPARE(MinorLimitBranch(man, a + 12), MinorLimitBranch(man, a));
        QCOMPARE(MinorLimitBranch(man, 0), 0);
        QCOMPARE(MinorLimitBranch(man, 161), 0);
    }

    void periodsAreNamedByTheirRulingStar() {
        Tmandata man = Chart('M', 1, {});
        man.luckRulingStar.fill(0);
        man.minorBranch.fill(0);
        man.luckRulingStar[2] = 1;                    // 命宮: 紫薇
        man.minorBranch[1] = man.minorBranch[2] = 1;  // 父母宮 (branch 1): 天存 and 天魁
        man.minorBranch[6] = 12;                      // 福徳宮 (branch 12): 駅馬
        const auto captions = NameLuckPeriods(man);
        QCOMPARE(QString::fromStdString(captions[1]), QString("3-12才(紫薇星)"));
        QCOMPARE(QString::fromStdString(captions[2]), QString("13-22才(天存星)"));
        QCOMPARE(QString::fromStdString(captions[3]), QString("23-32才(駅馬星)"));
        QCOMPARE(QString::fromStdString(captions[4]), QString("33-42才(空白)"));
        QCOMPARE(QString::fromStdString(man.daiunStarName[2]), QString("天存星"));
        QCOMPARE(QString::fromStdString(man.daiunStarName[4]), QString("空白"));
    }

    void periodAndItsTenYears() {
        ReadingFixture fx;
        fx.WriteSeed("hosiImi.txt", LuckSeed());
        const Tmandata man = Chart('M', 1, kNames);  // ages 3 … 12 fall on branches 1 … 10
        const LuckReading r = ComposeLuckReading(man, 1, fx.Texts(), fx.sink);
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
        QVERIFY(r.complete);
        // Branch b is the branch of period j = 2, 1, 12, 11, … for b = 1, 2, 3, 4, …
        QCOMPARE(r.kounMemo, QStringList({"■3才から12才までのリズム - 【紫薇星】が支配する運勢です。",
                                          "紫薇星の運",
                                          "二行目",
                                          "",
                                          "□3才の支配星  - 【天機星】",
                                          "天機星の運",
                                          "□4才の支配星  - 【紫薇星】",
                                          "紫薇星の運",
                                          "二行目",
                                          "□5才の支配星  - 【空白】",
                                          kQuiet,
                                          "□6才の支配星  - 【天相星】",
                                          "天相星の運",
                                          "□7才の支配星  - 【巨門星】",
                                          "巨門星の運",
                                          "□8才の支配星  - 【貪狼星】",
                                          "貪狼星の運",
                                          "□9才の支配星  - 【太陰星】",
                                          "太陰星の運",
                                          "□10才の支配星  - 【天府星】",
                                          "天府星の運",
                                          "□11才の支配星  - 【廉貞星】",
                                          "廉貞星の運",
                                          "□12才の支配星  - 【天同星】",
                                          "天同星の運"}));
    }

    void womanYearsRunBackwards() {
        ReadingFixture fx;
        fx.WriteSeed("hosiImi.txt", LuckSeed());
        Tmandata man = Chart('F', 2, kNames);  // ages 1, 13, 25 … on branch 7, then one back per year
        const LuckReading r = ComposeLuckReading(man, 2, fx.Texts(), fx.sink);
        QStringList years;
        for (const QString& line : r.kounMemo)
            if (line.startsWith("□")) years << line;
        QCOMPARE(years.size(), 10);
        QCOMPARE(years.at(0), QString("□13才の支配星  - 【太陰星】"));  // branch 7: period 8
        QCOMPARE(years.at(1), QString("□14才の支配星  - 【貪狼星】"));  // branch 6: period 9
        QCOMPARE(years.at(9), QString("□22才の支配星  - 【天同星】"));  // branch 10 (wrapped past 1): period 5
    }

    // A first luck age of 0: counted ages have no year 0, so the first period
    // reads its years 1..9, for a man and for a woman.
    void firstPeriodFromAgeZeroLeavesOutAgeZero_data() {
        QTest::addColumn<char>("sex");
        QTest::addColumn<QString>("firstYear");
        QTest::addColumn<QString>("lastYear");
        // Age 1 on branch 11 (period 4); age 9 eight branches on.
        QTest::newRow("man") << 'M' << "□1才の支配星  - 【武曲星】"
                             << "□9才の支配星  - 【太陰星】";  // forwards to 7
        QTest::newRow("woman") << 'F' << "□1才の支配星  - 【武曲星】"
                               << "□9才の支配星  - 【空白】";  // backwards to 3
    }
    void firstPeriodFromAgeZeroLeavesOutAgeZero() {
        QFETCH(char, sex);
        QFETCH(QString, firstYear);
        QFETCH(QString, lastYear);
        ReadingFixture fx;
        fx.WriteSeed("hosiImi.txt", LuckSeed());
        Tmandata man = Chart(sex, 1, kNames);  // year branch 子: age 1 on branch 11
        man.firstLuckAge = 0;
        LayOutLuckPeriods(man);
        QCOMPARE(man.luckAge[1], 0);
        const LuckReading r = ComposeLuckReading(man, 1, fx.Texts(), fx.sink);
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
        QVERIFY(r.complete);
        QCOMPARE(r.kounMemo.first(), QString("■0才から9才までのリズム - 【紫薇星】が支配する運勢です。"));
        QStringList years;
        for (const QString& line : r.kounMemo)
            if (line.startsWith("□")) years << line;
        QCOMPARE(years.size(), 9);
        QCOMPARE(years.first(), firstYear);
        QCOMPARE(years.last(), lastYear);
        QVERIFY2(!r.kounMemo.join('\n').contains("□0才"), qPrintable(r.kounMemo.join('\n')));
    }

    void quietPeriodsStillGiveTenYears() {
        ReadingFixture fx;
        Tmandata man = Chart('F', 1, {});  // every period 空白; hosiImi has no texts at all
        const LuckReading r = ComposeLuckReading(man, 5, fx.Texts(), fx.sink);
        QVERIFY(r.complete);
        QCOMPARE(r.kounMemo.size(), 3 + 20);
        QCOMPARE(r.kounMemo.first(), QString("■43才から52才までのリズム - 【空白】が支配する運勢です。"));
        QCOMPARE(r.kounMemo.at(1), kQuiet);
        QCOMPARE(r.kounMemo.at(2), QString());
        for (int k = 0; k < 10; ++k) {
            QCOMPARE(r.kounMemo.at(3 + 2 * k), QString("□%1才の支配星  - 【空白】").arg(43 + k));
            QCOMPARE(r.kounMemo.at(4 + 2 * k), kQuiet);
        }
    }

    void unknownNameStopsWithTheLinesSoFar() {
        ReadingFixture fx;
        QStringList names = kNames;
        names[0] = "化禄";  // not a field of hosiImi.DB
        Tmandata man = Chart('M', 1, names);
        const LuckReading r = ComposeLuckReading(man, 1, fx.Texts(), fx.sink);
        QVERIFY(!r.complete);
        QCOMPARE(r.kounMemo, QStringList({"■3才から12才までのリズム - 【化禄】が支配する運勢です。"}));
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains("hosiImi.DB") && fx.sink.Last().contains("化禄"), qPrintable(fx.sink.Last()));
    }
};

QTEST_GUILESS_MAIN(TestLuckReading)
#include "tst_luck_reading.moc"
