// The companion table of exact birth times: entries checked before they are
// stored, kept by the person's row in the register's own file, kept with a
// deleted person and back with the person, never inherited by a row number
// used again, and the register's own table left as it was.
#include "common/sqlite_connection.h"
#include "register/birth_time_table.h"
#include "register/person_table.h"
#include "tests/register/register_test_support.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

using namespace zelvara;
using namespace register_test;

namespace {

// The register's file as another program leaves it: its table with a few
// people (only the fields these tests need).
class RegisterFile {
public:
    RegisterFile()
        : path_(dir_.filePath(QString::fromLatin1(PersonTable::kFileName))), conn_(QStringLiteral("reg"), path_) {
        Exec(QStringLiteral("CREATE TABLE nam_data (namae TEXT, sex TEXT)"));
        for (const char* name : {"一郎", "花子", "次郎"})
            Exec(QStringLiteral("INSERT INTO nam_data VALUES ('%1', '男')").arg(QString::fromUtf8(name)));
    }
    const QString& Path() const { return path_; }
    bool Exec(const QString& sql) {
        QSqlQuery q(conn_.db());
        return q.exec(sql);
    }
    int Count(const QString& sql) {
        QSqlQuery q(conn_.db());
        return q.exec(sql) && q.next() ? q.value(0).toInt() : -1;
    }
    QStringList Schema(const QString& table) {
        QSqlQuery q(conn_.db());
        q.exec(QStringLiteral("SELECT sql FROM sqlite_master WHERE tbl_name = '%1' AND type = 'table'").arg(table));
        return q.next() ? QStringList{q.value(0).toString()} : QStringList{};
    }

private:
    QTemporaryDir dir_;
    QString path_;
    ScopedSqliteConnection conn_;
};

const BirthTimeEntry kSapporo{QStringLiteral("05:50"), QStringLiteral("北海道 札幌市"), 141.3472, {}, std::nullopt};

}  // namespace

class TestBirthTimeTable : public QObject {
    Q_OBJECT
private slots:
    void faults_data() {
        QTest::addColumn<QString>("clock");
        QTest::addColumn<QString>("place");
        QTest::addColumn<double>("longitude");  // nan: none
        QTest::addColumn<bool>("confirmed");
        QTest::addColumn<QString>("fault");  // part of the message; empty: accepted
        const double none = std::nan("");
        QTest::newRow("time only") << "05:50"
                                   << "" << none << false << "";
        QTest::newRow("one-digit hour") << "5:50"
                                        << "" << none << false << "";
        QTest::newRow("place and longitude") << "23:59"
                                             << "沖縄県 那覇市" << 127.68 << false << "";
        QTest::newRow("typed longitude") << "00:00"
                                         << "" << 135.0 << false << "";
        QTest::newRow("no time") << ""
                                 << "" << none << false << "24 時間制";
        QTest::newRow("hour 24") << "24:00"
                                 << "" << none << false << "「24:00」は時刻として読めません";
        QTest::newRow("no colon") << "0550"
                                  << "" << none << false << "時刻として読めません";
        QTest::newRow("place without longitude") << "05:50"
                                                 << "明石" << none << false << "経度が分かりません";
        QTest::newRow("east of Japan") << "05:50"
                                       << "" << 160.0 << false << "日本（東経 122〜154 度）の外";
        QTest::newRow("west of Japan") << "05:50"
                                       << "" << 121.9 << false << "の外";
        QTest::newRow("outside, confirmed") << "05:50"
                                            << "" << 160.0 << true << "";
        QTest::newRow("no longitude at all") << "05:50"
                                             << "" << 400.0 << true << "経度としてありません";
    }
    void faults() {
        QFETCH(QString, clock);
        QFETCH(QString, place);
        QFETCH(double, longitude);
        QFETCH(bool, confirmed);
        QFETCH(QString, fault);
        BirthTimeEntry e{clock, place, std::nullopt, {}, std::nullopt};
        if (!std::isnan(longitude)) e.longitude = longitude;
        const QString got = BirthTimeEntryFault(e, confirmed);
        if (fault.isEmpty())
            QVERIFY2(got.isEmpty(), qPrintable(got));
        else
            QVERIFY2(got.contains(fault), qPrintable(got));

        // A refused entry stores nothing.
        RegisterFile file;
        BirthTimeTable table;
        QCOMPARE(table.Open(file.Path(), true), QString());
        QCOMPARE(table.Write(1, e, confirmed), got);
        QCOMPARE(table.Read(1).has_value(), fault.isEmpty());
    }

    void storedByRowBesideTheRegister() {
        RegisterFile file;
        const QStringList registerSchema = file.Schema(QStringLiteral("nam_data"));
        BirthTimeTable table;
        QCOMPARE(table.Open(file.Path(), true), QString());
        QCOMPARE(file.Schema(QStringLiteral("nam_data")), registerSchema);  // the register's fields unchanged
        QVERIFY(!table.Read(2));
        QCOMPARE(table.Write(2, kSapporo), QString());
        QCOMPARE(table.Read(2), std::optional(kSapporo));
        QVERIFY(!table.Read(1));
        const BirthTimeEntry timeOnly{QStringLiteral("10:30"), {}, std::nullopt, {}, std::nullopt};
        QCOMPARE(table.Write(2, timeOnly), QString());  // replaced
        QCOMPARE(table.Read(2), std::optional(timeOnly));
        QCOMPARE(file.Count(QStringLiteral("SELECT count(*) FROM birth_time")), 1);

        QVERIFY(table.Write(9, kSapporo).contains(QStringLiteral("名簿にありません")));
        QCOMPARE(file.Count(QStringLiteral("SELECT count(*) FROM birth_time")), 1);

        QCOMPARE(table.Remove(2), QString());
        QVERIFY(!table.Read(2));
        QCOMPARE(table.Remove(2), QString());

        // Opened again (the next run) the entry is still there.
        QCOMPARE(table.Write(3, kSapporo), QString());
        table.Close();
        BirthTimeTable again;
        QCOMPARE(again.Open(file.Path(), false), QString());
        QCOMPARE(again.Read(3), std::optional(kSapporo));
        QVERIFY(again.Write(3, kSapporo).contains(QStringLiteral("読み取り専用")));
        QVERIFY(again.Remove(3).contains(QStringLiteral("読み取り専用")));
        QCOMPARE(again.Read(3), std::optional(kSapporo));
    }

    // A deleted person's entry goes with the person, so that the row number,
    // when SQLite gives it to the next person, comes without a birth time.
    void deletedPersonLeavesNoEntry() {
        RegisterFile file;
        BirthTimeTable table;
        QCOMPARE(table.Open(file.Path(), true), QString());
        QCOMPARE(table.Write(3, kSapporo), QString());
        QCOMPARE(table.Write(1, kSapporo), QString());
        QVERIFY(file.Exec(QStringLiteral("DELETE FROM nam_data WHERE rowid = 3")));
        QCOMPARE(file.Count(QStringLiteral("SELECT count(*) FROM birth_time WHERE person = 3")), 0);
        QVERIFY(file.Exec(QStringLiteral("INSERT INTO nam_data VALUES ('三郎', '男')")));
        QCOMPARE(file.Count(QStringLiteral("SELECT max(rowid) FROM nam_data")), 3);  // the number is used again
        QVERIFY(!table.Read(3));
        QCOMPARE(table.Read(1), std::optional(kSapporo));

        // An entry left behind (its trigger dropped, as in a file from before
        // the trigger) is not read for a person who is gone.
        QVERIFY(file.Exec(QStringLiteral("DROP TRIGGER birth_time_person_deleted")));
        QVERIFY(file.Exec(QStringLiteral("DELETE FROM nam_data WHERE rowid = 1")));
        QCOMPARE(file.Count(QStringLiteral("SELECT count(*) FROM birth_time WHERE person = 1")), 1);
        QVERIFY(!table.Read(1));
    }

    // A birth abroad keeps its zone and the person's own correction; a zone
    // the database does not know is refused; a table written by an earlier
    // version (no zone, no correction) is read as Japan's zone with the
    // settings' correction, and gains both columns, its entries kept, once it
    // is opened for writing.
    void zoneAndCorrectionKeptAndOldTablesUpgraded() {
        RegisterFile file;
        QVERIFY(
            file.Exec(QStringLiteral("CREATE TABLE birth_time (person INTEGER PRIMARY KEY, clock_time TEXT NOT NULL, "
                                     "place TEXT NOT NULL DEFAULT '', longitude REAL)")));
        QVERIFY(file.Exec(QStringLiteral("INSERT INTO birth_time VALUES (1, '05:50', '北海道 札幌市', 141.3472)")));
        BirthTimeTable old;
        QCOMPARE(old.Open(file.Path(), false), QString());
        QCOMPARE(old.Read(1), std::optional(kSapporo));
        old.Close();

        BirthTimeTable table;
        QCOMPARE(table.Open(file.Path(), true), QString());
        QCOMPARE(table.Read(1), std::optional(kSapporo));
        const BirthTimeEntry newYork{QStringLiteral("10:40"),
                                     QStringLiteral("ニューヨーク（New York, United States of America）"), -74.00597,
                                     QStringLiteral("America/New_York"), TimeCorrection::kTrue};
        QCOMPARE(table.Write(2, newYork), QString());  // no question about a longitude outside Japan
        QCOMPARE(table.Read(2), std::optional(newYork));
        BirthTimeEntry unknown = newYork;
        unknown.zone = QStringLiteral("America/Atlantis");
        QVERIFY(table.Write(3, unknown).contains(QStringLiteral("タイムゾーン「America/Atlantis」は分かりません")));
        QVERIFY(!table.Read(3));
        // A longitude outside Japan in Japan's zone still needs the question.
        BirthTimeEntry tokyoZone = newYork;
        tokyoZone.zone = QStringLiteral("Asia/Tokyo");
        QVERIFY(table.Write(3, tokyoZone).contains(QStringLiteral("の外")));
        QCOMPARE(table.Write(3, tokyoZone, true), QString());
        QVERIFY(table.Read(3)->zone.isEmpty());  // Japan's zone is stored as none
    }

    // 削除 keeps the person's time with the deleted record, in the same
    // transaction; 元に戻す brings it back under the person's new row. A
    // record deleted before the file had any exact time comes back without
    // one, and the next person on a reused row number gets none.
    void deleteAndUndeleteKeepTheTime() {
        QTemporaryDir dir;
        RecordingSink sink;
        PersonTable persons(sink);
        QVERIFY(persons.Open(dir.path()));
        for (const char* name : {"一郎", "花子", "次郎", "三郎"}) AddPerson(persons, QString::fromUtf8(name));
        // 三郎 is deleted before any time is stored: the file has no table of them yet.
        QVERIFY(persons.Delete());
        QCOMPARE(persons.RecordCount(), 3);
        const qint64 earlyNumber = persons.DeletedRecords().front().number;

        BirthTimeTable table;
        QCOMPARE(table.Open(persons.FilePath(), true), QString());
        const qint64 hanako = persons.Record(1).rowId;
        const qint64 jiro = persons.Record(2).rowId;
        QCOMPARE(table.Write(hanako, kSapporo), QString());
        QCOMPARE(table.Write(jiro, kSapporo), QString());

        QVERIFY(persons.CurrentRow() == 2 || persons.MoveTo(2));
        QVERIFY(persons.Delete());  // 次郎, the last row: its number is used again
        QVERIFY(!table.Read(jiro));
        AddPerson(persons, QStringLiteral("四郎"));
        QCOMPARE(persons.Record(2).rowId, jiro);
        QVERIFY(!table.Read(jiro));

        QVERIFY(persons.CurrentRow() == 1 || persons.MoveTo(1));
        QVERIFY(persons.Delete());  // 花子
        QVERIFY(!table.Read(hanako));
        const std::vector<DeletedPerson> deleted = persons.DeletedRecords();
        QCOMPARE(deleted.size(), size_t(3));
        QCOMPARE(deleted[0].values[kFieldName], QStringLiteral("花子"));
        QCOMPARE(deleted[1].values[kFieldName], QStringLiteral("次郎"));

        QVERIFY(persons.Undelete(deleted[0].number));
        QCOMPARE(persons.Value(kFieldName), QStringLiteral("花子"));
        QCOMPARE(table.Read(persons.Record(persons.CurrentRow()).rowId), std::optional(kSapporo));
        QVERIFY(persons.Undelete(deleted[1].number));
        QCOMPARE(table.Read(persons.Record(persons.CurrentRow()).rowId), std::optional(kSapporo));
        QVERIFY(persons.Undelete(earlyNumber));
        QCOMPARE(persons.Value(kFieldName), QStringLiteral("三郎"));
        QVERIFY(!table.Read(persons.Record(persons.CurrentRow()).rowId));
        QCOMPARE(table.Read(jiro), std::nullopt);  // 四郎 still has none
        QVERIFY(persons.DeletedRecords().empty());
    }

    void registerWithoutItsTableIsRefused() {
        QTemporaryDir dir;
        BirthTimeTable table;
        const QString error = table.Open(dir.filePath(QStringLiteral("empty.db")), true);
        QVERIFY2(error.contains(QStringLiteral("できません")), qPrintable(error));
        QVERIFY(!table.IsOpen());
    }
};

QTEST_GUILESS_MAIN(TestBirthTimeTable)
#include "tst_birth_time_table.moc"
