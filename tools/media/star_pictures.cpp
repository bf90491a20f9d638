// A card for each major star: a night sky in the colour of the star's element,
// a ring holding the star's character, scattered stars, the star's name and
// the figure of the legend it stands for.
#include "tools/media/pictures.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QtMath>

namespace pictures {
namespace {

// Drawn on a 120 × 180 design grid and stored four times as large, 480 × 720:
// over 300 pixels per inch of the printed 40 × 60 mm; the viewer scales down.
constexpr int kWidth = 120;
constexpr int kHeight = 180;
constexpr int kScale = 4;

struct StarCard {
    const char* file;
    const char* name;
    const char* glyph;   // the character in the ring
    const char* figure;  // who the star is in the legend
    QColor hue;          // of the star's element: 木 green, 火 red, 土 ochre, 金 silver, 水 blue
};

const QColor kWood(46, 125, 72), kFire(168, 44, 40), kEarth(160, 112, 36), kMetal(112, 122, 140), kWater(32, 70, 150);

const StarCard kCards[14] = {
    {"zelvsei.bmp", "紫薇星", "紫", "伯邑考", kEarth.darker(105)},
    {"tenkisei.bmp", "天機星", "機", "姜子牙", kWood},
    {"taiyo.bmp", "太陽星", "陽", "比干", kFire.lighter(110)},
    {"bugoku.bmp", "武曲星", "武", "武王 姫発", kMetal},
    {"tendo.bmp", "天同星", "同", "文王 姫昌", kWater.lighter(115)},
    {"rentei.bmp", "廉貞星", "廉", "費仲", kFire.darker(115)},
    {"tenpu.bmp", "天府星", "府", "姜皇后", kEarth},
    {"taiin.bmp", "太陰星", "陰", "賈氏", kWater.darker(110)},
    {"tanro.bmp", "貪狼星", "貪", "妲己", kWood.darker(115)},
    {"kyomon.bmp", "巨門星", "巨", "馬千金", kWater},
    {"tenso.bmp", "天相星", "相", "聞仲", QColor(36, 96, 130)},
    {"tenryo.bmp", "天梁星", "梁", "李靖", kEarth.lighter(108)},
    {"sitisatu.bmp", "七殺星", "殺", "黄飛虎", kMetal.darker(115)},
    {"hagun.bmp", "破軍星", "破", "紂王", QColor(60, 40, 96)},
};

QImage Card(const StarCard& card, int index) {
    QImage img(kWidth * kScale, kHeight * kScale, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.scale(kScale, kScale);

    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0, card.hue.darker(420));
    sky.setColorAt(0.55, card.hue.darker(190));
    sky.setColorAt(1, card.hue.darker(130));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), sky);

    QRandomGenerator rng(7001 + index);  // the same sky every run
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 48; ++i) {
        const QPointF at(rng.bounded(double(kWidth)), rng.bounded(118.0));
        const double r = 0.35 + rng.bounded(0.9);
        p.setBrush(QColor(255, 252, 230, 70 + rng.bounded(150)));
        p.drawEllipse(at, r, r);
    }

    // The ring with the star's character.
    const QPointF centre(kWidth / 2.0, 66);
    QRadialGradient glow(centre, 46);
    glow.setColorAt(0, QColor(255, 240, 190, 110));
    glow.setColorAt(1, QColor(255, 240, 190, 0));
    p.setBrush(glow);
    p.drawEllipse(centre, 46, 46);
    p.setBrush(card.hue.darker(160));
    p.setPen(QPen(QColor(232, 200, 120), 2.2));
    p.drawEllipse(centre, 34, 34);
    p.setPen(QPen(QColor(232, 200, 120, 150), 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 29, 29);
    // Seven small points on the ring, turned a little for each star.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 236, 170));
    for (int k = 0; k < 7; ++k) {
        const double a = -M_PI / 2 + index * 0.23 + k * 2 * M_PI / 7;
        p.drawEllipse(centre + QPointF(34 * std::cos(a), 34 * std::sin(a)), 2.1, 2.1);
    }
    QFont glyphFont(QStringLiteral("IPAMincho"));
    glyphFont.setPixelSize(36);
    p.setFont(glyphFont);
    p.setPen(QColor(255, 244, 204));
    p.drawText(QRectF(centre.x() - 30, centre.y() - 30, 60, 60), Qt::AlignCenter, QString::fromUtf8(card.glyph));

    // Name plate.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 90));
    p.drawRect(QRectF(0, 118, kWidth, 62));
    p.setPen(QPen(QColor(232, 200, 120), 1));
    p.drawLine(QPointF(14, 121.5), QPointF(kWidth - 14, 121.5));
    QFont nameFont(QStringLiteral("IPAMincho"));
    nameFont.setPixelSize(21);
    p.setFont(nameFont);
    p.setPen(QColor(255, 250, 235));
    p.drawText(QRectF(0, 124, kWidth, 28), Qt::AlignCenter, QString::fromUtf8(card.name));
    QFont figureFont(QStringLiteral("IPAGothic"));
    figureFont.setPixelSize(12);
    p.setFont(figureFont);
    p.setPen(QColor(232, 214, 170));
    p.drawText(QRectF(0, 153, kWidth, 18), Qt::AlignCenter, QString::fromUtf8(card.figure));

    // Frame.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(232, 200, 120), 2));
    p.drawRect(QRectF(1, 1, kWidth - 2, kHeight - 2));
    p.setPen(QPen(QColor(232, 200, 120, 120), 1));
    p.drawRect(QRectF(4.5, 4.5, kWidth - 9, kHeight - 9));
    p.end();
    return img;
}

}  // namespace

bool SaveBmp(const QImage& image, const QString& path) {
    return image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::PreferDither).save(path, "BMP");
}

bool WriteStarPictures(const QString& dataFolder) {
    const QDir bmp(QDir(dataFolder).filePath(QStringLiteral("bmp")));
    for (int i = 0; i < 14; ++i) {
        if (!Card(kCards[i], i).save(bmp.filePath(QString::fromLatin1(kCards[i].file)), "BMP")) return false;
    }
    return true;
}

}  // namespace pictures
