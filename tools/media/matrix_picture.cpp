// The star-matrix diagram: the printed layout scaled into the window's
// picture, with the nine cells tinted from the spiritual (top) to the material
// (bottom) and from the left brain (cool) to the right brain (warm).
#include "print/matrix_layout.h"
#include "tools/media/pictures.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>

namespace pictures {
namespace {

using namespace zelvara::matrix;

QPointF Px(double xMm, double yMm) { return {(xMm - kOriginXmm) * kPixelsPerMm, (yMm - kOriginYmm) * kPixelsPerMm}; }

// Printer points into pixels of this picture (a point is 25.4 / 72 mm).
double PixelSize(int points) { return points * 25.4 / 72.0 * kPixelsPerMm; }

void DrawText(QPainter& p, const Text& t, const QColor& colour, bool bold = false) {
    QFont f(QStringLiteral("IPAGothic"));
    f.setPixelSize(int(PixelSize(t.points) + 0.5));
    f.setBold(bold);
    p.setFont(f);
    p.setPen(colour);
    const QFontMetricsF fm(f);
    const QPointF at = Px(t.x, t.y);
    p.drawText(QPointF(at.x(), at.y() + fm.ascent()), QString::fromUtf8(t.text));
}

}  // namespace

bool WriteMatrixPicture(const QString& dataFolder) {
    QImage img(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    img.fill(QColor(250, 248, 242));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Cells: heaven above, earth below; cool on the left, warm on the right.
    const QColor rows[3] = {QColor(226, 222, 246), QColor(236, 236, 232), QColor(240, 228, 206)};
    const QColor cols[3] = {QColor(206, 224, 244), QColor(255, 255, 255), QColor(248, 218, 206)};
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) {
            const QColor mix((rows[r].red() * 3 + cols[c].red()) / 4, (rows[r].green() * 3 + cols[c].green()) / 4,
                             (rows[r].blue() * 3 + cols[c].blue()) / 4);
            const QRectF cell(Px(kGridX[c], kGridY[r]), Px(kGridX[c + 1], kGridY[r + 1]));
            p.fillRect(cell, mix);
        }
    }
    p.setPen(QPen(QColor(52, 56, 84), 2.5));
    for (int x : kGridX) p.drawLine(Px(x, kGridY.front()), Px(x, kGridY.back()));
    for (int y : kGridY) p.drawLine(Px(kGridX.front(), y), Px(kGridX.back(), y));

    DrawText(p, kTitle, QColor(40, 36, 90), true);
    const QColor axisColours[8] = {QColor(84, 64, 160), QColor(130, 90, 40), QColor(40, 90, 150), QColor(40, 90, 150),
                                   QColor(40, 90, 150), QColor(170, 70, 50), QColor(170, 70, 50), QColor(170, 70, 50)};
    for (size_t i = 0; i < kAxisTexts.size(); ++i) DrawText(p, kAxisTexts[i], axisColours[i], true);
    for (const Text& star : kStars) DrawText(p, star, QColor(24, 24, 40), true);
    p.end();
    return img.save(QDir(dataFolder).filePath(QStringLiteral("matorix.png")), "PNG");
}

}  // namespace pictures
