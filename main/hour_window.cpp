#include "main/hour_window.h"

#include "common/qstring_utf8.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace zelvara {
namespace {

const QString kZiwei = QStringLiteral("紫薇星");

// The 13 × 13 grid (hours across, palaces down): cell size and font size;
// a cell's text starts this far in from its top-left corner. An hour text
// of the top row shrinks by the step, down to the smallest size, until it
// ends this far inside its cell.
struct HourGridLayout {
    int cells;
    int columnWidth, rowHeight, points;
    int textInset, fitMargin;
    double smallestPoints, shrinkStep;
};
constexpr HourGridLayout kGrid{13, 59, 18, 8, 4, 5, 5, 0.5};

// The window: its fixed width, margins and spacing of its column, and the
// period choices a row.
constexpr int kWindowWidth = 800;
constexpr int kWindowMargin = 8;
constexpr int kWindowSpacing = 4;
constexpr int kPeriodsPerRow = 6;

// Cell colours.
const QColor kPalaceColumnColour(192, 192, 192);
const QColor kHourRowColour(0, 255, 0);
const QColor kCellLineColour(128, 128, 128);

// Cells painted by their text and place: 紫薇星 yellow with red text, the
// palace column silver, the hour row lime, the rest white; the text 4 units
// in from the top left, clipped to the cell.
class HourCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QString text = index.data().toString();
        QColor background = Qt::white, foreground = Qt::black;
        if (text == kZiwei) {
            background = Qt::yellow;
            foreground = Qt::red;
        } else if (index.column() == 0) {
            background = kPalaceColumnColour;
        } else if (index.row() == 0) {
            background = kHourRowColour;
        }
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, background);
        painter->setPen(kCellLineColour);
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->setPen(foreground);
        // The hour texts of the top row are narrowed until they fit their
        // column; the star names fit at the grid's own size.
        QFont font = option.font;
        while (index.row() == 0 && font.pointSizeF() > kGrid.smallestPoints &&
               QFontMetrics(font).horizontalAdvance(text) > option.rect.width() - kGrid.fitMargin)
            font.setPointSizeF(font.pointSizeF() - kGrid.shrinkStep);
        painter->setFont(font);
        const QRect textRect = option.rect.adjusted(kGrid.textInset, kGrid.textInset, 0, 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter->restore();
    }
};

}  // namespace

Ttimefrm::Ttimefrm(const Timi& timi, QWidget* parent) : QDialog(parent), timi_(timi) {
    setObjectName(QStringLiteral("Ttimefrm"));
    setWindowTitle(QStringLiteral("生まれた時刻を決定するための画面"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kWindowMargin, kWindowMargin, kWindowMargin, kWindowMargin);
    layout->setSpacing(kWindowSpacing);

    // The 13 × 13 grid: hours across, palaces down.
    TG = new QTableWidget(kGrid.cells, kGrid.cells, this);
    TG->setObjectName(QStringLiteral("TG"));
    TG->horizontalHeader()->hide();
    TG->verticalHeader()->hide();
    TG->horizontalHeader()->setMinimumSectionSize(10);
    TG->verticalHeader()->setMinimumSectionSize(10);
    for (int i = 0; i < kGrid.cells; ++i) {
        TG->setColumnWidth(i, kGrid.columnWidth);
        TG->setRowHeight(i, kGrid.rowHeight);
    }
    TG->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TG->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TG->setSelectionMode(QAbstractItemView::NoSelection);
    TG->setShowGrid(false);
    TG->setFrameShape(QFrame::NoFrame);
    TG->setItemDelegate(new HourCellDelegate(TG));
    QFont small = TG->font();
    small.setPointSize(kGrid.points);
    TG->setFont(small);
    TG->setFixedSize(kGrid.cells * kGrid.columnWidth, kGrid.cells * kGrid.rowHeight);
    for (int r = 0; r < kGrid.cells; ++r)
        for (int c = 0; c < kGrid.cells; ++c) TG->setItem(r, c, new QTableWidgetItem);
    for (int h = 0; h < kHours; ++h) TG->item(0, h + 1)->setText(Q(kHourPeriodTexts[h]));
    for (int p = 1; p <= kPalaces; ++p) TG->item(p, 0)->setText(Q(PalaceFullName(p)));
    connect(TG, &QTableWidget::cellClicked, this, &Ttimefrm::CellClicked);
    layout->addWidget(TG, 0, Qt::AlignHCenter);

    // The choice of period, six to a row.
    auto* group = new QGroupBox(QStringLiteral("下の時間の中から推測される時間を指定してください。"), this);
    group->setObjectName(QStringLiteral("timebox"));
    auto* grid = new QGridLayout(group);
    timebox_ = new QButtonGroup(this);
    for (int h = 0; h < kHours; ++h) {
        auto* radio = new QRadioButton(Q(kHourPeriodTexts[h]), group);
        timebox_->addButton(radio, h);
        grid->addWidget(radio, h / kPeriodsPerRow, h % kPeriodsPerRow);
    }
    timebox_->button(0)->setChecked(true);
    layout->addWidget(group);

    const char* notes[] = {
        "①紫薇星がどの宮に入っているかで時間を推測するのが一番簡単な方法です。",
        "○つまり、紫薇星の入っている宮が、その人の行き方において一番重要なもの・価値観となるからです。",
        "○命宮⇒貴人志向　○父母宮⇒父母志向　○兄弟宮⇒友人志向　○夫妻宮⇒配偶者志向",
        "○子女宮⇒子供志向　○財帛宮⇒財思考　○疾厄宮⇒健康志向　○遷移宮⇒行動志向",
        "○奴僕宮⇒部下志向　○官禄宮⇒仕事志向　○田宅宮⇒不動産志向　○福徳宮⇒趣味志向",
        "②次に、命宮にどんな星が入っているかで個性・性格の特徴を実際と比較します。",
    };
    for (const char* note : notes) layout->addWidget(new QLabel(QString::fromUtf8(note), this));
    auto* last = new QLabel(QStringLiteral("⇒　以上の２点を総合的に検討して、生まれた時刻を推定してください。"), this);
    last->setAlignment(Qt::AlignCenter);
    last->setAutoFillBackground(true);
    QPalette white = last->palette();
    white.setColor(QPalette::Window, Qt::white);
    last->setPalette(white);
    layout->addWidget(last);

    auto* ok = new QPushButton(QStringLiteral("決定して閉じる"), this);
    ok->setObjectName(QStringLiteral("BitBtn1"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    layout->addWidget(ok, 0, Qt::AlignHCenter);

    setFixedWidth(kWindowWidth);
}

void Ttimefrm::Fill(const HourGrid& grid) {
    for (int p = 1; p <= kPalaces; ++p)
        for (int h = 0; h < kHours; ++h) {
            const int star = grid[p][h];
            TG->item(p, h + 1)->setText(star ? Q(kStarLongNames[star]) : QString());
        }
    timebox_->button(0)->setChecked(true);
}

int Ttimefrm::SelectedHour() const { return std::max(0, timebox_->checkedId()); }

void Ttimefrm::CellClicked(int row, int column) {
    if (column >= 1 && column <= kHours) timebox_->button(column - 1)->setChecked(true);
    const QString text = TG->item(row, column) ? TG->item(row, column)->text() : QString();
    for (int n = 1; n <= kStars; ++n)
        if (text == Q(kStarLongNames[n])) {
            TG->setToolTip(Q(timi_.hosiText[n]));
            return;
        }
}

}  // namespace zelvara
