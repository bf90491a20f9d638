#include "session/layer_overlay.h"

#include "common/qstring_utf8.h"

namespace zelvara {
namespace {

QString PillarOf(const TimeLayer& layer) { return Q(kStemNames[layer.stem]) + Q(kBranchNames[layer.branch]); }

}  // namespace

ChartOverlay ComposeOverlay(const Tmandata& man, const ChartLayout& layout, const std::vector<TimeLayer>& layers,
                            int flyingFrom) {
    ChartOverlay boxes{};
    for (const TimeLayer& layer : layers) {
        if (layer.kind == LayerKind::Birth) continue;
        for (int p = 1; p <= kPalaces; ++p) {
            const int b = man.palaceBranch[p];
            if (b >= 1 && b <= kBranches)
                boxes[b].layerPalaces.push_back({layer.kind, Q(LayerPalaceName(layer.kind, layer.layerPalace[p]))});
        }
        for (int t = 1; t <= kTransforms; ++t) {
            const TransformCarrier carrier{layer.transformStar[t], layer.transformMinor[t]};
            if (const int slot = BoxSlotOfCarrier(layout, man, carrier))
                boxes[CarrierBranch(man, carrier)].layerMarks[slot].push_back({layer.kind, Q(TransformChar(t))});
        }
    }
    if (flyingFrom >= 1 && flyingFrom <= kPalaces) {
        const FlyingTransforms flying = FlyTransforms(man);
        const int source = man.palaceBranch[flyingFrom];
        if (source >= 1 && source <= kBranches) boxes[source].flyingSource = true;
        for (int t = 1; t <= kTransforms; ++t) {
            const TransformCarrier& carrier = flying.carrier[flyingFrom][t];
            const int slot = BoxSlotOfCarrier(layout, man, carrier);
            if (slot == 0) continue;
            BoxOverlay& box = boxes[CarrierBranch(man, carrier)];
            box.flyingMarks[slot] += Q(TransformChar(t));
            box.selfMarks[slot] = box.selfMarks[slot] || flying.SelfTransform(flyingFrom, t);
        }
    }
    return boxes;
}

QString FlyingHintLine() { return QStringLiteral("Ctrl+クリックで飛星"); }

QString FlyingHintTip() {
    return QStringLiteral(
        "Ctrl+クリック（または右クリックの「飛星を表示」）で、この宮の飛星（四化の飛び先）を表示します");
}

QString FlyingSummary(const Tmandata& man, int palace, int lines) {
    const FlyingTransforms flying = FlyTransforms(man);
    if (palace < 1 || palace > kPalaces || flying.palaceStem[palace] == 0) return {};
    QString text = Q(kPalaceNames[palace]) + QStringLiteral("（") + Q(kStemNames[flying.palaceStem[palace]]) +
                   QStringLiteral("）の飛星");
    for (const FlyingTransforms::JiClash& clash : flying.jiClashes)
        if (clash.from == palace)
            text += QStringLiteral("\n忌沖：") + Q(kPalaceNames[clash.clashed]) +
                    (clash.clashed == palace ? QStringLiteral("（自宮）") : QString());
    QString self;
    for (int t = 1; t <= kTransforms; ++t)
        if (flying.SelfTransform(palace, t)) self += Q(TransformChar(t));
    text += (lines <= 2 ? QStringLiteral(" ") : QStringLiteral("\n")) + QStringLiteral("自化：") +
            (self.isEmpty() ? QStringLiteral("なし") : self);
    return text;
}

QString LegendCaption(const TimeLayer& layer) {
    switch (layer.kind) {
        case LayerKind::Day:
            return LegendShortCaption(layer) + QStringLiteral("（") + PillarOf(layer) + QStringLiteral("）");
        case LayerKind::Hour:
            return QStringLiteral("流時%1/%2 %3時（%4）")
                .arg(layer.date.month)
                .arg(layer.date.day)
                .arg(Q(kBranchNames[layer.branch]), PillarOf(layer));
        default: return Q(LayerCaption(layer));
    }
}

QString LegendShortCaption(const TimeLayer& layer) {
    switch (layer.kind) {
        case LayerKind::Decade: return QStringLiteral("大限%1").arg(layer.period);
        case LayerKind::Year: return QStringLiteral("流年%1").arg(layer.year);
        case LayerKind::Month:
            return QStringLiteral("流月%1%2月")
                .arg(layer.leapMonth ? QStringLiteral("閏") : QString())
                .arg(layer.month);
        case LayerKind::Day: return QStringLiteral("流日%1/%2").arg(layer.date.month).arg(layer.date.day);
        case LayerKind::Hour: return QStringLiteral("流時%1").arg(Q(kBranchNames[layer.branch]));
        case LayerKind::Birth: break;
    }
    return {};
}

}  // namespace zelvara
