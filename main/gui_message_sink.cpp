#include "main/gui_message_sink.h"

#include "common/qstring_utf8.h"

#include <QMessageBox>

namespace zelvara {

void GuiMessageSink::Show(std::string_view text, std::string_view caption) {
    const QString title = caption.empty() ? QString::fromUtf16(kApplicationTitle) : Q(caption);
    QMessageBox box(QMessageBox::Information, title, Q(text), QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace zelvara
