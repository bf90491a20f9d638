#include "register/person_table.h"
#include "register/server_person_storage.h"
#include "tests/recording_sink.h"
#include "tests/register/register_test_support.h"

using namespace zelvara;
using namespace register_test;

namespace {

// The register's two tables as earlier versions made them in a file, written
// out here so that no change to the field list can change them unnoticed.
const QString kEarlierColumns = QStringLiteral(
    R"("氏名" TEXT NOT NULL DEFAULT '', "生まれた年" TEXT NOT NULL DEFAULT '', "生まれた月" TEXT NOT NULL DEFAULT '', )"
    R"("生まれた日" TEXT NOT NULL DEFAULT '', "生まれた時刻" TEXT NOT NULL DEFAULT '', "性別" TEXT NOT NULL DEFAULT '', )"
    R"("hubo" TEXT NOT NULL DEFAULT '', "meikyu" TEXT NOT NULL DEFAULT '', "keitei" TEXT NOT NULL DEFAULT '', )"
    R"("husai" TEXT NOT NULL DEFAULT '', "sijyo" TEXT NOT NULL DEFAULT '', "zaihaku" TEXT NOT NULL DEFAULT '', )"
    R"("situyaku" TEXT NOT NULL DEFAULT '', "seni" TEXT NOT NULL DEFAULT '', "nuboku" TEXT NOT NULL DEFAULT '', )"
    R"("kanroku" TEXT NOT NULL DEFAULT '', "dentaku" TEXT NOT NULL DEFAULT '', "hukutoku" TEXT NOT NULL DEFAULT '')");
const QString kEarlierTable = QStringLiteral(R"(CREATE TABLE "nam_data" (%1))").arg(kEarlierColumns);
const QString kEarlierDeletedTable =
    QStringLiteral(R"(CREATE TABLE nam_data_deleted ("番号" INTEGER PRIMARY KEY AUTOINCREMENT, )"
                   R"("削除日時" TEXT NOT NULL, %1))")
        .arg(kEarlierColumns);

// The server's table as the administrator's script must create it: its own
// columns, then the register's fields as text.
QString ServerTable(const QString& name, QStringList columns) {
    for (int i = 0; i < kPersonFieldCount; ++i)
        columns << QStringLiteral("\"%1\" text NOT NULL DEFAULT ''").arg(FieldName(i));
    return QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (\n    %2\n);")
        .arg(name, columns.join(QStringLiteral(",\n    ")));
}

}  // namespace

class TestPersonTable : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        sink_ = RecordingSink();
        table_ = std::make_unique<PersonTable>(sink_);
        QVERIFY(table_->Open(dir_->path()));
    }
    void cleanup() { table_.reset(); }

    void missingFileIsCreatedWithTheFields() {
        QVERIFY(QFile::exists(dir_->filePath("nam_data.db")));
        QCOMPARE(table_->RecordCount(), 0);
        QVERIFY(sink_.messages.isEmpty());
    }

    void appendPostDeleteSurviveReopen() {
        AddPerson(*table_, QStringLiteral("見本太郎"), QStringLiteral("紫薇"));
        AddPerson(*table_, QStringLiteral("山田花子"));
        AddPerson(*table_, QStringLiteral("鈴木一郎"));
        QVERIFY(table_->First());
        QVERIFY(table_->Next());
        QVERIFY(table_->Delete());  // no question asked
        QCOMPARE(table_->Value(kFieldName), QStringLiteral("鈴木一郎"));

        table_ = std::make_unique<PersonTable>(sink_);
        QVERIFY(table_->Open(dir_->path()));
        QCOMPARE(Names(*table_), (QStringList{QStringLiteral("見本太郎"), QStringLiteral("鈴木一郎")}));
        QCOMPARE(table_->Record(0).values[PalaceFieldIndex(2)], QStringLiteral("紫薇"));
        QCOMPARE(table_->Record(0).values[kFieldTime], QStringLiteral("05:00-07:00"));
        QVERIFY(sink_.messages.isEmpty());
    }

    void navigationStaysAtBothEnds() {
        for (const char* n : {"A", "B", "C"}) AddPerson(*table_, QString::fromLatin1(n));
        QVERIFY(table_->First());
        QVERIFY(!table_->Prior());
        QCOMPARE(table_->Value(kFieldName), QStringLiteral("A"));
        QVERIFY(table_->Last());
        QVERIFY(!table_->Next());
        QCOMPARE(table_->Value(kFieldName), QStringLiteral("C"));
        QVERIFY(table_->Prior());
        QCOMPARE(table_->Value(kFieldName), QStringLiteral("B"));
    }

    // Edits are posted when the current record changes, as bound controls expect.
    void pendingEditPostedOnMove() {
        AddPerson(*table_, QStringLiteral("A"));
        AddPerson(*table_, QStringLiteral("B"));
        QVERIFY(table_->First());
        table_->SetValue(kFieldName, QStringLiteral("A改"));
        QVERIFY(table_->Next());
        table_ = std::make_unique<PersonTable>(sink_);
        QVERIFY(table_->Open(dir_->path()));
        QCOMPARE(Names(*table_), (QStringList{QStringLiteral("A改"), QStringLiteral("B")}));
    }

    void untouchedAppendIsDropped() {
        AddPerson(*table_, QStringLiteral("A"));
        QVERIFY(table_->Append());
        QCOMPARE(table_->RecordCount(), 2);
        table_->First();
        QCOMPARE(table_->RecordCount(), 1);
        QCOMPARE(table_->CurrentRow(), 0);
    }

    void refusedPostKeepsTheEdit_data() {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("mentioned");
        QTest::newRow("name of 11 kanji")
            << int(kFieldName) << QStringLiteral("一二三四五六七八九十壱") << QStringLiteral("氏名");
        QTest::newRow("five-digit year") << int(kFieldYear) << QStringLiteral("19590") << QStringLiteral("生年");
        QTest::newRow("hangul name") << int(kFieldName) << QStringLiteral("김민준") << QStringLiteral("김");
        QTest::newRow("emoji in palace") << PalaceFieldIndex(2) << QStringLiteral("😀") << QStringLiteral("命宮");
    }
    void refusedPostKeepsTheEdit() {
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(QString, mentioned);
        AddPerson(*table_, QStringLiteral("A"));
        AddPerson(*table_, QStringLiteral("B"));
        QVERIFY(table_->First());
        table_->SetValue(field, text);
        QVERIFY(!table_->Post());
        QVERIFY2(sink_.Last().contains(mentioned), qPrintable(sink_.Last()));
        // Moving away is refused too; the text is still there to correct.
        QVERIFY(!table_->Next());
        QCOMPARE(table_->CurrentRow(), 0);
        QCOMPARE(table_->Value(field), text);
        QVERIFY(table_->IsModified());
        // Nothing of it reached the file.
        PersonTable other(sink_);
        QVERIFY(other.Open(dir_->path()));
        QCOMPARE(other.Record(0).values[field],
                 field == kFieldName ? QStringLiteral("A") : other.Record(0).values[field]);
        QVERIFY(other.Record(0).values[field] != text);
    }

    void findByPrefix_data() {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("row");  // −1: nothing changes
        QTest::newRow("first character, first in table order") << QStringLiteral("山") << 1;
        QTest::newRow("longer prefix") << QStringLiteral("山本") << 2;
        QTest::newRow("whole name") << QStringLiteral("見本太郎") << 0;
        QTest::newRow("absent") << QStringLiteral("佐藤") << -1;
        QTest::newRow("case-sensitive") << QStringLiteral("abe") << -1;
    }
    void findByPrefix() {
        QFETCH(QString, prefix);
        QFETCH(int, row);
        for (const QString& n : {QStringLiteral("見本太郎"), QStringLiteral("山田花子"), QStringLiteral("山本一郎"),
                                 QStringLiteral("Abe")})
            AddPerson(*table_, n);
        QCOMPARE(table_->CurrentRow(), 3);  // the last one appended
        QCOMPARE(table_->FindByName(prefix), row >= 0);
        QCOMPARE(table_->CurrentRow(), row >= 0 ? row : 3);
        QVERIFY(sink_.messages.isEmpty());
    }

    void filter_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("matching") << QStringLiteral("meikyu") << QStringLiteral("紫薇")
                                  << QStringList{QStringLiteral("甲")};
        QTest::newRow("none matching") << QStringLiteral("meikyu") << QStringLiteral("天機") << QStringList{};
        QTest::newRow("never charted palace never matches")
            << QStringLiteral("hubo") << QStringLiteral("紫薇") << QStringList{};
        QTest::newRow("empty value finds empty fields")
            << QStringLiteral("hubo") << QString()
            << QStringList{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
        QTest::newRow("quote stays inside the value")
            << QStringLiteral("meikyu") << QStringLiteral("紫薇' OR '1'='1") << QStringList{};
        QTest::newRow("value with quote matches itself")
            << QStringLiteral("meikyu") << QStringLiteral("a'b") << QStringList{QStringLiteral("丙")};
    }
    void filter() {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QStringList, shown);
        AddPerson(*table_, QStringLiteral("甲"), QStringLiteral("紫薇"));
        AddPerson(*table_, QStringLiteral("乙"), QStringLiteral("太陽"));
        AddPerson(*table_, QStringLiteral("丙"), QStringLiteral("a'b"));
        QVERIFY(table_->SetFilter(field, value));
        QCOMPARE(Names(*table_), shown);
        QVERIFY(table_->ClearFilter());
        QCOMPARE(table_->RecordCount(), 3);
    }

    void filterFieldMustBeOurs() {
        AddPerson(*table_, QStringLiteral("甲"));
        QVERIFY(!table_->SetFilter(QStringLiteral("meikyu = meikyu OR 1"), QStringLiteral("x")));
        QVERIFY(!table_->IsFiltered());
        QCOMPARE(table_->RecordCount(), 1);
    }

    void unusableFileIsReportedAndKept_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("text file") << QByteArray("this is not a table\n");
        QTest::newRow("random bytes") << QByteArray(4096, '\x5a');
    }
    void unusableFileIsReportedAndKept() {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("nam_data.db");
        WriteFile(path, content);
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(!t.Open(dir.path()));
        QVERIFY(!t.IsOpen());
        QCOMPARE(sink.messages.size(), 1);
        QVERIFY2(sink.Last().contains(path), qPrintable(sink.Last()));
        QCOMPARE(FileBytes(path), content);
        // Commands on a closed register do nothing, and do not crash.
        QVERIFY(!t.Append());
        QVERIFY(!t.Next());
        QVERIFY(!t.Delete());
    }

    // A file made by an earlier version opens, is written and keeps its
    // deleted records; a file made now has the very same tables.
    void earlierFilesOpenAndNewFilesMatchThem() {
        QTemporaryDir dir;
        {
            OtherProgram earlier(dir.filePath("nam_data.db"));
            QVERIFY(earlier.Exec(kEarlierTable));
            QVERIFY(earlier.Exec(kEarlierDeletedTable));
            QVERIFY(
                earlier.Exec(QStringLiteral("INSERT INTO nam_data (\"氏名\", \"生まれた年\", \"生まれた月\", "
                                            "\"生まれた日\", \"生まれた時刻\", \"性別\", meikyu) "
                                            "VALUES ('前から', '1959', '5', '7', '05:00-07:00', '男', '紫薇')")));
        }
        {
            PersonTable t(sink_);
            QVERIFY(t.Open(dir.path()));
            QCOMPARE(t.access(), PersonTable::Access::Writable);
            QCOMPARE(t.Record(0).values[PalaceFieldIndex(2)], QStringLiteral("紫薇"));
            AddPerson(t, QStringLiteral("後から"));
            QVERIFY(t.First());
            QVERIFY(t.Delete());
            QVERIFY(t.Undelete(t.DeletedRecords().at(0).number));
            QCOMPARE(Names(t), (QStringList{QStringLiteral("後から"), QStringLiteral("前から")}));
        }
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));
        AddPerson(*table_, QStringLiteral("甲"));
        QVERIFY(table_->Delete());
        const QString tables =
            QStringLiteral("SELECT group_concat(sql, ';') FROM sqlite_master WHERE name LIKE 'nam_data%'");
        QCOMPARE(OtherProgram(table_->FilePath()).Value(tables), kEarlierTable + ';' + kEarlierDeletedTable);
        QCOMPARE(OtherProgram(dir.filePath("nam_data.db")).Value(tables), kEarlierTable + ';' + kEarlierDeletedTable);
    }

    // The administrator's script (the one the program runs too) creates the
    // server's tables with the register's fields, in their order.
    void serverScriptHoldsTheFieldList() {
        const QString script = ServerPersonStorage::TableScript();
        QVERIFY(script.contains(ServerTable(
            QStringLiteral("nam_data"),
            {QStringLiteral("id bigserial PRIMARY KEY"), QStringLiteral("version bigint NOT NULL DEFAULT 1")})));
        QVERIFY(script.contains(
            ServerTable(QStringLiteral("nam_data_deleted"),
                        {QStringLiteral("\"番号\" bigserial PRIMARY KEY"),
                         QStringLiteral("\"削除日時\" timestamp with time zone NOT NULL DEFAULT now()")})));
    }

    void otherTableIsNotOverwritten() {
        QTemporaryDir dir;
        {
            PersonTable t(sink_);
            QVERIFY(t.Open(dir.path()));
        }
        // someone else's table in a file of our name
        QVERIFY(
            OtherProgram(dir.filePath("nam_data.db")).Exec(QStringLiteral("ALTER TABLE nam_data RENAME TO people")));
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(!t.Open(dir.path()));
        QCOMPARE(sink.messages.size(), 1);
        QVERIFY2(sink.Last().contains("nam_data.db"), qPrintable(sink.Last()));
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    RecordingSink sink_;
    std::unique_ptr<PersonTable> table_;
};

QTEST_GUILESS_MAIN(TestPersonTable)
#include "tst_person_table.moc"
