// The star-pair file: made in Shift-JIS from its UTF-8 seed, and looked up by
// whole key lines, a block ending at the next "#" line, an empty line or the
// end of the file.
#include "common/cp932.h"
#include "readings/reading_texts.h"
#include "readings/star_pairs.h"
#include "tests/recording_sink.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray Sjis(const QString& text) { return *cp932::Encode(text); }

}  // namespace

using Blocks = QList<QStringList>;

class TestStarPairs : public QObject {
    Q_OBJECT
private slots:
    void madeInShiftJisFromTheSeed() {
        QTemporaryDir dir;
        RecordingSink sink;
        QDir(dir.path()).mkdir("seed");
        WriteFile(dir.filePath("seed/hosi2dat.txt"), QString("\xEF\xBB\xBF注釈\n#紫薇-天府\n一行目〜\n#\n").toUtf8());
        StarPairFile pairs;
        QVERIFY(pairs.Prepare(dir.path(), {dir.filePath("seed")}, sink));
        QFile made(dir.filePath("hosi2dat.txt"));
        QVERIFY(made.open(QIODevice::ReadOnly));
        QCOMPARE(made.readAll(), Sjis("注釈\r\n#紫薇-天府\r\n一行目～\r\n#\r\n"));
        made.close();
        QCOMPARE(*StarPairTexts::Read(pairs.FilePath()).Lookup("#紫薇-天府", sink), Blocks({{"一行目～"}}));

        // An existing file is the user's: never replaced.
        WriteFile(dir.filePath("hosi2dat.txt"), Sjis("#紫薇-天府\r\n手で直した\r\n#\r\n"));
        QVERIFY(pairs.Prepare(dir.path(), {dir.filePath("seed")}, sink));
        QCOMPARE(*StarPairTexts::Read(pairs.FilePath()).Lookup("#紫薇-天府", sink), Blocks({{"手で直した"}}));
        QVERIFY(sink.messages.isEmpty());
    }

    void lookup_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("key");
        QTest::addColumn<Blocks>("blocks");
        const QString two = "#紫薇-天府\n甲\n乙\n#紫薇-天存\n丙\n#\n";
        QTest::newRow("first block, two lines") << two << QString("#紫薇-天府") << Blocks{{"甲", "乙"}};
        QTest::newRow("last block") << two << QString("#紫薇-天存") << Blocks{{"丙"}};
        QTest::newRow("order of names matters") << two << QString("#天府-紫薇") << Blocks{};
        QTest::newRow("whole line: no prefix") << two << QString("#紫薇-天") << Blocks{};
        QTest::newRow("whole line: trailing blank")
            << QString("#紫薇-天府 \n甲\n#\n") << QString("#紫薇-天府") << Blocks{};
        QTest::newRow("empty line ends the block")
            << QString("#紫薇-天府\n甲\n\n乙\n#\n") << QString("#紫薇-天府") << Blocks{{"甲"}};
        QTest::newRow("end of file ends the block")
            << QString("#紫薇-天府\n甲\n乙") << QString("#紫薇-天府") << Blocks{{"甲", "乙"}};
        QTest::newRow("key twice: both blocks") << QString("#紫薇-天府\n甲\n#天府-天存\n乙\n#紫薇-天府\n丙\n#\n")
                                                << QString("#紫薇-天府") << Blocks{{"甲"}, {"丙"}};
        QTest::newRow("closing line is not compared")
            << QString("#紫薇-天府\n甲\n#紫薇-天府\n乙\n#\n") << QString("#紫薇-天府") << Blocks{{"甲"}};
        QTest::newRow("block with no lines") << QString("#紫薇-天府\n#\n") << QString("#紫薇-天府") << Blocks{{}};
        QTest::newRow("text lines are never keys")
            << QString("#天機-太陰\n#紫薇-天府\n甲\n#\n") << QString("#紫薇-天府") << Blocks{{"甲"}};
    }
    void lookup() {
        QFETCH(QString, file);
        QFETCH(QString, key);
        QFETCH(Blocks, blocks);
        QTemporaryDir dir;
        RecordingSink sink;
        for (const char* lineEnd : {"\n", "\r\n"}) {
            WriteFile(dir.filePath("hosi2dat.txt"), Sjis(QString(file).replace("\n", lineEnd)));
            const auto found = StarPairTexts::Read(dir.filePath("hosi2dat.txt")).Lookup(key, sink);
            QVERIFY(found);
            QCOMPARE(*found, blocks);
        }
        QVERIFY(sink.messages.isEmpty());
    }

    void missingFileIsReported() {
        QTemporaryDir dir;
        RecordingSink sink;
        QVERIFY(!StarPairTexts::Read(dir.filePath("hosi2dat.txt")).Lookup("#紫薇-天府", sink));
        QCOMPARE(sink.messages.size(), 1);
        QVERIFY2(sink.Last().contains("hosi2dat.txt"), qPrintable(sink.Last()));
    }
};

QTEST_GUILESS_MAIN(TestStarPairs)
#include "tst_star_pairs.moc"
