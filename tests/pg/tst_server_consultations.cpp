// The consultation record on a PostgreSQL server, beside the register: two
// desks never overwrite each other's edits, a deleted client's entries go and
// come back with it, search finds two or more characters of Japanese (pg_trgm
// where the database has it), the agenda, the command line with --register,
// and a database of an earlier version gaining the tables. A real server.
#include "common/pg_connection.h"
#include "register/consultation_storage.h"
#include "register/person_table.h"
#include "tests/pg/test_pg_server.h"
#include "tests/recording_sink.h"

#include <QProcess>
#include <QTemporaryDir>

using namespace zelvara;

namespace {

PgConnection Connection(const QString& uri) {
    QString why;
    const auto c = ParsePgUri(uri, &why);
    EXPECT_TRUE(c.has_value()) << why.toStdString();
    return c.value_or(PgConnection{});
}

struct Desk {
    RecordingSink sink;
    PersonTable table{sink};
    std::unique_ptr<ConsultationStorage> book;

    explicit Desk(const QString& uri) {
        table.OpenServer(Connection(uri));
        QString why;
        book = OpenConsultations(table, &why);
        EXPECT_TRUE(book) << why.toStdString();
    }
    qint64 AddClient(const QString& name) {
        table.Append();
        table.SetValue(kFieldName, name);
        table.SetValue(kFieldYear, QStringLiteral("1972"));
        table.SetValue(kFieldMonth, QStringLiteral("4"));
        table.SetValue(kFieldDay, QStringLiteral("12"));
        table.SetValue(kFieldTime, QStringLiteral("05:00-07:00"));
        table.SetValue(kFieldSex, QStringLiteral("女"));
        EXPECT_TRUE(table.Post()) << sink.Last().toStdString();
        return table.Record(table.CurrentRow()).rowId;
    }
    ConsultationEntry Add(qint64 client, const QString& date, const QString& theme, const QString& notes = {}) {
        ConsultationEntry e;
        e.client = client;
        e.date = *ParseConsultationDate(date);
        e.theme = theme;
        e.notes = notes;
        e.reading = QStringLiteral("大限3 流年2027");
        e.fee = 10000;
        e.paid = true;
        const PersonWrite w = book->Insert(e);
        EXPECT_TRUE(w.Ok()) << w.why.toStdString();
        e.id = w.rowId;
        e.version = w.version;
        return e;
    }
};

using ServerConsultations = PgDatabaseTest;

TEST_F(ServerConsultations, TwoDesksNeverOverwriteEachOthersEdits) {
    Desk one(Uri());
    ASSERT_TRUE(one.book);
    const qint64 client = one.AddClient(QStringLiteral("山田花子"));
    const ConsultationEntry e = one.Add(client, QStringLiteral("2027-04-12"), QStringLiteral("仕事"));
    Desk two(Uri());
    QString why;
    const ConsultationEntry seenByTwo = *two.book->One(e.id, &why);
    EXPECT_EQ(seenByTwo, e);  // every field as written, the paid flag and the fee too

    ConsultationEntry changed = e;
    changed.notes = QStringLiteral("一つ目の机で追記");
    const PersonWrite w = one.book->Update(e, changed);
    ASSERT_TRUE(w.Ok()) << w.why.toStdString();
    EXPECT_EQ(w.version, e.version + 1);  // the table's trigger counts
    ConsultationEntry late = seenByTwo;
    late.notes = QStringLiteral("二つ目の机で追記");
    EXPECT_EQ(two.book->Update(seenByTwo, late).result, PersonWrite::Result::Stale);
    EXPECT_EQ(two.book->Remove(seenByTwo).result, PersonWrite::Result::Stale);
    EXPECT_EQ(one.book->One(e.id, &why)->notes, QStringLiteral("一つ目の机で追記"));

    changed.version = w.version;
    ASSERT_TRUE(two.book->Remove(changed).Ok());
    const auto deleted = *one.book->Deleted(&why);
    ASSERT_EQ(deleted.size(), size_t(1));
    EXPECT_EQ(deleted[0].clientName, QStringLiteral("山田花子"));
    ASSERT_TRUE(one.book->Restore(deleted[0].number).Ok());
    EXPECT_EQ(*two.book->One(e.id, &why), changed);
    EXPECT_TRUE(two.book->Restore(deleted[0].number).why.contains(QStringLiteral("ありません")));
}

TEST_F(ServerConsultations, ADeletedClientsEntriesGoAndComeBackWithIt) {
    Desk desk(Uri());
    ASSERT_TRUE(desk.book);
    const qint64 client = desk.AddClient(QStringLiteral("山田花子"));
    const qint64 other = desk.AddClient(QStringLiteral("佐藤一郎"));
    const ConsultationEntry kept = desk.Add(client, QStringLiteral("2027-04-12"), QStringLiteral("仕事"));
    const ConsultationEntry alone = desk.Add(client, QStringLiteral("2027-04-13"), QStringLiteral("健康"));
    desk.Add(other, QStringLiteral("2027-04-14"), QStringLiteral("結婚"));
    ASSERT_TRUE(desk.book->Remove(alone).Ok());
    // Another tool cannot remove the client from under its entries.
    QString refused;
    EXPECT_FALSE(Server().Exec(QStringLiteral("DELETE FROM nam_data WHERE id = %1").arg(client), database_, &refused));
    EXPECT_TRUE(refused.contains(QStringLiteral("consultation_person_fkey"))) << refused.toStdString();

    ASSERT_TRUE(desk.table.MoveTo(0));
    ASSERT_TRUE(desk.table.Delete()) << desk.sink.Last().toStdString();
    QString why;
    EXPECT_TRUE(desk.book->ForClient(client, &why)->empty());
    auto deleted = *desk.book->Deleted(&why);
    ASSERT_EQ(deleted.size(), size_t(2));
    for (const auto& d : deleted)
        if (d.entry.id == alone.id)
            EXPECT_TRUE(desk.book->Restore(d.number).why.contains(QStringLiteral("人物は削除されています")));

    ASSERT_TRUE(desk.table.Undelete(desk.table.DeletedRecords().front().number)) << desk.sink.Last().toStdString();
    const qint64 back = desk.table.Record(desk.table.CurrentRow()).rowId;
    const auto entries = *desk.book->ForClient(back, &why);
    ASSERT_EQ(entries.size(), size_t(1));
    EXPECT_EQ(entries[0].id, kept.id);
    EXPECT_EQ(entries[0].theme, QStringLiteral("仕事"));
    deleted = *desk.book->Deleted(&why);
    ASSERT_EQ(deleted.size(), size_t(1));
    EXPECT_EQ(deleted[0].entry.client, back);
    ASSERT_TRUE(desk.book->Restore(deleted[0].number).Ok());
    EXPECT_EQ(desk.book->ForClient(back, &why)->size(), size_t(2));
}

TEST_F(ServerConsultations, SearchAndAgendaAcrossClients) {
    Desk desk(Uri());
    ASSERT_TRUE(desk.book);
    // The administrator's script made pg_trgm's index where the server has it.
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE indexname = 'consultation_text'")),
              Sql(QStringLiteral("SELECT count(*) FROM pg_extension WHERE extname = 'pg_trgm'")));
    const qint64 a = desk.AddClient(QStringLiteral("山田花子"));
    const qint64 b = desk.AddClient(QStringLiteral("佐藤一郎"));
    ConsultationEntry first = desk.Add(a, QStringLiteral("2027-04-12"), QStringLiteral("仕事"),
                                       QStringLiteral("転職の時期は来年の春。上司との関係に注意。"));
    desk.Add(b, QStringLiteral("2027-05-01"), QStringLiteral("結婚"), QStringLiteral("来年は縁談の話が出る。"));
    QString why;
    auto names = [&](const QString& q) {
        QStringList found;
        for (const ConsultationListing& l : desk.book->Search(q, 50, &why).value_or(std::vector<ConsultationListing>{}))
            found << l.clientName + QLatin1Char(':') + l.passage;
        return found;
    };
    EXPECT_EQ(names(QStringLiteral("上司との")),
              QStringList{QStringLiteral("山田花子:転職の時期は来年の春。上司との関係に注意。")});
    EXPECT_EQ(names(QStringLiteral("来年")),
              (QStringList{QStringLiteral("佐藤一郎:来年は縁談の話が出る。"),
                           QStringLiteral("山田花子:転職の時期は来年の春。上司との関係に注意。")}));
    EXPECT_TRUE(names(QStringLiteral("100%")).isEmpty());
    EXPECT_EQ(names(QStringLiteral("春。")).size(), 1);  // two characters read every entry
    desk.Add(b, QStringLiteral("2027-05-02"), QStringLiteral("仕事"), QStringLiteral("返事はOK"));
    EXPECT_EQ(names(QStringLiteral("ok")), QStringList{QStringLiteral("佐藤一郎:返事はOK")});
    EXPECT_TRUE(names(QStringLiteral("来")).isEmpty());
    EXPECT_TRUE(why.contains(QStringLiteral("2 文字以上")));

    ConsultationEntry booked = first;
    booked.nextDate = QDate(2027, 5, 10);
    booked.nextTime = QStringLiteral("10:00");
    ASSERT_TRUE(desk.book->Update(first, booked).Ok());
    const auto agenda = *desk.book->Agenda(QDate(2027, 5, 4), 7, &why);
    ASSERT_EQ(agenda.size(), size_t(1));
    EXPECT_EQ(agenda[0].clientName, QStringLiteral("山田花子"));
    EXPECT_TRUE(desk.book->Agenda(QDate(2027, 5, 11), 7, &why)->empty());
}

TEST_F(ServerConsultations, ADatabaseOfAnEarlierVersionGainsTheTables) {
    {
        Desk first(Uri());
        first.AddClient(QStringLiteral("山田花子"));
    }
    Sql(QStringLiteral("DROP TABLE consultation_deleted, consultation"));
    {
        RecordingSink sink;
        PersonTable reader(sink);
        ASSERT_TRUE(reader.OpenServer(Connection(Uri()), PersonTable::OpenMode::ReadOnly));
        QString why;
        EXPECT_FALSE(OpenConsultations(reader, &why));
        EXPECT_TRUE(why.contains(QStringLiteral("まだ鑑定記録がありません"))) << why.toStdString();
    }
    Desk desk(Uri());
    ASSERT_TRUE(desk.book);
    desk.Add(desk.table.Record(0).rowId, QStringLiteral("2027-04-12"), QStringLiteral("仕事"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM consultation")), QStringLiteral("1"));
}

TEST_F(ServerConsultations, TheCommandLineWorksOnTheServer) {
    {
        Desk desk(Uri());
        desk.AddClient(QStringLiteral("山田花子"));
    }
    auto cli = [&](QStringList args) {
        QTemporaryDir home;
        QProcess p;
        p.start(QStringLiteral(ZELVARA_CLI),
                QStringList{QStringLiteral("notes")} + args +
                    QStringList{QStringLiteral("--register"), Uri(), QStringLiteral("--home"), home.path()});
        p.waitForFinished(60000);
        return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
    };
    auto [code, out] =
        cli({QStringLiteral("add"), QStringLiteral("--name"), QStringLiteral("山田花子"), QStringLiteral("--date"),
             QStringLiteral("2027-04-12"), QStringLiteral("--notes"), QStringLiteral("職場の人間関係"),
             QStringLiteral("--next-date"), QStringLiteral("2027-05-01")});
    ASSERT_EQ(code, 0) << out.toStdString();
    std::tie(code, out) = cli({QStringLiteral("search"), QStringLiteral("人間")});
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(out.contains(QStringLiteral("山田花子"))) << out.toStdString();
    std::tie(code, out) = cli({QStringLiteral("agenda"), QStringLiteral("--from"), QStringLiteral("2027-05-01")});
    EXPECT_TRUE(out.contains(QStringLiteral("2027-05-01\t山田花子"))) << out.toStdString();
    std::tie(code, out) = cli({QStringLiteral("edit"), QStringLiteral("1"), QStringLiteral("--theme"),
                               QStringLiteral("仕事"), QStringLiteral("--expect-version"), QStringLiteral("7")});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(out.contains(QStringLiteral("別のところで変更"))) << out.toStdString();
}

}  // namespace
