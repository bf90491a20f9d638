#include "main/help_window.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace zelvara {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("helpWindow"));
    setWindowTitle(QStringLiteral("Zelvaraプロ版 ヘルプ"));
    resize(640, 560);
    browser_ = new QTextBrowser(this);
    browser_->setOpenExternalLinks(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
}

void HelpWindow::ShowTopic(const DataFolders& folders, const QString& anchor) {
    const QString file = FindDataFile(folders, QStringLiteral("help/index.html"));
    if (QFileInfo::exists(file)) {
        QUrl url = QUrl::fromLocalFile(file);
        if (!anchor.isEmpty()) url.setFragment(anchor);
        browser_->setSource(url);
    } else {
        browser_->setHtml(QStringLiteral("<p>ヘルプファイル %1 が見つかりません。</p>").arg(file.toHtmlEscaped()));
    }
    show();
    raise();
    activateWindow();
}

QString HelpWindow::ShownSource() const { return browser_->source().toString(); }

}  // namespace zelvara
