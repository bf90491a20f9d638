// Windows and modules that the program creates at start-up but whose contents
// arrive with their own modules: each is its class with its caption, and is
// replaced by the real one when that module lands.
#pragma once

#include <QObject>
#include <QWidget>

namespace zelvara {

class PendingWindow : public QWidget {
    Q_OBJECT
public:
    PendingWindow(const char* className, const QString& caption, QSize size);
};

}  // namespace zelvara

#define ZELVARA_PENDING_WINDOW(Name)                                              \
    class Name : public zelvara::PendingWindow {                                  \
    public:                                                                       \
        explicit Name(const QString& caption, QSize size = QSize(480, 320))       \
            : zelvara::PendingWindow(#Name, caption, size) {}                     \
    };

ZELVARA_PENDING_WINDOW(Thelpbunfrm)
ZELVARA_PENDING_WINDOW(Tmatorixfrm)

#undef ZELVARA_PENDING_WINDOW
