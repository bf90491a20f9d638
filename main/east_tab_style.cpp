#include "main/east_tab_style.h"

namespace zelvara {

QSize EastTabStyle::sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                                     const QWidget* widget) const {
    QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_TabBarTab) s.setHeight(tabLength_);  // the tab's length along the right edge
    return s;
}

}  // namespace zelvara
