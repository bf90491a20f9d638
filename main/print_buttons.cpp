// The print buttons of the main window: 出生図印刷 (printbtn1), 飛星表, the three
// 文章印刷 (printbtn2, kounprintbtn, aisyobtn) and the legends viewer's print;
// and the chart handed over as a picture or a text (画像で保存, 画像をコピー,
// 文章でコピー). The window gathers what its pages show; the print module draws it.
#include "main/main_window.h"

#include "main/chart_layer_view.h"
#include "main/data_input_page.h"
#include "main/reading_pages.h"
#include "main/tab_button_row.h"
#include "print/chart_picture.h"
#include "print/memo_lines.h"
#include "print/pdf_file.h"
#include "print/print_module.h"
#include "session/chart_markdown.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardPaths>

namespace zelvara {
namespace {

const QString kPrintSection = QStringLiteral("print");
const QString kPdfFolderKey = QStringLiteral("pdffolder");

QStringList MemoLines(const QPlainTextEdit* memo) { return memo ? MemoLinesOf(memo->toPlainText()) : QStringList(); }

}  // namespace

void TMainForm1::SetPrintModule(Tprintmodule* module) {
    printModule_ = module;
    if (printModule_) printModule_->SetPdfChooser([this](const QString& document) { return AskPdfFile(document); });
}

Tprintmodule& TMainForm1::PrintModule() {
    if (!printModule_) {
        ownPrintModule_ = std::make_unique<Tprintmodule>();
        SetPrintModule(ownPrintModule_.get());
    }
    return *printModule_;
}

void TMainForm1::WirePrintButtons() {
    if (auto* printbtn1 = findChild<QPushButton*>(QStringLiteral("printbtn1")))
        connect(printbtn1, &QPushButton::clicked, this, &TMainForm1::printbtn1Click);
    if (auto* flyingPrint = findChild<QPushButton*>(QStringLiteral("flyingPrintBtn")))
        connect(flyingPrint, &QPushButton::clicked, this, &TMainForm1::flyingPrintClick);
    connect(chartPage_->PictureMenu(), &QMenu::triggered, this,
            [this](QAction* action) { SavePicture(action->data().toInt()); });
    if (auto* pictureCopy = findChild<QPushButton*>(QStringLiteral("pictureCopyBtn")))
        connect(pictureCopy, &QPushButton::clicked, this, &TMainForm1::CopyPicture);
    if (auto* textCopy = findChild<QPushButton*>(QStringLiteral("textCopyBtn")))
        connect(textCopy, &QPushButton::clicked, this, &TMainForm1::CopyChartText);
    if (auto* report = findChild<QPushButton*>(QStringLiteral("reportBtn")))
        connect(report, &QPushButton::clicked, this, &TMainForm1::OpenReportWindow);
    chartPage_->SetComparisonPrint([this](const ChartComparison& comparison) {
        ReportPrint(PrintModuleWithFooter().PrintChartComparison(comparison));
    });
    readings_->SetPrintActions(
        {[this] { printbtn2Click(); }, [this] { kounprintbtnClick(); }, [this] { aisyobtnClick(); }});
}

// No printer installed: the document goes to a PDF file the user names, in
// the folder used last time.
QString TMainForm1::PdfFolder() const {
    const QString folder = SettingsFile(settingsPath_).Read(kPrintSection, kPdfFolderKey, QString());
    if (folder.isEmpty() || !QDir(folder).exists())
        return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return folder;
}

QString TMainForm1::AskPdfFile(const QString& document) {
    SettingsFile settings(settingsPath_);
    const QString folder = PdfFolder();
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("プリンタがありません。PDFファイルに保存します"),
        QDir(folder).filePath(ClientFileName(document, dataPage_->Name(), QStringLiteral("pdf"))),
        QStringLiteral("PDF (*.pdf)"));
    if (!path.isEmpty()) settings.Write(kPrintSection, kPdfFolderKey, QFileInfo(path).absolutePath());
    return path;
}

// The footer carries the owner data as stored now.
Tprintmodule& TMainForm1::PrintModuleWithFooter(const QString& conventionsLine) {
    const OwnerSettings owner = LoadOwnerSettings(SettingsFile(settingsPath_));
    Tprintmodule& module = PrintModule();
    module.SetFooter(owner.title, owner.tel);
    module.SetConventionsLine(conventionsLine);
    return module;
}

QString TMainForm1::ConventionsLineShown() const {
    return session_ && session_->HasChart() ? PrintedConventionsLine(session_->Chart().profile) : QString();
}

PersonText TMainForm1::PersonShown() const {
    return {dataPage_->Name(), chartPage_->Centre().lblAge->text(), chartPage_->Centre().sexlbl->text()};
}

// A failure is always said, never passed over as a print done; a cancel
// says nothing, nor does a refusal whose reading reported its own fault.
void TMainForm1::ReportPrint(const PrintOutcome& outcome) {
    if (!outcome.message.isEmpty())
        Message(outcome.message);
    else if (outcome.status == PrintOutcome::Status::Failed)
        Message(QStringLiteral("印刷できませんでした。"));
}

void TMainForm1::printbtn1Click() {
    if (!session_ || !session_->HasChart()) {
        Message(QStringLiteral("鑑定ボタンを最初に行ってください。"));
        return;
    }
    const PalaceStrength strength = chartPage_->StrengthChart()->Strength();
    ReportPrint(PrintModuleWithFooter(ConventionsLineShown())
                    .PrintChartSheet(SheetShown(), chartPage_->PrintsGraph() ? &strength : nullptr));
}

ChartSheet TMainForm1::BirthSheetShown() {
    // A consultation entry's chart as read has the hour it was read with,
    // whatever the record's hour box says now.
    const QString hour = chartAsRead_ ? QString::fromStdString(session_->Chart().input.hour) : dataPage_->HourText();
    ChartSheet sheet = ChartSheetOf(session_->Man(), session_->Layout(), dataPage_->Name(), hour);
    sheet.person = PersonShown();
    if (const auto& exact = session_->Chart().exact) {
        if (exact->Corrected()) sheet.birthTime = QString::fromStdString(CorrectionLine(*exact));
        sheet.birthPlace = session_->Chart().exactPlace;
    }
    sheet.conventions = ConventionsLineShown();
    return sheet;
}

ChartSheet TMainForm1::SheetShown() {
    ChartSheet sheet = BirthSheetShown();
    if (const auto layer = chartPage_->Layers()->CurrentLayer())
        SetSheetLayer(sheet, session_->Man(), session_->Layout(), *layer);
    if (chartPage_->Layers()->StemsShown()) SetSheetStems(sheet, session_->Man());
    return sheet;
}

// The picture goes to a file the user names, in the folder the PDF files go to.
void TMainForm1::SavePicture(int sizeIndex) {
    if (!session_ || !session_->HasChart()) {
        Message(QStringLiteral("鑑定ボタンを最初に行ってください。"));
        return;
    }
    const std::vector<NamedPictureSize> sizes = PictureSizes();
    const bool svg = sizeIndex < 0 || sizeIndex >= int(sizes.size());
    // The SVG is an A4 page: it has no pixels to choose.
    const PictureSize size =
        svg ? ParsePictureSize(QStringLiteral("a4")).value_or(sizes.back().size) : sizes[size_t(sizeIndex)].size;
    const QString suffix = svg ? QStringLiteral("svg") : QStringLiteral("png");
    SettingsFile settings(settingsPath_);
    QString folder = settings.Read(kPrintSection, kPdfFolderKey, QString());
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("出生図を画像で保存"),
        QDir(folder).filePath(ClientFileName(QStringLiteral("出生図"), dataPage_->Name(), suffix)),
        svg ? QStringLiteral("SVG (*.svg)") : QStringLiteral("PNG (*.png)"));
    if (path.isEmpty()) return;
    settings.Write(kPrintSection, kPdfFolderKey, QFileInfo(path).absolutePath());
    BusyCursor busy;
    if (const QString why = WriteChartPicture(path, svg, SheetShown(), PrintModuleWithFooter().Footer(), size);
        !why.isEmpty())
        Message(why);
}

void TMainForm1::CopyPicture() {
    if (!session_ || !session_->HasChart()) {
        Message(QStringLiteral("鑑定ボタンを最初に行ってください。"));
        return;
    }
    BusyCursor busy;
    const PictureSize size = ParsePictureSize(QStringLiteral("1080x1350")).value_or(PictureSizes().front().size);
    QGuiApplication::clipboard()->setImage(ChartPictureImage(SheetShown(), PrintModuleWithFooter().Footer(), size));
}

// The chart as Markdown, with every layer the chart page shows.
void TMainForm1::CopyChartText() {
    if (!session_ || !session_->HasChart()) {
        Message(QStringLiteral("鑑定ボタンを最初に行ってください。"));
        return;
    }
    const ChartSheet sheet = SheetShown();
    ChartTextBirth birth;
    birth.name = dataPage_->Name();
    birth.exact = session_->Chart().exact;
    birth.place = sheet.birthPlace;
    if (!sheet.conventions.isEmpty()) birth.profile = sheet.conventions;
    QGuiApplication::clipboard()->setText(
        ChartMarkdown(session_->Man(), session_->Layout(), birth, chartPage_->Layers()->CurrentLayers()));
}

// The 飛星 table of the chart shown, with the layer chosen on the chart page.
void TMainForm1::flyingPrintClick() {
    if (!session_ || !session_->HasChart()) {
        Message(QStringLiteral("鑑定ボタンを最初に行ってください。"));
        return;
    }
    const TimeLayer layer = chartPage_->Layers()->CurrentLayer().value_or(BirthLayer(session_->Man()));
    ReportPrint(
        PrintModuleWithFooter(ConventionsLineShown())
            .PrintFlyingTable(session_->Man(), PersonShown(), layer, std::nullopt, SheetBirthLines(SheetShown())));
}

void TMainForm1::printbtn2Click() {
    const PersonText person = PersonShown();
    TabButtonRow* Kekka = readings_->Kekka;
    // With 12宮全部印刷 every tab in turn is selected and composed, and the
    // last one, 福徳宮, stays selected.
    const auto compose = [&](int tab) -> std::optional<OverallReadingPrint> {
        if (Kekka->currentIndex() != tab || readings_->PrnCheck->isChecked()) {
            {
                const QSignalBlocker quiet(Kekka);
                Kekka->setCurrentIndex(tab);
            }
            readings_->KekkaChange();
        }
        return OverallReadingPrint{Kekka->tabText(tab), person, MemoLines(readings_->hlp12Memo),
                                   MemoLines(readings_->KanteiMemo)};
    };
    const int selected = std::max(0, Kekka->currentIndex());
    ReportPrint(PrintModuleWithFooter(ConventionsLineShown())
                    .PrintOverallReading(readings_->PrnCheck->isChecked(), selected, compose));
}

void TMainForm1::kounprintbtnClick() {
    ReportPrint(
        PrintModuleWithFooter(ConventionsLineShown()).PrintLuckReading(PersonShown(), MemoLines(readings_->KounMemo)));
}

void TMainForm1::aisyobtnClick() {
    ReportPrint(PrintModuleWithFooter(ConventionsLineShown())
                    .PrintMarriageReading(PersonShown(), MemoLines(readings_->AiMemo1), MemoLines(readings_->AiMemo2)));
}

void TMainForm1::PrintLegends(const std::array<QString, kMajorStars + 1>& descriptions) {
    const DataFolders folders = Folders();
    ReportPrint(PrintModuleWithFooter().PrintLegends(
        [&folders](const QString& relative) { return FindDataFile(folders, relative); }, descriptions));
}

}  // namespace zelvara
