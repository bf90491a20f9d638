// A page control whose tabs wrap onto several rows: a block of tab buttons
// over the stacked pages, as many tabs to a row as given.
#pragma once

#include <QWidget>

class QButtonGroup;
class QGridLayout;
class QStackedWidget;

namespace zelvara {

class TabRows : public QWidget {
    Q_OBJECT
public:
    TabRows(int tabsPerRow, QWidget* parent = nullptr);

    int AddPage(QWidget* page, const QString& caption);
    int Count() const;
    int CurrentIndex() const;
    void SetCurrentIndex(int index);
    QString TabText(int index) const;
    QWidget* Page(int index) const;
    // The index of the tab with this caption, or −1.
    int IndexOf(const QString& caption) const;

signals:
    void currentChanged(int index);

private:
    int tabsPerRow_;
    QGridLayout* tabs_ = nullptr;
    QButtonGroup* group_ = nullptr;
    QStackedWidget* pages_ = nullptr;
};

}  // namespace zelvara
