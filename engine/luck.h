// Luck direction, days to the solar term and the first luck age.
#pragma once

#include "engine/context.h"

namespace zelvara {

int LuckDirection(char sex, int yearStem);  // 0 forward, −1 backward
int DaysToNextTerm(const Treki& reki, int slot, int month, int day);
int DaysSincePreviousTerm(const Treki& reki, int slot, int year, int month, int day);  // −1 out of range
int LuckAgeOfDays(int days);

// −1 when the days cannot be counted (no message: the caller reports).
int ComputeLuckStart(EngineContext& ctx);

}  // namespace zelvara
