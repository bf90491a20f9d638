// zelvara-starpairs: a writer's tool for the reading texts.
//
//   zelvara-starpairs pairs DATA FROM TO
//       Casts every day and hour period of the years FROM..TO (calendar files
//       in DATA) and counts the star-pair keys "#A-B" that the overall reading
//       looks up in 命宮, 遷移宮 and 官禄宮: labels in display order, A before
//       B, labels carrying a transformation mark left out. Prints
//       "count<TAB>key" for every key seen, most frequent first.
//   zelvara-starpairs read DATA TABLES SEED 男|女 YEAR/MONTH/DAY HOUR [PALACE...]
//       Makes the reading tables in TABLES from the seeds in SEED (delete the
//       tables there first to see edited seeds), casts the chart and prints
//       the overall reading of the palaces given (default 命宮), the luck
//       reading of every period and the marriage reading.
#include "chart_layout.h"
#include "chart_request.h"
#include "context.h"
#include "luck_reading.h"
#include "marriage_reading.h"
#include "overall_reading.h"
#include "reading_tables.h"

#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

using namespace zelvara;

namespace {

class ErrSink final : public MessageSink {
public:
    void Show(std::string_view text, std::string_view) override { std::cerr << text << '\n'; }
};

bool Marked(const std::string& s) {
    return s.find('(') != std::string::npos && s.find(')') != std::string::npos;
}

int DaysIn(int y, int m) {
    static const int d[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return d[m];
}

int Pairs(const std::string& data, int from, int to) {
    SilentSink sink;
    EngineContext ctx(data, sink);
    std::map<std::string, long> count;
    long charts = 0, refused = 0;
    for (int y = from; y <= to; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= DaysIn(y, m); ++d)
                for (int h = 0; h < 12; ++h) {
                    if (CastChart(ctx, y, m, d, h) < 0) {
                        ++refused;
                        continue;
                    }
                    ++charts;
                    LayOutLuckPeriods(ctx.man);
                    const ChartLayout lay = LayOutChart(ctx.man);
                    for (int p : {2, 8, 10}) {
                        const auto& t = lay.boxText[p];
                        for (int i = 1; i <= 5; ++i) {
                            if (t[i + 1].empty()) break;
                            if (Marked(t[i])) continue;
                            for (int j = i + 1; j <= 6; ++j) {
                                if (t[j].empty()) break;
                                if (Marked(t[j])) continue;
                                ++count["#" + t[i] + "-" + t[j]];
                            }
                        }
                    }
                }
    std::vector<std::pair<long, std::string>> v;
    for (auto& [k, n] : count) v.push_back({n, k});
    std::sort(v.begin(), v.end(), [](auto& a, auto& b) { return a.first != b.first ? a.first > b.first : a.second < b.second; });
    for (auto& [n, k] : v) std::cout << n << '\t' << k << '\n';
    std::cerr << charts << " charts, " << refused << " refused, " << v.size() << " keys\n";
    return 0;
}

void Print(const QStringList& lines) {
    for (const QString& l : lines) std::cout << l.toStdString() << '\n';
}

int Read(int argc, char** argv) {
    ErrSink sink;
    EngineContext ctx(argv[2], sink);
    BirthInput in;
    in.sex = argv[5];
    std::string date = argv[6];
    size_t a = date.find('/'), b = date.find('/', a + 1);
    in.year = date.substr(0, a);
    in.month = date.substr(a + 1, b - a - 1);
    in.day = date.substr(b + 1);
    in.hour = argv[7];
    if (RequestChart(ctx, in) < 0) return 1;
    LayOutLuckPeriods(ctx.man);
    NameLuckPeriods(ctx.man);
    const ChartLayout lay = LayOutChart(ctx.man);
    ReadingTables tables(sink);
    if (!tables.Open(QString::fromUtf8(argv[3]), {QString::fromUtf8(argv[4])})) return 1;
    std::vector<int> palaces;
    for (int i = 8; i < argc; ++i) palaces.push_back(std::atoi(argv[i]));
    if (palaces.empty()) palaces.push_back(2);
    for (int p : palaces) {
        std::cout << "=== overall " << p << " ===\n";
        OverallReading r = ComposeOverallReading(ctx.man, lay.boxText, p, tables);
        if (r.hlp12Memo) Print(*r.hlp12Memo);
        std::cout << "---\n";
        if (r.kanteiMemo) Print(*r.kanteiMemo);
    }
    for (int period = 1; period <= 12; ++period) {
        std::cout << "=== luck " << period << " ===\n";
        Print(ComposeLuckReading(ctx.man, period, tables).kounMemo);
    }
    std::cout << "=== marriage ===\n";
    MarriageReading m = ComposeMarriageReading(ctx.man, tables);
    if (m.aiMemo1) Print(*m.aiMemo1);
    std::cout << "---\n";
    if (m.aiMemo2) Print(*m.aiMemo2);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "pairs" && argc == 5) return Pairs(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    if (mode == "read" && argc >= 8) return Read(argc, argv);
    std::cerr << "usage: zelvara-starpairs pairs DATA FROM TO\n"
                 "       zelvara-starpairs read DATA TABLES SEED 男|女 YEAR/MONTH/DAY HH:00-HH:00 [PALACE...]\n";
    return 2;
}
