// The overall reading, composed from a chart record and box texts built here,
// against tables seeded with distinctive texts.
#include "readings/overall_reading.h"
#include "readings/reading_names.h"
#include "tests/readings/reading_fixture.h"

using namespace zelvara;

namespace {

const QString kKyu12 = QStringLiteral(R"(
[記録]
No: 1
宮名称: 命宮
内容: <<
命宮の内容一
命宮の内容二
>>
星相性: 命宮の相性
紫薇星: 甲
天府星: 乙
炎星: 乙
[記録]
No: 2
宮名称: 命宮
内容: 二つ目の命宮は読まれない
紫薇星: 丁
)");

// Two 命宮 records (No 1 and 5, stored in the other order): both add texts.
const QString kKantei = QStringLiteral(R"(
[記録]
No: 5
宮名称: 命宮
紫薇星1: <<
紫薇の長所二
二行目
>>
天府星2: 天府の短所二
[記録]
No: 1
宮名称: 命宮
紫薇星1: 紫薇の長所一
紫薇星2: 紫薇の短所一
天府星2: 天府の短所一
天存星1: 天存の文
天存星2: 天存の星2は読まれない
炎星星1: 炎星の長所
炎星星2: 炎星の短所
)");

const QString kPairs = QStringLiteral(R"(組合せの見本
#天府-天存
天府と天存の文
#紫薇-天府
紫薇と天府の文
#天存-炎星
天存と炎星の文
#
)");

using Labels = QStringList;

BoxTextTable Box(int palace, const Labels& labels) {
    BoxTextTable box{};
    for (int i = 0; i < labels.size(); ++i) box[palace][i + 1] = labels[i].toStdString();
    return box;
}

Tmandata Chart() {
    Tmandata man;
    man.brightness.fill(2);
    man.brightness[1] = 1;   // 紫薇 廟
    man.brightness[7] = 3;   // 天府 失
    man.brightness[15] = 4;  // 炎星 陥
    return man;
}

}  // namespace

class TestOverallReading : public QObject {
    Q_OBJECT
private slots:
    void lifePalaceInFull() {
        ReadingFixture fx;
        fx.WriteSeed("KYU12.txt", kKyu12);
        fx.WriteSeed("KANTEI.txt", kKantei);
        fx.WriteSeed("hosi2dat.txt", kPairs);
        const OverallReading r = ComposeOverallReading(Chart(), Box(2, {"紫薇(禄)", "天府", "天存", "駅馬", "炎星"}), 2,
                                                       fx.Texts(), fx.sink);
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
        QVERIFY(r.complete);
        QCOMPARE(*r.hlp12Memo, QStringList({"■命宮で何が分かるか？の説明", "[基本内容]", "命宮の内容一", "命宮の内容二",
                                            "[命宮における星と星との相性の説明]", "命宮の相性"}));
        const QString zi = "■紫薇星が(廟)の状態で命宮に入っていることから診断される内容";
        const QString ko = "□甲級星として判断しますので、[短所]よりも[長所]が現れやすいと判断します。";
        const QString en = "■炎星が(陥)の状態で命宮に入っていることから診断される内容";
        const QString otsu4 = "□乙級星として判断しますので、[長所]だけでなく[短所]も現れやすいと判断します。";
        QCOMPARE(*r.kanteiMemo, QStringList({// 紫薇(禄): read as 紫薇星, one block per 命宮 record, in order of No
                                             zi, ko, "[長所]", "紫薇の長所一", "[短所]", "紫薇の短所一", zi, ko,
                                             "[長所]", "紫薇の長所二", "二行目", "",
                                             // 天府: no strengths text, so no heading
                                             "[短所]", "天府の短所一", "[短所]", "天府の短所二", "",
                                             // 天存: additional star, no brightness, no grade, no 星2
                                             "■天存星が命宮に入っていることから診断される内容", "天存の文", "",
                                             // 駅馬 adds nothing; 炎星 reads 炎星 / 炎星星1 / 炎星星2
                                             en, otsu4, "[長所]", "炎星の長所", "[短所]", "炎星の短所", "",
                                             // pairs of unmarked labels only; the pair heading says 炎星星
                                             " ", "■天府星と天存星との組合せ", "天府と天存の文", " ",
                                             "■天存星と炎星星との組合せ", "天存と炎星の文"}));
    }

    void gradeSentenceFromTheTable_data() {
        QTest::addColumn<QString>("grade");
        QTest::addColumn<int>("brightness");
        QTest::addColumn<QString>("sentence");
        const QString ko = "□甲級星として判断しますので、[短所]よりも[長所]が現れやすいと判断します。";
        const QString otsuGood = "□乙級星として判断しますので、比較的[長所]が現れやすいと判断します。";
        const QString otsuBad = "□乙級星として判断しますので、[長所]だけでなく[短所]も現れやすいと判断します。";
        const QString heiGood = "□丙級星として判断しますので、比較的[長所]が現れやすいと判断します。";
        const QString heiBad = "□丙級星として判断しますので、[長所]だけでなく[短所]も現れやすいと判断します。";
        const QString tei = "□丁級星として判断しますので、[長所]よりも[短所]が現れやすいと判断します。";
        QTest::newRow("甲 廟") << QString("甲") << 1 << ko;
        QTest::newRow("甲 陥") << QString("甲") << 4 << ko;
        QTest::newRow("乙 廟") << QString("乙") << 1 << otsuGood;
        QTest::newRow("乙 失 (good side)") << QString("乙") << 3 << otsuGood;
        QTest::newRow("乙 陥") << QString("乙") << 4 << otsuBad;
        QTest::newRow("丙 旺 (good side)") << QString("丙") << 2 << heiGood;
        QTest::newRow("丙 失") << QString("丙") << 3 << heiBad;
        QTest::newRow("丙 陥") << QString("丙") << 4 << heiBad;
        QTest::newRow("丁 廟") << QString("丁") << 1 << tei;
        QTest::newRow("丁 陥") << QString("丁") << 4 << tei;
        QTest::newRow("empty grade: empty line") << QString("") << 1 << QString("");
        QTest::newRow("other text: empty line") << QString("戊") << 1 << QString("");
    }
    void gradeSentenceFromTheTable() {
        QFETCH(QString, grade);
        QFETCH(int, brightness);
        QFETCH(QString, sentence);
        ReadingFixture fx;
        fx.WriteSeed("KYU12.txt", "[記録]\n宮名称: 財帛宮\n天機星: " + grade + "\n");
        fx.WriteSeed("KANTEI.txt", QString("[記録]\nNo: 1\n宮名称: 財帛宮\n天機星1: 天機の文\n"));
        Tmandata man = Chart();
        man.brightness[2] = brightness;
        const OverallReading r = ComposeOverallReading(man, Box(6, {"天機"}), 6, fx.Texts(), fx.sink);
        QCOMPARE(r.kanteiMemo->size(), 5);
        QCOMPARE(r.kanteiMemo->at(1), sentence);
        QCOMPARE(r.kanteiMemo->at(0), QString("■天機星が%1の状態で財帛宮に入っていることから診断される内容")
                                          .arg(QStringList({"", "(廟)", "(旺)", "(失)", "(陥)"})[brightness]));
    }

    void emptyPalaceNamesTheOppositeOne_data() {
        QTest::addColumn<int>("palace");
        QTest::addColumn<Labels>("labels");
        QTest::addColumn<QString>("opposite");
        QTest::newRow("no stars") << 6 << Labels{} << QString("福徳宮");
        QTest::newRow("only 駅馬") << 6 << Labels{"駅馬"} << QString("福徳宮");
        QTest::newRow("福徳宮 across") << 12 << Labels{} << QString("財帛宮");
        QTest::newRow("父母宮") << 1 << Labels{} << QString("疾厄宮");
        QTest::newRow("兄弟宮") << 3 << Labels{"駅馬"} << QString("奴僕宮");
        QTest::newRow("夫妻宮") << 4 << Labels{} << QString("官禄宮");
        QTest::newRow("田宅宮") << 11 << Labels{} << QString("子女宮");
        QTest::newRow("遷移宮") << 8 << Labels{} << QString("命宮");
    }
    void emptyPalaceNamesTheOppositeOne() {
        QFETCH(int, palace);
        QFETCH(Labels, labels);
        QFETCH(QString, opposite);
        ReadingFixture fx;
        const OverallReading r = ComposeOverallReading(Chart(), Box(palace, labels), palace, fx.Texts(), fx.sink);
        const QString n = PalaceName(palace);
        QCOMPARE(*r.kanteiMemo,
                 QStringList({"○" + n + "には星が入っていませんので特に吉でも凶でもありません。180度反対側にある" +
                              opposite + "を参考程度に判断して下さい。"}));
        // Without a KYU12 record only the two opening lines stand.
        QCOMPARE(*r.hlp12Memo, QStringList({"■" + n + "で何が分かるか？の説明", "[基本内容]"}));
    }

    void starWithoutTextsStillCounts() {
        ReadingFixture fx;
        const OverallReading r =
            ComposeOverallReading(Chart(), Box(3, {"天機", "駅馬", "天魁"}), 3, fx.Texts(), fx.sink);
        QCOMPARE(*r.kanteiMemo, QStringList({"", ""}));
    }

    void pairSectionOnlyForThreePalaces_data() {
        QTest::addColumn<int>("palace");
        for (int p = 1; p <= 12; ++p) QTest::newRow(qPrintable(PalaceName(p))) << p;
    }
    void pairSectionOnlyForThreePalaces() {
        QFETCH(int, palace);
        ReadingFixture fx;
        fx.WriteSeed("hosi2dat.txt", kPairs);
        const OverallReading r =
            ComposeOverallReading(Chart(), Box(palace, {"紫薇", "天府"}), palace, fx.Texts(), fx.sink);
        const bool pairs = palace == 2 || palace == 8 || palace == 10;
        QCOMPARE(*r.kanteiMemo, pairs ? QStringList({"", "", " ", "■紫薇星と天府星との組合せ", "紫薇と天府の文"})
                                      : QStringList({"", ""}));
    }

    void pairsInDisplayOrder() {
        ReadingFixture fx;
        fx.WriteSeed("hosi2dat.txt", kPairs + "#紫薇-天存\n紫薇と天存の文\n#\n");
        const OverallReading r =
            ComposeOverallReading(Chart(), Box(8, {"紫薇", "天府", "天存"}), 8, fx.Texts(), fx.sink);
        QCOMPARE(r.kanteiMemo->mid(3),
                 QStringList({" ", "■紫薇星と天府星との組合せ", "紫薇と天府の文", " ", "■紫薇星と天存星との組合せ",
                              "紫薇と天存の文", " ", "■天府星と天存星との組合せ", "天府と天存の文"}));
    }

    void missingFieldStopsWithWhatIsComposed() {
        ReadingFixture fx;
        fx.MakeTableWithout(TableId::Kyu12, {"紫薇星"}, {{{"宮名称", "命宮"}, {"天機星", "丁"}}});
        fx.WriteSeed("KANTEI.txt", QString("[記録]\nNo: 1\n宮名称: 命宮\n天機星1: 天機の文\n"));
        const OverallReading r =
            ComposeOverallReading(Chart(), Box(2, {"天機", "紫薇", "天府"}), 2, fx.Texts(), fx.sink);
        QVERIFY(!r.complete);
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains("KYU12.db") && fx.sink.Last().contains("紫薇星"), qPrintable(fx.sink.Last()));
        QCOMPARE(r.hlp12Memo->size(), 5);  // empty 内容 and 星相性 add one empty line each
        QCOMPARE(*r.kanteiMemo,
                 QStringList({"■天機星が(旺)の状態で命宮に入っていることから診断される内容",
                              "□丁級星として判断しますので、[長所]よりも[短所]が現れやすいと判断します。", "[長所]",
                              "天機の文", ""}));
    }

    void missingPairFileKeepsTheStarTexts() {
        ReadingFixture fx;
        ReadingTables& tables = fx.Open();
        QVERIFY(QFile::remove(fx.dir.filePath("hosi2dat.txt")));
        QVERIFY(QFile::remove(QDir(fx.SeedFolder()).filePath("hosi2dat.txt")));
        QVERIFY(!tables.Open(fx.Folder(), {fx.SeedFolder()}));
        fx.sink.messages.clear();
        const OverallReading r = ComposeOverallReading(Chart(), Box(2, {"紫薇", "天府"}), 2, fx.Texts(), fx.sink);
        QVERIFY(!r.complete);
        QCOMPARE(*r.kanteiMemo, QStringList({"", ""}));
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains("hosi2dat.txt"), qPrintable(fx.sink.Last()));
    }

    void closedTableIsReported() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", QString("[記録]\n誤り\n"));
        fx.Open();
        fx.sink.messages.clear();
        const OverallReading r = ComposeOverallReading(Chart(), Box(2, {"紫薇"}), 2, fx.Texts(), fx.sink);
        QVERIFY(!r.complete);
        QVERIFY(r.hlp12Memo);
        QVERIFY2(fx.sink.Last().contains("KANTEI.DB"), qPrintable(fx.sink.Last()));
    }
    // An edit an editor holds and has not saved, whether it could be saved or
    // not (a character Shift-JIS lacks, a text over its size), neither shows
    // in the reading nor stops it, and the reading leaves the editor's record
    // and edit as they were; saved, it shows in the next composition.
    void unsavedEditLeavesTheReadingAlone_data() {
        QTest::addColumn<bool>("kyu12");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("saved");
        QTest::newRow("KANTEI, character") << false << 1 << "紫薇星1"
                                           << "紫薇😀"
                                           << "紫薇の直した文";
        QTest::newRow("KANTEI, first record") << false << 0 << "天府星2"
                                              << "天府😀"
                                              << "天府の直した文";
        QTest::newRow("KANTEI, can be saved") << false << 1 << "紫薇星1"
                                              << "まだ保存しない文"
                                              << "保存した文";
        QTest::newRow("KYU12, too long") << true << 0 << "紫薇星"
                                         << "甲乙丙丁甲乙"
                                         << "丁";
    }
    void unsavedEditLeavesTheReadingAlone() {
        QFETCH(bool, kyu12);
        QFETCH(int, row);
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, saved);
        ReadingFixture fx;
        fx.WriteSeed("KYU12.txt", kKyu12);
        fx.WriteSeed("KANTEI.txt", kKantei);
        fx.WriteSeed("hosi2dat.txt", kPairs);
        ReadingTables& tables = fx.Open();
        auto compose = [&] {
            return ComposeOverallReading(Chart(), Box(2, {"紫薇", "天府"}), 2, *tables.Texts(), fx.sink);
        };
        const OverallReading before = compose();
        QVERIFY(before.complete);
        ReadingTable& edited = kyu12 ? tables.kyu12() : tables.kantei();
        QVERIFY(edited.SetValue(row, field, value));

        const OverallReading r = compose();
        QVERIFY(r.complete);
        QCOMPARE(r.hlp12Memo, before.hlp12Memo);
        QCOMPARE(r.kanteiMemo, before.kanteiMemo);
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
        QVERIFY(edited.IsRowModified(row));
        QCOMPARE(*edited.Value(row, field), value);

        QVERIFY(edited.SetValue(row, field, saved));
        QVERIFY(edited.submit());
        const OverallReading after = compose();
        QVERIFY(after.complete);
        const QString all = after.hlp12Memo->join('\n') + '\n' + after.kanteiMemo->join('\n');
        QVERIFY2(all.contains(kyu12 ? QStringLiteral("□丁級星") : saved), qPrintable(all));
        QVERIFY(after.kanteiMemo != before.kanteiMemo);
    }
};

QTEST_GUILESS_MAIN(TestOverallReading)
#include "tst_overall_reading.moc"
