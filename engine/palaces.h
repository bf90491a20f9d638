// Palaces, bureau and body palace.
#pragma once

#include "engine/zelvara.h"

namespace zelvara {

// Brings any value into 1..12.
constexpr int WrapBranch(int b) { return ((b - 1) % 12 + 12) % 12 + 1; }

// Each returns 0 for inputs outside their tables.
int LifePalaceBranch(int monthBranch, int hourBranch);
int BureauOf(int lifePalaceBranch, int yearStem);
int BodyPalaceBranch(int hourBranch, int lunarMonth);

// Palace branches, bureau (steps 1–3), the life palace by the month pillar's
// branch or by the branch of the month the conventions place it by. −1 when
// the pillars are out of range.
int PlacePalaces(Tmandata& man, int monthBranch);
inline int PlacePalaces(Tmandata& man) { return PlacePalaces(man, man.branches.month); }

}  // namespace zelvara
