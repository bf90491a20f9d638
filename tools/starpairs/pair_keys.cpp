#include "tools/starpairs/pair_keys.h"

#include "engine/chart_request.h"
#include "engine/context.h"

namespace zelvara {
namespace {

bool Marked(const std::string& label) {
    return label.find('(') != std::string::npos && label.find(')') != std::string::npos;
}

bool LeapYear(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysIn(int y, int m) {
    static const int days[] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && LeapYear(y) ? 29 : days[m];
}

}  // namespace

std::vector<std::string> PairKeysOf(const ChartLayout& layout, int palace) {
    std::vector<std::string> keys;
    const auto& t = layout.boxText[palace];
    for (int i = 1; i <= kBoxSlots - 1 && !t[i + 1].empty(); ++i) {
        if (Marked(t[i])) continue;
        for (int j = i + 1; j <= kBoxSlots && !t[j].empty(); ++j)
            if (!Marked(t[j])) keys.push_back("#" + t[i] + "-" + t[j]);
    }
    return keys;
}

PairSurvey SurveyPairKeys(EngineContext& ctx, int from, int to) {
    PairSurvey survey;
    for (int y = from; y <= to; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1; d <= DaysIn(y, m); ++d)
                for (int h = 0; h < 12; ++h) {
                    const CastOutcome chart = CastChart(ctx, {.year = y, .month = m, .day = d, .hourIndex = h});
                    if (!chart) {
                        ++survey.refused;
                        continue;
                    }
                    ++survey.charts;
                    const ChartLayout layout = LayOutChart(chart->Man());
                    for (int p : kPairPalaces)
                        for (const std::string& key : PairKeysOf(layout, p)) ++survey.count[key];
                }
    return survey;
}

std::vector<std::string> BlockKeysOf(const std::string& text) {
    std::vector<std::string> keys;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.size() > 1 && line[0] == '#') keys.push_back(line);
        start = end + 1;
    }
    return keys;
}

}  // namespace zelvara
