// Charts placed from their pillars, lunar date and sex, as the engine's table
// tests and the hand-worked tests of the time layers and the 飛星表 use them. Placement is the engine's;
// the tests hold the working.
#pragma once

#include "engine/chart_layout.h"
#include "engine/luck.h"
#include "engine/stars.h"

namespace zelvara::test {

// A record whose placement inputs are set directly: the year pillar, the month
// and hour branches and the lunar date; nothing placed yet.
inline Tmandata PlacementInputs(int yearStem, int yearBranch, int monthBranch, int hourBranch, int lunarMonth,
                                int lunarDay) {
    Tmandata man;
    man.stems.year = yearStem;
    man.branches.year = yearBranch;
    man.branches.month = monthBranch;
    man.branches.hour = hourBranch;
    man.lunarMonth = lunarMonth;
    man.lunarDay = lunarDay;
    return man;
}

// A chart placed from its year pillar, month and hour branches, lunar date and
// sex; firstLuckAge > 0 also lays out the luck periods from that age.
inline Tmandata PlacedChart(int yearStem, int yearBranch, int monthBranch, int hourBranch, int lunarMonth, int lunarDay,
                            char sex, int firstLuckAge = 0) {
    Tmandata man = PlacementInputs(yearStem, yearBranch, monthBranch, hourBranch, lunarMonth, lunarDay);
    man.sexCode = sex;
    if (PlaceStars(man) != 0) return Tmandata{};
    if (firstLuckAge > 0) {
        man.luckDirection = LuckDirection(sex, yearStem);
        man.firstLuckAge = firstLuckAge;
        LayOutLuckPeriods(man);
    }
    return man;
}

}  // namespace zelvara::test
