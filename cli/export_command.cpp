#include "cli/export_command.h"

#include "batch/batch_run.h"
#include "cli/command_line.h"
#include "cli/terminal_progress.h"

#include <QDir>

#include <cstdio>
#include <iostream>

namespace zelvara::cli {
namespace {

std::string Local(const QString& text) { return text.toStdString(); }

}  // namespace

int RunExport(const QStringList& args) {
    Options opts;
    opts.setApplicationDescription(
        QStringLiteral("Casts every day and period of a range of years and writes the batch data:\n"
                       "  koyomi  DIR/koyomi.DB (SQLite), 1930-2010\n"
                       "  2txt    DIR/zelvYYYY.txt, one file per year, 1925-2010\n"
                       "  casio   DIR/CASIO/YYYYMM.dat, one file per month, 1922-1929\n"
                       "  kyu     DIR/zelv1921.txt, the lunar date of every day from 02/01 (1921 only)\n"
                       "Progress goes to stderr; at the end, how many moments the engine refused."));
    opts.addPositionalArgument(QStringLiteral("tool"), QStringLiteral("koyomi, 2txt, casio or kyu"),
                               QStringLiteral("koyomi|2txt|casio|kyu"));
    opts.addOptions({
        {QStringLiteral("out"), QStringLiteral("folder the files are written to"), QStringLiteral("DIR")},
        {QStringLiteral("from"), QStringLiteral("first year (default: the tool's range)"), QStringLiteral("YEAR")},
        {QStringLiteral("to"), QStringLiteral("last year (default: the tool's range)"), QStringLiteral("YEAR")},
    });
    AddHomeOption(opts);
    const QString command = QStringLiteral("export");
    if (const auto code = ParseCommand(opts, command, args, 0, 1)) return *code;
    if (opts.positionalArguments().size() != 1)
        return UsageError(opts, command,
                          QStringLiteral("export には koyomi, 2txt, casio, kyu のどれか一つを指定して下さい。"));
    const QString tool = opts.positionalArguments().first();
    const auto kind = batch::BatchKindFromName(tool);
    if (!kind)
        return UsageError(opts, command,
                          QStringLiteral("不明な出力の種類です: %1（koyomi, 2txt, casio, kyu のどれか）").arg(tool));

    batch::BatchRequest request;
    request.kind = *kind;
    request.programFolder = QString::fromStdString(ProgramFolder(opts));
    if (opts.isSet(QStringLiteral("out"))) request.outFolder = QDir::cleanPath(opts.value(QStringLiteral("out")));
    for (const auto& [key, year] : {std::pair{"from", &request.fromYear}, std::pair{"to", &request.toYear}}) {
        const QString name = QString::fromLatin1(key);
        if (!opts.isSet(name)) continue;
        // Any whole year is taken here; the tool's own range is checked below.
        const auto value = ParseNumber(opts.value(name), 1, 9999);
        if (!value) {
            std::cerr << "--" << key << " には西暦の年を数字で指定して下さい（指定: " << Value(opts, name) << "）。\n";
            return kExitUsage;
        }
        *year = *value;
    }
    if (const QString error = batch::CompleteRequest(request); !error.isEmpty()) {
        std::cerr << Local(error) << "\n";
        return kExitUsage;
    }

    const std::string label = Local(batch::BatchKindName(*kind));
    TerminalProgress progress(label, stderr);
    const batch::BatchOutcome outcome =
        batch::RunBatch(request, [&](const batch::BatchStep& step) { progress.Update(step); });
    progress.Finish(outcome.ok);
    if (!outcome.ok) {
        // Nothing is reported as done: the files completed before the stop
        // are named, the rest of the summary would not be true.
        std::cerr << Local(outcome.error) << "\n";
        if (!outcome.files.isEmpty())
            std::cerr << "中止までに書き終えたファイル: " << outcome.files.size()
                      << " 個（最後: " << Local(QDir::toNativeSeparators(outcome.files.last())) << "）\n";
        return 1;
    }

    std::printf("%s %d-%d: %lld files, %ld moments, %.2f s, out %s\n", label.c_str(), request.fromYear, request.toYear,
                static_cast<long long>(outcome.files.size()), outcome.moments, outcome.seconds,
                Local(QDir::toNativeSeparators(QDir(request.outFolder).absolutePath())).c_str());
    if (outcome.refused > 0)
        std::printf(
            "refused by the engine: %ld moments before the first covered moment of the calendar data "
            "(their lines hold what the chart record then held); first: %s\n",
            outcome.refused, Local(outcome.firstRefusal).c_str());
    else
        std::printf("refused by the engine: 0 moments\n");
    return 0;
}

}  // namespace zelvara::cli
