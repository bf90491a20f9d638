// What the time layers and a palace's flights put over a chart, box by box:
// the palace names and 四化 of every layer shown (one or several stacked),
// the flying 四化 of one palace, and the texts that name them. Pure functions
// of a chart, its layout and the layers; the chart page places and paints
// them (main/chart_overlay.h).
#pragma once

#include "engine/chart_layout.h"
#include "engine/time_layers.h"

#include <QString>

#include <array>
#include <vector>

namespace zelvara {

// One layer's text in a box: a palace name (年命) or a 四化 mark (禄).
struct LayerLabel {
    LayerKind kind = LayerKind::Birth;
    QString text;
    bool operator==(const LayerLabel&) const = default;
};

// What is put over one box (the box of branch b).
struct BoxOverlay {
    std::vector<LayerLabel> layerPalaces;               // one per layer shown, in stack order
    std::array<std::vector<LayerLabel>, 7> layerMarks;  // by star slot 1..6, in stack order
    std::array<QString, 7> flyingMarks;                 // by star slot 1..6: the flight landing on that star
    std::array<bool, 7> selfMarks{};                    // the flight is a 自化
    bool flyingSource = false;                          // the palace whose flights are shown
};

using ChartOverlay = std::array<BoxOverlay, kBranches + 1>;

// The overlay of every box, from a chart, its layout, the layers shown (in
// stack order; the birth layer adds nothing) and the palace whose flights
// are shown (0 for none).
ChartOverlay ComposeOverlay(const Tmandata& man, const ChartLayout& layout, const std::vector<TimeLayer>& layers,
                            int flyingFrom);

// The line the centre panel shows while a layer is shown and no palace's
// flights are, and the hint the palace buttons' tooltips end with.
QString FlyingHintLine();
QString FlyingHintTip();

// The panel text of a palace's flights: 命宮（乙）の飛星 / 忌沖：夫妻 / 自化：なし;
// with `lines` 2 the last two share a line.
QString FlyingSummary(const Tmandata& man, int palace, int lines = 3);

// A layer's name in the picker's legend: the whole caption when it is shown
// alone (大限3（23〜32才）, 流日4/15（甲子）), a short one in a stack
// (大限3, 流年2027, 流月3月, 流日4/15, 流時巳).
QString LegendCaption(const TimeLayer& layer);
QString LegendShortCaption(const TimeLayer& layer);

}  // namespace zelvara
