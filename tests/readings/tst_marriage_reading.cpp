// The marriage-partner reading: its four sentence forms, the stand-in
// palaces, the case where no star can be named, and a missing field.
#include "readings/marriage_reading.h"
#include "tests/readings/reading_fixture.h"

using namespace zelvara;

namespace {

QString Seed(const QString& prefix) {
    QList<QPair<QString, QString>> fields;
    for (const char* n : {"紫薇星", "天機星", "炎星", "天梁星"}) fields.append({QString(n), prefix + n});
    fields[0].second += "\n" + prefix + "二行目";
    return ReadingFixture::OneRecord(fields);
}

}  // namespace

class TestMarriageReading : public QObject {
    Q_OBJECT
private slots:
    void sentenceForms_data() {
        QTest::addColumn<QList<int>>("mainStars");  // 命宮, 夫妻宮, 遷移宮, 官禄宮
        QTest::addColumn<QStringList>("memo1");
        QTest::addColumn<QStringList>("memo2");
        const QString head1 = "■本能的に好きになりやすい異性のタイプを夫妻宮の主星で判断します。";
        const QString head2 = "■本能的な好き嫌いは別として、貴方の欠点を補ってくれるような星を説明します。";
        QTest::newRow("both palaces hold a main star")
            << QList<int>{15, 1, 2, 2}
            << QStringList{head1, "【紫薇星】が支配する異性の運勢です。", "惹紫薇星", "惹二行目"}
            << QStringList{head2, "【炎星】が貴方の命宮に格納されていますので理想的な配偶者は次のようです。", "理炎星"};
        QTest::newRow("stand-ins 官禄宮 and 遷移宮")
            << QList<int>{0, 0, 12, 2}
            << QStringList{head1, "夫妻宮の主星がないので、官禄宮の【天機星】が支配する異性の運勢です。", "惹天機星"}
            << QStringList{head2, "命宮の主星がないので、遷移宮の【天梁星】から判断して理想的な配偶者は次のようです。",
                           "理天梁星"};
        QTest::newRow("no star on either side")
            << QList<int>{0, 0, 0, 0}
            << QStringList{head1, "夫妻宮の主星がないので、官禄宮の【】が支配する異性の運勢です。", ""}
            << QStringList{head2, "命宮の主星がないので、遷移宮の【】から判断して理想的な配偶者は次のようです。", ""};
    }
    void sentenceForms() {
        QFETCH(QList<int>, mainStars);
        QFETCH(QStringList, memo1);
        QFETCH(QStringList, memo2);
        ReadingFixture fx;
        fx.WriteSeed("Ai01.txt", Seed("惹"));
        fx.WriteSeed("Ai02.txt", Seed("理"));
        Tmandata man;
        man.mainStar[2] = mainStars[0];
        man.mainStar[4] = mainStars[1];
        man.mainStar[8] = mainStars[2];
        man.mainStar[10] = mainStars[3];
        const MarriageReading r = ComposeMarriageReading(man, fx.Texts(), fx.sink);
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
        QVERIFY(r.complete);
        QCOMPARE(*r.aiMemo1, memo1);
        QCOMPARE(*r.aiMemo2, memo2);
    }

    void missingFieldStopsBeforeTheSecondAnswer() {
        ReadingFixture fx;
        fx.MakeTableWithout(TableId::Ai01, {"天機星"}, {{{"No", "1"}}});
        Tmandata man;
        man.mainStar[4] = 2;
        man.mainStar[2] = 1;
        const MarriageReading r = ComposeMarriageReading(man, fx.Texts(), fx.sink);
        QVERIFY(!r.complete);
        QCOMPARE(r.aiMemo1->size(), 2);
        QVERIFY(!r.aiMemo2);  // never cleared: keeps what it held
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains("Ai01.DB") && fx.sink.Last().contains("天機星"), qPrintable(fx.sink.Last()));
    }
};

QTEST_GUILESS_MAIN(TestMarriageReading)
#include "tst_marriage_reading.moc"
