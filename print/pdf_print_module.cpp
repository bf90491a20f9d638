#include "print/pdf_print_module.h"

#include "print/pdf_file.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPageSize>
#include <QPagedPaintDevice>

namespace zelvara {
namespace {

QString NoPrinter() { return QStringLiteral("プリンタがありません。"); }

}  // namespace

QString NumberedPdfPath(const QString& path, int n) {
    if (n <= 1) return path;
    const QFileInfo info(path);
    const QString suffix = info.suffix().isEmpty() ? QStringLiteral("pdf") : info.suffix();
    return info.dir().filePath(info.completeBaseName() + QStringLiteral("-%1.").arg(n) + suffix);
}

// The documents of one print command: where they go, and how it went.
class PrintSession {
public:
    PrintSession(PdfPrintModule& module, const std::optional<PdfOutput>& pdf) : module_(module), pdf_(pdf) {}

    // Prints one document in the common frame; false when the command is to stop.
    bool Document(const QString& name, const std::function<void(PrintDocument&)>& draw) {
        return Drawing(name, [&](QPagedPaintDevice& device, const QString& destination) {
            PrintDocument doc(device, module_.Footer(), destination);
            doc.SetConventionsLine(module_.ConventionsLine());
            if (QString why = doc.Begin(); !why.isEmpty()) return why;
            draw(doc);
            return doc.End() ? QString() : QStringLiteral("「%1」を印刷できませんでした。").arg(name);
        });
    }

    // Prints one document that draw lays out itself on the device it is
    // handed (named by destination in messages); draw returns why it failed,
    // or nothing. A PDF file counts only once it is complete in its place.
    // False when the command is to stop.
    using Drawer = PdfPrintModule::PageDrawer;
    bool Drawing(const QString& name, const Drawer& draw) {
        if (!ChooseDestination(name)) return false;
        BusyCursor busy;
        if (!pdf_) return OnPrinter(name, draw);
        const QString path = NumberedPdfPath(pdf_->path, outcome_.documents + 1);
        PdfFile file(path, pdf_->dpi, module_.PdfPageLayout(), name);
        file.SetAuthorSubject(author_, subject_);
        if (QString why = file.Open(); !why.isEmpty()) return Fail(why);
        if (QString why = draw(file.Device(), QStringLiteral("PDFファイル %1").arg(QDir::toNativeSeparators(path)));
            !why.isEmpty())
            return Fail(why);
        if (QString why = file.Commit(); !why.isEmpty()) return Fail(why);
        ++outcome_.documents;
        outcome_.files << path;
        return true;
    }

    bool Refuse(const QString& why) {
        outcome_.status = PrintOutcome::Status::Refused;
        outcome_.message = why;
        return false;
    }

    PrintOutcome Outcome() const { return outcome_; }

    void SetAuthorSubject(const QString& author, const QString& subject) {
        author_ = author;
        subject_ = subject;
    }

private:
    // The caller's PDF file, else the printer's file, else the printer, else
    // a PDF file the user names.
    bool ChooseDestination(const QString& name) {
        if (pdf_) return true;
        if (const std::optional<PdfOutput> file = module_.PrinterFile()) {
            pdf_ = file;
            return true;
        }
        if (module_.HasPrinter()) return true;
        const QString path = module_.pdfChooser_ ? module_.pdfChooser_(name) : QString();
        if (path.isEmpty()) {
            outcome_.status = module_.pdfChooser_ ? PrintOutcome::Status::Cancelled : PrintOutcome::Status::Failed;
            if (!module_.pdfChooser_) outcome_.message = NoPrinter();
            return false;
        }
        pdf_ = PdfOutput{path, 600};
        return true;
    }

    bool OnPrinter(const QString& name, const Drawer& draw) {
        if (const QString why = module_.DrawOnPrinter(name, draw); !why.isEmpty()) return Fail(why);
        ++outcome_.documents;
        return true;
    }

    bool Fail(const QString& why) {
        outcome_.status = PrintOutcome::Status::Failed;
        outcome_.message = why;
        return false;
    }

    PdfPrintModule& module_;
    std::optional<PdfOutput> pdf_;
    PrintOutcome outcome_;
    QString author_, subject_;
};

PdfPrintModule::PdfPrintModule(QObject* parent) : QObject(parent) { setObjectName(QStringLiteral("printmodule")); }

PdfPrintModule::~PdfPrintModule() = default;

bool PdfPrintModule::HasPrinter() const { return false; }

std::optional<PdfOutput> PdfPrintModule::PrinterFile() const { return std::nullopt; }

QString PdfPrintModule::DrawOnPrinter(const QString&, const PageDrawer&) { return NoPrinter(); }

QPageLayout PdfPrintModule::PdfPageLayout() const {
    // As a high-resolution QPrinter without a printer lays out A4, margins
    // taken away: the same page whether the printer module prints or not.
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Point,
                       QMarginsF(0, 0, 0, 0));
}

void PdfPrintModule::SetFooter(const QString& title, const QString& tel) {
    title_ = title;
    tel_ = tel;
}

QString PdfPrintModule::Footer() const { return FooterLine(title_, tel_); }

PrintOutcome PdfPrintModule::PrintChartSheet(const ChartSheet& sheet, const PalaceStrength* strength,
                                             const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    if (const QString why = ChartSheetRefusal(sheet); !why.isEmpty()) {
        session.Refuse(why);
        return session.Outcome();
    }
    // The graph is the sheet's second page, in the same document.
    session.Document(QStringLiteral("出生図"), [&](PrintDocument& doc) {
        DrawChartSheet(doc, sheet);
        if (!strength || !doc.NewPage()) return;
        doc.ClearBrush();  // the page starts in the frame's state, as a document does
        DrawStrengthPage(doc, sheet.person, *strength);
    });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintStrengthGraph(const PersonText& person, const PalaceStrength& strength,
                                                const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    session.Document(QStringLiteral("出生図分析"),
                     [&](PrintDocument& doc) { DrawStrengthPage(doc, person, strength); });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintOverallReading(bool allPalaces, int selectedTab, const OverallComposer& compose,
                                                 const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    const int first = allPalaces ? 0 : selectedTab;
    const int last = allPalaces ? kPalaces - 1 : selectedTab;
    for (int tab = first; tab <= last; ++tab) {
        const std::optional<OverallReadingPrint> reading = compose(tab);
        if (!reading) {
            session.Refuse({});
            break;
        }
        if (!session.Document(reading->palaceTab + QStringLiteral("の診断"),
                              [&](PrintDocument& doc) { DrawOverallReading(doc, *reading); }))
            break;
    }
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintLuckReading(const PersonText& person, const QStringList& kounMemo,
                                              const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    session.Document(QStringLiteral("行運の診断"), [&](PrintDocument& doc) { DrawLuckReading(doc, person, kounMemo); });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintConsultations(const ConsultationPrint& print, const std::optional<PdfOutput>& pdf) {
    if (print.entries.empty()) {
        PrintOutcome refused;
        refused.status = PrintOutcome::Status::Refused;
        refused.message = QStringLiteral("印刷する鑑定記録がありません。");
        return refused;
    }
    PrintSession session(*this, pdf);
    session.Document(QStringLiteral("鑑定記録"), [&](PrintDocument& doc) { DrawConsultations(doc, print); });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintClientReport(const ClientReport& report, const std::optional<PdfOutput>& pdf) {
    // A reading runs over as many pages as its text needs: counted first.
    const int total = ClientReportPages(report, Footer(), pdf ? pdf->dpi : 600);
    PrintSession session(*this, pdf);
    session.SetAuthorSubject(report.cover.readerTitle,
                             QStringLiteral("%1 様の鑑定書（%2）").arg(report.cover.client, report.cover.dateWestern));
    session.Document(QStringLiteral("鑑定書 %1 様").arg(report.cover.client),
                     [&](PrintDocument& doc) { DrawClientReport(doc, report, total); });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintFlyingTable(const Tmandata& man, const PersonText& person, const TimeLayer& layer,
                                              const std::optional<PdfOutput>& pdf, const QStringList& birthLines) {
    PrintSession session(*this, pdf);
    session.Document(QStringLiteral("飛星表"),
                     [&](PrintDocument& doc) { DrawFlyingTable(doc, man, person, layer, birthLines); });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintMarriageReading(const PersonText& person, const QStringList& aiMemo1,
                                                  const QStringList& aiMemo2, const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    session.Document(QStringLiteral("結婚相手の診断"),
                     [&](PrintDocument& doc) { DrawMarriageReading(doc, person, aiMemo1, aiMemo2); });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintChartComparison(const ChartComparison& comparison,
                                                  const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    const QString name = QStringLiteral("出生図の比較");
    session.Drawing(name, [&](QPagedPaintDevice& device, const QString& destination) {
        const QPageLayout before = device.pageLayout();
        device.setPageOrientation(QPageLayout::Landscape);
        QString why;
        {
            PrintDocument doc(device, Footer(), destination);
            why = doc.Begin();
            if (why.isEmpty()) {
                DrawChartComparison(doc, comparison, Footer());
                if (!doc.End()) why = QStringLiteral("「%1」を印刷できませんでした。").arg(name);
            }
        }
        device.setPageLayout(before);
        return why;
    });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintPersonalData(const PersonalDataPrint& data, const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    session.Document(QStringLiteral("個人データ"), [&](PrintDocument& doc) { DrawPersonalData(doc, data); });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintDrawing(const QString& name, const std::function<bool(QPagedPaintDevice&)>& draw,
                                          const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    session.Drawing(name, [&](QPagedPaintDevice& device, const QString&) {
        return draw(device) ? QString() : QStringLiteral("「%1」を印刷できませんでした。").arg(name);
    });
    return session.Outcome();
}

PrintOutcome PdfPrintModule::PrintLegends(const QString& programFolder,
                                          const std::array<QString, kMajorStars + 1>& descriptions,
                                          const std::optional<PdfOutput>& pdf) {
    const QDir folder(programFolder);
    return PrintLegends([&folder](const QString& relative) { return folder.filePath(relative); }, descriptions, pdf);
}

PrintOutcome PdfPrintModule::PrintLegends(const PicturePathOf& picturePath,
                                          const std::array<QString, kMajorStars + 1>& descriptions,
                                          const std::optional<PdfOutput>& pdf) {
    PrintSession session(*this, pdf);
    // Every picture is read before the document starts, so a missing one
    // stops the print with its name instead of a half-printed document.
    LegendPrint legends;
    legends.descriptions = descriptions;
    for (int star = 1; star <= kMajorStars; ++star) {
        const std::string_view file = kStarPictureFiles[star - 1];
        const QString path =
            picturePath(QStringLiteral("bmp/") + QString::fromLatin1(file.data(), qsizetype(file.size())));
        QImageReader reader(path);
        legends.pictures[star] = reader.read();
        if (legends.pictures[star].isNull()) {
            session.Refuse(QStringLiteral("星の画像ファイル %1 を読めません（%2）。").arg(path, reader.errorString()));
            return session.Outcome();
        }
    }
    session.Document(QStringLiteral("星の解説"), [&](PrintDocument& doc) { DrawLegends(doc, legends); });
    return session.Outcome();
}

}  // namespace zelvara
