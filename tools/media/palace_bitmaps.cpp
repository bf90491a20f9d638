// Palace emblems: a tile in the palace's own hue with a small star figure
// whose number of points and turn differ from palace to palace.
#include "media.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtMath>

namespace media {
namespace {

constexpr const char* kFiles[12] = {"hubo.bmp", "meikyu.bmp", "keitei.bmp", "fusai.bmp",
                                    "sijyo.bmp", "zai.bmp", "situyaku.bmp", "seni.bmp",
                                    "nuboku.bmp", "kanroku.bmp", "dentaku.bmp", "fukutoku.bmp"};

QPainterPath StarPath(QPointF c, double outer, double inner, int points, double turn)
{
    QPainterPath path;
    for (int i = 0; i < points * 2; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = turn + M_PI * i / points - M_PI / 2;
        const QPointF p(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QImage Emblem(int palace)  // 1..12
{
    constexpr int kSize = 40;
    QImage img(kSize, kSize, QImage::Format_RGB32);
    img.fill(QColor(212, 208, 200));  // button face, so the glyph blends in
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor hue = QColor::fromHsv((palace - 1) * 30 % 360, 150, 215);
    QRadialGradient g(QPointF(15, 13), 26);
    g.setColorAt(0, hue.lighter(150));
    g.setColorAt(1, hue.darker(130));
    p.setPen(QPen(hue.darker(200), 1.5));
    p.setBrush(g);
    p.drawEllipse(QRectF(3, 3, kSize - 6, kSize - 6));
    const int points = 3 + palace % 5;
    p.setPen(QPen(QColor(255, 255, 240), 1));
    p.setBrush(QColor(255, 250, 205));
    p.drawPath(StarPath(QPointF(kSize / 2.0, kSize / 2.0), 12, 5, points, palace * 0.21));
    // 命宮 carries a small ring: the palace the chart turns around.
    if (palace == 2) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(128, 0, 128), 2));
        p.drawEllipse(QRectF(6, 6, kSize - 12, kSize - 12));
    }
    return img;
}

}  // namespace

bool WritePalaceBitmaps(const QString& folder)
{
    for (int palace = 1; palace <= 12; ++palace) {
        if (!Emblem(palace).save(QDir(folder).filePath(QString::fromLatin1(kFiles[palace - 1])), "BMP"))
            return false;
    }
    return true;
}

}  // namespace media
