// The splash picture: a night sky with the twelve branches on a ring.
#include "tools/media/media.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QtMath>

namespace media {

bool WriteSplashPicture(const QString& folder) {
    QImage img(640, 480, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QLinearGradient sky(0, 0, 0, 480);
    sky.setColorAt(0, QColor(8, 10, 48));
    sky.setColorAt(0.6, QColor(30, 24, 92));
    sky.setColorAt(1, QColor(74, 40, 110));
    p.fillRect(img.rect(), sky);

    QRandomGenerator rng(20240531);  // fixed seed: the same picture every run
    for (int i = 0; i < 260; ++i) {
        const QPointF at(rng.bounded(640.0), rng.bounded(480.0));
        const double r = 0.4 + rng.bounded(1.4);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 235, 90 + rng.bounded(165)));
        p.drawEllipse(at, r, r);
    }

    const QPointF centre(320, 262);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 180, 255, 150), 1.5));
    p.drawEllipse(centre, 170, 170);
    p.drawEllipse(centre, 120, 120);
    static const char16_t* kBranches[12] = {u"子", u"丑", u"寅", u"卯", u"辰", u"巳",
                                            u"午", u"未", u"申", u"酉", u"戌", u"亥"};
    QFont glyphFont(QStringLiteral("IPAMincho"), 17);
    p.setFont(glyphFont);
    for (int k = 0; k < 12; ++k) {
        const double a = -M_PI / 2 + k * M_PI / 6;
        p.setPen(QPen(QColor(200, 180, 255, 150), 1));
        p.drawLine(centre + QPointF(120 * std::cos(a), 120 * std::sin(a)),
                   centre + QPointF(170 * std::cos(a), 170 * std::sin(a)));
        const double m = a + M_PI / 12;
        const QPointF c = centre + QPointF(145 * std::cos(m), 145 * std::sin(m));
        p.setPen(QColor(255, 236, 170));
        p.drawText(QRectF(c.x() - 14, c.y() - 14, 28, 28), Qt::AlignCenter, QString::fromUtf16(kBranches[k]));
    }
    // The pole star at the centre.
    QRadialGradient glow(centre, 60);
    glow.setColorAt(0, QColor(255, 240, 200, 230));
    glow.setColorAt(0.25, QColor(220, 160, 255, 120));
    glow.setColorAt(1, QColor(120, 60, 200, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(centre, 60, 60);

    QFont titleFont(QStringLiteral("DejaVu Serif"), 40, QFont::Bold);
    p.setFont(titleFont);
    p.setPen(QColor(255, 246, 200));
    p.drawText(QRectF(0, 28, 640, 60), Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("Zelvara"));
    QFont subFont(QStringLiteral("IPAMincho"), 20);
    p.setFont(subFont);
    p.setPen(QColor(220, 200, 255));
    p.drawText(QRectF(0, 440, 640, 32), Qt::AlignHCenter | Qt::AlignVCenter,
               QStringLiteral("紫微斗数　鑑定プログラム"));
    p.end();
    return img.save(QDir(folder).filePath(QStringLiteral("title.png")), "PNG");
}

}  // namespace media
