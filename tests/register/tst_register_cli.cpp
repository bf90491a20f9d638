// zelvara-cli register: the real program on a fresh program folder.
#include "birth_time_table.h"
#include "person_table.h"
#include "register_test_support.h"
#include "recording_sink.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using namespace register_test;

namespace {

}  // namespace

class TestRegisterCli : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        dir_ = std::make_unique<QTemporaryDir>();
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path()));
        AddPerson(t, QStringLiteral("見本太郎"));
        AddPerson(t, QStringLiteral("山田, \"花子\""));
        AddPerson(t, QStringLiteral("鈴木一郎"));
    }

    void listAsTextAndCsv()
    {
        const Run text = Cli(dir_->path(), {"list"});
        QCOMPARE(text.code, 0);
        QVERIFY2(text.out.contains(QStringLiteral("1\t見本太郎\t1959/5/7\t05:00-07:00\t男")), qPrintable(text.out));
        const Run csv = Cli(dir_->path(), {"list", "--csv"});
        QCOMPARE(csv.code, 0);
        const QStringList lines = csv.out.split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("氏名,生まれた年,生まれた月")));
        QVERIFY2(lines[2].startsWith(QStringLiteral("\"山田, \"\"花子\"\"\",1959,5,7,05:00-07:00,男")), qPrintable(lines[2]));
    }

    void checkFindsFaults()
    {
        const Run good = Cli(dir_->path(), {"check"});
        QCOMPARE(good.code, 0);
        QVERIFY2(good.out.contains(QStringLiteral("3 件")), qPrintable(good.out));
        {  // a year too long for its field, written past the program's checks
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "raw");
            db.setDatabaseName(dir_->filePath("nam_data.db"));
            QVERIFY(db.open());
            QVERIFY(QSqlQuery(db).exec(QStringLiteral("UPDATE nam_data SET \"生まれた年\" = '19590' WHERE rowid = 3")));
            db.close();
        }
        QSqlDatabase::removeDatabase("raw");
        const Run bad = Cli(dir_->path(), {"check"});
        QCOMPARE(bad.code, 1);
        QVERIFY2(bad.out.contains(QStringLiteral("3 件目（鈴木一郎）")) && bad.out.contains(QStringLiteral("生年")),
                 qPrintable(bad.out));
    }

    // A record an earlier version wrote with the corrected period instead of
    // the clock's: check names it, mend-times copies the register and sets
    // the clock's period, naming each record; a second run has nothing to do.
    void exactTimeHoursCheckedAndMended()
    {
        {
            BirthTimeTable times;
            QCOMPARE(times.Open(dir_->filePath("nam_data.db"), true), QString());
            QCOMPARE(times.Write(1, BirthTimeEntry{QStringLiteral("10:40"), {}, std::nullopt, {}, std::nullopt}), QString());
            QCOMPARE(times.Write(2, BirthTimeEntry{QStringLiteral("05:10"), {}, std::nullopt, {}, std::nullopt}), QString());
        }
        const Run check = Cli(dir_->path(), {"check"});
        QCOMPARE(check.code, 1);
        QVERIFY2(check.out.contains(QStringLiteral("1 件目（見本太郎）: 時刻「05:00-07:00」が出生時刻 10:40 の時刻「09:00-11:00」と違います")),
                 qPrintable(check.out));
        QVERIFY2(!check.out.contains(QStringLiteral("2 件目")), qPrintable(check.out));  // 05:10 is its period

        const Run mend = Cli(dir_->path(), {"mend-times"});
        QVERIFY2(mend.code == 0, qPrintable(mend.err + mend.out));
        QVERIFY2(mend.out.contains(QStringLiteral("1 件目（見本太郎）: 時刻「05:00-07:00」→「09:00-11:00」")), qPrintable(mend.out));
        const QStringList copies = QDir(dir_->filePath("backup")).entryList({"nam_data-before-mend-times-*.db"});
        QCOMPARE(copies.size(), 1);
        QVERIFY2(mend.out.contains(copies[0]), qPrintable(mend.out));
        {
            RecordingSink sink;
            PersonTable copy(sink);
            QVERIFY(copy.OpenPath(QDir(dir_->filePath("backup")).filePath(copies[0]), PersonTable::OpenMode::ReadOnly));
            QCOMPARE(copy.Record(0).stored[kFieldTime], QStringLiteral("05:00-07:00"));
        }
        QCOMPARE(Cli(dir_->path(), {"check"}).code, 0);
        const Run again = Cli(dir_->path(), {"mend-times"});
        QCOMPARE(again.code, 0);
        QVERIFY2(again.out.contains(QStringLiteral("直す記録はありません")), qPrintable(again.out));
        QCOMPARE(QDir(dir_->filePath("backup")).entryList({"nam_data-before-mend-times-*.db"}).size(), 1);
    }

    void backupAndRestore()
    {
        const QString copy = dir_->filePath("copy.db");
        QCOMPARE(Cli(dir_->path(), {"backup", "--out", copy}).code, 0);
        {
            RecordingSink sink;
            PersonTable t(sink);
            QVERIFY(t.Open(dir_->path()));
            QVERIFY(t.Last());
            QVERIFY(t.Delete());
            AddPerson(t, QStringLiteral("後から"));
        }
        const Run restored = Cli(dir_->path(), {"restore", "--from", copy});
        QCOMPARE(restored.code, 0);
        const Run list = Cli(dir_->path(), {"list"});
        QVERIFY2(list.out.contains(QStringLiteral("鈴木一郎")) && !list.out.contains(QStringLiteral("後から")),
                 qPrintable(list.out));
        // The register as it was before the restore was saved first.
        const QStringList saved = QDir(dir_->filePath("backup")).entryList({"nam_data-*-*.db"}, QDir::Files);
        QCOMPARE(saved.size(), 1);
        RecordingSink sink;
        PersonTable before(sink);
        QVERIFY(before.OpenPath(QDir(dir_->filePath("backup")).filePath(saved[0]), PersonTable::OpenMode::ReadOnly));
        QCOMPARE(before.Record(before.RecordCount() - 1).values[kFieldName], QStringLiteral("後から"));

        // Something that is not a register is refused, and nothing changes.
        const QString junk = dir_->filePath("junk.db");
        { QFile f(junk); QVERIFY(f.open(QIODevice::WriteOnly)); f.write("not a register"); }
        QCOMPARE(Cli(dir_->path(), {"restore", "--from", junk}).code, 1);
        QCOMPARE(Cli(dir_->path(), {"list"}).out, list.out);
    }

    void deletedAndUndelete()
    {
        {
            RecordingSink sink;
            PersonTable t(sink);
            QVERIFY(t.Open(dir_->path()));
            QCOMPARE(t.CurrentRow(), 0);
            QVERIFY(t.Delete());
        }
        const Run deleted = Cli(dir_->path(), {"deleted"});
        QCOMPARE(deleted.code, 0);
        QVERIFY2(deleted.out.startsWith(QStringLiteral("1\t")) && deleted.out.contains(QStringLiteral("見本太郎")),
                 qPrintable(deleted.out));
        QCOMPARE(Cli(dir_->path(), {"undelete", "7"}).code, 1);
        const Run back = Cli(dir_->path(), {"undelete", "1"});
        QCOMPARE(back.code, 0);
        QVERIFY(Cli(dir_->path(), {"list"}).out.contains(QStringLiteral("見本太郎")));
        QCOMPARE(Cli(dir_->path(), {"deleted"}).out, QString());
        QCOMPARE(Cli(dir_->path(), {"undelete", "x"}).code, 2);
    }

    // While a program holds the register, writing commands refuse with exit
    // code 3 and name the holder; reading commands still work.
    void writersWaitForTheLock()
    {
        {
            RecordingSink sink;
            PersonTable t(sink);
            QVERIFY(t.Open(dir_->path()));
            QCOMPARE(t.CurrentRow(), 0);
            QVERIFY(t.Delete());
        }
        const QString copy = dir_->filePath("copy.db");
        QCOMPARE(Cli(dir_->path(), {"backup", "--out", copy}).code, 0);
        RecordingSink sink;
        PersonTable holder(sink);
        QVERIFY(holder.Open(dir_->path()));
        const QString pid = QString::number(QCoreApplication::applicationPid());
        for (const QStringList& args : {QStringList{"undelete", "1"}, QStringList{"restore", "--from", copy}}) {
            const Run r = Cli(dir_->path(), args);
            QCOMPARE(r.code, 3);
            QVERIFY2(r.err.contains(pid), qPrintable(r.err));
        }
        QCOMPARE(Cli(dir_->path(), {"list"}).code, 0);
        QCOMPARE(Cli(dir_->path(), {"check"}).code, 0);
        QVERIFY(!Cli(dir_->path(), {"list"}).out.contains(QStringLiteral("見本太郎")));
    }

    void badCommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no kind") << QStringList{};
        QTest::newRow("unknown kind") << QStringList{"lsit"};
        QTest::newRow("restore without file") << QStringList{"restore"};
        QTest::newRow("backup without file") << QStringList{"backup"};
        QTest::newRow("foreign option") << QStringList{"list", "--pdf", "x"};
    }
    void badCommandLines()
    {
        QFETCH(QStringList, args);
        QCOMPARE(Cli(dir_->path(), args).code, 2);
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(TestRegisterCli)
#include "tst_register_cli.moc"
