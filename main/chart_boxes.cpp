#include "main/chart_boxes.h"

#include "common/qstring_utf8.h"
#include "engine/zelvara.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QStyleOptionToolButton>
#include <QStylePainter>

namespace zelvara {
namespace {

constexpr const char* kBitmapFiles[13] = {
    "",         "hubo.bmp",   "meikyu.bmp",  "keitei.bmp",  "fusai.bmp",   "sijyo.bmp", "zai.bmp", "situyaku.bmp",
    "seni.bmp", "nuboku.bmp", "kanroku.bmp", "dentaku.bmp", "fukutoku.bmp"};

// Grid cell (column, row) of each box, clockwise from the top left.
constexpr int kCell[kChartBoxes][2] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {3, 1}, {3, 2},
                                       {3, 3}, {2, 3}, {1, 3}, {0, 3}, {0, 2}, {0, 1}};
constexpr int kColumnX[4] = {0, 142, 284, 426};
constexpr int kRowY[4] = {-3, 122, 247, 372};
constexpr QSize kBoxSize{137, 125};

// Box 0's design-time controls, which every other box copies: the palace
// button above the branch and age buttons down the left edge, six star
// labels beside them.
constexpr QRect kPalaceButton{0, 0, 51, 65};
constexpr QRect kBranchButton{0, 65, 51, 23};
constexpr QRect kAgeButton{0, 88, 51, 24};
constexpr int kStarY[6] = {2, 21, 40, 60, 79, 98};
constexpr int kStarX = 64;
constexpr QSize kStarSize{70, 18};

// The palace button's caption and glyph lie this far inside its bevel; the
// glyph sits one unit right and down of the centre of the space below the
// caption.
constexpr int kPalaceButtonInset = 2;
constexpr QPoint kGlyphNudge{1, 1};

}  // namespace

PalaceButton::PalaceButton(QWidget* parent) : QToolButton(parent) {}

void PalaceButton::SetGlyph(const QPixmap& glyph) {
    glyph_ = glyph;
    update();
}

void PalaceButton::paintEvent(QPaintEvent*) {
    QStylePainter p(this);
    QStyleOptionToolButton opt;
    initStyleOption(&opt);
    opt.text.clear();
    opt.icon = QIcon();
    opt.features &= ~QStyleOptionToolButton::HasMenu;
    p.drawComplexControl(QStyle::CC_ToolButton, opt);
    const QRect r = rect().adjusted(kPalaceButtonInset, kPalaceButtonInset, -kPalaceButtonInset, -kPalaceButtonInset);
    const int textHeight = fontMetrics().height();
    p.setPen(palette().color(QPalette::ButtonText));
    p.drawText(QRect(r.left(), r.top(), r.width(), textHeight), Qt::AlignCenter, text());
    if (!glyph_.isNull()) {
        const QRect area(r.left(), r.top() + textHeight, r.width(), r.height() - textHeight);
        const QPixmap shown = glyph_.size().boundedTo(area.size()) == glyph_.size()
                                  ? glyph_
                                  : glyph_.scaled(area.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        p.drawPixmap(area.center() - QPoint(shown.width() / 2, shown.height() / 2) + kGlyphNudge, shown);
    }
}

QRect ChartBoxRect(int box) { return {QPoint(kColumnX[kCell[box][0]], kRowY[kCell[box][1]]), kBoxSize}; }

QString PalaceBitmapFile(int palace) { return QString::fromLatin1(kBitmapFiles[palace]); }

QPixmap LoadPalaceGlyph(const DataFolders& folders, int palace) {
    QPixmap pixmap;
    pixmap.load(FindDataFile(folders, PalaceBitmapFile(palace)));
    return pixmap;
}

std::array<ChartBox, kChartBoxes> CreateChartBoxFrames(QWidget* page) {
    std::array<ChartBox, kChartBoxes> boxes;
    for (int k = 0; k < kChartBoxes; ++k) {
        auto* frame = new QFrame(page);
        frame->setObjectName(QStringLiteral("box%1").arg(k));
        frame->setFrameShape(QFrame::Panel);
        frame->setFrameShadow(QFrame::Raised);
        frame->setGeometry(ChartBoxRect(k));
        boxes[k].frame = frame;
    }
    // Box 0's design-time controls.
    ChartBox& b0 = boxes[0];
    b0.palace = new PalaceButton(b0.frame);
    b0.palace->setObjectName(QStringLiteral("kyu0"));
    b0.palace->setGeometry(kPalaceButton);
    QFont palaceFont = b0.palace->font();
    palaceFont.setBold(true);
    b0.palace->setFont(palaceFont);
    QPalette navy = b0.palace->palette();
    navy.setColor(QPalette::ButtonText, QColor(0, 0, 128));
    b0.palace->setPalette(navy);
    b0.palace->setText(Q(kPalaceNames[1]));
    b0.palace->SetTag(1);
    b0.palace->setToolTip(Q(kPalaceNames[1]));

    b0.branch = new QToolButton(b0.frame);
    b0.branch->setObjectName(QStringLiteral("ne0"));
    b0.branch->setGeometry(kBranchButton);
    b0.branch->setText(Q(kBranchNames[1]));

    b0.age = new QToolButton(b0.frame);
    b0.age->setObjectName(QStringLiteral("age0"));
    b0.age->setGeometry(kAgeButton);
    b0.age->setText(QStringLiteral("才"));

    for (int r = 0; r < 6; ++r) {
        auto* label = new QLabel(b0.frame);
        label->setObjectName(QStringLiteral("hosi0%1").arg(r));
        label->setGeometry(QRect(QPoint(kStarX, kStarY[r]), kStarSize));
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
        label->setAutoFillBackground(true);
        label->setText(QStringLiteral("星%1").arg(r + 1));  // design-time caption, cleared at start-up
        b0.stars[r] = label;
    }
    return boxes;
}

QStringList BuildChartBoxes(std::array<ChartBox, kChartBoxes>& boxes, const DataFolders& folders) {
    QStringList missing;
    auto glyph = [&](int palace) {
        QPixmap p = LoadPalaceGlyph(folders, palace);
        if (p.isNull()) missing << FindDataFile(folders, PalaceBitmapFile(palace));
        return p;
    };
    const ChartBox& d = boxes[0];
    for (QLabel* star : d.stars) star->clear();
    d.palace->SetGlyph(glyph(1));

    for (int k = 1; k < kChartBoxes; ++k) {
        ChartBox& b = boxes[k];
        if (b.palace) continue;  // already built
        b.palace = new PalaceButton(b.frame);
        b.palace->setObjectName(QStringLiteral("kyu%1").arg(k));
        b.palace->setGeometry(0, 0, d.palace->width(), d.palace->height());
        b.palace->setFont(d.palace->font());
        b.palace->setPalette(d.palace->palette());
        b.palace->setText(Q(kPalaceNames[k + 1]));
        b.palace->setToolTip(b.palace->text());
        b.palace->SetGlyph(glyph(k + 1));
        b.palace->SetTag(k + 1);

        b.branch = new QToolButton(b.frame);
        b.branch->setObjectName(QStringLiteral("ne%1").arg(k));
        b.branch->setGeometry(0, d.branch->y(), d.branch->width(), d.branch->height());
        b.branch->setFont(d.branch->font());
        b.branch->setText(Q(kBranchNames[k + 1]));

        b.age = new QToolButton(b.frame);
        b.age->setObjectName(QStringLiteral("age%1").arg(k));
        b.age->setGeometry(0, d.age->y(), d.age->width(), d.age->height());
        b.age->setFont(d.age->font());
        b.age->setText(QStringLiteral("才"));

        for (int r = 0; r < 6; ++r) {
            auto* label = new QLabel(b.frame);
            label->setObjectName(QStringLiteral("hosi%1%2").arg(k).arg(r));
            label->setGeometry(d.stars[r]->geometry());
            label->setFont(d.stars[r]->font());
            label->setAutoFillBackground(true);
            b.stars[r] = label;
        }
        b.palace->show();
        b.branch->show();
        b.age->show();
        for (QLabel* l : b.stars) l->show();
    }
    return missing;
}

}  // namespace zelvara
