// Boundary warnings: after a cast, the charts a nearby reading of the birth or
// another convention would give. The exact time within 15 minutes of a period
// boundary (the neighbouring period), a birth within a day of its month's 節
// entry (the other side of it), a birth in the 子 period (23:00–24:00 counted
// to the next day), and every other value of each convention switch (which
// covers a leap month's rules and the other meridian's lunar date). Only the
// alternatives whose chart differs are kept, each with its one-line reason and
// the fields that differ.
#pragma once

#include "engine/chart_request.h"
#include "engine/context.h"

#include <optional>
#include <string>
#include <vector>

namespace zelvara {

enum class AlternativeKind { kNeighbourPeriod, kSolarTerm, kLateHour, kConvention };

struct ChartAlternative {
    AlternativeKind kind = AlternativeKind::kConvention;
    // 「出生が 05:58、卯と辰の境から 2 分」
    std::string reason;
    // What it changes: "hour" (the period), "term" (the side of the 節 entry),
    // "late-hour", or a convention switch's key; and the value it takes:
    // "07:00-09:00", "before" / "after", a switch's word.
    std::string changes, value;
    ChartRequest request;  // the request that casts it
    // The fields that differ: "lifePalace", "bodyPalace", "bureau",
    // "star:紫薇" (a graded star that moves), "minor:左輔", "transform:禄"
    // (a 四化 that moves to another star).
    std::vector<std::string> differences;
};

// The fields in which two charts differ (empty: the same chart).
std::vector<std::string> ChartDifferences(const Tmandata& a, const Tmandata& b);

// The kept alternatives of a cast chart. minuteOfDay: the corrected exact time
// when one was given. The context's record and year slots are those of the
// request again afterwards; the alternative casts show no message.
std::vector<ChartAlternative> FindAlternatives(EngineContext& ctx, const ChartRequest& request, const Chart& chart,
                                               std::optional<int> minuteOfDay = std::nullopt);

}  // namespace zelvara
