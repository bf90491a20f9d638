// zelvara-cli print: the same documents as the print buttons, from a fresh
// program folder; the footer from the options or the settings file; bad
// options stop before anything is written.
#include "tests/print/file_size_limit.h"
#include "tests/print/pdf_words.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using pdftest::Find;
using pdftest::ReadPdf;

namespace {

struct Run {
    int code = -1;
    QString out, err;
};

const QStringList kBirth = {QStringLiteral("--sex"),     QStringLiteral("女"),       QStringLiteral("--date"),
                            QStringLiteral("1965/3/7"),  QStringLiteral("--hour"),   QStringLiteral("07:00-09:00"),
                            QStringLiteral("--name"),    QStringLiteral("鈴木一子"), QStringLiteral("--today"),
                            QStringLiteral("2024/05/13")};

}  // namespace

class TestPrintCli : public QObject {
    Q_OBJECT
private:
    QTemporaryDir home_;
    QTemporaryDir out_;

    // With fileSizeKb the program cannot make a file longer than that, as on
    // a disk that fills up (SIGXFSZ ignored: its writes fail instead).
    Run Cli(const QStringList& args, int fileSizeKb = 0) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("ZELVARA_HOME"), home_.path());
        p.setProcessEnvironment(env);
        if (fileSizeKb > 0)
            p.start(QStringLiteral("bash"),
                    QStringList{QStringLiteral("-c"),
                                QStringLiteral("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(fileSizeKb),
                                QStringLiteral(ZELVARA_CLI)} +
                        args);
        else
            p.start(QStringLiteral(ZELVARA_CLI), args);
        Run r;
        if (!p.waitForFinished(60000)) return r;
        r.code = p.exitCode();
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
    QString Pdf(const QString& name) const { return out_.filePath(name); }

private slots:
    void initTestCase() {
        const QDir data(qEnvironmentVariable("ZELVARA_DATA_DIR"));
        for (const char* year : {"1964", "1965", "1966"})
            QVERIFY(QFile::copy(data.filePath(QStringLiteral("%1.eto").arg(year)),
                                home_.filePath(QStringLiteral("%1.eto").arg(year))));
        QDir(home_.path()).mkdir(QStringLiteral("bmp"));
        for (const QString& f : QDir(data.filePath(QStringLiteral("bmp"))).entryList(QDir::Files))
            QVERIFY(QFile::copy(data.filePath(QStringLiteral("bmp/") + f), home_.filePath(QStringLiteral("bmp/") + f)));
    }

    // Every printout is made, its files named on stdout.
    void everyPrintout_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QString>("heading");
        QTest::newRow("chart") << (QStringList{"chart"} + kBirth) << 1 << 1 << QStringLiteral("【Zelvaraプロ版");
        QTest::newRow("graph") << (QStringList{"graph"} + kBirth) << 1 << 1
                               << QStringLiteral("【出生図における１２宮の特徴を分析】");
        QTest::newRow("overall 命宮") << (QStringList{"overall", "--palace", "命宮"} + kBirth) << 1 << -1
                                      << QStringLiteral("【命宮の診断】");
        QTest::newRow("overall all") << (QStringList{"overall", "--palace", "all"} + kBirth) << 12 << -1
                                     << QStringLiteral("【父母宮の診断】");
        QTest::newRow("luck") << (QStringList{"luck", "--period", "3"} + kBirth) << 1 << -1
                              << QStringLiteral("【行運の診断】");
        QTest::newRow("marriage") << (QStringList{"marriage"} + kBirth) << 1 << -1
                                  << QStringLiteral("【好きな異性・結婚にふさわしい相手】");
        QTest::newRow("legends") << QStringList{"legends"} << 1 << 7
                                 << QStringLiteral("【Orvandel（紫薇伝説）による星の解説】");
        QTest::newRow("flying") << (QStringList{"flying"} + kBirth) << 1 << 1 << QStringLiteral("【飛星表】");
        QTest::newRow("flying year") << (QStringList{"flying", "--layer", "year:1990"} + kBirth) << 1 << 1
                                     << QStringLiteral("【流年1990（庚午）の四化】");
        QTest::newRow("chart decade") << (QStringList{"chart", "--layer", "decade:2"} + kBirth) << 1 << 1
                                      << QStringLiteral("大限2（");
        // 乙巳 year: 子 takes 戊.
        QTest::newRow("chart stems") << (QStringList{"chart", "--stems"} + kBirth) << 1 << 1 << QStringLiteral("戊子");
        // The graph is the sheet's second page, in the same file.
        QTest::newRow("chart graph") << (QStringList{"chart", "--graph"} + kBirth) << 1 << 2
                                     << QStringLiteral("【Zelvaraプロ版");
    }
    void everyPrintout() {
        QFETCH(QStringList, args);
        QFETCH(int, files);
        QFETCH(int, pages);
        QFETCH(QString, heading);
        const QString path = Pdf(QString(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('_')) + ".pdf");
        const Run r = Cli(QStringList{"print"} + args +
                          QStringList{"--pdf", path, "--title", "星読み館", "--tel", "045-111-2222"});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const QStringList written = r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(written.size(), files);
        QCOMPARE(written.first(), path);
        const auto read = ReadPdf(path);
        if (pages > 0) QCOMPARE(read.size(), pages);
        const pdftest::Page first = read.value(0);
        QVERIFY2(Find(first, heading, true), qPrintable(pdftest::PageText(first)));
        const pdftest::Word* footer = Find(first, QStringLiteral("(著作)星読み館"));
        QVERIFY(footer && std::abs(footer->x - 60) < 0.5 && std::abs(footer->y - 276) < 0.5);
        QVERIFY(Find(first, QStringLiteral("045-111-2222")));
        if (args.contains(QStringLiteral("--graph")))
            QVERIFY(pdftest::Has(read.value(1), QStringLiteral("【出生図における１２宮の特徴を分析】")));
    }

    // A switch option names the conventions above the footer of every
    // printout of the chart, as `chart` names them; without one nothing is
    // added.
    void conventionsLineWhenChosen_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("chart") << QStringList{"chart", "--graph"};
        QTest::newRow("flying") << QStringList{"flying", "--layer", "year:2028"};
        QTest::newRow("overall") << QStringList{"overall", "--palace", "命宮"};
        QTest::newRow("luck") << QStringList{"luck", "--period", "3"};
        QTest::newRow("marriage") << QStringList{"marriage"};
    }
    void conventionsLineWhenChosen() {
        QFETCH(QStringList, args);
        const QString line = QStringLiteral(
            "標準（指定で変更）：命宮 節月・年 立春・23時 当日・旧暦 135°E・四化 戊科右弼 庚科天府 壬科天府・補正 "
            "なし");
        for (const bool chosen : {true, false}) {
            const QString path = Pdf(QStringLiteral("conventions-%1-%2.pdf").arg(args.first()).arg(chosen));
            QStringList all = QStringList{"print"} + args + kBirth + QStringList{"--pdf", path};
            if (chosen) all << QStringLiteral("--transform-wu") << QStringLiteral("ubitsu");
            const Run r = Cli(all);
            QVERIFY2(r.code == 0, qPrintable(r.err));
            const auto pages = ReadPdf(path);
            QVERIFY(!pages.isEmpty());
            for (const pdftest::Page& page : pages) {
                QVERIFY2(pdftest::PageText(page).contains(line) == chosen, qPrintable(pdftest::PageText(page)));
                const pdftest::Word* first = Find(page, QStringLiteral("標準（指定で変更）：命宮"));
                QCOMPARE(first != nullptr, chosen);
                if (first) QVERIFY(std::abs(first->x - 20) < 0.5 && std::abs(first->y - 272) < 0.5);
            }
        }
        if (args.first() == QLatin1String("flying")) {  // the 2028 (戊) layer's 化科 falls on 右弼
            const auto table = pdftest::PageText(ReadPdf(Pdf(QStringLiteral("conventions-flying-1.pdf"))).value(0));
            QVERIFY2(table.contains(QStringLiteral("化科 右弼→")), qPrintable(table));
        }
    }

    // Without --title and --tel the settings file gives the footer; without
    // an owner section the footer is the mark and "TEL" alone.
    void footerFromTheSettingsFile() {
        const QString ini = out_.filePath(QStringLiteral("zelv.ini"));
        QFile f(ini);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[sound]\r\ncheck=True\r\n");
        f.close();
        const QString path = Pdf(QStringLiteral("no-owner.pdf"));
        Run r = Cli(QStringList{"print", "chart", "--pdf", path, "--settings", ini} + kBirth);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        auto page = ReadPdf(path).value(0);
        const pdftest::Word* mark = Find(page, QStringLiteral("(著作)"));
        QVERIFY(mark && std::abs(mark->x - 60) < 0.5 && std::abs(mark->y - 276) < 0.5);
        QVERIFY(Find(page, QStringLiteral("TEL")));

        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[owner]\r\ntitle=\x8e\x87\x94\xf7\r\ntel=03-0000-1111\r\n");  // 紫微 in Shift-JIS
        f.close();
        r = Cli(QStringList{"print", "chart", "--pdf", path, "--settings", ini} + kBirth);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        page = ReadPdf(path).value(0);
        QVERIFY2(Find(page, QStringLiteral("(著作)紫微")) && Find(page, QStringLiteral("03-0000-1111")),
                 qPrintable(pdftest::PageText(page)));
    }

    // The grid follows the resolution asked for.
    void resolution() {
        const QString path = Pdf(QStringLiteral("300dpi.pdf"));
        const Run r = Cli(QStringList{"print", "chart", "--pdf", path, "--dpi", "300"} + kBirth);
        QVERIFY2(r.code == 0, qPrintable(r.err));
        const pdftest::Page page = ReadPdf(path, 300).value(0);
        const pdftest::Word* title = Find(page, QStringLiteral("【Zelvaraプロ版"), true);
        QVERIFY(title && std::abs(title->x - 10) < 0.5 && std::abs(title->y - 10) < 0.5);
    }

    // Bad options: a clear message, exit code 2, nothing written.
    void badOptions_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("says");
        QTest::newRow("no kind") << (QStringList{"--pdf", "X"} + kBirth) << QStringLiteral("chart、graph");
        QTest::newRow("unknown kind") << (QStringList{"poster", "--pdf", "X"} + kBirth)
                                      << QStringLiteral("chart、graph");
        QTest::newRow("no pdf") << (QStringList{"chart"} + kBirth) << QStringLiteral("--pdf");
        QTest::newRow("dpi text") << (QStringList{"chart", "--pdf", "X", "--dpi", "high"} + kBirth)
                                  << QStringLiteral("--dpi");
        QTest::newRow("dpi 0") << (QStringList{"chart", "--pdf", "X", "--dpi", "0"} + kBirth)
                               << QStringLiteral("--dpi");
        QTest::newRow("palace") << (QStringList{"overall", "--pdf", "X", "--palace", "天宮"} + kBirth)
                                << QStringLiteral("--palace");
        QTest::newRow("period") << (QStringList{"luck", "--pdf", "X", "--period", "13"} + kBirth)
                                << QStringLiteral("--period");
        QTest::newRow("no period") << (QStringList{"luck", "--pdf", "X"} + kBirth) << QStringLiteral("--period");
        QTest::newRow("unknown option") << (QStringList{"chart", "--pdf", "X", "--colour", "red"} + kBirth)
                                        << QStringLiteral("--colour");
        QTest::newRow("layer text") << (QStringList{"chart", "--pdf", "X", "--layer", "week:3"} + kBirth)
                                    << QStringLiteral("--layer");
        QTest::newRow("stems on flying") << (QStringList{"flying", "--pdf", "X", "--stems"} + kBirth)
                                         << QStringLiteral("--stems");
        QTest::newRow("layer on graph") << (QStringList{"graph", "--pdf", "X", "--layer", "year:1990"} + kBirth)
                                        << QStringLiteral("--layer");
        QTest::newRow("hour unknown") << QStringList{"chart",  "--pdf",    "X",      "--sex",     "男",
                                                     "--date", "1965/3/7", "--hour", "不明の場合"}
                                      << QStringLiteral("時刻");
    }
    void badOptions() {
        QFETCH(QStringList, args);
        QFETCH(QString, says);
        for (QString& a : args)
            if (a == QLatin1String("X")) a = Pdf(QStringLiteral("bad.pdf"));
        const Run r = Cli(QStringList{"print"} + args);
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(says), qPrintable(r.err));
        QVERIFY(!QFile::exists(Pdf(QStringLiteral("bad.pdf"))));
    }

    // A PDF that cannot be written whole: exit code 1, a message naming the
    // file, nothing on stdout, and the older file of that name byte for byte
    // as it was, with no temporary file beside it.
    void failedWriteKeepsTheOlderFile_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("chart") << (QStringList{"chart"} + kBirth);
        QTest::newRow("legends") << QStringList{"legends"};
    }
    void failedWriteKeepsTheOlderFile() {
        QFETCH(QStringList, args);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("full.pdf"));
        QVERIFY(pdftest::WriteOlderFile(path));
        const Run r = Cli(QStringList{"print"} + args + QStringList{"--pdf", path}, 8);
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(path), qPrintable(r.err));
        QVERIFY2(r.out.isEmpty(), qPrintable(r.out));
        QCOMPARE(pdftest::FileBytes(path), pdftest::OlderFileBytes());
        QCOMPARE(pdftest::FilesIn(folder.path()), QStringList{QStringLiteral("full.pdf")});
    }

    // A date the engine refuses stops with its message and exit code 1.
    void refusedChart() {
        const Run r = Cli({"print", "chart", "--pdf", Pdf(QStringLiteral("refused.pdf")), "--sex", "男", "--date",
                           "1965/2/30", "--hour", "07:00-09:00"});
        QCOMPARE(r.code, 1);
        QVERIFY(!r.err.isEmpty());
        QVERIFY(!QFile::exists(Pdf(QStringLiteral("refused.pdf"))));
    }
};

QTEST_MAIN(TestPrintCli)
#include "tst_print_cli.moc"
