// Tkekkonfrm: the marriage rules of the program, one row per main star of 命宮,
// with the star's traits and the 命宮 main stars of suitable partners.
#pragma once

#include <QWidget>

class QPushButton;
class QTableWidget;

namespace zelvara {

class Tkekkonfrm : public QWidget {
    Q_OBJECT
public:
    explicit Tkekkonfrm(QWidget* parent = nullptr);

    QTableWidget* SG = nullptr;
    QPushButton* closebtn = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace zelvara
