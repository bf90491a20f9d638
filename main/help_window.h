// The help: HTML pages in the help/ folder (the user's copy first, then the
// shipped one), shown in a window of their own. Topic n is the anchor
// "topicn" of help/index.html.
#pragma once

#include "data_folders.h"

#include <QWidget>

class QTextBrowser;

namespace zelvara {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void ShowTopic(const DataFolders& folders, int topic);
    QString ShownSource() const;

private:
    QTextBrowser* browser_;
};

}  // namespace zelvara
