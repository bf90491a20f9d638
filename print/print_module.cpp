#include "print/print_module.h"

#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

namespace zelvara {

Tprintmodule::Tprintmodule(QObject* parent)
    : PdfPrintModule(parent), printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageOrientation(QPageLayout::Portrait);
    table_ = MillimetreTable(printer_->resolution());
}

Tprintmodule::~Tprintmodule() = default;

bool Tprintmodule::HasPrinter() const {
    return printer_->outputFormat() == QPrinter::NativeFormat && !printer_->printerName().isEmpty() &&
           !QPrinterInfo::printerInfo(printer_->printerName()).isNull();
}

std::optional<PdfOutput> Tprintmodule::PrinterFile() const {
    if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty())
        return PdfOutput{printer_->outputFileName(), printer_->resolution()};
    return std::nullopt;
}

QString Tprintmodule::DrawOnPrinter(const QString& name, const PageDrawer& draw) {
    QPrinter& printer = *printer_;
    printer.setDocName(name);
    if (QString why = draw(printer, QStringLiteral("プリンタ %1").arg(printer.printerName())); !why.isEmpty())
        return why;
    if (printer.printerState() == QPrinter::Error)
        return QStringLiteral("プリンタ %1 で「%2」を印刷できませんでした。").arg(printer.printerName(), name);
    return {};
}

QPageLayout Tprintmodule::PdfPageLayout() const {
    QPageLayout layout = printer_->pageLayout();
    layout.setMinimumMargins(QMarginsF(0, 0, 0, 0));
    layout.setMargins(QMarginsF(0, 0, 0, 0));
    return layout;
}

}  // namespace zelvara
