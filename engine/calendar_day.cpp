#include "engine/calendar_day.h"

#include "engine/calendar_file.h"
#include "engine/conversion.h"

#include <algorithm>
#include <chrono>

namespace zelvara {
namespace {

// The lunar date and day pillar of a civil day from the calendar files of its
// year (loaded into scratch's slots); nullopt when a file cannot be read.
std::optional<LunarDay> LunarDayOnCalendar(EngineContext& scratch, const CivilDate& date) {
    if (LoadCalendarYears(scratch, date.year) < 0) return std::nullopt;
    return LunarDayOf(scratch.reki, 2, date.month, date.day);
}

CivilDate DaysBefore(const CivilDate& date, int days) {
    using namespace std::chrono;
    const year_month_day ymd{sys_days{year{date.year} / month{unsigned(date.month)} / day{unsigned(date.day)}} -
                             std::chrono::days{days}};
    return {int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))};
}

}  // namespace

std::optional<CalendarDay> CalendarDayOf(const EngineContext& chart, const CivilDate& date) {
    if (date.month < 1 || date.month > 12 || date.day < 1 || date.day > DaysInCivilMonth(date.year, date.month) ||
        InRange(date.year, date.month, date.day) < 0)
        return std::nullopt;
    EngineContext scratch(chart.ProgramFolder(), chart.Sink());
    const auto day = LunarDayOnCalendar(scratch, date);
    if (!day) return std::nullopt;
    const LunarDate& lunar = day->lunar;
    if (lunar.month < 1 || lunar.month > 12 || lunar.day < 1 || lunar.day > 30) return std::nullopt;
    CalendarDay result;
    result.date = date;
    result.lunarMonth = lunar.month;
    result.lunarDay = lunar.day;
    result.dayStem = day->stem >= 1 && day->stem <= kStems ? day->stem : 0;
    result.dayBranch = day->branch >= 1 && day->branch <= kBranches ? day->branch : 0;
    if (result.dayStem == 0 || result.dayBranch == 0) return std::nullopt;
    // The 11th and 12th lunar months reach into January and February of the
    // year after the one their lunar year began in.
    result.lunarYear = date.year - (date.month <= 2 && lunar.month >= 11 ? 1 : 0);
    // A leap month carries the number of the month before it: the day before
    // its 1st has the same number. The files begin with 1921, whose first
    // lunar month is not a leap month.
    const CivilDate dayBefore = DaysBefore(date, lunar.day);
    if (dayBefore.year >= kFirstCalendarYear) {
        const auto before = LunarDayOnCalendar(scratch, dayBefore);
        if (!before) return std::nullopt;
        result.leapMonth = before->lunar.month == lunar.month;
    }
    return result;
}

std::vector<LeapMonth> LeapMonthsOf(const EngineContext& chart, int fromYear, int toYear) {
    SilentSink quiet;
    EngineContext scratch(chart.ProgramFolder(), quiet);
    std::vector<LeapMonth> leaps;
    // A leap month begins within a civil month when a lunar month starts there
    // and the next civil month's 1st still has the number of the month before
    // it, as the expansion of the days reads it. The 11th and 12th months of a
    // lunar year can begin in the January or February after.
    for (int y = std::max(fromYear, kFirstCalendarYear); y <= toYear + 1 && y <= kLastChartYear; ++y) {
        if (LoadCalendarYears(scratch, y) < 0) continue;
        const YearSlot& slot = scratch.reki.slot[2];
        for (int m = 1; m <= 12; ++m) {
            const FirstDayInfo& first = slot.firstDayInfo[m];
            const bool startsWithin = first.lunarMonthDays - first.lunarDay + 1 < slot.monthInfo[m].monthDays;
            const int following =
                m < 12 ? slot.firstDayInfo[m + 1].lunarMonth : scratch.reki.slot[3].firstDayInfo[1].lunarMonth;
            if (!startsWithin || first.lunarMonth < 1 || first.lunarMonth >= 12 || following != first.lunarMonth)
                continue;
            const LeapMonth leap{y - (m <= 2 && first.lunarMonth >= 11 ? 1 : 0), first.lunarMonth};
            if (leap.lunarYear >= fromYear && leap.lunarYear <= toYear) leaps.push_back(leap);
        }
    }
    return leaps;
}

std::optional<TimeLayer> ChartLayerOf(const EngineContext& ctx, const Chart& chart, const LayerChoice& choice) {
    if (choice.kind != LayerKind::Day && choice.kind != LayerKind::Hour) return LayerOf(chart.Man(), choice);
    const auto day = CalendarDayOf(ctx, choice.date);
    if (!day) return std::nullopt;
    return LayerOf(chart.Man(), choice, day);
}

}  // namespace zelvara
