// Draws the ten navigator glyphs DB_FIRST.png … DB_REFRESH.png into the folder
// given as the only argument. Run by the build; the pictures become resources.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cstdio>
#include <functional>
#include <utility>

namespace {

constexpr int kSize = 16;
const QColor kArrow(0x1f, 0x3a, 0x93);
const QColor kGreen(0x1e, 0x8a, 0x3a);
const QColor kRed(0xc0, 0x39, 0x2b);
const QColor kDark(0x30, 0x30, 0x30);

void Fill(QPainter& p, const QColor& c, const QPolygonF& shape) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPolygon(shape);
}

void Stroke(QPainter& p, const QColor& c, qreal width, const QPainterPath& path) {
    p.setPen(QPen(c, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

QPolygonF Left(qreal tipX) { return QPolygonF({{tipX + 6, 3}, {tipX + 6, 13}, {tipX, 8}}); }
QPolygonF Right(qreal tipX) { return QPolygonF({{tipX - 6, 3}, {tipX - 6, 13}, {tipX, 8}}); }

void First(QPainter& p) {
    p.fillRect(QRectF(3, 3, 2, 10), kArrow);
    Fill(p, kArrow, Left(6));
}
void Prior(QPainter& p) { Fill(p, kArrow, Left(5)); }
void Next(QPainter& p) { Fill(p, kArrow, Right(11)); }
void Last(QPainter& p) {
    Fill(p, kArrow, Right(10));
    p.fillRect(QRectF(11, 3, 2, 10), kArrow);
}
void Insert(QPainter& p) {
    p.fillRect(QRectF(7, 3, 2, 10), kGreen);
    p.fillRect(QRectF(3, 7, 10, 2), kGreen);
}
void Delete(QPainter& p) { p.fillRect(QRectF(3, 7, 10, 2), kRed); }
void Edit(QPainter& p) {
    p.translate(8.5, 7.5);
    p.rotate(-45);
    p.setPen(QPen(kDark, 0.8));
    p.setBrush(QColor(0xe8, 0xb8, 0x20));
    p.drawRect(QRectF(-3.5, -1.6, 8, 3.2));
    p.setBrush(QColor(0xe0, 0x80, 0x90));
    p.drawRect(QRectF(4.5, -1.6, 1.8, 3.2));
    Fill(p, kDark, QPolygonF({{-3.5, -1.6}, {-7, 0}, {-3.5, 1.6}}));
}
void Post(QPainter& p) {
    QPainterPath tick({3, 8.5});
    tick.lineTo(6.5, 12);
    tick.lineTo(13, 4);
    Stroke(p, kGreen, 2.4, tick);
}
void Cancel(QPainter& p) {
    QPainterPath cross({4, 4});
    cross.lineTo(12, 12);
    cross.moveTo(12, 4);
    cross.lineTo(4, 12);
    Stroke(p, kRed, 2.4, cross);
}
void Refresh(QPainter& p) {
    QPainterPath arc;
    const QRectF round(3, 3, 10, 10);
    arc.arcMoveTo(round, 90);
    arc.arcTo(round, 90, 270);
    Stroke(p, kArrow, 1.8, arc);
    Fill(p, kArrow, QPolygonF({{13, 3.5}, {13, 8.5}, {8.5, 8}}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: navi_glyph_gen OUTPUT_FOLDER\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const std::pair<const char*, std::function<void(QPainter&)>> glyphs[] = {
        {"DB_FIRST", First},   {"DB_PRIOR", Prior}, {"DB_NEXT", Next}, {"DB_LAST", Last},     {"DB_INSERT", Insert},
        {"DB_DELETE", Delete}, {"DB_EDIT", Edit},   {"DB_POST", Post}, {"DB_CANCEL", Cancel}, {"DB_REFRESH", Refresh},
    };
    for (const auto& [name, draw] : glyphs) {
        QImage image(kSize, kSize, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        {
            QPainter p(&image);
            p.setRenderHint(QPainter::Antialiasing);
            draw(p);
        }
        const QString path = QDir(folder).filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
        if (!image.save(path, "PNG")) {
            std::fprintf(stderr, "navi_glyph_gen: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
