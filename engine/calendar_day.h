// The calendar facts of a civil day that the day and hour layers need, read
// from the calendar data files, and the layers of a chart that need them.
#pragma once

#include "engine/chart_request.h"
#include "engine/context.h"
#include "engine/time_layers.h"

#include <optional>
#include <vector>

namespace zelvara {

// The lunar date (with its lunar year and whether the month is a leap month)
// and the day pillar of a civil day, by the same expansion of the calendar
// files that gives a birth its lunar date. The files are read into a context
// of its own, so the chart's year slots stay as they are. nullopt for a day
// outside 1921-01-06 … 2100-12-31 or one the month does not have; a file that
// cannot be read shows its message through the chart context's sink.
std::optional<CalendarDay> CalendarDayOf(const EngineContext& chart, const CivilDate& date);

// A leap month: the western year in which its lunar year began, and the
// number of the month it repeats.
struct LeapMonth {
    int lunarYear = 0;
    int month = 0;
    bool operator==(const LeapMonth&) const = default;
};

// Every leap month of the lunar years that begin in fromYear..toYear, in
// order, read from the calendar data files (quietly: a year whose files
// cannot be read has none).
std::vector<LeapMonth> LeapMonthsOf(const EngineContext& chart, int fromYear, int toYear);

// The layer a choice picks on a chart, reading the calendar day for a day or
// an hour through ctx's calendar files; nullopt when it cannot be laid.
std::optional<TimeLayer> ChartLayerOf(const EngineContext& ctx, const Chart& chart, const LayerChoice& choice);

}  // namespace zelvara
