#include "pending_windows.h"

#include <QLabel>
#include <QVBoxLayout>

namespace zelvara {

PendingWindow::PendingWindow(const char* className, const QString& caption, QSize size)
    : QWidget(nullptr, Qt::Window)
{
    setObjectName(QString::fromLatin1(className));
    setWindowTitle(caption);
    resize(size);
    auto* layout = new QVBoxLayout(this);
    auto* note = new QLabel(QStringLiteral("この画面は準備中です。"), this);
    note->setAlignment(Qt::AlignCenter);
    layout->addWidget(note);
}

}  // namespace zelvara
