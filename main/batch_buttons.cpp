#include "main/batch_buttons.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QPushButton>

namespace zelvara {
namespace {

using batch::BatchKind;

struct ToolButton {
    BatchKind kind;
    const char* objectName;
};

constexpr ToolButton kButtons[] = {
    {BatchKind::Koyomi, "datacreate"},
    {BatchKind::TwoTxt, "TXTbtn"},
    {BatchKind::Casio, "CASIOBTN"},
    {BatchKind::Kyu, "SpeedButton5"},
};

QString ChooseWithDialog(QWidget* parent, const QString& title, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, title, start);
}

}  // namespace

BatchButtons::BatchButtons(QWidget* page, MessageSink& sink)
    : QObject(page), page_(page), sink_(sink), lastFolder_(QDir::homePath()), chooseFolder_(ChooseWithDialog) {
    for (const ToolButton& b : kButtons)
        if (QPushButton* button = ButtonOf(b.kind))
            connect(button, &QPushButton::clicked, this, [this, kind = b.kind] { Run(kind); });
}

BatchButtons* BatchButtons::Attach(QWidget* page, const QString& programFolder, MessageSink& sink, bool maintainer) {
    auto* wiring = new BatchButtons(page, sink);
    wiring->programFolder_ = programFolder;
    for (const ToolButton& b : kButtons)
        if (QPushButton* button = wiring->ButtonOf(b.kind)) button->setVisible(maintainer);
    return wiring;
}

QPushButton* BatchButtons::ButtonOf(BatchKind kind) const {
    for (const ToolButton& b : kButtons)
        if (b.kind == kind) return page_->findChild<QPushButton*>(QLatin1String(b.objectName));
    return nullptr;
}

void BatchButtons::Run(BatchKind kind) {
    QPushButton* button = ButtonOf(kind);
    if (running_ || !button) return;
    const QString tool = button->text();
    const QString folder = chooseFolder_(page_, QStringLiteral("%1 の出力先のフォルダ").arg(tool), lastFolder_);
    if (folder.isEmpty()) return;
    lastFolder_ = folder;

    batch::BatchRequest request;
    request.kind = kind;
    request.programFolder = programFolder_;
    request.outFolder = folder;
    batch::CompleteRequest(request);

    running_ = true;
    for (const ToolButton& b : kButtons)
        if (QPushButton* other = ButtonOf(b.kind)) other->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const batch::BatchOutcome outcome = batch::RunBatch(request, [button](const batch::BatchStep& step) {
        button->setText(step.caption);
        // Repaint the caption; clicks and keys wait until the run is over.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    QApplication::restoreOverrideCursor();
    button->setText(tool);
    for (const ToolButton& b : kButtons)
        if (QPushButton* other = ButtonOf(b.kind)) other->setEnabled(true);
    running_ = false;

    const QString stopped = QStringLiteral("%1 は完了しませんでした。\n%2").arg(tool, outcome.error);
    sink_.Show((outcome.ok ? Summary(tool, request, outcome) : stopped).toStdString(), {});
}

QString BatchButtons::Summary(const QString& tool, const batch::BatchRequest& request,
                              const batch::BatchOutcome& outcome) const {
    QString text = QStringLiteral("%1 を作りました（%2年〜%3年、%4 時点、ファイル %5 個、%6 秒）。\n出力先: %7")
                       .arg(tool)
                       .arg(request.fromYear)
                       .arg(request.toYear)
                       .arg(outcome.moments)
                       .arg(outcome.files.size())
                       .arg(outcome.seconds, 0, 'f', 1)
                       .arg(QDir::toNativeSeparators(request.outFolder));
    if (outcome.refused > 0)
        text +=
            QStringLiteral("\n計算できなかった時点が %1 あり、その行には直前の計算の内容を書いています（最初: %2）。")
                .arg(outcome.refused)
                .arg(outcome.firstRefusal);
    return text;
}

}  // namespace zelvara
