#include "main/chart_overlay.h"

namespace zelvara {
namespace {

// The marks' place in a box: the gutter left of the star labels, the right
// end of a star label, the foot of the palace button.
struct OverlayPlaces {
    static constexpr int kGutterWidth = 12;       // left of a star label
    static constexpr int kFlyingMarkWidth = 14;   // inside a star label's right end
    static constexpr int kStackMarkWidth = 12;    // a further layer's mark, left of the flight
    static constexpr int kPalaceNameHeight = 14;  // at the foot of the palace button
    static constexpr int kPalaceNameInset = 2;    // inside the button's bevel
};
using P = OverlayPlaces;

}  // namespace

QColor FlyingColour() { return QColor(0, 0, 160); }
QColor SelfTransformColour() { return QColor(200, 0, 0); }

std::vector<OverlayItem> LayOutBoxOverlay(const BoxOverlay& o, const BoxPlaces& places) {
    std::vector<OverlayItem> items;
    if (o.flyingSource)
        items.push_back({OverlayItem::Style::SourceFrame, places.frame.adjusted(1, 1, -2, -2), {}, FlyingColour()});

    const QRect& button = places.palace;
    const int nameLeft = button.left() + P::kPalaceNameInset;
    const int nameWidth = button.width() - 2 * P::kPalaceNameInset;
    const int footTop = button.bottom() - P::kPalaceNameHeight - 1;
    const int stacked = int(o.layerPalaces.size());
    for (int i = 0; i < stacked; ++i) {
        const LayerLabel& name = o.layerPalaces[size_t(i)];
        const QRect cell = stacked == 1
                               ? QRect(nameLeft, footTop, nameWidth, P::kPalaceNameHeight)
                               : QRect(nameLeft + (i % 2) * (nameWidth / 2), footTop - (i / 2) * P::kPalaceNameHeight,
                                       nameWidth / 2, P::kPalaceNameHeight);
        items.push_back({OverlayItem::Style::PalaceName, cell, name.text, LayerColour(name.kind)});
    }

    for (int r = 1; r <= kBoxSlots; ++r) {
        const QRect& label = places.stars[size_t(r - 1)];
        int right = label.right() + 1;  // the next mark ends here, leftwards
        if (!o.flyingMarks[r].isEmpty()) {
            const int width = P::kFlyingMarkWidth * int(o.flyingMarks[r].size());
            right -= width;
            items.push_back({OverlayItem::Style::Mark, QRect(right, label.top(), width, label.height()),
                             o.flyingMarks[r], o.selfMarks[r] ? SelfTransformColour() : FlyingColour()});
        }
        const std::vector<LayerLabel>& marks = o.layerMarks[r];
        for (size_t m = 0; m < marks.size(); ++m) {
            QRect cell;
            if (m == 0) {
                cell = QRect(label.left() - P::kGutterWidth - 1, label.top(), P::kGutterWidth, label.height());
            } else {
                right -= P::kStackMarkWidth;
                cell = QRect(right, label.top(), P::kStackMarkWidth, label.height());
            }
            items.push_back({OverlayItem::Style::Mark, cell, marks[m].text.left(1), LayerColour(marks[m].kind)});
        }
    }
    return items;
}

}  // namespace zelvara
