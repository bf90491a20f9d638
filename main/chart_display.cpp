#include "main/chart_display.h"

#include "common/qstring_utf8.h"
#include "engine/conversion.h"
#include "main/chart_layer_view.h"

#include <QFrame>
#include <QLabel>
#include <QPainter>
#include <QToolButton>

namespace zelvara {
namespace {

// The centre panel: four pillar columns of buttons headed 時 日 月 年, the
// labels beside and below them, and the brightness legend at the bottom.
struct PillarLayout {
    int left, step, width;
    int headY, headHeight, headPoints;
    int stemY, branchY, cellHeight, cellPoints;
};
constexpr PillarLayout kPillars{8, 34, 32, 6, 20, 9, 27, 58, 30, 14};

struct LabelPlace {
    const char* name;
    QRect rect;
};
constexpr LabelPlace kCentreLabels[] = {
    {"lblBirth", {150, 6, 122, 20}},  {"Label1", {150, 28, 36, 20}},        {"kyureki", {186, 28, 86, 20}},
    {"lblAge", {150, 50, 60, 20}},    {"sexlbl", {212, 50, 60, 20}},        {"lblKouun", {150, 72, 60, 20}},
    {"lblRituun", {212, 72, 60, 20}}, {"lblDays", {8, 98, 130, 20}},        {"gogyolbl", {150, 98, 60, 20}},
    {"lblsingu", {8, 120, 130, 20}},  {"birthTimeLine", {8, 141, 136, 55}}, {"legendCaption", {8, 196, 120, 18}},
};

// The legend's four colour cells, left to right by grade.
struct LegendLayout {
    int left, step, y, width, height;
};
constexpr LegendLayout kLegend{8, 34, 216, 30, 22};

QRect CentrePlace(const char* name) {
    for (const LabelPlace& place : kCentreLabels)
        if (qstrcmp(place.name, name) == 0) return place.rect;
    return {};
}

QLabel* Label(QWidget* parent, const char* name, const QRect& geometry, const QString& text = {},
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(geometry);
    l->setAlignment(align);
    return l;
}

QToolButton* PillarButton(QWidget* parent, const char* name, const QRect& geometry, int pointSize) {
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(geometry);
    QFont f = b->font();
    f.setPointSize(pointSize);
    f.setBold(true);
    b->setFont(f);
    return b;
}

void SetColours(QWidget* w, const QColor& background, const QColor& text) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, text);
    w->setPalette(pal);
}

}  // namespace

PalaceStrengthView::PalaceStrengthView(QWidget* parent) : QWidget(parent) {}

void PalaceStrengthView::SetStrength(const PalaceStrength& strength) {
    strength_ = strength;
    update();
}

void PalaceStrengthView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawPalaceStrengthChart(painter, QRectF(rect()), strength_);
}

QColor BrightnessBackground(int grade) {
    switch (grade) {
        case 1: return QColor(0, 0, 255);    // blue
        case 2: return QColor(0, 255, 0);    // lime green
        case 3: return QColor(255, 255, 0);  // yellow
        case 4: return QColor(255, 0, 0);    // red
        default: return {};
    }
}

QColor BrightnessText(int grade) {
    switch (grade) {
        case 1: return Qt::white;
        case 2: return QColor(0, 0, 255);
        case 3: return Qt::black;
        case 4: return Qt::white;
        default: return Qt::black;
    }
}

ChartCentre BuildChartCentre(QWidget* f) {
    ChartCentre c;
    // Four pillar columns headed 時 日 月 年.
    const char* heads[4] = {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4"};
    const QString headTexts[4] = {QStringLiteral("時"), QStringLiteral("日"), QStringLiteral("月"),
                                  QStringLiteral("年")};
    QToolButton** stems[4] = {&c.SpdBtnTim_ten, &c.SpdBtnDay_ten, &c.SpdBtnMon_ten, &c.SpdBtnNen_ten};
    QToolButton** branches[4] = {&c.SpdBtnTim_chi, &c.SpdBtnDay_chi, &c.SpdBtnMon_chi, &c.SpdBtnNen_chi};
    const char* stemNames[4] = {"SpdBtnTim_ten", "SpdBtnDay_ten", "SpdBtnMon_ten", "SpdBtnNen_ten"};
    const char* branchNames[4] = {"SpdBtnTim_chi", "SpdBtnDay_chi", "SpdBtnMon_chi", "SpdBtnNen_chi"};
    const PillarLayout& pl = kPillars;
    for (int i = 0; i < 4; ++i) {
        const int x = pl.left + i * pl.step;
        QToolButton* head = PillarButton(f, heads[i], QRect(x, pl.headY, pl.width, pl.headHeight), pl.headPoints);
        head->setText(headTexts[i]);
        *stems[i] = PillarButton(f, stemNames[i], QRect(x, pl.stemY, pl.width, pl.cellHeight), pl.cellPoints);
        *branches[i] = PillarButton(f, branchNames[i], QRect(x, pl.branchY, pl.width, pl.cellHeight), pl.cellPoints);
    }
    c.lblBirth = Label(f, "lblBirth", CentrePlace("lblBirth"));
    Label(f, "Label1", CentrePlace("Label1"), QStringLiteral("旧暦"));
    c.kyureki = Label(f, "kyureki", CentrePlace("kyureki"));
    c.lblAge = Label(f, "lblAge", CentrePlace("lblAge"));
    c.sexlbl = Label(f, "sexlbl", CentrePlace("sexlbl"));
    QFont big = c.sexlbl->font();
    big.setBold(true);
    c.sexlbl->setFont(big);
    c.lblKouun = Label(f, "lblKouun", CentrePlace("lblKouun"));
    c.lblRituun = Label(f, "lblRituun", CentrePlace("lblRituun"));
    c.lblDays = Label(f, "lblDays", CentrePlace("lblDays"));
    c.gogyolbl = Label(f, "gogyolbl", CentrePlace("gogyolbl"));
    c.gogyolbl->setFont(big);
    c.lblsingu = Label(f, "lblsingu", CentrePlace("lblsingu"));
    c.birthTimeLine = Label(f, "birthTimeLine", CentrePlace("birthTimeLine"), {}, Qt::AlignLeft | Qt::AlignTop);
    c.birthTimeLine->setWordWrap(true);
    c.birthTimeLine->setTextFormat(Qt::RichText);
    c.birthTimeLine->hide();

    // Brightness legend: the four colours a star label can take.
    Label(f, "legendCaption", CentrePlace("legendCaption"), QStringLiteral("星の明るさ（色）"));
    const char* legendNames[5] = {"", "lblByo", "lblWang", "lblShitsu", "lblKan"};
    const char* hints[5] = {"", "星の色が青の場合、長所が作用します", "星の色が緑の場合、長所が作用します",
                            "星の色が黄色の場合、星の短所が作用します", "星の色が赤色の場合、星の短所が作用します"};
    for (int g = 1; g <= 4; ++g) {
        const QRect cell(kLegend.left + (g - 1) * kLegend.step, kLegend.y, kLegend.width, kLegend.height);
        QLabel* l = Label(f, legendNames[g], cell, Q(kBrightnessNames[g]), Qt::AlignCenter);
        l->setAutoFillBackground(true);
        l->setFont(big);
        SetColours(l, BrightnessBackground(g), BrightnessText(g));
        l->setToolTip(QString::fromUtf8(hints[g]));
        c.legend[g] = l;
    }
    return c;
}

void FillChartCentre(const ChartCentre& c, const Tmandata& man) {
    c.lblBirth->setText(QString::fromStdString(man.birthText));
    // No age for a birth after today.
    c.lblAge->setText(man.age > 0 ? QString::number(man.age) + QStringLiteral("才") : QString());
    c.lblKouun->setText(man.luckDirection != 0 ? QStringLiteral("逆行運") : QStringLiteral("順行運"));
    c.lblRituun->setText(QString::number(man.firstLuckAge) + QStringLiteral("年運"));
    c.lblDays->setText(QStringLiteral("節入まで") + QString::number(man.daysToTerm) + QStringLiteral("日"));
    c.SpdBtnTim_ten->setText(Q(StemName(man.stems.hour)));
    c.SpdBtnDay_ten->setText(Q(StemName(man.stems.day)));
    c.SpdBtnMon_ten->setText(Q(StemName(man.stems.month)));
    c.SpdBtnNen_ten->setText(Q(StemName(man.stems.year)));
    c.SpdBtnTim_chi->setText(Q(BranchName(man.branches.hour)));
    c.SpdBtnDay_chi->setText(Q(BranchName(man.branches.day)));
    c.SpdBtnMon_chi->setText(Q(BranchName(man.branches.month)));
    c.SpdBtnNen_chi->setText(Q(BranchName(man.branches.year)));
    c.kyureki->setText(QString::number(man.lunarMonth) + QStringLiteral("月") + QString::number(man.lunarDay) +
                       QStringLiteral("日"));
    c.sexlbl->setText(man.sexCode == 'M' ? QStringLiteral("男命") : QStringLiteral("女命"));
}

void ShowBirthTimeLine(const ChartCentre& c, const std::optional<CorrectedBirth>& exact) {
    if (!exact || !exact->Corrected()) {
        c.birthTimeLine->clear();
        c.birthTimeLine->hide();
        return;
    }
    // "10:30 → 09:30（夏時間 −60分）" split at the bracket: the times on the
    // first line, the corrections smaller below.
    const QString line = Q(CorrectionLine(*exact));
    const qsizetype open = line.indexOf(QStringLiteral("（"));
    QString times = line.left(open);
    times.remove(QLatin1Char(' '));
    // One correction a line: a name and its minutes never part.
    const QStringList corrections = line.mid(open + 1).chopped(1).split(QStringLiteral("、"));
    c.birthTimeLine->setText(QStringLiteral("時刻 %1<br><small>%2</small>")
                                 .arg(times.toHtmlEscaped(), corrections.join(QStringLiteral("<br>"))));
    c.birthTimeLine->setToolTip(QStringLiteral("出生時刻 ") + line);
    c.birthTimeLine->show();
}

PalaceGlyphs LoadPalaceGlyphs(const DataFolders& folders) {
    PalaceGlyphs glyphs;
    for (int p = 1; p <= kPalaces; ++p) glyphs[p] = LoadPalaceGlyph(folders, p);
    return glyphs;
}

void FillChartBoxes(std::array<ChartBox, kChartBoxes>& boxes, const ChartCentre& centre, const Tmandata& man,
                    const ChartLayout& layout, const Timi& timi, const PalaceGlyphs& glyphs) {
    // Clear every star label first (text, tooltip, grade colours): a box
    // that holds fewer stars than in the last chart must not keep the old ones.
    for (ChartBox& box : boxes)
        for (QLabel* label : box.stars) {
            label->clear();
            label->setToolTip({});
            label->setPalette(label->parentWidget()->palette());
        }

    // Palace buttons: the palaces turn round the fixed branch boxes, so each
    // palace's name, glyph and tooltip go to the box of its branch; the life
    // palace 命宮 stands out in magenta.
    for (int p = 1; p <= kPalaces; ++p) {
        const int b = man.palaceBranch[p];
        if (b < 1 || b > kBranches) continue;
        PalaceButton* button = boxes[b - 1].palace;
        QPalette pal = button->palette();
        pal.setColor(QPalette::ButtonText, p == kLifePalace ? QColor(255, 0, 255) : QColor(Qt::black));
        button->setPalette(pal);
        button->setText(Q(kPalaceNames[p]));
        button->SetGlyph(glyphs[p]);
        button->setToolTip(Q(timi.kyuText[p]) + QStringLiteral("\n\n") + FlyingHintTip());
    }

    // The bureau's name in the centre panel; empty when the chart has none.
    centre.gogyolbl->setText(man.bureau >= 1 && man.bureau <= kBureaus ? Q(kBureauNames[man.bureau - 1]) : QString());

    // Luck periods: each box's age button shows the start age of the
    // ten-year period that falls on its branch.
    for (int k = 1; k <= 12; ++k) {
        const int b = man.luckBranch[k];
        if (b >= 1 && b <= kBranches) boxes[b - 1].age->setText(QString::number(man.luckAge[k]) + QStringLiteral("才"));
    }

    // Star labels from the engine's layout, the same one the prints use: the
    // twenty stars coloured by brightness grade with their tooltip, then the
    // additional stars in black while a box has room.
    for (int b = 1; b <= kBranches; ++b) {
        for (int r = 1; r <= kBoxSlots; ++r) {
            const StarSlot& slot = layout.box[b][r];
            if (slot.kind == StarSlot::Kind::Empty) continue;
            QLabel* label = boxes[b - 1].stars[r - 1];
            label->setText(QString::fromStdString(slot.caption));
            QPalette pal = label->palette();
            if (slot.kind == StarSlot::Kind::Star) {
                label->setToolTip(Q(timi.hosiText[slot.number]));
                pal.setColor(QPalette::Window, BrightnessBackground(slot.brightness));
                pal.setColor(QPalette::WindowText, BrightnessText(slot.brightness));
            } else {
                label->setToolTip(Q(timi.hosiText[60 + slot.number]));
                pal.setColor(QPalette::WindowText, Qt::black);
            }
            label->setPalette(pal);
        }
    }

    // The body palace's branch in the centre panel.
    centre.lblsingu->setText(QStringLiteral("身宮：") + Q(BranchName(man.bodyPalace)));
}

}  // namespace zelvara
