// Boundary warnings: after a cast, the charts a nearby reading of the birth or
// another convention would give. The exact time within 15 minutes of a period
// boundary (the neighbouring period), a birth within a day of its month's 節
// entry (the other side of it), a birth in the 子 period (23:00–24:00 counted
// to the next day), and every other value of each convention switch (which
// covers a leap month's rules and the other meridian's lunar date). Only the
// alternatives whose chart differs are kept, each with its one-line reason and
// the fields that differ. A boundary alternative says that this birth sits
// where a reading changes the chart; the others are the other values of a
// switch that changes every chart of its stem or month.
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
    // The birth lies at a boundary: the neighbouring period, the other side
    // of a 節 entry, 23:00–24:00, the other meridian where the two lunar dates
    // differ, the other year start between 立春 and 旧正月, the palace-month
    // rules of a birth in a leap month. false: another value of a switch that
    // changes every chart it applies to (a 四化 variant, the lunar palace
    // month outside leap months).
    bool boundary = false;
};

struct AlternativeOptions {
    // For a birth known only by its period: both neighbouring periods (the
    // 亥 before a 子 birth is that of the same day).
    bool neighbourPeriods = false;
};

// The fields in which two charts differ (empty: the same chart).
std::vector<std::string> ChartDifferences(const Tmandata& a, const Tmandata& b);

// The kept alternatives of a cast chart. minuteOfDay: the corrected exact time
// when one was given. The context's record and year slots are those of the
// request again afterwards; the alternative casts show no message.
std::vector<ChartAlternative> FindAlternatives(EngineContext& ctx, const ChartRequest& request, const Chart& chart,
                                               std::optional<int> minuteOfDay = std::nullopt,
                                               AlternativeOptions options = {});

// Whether any kept alternative is a boundary one.
bool HasBoundaryAlternative(const std::vector<ChartAlternative>& alternatives);

// The chart of one alternative of request, cast without a message; the
// context's record and year slots are those of request again afterwards.
// nullopt when it cannot be cast.
std::optional<Chart> CastAlternative(EngineContext& ctx, const ChartRequest& request,
                                     const ChartAlternative& alternative);

// The differences of b from a as a reader names them: 「命宮 寅→卯」,
// 「身宮 寅→卯」, 「五行局 水二局→木三局」, 「紫薇 子→丑」, 「左輔 子→丑」,
// 「化科 天府→右弼」 — in ChartDifferences' order.
std::vector<std::string> DifferenceTexts(const Tmandata& a, const Tmandata& b);

}  // namespace zelvara
