#include "print/flying_table_print.h"

#include "common/qstring_utf8.h"
#include "print/print_document.h"

#include <algorithm>

namespace zelvara {
namespace {

// Page geometry in millimetres.
struct FlyingTableLayout {
    static constexpr int kTitleX = 20, kTitleY = 15, kTitlePoints = 15;
    static constexpr int kBirthY[2] = {21, 25}, kBirthPoints[2] = {9, 8};  // birth data, exact time and place
    static constexpr int kLeft = 20, kRight = 190;
    static constexpr int kHeaderY = 30;
    static constexpr int kFirstRowY = 38;
    static constexpr int kRowHeight = 8;
    static constexpr int kTextInset = 2;  // text below a row's top line
    static constexpr int kPalaceX = 22, kBranchX = 44, kStemX = 52;
    static constexpr int kTransformX[kTransforms + 1] = {0, 62, 94, 126, 158};
    static constexpr int kClashTitleY = 142;
    static constexpr int kClashFirstY = 150;
    static constexpr int kClashLineHeight = 6;
    static constexpr int kClashX = 22;
    static constexpr int kLayerTitleY = 230;
    static constexpr int kLayerFirstY = 238;
    static constexpr int kPoints = 10;
};
using L = FlyingTableLayout;

QString PalaceName(int palace) {
    return palace >= 1 && palace <= kPalaces ? Q(kPalaceNames[palace]) : QStringLiteral("－");
}

int RowTop(int row) { return L::kFirstRowY + L::kRowHeight * row; }

void DrawGrid(PrintDocument& doc) {
    const int bottom = RowTop(kPalaces);
    doc.Line(L::kLeft, L::kHeaderY - 2, L::kRight, L::kHeaderY - 2);
    for (int row = 0; row <= kPalaces; ++row) doc.Line(L::kLeft, RowTop(row), L::kRight, RowTop(row));
    for (int x : {L::kLeft, L::kBranchX - 2, L::kStemX - 2, L::kTransformX[1] - 2, L::kTransformX[2] - 2,
                  L::kTransformX[3] - 2, L::kTransformX[4] - 2, L::kRight})
        doc.Line(x, L::kHeaderY - 2, x, bottom);
}

void DrawHeader(PrintDocument& doc) {
    doc.SetFontSize(L::kPoints);
    doc.Text(L::kPalaceX, L::kHeaderY, QStringLiteral("宮"));
    doc.Text(L::kBranchX, L::kHeaderY, QStringLiteral("支"));
    doc.Text(L::kStemX, L::kHeaderY, QStringLiteral("干"));
    for (int t = 1; t <= kTransforms; ++t) doc.Text(L::kTransformX[t], L::kHeaderY, Q(kTransformNames[t]));
}

void DrawClashes(PrintDocument& doc, const FlyingTransforms& flying) {
    doc.Text(L::kClashX - 2, L::kClashTitleY, QStringLiteral("【忌沖】"), 12);
    doc.SetFontSize(L::kPoints);
    int y = L::kClashFirstY;
    for (const FlyingTransforms::JiClash& clash : flying.jiClashes) {
        const TransformCarrier& carrier = flying.carrier[clash.from][4];
        QString line = PalaceName(clash.from) + QStringLiteral("の忌（") + Q(CarrierShortName(carrier)) +
                       QStringLiteral("）→ ") + PalaceName(clash.to) + QStringLiteral("、") +
                       PalaceName(clash.clashed) + QStringLiteral("を沖");
        if (clash.clashed == clash.from) line += QStringLiteral("（自宮を沖）");
        doc.Text(L::kClashX, y, line);
        y += L::kClashLineHeight;
    }
}

void DrawLayer(PrintDocument& doc, const Tmandata& man, const TimeLayer& layer) {
    doc.Text(L::kClashX - 2, L::kLayerTitleY,
             QStringLiteral("【") + Q(LayerCaption(layer)) + QStringLiteral("の四化】"), 12);
    doc.Text(L::kClashX, L::kLayerFirstY, Q(LayerTransformsText(man, layer)), L::kPoints);
}

}  // namespace

QString FlyingCellText(const FlyingTransforms& flying, int palace, int transform) {
    const QString name = Q(CarrierShortName(flying.carrier[palace][transform]));
    if (name.isEmpty()) return {};
    if (flying.SelfTransform(palace, transform)) return name + QStringLiteral("（自化）");
    return name + QStringLiteral("→") + PalaceName(flying.target[palace][transform]);
}

void DrawFlyingTable(PrintDocument& doc, const Tmandata& man, const PersonText& person, const TimeLayer& layer,
                     const QStringList& birthLines) {
    const FlyingTransforms flying = FlyTransforms(man);
    QString title = QStringLiteral("【飛星表】 ") + person.Line();
    if (layer.kind != LayerKind::Birth) title += QStringLiteral("  ") + Q(LayerCaption(layer));
    doc.Text(L::kTitleX, L::kTitleY, title, L::kTitlePoints);
    for (int i = 0; i < std::min(2, int(birthLines.size())); ++i)
        doc.Text(L::kTitleX, L::kBirthY[i], birthLines[i], L::kBirthPoints[i]);
    doc.ClearBrush();
    DrawGrid(doc);
    DrawHeader(doc);
    for (int p = 1; p <= kPalaces; ++p) {
        const int y = RowTop(p - 1) + L::kTextInset;
        doc.Text(L::kPalaceX, y, PalaceName(p));
        doc.Text(L::kBranchX, y, Q(kBranchNames[man.palaceBranch[p]]));
        doc.Text(L::kStemX, y, Q(kStemNames[flying.palaceStem[p]]));
        for (int t = 1; t <= kTransforms; ++t) doc.Text(L::kTransformX[t], y, FlyingCellText(flying, p, t));
    }
    DrawClashes(doc, flying);
    if (layer.kind != LayerKind::Birth) DrawLayer(doc, man, layer);
    doc.PrintFooter();
}

}  // namespace zelvara
