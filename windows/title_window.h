// The splash window shown while the program starts.
#pragma once

#include <QWidget>

class QLabel;

class Ttitle : public QWidget {
    Q_OBJECT
public:
    explicit Ttitle(QWidget* parent = nullptr);

    // Picture width + 4 by picture height + 10, as the start-up shows it.
    QSize SplashSize() const;

private:
    QLabel* picture_;
    QLabel* version_;
};
