#include "print/chart_comparison_print.h"

#include "print/print_document.h"

#include <QPainter>

#include <algorithm>

namespace zelvara {
namespace {

// The grids are laid out as the sheet prints at 600 dpi and scaled.
constexpr int kLayoutDpi = 600;

// The page, in millimetres of A4 landscape (297 × 210): heading, person and
// birth lines, the reason, the two grids with their captions over them, the
// differences in two columns right of them, the footer.
struct PageText {
    int x, y, points;
};
constexpr PageText kHeading{10, 7, 14};
constexpr PageText kPerson{80, 9, 10};
constexpr PageText kBirth{10, 15, 9};
constexpr PageText kReason{10, 21, 12};
struct GridPlaces {
    int captionY, captionPoints;
    int top, bottom, width;
    int leftX, rightX;
};
constexpr GridPlaces kGrids{29, 10, 35, 193, 112, 10, 126};
struct DifferenceList {
    PageText head;
    int firstY, lineStep, lastY, columnWidth, points;
};
constexpr DifferenceList kDifferences{{242, 29, 10}, 35, 4, 190, 27, 8};
constexpr PageText kFooterLine{60, 198, 10};

// The parts of the sheet a grid shows, in sheet millimetres: its four-by-four
// grid with half a millimetre around it for the lines.
constexpr double kGridLeft = 9.5, kGridTop = 24.5, kGridRight = 194.5, kGridBottom = 265.5;

const QColor kMarkTint(255, 228, 225);
const QColor kMarkFrame(200, 0, 0);

}  // namespace

bool SheetMarks::Any() const { return centre || std::find(box.begin(), box.end(), true) != box.end(); }

SheetMarks DifferingParts(const ChartSheet& a, const ChartSheet& b) {
    SheetMarks marks;
    for (int branch = 1; branch <= kBranches; ++branch) {
        const SheetBox &x = a.box[branch], &y = b.box[branch];
        bool differ = x.palace != y.palace;
        for (size_t i = 0; i < x.stars.size(); ++i)
            differ = differ || x.stars[i].caption != y.stars[i].caption || x.stars[i].grade != y.stars[i].grade;
        marks.box[branch] = differ;
    }
    marks.centre = a.bodyPalace != b.bodyPalace || a.bureau != b.bureau;
    return marks;
}

void DrawMarkedGrid(QPainter& painter, const QRectF& target, const ChartSheet& sheet, const SheetMarks& marks) {
    painter.save();
    painter.fillRect(target, Qt::white);
    const double dotsPerMm = DotsPerMillimetre(kLayoutDpi);
    const double width = (kGridRight - kGridLeft) * dotsPerMm, height = (kGridBottom - kGridTop) * dotsPerMm;
    const double scale = std::min(target.width() / width, target.height() / height);
    painter.translate(target.center());
    painter.scale(scale, scale);
    painter.translate(-(kGridLeft * dotsPerMm + width / 2), -(kGridTop * dotsPerMm + height / 2));
    painter.setClipRect(QRectF(kGridLeft * dotsPerMm, kGridTop * dotsPerMm, width, height));
    const ChartGrid g = SetupChartGrid();
    auto cell = [&](int left, int top, int right, int bottom) {
        return QRectF(left * dotsPerMm, top * dotsPerMm, (right - left) * dotsPerMm, (bottom - top) * dotsPerMm);
    };
    std::vector<QRectF> marked;
    for (int b = 1; b <= kBranches; ++b)
        if (marks.box[b]) {
            const int c = ChartGrid::BoxColumn(b), r = ChartGrid::BoxRow(b);
            marked.push_back(cell(g.X[c], g.Y[r], g.X[c + 1], g.Y[r + 1]));
        }
    if (marks.centre) marked.push_back(cell(g.X[2], g.Y[2], g.X[4], g.Y[4]));
    for (const QRectF& r : marked) painter.fillRect(r, kMarkTint);
    {
        PrintDocument doc(painter, kLayoutDpi, QString());
        if (doc.Begin().isEmpty()) {
            DrawChartSheetGrid(doc, sheet);
            doc.End();
        }
    }
    QPen frame(kMarkFrame);
    frame.setWidthF(0.8 * dotsPerMm);
    painter.setPen(frame);
    painter.setBrush(Qt::NoBrush);
    for (const QRectF& r : marked)
        painter.drawRect(r.adjusted(0.4 * dotsPerMm, 0.4 * dotsPerMm, -0.4 * dotsPerMm, -0.4 * dotsPerMm));
    painter.restore();
}

void DrawChartComparison(PrintDocument& doc, const ChartComparison& c, const QString& footer) {
    const MillimetreTable& mm = doc.Mm();
    doc.Text(kHeading.x, kHeading.y, QStringLiteral("【出生図の比較】"), kHeading.points);
    doc.Text(kPerson.x, kPerson.y, c.person.Line(), kPerson.points);
    doc.Text(kBirth.x, kBirth.y, c.birthLines.join(QStringLiteral("  ")), kBirth.points);
    doc.Text(kReason.x, kReason.y, c.reason, kReason.points);

    const SheetMarks marks = DifferingParts(c.chart, c.alternative);
    doc.Text(kGrids.leftX, kGrids.captionY, c.chartCaption, kGrids.captionPoints);
    doc.Text(kGrids.rightX, kGrids.captionY, c.alternativeCaption, kGrids.captionPoints);
    QPainter& painter = doc.Painter();
    const auto place = [&](int x) {
        return QRectF(mm[x], mm[kGrids.top], mm[kGrids.width], mm[kGrids.bottom - kGrids.top]);
    };
    DrawMarkedGrid(painter, place(kGrids.leftX), c.chart, marks);
    DrawMarkedGrid(painter, place(kGrids.rightX), c.alternative, marks);
    doc.ClearBrush();

    doc.Text(kDifferences.head.x, kDifferences.head.y, QStringLiteral("違い（%1）").arg(c.differences.size()),
             kDifferences.head.points);
    const int perColumn = (kDifferences.lastY - kDifferences.firstY) / kDifferences.lineStep + 1;
    for (int i = 0; i < c.differences.size() && i < 2 * perColumn; ++i) {
        const bool last = i == 2 * perColumn - 1 && c.differences.size() > 2 * perColumn;
        const QString line = last ? QStringLiteral("ほか %1 件").arg(c.differences.size() - i) : c.differences[i];
        doc.Text(kDifferences.head.x + (i / perColumn) * kDifferences.columnWidth,
                 kDifferences.firstY + (i % perColumn) * kDifferences.lineStep, line, kDifferences.points);
    }
    doc.Text(kFooterLine.x, kFooterLine.y, footer, kFooterLine.points);
}

}  // namespace zelvara
