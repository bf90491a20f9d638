#include "cli/notes_command.h"

#include "cli/command_line.h"
#include "cli/data_folders_cli.h"
#include "cli/register_command.h"
#include "cli/register_location.h"
#include "register/consultation_csv.h"
#include "register/person_table.h"
#include "register/register_import.h"
#include "register/sqlite_copy.h"

#include <QFile>
#include <QSaveFile>

#include <iostream>

namespace zelvara::cli {
namespace {

const QString kCommand = QStringLiteral("notes");

std::string Local(const QString& text) { return text.toStdString(); }

int Fail(const QString& text, int code = 1) {
    std::cerr << Local(text) << '\n';
    return code;
}

QString FeeText(const ConsultationEntry& e) { return ConsultationFeeText(e); }

QString When(const QDate& date, const QString& time) { return ConsultationWhenText(date, time); }

QString OneLine(QString text) {
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    return text;
}

// The options that set an entry's fields, for add and edit.
struct FieldOption {
    const char* name;
    const char* help;
};
const FieldOption kFieldOptions[] = {
    {"date", "the session's date, YYYY-MM-DD"},
    {"time", "the session's time, HH:MM"},
    {"theme", "the theme, one line (仕事, 結婚 …)"},
    {"question", "what the client asked"},
    {"notes", "the notes (paragraphs: \\n in the text is kept as written by the shell)"},
    {"notes-file", "the notes from a UTF-8 text file"},
    {"profile", "the profile the chart was read with"},
    {"reading", "the layer and period read, e.g. \"大限3 流年2027\""},
    {"birth-time", "the corrected birth time as used"},
    {"fee", "the fee in yen (12000 or 12,000円; empty: none)"},
    {"next-date", "the next appointment's date (empty: none)"},
    {"next-time", "the next appointment's time"},
};

// Applies the options given to the entry; empty, or what is wrong.
QString ApplyFields(const Options& opts, ConsultationEntry& e) {
    auto set = [&](const char* name) { return opts.isSet(QString::fromLatin1(name)); };
    auto value = [&](const char* name) { return opts.value(QString::fromLatin1(name)); };
    if (set("date")) {
        const auto date = ParseConsultationDate(value("date"));
        if (!date) return QStringLiteral("--date「%1」は日付として読めません（例 2027-04-12）。").arg(value("date"));
        e.date = *date;
    }
    for (auto [name, field] : {std::pair{"time", &e.time}, std::pair{"next-time", &e.nextTime}}) {
        if (!set(name)) continue;
        const auto time = ParseConsultationTime(value(name));
        if (!time) return QStringLiteral("--%1「%2」は HH:MM として読めません。").arg(QLatin1String(name), value(name));
        *field = *time;
    }
    if (set("next-date")) {
        if (value("next-date").trimmed().isEmpty()) {
            e.nextDate = {};
        } else if (const auto date = ParseConsultationDate(value("next-date"))) {
            e.nextDate = *date;
        } else {
            return QStringLiteral("--next-date「%1」は日付として読めません。").arg(value("next-date"));
        }
    }
    for (auto [name, field] :
         {std::pair{"theme", &e.theme}, std::pair{"question", &e.question}, std::pair{"notes", &e.notes},
          std::pair{"profile", &e.profile}, std::pair{"reading", &e.reading}, std::pair{"birth-time", &e.birthTime}})
        if (set(name)) *field = value(name);
    if (set("notes-file")) {
        if (set("notes")) return QStringLiteral("--notes と --notes-file は一緒に指定できません。");
        QFile file(value("notes-file"));
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("「%1」を読めません。%2").arg(value("notes-file"), file.errorString());
        e.notes = QString::fromUtf8(file.readAll());
    }
    if (set("fee")) {
        QString problem;
        const auto fee = ParseConsultationFee(value("fee"), &problem);
        if (!fee) return problem + QStringLiteral("。");
        e.fee = *fee;
    }
    if (set("paid") && set("unpaid")) return QStringLiteral("--paid と --unpaid は一緒に指定できません。");
    if (set("paid")) e.paid = true;
    if (set("unpaid")) e.paid = false;
    return {};
}

// The client named by --client (its number) or --name (an exact name held
// by one record); -1 after saying why not.
qint64 ChosenClient(const Options& opts, PersonTable& table, QString* name) {
    QString why;
    const bool byNumber = opts.isSet(QStringLiteral("client"));
    if (byNumber == opts.isSet(QStringLiteral("name"))) {
        Fail(QStringLiteral("人物を --client 番号 か --name 氏名 のどちらかで指定して下さい。"));
        return -1;
    }
    bool ok = false;
    const qint64 number = opts.value(QStringLiteral("client")).toLongLong(&ok);
    if (byNumber && (!ok || number <= 0)) {
        Fail(QStringLiteral("--client には人物の番号（notes の一覧に出る番号）を書いて下さい。"));
        return -1;
    }
    std::vector<std::pair<qint64, PersonValues>> found;
    for (int r = 0; r < table.RecordCount(); ++r) {
        const PersonRecord& rec = table.Record(r);
        if (byNumber ? rec.rowId == number : rec.values[kFieldName] == opts.value(QStringLiteral("name")))
            found.emplace_back(rec.rowId, rec.values);
    }
    if (found.empty()) {
        Fail(byNumber ? QStringLiteral("番号 %1 の人物は名簿にいません。").arg(number)
                      : QStringLiteral("「%1」という人物は名簿にいません。").arg(opts.value(QStringLiteral("name"))));
        return -1;
    }
    if (found.size() > 1) {
        QString list;
        for (const auto& [id, v] : found)
            list += QStringLiteral("\n  --client %1\t%2\t%3/%4/%5 生")
                        .arg(id)
                        .arg(v[kFieldName], v[kFieldYear], v[kFieldMonth], v[kFieldDay]);
        Fail(QStringLiteral("「%1」は名簿に %2 人います。番号で指定して下さい。%3")
                 .arg(opts.value(QStringLiteral("name")))
                 .arg(found.size())
                 .arg(list));
        return -1;
    }
    *name = found.front().second[kFieldName];
    return found.front().first;
}

std::optional<qint64> NumberWord(const QStringList& words, const QString& what) {
    bool ok = false;
    const qint64 n = words.value(1).toLongLong(&ok);
    if (!ok || n <= 0) {
        Fail(QStringLiteral("%1 の後には%2を書いて下さい。").arg(words.value(0), what), kExitUsage);
        return std::nullopt;
    }
    return n;
}

QString StaleText(qint64 id) {
    return QStringLiteral(
               "鑑定記録 %1 は読んだ後に別のところで変更または削除されました。書き込んでいません。"
               "notes show %1 で今の内容を確かめてから、もう一度して下さい。")
        .arg(id);
}

// Before the first write of the day a register file is copied to backup/,
// as the register's own writes do.
QString DailyCopy(const PersonTable& table) {
    if (table.IsServer()) return {};
    return DailyBackup(table.FilePath(), table.BackupFolder()).EnsureCopyOf(QDate::currentDate());
}

void PrintEntry(const ConsultationEntry& e, const QString& clientName) {
    auto line = [](const QString& label, const QString& value) {
        std::cout << Local(label) << "\t" << Local(value) << '\n';
    };
    line(QStringLiteral("番号"), QString::number(e.id));
    line(QStringLiteral("版"), QString::number(e.version));
    line(QStringLiteral("人物"), QStringLiteral("%1（番号 %2）").arg(clientName).arg(e.client));
    for (const auto& [label, value] : ConsultationFieldTexts(e)) line(label, value);
    std::cout << Local(QStringLiteral("メモ")) << '\n' << Local(e.notes) << '\n';
}

QString NameOf(PersonTable& table, qint64 client) {
    for (int r = 0; r < table.RecordCount(); ++r)
        if (table.Record(r).rowId == client) return table.Record(r).values[kFieldName];
    return {};
}

int Import(PersonTable& table, ConsultationStorage& book, const ConsultationCsv& csv, const QString& file, bool dryRun,
           bool skipBad) {
    if (!dryRun) {
        const ExclusiveWork work = table.TakeExclusiveWork();
        if (!work.taken)
            return Fail(work.holder.isEmpty() ? work.why : ExclusiveWorkBusyText(work.holder),
                        work.holder.isEmpty() ? 1 : kExitHeld);
    }
    ConsultationImportReport report;
    QString backup;
    const ConsultationImportReport check = ImportConsultations(book, csv, skipBad, true);
    if (!dryRun && check.error.isEmpty() && check.added > 0 && !table.IsServer()) {
        if (const QString error = BackUpNow(table, &backup); !error.isEmpty()) {
            table.ReleaseExclusiveWork();
            return Fail(QStringLiteral("今の名簿のバックアップを作れないため、読み込みをやめました。\n%1").arg(error));
        }
    }
    report = dryRun || !check.error.isEmpty() ? check : ImportConsultations(book, csv, skipBad, false);
    if (!dryRun) table.ReleaseExclusiveWork();
    for (const auto& [line, reason] : report.refused)
        std::cerr << Local(QStringLiteral("「%1」の %2 行目: %3").arg(file).arg(line).arg(reason)) << '\n';
    if (!report.error.isEmpty()) return Fail(report.error + QStringLiteral("\n鑑定記録は変えていません。"));
    if (!backup.isEmpty()) std::cout << Local(QStringLiteral("今の名簿を「%1」に保存しました。").arg(backup)) << '\n';
    std::cout << Local(ImportSummary(report.added, QStringLiteral("すでにある"), report.duplicates,
                                     int(report.refused.size()), dryRun))
              << '\n';
    return 0;
}

}  // namespace

int RunNotes(const QStringList& args) {
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "The consultation record (鑑定記録) kept beside the register. list --name NAME|--client N: a client's entries, "
        "newest first; show ID: one entry whole; add --name|--client --date D [fields]: a new entry; edit ID "
        "[fields] [--expect-version V]: changes the fields given, written only while the entry is as read (with "
        "--expect-version: as shown by show); delete ID: moves it to the deleted entries; deleted: lists them; "
        "undelete N: brings one back (an entry whose client is deleted comes back with the client, register "
        "undelete); search WORDS [--limit N]: entries of every client whose theme, question or notes hold the "
        "words (two characters or more), with the passage; agenda [--from D] [--days N]: the appointments (default: "
        "today and the next 7 days); export --csv FILE [--encoding cp932]; import --csv FILE [--dry-run] "
        "[--skip-bad]: CSV naming each client by 氏名 and birth, checked first as the register's import is. The "
        "writing commands take the register's lock and stop with exit code 3 while another program holds it. With "
        "--register URL (or ZELVARA_REGISTER) the record on a PostgreSQL server."));
    opts.addPositionalArgument(
        QStringLiteral("action"), QStringLiteral("what to do"),
        QStringLiteral("list|show ID|add|edit ID|delete ID|deleted|undelete N|search WORDS|agenda|export|import"));
    for (const FieldOption& o : kFieldOptions)
        opts.addOption({QString::fromLatin1(o.name), QString::fromUtf8(o.help), QStringLiteral("VALUE")});
    opts.addOptions({
        {QStringLiteral("paid"), QStringLiteral("add, edit: the fee is paid")},
        {QStringLiteral("unpaid"), QStringLiteral("edit: the fee is not paid")},
        {QStringLiteral("name"), QStringLiteral("list, add: the client by name"), QStringLiteral("NAME")},
        {QStringLiteral("client"), QStringLiteral("list, add: the client by number"), QStringLiteral("N")},
        {QStringLiteral("expect-version"), QStringLiteral("edit, delete: the version shown"), QStringLiteral("V")},
        {QStringLiteral("limit"), QStringLiteral("search: at most N entries (default 50)"), QStringLiteral("N")},
        {QStringLiteral("from"), QStringLiteral("agenda: the first day (default today)"), QStringLiteral("DATE")},
        {QStringLiteral("days"), QStringLiteral("agenda: how many days (default 7)"), QStringLiteral("N")},
        {QStringLiteral("csv"), QStringLiteral("export, import: the CSV file"), QStringLiteral("FILE")},
        {QStringLiteral("encoding"), QStringLiteral("export: utf-8 (default) or cp932"), QStringLiteral("NAME")},
        {QStringLiteral("dry-run"), QStringLiteral("import: check and report, write nothing")},
        {QStringLiteral("skip-bad"), QStringLiteral("import: import the good lines when some are refused")},
    });
    AddHomeOption(opts);
    AddRegisterOption(opts);
    if (const auto code = ParseCommand(opts, kCommand, args, 1, 2)) return *code;
    const QStringList words = opts.positionalArguments();
    const QString kind = words.value(0);
    const QStringList withWord{"show", "edit", "delete", "undelete", "search"};
    const QStringList alone{"list", "add", "deleted", "agenda", "export", "import"};
    if (!(withWord.contains(kind) && words.size() == 2) && !(alone.contains(kind) && words.size() == 1))
        return UsageError(
            opts, kCommand,
            QStringLiteral("notes の後には list、show 番号、add、edit 番号、delete 番号、deleted、"
                           "undelete 番号、search 言葉、agenda、export、import のどれかを指定して下さい。"));
    bool fieldsGiven = opts.isSet(QStringLiteral("paid")) || opts.isSet(QStringLiteral("unpaid"));
    for (const FieldOption& o : kFieldOptions) fieldsGiven = fieldsGiven || opts.isSet(QString::fromLatin1(o.name));
    if (fieldsGiven && kind != QLatin1String("add") && kind != QLatin1String("edit"))
        return UsageError(opts, kCommand, QStringLiteral("項目の指定（--date など）は add と edit だけに使えます。"));

    CsvEncoding encoding = CsvEncoding::Utf8;
    const QString encodingName = opts.value(QStringLiteral("encoding")).toLower();
    if (encodingName == QLatin1String("cp932") || encodingName == QLatin1String("shift-jis") ||
        encodingName == QLatin1String("shift_jis"))
        encoding = CsvEncoding::Cp932;
    else if (!encodingName.isEmpty() && encodingName != QLatin1String("utf-8") && encodingName != QLatin1String("utf8"))
        return UsageError(opts, kCommand, QStringLiteral("--encoding には utf-8 か cp932 を指定して下さい。"));
    const QString file = opts.value(QStringLiteral("csv"));
    if ((kind == QLatin1String("export") || kind == QLatin1String("import")) && file.isEmpty())
        return UsageError(opts, kCommand, QStringLiteral("notes %1 には --csv FILE が要ります。").arg(kind));
    // The file is read before the register is opened: a damaged one never
    // holds its lock.
    QByteArray csvBytes;
    if (kind == QLatin1String("import")) {
        QFile in(file);
        if (!in.open(QIODevice::ReadOnly))
            return Fail(QStringLiteral("「%1」を読めません。%2").arg(file, in.errorString()));
        csvBytes = in.readAll();
    }

    const bool writes = QStringList{"add", "edit", "delete", "undelete"}.contains(kind) ||
                        (kind == QLatin1String("import") && !opts.isSet(QStringLiteral("dry-run")));
    const QString folder = UserFolder(ProgramFolder(opts));
    StderrSink sink;
    PersonTable table(sink);
    if (writes) {
        if (const int refused = OpenForWriting(opts, table, folder)) return refused;
    } else if (!OpenChosenRegister(opts, table, folder, PersonTable::OpenMode::ReadOnly)) {
        return 1;
    }
    QString why;
    const std::unique_ptr<ConsultationStorage> book = OpenConsultations(table, &why);
    if (!book) {
        // A register no entry was ever written to has none to show.
        if (!writes && kind != QLatin1String("show") && kind != QLatin1String("import") &&
            why.contains(QStringLiteral("まだ鑑定記録がありません"))) {
            if (kind == QLatin1String("export")) return Fail(why);
            std::cout << Local(QStringLiteral("鑑定記録はまだありません。")) << '\n';
            return 0;
        }
        return Fail(why);
    }
    auto beforeWrite = [&]() -> bool {
        if (const QString error = DailyCopy(table); !error.isEmpty()) {
            Fail(QStringLiteral("名簿の毎日の写しを作れないため、書き込みをやめました。\n%1").arg(error));
            return false;
        }
        return true;
    };

    if (kind == QLatin1String("list")) {
        QString name;
        const qint64 client = ChosenClient(opts, table, &name);
        if (client < 0) return 1;
        const auto entries = book->ForClient(client, &why);
        if (!entries) return Fail(QStringLiteral("鑑定記録を読めません（%1）。").arg(why));
        std::cout << Local(QStringLiteral("%1（番号 %2）の鑑定記録 %3 件").arg(name).arg(client).arg(entries->size()))
                  << '\n';
        for (const ConsultationEntry& e : *entries)
            std::cout << e.id << '\t' << Local(When(e.date, e.time)) << '\t' << Local(OneLine(e.theme)) << '\t'
                      << Local(FeeText(e)) << '\t'
                      << Local(e.nextDate.isValid() ? QStringLiteral("次回 ") + When(e.nextDate, e.nextTime)
                                                    : QString())
                      << '\n';
        return 0;
    }
    if (kind == QLatin1String("show")) {
        const auto id = NumberWord(words, QStringLiteral("鑑定記録の番号"));
        if (!id) return kExitUsage;
        const auto e = book->One(*id, &why);
        if (!e) return Fail(why.isEmpty() ? QStringLiteral("鑑定記録 %1 はありません。").arg(*id) : why);
        PrintEntry(*e, NameOf(table, e->client));
        return 0;
    }
    if (kind == QLatin1String("add")) {
        QString name;
        ConsultationEntry e;
        e.client = ChosenClient(opts, table, &name);
        if (e.client < 0) return 1;
        if (!opts.isSet(QStringLiteral("date")))
            return UsageError(opts, kCommand, QStringLiteral("add には --date が要ります。"));
        if (opts.isSet(QStringLiteral("unpaid"))) e.paid = false;
        if (const QString problem = ApplyFields(opts, e); !problem.isEmpty()) return Fail(problem, kExitUsage);
        if (const QString problem = ConsultationProblem(e); !problem.isEmpty())
            return Fail(problem + QStringLiteral("。書き込んでいません。"));
        if (!beforeWrite()) return 1;
        const PersonWrite w = book->Insert(e);
        if (w.result == PersonWrite::Result::Stale)
            return Fail(QStringLiteral("「%1」は名簿から削除されました。書き込んでいません。").arg(name));
        if (!w.Ok()) return Fail(w.why);
        std::cout << Local(QStringLiteral("「%1」の鑑定記録 %2 を記録しました。").arg(name).arg(w.rowId)) << '\n';
        return 0;
    }
    if (kind == QLatin1String("edit") || kind == QLatin1String("delete")) {
        const auto id = NumberWord(words, QStringLiteral("鑑定記録の番号"));
        if (!id) return kExitUsage;
        const auto read = book->One(*id, &why);
        if (!read) return Fail(why.isEmpty() ? QStringLiteral("鑑定記録 %1 はありません。").arg(*id) : why);
        ConsultationEntry asRead = *read;
        if (opts.isSet(QStringLiteral("expect-version"))) {
            bool ok = false;
            asRead.version = opts.value(QStringLiteral("expect-version")).toLongLong(&ok);
            if (!ok) return Fail(QStringLiteral("--expect-version には版の番号を書いて下さい。"), kExitUsage);
        }
        ConsultationEntry changed = *read;
        if (kind == QLatin1String("edit")) {
            if (!fieldsGiven)
                return UsageError(opts, kCommand, QStringLiteral("edit には変える項目を指定して下さい。"));
            if (const QString problem = ApplyFields(opts, changed); !problem.isEmpty())
                return Fail(problem, kExitUsage);
            if (const QString problem = ConsultationProblem(changed); !problem.isEmpty())
                return Fail(problem + QStringLiteral("。書き込んでいません。"));
        }
        if (!beforeWrite()) return 1;
        const PersonWrite w = kind == QLatin1String("edit") ? book->Update(asRead, changed) : book->Remove(asRead);
        if (w.result == PersonWrite::Result::Stale) return Fail(StaleText(*id));
        if (!w.Ok()) return Fail(w.why);
        std::cout << Local(kind == QLatin1String("edit")
                               ? QStringLiteral("鑑定記録 %1 を書き換えました（版 %2）。").arg(*id).arg(w.version)
                               : QStringLiteral("鑑定記録 %1 を削除しました（notes deleted で番号を見て、undelete "
                                                "で戻せます）。")
                                     .arg(*id))
                  << '\n';
        return 0;
    }
    if (kind == QLatin1String("deleted")) {
        const auto deleted = book->Deleted(&why);
        if (!deleted) return Fail(QStringLiteral("削除した鑑定記録を読めません（%1）。").arg(why));
        for (const DeletedConsultation& d : *deleted)
            std::cout << d.number << '\t' << Local(d.deletedAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))) << '\t'
                      << Local(d.clientName.isEmpty() ? QStringLiteral("（削除された人物）") : d.clientName) << '\t'
                      << Local(When(d.entry.date, d.entry.time)) << '\t' << Local(OneLine(d.entry.theme))
                      << (d.withClient ? Local(QStringLiteral("\t人物とともに削除")) : std::string()) << '\n';
        return 0;
    }
    if (kind == QLatin1String("undelete")) {
        const auto number = NumberWord(words, QStringLiteral("notes deleted が示す番号"));
        if (!number) return kExitUsage;
        const ExclusiveWork work = table.TakeExclusiveWork();
        if (!work.taken)
            return Fail(work.holder.isEmpty() ? work.why
                                              : ExclusiveWorkBusyText(work.holder) +
                                                    QStringLiteral("終わってから、もう一度実行してください。"),
                        work.holder.isEmpty() ? 1 : kExitHeld);
        const bool ready = beforeWrite();
        const PersonWrite w = ready ? book->Restore(*number) : PersonWrite::Refused({});
        table.ReleaseExclusiveWork();
        if (!ready) return 1;
        if (!w.Ok()) return Fail(w.why);
        std::cout
            << Local(QStringLiteral("削除した鑑定記録 %1 を鑑定記録 %2 として戻しました。").arg(*number).arg(w.rowId))
            << '\n';
        return 0;
    }
    if (kind == QLatin1String("search")) {
        int limit = 50;
        if (opts.isSet(QStringLiteral("limit"))) {
            const auto n = ParseNumber(opts.value(QStringLiteral("limit")), 1, 10000);
            if (!n) return UsageError(opts, kCommand, QStringLiteral("--limit には 1 から 10000 の数を書いて下さい。"));
            limit = *n;
        }
        const auto found = book->Search(words[1], limit, &why);
        if (!found) return Fail(why, why.contains(QStringLiteral("2 文字以上")) ? kExitUsage : 1);
        for (const ConsultationListing& l : *found)
            std::cout << l.entry.id << '\t' << Local(When(l.entry.date, l.entry.time)) << '\t' << Local(l.clientName)
                      << '\t' << Local(OneLine(l.entry.theme)) << '\t' << Local(l.passage) << '\n';
        if (found->empty())
            std::cout << Local(QStringLiteral("「%1」を含む鑑定記録はありません。").arg(words[1])) << '\n';
        return 0;
    }
    if (kind == QLatin1String("agenda")) {
        QDate from = QDate::currentDate();
        if (opts.isSet(QStringLiteral("from"))) {
            const auto date = ParseConsultationDate(opts.value(QStringLiteral("from")));
            if (!date) return UsageError(opts, kCommand, QStringLiteral("--from は 2027-04-12 の形で書いて下さい。"));
            from = *date;
        }
        int days = 7;
        if (opts.isSet(QStringLiteral("days"))) {
            const auto n = ParseNumber(opts.value(QStringLiteral("days")), 1, 3660);
            if (!n) return UsageError(opts, kCommand, QStringLiteral("--days には 1 から 3660 の数を書いて下さい。"));
            days = *n;
        }
        const auto agenda = book->Agenda(from, days, &why);
        if (!agenda) return Fail(QStringLiteral("予定を読めません（%1）。").arg(why));
        for (const ConsultationListing& l : *agenda)
            std::cout
                << Local(When(l.entry.nextDate, l.entry.nextTime)) << '\t' << Local(l.clientName) << '\t'
                << Local(QStringLiteral("番号 %1").arg(l.entry.client)) << '\t'
                << Local(QStringLiteral("前回 %1 %2").arg(ConsultationDateText(l.entry.date), OneLine(l.entry.theme)))
                << '\n';
        if (agenda->empty())
            std::cout
                << Local(
                       QStringLiteral("%1 から %2 日間の予定はありません。").arg(ConsultationDateText(from)).arg(days))
                << '\n';
        return 0;
    }
    std::vector<StoredPerson> clients;
    for (int r = 0; r < table.RecordCount(); ++r) clients.push_back({table.Record(r).rowId, 0, table.Record(r).values});
    if (kind == QLatin1String("export")) {
        const auto all = book->All(&why);
        if (!all) return Fail(QStringLiteral("鑑定記録を読めません（%1）。").arg(why));
        std::unordered_map<qint64, PersonValues> byKey;
        for (const StoredPerson& p : clients) byKey.emplace(p.rowId, p.values);
        const QByteArray bytes = WriteConsultationCsv(*all, byKey, encoding, &why);
        if (bytes.isEmpty()) return Fail(why);
        QSaveFile out(file);
        if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit())
            return Fail(QStringLiteral("「%1」に書き込めません。%2").arg(file, out.errorString()));
        std::cout << Local(QStringLiteral("%1 件を「%2」に書き出しました。").arg(all->size()).arg(file)) << '\n';
        return 0;
    }
    const ConsultationCsv csv = ReadConsultationCsv(csvBytes, file, clients);
    return Import(table, *book, csv, file, opts.isSet(QStringLiteral("dry-run")),
                  opts.isSet(QStringLiteral("skip-bad")));
}

}  // namespace zelvara::cli
