// zelvara-cli: casts charts without a screen.
#include "bench.h"
#include "chart_options.h"
#include "chart_printer.h"
#include "chart_request.h"
#include "context.h"
#ifdef ZELVARA_HAS_BATCH
#include "export_command.h"
#endif
#ifdef ZELVARA_HAS_READINGS
#include "reading_command.h"
#endif
#ifdef ZELVARA_HAS_PRINT
#include "print_command.h"
#endif
#ifdef ZELVARA_HAS_REGISTER
#include "register_command.h"
#endif

#include <cstdlib>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

using namespace zelvara;

constexpr const char* kUsage = R"(使い方 / usage:
  zelvara-cli chart --sex 男|女 --date YEAR/MONTH/DAY --hour HH:00-HH:00 [--name 氏名] [--json]
                    [--home DIR] [--today YYYY/MM/DD]
      Casts a chart and prints it (--json: one JSON object).
      YEAR is western (1959) or an era letter with the era year: S34 (昭和), T10 (大正),
      H2 (平成), R1 (令和, 2019; an extension of the program's era letters).
      --hour takes one of the twelve periods 23:00-01:00, 01:00-03:00, … 21:00-23:00,
      or 不明の場合 to print the main star of every palace for every period.
  zelvara-cli bench [--from YEAR] [--to YEAR] [--mode cached|checked|read] [--home DIR]
      Casts every day and period of the years on one core and reports charts per
      second: with calendar years cached, cached but checked for changes on every
      chart, and with the three calendar files read for every chart.
  zelvara-cli export koyomi|2txt|casio|kyu --out DIR [--from YEAR --to YEAR] [--home DIR]
      Casts every day and period of a range of years and writes the batch data:
      koyomi  DIR/koyomi.DB (SQLite), 1930-2010
      2txt    DIR/zelvYYYY.txt, one file per year, 1925-2010
      casio   DIR/CASIO/YYYYMM.dat, one file per month, 1922-1929
      kyu     DIR/zelv1921.txt, the lunar date of every day from 02/01 (1921 only)
      Progress goes to stderr; at the end, how many moments the engine refused.
  zelvara-cli reading overall [--palace 命宮|all] <the options of chart>
  zelvara-cli reading luck --period 1..12 <the options of chart>
  zelvara-cli reading marriage <the options of chart>
      Casts the chart and prints a reading as the reading pages show it: each text
      area's lines under a line "--- NAME [TAB] ---" (overall: hlp12Memo and KanteiMemo
      of one palace or of all twelve; luck: KounMemo of one ten-year period; marriage:
      AiMemo1 and AiMemo2). The reading texts are the tables in the program folder,
      made from the seeds beside this program where missing.
  zelvara-cli print chart|graph|overall|luck|marriage|legends --pdf FILE [--dpi 600]
                    [--title TEXT] [--tel TEXT] [--settings zelv.ini] <the options of chart>
      Prints to a PDF file what the program's print buttons print: chart (the chart
      sheet), graph (the bar-chart page that follows it when グラフも印刷する is on),
      overall [--palace 命宮|all] (all: twelve documents, as with 12宮全部印刷),
      luck --period 1..12, marriage, legends (no chart options needed). A second and
      further document goes to FILE's name with -2, -3 … before ".pdf". The footer
      carries --title and --tel, else title and tel of the settings file's [owner].
      The names of the files written go to stdout.
  zelvara-cli register list [--csv] | check | backup --out FILE | restore --from FILE
                     | deleted | undelete N   [--home DIR]
      The person register nam_data.db of the program folder. list prints the records
      (--csv: every field, RFC 4180, UTF-8); check tests the file and every field's size
      in Shift-JIS bytes (exit 1 on a fault); backup copies the register consistently to
      FILE; restore replaces it with FILE, a backup or an exported copy, after saving the
      current register under backup/; deleted lists the deleted records with their
      numbers; undelete N brings one back. restore and undelete take the register's lock
      and stop with exit code 3 while another program holds it.

  --home DIR   folder of the calendar data files (default: $ZELVARA_HOME, else the
               folder of this program).
Messages the engine shows go to stderr; the exit code is 1 when the request stops.
)";

using cli::ProgramFolder;
using cli::StderrSink;

int Chart(const std::map<std::string, std::string>& opts) {
    StderrSink sink;
    EngineContext ctx(ProgramFolder(opts), sink);
    BirthInput in;
    if (!cli::ReadBirthOptions(opts, ctx, in)) return 2;
    const bool unknownHour = in.hour == "不明の場合";
    if (unknownHour) {
        CheckedBirth checked;
        if (CheckBirthInput(ctx, in, checked) < 0) return 1;
        HourGrid grid;
        if (CastAllHours(ctx, ctx.man.birthYear, ctx.man.birthMonth, ctx.man.birthDay, grid) < 0) return 1;
        cli::PrintHourGrid(std::cout, grid);
        return 0;
    }
    if (RequestChart(ctx, in) < 0) return 1;
    if (opts.count("--json"))
        cli::PrintChartJson(std::cout, ctx);
    else
        cli::PrintChartText(std::cout, ctx);
    return 0;
}

int Bench(const std::map<std::string, std::string>& opts) {
    auto year = [&](const char* key, int fallback) {
        auto it = opts.find(key);
        return it == opts.end() ? fallback : std::atoi(it->second.c_str());
    };
    auto mode = opts.find("--mode");
    return cli::RunBench(ProgramFolder(opts), year("--from", 1922), year("--to", 2099),
                         mode == opts.end() ? std::string() : mode->second);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::cout << kUsage;
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    std::map<std::string, std::string> opts;
    std::vector<std::string> words;  // the tool's name after "export", the reading's after "reading"
    for (int i = 2; i < argc; ++i) {
        const std::string key = argv[i];
        if ((command == "export" || command == "reading" || command == "print" || command == "register") &&
            key.rfind("--", 0) != 0) {
            words.push_back(key);
        } else if (key == "--json" || key == "--csv") {
            opts[key] = "1";
        } else if (key.rfind("--", 0) == 0 && i + 1 < argc) {
            opts[key] = argv[++i];
        } else {
            std::cerr << "不明な引数です: " << key << "\n" << kUsage;
            return 2;
        }
    }
    if (command == "chart") return Chart(opts);
    if (command == "bench") return Bench(opts);
#ifdef ZELVARA_HAS_BATCH
    if (command == "export") return cli::RunExport(words, opts, ProgramFolder(opts));
#else
    if (command == "export") {
        std::cerr << "この zelvara-cli は Qt なしで作られたため export を使えません。\n";
        return 2;
    }
#endif
#ifdef ZELVARA_HAS_READINGS
    if (command == "reading") return cli::RunReading(words, opts, ProgramFolder(opts));
#else
    if (command == "reading") {
        std::cerr << "この zelvara-cli は Qt なしで作られたため reading を使えません。\n";
        return 2;
    }
#endif
#ifdef ZELVARA_HAS_PRINT
    if (command == "print") return cli::RunPrint(words, opts, ProgramFolder(opts));
#else
    if (command == "print") {
        std::cerr << "この zelvara-cli は Qt なしで作られたため print を使えません。\n";
        return 2;
    }
#endif
#ifdef ZELVARA_HAS_REGISTER
    if (command == "register") return cli::RunRegister(words, opts, ProgramFolder(opts));
#else
    if (command == "register") {
        std::cerr << "この zelvara-cli は Qt なしで作られたため register を使えません。\n";
        return 2;
    }
#endif
    std::cerr << "不明なコマンドです: " << command << "\n" << kUsage;
    return 2;
}
