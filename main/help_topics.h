// F1 help by window: the one table saying which topic of help/index.html each
// window, page and door of the program opens, and the key that opens it.
#pragma once

#include "common/data_folders.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <span>

class QWidget;

namespace zelvara {

struct HelpTopic {
    const char* key;     // a window's or page's objectName, or a door's HelpContext key
    const char* anchor;  // its topic in help/index.html
};

// Every entry of the table.
std::span<const HelpTopic> HelpTopics();

// The anchor for a key; empty when the table has none.
QString HelpAnchorOfKey(const QString& key);

// The topic of a window or control: the entry of the control or of the
// nearest widget around it, up to its window and the window that owns that
// one (a message box answers for the window it belongs to). A window whose
// pages have topics answers, outside them, for the page it shows. Empty when
// none has an entry.
QString HelpAnchorOf(const QWidget* widget);

// While it lives, F1 in `window` and in the boxes and file dialogs it opens
// shows the topic of `key`: for a door such as the CSV import, which is a
// series of boxes rather than a window of its own.
class HelpContext {
public:
    HelpContext(QWidget* window, const char* key);
    ~HelpContext();
    HelpContext(const HelpContext&) = delete;
    HelpContext& operator=(const HelpContext&) = delete;

private:
    QPointer<QWidget> window_;
    QVariant before_;
};

// Shows the help at the topic of `widget`, in a help window of its window's
// own (so that it answers while that window is modal), made on first use.
void ShowHelpFor(QWidget* widget, const DataFolders& folders);

// F1 in any window of the program shows the help at that window's topic.
// Watches the application's key presses while it lives; F1 bound to a button
// of a window (the exact-time dialog's ヘルプ) is that button's.
class HelpKey : public QObject {
    Q_OBJECT
public:
    HelpKey(std::function<DataFolders()> folders, QObject* parent);
    ~HelpKey() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<DataFolders()> folders_;
};

}  // namespace zelvara
