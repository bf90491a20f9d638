// zelvara-cli register: the real program on a fresh program folder.
#include "register/birth_time_table.h"
#include "register/person_table.h"
#include "tests/recording_sink.h"
#include "tests/register/register_test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace zelvara;
using namespace register_test;

class TestRegisterCli : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path()));
        AddPerson(t, QStringLiteral("見本太郎"));
        AddPerson(t, QStringLiteral("山田, \"花子\""));
        AddPerson(t, QStringLiteral("鈴木一郎"));
    }

    void listAsTextAndCsv() {
        const Run text = Cli(dir_->path(), {"list"});
        QCOMPARE(text.code, 0);
        QVERIFY2(text.out.contains(QStringLiteral("1\t見本太郎\t1959/5/7\t05:00-07:00\t男")), qPrintable(text.out));
        const Run csv = Cli(dir_->path(), {"list", "--csv"});
        QCOMPARE(csv.code, 0);
        const QStringList lines = csv.out.split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[0].startsWith(QStringLiteral("氏名,生まれた年,生まれた月")));
        QVERIFY2(lines[2].startsWith(QStringLiteral("\"山田, \"\"花子\"\"\",1959,5,7,05:00-07:00,男")),
                 qPrintable(lines[2]));
    }

    void checkFindsFaults() {
        const Run good = Cli(dir_->path(), {"check"});
        QCOMPARE(good.code, 0);
        QVERIFY2(good.out.contains(QStringLiteral("3 件")), qPrintable(good.out));
        // a year too long for its field, written past the program's checks
        QVERIFY(OtherProgram(dir_->filePath("nam_data.db"))
                    .Exec(QStringLiteral("UPDATE nam_data SET \"生まれた年\" = '19590' WHERE rowid = 3")));
        const Run bad = Cli(dir_->path(), {"check"});
        QCOMPARE(bad.code, 1);
        QVERIFY2(bad.out.contains(QStringLiteral("3 件目（鈴木一郎）")) && bad.out.contains(QStringLiteral("生年")),
                 qPrintable(bad.out));
    }

    // A record an earlier version wrote with the corrected period instead of
    // the clock's: check names it, mend-times copies the register and sets
    // the clock's period, naming each record; a second run has nothing to do.
    void exactTimeHoursCheckedAndMended() {
        {
            BirthTimeTable times;
            QCOMPARE(times.Open(dir_->filePath("nam_data.db"), true), QString());
            QCOMPARE(times.Write(1, BirthTimeEntry{QStringLiteral("10:40"), {}, std::nullopt, {}, std::nullopt}),
                     QString());
            QCOMPARE(times.Write(2, BirthTimeEntry{QStringLiteral("05:10"), {}, std::nullopt, {}, std::nullopt}),
                     QString());
        }
        const Run check = Cli(dir_->path(), {"check"});
        QCOMPARE(check.code, 1);
        QVERIFY2(check.out.contains(QStringLiteral(
                     "1 件目（見本太郎）: 時刻「05:00-07:00」が出生時刻 10:40 の時刻「09:00-11:00」と違います")),
                 qPrintable(check.out));
        QVERIFY2(!check.out.contains(QStringLiteral("2 件目")), qPrintable(check.out));  // 05:10 is its period

        const Run mend = Cli(dir_->path(), {"mend-times"});
        QVERIFY2(mend.code == 0, qPrintable(mend.err + mend.out));
        QVERIFY2(mend.out.contains(QStringLiteral("1 件目（見本太郎）: 時刻「05:00-07:00」→「09:00-11:00」")),
                 qPrintable(mend.out));
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

    void backupAndRestore() {
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
        WriteFile(junk, "not a register");
        QCOMPARE(Cli(dir_->path(), {"restore", "--from", junk}).code, 1);
        QCOMPARE(Cli(dir_->path(), {"list"}).out, list.out);
    }

    // Records stored past the program's checks (an older version, another
    // tool) that the program could not chart are named, each.
    void checkNamesRecordsTheProgramCannotChart() {
        {
            OtherProgram other(dir_->filePath("nam_data.db"));
            QVERIFY(
                other.Exec(QStringLiteral("UPDATE nam_data SET \"生まれた年\" = '1985', \"生まれた月\" = '2', "
                                          "\"生まれた日\" = '29' WHERE rowid = 1")));
            QVERIFY(other.Exec(
                QStringLiteral("UPDATE nam_data SET \"氏名\" = '山田' || char(9) || '花子' WHERE rowid = 2")));
            QVERIFY(other.Exec(QStringLiteral("UPDATE nam_data SET \"生まれた年\" = '1920' WHERE rowid = 3")));
        }
        const Run r = Cli(dir_->path(), {"check"});
        QCOMPARE(r.code, 1);
        QVERIFY2(
            r.out.contains(QStringLiteral("1 件目（見本太郎）")) && r.out.contains(QStringLiteral("29日がありません")),
            qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("2 件目（山田\t花子）: 氏名に改行・タブなどの制御文字")),
                 qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("3 件目（鈴木一郎）: 生年月日「1920/5/7」")), qPrintable(r.out));
        QVERIFY2(r.out.contains(QStringLiteral("問題が 3 件")), qPrintable(r.out));
    }

    // A restore brings in only what check finds sound: the program's own
    // tables, columns and triggers, records it can chart.
    void restoreRefusesWhatCheckRefuses_data() {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("expected");
        QTest::newRow("trigger") << "CREATE TRIGGER wipe AFTER INSERT ON nam_data BEGIN DELETE FROM nam_data; END"
                                 << QStringLiteral("トリガー「wipe」");
        QTest::newRow("view") << "CREATE VIEW everyone AS SELECT * FROM nam_data"
                              << QStringLiteral("ビュー「everyone」");
        QTest::newRow("table") << "CREATE TABLE notes (x)" << QStringLiteral("表「notes」");
        QTest::newRow("virtual table under the register's name")
            << "CREATE VIRTUAL TABLE birth_time USING fts5(x)" << QStringLiteral("表「birth_time」");
        QTest::newRow("index") << "CREATE INDEX by_name ON nam_data (\"氏名\")" << QStringLiteral("索引「by_name」");
        QTest::newRow("own trigger's name, other body")
            << "CREATE TRIGGER birth_time_person_deleted AFTER DELETE ON nam_data BEGIN DELETE FROM nam_data; END"
            << QStringLiteral("トリガー「birth_time_person_deleted」");
        QTest::newRow("deleted table's columns")
            << "CREATE TABLE nam_data_deleted (x, y)" << QStringLiteral("nam_data_deleted の項目が違います");
        QTest::newRow("register's columns")
            << "ALTER TABLE nam_data ADD COLUMN extra TEXT" << QStringLiteral("nam_data の項目が違います");
        QTest::newRow("a date that does not exist") << "UPDATE nam_data SET \"生まれた日\" = '31', \"生まれた月\" = '2'"
                                                    << QStringLiteral("1 件目（見本太郎）");
        QTest::newRow("too long for Shift-JIS bytes")
            << "UPDATE nam_data SET \"性別\" = '男性'" << QStringLiteral("性別");
    }
    void restoreRefusesWhatCheckRefuses() {
        QFETCH(QString, sql);
        QFETCH(QString, expected);
        const QString copy = dir_->filePath("copy.db");
        QCOMPARE(Cli(dir_->path(), {"backup", "--out", copy}).code, 0);
        QVERIFY(OtherProgram(copy).Exec(sql));
        const QByteArray before = FileBytes(dir_->filePath("nam_data.db"));
        const Run r = Cli(dir_->path(), {"restore", "--from", copy});
        QCOMPARE(r.code, 1);
        QVERIFY2(r.err.contains(expected) && r.err.contains(QStringLiteral("戻せません")), qPrintable(r.err));
        QCOMPARE(FileBytes(dir_->filePath("nam_data.db")), before);
        QCOMPARE(Cli(dir_->path(), {"check"}).code, 0);
    }

    // The register's companion table of exact times and its trigger, and the
    // deleted records, are the program's own; a source kept in WAL mode
    // leaves the register with the rollback journal the program uses.
    void restoreTakesTheProgramsOwnObjects() {
        DeleteFirst();
        const QString copy = dir_->filePath("copy.db");
        QCOMPARE(Cli(dir_->path(), {"backup", "--out", copy}).code, 0);
        {
            BirthTimeTable times;
            QCOMPARE(times.Open(copy, true), QString());
            QCOMPARE(times.Write(2, BirthTimeEntry{QStringLiteral("05:50"), QString(), 139.7, {}, std::nullopt}),
                     QString());
        }
        QCOMPARE(OtherProgram(copy).Value(QStringLiteral("PRAGMA journal_mode=WAL")), QStringLiteral("wal"));
        const Run r = Cli(dir_->path(), {"restore", "--from", copy});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        OtherProgram restored(dir_->filePath("nam_data.db"));
        QCOMPARE(restored.Value(QStringLiteral("PRAGMA journal_mode")), QStringLiteral("delete"));
        QCOMPARE(restored.Value(QStringLiteral("SELECT clock_time FROM birth_time")), QStringLiteral("05:50"));
        QCOMPARE(restored.Value(QStringLiteral("SELECT count(*) FROM nam_data_deleted")), QStringLiteral("1"));
    }

    void restoreOfMissingOrEmptySourceSaysSo() {
        const Run missing = Cli(dir_->path(), {"restore", "--from", dir_->filePath("none.db")});
        QCOMPARE(missing.code, 1);
        QVERIFY2(missing.err.contains(QStringLiteral("none.db」がありません")), qPrintable(missing.err));
        const QString empty = dir_->filePath("empty.db");
        QVERIFY(QFile(empty).open(QIODevice::WriteOnly));
        const Run emptyRun = Cli(dir_->path(), {"restore", "--from", empty});
        QCOMPARE(emptyRun.code, 1);
        QVERIFY2(emptyRun.err.contains(QStringLiteral("空のファイル")), qPrintable(emptyRun.err));
        QVERIFY(Cli(dir_->path(), {"list"}).out.contains(QStringLiteral("鈴木一郎")));
    }

    // Each restore keeps the register it replaces in a copy of its own, also
    // two within one second.
    void twoRestoresKeepTwoCopies() {
        const QString copy = dir_->filePath("copy.db");
        QCOMPARE(Cli(dir_->path(), {"backup", "--out", copy}).code, 0);
        QCOMPARE(Cli(dir_->path(), {"restore", "--from", copy}).code, 0);
        QCOMPARE(Cli(dir_->path(), {"restore", "--from", copy}).code, 0);
        QCOMPARE(QDir(dir_->filePath("backup")).entryList({"nam_data-*-*.db"}, QDir::Files).size(), 2);
    }

    // backup --out writes a new regular file; a device, FIFO, link or folder
    // is never replaced, a file only with --force.
    void backupWritesOnlyARegularFile() {
        const QString fifo = dir_->filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString target = dir_->filePath("target.txt");
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("keep me");
        }
        const QString link = dir_->filePath("link.db");
        QVERIFY(QFile::link(target, link));
        QVERIFY(QDir(dir_->path()).mkdir("folder"));
        for (const QString& out : {fifo, link, dir_->filePath("folder"), target}) {
            for (const bool force : {false, true}) {
                if (force && out == target) continue;
                QStringList args = {"backup", "--out", out};
                if (force) args << "--force";
                const Run r = Cli(dir_->path(), args);
                QVERIFY2(r.code == 1 && !r.err.isEmpty(), qPrintable(out + r.err));
            }
        }
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
        QVERIFY(QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo(dir_->filePath("folder")).isDir());
        QCOMPARE(FileBytes(target), QByteArray("keep me"));
        const Run forced = Cli(dir_->path(), {"backup", "--out", target, "--force"});
        QVERIFY2(forced.code == 0, qPrintable(forced.err));
        RecordingSink sink;
        PersonTable copy(sink);
        QVERIFY(copy.OpenPath(target, PersonTable::OpenMode::ReadOnly));
        QCOMPARE(copy.RecordCount(), 3);
    }

    // A write cut off by kill -9 leaves its journal; the reading commands
    // undo it and show the register as it was, never advising to move it.
    void readCommandsUndoAnInterruptedWrite() {
        QTemporaryDir cut;
        {
            OtherProgram writer(dir_->filePath("nam_data.db"));
            QVERIFY(writer.Exec(QStringLiteral("PRAGMA cache_size=1")));
            QVERIFY(writer.Exec(QStringLiteral("BEGIN")));
            QVERIFY(writer.Exec(QStringLiteral("UPDATE nam_data SET \"氏名\" = '途中'")));
            QVERIFY(writer.Exec(
                QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000) "
                               "INSERT INTO nam_data (\"氏名\", \"生まれた年\") SELECT '途中' || i, '1965' FROM n")));
            // The files as a kill in the middle of the transaction leaves them.
            QVERIFY(QFile::copy(dir_->filePath("nam_data.db"), cut.filePath("nam_data.db")));
            QVERIFY(QFile::copy(dir_->filePath("nam_data.db-journal"), cut.filePath("nam_data.db-journal")));
            QVERIFY(writer.Exec(QStringLiteral("ROLLBACK")));
        }
        const QStringList commands[] = {
            {"list"}, {"check"}, {"deleted"}, {"export", "--csv", "out.csv"}, {"backup", "--out", "copy.db"}};
        for (const QStringList& command : commands) {
            QTemporaryDir home;
            for (const QString& name : {QStringLiteral("nam_data.db"), QStringLiteral("nam_data.db-journal")})
                QVERIFY(QFile::copy(cut.filePath(name), home.filePath(name)));
            QStringList args = command;
            if (args.size() == 3) args[2] = home.filePath(args[2]);
            const Run r = Cli(home.path(), args);
            QVERIFY2(r.code == 0 && !r.err.contains(QStringLiteral("移す")), qPrintable(command.join(' ') + r.err));
            QVERIFY(!QFileInfo::exists(home.filePath("nam_data.db-journal")));
            const Run list = Cli(home.path(), {"list"});
            QVERIFY2(list.out.contains(QStringLiteral("見本太郎")) && !list.out.contains(QStringLiteral("途中")),
                     qPrintable(list.out));
        }
    }

    void deletedAndUndelete() {
        DeleteFirst();
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
    void writersWaitForTheLock() {
        DeleteFirst();
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

    void badCommandLines_data() {
        QTest::addColumn<QStringList>("args");
        QTest::newRow("no kind") << QStringList{};
        QTest::newRow("unknown kind") << QStringList{"lsit"};
        QTest::newRow("restore without file") << QStringList{"restore"};
        QTest::newRow("backup without file") << QStringList{"backup"};
        QTest::newRow("foreign option") << QStringList{"list", "--pdf", "x"};
    }
    void badCommandLines() {
        QFETCH(QStringList, args);
        QCOMPARE(Cli(dir_->path(), args).code, 2);
    }

private:
    // 見本太郎, the first record, deleted by the desktop program.
    void DeleteFirst() {
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path()));
        QCOMPARE(t.CurrentRow(), 0);
        QVERIFY(t.Delete());
    }
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(TestRegisterCli)
#include "tst_register_cli.moc"
