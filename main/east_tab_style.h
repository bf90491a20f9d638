// Tabs on the right side of a tab widget, each a fixed length along the
// edge; the captions run down the narrow tabs, leaving the pages their width.
#pragma once

#include <QProxyStyle>

namespace zelvara {

class EastTabStyle : public QProxyStyle {
public:
    explicit EastTabStyle(int tabLength) : tabLength_(tabLength) {}

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;

private:
    int tabLength_;
};

}  // namespace zelvara
