// Star placement, transformations and brightness; the main star of each palace.
#pragma once

#include "engine/context.h"
#include "engine/conventions.h"

namespace zelvara {

// Runs palaces, bureau, the twenty stars, body palace, the additional stars,
// the transformations and brightness in that order. −1 when an input lies
// outside the placement tables (the record is then left partly placed).
// The palaces and the month-driven stars go by months (the month pillar's
// branch and the lunar month, unless the conventions chose others), the 四化
// by a table.
int PlaceStars(Tmandata& man, const PalaceMonths& months, const TransformTable& transforms);
inline int PlaceStars(Tmandata& man) { return PlaceStars(man, {man.branches.month, man.lunarMonth}, {}); }
inline int PlaceStars(EngineContext& ctx) { return PlaceStars(ctx.man); }

// mainStar and luckRulingStar for every palace.
void FindMainStars(Tmandata& man);
inline void FindMainStars(EngineContext& ctx) { FindMainStars(ctx.man); }

// Table lookups, 0 outside their ranges.
int ZiweiBranch(int lunarDay, int bureau);
int Brightness(int branch, int star);
// The star (1..20) that a stem transforms into 禄 (1), 権 (2), 科 (3) or 忌 (4):
// the birth chart's transformations by its year stem, and every palace's by
// its own stem.
int TransformStarOf(int stem, int transform);

}  // namespace zelvara
