#include "chart_layer_view.h"

#include "qstring_utf8.h"
#include "stars.h"

#include <QComboBox>
#include <QDate>
#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>

namespace zelvara {
namespace {

// The picker's entries: 本命, 大限1..12, 流年, 流月.
constexpr int kDecadeFirstIndex = 1;
constexpr int kYearIndex = kDecadeFirstIndex + 12;
constexpr int kMonthIndex = kYearIndex + 1;

// The picker's place in the centre panel's free right-hand corner, and the
// marks' place in a box (the gutter left of the star labels, the right end
// of a star label, the foot of the palace button).
struct LayerViewLayout {
    static constexpr QRect kKind{150, 118, 122, 22};
    static constexpr QRect kYear{150, 142, 74, 22};
    static constexpr QRect kMonth{226, 142, 46, 22};
    static constexpr QRect kCaption{150, 166, 122, 18};
    static constexpr QRect kFlying{150, 186, 122, 54};
    static constexpr int kGutterWidth = 12;       // left of a star label
    static constexpr int kFlyingMarkWidth = 14;   // inside a star label's right end
    static constexpr int kPalaceNameHeight = 14;  // at the foot of the palace button
    static constexpr int kMarkPixels = 11;        // font size of every mark
};
using L = LayerViewLayout;

// The slot (1..6) where a star stands in its box, 0 when it is not shown.
int SlotOfStar(const Tmandata& man, const ChartLayout& layout, int star) {
    return star >= 1 && star <= kStars ? BoxSlotOfStar(layout, man.starBranch[star], star) : 0;
}

LayerChoice ChoiceOf(int index, int year, int month) {
    LayerChoice choice;
    if (index >= kDecadeFirstIndex && index < kYearIndex) {
        choice.kind = LayerKind::Decade;
        choice.period = index - kDecadeFirstIndex + 1;
    } else if (index == kYearIndex) {
        choice.kind = LayerKind::Year;
        choice.year = year;
    } else if (index == kMonthIndex) {
        choice.kind = LayerKind::Month;
        choice.year = year;
        choice.month = month;
    }
    return choice;
}

// The western year the 流年 picker starts at: today's, before 立春 the one
// before (立春 taken as 4 February; the reader moves the picker as needed).
int StartingYear() {
    const QDate today = QDate::currentDate();
    return FlowYearOf(today.year(), today.month(), today.day(), 4);
}

void DrawMark(QPainter& p, const QRect& r, const QString& text, const QColor& fill) {
    p.fillRect(r, fill);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, text);
}

}  // namespace

QColor LayerColour(LayerKind kind) {
    switch (kind) {
    case LayerKind::Decade: return QColor(200, 90, 0);
    case LayerKind::Year: return QColor(0, 128, 128);
    case LayerKind::Month: return QColor(128, 0, 160);
    case LayerKind::Birth: break;
    }
    return QColor(Qt::black);
}

QColor FlyingColour() { return QColor(0, 0, 160); }
QColor SelfTransformColour() { return QColor(200, 0, 0); }

std::array<BoxOverlay, kBranches + 1> ComposeOverlay(const Tmandata& man, const ChartLayout& layout,
                                                     const TimeLayer& layer, int flyingFrom) {
    std::array<BoxOverlay, kBranches + 1> boxes{};
    if (layer.kind != LayerKind::Birth) {
        for (int p = 1; p <= kPalaces; ++p) {
            const int b = man.palaceBranch[p];
            if (b >= 1 && b <= kBranches) boxes[b].layerPalace = Q(LayerPalaceName(layer.kind, layer.layerPalace[p]));
        }
        for (int t = 1; t <= kTransforms; ++t) {
            const int star = layer.transformStar[t];
            if (const int slot = SlotOfStar(man, layout, star))
                boxes[man.starBranch[star]].layerMarks[slot] += Q(TransformChar(t));
        }
    }
    if (flyingFrom >= 1 && flyingFrom <= kPalaces) {
        const FlyingTransforms flying = FlyTransforms(man);
        const int source = man.palaceBranch[flyingFrom];
        if (source >= 1 && source <= kBranches) boxes[source].flyingSource = true;
        for (int t = 1; t <= kTransforms; ++t) {
            const int star = TransformStarOf(flying.palaceStem[flyingFrom], t);
            const int slot = SlotOfStar(man, layout, star);
            if (slot == 0) continue;
            BoxOverlay& box = boxes[man.starBranch[star]];
            box.flyingMarks[slot] += Q(TransformChar(t));
            box.selfMarks[slot] = box.selfMarks[slot] || flying.SelfTransform(flyingFrom, t);
        }
    }
    return boxes;
}

QString FlyingSummary(const Tmandata& man, int palace) {
    const FlyingTransforms flying = FlyTransforms(man);
    if (palace < 1 || palace > kPalaces || flying.palaceStem[palace] == 0) return {};
    QString text = Q(kPalaceNames[palace]) + QStringLiteral("（") + Q(kStemNames[flying.palaceStem[palace]]) +
                   QStringLiteral("）の飛星");
    for (const FlyingTransforms::JiClash& clash : flying.jiClashes)
        if (clash.from == palace)
            text += QStringLiteral("\n忌沖：") + Q(kPalaceNames[clash.clashed]) +
                    (clash.clashed == palace ? QStringLiteral("（自宮）") : QString());
    QString self;
    for (int t = 1; t <= kTransforms; ++t)
        if (flying.SelfTransform(palace, t)) self += Q(TransformChar(t));
    text += QStringLiteral("\n自化：") + (self.isEmpty() ? QStringLiteral("なし") : self);
    return text;
}

// Draws the marks over the boxes; the boxes below stay clickable.
class ChartOverlayWidget : public QWidget {
public:
    ChartOverlayWidget(QWidget* page, std::array<ChartBox, kChartBoxes>& boxes, const std::array<BoxOverlay, kBranches + 1>& shown,
                       const LayerKind& kind)
        : QWidget(page), boxes_(boxes), shown_(shown), kind_(kind)
    {
        setObjectName(QStringLiteral("chartLayerOverlay"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(page->rect());
        raise();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        QFont font = p.font();
        font.setPixelSize(L::kMarkPixels);
        font.setBold(true);
        p.setFont(font);
        for (int b = 1; b <= kBranches; ++b) {
            const BoxOverlay& o = shown_[b];
            const ChartBox& box = boxes_[b - 1];
            const QPoint origin = box.frame->geometry().topLeft();
            if (o.flyingSource) {
                p.setPen(QPen(FlyingColour(), 3));
                p.setBrush(Qt::NoBrush);
                p.drawRect(box.frame->geometry().adjusted(1, 1, -2, -2));
            }
            if (!o.layerPalace.isEmpty()) {
                const QRect button = box.palace->geometry().translated(origin);
                const QRect foot(button.left() + 2, button.bottom() - L::kPalaceNameHeight - 1, button.width() - 4,
                                 L::kPalaceNameHeight);
                p.fillRect(foot, Qt::white);
                p.setPen(LayerColour(kind_));
                p.drawText(foot, Qt::AlignCenter, o.layerPalace);
            }
            for (int r = 1; r <= kBoxSlots; ++r) {
                const QRect label = box.stars[r - 1]->geometry().translated(origin);
                if (!o.layerMarks[r].isEmpty())
                    DrawMark(p, QRect(label.left() - L::kGutterWidth - 1, label.top(), L::kGutterWidth, label.height()),
                             o.layerMarks[r].left(1), LayerColour(kind_));
                if (!o.flyingMarks[r].isEmpty()) {
                    const int width = L::kFlyingMarkWidth * int(o.flyingMarks[r].size());
                    DrawMark(p, QRect(label.right() - width + 1, label.top(), width, label.height()), o.flyingMarks[r],
                             o.selfMarks[r] ? SelfTransformColour() : FlyingColour());
                }
            }
        }
    }

private:
    std::array<ChartBox, kChartBoxes>& boxes_;
    const std::array<BoxOverlay, kBranches + 1>& shown_;
    const LayerKind& kind_;
};

ChartLayerView::ChartLayerView(QWidget* page, QWidget* centre, std::array<ChartBox, kChartBoxes>& boxes)
    : QObject(page), boxes_(boxes)
{
    kind_ = new QComboBox(centre);
    kind_->setObjectName(QStringLiteral("layerKind"));
    kind_->setGeometry(L::kKind);
    kind_->addItem(QStringLiteral("本命"));
    for (int n = 1; n <= 12; ++n) kind_->addItem(QStringLiteral("大限%1").arg(n));
    kind_->addItem(QStringLiteral("流年"));
    kind_->addItem(QStringLiteral("流月"));
    kind_->setToolTip(QStringLiteral("命盤に重ねる時間の層（大限・流年・流月）"));

    year_ = new QSpinBox(centre);
    year_->setObjectName(QStringLiteral("layerYear"));
    year_->setGeometry(L::kYear);
    year_->setRange(kFirstCalendarYear, kLastChartYear);
    year_->setValue(StartingYear());
    year_->setSuffix(QStringLiteral("年"));

    month_ = new QSpinBox(centre);
    month_->setObjectName(QStringLiteral("layerMonth"));
    month_->setGeometry(L::kMonth);
    month_->setRange(1, 12);
    month_->setSuffix(QStringLiteral("月"));
    month_->setToolTip(QStringLiteral("旧暦の月"));

    caption_ = new QLabel(centre);
    caption_->setObjectName(QStringLiteral("layerCaption"));
    caption_->setGeometry(L::kCaption);

    flyingText_ = new QLabel(centre);
    flyingText_->setObjectName(QStringLiteral("flyingSummary"));
    flyingText_->setGeometry(L::kFlying);
    flyingText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    flyingText_->setToolTip(QStringLiteral("宮をCtrl+クリックすると、その宮の飛星（四化の飛び先）を表示します"));

    overlay_ = new ChartOverlayWidget(page, boxes_, shown_, layerKind_);
    for (ChartBox& box : boxes_) box.palace->installEventFilter(this);

    connect(kind_, &QComboBox::currentIndexChanged, this, &ChartLayerView::Refresh);
    connect(year_, &QSpinBox::valueChanged, this, &ChartLayerView::Refresh);
    connect(month_, &QSpinBox::valueChanged, this, &ChartLayerView::Refresh);
    Refresh();
}

QWidget* ChartLayerView::Overlay() const { return overlay_; }

void ChartLayerView::SetChart(const Tmandata* man, const ChartLayout* layout)
{
    man_ = man;
    layout_ = layout;
    flyingFrom_ = 0;
    Refresh();
}

LayerChoice ChartLayerView::Choice() const { return ChoiceOf(kind_->currentIndex(), year_->value(), month_->value()); }

void ChartLayerView::SetChoice(const LayerChoice& choice)
{
    const QSignalBlocker blockYear(year_), blockMonth(month_), blockKind(kind_);
    int index = 0;
    switch (choice.kind) {
    case LayerKind::Birth: break;
    case LayerKind::Decade: index = kDecadeFirstIndex + choice.period - 1; break;
    case LayerKind::Year: index = kYearIndex; break;
    case LayerKind::Month: index = kMonthIndex; break;
    }
    if (choice.year != 0) year_->setValue(choice.year);
    if (choice.month != 0) month_->setValue(choice.month);
    kind_->setCurrentIndex(index);
    Refresh();
}

std::optional<TimeLayer> ChartLayerView::CurrentLayer() const
{
    if (!man_ || man_->validMark == 0) return std::nullopt;
    return LayerOf(*man_, Choice());
}

void ChartLayerView::ShowFlying(int palace)
{
    flyingFrom_ = palace >= 1 && palace <= kPalaces ? palace : 0;
    Refresh();
}

bool ChartLayerView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        auto* button = qobject_cast<PalaceButton*>(watched);
        if (button && (mouse->modifiers() & Qt::ControlModifier) && man_ && man_->validMark != 0) {
            const int palace = PalaceOnBranch(*man_, button->Tag());
            ShowFlying(palace == flyingFrom_ ? 0 : palace);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ChartLayerView::Refresh()
{
    const LayerChoice choice = Choice();
    year_->setEnabled(choice.kind == LayerKind::Year || choice.kind == LayerKind::Month);
    month_->setEnabled(choice.kind == LayerKind::Month);
    const std::optional<TimeLayer> layer = CurrentLayer();
    layerKind_ = layer ? layer->kind : LayerKind::Birth;
    shown_ = layer && layout_ ? ComposeOverlay(*man_, *layout_, *layer, flyingFrom_) : std::array<BoxOverlay, kBranches + 1>{};
    caption_->setText(layer ? Q(LayerCaption(*layer)) : QString());
    QPalette pal = caption_->palette();
    pal.setColor(QPalette::WindowText, LayerColour(layerKind_));
    caption_->setPalette(pal);
    flyingText_->setText(man_ && flyingFrom_ != 0 ? FlyingSummary(*man_, flyingFrom_) : QString());
    overlay_->setGeometry(overlay_->parentWidget()->rect());
    overlay_->update();
    emit LayerChanged();
}

}  // namespace zelvara
