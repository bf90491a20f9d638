// Line formats, counting rules and the koyomi.DB record, on hand-made charts.
#include "batch/batch_lines.h"
#include "batch/batch_moments.h"
#include "batch/koyomi_table.h"
#include "engine/chart_layout.h"
#include "engine/conversion.h"
#include "tests/batch/batch_test_support.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using namespace zelvara::batch;

namespace {

// A chart with every field the lines read set to a recognisable value.
Tmandata SampleChart() {
    Tmandata man;
    man.stems = {1, 2, 3, 10};
    man.branches = {5, 6, 7, 12};
    const int mainStars[13] = {0, 0, 20, 1, 2, 3, 4, 5, 6, 7, 14, 13, 8};  // 父母 none, 命宮 陀羅
    for (int p = 1; p <= kPalaces; ++p) man.mainStar[p] = mainStars[p];
    man.starBranch[1] = 12;  // 紫薇 at 亥
    man.starBranch[7] = 4;   // 天府 at 卯
    man.lunarMonth = 1;
    man.lunarDay = 5;
    return man;
}

QString Line(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

class TestBatchLines : public QObject {
    Q_OBJECT
private slots:
    void monthLengths_data() {
        QTest::addColumn<int>("year");
        QTest::addColumn<int>("month");
        QTest::addColumn<int>("days");
        QTest::newRow("1928 Feb, divisible by 4") << 1928 << 2 << 29;
        QTest::newRow("1925 Feb") << 1925 << 2 << 28;
        QTest::newRow("2000 Feb") << 2000 << 2 << 29;
        QTest::newRow("1930 Apr") << 1930 << 4 << 30;
        QTest::newRow("1930 Aug") << 1930 << 8 << 31;
        QTest::newRow("1930 Dec") << 1930 << 12 << 31;
        QTest::newRow("month 13") << 1930 << 13 << 0;
    }
    void monthLengths() {
        QFETCH(int, year);
        QFETCH(int, month);
        QFETCH(int, days);
        QCOMPARE(MonthLength(year, month), days);
    }

    void codeCharacters() {
        const std::pair<int, char> cases[] = {{0, '0'},  {9, '9'},  {10, 'A'}, {20, 'K'},
                                              {30, 'U'}, {35, 'Z'}, {36, '?'}, {-1, '?'}};
        for (auto [value, code] : cases) QVERIFY2(CodeChar(value) == code, qPrintable(QString::number(value)));
    }

    void twoTxtLine() {
        std::string line;
        AppendTwoTxtLine(line, SampleChart(), 3, 7, 0);
        QCOMPARE(Line(line), QStringLiteral("03/07/00,123A567C,0K1234567ED8"));
        QCOMPARE(line.size(), size_t(30));
        line.clear();
        AppendTwoTxtLine(line, SampleChart(), 12, 31, 11);
        QVERIFY(line.starts_with("12/31/11,"));
    }

    void casioLine() {
        std::string line;
        AppendCasioLine(line, SampleChart(), 3, 10);
        QCOMPARE(Line(line), QStringLiteral("123A567C3AC4"));
    }

    void kyuLineHasNoLeadingZerosInTheLunarDate() {
        Tmandata man = SampleChart();
        std::string line;
        AppendKyuLine(line, man, 2, 1);
        QCOMPARE(Line(line), QStringLiteral("02/01,1/5"));
        man.lunarMonth = 12;
        man.lunarDay = 30;
        line.clear();
        AppendKyuLine(line, man, 12, 31);
        QCOMPARE(Line(line), QStringLiteral("12/31,12/30"));
    }

    void koyomiFieldsAndKey() {
        const QStringList& f = KoyomiFieldNames();
        QCOMPARE(f.size(), 83);
        QCOMPARE(f.mid(0, 12).join(','), QStringLiteral("KOYOMI,y10,m10,d10,j10,y12,m12,d12,j12,ritsuM,ritsuF,FU01"));
        QCOMPARE(f[16], QStringLiteral("FU06"));
        QCOMPARE(f[17], QStringLiteral("M01"));
        QCOMPARE(f[23], QStringLiteral("KEI01"));
        QCOMPARE(f.last(), QStringLiteral("TOKU06"));
        QCOMPARE(f.indexOf("BOKU03"), 11 + 8 * 6 + 2);
        QCOMPARE(KoyomiKey(2010, 12, 31, 11), 2010123111);
        QVERIFY(KoyomiKey(1930, 1, 1, 11) < KoyomiKey(1930, 1, 2, 0));
        QVERIFY(KoyomiKey(1930, 1, 31, 11) < KoyomiKey(1930, 2, 1, 0));
    }

    // A refused moment's line holds the moment alone, never what the chart
    // cast before it held; the refusal is counted with the engine's message.
    void refusedMomentHoldsTheMomentAlone() {
        MomentCaster caster(batchtest::DataDir().toStdString());
        QVERIFY(caster.Cast(1959, 5, 7, 3));
        QVERIFY(caster.HasChart());
        QVERIFY(caster.Man().mainStar[kLifePalace] != 0 || caster.Man().lunarMonth != 0);
        QVERIFY(caster.FirstLuckAgeFemale() != 0 || caster.FirstLuckAgeMale() != 0);
        QVERIFY(!caster.Cast(1921, 1, 1, 0));
        QVERIFY(!caster.HasChart());
        Tmandata moment;
        moment.birthYear = 1921;
        moment.birthMonth = 1;
        moment.birthDay = 1;
        std::string line, expected;
        AppendTwoTxtLine(line, caster.Man(), 1, 1, 0);
        AppendTwoTxtLine(expected, moment, 1, 1, 0);
        QCOMPARE(Line(line), Line(expected));
        line.clear();
        expected.clear();
        AppendCasioLine(line, caster.Man(), caster.FirstLuckAgeMale(), caster.FirstLuckAgeFemale());
        AppendCasioLine(expected, moment, 0, 0);
        QCOMPARE(Line(line), Line(expected));
        QCOMPARE(caster.Refused(), 1L);
        QVERIFY(caster.FirstRefusal().has_value());
        QCOMPARE(caster.FirstRefusal()->message, std::string(kOutOfRangeMessage));
    }

    // 紫薇 with 化禄 stands alone with 天府 in 命宮: the record carries the box
    // texts, empty slots as empty text; a failed write leaves what was committed.
    void koyomiRecordFromABoxTable() {
        Tmandata man = SampleChart();
        for (int p = 1; p <= kPalaces; ++p) man.palaceBranch[p] = p;
        man.starBranch.fill(0);
        man.starBranch[1] = 2;
        man.starBranch[7] = 2;
        man.transformStar[1] = 1;
        const ChartLayout layout = LayOutChart(man);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("koyomi.DB"));
        {
            KoyomiWriter w(path);
            QCOMPARE(w.Open(), QString());
            QCOMPARE(w.Begin(), QString());
            QCOMPARE(w.Append(1930010100, man, 3, 7, layout), QString());
            QCOMPARE(w.Commit(), QString());
            QCOMPARE(w.Begin(), QString());
            QCOMPARE(w.Append(1930010101, man, 3, 7, layout), QString());
            const QString error = w.Append(1930010100, man, 3, 7, layout);  // key already there
            QVERIFY2(error.contains(QStringLiteral("koyomi.DB")), qPrintable(error));
        }
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("check"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        {
            QSqlQuery q(db);
            QVERIFY(
                q.exec(QStringLiteral("SELECT KOYOMI, y10, j10, j12, ritsuM, ritsuF, M01, M02, M03, typeof(M06), "
                                      "FU01 IS NULL FROM koyomi")));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 1930010100);
            QCOMPARE(q.value(1).toInt(), 1);
            QCOMPARE(q.value(2).toInt(), 10);
            QCOMPARE(q.value(3).toInt(), 12);
            QCOMPARE(q.value(4).toInt(), 3);
            QCOMPARE(q.value(5).toInt(), 7);
            QCOMPARE(q.value(6).toString(), QStringLiteral("紫薇(禄)"));
            QCOMPARE(q.value(7).toString(), QStringLiteral("天府"));
            QCOMPARE(q.value(8).toString(), QString());
            QCOMPARE(q.value(9).toString(), QStringLiteral("text"));
            QCOMPARE(q.value(10).toInt(), 0);
            QVERIFY2(!q.next(), "the year with the key violation was rolled back");
        }
        db.close();
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("check"));
    }
};

QTEST_GUILESS_MAIN(TestBatchLines)
#include "tst_lines.moc"
