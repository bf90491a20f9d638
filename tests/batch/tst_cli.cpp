// zelvara-cli export, checked against zelvara-cli chart: for a handful of
// moments the exported line and record hold what the chart command prints.
#include "batch_moments.h"
#include "batch_test_support.h"
#include "koyomi_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

using namespace zelvara::batch;
using batchtest::ReadLines;

namespace {

const char* const kHours[12] = {"23:00-01:00", "01:00-03:00", "03:00-05:00", "05:00-07:00",
                                "07:00-09:00", "09:00-11:00", "11:00-13:00", "13:00-15:00",
                                "15:00-17:00", "17:00-19:00", "19:00-21:00", "21:00-23:00"};

struct Cli {
    int exitCode = -1;
    QString out, err;
};

Cli RunCli(QStringList args) {
    QProcess p;
    p.setProgram(QStringLiteral(ZELVARA_CLI));
    p.setArguments(args << "--home" << batchtest::DataDir());
    p.start();
    p.waitForFinished(120000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

QJsonObject Chart(int y, int m, int d, int h) {
    const Cli c = RunCli({"chart", "--sex", "男", "--date", QStringLiteral("%1/%2/%3").arg(y).arg(m).arg(d), "--hour",
                          kHours[h], "--json"});
    return QJsonDocument::fromJson(c.out.toUtf8()).object();
}

QString Code(int v) { return QString(QChar(CodeChar(v))); }

QString PillarCodes(const QJsonObject& chart) {
    QString s;
    for (const char* set : {"stems", "branches"})
        for (const char* key : {"year", "month", "day", "hour"}) s += Code(chart[set].toObject()[key].toInt());
    return s;
}

// Line number of a moment in its year's 2TXT file.
int LineOf(int y, int m, int d, int h) {
    int days = d - 1;
    for (int k = 1; k < m; ++k) days += MonthLength(y, k);
    return days * 12 + h;
}

struct Moment {
    int y, m, d, h;
};
const Moment kMoments[] = {{1925, 1, 1, 0}, {1926, 6, 15, 5}, {1927, 11, 30, 11}, {1928, 2, 29, 7}, {1928, 12, 31, 11}};
const Moment kKoyomiMoments[] = {{1930, 1, 1, 0}, {1930, 2, 4, 3}, {1930, 7, 21, 6}, {1930, 12, 31, 11}};

}  // namespace

class TestBatchCli : public QObject {
    Q_OBJECT
    QTemporaryDir out_;

private slots:
    void twoTxtLinesMatchTheChartCommand() {
        const Cli run = RunCli({"export", "2txt", "--out", out_.path(), "--from", "1925", "--to", "1928"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("4 files, 17532 moments"), qPrintable(run.out));
        QVERIFY2(run.out.contains("refused by the engine: 0 moments"), qPrintable(run.out));
        for (const Moment& t : kMoments) {
            const QJsonObject chart = Chart(t.y, t.m, t.d, t.h);
            QString expected = QStringLiteral("%1/%2/%3,").arg(t.m, 2, 10, QChar('0')).arg(t.d, 2, 10, QChar('0')).arg(t.h, 2, 10, QChar('0'));
            expected += PillarCodes(chart) + ",";
            for (const QJsonValue v : chart["mainStar"].toArray()) expected += Code(v.toInt());
            const QStringList lines = ReadLines(out_.filePath(QStringLiteral("zelv%1.txt").arg(t.y)));
            QCOMPARE(lines.value(LineOf(t.y, t.m, t.d, t.h)), expected);
        }
    }

    void casioLineMatchesTheChartCommand() {
        const Cli run = RunCli({"export", "casio", "--out", out_.path()});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains("96 files"), qPrintable(run.out));
        const QJsonObject chart = Chart(1924, 2, 29, 9);
        const QString expected = PillarCodes(chart) + Code(chart["firstLuckAgeMale"].toInt()) +
                                 Code(chart["firstLuckAgeFemale"].toInt()) +
                                 Code(chart["starBranch"].toArray()[0].toInt()) + Code(chart["starBranch"].toArray()[6].toInt());
        QCOMPARE(ReadLines(out_.filePath("CASIO/192402.dat")).value(28 * 12 + 9), expected);
    }

    void koyomiRecordsMatchTheChartCommand() {
        const Cli run = RunCli({"export", "koyomi", "--out", out_.path(), "--from", "1930", "--to", "1930"});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "golden");
            db.setDatabaseName(out_.filePath("koyomi.DB"));
            QVERIFY(db.open());
            for (const Moment& t : kKoyomiMoments) {
                const QJsonObject chart = Chart(t.y, t.m, t.d, t.h);
                QSqlQuery q(db);
                q.prepare("SELECT * FROM koyomi WHERE KOYOMI = ?");
                q.addBindValue(KoyomiKey(t.y, t.m, t.d, t.h));
                QVERIFY(q.exec() && q.next());
                QString pillars;
                for (int i = 1; i <= 8; ++i) pillars += Code(q.value(i).toInt());
                QCOMPARE(pillars, PillarCodes(chart));
                QCOMPARE(q.value("ritsuM").toInt(), chart["firstLuckAgeMale"].toInt());
                QCOMPARE(q.value("ritsuF").toInt(), chart["firstLuckAgeFemale"].toInt());
                const QJsonArray box = chart["boxText"].toArray();
                for (int p = 1; p <= 12; ++p)
                    for (int r = 1; r <= 6; ++r)
                        QCOMPARE(q.value(KoyomiSlotField(p, r)).toString(), box[p - 1].toArray()[r - 1].toString());
            }
            db.close();
        }
        QSqlDatabase::removeDatabase("golden");
    }

    void badRequestsGetAClearMessage_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("unknown tool") << QStringList{"export", "3txt", "--out", "x"} << 2 << "3txt";
        QTest::newRow("no tool") << QStringList{"export", "--out", "x"} << 2 << "koyomi, 2txt, casio, kyu";
        QTest::newRow("旧 with years") << QStringList{"export", "kyu", "--out", "x", "--from", "1925"} << 2 << "1921";
        QTest::newRow("year not a number") << QStringList{"export", "2txt", "--out", "x", "--from", "S40"} << 2 << "S40";
        QTest::newRow("no folder") << QStringList{"export", "casio"} << 2 << "フォルダ";
        QTest::newRow("folder under a file") << QStringList{"export", "casio", "--out", "/dev/null/casio"} << 1
                                            << "/dev/null/casio";
    }
    void badRequestsGetAClearMessage() {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        const Cli run = RunCli(args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(run.err.contains(says), qPrintable(run.err));
    }
};

QTEST_GUILESS_MAIN(TestBatchCli)
#include "tst_cli.moc"
