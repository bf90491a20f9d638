// The register never traps the user, never overwrites another program's work
// and never loses a record: refused writes, the one-writer lock, records
// changed behind the table's back, deleted records and the daily copies.
#include "common/register_lock.h"
#include "register/person_table.h"
#include "register/sqlite_copy.h"
#include "tests/recording_sink.h"
#include "tests/register/register_test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;
using namespace register_test;

namespace {

QString StoredName(const QString& path, qint64 rowId) { return OtherProgram(path).Name(rowId); }

}  // namespace

class TestRegisterSafety : public QObject {
    Q_OBJECT
private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        sink_ = RecordingSink();
        table_ = std::make_unique<PersonTable>(sink_);
        QVERIFY(table_->Open(dir_->path()));
        AddPerson(*table_, QStringLiteral("見本太郎"));
        AddPerson(*table_, QStringLiteral("山田花子"));
        sink_.messages.clear();
    }
    void cleanup() { table_.reset(); }

    // A file another program keeps locked refuses the write. The message
    // names the file and says what to do; the user may go back to what is
    // stored, or keep the edit and try again later. Either way nothing traps.
    void refusedWriteOffersToDiscard_data() {
        QTest::addColumn<bool>("discard");
        QTest::newRow("discard") << true;
        QTest::newRow("keep") << false;
    }
    void refusedWriteOffersToDiscard() {
        QFETCH(bool, discard);
        QStringList asked;
        table_->SetDiscardQuestion([&](const QString& text) {
            asked << text;
            return discard;
        });
        QVERIFY(table_->First());
        table_->SetValue(kFieldName, QStringLiteral("書き換え"));
        {
            OtherProgram other(table_->FilePath());
            QVERIFY(other.Exec(QStringLiteral("BEGIN EXCLUSIVE")));
            QVERIFY(!table_->Post());
            other.Exec(QStringLiteral("ROLLBACK"));
        }
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains(table_->FilePath()), qPrintable(asked[0]));
        QVERIFY2(asked[0].contains(QStringLiteral("使用中")), qPrintable(asked[0]));
        QVERIFY2(asked[0].contains(QStringLiteral("詳細:")), qPrintable(asked[0]));
        QVERIFY2(asked[0].contains(QStringLiteral("破棄")), qPrintable(asked[0]));
        QVERIFY2(sink_.messages.isEmpty(), qPrintable(sink_.messages.join('\n')));  // one box, the question
        QCOMPARE(table_->IsModified(), !discard);
        QCOMPARE(table_->Value(kFieldName), discard ? QStringLiteral("見本太郎") : QStringLiteral("書き換え"));
        QCOMPARE(StoredName(table_->FilePath(), table_->Record(0).rowId), QStringLiteral("見本太郎"));
        if (!discard) {  // the lock is gone: the kept edit goes in now
            QVERIFY(table_->Post());
            QCOMPARE(StoredName(table_->FilePath(), table_->Record(0).rowId), QStringLiteral("書き換え"));
        }
    }

    // A file damaged while the program has it open refuses the write with the
    // advice for a damaged file: go back to a copy.
    void damagedFileRefusesWithItsAdvice() {
        QStringList asked;
        table_->SetDiscardQuestion([&](const QString& text) {
            asked << text;
            return false;
        });
        QVERIFY(table_->First());
        table_->SetValue(kFieldName, QStringLiteral("書き換え"));
        {
            QFile file(table_->FilePath());
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.write(QByteArray(100, 'x')) == 100);  // SQLite's file header
        }
        QVERIFY(!table_->Post());
        QCOMPARE(asked.size(), 1);
        QVERIFY2(asked[0].contains(QStringLiteral("壊れている")), qPrintable(asked[0]));
        QVERIFY2(asked[0].contains(QStringLiteral("register restore")), qPrintable(asked[0]));
    }

    // Moving away from a refused edit is not a dead end: a discarded edit
    // lets the move go on.
    void discardedEditLetsTheMoveGoOn() {
        table_->SetDiscardQuestion([](const QString&) { return true; });
        QVERIFY(table_->First());
        table_->SetValue(kFieldName, QStringLiteral("書き換え"));
        OtherProgram other(table_->FilePath());
        QVERIFY(other.Exec(QStringLiteral("BEGIN EXCLUSIVE")));
        QVERIFY2(table_->Next(), qPrintable(sink_.messages.join('\n')));
        other.Exec(QStringLiteral("ROLLBACK"));
        QCOMPARE(table_->Value(kFieldName), QStringLiteral("山田花子"));
        QCOMPARE(table_->Record(0).values[kFieldName], QStringLiteral("見本太郎"));
    }

    // The first program holds the lock; a second one on the same file reads
    // but never writes, and says who holds it.
    void secondTableOpensReadOnly() {
        RecordingSink sink;
        PersonTable second(sink);
        QVERIFY(second.Open(dir_->path()));
        QCOMPARE(second.access(), PersonTable::Access::ReadOnly);
        QVERIFY2(second.LockHolder().contains(QString::number(QCoreApplication::applicationPid())),
                 qPrintable(second.LockHolder()));
        QVERIFY2(second.Unavailability().contains(second.LockHolder()), qPrintable(second.Unavailability()));
        QCOMPARE(second.RecordCount(), 2);
        QVERIFY(second.FindByName(QStringLiteral("山田")));
        QVERIFY(second.SetFilter(QStringLiteral("性別"), QStringLiteral("男")));
        QCOMPARE(second.RecordCount(), 2);

        second.SetValue(kFieldName, QStringLiteral("上書き"));
        QVERIFY(!second.Post());
        QVERIFY2(sink.Last().contains(QStringLiteral("読み取り専用")), qPrintable(sink.Last()));
        QVERIFY(!second.Delete());
        QVERIFY(!second.Undelete(1));
        // Moving on drops the scratch edit; nothing reached the file.
        QVERIFY(second.First());
        QCOMPARE(second.Value(kFieldName), QStringLiteral("見本太郎"));
        PersonTable third(sink);
        QVERIFY(third.Open(dir_->path()));
        QCOMPARE(third.access(), PersonTable::Access::ReadOnly);
        QCOMPARE(third.Record(1).values[kFieldName], QStringLiteral("山田花子"));

        table_.reset();  // the writer ends: the next program may write
        PersonTable fourth(sink);
        QVERIFY(fourth.Open(dir_->path()));
        QCOMPARE(fourth.access(), PersonTable::Access::Writable);
    }

    // A lock left by a program that crashed does not keep the register
    // read-only for ever.
    void staleLockIsTakenOver() {
        table_.reset();
        const QString lockPath = RegisterLock::LockPathFor(QDir(dir_->path()).filePath("nam_data.db"));
        QByteArray content;
        {
            QLockFile live(lockPath);
            QVERIFY(live.tryLock(0));
            content = FileBytes(lockPath);
        }
        QProcess gone;
        gone.start(QStringLiteral("true"), {});
        QVERIFY(gone.waitForStarted());
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished());
        const int eol = content.indexOf('\n');
        content = QByteArray::number(deadPid) + content.mid(eol);
        WriteFile(lockPath, content);
        PersonTable t(sink_);
        QVERIFY(t.Open(dir_->path()));
        QCOMPARE(t.access(), PersonTable::Access::Writable);
    }

    // A post writes only over the record as it was read: when someone else
    // changed or removed it meanwhile the post is refused, naming what
    // changed, and their work stays.
    void changedBehindOurBackIsRefused_data() {
        QTest::addColumn<QString>("otherSql");
        QTest::addColumn<QString>("expectedName");
        QTest::addColumn<QString>("said");
        QTest::newRow("changed") << QStringLiteral("UPDATE nam_data SET \"氏名\" = '別人' WHERE rowid = %1")
                                 << QStringLiteral("別人") << QStringLiteral("氏名");
        QTest::newRow("removed") << QStringLiteral("DELETE FROM nam_data WHERE rowid = %1") << QStringLiteral("<none>")
                                 << QStringLiteral("削除");
    }
    void changedBehindOurBackIsRefused() {
        QFETCH(QString, otherSql);
        QFETCH(QString, expectedName);
        QFETCH(QString, said);
        QVERIFY(table_->First());
        const qint64 rowId = table_->Record(0).rowId;
        QVERIFY(OtherProgram(table_->FilePath()).Exec(otherSql.arg(rowId)));
        table_->SetValue(kFieldDay, QStringLiteral("8"));
        QVERIFY(!table_->Post());
        QVERIFY2(sink_.Last().contains(said), qPrintable(sink_.Last()));
        QCOMPARE(StoredName(table_->FilePath(), rowId), expectedName);
        // The other record is untouched, and deleting the stale one is refused too.
        QCOMPARE(StoredName(table_->FilePath(), table_->Record(1).rowId), QStringLiteral("山田花子"));
        table_->Cancel();
        table_->First();
        if (table_->Value(kFieldName) == QStringLiteral("別人")) {
            QVERIFY(OtherProgram(table_->FilePath()).Exec(otherSql.arg(rowId).replace("別人", "三人目")));
            QVERIFY(!table_->Delete());
            QCOMPARE(StoredName(table_->FilePath(), rowId), QStringLiteral("三人目"));
        }
    }

    // Deleting asks nothing, but the record is kept and comes back whole.
    void deletedRecordComesBack() {
        QVERIFY(table_->First());
        const PersonValues before = table_->Record(0).values;
        const QDateTime start = QDateTime::currentDateTime().addSecs(-1);
        QVERIFY(table_->Delete());
        QCOMPARE(table_->RecordCount(), 1);
        auto deleted = table_->DeletedRecords();
        QCOMPARE(deleted.size(), size_t(1));
        QCOMPARE(deleted[0].values, before);
        QVERIFY(deleted[0].deletedAt >= start);

        // Reopened: the deleted record is still there to bring back.
        table_ = std::make_unique<PersonTable>(sink_);
        QVERIFY(table_->Open(dir_->path()));
        deleted = table_->DeletedRecords();
        QCOMPARE(deleted.size(), size_t(1));
        QVERIFY(table_->Undelete(deleted[0].number));
        QCOMPARE(table_->RecordCount(), 2);
        QCOMPARE(table_->Record(table_->CurrentRow()).values, before);
        QVERIFY(table_->DeletedRecords().empty());
        QVERIFY(!table_->Undelete(deleted[0].number));  // only once
        QVERIFY2(sink_.Last().contains(QString::number(deleted[0].number)), qPrintable(sink_.Last()));
    }

    // Before the first write of a day the register is copied; later writes
    // that day leave the copy alone; thirty copies are kept.
    void dailyCopies() {
        const QString backups = dir_->filePath("backup");
        table_->SetToday(QDate(2030, 1, 8));
        QVERIFY(table_->First());
        table_->SetValue(kFieldName, QStringLiteral("一回目"));
        QVERIFY(table_->Post());
        const QString copy = QDir(backups).filePath("nam_data-20300108.db");
        QVERIFY(QFile::exists(copy));
        table_->SetValue(kFieldName, QStringLiteral("二回目"));
        QVERIFY(table_->Post());
        {
            RecordingSink sink;
            PersonTable fromCopy(sink);
            QVERIFY(fromCopy.OpenPath(copy, PersonTable::OpenMode::ReadOnly));
            QCOMPARE(fromCopy.RecordCount(), 2);
            QCOMPARE(fromCopy.Record(0).values[kFieldName],
                     QStringLiteral("見本太郎"));  // as before the day's first write
        }

        for (int day = 1; day <= 35; ++day)
            QVERIFY(QFile::copy(copy, QDir(backups).filePath(QStringLiteral("nam_data-2025%1.db").arg(1000 + day))));
        table_->SetToday(QDate(2030, 1, 9));
        QVERIFY(table_->Delete());
        const QStringList kept = DailyBackup(table_->FilePath(), backups).Copies();
        QCOMPARE(kept.size(), 30);
        QVERIFY(kept.last().endsWith("nam_data-20300109.db"));
        QVERIFY(kept.contains(copy));
        QVERIFY(sink_.messages.isEmpty());
    }

    // A copy is never half there: an unreadable source leaves no file and an
    // older copy of the same name stays.
    void failedCopyLeavesNothing() {
        const QString target = dir_->filePath("copy.db");
        QVERIFY(CopySqliteFile(table_->FilePath(), target).isEmpty());
        const QByteArray good = FileBytes(target);
        const QString junk = dir_->filePath("junk.db");
        WriteFile(junk, QByteArray(2048, 'x'));
        const QString error = CopySqliteFile(junk, target);
        QVERIFY(!error.isEmpty());
        QCOMPARE(FileBytes(target), good);
        QCOMPARE(QDir(dir_->path()).entryList({"*partial*"}, QDir::Files), QStringList());
    }

    // A copy never takes another file's place: not an older copy of the same
    // name, unless asked, and two copies within one second get names of
    // their own.
    void copiesNeverReplaceAnotherFile() {
        const QString target = dir_->filePath("copy.db");
        WriteFile(target, "older copy");
        const QString error = CopySqliteFile(table_->FilePath(), target);
        QVERIFY2(error.contains(QStringLiteral("すでにあります")), qPrintable(error));
        QCOMPARE(FileBytes(target), QByteArray("older copy"));
        QCOMPARE(CopySqliteFile(table_->FilePath(), target, ExistingFile::Replace), QString());
        {
            RecordingSink sink;
            PersonTable copy(sink);
            QVERIFY(copy.OpenPath(target, PersonTable::OpenMode::ReadOnly));
        }

        const QString folder = dir_->filePath("saved");
        QStringList copies;
        for (int n = 0; n < 3; ++n) {
            QString copy;
            QCOMPARE(CopyIntoBackupFolder(table_->FilePath(), folder, QStringLiteral("nam_data"), &copy), QString());
            copies << copy;
        }
        copies.removeDuplicates();
        QCOMPARE(copies.size(), 3);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 3);
    }

    // Without a register the table does nothing, and says why.
    void unopenableRegisterSaysWhy() {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("nam_data.db"));  // a folder where the file should be
        RecordingSink sink;
        PersonTable t(sink);
        QVERIFY(!t.Open(dir.path()));
        QCOMPARE(t.access(), PersonTable::Access::Closed);
        QVERIFY2(t.Unavailability().contains(QStringLiteral("鑑定")), qPrintable(t.Unavailability()));
        t.SetValue(kFieldName, QStringLiteral("x"));
        QVERIFY(t.Post());  // nothing to post
        QCOMPARE(t.RecordCount(), 0);
    }

private:
    std::unique_ptr<QTemporaryDir> dir_;
    RecordingSink sink_;
    std::unique_ptr<PersonTable> table_;
};

QTEST_GUILESS_MAIN(TestRegisterSafety)
#include "tst_register_safety.moc"
