// The comparison of a chart with one alternative reading of its birth (the
// chart page's 「境界注意」): the two charts' grids side by side, drawn by the
// chart sheet's own drawing scaled down, the boxes that differ highlighted,
// the reason on top and the differences listed; one A4 landscape page.
#pragma once

#include "print/chart_sheet.h"

#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>

class QPainter;

namespace zelvara {

class PrintDocument;

struct ChartComparison {
    PersonText person;
    QStringList birthLines;      // SheetBirthLines of the chart
    QString reason;              // 「出生が 06:58、卯と辰の境から 2 分」
    QString chartCaption;        // 「この出生図（卯の刻）」
    QString alternativeCaption;  // 「別の読み（辰の刻）」
    ChartSheet chart, alternative;
    QStringList differences;  // 「命宮 寅→卯」 …
};

// Which of the twelve boxes (by branch) and whether the centre (身宮, 五行局)
// differ between two sheets; the luck ages aside, which follow the bureau.
struct SheetMarks {
    std::array<bool, kBranches + 1> box{};
    bool centre = false;
    bool Any() const;
};
SheetMarks DifferingParts(const ChartSheet& a, const ChartSheet& b);

// The sheet's grid and centre (no title, legend nor footer) scaled to fit
// target, centred, on white; the marked parts tinted and framed in red.
void DrawMarkedGrid(QPainter& painter, const QRectF& target, const ChartSheet& sheet, const SheetMarks& marks);

// The comparison page, A4 landscape, with the footer line.
void DrawChartComparison(PrintDocument& doc, const ChartComparison& comparison, const QString& footer);

}  // namespace zelvara
