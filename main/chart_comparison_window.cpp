#include "main/chart_comparison_window.h"

#include "common/named_object.h"
#include "common/qstring_utf8.h"
#include "engine/chart_layout.h"
#include "engine/conversion.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace zelvara {

// One chart's grid as the comparison page draws it.
class MarkedGridView : public QWidget {
public:
    explicit MarkedGridView(QWidget* parent) : QWidget(parent) { setMinimumSize(370, 482); }
    void Show(const ChartSheet& sheet, const SheetMarks& marks) {
        sheet_ = sheet;
        marks_ = marks;
        shown_ = true;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
        if (shown_)
            DrawMarkedGrid(painter, QRectF(rect()), sheet_, marks_);
        else
            painter.fillRect(rect(), Qt::white);
    }

private:
    ChartSheet sheet_;
    SheetMarks marks_;
    bool shown_ = false;
};

namespace {

constexpr int kAlternativeRole = Qt::UserRole;

QString PeriodText(int hourIndex) { return Q(BranchName(hourIndex % kHours + 1)) + QStringLiteral("の刻"); }

// What a reading takes for the switch or time an alternative changes: the
// chart's own (ours) or the alternative's.
QString ReadingText(const ChartAlternative& a, const ChartRequest& request, bool ours) {
    const ChartRequest& r = ours ? request : a.request;
    if (a.changes == "hour") return PeriodText(r.hourIndex);
    if (a.changes == "term")
        return (a.value == "after") == ours ? QStringLiteral("節入り前") : QStringLiteral("節入り後");
    return Q(ConventionValueText(a.changes, ConventionWord(r.conventions, a.changes)));
}

}  // namespace

ChartComparisonWindow::ChartComparisonWindow(EngineContext& ctx, ComparisonSubject subject, Print print,
                                             QWidget* parent)
    : QDialog(parent), ctx_(ctx), subject_(std::move(subject)), print_(std::move(print)) {
    setObjectName(QStringLiteral("chartComparisonWindow"));
    setWindowTitle(QStringLiteral("境界注意 — 出生図の比較"));
    reason_ = Named(new QLabel(this), "reasonLabel");
    QFont bold = reason_->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    reason_->setFont(bold);
    reason_->setWordWrap(true);
    reason_->setStyleSheet(QStringLiteral("background: #fff4c0; color: black; padding: 4px;"));

    list_ = Named(new QListWidget(this), "alternativeList");
    list_->setWordWrap(true);
    list_->setMinimumWidth(290);
    neighbours_ = Named(new QCheckBox(QStringLiteral("前後の時辰も比べる"), this), "neighbourCheck");
    neighbours_->setEnabled(!subject_.minuteOfDay);
    neighbours_->setToolTip(subject_.minuteOfDay
                                ? QStringLiteral("出生時刻が分かっている出生図では使いません")
                                : QStringLiteral("時辰だけが分かっている出生の、前後の時辰の出生図も比べます"));
    differences_ = Named(new QListWidget(this), "differenceList");
    chartCaption_ = Named(new QLabel(this), "chartCaption");
    alternativeCaption_ = Named(new QLabel(this), "alternativeCaption");
    chartGrid_ = new MarkedGridView(this);
    chartGrid_->setObjectName(QStringLiteral("chartGrid"));
    alternativeGrid_ = new MarkedGridView(this);
    alternativeGrid_->setObjectName(QStringLiteral("alternativeGrid"));
    auto* printBtn = Named(new QPushButton(QStringLiteral("印刷…"), this), "printBtn");
    printBtn->setToolTip(QStringLiteral("この比較を A4 横 1 ページに印刷します"));
    auto* closeBtn = Named(new QPushButton(QStringLiteral("閉じる"), this), "closeBtn");

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("別の読み"), this));
    left->addWidget(list_, 3);
    left->addWidget(neighbours_);
    left->addWidget(new QLabel(QStringLiteral("違い"), this));
    left->addWidget(differences_, 2);
    auto* grids = new QHBoxLayout;
    for (auto [caption, grid] :
         {std::pair{chartCaption_, chartGrid_}, std::pair{alternativeCaption_, alternativeGrid_}}) {
        auto* column = new QVBoxLayout;
        column->addWidget(caption);
        column->addWidget(grid, 1);
        grids->addLayout(column, 1);
    }
    auto* middle = new QHBoxLayout;
    middle->addLayout(left);
    middle->addLayout(grids, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(printBtn);
    buttons->addWidget(closeBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(reason_);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);

    connect(list_, &QListWidget::currentItemChanged, this, [this](QListWidgetItem* item) {
        if (item && item->data(kAlternativeRole).isValid()) Choose(item->data(kAlternativeRole).toInt());
    });
    connect(neighbours_, &QCheckBox::toggled, this, [this] {
        FindAll();
        FillList();
    });
    connect(printBtn, &QPushButton::clicked, this, [this] {
        if (print_ && !shown_.reason.isEmpty()) print_(shown_);
    });
    connect(closeBtn, &QPushButton::clicked, this, &QDialog::close);
    FindAll();
    FillList();
}

void ChartComparisonWindow::FindAll() {
    alternatives_ = FindAlternatives(ctx_, subject_.request, *subject_.chart, subject_.minuteOfDay,
                                     {.neighbourPeriods = neighbours_->isChecked()});
    std::stable_partition(alternatives_.begin(), alternatives_.end(),
                          [](const ChartAlternative& a) { return a.boundary; });
}

void ChartComparisonWindow::FillList() {
    list_->blockSignals(true);
    list_->clear();
    auto heading = [this](const QString& text) {
        auto* item = new QListWidgetItem(text, list_);
        item->setFlags(Qt::NoItemFlags);
        QFont font = item->font();
        font.setBold(true);
        item->setFont(font);
    };
    bool others = false;
    if (HasBoundaryAlternative(alternatives_)) heading(QStringLiteral("境界に近い出生"));
    for (int i = 0; i < int(alternatives_.size()); ++i) {
        const ChartAlternative& a = alternatives_[i];
        if (!a.boundary && !others) {
            heading(QStringLiteral("他の規則では"));
            others = true;
        }
        auto* item = new QListWidgetItem(QString::fromStdString(a.reason), list_);
        item->setData(kAlternativeRole, i);
        item->setToolTip(QStringLiteral("%1 か所が変わります").arg(a.differences.size()));
    }
    list_->blockSignals(false);
    // The alternative shown stays chosen when the list changes.
    int chosen = 0;
    for (int i = 0; i < int(alternatives_.size()); ++i)
        if (alternatives_[i].changes == shownChanges_ && alternatives_[i].value == shownValue_) chosen = i;
    shown_ = {};
    if (alternatives_.empty()) {
        reason_->setText(QStringLiteral("この出生図が変わる別の読みはありません。"));
        differences_->clear();
        return;
    }
    Choose(chosen);
}

void ChartComparisonWindow::Choose(int i) {
    if (i < 0 || i >= int(alternatives_.size())) return;
    const ChartAlternative& a = alternatives_[i];
    const std::optional<Chart> other = CastAlternative(ctx_, subject_.request, a);
    if (!other) return;
    const Tmandata& man = subject_.chart->Man();
    ChartComparison c;
    c.chart = subject_.sheet;
    c.alternative = ChartSheetOf(other->Man(), LayOutChart(other->Man()), subject_.sheet.person.name,
                                 Q(kHourPeriodTexts[other->Man().hourIndex]));
    c.alternative.person = subject_.sheet.person;
    c.person = subject_.sheet.person;
    c.birthLines = SheetBirthLines(subject_.sheet);
    c.reason = (a.boundary ? QStringLiteral("境界注意：") : QStringLiteral("他の規則では：")) +
               QString::fromStdString(a.reason);
    c.chartCaption = QStringLiteral("この出生図（%1）").arg(ReadingText(a, subject_.request, true));
    c.alternativeCaption = QStringLiteral("別の読み（%1）").arg(ReadingText(a, subject_.request, false));
    for (const std::string& d : DifferenceTexts(man, other->Man())) c.differences << QString::fromStdString(d);
    shown_ = c;
    shownChanges_ = a.changes;
    shownValue_ = a.value;

    reason_->setText(c.reason);
    chartCaption_->setText(c.chartCaption);
    alternativeCaption_->setText(c.alternativeCaption);
    const SheetMarks marks = DifferingParts(c.chart, c.alternative);
    chartGrid_->Show(c.chart, marks);
    alternativeGrid_->Show(c.alternative, marks);
    differences_->clear();
    differences_->addItems(c.differences);
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->data(kAlternativeRole).toInt() == i &&
            list_->item(row)->data(kAlternativeRole).isValid()) {
            list_->blockSignals(true);
            list_->setCurrentRow(row);
            list_->blockSignals(false);
        }
}

}  // namespace zelvara
