// zelvara-cli register export|import: the real program on a fresh program
// folder — exit codes, messages naming file and line, the register unchanged
// after any refusal, and the lock.
#include "register/birth_time_table.h"
#include "register/person_table.h"
#include "register/sqlite_person_storage.h"
#include "tests/recording_sink.h"
#include "tests/register/register_test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using namespace register_test;

namespace {

const QByteArray kHeader = QStringLiteral("氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別\r\n").toUtf8();

}  // namespace

class TestRegisterTransfer : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path()));
        for (const QString& name :
             {QStringLiteral("見本太郎"), QStringLiteral("=山田, \"花子\""), QStringLiteral("～∥－￠￡￢")}) {
            PersonValues v = Person(name, QStringLiteral("S34"));
            v[PalaceFieldIndex(1)] = QStringLiteral("紫微");
            AddPerson(t, v);
        }
    }

    void roundTripThroughAnEmptyRegister_data() {
        QTest::addColumn<QStringList>("encoding");
        QTest::newRow("default") << QStringList{};
        QTest::newRow("cp932") << QStringList{"--encoding", "cp932"};
    }
    void roundTripThroughAnEmptyRegister() {
        QFETCH(QStringList, encoding);
        const QString csv = dir_->filePath("out.csv");
        const Run out = Cli(dir_->path(), QStringList{"export", "--csv", csv} + encoding);
        QVERIFY2(out.code == 0, qPrintable(out.err));
        QTemporaryDir other;
        const Run in = Cli(other.path(), {"import", "--csv", csv});
        QVERIFY2(in.code == 0, qPrintable(in.err));
        QVERIFY2(in.out.contains(QStringLiteral("3 件を読み込みました")), qPrintable(in.out));
        const QString again = other.filePath("again.csv");
        QCOMPARE(Cli(other.path(), QStringList{"export", "--csv", again} + encoding).code, 0);
        QCOMPARE(FileBytes(again), FileBytes(csv));
        // The name a spreadsheet would take for a formula went out with an
        // apostrophe in front and came back without it.
        QVERIFY2(Cli(dir_->path(), {"list", "--csv"}).out.contains(QStringLiteral("\r\n\"'=山田, \"\"花子\"\"\",")),
                 qPrintable(Cli(dir_->path(), {"list", "--csv"}).out));
        if (encoding.isEmpty())
            QVERIFY(QString::fromUtf8(FileBytes(csv)).contains(QStringLiteral("\r\n\"'=山田, \"\"花子\"\"\",")));
        QVERIFY(Cli(other.path(), {"list"}).out.contains(QStringLiteral("\t=山田, \"花子\"\t")));
        // Importing the same file again adds nothing.
        const Run twice = Cli(other.path(), {"import", "--csv", csv});
        QVERIFY2(twice.out.contains(QStringLiteral("すでにある 3 件")), qPrintable(twice.out));
    }

    // Exact birth times go out in their five columns and come back in; a bad
    // one refuses the import (exit 1) naming the line, and nothing is written.
    void exactTimesTravelWithTheRecords() {
        const BirthTimeEntry newYork{QStringLiteral("10:40"),
                                     QStringLiteral("ニューヨーク（New York, United States of America）"), -74.00597,
                                     QStringLiteral("America/New_York"), TimeCorrection::kTrue};
        {
            RecordingSink sink;
            PersonTable t(sink);
            QVERIFY(t.Open(dir_->path()));
            BirthTimeTable times;
            times.Attach(t);
            QCOMPARE(times.Write(t.Record(1).rowId, newYork), QString());
        }
        const QString csv = dir_->filePath("out.csv");
        const Run out = Cli(dir_->path(), {"export", "--csv", csv});
        QVERIFY2(out.code == 0, qPrintable(out.err));
        const QString text = QString::fromUtf8(FileBytes(csv));
        QVERIFY(text.contains(QStringLiteral(",hukutoku,出生時刻,出生地,経度,タイムゾーン,補正\r\n")));
        QVERIFY2(text.contains(QStringLiteral(",10:40,\"ニューヨーク（New York, United States of America）\",-74.00597,"
                                              "America/New_York,true\r\n")),
                 qPrintable(text));
        QVERIFY(text.contains(QStringLiteral(",,,,,\r\n")));  // a record without a time

        QTemporaryDir other;
        const Run in = Cli(other.path(), {"import", "--csv", csv});
        QVERIFY2(in.code == 0, qPrintable(in.err));
        {
            RecordingSink sink;
            PersonTable t(sink);
            QVERIFY(t.Open(other.path(), PersonTable::OpenMode::ReadOnly));
            RecordBirthTimes times;
            QString why;
            QVERIFY(t.ReadAllRecords(&why, &times));
            QCOMPARE(times, (RecordBirthTimes{std::nullopt, newYork, std::nullopt}));
        }

        QTemporaryDir third;
        const QString bad = dir_->filePath("bad.csv");
        WriteFile(
            bad, QStringLiteral("氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別,出生時刻,経度\r\n"
                                "甲,1972,11,3,09:00-11:00,男,10:40,139.7\r\n乙,1972,11,3,09:00-11:00,男,10:40,東経\r\n")
                     .toUtf8());
        const Run refused = Cli(third.path(), {"import", "--csv", bad});
        QCOMPARE(refused.code, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("の 3 行目: 経度「東経」")), qPrintable(refused.err));
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(third.path(), PersonTable::OpenMode::ReadOnly) || !t.IsOpen());
        QCOMPARE(t.RecordCount(), 0);
    }

    void badInputLeavesTheRegisterUnchanged_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QString>("expected");
        QTest::newRow("truncated") << kHeader + "a,1959,5,7,05:00-07:00,男\r\n\"b,19" << QStringList{}
                                   << QStringLiteral("3 行目から始まる引用符");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0", 10) << QStringList{}
                                << QStringLiteral("2 行目に文字でないデータ");
        QTest::newRow("refused record") << kHeader + "a,1959,5,7,05:00-07:00,男\r\nb,1959,5,7,05:00-07:00,x\r\n"
                                        << QStringList{} << QStringLiteral("3 行目: 性別「x」");
        QTest::newRow("short line") << kHeader + "a,1959\r\n"
                                    << QStringList{} << QStringLiteral("2 行目: 項目の数が 2");
        QTest::newRow("dry run") << kHeader + "a,1959,5,7,05:00-07:00,男\r\n" << QStringList{"--dry-run"} << QString();
    }
    void badInputLeavesTheRegisterUnchanged() {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, extra);
        QFETCH(QString, expected);
        const QString csv = dir_->filePath("in.csv");
        WriteFile(csv, bytes);
        const QByteArray before = FileBytes(dir_->filePath("nam_data.db"));
        const QStringList copies = Backups();
        const Run r = Cli(dir_->path(), QStringList{"import", "--csv", csv} + extra);
        if (expected.isEmpty()) {
            QCOMPARE(r.code, 0);
            QVERIFY2(r.out.contains(QStringLiteral("1 件を読み込めます")), qPrintable(r.out));
        } else {
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(expected) && r.err.contains(csv), qPrintable(r.err));
            QVERIFY2(r.err.contains(QStringLiteral("名簿は変えていません")), qPrintable(r.err));
        }
        QCOMPARE(FileBytes(dir_->filePath("nam_data.db")), before);
        QCOMPARE(Backups(), copies);
    }

    void skipBadImportsTheRest() {
        const QString csv = dir_->filePath("in.csv");
        WriteFile(csv, kHeader + "a,1959,5,7,05:00-07:00,男\r\nb,1959,5,7,05:00-07:00,x\r\n");
        const int copies = int(Backups().size());
        const Run r = Cli(dir_->path(), {"import", "--csv", csv, "--skip-bad"});
        QCOMPARE(r.code, 0);
        QVERIFY2(r.err.contains(QStringLiteral("3 行目")), qPrintable(r.err));
        QVERIFY2(r.out.contains(QStringLiteral("1 件を読み込みました")), qPrintable(r.out));
        QCOMPARE(Backups().size(), copies + 1);
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(t.Open(dir_->path(), PersonTable::OpenMode::ReadOnly));
        QCOMPARE(t.RecordCount(), 4);
    }

    void importRefusedWhileAnotherProgramHoldsTheLock() {
        const QString csv = dir_->filePath("in.csv");
        WriteFile(csv, kHeader + "a,1959,5,7,05:00-07:00,男\r\n");
        RecordingSink sink;
        PersonTable holder(sink);
        QVERIFY(holder.Open(dir_->path()));
        const Run r = Cli(dir_->path(), {"import", "--csv", csv});
        QCOMPARE(r.code, 3);
        QVERIFY2(r.err.contains(QStringLiteral("使用中")), qPrintable(r.err));
        // Exporting only reads, so it works meanwhile.
        QCOMPARE(Cli(dir_->path(), {"export", "--csv", dir_->filePath("o.csv")}).code, 0);
        QCOMPARE(holder.AllRecords().size(), size_t(3));
    }

    void usageErrors() {
        QCOMPARE(Cli(dir_->path(), {"export"}).code, 2);
        QCOMPARE(Cli(dir_->path(), {"export", "--csv", dir_->filePath("o.csv"), "--encoding", "latin1"}).code, 2);
        const Run missing = Cli(dir_->path(), {"import", "--csv", dir_->filePath("none.csv")});
        QCOMPARE(missing.code, 1);
        QVERIFY(missing.err.contains(QStringLiteral("none.csv")));
        // Reading commands on a folder without a register say so and create
        // nothing (the import's file is read first, so it must be there).
        QTemporaryDir empty;
        WriteFile(empty.filePath("o.csv"), (PersonColumns().join(',') + '\n').toUtf8());
        for (const QStringList& args : {QStringList{"export", "--csv", empty.filePath("o.csv")},
                                        QStringList{"import", "--csv", empty.filePath("o.csv"), "--dry-run"}}) {
            const Run r = Cli(empty.path(), args);
            QCOMPARE(r.code, 1);
            QVERIFY2(r.err.contains(QStringLiteral("名簿のファイル")), qPrintable(r.err));
            QVERIFY(!QFileInfo::exists(empty.filePath("nam_data.db")));
        }
    }

private:
    QStringList Backups() const { return QDir(dir_->filePath("backup")).entryList({"nam_data-*.db"}); }
    std::unique_ptr<QTemporaryDir> dir_;
};

QTEST_GUILESS_MAIN(TestRegisterTransfer)
#include "tst_transfer.moc"
