#include "print/chart_sheet.h"

#include "common/qstring_utf8.h"
#include "engine/chart_layout.h"
#include "engine/conversion.h"
#include "print/layer_colour.h"
#include "print/print_document.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace zelvara {
namespace {

// Box of branch 1..12: (column, row) of its left and top lines, clockwise
// from the top-left corner.
constexpr std::array<std::pair<int, int>, kBranches + 1> kBoxCells = {{
    {0, 0},
    {1, 1},
    {2, 1},
    {3, 1},
    {4, 1},
    {4, 2},
    {4, 3},
    {4, 4},
    {3, 4},
    {2, 4},
    {1, 4},
    {1, 3},
    {1, 2},
}};

// The sheet's geometry, in millimetres from the top-left of the printable
// area, and its font sizes in points.
struct SheetText {
    int x, y, points;
};
constexpr SheetText kTitle{10, 10, 16};
constexpr SheetText kGradeNote{10, 17, 10};

// The 4 × 4 grid of boxes: line 1 at the left and top edge, a box's header
// strip below its top line, the centre's pillar columns and rows measured
// from the top-left box's right and header lines.
struct GridLayout {
    int left, columnWidth;
    int top, rowHeight;
    int headerHeight;
    int centreColumnStep, centreRowStep;
};
constexpr GridLayout kGrid{10, 46, 25, 60, 10, 10, 8};

// A box's header (palace, branch, age) from the box's top-left corner, and
// its star lines from the box's left line and header line.
struct BoxHeaderLayout {
    int x, y, branchX, ageX, points;
};
constexpr BoxHeaderLayout kBoxHeader{3, 2, 20, 30, 14};
// With the palace stems printed, stem and branch stand as one pair that ends
// where the branch alone does (one character of the header's size, 5 mm).
constexpr int kStemBranchX = kBoxHeader.branchX - 5;
struct StarLinesLayout {
    int x, lineStep, points;
};
constexpr StarLinesLayout kStarLines{8, 8, 12};

// A time layer over the sheet: its caption right of the title, its 四化
// after a star's text, its palace name in the box's bottom-right corner.
struct SheetLayerLayout {
    SheetText caption;
    int markGap, markDrop, markPoints;  // after the star text, lowered to its middle
    int nameFromRight, nameFromBottom, namePoints;
};
constexpr SheetLayerLayout kSheetLayer{{90, 11, 14}, 1, 1, 9, 10, 6, 10};

// The centre: the luck labels right of the middle line, the person's lines
// from the first pillar column, the lower three at fixed heights.
struct CentreLayout {
    int luckLabelX;  // from the middle column line
    int birthLineY;  // below the middle row line
    int lunarY, bodyPalaceY, bureauY;
};
constexpr CentreLayout kCentre{10, 10, 165, 175, 185};

// An exact birth time, under the bureau line: the clock and corrected times,
// and below them, smaller, what each correction added.
struct BirthTimeLayout {
    int timeY, correctionsY, correctionsPoints;
};
constexpr BirthTimeLayout kBirthTime{194, 199, 9};
// The place of an exact time, small, between the birth line and the lunar date.
constexpr SheetText kBirthPlace{0, 160, 9};

// The legend of a layer, under the grid and above the footer: a swatch of
// its colour, its caption, and what its names and marks are.
struct LegendLayout {
    SheetText head;
    int swatchX, swatchSize, captionX;
};
constexpr LegendLayout kLegend{{10, 267, 10}, 22, 3, 27};

void DrawBirthTime(PrintDocument& doc, int x, const QString& line) {
    const qsizetype open = line.indexOf(QStringLiteral("（"));
    doc.Text(x, kBirthTime.timeY, QStringLiteral("出生時刻：") + line.left(open));
    if (open >= 0) doc.Text(x, kBirthTime.correctionsY, line.mid(open), kBirthTime.correctionsPoints);
}

// The strength page: its heading, and the chart's rectangle with the growth
// of its fonts (about twice the height of the one on screen).
struct StrengthPageLayout {
    SheetText heading;
    int left, top, right, bottom;
    double fontScale;
};
constexpr StrengthPageLayout kStrengthPage{{20, 15, 15}, 10, 40, 170, 240, 1.6};

// The grid's pen: at least 0.2 mm wide whatever the printer's resolution
// (two dots are 0.04 mm at 1200 dpi, too fine to see), never under two dots.
constexpr double kGridPenMm = 0.2;
constexpr int kGridPenMinDots = 2;
QPen GridPen(const PrintDocument& doc, QPen pen) {
    pen.setWidth(std::max(kGridPenMinDots, int(std::ceil(kGridPenMm * doc.Mm().DotsPerInch() / 25.4))));
    return pen;
}

// The layer's caption, palace names and marks over the drawn sheet.
void DrawSheetLayer(PrintDocument& doc, const ChartSheet& s, const ChartGrid& g) {
    const SheetLayer& layer = s.layer;
    QPainter& painter = doc.Painter();
    painter.save();
    QPen pen = painter.pen();
    pen.setColor(LayerColour(layer.kind));
    painter.setPen(pen);
    doc.Text(kSheetLayer.caption.x, kSheetLayer.caption.y, layer.caption, kSheetLayer.caption.points);
    const int dotsPerMm = doc.Mm().DotsPerMm();
    for (int b = 1; b <= kBranches; ++b) {
        const int left = g.X[ChartGrid::BoxColumn(b)];
        const int right = g.X[ChartGrid::BoxColumn(b) + 1];
        const int bottom = g.Y[ChartGrid::BoxRow(b) + 1];
        doc.Text(right - kSheetLayer.nameFromRight, bottom - kSheetLayer.nameFromBottom, layer.palace[b],
                 kSheetLayer.namePoints);
        // Marks go on the line of their star, after its text, as the star
        // lines skip empty entries.
        int line = 0;
        for (int i = 0; i < int(s.box[b].stars.size()); ++i) {
            const SheetStar& star = s.box[b].stars[i];
            if (star.caption.isEmpty()) continue;
            if (!layer.marks[b][i].isEmpty()) {
                doc.SetFontSize(kStarLines.points);
                const int textMm =
                    (doc.Painter().fontMetrics().horizontalAdvance(GradeMark(star.grade) + star.caption) + dotsPerMm -
                     1) /
                    dotsPerMm;
                doc.Text(left + kStarLines.x + textMm + kSheetLayer.markGap,
                         g.H[ChartGrid::BoxRow(b)] + kStarLines.lineStep * line + kSheetLayer.markDrop,
                         layer.marks[b][i], kSheetLayer.markPoints);
            }
            ++line;
        }
    }
    painter.restore();
}

// "凡例 ■ 流年2027（丁未）：年命…は流年の宮、年禄…は流年の四化".
void DrawLayerLegend(PrintDocument& doc, const SheetLayer& layer) {
    const MillimetreTable& mm = doc.Mm();
    const QString prefix = Q(LayerPalaceName(layer.kind, kLifePalace)).left(1);  // 限, 年, 月, 日 or 時
    doc.Text(kLegend.head.x, kLegend.head.y, QStringLiteral("凡例"), kLegend.head.points);
    QPainter& painter = doc.Painter();
    painter.save();
    const QColor colour = LayerColour(layer.kind);
    const int swatchTop = kLegend.head.y + 1;
    painter.fillRect(QRect(mm[kLegend.swatchX], mm[swatchTop], mm[kLegend.swatchSize], mm[kLegend.swatchSize]), colour);
    QPen pen = painter.pen();
    pen.setColor(colour);
    painter.setPen(pen);
    const QString kindName = layer.caption.left(2);  // 大限, 流年, 流月, 流日, 流時
    doc.Text(kLegend.captionX, kLegend.head.y,
             layer.caption + QStringLiteral("：") + prefix + QStringLiteral("命…は") + kindName +
                 QStringLiteral("の宮、") + prefix + QStringLiteral("禄…は") + kindName + QStringLiteral("の四化"));
    painter.restore();
}

}  // namespace

QString BirthPlaceText(const QString& place, std::optional<double> longitudeEast) {
    if (!longitudeEast) return {};
    const QString degrees = QStringLiteral("東経 %1 度").arg(*longitudeEast, 0, 'f', 2);
    return place.isEmpty() ? degrees : place + QStringLiteral("　") + degrees;
}

QStringList SheetBirthLines(const ChartSheet& sheet) {
    QStringList lines{QStringLiteral("生年月日：") + sheet.birth + QStringLiteral("  ") + sheet.hour};
    QString exact;
    if (!sheet.birthTime.isEmpty()) exact += QStringLiteral("出生時刻：") + sheet.birthTime;
    if (!sheet.birthPlace.isEmpty())
        exact += (exact.isEmpty() ? QString() : QStringLiteral("  ")) + QStringLiteral("出生地：") + sheet.birthPlace;
    if (!exact.isEmpty()) lines << exact;
    return lines;
}

PersonText PersonTextOf(const Tmandata& man, const QString& name) {
    return {name, man.age > 0 ? QString::number(man.age) + QStringLiteral("才") : QString(),  // none: born after today
            man.sexCode == 'M' ? QStringLiteral("男命") : QStringLiteral("女命")};
}

ChartSheet ChartSheetOf(const Tmandata& man, const ChartLayout& layout, const QString& name, const QString& hourText) {
    ChartSheet s;
    for (int b = 1; b <= kBranches; ++b) {
        SheetBox& box = s.box[b];
        for (int p = 1; p <= kPalaces; ++p)
            if (man.palaceBranch[p] == b) box.palace = Q(kPalaceNames[p]);
        box.branch = Q(kBranchNames[b]);
        box.age =
            (layout.ageOfBranch[b] >= 0 ? QString::number(layout.ageOfBranch[b]) : QString()) + QStringLiteral("才");
        for (int r = 1; r <= kBoxSlots; ++r) {
            const StarSlot& slot = layout.box[b][r];
            if (slot.kind == StarSlot::Kind::Empty) continue;
            box.stars[r - 1] = {QString::fromStdString(slot.caption),
                                slot.kind == StarSlot::Kind::Star ? slot.brightness : 0};
        }
    }
    const int stems[4] = {man.stems.hour, man.stems.day, man.stems.month, man.stems.year};
    const int branches[4] = {man.branches.hour, man.branches.day, man.branches.month, man.branches.year};
    for (int i = 0; i < 4; ++i) {
        s.stems[i] = Q(StemName(stems[i]));
        s.branches[i] = Q(BranchName(branches[i]));
    }
    s.kouun = man.luckDirection != 0 ? QStringLiteral("逆行運") : QStringLiteral("順行運");
    s.rituun = QString::number(man.firstLuckAge) + QStringLiteral("年運");
    s.days = QStringLiteral("節入まで") + QString::number(man.daysToTerm) + QStringLiteral("日");
    s.person = PersonTextOf(man, name);
    s.birth = QString::fromStdString(man.birthText);
    s.hour = hourText;
    s.lunar =
        QString::number(man.lunarMonth) + QStringLiteral("月") + QString::number(man.lunarDay) + QStringLiteral("日");
    s.bodyPalace = man.bodyPalace;
    s.bureau = man.bureau;
    return s;
}

void SetSheetLayer(ChartSheet& sheet, const Tmandata& man, const ChartLayout& layout, const TimeLayer& layer) {
    sheet.layer = {};
    if (layer.kind == LayerKind::Birth) return;
    sheet.layer.caption = Q(LayerCaption(layer));
    sheet.layer.kind = layer.kind;
    for (int p = 1; p <= kPalaces; ++p) {
        const int b = man.palaceBranch[p];
        if (b >= 1 && b <= kBranches) sheet.layer.palace[b] = Q(LayerPalaceName(layer.kind, layer.layerPalace[p]));
    }
    const QString prefix = Q(LayerPalaceName(layer.kind, kLifePalace)).left(1);  // 限, 年 or 月
    for (int t = 1; t <= kTransforms; ++t) {
        const TransformCarrier carrier{layer.transformStar[t], layer.transformMinor[t]};
        if (const int slot = BoxSlotOfCarrier(layout, man, carrier))
            sheet.layer.marks[CarrierBranch(man, carrier)][slot - 1] += prefix + Q(TransformChar(t));
    }
}

void SetSheetStems(ChartSheet& sheet, const Tmandata& man) {
    for (int b = 1; b <= kBranches; ++b) {
        const int stem = BranchStem(man.stems.year, b);
        sheet.box[b].stem = stem != 0 ? Q(kStemNames[stem]) : QString();
    }
}

QString GradeMark(int grade) { return grade >= 1 && grade <= 4 ? Q(kBrightnessMarks[grade]) : QStringLiteral("    "); }

QString ChartSheetRefusal(const ChartSheet& sheet) {
    // Before the first chart (or after a request that stopped) the record
    // holds no bureau: there is no chart to print.
    if (sheet.bureau < 1 || sheet.bureau > kBureaus || sheet.bodyPalace < 0 || sheet.bodyPalace > kBranches)
        return QStringLiteral("鑑定ボタンを最初に行ってください。");
    return {};
}

int ChartGrid::BoxColumn(int branch) { return kBoxCells[branch].first; }
int ChartGrid::BoxRow(int branch) { return kBoxCells[branch].second; }

ChartGrid SetupChartGrid() {
    ChartGrid g;
    for (int i = 1; i <= 5; ++i) {
        g.X[i] = kGrid.left + kGrid.columnWidth * (i - 1);
        g.Y[i] = kGrid.top + kGrid.rowHeight * (i - 1);
        g.H[i] = g.Y[i] + kGrid.headerHeight;
    }
    for (int i = 1; i <= 4; ++i) g.C[i] = g.X[2] + kGrid.centreColumnStep * i;
    for (int i = 1; i <= 3; ++i) g.R[i] = g.H[2] + kGrid.centreRowStep * i;
    return g;
}

void DrawChartSheet(PrintDocument& doc, const ChartSheet& s) {
    doc.Text(kTitle.x, kTitle.y, QStringLiteral("【Zelvaraプロ版　出生図】"), kTitle.points);
    doc.Text(kGradeNote.x, kGradeNote.y,
             QStringLiteral("※(廟)(旺)は長所が作用しやすい。(失)(陥)は短所が作用しやすい。"), kGradeNote.points);
    DrawChartSheetGrid(doc, s);
    if (!s.layer.caption.isEmpty()) DrawLayerLegend(doc, s.layer);
    if (!s.conventions.isEmpty()) doc.SetConventionsLine(s.conventions);
    doc.PrintFooter();
}

void DrawChartSheetGrid(PrintDocument& doc, const ChartSheet& s) {
    const ChartGrid g = SetupChartGrid();

    // Grid: the centre (columns 2–3, rows 2–3) is one field, not cut.
    QPainter& painter = doc.Painter();
    painter.save();
    painter.setPen(GridPen(doc, painter.pen()));
    for (int i = 1; i <= 5; ++i) {
        if (i == 3) {
            doc.Line(g.X[1], g.Y[i], g.X[2], g.Y[i]);
            doc.Line(g.X[4], g.Y[i], g.X[5], g.Y[i]);
        } else {
            doc.Line(g.X[1], g.Y[i], g.X[5], g.Y[i]);
        }
        if (i == 1 || i == 4) {
            doc.Line(g.X[1], g.H[i], g.X[5], g.H[i]);
        } else if (i == 2 || i == 3) {
            doc.Line(g.X[1], g.H[i], g.X[2], g.H[i]);
            doc.Line(g.X[4], g.H[i], g.X[5], g.H[i]);
        }
    }
    for (int i = 1; i <= 5; ++i) {
        if (i == 3) {
            doc.Line(g.X[i], g.Y[1], g.X[i], g.Y[2]);
            doc.Line(g.X[i], g.Y[4], g.X[i], g.Y[5]);
        } else {
            doc.Line(g.X[i], g.Y[1], g.X[i], g.Y[5]);
        }
    }
    painter.restore();

    // Box headers: palace (命宮 marked), branch and age.
    doc.SetFontSize(kBoxHeader.points);
    for (int b = 1; b <= kBranches; ++b) {
        const int x = g.X[ChartGrid::BoxColumn(b)] + kBoxHeader.x;
        const int y = g.Y[ChartGrid::BoxRow(b)] + kBoxHeader.y;
        const SheetBox& box = s.box[b];
        doc.Text(x, y, box.palace == QStringLiteral("命宮") ? QStringLiteral("*") + box.palace : box.palace);
        if (box.stem.isEmpty())
            doc.Text(x + kBoxHeader.branchX, y, box.branch);
        else
            doc.Text(x + kStemBranchX, y, box.stem + box.branch);
        doc.Text(x + kBoxHeader.ageX, y, box.age);
    }

    // Stars: the non-empty entries on consecutive lines, mark first.
    doc.SetFontSize(kStarLines.points);
    for (int b = 1; b <= kBranches; ++b) {
        const int x = g.X[ChartGrid::BoxColumn(b)] + kStarLines.x;
        const int top = g.H[ChartGrid::BoxRow(b)];
        int k = 0;
        for (const SheetStar& star : s.box[b].stars) {
            if (star.caption.isEmpty()) continue;
            doc.Text(x, top + kStarLines.lineStep * k, GradeMark(star.grade) + star.caption);
            ++k;
        }
    }

    // Centre: pillars, luck labels, person.
    const QString heads[4] = {QStringLiteral("時"), QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("年")};
    for (int i = 0; i < 4; ++i) {
        doc.Text(g.C[i + 1], g.R[1], heads[i]);
        doc.Text(g.C[i + 1], g.R[2], s.stems[i]);
        doc.Text(g.C[i + 1], g.R[3], s.branches[i]);
    }
    const int luckX = g.X[3] + kCentre.luckLabelX;
    doc.Text(luckX, g.R[1], s.kouun);
    doc.Text(luckX, g.R[2], s.rituun);
    doc.Text(luckX, g.R[3], s.days);

    const int x = g.C[1];
    doc.Text(x, g.Y[3], s.person.Line());
    doc.Text(x, g.Y[3] + kCentre.birthLineY, QStringLiteral("生年月日：") + s.birth + QStringLiteral("  ") + s.hour);
    doc.Text(x, kCentre.lunarY, QStringLiteral("旧暦    ：") + s.lunar);
    doc.Text(x, kCentre.bodyPalaceY, QStringLiteral("身宮    ：") + Q(BranchName(s.bodyPalace)));
    const QString bureau = s.bureau >= 1 && s.bureau <= kBureaus ? Q(kBureauNames[s.bureau - 1]) : QString();
    doc.Text(x, kCentre.bureauY, QStringLiteral("局      ：") + bureau);
    if (!s.birthPlace.isEmpty())
        doc.Text(x, kBirthPlace.y, QStringLiteral("出生地：") + s.birthPlace, kBirthPlace.points);
    if (!s.birthTime.isEmpty()) DrawBirthTime(doc, x, s.birthTime);
    if (!s.layer.caption.isEmpty()) DrawSheetLayer(doc, s, g);
}

void DrawStrengthPage(PrintDocument& doc, const PersonText& person, const PalaceStrength& strength) {
    const StrengthPageLayout& page = kStrengthPage;
    doc.Text(page.heading.x, page.heading.y, QStringLiteral("【出生図における１２宮の特徴を分析】 ") + person.Line(),
             page.heading.points);
    doc.PrintFooter();
    const MillimetreTable& mm = doc.Mm();
    DrawPalaceStrengthChart(
        doc.Painter(),
        QRectF(mm[page.left], mm[page.top], mm[page.right] - mm[page.left], mm[page.bottom] - mm[page.top]), strength,
        page.fontScale);
}

}  // namespace zelvara
