// The colour of each time layer, on the chart page, in its legend and on the
// prints and pictures of the chart.
#pragma once

#include "engine/time_layers.h"

#include <QColor>

namespace zelvara {

// One per layer kind; black for the birth chart.
QColor LayerColour(LayerKind kind);

}  // namespace zelvara
