#include "palace_strength_chart.h"

#include "qstring_utf8.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QString>

#include <algorithm>

namespace zelvara {

QColor PalaceBarColor(int palace)
{
    // Twelve hues a step apart, alternating in lightness so neighbours differ.
    const int hue = ((palace - 1) * 30 + 5) % 360;
    return QColor::fromHsv(hue, 170, palace % 2 ? 215 : 165);
}

void DrawPalaceStrengthChart(QPainter& painter, const QRectF& rect, const PalaceStrength& strength, double fontScale)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Whatever the page drew before (a footer leaves a white brush), the
    // bars and frames are outlines over their own fills.
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.fillRect(rect, QColor(192, 192, 192));

    QFont titleFont(QStringLiteral("ＭＳ ゴシック"));
    titleFont.setPointSizeF(9 * fontScale);
    titleFont.setBold(true);
    QFont labelFont(QStringLiteral("ＭＳ ゴシック"));
    labelFont.setPointSizeF(8 * fontScale);
    const QFontMetricsF titleMetrics(titleFont, painter.device());
    const QFontMetricsF labelMetrics(labelFont, painter.device());

    const double pad = labelMetrics.height() * 0.4;
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
    painter.fillRect(plot, QColor(208, 208, 208));
    const double scale = plot.width() / (high - low);
    const double zeroX = plot.left() + (0 - low) * scale;
    const double rowHeight = plot.height() / kPalaces;

    painter.setFont(labelFont);
    for (int p = 1; p <= kPalaces; ++p) {
        const double top = plot.top() + (p - 1) * rowHeight;
        const double barX = zeroX + std::min(0, strength[p]) * scale;
        const QRectF bar(barX, top + rowHeight * 0.15, std::abs(strength[p]) * scale, rowHeight * 0.7);
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
