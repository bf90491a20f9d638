#include "print/layer_colour.h"

namespace zelvara {

QColor LayerColour(LayerKind kind) {
    switch (kind) {
        case LayerKind::Decade: return QColor(200, 90, 0);
        case LayerKind::Year: return QColor(0, 128, 128);
        case LayerKind::Month: return QColor(128, 0, 160);
        case LayerKind::Day: return QColor(0, 110, 0);
        case LayerKind::Hour: return QColor(150, 60, 90);
        case LayerKind::Birth: break;
    }
    return QColor(Qt::black);
}

}  // namespace zelvara
