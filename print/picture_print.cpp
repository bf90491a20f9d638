#include "print/picture_print.h"

#include "print/matrix_layout.h"
#include "print/print_document.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

namespace zelvara {
namespace {

// The organisation picture's area on the page, in millimetres.
struct PictureArea {
    int left, top, right, bottom;
};
constexpr PictureArea kOrganisationArea{20, 30, 180, 150};

QString Utf8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

bool PrintStarMatrix(QPagedPaintDevice& device, const QString& footer) {
    BusyCursor busy;
    PrintDocument doc(device, footer, QString());
    if (!doc.Begin().isEmpty()) return false;
    QPen pen(Qt::black);
    pen.setWidth(matrix::kPrintPenDots);
    doc.Painter().setPen(pen);

    doc.Text(matrix::kTitle.x, matrix::kTitle.y, Utf8(matrix::kTitle.text), matrix::kTitle.points);
    for (const matrix::Text& t : matrix::kAxisTexts) doc.Text(t.x, t.y, Utf8(t.text), t.points);
    for (int y : matrix::kGridY) doc.Line(matrix::kGridX.front(), y, matrix::kGridX.back(), y);
    for (int x : matrix::kGridX) doc.Line(x, matrix::kGridY.front(), x, matrix::kGridY.back());
    for (const matrix::Text& t : matrix::kStars) doc.Text(t.x, t.y, Utf8(t.text), t.points);
    doc.PrintFooter();
    return doc.End();
}

bool PrintOrganisationPicture(QPagedPaintDevice& device, const QImage& picture) {
    PrintDocument doc(device, QString(), QString());
    if (!doc.Begin().isEmpty()) return false;
    const MillimetreTable& mm = doc.Mm();
    const PictureArea& a = kOrganisationArea;
    const QRect area(mm[a.left], mm[a.top], mm[a.right - a.left], mm[a.bottom - a.top]);
    const QSize size = picture.isNull() ? area.size() : picture.size().scaled(area.size(), Qt::KeepAspectRatio);
    doc.PrintPictureAt(area.left() + (area.width() - size.width()) / 2, area.top(), size.width(), size.height(),
                       picture);
    return doc.End();
}

}  // namespace zelvara
