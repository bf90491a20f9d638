// A row of button-style tabs that wraps into several rows when the page is too
// narrow, and that may have no tab selected (after a new chart the luck tabs
// show no selection until the user picks one). The calls mirror QTabBar's.
#pragma once

#include <QButtonGroup>
#include <QList>
#include <QString>
#include <QWidget>

class QToolButton;

namespace zelvara {

class TabButtonRow : public QWidget {
    Q_OBJECT
public:
    // tabWidth 0: each tab as wide as its caption needs.
    explicit TabButtonRow(const QStringList& captions, int tabWidth = 0, QWidget* parent = nullptr);

    int count() const { return int(buttons_.size()); }
    int addTab(const QString& text);
    void removeTab(int index);
    QString tabText(int index) const;
    void setTabText(int index, const QString& text);
    int currentIndex() const { return current_; }
    // −1 clears the selection. Emits currentChanged only when it changes.
    void setCurrentIndex(int index);
    int tabWidth() const { return tabWidth_; }
    QToolButton* button(int index) const { return buttons_.value(index); }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void currentChanged(int index);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int ColumnsFor(int width) const;
    int CellWidth() const;
    void Arrange();

    QButtonGroup group_;
    QList<QToolButton*> buttons_;
    int tabWidth_ = 0;
    int current_ = -1;
};

}  // namespace zelvara
