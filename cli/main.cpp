// zelvara-cli: casts charts without a screen.
#include "cli/bench.h"
#include "cli/chart_options.h"
#include "cli/chart_printer.h"
#include "cli/command_line.h"
#include "cli/layer_printer.h"
#include "engine/alternatives.h"
#include "engine/chart_request.h"
#include "engine/context.h"
#ifdef ZELVARA_HAS_BATCH
#include "cli/export_command.h"
#endif
#ifdef ZELVARA_HAS_READINGS
#include "cli/reading_command.h"
#endif
#ifdef ZELVARA_HAS_PRINT
#include "cli/chart_outputs.h"
#include "cli/print_command.h"

#include <QGuiApplication>
#endif
#ifdef ZELVARA_HAS_REGISTER
#include "cli/data_folders_cli.h"
#include "cli/notes_command.h"
#include "cli/register_command.h"
#include "cli/texts_command.h"
#endif

#include <QCoreApplication>
#include <QStringDecoder>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace zelvara;
using cli::Options;

int Chart(const QStringList& args) {
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "Casts a chart and prints it (--json: one JSON object). --hour 不明の場合 prints the main star of every "
        "palace for every period."));
    cli::AddBirthOptions(opts);
    opts.addOption({QStringLiteral("json"), QStringLiteral("print the chart as one JSON object")});
    opts.addOption({QStringLiteral("alternatives"),
                    QStringLiteral("adds the charts a boundary or another convention would give, where they differ: "
                                   "each with its reason, what it changes, the fields that differ and whether it "
                                   "is a boundary (boundary: true) or another value of a switch (false)")});
    opts.addOption({QStringLiteral("neighbour-periods"),
                    QStringLiteral("with --alternatives, for a birth known only by its period (no --time): adds "
                                   "the charts of both neighbouring periods where they differ")});
    opts.addOption({QStringLiteral("layer"),
                    QStringLiteral("adds the palace stems, the flying 四化 and a time layer: birth, decade:N (1-12), "
                                   "year:YYYY, month:YYYY-MM (lunar month), day:YYYY-MM-DD or hour:YYYY-MM-DD:HH "
                                   "(clock hour 0-23; 23 is the 子 period of that day); give it again to stack layers"),
                    QStringLiteral("LAYER")});
#ifdef ZELVARA_HAS_PRINT
    cli::AddChartOutputOptions(opts);
#endif
    cli::AddHomeOption(opts);
    if (const auto code = cli::ParseCommand(opts, QStringLiteral("chart"), args, 0, 0)) return *code;
    if (opts.isSet(QStringLiteral("neighbour-periods")) && !opts.isSet(QStringLiteral("alternatives"))) {
        std::cerr << "--neighbour-periods は --alternatives と一緒に指定して下さい。\n";
        return cli::kExitUsage;
    }
#ifdef ZELVARA_HAS_PRINT
    if (const auto code = cli::CheckChartOutputOptions(opts)) return *code;
#endif
    std::vector<LayerChoice> layerChoices;
    std::vector<std::string> layerTexts;
    for (const QString& value : opts.values(QStringLiteral("layer"))) {
        const std::optional<LayerChoice> choice = cli::ReadLayerOption(value.toStdString());
        if (!choice) return cli::kExitUsage;
        layerChoices.push_back(*choice);
        layerTexts.push_back(value.toStdString());
    }

    cli::StderrSink sink;
    EngineContext ctx(cli::ProgramFolder(opts), sink);
    BirthInput in;
    if (!cli::ReadBirthOptions(opts, ctx, in)) return cli::kExitUsage;
    const std::optional<ConventionProfile> profile = cli::ReadConventionOptions(opts);
    if (!profile) return cli::kExitUsage;
    std::optional<cli::BirthTime> time;
    if (const int refused = cli::ApplyBirthTime(opts, ctx, in, time, *profile)) return refused;
    if (in.hour == "不明の場合") {
        const auto checked = CheckBirthInput(ctx, in);
        if (!checked) return 1;
        ChartRequest request = *checked;
        request.conventions = profile->conventions;
        const auto grid = CastAllHours(ctx, request);
        if (!grid) return 1;
        cli::PrintHourGrid(std::cout, *grid);
        return 0;
    }
    const CastOutcome chart = RequestChart(ctx, in, profile->conventions, time && time->LateHour());
    if (!chart) return 1;
    const std::optional<std::vector<TimeLayer>> layers = cli::LayChosenLayers(ctx, *chart, layerChoices, layerTexts);
    if (!layers) return 1;
    const cli::BirthTime* exact = time ? &*time : nullptr;
    // The conventions are named when they were chosen; the output of a chart
    // cast without the options stays as it always was.
    const ConventionProfile* named = cli::ConventionsChosen(opts) ? &*profile : nullptr;
#ifdef ZELVARA_HAS_PRINT
    if (const auto code = cli::WriteChartOutputs(opts, *chart, in, exact, *layers, named)) return *code;
#endif
    std::optional<std::vector<ChartAlternative>> alternatives;
    if (opts.isSet(QStringLiteral("alternatives"))) {
        const auto checked = CheckBirthInput(ctx, in);
        if (!checked) return 1;
        ChartRequest request = *checked;
        request.conventions = profile->conventions;
        request.lateHour = time && time->LateHour();
        alternatives =
            FindAlternatives(ctx, request, *chart, time ? std::optional(time->corrected.minuteOfDay) : std::nullopt,
                             {.neighbourPeriods = opts.isSet(QStringLiteral("neighbour-periods"))});
    }
    const std::vector<ChartAlternative>* kept = alternatives ? &*alternatives : nullptr;
    if (opts.isSet(QStringLiteral("json")) || opts.value(QStringLiteral("format")) == QLatin1String("json"))
        cli::PrintChartJson(std::cout, *chart, exact, *layers, named, kept);
    else
        cli::PrintChartText(std::cout, *chart, exact, *layers, named, kept);
    return 0;
}

int Bench(const QStringList& args) {
    Options opts;
    opts.setApplicationDescription(QStringLiteral(
        "Casts every day and period of the years on one core and reports charts per second: with calendar years "
        "cached, cached but checked for changes on every chart, and with the three calendar files read for every "
        "chart."));
    opts.addOptions({
        {QStringLiteral("from"), QStringLiteral("first year (1921-2100, default 1922)"), QStringLiteral("YEAR"),
         QStringLiteral("1922")},
        {QStringLiteral("to"), QStringLiteral("last year (1921-2100, default 2099)"), QStringLiteral("YEAR"),
         QStringLiteral("2099")},
        {QStringLiteral("mode"), QStringLiteral("run one mode only"), QStringLiteral("cached|checked|read")},
    });
    cli::AddHomeOption(opts);
    const QString command = QStringLiteral("bench");
    if (const auto code = cli::ParseCommand(opts, command, args, 0, 0)) return *code;
    const auto from = cli::ParseNumber(opts.value(QStringLiteral("from")), kFirstCalendarYear, kLastChartYear);
    const auto to = cli::ParseNumber(opts.value(QStringLiteral("to")), kFirstCalendarYear, kLastChartYear);
    if (!from || !to || *from > *to)
        return cli::UsageError(
            opts, command,
            QStringLiteral("--from と --to には %1 から %2 までの西暦の年を、--from が --to を越えないように"
                           "指定して下さい（指定: %3〜%4）。")
                .arg(kFirstCalendarYear)
                .arg(kLastChartYear)
                .arg(opts.value(QStringLiteral("from")), opts.value(QStringLiteral("to"))));
    const QString mode = opts.value(QStringLiteral("mode"));
    if (opts.isSet(QStringLiteral("mode")) && !QStringList{"cached", "checked", "read"}.contains(mode))
        return cli::UsageError(
            opts, command,
            QStringLiteral("--mode には cached、checked、read のどれかを指定して下さい（指定: %1）。").arg(mode));
    return cli::RunBench(cli::ProgramFolder(opts), *from, *to, mode.toStdString());
}

struct Command {
    const char* name;
    const char* summary;
    int (*run)(const QStringList& args);
};

const Command kCommands[] = {
    {"chart", "casts a chart and prints it, as text or JSON", Chart},
    {"bench", "measures how many charts per second the engine casts", Bench},
#ifdef ZELVARA_HAS_BATCH
    {"export", "writes the batch data: koyomi, 2txt, casio, kyu", cli::RunExport},
#endif
#ifdef ZELVARA_HAS_READINGS
    {"reading", "prints a reading of a chart: overall, luck, marriage", cli::RunReading},
#endif
#ifdef ZELVARA_HAS_PRINT
    {"print", "prints a chart, its graph, a reading or the legends to PDF", cli::RunPrint},
#endif
#ifdef ZELVARA_HAS_REGISTER
    {"register", "the person register: list, check, backup, restore, deleted, undelete", cli::RunRegister},
    {"notes", "the consultation record: list, add, edit, search, agenda, export, import", cli::RunNotes},
    {"texts", "the reading texts and legends from Paradox tables: import", cli::RunTexts},
#endif
};

void PrintUsage(std::ostream& out) {
    out << "使い方 / usage: zelvara-cli [--home DIR] COMMAND [options]\n\nCommands:\n";
    for (const Command& c : kCommands)
        out << "  " << c.name << std::string(10 - std::strlen(c.name), ' ') << c.summary << "\n";
    out << "  --version the version and the folders in use\n";
    out << "\nzelvara-cli COMMAND --help shows the options of a command. Messages the engine shows go to stderr;\n"
           "the exit code is 1 when the request stops, 2 for a command line it does not understand.\n";
}

// The arguments as text. Every argument must be UTF-8: a name with invalid
// bytes would otherwise reach the chart, the register or the JSON output as
// replacement characters.
std::optional<QStringList> DecodeArguments(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8(QByteArrayView(argv[i]));
        if (utf8.hasError()) {
            const std::string option = i > 1 && std::string_view(argv[i - 1]).starts_with("--") ? argv[i - 1] : "";
            std::cerr << "引数 " << i << (option.empty() ? "" : "（" + option + " の値）")
                      << " は UTF-8 の文字として読めません。文字コードを UTF-8 にして指定し直して下さい。\n";
            return std::nullopt;
        }
        args << text;
    }
    return args;
}

// --home DIR (or --home=DIR) written before the command belongs to the
// command: moved after its words, where the command's own options read it.
// nullopt when --home is last and has no folder.
std::optional<QStringList> HomeAfterCommand(QStringList args) {
    const QString home = QStringLiteral("--home");
    if (args.value(0).startsWith(home + QLatin1Char('='))) {
        args.append(args.takeFirst());
    } else if (args.value(0) == home) {
        if (args.size() < 2) {
            std::cerr << "--home にはフォルダを指定して下さい。\n";
            return std::nullopt;
        }
        const QString folder = args.at(1);
        args.remove(0, 2);
        args << home << folder;
    }
    return args;
}

#ifdef ZELVARA_HAS_REGISTER
// zelvara-cli --version [--home DIR]: the version and the folders in use.
int Version(const QStringList& args) {
    Options opts;
    opts.addOption({QStringLiteral("version"), QStringLiteral("the version and the folders in use")});
    cli::AddHomeOption(opts);
    if (const auto code = cli::ParseCommand(opts, QStringLiteral("--version"), args, 0, 0)) return *code;
    return cli::PrintVersion(cli::ProgramFolder(opts));
}
#endif

// Printing draws fonts, which needs the GUI library (without a screen): the
// print command, a chart written as a picture, and a client's data written
// out with its print.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, const QStringList& args) {
    const QString command = args.value(0);
#ifdef ZELVARA_HAS_PRINT
    if (command == QLatin1String("print") || (command == QLatin1String("chart") && cli::AsksForPicture(args)) ||
        (command == QLatin1String("register") && args.value(1) == QLatin1String("export-person"))) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        return std::make_unique<QGuiApplication>(argc, argv);
    }
#else
    (void)command;
#endif
    return std::make_unique<QCoreApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    const auto decoded = DecodeArguments(argc, argv);
    if (!decoded) return cli::kExitUsage;
    const auto args = HomeAfterCommand(*decoded);
    if (!args) return cli::kExitUsage;
    // Nothing but --home DIR is no command either.
    const bool noCommand = args->isEmpty() || args->first().startsWith(QLatin1String("--home"));
    if (noCommand || args->first() == QLatin1String("--help") || args->first() == QLatin1String("-h")) {
        PrintUsage(noCommand ? std::cerr : std::cout);
        return noCommand ? cli::kExitUsage : 0;
    }
    const QString command = args->first();
#ifdef ZELVARA_HAS_REGISTER
    if (command == QLatin1String("--version")) return Version(*args);  // makes its own application object
#endif
    // The SQL driver and the fonts are plug-ins found through the application object.
    const auto app = MakeApplication(argc, argv, *args);
    for (const Command& c : kCommands)
        if (command == QLatin1String(c.name)) return c.run(args->mid(1));
    std::cerr << "不明なコマンドです: " << command.toStdString() << "\n";
    PrintUsage(std::cerr);
    return cli::kExitUsage;
}
