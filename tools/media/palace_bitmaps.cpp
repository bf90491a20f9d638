// Palace emblems: a seal bearing the palace's first character, cut white
// into a square of the colour of its group on the data page (六親 maroon,
// 成敗 red, 幸禍 green), with a thin inner border as on a carved seal. 命宮,
// the palace the chart turns around, has a double outer border.
#include "tools/media/media.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace media {
namespace {

constexpr int kSize = 40;

struct PalaceEmblem {
    const char* file;
    const char* glyph;
    QColor colour;  // of the palace's group
};

const QColor kKin(128, 0, 0);      // 六親: 父母 兄弟 夫妻 子女
const QColor kSuccess(255, 0, 0);  // 成敗: 命 財帛 官禄 遷移
const QColor kFortune(0, 128, 0);  // 幸禍: 奴僕 田宅 福徳 疾厄

const PalaceEmblem kEmblems[12] = {
    {"hubo.bmp", "父", kKin},         {"meikyu.bmp", "命", kSuccess},  {"keitei.bmp", "兄", kKin},
    {"fusai.bmp", "夫", kKin},        {"sijyo.bmp", "子", kKin},       {"zai.bmp", "財", kSuccess},
    {"situyaku.bmp", "疾", kFortune}, {"seni.bmp", "遷", kSuccess},    {"nuboku.bmp", "奴", kFortune},
    {"kanroku.bmp", "官", kSuccess},  {"dentaku.bmp", "田", kFortune}, {"fukutoku.bmp", "福", kFortune},
};

QImage Emblem(int palace)  // 1..12
{
    const PalaceEmblem& e = kEmblems[palace - 1];
    QImage img(kSize, kSize, QImage::Format_RGB32);
    img.fill(QColor(212, 208, 200));  // button face, so the seal stands on the button
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF seal(3, 3, kSize - 6, kSize - 6);
    p.setPen(Qt::NoPen);
    p.setBrush(e.colour);
    p.drawRoundedRect(seal, 3, 3);
    if (palace == 2) {
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(e.colour, 1.2));
        p.drawRoundedRect(seal.adjusted(-2, -2, 2, 2), 4, 4);
    }
    // The carved inner border, in the paper's colour.
    const QColor paper(255, 250, 240);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(paper, 1.1));
    p.drawRoundedRect(seal.adjusted(2.5, 2.5, -2.5, -2.5), 1.5, 1.5);

    QFont font(QStringLiteral("IPAMincho"));
    font.setPixelSize(24);
    font.setWeight(QFont::Bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    p.setFont(font);
    p.setPen(paper);
    p.drawText(seal.adjusted(0, -1, 0, 0), Qt::AlignCenter, QString::fromUtf8(e.glyph));
    p.end();
    return img;
}

}  // namespace

bool WritePalaceBitmaps(const QString& folder) {
    for (int palace = 1; palace <= 12; ++palace) {
        if (!Emblem(palace).save(QDir(folder).filePath(QString::fromLatin1(kEmblems[palace - 1].file)), "BMP"))
            return false;
    }
    return true;
}

}  // namespace media
