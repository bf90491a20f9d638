// The help: HTML pages in the help/ folder (the user's copy first, then the
// shipped one), shown in a window of their own. Which topic (anchor of
// help/index.html) each window opens is told by help_topics.h.
#pragma once

#include "common/data_folders.h"

#include <QWidget>

class QTextBrowser;

namespace zelvara {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    // anchor: a topic's anchor ("topic4"); empty shows the page from its start.
    void ShowTopic(const DataFolders& folders, const QString& anchor);
    QString ShownSource() const;

private:
    QTextBrowser* browser_;
};

}  // namespace zelvara
