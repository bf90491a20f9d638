#include "print_command.h"

#include "chart_layout.h"
#include "legends_table.h"
#include "luck_reading.h"
#include "marriage_reading.h"
#include "overall_reading.h"
#include "print_module.h"
#include "reading_names.h"
#include "reading_tables.h"
#include "settings_file.h"

#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace zelvara::cli {
namespace {

const char* const kPrintOptions[] = {"--name",  "--sex",   "--date",  "--hour",     "--today", "--home", "--palace",
                                     "--period", "--pdf",  "--dpi",   "--title",    "--tel",   "--settings"};

QString Q(const std::string& s) { return QString::fromStdString(s); }

std::string Get(const Options& opts, const char* key)
{
    auto it = opts.find(key);
    return it == opts.end() ? std::string() : it->second;
}

// Tab indexes 0..11 for "all" or one palace name; empty when unknown.
std::vector<int> TabsOf(const std::string& text)
{
    std::vector<int> tabs;
    if (text == "all") {
        for (int t = 0; t < kPalaces; ++t)
            tabs.push_back(t);
    } else if (const qsizetype t = PalaceNames().indexOf(Q(text)); t >= 0) {
        tabs.push_back(int(t));
    }
    return tabs;
}

int Report(const PrintOutcome& out)
{
    for (const QString& file : out.files)
        std::cout << file.toStdString() << "\n";
    if (!out.message.isEmpty())
        std::cerr << out.message.toStdString() << "\n";
    return out.Printed() ? 0 : 1;
}

// Checks what can be checked before anything is cast or opened.
bool CheckOptions(const std::string& kind, const Options& opts, PdfOutput& pdf)
{
    for (const auto& [key, value] : opts) {
        if (std::find(std::begin(kPrintOptions), std::end(kPrintOptions), key) == std::end(kPrintOptions)) {
            std::cerr << "print では使えない引数です: " << key << "\n";
            return false;
        }
    }
    pdf.path = Q(Get(opts, "--pdf"));
    if (pdf.path.isEmpty()) {
        std::cerr << "--pdf には書き出す PDF ファイルの名前を指定して下さい。\n";
        return false;
    }
    if (const std::string dpi = Get(opts, "--dpi"); !dpi.empty()) {
        pdf.dpi = std::atoi(dpi.c_str());
        if (std::to_string(pdf.dpi) != dpi || pdf.dpi < 72 || pdf.dpi > 2400) {
            std::cerr << "--dpi には 72 から 2400 までの解像度を指定して下さい。\n";
            return false;
        }
    }
    if (kind == "overall" && TabsOf(opts.count("--palace") ? Get(opts, "--palace") : "all").empty()) {
        std::cerr << "--palace には 父母宮 … 福徳宮 のどれか、または all を指定して下さい。\n";
        return false;
    }
    if (kind == "luck") {
        const std::string period = Get(opts, "--period");
        const int p = std::atoi(period.c_str());
        if (p < 1 || p > 12 || std::to_string(p) != period) {
            std::cerr << "--period には 1 から 12 までの運の番号（行運鑑定の左からのタブ）を指定して下さい。\n";
            return false;
        }
    }
    return true;
}

// The footer: --title and --tel, else the settings file's owner section.
void SetFooter(Tprintmodule& module, const Options& opts)
{
    const OwnerSettings owner = LoadOwnerSettings(SettingsFile(Q(Get(opts, "--settings"))));
    module.SetFooter(opts.count("--title") ? Q(Get(opts, "--title")) : owner.title,
                     opts.count("--tel") ? Q(Get(opts, "--tel")) : owner.tel);
}

int PrintLegends(Tprintmodule& module, StderrSink& sink, const QString& folder, const PdfOutput& pdf)
{
    LegendsTable table(sink);
    if (!table.Open(folder))
        return 1;
    std::array<QString, kMajorStars + 1> descriptions;
    for (int star = 1; star <= kMajorStars; ++star)
        descriptions[star] = table.Value(LegendFieldNames().at(star - 1));
    return Report(module.PrintLegends(folder, descriptions, pdf));
}

}  // namespace

int RunPrint(const std::vector<std::string>& words, const Options& opts, const std::string& programFolder)
{
    const std::string kind = words.size() == 1 ? words[0] : std::string();
    static const char* const kinds[] = {"chart", "graph", "overall", "luck", "marriage", "legends"};
    if (std::find(std::begin(kinds), std::end(kinds), kind) == std::end(kinds)) {
        std::cerr << "print の後には chart、graph、overall、luck、marriage、legends のどれか一つを指定して下さい。\n";
        return 2;
    }
    PdfOutput pdf;
    if (!CheckOptions(kind, opts, pdf))
        return 2;

    StderrSink sink;
    EngineContext ctx(programFolder, sink);
    BirthInput in;
    if (kind != "legends") {
        if (const int failed = CastFromOptions(opts, "print", ctx, in))
            return failed;
    }

    // Fonts and PDF output need the GUI library, but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "zelvara-cli";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("zelvara"));
    Tprintmodule module;
    SetFooter(module, opts);
    const QString folder = Q(programFolder);
    if (kind == "legends")
        return PrintLegends(module, sink, folder, pdf);

    Tmandata& man = ctx.man;
    NameLuckPeriods(man);
    const ChartLayout layout = LayOutChart(man);
    const PersonText person = PersonTextOf(man, Q(in.name));
    if (kind == "chart")
        return Report(module.PrintChartSheet(ChartSheetOf(man, layout, Q(in.name), Q(in.hour)), nullptr, pdf));
    if (kind == "graph")
        return Report(module.PrintStrengthGraph(person, PalaceStrengths(man), pdf));

    ReadingTables tables(sink);
    tables.Open(folder, SeedFolders(folder));  // a table that fails is reported, and again where it is read
    bool complete = true;
    PrintOutcome out;
    if (kind == "overall") {
        const std::vector<int> tabs = TabsOf(opts.count("--palace") ? Get(opts, "--palace") : "all");
        out = module.PrintOverallReading(
            tabs.size() > 1, tabs.front(),
            [&](int tab) -> std::optional<OverallReadingPrint> {
                const OverallReading r = ComposeOverallReading(man, layout.boxText, tab + 1, tables);
                complete = complete && r.complete;
                return OverallReadingPrint{PalaceTabCaption(tab), person, r.hlp12Memo.value_or(QStringList()),
                                           r.kanteiMemo.value_or(QStringList())};
            },
            pdf);
    } else if (kind == "luck") {
        const LuckReading r = ComposeLuckReading(man, std::atoi(Get(opts, "--period").c_str()), tables);
        complete = r.complete;
        out = module.PrintLuckReading(person, r.kounMemo, pdf);
    } else {
        const MarriageReading r = ComposeMarriageReading(man, tables);
        complete = r.complete;
        out = module.PrintMarriageReading(person, r.aiMemo1.value_or(QStringList()), r.aiMemo2.value_or(QStringList()),
                                          pdf);
    }
    const int code = Report(out);
    return code != 0 ? code : (complete ? 0 : 1);
}

}  // namespace zelvara::cli
