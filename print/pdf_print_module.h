// PdfPrintModule: every printout of the program drawn in the common frame and
// written to a PDF file, with nothing but Qt Gui (the command line prints
// through it). A PDF file is written under a temporary name and renamed when
// complete, so a failed print never replaces an older file. Without a PDF
// file of the caller's the user is asked for one; Tprintmodule
// (print_module.h, target zelvara_printer) adds the printer.
#pragma once

#include "print/chart_comparison_print.h"
#include "print/chart_sheet.h"
#include "print/client_report.h"
#include "print/consultation_print.h"
#include "print/flying_table_print.h"
#include "print/personal_data_print.h"
#include "print/print_document.h"
#include "print/reading_print.h"

#include <QObject>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPagedPaintDevice;

namespace zelvara {

struct PdfOutput {
    QString path;  // the first document; the n-th of several goes to "<name>-n.pdf"
    int dpi = 600;
};

// The file of document n (1-based) of a print command that prints to path.
QString NumberedPdfPath(const QString& path, int n);

struct PrintOutcome {
    enum class Status {
        Printed,    // every document went out
        Cancelled,  // the user declined to name a PDF file
        Refused,    // nothing to print (message says why; empty when the
                    // reading that was to be printed reported its own fault)
        Failed,     // the printer or the file failed (message says how)
    };
    Status status = Status::Printed;
    QString message;
    int documents = 0;  // documents finished
    QStringList files;  // PDF files written
    bool Printed() const { return status == Status::Printed; }
};

class PdfPrintModule : public QObject {
    Q_OBJECT
public:
    explicit PdfPrintModule(QObject* parent = nullptr);
    ~PdfPrintModule() override;

    // False here: without a printer, prints ask for a PDF file.
    virtual bool HasPrinter() const;

    // The footer's cover title and telephone number.
    void SetFooter(const QString& title, const QString& tel);
    QString Footer() const;
    // The conventions line every document prints above its footer (see
    // PrintDocument::SetConventionsLine); empty: none.
    void SetConventionsLine(const QString& line) { conventionsLine_ = line; }
    const QString& ConventionsLine() const { return conventionsLine_; }

    // Asked for a PDF file when there is no printer; returns the path, or
    // an empty text when the user cancels.
    using PdfChooser = std::function<QString(const QString& documentName)>;
    void SetPdfChooser(PdfChooser chooser) { pdfChooser_ = std::move(chooser); }

    // The chart sheet, and with strength the bar-chart page after it.
    PrintOutcome PrintChartSheet(const ChartSheet& sheet, const PalaceStrength* strength,
                                 const std::optional<PdfOutput>& pdf = {});
    // The bar-chart document alone.
    PrintOutcome PrintStrengthGraph(const PersonText& person, const PalaceStrength& strength,
                                    const std::optional<PdfOutput>& pdf = {});

    // One document for the selected tab, or one per tab 0..11 when
    // allPalaces. compose(tab) selects the tab, composes its reading and
    // returns what its memos show; nullopt stops the print.
    using OverallComposer = std::function<std::optional<OverallReadingPrint>(int tab)>;
    PrintOutcome PrintOverallReading(bool allPalaces, int selectedTab, const OverallComposer& compose,
                                     const std::optional<PdfOutput>& pdf = {});
    PrintOutcome PrintLuckReading(const PersonText& person, const QStringList& kounMemo,
                                  const std::optional<PdfOutput>& pdf = {});
    PrintOutcome PrintMarriageReading(const PersonText& person, const QStringList& aiMemo1, const QStringList& aiMemo2,
                                      const std::optional<PdfOutput>& pdf = {});
    // Consultation entries: one, or all of a client's, one after another.
    PrintOutcome PrintConsultations(const ConsultationPrint& print, const std::optional<PdfOutput>& pdf = {});
    // The 鑑定書 in one document: the cover and the pages chosen, numbered
    // "n / N"; in a PDF file with the reader as author and the client in the
    // subject.
    PrintOutcome PrintClientReport(const ClientReport& report, const std::optional<PdfOutput>& pdf = {});
    // The 飛星 table of a cast chart, with the layer's transformations unless
    // the layer is the birth chart itself.
    // birthLines: the birth data under the title (SheetBirthLines).
    PrintOutcome PrintFlyingTable(const Tmandata& man, const PersonText& person, const TimeLayer& layer,
                                  const std::optional<PdfOutput>& pdf = {}, const QStringList& birthLines = {});
    // A chart and one alternative reading side by side, on one A4
    // landscape page (the printer's own orientation is put back afterwards).
    PrintOutcome PrintChartComparison(const ChartComparison& comparison, const std::optional<PdfOutput>& pdf = {});
    // Everything kept about one client, for the client's own request.
    PrintOutcome PrintPersonalData(const PersonalDataPrint& data, const std::optional<PdfOutput>& pdf = {});
    // Descriptions by major star 1..14; picturePath gives the file to read for
    // a picture named under bmp/ ("bmp/zelvsei.bmp"), so that the caller
    // decides which folder's copy is printed.
    using PicturePathOf = std::function<QString(const QString& relative)>;
    PrintOutcome PrintLegends(const PicturePathOf& picturePath,
                              const std::array<QString, kMajorStars + 1>& descriptions,
                              const std::optional<PdfOutput>& pdf = {});
    // The same with the pictures from programFolder/bmp.
    PrintOutcome PrintLegends(const QString& programFolder, const std::array<QString, kMajorStars + 1>& descriptions,
                              const std::optional<PdfOutput>& pdf = {});

    // A document the caller lays out itself (the picture windows' prints),
    // sent where the other prints go: the printer, its file, or a PDF file.
    PrintOutcome PrintDrawing(const QString& name, const std::function<bool(QPagedPaintDevice&)>& draw,
                              const std::optional<PdfOutput>& pdf = {});

    // Draws one document on the device it is handed, named by destination in
    // messages; returns why it failed, or nothing.
    using PageDrawer = std::function<QString(QPagedPaintDevice& device, const QString& destination)>;

protected:
    // The file the printer setup sends prints to ("print to file"), if any.
    virtual std::optional<PdfOutput> PrinterFile() const;
    // Prints one document on the printer; empty when done, else why not.
    virtual QString DrawOnPrinter(const QString& name, const PageDrawer& draw);
    // The page of a PDF file: A4 portrait without margins, so that the grid
    // starts at the paper's corner.
    virtual QPageLayout PdfPageLayout() const;

private:
    friend class PrintSession;
    QString title_, tel_;
    QString conventionsLine_;
    PdfChooser pdfChooser_;
};

}  // namespace zelvara
