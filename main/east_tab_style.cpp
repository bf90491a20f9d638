#include "main/east_tab_style.h"

#include <QStyleOptionTab>
#include <QTabBar>

#include <algorithm>

namespace zelvara {

QSize EastTabStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const {
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type != CT_TabBarTab) return s;
    s.setHeight(tabLength_);  // the tab's length along the right edge
    // When the tabs would not all fit along the pages' edge at that length,
    // each gets its caption's length and an equal share of the room left,
    // so that none is scrolled away and no caption is cut.
    const auto* bar = qobject_cast<const QTabBar*>(widget);
    const auto* tab = qstyleoption_cast<const QStyleOptionTab*>(option);
    const QWidget* pages = bar ? bar->parentWidget() : nullptr;
    if (!tab || !pages || pages->height() <= 0 || bar->count() * tabLength_ <= pages->height()) return s;
    const int margin = pixelMetric(PM_TabBarTabHSpace, option, widget);
    const auto caption = [&](const QString& text) { return bar->fontMetrics().horizontalAdvance(text) + margin; };
    int captions = 0;
    for (int i = 0; i < bar->count(); ++i) captions += caption(bar->tabText(i));
    s.setHeight(caption(tab->text) + std::max(0, (pages->height() - captions) / bar->count()));
    return s;
}

}  // namespace zelvara
