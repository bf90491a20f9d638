// zelvara-cli reading prints what the reading pages would hold: the same
// compositions, run here in-process on the same chart and tables.
#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "readings/luck_reading.h"
#include "readings/marriage_reading.h"
#include "readings/overall_reading.h"
#include "readings/reading_names.h"
#include "tests/readings/reading_fixture.h"

#include <QProcess>

using namespace zelvara;

namespace {

QString Memo(const QString& header, const std::optional<QStringList>& lines) {
    return lines ? "--- " + header + " ---\n" + lines->join('\n') + "\n" : QString();
}

}  // namespace

class TestReadingCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() {
        for (const char* year : {"1964", "1965", "1966"})
            QVERIFY(QFile::copy(QString(ZELVARA_DATA_DIR "/%1.eto").arg(year),
                                fx_.dir.filePath(QString("%1.eto").arg(year))));
        for (const QString& seed : QDir(ZELVARA_DATA_DIR "/seed").entryList({"*.txt"}, QDir::Files)) {
            QFile::remove(QDir(fx_.SeedFolder()).filePath(seed));
            QVERIFY(QFile::copy(ZELVARA_DATA_DIR "/seed/" + seed, QDir(fx_.SeedFolder()).filePath(seed)));
        }
        ctx_ = std::make_unique<EngineContext>(fx_.Folder().toStdString(), engineSink_);
        const BirthInput in{"", "女", "1965", "3", "7", "05:00-07:00"};
        QVERIFY(RequestChart(*ctx_, in).has_value());
        captions_ = NameLuckPeriods(ctx_->man);
        layout_ = LayOutChart(ctx_->man);
    }

    void printsTheComposedLines_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("which");  // 0 overall all, 1 overall 命宮, 2 luck 3, 3 marriage
        QTest::newRow("overall, all palaces") << QStringList{"overall", "--palace", "all"} << 0;
        QTest::newRow("overall, 命宮") << QStringList{"overall", "--palace", "命宮"} << 1;
        QTest::newRow("luck, period 3") << QStringList{"luck", "--period", "3"} << 2;
        QTest::newRow("marriage") << QStringList{"marriage"} << 3;
    }
    void printsTheComposedLines() {
        QFETCH(QStringList, args);
        QFETCH(int, which);
        QProcess cli;
        cli.start(ZELVARA_CLI, QStringList{"reading"} + args +
                                   QStringList{"--sex", "女", "--date", "1965/3/7", "--hour", "05:00-07:00", "--home",
                                               fx_.Folder()});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(cli.readAllStandardError()), QString());
        QCOMPARE(cli.exitCode(), 0);

        const ReadingTexts& texts = Texts();
        QString expected;
        if (which <= 1) {
            for (int p = which == 0 ? 1 : 2; p <= (which == 0 ? 12 : 2); ++p) {
                const OverallReading r = ComposeOverallReading(ctx_->man, layout_.boxText, p, texts, fx_.sink);
                expected +=
                    Memo("hlp12Memo " + PalaceName(p), r.hlp12Memo) + Memo("KanteiMemo " + PalaceName(p), r.kanteiMemo);
            }
        } else if (which == 2) {
            expected = Memo("KounMemo " + QString::fromStdString(captions_[3]),
                            ComposeLuckReading(ctx_->man, 3, texts, fx_.sink).kounMemo);
        } else {
            const MarriageReading r = ComposeMarriageReading(ctx_->man, texts, fx_.sink);
            expected = Memo("AiMemo1", r.aiMemo1) + Memo("AiMemo2", r.aiMemo2);
        }
        QVERIFY(expected.count('\n') > 5);
        QCOMPARE(QString::fromUtf8(cli.readAllStandardOutput()), expected);
    }

    void badArgumentsAreExplained_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("mentions");
        QTest::newRow("no reading") << QStringList{} << "overall";
        QTest::newRow("unknown palace") << QStringList{"overall", "--palace", "命"} << "--palace";
        QTest::newRow("period 13") << QStringList{"luck", "--period", "13"} << "--period";
        QTest::newRow("period missing") << QStringList{"luck"} << "--period";
        QTest::newRow("unknown hour") << QStringList{"marriage", "--hour", "不明の場合"} << "時刻";
    }
    void badArgumentsAreExplained() {
        QFETCH(QStringList, args);
        QFETCH(QString, mentions);
        QProcess cli;
        QStringList all =
            QStringList{"reading"} + args + QStringList{"--sex", "女", "--date", "1965/3/7", "--home", fx_.Folder()};
        if (!args.contains("--hour"))
            all << "--hour"
                << "05:00-07:00";
        cli.start(ZELVARA_CLI, all);
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 2);
        const QString err = QString::fromUtf8(cli.readAllStandardError());
        QVERIFY2(err.contains(mentions), qPrintable(err));
        QCOMPARE(cli.readAllStandardOutput(), QByteArray());
    }

private:
    // Opened after the command made the tables, so both read the same files.
    const ReadingTexts& Texts() { return fx_.Texts(); }

    ReadingFixture fx_;
    RecordingSink engineSink_;
    std::unique_ptr<EngineContext> ctx_;
    std::array<std::string, 13> captions_;
    ChartLayout layout_;
};

QTEST_GUILESS_MAIN(TestReadingCommand)
#include "tst_reading_command.moc"
