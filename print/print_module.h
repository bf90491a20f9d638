// Tprintmodule: the desktop program's print module, created at start-up. It
// adds to every print of PdfPrintModule the printer that the printer setup
// dialog sets up, and the millimetre table of that printer. Printing goes to
// the printer without a dialog; where no printer is installed the user is
// asked for a PDF file instead, and every operation can also print to a PDF
// file given by the caller. Qt PrintSupport (and with it Qt Widgets) is
// linked only here, target zelvara_printer.
#pragma once

#include "print/pdf_print_module.h"

#include <memory>

class QPrinter;

namespace zelvara {

class Tprintmodule : public PdfPrintModule {
    Q_OBJECT
public:
    // Reads the default printer's resolution and fills the millimetre table.
    explicit Tprintmodule(QObject* parent = nullptr);
    ~Tprintmodule() override;

    // The table as made at start-up. Each document is drawn on the table of
    // the printer it goes to, which is the same unless the printer was
    // changed in the printer setup dialog since.
    const MillimetreTable& Table() const { return table_; }
    QPrinter& Printer() { return *printer_; }
    // False when no printer is installed (prints then ask for a PDF file).
    bool HasPrinter() const override;

protected:
    std::optional<PdfOutput> PrinterFile() const override;
    QString DrawOnPrinter(const QString& name, const PageDrawer& draw) override;
    // The printer's page without margins.
    QPageLayout PdfPageLayout() const override;

private:
    std::unique_ptr<QPrinter> printer_;
    MillimetreTable table_;
};

}  // namespace zelvara
