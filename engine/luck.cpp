#include "engine/luck.h"

namespace zelvara {

int LuckDirection(char sex, int yearStem) {
    const bool yang = yearStem % 2 == 1;
    if ((sex == 'M' && yang) || (sex == 'F' && !yang)) return 0;
    return -1;
}

int DaysToNextTerm(const Treki& reki, int slot, int m, int d) {
    if (slot < 1 || slot > 3 || m < 1 || m > 12) return -1;
    const MonthInfo& mi = reki.slot[slot].monthInfo[m];
    if (d < mi.termDay) return mi.termDay - d;
    if (m == 12 && slot == 3) return -1;  // no year after the last slot
    const MonthInfo& next = m == 12 ? reki.slot[slot + 1].monthInfo[1] : reki.slot[slot].monthInfo[m + 1];
    return mi.monthDays - d + next.termDay;
}

int DaysSincePreviousTerm(const Treki& reki, int slot, int year, int m, int d) {
    if (slot < 1 || slot > 3 || m < 1 || m > 12) return -1;
    const MonthInfo& mi = reki.slot[slot].monthInfo[m];
    if (mi.termDay < d) return d - mi.termDay;
    if (m == 1 && (year - 1 < kFirstCalendarYear || slot == 1)) return -1;
    const MonthInfo& prev = m == 1 ? reki.slot[slot - 1].monthInfo[12] : reki.slot[slot].monthInfo[m - 1];
    return d + prev.monthDays - prev.termDay;
}

int LuckAgeOfDays(int days) { return days / 3 + (days % 3 == 2 ? 1 : 0); }

namespace {

int DaysInDirection(const EngineContext& ctx, int direction) {
    const TermReference& t = ctx.termRef;
    return direction == 0 ? DaysToNextTerm(ctx.reki, t.slot, t.month, t.day)
                          : DaysSincePreviousTerm(ctx.reki, t.slot, ctx.man.birthYear, t.month, t.day);
}

}  // namespace

int ComputeLuckStart(EngineContext& ctx) {
    Tmandata& man = ctx.man;
    man.luckDirection = LuckDirection(man.sexCode, man.stems.year);
    man.daysToTerm = DaysInDirection(ctx, man.luckDirection);
    if (man.daysToTerm < 1) return -1;
    man.firstLuckAge = LuckAgeOfDays(man.daysToTerm);
    ctx.firstLuckAgeMale = LuckAgeOfDays(DaysInDirection(ctx, LuckDirection('M', man.stems.year)));
    ctx.firstLuckAgeFemale = LuckAgeOfDays(DaysInDirection(ctx, LuckDirection('F', man.stems.year)));
    return 0;
}

}  // namespace zelvara
