// The people of the legend's two camps as organisation charts: one box per
// person with rank, name and the star the person stands for; lines down from
// the ruler, double lines between husband and wife.
#include "tools/media/pictures.h"

#include <QDir>
#include <QFont>
#include <QPainter>

#include <tuple>
#include <vector>

namespace pictures {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 460;
constexpr double kBoxW = 136;
constexpr double kBoxH = 66;

struct Person {
    const char* rank;
    const char* name;
    const char* star;
    QPointF centre;
};

struct Camp {
    const char* file;
    const char* title;
    QColor ink;   // borders, title, star names
    QColor fill;  // boxes
    std::vector<Person> people;
    std::vector<std::pair<int, std::vector<int>>> reports;  // superior → subordinates
    std::vector<std::tuple<int, int, const char*>> ties;    // husband and wife, or favour
    const char* note;
};

QRectF Box(const Person& p) { return {p.centre.x() - kBoxW / 2, p.centre.y() - kBoxH / 2, kBoxW, kBoxH}; }

void DrawPerson(QPainter& p, const Camp& camp, const Person& person) {
    const QRectF box = Box(person);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 28));
    p.drawRoundedRect(box.translated(2.5, 2.5), 7, 7);
    p.setBrush(camp.fill);
    p.setPen(QPen(camp.ink, 1.8));
    p.drawRoundedRect(box, 7, 7);

    QFont rank(QStringLiteral("IPAGothic"));
    rank.setPixelSize(11);
    p.setFont(rank);
    p.setPen(QColor(90, 90, 96));
    p.drawText(QRectF(box.left(), box.top() + 4, kBoxW, 15), Qt::AlignCenter, QString::fromUtf8(person.rank));
    QFont name(QStringLiteral("IPAMincho"));
    name.setPixelSize(19);
    name.setBold(true);
    p.setFont(name);
    p.setPen(QColor(24, 24, 30));
    p.drawText(QRectF(box.left(), box.top() + 19, kBoxW, 24), Qt::AlignCenter, QString::fromUtf8(person.name));
    QFont star(QStringLiteral("IPAGothic"));
    star.setPixelSize(13);
    p.setFont(star);
    p.setPen(camp.ink);
    p.drawText(QRectF(box.left(), box.top() + 44, kBoxW, 18), Qt::AlignCenter,
               QStringLiteral("（%1）").arg(QString::fromUtf8(person.star)));
}

QImage Chart(const Camp& camp) {
    QImage img(kWidth, kHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    QFont title(QStringLiteral("IPAMincho"));
    title.setPixelSize(24);
    title.setBold(true);
    p.setFont(title);
    p.setPen(camp.ink);
    p.drawText(QRectF(0, 8, kWidth, 34), Qt::AlignCenter, QString::fromUtf8(camp.title));
    p.setPen(QPen(camp.ink, 1));
    p.drawLine(QPointF(kWidth / 2.0 - 130, 44.5), QPointF(kWidth / 2.0 + 130, 44.5));

    // Reporting lines: down from the superior to a bus, then down to each box.
    p.setPen(QPen(QColor(70, 70, 80), 1.6));
    for (const auto& [boss, staff] : camp.reports) {
        const QRectF top = Box(camp.people[boss]);
        double busY = top.bottom() + 1000;
        double left = top.center().x(), right = left;
        for (int s : staff) {
            const QRectF b = Box(camp.people[s]);
            busY = std::min(busY, (top.bottom() + b.top()) / 2);
            left = std::min(left, b.center().x());
            right = std::max(right, b.center().x());
        }
        p.drawLine(QPointF(top.center().x(), top.bottom()), QPointF(top.center().x(), busY));
        p.drawLine(QPointF(left, busY), QPointF(right, busY));
        for (int s : staff) {
            const QRectF b = Box(camp.people[s]);
            p.drawLine(QPointF(b.center().x(), busY), QPointF(b.center().x(), b.top()));
        }
    }
    // Marriage and favour: a double line between the two boxes, named.
    for (const auto& [a, b, label] : camp.ties) {
        const QRectF ra = Box(camp.people[a]), rb = Box(camp.people[b]);
        QPointF from, to;
        if (std::abs(ra.center().y() - rb.center().y()) < 1) {  // side by side
            from = QPointF(ra.center().x() < rb.center().x() ? ra.right() : ra.left(), ra.center().y());
            to = QPointF(ra.center().x() < rb.center().x() ? rb.left() : rb.right(), rb.center().y());
            p.setPen(QPen(QColor(160, 60, 90), 1.4));
            p.drawLine(from + QPointF(0, -2.5), to + QPointF(0, -2.5));
            p.drawLine(from + QPointF(0, 2.5), to + QPointF(0, 2.5));
        } else {  // one above the other
            from = QPointF(ra.center().x(), ra.bottom());
            to = QPointF(rb.center().x(), rb.top());
            p.setPen(QPen(QColor(160, 60, 90), 1.4));
            p.drawLine(from + QPointF(-2.5, 0), to + QPointF(-2.5, 0));
            p.drawLine(from + QPointF(2.5, 0), to + QPointF(2.5, 0));
        }
        QFont small(QStringLiteral("IPAGothic"));
        small.setPixelSize(11);
        p.setFont(small);
        const QPointF mid = (from + to) / 2;
        const bool across = std::abs(ra.center().y() - rb.center().y()) < 1;
        const QRectF where =
            across ? QRectF(mid.x() - 20, mid.y() - 19, 40, 14) : QRectF(mid.x() + 7, mid.y() - 7, 40, 14);
        p.drawText(where, across ? Qt::AlignCenter : Qt::AlignLeft, QString::fromUtf8(label));
    }
    for (const Person& person : camp.people) DrawPerson(p, camp, person);

    QFont noteFont(QStringLiteral("IPAGothic"));
    noteFont.setPixelSize(12);
    p.setFont(noteFont);
    p.setPen(QColor(80, 80, 88));
    p.drawText(QRectF(16, kHeight - 26, kWidth - 32, 18), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromUtf8(camp.note));
    p.setPen(QPen(camp.ink, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1, 1, kWidth - 2, kHeight - 2));
    p.end();
    return img;
}

}  // namespace

bool WriteOrganisationPictures(const QString& dataFolder) {
    const Camp yin{
        "inkoku.bmp",
        "殷国の人物組織図",
        QColor(150, 30, 40),
        QColor(253, 240, 238),
        {
            {"殷王", "紂王", "破軍星", {320, 92}},
            {"正妃", "姜皇后", "天府星", {120, 92}},
            {"寵妃", "妲己", "貪狼星", {520, 92}},
            {"太師", "聞仲", "天相星", {92, 232}},
            {"亜相", "比干", "太陽星", {240, 232}},
            {"鎮国武成王（のちに周へ）", "黄飛虎", "七殺星", {392, 232}},
            {"上大夫", "費仲", "廉貞星", {544, 232}},
            {"武成王の妻", "賈氏", "太陰星", {392, 358}},
        },
        {{0, {3, 4, 5, 6}}},
        {{1, 0, "夫婦"}, {0, 2, "寵愛"}, {5, 7, "夫婦"}},
        "（　）内は、その人物に当たる星です。紂王は妲己に溺れて国を乱し、周に滅ぼされます。",
    };
    const Camp zhou{
        "syukoku.bmp",
        "周国の人物組織図",
        QColor(24, 100, 90),
        QColor(236, 248, 244),
        {
            {"西伯侯", "文王 姫昌", "天同星", {320, 92}},
            {"長子", "伯邑考", "紫薇星", {80, 214}},
            {"次子（周の王）", "武王 姫発", "武曲星", {228, 214}},
            {"軍師", "姜子牙", "天機星", {380, 214}},
            {"姜子牙の妻", "馬千金", "巨門星", {556, 214}},
            {"陳塘関総兵", "李靖", "天梁星", {152, 344}},
            {"殷から移った武将", "黄飛虎", "七殺星", {304, 344}},
        },
        {{0, {1, 2, 3}}, {2, {5, 6}}},
        {{3, 4, "夫婦"}},
        "（　）内は、その人物に当たる星です。文王と武王は姜子牙（太公望）を軍師に迎え、殷を倒します。",
    };
    const QDir bmp(QDir(dataFolder).filePath(QStringLiteral("bmp")));
    return SaveBmp(Chart(yin), bmp.filePath(QString::fromLatin1(yin.file))) &&
           SaveBmp(Chart(zhou), bmp.filePath(QString::fromLatin1(zhou.file)));
}

}  // namespace pictures
