#include "cli/reading_command.h"

#include "cli/chart_options.h"
#include "cli/data_folders_cli.h"
#include "engine/chart_layout.h"
#include "readings/luck_reading.h"
#include "readings/marriage_reading.h"
#include "readings/overall_reading.h"
#include "readings/reading_names.h"
#include "readings/reading_texts.h"
#include "readings/table_file.h"

#include <QString>
#include <QStringList>

#include <iostream>
#include <optional>

namespace zelvara::cli {
namespace {

void PrintMemo(const char* memo, const QString& tab, const std::optional<QStringList>& lines) {
    if (!lines) return;  // composition stopped before this memo
    std::cout << "--- " << memo << (tab.isEmpty() ? "" : " ") << tab.toStdString() << " ---\n";
    for (const QString& line : *lines) std::cout << line.toStdString() << "\n";
}

// Palaces 1..12 for "all", one palace for its name; empty when unknown.
std::vector<int> PalacesOf(const std::string& text) {
    if (text == "all") {
        std::vector<int> all;
        for (int p = 1; p <= kPalaces; ++p) all.push_back(p);
        return all;
    }
    const int p = int(PalaceNames().indexOf(QString::fromStdString(text))) + 1;
    return p >= 1 ? std::vector<int>{p} : std::vector<int>{};
}

}  // namespace

int RunReading(const QStringList& args) {
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "Casts the chart and prints a reading as the reading pages show it: each text area's lines under a line "
        "\"--- NAME [TAB] ---\" (overall: hlp12Memo and KanteiMemo of one palace or of all twelve; luck: KounMemo "
        "of one ten-year period; marriage: AiMemo1 and AiMemo2). The reading texts are the tables in the program "
        "folder, made from the seeds beside this program where missing."));
    opts.addPositionalArgument(QStringLiteral("reading"), QStringLiteral("overall, luck or marriage"),
                               QStringLiteral("overall|luck|marriage"));
    AddBirthOptions(opts);
    opts.addOptions({
        {QStringLiteral("palace"), QStringLiteral("overall: 父母宮 … 福徳宮, or all (default)"),
         QStringLiteral("PALACE")},
        {QStringLiteral("period"), QStringLiteral("luck: the ten-year period 1..12"), QStringLiteral("N")},
    });
    AddHomeOption(opts);
    const QString command = QStringLiteral("reading");
    if (const auto code = ParseCommand(opts, command, args, 0, 1)) return *code;
    const std::string kind = opts.positionalArguments().value(0).toStdString();
    if (kind != "overall" && kind != "luck" && kind != "marriage")
        return UsageError(opts, command,
                          QStringLiteral("reading の後には overall、luck、marriage のどれか一つを指定して下さい。"));
    std::vector<int> palaces;
    if (kind == "overall") {
        palaces = PalacesOf(opts.isSet(QStringLiteral("palace")) ? Value(opts, QStringLiteral("palace")) : "all");
        if (palaces.empty()) {
            std::cerr << "--palace には 父母宮 … 福徳宮 のどれか、または all を指定して下さい。\n";
            return kExitUsage;
        }
    }
    int period = 0;
    if (kind == "luck") {
        const auto p = ParseNumber(opts.value(QStringLiteral("period")), 1, 12);
        if (!p) {
            std::cerr << "--period には 1 から 12 までの運の番号（行運鑑定の左からのタブ）を指定して下さい。\n";
            return kExitUsage;
        }
        period = *p;
    }
    const std::string programFolder = ProgramFolder(opts);

    StderrSink sink;
    EngineContext ctx(programFolder, sink);
    BirthInput in;
    std::optional<Chart> chart;
    if (const int failed = CastFromOptions(opts, "reading", ctx, in, chart)) return failed;
    Tmandata man = chart->Man();  // the luck reading writes its minor-limit boxes
    const auto captions = LuckPeriodCaptions(man);
    const ChartLayout layout = LayOutChart(man);

    const QString user = UserFolder(programFolder);
    // What fails is reported; the reading reports it again where needed.
    const ReadingTexts texts = LoadReadingTexts(user, SeedFolders(user), sink);

    bool complete = true;
    if (kind == "overall") {
        for (int p : palaces) {
            const OverallReading r = ComposeOverallReading(man, layout.boxText, p, texts, sink);
            PrintMemo("hlp12Memo", PalaceName(p), r.hlp12Memo);
            PrintMemo("KanteiMemo", PalaceName(p), r.kanteiMemo);
            complete = complete && r.complete;
        }
    } else if (kind == "luck") {
        const LuckReading r = ComposeLuckReading(man, period, texts, sink);
        PrintMemo("KounMemo", QString::fromStdString(captions[period]), r.kounMemo);
        complete = r.complete;
    } else {
        const MarriageReading r = ComposeMarriageReading(man, texts, sink);
        PrintMemo("AiMemo1", {}, r.aiMemo1);
        PrintMemo("AiMemo2", {}, r.aiMemo2);
        complete = r.complete;
    }
    return complete ? 0 : 1;
}

}  // namespace zelvara::cli
