#include "east_tab_style.h"

#include <QStyleOptionTab>

namespace zelvara {

QSize EastTabStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const
{
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_TabBarTab)
        s.setHeight(tabWidth_);  // the tab's length along the right edge
    return s;
}

void EastTabStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                               const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
}

}  // namespace zelvara
