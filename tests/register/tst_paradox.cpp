// Records and texts from Paradox tables written with pxlib's own writer: the
// register through zelvara-cli register import --paradox (the same checks,
// backup and report as a CSV import), the reading texts and legends through
// zelvara-cli texts import, and every kind of bad input leaving the user's
// files exactly as they were: damaged headers, field lists and blocks are
// refused before pxlib reads them, and the reading itself runs in a child
// process whose faults end only the child.
#include "common/sqlite_connection.h"
#include "exchange/isolated_run.h"
#include "exchange/paradox_register.h"
#include "exchange/paradox_texts.h"
#include "register/person_table.h"
#include "store/legends_table.h"
#include "tests/recording_sink.h"
#include "tests/register/paradox_damage.h"
#include "tests/register/paradox_fixture.h"
#include "tests/register/register_test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <thread>

using namespace zelvara;
using namespace register_test;
using paradox_fixture::Field;
Q_DECLARE_METATYPE(paradox_damage::Damage)

namespace {

// Person()'s values as a Paradox table's record.
QStringList Record(const QString& name, const QString& year, const QString& sex = QStringLiteral("男")) {
    const PersonValues v = Person(name, year, sex);
    return QStringList(v.begin(), v.end());
}

// zelvara-cli texts ARGS --home HOME.
Run Texts(const QString& home, const QStringList& args) { return Cli(home, args, QStringLiteral("texts")); }

// A reading-text table's fields as Paradox fields: a number, alpha of the
// field's size (or of alphaSize when given), memos with a 10-byte leader.
QList<Field> FieldsOf(TableId id, int alphaSize = 0) {
    QList<Field> fields;
    for (const FieldDef& f : SchemaOf(id).fields) {
        if (f.type == FieldType::SmallInt)
            fields << Field{f.name, pxfShort, 2};
        else if (f.type == FieldType::String)
            fields << Field{f.name, pxfAlpha, alphaSize ? alphaSize : f.size};
        else
            fields << Field{f.name, pxfMemoBLOb, 20};
    }
    return fields;
}

// A memo longer than the leader kept in the record, so that it lies in the memo file.
QString LongText(const QString& head) { return head + QStringLiteral("～∥－￠￡￢ の説明。").repeated(20); }

QString SqlValue(const QString& file, const QString& sql) {
    const ScopedSqliteConnection c(NewConnectionName(QStringLiteral("test")), file);
    QSqlQuery q(c.db());
    return q.exec(sql) && q.next() ? q.value(0).toString() : QStringLiteral("(none)");
}

}  // namespace

class TestParadox : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path()));
        AddPerson(t, QStringLiteral("見本太郎"));
    }

    void registerRoundTripFieldByField() {
        QList<QStringList> records;
        QStringList full = Record(QStringLiteral("～∥－￠￡￢"), QStringLiteral("S34"), QStringLiteral("女"));
        for (int p = 1; p <= 12; ++p)
            full[PalaceFieldIndex(p)] = p % 2 ? QStringLiteral("紫微") : QStringLiteral("天府");
        records << full << Record(QStringLiteral("山田 花子"), QStringLiteral("1959"))
                << Record(QStringLiteral("髙橋①"), QStringLiteral("H1"));
        records[2][kFieldTime] = QStringLiteral("不明の場合");
        const QString db = dir_->filePath("old/nam_data.db");
        QVERIFY(QDir().mkpath(dir_->filePath("old")));
        QCOMPARE(paradox_fixture::Write(db, paradox_fixture::RegisterFields(), records), QString());

        QTemporaryDir other;
        const Run r = Cli(other.path(), {"import", "--paradox", db});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("3 件を読み込みました")), qPrintable(r.out));
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(other.path(), PersonTable::OpenMode::ReadOnly));
        const std::vector<PersonValues> stored = t.AllRecords();
        QCOMPARE(stored.size(), size_t(3));
        for (size_t n = 0; n < stored.size(); ++n)
            for (int i = 0; i < kPersonFieldCount; ++i)
                QVERIFY2(stored[n][size_t(i)] == records[int(n)][i],
                         qPrintable(QStringLiteral("record %1 field %2: %3 != %4")
                                        .arg(n + 1)
                                        .arg(FieldName(i), stored[n][size_t(i)], records[int(n)][i])));
        // The same table again: every record is already there.
        const Run twice = Cli(other.path(), {"import", "--paradox", db});
        QVERIFY2(twice.out.contains(QStringLiteral("すでにある 3 件")), qPrintable(twice.out));
    }

    void badRegisterTableChangesNothing_data() {
        QTest::addColumn<QList<Field>>("fields");
        QTest::addColumn<QList<QStringList>>("records");
        QTest::addColumn<int>("cutTo");  // bytes the file is cut to, 0 = whole
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("expected");
        const QList<Field> reg = paradox_fixture::RegisterFields();
        const QList<QStringList> good{Record("a", "1959")};
        const QList<QStringList> oneBad{Record("a", "1959"), Record("b", "1959", "x")};
        QList<Field> missing = reg.mid(0, kPersonFieldCount - 1);
        QList<Field> extra = reg;
        extra << Field{QStringLiteral("備考"), pxfAlpha, 20};
        QList<Field> mistyped = reg;
        mistyped[kFieldYear].type = pxfShort;
        mistyped[kFieldYear].size = 2;
        QTest::newRow("refused record") << reg << oneBad << 0 << QStringList{} << QStringLiteral("2 件目: 性別「x」");
        QTest::newRow("year the calendar lacks") << reg << QList<QStringList>{Record("a", "1959"), Record("b", "1920")}
                                                 << 0 << QStringList{} << QStringLiteral("2 件目: 生年月日「1920/");
        QTest::newRow("missing field") << missing << good << 0 << QStringList{}
                                       << QStringLiteral("項目「hukutoku」がありません");
        QTest::newRow("extra field") << extra << good << 0 << QStringList{}
                                     << QStringLiteral("読み込み先にない項目「備考」");
        QTest::newRow("mistyped field") << mistyped << good << 0 << QStringList{}
                                        << QStringLiteral("項目「生まれた年」の型が S");
        QTest::newRow("truncated") << reg << good << 3000 << QStringList{} << QStringLiteral("途中で切れて");
        QTest::newRow("damaged header") << reg << good << 100 << QStringList{} << QStringLiteral("途中で切れて");
        QTest::newRow("not paradox") << reg << good << -1 << QStringList{}
                                     << QStringLiteral("Paradox の表ではありません");
        QTest::newRow("dry run") << reg << good << 0 << QStringList{"--dry-run"} << QString();
    }
    void badRegisterTableChangesNothing() {
        QFETCH(QList<Field>, fields);
        QFETCH(QList<QStringList>, records);
        QFETCH(int, cutTo);
        QFETCH(QStringList, extra);
        QFETCH(QString, expected);
        const QString db = dir_->filePath("in.db");
        QCOMPARE(paradox_fixture::Write(db, fields, records), QString());
        if (cutTo != 0) {
            QFile f(db);
            QVERIFY(f.open(QIODevice::ReadWrite));
            if (cutTo < 0) QVERIFY(f.write("氏名,生まれた年\r\n見本,1959\r\n") > 0);
            QVERIFY(f.resize(cutTo < 0 ? f.pos() : cutTo));
        }
        const QByteArray before = FileBytes(dir_->filePath("nam_data.db"));
        const Run r = Cli(dir_->path(), QStringList{"import", "--paradox", db} + extra);
        if (expected.isEmpty()) {
            QCOMPARE(r.code, 0);
            QVERIFY2(r.out.contains(QStringLiteral("1 件を読み込めます")), qPrintable(r.out));
        } else {
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(expected) && r.err.contains(db), qPrintable(r.err));
            QVERIFY2(r.err.contains(QStringLiteral("名簿は変えていません")), qPrintable(r.err));
        }
        QCOMPARE(FileBytes(dir_->filePath("nam_data.db")), before);
        QVERIFY(!QFileInfo::exists(dir_->filePath("backup")) ||
                QDir(dir_->filePath("backup")).entryList({"nam_data-*-*.db"}).isEmpty());
    }

    void skipBadImportsTheGoodRecords() {
        const QString db = dir_->filePath("in.db");
        QCOMPARE(paradox_fixture::Write(db, paradox_fixture::RegisterFields(),
                                        {Record("a", "1959"), Record("b", "1959", "x"), Record("c", "S13")}),
                 QString());
        const Run r = Cli(dir_->path(), {"import", "--paradox", db, "--skip-bad"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(QStringLiteral("「%1」の 2 件目").arg(db)), qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("2 件を読み込みました")), qPrintable(r.out));
        QCOMPARE(QDir(dir_->filePath("backup")).entryList({"nam_data-*-*.db"}).size(), 1);
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path(), PersonTable::OpenMode::ReadOnly));
        QCOMPARE(t.RecordCount(), 3);
    }

    // Each damage of a 40-record register table is refused with its reason
    // before anything is imported, and the register stays as it was.
    void damagedRegisterTableRefused_data() {
        QTest::addColumn<paradox_damage::Damage>("damage");
        QTest::addColumn<QString>("expected");
        const QHash<QString, QString> expected{
            {"length-byte-255", QStringLiteral("項目の長さの合計")},
            {"second-length-byte-255", QStringLiteral("項目の長さの合計")},
            {"encryption-bit", QStringLiteral("暗号化されている")},
            {"encryption-data-header", QStringLiteral("暗号化されている")},
            {"record-count-one", QStringLiteral("見出しの記録数 1 件に対し、データのブロックにある記録は 40 件")},
            {"record-count-max", QStringLiteral("見出しの記録数 2147483647 件は")},
            {"record-count-negative", QStringLiteral("見出しの記録数 -1 件は")},
            {"field-count-zero", QStringLiteral("項目の数 0 は")},
            {"field-count-huge", QStringLiteral("項目の数 32767 は")},
            {"field-type-unknown", QStringLiteral("1 番目の項目の型 126")},
            {"record-size-small", QStringLiteral("記録の大きさ 8 バイトと合いません")},
            {"block-count-huge", QStringLiteral("途中で切れて")},
            {"block-loop", QStringLiteral("ブロックのつながりが正しくありません: ブロック 1")},
            {"block-overfull", QStringLiteral("記録の大きさ 32752 バイトが正しくありません")},
            {"block-ragged", QStringLiteral("記録の大きさ 7 バイトが正しくありません")},
            {"first-block-beyond", QStringLiteral("ブロックのつながりが正しくありません: ブロック 9")},
            {"header-cut", QStringLiteral("途中で切れて")},
        };
        for (const paradox_damage::Damage& d : paradox_damage::Damages())
            QTest::newRow(d.name) << d << expected.value(QLatin1String(d.name), QStringLiteral("(no expectation)"));
    }
    void damagedRegisterTableRefused() {
        QFETCH(paradox_damage::Damage, damage);
        QFETCH(QString, expected);
        QList<QStringList> records;
        for (int i = 0; i < 40; ++i) records << Record(QStringLiteral("人%1").arg(i), "1959");
        const QString db = dir_->filePath("in.db");
        QCOMPARE(paradox_fixture::Write(db, paradox_fixture::RegisterFields(), records), QString());
        QVERIFY(paradox_damage::Apply(db, damage));
        const QByteArray before = FileBytes(dir_->filePath("nam_data.db"));
        QElapsedTimer clock;
        clock.start();
        const Run r = Cli(dir_->path(), {"import", "--paradox", db});
        QVERIFY2(clock.elapsed() < 20000, "the import did not end in time");
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(expected) && r.err.contains(db), qPrintable(r.err));
        QVERIFY2(r.err.contains(QStringLiteral("名簿は変えていません")), qPrintable(r.err));
        QCOMPARE(FileBytes(dir_->filePath("nam_data.db")), before);
        QVERIFY(!QFileInfo::exists(dir_->filePath("backup")) ||
                QDir(dir_->filePath("backup")).entryList({"nam_data-*-*.db"}).isEmpty());
    }

    // The file is read and checked before the register's lock is taken: a
    // damaged file is refused for what it is even while another program
    // holds the register.
    void fileCheckedBeforeTheLock() {
        QList<QStringList> records{Record("a", "1959"), Record("b", "1960")};
        const QString db = dir_->filePath("in.db");
        QCOMPARE(paradox_fixture::Write(db, paradox_fixture::RegisterFields(), records), QString());
        QVERIFY(paradox_damage::Apply(db, paradox_damage::Named("encryption-bit")));
        RecordingSink sink;
        PersonTable holder(sink);
        QVERIFY(holder.Open(dir_->path()));
        const Run r = Cli(dir_->path(), {"import", "--paradox", db});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(QStringLiteral("暗号化されている")), qPrintable(r.err));
    }

    // The child that reads ends alone, whatever goes wrong in it, and this
    // process is told why in Japanese.
    void isolatedWorkEndsOnlyTheChild_data() {
        QTest::addColumn<QString>("work");
        QTest::addColumn<QString>("expected");  // empty: succeeds
        QTest::newRow("returns") << "returns" << QString();
        QTest::newRow("endless loop") << "loop" << QStringLiteral("CPU 時間 1 秒を使い切っても終わらない");
        QTest::newRow("memory without end") << "memory" << QStringLiteral("メモリーを 64 MB 使っても終わらない");
        QTest::newRow("crash") << "crash" << QStringLiteral("異常終了しました（シグナル 11）");
        QTest::newRow("too much output") << "output" << QStringLiteral("1 MB を超えたため");
        QTest::newRow("blocked") << "sleep" << QStringLiteral("2 秒たっても終わらない");
    }
    void isolatedWorkEndsOnlyTheChild() {
        QFETCH(QString, work);
        QFETCH(QString, expected);
        IsolationLimits limits;
        limits.cpuSeconds = 1;
        limits.wallSeconds = work == "sleep" ? 2 : 60;  // the loop gets its CPU second on a busy machine too
        limits.memoryBytes = std::size_t(64) << 20;
        limits.outputBytes = std::size_t(1) << 20;
#if defined(__SANITIZE_ADDRESS__)
        if (work == "memory") QSKIP("AddressSanitizer reports running out of memory itself");
#endif
        const std::string what = work.toStdString();
        const IsolatedResult result = RunIsolated(
            [&]() -> std::string {
                if (what == "loop") {
                    volatile unsigned long n = 0;
                    for (;;) n = n + 1;
                }
                if (what == "memory") {
                    std::vector<std::string> hoard;
                    for (;;) hoard.emplace_back(std::size_t(1) << 20, 'x');
                }
                if (what == "crash") std::raise(SIGSEGV);
                if (what == "output") return std::string(std::size_t(2) << 20, 'x');
                if (what == "sleep") std::this_thread::sleep_for(std::chrono::seconds(10));
                return "done";
            },
            limits);
        QCOMPARE(result.ok, expected.isEmpty());
        if (expected.isEmpty())
            QCOMPARE(result.output, std::string("done"));
        else
            QVERIFY2(result.failure.contains(expected), qPrintable(result.failure));
    }

    void usageErrors_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("export from paradox") << "register" << QStringList{"export", "--paradox", "a.db"};
        QTest::newRow("csv and paradox") << "register" << QStringList{"import", "--paradox", "a.db", "--csv", "a.csv"};
        QTest::newRow("texts without folder") << "texts" << QStringList{"import"};
        QTest::newRow("texts other action") << "texts" << QStringList{"export", "--paradox", "."};
    }
    void usageErrors() {
        QFETCH(QString, command);
        QFETCH(QStringList, args);
        const Run r = command == "texts" ? Texts(dir_->path(), args) : Cli(dir_->path(), args);
        QVERIFY2(r.code == 2, qPrintable(r.err));
    }

    void textsReplacedOnlyWhenConfirmed() {
        const QString from = MakeTexts();
        const QString legends = dir_->filePath(LegendsTable::kFileName);
        const QByteArray before = FileBytes(legends);

        const Run asked = Texts(dir_->path(), {"import", "--paradox", from});
        QCOMPARE(asked.code, 1);
        QVERIFY2(asked.out.contains(QStringLiteral("「%1」の記録をすべて").arg(legends)), qPrintable(asked.out));
        QVERIFY2(asked.out.contains(QStringLiteral("KYU12.db は取り込み元にない")), qPrintable(asked.out));
        QVERIFY2(asked.err.contains(QStringLiteral("--yes")), qPrintable(asked.err));
        QCOMPARE(FileBytes(legends), before);
        QVERIFY(!QFileInfo::exists(dir_->filePath("hosiImi.DB")));

        const Run done = Texts(dir_->path(), {"import", "--paradox", from, "--yes"});
        QVERIFY2(done.code == 0, qPrintable(done.err));
        QCOMPARE(QDir(dir_->filePath("backup")).entryList({"helpbun-*.DB"}).size(), 1);
        RecordingSink sink;
        LegendsTable table(sink);
        QVERIFY(table.Open(dir_->path()));
        QCOMPARE(table.Value(LegendFieldNames().at(0)), LongText(QStringLiteral("紫微星")));
        QCOMPARE(table.Value(LegendFieldNames().at(1)), QStringLiteral("短い"));
        QCOMPARE(table.Value(LegendFieldNames().at(13)), QString());
        QCOMPARE(SqlValue(dir_->filePath("hosiImi.DB"),
                          QStringLiteral("SELECT \"%1\" FROM hosiImi WHERE No = 2").arg(StarTextFieldNames().at(0))),
                 LongText(QStringLiteral("二番")));
    }

    void refusedTextsChangeNothing_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("expected");
        QTest::newRow("missing memo file") << "nomemo" << QStringLiteral("helpbun.MB」がありません");
        QTest::newRow("other schema") << "schema" << QStringLiteral("項目「破軍星」がありません");
        QTest::newRow("cut memo file") << "cutmemo" << QStringLiteral("helpbun.MB」は壊れているか途中で切れています");
        QTest::newRow("not a folder") << "folder" << QStringLiteral("フォルダー");
        QTest::newRow("refused record") << "record" << QStringLiteral("KYU12.db」の 2 件目: 「宮名称」が長すぎます");
        QTest::newRow("encrypted table") << "encryption-bit" << QStringLiteral("helpbun.DB」は暗号化されている");
        QTest::newRow("huge record count") << "record-count-max" << QStringLiteral("見出しの記録数 2147483647 件は");
        QTest::newRow("length byte 255") << "length-byte-255" << QStringLiteral("1 番目の項目の型 12 と長さ 255");
    }
    void refusedTextsChangeNothing() {
        QFETCH(QString, fault);
        QFETCH(QString, expected);
        QString from = MakeTexts();
        if (fault == "nomemo") QVERIFY(QFile::remove(QDir(from).filePath("helpbun.MB")));
        if (fault == "schema")
            QCOMPARE(paradox_fixture::Write(QDir(from).filePath("helpbun.DB"),
                                            paradox_fixture::LegendMemoFields().mid(0, 13), {{"a"}}),
                     QString());
        if (fault == "cutmemo") QVERIFY(QFile::resize(QDir(from).filePath("helpbun.MB"), 5000));
        if (fault == "record") {
            const QString tooLong = QStringLiteral("命宮").repeated(6);  // 24 bytes in Shift-JIS, 20 allowed
            QCOMPARE(paradox_fixture::Write(QDir(from).filePath("KYU12.db"), FieldsOf(TableId::Kyu12, 40),
                                            {{"1", QStringLiteral("命宮")}, {"2", tooLong}}),
                     QString());
        }
        if (fault == "folder") from = dir_->filePath("none");
        for (const paradox_damage::Damage& d : paradox_damage::Damages())
            if (fault == QLatin1String(d.name)) QVERIFY(paradox_damage::Apply(QDir(from).filePath("helpbun.DB"), d));
        const QByteArray before = FileBytes(dir_->filePath(LegendsTable::kFileName));
        const Run r = Texts(dir_->path(), {"import", "--paradox", from, "--yes"});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(expected), qPrintable(r.err));
        QCOMPARE(FileBytes(dir_->filePath(LegendsTable::kFileName)), before);
        QVERIFY(!QFileInfo::exists(dir_->filePath("hosiImi.DB")));
        QVERIFY(!QFileInfo::exists(dir_->filePath("backup")) ||
                QDir(dir_->filePath("backup")).entryList({"helpbun-*"}).isEmpty());
    }

private:
    // Paradox helpbun.DB and hosiImi.DB (with memo files) in a folder, and
    // the user's legends table as the program makes it from its seed.
    QString MakeTexts() {
        RecordingSink sink;
        LegendsTable seeded(sink);
        [&] { QVERIFY(seeded.Open(dir_->path())); }();
        const QString from = dir_->filePath("paradox");
        QDir().mkpath(from);
        QStringList legend{LongText(QStringLiteral("紫微星")), QStringLiteral("短い")};
        [&] {
            QCOMPARE(paradox_fixture::Write(QDir(from).filePath("helpbun.DB"), paradox_fixture::LegendMemoFields(),
                                            {legend}),
                     QString());
        }();
        QStringList one{"1", QStringLiteral("一番")}, two{"2", LongText(QStringLiteral("二番"))};
        [&] {
            QCOMPARE(paradox_fixture::Write(QDir(from).filePath("hosiImi.DB"), FieldsOf(TableId::HosiImi), {one, two}),
                     QString());
        }();
        return from;
    }

    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(TestParadox)
#include "tst_paradox.moc"
