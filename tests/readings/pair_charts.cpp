// zelvara-pair-charts DATA FROM TO: for every star-pair key of the survey, the
// first birth moment of the years FROM..TO whose chart looks it up, as
// "key<TAB>YEAR/MONTH/DAY<TAB>hour period". compare_readings.sh composes
// every reading of these charts with two builds and compares the texts.
#include "engine/chart_request.h"
#include "engine/context.h"
#include "tools/starpairs/pair_keys.h"

#include <QDate>

#include <cstdlib>
#include <iostream>
#include <map>

using namespace zelvara;

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: zelvara-pair-charts DATA FROM TO\n";
        return 2;
    }
    SilentSink sink;
    EngineContext ctx(argv[1], sink);
    std::map<std::string, std::string> first;
    for (int y = std::atoi(argv[2]); y <= std::atoi(argv[3]); ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= QDate(y, m, 1).daysInMonth(); ++d)
                for (int h = 0; h < kHours; ++h) {
                    ChartRequest request;
                    request.year = y, request.month = m, request.day = d, request.hourIndex = h;
                    const CastOutcome chart = CastChart(ctx, request);
                    if (!chart) continue;
                    const ChartLayout layout = LayOutChart(chart->Man());
                    for (int p : kPairPalaces)
                        for (const std::string& key : PairKeysOf(layout, p))
                            first.try_emplace(key, std::to_string(y) + "/" + std::to_string(m) + "/" +
                                                       std::to_string(d) + "\t" + std::string(kHourPeriodTexts[h]));
                }
    for (const auto& [key, moment] : first) std::cout << key << '\t' << moment << '\n';
    return 0;
}
