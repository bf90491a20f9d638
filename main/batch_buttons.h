// The hidden batch buttons of the data-entry page: "2DB" (datacreate), "2TXT"
// (TXTbtn), "CASIO" (CASIOBTN) and "旧" (SpeedButton5). They are shown only
// when the program runs with --maintainer. A click asks for an output folder
// and runs the tool on its own engine with the progress in the button's
// caption; the person register and the chart on screen stay as they are.
#pragma once

#include "batch/batch_run.h"
#include "engine/context.h"

#include <QObject>
#include <QString>

#include <functional>

class QPushButton;
class QWidget;

namespace zelvara {

class BatchButtons : public QObject {
    Q_OBJECT
public:
    // Asks for the output folder; empty = cancelled.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& title, const QString& start)>;

    // Wires the four buttons found on the page, shown only to maintainers,
    // and returns the wiring.
    static BatchButtons* Attach(QWidget* page, const QString& programFolder, MessageSink& sink, bool maintainer);

    void SetFolderChooser(FolderChooser chooser) { chooseFolder_ = std::move(chooser); }
    // What a click on the tool's button does.
    void Run(batch::BatchKind kind);

private:
    BatchButtons(QWidget* page, MessageSink& sink);
    QPushButton* ButtonOf(batch::BatchKind kind) const;
    QString Summary(const QString& tool, const batch::BatchRequest& request, const batch::BatchOutcome& outcome) const;

    QWidget* page_;
    MessageSink& sink_;
    QString programFolder_;
    QString lastFolder_;
    FolderChooser chooseFolder_;
    bool running_ = false;
};

}  // namespace zelvara
