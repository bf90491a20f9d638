#include "windows/print_runner.h"

#include <QMessageBox>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace zelvara {

void PrintOnDefaultPrinter(QWidget* parent, const QString& document, const PageDrawer& draw) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    if (QPrinterInfo::defaultPrinter().isNull()) {
        QMessageBox::warning(parent, QString(),
                             QStringLiteral("プリンタがありません。「%1」を印刷できません。").arg(document));
        return;
    }
    if (!draw(printer) || printer.printerState() == QPrinter::Error)
        QMessageBox::warning(parent, QString(), QStringLiteral("「%1」を印刷できませんでした。").arg(document));
}

}  // namespace zelvara
