#include "chart_sheet.h"

#include "chart_layout.h"
#include "conversion.h"
#include "print_document.h"
#include "qstring_utf8.h"

#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cmath>

namespace zelvara {
namespace {

// Box of branch 1..12: (column, row) of its left and top lines, clockwise
// from the top-left corner.
constexpr std::array<std::pair<int, int>, kBranches + 1> kBoxCells = {{
    {0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 1}, {4, 2}, {4, 3}, {4, 4}, {3, 4}, {2, 4}, {1, 4}, {1, 3}, {1, 2},
}};

// The grid's pen: at least 0.2 mm wide whatever the printer's resolution
// (two dots are 0.04 mm at 1200 dpi, too fine to see), never under two dots.
QPen GridPen(const PrintDocument& doc, QPen pen)
{
    pen.setWidth(std::max(2, int(std::ceil(0.2 * doc.Mm().DotsPerInch() / 25.4))));
    return pen;
}

// An exact birth time, under the bureau line: the clock and corrected times,
// and below them, smaller, what each correction added.
struct BirthTimeLayout {
    int timeY, correctionsY, correctionsPoints;
};
constexpr BirthTimeLayout kBirthTime{194, 199, 9};

void DrawBirthTime(PrintDocument& doc, int x, const QString& line)
{
    const qsizetype open = line.indexOf(QStringLiteral("（"));
    doc.Text(x, kBirthTime.timeY, QStringLiteral("出生時刻：") + line.left(open));
    if (open >= 0)
        doc.Text(x, kBirthTime.correctionsY, line.mid(open), kBirthTime.correctionsPoints);
}

}  // namespace

PersonText PersonTextOf(const Tmandata& man, const QString& name)
{
    return {name, man.age > 0 ? QString::number(man.age) + QStringLiteral("才") : QString(),  // none: born after today
            man.sexCode == 'M' ? QStringLiteral("男命") : QStringLiteral("女命")};
}

ChartSheet ChartSheetOf(const Tmandata& man, const ChartLayout& layout, const QString& name, const QString& hourText)
{
    ChartSheet s;
    for (int b = 1; b <= kBranches; ++b) {
        SheetBox& box = s.box[b];
        for (int p = 1; p <= kPalaces; ++p)
            if (man.palaceBranch[p] == b)
                box.palace = Q(kPalaceNames[p]);
        box.branch = Q(kBranchNames[b]);
        box.age = (layout.ageOfBranch[b] >= 0 ? QString::number(layout.ageOfBranch[b]) : QString()) +
                  QStringLiteral("才");
        for (int r = 1; r <= kBoxSlots; ++r) {
            const StarSlot& slot = layout.box[b][r];
            if (slot.kind == StarSlot::Kind::Empty)
                continue;
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
    s.lunar = QString::number(man.lunarMonth) + QStringLiteral("月") + QString::number(man.lunarDay) +
              QStringLiteral("日");
    s.bodyPalace = man.bodyPalace;
    s.bureau = man.bureau;
    return s;
}

QString GradeMark(int grade)
{
    return grade >= 1 && grade <= 4 ? Q(kBrightnessMarks[grade]) : QStringLiteral("    ");
}

QString ChartSheetRefusal(const ChartSheet& sheet)
{
    // Before the first chart (or after a request that stopped) the record
    // holds no bureau: there is no chart to print.
    if (sheet.bureau < 1 || sheet.bureau > kBureaus || sheet.bodyPalace < 0 || sheet.bodyPalace > kBranches)
        return QStringLiteral("鑑定ボタンを最初に行ってください。");
    return {};
}

int ChartGrid::BoxColumn(int branch) { return kBoxCells[branch].first; }
int ChartGrid::BoxRow(int branch) { return kBoxCells[branch].second; }

ChartGrid SetupChartGrid()
{
    ChartGrid g;
    for (int i = 1; i <= 5; ++i) {
        g.X[i] = 10 + 46 * (i - 1);
        g.Y[i] = 25 + 60 * (i - 1);
        g.H[i] = g.Y[i] + 10;
    }
    for (int i = 1; i <= 4; ++i)
        g.C[i] = g.X[2] + 10 * i;
    for (int i = 1; i <= 3; ++i)
        g.R[i] = g.H[2] + 8 * i;
    return g;
}

void DrawChartSheet(PrintDocument& doc, const ChartSheet& s)
{
    const ChartGrid g = SetupChartGrid();
    doc.Text(10, 10, QStringLiteral("【Zelvaraプロ版　出生図】"), 16);
    doc.Text(10, 17, QStringLiteral("※(廟)(旺)は長所が作用しやすい。(失)(陥)は短所が作用しやすい。"), 10);

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
    doc.SetFontSize(14);
    for (int b = 1; b <= kBranches; ++b) {
        const int x = g.X[ChartGrid::BoxColumn(b)] + 3;
        const int y = g.Y[ChartGrid::BoxRow(b)] + 2;
        const SheetBox& box = s.box[b];
        doc.Text(x, y, box.palace == QStringLiteral("命宮") ? QStringLiteral("*") + box.palace : box.palace);
        doc.Text(x + 20, y, box.branch);
        doc.Text(x + 30, y, box.age);
    }

    // Stars: the non-empty entries on consecutive lines, mark first.
    doc.SetFontSize(12);
    for (int b = 1; b <= kBranches; ++b) {
        const int x = g.X[ChartGrid::BoxColumn(b)] + 8;
        const int top = g.H[ChartGrid::BoxRow(b)];
        int k = 0;
        for (const SheetStar& star : s.box[b].stars) {
            if (star.caption.isEmpty())
                continue;
            doc.Text(x, top + 8 * k, GradeMark(star.grade) + star.caption);
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
    doc.Text(g.X[3] + 10, g.R[1], s.kouun);
    doc.Text(g.X[3] + 10, g.R[2], s.rituun);
    doc.Text(g.X[3] + 10, g.R[3], s.days);

    const int x = g.C[1];
    doc.Text(x, g.Y[3], s.person.Line());
    doc.Text(x, g.Y[3] + 10, QStringLiteral("生年月日：") + s.birth + QStringLiteral("  ") + s.hour);
    doc.Text(x, 165, QStringLiteral("旧暦    ：") + s.lunar);
    doc.Text(x, 175, QStringLiteral("身宮    ：") + Q(BranchName(s.bodyPalace)));
    const QString bureau = s.bureau >= 1 && s.bureau <= kBureaus ? Q(kBureauNames[s.bureau - 1]) : QString();
    doc.Text(x, 185, QStringLiteral("局      ：") + bureau);
    if (!s.birthTime.isEmpty())
        DrawBirthTime(doc, x, s.birthTime);

    doc.PrintFooter();
}

void DrawStrengthPage(PrintDocument& doc, const PersonText& person, const PalaceStrength& strength)
{
    doc.Text(20, 15, QStringLiteral("【出生図における１２宮の特徴を分析】 ") + person.Line(), 15);
    doc.PrintFooter();
    const MillimetreTable& mm = doc.Mm();
    // Fonts grow with the chart: the page's chart is about twice the height
    // of the one on screen.
    DrawPalaceStrengthChart(doc.Painter(), QRectF(mm[10], mm[40], mm[170] - mm[10], mm[240] - mm[40]), strength, 1.6);
}

}  // namespace zelvara
