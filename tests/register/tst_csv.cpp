// The register's CSV files and the safe import: round trips in both
// encodings, the reader's refusals, and the import's all-or-nothing rules.
#include "register/person_table.h"
#include "register/register_csv.h"
#include "register/register_import.h"
#include "tests/register/register_test_support.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

using namespace zelvara;
using namespace register_test;

namespace {

// Names that need quoting, line breaks, blanks at the ends and the characters
// Shift-JIS maps specially; palace fields filled.
std::vector<PersonValues> AwkwardRecords() {
    std::vector<PersonValues> list = {
        Person(QStringLiteral("山田, \"花子\"")), Person(QStringLiteral("改行\r\nあり")),
        Person(QStringLiteral("～∥－￠￡￢")),    Person(QStringLiteral(" 前後に空白 "), QStringLiteral("S40")),
        Person(QStringLiteral("\"\"")),           Person(QStringLiteral("行\n末")),
    };
    list[0][PalaceFieldIndex(2)] = QStringLiteral("紫微");
    list[2][PalaceFieldIndex(12)] = QStringLiteral("天府");
    list[3][kFieldTime] = QStringLiteral("不明の場合");
    return list;
}

std::vector<ImportItem> Items(const std::vector<PersonValues>& records) {
    std::vector<ImportItem> items;
    for (size_t n = 0; n < records.size(); ++n) items.push_back({int(n) + 2, records[n], {}});
    return items;
}

}  // namespace

class TestRegisterCsv : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        table_ = std::make_unique<PersonTable>(sink_);
        QVERIFY(table_->Open(dir_->path()));
    }
    void cleanup() {
        table_.reset();
        dir_.reset();
    }

    void roundTrip_data() {
        QTest::addColumn<int>("encoding");
        QTest::newRow("utf-8") << int(CsvEncoding::Utf8);
        QTest::newRow("cp932") << int(CsvEncoding::Cp932);
    }
    void roundTrip() {
        QFETCH(int, encoding);
        const std::vector<PersonValues> records = AwkwardRecords();
        QString error;
        const QByteArray bytes = WriteRegisterCsv(records, CsvEncoding(encoding), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(bytes.startsWith("\xEF\xBB\xBF"), encoding == int(CsvEncoding::Utf8));
        const CsvContent content = ReadRegisterCsv(bytes, QStringLiteral("x.csv"));
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        QCOMPARE(content.items.size(), records.size());
        for (size_t n = 0; n < records.size(); ++n)
            for (int i = 0; i < kPersonFieldCount; ++i)
                QCOMPARE(content.items[n].values[i].toUtf8(), records[n][i].toUtf8());
        // Names with line breaks are read back as written, but the register
        // refuses them; the others go in as they were.
        ImportOptions skipBad;
        skipBad.skipBad = true;
        const ImportReport report = ImportRecords(*table_, content.items, skipBad);
        QVERIFY2(report.error.isEmpty() && report.written, qPrintable(report.error));
        QCOMPARE(report.refused.size(), size_t(2));
        std::vector<PersonValues> storable;
        for (const PersonValues& r : records)
            if (!r[kFieldName].contains(QLatin1Char('\n'))) storable.push_back(r);
        QCOMPARE(report.added, int(storable.size()));
        const std::vector<PersonValues> stored = table_->AllRecords();
        QCOMPARE(stored.size(), storable.size());
        for (size_t n = 0; n < storable.size(); ++n)
            for (int i = 0; i < kPersonFieldCount; ++i) QCOMPARE(stored[n][i].toUtf8(), storable[n][i].toUtf8());
        // Exported again, the file is the same byte for byte.
        QCOMPARE(WriteRegisterCsv(stored, CsvEncoding(encoding), &error),
                 WriteRegisterCsv(storable, CsvEncoding(encoding), &error));
        // A record's start line counts the line breaks inside earlier quoted names.
        QCOMPARE(content.items[2].line, 5);
    }

    void columnsInAnyOrderPalacesMissing() {
        const QByteArray csv =
            "\xE6\x80\xA7\xE5\x88\xA5,\xE6\xB0\x8F\xE5\x90\x8D,"
            "\xE7\x94\x9F\xE3\x81\xBE\xE3\x82\x8C\xE3\x81\x9F\xE6\x97\xA5,"
            "\xE7\x94\x9F\xE3\x81\xBE\xE3\x82\x8C\xE3\x81\x9F\xE6\x9C\x88,"
            "\xE7\x94\x9F\xE3\x81\xBE\xE3\x82\x8C\xE3\x81\x9F\xE6\x99\x82\xE5\x88\xBB,"
            "\xE7\x94\x9F\xE3\x81\xBE\xE3\x82\x8C\xE3\x81\x9F\xE5\xB9\xB4,meikyu\n"
            "\xE7\x94\xB7,A,31,12,23:00-01:00,1965,X\n";  // 男,A,... without BOM, LF line ends
        const CsvContent content = ReadRegisterCsv(csv, QStringLiteral("x.csv"));
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        QCOMPARE(content.items.size(), size_t(1));
        const PersonValues& v = content.items[0].values;
        QCOMPARE(v[kFieldName], QStringLiteral("A"));
        QCOMPARE(v[kFieldSex], QStringLiteral("男"));
        QCOMPARE(v[kFieldYear], QStringLiteral("1965"));
        QCOMPARE(v[kFieldMonth], QStringLiteral("12"));
        QCOMPARE(v[kFieldDay], QStringLiteral("31"));
        QCOMPARE(v[PalaceFieldIndex(2)], QStringLiteral("X"));
        QVERIFY(v[PalaceFieldIndex(1)].isEmpty());
    }

    void shiftJisWithoutMarkIsDetected() {
        QString error;
        QByteArray bytes = WriteRegisterCsv({Person(QStringLiteral("見本花子"))}, CsvEncoding::Cp932, &error);
        const CsvContent content = ReadRegisterCsv(bytes, QStringLiteral("x.csv"));
        QVERIFY2(content.error.isEmpty(), qPrintable(content.error));
        QCOMPARE(content.items.at(0).values[kFieldName], QStringLiteral("見本花子"));
    }

    void badFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        const QByteArray header =
            QStringLiteral("氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別\r\n").toUtf8();
        QTest::newRow("truncated in a quoted field")
            << header + "\"abc,1959,5" << QStringLiteral("2 行目から始まる引用符");
        QTest::newRow("binary") << QByteArray(
                                       "\x7F"
                                       "ELF\x02\x01\x01\x00\x00\x00",
                                       10)
                                << QStringLiteral("1 行目に文字でないデータ");
        QTest::newRow("nul on line 3") << header + QByteArray("a,1,1,1,x,\xE7\x94\xB7\r\nb\0c", 18)
                                       << QStringLiteral("3 行目に文字でないデータ");
        QTest::newRow("quote inside a field") << header + "a\"b,1959,5,7,x,男\r\n"
                                              << QStringLiteral("2 行目が CSV として読めません");
        QTest::newRow("empty") << QByteArray() << QStringLiteral("見出しの行がありません");
        QTest::newRow("unknown column") << QStringLiteral("氏名,年齢\r\n").toUtf8()
                                        << QStringLiteral("「年齢」は名簿の項目名ではありません");
        QTest::newRow("column twice") << QStringLiteral("氏名,氏名\r\n").toUtf8()
                                      << QStringLiteral("「氏名」は二度あります");
        QTest::newRow("birth column missing")
            << QStringLiteral("氏名,性別\r\n").toUtf8() << QStringLiteral("生まれた年、生まれた月");
    }
    void badFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        const CsvContent content = ReadRegisterCsv(bytes, QStringLiteral("in.csv"));
        QVERIFY2(content.error.contains(expected) && content.error.contains(QStringLiteral("in.csv")),
                 qPrintable(content.error));
        QVERIFY(content.items.empty());
    }

    void badRecords_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("name too long") << int(kFieldName) << QStringLiteral("あいうえおかきくけこさ")
                                       << QStringLiteral("氏名");
        QTest::newRow("not in Shift-JIS") << int(kFieldName) << QStringLiteral("𠮷野") << QStringLiteral("𠮷");
        QTest::newRow("no name") << int(kFieldName) << QString() << QStringLiteral("氏名がありません");
        QTest::newRow("sex") << int(kFieldSex) << QStringLiteral("M") << QStringLiteral("性別「M」");
        QTest::newRow("period") << int(kFieldTime) << QStringLiteral("05:00") << QStringLiteral("生時刻「05:00」");
        QTest::newRow("year letters") << int(kFieldYear) << QStringLiteral("abc") << QStringLiteral("生年「abc」");
        QTest::newRow("year too long") << int(kFieldYear) << QStringLiteral("19590") << QStringLiteral("生年");
        QTest::newRow("month 13") << int(kFieldMonth) << QStringLiteral("13") << QStringLiteral("生月「13」");
        QTest::newRow("month 0") << int(kFieldMonth) << QStringLiteral("0") << QStringLiteral("生月「0」");
        QTest::newRow("day 32") << int(kFieldDay) << QStringLiteral("32") << QStringLiteral("生日「32」");
        QTest::newRow("palace too long") << PalaceFieldIndex(3) << QStringLiteral("紫微天府") << QStringLiteral("兄弟");
        // What the program could not chart.
        QTest::newRow("tab in name") << int(kFieldName) << QStringLiteral("山田\t花子")
                                     << QStringLiteral("氏名に改行・タブなどの制御文字");
        QTest::newRow("line break in name")
            << int(kFieldName) << QStringLiteral("山田\n花子") << QStringLiteral("氏名に改行・タブなどの制御文字");
        QTest::newRow("escape in palace")
            << PalaceFieldIndex(1) << QStringLiteral("\x1b") << QStringLiteral("父母に改行・タブなどの制御文字");
        QTest::newRow("line separator") << int(kFieldName) << QStringLiteral("山田\u2028花子")
                                        << QStringLiteral("制御文字");
        QTest::newRow("year 1920") << int(kFieldYear) << QStringLiteral("1920")
                                   << QStringLiteral("１９２１年より小さい年");
        QTest::newRow("year 2101") << int(kFieldYear) << QStringLiteral("2101")
                                   << QStringLiteral("２１００年より大きい年");
        QTest::newRow("year 0") << int(kFieldYear) << QStringLiteral("0") << QStringLiteral("１９２１年より小さい年");
        QTest::newRow("era year R99") << int(kFieldYear) << QStringLiteral("R99")
                                      << QStringLiteral("生年月日「R99/5/7」");
        QTest::newRow("era year S65") << int(kFieldYear) << QStringLiteral("S65") << QStringLiteral("生年「S65」");
    }
    void badRecords() {
        QFETCH(int, field);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        PersonValues bad = Person(QStringLiteral("悪い"));
        bad[field] = value;
        const QString problem = RecordProblem(bad);
        QVERIFY2(problem.contains(expected), qPrintable(problem));
        // One refused record stops the whole import; the register stays as it was.
        const ImportReport report = ImportRecords(*table_, Items({Person(QStringLiteral("良い")), bad}), {});
        QCOMPARE(report.refused.size(), size_t(1));
        QCOMPARE(report.refused[0].first, 3);
        QVERIFY(!report.error.isEmpty() && !report.written);
        QCOMPARE(table_->AllRecords().size(), size_t(0));
        QVERIFY(!QDir(table_->BackupFolder()).exists());
    }

    // Dates the calendar does not have, or lies outside what it covers, are
    // refused as the chart request refuses them.
    void datesTheProgramCannotChart_data() {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("month");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("expected");
        QTest::newRow("29 February 1985") << "1985"
                                          << "2"
                                          << "29" << QStringLiteral("1985年2月には29日がありません");
        QTest::newRow("31 February 1959") << "1959"
                                          << "2"
                                          << "31" << QStringLiteral("1959年2月には31日がありません");
        QTest::newRow("31 April") << "S40"
                                  << "4"
                                  << "31" << QStringLiteral("1965年4月には31日がありません");
        QTest::newRow("31 December 1920") << "1920"
                                          << "12"
                                          << "31" << QStringLiteral("生年月日「1920/12/31」");
        QTest::newRow("5 January 1921") << "1921"
                                        << "1"
                                        << "5" << QStringLiteral("鑑定可能範囲");
        QTest::newRow("1 January 2101") << "2101"
                                        << "1"
                                        << "1" << QStringLiteral("生年月日「2101/1/1」");
        QTest::newRow("0/1/1") << "0"
                               << "1"
                               << "1" << QStringLiteral("生年月日「0/1/1」");
    }
    void datesTheProgramCannotChart() {
        QFETCH(QString, year);
        QFETCH(QString, month);
        QFETCH(QString, day);
        QFETCH(QString, expected);
        PersonValues v = Person(QStringLiteral("甲"), year);
        v[kFieldMonth] = month;
        v[kFieldDay] = day;
        const QString problem = RecordProblem(v);
        QVERIFY2(problem.contains(expected), qPrintable(problem));
    }

    void firstAndLastDaysAreTaken() {
        for (const auto& [year, month, day] : {std::tuple{"1921", "1", "6"}, std::tuple{"2100", "12", "31"},
                                               std::tuple{"2000", "2", "29"}, std::tuple{"H12", "2", "29"}}) {
            PersonValues v = Person(QStringLiteral("甲"), QString::fromLatin1(year));
            v[kFieldMonth] = QString::fromLatin1(month);
            v[kFieldDay] = QString::fromLatin1(day);
            QVERIFY2(RecordProblem(v).isEmpty(), qPrintable(RecordProblem(v)));
        }
    }

    // A row repeated within one file goes in once; the repeat is a duplicate.
    void rowRepeatedInTheFileIsADuplicate() {
        const ImportReport r = ImportRecords(
            *table_, Items({Person(QStringLiteral("甲")), Person(QStringLiteral("乙")), Person(QStringLiteral("甲"))}),
            {});
        QVERIFY2(r.written, qPrintable(r.error));
        QCOMPARE(r.added, 2);
        QCOMPARE(r.duplicates, 1);
        QCOMPARE(table_->AllRecords().size(), size_t(2));
    }

    // A value a spreadsheet would run as a formula is written with an
    // apostrophe in front, and read back without it.
    void spreadsheetSafeValues() {
        const QStringList names = {QStringLiteral("=1+2"),    QStringLiteral("+81"),       QStringLiteral("-3"),
                                   QStringLiteral("\u2212x"), QStringLiteral("@SUM(A1)"),  QStringLiteral("\tTAB"),
                                   QStringLiteral("＝全角"),  QStringLiteral("'=already"), QStringLiteral("''@two")};
        std::vector<PersonValues> records;
        for (const QString& n : names) records.push_back(Person(n));
        records.push_back(Person(QStringLiteral("O'Brien")));
        records.push_back(Person(QStringLiteral("'quoted'")));
        QString error;
        const QByteArray bytes = WriteRegisterCsv(records, CsvEncoding::Utf8, &error);
        const QString text = QString::fromUtf8(bytes);
        for (const QString& line : text.split(QStringLiteral("\r\n")).mid(1, names.size())) {
            const QString cell = line.startsWith(QLatin1Char('"')) ? line.mid(1) : line;
            QVERIFY2(cell.startsWith(QLatin1Char('\'')), qPrintable(line));
        }
        QVERIFY2(text.contains(QStringLiteral("\r\nO'Brien,")) && text.contains(QStringLiteral("\r\n'quoted',")),
                 qPrintable(text));
        const CsvContent content = ReadRegisterCsv(bytes, QStringLiteral("x.csv"));
        QCOMPARE(content.items.size(), records.size());
        for (size_t n = 0; n < records.size(); ++n)
            QCOMPARE(content.items[n].values[kFieldName], records[n][kFieldName]);
        // A hand-made file's apostrophe before a formula is taken off too.
        QCOMPARE(UnguardedFromSpreadsheet(QStringLiteral("'=A1")), QStringLiteral("=A1"));
        QCOMPARE(UnguardedFromSpreadsheet(QStringLiteral("'A1")), QStringLiteral("'A1"));
    }

    void acceptedForms() {
        for (const QString& year : {QStringLiteral("S40"), QStringLiteral("ｈ２"), QStringLiteral("1965")})
            QVERIFY2(RecordProblem(Person(QStringLiteral("甲"), year)).isEmpty(), qPrintable(year));
        PersonValues v = Person(QStringLiteral("乙"));
        v[kFieldMonth] = QStringLiteral("１");
        v[kFieldDay] = QStringLiteral("01");
        QVERIFY(RecordProblem(v).isEmpty());
    }

    void skipBadDryRunAndDuplicates() {
        const ImportReport first = ImportRecords(*table_, Items({Person(QStringLiteral("既存"))}), {});
        QVERIFY(first.written);
        PersonValues bad = Person(QStringLiteral("悪い"));
        bad[kFieldSex] = QStringLiteral("?");
        std::vector<ImportItem> items = Items({Person(QStringLiteral("既存")), bad, Person(QStringLiteral("新規"))});
        items.push_back({9, {}, QStringLiteral("項目の数が合いません")});

        ImportOptions dry;
        dry.dryRun = true;
        dry.skipBad = true;
        ImportReport r = ImportRecords(*table_, items, dry);
        QCOMPARE(r.added, 1);
        QCOMPARE(r.duplicates, 1);
        QCOMPARE(r.refused.size(), size_t(2));
        QCOMPARE(r.refused[1].first, 9);
        QVERIFY(!r.written);
        QCOMPARE(table_->AllRecords().size(), size_t(1));

        ImportOptions skip;
        skip.skipBad = true;
        r = ImportRecords(*table_, items, skip);
        QVERIFY(r.written);
        QVERIFY(QFileInfo::exists(r.backupPath));
        QVERIFY2(r.backupPath != first.backupPath, qPrintable(r.backupPath));  // each import keeps its own copy
        QVERIFY(QFileInfo::exists(first.backupPath));
        const std::vector<PersonValues> stored = table_->AllRecords();
        QCOMPARE(stored.size(), size_t(2));
        QCOMPARE(stored[1][kFieldName], QStringLiteral("新規"));
        QCOMPARE(table_->RecordCount(), 2);  // the view reloaded
        // The same name with another birth is another person.
        PersonValues other = Person(QStringLiteral("既存"));
        other[kFieldDay] = QStringLiteral("8");
        QCOMPARE(ImportRecords(*table_, Items({other}), {}).added, 1);
    }

    void readOnlyRegisterIsNotWritten() {
        RecordingSink sink;
        PersonTable second(sink);  // the lock is held by table_
        QVERIFY(second.Open(dir_->path()));
        QVERIFY(!second.IsWritable());
        const ImportReport r = ImportRecords(second, Items({Person(QStringLiteral("甲"))}), {});
        QVERIFY(!r.written && !r.error.isEmpty());
        QCOMPARE(table_->AllRecords().size(), size_t(0));
    }

private:
    RecordingSink sink_;
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<PersonTable> table_;
};

QTEST_GUILESS_MAIN(TestRegisterCsv)
#include "tst_csv.moc"
