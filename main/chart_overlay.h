// Where the chart page paints the overlay of its boxes (session/layer_overlay.h)
// and in which colours: the palace names of the layers, their 四化 marks and
// the flights, each inside its box and off the others.
#pragma once

#include "engine/chart_layout.h"
#include "print/layer_colour.h"
#include "session/layer_overlay.h"

#include <QColor>
#include <QRect>

namespace zelvara {

// Colours of the overlay: the layers' (print/layer_colour.h), and the flying marks.
QColor FlyingColour();
QColor SelfTransformColour();

// Where a box's parts stand on the page.
struct BoxPlaces {
    QRect frame;
    QRect palace;                                // the palace button
    std::array<QRect, kBoxSlots> stars;          // star labels, slots 1..6 at 0..5
    std::array<int, kBoxSlots> starTextWidth{};  // how far each label's text runs from its left edge
};

// One thing the overlay paints.
struct OverlayItem {
    enum class Style { PalaceName, Mark, SourceFrame };
    Style style = Style::Mark;
    QRect rect;
    QString text;
    QColor colour;  // the text's colour for a palace name, the fill of a mark, the frame's pen
};

// The items of one box. A palace name stands at the foot of the palace
// button: across it for one layer, in half-width cells rising from the foot
// for several (in stack order, left then right). A star's 四化 marks: the
// first layer's in the gutter left of the label, the flight at the label's
// right end, the other layers' leftwards from there.
std::vector<OverlayItem> LayOutBoxOverlay(const BoxOverlay& overlay, const BoxPlaces& places);

}  // namespace zelvara
