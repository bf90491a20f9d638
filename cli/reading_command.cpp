#include "reading_command.h"

#include "chart_layout.h"
#include "luck_reading.h"
#include "marriage_reading.h"
#include "overall_reading.h"
#include "reading_names.h"
#include "reading_tables.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <optional>

namespace zelvara::cli {
namespace {

const char* const kReadingOptions[] = {"--name", "--sex", "--date", "--hour", "--today", "--home", "--palace", "--period"};

void PrintMemo(const char* memo, const QString& tab, const std::optional<QStringList>& lines)
{
    if (!lines)
        return;  // composition stopped before this memo
    std::cout << "--- " << memo << (tab.isEmpty() ? "" : " ") << tab.toStdString() << " ---\n";
    for (const QString& line : *lines)
        std::cout << line.toStdString() << "\n";
}

// Palaces 1..12 for "all", one palace for its name; empty when unknown.
std::vector<int> PalacesOf(const std::string& text)
{
    if (text == "all") {
        std::vector<int> all;
        for (int p = 1; p <= kPalaces; ++p)
            all.push_back(p);
        return all;
    }
    const int p = int(PalaceNames().indexOf(QString::fromStdString(text))) + 1;
    return p >= 1 ? std::vector<int>{p} : std::vector<int>{};
}

}  // namespace

int RunReading(const std::vector<std::string>& words, const Options& opts, const std::string& programFolder)
{
    const std::string kind = words.size() == 1 ? words[0] : std::string();
    if (kind != "overall" && kind != "luck" && kind != "marriage") {
        std::cerr << "reading の後には overall、luck、marriage のどれか一つを指定して下さい。\n";
        return 2;
    }
    for (const auto& [key, value] : opts) {
        if (std::find(std::begin(kReadingOptions), std::end(kReadingOptions), key) == std::end(kReadingOptions)) {
            std::cerr << "reading では使えない引数です: " << key << "\n";
            return 2;
        }
    }
    std::vector<int> palaces;
    if (kind == "overall") {
        auto it = opts.find("--palace");
        palaces = PalacesOf(it == opts.end() ? "all" : it->second);
        if (palaces.empty()) {
            std::cerr << "--palace には 父母宮 … 福徳宮 のどれか、または all を指定して下さい。\n";
            return 2;
        }
    }
    int period = 0;
    if (kind == "luck") {
        auto it = opts.find("--period");
        period = it == opts.end() ? 0 : std::atoi(it->second.c_str());
        if (period < 1 || period > 12 || std::to_string(period) != it->second) {
            std::cerr << "--period には 1 から 12 までの運の番号（行運鑑定の左からのタブ）を指定して下さい。\n";
            return 2;
        }
    }

    StderrSink sink;
    EngineContext ctx(programFolder, sink);
    BirthInput in;
    if (const int failed = CastFromOptions(opts, "reading", ctx, in))
        return failed;
    Tmandata& man = ctx.man;
    const auto captions = NameLuckPeriods(man);
    const ChartLayout layout = LayOutChart(man);

    // The SQL driver is a plug-in found through the application object, which
    // also tells where the seeds beside this program lie.
    int argc = 1;
    char name[] = "zelvara-cli";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    const QString folder = QString::fromStdString(programFolder);
    ReadingTables tables(sink);
    tables.Open(folder, SeedFolders(folder));  // what fails is reported; the reading reports it again where needed

    bool complete = true;
    if (kind == "overall") {
        for (int p : palaces) {
            const OverallReading r = ComposeOverallReading(man, layout.boxText, p, tables);
            PrintMemo("hlp12Memo", PalaceName(p), r.hlp12Memo);
            PrintMemo("KanteiMemo", PalaceName(p), r.kanteiMemo);
            complete = complete && r.complete;
        }
    } else if (kind == "luck") {
        const LuckReading r = ComposeLuckReading(man, period, tables);
        PrintMemo("KounMemo", QString::fromStdString(captions[period]), r.kounMemo);
        complete = r.complete;
    } else {
        const MarriageReading r = ComposeMarriageReading(man, tables);
        PrintMemo("AiMemo1", {}, r.aiMemo1);
        PrintMemo("AiMemo2", {}, r.aiMemo2);
        complete = r.complete;
    }
    return complete ? 0 : 1;
}

}  // namespace zelvara::cli
