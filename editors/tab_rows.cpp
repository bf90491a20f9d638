#include "editors/tab_rows.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QStackedWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace zelvara {

TabRows::TabRows(int tabsPerRow, QWidget* parent) : QWidget(parent), tabsPerRow_(qMax(1, tabsPerRow)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    tabs_ = new QGridLayout;
    tabs_->setSpacing(0);
    layout->addLayout(tabs_);
    pages_ = new QStackedWidget(this);
    pages_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(pages_, 1);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    connect(group_, &QButtonGroup::idClicked, this, &TabRows::SetCurrentIndex);
}

int TabRows::AddPage(QWidget* page, const QString& caption) {
    const int index = pages_->addWidget(page);
    auto* tab = new QToolButton(this);
    tab->setText(caption);
    tab->setCheckable(true);
    tab->setAutoRaise(false);
    tab->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    tab->setFocusPolicy(Qt::TabFocus);
    connect(tab, &QToolButton::toggled, tab, [tab](bool on) {
        QFont f = tab->font();
        f.setBold(on);  // the chosen tab stands out
        tab->setFont(f);
    });
    group_->addButton(tab, index);
    tabs_->addWidget(tab, index / tabsPerRow_, index % tabsPerRow_);
    if (index == 0) tab->setChecked(true);
    return index;
}

int TabRows::Count() const { return pages_->count(); }
int TabRows::CurrentIndex() const { return pages_->currentIndex(); }
QWidget* TabRows::Page(int index) const { return pages_->widget(index); }

QString TabRows::TabText(int index) const {
    const auto* tab = group_->button(index);
    return tab ? tab->text() : QString();
}

int TabRows::IndexOf(const QString& caption) const {
    for (int i = 0; i < Count(); ++i)
        if (TabText(i) == caption) return i;
    return -1;
}

void TabRows::SetCurrentIndex(int index) {
    if (index < 0 || index >= Count()) return;
    if (auto* tab = group_->button(index)) tab->setChecked(true);
    if (index == pages_->currentIndex()) return;
    pages_->setCurrentIndex(index);
    emit currentChanged(index);
}

}  // namespace zelvara
