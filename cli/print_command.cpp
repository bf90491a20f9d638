#include "cli/print_command.h"

#include "cli/chart_options.h"
#include "cli/chart_outputs.h"
#include "cli/conventions_options.h"
#include "cli/data_folders_cli.h"
#include "cli/layer_printer.h"
#include "cli/register_location.h"
#ifdef ZELVARA_HAS_REGISTER
#include "cli/report_command.h"
#endif
#include "common/data_folders.h"
#include "common/qstring_utf8.h"
#include "engine/calendar_day.h"
#include "engine/chart_layout.h"
#include "print/pdf_print_module.h"
#include "readings/luck_reading.h"
#include "readings/marriage_reading.h"
#include "readings/overall_reading.h"
#include "readings/reading_names.h"
#include "readings/reading_texts.h"
#include "readings/table_file.h"
#include "register/consultation_storage.h"
#include "register/person_fields.h"
#include "register/person_table.h"
#include "store/legends_table.h"
#include "store/settings_file.h"

#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace zelvara::cli {
namespace {

std::string Get(const Options& opts, const char* key) { return Value(opts, QString::fromLatin1(key)); }

bool Has(const Options& opts, const char* key) { return opts.isSet(QString::fromLatin1(key)); }

// Tab indexes 0..11 for "all" or one palace name; empty when unknown.
std::vector<int> TabsOf(const std::string& text) {
    std::vector<int> tabs;
    if (text == "all") {
        for (int t = 0; t < kPalaces; ++t) tabs.push_back(t);
    } else if (const qsizetype t = PalaceNames().indexOf(Q(text)); t >= 0) {
        tabs.push_back(int(t));
    }
    return tabs;
}

int Report(const PrintOutcome& out) {
    for (const QString& file : out.files) std::cout << file.toStdString() << "\n";
    if (!out.message.isEmpty()) std::cerr << out.message.toStdString() << "\n";
    return out.Printed() ? 0 : 1;
}

// Checks what can be checked before anything is cast or opened.
bool CheckOptions(const std::string& kind, const Options& opts, PdfOutput& pdf) {
    pdf.path = opts.value(QStringLiteral("pdf"));
    if (pdf.path.isEmpty()) {
        std::cerr << "--pdf には書き出す PDF ファイルの名前を指定して下さい。\n";
        return false;
    }
    if (Has(opts, "dpi")) {
        const auto dpi = ParseNumber(opts.value(QStringLiteral("dpi")), 72, 2400);
        if (!dpi) {
            std::cerr << "--dpi には 72 から 2400 までの解像度を指定して下さい（指定: " << Get(opts, "dpi") << "）。\n";
            return false;
        }
        pdf.dpi = *dpi;
    }
    if (kind == "overall" && TabsOf(Has(opts, "palace") ? Get(opts, "palace") : "all").empty()) {
        std::cerr << "--palace には 父母宮 … 福徳宮 のどれか、または all を指定して下さい。\n";
        return false;
    }
    if (kind == "luck") {
        if (!ParseNumber(opts.value(QStringLiteral("period")), 1, 12)) {
            std::cerr << "--period には 1 から 12 までの運の番号（行運鑑定の左からのタブ）を指定して下さい。\n";
            return false;
        }
    }
    return true;
}

// The footer: --title and --tel, else the settings file's owner section.
std::pair<QString, QString> FooterFields(const Options& opts) {
    const OwnerSettings owner = LoadOwnerSettings(SettingsFile(opts.value(QStringLiteral("settings"))));
    return {Has(opts, "title") ? opts.value(QStringLiteral("title")) : owner.title,
            Has(opts, "tel") ? opts.value(QStringLiteral("tel")) : owner.tel};
}

void SetFooter(PdfPrintModule& module, const Options& opts) {
    const auto [title, tel] = FooterFields(opts);
    module.SetFooter(title, tel);
}

int PrintLegends(PdfPrintModule& module, StderrSink& sink, const QString& folder, const PdfOutput& pdf) {
    const DataFolders folders{folder, UserFolder(folder.toStdString())};
    LegendsTable table(sink);
    if (!table.Open(folders.user)) return 1;
    std::array<QString, kMajorStars + 1> descriptions;
    for (int star = 1; star <= kMajorStars; ++star) descriptions[star] = table.Value(LegendFieldNames().at(star - 1));
    return Report(module.PrintLegends([&folders](const QString& relative) { return FindDataFile(folders, relative); },
                                      descriptions, pdf));
}

// The consultation entries of --person N: --entry ID alone, else all of
// them, oldest first.
int PrintNotes(PdfPrintModule& module, const Options& opts, const QString& folder, const PdfOutput& pdf) {
    bool ok = false;
    const qint64 person = opts.value(QStringLiteral("person")).toLongLong(&ok);
    if (!ok || person <= 0) {
        std::cerr << "--person には人物の番号（notes list に出る番号）を指定して下さい。\n";
        return kExitUsage;
    }
    qint64 entryId = -1;
    if (Has(opts, "entry")) {
        entryId = opts.value(QStringLiteral("entry")).toLongLong(&ok);
        if (!ok || entryId <= 0) {
            std::cerr << "--entry には鑑定記録の番号を指定して下さい。\n";
            return kExitUsage;
        }
    }
    StderrSink sink;
    PersonTable table(sink);
    if (!OpenChosenRegister(opts, table, UserFolder(folder.toStdString()), PersonTable::OpenMode::ReadOnly)) return 1;
    const PersonRecord* client = nullptr;
    for (int r = 0; r < table.RecordCount(); ++r)
        if (table.Record(r).rowId == person) client = &table.Record(r);
    if (!client) {
        std::cerr << QStringLiteral("番号 %1 の人物は名簿にいません。").arg(person).toStdString() << "\n";
        return 1;
    }
    QString why;
    const std::unique_ptr<ConsultationStorage> book = OpenConsultations(table, &why);
    if (!book) {
        std::cerr << why.toStdString() << "\n";
        return 1;
    }
    std::vector<ConsultationEntry> entries;
    if (entryId > 0) {
        const std::optional<ConsultationEntry> one = book->One(entryId, &why);
        if (!one || one->client != person) {
            std::cerr << (why.isEmpty()
                              ? QStringLiteral("番号 %1 の人物に鑑定記録 %2 はありません。").arg(person).arg(entryId)
                              : why)
                             .toStdString()
                      << "\n";
            return 1;
        }
        entries.push_back(*one);
    } else {
        auto all = book->ForClient(person, &why);
        if (!all) {
            std::cerr << why.toStdString() << "\n";
            return 1;
        }
        entries.assign(all->rbegin(), all->rend());
    }
    const PersonValues& v = client->stored;
    ConsultationPrint print;
    print.client = QStringLiteral("%1  %2/%3/%4 生").arg(v[kFieldName], v[kFieldYear], v[kFieldMonth], v[kFieldDay]);
    for (const ConsultationEntry& e : entries) print.entries.push_back({ConsultationFieldTexts(e), e.notes});
    return Report(module.PrintConsultations(print, pdf));
}

}  // namespace

QString FooterOfOptions(const Options& opts) {
    const auto [title, tel] = FooterFields(opts);
    return FooterLine(title, tel);
}

int RunPrint(const QStringList& args) {
#ifdef ZELVARA_HAS_REGISTER
    if (args.value(0) == QLatin1String("report")) return RunPrintReport(args);
#endif
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "Prints to a PDF file what the program's print buttons print: chart (the chart sheet; with --graph the "
        "bar chart as its second page), graph (the bar-chart page alone), flying (the 飛星 table), overall (--palace "
        "all: twelve "
        "documents, as with "
        "12宮全部印刷), luck, marriage, legends (no chart options needed), notes (the consultation entries of --person "
        "N, "
        "or --entry ID alone, from the register; --register URL for a server). A second and further document goes to "
        "FILE's name with -2, -3 … before \".pdf\". The footer carries --title and --tel, else title and tel of the "
        "settings file's [owner]. --layer lays a time layer over chart and flying. The names of the files written go "
        "to stdout. With --profile or a switch option (--transform-wu …) every page names the conventions above its "
        "footer. `print report` writes the 鑑定書 (see print report --help)."));
    opts.addPositionalArgument(QStringLiteral("printout"), QStringLiteral("what to print"),
                               QStringLiteral("chart|graph|flying|overall|luck|marriage|legends|notes|report"));
    opts.addOptions({
        {QStringLiteral("pdf"), QStringLiteral("the PDF file to write"), QStringLiteral("FILE")},
        {QStringLiteral("dpi"), QStringLiteral("resolution, 72..2400 (default 600)"), QStringLiteral("N")},
        {QStringLiteral("title"), QStringLiteral("footer title"), QStringLiteral("TEXT")},
        {QStringLiteral("tel"), QStringLiteral("footer telephone number"), QStringLiteral("TEXT")},
        {QStringLiteral("palace"), QStringLiteral("overall: 父母宮 … 福徳宮, or all (default)"),
         QStringLiteral("PALACE")},
        {QStringLiteral("period"), QStringLiteral("luck: the ten-year period 1..12"), QStringLiteral("N")},
        {QStringLiteral("person"), QStringLiteral("notes: the client's number in the register"), QStringLiteral("N")},
        {QStringLiteral("entry"), QStringLiteral("notes: one entry only"), QStringLiteral("ID")},
        {QStringLiteral("stems"), QStringLiteral("chart: each palace's stem (宮干) before its branch")},
        {QStringLiteral("graph"), QStringLiteral("chart: the bar chart as the second page (グラフも印刷する)")},
        {QStringLiteral("layer"),
         QStringLiteral("chart, flying: birth, decade:N (1-12), year:YYYY, month:YYYY-MM (lunar month), "
                        "day:YYYY-MM-DD or hour:YYYY-MM-DD:HH (clock hour 0-23)"),
         QStringLiteral("LAYER")},
    });
    AddBirthOptions(opts);
    AddHomeOption(opts);
    AddRegisterOption(opts);
    const QString command = QStringLiteral("print");
    if (const auto code = ParseCommand(opts, command, args, 0, 1)) return *code;
    const std::string kind = opts.positionalArguments().value(0).toStdString();
    static const char* const kinds[] = {"chart", "graph", "flying", "overall", "luck", "marriage", "legends", "notes"};
    if (std::find(std::begin(kinds), std::end(kinds), kind) == std::end(kinds))
        return UsageError(opts, command,
                          QStringLiteral("print の後には chart、graph、flying、overall、luck、marriage、legends、"
                                         "notes、report のどれか一つを指定して下さい。"));
    PdfOutput pdf;
    if (!CheckOptions(kind, opts, pdf)) return kExitUsage;
    std::optional<LayerChoice> layerChoice;
    if (Has(opts, "layer")) {
        if (kind != "chart" && kind != "flying")
            return UsageError(opts, command, QStringLiteral("--layer は chart と flying にだけ指定できます。"));
        if (opts.values(QStringLiteral("layer")).size() > 1)
            return UsageError(opts, command, QStringLiteral("印刷では --layer を一つだけ指定して下さい。"));
        layerChoice = ReadLayerOption(Get(opts, "layer"));
        if (!layerChoice) return kExitUsage;
    }
    if (Has(opts, "stems") && kind != "chart")
        return UsageError(opts, command, QStringLiteral("--stems は chart にだけ指定できます。"));
    if (Has(opts, "graph") && kind != "chart")
        return UsageError(opts, command, QStringLiteral("--graph は chart にだけ指定できます。"));
    const std::string programFolder = ProgramFolder(opts);

    StderrSink sink;
    EngineContext ctx(programFolder, sink);
    BirthInput in;
    std::optional<BirthTime> time;
    std::optional<Chart> chart;
    ConventionProfile profile;
    if (kind != "legends" && kind != "notes") {
        if (const int failed = CastFromOptions(opts, "print", ctx, in, chart, &time, &profile)) return failed;
    }

    QGuiApplication::setApplicationName(QStringLiteral("zelvara"));
    PdfPrintModule module;
    SetFooter(module, opts);
    const QString folder = Q(programFolder);
    if (kind == "legends") return PrintLegends(module, sink, folder, pdf);
    if (kind == "notes") return PrintNotes(module, opts, folder, pdf);

    Tmandata man = chart->Man();  // the luck reading writes its minor-limit boxes
    const ChartLayout layout = LayOutChart(man);
    const PersonText person = PersonTextOf(man, Q(in.name));
    const std::optional<TimeLayer> layer = ChartLayerOf(ctx, *chart, layerChoice.value_or(LayerChoice{}));
    if (!layer) {
        std::cerr << "この命盤には指定された層を重ねられません（" << Get(opts, "layer") << "）。\n";
        return 1;
    }
    ChartSheet sheetOfBirth = ChartSheetOfOptions(man, layout, in, time ? &*time : nullptr);
    // The conventions chosen are named on every page, as `chart` names them.
    if (ConventionsChosen(opts)) {
        sheetOfBirth.conventions = Q(ConventionsLine(profile.name, profile.conventions));
        module.SetConventionsLine(sheetOfBirth.conventions);
    }
    if (kind == "chart") {
        ChartSheet sheet = sheetOfBirth;
        SetSheetLayer(sheet, man, layout, *layer);
        if (Has(opts, "stems")) SetSheetStems(sheet, man);
        const PalaceStrength strength = PalaceStrengths(man);
        return Report(module.PrintChartSheet(sheet, Has(opts, "graph") ? &strength : nullptr, pdf));
    }
    if (kind == "flying")
        return Report(module.PrintFlyingTable(man, person, *layer, pdf, SheetBirthLines(sheetOfBirth)));
    if (kind == "graph") return Report(module.PrintStrengthGraph(person, PalaceStrengths(man), pdf));

    const QString user = UserFolder(programFolder);
    // A table that fails is reported, and again where it is read.
    const ReadingTexts texts = LoadReadingTexts(user, SeedFolders(user), sink);
    bool complete = true;
    PrintOutcome out;
    if (kind == "overall") {
        const std::vector<int> tabs = TabsOf(Has(opts, "palace") ? Get(opts, "palace") : "all");
        out = module.PrintOverallReading(
            tabs.size() > 1, tabs.front(),
            [&](int tab) -> std::optional<OverallReadingPrint> {
                const OverallReading r = ComposeOverallReading(man, layout.boxText, tab + 1, texts, sink);
                complete = complete && r.complete;
                return OverallReadingPrint{PalaceTabCaption(tab), person, r.hlp12Memo.value_or(QStringList()),
                                           r.kanteiMemo.value_or(QStringList())};
            },
            pdf);
    } else if (kind == "luck") {
        const LuckReading r =
            ComposeLuckReading(man, ParseNumber(opts.value(QStringLiteral("period")), 1, 12).value_or(0), texts, sink);
        complete = r.complete;
        out = module.PrintLuckReading(person, r.kounMemo, pdf);
    } else {
        const MarriageReading r = ComposeMarriageReading(man, texts, sink);
        complete = r.complete;
        out = module.PrintMarriageReading(person, r.aiMemo1.value_or(QStringList()), r.aiMemo2.value_or(QStringList()),
                                          pdf);
    }
    const int code = Report(out);
    return code != 0 ? code : (complete ? 0 : 1);
}

}  // namespace zelvara::cli
