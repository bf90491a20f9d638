#include "gui_message_sink.h"

#include <QMessageBox>

namespace zelvara {

void GuiMessageSink::Show(std::string_view text, std::string_view caption)
{
    const QString title = caption.empty() ? QString::fromUtf16(kApplicationTitle)
                                          : QString::fromUtf8(caption.data(), qsizetype(caption.size()));
    QMessageBox box(QMessageBox::Information, title, QString::fromUtf8(text.data(), qsizetype(text.size())),
                    QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace zelvara
