// The help: HTML pages in the program folder's help/ folder, shown in a
// window of their own. Topic n is the anchor "topicn" of help/index.html.
#pragma once

#include <QWidget>

class QTextBrowser;

namespace zelvara {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    void ShowTopic(const QString& programFolder, int topic);
    QString ShownSource() const;

private:
    QTextBrowser* browser_;
};

}  // namespace zelvara
