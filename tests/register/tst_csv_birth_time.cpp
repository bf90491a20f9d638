// The exact birth time in the register's CSV files: its five columns written
// only when some record has one, a round trip through an empty register that
// keeps every entry, and a file's bad entries refused by line with nothing
// written.
#include "register/birth_time_table.h"
#include "register/person_table.h"
#include "register/register_csv.h"
#include "register/register_import.h"
#include "tests/register/register_test_support.h"

#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using namespace register_test;

namespace {

const BirthTimeEntry kSapporo{
    QStringLiteral("05:50"), QStringLiteral("北海道 札幌市"), 141.3472, {}, TimeCorrection::kMean};
const BirthTimeEntry kNewYork{QStringLiteral("10:40"),
                              QStringLiteral("ニューヨーク（New York, United States of America）"), -74.00597,
                              QStringLiteral("America/New_York"), TimeCorrection::kTrue};
// A longitude outside Japan kept in Japan's zone, as the user confirmed it.
const BirthTimeEntry kConfirmed{QStringLiteral("23:59"), {}, 100.5, {}, TimeCorrection::kNone};
const BirthTimeEntry kTimeOnly{QStringLiteral("00:00"), {}, std::nullopt, {}, std::nullopt};

// The header and the UTF-8 file of the register's fields with the exact
// time's columns, rows given as their last five cells.
QByteArray FileWithTimes(const QStringList& timeCells) {
    QString text = QStringLiteral(
        "氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別,出生時刻,出生地,経度,タイムゾーン,補正\r\n");
    int n = 0;
    for (const QString& cells : timeCells)
        text += QStringLiteral("人%1,1972,11,3,09:00-11:00,男,%2\r\n").arg(++n).arg(cells);
    return text.toUtf8();
}

}  // namespace

class TestCsvBirthTime : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> dir_;
    RecordingSink sink_;

    std::unique_ptr<PersonTable> Register(const QString& name) {
        auto table = std::make_unique<PersonTable>(sink_);
        table->SetBackupFolder(dir_->filePath(name + QStringLiteral("-backup")));
        if (!QDir(dir_->path()).mkpath(name) || !table->Open(dir_->filePath(name))) return nullptr;
        return table;
    }
    static RecordBirthTimes TimesOf(const PersonTable& table) {
        RecordBirthTimes times;
        QString why;
        [&] { QVERIFY2(table.ReadAllRecords(&why, &times), qPrintable(why)); }();
        return times;
    }

private slots:
    void init() { dir_ = std::make_unique<QTemporaryDir>(); }

    void roundTripKeepsTheTimes_data() {
        QTest::addColumn<int>("encoding");
        QTest::newRow("utf-8") << int(CsvEncoding::Utf8);
        QTest::newRow("cp932") << int(CsvEncoding::Cp932);
    }
    void roundTripKeepsTheTimes() {
        QFETCH(int, encoding);
        auto source = Register(QStringLiteral("source"));
        QVERIFY(source);
        const RecordBirthTimes times{kSapporo, std::nullopt, kNewYork, kConfirmed, kTimeOnly};
        std::vector<PersonValues> records;
        for (size_t n = 0; n < times.size(); ++n) records.push_back(Person(QStringLiteral("人%1").arg(n + 1)));
        QString why;
        QVERIFY2(source->AppendRecords(records, &why, {}, times), qPrintable(why));
        QCOMPARE(TimesOf(*source), times);

        RecordBirthTimes read;
        const auto stored = source->ReadAllRecords(&why, &read);
        QVERIFY(stored);
        const QByteArray bytes = WriteRegisterCsv(*stored, CsvEncoding(encoding), &why, read);
        QVERIFY2(why.isEmpty(), qPrintable(why));
        const QStringList lines =
            (encoding == int(CsvEncoding::Utf8) ? QString::fromUtf8(bytes) : QString()).split(QStringLiteral("\r\n"));
        if (encoding == int(CsvEncoding::Utf8)) {
            QVERIFY(lines[0].endsWith(QStringLiteral(",hukutoku,出生時刻,出生地,経度,タイムゾーン,補正")));
            QVERIFY2(lines[1].endsWith(QStringLiteral(",05:50,北海道 札幌市,141.3472,,mean")), qPrintable(lines[1]));
            QVERIFY2(lines[2].endsWith(QStringLiteral(",,,,,")), qPrintable(lines[2]));
            QVERIFY2(lines[4].endsWith(QStringLiteral(",23:59,,100.5,Asia/Tokyo,none")), qPrintable(lines[4]));
        }

        auto target = Register(QStringLiteral("target"));
        QVERIFY(target);
        const CsvContent content = ReadRegisterCsv(bytes, QStringLiteral("x.csv"));
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        const ImportReport report = ImportRecords(*target, content.items, {});
        QVERIFY2(report.error.isEmpty() && report.refused.empty(),
                 qPrintable(report.error + (report.refused.empty() ? QString() : report.refused[0].second)));
        QCOMPARE(report.added, int(records.size()));
        QCOMPARE(TimesOf(*target), times);
        // Exported again, the file is the same byte for byte.
        RecordBirthTimes again;
        QCOMPARE(WriteRegisterCsv(*target->ReadAllRecords(&why, &again), CsvEncoding(encoding), &why, again), bytes);
    }

    // A register without exact times is written as before: no extra columns.
    void withoutTimesTheFileIsAsBefore() {
        auto source = Register(QStringLiteral("plain"));
        QVERIFY(source);
        QString why;
        QVERIFY(source->AppendRecords({Person(QStringLiteral("甲")), Person(QStringLiteral("乙"))}, &why));
        RecordBirthTimes times;
        const auto stored = source->ReadAllRecords(&why, &times);
        QVERIFY(stored);
        QCOMPARE(times.size(), size_t(2));
        QCOMPARE(WriteRegisterCsv(*stored, CsvEncoding::Utf8, &why, times),
                 WriteRegisterCsv(*stored, CsvEncoding::Utf8, &why));
        QVERIFY(
            !WriteRegisterCsv(*stored, CsvEncoding::Utf8, &why, times).contains("\xE5\x87\xBA\xE7\x94\x9F"));  // 出生
    }

    // Each bad entry is refused with its line and reason, and nothing is
    // written; skipping the bad ones imports the good one with its time.
    void badEntriesAreRefusedByLine_data() {
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("reason");  // part of the message
        QTest::newRow("hour 25") << "25:00,,,,"
                                 << "「25:00」は時刻として読めません";
        QTest::newRow("place without longitude") << "05:50,明石,,,"
                                                 << "経度が分かりません";
        QTest::newRow("longitude not a number") << "05:50,,東経139,,"
                                                << "経度「東経139」は東経を度で表す数ではありません";
        QTest::newRow("unknown correction") << "05:50,,139.7,,maybe"
                                            << "補正「maybe」は none、mean、true のどれでもありません";
        QTest::newRow("unknown zone") << "05:50,,10,Mars/Olympus,"
                                      << "タイムゾーン「Mars/Olympus」は分かりません";
        QTest::newRow("place but no time") << ",札幌,141.35,,"
                                           << "出生時刻がないのに";
        QTest::newRow("outside Japan, zone not named") << "05:50,,100.5,,"
                                                       << "タイムゾーンの欄に Asia/Tokyo と書いて下さい";
    }
    void badEntriesAreRefusedByLine() {
        QFETCH(QString, cells);
        QFETCH(QString, reason);
        auto table = Register(QStringLiteral("r"));
        QVERIFY(table);
        const CsvContent content =
            ReadRegisterCsv(FileWithTimes({QStringLiteral("05:50,,,,MEAN"), cells}), QStringLiteral("x.csv"));
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        ImportReport report = ImportRecords(*table, content.items, {});
        QVERIFY(!report.error.isEmpty());
        QCOMPARE(report.refused.size(), size_t(1));
        QCOMPARE(report.refused[0].first, 3);
        QVERIFY2(report.refused[0].second.contains(reason), qPrintable(report.refused[0].second));
        QCOMPARE(table->RecordCount(), 0);

        ImportOptions skip;
        skip.skipBad = true;
        report = ImportRecords(*table, content.items, skip);
        QCOMPARE(report.added, 1);
        QCOMPARE(
            TimesOf(*table),
            (RecordBirthTimes{BirthTimeEntry{QStringLiteral("05:50"), {}, std::nullopt, {}, TimeCorrection::kMean}}));
    }

    // Only some of the columns: the others read as empty.
    void someColumnsOnly() {
        const QByteArray file = QStringLiteral(
                                    "氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別,出生時刻\r\n"
                                    "甲,1972,11,3,09:00-11:00,男,10:40\r\n乙,1972,11,3,09:00-11:00,男,\r\n")
                                    .toUtf8();
        const CsvContent content = ReadRegisterCsv(file, QStringLiteral("x.csv"));
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        QCOMPARE(content.items.size(), size_t(2));
        QCOMPARE(content.items[0].birthTime,
                 std::optional(BirthTimeEntry{QStringLiteral("10:40"), {}, std::nullopt, {}, std::nullopt}));
        QVERIFY(!content.items[1].birthTime);
    }
};

QTEST_GUILESS_MAIN(TestCsvBirthTime)
#include "tst_csv_birth_time.moc"
