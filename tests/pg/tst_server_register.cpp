// The register on a PostgreSQL server behaves as the file does — browse, find,
// filter, append, post, delete and bring back, the chart's write-back, the
// exact birth times and the profiles chosen kept beside the records — and
// several desks share it safely: a post against a record another desk changed
// or deleted is refused and names what changed, a server that goes away loses
// no edit, a wrong password is refused. Every test talks to a real server.
#include "common/pg_connection.h"
#include "register/birth_time_table.h"
#include "register/client_data.h"
#include "register/client_erasure.h"
#include "register/person_table.h"
#include "register/register_import.h"
#include "register/server_person_storage.h"
#include "session/person_table_store.h"
#include "tests/pg/test_pg_server.h"
#include "tests/recording_sink.h"
#include "tests/register/register_records.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

using namespace zelvara;
using namespace register_test;
using CliRun = register_test::Run;  // a test has a Run() of its own

namespace {

PgConnection Connection(const QString& uri) {
    QString why;
    const auto c = ParsePgUri(uri, &why);
    EXPECT_TRUE(c.has_value()) << why.toStdString();
    return c.value_or(PgConnection{});
}

// One desk: a register table of its own with its own message sink.
struct Desk {
    RecordingSink sink;
    PersonTable table{sink};
    QStringList asked;  // the refusals the desk was asked to discard
    bool discard = false;

    explicit Desk(const QString& uri) {
        table.SetDiscardQuestion([this](const QString& text) {
            asked << text;
            return discard;
        });
        table.OpenServer(Connection(uri));
    }
    // Appends and posts Person(name, year), a woman, with the star of palace 1.
    void Add(const QString& name, const QString& year, const QString& palace1 = {}) {
        PersonValues v = Person(name, year, QStringLiteral("女"));
        v[PalaceFieldIndex(1)] = palace1;
        table.Append();
        for (int i = 0; i < kPersonFieldCount; ++i) table.SetValue(i, v[size_t(i)]);
        EXPECT_TRUE(table.Post()) << sink.Last().toStdString();
    }
    QStringList Names() const { return register_test::Names(table); }
};

using ServerRegister = PgDatabaseTest;

TEST_F(ServerRegister, BehavesAsTheRegisterFileDoes) {
    Desk desk(Uri());
    ASSERT_TRUE(desk.table.IsWritable()) << desk.table.Unavailability().toStdString();
    EXPECT_TRUE(desk.table.IsServer());
    EXPECT_TRUE(desk.table.FilePath().isEmpty());
    EXPECT_TRUE(desk.table.Location().contains(database_)) << desk.table.Location().toStdString();

    desk.Add(QStringLiteral("山田花子"), QStringLiteral("1965"), QStringLiteral("紫微"));
    desk.Add(QStringLiteral("山本太郎"), QStringLiteral("S40"), QStringLiteral("O'\""));
    desk.Add(QStringLiteral("佐藤～一"), QStringLiteral("1970"), QStringLiteral("紫微"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data")), QStringLiteral("3"));

    // Browse and find by prefix, exact characters.
    EXPECT_TRUE(desk.table.First());
    EXPECT_EQ(desk.table.Value(kFieldName), QStringLiteral("山田花子"));
    EXPECT_TRUE(desk.table.FindByName(QStringLiteral("山本")));
    EXPECT_EQ(desk.table.CurrentRow(), 1);
    EXPECT_FALSE(desk.table.FindByName(QStringLiteral("田中")));
    EXPECT_EQ(desk.table.CurrentRow(), 1);

    // The palace filter is bound on the server: quotes are a value like any other.
    ASSERT_TRUE(desk.table.SetFilter(FieldName(PalaceFieldIndex(1)), QStringLiteral("紫微")));
    EXPECT_EQ(desk.Names(), (QStringList{QStringLiteral("山田花子"), QStringLiteral("佐藤～一")}));
    ASSERT_TRUE(desk.table.SetFilter(FieldName(PalaceFieldIndex(1)), QStringLiteral("O'\"")));
    EXPECT_EQ(desk.Names(), QStringList{QStringLiteral("山本太郎")});
    ASSERT_TRUE(
        desk.table.SetFilter(FieldName(PalaceFieldIndex(1)), QStringLiteral("x' OR '1'='1'; DROP TABLE nam_data; --")));
    EXPECT_EQ(desk.table.RecordCount(), 0);
    ASSERT_TRUE(desk.table.ClearFilter());
    EXPECT_EQ(desk.table.RecordCount(), 3);

    // The chart's write-back: the current record takes the fields in one post.
    desk.table.First();
    PersonTableStore store(desk.table);
    PersonChartFields fields{QStringLiteral("1965"), QStringLiteral("07:00-09:00"), {}};
    fields.mainStars[1] = QStringLiteral("天機");
    ASSERT_TRUE(store.WriteChartFields(fields)) << desk.sink.Last().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT \"生まれた時刻\" || ' ' || hubo || ' ' || version FROM nam_data "
                                 "WHERE \"氏名\" = '山田花子'")),
              QStringLiteral("07:00-09:00 天機 2"));

    // Delete keeps the record among the deleted ones; it comes back.
    ASSERT_TRUE(desk.table.FindByName(QStringLiteral("佐藤")));
    ASSERT_TRUE(desk.table.Delete());
    EXPECT_EQ(desk.Names(), (QStringList{QStringLiteral("山田花子"), QStringLiteral("山本太郎")}));
    const auto deleted = desk.table.DeletedRecords();
    ASSERT_EQ(deleted.size(), size_t(1));
    EXPECT_EQ(deleted[0].values[kFieldName], QStringLiteral("佐藤～一"));
    EXPECT_LE(qAbs(deleted[0].deletedAt.secsTo(QDateTime::currentDateTime())), 60);
    ASSERT_TRUE(desk.table.Undelete(deleted[0].number));
    EXPECT_EQ(desk.table.Value(kFieldName), QStringLiteral("佐藤～一"));
    EXPECT_TRUE(desk.table.DeletedRecords().empty());
    EXPECT_FALSE(desk.table.Undelete(deleted[0].number));
    EXPECT_TRUE(desk.sink.Last().contains(QString::number(deleted[0].number)));

    // A text the field cannot hold is refused before the server is asked.
    desk.table.SetValue(kFieldName, QString(11, QChar(0x5c71)));  // 22 Shift-JIS bytes in a 20-byte field
    EXPECT_FALSE(desk.table.Post());
    EXPECT_TRUE(desk.table.IsModified());
    desk.table.Cancel();

    // Another desk opening later sees every record; nothing was written locally.
    Desk other(Uri());
    EXPECT_EQ(other.Names(),
              (QStringList{QStringLiteral("山田花子"), QStringLiteral("山本太郎"), QStringLiteral("佐藤～一")}));
    EXPECT_EQ(other.table.Record(0).values[PalaceFieldIndex(1)], QStringLiteral("天機"));
}

const BirthTimeEntry kNewYork{QStringLiteral("10:40"),
                              QStringLiteral("ニューヨーク（New York, United States of America）"), -74.00597,
                              QStringLiteral("America/New_York"), TimeCorrection::kTrue};
const BirthTimeEntry kSapporo{QStringLiteral("05:50"), QStringLiteral("北海道 札幌市"), 141.3472, {}, std::nullopt};

TEST_F(ServerRegister, ExactTimesAreKeptAndComeBackWithADeletedRecord) {
    Desk desk(Uri());
    desk.Add(QStringLiteral("山田花子"), QStringLiteral("1972"));
    desk.Add(QStringLiteral("山本太郎"), QStringLiteral("1970"));
    BirthTimeTable times;
    times.Attach(desk.table);
    const qint64 hanako = desk.table.Record(0).rowId;
    ASSERT_EQ(times.Write(hanako, kNewYork).toStdString(), "");  // as text, so that a refusal reads
    EXPECT_EQ(times.Read(hanako), std::optional(kNewYork));
    ASSERT_EQ(times.Write(hanako, kSapporo).toStdString(), "");  // replaced
    EXPECT_EQ(times.Read(hanako), std::optional(kSapporo));
    ASSERT_EQ(times.Write(hanako, kNewYork), QString());
    EXPECT_FALSE(times.Read(desk.table.Record(1).rowId));
    EXPECT_TRUE(times.Write(999, kSapporo).contains(QStringLiteral("名簿にありません")));
    BirthTimeEntry bad = kSapporo;
    bad.clockTime = QStringLiteral("25:00");
    EXPECT_TRUE(times.Write(hanako, bad).contains(QStringLiteral("時刻として読めません")));

    // Another desk reads the same time.
    Desk other(Uri());
    BirthTimeTable otherTimes;
    otherTimes.Attach(other.table);
    EXPECT_EQ(otherTimes.Read(hanako), std::optional(kNewYork));

    // Deleted: the time waits with the record and comes back with it.
    ASSERT_TRUE(desk.table.First());
    ASSERT_TRUE(desk.table.Delete());
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM birth_time")), QStringLiteral("0"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT clock_time FROM birth_time_deleted")), QStringLiteral("10:40"));
    const auto deleted = desk.table.DeletedRecords();
    ASSERT_EQ(deleted.size(), size_t(1));
    ASSERT_TRUE(desk.table.Undelete(deleted[0].number)) << desk.sink.Last().toStdString();
    const qint64 back = desk.table.Record(desk.table.CurrentRow()).rowId;
    EXPECT_NE(back, hanako);
    EXPECT_EQ(times.Read(back), std::optional(kNewYork));
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM birth_time_deleted")), QStringLiteral("0"));

    // A record deleted at another desk takes its time along (nothing left behind).
    Sql(QStringLiteral("DELETE FROM nam_data WHERE id = %1").arg(back));
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM birth_time")), QStringLiteral("0"));

    // Records appended together, each with its own time or none, all or nothing.
    QString why;
    PersonValues a, b;
    a[kFieldName] = QStringLiteral("甲");
    b[kFieldName] = QStringLiteral("乙");
    ASSERT_TRUE(desk.table.AppendRecords({a, b, a}, &why, {}, {kSapporo, std::nullopt, kNewYork})) << why.toStdString();
    RecordBirthTimes read;
    ASSERT_TRUE(desk.table.ReadAllRecords(&why, &read)) << why.toStdString();
    EXPECT_EQ(read, (RecordBirthTimes{std::nullopt, kSapporo, std::nullopt, kNewYork}));
    ASSERT_EQ(times.Remove(desk.table.Record(desk.table.RecordCount() - 1).rowId), QString());
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM birth_time")), QStringLiteral("1"));
}

// A database made by an earlier version has no tables of exact times: a desk
// that may write makes them; where it cannot (the administrator owns the
// tables), the register still opens and only the exact time is refused.
TEST_F(ServerRegister, ADatabaseOfAnEarlierVersionGainsTheExactTimeTables) {
    {
        Desk first(Uri());
        first.Add(QStringLiteral("山田花子"), QStringLiteral("1972"));
        first.Add(QStringLiteral("山本太郎"), QStringLiteral("1970"));
        ASSERT_TRUE(first.table.Delete());
    }
    Sql(QStringLiteral("DROP TABLE birth_time_deleted, birth_time"));
    {
        RecordingSink sink;
        PersonTable reader(sink);
        ASSERT_TRUE(reader.OpenServer(Connection(Uri()), PersonTable::OpenMode::ReadOnly))
            << reader.Unavailability().toStdString();
        BirthTimeTable times;
        times.Attach(reader);
        EXPECT_FALSE(times.Read(reader.Record(0).rowId));
        EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename LIKE 'birth_time%'")),
                  QStringLiteral("0"));
    }
    Desk desk(Uri());
    ASSERT_TRUE(desk.table.IsWritable()) << desk.table.Unavailability().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename LIKE 'birth_time%'")),
              QStringLiteral("2"));
    BirthTimeTable times;
    times.Attach(desk.table);
    ASSERT_EQ(times.Write(desk.table.Record(0).rowId, kSapporo), QString());
    // The record deleted by the earlier version comes back, without a time.
    const auto deleted = desk.table.DeletedRecords();
    ASSERT_EQ(deleted.size(), size_t(1));
    ASSERT_TRUE(desk.table.Undelete(deleted[0].number)) << desk.sink.Last().toStdString();
    EXPECT_FALSE(times.Read(desk.table.Record(desk.table.CurrentRow()).rowId));
    EXPECT_EQ(times.Read(desk.table.Record(0).rowId), std::optional(kSapporo));
}

// The profile chosen for a client: shared by the desks, kept with a deleted
// record and back with it, carried by an import, erased with the client.
TEST_F(ServerRegister, ProfilesAreKeptAndComeBackWithADeletedRecord) {
    const QString zhongzhou = QStringLiteral("中州派");
    Desk desk(Uri());
    desk.Add(QStringLiteral("山田花子"), QStringLiteral("1972"));
    desk.Add(QStringLiteral("山本太郎"), QStringLiteral("1970"));
    const qint64 hanako = desk.table.Record(0).rowId;
    ASSERT_TRUE(desk.table.WriteProfile(hanako, QStringLiteral("飛星派")).Ok());
    PersonWrite w = desk.table.WriteProfile(hanako, zhongzhou);  // replaced
    ASSERT_TRUE(w.Ok()) << w.why.toStdString();
    EXPECT_EQ(desk.table.Profile(desk.table.Record(1).rowId), QString());
    EXPECT_EQ(desk.table.WriteProfile(999, zhongzhou).result, PersonWrite::Result::Stale);
    EXPECT_TRUE(desk.table.WriteProfile(hanako, QStringLiteral("a[b]")).why.contains(QStringLiteral("使えません")));
    Desk other(Uri());
    EXPECT_EQ(other.table.Profile(hanako), zhongzhou);

    ASSERT_TRUE(desk.table.First());
    ASSERT_TRUE(desk.table.Delete());
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM person_profile")), QStringLiteral("0"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT profile FROM person_profile_deleted")), zhongzhou);
    const auto deleted = desk.table.DeletedRecords();
    ASSERT_EQ(deleted.size(), size_t(1));
    ASSERT_TRUE(desk.table.Undelete(deleted[0].number)) << desk.sink.Last().toStdString();
    const qint64 back = desk.table.Record(desk.table.CurrentRow()).rowId;
    EXPECT_EQ(desk.table.Profile(back), zhongzhou);
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM person_profile_deleted")), QStringLiteral("0"));

    QString why;
    ASSERT_TRUE(desk.table.AppendRecords({Person(QStringLiteral("甲")), Person(QStringLiteral("乙"))}, &why, {}, {},
                                         {QString(), QStringLiteral("よその流派")}))
        << why.toStdString();
    RecordProfiles profiles;
    ASSERT_TRUE(desk.table.ReadAllRecords(&why, nullptr, &profiles)) << why.toStdString();
    EXPECT_EQ(profiles, (RecordProfiles{QString(), zhongzhou, QString(), QStringLiteral("よその流派")}));

    const std::optional<ClientData> data = ReadClientData(desk.table, back, &why);
    ASSERT_TRUE(data) << why.toStdString();
    EXPECT_EQ(data->profile, zhongzhou);
    const std::optional<ClientErasure> plan = PlanClientErasure(desk.table, back, &why);
    ASSERT_TRUE(plan) << why.toStdString();
    w = EraseClient(desk.table, *plan);
    ASSERT_TRUE(w.Ok()) << w.why.toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT string_agg(profile, ',') FROM person_profile")), QStringLiteral("よその流派"));
}

// A database made by an earlier version has no tables of profiles: a
// read-only desk reads none and makes nothing, a desk that may write makes
// them.
TEST_F(ServerRegister, ADatabaseOfAnEarlierVersionGainsTheProfileTables) {
    {
        Desk first(Uri());
        first.Add(QStringLiteral("山田花子"), QStringLiteral("1972"));
    }
    Sql(QStringLiteral("DROP TABLE person_profile_deleted, person_profile"));
    {
        RecordingSink sink;
        PersonTable reader(sink);
        ASSERT_TRUE(reader.OpenServer(Connection(Uri()), PersonTable::OpenMode::ReadOnly));
        EXPECT_EQ(reader.Profile(reader.Record(0).rowId), QString());
        RecordProfiles profiles;
        QString why;
        ASSERT_TRUE(reader.ReadAllRecords(&why, nullptr, &profiles)) << why.toStdString();
        EXPECT_FALSE(reader.WriteProfile(reader.Record(0).rowId, QStringLiteral("中州派")).Ok());
        EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename LIKE 'person_profile%'")),
                  QStringLiteral("0"));
    }
    Desk desk(Uri());
    ASSERT_TRUE(desk.table.IsWritable()) << desk.table.Unavailability().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM pg_tables WHERE tablename LIKE 'person_profile%'")),
              QStringLiteral("2"));
    const PersonWrite w = desk.table.WriteProfile(desk.table.Record(0).rowId, QStringLiteral("中州派"));
    EXPECT_TRUE(w.Ok()) << w.why.toStdString();
}

TEST_F(ServerRegister, WithoutRightsOnTheExactTimesTheRegisterStillWorks) {
    Sql(ServerPersonStorage::TableScript());  // as the administrator, who owns the tables
    Sql(
        QStringLiteral("DROP TABLE birth_time_deleted, birth_time; "
                       "GRANT SELECT, INSERT, UPDATE, DELETE ON nam_data, nam_data_deleted TO zelvara; "
                       "GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO zelvara"));
    Desk desk(Uri());
    ASSERT_TRUE(desk.table.IsWritable()) << desk.table.Unavailability().toStdString();
    desk.Add(QStringLiteral("山田花子"), QStringLiteral("1972"));
    BirthTimeTable times;
    times.Attach(desk.table);
    const QString refused = times.Write(desk.table.Record(0).rowId, kSapporo);
    EXPECT_TRUE(refused.contains(QStringLiteral("出生時刻と出生地は、名簿のサーバー"))) << refused.toStdString();
    EXPECT_TRUE(refused.contains(QStringLiteral("register-postgresql.sql"))) << refused.toStdString();
    ASSERT_TRUE(desk.table.Delete());
    ASSERT_TRUE(desk.table.Undelete(desk.table.DeletedRecords().at(0).number));
    EXPECT_EQ(desk.Names(), QStringList{QStringLiteral("山田花子")});
}

TEST_F(ServerRegister, TwoDesksEditingOneRecordNeverOverwriteEachOther) {
    Desk first(Uri());
    first.Add(QStringLiteral("山田花子"), QStringLiteral("1965"));
    Desk second(Uri());
    ASSERT_TRUE(second.table.IsWritable()) << "no lock keeps a second desk from writing";
    ASSERT_EQ(second.table.RecordCount(), 1);

    first.table.SetValue(kFieldName, QStringLiteral("山田花江"));
    ASSERT_TRUE(first.table.Post());

    second.table.SetValue(kFieldDay, QStringLiteral("13"));
    second.table.SetValue(kFieldSex, QStringLiteral("男"));
    EXPECT_FALSE(second.table.Post());
    ASSERT_EQ(second.asked.size(), 1);
    EXPECT_TRUE(second.asked[0].contains(QStringLiteral("別の机で変更されています（氏名）")))
        << second.asked[0].toStdString();
    // Not discarded: the edit stays in the form.
    EXPECT_TRUE(second.table.IsModified());
    EXPECT_EQ(second.table.Value(kFieldDay), QStringLiteral("13"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT \"氏名\" || ' ' || \"生まれた日\" || ' ' || \"性別\" FROM nam_data")),
              QStringLiteral("山田花江 7 女"));

    // Discarded: the record is reloaded as the first desk left it.
    second.discard = true;
    EXPECT_FALSE(second.table.Post());
    EXPECT_FALSE(second.table.IsModified());
    EXPECT_EQ(second.table.Value(kFieldName), QStringLiteral("山田花江"));
    EXPECT_EQ(second.table.Value(kFieldDay), QStringLiteral("7"));
    // Now it writes over the record as read.
    second.table.SetValue(kFieldDay, QStringLiteral("13"));
    EXPECT_TRUE(second.table.Post()) << second.sink.Last().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT \"氏名\" || ' ' || \"生まれた日\" || ' ' || version FROM nam_data")),
              QStringLiteral("山田花江 13 3"));

    // A change made with another tool counts too: the table's trigger moves
    // the version on, so the desk's post is refused rather than writing over it.
    ASSERT_TRUE(first.table.ClearFilter());  // reads the record as the second desk left it
    Sql(QStringLiteral("UPDATE nam_data SET \"性別\" = '男'"));
    first.table.SetValue(kFieldDay, QStringLiteral("14"));
    EXPECT_FALSE(first.table.Post());
    ASSERT_EQ(first.asked.size(), 1);
    EXPECT_TRUE(first.asked[0].contains(QStringLiteral("変更されています（性別）"))) << first.asked[0].toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT \"生まれた日\" || ' ' || version FROM nam_data")), QStringLiteral("13 4"));
}

TEST_F(ServerRegister, ARecordDeletedAtAnotherDeskIsNeitherWrittenNorDeletedAgain) {
    Desk first(Uri());
    first.Add(QStringLiteral("山田花子"), QStringLiteral("1965"));
    first.Add(QStringLiteral("山本太郎"), QStringLiteral("1970"));
    Desk second(Uri());
    ASSERT_TRUE(first.table.First());
    ASSERT_TRUE(first.table.Delete());

    second.table.First();
    EXPECT_FALSE(second.table.Delete());
    EXPECT_TRUE(second.sink.Last().contains(QStringLiteral("別の机で削除されています")))
        << second.sink.Last().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data_deleted")), QStringLiteral("1"));

    second.table.SetValue(kFieldDay, QStringLiteral("20"));
    EXPECT_FALSE(second.table.Post());
    ASSERT_EQ(second.asked.size(), 1);
    EXPECT_TRUE(second.asked[0].contains(QStringLiteral("別の机で削除されています")));
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) || ' ' || min(\"氏名\") FROM nam_data")),
              QStringLiteral("1 山本太郎"));
}

// Two imports at once would each find the records missing and add them both;
// while one desk imports or brings records back, another is refused and told
// who is at work, and nothing is written.
TEST_F(ServerRegister, OneImportOrUndeleteAtATime) {
    Desk first(Uri());
    Desk second(Uri());
    first.Add(QStringLiteral("山田花子"), QStringLiteral("1965"));
    ASSERT_TRUE(first.table.Delete());
    const QString deletedNumber = Sql(QStringLiteral("SELECT \"番号\" FROM nam_data_deleted"));
    const std::vector<ImportItem> items{{2, Person(QStringLiteral("佐藤一郎"), QStringLiteral("1970")), {}}};

    ASSERT_TRUE(first.table.TakeExclusiveWork().taken);
    const ImportReport refused = ImportRecords(second.table, items, {});
    EXPECT_FALSE(refused.written);
    const QString program = QCoreApplication::applicationName();
    EXPECT_TRUE(refused.heldBy.contains(program)) << refused.heldBy.toStdString();
    EXPECT_TRUE(refused.error.contains(QStringLiteral("読み込みか削除したデータの復元をしています")))
        << refused.error.toStdString();
    EXPECT_FALSE(second.table.Undelete(deletedNumber.toLongLong()));
    EXPECT_TRUE(second.sink.Last().contains(program)) << second.sink.Last().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data")), QStringLiteral("0"));
    // The command line stops with exit code 3 and names the holder.
    QTemporaryDir home;
    QFile csv(home.filePath("add.csv"));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(
        QStringLiteral("氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別\r\n乙,1959,5,7,05:00-07:00,男\r\n")
            .toUtf8());
    csv.close();
    const CliRun cli = Cli(home.path(), {"import", "--csv", csv.fileName(), "--register", Uri()});
    EXPECT_EQ(cli.code, 3) << cli.err.toStdString();
    EXPECT_TRUE(cli.err.contains(program)) << cli.err.toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data")), QStringLiteral("0"));

    // The holder itself goes on with its work, and holds on after it.
    EXPECT_TRUE(ImportRecords(first.table, items, {}).written);
    EXPECT_FALSE(second.table.TakeExclusiveWork().taken);

    first.table.ReleaseExclusiveWork();
    const ImportReport again = ImportRecords(second.table, items, {});
    EXPECT_TRUE(again.error.isEmpty()) << again.error.toStdString();
    EXPECT_EQ(again.duplicates, 1);
    EXPECT_TRUE(second.table.Undelete(deletedNumber.toLongLong())) << second.sink.Last().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM nam_data")), QStringLiteral("2"));
    // Taken and released by each piece of work: free again.
    EXPECT_TRUE(first.table.TakeExclusiveWork().taken);
    first.table.ReleaseExclusiveWork();
}

TEST_F(ServerRegister, ATableMadeByTheAdministratorsScriptIsUsedAsItIs) {
    const QString script = ServerPersonStorage::TableScript();
    ASSERT_FALSE(script.isEmpty());
    QFile shipped(QStringLiteral(ZELVARA_SQL_SCRIPT));
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(shipped.readAll()), script) << "the program makes the tables from the shipped script";
    Sql(script);  // as the administrator, who owns the tables
    Sql(QStringLiteral("INSERT INTO nam_data (\"氏名\") VALUES ('管理者')"));
    {
        Desk desk(Uri());
        EXPECT_FALSE(desk.table.IsOpen()) << "no rights yet";
        EXPECT_TRUE(desk.table.Unavailability().contains(QStringLiteral("読む権限がありません")))
            << desk.table.Unavailability().toStdString();
    }
    Sql(QStringLiteral("GRANT SELECT ON nam_data, nam_data_deleted TO zelvara"));
    {
        Desk desk(Uri());
        EXPECT_EQ(desk.table.access(), PersonTable::Access::ReadOnly);
        EXPECT_TRUE(desk.table.Unavailability().contains(QStringLiteral("書き換える権限がありません")));
        EXPECT_EQ(desk.Names(), QStringList{QStringLiteral("管理者")});
    }
    Sql(
        QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON nam_data, nam_data_deleted TO zelvara; "
                       "GRANT USAGE ON ALL SEQUENCES IN SCHEMA public TO zelvara"));
    Desk desk(Uri());
    ASSERT_TRUE(desk.table.IsWritable()) << desk.table.Unavailability().toStdString();
    desk.Add(QStringLiteral("山田花子"), QStringLiteral("1965"));
    EXPECT_EQ(desk.Names(), (QStringList{QStringLiteral("管理者"), QStringLiteral("山田花子")}));
}

TEST_F(ServerRegister, ATableOfOtherColumnsIsReportedAndLeftAlone) {
    Sql(
        QStringLiteral("CREATE TABLE nam_data (id serial PRIMARY KEY, name text); "
                       "CREATE TABLE nam_data_deleted (x int); INSERT INTO nam_data (name) VALUES ('keep')"));
    Desk desk(Uri());
    EXPECT_FALSE(desk.table.IsOpen());
    EXPECT_TRUE(desk.table.Unavailability().contains(QStringLiteral("項目が名簿の項目と違います")))
        << desk.table.Unavailability().toStdString();
    EXPECT_EQ(Sql(QStringLiteral("SELECT name FROM nam_data")), QStringLiteral("keep"));
}

TEST_F(ServerRegister, AReadOnlyOpeningMakesNothingAndWritesNothing) {
    {
        RecordingSink sink;
        PersonTable table(sink);
        EXPECT_FALSE(table.OpenServer(Connection(Uri()), PersonTable::OpenMode::ReadOnly));
        EXPECT_TRUE(table.Unavailability().contains(QStringLiteral("名簿の表がありません")));
    }
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM information_schema.tables WHERE table_name = 'nam_data'")),
              QStringLiteral("0"));
    Desk writer(Uri());
    writer.Add(QStringLiteral("山田花子"), QStringLiteral("1965"));
    RecordingSink sink;
    PersonTable reader(sink);
    ASSERT_TRUE(reader.OpenServer(Connection(Uri()), PersonTable::OpenMode::ReadOnly));
    EXPECT_EQ(reader.RecordCount(), 1);
    EXPECT_FALSE(reader.IsWritable());
}

TEST_F(ServerRegister, AWrongPasswordIsRefusedAndARightOneOpens) {
    Sql(QStringLiteral("GRANT ALL ON SCHEMA public TO zelvara_pw"));
    const QString uri = Server().Uri(database_, QStringLiteral("zelvara_pw"));
    {
        RecordingSink sink;
        PersonTable table(sink);
        EXPECT_FALSE(table.OpenServer(Connection(uri)));
        EXPECT_TRUE(table.Unavailability().contains(QStringLiteral("~/.pgpass")))
            << table.Unavailability().toStdString();
    }
    {
        RecordingSink sink;
        PersonTable table(sink);
        QStringList prompts;
        table.SetPasswordQuestion([&](const QString& prompt) -> std::optional<QString> {
            prompts << prompt;
            return QStringLiteral("wrong");
        });
        EXPECT_FALSE(table.OpenServer(Connection(uri)));
        EXPECT_EQ(prompts.size(), 3);
        EXPECT_TRUE(prompts.last().contains(QStringLiteral("パスワードが違います")));
        EXPECT_TRUE(table.Unavailability().contains(QStringLiteral("password authentication failed")))
            << table.Unavailability().toStdString();
    }
    RecordingSink sink;
    PersonTable table(sink);
    table.SetPasswordQuestion([](const QString&) -> std::optional<QString> { return QStringLiteral("secret"); });
    EXPECT_TRUE(table.OpenServer(Connection(uri))) << table.Unavailability().toStdString();
}

TEST(ServerRegisterAway, AnUnreachableServerLeavesTheRegisterClosedWithTheReason) {
    RecordingSink sink;
    PersonTable table(sink);
    EXPECT_FALSE(table.OpenServer(
        Connection(QStringLiteral("postgresql://zelvara@/zelvara?host=/nonexistent-folder&port=5999"))));
    EXPECT_FALSE(table.IsOpen());
    EXPECT_TRUE(table.Unavailability().contains(QStringLiteral("サーバーに接続できません")))
        << table.Unavailability().toStdString();
    EXPECT_TRUE(table.Unavailability().contains(QStringLiteral("鑑定と印刷はできます")));
    // The entry boxes still work on a closed register: nothing is written, nothing fails.
    table.SetValue(kFieldName, QStringLiteral("山田"));
    EXPECT_TRUE(table.Post());
}

TEST(ServerRegisterStopped, AServerStoppedInTheMiddleOfWorkLosesNoEdit) {
    ZELVARA_PG_SERVER_OR_SKIP(server);
    ASSERT_TRUE(server->CreateDatabase(QStringLiteral("away")));
    Desk desk(server->Uri(QStringLiteral("away")));
    desk.Add(QStringLiteral("山田花子"), QStringLiteral("1965"));

    desk.table.SetValue(kFieldDay, QStringLiteral("21"));
    ASSERT_TRUE(server->Stop());
    EXPECT_FALSE(desk.table.Post());
    ASSERT_EQ(desk.asked.size(), 1);
    EXPECT_TRUE(desk.asked[0].contains(QStringLiteral("接続"))) << desk.asked[0].toStdString();
    EXPECT_TRUE(desk.table.IsModified());
    EXPECT_EQ(desk.table.Value(kFieldDay), QStringLiteral("21"));
    // Moving away is refused too, so the edit is not dropped on the way.
    desk.table.Append();
    EXPECT_EQ(desk.table.Value(kFieldDay), QStringLiteral("21"));

    ASSERT_TRUE(server->Start());
    EXPECT_TRUE(desk.table.Post()) << desk.sink.Last().toStdString();
    QString out;
    ASSERT_TRUE(server->Exec(QStringLiteral("SELECT \"生まれた日\" FROM nam_data"), QStringLiteral("away"), &out));
    EXPECT_EQ(out.trimmed(), QStringLiteral("21"));
    // Reading after a restart reconnects without a word.
    ASSERT_TRUE(server->Restart());
    EXPECT_TRUE(desk.table.SetFilter(FieldName(kFieldDay), QStringLiteral("21")));
    EXPECT_EQ(desk.table.RecordCount(), 1);
}

}  // namespace
