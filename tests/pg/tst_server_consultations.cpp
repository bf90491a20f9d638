// The consultation record on a PostgreSQL server, beside the register: two
// desks never overwrite each other's edits, a deleted client's entries go and
// come back with it, search finds two or more characters of Japanese (pg_trgm
// where the database has it), the agenda, the command line with --register,
// and a database of an earlier version gaining the tables. A real server.
#include "common/pg_connection.h"
#include "register/client_erasure.h"
#include "register/consultation_storage.h"
#include "register/person_table.h"
#include "tests/pg/test_pg_server.h"
#include "tests/recording_sink.h"

#include <QProcess>
#include <QRandomGenerator>
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
    for (const auto& d : deleted) {
        if (d.entry.id == alone.id) {
            EXPECT_TRUE(desk.book->Restore(d.number).why.contains(QStringLiteral("人物は削除されています")));
        }
    }

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
    EXPECT_EQ(names(QStringLiteral("春。")).size(), 1);  // two characters: the index of character pairs
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

// The same entries in a register file and on the server give the same
// results for every kind of query: two characters (through the index of
// character pairs on the server, with a limit that the newest entries fill
// and one they do not), Latin letters in any case, three characters and more.
TEST_F(ServerConsultations, SearchGivesTheFilesResultsOnTheServer) {
    Desk server(Uri());
    ASSERT_TRUE(server.book);
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE indexname = 'consultation_bigrams'")),
              QStringLiteral("1"));
    QTemporaryDir dir;
    RecordingSink sink;
    PersonTable fileTable(sink);
    ASSERT_TRUE(fileTable.Open(dir.path()));
    QString why;
    auto fileBook = OpenConsultations(fileTable, &why);
    ASSERT_TRUE(fileBook) << why.toStdString();
    const QStringList names{QStringLiteral("山田花子"), QStringLiteral("佐藤一郎"), QStringLiteral("鈴木次郎")};
    std::vector<qint64> serverIds, fileIds;
    for (const QString& name : names) {
        serverIds.push_back(server.AddClient(name));
        fileTable.Append();
        fileTable.SetValue(kFieldName, name);
        fileTable.SetValue(kFieldYear, QStringLiteral("1972"));
        fileTable.SetValue(kFieldMonth, QStringLiteral("4"));
        fileTable.SetValue(kFieldDay, QStringLiteral("12"));
        fileTable.SetValue(kFieldTime, QStringLiteral("05:00-07:00"));
        fileTable.SetValue(kFieldSex, QStringLiteral("女"));
        ASSERT_TRUE(fileTable.Post());
        fileIds.push_back(fileTable.Record(fileTable.CurrentRow()).rowId);
    }
    const QStringList words{QStringLiteral("転職"), QStringLiteral("上司"),     QStringLiteral("縁談"),
                            QStringLiteral("OK"),   QStringLiteral("ok"),       QStringLiteral("胃腸の調子"),
                            QStringLiteral("春"),   QStringLiteral("海外赴任"), QStringLiteral("Ｚｅｌ")};
    QRandomGenerator r(4172);
    std::vector<ConsultationEntry> serverEntries, fileEntries;
    for (int n = 0; n < 600; ++n) {
        ConsultationEntry e;
        e.date = QDate(2026, 1, 1).addDays(r.bounded(500));
        e.time = QStringLiteral("%1:00").arg(9 + r.bounded(9), 2, 10, QLatin1Char('0'));
        e.theme = words[int(r.bounded(3))];
        e.question = words[int(r.bounded(words.size()))] + QStringLiteral("について");
        for (int k = 0; k < 6; ++k)
            e.notes += words[int(r.bounded(words.size() - (n % 50 ? 1 : 0)))] + QStringLiteral("、");
        const int client = int(r.bounded(3));
        e.client = serverIds[size_t(client)];
        serverEntries.push_back(e);
        e.client = fileIds[size_t(client)];
        fileEntries.push_back(e);
    }
    ASSERT_TRUE(server.book->InsertAll(serverEntries).Ok());
    ASSERT_TRUE(fileBook->InsertAll(fileEntries).Ok());
    auto found = [&](ConsultationStorage& book, const QString& q, int limit) {
        QStringList lines;
        QString why;
        for (const ConsultationListing& l : book.Search(q, limit, &why).value_or(std::vector<ConsultationListing>{}))
            lines << QStringList{l.clientName,     ConsultationDateText(l.entry.date),
                                 l.entry.time,     l.entry.theme,
                                 l.entry.question, l.entry.notes,
                                 l.passage}
                         .join(QLatin1Char('|'));
        return lines;
    };
    for (const char* q :
         {"転職", "縁談", "赴任", "Ok", "Ｚｅ", "の調", "、海", "無縁", "上司", "海外赴任", "胃腸の調子"}) {
        for (int limit : {10, 1000}) {
            const QStringList onServer = found(*server.book, QString::fromUtf8(q), limit);
            EXPECT_EQ(onServer, found(*fileBook, QString::fromUtf8(q), limit)) << q << " limit " << limit;
            if (QByteArray(q) != "無縁") {
                EXPECT_FALSE(onServer.isEmpty()) << q;
            }
        }
    }
}

// The personal-data erasure on the server: without --yes nothing changes;
// with it the client, the exact time, the entries, those deleted alone and
// the deleted copies with theirs go in one transaction, the other clients
// stay, and the reader is told that the server's backups are the
// administrator's.
TEST_F(ServerConsultations, ErasingAClientOnTheServer) {
    qint64 client = -1, other = -1;
    {
        Desk desk(Uri());
        ASSERT_TRUE(desk.book);
        client = desk.AddClient(QStringLiteral("山田花子"));
        other = desk.AddClient(QStringLiteral("佐藤一郎"));
        const qint64 copy = desk.AddClient(QStringLiteral("山田花子"));
        ASSERT_TRUE(desk.table.WriteBirthTime(client, BirthTimeEntry{QStringLiteral("10:40"), {}, 139.7, {}, {}}).Ok());
        desk.Add(client, QStringLiteral("2027-04-12"), QStringLiteral("仕事"), QStringLiteral("転職の時期"));
        const ConsultationEntry alone = desk.Add(client, QStringLiteral("2027-04-13"), QStringLiteral("健康"));
        ASSERT_TRUE(desk.book->Remove(alone).Ok());
        desk.Add(other, QStringLiteral("2027-04-14"), QStringLiteral("結婚"), QStringLiteral("縁談"));
        desk.Add(copy, QStringLiteral("2027-04-15"), QStringLiteral("転居"));
        ASSERT_TRUE(desk.table.CurrentRow() == 2 || desk.table.MoveTo(2));
        ASSERT_TRUE(desk.table.Delete());
    }
    auto counts = [&] {
        return Sql(
            QStringLiteral("SELECT (SELECT count(*) FROM nam_data) || ',' || (SELECT count(*) FROM "
                           "nam_data_deleted) || ',' || (SELECT count(*) FROM consultation) || ',' || "
                           "(SELECT count(*) FROM consultation_deleted) || ',' || (SELECT count(*) FROM "
                           "birth_time)"));
    };
    ASSERT_EQ(counts(), QStringLiteral("2,1,2,2,1"));
    auto cli = [&](QStringList args) {
        QTemporaryDir home;
        QProcess p;
        p.start(QStringLiteral(ZELVARA_CLI),
                QStringList{QStringLiteral("register")} + args +
                    QStringList{QStringLiteral("--register"), Uri(), QStringLiteral("--home"), home.path()});
        p.waitForFinished(60000);
        return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError())};
    };
    auto [code, out] = cli({QStringLiteral("erase"), QString::number(client)});
    EXPECT_EQ(code, 1);
    EXPECT_TRUE(out.contains(QStringLiteral("鑑定記録 1 件")) &&
                out.contains(QStringLiteral("削除した鑑定記録 1 件")) &&
                out.contains(QStringLiteral("記録 1 件（その鑑定記録 1 件）")))
        << out.toStdString();
    EXPECT_EQ(counts(), QStringLiteral("2,1,2,2,1"));

    // While another desk does work of one at a time, --yes stops with exit
    // code 3, as the import and undelete do, and nothing goes.
    {
        Desk holder(Uri());
        ASSERT_TRUE(holder.table.TakeExclusiveWork().taken);
        std::tie(code, out) = cli({QStringLiteral("erase"), QString::number(client), QStringLiteral("--yes")});
        EXPECT_EQ(code, 3) << out.toStdString();
        EXPECT_EQ(counts(), QStringLiteral("2,1,2,2,1"));
        holder.table.ReleaseExclusiveWork();
    }

    std::tie(code, out) = cli({QStringLiteral("erase"), QString::number(client), QStringLiteral("--yes")});
    ASSERT_EQ(code, 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("サーバーの管理者"))) << out.toStdString();
    EXPECT_EQ(counts(), QStringLiteral("1,0,1,0,0"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT \"氏名\" FROM nam_data")), QStringLiteral("佐藤一郎"));
    EXPECT_EQ(Sql(QStringLiteral("SELECT notes FROM consultation")), QStringLiteral("縁談"));
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

    // One made before the index of character pairs gains it when a desk
    // that may write opens it.
    Sql(QStringLiteral("DROP INDEX consultation_bigrams; DROP FUNCTION consultation_bigrams"));
    Desk later(Uri());
    ASSERT_TRUE(later.book);
    EXPECT_EQ(Sql(QStringLiteral("SELECT count(*) FROM pg_indexes WHERE indexname = 'consultation_bigrams'")),
              QStringLiteral("1"));
    QString why;
    EXPECT_EQ(later.book->Search(QStringLiteral("仕事"), 10, &why)->size(), size_t(1)) << why.toStdString();
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
