// The palace-strength bar chart "出生図分析": twelve horizontal bars in palace
// order, each with its palace name, its value and a colour of its own, on a
// silver ground. Drawn by the same code on screen and on a printer page.
#pragma once

#include "engine/zelvara.h"

#include <QColor>
#include <QRectF>

#include <array>

class QPainter;

namespace zelvara {

using PalaceStrength = std::array<int, kPalaces + 1>;  // [1..12]

// The colour of palace p's bar (distinct for the twelve palaces).
QColor PalaceBarColor(int palace);

// Draws the whole chart scaled into rect. fontScale multiplies the font sizes
// (1 on screen; a printer passes its dots per screen pixel).
void DrawPalaceStrengthChart(QPainter& painter, const QRectF& rect, const PalaceStrength& strength,
                             double fontScale = 1.0);

}  // namespace zelvara
