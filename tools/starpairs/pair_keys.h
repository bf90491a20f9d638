// The star-pair keys that the overall reading looks up in a chart, and their
// survey over a range of birth years. The overall reading reads pairs in
// 命宮, 遷移宮 and 官禄宮: for two labels of a box in display order, the key is
// "#" + earlier label + "-" + later label; labels carrying a transformation
// mark, such as 太陽(忌), take no part. The writers' tool and the seed tests
// share this survey, and a test checks it against the reading itself.
#pragma once

#include "engine/chart_layout.h"

#include <map>
#include <string>
#include <vector>

namespace zelvara {

class EngineContext;

// The palaces whose overall reading has a star-pair section.
inline constexpr int kPairPalaces[] = {2, 8, 10};

// The keys palace p of the layout looks up, in the reading's order (repeats
// kept, as the reading would look each up).
std::vector<std::string> PairKeysOf(const ChartLayout& layout, int palace);

struct PairSurvey {
    std::map<std::string, long> count;  // key → palaces that look it up
    long charts = 0;
    long refused = 0;  // moments the engine refused (before the first term of 1921)
};

// Casts every day and hour period of the years from..to and counts the keys
// of the pair palaces.
PairSurvey SurveyPairKeys(EngineContext& ctx, int from, int to);

// The key lines of a star-pair file's text ("#" and more, before or after the
// opening notes), in file order.
std::vector<std::string> BlockKeysOf(const std::string& text);

}  // namespace zelvara
