#include "chart_layer_view.h"

#include "qstring_utf8.h"
#include "stars.h"

#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDate>
#include <QEvent>
#include <QAbstractItemView>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <QToolButton>

#include <algorithm>

namespace zelvara {
namespace {

// The picker's kinds, in the order of LayerKind.
constexpr const char* kKindNames[] = {"本命", "大限", "流年", "流月"};

// The picker's place in the centre panel's free right-hand column, and the
// marks' place in a box (the gutter left of the star labels, the right end
// of a star label, the foot of the palace button).
struct LayerViewLayout {
    static constexpr QRect kKind{146, 118, 60, 22};
    static constexpr QRect kBack{209, 118, 32, 22};
    static constexpr QRect kNext{244, 118, 32, 22};
    static constexpr QRect kEntry{146, 142, 130, 22};
    static constexpr QRect kCaption{146, 166, 130, 18};
    static constexpr QRect kStems{146, 184, 130, 18};
    static constexpr QRect kFlying{146, 203, 130, 44};
    static constexpr int kGutterWidth = 12;       // left of a star label
    static constexpr int kFlyingMarkWidth = 14;   // inside a star label's right end
    static constexpr int kPalaceNameHeight = 14;  // at the foot of the palace button
    static constexpr int kMarkPixels = 11;        // font size of every mark
};
using L = LayerViewLayout;

// An entry's text as the closed picker shows it, in the column's width: a
// period without its years (they are in the list and the tooltip).
constexpr int kShortTextRole = Qt::UserRole + 1;
constexpr int kListMargin = 16;  // the list's frame and item padding

// The entry picker: the list reads the whole entries, the closed box the
// short text of the chosen one.
class EntryCombo : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QStylePainter p(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText = currentData(kShortTextRole).toString();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        p.drawControl(QStyle::CE_ComboBoxLabel, opt);
    }
};

// The slot (1..6) where a star stands in its box, 0 when it is not shown.
int SlotOfStar(const Tmandata& man, const ChartLayout& layout, int star) {
    return star >= 1 && star <= kStars ? BoxSlotOfStar(layout, man.starBranch[star], star) : 0;
}

// The western year the 流年 picker starts at: today's, before 立春 the one
// before (立春 taken as 4 February; the reader moves the picker as needed).
int StartingYear() {
    const QDate today = QDate::currentDate();
    return FlowYearOf(today.year(), today.month(), today.day(), 4);
}

QToolButton* StepButton(QWidget* parent, const char* name, const QString& text, const QRect& place, const QString& tip)
{
    auto* b = new QToolButton(parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(text);
    b->setGeometry(place);
    b->setToolTip(tip);
    return b;
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
    case LayerKind::Day: return QColor(0, 110, 0);
    case LayerKind::Hour: return QColor(150, 60, 90);
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

QString FlyingHintLine() { return QStringLiteral("Ctrl+クリックで宮の飛星"); }

QString FlyingHintTip()
{
    return QStringLiteral("Ctrl+クリック（または右クリックの「飛星を表示」）で、この宮の飛星（四化の飛び先）を表示します");
}

std::array<QString, kChartBoxes> BranchButtonTexts(const Tmandata* man, bool stems)
{
    std::array<QString, kChartBoxes> texts;
    const int yearStem = man ? man->stems.year : 0;
    for (int k = 0; k < kChartBoxes; ++k) {
        const int stem = stems ? BranchStem(yearStem, k + 1) : 0;
        texts[k] = (stem != 0 ? Q(kStemNames[stem]) : QString()) + Q(kBranchNames[k + 1]);
    }
    return texts;
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
    for (const char* name : kKindNames) kind_->addItem(QString::fromUtf8(name));
    kind_->setToolTip(QStringLiteral("命盤に重ねる時間の層（大限・流年・流月）"));

    back_ = StepButton(centre, "layerBack", QStringLiteral("前"), L::kBack, QStringLiteral("ひとつ前の大限・流年・流月（PageUp）"));
    next_ = StepButton(centre, "layerNext", QStringLiteral("次"), L::kNext, QStringLiteral("ひとつ後の大限・流年・流月（PageDown）"));

    entry_ = new EntryCombo(centre);
    entry_->setObjectName(QStringLiteral("layerEntry"));
    entry_->setGeometry(L::kEntry);
    entry_->setMaxVisibleItems(15);

    caption_ = new QLabel(centre);
    caption_->setObjectName(QStringLiteral("layerCaption"));
    caption_->setGeometry(L::kCaption);

    stems_ = new QCheckBox(QStringLiteral("宮干を表示"), centre);
    stems_->setObjectName(QStringLiteral("palaceStems"));
    stems_->setGeometry(L::kStems);
    stems_->setToolTip(QStringLiteral("各宮の十二支の前に宮干（五虎遁で寅から起こす）を表示し、出生図印刷にも入れます"));

    flyingText_ = new QLabel(centre);
    flyingText_->setObjectName(QStringLiteral("flyingSummary"));
    flyingText_->setGeometry(L::kFlying);
    flyingText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    flyingText_->setToolTip(QStringLiteral("宮をCtrl+クリック（または右クリックして「飛星を表示」）すると、その宮の飛星（四化の飛び先）を表示します"));

    menu_ = new QMenu(centre);
    menu_->setObjectName(QStringLiteral("palaceMenu"));
    QAction* fly = menu_->addAction(QStringLiteral("飛星を表示"));
    fly->setObjectName(QStringLiteral("showFlying"));
    fly->setCheckable(true);
    connect(fly, &QAction::triggered, this, [this] { ToggleFlying(menu_->property("palace").toInt()); });

    overlay_ = new ChartOverlayWidget(page, boxes_, shown_, layerKind_);
    for (ChartBox& box : boxes_) box.palace->installEventFilter(this);

    // PageUp and PageDown page through the entries wherever the focus is on the chart page.
    auto* pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), page, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    auto* pageDown = new QShortcut(QKeySequence(Qt::Key_PageDown), page, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(pageUp, &QShortcut::activated, this, [this] { Step(-1); });
    connect(pageDown, &QShortcut::activated, this, [this] { Step(+1); });
    connect(back_, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(next_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        FillEntries();
        Refresh();
    });
    connect(entry_, &QComboBox::currentIndexChanged, this, [this](int index) {
        EntryChosen(index);
        Refresh();
    });
    connect(stems_, &QCheckBox::clicked, this, &ChartLayerView::StemsToggled);
    connect(stems_, &QCheckBox::toggled, this, &ChartLayerView::Refresh);
    year_ = StartingYear();
    FillEntries();
    Refresh();
}

QWidget* ChartLayerView::Overlay() const { return overlay_; }

void ChartLayerView::SetChart(const std::optional<Chart>* chart, const ChartLayout* layout)
{
    chart_ = chart;
    layout_ = layout;
    flyingFrom_ = 0;
    FillEntries();
    Refresh();
}

LayerChoice ChartLayerView::Choice() const
{
    LayerChoice choice;
    choice.kind = LayerKind(kind_->currentIndex());
    switch (choice.kind) {
    case LayerKind::Birth: break;
    case LayerKind::Decade: choice.period = period_; break;
    case LayerKind::Year: choice.year = year_; break;
    case LayerKind::Month:
        choice.year = year_;
        choice.month = month_;
        break;
    case LayerKind::Day:  // not offered by the page's picker
    case LayerKind::Hour: break;
    }
    return choice;
}

void ChartLayerView::SetChoice(const LayerChoice& given)
{
    // The page's picker offers the birth chart, 大限, 流年 and 流月; a day or
    // hour layer (the command line's) shows the birth chart here.
    const LayerChoice choice =
        given.kind == LayerKind::Day || given.kind == LayerKind::Hour ? LayerChoice{} : given;
    if (choice.period != 0) period_ = choice.period;
    if (choice.year != 0) year_ = choice.year;
    if (choice.month != 0) month_ = choice.month;
    {
        const QSignalBlocker blockKind(kind_);
        kind_->setCurrentIndex(int(choice.kind));
    }
    FillEntries();
    Refresh();
}

// The entries of the chosen kind for the chart shown, with the one last
// chosen of that kind selected; without it, the period of today's age, this
// year, this year's first month.
void ChartLayerView::FillEntries()
{
    const LayerKind kind = LayerKind(kind_->currentIndex());
    entries_ = Man() ? LayerEntries(*Man(), kind) : std::vector<LayerEntry>{};
    const QSignalBlocker block(entry_);
    entry_->clear();
    int widest = 0;
    for (const LayerEntry& e : entries_) {
        const qsizetype open = e.text.indexOf(QStringLiteral("（"));
        entry_->addItem(e.text);
        entry_->setItemData(entry_->count() - 1, kind == LayerKind::Decade ? e.text.left(open) : e.text, kShortTextRole);
        widest = std::max(widest, entry_->fontMetrics().horizontalAdvance(e.text));
    }
    // The list is as wide as its longest entry, whatever the closed box's width.
    entry_->view()->setMinimumWidth(widest + entry_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + kListMargin);
    if (entries_.empty())
        return;
    int index = EntryIndexOf(entries_, Choice());
    if (index < 0 && kind == LayerKind::Decade) {
        index = 0;
        for (size_t i = 0; i < entries_.size(); ++i)
            if (Man()->age >= Man()->luckAge[entries_[i].choice.period]) index = int(i);
    } else if (index < 0) {
        // A year outside the person's years: the nearest one.
        const int year = std::clamp(year_, entries_.front().choice.year, entries_.back().choice.year);
        LayerChoice nearest = Choice();
        nearest.year = year;
        index = std::max(0, EntryIndexOf(entries_, nearest));
    }
    entry_->setCurrentIndex(index);
    EntryChosen(index);
}

void ChartLayerView::EntryChosen(int index)
{
    if (index < 0 || index >= int(entries_.size())) return;
    const LayerChoice& c = entries_[size_t(index)].choice;
    if (c.period != 0) period_ = c.period;
    if (c.year != 0) year_ = c.year;
    if (c.month != 0) month_ = c.month;
}

void ChartLayerView::Step(int delta)
{
    const int index = entry_->currentIndex() + delta;
    if (!entry_->isEnabled() || index < 0 || index >= entry_->count()) return;
    entry_->setCurrentIndex(index);
}

bool ChartLayerView::StemsShown() const { return stems_->isChecked(); }

void ChartLayerView::SetStemsShown(bool on) { stems_->setChecked(on); }

std::optional<TimeLayer> ChartLayerView::CurrentLayer() const
{
    if (!Man()) return std::nullopt;
    return LayerOf(*Man(), Choice());
}

void ChartLayerView::ShowFlying(int palace)
{
    flyingFrom_ = palace >= 1 && palace <= kPalaces ? palace : 0;
    Refresh();
}

void ChartLayerView::ToggleFlying(int palace)
{
    if (!Man()) return;
    ShowFlying(palace == flyingFrom_ ? 0 : palace);
}

QMenu* ChartLayerView::PalaceMenu(int branch)
{
    const int palace = Man() ? PalaceOnBranch(*Man(), branch) : 0;
    QAction* fly = menu_->actions().value(0);
    fly->setEnabled(palace != 0);
    fly->setChecked(palace != 0 && palace == flyingFrom_);
    menu_->setProperty("palace", palace);
    return menu_;
}

bool ChartLayerView::eventFilter(QObject* watched, QEvent* event)
{
    auto* button = qobject_cast<PalaceButton*>(watched);
    if (button && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if ((mouse->modifiers() & Qt::ControlModifier) && Man()) {
            ToggleFlying(PalaceOnBranch(*Man(), button->Tag()));
            return true;
        }
    }
    if (button && event->type() == QEvent::ContextMenu) {
        PalaceMenu(button->Tag())->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void ChartLayerView::Refresh()
{
    const LayerChoice choice = Choice();
    const bool charted = Man() != nullptr;
    entry_->setEnabled(charted && choice.kind != LayerKind::Birth && !entries_.empty());
    back_->setEnabled(entry_->isEnabled() && entry_->currentIndex() > 0);
    next_->setEnabled(entry_->isEnabled() && entry_->currentIndex() < entry_->count() - 1);
    entry_->setToolTip(entry_->currentText());
    const std::optional<TimeLayer> layer = CurrentLayer();
    layerKind_ = layer ? layer->kind : LayerKind::Birth;
    shown_ = layer && layout_ ? ComposeOverlay(*Man(), *layout_, *layer, flyingFrom_) : std::array<BoxOverlay, kBranches + 1>{};
    caption_->setText(layer ? Q(LayerCaption(*layer)) : QString());
    QPalette pal = caption_->palette();
    pal.setColor(QPalette::WindowText, LayerColour(layerKind_));
    caption_->setPalette(pal);
    if (charted && flyingFrom_ != 0)
        flyingText_->setText(FlyingSummary(*Man(), flyingFrom_));
    else
        flyingText_->setText(charted && layerKind_ != LayerKind::Birth ? FlyingHintLine() : QString());
    const std::array<QString, kChartBoxes> branches = BranchButtonTexts(Man(), stems_->isChecked());
    for (int k = 0; k < kChartBoxes; ++k)
        if (boxes_[k].branch) boxes_[k].branch->setText(branches[k]);
    overlay_->setGeometry(overlay_->parentWidget()->rect());
    overlay_->update();
    emit LayerChanged();
}

}  // namespace zelvara
