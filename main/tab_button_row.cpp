#include "main/tab_button_row.h"

#include <QResizeEvent>
#include <QToolButton>

#include <algorithm>

namespace zelvara {
namespace {

constexpr int kSpacing = 2;

}  // namespace

TabButtonRow::TabButtonRow(const QStringList& captions, int tabWidth, QWidget* parent)
    : QWidget(parent), tabWidth_(tabWidth) {
    group_.setExclusive(true);
    setStyleSheet(QStringLiteral(
        "QToolButton { border: 1px solid #8a8a8a; border-radius: 2px; padding: 3px 5px; background: #e4e2dc; }"
        "QToolButton:checked { background: #b9c8e6; border-color: #3b5a99; }"));
    connect(&group_, &QButtonGroup::idClicked, this, [this](int) {
        const int index = int(buttons_.indexOf(static_cast<QToolButton*>(group_.checkedButton())));
        if (index != current_) {
            current_ = index;
            emit currentChanged(index);
        }
    });
    for (const QString& c : captions) addTab(c);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int TabButtonRow::addTab(const QString& text) {
    auto* b = new QToolButton(this);
    b->setText(text);
    b->setCheckable(true);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    group_.addButton(b);
    buttons_.append(b);
    b->show();
    Arrange();
    return count() - 1;
}

void TabButtonRow::removeTab(int index) {
    if (index < 0 || index >= count()) return;
    QToolButton* b = buttons_.takeAt(index);
    group_.removeButton(b);
    delete b;
    if (current_ == index) {
        current_ = -1;
        emit currentChanged(-1);
    } else if (current_ > index) {
        --current_;
    }
    Arrange();
}

QString TabButtonRow::tabText(int index) const {
    return index >= 0 && index < count() ? buttons_[index]->text() : QString();
}

void TabButtonRow::setTabText(int index, const QString& text) {
    if (index < 0 || index >= count()) return;
    buttons_[index]->setText(text);
    Arrange();
}

void TabButtonRow::setCurrentIndex(int index) {
    if (index < -1 || index >= count() || index == current_) return;
    if (index < 0) {
        // An exclusive group keeps one button checked; let go for a moment.
        group_.setExclusive(false);
        buttons_[current_]->setChecked(false);
        group_.setExclusive(true);
    } else {
        buttons_[index]->setChecked(true);
    }
    current_ = index;
    emit currentChanged(index);
}

int TabButtonRow::CellWidth() const {
    if (tabWidth_ > 0) return tabWidth_;
    int widest = 0;
    for (const QToolButton* b : buttons_) widest = std::max(widest, b->sizeHint().width());
    return std::max(widest, 1);
}

int TabButtonRow::ColumnsFor(int width) const {
    const int columns = (width + kSpacing) / (CellWidth() + kSpacing);
    return std::clamp(columns, 1, std::max(1, count()));
}

int TabButtonRow::heightForWidth(int width) const {
    if (buttons_.isEmpty()) return 0;
    const int columns = ColumnsFor(width);
    const int rows = (count() + columns - 1) / columns;
    const int rowHeight = buttons_.first()->sizeHint().height();
    return rows * rowHeight + (rows - 1) * kSpacing;
}

QSize TabButtonRow::sizeHint() const {
    const int width = count() * (CellWidth() + kSpacing);
    return {width, heightForWidth(width)};
}

QSize TabButtonRow::minimumSizeHint() const { return {CellWidth(), heightForWidth(CellWidth())}; }

void TabButtonRow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Arrange();
}

// Lays the buttons out row by row, as many to a row as the width takes.
void TabButtonRow::Arrange() {
    if (buttons_.isEmpty()) return;
    const int columns = ColumnsFor(width());
    const int cell = tabWidth_ > 0 ? tabWidth_ : (width() - (columns - 1) * kSpacing) / columns;
    const int rowHeight = buttons_.first()->sizeHint().height();
    for (int i = 0; i < count(); ++i)
        buttons_[i]->setGeometry((i % columns) * (cell + kSpacing), (i / columns) * (rowHeight + kSpacing), cell,
                                 rowHeight);
    updateGeometry();
}

}  // namespace zelvara
