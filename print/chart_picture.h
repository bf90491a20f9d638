// The chart sheet as a picture to hand a client (PNG for a phone or A4, or
// SVG): the sheet's own drawing, scaled onto any painter, so that the
// picture, the print and the PDF never disagree.
#pragma once

#include "print/chart_sheet.h"

#include <QByteArray>
#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

class QPainter;

namespace zelvara {

// The size of a picture in pixels; a picture of a paper size also has its
// resolution (A4 at 300 dpi) and shows the whole page, so that it prints at
// the sheet's own scale. Others show the sheet's drawn part, as large as fits.
struct PictureSize {
    QSize pixels;
    int dotsPerInch = 0;  // 0: a picture for a screen
    bool WholePage() const { return dotsPerInch > 0; }
    bool operator==(const PictureSize&) const = default;
};

// The sizes offered: 1080×1080 and 1080×1350 for phones, A4 at 300 dpi.
struct NamedPictureSize {
    QString name;  // the menu's and the command line's text
    PictureSize size;
};
std::vector<NamedPictureSize> PictureSizes();

// "1080x1080" (any WIDTHxHEIGHT of 100..8000 pixels each) or "a4"; nullopt
// for anything else.
std::optional<PictureSize> ParsePictureSize(const QString& text);

// Draws the sheet with its footer line into target (in the painter's
// coordinates) on a white ground, scaled to fit and centred. The painter
// may stand on any device at any resolution.
void DrawChartPicture(QPainter& painter, const QRectF& target, const ChartSheet& sheet, const QString& footer,
                      bool wholePage = false);

// The picture as an image, and as an SVG document of the same size.
QImage ChartPictureImage(const ChartSheet& sheet, const QString& footer, const PictureSize& size);
QByteArray ChartPictureSvg(const ChartSheet& sheet, const QString& footer, const PictureSize& size);

// Writes the picture to path (PNG, or SVG when svg), under a temporary name
// renamed when complete; empty on success, else why it was not written.
QString WriteChartPicture(const QString& path, bool svg, const ChartSheet& sheet, const QString& footer,
                          const PictureSize& size);

}  // namespace zelvara
