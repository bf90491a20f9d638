// The 鑑定書 window, reached from the chart page: the pages to put in the
// report ticked in a list, the report previewed as it will print, and saved
// to a PDF file (鑑定書_<氏名>_<YYYYMMDD>.pdf in the folder used last). The
// pages ticked are remembered in the settings file ([report] pages).
#pragma once

#include "print/pdf_print_module.h"
#include "readings/report_pages.h"

#include <QDate>
#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QListWidget;
class QLabel;
class QPrintPreviewWidget;
class QPrinter;

namespace zelvara {

class MessageSink;

// One page the list offers: its caption and its word (ReportPagesText).
struct ReportOffer {
    QString caption;
    QString word;
};

class ReportWindow : public QDialog {
    Q_OBJECT
public:
    // compose makes the report of the pages (nullopt with why); module
    // writes it; client and date name the file.
    using Composer = std::function<std::optional<ClientReport>(const std::vector<ReportChoice>&, QString* why)>;
    // chooseFile asks for the file, starting at the path offered; empty: cancelled.
    using FileChooser = std::function<QString(const QString& offered)>;
    ReportWindow(std::vector<ReportOffer> offers, Composer compose, PdfPrintModule& module, QString settingsPath,
                 QString client, QDate date, MessageSink& sink, QWidget* parent = nullptr);
    ~ReportWindow() override;

    void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
    // The pages ticked now, in the list's order.
    std::vector<ReportChoice> Chosen() const;
    // Writes the report; false (said why through the sink) when it was not written.
    bool Save();

private:
    void Refresh();
    void Paint(QPrinter* printer);

    std::vector<ReportOffer> offers_;
    Composer compose_;
    PdfPrintModule& module_;
    QString settingsPath_;
    QString client_;
    QDate date_;
    MessageSink& sink_;
    FileChooser chooseFile_;
    std::optional<ClientReport> report_;
    int pages_ = 0;
    QListWidget* list_ = nullptr;
    QLabel* status_ = nullptr;
    QPrintPreviewWidget* preview_ = nullptr;
    std::unique_ptr<QPrinter> printer_;  // the preview's page; outlives the preview
};

}  // namespace zelvara
