#include "main/chart_layer_view.h"

#include "common/qstring_utf8.h"
#include "engine/stars.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDate>
#include <QDateTimeEdit>
#include <QEvent>
#include <QFrame>
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
constexpr const char* kKindNames[] = {"本命", "大限", "流年", "流月", "流日", "流時"};

// The picker's place in the centre panel's free right-hand column: the kind
// with 前/次, the entry (a list, or a date with a period), the legend (one
// line, or rows of two names for a stack), the stems box and the flights.
struct LayerViewLayout {
    static constexpr QRect kKind{146, 118, 60, 22};
    static constexpr QRect kBack{209, 118, 32, 22};
    static constexpr QRect kNext{244, 118, 32, 22};
    static constexpr QRect kEntry{146, 142, 130, 22};
    static constexpr QRect kCaption{146, 166, 130, 18};
    static constexpr int kLegendTop = 166;
    static constexpr int kLegendRow = 18;
    static constexpr int kLegendWidth = 65;
    static constexpr int kLegendGap = 0;
    static constexpr int kStemsHeight = 18;
    static constexpr int kColumnBottom = 247;
    static constexpr int kMarkPixels = 11;  // font size of every mark
};
using L = LayerViewLayout;

// An entry's text as the closed picker shows it, in the column's width: a
// period without its years (they are in the list and the tooltip).
constexpr int kShortTextRole = Qt::UserRole + 1;
constexpr int kListMargin = 16;  // the list's frame and item padding

// The calendar the day and hour layers cover.
const QDate kFirstLayerDay(1921, 1, 6);
const QDate kLastLayerDay(2100, 12, 31);

// The entry picker: the list reads the whole entries, the closed box the
// short text of the chosen one.
class EntryCombo : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter p(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText = currentData(kShortTextRole).toString();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        p.drawControl(QStyle::CE_ComboBoxLabel, opt);
    }
};

bool IsFine(LayerKind kind) { return kind == LayerKind::Month || kind == LayerKind::Day || kind == LayerKind::Hour; }

QDateTime ToQDateTime(const CivilDate& d, int clockHour) {
    return QDateTime(QDate(d.year, d.month, d.day), QTime(clockHour, 0));
}
CivilDate ToCivil(const QDate& d) { return {d.year(), d.month(), d.day()}; }

// The western year the 流年 picker starts at: today's, before 立春 the one
// before (立春 taken as 4 February; the reader moves the picker as needed).
int StartingYear() {
    const QDate today = QDate::currentDate();
    return FlowYearOf(today.year(), today.month(), today.day(), 4);
}

// The clock hour that stands for a two-hour period in the 流時 picker: 0 for
// 子 (the day's own early 子), else the period's first hour.
int ClockHourOfBranch(int branch) { return branch == 1 ? 0 : 2 * branch - 3; }

QToolButton* StepButton(QWidget* parent, const char* name, const QString& text, const QRect& place,
                        const QString& tip) {
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

void SetTextColour(QWidget* w, const QColor& colour) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, colour);
    pal.setColor(QPalette::ButtonText, colour);
    w->setPalette(pal);
}

}  // namespace

std::array<QString, kChartBoxes> BranchButtonTexts(const Tmandata* man, bool stems) {
    std::array<QString, kChartBoxes> texts;
    const int yearStem = man ? man->stems.year : 0;
    for (int k = 0; k < kChartBoxes; ++k) {
        const int stem = stems ? BranchStem(yearStem, k + 1) : 0;
        texts[k] = (stem != 0 ? Q(kStemNames[stem]) : QString()) + Q(kBranchNames[k + 1]);
    }
    return texts;
}

BoxPlaces BoxPlacesOf(const ChartBox& box) {
    BoxPlaces places;
    places.frame = box.frame->geometry();
    const QPoint origin = places.frame.topLeft();
    places.palace = box.palace->geometry().translated(origin);
    for (int r = 0; r < kBoxSlots; ++r) {
        const QLabel* label = box.stars[size_t(r)];
        places.stars[size_t(r)] = label->geometry().translated(origin);
        places.starTextWidth[size_t(r)] =
            label->text().isEmpty() ? 0 : label->fontMetrics().horizontalAdvance(label->text());
    }
    return places;
}

// Draws the marks over the boxes; the boxes below stay clickable.
class ChartOverlayWidget : public QWidget {
public:
    ChartOverlayWidget(QWidget* page, std::array<ChartBox, kChartBoxes>& boxes, const ChartOverlay& shown)
        : QWidget(page), boxes_(boxes), shown_(shown) {
        setObjectName(QStringLiteral("chartLayerOverlay"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setGeometry(page->rect());
        raise();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        QFont font = p.font();
        font.setPixelSize(L::kMarkPixels);
        font.setBold(true);
        p.setFont(font);
        for (int b = 1; b <= kBranches; ++b) {
            for (const OverlayItem& item : LayOutBoxOverlay(shown_[b], BoxPlacesOf(boxes_[b - 1]))) {
                switch (item.style) {
                    case OverlayItem::Style::SourceFrame:
                        p.setPen(QPen(item.colour, 3));
                        p.setBrush(Qt::NoBrush);
                        p.drawRect(item.rect);
                        break;
                    case OverlayItem::Style::PalaceName:
                        p.fillRect(item.rect, Qt::white);
                        p.setPen(item.colour);
                        p.drawText(item.rect, Qt::AlignCenter, item.text);
                        break;
                    case OverlayItem::Style::Mark: DrawMark(p, item.rect, item.text, item.colour); break;
                }
            }
        }
    }

private:
    std::array<ChartBox, kChartBoxes>& boxes_;
    const ChartOverlay& shown_;
};

ChartLayerView::ChartLayerView(QWidget* page, QWidget* centre, std::array<ChartBox, kChartBoxes>& boxes)
    : QObject(page), boxes_(boxes) {
    kind_ = new QComboBox(centre);
    kind_->setObjectName(QStringLiteral("layerKind"));
    kind_->setGeometry(L::kKind);
    for (const char* name : kKindNames) kind_->addItem(QString::fromUtf8(name));
    kind_->setToolTip(
        QStringLiteral("命盤に重ねる時間の層（大限・流年・流月・流日・流時）。選ぶと重なり、「本命」で全部消えます"));

    back_ = StepButton(centre, "layerBack", QStringLiteral("前"), L::kBack, QStringLiteral("ひとつ前の時期（PageUp）"));
    next_ =
        StepButton(centre, "layerNext", QStringLiteral("次"), L::kNext, QStringLiteral("ひとつ後の時期（PageDown）"));

    entry_ = new EntryCombo(centre);
    entry_->setObjectName(QStringLiteral("layerEntry"));
    entry_->setGeometry(L::kEntry);
    entry_->setMaxVisibleItems(15);

    // A day is picked by its date, an hour by its date and clock hour (the
    // layer takes the two-hour period the hour falls in).
    date_ = new QDateTimeEdit(centre);
    date_->setObjectName(QStringLiteral("layerDate"));
    date_->setGeometry(L::kEntry);
    date_->setDateTimeRange(QDateTime(kFirstLayerDay, QTime(0, 0)), QDateTime(kLastLayerDay, QTime(23, 59)));
    date_->setCalendarPopup(true);
    date_->hide();

    caption_ = new QLabel(centre);
    caption_->setObjectName(QStringLiteral("layerCaption"));
    caption_->setGeometry(L::kCaption);

    for (int k = int(LayerKind::Decade); k <= int(LayerKind::Hour); ++k) {
        auto* name = new QLabel(centre);
        name->setObjectName(QStringLiteral("layerLegend%1").arg(k));
        name->setCursor(Qt::PointingHandCursor);
        SetTextColour(name, LayerColour(LayerKind(k)));
        name->installEventFilter(this);
        name->hide();
        legend_[size_t(k)] = name;
    }

    stems_ = new QCheckBox(QStringLiteral("宮干を表示"), centre);
    stems_->setObjectName(QStringLiteral("palaceStems"));
    stems_->setToolTip(
        QStringLiteral("各宮の十二支の前に宮干（五虎遁で寅から起こす）を表示し、出生図印刷にも入れます"));

    flyingText_ = new QLabel(centre);
    flyingText_->setObjectName(QStringLiteral("flyingSummary"));
    flyingText_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    flyingText_->setToolTip(QStringLiteral(
        "宮をCtrl+クリック（または右クリックして「飛星を表示」）すると、その宮の飛星（四化の飛び先）を表示します"));

    menu_ = new QMenu(centre);
    menu_->setObjectName(QStringLiteral("palaceMenu"));
    QAction* fly = menu_->addAction(QStringLiteral("飛星を表示"));
    fly->setObjectName(QStringLiteral("showFlying"));
    fly->setCheckable(true);
    connect(fly, &QAction::triggered, this, [this] { ToggleFlying(menu_->property("palace").toInt()); });

    overlay_ = new ChartOverlayWidget(page, boxes_, shown_);
    for (ChartBox& box : boxes_) box.palace->installEventFilter(this);

    // PageUp and PageDown page through the entries wherever the focus is on the chart page.
    auto* pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), page, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    auto* pageDown =
        new QShortcut(QKeySequence(Qt::Key_PageDown), page, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(pageUp, &QShortcut::activated, this, [this] { Step(-1); });
    connect(pageDown, &QShortcut::activated, this, [this] { Step(+1); });
    connect(back_, &QToolButton::clicked, this, [this] { Step(-1); });
    connect(next_, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(kind_, &QComboBox::currentIndexChanged, this, [this](int index) { KindChosen(LayerKind(index)); });
    connect(entry_, &QComboBox::currentIndexChanged, this, [this](int index) {
        EntryChosen(index);
        Refresh();
    });
    connect(date_, &QDateTimeEdit::dateTimeChanged, this, [this](const QDateTime& moment) {
        day_ = ToCivil(moment.date());
        clockHour_ = moment.time().hour();
        Refresh();
    });
    connect(stems_, &QCheckBox::clicked, this, &ChartLayerView::StemsToggled);
    connect(stems_, &QCheckBox::toggled, this, &ChartLayerView::Refresh);
    year_ = StartingYear();
    day_ = ToCivil(QDate::currentDate());
    FillEntries();
    Refresh();
}

QWidget* ChartLayerView::Overlay() const { return overlay_; }

void ChartLayerView::SetChart(const std::optional<Chart>* chart, const ChartLayout* layout) {
    chart_ = chart;
    layout_ = layout;
    flyingFrom_ = 0;
    FillEntries();
    Refresh();
}

void ChartLayerView::SetCalendar(CalendarDayReader reader, std::function<std::vector<LeapMonth>()> leapMonths) {
    calendar_ = std::move(reader);
    leapReader_ = std::move(leapMonths);
    readDay_.reset();
    leapMonths_.reset();
    FillEntries();
    Refresh();
}

LayerChoice ChartLayerView::ChoiceOf(LayerKind kind) const {
    LayerChoice choice;
    choice.kind = kind;
    switch (kind) {
        case LayerKind::Birth: break;
        case LayerKind::Decade: choice.period = period_; break;
        case LayerKind::Year: choice.year = year_; break;
        case LayerKind::Month:
            choice.year = year_;
            choice.month = month_;
            choice.leapMonth = leapMonth_;
            break;
        case LayerKind::Hour: choice.clockHour = clockHour_; [[fallthrough]];
        case LayerKind::Day: choice.date = day_; break;
    }
    return choice;
}

LayerChoice ChartLayerView::Choice() const { return ChoiceOf(LayerKind(kind_->currentIndex())); }

std::vector<LayerChoice> ChartLayerView::Choices() const {
    std::vector<LayerChoice> choices;
    for (LayerKind kind : stack_) choices.push_back(ChoiceOf(kind));
    return choices;
}

void ChartLayerView::Remember(const LayerChoice& choice) {
    if (choice.period != 0) period_ = choice.period;
    if (choice.year != 0) year_ = choice.year;
    if (choice.month != 0) {
        month_ = choice.month;
        leapMonth_ = choice.leapMonth;
    }
    if (choice.kind == LayerKind::Day || choice.kind == LayerKind::Hour) day_ = choice.date;
    if (choice.kind == LayerKind::Hour) clockHour_ = choice.clockHour;
}

void ChartLayerView::SetChoice(const LayerChoice& choice) { SetChoices({choice}); }

void ChartLayerView::SetChoices(const std::vector<LayerChoice>& choices) {
    stack_.clear();
    LayerKind last = LayerKind::Birth;
    for (const LayerChoice& choice : choices) {
        Remember(choice);
        if (choice.kind == LayerKind::Birth) continue;
        if (IsFine(choice.kind)) std::erase_if(stack_, IsFine);
        if (std::find(stack_.begin(), stack_.end(), choice.kind) == stack_.end()) stack_.push_back(choice.kind);
        last = choice.kind;
    }
    std::sort(stack_.begin(), stack_.end());
    ShowKind(last);
}

// The reader picked a kind: 本命 takes every layer away, another kind joins
// those shown (a 流月, 流日 or 流時 takes the place of the other two).
void ChartLayerView::KindChosen(LayerKind kind) {
    if (kind == LayerKind::Birth)
        stack_.clear();
    else if (std::find(stack_.begin(), stack_.end(), kind) == stack_.end()) {
        if (IsFine(kind)) std::erase_if(stack_, IsFine);
        stack_.push_back(kind);
        std::sort(stack_.begin(), stack_.end());
    }
    FillEntries();
    Refresh();
}

// A name clicked in the legend: that layer goes; the picker moves to the
// last one left (本命 when none is).
void ChartLayerView::RemoveFromStack(LayerKind kind) {
    std::erase(stack_, kind);
    if (LayerKind(kind_->currentIndex()) == kind || stack_.empty())
        ShowKind(stack_.empty() ? LayerKind::Birth : stack_.back());
    else
        Refresh();
}

// Puts the picker on a kind without changing the stack.
void ChartLayerView::ShowKind(LayerKind kind) {
    {
        const QSignalBlocker blockKind(kind_);
        kind_->setCurrentIndex(int(kind));
    }
    FillEntries();
    Refresh();
}

// The entries of the chosen kind for the chart shown, with the one last
// chosen of that kind selected; without it, the period of today's age, this
// year, this year's first month. A day or an hour is picked by its date.
void ChartLayerView::FillEntries() {
    const LayerKind kind = LayerKind(kind_->currentIndex());
    const bool dated = kind == LayerKind::Day || kind == LayerKind::Hour;
    entry_->setVisible(!dated);
    date_->setVisible(dated);
    {
        const QSignalBlocker blockDate(date_);
        date_->setDisplayFormat(kind == LayerKind::Hour ? QStringLiteral("yyyy/M/d H時") : QStringLiteral("yyyy/M/d"));
        date_->setToolTip(kind == LayerKind::Hour ? QStringLiteral("流時の日付と時刻（その時刻を含む二時間）")
                                                  : QStringLiteral("流日の日付"));
        date_->setDateTime(ToQDateTime(day_, clockHour_));
        day_ = ToCivil(date_->date());
    }

    if (kind == LayerKind::Month && !leapMonths_ && leapReader_) leapMonths_ = leapReader_();
    entries_ = Charted() ? LayerEntries(*Man(), kind, leapMonths_.value_or(std::vector<LeapMonth>{}))
                         : std::vector<LayerEntry>{};
    const QSignalBlocker block(entry_);
    entry_->clear();
    QStyleOptionComboBox opt;
    opt.initFrom(entry_);
    const int field =
        entry_->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, entry_).width();
    int widest = 0;
    for (const LayerEntry& e : entries_) {
        // The closed box: a period without its years, a month that does not
        // fit (閏10月) without 「旧暦」.
        QString shortText = kind == LayerKind::Decade ? e.text.left(e.text.indexOf(QStringLiteral("（"))) : e.text;
        if (entry_->fontMetrics().horizontalAdvance(shortText) > field) shortText.remove(QStringLiteral("旧暦 "));
        entry_->addItem(e.text);
        entry_->setItemData(entry_->count() - 1, shortText, kShortTextRole);
        widest = std::max(widest, entry_->fontMetrics().horizontalAdvance(e.text));
    }
    // The list is as wide as its longest entry, whatever the closed box's width.
    entry_->view()->setMinimumWidth(widest + entry_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + kListMargin);
    if (entries_.empty()) return;
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
        nearest.leapMonth = false;
        index = std::max(0, EntryIndexOf(entries_, nearest));
    }
    entry_->setCurrentIndex(index);
    EntryChosen(index);
}

void ChartLayerView::EntryChosen(int index) {
    if (index >= 0 && index < int(entries_.size())) Remember(entries_[size_t(index)].choice);
}

void ChartLayerView::Step(int delta) {
    switch (LayerKind(kind_->currentIndex())) {
        case LayerKind::Birth: return;
        case LayerKind::Day:
            if (Charted()) date_->setDate(date_->date().addDays(delta));
            return;
        case LayerKind::Hour: {
            if (!Charted()) return;
            // To the first hour of the period before or after: 亥 goes on to the next day's 子.
            int branch = HourBranchOfClock(clockHour_) + delta;
            QDate date = date_->date();
            if (branch < 1 || branch > kBranches) {
                date = date.addDays(delta);
                branch = branch < 1 ? kBranches : 1;
            }
            if (date >= kFirstLayerDay && date <= kLastLayerDay)
                date_->setDateTime(QDateTime(date, QTime(ClockHourOfBranch(branch), 0)));
            return;
        }
        default: break;
    }
    const int index = entry_->currentIndex() + delta;
    if (!entry_->isEnabled() || index < 0 || index >= entry_->count()) return;
    entry_->setCurrentIndex(index);
}

bool ChartLayerView::StemsShown() const { return stems_->isChecked(); }

void ChartLayerView::SetStemsShown(bool on) { stems_->setChecked(on); }

std::optional<TimeLayer> ChartLayerView::LayerOfChoice(const LayerChoice& choice) const {
    if (!Charted()) return std::nullopt;
    std::optional<CalendarDay> day;
    if ((choice.kind == LayerKind::Day || choice.kind == LayerKind::Hour) && calendar_) {
        // The calendar files are read once per date, not on every redraw.
        const CivilDate& d = choice.date;
        if (!readDay_ || readDay_->first.year != d.year || readDay_->first.month != d.month ||
            readDay_->first.day != d.day)
            readDay_.emplace(d, calendar_(d));
        day = readDay_->second;
    }
    return LayerOf(*Man(), choice, day);
}

std::optional<TimeLayer> ChartLayerView::CurrentLayer() const { return LayerOfChoice(Choice()); }

std::vector<TimeLayer> ChartLayerView::CurrentLayers() const {
    std::vector<TimeLayer> layers;
    for (const LayerChoice& choice : Choices())
        if (std::optional<TimeLayer> layer = LayerOfChoice(choice)) layers.push_back(*layer);
    return layers;
}

void ChartLayerView::ShowFlying(int palace) {
    flyingFrom_ = palace >= 1 && palace <= kPalaces ? palace : 0;
    Refresh();
}

void ChartLayerView::ToggleFlying(int palace) {
    if (!Charted()) return;
    ShowFlying(palace == flyingFrom_ ? 0 : palace);
}

QMenu* ChartLayerView::PalaceMenu(int branch) {
    const int palace = Charted() ? PalaceOnBranch(*Man(), branch) : 0;
    QAction* fly = menu_->actions().value(0);
    fly->setEnabled(palace != 0);
    fly->setChecked(palace != 0 && palace == flyingFrom_);
    menu_->setProperty("palace", palace);
    return menu_;
}

bool ChartLayerView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease)
        for (size_t k = 0; k < legend_.size(); ++k)
            if (legend_[k] && legend_[k] == watched && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                RemoveFromStack(LayerKind(k));
                return true;
            }
    auto* button = qobject_cast<PalaceButton*>(watched);
    if (button && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if ((mouse->modifiers() & Qt::ControlModifier) && Charted()) {
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

// The legend under the picker: one layer by its whole caption (as a single
// line in the layer's colour), several by their short names, two to a row;
// the stems box and the flights follow below.
void ChartLayerView::PlaceLegend(const std::vector<TimeLayer>& layers) {
    const bool stacked = layers.size() > 1;
    caption_->setText(layers.size() == 1 ? LegendCaption(layers.front()) : QString());
    caption_->setToolTip(caption_->text());
    SetTextColour(caption_, layers.size() == 1 ? LayerColour(layers.front().kind) : QColor(Qt::black));
    caption_->setVisible(!stacked);
    for (QLabel* name : legend_)
        if (name) name->hide();
    int rows = 1;
    for (size_t i = 0; stacked && i < layers.size(); ++i) {
        QLabel* name = legend_[size_t(layers[i].kind)];
        // A small square of the marks' colour before the name.
        name->setText(QStringLiteral("<span style=\"font-size:7pt\">■</span>") +
                      LegendShortCaption(layers[i]).toHtmlEscaped());
        name->setToolTip(LegendCaption(layers[i]) + QStringLiteral("（クリックでこの層を消します）"));
        name->setGeometry(L::kCaption.left() + int(i % 2) * (L::kLegendWidth + L::kLegendGap),
                          L::kLegendTop + int(i / 2) * L::kLegendRow, L::kLegendWidth, L::kLegendRow);
        name->show();
        rows = int(i / 2) + 1;
    }
    const int stemsTop = L::kLegendTop + rows * L::kLegendRow;
    stems_->setGeometry(L::kCaption.left(), stemsTop, L::kCaption.width(), L::kStemsHeight);
    const int flyingTop = stemsTop + L::kStemsHeight + 1;
    flyingText_->setGeometry(L::kCaption.left(), flyingTop, L::kCaption.width(), L::kColumnBottom - flyingTop);
}

void ChartLayerView::Refresh() {
    const LayerKind kind = LayerKind(kind_->currentIndex());
    const bool charted = Charted();
    entry_->setEnabled(charted && kind != LayerKind::Birth && !entries_.empty());
    date_->setEnabled(charted);
    const bool dated = kind == LayerKind::Day || kind == LayerKind::Hour;
    const bool stepping = dated ? charted : entry_->isEnabled();
    back_->setEnabled(stepping && (dated || entry_->currentIndex() > 0));
    next_->setEnabled(stepping && (dated || entry_->currentIndex() < entry_->count() - 1));
    entry_->setToolTip(entry_->currentText());

    const std::vector<TimeLayer> layers = CurrentLayers();
    shown_ = charted && layout_ ? ComposeOverlay(*Man(), *layout_, layers, flyingFrom_) : ChartOverlay{};
    PlaceLegend(layers);
    const int lines = flyingText_->height() / flyingText_->fontMetrics().lineSpacing();
    if (charted && flyingFrom_ != 0)
        flyingText_->setText(FlyingSummary(*Man(), flyingFrom_, lines));
    else
        flyingText_->setText(charted && !layers.empty() ? FlyingHintLine() : QString());
    const std::array<QString, kChartBoxes> branches = BranchButtonTexts(Man(), stems_->isChecked());
    for (int k = 0; k < kChartBoxes; ++k)
        if (boxes_[k].branch) boxes_[k].branch->setText(branches[k]);
    overlay_->setGeometry(overlay_->parentWidget()->rect());
    overlay_->update();
    emit LayerChanged();
}

}  // namespace zelvara
