// Star placement, transformations and brightness; the main star of each palace.
#pragma once

#include "engine/context.h"

namespace zelvara {

// Runs palaces, bureau, the twenty stars, body palace, the additional stars,
// the transformations and brightness in that order. −1 when an input lies
// outside the placement tables (the record is then left partly placed).
int PlaceStars(Tmandata& man);
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
