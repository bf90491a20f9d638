#include "hour_window.h"

#include "qstring_utf8.h"

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

// Cells painted by their text and place: 紫薇星 yellow with red text, the
// palace column silver, the hour row lime, the rest white; the text 4 units
// in from the top left, clipped to the cell.
class HourCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QString text = index.data().toString();
        QColor background = Qt::white, foreground = Qt::black;
        if (text == kZiwei) {
            background = Qt::yellow;
            foreground = Qt::red;
        } else if (index.column() == 0) {
            background = QColor(192, 192, 192);
        } else if (index.row() == 0) {
            background = QColor(0, 255, 0);
        }
        painter->save();
        painter->setClipRect(option.rect);
        painter->fillRect(option.rect, background);
        painter->setPen(QColor(128, 128, 128));
        painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
        painter->setPen(foreground);
        // The hour texts of the top row are narrowed until they fit their
        // 59-unit column; the star names fit at the grid's own size.
        QFont font = option.font;
        while (index.row() == 0 && font.pointSizeF() > 5 &&
               QFontMetrics(font).horizontalAdvance(text) > option.rect.width() - 5)
            font.setPointSizeF(font.pointSizeF() - 0.5);
        painter->setFont(font);
        const QRect textRect = option.rect.adjusted(4, 4, 0, 0);
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
        painter->restore();
    }
};

}  // namespace

Ttimefrm::Ttimefrm(const Timi& timi, QWidget* parent) : QDialog(parent), timi_(timi)
{
    setObjectName(QStringLiteral("Ttimefrm"));
    setWindowTitle(QStringLiteral("生まれた時刻を決定するための画面"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(4);

    // The 13 × 13 grid: hours across, palaces down.
    TG = new QTableWidget(13, 13, this);
    TG->setObjectName(QStringLiteral("TG"));
    TG->horizontalHeader()->hide();
    TG->verticalHeader()->hide();
    TG->horizontalHeader()->setMinimumSectionSize(10);
    TG->verticalHeader()->setMinimumSectionSize(10);
    for (int i = 0; i < 13; ++i) {
        TG->setColumnWidth(i, 59);
        TG->setRowHeight(i, 18);
    }
    TG->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TG->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    TG->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TG->setSelectionMode(QAbstractItemView::NoSelection);
    TG->setShowGrid(false);
    TG->setFrameShape(QFrame::NoFrame);
    TG->setItemDelegate(new HourCellDelegate(TG));
    QFont small = TG->font();
    small.setPointSize(8);
    TG->setFont(small);
    TG->setFixedSize(13 * 59, 13 * 18);
    for (int r = 0; r < 13; ++r)
        for (int c = 0; c < 13; ++c) TG->setItem(r, c, new QTableWidgetItem);
    for (int h = 0; h < kHours; ++h) TG->item(0, h + 1)->setText(Q(kHourPeriodTexts[h]));
    for (int p = 1; p <= kPalaces; ++p)
        TG->item(p, 0)->setText(Q(PalaceFullName(p)));
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
        grid->addWidget(radio, h / 6, h % 6);
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

    setFixedWidth(800);
}

void Ttimefrm::Fill(const HourGrid& grid)
{
    for (int p = 1; p <= kPalaces; ++p)
        for (int h = 0; h < kHours; ++h) {
            const int star = grid[p][h];
            TG->item(p, h + 1)->setText(star ? Q(kStarLongNames[star]) : QString());
        }
    timebox_->button(0)->setChecked(true);
}

int Ttimefrm::SelectedHour() const { return std::max(0, timebox_->checkedId()); }

void Ttimefrm::CellClicked(int row, int column)
{
    if (column >= 1 && column <= kHours) timebox_->button(column - 1)->setChecked(true);
    const QString text = TG->item(row, column) ? TG->item(row, column)->text() : QString();
    for (int n = 1; n <= kStars; ++n)
        if (text == Q(kStarLongNames[n])) {
            TG->setToolTip(Q(timi_.hosiText[n]));
            return;
        }
}

}  // namespace zelvara
