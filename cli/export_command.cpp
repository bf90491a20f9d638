#include "export_command.h"

#include "batch_run.h"
#include "terminal_progress.h"

#include <QCoreApplication>
#include <QDir>

#include <charconv>
#include <cstdio>
#include <iostream>

namespace zelvara::cli {
namespace {

// A whole year number, or nullopt for anything else.
std::optional<int> ParseYear(const std::string& text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

std::string Local(const QString& text) { return text.toStdString(); }

}  // namespace

int RunExport(const std::vector<std::string>& args, const std::map<std::string, std::string>& opts,
              const std::string& programFolder) {
    if (args.size() != 1) {
        std::cerr << "export には koyomi, 2txt, casio, kyu のどれか一つを指定して下さい。\n";
        return 2;
    }
    const auto kind = batch::BatchKindFromName(QString::fromStdString(args[0]));
    if (!kind) {
        std::cerr << "不明な出力の種類です: " << args[0] << "（koyomi, 2txt, casio, kyu のどれか）\n";
        return 2;
    }
    for (const auto& [key, value] : opts)
        if (key != "--out" && key != "--from" && key != "--to" && key != "--home") {
            std::cerr << "export では使えない引数です: " << key << "\n";
            return 2;
        }

    batch::BatchRequest request;
    request.kind = *kind;
    request.programFolder = QString::fromStdString(programFolder);
    if (auto it = opts.find("--out"); it != opts.end()) request.outFolder = QDir::cleanPath(QString::fromStdString(it->second));
    for (const auto& [key, year] : {std::pair{"--from", &request.fromYear}, std::pair{"--to", &request.toYear}}) {
        auto it = opts.find(key);
        if (it == opts.end()) continue;
        const auto value = ParseYear(it->second);
        if (!value) {
            std::cerr << key << " には西暦の年を数字で指定して下さい（指定: " << it->second << "）。\n";
            return 2;
        }
        *year = *value;
    }
    if (const QString error = batch::CompleteRequest(request); !error.isEmpty()) {
        std::cerr << Local(error) << "\n";
        return 2;
    }

    // The SQL driver is a plug-in; it is found through the application object.
    int argc = 1;
    char name[] = "zelvara-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);

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
            std::cerr << "中止までに書き終えたファイル: " << outcome.files.size() << " 個（最後: "
                      << Local(QDir::toNativeSeparators(outcome.files.last())) << "）\n";
        return 1;
    }

    std::printf("%s %d-%d: %lld files, %ld moments, %.2f s, out %s\n", label.c_str(), request.fromYear, request.toYear,
                static_cast<long long>(outcome.files.size()), outcome.moments, outcome.seconds,
                Local(QDir::toNativeSeparators(QDir(request.outFolder).absolutePath())).c_str());
    if (outcome.refused > 0)
        std::printf("refused by the engine: %ld moments before the first covered moment of the calendar data "
                    "(their lines hold what the chart record then held); first: %s\n",
                    outcome.refused, Local(outcome.firstRefusal).c_str());
    else
        std::printf("refused by the engine: 0 moments\n");
    return 0;
}

}  // namespace zelvara::cli
