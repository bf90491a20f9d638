// The reading-text tables: layout of the files made from the seeds, never
// overwriting an edited table, seed mistakes, broken files, table order,
// field lookups, submitting, adding and removing records.
#include "common/seed_file.h"
#include "readings/reading_names.h"
#include "tests/readings/reading_fixture.h"

#include <QSqlDatabase>
#include <QSqlQuery>

using namespace zelvara;

namespace {

struct Column {
    QString name, type;
    bool primaryKey;
};

QList<Column> ColumnsOf(const QString& path, const QString& table) {
    QList<Column> cols;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("inspect"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA table_info(\"%1\")").arg(table));
            while (q.next()) cols.append({q.value(1).toString(), q.value(2).toString(), q.value(5).toInt() == 1});
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("inspect"));
    return cols;
}

QStringList Names(const QList<Column>& cols) {
    QStringList n;
    for (const Column& c : cols) n << c.name;
    return n;
}

const QStringList kTwentyShort =
    QStringLiteral(
        "紫薇 天機 太陽 武曲 天同 廉貞 天府 太陰 貪狼 巨門 天相 天梁 七殺 破軍 炎星 鈴星 文曲 文昌 羊刃 陀羅")
        .split(QLatin1Char(' '));
const QStringList kTwentyLong = QStringLiteral(
                                    "紫薇星 天機星 太陽星 武曲星 天同星 廉貞星 天府星 太陰星 貪狼星 巨門星 天相星 "
                                    "天梁星 七殺星 破軍星 炎星 鈴星 文曲星 文昌星 羊刃星 陀羅星")
                                    .split(QLatin1Char(' '));
const QStringList kTwelveMinor =
    QStringLiteral("天存 天魁 天鉞 左輔 右弼 天空 地劫 天耗 紅鸞 天喜 天姚 天刑").split(QLatin1Char(' '));
const QStringList kFourTransforms = QStringLiteral("化禄 化権 化科 化忌").split(QLatin1Char(' '));

// The values of a field in table order.
QStringList ValuesOf(const ReadingTable& t, const QString& field) {
    QStringList values;
    for (int r = 0; r < t.RecordCount(); ++r) values << t.Value(r, field).value_or(QStringLiteral("<none>"));
    return values;
}

QString Kyu12Seed(const QStringList& palaces) {
    QString s;
    for (int i = 0; i < palaces.size(); ++i)
        s += QStringLiteral("[記録]\nNo: %1\n宮名称: %2\n").arg(i + 1).arg(palaces[i]);
    return s;
}

}  // namespace

class TestReadingTables : public QObject {
    Q_OBJECT
private slots:
    void shippedSeedsMakeTablesOfTheLayout() {
        ReadingFixture fx;
        ReadingTables tables(fx.sink);
        QVERIFY(tables.Open(fx.Folder(), {QStringLiteral(ZELVARA_SEED_DIR)}));
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));

        QStringList kyu = {"No", "宮名称", "内容", "星相性"};
        kyu << kTwentyLong << "ETC";
        QStringList kantei = {"No", "宮名称", "内容"};
        for (const QString& n : kTwentyShort + kTwelveMinor + kFourTransforms) kantei << n + "星1" << n + "星2";
        QStringList starTexts = {"No"};
        starTexts << kTwentyLong;
        for (const QString& n : kTwelveMinor + kFourTransforms) starTexts << n + "星";
        starTexts << "駅馬星";
        QCOMPARE(kantei.size(), 3 + 72);
        QCOMPARE(starTexts.size(), 1 + 37);

        const struct {
            const char* file;
            const char* table;
            QStringList names;
            int records;
        } expected[] = {{"KYU12.db", "KYU12", kyu, 12},
                        {"KANTEI.DB", "KANTEI", kantei, 12},
                        {"hosiImi.DB", "hosiImi", starTexts, 1},
                        {"Ai01.DB", "Ai01", starTexts, 1},
                        {"Ai02.DB", "Ai02", starTexts, 1}};
        for (const auto& e : expected) {
            const QList<Column> cols = ColumnsOf(fx.dir.filePath(e.file), e.table);
            QCOMPARE(Names(cols), e.names);
            for (const Column& c : cols) {
                QString type = QStringLiteral("TEXT");
                if (c.name == "No")
                    type = QStringLiteral("SMALLINT");
                else if (c.name == "宮名称")
                    type = QStringLiteral("VARCHAR(20)");
                else if (QString(e.file) == "KYU12.db" && c.name != "内容" && c.name != "星相性")
                    type = QStringLiteral("VARCHAR(10)");
                QVERIFY2(c.type == type, qPrintable(QString("%1.%2: %3").arg(e.file, c.name, c.type)));
                QCOMPARE(c.primaryKey, QString(e.file) == "KANTEI.DB" && c.name == "No");
            }
        }
        QCOMPARE(tables.kyu12().RecordCount(), 12);
        QCOMPARE(tables.kantei().RecordCount(), 12);
        QCOMPARE(tables.hosiImi().RecordCount(), 1);
        QCOMPARE(tables.ai01().RecordCount(), 1);
        QCOMPARE(tables.ai02().RecordCount(), 1);
        // Every palace has its record, in palace order.
        for (ReadingTable* t : {&tables.kyu12(), &tables.kantei()}) QCOMPARE(ValuesOf(*t, "宮名称"), PalaceNames());
        QVERIFY(QFile::exists(fx.dir.filePath("hosi2dat.txt")));
    }

    void editedTableIsNeverOverwritten() {
        ReadingFixture fx;
        fx.WriteSeed("KYU12.txt", Kyu12Seed({"父母宮"}));
        {
            ReadingTables& t = fx.Open();
            QVERIFY(t.kyu12().SetValue(0, "内容", "書き換えた文章"));
            QVERIFY(t.kyu12().submit());
        }
        fx.WriteSeed("KYU12.txt", Kyu12Seed({"命宮", "兄弟宮"}));
        ReadingTables& t = fx.Open();
        QCOMPARE(t.kyu12().RecordCount(), 1);
        QCOMPARE(*t.kyu12().Value(0, "内容"), QString("書き換えた文章"));
        QCOMPARE(*t.kyu12().Value(0, "宮名称"), QString("父母宮"));
    }

    void emptyFileIsMadeFromTheSeed() {
        ReadingFixture fx;
        fx.WriteSeed("KYU12.txt", Kyu12Seed({"父母宮", "命宮"}));
        QFile empty(fx.dir.filePath("KYU12.db"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
        empty.close();
        ReadingTables& t = fx.Open();
        QCOMPARE(t.kyu12().RecordCount(), 2);
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
    }

    void seedMistakeMakesNoTable_data() {
        QTest::addColumn<QString>("seed");
        QTest::addColumn<QStringList>("mentions");
        QTest::newRow("unknown field") << QString("[記録]\nNo: 1\n駅馬星1: x\n")
                                       << QStringList{"KANTEI.txt の 3 行目", "駅馬星1"};
        QTest::newRow("field before record") << QString("宮名称: 命宮\n") << QStringList{"1 行目", "[記録]"};
        QTest::newRow("field twice") << QString("[記録]\n宮名称: 命宮\n宮名称: 命宮\n")
                                     << QStringList{"3 行目", "二度"};
        QTest::newRow("unclosed text") << QString("[記録]\n内容: <<\nline\n") << QStringList{"2 行目", ">>"};
        QTest::newRow("no colon") << QString("[記録]\n宮名称 命宮\n") << QStringList{"2 行目"};
        QTest::newRow("too long") << QString("[記録]\n宮名称: 一二三四五六七八九十一\n")
                                  << QStringList{"宮名称", "20バイト"};
        QTest::newRow("not Shift-JIS") << QString("[記録]\n紫薇星1: 😀\n") << QStringList{"紫薇星1", "😀"};
        QTest::newRow("No not a number") << QString("[記録]\nNo: 一\n") << QStringList{"No"};
        QTest::newRow("No beyond 16 bits") << QString("[記録]\nNo: 40000\n") << QStringList{"No", "40000"};
        QTest::newRow("No twice (key)") << QString("[記録]\nNo: 1\n[記録]\nNo: 1\n") << QStringList{"KANTEI.DB"};
    }
    void seedMistakeMakesNoTable() {
        QFETCH(QString, seed);
        QFETCH(QStringList, mentions);
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", seed);
        ReadingTables& t = fx.Open();
        QVERIFY(!t.kantei().IsOpen());
        QCOMPARE(fx.sink.messages.size(), 1);
        for (const QString& m : mentions) QVERIFY2(fx.sink.Last().contains(m), qPrintable(fx.sink.Last()));
        QVERIFY(!QFile::exists(fx.dir.filePath("KANTEI.DB")));
        QVERIFY(!QFile::exists(fx.dir.filePath("KANTEI.DB.new")));
        QVERIFY(t.kyu12().IsOpen());  // the others open regardless
    }

    void missingSeedIsReported() {
        ReadingFixture fx;
        ReadingTables tables(fx.sink);
        QVERIFY(!tables.Open(fx.Folder(), {fx.SeedFolder()}));
        QCOMPARE(fx.sink.messages.size(), 6);  // five tables and the star-pair file
        QVERIFY(fx.sink.messages[0].contains("KYU12.db") && fx.sink.messages[0].contains("KYU12.txt"));
        QVERIFY(fx.sink.messages[5].contains("hosi2dat.txt"));
        QVERIFY(!tables.hosiImi().Value(0, "紫薇星"));
        QVERIFY2(fx.sink.Last().contains("hosiImi.DB"), qPrintable(fx.sink.Last()));
    }

    void brokenFileIsReportedAndLeftAlone() {
        ReadingFixture fx;
        const QByteArray junk("this is not a database, but somebody's notes\n");
        QFile f(fx.dir.filePath("Ai01.DB"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(junk);
        f.close();
        ReadingTables& t = fx.Open();
        QVERIFY(!t.ai01().IsOpen());
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains("Ai01.DB"), qPrintable(fx.sink.Last()));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), junk);
    }

    void fieldTheFileLacksIsReported() {
        ReadingFixture fx;
        QStringList dropped = SchemaOf(TableId::Kyu12).FieldNames().mid(4);
        fx.MakeTableWithout(TableId::Kyu12, dropped, {{{"No", "1"}, {"宮名称", "命宮"}, {"内容", "古い表"}}});
        ReadingTables& t = fx.Open();
        QVERIFY(t.kyu12().IsOpen());
        QCOMPARE(*t.kyu12().Value(0, "内容"), QString("古い表"));
        QCOMPARE(t.kyu12().columnCount(), 4);
        QVERIFY(!t.kyu12().Value(0, "紫薇星"));
        QVERIFY2(fx.sink.Last().contains("KYU12.db") && fx.sink.Last().contains("紫薇星"), qPrintable(fx.sink.Last()));
        QVERIFY(!t.kyu12().SetValue(0, "extra", "x"));  // not one of the table's own fields
        QVERIFY(!t.kyu12().IsModified());
    }

    void tableOrder() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", "[記録]\nNo: 3\n宮名称: 三\n[記録]\nNo: 1\n宮名称: 一\n[記録]\nNo: 2\n宮名称: 二\n");
        fx.WriteSeed("KYU12.txt", "[記録]\nNo: 3\n宮名称: 三\n[記録]\nNo: 1\n宮名称: 一\n");
        ReadingTables& t = fx.Open();
        QCOMPARE(ValuesOf(t.kantei(), "宮名称"), QStringList({"一", "二", "三"}));  // by its key No
        QCOMPARE(ValuesOf(t.kyu12(), "宮名称"), QStringList({"三", "一"}));         // as stored

        // A No changed and saved puts the record in its place again.
        QVERIFY(t.kantei().SetValue(0, "No", "9"));
        QVERIFY(t.kantei().submit());
        QCOMPARE(ValuesOf(t.kantei(), "宮名称"), QStringList({"二", "三", "一"}));
    }

    void seedTextsKeepTheirLines() {
        const SeedParse p = ParseSeed("# note\n[記録]\n宮名称:  命宮 \n内容: <<\n  indented\n\n#not a comment\n>>\n",
                                      SchemaOf(TableId::Kyu12).fields, "KYU12.db", "KYU12.txt");
        QVERIFY2(p.error.isEmpty(), qPrintable(p.error));
        QCOMPARE(p.records.size(), 1);
        QCOMPARE(p.records[0].values.value("宮名称"), QString("命宮"));
        QCOMPARE(p.records[0].values.value("内容"), QString("  indented\n\n#not a comment"));
        const SeedParse wave = ParseSeed("[記録]\n内容: 3〜5\n", SchemaOf(TableId::Kyu12).fields, "KYU12.db", "x");
        QCOMPARE(wave.records[0].values.value("内容"), QString("3～5"));
    }

    void submitWritesInOneGoAndRefusesBadValues() {
        ReadingFixture fx;
        fx.WriteSeed("KYU12.txt", Kyu12Seed({"父母宮", "命宮"}));
        {
            ReadingTables& t = fx.Open();
            ReadingTable& kyu = t.kyu12();
            const auto texts = t.Texts();
            QVERIFY(kyu.SetValue(0, "紫薇星", "甲"));
            QVERIFY(kyu.SetValue(0, "宮名称", "一二三四五六七八九十一"));  // 22 bytes
            QVERIFY(!kyu.submit());
            QVERIFY2(fx.sink.Last().contains("宮名称"), qPrintable(fx.sink.Last()));
            QVERIFY(kyu.IsRowModified(0));
            QCOMPARE(t.Texts(), texts);  // nothing written, nothing published
            QVERIFY(kyu.SetValue(0, "宮名称", "父母宮"));
            QVERIFY(kyu.submit());
            QVERIFY(!kyu.IsModified());
            QVERIFY(t.Texts() != texts);
            QVERIFY(!kyu.SetValue(0, "駅馬星", "甲"));
        }
        ReadingTables& t = fx.Open();
        QCOMPARE(*t.kyu12().Value(0, "紫薇星"), QString("甲"));
    }

    // A record that cannot be saved says so, naming table, record and field,
    // and keeps its edits; revert drops them.
    void refusedEditIsKept_data() {
        QTest::addColumn<int>("editedRow");
        QTest::newRow("first record") << 0;
        QTest::newRow("middle record") << 1;
        QTest::newRow("last record") << 2;
    }
    void refusedEditIsKept() {
        QFETCH(int, editedRow);
        ReadingFixture fx;
        fx.WriteSeed("KYU12.txt", Kyu12Seed({"父母宮", "命宮", "兄弟宮"}));
        ReadingTable& kyu = fx.Open().kyu12();
        QVERIFY(kyu.SetValue(editedRow, "紫薇星", "甲😀"));
        QVERIFY(!kyu.submit());
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains("KYU12.db") && fx.sink.Last().contains("紫薇星") &&
                     fx.sink.Last().contains(QStringLiteral("No %1").arg(editedRow + 1)),
                 qPrintable(fx.sink.Last()));
        QVERIFY(kyu.IsRowModified(editedRow));
        QCOMPARE(*kyu.Value(editedRow, "紫薇星"), QStringLiteral("甲😀"));
        kyu.revert();
        QVERIFY(!kyu.IsModified());
        QVERIFY(kyu.Value(editedRow, "紫薇星")->isEmpty());
    }

    // A new record takes the No above the highest and comes last; a removed
    // one leaves the file. Each reaches the texts the readings use.
    void recordsAddedAndRemoved() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", "[記録]\nNo: 5\n宮名称: 五\n[記録]\nNo: 2\n宮名称: 二\n");
        ReadingTables& t = fx.Open();
        ReadingTable& kantei = t.kantei();
        QVERIFY(!kantei.insertRow(0));  // only at the end
        QVERIFY(kantei.insertRow(kantei.RecordCount()));
        QCOMPARE(ValuesOf(kantei, "No"), QStringList({"2", "5", "6"}));
        QCOMPARE(t.Texts()->kantei().RecordCount(), 3);
        QVERIFY(t.hosiImi().insertRow(0));  // an empty table
        QCOMPARE(*t.hosiImi().Value(0, "No"), QStringLiteral("1"));

        QVERIFY(kantei.SetValue(0, "宮名称", "消す記録の編集"));
        QVERIFY(kantei.removeRow(0));
        QVERIFY(!kantei.IsModified());
        QCOMPARE(ValuesOf(kantei, "宮名称"), QStringList({"五", ""}));
        QCOMPARE(t.Texts()->kantei().RecordCount(), 2);
        ReadingTables& again = fx.Open();
        QCOMPARE(ValuesOf(again.kantei(), "No"), QStringList({"5", "6"}));
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
    }

    // Closing a table saves what is pending; refused, the table stays open
    // with the edits. Dropped with the table, they are said to be lost.
    void closeSavesPendingEdits_data() {
        QTest::addColumn<int>("table");
        QTest::addColumn<QString>("field");
        QTest::newRow("KYU12") << int(TableId::Kyu12) << "内容";
        QTest::newRow("KANTEI") << int(TableId::Kantei) << "紫薇星1";
        QTest::newRow("hosiImi") << int(TableId::HosiImi) << "駅馬星";
        QTest::newRow("Ai01") << int(TableId::Ai01) << "天機星";
        QTest::newRow("Ai02") << int(TableId::Ai02) << "陀羅星";
    }
    void closeSavesPendingEdits() {
        QFETCH(int, table);
        QFETCH(QString, field);
        const TableId id = TableId(table);
        ReadingFixture fx;
        fx.WriteSeed(SchemaOf(id).seedName,
                     SchemaOf(id).FieldIndex("宮名称") >= 0 ? "[記録]\nNo: 1\n宮名称: 命宮\n" : "[記録]\nNo: 1\n");
        ReadingTable& t = fx.Open().Table(id);
        QVERIFY(t.SetValue(0, field, "閉じる前の文"));
        QVERIFY(t.Close());
        QVERIFY(!t.IsOpen());
        QVERIFY2(fx.sink.messages.isEmpty(), qPrintable(fx.sink.messages.join('\n')));
        QVERIFY(t.Open(fx.Folder(), {}));
        QCOMPARE(*t.Value(0, field), QStringLiteral("閉じる前の文"));

        QVERIFY(t.SetValue(0, field, "書けない😀"));
        QVERIFY(!t.Close());
        QVERIFY(t.IsOpen() && t.IsModified());
        QCOMPARE(*t.Value(0, field), QStringLiteral("書けない😀"));
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(
            fx.sink.Last().contains(t.FileName()) && fx.sink.Last().contains(field) && fx.sink.Last().contains("No 1"),
            qPrintable(fx.sink.Last()));
        QVERIFY(!t.Open(fx.Folder(), {}));  // not opened again over the edits
        QVERIFY(t.IsModified());

        fx.tables.reset();
        QCOMPARE(fx.sink.messages.size(), 3);
        QVERIFY2(fx.sink.Last().contains(SchemaOf(id).fileName) && fx.sink.Last().contains("破棄"),
                 qPrintable(fx.sink.Last()));
    }

    // The end of the program: every pending edit is saved; a refused one is
    // named, kept, and dropped only when the user says so.
    void saveAllPendingAtTheEnd() {
        ReadingFixture fx;
        fx.WriteSeed("KANTEI.txt", "[記録]\nNo: 1\n宮名称: 命宮\n[記録]\nNo: 2\n宮名称: 父母宮\n");
        fx.WriteSeed("hosiImi.txt", "[記録]\nNo: 1\n");
        ReadingTables& t = fx.Open();
        QVERIFY(!t.HasPendingEdits());
        QVERIFY(t.hosiImi().SetValue(0, "紫薇星", "保存される文"));
        QVERIFY(t.kantei().SetValue(1, "天府星2", "保存できない😀"));
        QVERIFY(t.HasPendingEdits());

        QStringList asked;
        auto answer = [&asked](bool discard) {
            return [&asked, discard](const QString& question) {
                asked << question;
                return discard;
            };
        };
        QVERIFY(!t.SaveAllPending());
        QCOMPARE(fx.sink.messages.size(), 1);
        QVERIFY2(fx.sink.Last().contains("KANTEI.DB") && fx.sink.Last().contains("父母宮") &&
                     fx.sink.Last().contains("天府星2"),
                 qPrintable(fx.sink.Last()));
        QVERIFY(!t.hosiImi().IsModified());
        QVERIFY(!t.SaveAllPending(answer(false)));
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains("KANTEI.DB") && asked[0].contains("破棄"), qPrintable(asked[0]));
        QCOMPARE(*t.kantei().Value(1, "天府星2"), QStringLiteral("保存できない😀"));

        QVERIFY(t.SaveAllPending(answer(true)));
        QVERIFY(!t.HasPendingEdits());
        QVERIFY(t.kantei().Value(1, "天府星2")->isEmpty());
        const int said = fx.sink.messages.size();
        fx.tables.reset();
        QCOMPARE(fx.sink.messages.size(), said);  // nothing left to lose
        ReadingTables& again = fx.Open();
        QCOMPARE(*again.hosiImi().Value(0, "紫薇星"), QStringLiteral("保存される文"));
    }
};

QTEST_GUILESS_MAIN(TestReadingTables)
#include "tst_reading_tables.moc"
