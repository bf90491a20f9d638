#include "cli/report_command.h"

#include "cli/chart_options.h"
#include "cli/chart_outputs.h"
#include "cli/conventions_options.h"
#include "cli/data_folders_cli.h"
#include "cli/print_command.h"
#include "cli/register_location.h"
#include "common/qstring_utf8.h"
#include "common/summer_time.h"
#include "engine/exact_birth.h"
#include "print/pdf_print_module.h"
#include "print/print_document.h"
#include "readings/report_pages.h"
#include "readings/table_file.h"
#include "register/consultation_storage.h"
#include "register/person_fields.h"
#include "register/person_table.h"
#include "session/person_birth_time.h"
#include "store/convention_profiles.h"
#include "store/settings_file.h"

#include <QDate>
#include <QGuiApplication>
#include <QImageReader>

#include <iostream>

namespace zelvara::cli {
namespace {

int Fail(const QString& why, int code = 1) {
    std::cerr << why.toStdString() << "\n";
    return code;
}

bool NeedsNotes(const std::vector<ReportChoice>& pages) {
    for (const ReportChoice& c : pages)
        if (c.kind == ReportChoice::Kind::Notes) return true;
    return false;
}

// The register's person of number `number` as the entry fields hold it.
std::optional<BirthInput> PersonInput(PersonTable& table, qint64 number) {
    for (int r = 0; r < table.RecordCount(); ++r) {
        const PersonRecord& rec = table.Record(r);
        if (rec.rowId != number) continue;
        const PersonValues& v = rec.values;
        return BirthInput{v[kFieldName].toStdString(),  v[kFieldSex].toStdString(), v[kFieldYear].toStdString(),
                          v[kFieldMonth].toStdString(), v[kFieldDay].toStdString(), v[kFieldTime].toStdString()};
    }
    return std::nullopt;
}

// The entry a notes page prints: the client's newest (LAST) or the one of
// that number, which must be the client's.
std::optional<ReportNotes> NotesOf(PersonTable& table, qint64 client, const QString& which, QString* why) {
    const std::unique_ptr<ConsultationStorage> book = OpenConsultations(table, why);
    if (!book) return std::nullopt;
    std::optional<ConsultationEntry> entry;
    if (which == QLatin1String("LAST")) {
        const auto entries = book->ForClient(client, why);
        if (!entries) return std::nullopt;
        if (entries->empty()) {
            *why = QStringLiteral("この人物の鑑定記録はまだありません。");
            return std::nullopt;
        }
        entry = entries->front();
    } else {
        entry = book->One(which.toLongLong(), why);
        if (!entry || entry->client != client) {
            if (why->isEmpty() || entry) *why = QStringLiteral("この人物の鑑定記録 %1 はありません。").arg(which);
            return std::nullopt;
        }
    }
    return ReportNotes{ConsultationDateText(entry->date), entry->time, entry->theme, entry->question, entry->notes};
}

QString NotesWanted(const std::vector<ReportChoice>& pages) {
    for (const ReportChoice& c : pages)
        if (c.kind == ReportChoice::Kind::Notes) return c.notes;
    return {};
}

}  // namespace

int RunPrintReport(const QStringList& args) {
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "Writes the 鑑定書 of one client to a PDF file: a cover (the client, the date in 和暦 and 西暦, the reader's "
        "title and telephone number and the logo picture of the settings file's [owner]), then the pages of --pages "
        "in their order: chart, graph, decade:N, year:YYYY, flying, overall:PALACE, luck (the current period) or "
        "luck:N, marriage, notes:LAST or notes:ID (the client's consultation entry; needs --person). A page that "
        "cannot be made stops the command before the file is written."));
    opts.addPositionalArgument(QStringLiteral("report"), QStringLiteral("the 鑑定書"), QStringLiteral("report"));
    opts.addOptions({
        {QStringLiteral("pdf"), QStringLiteral("the PDF file to write"), QStringLiteral("FILE")},
        {QStringLiteral("person"),
         QStringLiteral("the register's person of this number, with the exact birth time kept for the person (instead "
                        "of --sex, --date …)"),
         QStringLiteral("N")},
        {QStringLiteral("pages"), QStringLiteral("the pages (default chart,graph,flying)"), QStringLiteral("LIST")},
        {QStringLiteral("on"),
         QStringLiteral("the date of the consultation, YYYY-MM-DD (default: the notes' date, "
                        "else today)"),
         QStringLiteral("DATE")},
        {QStringLiteral("title"), QStringLiteral("footer title"), QStringLiteral("TEXT")},
        {QStringLiteral("tel"), QStringLiteral("footer telephone number"), QStringLiteral("TEXT")},
    });
    AddBirthOptions(opts);
    AddHomeOption(opts);
    AddRegisterOption(opts);
    const QString command = QStringLiteral("print report");
    if (const auto code = ParseCommand(opts, command, args, 1, 1)) return *code;
    const QString pdfPath = opts.value(QStringLiteral("pdf"));
    if (pdfPath.isEmpty())
        return UsageError(opts, command, QStringLiteral("--pdf には書き出す PDF ファイルの名前を指定して下さい。"));
    QString why;
    const auto pages = ParseReportPages(opts.isSet(QStringLiteral("pages")) ? opts.value(QStringLiteral("pages"))
                                                                            : QStringLiteral("chart,graph,flying"),
                                        &why);
    if (!pages) return Fail(why, kExitUsage);
    const bool byPerson = opts.isSet(QStringLiteral("person"));
    if (NeedsNotes(*pages) && !byPerson)
        return Fail(QStringLiteral("鑑定記録のページ（notes）は --person で名簿の人物を指定したときだけ作れます。"),
                    kExitUsage);
    std::optional<QDate> on;
    if (opts.isSet(QStringLiteral("on"))) {
        on = ParseConsultationDate(opts.value(QStringLiteral("on")));
        if (!on) return Fail(QStringLiteral("--on には鑑定日を 2027-04-12 の形で指定して下さい。"), kExitUsage);
    }

    const std::string programFolder = ProgramFolder(opts);
    StderrSink sink;
    EngineContext ctx(programFolder, sink);
    BirthInput in;
    std::optional<BirthTime> time;
    std::optional<Chart> chart;
    std::optional<ReportNotes> notes;
    const QString user = UserFolder(programFolder);
    ConventionProfile profile;
    if (byPerson) {
        const std::optional<ConventionProfile> chosen = ReadConventionOptions(opts);
        if (!chosen) return kExitUsage;
        profile = *chosen;
        bool ok = false;
        const qint64 number = opts.value(QStringLiteral("person")).toLongLong(&ok);
        if (!ok || number <= 0)
            return Fail(QStringLiteral("--person には名簿の人物の番号を指定して下さい。"), kExitUsage);
        PersonTable table(sink);
        if (!OpenChosenRegister(opts, table, user, PersonTable::OpenMode::ReadOnly)) return 1;
        const std::optional<BirthInput> person = PersonInput(table, number);
        if (!person) return Fail(QStringLiteral("番号 %1 の人物は名簿にいません。").arg(number));
        in = *person;
        if (NeedsNotes(*pages)) {
            notes = NotesOf(table, number, NotesWanted(*pages), &why);
            if (!notes) return Fail(why);
        }
        // Without convention options the person is cast by the client's
        // profile or the settings' default, as the desktop program casts.
        const SettingsFile settings(opts.value(QStringLiteral("settings")));
        if (!ConventionsChosen(opts)) {
            const EffectiveProfile effective = ResolveConventionProfile(settings, table.Profile(number));
            if (!effective.notFound.isEmpty()) std::cerr << effective.notFound.toStdString() << "\n";
            profile = effective.profile;
        }
        // The person's exact birth time, corrected as the desktop program
        // casts it (the person's own correction, else the profile's or the
        // settings').
        if (const std::optional<BirthTimeEntry> entry = table.BirthTime(number)) {
            const TimeCorrection correction = ProfileTimeCorrection(profile, LoadTimeCorrection(settings));
            const std::optional<CorrectedBirth> moment =
                CorrectBirthInput(ctx, in, ExactTimeOf(*entry, correction), ZoneReadingOf);
            if (!moment) return 1;
            time = BirthTime{*moment, entry->place.toStdString(), entry->longitude, entry->zone.toStdString()};
        }
        const CastOutcome cast = RequestChart(ctx, in, profile.conventions, time && time->LateHour());
        if (!cast) return 1;
        chart = *cast;
    } else if (const int failed = CastFromOptions(opts, "print report", ctx, in, chart, &time, &profile)) {
        return failed;
    }

    QGuiApplication::setApplicationName(QStringLiteral("zelvara"));
    const SettingsFile settings(opts.value(QStringLiteral("settings")));
    const OwnerSettings owner = LoadOwnerSettings(settings);
    const QDate date = on      ? *on
                       : notes ? ParseConsultationDate(notes->date).value_or(QDate::currentDate())
                               : QDate::currentDate();
    const Tmandata& man = chart->Man();
    const ChartLayout layout = LayOutChart(man);
    ReportSource source;
    source.man = &man;
    source.layout = &layout;
    source.birthSheet = ChartSheetOfOptions(man, layout, in, time ? &*time : nullptr);
    // The conventions chosen, or a client's profile other than 標準, are
    // named on every page, as `chart` names them.
    const bool named = ConventionsChosen(opts) || !PrintedConventionsLine(profile).isEmpty();
    if (named) source.birthSheet.conventions = Q(ConventionsLine(profile.name, profile.conventions));
    source.conventions = ReportConventions(opts.isSet(QStringLiteral("correction"))
                                               ? opts.value(QStringLiteral("correction"))
                                               : QString::fromLatin1(TimeCorrectionWord(LoadTimeCorrection(settings))),
                                           named ? profile : ConventionProfile{});
    source.cover = {Q(in.name),
                    WesternDateText(date),
                    EraDateText(date),
                    opts.isSet(QStringLiteral("title")) ? opts.value(QStringLiteral("title")) : owner.title,
                    opts.isSet(QStringLiteral("tel")) ? opts.value(QStringLiteral("tel")) : owner.tel,
                    QImage()};
    if (!owner.logo.isEmpty()) {
        QImageReader logo(owner.logo);
        source.cover.logo = logo.read();
        if (source.cover.logo.isNull())
            std::cerr << QStringLiteral("ロゴの画像 %1 を読めません（%2）。ロゴなしで作ります。\n")
                             .arg(owner.logo, logo.errorString())
                             .toStdString();
    }
    source.notes = notes;
    const ReadingTexts texts = LoadReadingTexts(user, SeedFolders(user), sink);
    const std::optional<ClientReport> report = ComposeClientReport(source, *pages, texts, sink, &why);
    if (!report) return Fail(why);

    PdfPrintModule module;
    module.SetFooter(source.cover.readerTitle, source.cover.readerTel);
    module.SetConventionsLine(source.birthSheet.conventions);
    const PrintOutcome out = module.PrintClientReport(*report, PdfOutput{pdfPath, 600});
    for (const QString& file : out.files) std::cout << file.toStdString() << "\n";
    if (!out.message.isEmpty()) std::cerr << out.message.toStdString() << "\n";
    return out.Printed() ? 0 : 1;
}

}  // namespace zelvara::cli
