// Times the consultation record at the size of a busy practice: 10,000
// clients and 200,000 entries, in a register file and on a throwaway local
// PostgreSQL server (test_pg_server.h; a database whose LC_CTYPE is C.UTF-8,
// so that pg_trgm makes trigrams of Japanese). Measured on the storage, as
// the page calls it: a client's entries, full-text search (a rare word, a
// common one, two characters) and the week's agenda, each the median and
// the slowest of its runs. scripts/bench-notes.sh runs it.
//   notes_bench file|server [CLIENTS] [ENTRIES]
#include "common/pg_connection.h"
#include "register/consultation_list_model.h"
#include "register/consultation_storage.h"
#include "register/person_table.h"
#include "tests/pg/test_pg_server.h"
#include "tests/recording_sink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <iostream>

using namespace zelvara;

namespace {

const QStringList kWords = [] {
    QStringList w;
    for (const char* s :
         {"仕事",   "転職",     "上司",     "部下",     "昇進", "独立",   "結婚", "縁談",     "離婚",   "恋愛",
          "家族",   "子供",     "健康",     "胃腸",     "睡眠", "金運",   "投資", "借金",     "引越し", "旅行",
          "学業",   "受験",     "試験",     "人間関係", "職場", "取引先", "相続", "親の介護", "不動産", "売買",
          "契約",   "体調",     "運気",     "来年",     "今年", "春",     "夏",   "秋",       "冬",     "注意",
          "慎重に", "積極的に", "控えめに", "話し合い", "決断", "時期",   "変化", "安定",     "好機",   "停滞"})
        w << QString::fromUtf8(s);
    return w;
}();
const QStringList kThemes{QStringLiteral("仕事"), QStringLiteral("結婚"), QStringLiteral("健康"),
                          QStringLiteral("金運"), QStringLiteral("家族"), QStringLiteral("引越し")};
// One entry in two thousand holds this word: a search that finds a hundred.
const QString kRare = QStringLiteral("海外赴任");

QString Sentence(QRandomGenerator& r, int words) {
    QString s;
    for (int i = 0; i < words; ++i) {
        s += kWords[int(r.bounded(kWords.size()))];
        s += i % 6 == 5 ? QStringLiteral("。") : QStringLiteral("、");
    }
    return s;
}

bool Fill(PersonTable& table, int clients, int entries, QString* why) {
    std::vector<PersonValues> people;
    for (int i = 0; i < clients; ++i) {
        PersonValues v;
        v[kFieldName] = QStringLiteral("見本%1").arg(i);
        v[kFieldYear] = QString::number(1930 + i % 70);
        v[kFieldMonth] = QString::number(1 + i % 12);
        v[kFieldDay] = QString::number(1 + i % 28);
        v[kFieldTime] = QStringLiteral("05:00-07:00");
        v[kFieldSex] = i % 2 ? QStringLiteral("男") : QStringLiteral("女");
        people.push_back(v);
    }
    if (!table.AppendRecords(people, why)) return false;
    std::vector<qint64> ids;
    for (int r = 0; r < table.RecordCount(); ++r) ids.push_back(table.Record(r).rowId);
    auto book = OpenConsultations(table, why);
    if (!book) return false;
    QRandomGenerator r(20270412);
    const QDate first(2020, 1, 1);
    std::vector<ConsultationEntry> batch;
    for (int n = 0; n < entries; ++n) {
        ConsultationEntry e;
        e.client = ids[size_t(n) % ids.size()];
        e.date = first.addDays(r.bounded(365 * 8));
        e.time = QStringLiteral("%1:00").arg(9 + r.bounded(10), 2, 10, QLatin1Char('0'));
        e.theme = kThemes[int(r.bounded(kThemes.size()))];
        e.question = Sentence(r, 4);
        e.notes = Sentence(r, 18) + QLatin1Char('\n') + Sentence(r, 18);
        if (n % 2000 == 7) e.notes += kRare + QStringLiteral("の話が出る。");
        e.reading = QStringLiteral("大限%1 流年%2").arg(1 + r.bounded(8)).arg(e.date.year());
        e.fee = 5000 + 1000 * r.bounded(10);
        e.paid = r.bounded(4) != 0;
        if (r.bounded(3) == 0) {
            e.nextDate = e.date.addDays(14 + r.bounded(60));
            e.nextTime = e.time;
        }
        batch.push_back(std::move(e));
        if (batch.size() == 20000 || n + 1 == entries) {
            if (const PersonWrite w = book->InsertAll(batch); !w.Ok()) {
                *why = w.why;
                return false;
            }
            batch.clear();
        }
    }
    return true;
}

template <typename F>
void Time(const char* label, int runs, double target, F&& run) {
    std::vector<double> ms;
    size_t found = 0;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        found = run(i);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    std::printf("  %-38s median %7.2f ms  slowest %7.2f ms  (%zu found; target <= %g ms)%s\n", label, ms[ms.size() / 2],
                ms.back(), found, target, ms[ms.size() / 2] <= target ? "" : "  OVER");
}

void Measure(PersonTable& table) {
    QString why;
    auto book = OpenConsultations(table, &why);
    if (!book) {
        std::cerr << why.toStdString() << '\n';
        return;
    }
    std::vector<qint64> ids;
    for (int r = 0; r < table.RecordCount(); ++r) ids.push_back(table.Record(r).rowId);
    auto count = [](const auto& found) { return found ? found->size() : size_t(0); };
    Time("a client's entries", 50, 30,
         [&](int i) { return count(book->ForClient(ids[size_t(i * 197) % ids.size()], &why)); });
    // The 鑑定記録 page: the entries into its list model and every cell's text
    // as the list draws them; the themes it offers, read when the theme box
    // is first used.
    ConsultationListModel list;
    Time("the page's list of a client", 50, 30, [&](int i) {
        auto entries = book->ForClient(ids[size_t(i * 389) % ids.size()], &why);
        list.SetEntries(entries.value_or(std::vector<ConsultationEntry>{}));
        for (int r = 0; r < list.rowCount(); ++r)
            for (int c = 0; c < list.columnCount(); ++c) list.data(list.index(r, c));
        return size_t(list.rowCount());
    });
    Time("the page's themes (theme box first used)", 10, 200, [&](int) { return count(book->Themes(&why)); });
    Time("search, rare word (海外赴任)", 20, 50, [&](int) { return count(book->Search(kRare, 50, &why)); });
    Time("search, common word (人間関係)", 20, 50,
         [&](int) { return count(book->Search(QStringLiteral("人間関係"), 50, &why)); });
    Time("search, three characters (取引先)", 20, 50,
         [&](int) { return count(book->Search(QStringLiteral("取引先"), 50, &why)); });
    Time("search, absent word (宇宙旅行)", 20, 50,
         [&](int) { return count(book->Search(QStringLiteral("宇宙旅行"), 50, &why)); });
    Time("search, two characters (胃腸)", 20, 50,
         [&](int) { return count(book->Search(QStringLiteral("胃腸"), 50, &why)); });
    Time("search, two characters, none (赴任)", 10, 50,
         [&](int) { return count(book->Search(QStringLiteral("赴任"), 50, &why)); });
    Time("search, two characters, absent (無縁)", 10, 50,
         [&](int) { return count(book->Search(QStringLiteral("無縁"), 50, &why)); });
    Time("agenda, seven days", 50, 20,
         [&](int i) { return count(book->Agenda(QDate(2024, 3, 1).addDays(i * 7), 7, &why)); });
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString where = app.arguments().value(1);
    const int clients = app.arguments().value(2, QStringLiteral("10000")).toInt();
    const int entries = app.arguments().value(3, QStringLiteral("200000")).toInt();
    if (where != QLatin1String("file") && where != QLatin1String("server")) {
        std::cerr << "usage: notes_bench file|server [CLIENTS] [ENTRIES]\n";
        return 2;
    }
    RecordingSink sink;
    QString why;
    QElapsedTimer made;
    made.start();
    if (where == QLatin1String("file")) {
        QTemporaryDir dir;
        {
            PersonTable table(sink);
            if (!table.Open(dir.path()) || !Fill(table, clients, entries, &why)) {
                std::cerr << why.toStdString() << sink.Last().toStdString() << '\n';
                return 1;
            }
        }
        const qint64 size = QFileInfo(dir.filePath(QStringLiteral("nam_data.db"))).size();
        std::printf("register file: %d clients, %d entries, made in %.1f s, %.1f MB\n", clients, entries,
                    double(made.elapsed()) / 1000, double(size) / 1e6);
        PersonTable table(sink);
        table.Open(dir.path(), PersonTable::OpenMode::ReadOnly);
        Measure(table);
        return 0;
    }
    std::unique_ptr<TestPgServer> server = TestPgServer::Start(&why);
    if (!server || !server->CreateDatabase(QStringLiteral("roles_only")) ||
        !server->Exec(QStringLiteral("CREATE DATABASE bench OWNER zelvara TEMPLATE template0 ENCODING 'UTF8' "
                                     "LC_COLLATE 'C' LC_CTYPE 'C.UTF-8';\n"))) {
        std::cerr << "no server: " << why.toStdString() << (server ? server->LastError().toStdString() : "") << '\n';
        return 1;
    }
    const auto connection = ParsePgUri(server->Uri(QStringLiteral("bench")), &why);
    {
        PersonTable table(sink);
        if (!table.OpenServer(*connection) || !Fill(table, clients, entries, &why)) {
            std::cerr << why.toStdString() << sink.Last().toStdString() << '\n';
            return 1;
        }
    }
    server->Exec(QStringLiteral("ANALYZE;\n"), QStringLiteral("bench"));
    std::printf("local server (PostgreSQL, LC_CTYPE C.UTF-8, pg_trgm): %d clients, %d entries, made in %.1f s\n",
                clients, entries, double(made.elapsed()) / 1000);
    PersonTable table(sink);
    table.OpenServer(*connection, PersonTable::OpenMode::ReadOnly);
    Measure(table);
    return 0;
}
