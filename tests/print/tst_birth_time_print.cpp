// The chart sheet of an exact birth time, printed by zelvara-cli: the centre
// shows the clock time, the corrected time and the corrections only when a
// correction moved the time; a time no correction moves prints exactly the
// sheet of its period.
#include "tests/print/pdf_words.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using pdftest::Page;
using pdftest::ReadPdf;

class TestBirthTimePrint : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_;
    pdftest::PrintsFolder out_;

    Page PrintChart(const QString& name, const QStringList& birth) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZELVARA_HOME"), home_.path());
        p.setProcessEnvironment(env);
        const QString pdf = out_.File(name + QStringLiteral(".pdf"));
        p.start(QStringLiteral(ZELVARA_CLI),
                QStringList{"print", "chart", "--pdf", pdf, "--sex", "女", "--name", "鈴木一子", "--today",
                            "2024/05/13", "--title", "星読み館", "--tel", "045-111-2222"} +
                    birth);
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            qWarning("%s", p.readAllStandardError().constData());
            return {};
        }
        return ReadPdf(pdf).value(0);
    }

private slots:
    void initTestCase() {
        const QDir data(qEnvironmentVariable("ZELVARA_DATA_DIR"));
        for (const char* file : {"1948.eto", "1949.eto", "1950.eto", "1951.eto", "1964.eto", "1965.eto", "1966.eto",
                                 "birthplaces.txt", "gazetteer.txt"})
            QVERIFY(QFile::copy(data.filePath(QString::fromLatin1(file)), home_.filePath(QString::fromLatin1(file))));
    }

    void uncorrectedTimePrintsThePeriodsSheet() {
        const Page byHour = PrintChart(QStringLiteral("hour"), {"--date", "1965/3/7", "--hour", "07:00-09:00"});
        const Page byTime = PrintChart(QStringLiteral("time"), {"--date", "1965/3/7", "--time", "08:10"});
        QVERIFY(!byHour.isEmpty());
        QCOMPARE(pdftest::PageText(byTime), pdftest::PageText(byHour));
        QCOMPARE(byTime.size(), byHour.size());
        for (qsizetype i = 0; i < byHour.size(); ++i) {
            QCOMPARE(byTime[i].x, byHour[i].x);
            QCOMPARE(byTime[i].y, byHour[i].y);
        }
    }

    void correctedTimeInTheCentre_data() {
        QTest::addColumn<QStringList>("birth");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("birthDate");  // the corrected moment's date and period
        QTest::addColumn<QString>("period");
        QTest::newRow("summer, Sapporo, true")
            << QStringList{"--date", "1950/6/1", "--time", "05:50", "--place", "札幌", "--correction", "true"}
            << QStringLiteral("出生時刻：05:50 → 05:18 （夏時間 −60分、経度 +25分、均時差 +2分）")
            << QStringLiteral("生年月日：1950/6/1") << QStringLiteral("05:00-07:00");
        QTest::newRow("Naha over midnight")
            << QStringList{"--date", "1965/3/7", "--time", "00:10", "--place", "那覇", "--correction", "mean"}
            << QStringLiteral("出生時刻：00:10 → 23:41 （経度 −29分）") << QStringLiteral("生年月日：1965/3/6")
            << QStringLiteral("23:00-01:00");
        QTest::newRow("summer time alone") << QStringList{"--date", "1949/7/1", "--time", "11:20"}
                                           << QStringLiteral("出生時刻：11:20 → 10:20 （夏時間 −60分）")
                                           << QStringLiteral("生年月日：1949/7/1") << QStringLiteral("09:00-11:00");
    }
    void correctedTimeInTheCentre() {
        QFETCH(QStringList, birth);
        QFETCH(QString, line);
        QFETCH(QString, birthDate);
        QFETCH(QString, period);
        const Page page =
            PrintChart(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')), birth);
        const QString text = pdftest::PageText(page);
        QVERIFY2(text.contains(line), qPrintable(text));
        QVERIFY2(pdftest::Has(page, birthDate) && pdftest::Has(page, period), qPrintable(text));
        // Every word of the line lies in the centre field (columns 2–3, rows
        // 2–3 of the grid: 56–148 mm across, 85–205 mm down), under the bureau.
        const pdftest::Word* first = pdftest::Find(page, QStringLiteral("出生時刻："), true);
        QVERIFY(first);
        bool inLine = false;
        for (const pdftest::Word& w : page) {
            inLine = inLine || &w == first;
            if (!inLine || w.y > 205) continue;
            QVERIFY2(w.x >= 56 && w.right <= 148 && w.y >= 190 && w.bottom <= 205,
                     qPrintable(
                         QStringLiteral("%1 at %2,%3–%4,%5").arg(w.text).arg(w.x).arg(w.y).arg(w.right).arg(w.bottom)));
            if (w.text.endsWith(QStringLiteral("）"))) break;
        }
    }
};

QTEST_GUILESS_MAIN(TestBirthTimePrint)
#include "tst_birth_time_print.moc"
