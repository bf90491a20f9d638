#include "main/report_window.h"

#include "common/named_object.h"
#include "engine/context.h"
#include "print/print_document.h"
#include "store/settings_file.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPageLayout>
#include <QPageSize>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace zelvara {
namespace {

const QString kReportSection = QStringLiteral("report");
const QString kPagesKey = QStringLiteral("pages");
const QString kFolderKey = QStringLiteral("folder");
// Ticked the first time: the chart and its graph.
const QStringList kFirstChoice = {QStringLiteral("chart"), QStringLiteral("graph")};
// The preview's resolution: enough to read, quick to draw.
constexpr int kPreviewDpi = 150;

}  // namespace

ReportWindow::ReportWindow(std::vector<ReportOffer> offers, Composer compose, PdfPrintModule& module,
                           QString settingsPath, QString client, QDate date, MessageSink& sink, QWidget* parent)
    : QDialog(parent),
      offers_(std::move(offers)),
      compose_(std::move(compose)),
      module_(module),
      settingsPath_(std::move(settingsPath)),
      client_(std::move(client)),
      date_(date),
      sink_(sink) {
    setObjectName(QStringLiteral("reportWindow"));
    setWindowTitle(QStringLiteral("鑑定書 — %1 様").arg(client_));
    resize(960, 720);

    list_ = Named(new QListWidget(this), "reportPages");
    const QStringList remembered =
        SettingsFile(settingsPath_).Read(kReportSection, kPagesKey, kFirstChoice.join(QLatin1Char(','))).split(',');
    for (const ReportOffer& offer : offers_) {
        auto* item = new QListWidgetItem(offer.caption, list_);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(remembered.contains(offer.word) ? Qt::Checked : Qt::Unchecked);
    }
    list_->setMaximumWidth(260);

    auto* printer = new QPrinter(QPrinter::ScreenResolution);
    printer->setResolution(kPreviewDpi);
    printer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    preview_ = Named(new QPrintPreviewWidget(printer, this), "reportPreview");
    printer_.reset(printer);
    preview_->setViewMode(QPrintPreviewWidget::SinglePageView);
    preview_->fitToWidth();
    connect(preview_, &QPrintPreviewWidget::paintRequested, this, &ReportWindow::Paint);

    status_ = Named(new QLabel(this), "reportStatus");
    auto* save = Named(new QPushButton(QStringLiteral("PDFに保存…"), this), "reportSaveBtn");
    auto* close = Named(new QPushButton(QStringLiteral("閉じる"), this), "reportCloseBtn");
    connect(save, &QPushButton::clicked, this, &ReportWindow::Save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("入れるページ"), this));
    left->addWidget(list_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(save);
    buttons->addWidget(close);
    left->addLayout(buttons);
    auto* right = new QVBoxLayout;
    right->addWidget(preview_, 1);
    right->addWidget(status_);
    auto* top = new QHBoxLayout(this);
    top->addLayout(left);
    top->addLayout(right, 1);

    connect(list_, &QListWidget::itemChanged, this, [this] { Refresh(); });
    Refresh();
}

ReportWindow::~ReportWindow() { delete preview_; }

std::vector<ReportChoice> ReportWindow::Chosen() const {
    QStringList words;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->checkState() == Qt::Checked) words << offers_[size_t(i)].word;
    QString why;
    return ParseReportPages(words.join(QLatin1Char(',')), &why).value_or(std::vector<ReportChoice>());
}

void ReportWindow::Refresh() {
    QString why;
    const std::vector<ReportChoice> chosen = Chosen();
    report_ = chosen.empty() ? std::nullopt : compose_(chosen, &why);
    if (chosen.empty()) why = QStringLiteral("入れるページを選んで下さい。");
    pages_ = report_ ? ClientReportPages(*report_, module_.Footer(), kPreviewDpi) : 0;
    status_->setText(report_ ? QStringLiteral("表紙を含めて %1 ページ").arg(pages_) : why);
    preview_->updatePreview();
}

void ReportWindow::Paint(QPrinter* printer) {
    if (!report_) return;
    PrintDocument doc(*printer, module_.Footer(), QStringLiteral("プレビュー"));
    doc.SetConventionsLine(module_.ConventionsLine());
    if (!doc.Begin().isEmpty()) return;
    DrawClientReport(doc, *report_, pages_);
    doc.End();
}

bool ReportWindow::Save() {
    if (!report_) {
        sink_.Show(status_->text().toStdString(), {});
        return false;
    }
    SettingsFile settings(settingsPath_);
    QString folder = settings.Read(kReportSection, kFolderKey, QString());
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    const QString offered = QDir(folder).filePath(ReportFileName(client_, date_));
    const QString path = chooseFile_ ? chooseFile_(offered) : QString();
    if (path.isEmpty()) return false;
    const PrintOutcome out = module_.PrintClientReport(*report_, PdfOutput{path, 600});
    if (!out.Printed()) {
        sink_.Show(
            (out.message.isEmpty() ? QStringLiteral("鑑定書を保存できませんでした。") : out.message).toStdString(), {});
        return false;
    }
    settings.Write(kReportSection, kFolderKey, QFileInfo(path).absolutePath());
    settings.Write(kReportSection, kPagesKey, ReportPagesText(Chosen()));
    return true;
}

}  // namespace zelvara
