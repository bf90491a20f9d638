#include "windows/calendar_month.h"

#include "engine/context.h"
#include "engine/conversion.h"

namespace zelvara {

std::string_view DoubleHourRange(int hour) {
    if (hour < 1 || hour > kHours) return {};
    return kHourPeriodTexts[hour - 1];
}

std::string RisyunText(const CalendarYear& year) {
    const MonthInfo& feb = year.monthInfo[2];
    std::string text = "2月 " + std::to_string(feb.termDay) + "日 ";
    text += BranchName(feb.termHour);
    text += "の刻（";
    text += DoubleHourRange(feb.termHour);
    text += "）";
    return text;
}

CalendarMonthPage CalendarMonth(const CalendarYear& year, int month, const CalendarYear* nextYear) {
    CalendarMonthPage page;
    if (month < 1 || month > 12) return page;
    const MonthInfo& info = year.monthInfo[month];
    page.month = month;
    page.days = std::clamp(info.monthDays, 0, 31);
    page.termDay = info.termDay;
    page.termHourRange = std::string(DoubleHourRange(info.termHour));

    // The lunar dates come from the engine's own month expansion (the one the
    // chart uses), run on a copy so that the chart's year slots stay untouched.
    SilentSink silent;
    EngineContext scratch(std::string(), silent);
    static_cast<CalendarYear&>(scratch.reki.slot[2]) = year;
    if (nextYear) static_cast<CalendarYear&>(scratch.reki.slot[3]) = *nextYear;
    ExpandLunarMonth(scratch, 2, month);
    const YearSlot& expanded = scratch.reki.slot[2];

    int stem = year.firstDayInfo[month].stem;
    int branch = year.firstDayInfo[month].branch;
    for (int day = 1; day <= page.days; ++day) {
        CalendarDayCell& cell = page.cells[day];
        cell.lunar = expanded.lunarText[day].str();
        cell.stem = std::string(StemName(stem));
        cell.branch = std::string(BranchName(branch));
        stem = stem % kStems + 1;
        branch = branch % kBranches + 1;
    }
    return page;
}

}  // namespace zelvara
