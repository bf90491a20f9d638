// The consultation record in a register file: entries written only over what
// was read, deleted and brought back, going and coming back with their
// client, found by any two or more characters of their texts, the agenda,
// CSV both ways, and the register's copies holding them.
#include "register/consultation_csv.h"
#include "register/consultation_storage.h"
#include "register/person_table.h"
#include "register/register_faults.h"
#include "register/sqlite_copy.h"
#include "tests/recording_sink.h"
#include "tests/register/register_test_support.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace zelvara;

namespace {

ConsultationEntry Entry(qint64 client, const QString& date, const QString& theme, const QString& notes = {}) {
    ConsultationEntry e;
    e.client = client;
    e.date = *ParseConsultationDate(date);
    e.time = QStringLiteral("14:00");
    e.theme = theme;
    e.question = QStringLiteral("%1について聞きたい").arg(theme);
    e.notes = notes;
    e.profile = QStringLiteral("標準");
    e.reading = QStringLiteral("大限3 流年2027");
    e.birthTime = QStringLiteral("1959-05-07 05:42（真太陽時）");
    e.fee = 8000;
    return e;
}

}  // namespace

class ConsultationTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    RecordingSink sink_;
    std::unique_ptr<PersonTable> table_;
    std::unique_ptr<ConsultationStorage> book_;

    qint64 Client(int row) { return table_->Record(row).rowId; }
    ConsultationEntry Added(const ConsultationEntry& e) {
        const PersonWrite w = book_->Insert(e);
        [&] { QVERIFY2(w.Ok(), qPrintable(w.why)); }();
        ConsultationEntry stored = e;
        stored.id = w.rowId;
        stored.version = w.version;
        return stored;
    }

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QFile::remove(dir_.filePath(QStringLiteral("nam_data.db")));
        book_.reset();
        table_ = std::make_unique<PersonTable>(sink_);
        QVERIFY(table_->Open(dir_.path()));
        register_test::AddPerson(*table_, QStringLiteral("山田花子"));
        register_test::AddPerson(*table_, QStringLiteral("佐藤一郎"));
        QString why;
        book_ = OpenConsultations(*table_, &why);
        QVERIFY2(book_, qPrintable(why));
    }
    void cleanup() {
        book_.reset();
        table_.reset();
    }

    void entriesAreCheckedBeforeTheyAreKept() {
        ConsultationEntry e = Entry(Client(0), QStringLiteral("2027-04-12"), QStringLiteral("仕事"));
        QVERIFY(ConsultationProblem(e).isEmpty());
        const std::pair<QString, std::function<void(ConsultationEntry&)>> faults[] = {
            {QStringLiteral("鑑定日がありません"), [](ConsultationEntry& x) { x.date = {}; }},
            {QStringLiteral("鑑定の時刻"), [](ConsultationEntry& x) { x.time = QStringLiteral("24:10"); }},
            {QStringLiteral("次回の時刻だけ"), [](ConsultationEntry& x) { x.nextTime = QStringLiteral("10:00"); }},
            {QStringLiteral("料金"), [](ConsultationEntry& x) { x.fee = -1; }},
            {QStringLiteral("テーマに改行"), [](ConsultationEntry& x) { x.theme = QStringLiteral("仕事\n結婚"); }},
            {QStringLiteral("読んだ盤に"), [](ConsultationEntry& x) { x.reading = QStringLiteral("大限\t3"); }},
            {QStringLiteral("メモに改行とタブ以外"), [](ConsultationEntry& x) { x.notes = QStringLiteral("a\x01"); }},
        };
        for (const auto& [expected, spoil] : faults) {
            ConsultationEntry bad = e;
            spoil(bad);
            QVERIFY2(ConsultationProblem(bad).contains(expected), qPrintable(ConsultationProblem(bad)));
            const PersonWrite w = book_->Insert(bad);
            QVERIFY(!w.Ok());
            QCOMPARE(w.why, ConsultationProblem(bad));
        }
        e.notes = QStringLiteral("一段落目\n\n二段落目\tタブ");  // paragraphs are the point of notes
        QVERIFY(book_->Insert(e).Ok());

        QString problem;
        QCOMPARE(ParseConsultationFee(QStringLiteral("12,000円"), &problem),
                 std::optional<std::optional<qint64>>(12000));
        QVERIFY(!ParseConsultationFee(QStringLiteral("12.5"), &problem));
        QVERIFY(!ParseConsultationFee(QStringLiteral("99999999"), &problem));
        QCOMPARE(ParseConsultationTime(QStringLiteral("9:05")), std::optional<QString>(QStringLiteral("09:05")));
        QVERIFY(!ParseConsultationDate(QStringLiteral("2027-02-30")));
        QCOMPARE(ParseConsultationDate(QStringLiteral("2027/4/1")), std::optional<QDate>(QDate(2027, 4, 1)));
    }

    void editsAndDeletionsWriteOnlyOverWhatWasRead() {
        const ConsultationEntry older = Added(Entry(Client(0), QStringLiteral("2026-01-10"), QStringLiteral("仕事")));
        const ConsultationEntry e = Added(Entry(Client(0), QStringLiteral("2027-04-12"), QStringLiteral("結婚")));
        QString why;
        auto list = book_->ForClient(Client(0), &why);
        QVERIFY(list);
        QCOMPARE(list->size(), size_t(2));
        QCOMPARE(list->front(), e);  // newest first, every field as written
        QCOMPARE(list->back().id, older.id);

        // Two desks read the same entry; the second write finds it changed.
        ConsultationEntry first = e, second = e;
        first.notes = QStringLiteral("一人目の追記");
        second.notes = QStringLiteral("二人目の追記");
        const PersonWrite w = book_->Update(e, first);
        QVERIFY2(w.Ok(), qPrintable(w.why));
        QCOMPARE(w.version, e.version + 1);
        QCOMPARE(book_->Update(e, second).result, PersonWrite::Result::Stale);
        QCOMPARE(book_->Remove(e).result, PersonWrite::Result::Stale);
        QCOMPARE(book_->One(e.id, &why)->notes, QStringLiteral("一人目の追記"));

        ConsultationEntry current = *book_->One(e.id, &why);
        QVERIFY(book_->Remove(current).Ok());
        QVERIFY(!book_->One(e.id, &why));
        auto deleted = book_->Deleted(&why);
        QVERIFY(deleted);
        QCOMPARE(deleted->size(), size_t(1));
        QCOMPARE(deleted->front().entry, current);
        QCOMPARE(deleted->front().clientName, QStringLiteral("山田花子"));
        QVERIFY(book_->Restore(deleted->front().number).Ok());
        QCOMPARE(*book_->One(e.id, &why), current);  // back under its own number
        QVERIFY(book_->Deleted(&why)->empty());
        QVERIFY(book_->Restore(deleted->front().number).why.contains(QStringLiteral("ありません")));
    }

    void aDeletedClientsEntriesGoAndComeBackWithIt() {
        const ConsultationEntry kept = Added(Entry(Client(0), QStringLiteral("2027-04-12"), QStringLiteral("仕事")));
        const ConsultationEntry alone = Added(Entry(Client(0), QStringLiteral("2027-05-01"), QStringLiteral("健康")));
        const ConsultationEntry other = Added(Entry(Client(1), QStringLiteral("2027-05-02"), QStringLiteral("結婚")));
        QVERIFY(book_->Remove(alone).Ok());

        QVERIFY(table_->MoveTo(0));
        QVERIFY(table_->Delete());
        QString why;
        QVERIFY(!book_->One(kept.id, &why));
        QVERIFY(book_->One(other.id, &why));
        auto deleted = *book_->Deleted(&why);
        QCOMPARE(deleted.size(), size_t(2));
        const auto aloneNumber =
            std::find_if(deleted.begin(), deleted.end(), [&](auto& d) { return d.entry.id == alone.id; })->number;
        // Its client is gone: the entry deleted alone cannot come back alone.
        QVERIFY(book_->Restore(aloneNumber).why.contains(QStringLiteral("人物は削除されています")));

        const qint64 number = table_->DeletedRecords().front().number;
        QVERIFY(table_->Undelete(number));
        const qint64 back = table_->Record(table_->CurrentRow()).rowId;
        auto entries = *book_->ForClient(back, &why);
        QCOMPARE(entries.size(), size_t(1));
        ConsultationEntry expected = kept;
        expected.client = back;
        QCOMPARE(entries.front(), expected);
        // The one deleted alone stays deleted, now of the client as it came back.
        deleted = *book_->Deleted(&why);
        QCOMPARE(deleted.size(), size_t(1));
        QCOMPARE(deleted.front().entry.client, back);
        QVERIFY(book_->Restore(deleted.front().number).Ok());
        QCOMPARE(book_->ForClient(back, &why)->size(), size_t(2));
    }

    void entriesOfAClientDeletedByAnotherProgramAreKeptAsDeleted() {
        const ConsultationEntry e = Added(Entry(Client(1), QStringLiteral("2027-04-12"), QStringLiteral("仕事")));
        const qint64 gone = Client(1);
        {
            register_test::OtherProgram older(table_->FilePath());
            QVERIFY(older.Exec(QStringLiteral("DELETE FROM nam_data WHERE rowid = %1").arg(gone)));
        }
        QVERIFY(table_->ClearFilter());                                 // reloads
        register_test::AddPerson(*table_, QStringLiteral("新しい人"));  // may take the freed rowid
        QString why;
        QVERIFY(book_->ForClient(Client(table_->RecordCount() - 1), &why)->empty());
        const auto deleted = *book_->Deleted(&why);
        QCOMPARE(deleted.size(), size_t(1));
        QCOMPARE(deleted[0].entry.theme, e.theme);
        QVERIFY(deleted[0].clientName.isEmpty());
        QVERIFY(!book_->Restore(deleted[0].number).Ok());
    }

    void twoCharacterSearchReadsEveryEntry() {
        // The one match is the oldest entry, behind many newer ones, the pair
        // at the end of its notes.
        Added(Entry(Client(0), QStringLiteral("2020-01-06"), QStringLiteral("健康"), QStringLiteral("弱い胃腸")));
        std::vector<ConsultationEntry> newer(12000, Entry(Client(1), QStringLiteral("2027-05-01"),
                                                          QStringLiteral("仕事"), QStringLiteral("転職の時期")));
        QVERIFY(book_->InsertAll(newer).Ok());
        QString why;
        const auto found = book_->Search(QStringLiteral("胃腸"), 50, &why);
        QVERIFY2(found, qPrintable(why));
        QCOMPARE(found->size(), size_t(1));
        QCOMPARE(found->front().entry.notes, QStringLiteral("弱い胃腸"));
        // Two Latin letters in any case, as longer words.
        Added(Entry(Client(0), QStringLiteral("2027-06-02"), QStringLiteral("仕事"), QStringLiteral("返事はOK")));
        QCOMPARE(book_->Search(QStringLiteral("ok"), 50, &why)->size(), size_t(1));
    }

    void searchFindsTwoOrMoreCharactersAcrossClients() {
        Added(Entry(Client(0), QStringLiteral("2027-04-12"), QStringLiteral("仕事"),
                    QStringLiteral("転職の時期は来年の春。上司との関係に注意。")));
        Added(Entry(Client(1), QStringLiteral("2027-05-01"), QStringLiteral("結婚"),
                    QStringLiteral("来年は縁談の話が出る。")));
        const ConsultationEntry edited =
            Added(Entry(Client(1), QStringLiteral("2027-06-01"), QStringLiteral("健康"), QStringLiteral("胃腸")));
        QString why;
        auto names = [&](const QString& q) {
            QStringList found;
            for (const ConsultationListing& l : book_->Search(q, 50, &why).value_or(std::vector<ConsultationListing>{}))
                found << l.clientName + QLatin1Char(':') + l.entry.theme;
            return found;
        };
        QCOMPARE(names(QStringLiteral("上司との")), QStringList{QStringLiteral("山田花子:仕事")});
        // Two characters: no trigram, found all the same; newest first.
        QCOMPARE(names(QStringLiteral("来年")),
                 (QStringList{QStringLiteral("佐藤一郎:結婚"), QStringLiteral("山田花子:仕事")}));
        QCOMPARE(names(QStringLiteral("結婚")), QStringList{QStringLiteral("佐藤一郎:結婚")});  // theme and question
        QVERIFY(names(QStringLiteral("転職の秋")).isEmpty());
        QVERIFY(names(QStringLiteral("%")).isEmpty());
        QVERIFY(why.contains(QStringLiteral("2 文字以上")));
        QVERIFY(names(QStringLiteral("_年")).isEmpty());  // LIKE's wildcards are plain characters

        const auto hit = book_->Search(QStringLiteral("関係に"), 10, &why);
        QCOMPARE(hit->front().passage, QStringLiteral("転職の時期は来年の春。上司との関係に注意。"));

        // The index follows edits and deletions.
        ConsultationEntry changed = edited;
        changed.notes = QStringLiteral("睡眠不足に注意");
        QVERIFY(book_->Update(edited, changed).Ok());
        QVERIFY(names(QStringLiteral("胃腸")).isEmpty());
        QCOMPARE(names(QStringLiteral("睡眠不足")), QStringList{QStringLiteral("佐藤一郎:健康")});
        changed.version += 1;
        QVERIFY(book_->Remove(changed).Ok());
        QVERIFY(names(QStringLiteral("睡眠不足")).isEmpty());
    }

    void theAgendaListsAppointmentsWithNames() {
        ConsultationEntry a = Entry(Client(0), QStringLiteral("2027-04-01"), QStringLiteral("仕事"));
        a.nextDate = QDate(2027, 4, 15);
        a.nextTime = QStringLiteral("10:00");
        ConsultationEntry b = Entry(Client(1), QStringLiteral("2027-04-02"), QStringLiteral("結婚"));
        b.nextDate = QDate(2027, 4, 15);
        b.nextTime = QStringLiteral("09:30");
        ConsultationEntry c = Entry(Client(1), QStringLiteral("2027-04-03"), QStringLiteral("健康"));
        c.nextDate = QDate(2027, 4, 22);  // a week later: outside seven days from the 15th
        Added(a), Added(b), Added(c), Added(Entry(Client(0), QStringLiteral("2027-04-04"), QStringLiteral("無")));
        QString why;
        auto agenda = *book_->Agenda(QDate(2027, 4, 15), 7, &why);
        QCOMPARE(agenda.size(), size_t(2));
        QCOMPARE(agenda[0].clientName, QStringLiteral("佐藤一郎"));
        QCOMPARE(agenda[0].entry.nextTime, QStringLiteral("09:30"));
        QCOMPARE(agenda[1].clientName, QStringLiteral("山田花子"));
        QCOMPARE(book_->Agenda(QDate(2027, 4, 16), 7, &why)->size(), size_t(1));
        QCOMPARE(*book_->Themes(&why), (QStringList{QStringLiteral("仕事"), QStringLiteral("健康"),
                                                    QStringLiteral("無"), QStringLiteral("結婚")}));
    }

    void csvRoundTripAndRefusedLines() {
        ConsultationEntry e = Entry(Client(0), QStringLiteral("2027-04-12"), QStringLiteral("=仕事"),
                                    QStringLiteral("一行目, \"引用\"\n二行目"));
        e.paid = true;
        e.nextDate = QDate(2027, 5, 1);
        Added(e);
        Added(Entry(Client(1), QStringLiteral("2027-04-13"), QStringLiteral("結婚")));
        QString why;
        std::unordered_map<qint64, PersonValues> clients;
        for (int r = 0; r < table_->RecordCount(); ++r) clients.emplace(Client(r), table_->Record(r).values);
        std::vector<StoredPerson> stored;
        for (int r = 0; r < table_->RecordCount(); ++r) stored.push_back({Client(r), 0, table_->Record(r).values});
        for (CsvEncoding encoding : {CsvEncoding::Utf8, CsvEncoding::Cp932}) {
            const QByteArray bytes = WriteConsultationCsv(*book_->All(&why), clients, encoding, &why);
            QVERIFY(!bytes.isEmpty());
            const ConsultationCsv csv = ReadConsultationCsv(bytes, QStringLiteral("x.csv"), stored);
            QCOMPARE(csv.lines.size(), size_t(2));
            QCOMPARE(csv.lines[0].entry.notes, e.notes);
            QCOMPARE(csv.lines[0].entry.theme, QStringLiteral("=仕事"));
            QCOMPARE(csv.lines[0].entry.paid, true);
            // Everything is already there.
            const ConsultationImportReport again = ImportConsultations(*book_, csv, false, false);
            QVERIFY2(again.error.isEmpty(), qPrintable(again.error));
            QCOMPARE(again.duplicates, 2);
            QCOMPARE(again.added, 0);
        }

        const QByteArray lines = QStringLiteral(
                                     "氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別,鑑定日,テーマ,料金\r\n"
                                     "山田花子,1959,5,7,05:00-07:00,男,2027-06-01,新しい相談,\"10,000円\"\r\n"
                                     "山田花子,1959,5,7,05:00-07:00,男,2027-06-31,日付違い,\r\n"
                                     "田中,1959,5,7,05:00-07:00,男,2027-06-01,いない人,\r\n"
                                     "佐藤一郎,1959,5,7,05:00-07:00,男,2027-06-02,料金違い,十円\r\n")
                                     .toUtf8();
        const ConsultationCsv csv = ReadConsultationCsv(lines, QStringLiteral("in.csv"), stored);
        ConsultationImportReport report = ImportConsultations(*book_, csv, false, false);
        QVERIFY(!report.written);
        QCOMPARE(report.refused.size(), size_t(3));
        QCOMPARE(report.refused[0].first, 3);
        QVERIFY(report.refused[1].second.contains(QStringLiteral("名簿に「田中」")));
        QVERIFY(report.refused[2].second.contains(QStringLiteral("料金「十円」")));
        QCOMPARE(book_->All(&why)->size(), size_t(2));  // nothing written
        report = ImportConsultations(*book_, csv, true, false);
        QVERIFY(report.written);
        QCOMPARE(report.added, 1);
        const auto added = book_->ForClient(Client(0), &why)->front();
        QCOMPARE(added.theme, QStringLiteral("新しい相談"));
        QCOMPARE(added.fee, std::optional<qint64>(10000));

        const ConsultationCsv badHeader =
            ReadConsultationCsv(QByteArray("氏名,鑑定日,色\r\n"), QStringLiteral("h.csv"), stored);
        QVERIFY(badHeader.error.contains(QStringLiteral("「色」は鑑定記録の項目名ではありません")));
    }

    void copiesOfTheRegisterHoldTheEntries() {
        Added(Entry(Client(0), QStringLiteral("2027-04-12"), QStringLiteral("仕事"), QStringLiteral("控えの中身")));
        const QString path = table_->FilePath();
        // The register with its record is still a register as check sees it.
        QCOMPARE(RegisterFileFaults(path), QStringList());
        const QString copy = dir_.filePath(QStringLiteral("copy.db"));
        QCOMPARE(CopySqliteFile(path, copy), QString());
        QCOMPARE(DailyBackup(path, dir_.filePath(QStringLiteral("daily"))).EnsureCopyOf(QDate(2027, 4, 12)), QString());
        QCOMPARE(RegisterFileFaults(copy), QStringList());

        // After the entry is gone, the copy brings it back.
        QString why;
        QVERIFY(book_->Remove(book_->ForClient(Client(0), &why)->front()).Ok());
        book_.reset();
        table_.reset();
        QCOMPARE(ReplaceSqliteContent(copy, path), QString());
        table_ = std::make_unique<PersonTable>(sink_);
        QVERIFY(table_->Open(dir_.path()));
        book_ = OpenConsultations(*table_, &why);
        QCOMPARE(book_->Search(QStringLiteral("控えの中"), 5, &why)->size(), size_t(1));
        for (const QString& daily : DailyBackup(path, dir_.filePath(QStringLiteral("daily"))).Copies()) {
            PersonTable old(sink_);
            QVERIFY(old.OpenPath(daily, PersonTable::OpenMode::ReadOnly));
            auto oldBook = OpenConsultations(old, &why);
            QVERIFY2(oldBook, qPrintable(why));
            QCOMPARE(oldBook->Search(QStringLiteral("控えの中"), 5, &why)->size(), size_t(1));
        }

        // A file with a full-text table of its own making is not a register.
        {
            register_test::OtherProgram other(path);
            QVERIFY(other.Exec(QStringLiteral("CREATE VIRTUAL TABLE extra USING fts5(x)")));
        }
        QVERIFY(RegisterFileFaults(path).join(QString()).contains(QStringLiteral("extra")));
    }

    // print notes: one entry or all of a client's, read back from the PDF;
    // long notes whole over the pages; an entry of another client refused.
    void theCommandLinePrintsEntries() {
        QString longNotes;
        for (int i = 1; i <= 40; ++i)
            longNotes += QStringLiteral(
                             "第%1段。転職の時期について、官禄宮に化禄が入る年を待つよう助言した。"
                             "家族との話し合いを先にすることも伝えた。\n")
                             .arg(i);
        const ConsultationEntry first =
            Added(Entry(Client(0), QStringLiteral("2027-04-12"), QStringLiteral("仕事"), longNotes));
        const ConsultationEntry second =
            Added(Entry(Client(0), QStringLiteral("2027-05-20"), QStringLiteral("結婚"), QStringLiteral("縁談の相性")));
        const ConsultationEntry others = Added(Entry(Client(1), QStringLiteral("2027-05-21"), QStringLiteral("健康")));
        const qint64 client = Client(0);
        book_.reset();
        table_.reset();
        auto print = [&](QStringList args) {
            QProcess p;
            p.start(
                QStringLiteral(ZELVARA_CLI),
                QStringList{QStringLiteral("print"), QStringLiteral("notes")} + args +
                    QStringList{QStringLiteral("--home"), dir_.path(), QStringLiteral("--title"),
                                QStringLiteral("星読み館"), QStringLiteral("--tel"), QStringLiteral("045-111-2222")});
            p.waitForFinished(60000);
            return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
        };
        auto text = [](const QString& pdf) {
            QProcess p;
            p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
            p.waitForFinished(30000);
            return QString::fromUtf8(p.readAllStandardOutput());
        };
        const QString one = dir_.filePath(QStringLiteral("one.pdf")), all = dir_.filePath(QStringLiteral("all.pdf"));
        auto [code, err] = print({QStringLiteral("--person"), QString::number(client), QStringLiteral("--entry"),
                                  QString::number(first.id), QStringLiteral("--pdf"), one});
        QVERIFY2(code == 0, qPrintable(err));
        const QString printed = text(one);
        const QStringList pages = printed.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
        QVERIFY(pages.size() >= 2);
        for (const QString& page : pages) QVERIFY(page.contains(QStringLiteral("045-111-2222")));
        QVERIFY(printed.contains(QStringLiteral("【鑑定記録】 山田花子")));
        QVERIFY(printed.contains(QStringLiteral("読んだ盤：大限3 流年2027")));
        const QString joined = QString(printed).remove(QRegularExpression(QStringLiteral("\\s")));
        for (int i = 1; i <= 40; ++i) QVERIFY(joined.contains(QStringLiteral("第%1段。転職の時期").arg(i)));
        QVERIFY(!printed.contains(QStringLiteral("縁談の相性")));

        std::tie(code, err) =
            print({QStringLiteral("--person"), QString::number(client), QStringLiteral("--pdf"), all});
        QVERIFY2(code == 0, qPrintable(err));
        const QString both = text(all);
        QVERIFY(both.indexOf(QStringLiteral("2027-04-12")) < both.indexOf(QStringLiteral("2027-05-20")));
        QVERIFY(both.contains(QStringLiteral("縁談の相性")));
        QVERIFY(!both.contains(QStringLiteral("2027-05-21")));

        // Another client's entry, a person not in the register: refused, no file.
        const QString refused = dir_.filePath(QStringLiteral("refused.pdf"));
        std::tie(code, err) = print({QStringLiteral("--person"), QString::number(client), QStringLiteral("--entry"),
                                     QString::number(others.id), QStringLiteral("--pdf"), refused});
        QCOMPARE(code, 1);
        QVERIFY(err.contains(QStringLiteral("鑑定記録 %1 はありません").arg(others.id)));
        std::tie(code, err) =
            print({QStringLiteral("--person"), QStringLiteral("999"), QStringLiteral("--pdf"), refused});
        QCOMPARE(code, 1);
        QVERIFY(!QFile::exists(refused));
        Q_UNUSED(second);
    }

    void theCommandLineKeepsTheRecord() {
        book_.reset();
        table_.reset();  // the command line takes the lock itself
        auto notes = [&](QStringList args) {
            QProcess p;
            p.start(QStringLiteral(ZELVARA_CLI),
                    QStringList{QStringLiteral("notes")} + args + QStringList{QStringLiteral("--home"), dir_.path()});
            p.waitForFinished(60000);
            return std::tuple{p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                              QString::fromUtf8(p.readAllStandardError())};
        };
        auto [code, out, err] = notes({QStringLiteral("add"), QStringLiteral("--name"), QStringLiteral("山田花子"),
                                       QStringLiteral("--date"), QStringLiteral("2027-04-12"),
                                       QStringLiteral("--notes"), QStringLiteral("職場の人間関係"),
                                       QStringLiteral("--fee"), QStringLiteral("12,000円"), QStringLiteral("--paid")});
        QVERIFY2(code == 0, qPrintable(err));
        std::tie(code, out, err) = notes({QStringLiteral("search"), QStringLiteral("人間")});
        QCOMPARE(code, 0);
        QVERIFY(out.contains(QStringLiteral("山田花子")));
        std::tie(code, out, err) =
            notes({QStringLiteral("list"), QStringLiteral("--name"), QStringLiteral("山田花子")});
        QVERIFY(out.contains(QStringLiteral("12000円（済）")));

        std::tie(code, out, err) = notes({QStringLiteral("add"), QStringLiteral("--name"), QStringLiteral("山田花子"),
                                          QStringLiteral("--date"), QStringLiteral("2027-02-30")});
        QCOMPARE(code, 2);
        std::tie(code, out, err) =
            notes({QStringLiteral("edit"), QStringLiteral("1"), QStringLiteral("--theme"), QStringLiteral("仕事"),
                   QStringLiteral("--expect-version"), QStringLiteral("9")});
        QCOMPARE(code, 1);
        QVERIFY(err.contains(QStringLiteral("別のところで変更")));

        // While the desktop program holds the register, writes wait, reads go on.
        {
            PersonTable holder(sink_);
            QVERIFY(holder.Open(dir_.path()));
            std::tie(code, out, err) = notes({QStringLiteral("delete"), QStringLiteral("1")});
            QCOMPARE(code, 3);
            std::tie(code, out, err) = notes({QStringLiteral("show"), QStringLiteral("1")});
            QCOMPARE(code, 0);
        }

        // register backup and restore carry the record with the register.
        const QString copy = dir_.filePath(QStringLiteral("before.db"));
        QCOMPARE(register_test::Cli(dir_.path(), {QStringLiteral("backup"), QStringLiteral("--out"), copy}).code, 0);
        std::tie(code, out, err) = notes({QStringLiteral("delete"), QStringLiteral("1")});
        QCOMPARE(code, 0);
        const register_test::Run restored =
            register_test::Cli(dir_.path(), {QStringLiteral("restore"), QStringLiteral("--from"), copy});
        QVERIFY2(restored.code == 0, qPrintable(restored.err));
        std::tie(code, out, err) = notes({QStringLiteral("show"), QStringLiteral("1")});
        QVERIFY2(code == 0 && out.contains(QStringLiteral("職場の人間関係")), qPrintable(err));

        const QString csv = dir_.filePath(QStringLiteral("in.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QStringLiteral("氏名,生まれた年,生まれた月,生まれた日,生まれた時刻,性別,鑑定日,テーマ\r\n"
                                  "佐藤一郎,1959,5,7,05:00-07:00,男,2027-05-01,結婚\r\n"
                                  "佐藤一郎,1959,5,7,05:00-07:00,男,2027-05-01,テーマ\t混入\r\n")
                       .toUtf8());
        file.close();
        std::tie(code, out, err) = notes({QStringLiteral("import"), QStringLiteral("--csv"), csv});
        QCOMPARE(code, 1);
        QVERIFY2(err.contains(QStringLiteral("3 行目: テーマに改行やタブ")), qPrintable(err));
        std::tie(code, out, err) =
            notes({QStringLiteral("import"), QStringLiteral("--csv"), csv, QStringLiteral("--skip-bad")});
        QCOMPARE(code, 0);
        QVERIFY(out.contains(QStringLiteral("1 件を読み込みました")));
        std::tie(code, out, err) =
            notes({QStringLiteral("agenda"), QStringLiteral("--from"), QStringLiteral("2027-04-01")});
        QCOMPARE(code, 0);
        QVERIFY(out.contains(QStringLiteral("予定はありません")));
    }
};

QTEST_GUILESS_MAIN(ConsultationTest)
#include "tst_consultations.moc"
