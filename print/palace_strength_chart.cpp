#include "print/palace_strength_chart.h"

#include "common/qstring_utf8.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <algorithm>

namespace zelvara {
namespace {

// The chart's look: fonts in points before scaling, the padding as a share
// of the label font's height, each bar's band within its row, the fills.
struct StrengthChartLayout {
    double titlePoints, labelPoints;
    double padShare;           // padding = label height × padShare
    double barTop, barHeight;  // shares of a row
    QColor frameFill, plotFill;
};
const StrengthChartLayout kChart{9, 8, 0.4, 0.15, 0.7, QColor(192, 192, 192), QColor(208, 208, 208)};

// Bar hues: twelve 30° apart from 5°, saturation 170, value alternating
// between odd and even palaces so that neighbours differ.
struct BarColours {
    int hueStep, hueStart, saturation, oddValue, evenValue;
};
constexpr BarColours kBars{30, 5, 170, 215, 165};

}  // namespace

QColor PalaceBarColor(int palace) {
    const int hue = ((palace - 1) * kBars.hueStep + kBars.hueStart) % 360;
    return QColor::fromHsv(hue, kBars.saturation, palace % 2 ? kBars.oddValue : kBars.evenValue);
}

void DrawPalaceStrengthChart(QPainter& painter, const QRectF& rect, const PalaceStrength& strength, double fontScale) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Whatever the page drew before (a footer leaves a white brush), the
    // bars and frames are outlines over their own fills.
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.fillRect(rect, kChart.frameFill);

    QFont titleFont(QStringLiteral("ＭＳ ゴシック"));
    titleFont.setPointSizeF(kChart.titlePoints * fontScale);
    titleFont.setBold(true);
    QFont labelFont(QStringLiteral("ＭＳ ゴシック"));
    labelFont.setPointSizeF(kChart.labelPoints * fontScale);
    const QFontMetricsF titleMetrics(titleFont, painter.device());
    const QFontMetricsF labelMetrics(labelFont, painter.device());

    const double pad = labelMetrics.height() * kChart.padShare;
    painter.setPen(Qt::black);
    painter.setFont(titleFont);
    const QRectF titleRect(rect.left(), rect.top() + pad, rect.width(), titleMetrics.height());
    painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("出生図分析"));

    // Value axis spans the smallest and largest strength, always including 0.
    int low = 0, high = 0;
    for (int p = 1; p <= kPalaces; ++p) {
        low = std::min(low, strength[p]);
        high = std::max(high, strength[p]);
    }
    if (low == high) high = low + 1;

    const double labelWidth = labelMetrics.horizontalAdvance(QStringLiteral("父母")) + pad;
    const double valueWidth = labelMetrics.horizontalAdvance(QStringLiteral("-00")) + pad;
    const QRectF plot(rect.left() + labelWidth + pad, titleRect.bottom() + pad,
                      rect.width() - labelWidth - 2 * pad - valueWidth, rect.bottom() - titleRect.bottom() - 2 * pad);
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }
    painter.fillRect(plot, kChart.plotFill);
    const double scale = plot.width() / (high - low);
    const double zeroX = plot.left() + (0 - low) * scale;
    const double rowHeight = plot.height() / kPalaces;

    painter.setFont(labelFont);
    for (int p = 1; p <= kPalaces; ++p) {
        const double top = plot.top() + (p - 1) * rowHeight;
        const double barX = zeroX + std::min(0, strength[p]) * scale;
        const QRectF bar(barX, top + rowHeight * kChart.barTop, std::abs(strength[p]) * scale,
                         rowHeight * kChart.barHeight);
        painter.fillRect(bar, PalaceBarColor(p));
        painter.setPen(QPen(Qt::black, 0));
        if (strength[p] != 0) painter.drawRect(bar);
        const QRectF row(rect.left(), top, labelWidth, rowHeight);
        painter.drawText(row, Qt::AlignRight | Qt::AlignVCenter, Q(kPalaceNames[p]));
        const QRectF valueRect(plot.right() + pad / 2, top, valueWidth, rowHeight);
        painter.drawText(valueRect, Qt::AlignLeft | Qt::AlignVCenter, QString::number(strength[p]));
    }
    painter.setPen(QPen(Qt::black, 0));
    painter.drawLine(QPointF(zeroX, plot.top()), QPointF(zeroX, plot.bottom()));
    painter.drawRect(plot);
    painter.restore();
}

}  // namespace zelvara
