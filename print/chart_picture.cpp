#include "print/chart_picture.h"

#include "print/print_document.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>

namespace zelvara {
namespace {

// The picture is laid out as the sheet prints on a 600 dpi printer and scaled.
constexpr int kLayoutDpi = 600;

// The parts of the page the picture shows, in millimetres: the whole A4 page,
// or the sheet's drawn part (title to footer) with a narrow margin.
struct PageArea {
    double left, top, width, height;
};
constexpr PageArea kWholePage{0, 0, 210, 297};
constexpr PageArea kDrawnPart{5, 5, 195, 281};

constexpr int kA4Width300 = 2480, kA4Height300 = 3508;
constexpr int kMinPixels = 100, kMaxPixels = 8000;

}  // namespace

std::vector<NamedPictureSize> PictureSizes() {
    return {
        {QStringLiteral("1080x1080"), {QSize(1080, 1080)}},
        {QStringLiteral("1080x1350"), {QSize(1080, 1350)}},
        {QStringLiteral("a4"), {QSize(kA4Width300, kA4Height300), 300}},
    };
}

std::optional<PictureSize> ParsePictureSize(const QString& text) {
    const QString t = text.trimmed().toLower();
    for (const NamedPictureSize& named : PictureSizes())
        if (named.name == t) return named.size;
    static const QRegularExpression pair(QStringLiteral("^(\\d{1,5})[x×](\\d{1,5})$"));
    const QRegularExpressionMatch m = pair.match(t);
    if (!m.hasMatch()) return std::nullopt;
    const int w = m.captured(1).toInt(), h = m.captured(2).toInt();
    if (w < kMinPixels || h < kMinPixels || w > kMaxPixels || h > kMaxPixels) return std::nullopt;
    return PictureSize{QSize(w, h)};
}

void DrawChartPicture(QPainter& painter, const QRectF& target, const ChartSheet& sheet, const QString& footer,
                      bool wholePage) {
    painter.save();
    painter.fillRect(target, Qt::white);
    const PageArea& area = wholePage ? kWholePage : kDrawnPart;
    const double dotsPerMm = DotsPerMillimetre(kLayoutDpi);
    const double scale =
        std::min(target.width() / (area.width * dotsPerMm), target.height() / (area.height * dotsPerMm));
    painter.translate(target.center());
    painter.scale(scale, scale);
    painter.translate(-(area.left + area.width / 2) * dotsPerMm, -(area.top + area.height / 2) * dotsPerMm);
    PrintDocument doc(painter, kLayoutDpi, footer);
    if (doc.Begin().isEmpty()) {
        DrawChartSheet(doc, sheet);
        doc.End();
    }
    painter.restore();
}

QImage ChartPictureImage(const ChartSheet& sheet, const QString& footer, const PictureSize& size) {
    QImage image(size.pixels, QImage::Format_RGB32);
    if (size.dotsPerInch > 0) {
        const int dotsPerMetre = qRound(size.dotsPerInch / 0.0254);
        image.setDotsPerMeterX(dotsPerMetre);
        image.setDotsPerMeterY(dotsPerMetre);
    }
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    DrawChartPicture(painter, QRectF(image.rect()), sheet, footer, size.WholePage());
    painter.end();
    return image;
}

QByteArray ChartPictureSvg(const ChartSheet& sheet, const QString& footer, const PictureSize& size) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size.pixels);
    svg.setViewBox(QRect(QPoint(0, 0), size.pixels));
    if (size.dotsPerInch > 0) svg.setResolution(size.dotsPerInch);
    svg.setTitle(QStringLiteral("出生図 ") + sheet.person.name);
    QPainter painter(&svg);
    DrawChartPicture(painter, QRectF(QPoint(0, 0), size.pixels), sheet, footer, size.WholePage());
    painter.end();
    return buffer.data();
}

QString WriteChartPicture(const QString& path, bool svg, const ChartSheet& sheet, const QString& footer,
                          const PictureSize& size) {
    const QString shown = QDir::toNativeSeparators(path);
    if (const QString why = ChartSheetRefusal(sheet); !why.isEmpty()) return why;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("画像ファイル %1 を書けません（%2）。").arg(shown, file.errorString());
    bool written = false;
    if (svg) {
        const QByteArray bytes = ChartPictureSvg(sheet, footer, size);
        written = file.write(bytes) == bytes.size();
    } else {
        QImageWriter writer(&file, "png");
        written = writer.write(ChartPictureImage(sheet, footer, size));
    }
    if (!written || !file.commit())
        return QStringLiteral("画像ファイル %1 を書けません（%2）。").arg(shown, file.errorString());
    return {};
}

}  // namespace zelvara
