// The one seed parser of every table: line breaks of any editor, the byte-order
// mark, the checks on names and values, the limit on records, and messages
// that name the file and the line.
#include "common/seed_file.h"

#include <QTest>

using namespace zelvara;

namespace {

const QList<FieldDef> kFields = {
    {QStringLiteral("No"), FieldType::SmallInt, 0},
    {QStringLiteral("宮名称"), FieldType::String, 6},
    {QStringLiteral("内容"), FieldType::Memo, 0},
};

}  // namespace

class TestSeedFile : public QObject {
    Q_OBJECT
private slots:
    // Whatever line breaks the file has, the same records and texts come out.
    void lineBreaks_data() {
        QTest::addColumn<QString>("eol");
        QTest::newRow("LF") << QStringLiteral("\n");
        QTest::newRow("CR LF") << QStringLiteral("\r\n");
        QTest::newRow("CR") << QStringLiteral("\r");
    }
    void lineBreaks() {
        QFETCH(QString, eol);
        const QStringList lines = {QStringLiteral("# comment"),    QStringLiteral("[記録]"),   QStringLiteral("No: 1"),
                                   QStringLiteral("宮名称: 命宮"), QStringLiteral("内容: <<"), QStringLiteral("一行目"),
                                   QStringLiteral("二行目"),       QStringLiteral(">>"),       QStringLiteral("[記録]"),
                                   QStringLiteral("No: 2")};
        const SeedParse p = ParseSeed(lines.join(eol), kFields, QStringLiteral("T"), QStringLiteral("t.txt"));
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        QCOMPARE(p.records.size(), 2);
        QCOMPARE(p.records[0].values.value(QStringLiteral("宮名称")), QStringLiteral("命宮"));
        QCOMPARE(p.records[0].values.value(QStringLiteral("内容")), QStringLiteral("一行目\n二行目"));
        QCOMPARE(p.records[1].values.value(QStringLiteral("No")), QStringLiteral("2"));
    }

    // A refusal names the file, the line and what is wrong there.
    void refusals_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxRecords");
        QTest::addColumn<QString>("error");
        QTest::newRow("unknown field") << "[記録]\n炎: 火\n" << 0 << "t.txt の 2 行目: 表 T に項目「炎」はありません。";
        QTest::newRow("field before record") << "No: 1\n" << 0 << "t.txt の 1 行目: 最初の [記録] の前に";
        QTest::newRow("field twice") << "[記録]\nNo: 1\nNo: 2\n" << 0 << "t.txt の 3 行目: 項目「No」がこの記録に二度";
        QTest::newRow("not a line of the format") << "[記録]\nなにか\n" << 0 << "t.txt の 2 行目";
        QTest::newRow("unclosed text") << "[記録]\n内容: <<\nabc\r\n"
                                       << 0 << "t.txt の 2 行目: 項目「内容」の文章を閉じる";
        QTest::newRow("no number") << "[記録]\nNo: x\n" << 0 << "t.txt の 2 行目: 項目「No」は -32768";
        QTest::newRow("too long for its size") << "[記録]\n宮名称: 命宮命宮\n"
                                               << 0 << "t.txt の 2 行目: 「宮名称」が長すぎます";
        QTest::newRow("not in Shift-JIS") << "[記録]\n内容: 星🌟\n" << 0 << "t.txt の 2 行目: 「内容」に使えない文字";
        QTest::newRow("one record only") << "[記録]\nNo: 1\r[記録]\r" << 1 << "t.txt の 3 行目: 表 T の記録は 1 件まで";
        QTest::newRow("records without limit") << "[記録]\n[記録]\n[記録]\n" << 0 << "";
    }
    void refusals() {
        QFETCH(QString, text);
        QFETCH(int, maxRecords);
        QFETCH(QString, error);
        const SeedParse p = ParseSeed(text, kFields, QStringLiteral("T"), QStringLiteral("t.txt"), maxRecords);
        if (error.isEmpty())
            QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        else
            QVERIFY2(p.error.startsWith(error), qPrintable(p.error));
    }

    // A byte-order mark is not part of the first line; characters input
    // methods type are kept in their Shift-JIS form.
    void byteOrderMarkAndInputMethodCharacters() {
        const SeedParse p = ParseSeed(QStringLiteral("\uFEFF[記録]\r\n内容: 波〜線\r\n"), kFields, QStringLiteral("T"),
                                      QStringLiteral("t.txt"));
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        QCOMPARE(p.records.size(), 1);
        QCOMPARE(p.records[0].values.value(QStringLiteral("内容")), QStringLiteral("波～線"));
    }

    void missingFileNamed() {
        const SeedParse p = ReadSeedFile(QStringLiteral("/nonexistent/seed.txt"), kFields, QStringLiteral("T"));
        QVERIFY2(p.error.contains(QStringLiteral("/nonexistent/seed.txt")), qPrintable(p.error));
    }
};

QTEST_APPLESS_MAIN(TestSeedFile)
#include "tst_seed_file.moc"
