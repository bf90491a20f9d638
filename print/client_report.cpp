#include "print/client_report.h"

#include "engine/chart_request.h"
#include "print/flying_table_print.h"
#include "print/memo_lines.h"
#include "print/pdf_file.h"
#include "print/print_document.h"

#include <QBuffer>
#include <QDate>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace zelvara {
namespace {

// The cover, in millimetres and points.
struct CoverLayout {
    int logoLeft, logoTop, logoWidth, logoHeight;  // the logo fitted into this box
    int titleX, titleY, titlePoints;
    int clientX, clientY, clientPoints;
    int lineX, firstLineY, lineStep, linePoints;  // date and birth lines
    int readerX, readerY, readerStep, readerPoints;
};
constexpr CoverLayout kCover{75, 20, 60, 40, 78, 75, 28, 40, 110, 18, 40, 140, 8, 11, 40, 230, 8, 11};
constexpr int kCoverConventionsPoints = 9;

// The notes page: heading, then the listing's grid.
struct NotesHeading {
    int x, y, points;
};
constexpr NotesHeading kNotesHeading{20, 18, 12};

// The running line under the footer: birth data at the left, "n / N" at the right.
struct RunningLine {
    int x, y, points, numberX;
};
constexpr RunningLine kRunning{15, 284, 8, 180};

void DrawCover(PrintDocument& doc, const ClientReport& r) {
    const ReportCover& c = r.cover;
    const CoverLayout& k = kCover;
    if (!c.logo.isNull()) {
        const MillimetreTable& mm = doc.Mm();
        const QSize fitted = c.logo.size().scaled(mm[k.logoWidth], mm[k.logoHeight], Qt::KeepAspectRatio);
        const int x = mm[k.logoLeft] + (mm[k.logoWidth] - fitted.width()) / 2;
        doc.PrintPictureAt(x, mm[k.logoTop], fitted.width(), fitted.height(), c.logo);
    }
    doc.Text(k.titleX, k.titleY, QStringLiteral("鑑 定 書"), k.titlePoints);
    doc.Text(k.clientX, k.clientY, c.client + QStringLiteral(" 様"), k.clientPoints);
    QStringList lines{QStringLiteral("鑑定日：") + c.dateEra + QStringLiteral("（") + c.dateWestern +
                      QStringLiteral("）")};
    lines += r.birthLines;
    const QStringList conventions = r.conventions.split(QLatin1Char('\n'));
    lines << conventions.first();
    for (int i = 0; i < lines.size(); ++i) doc.Text(k.lineX, k.firstLineY + k.lineStep * i, lines[i], k.linePoints);
    if (conventions.size() > 1)  // a profile's conventions line, smaller to fit the page's width
        doc.Text(k.lineX, k.firstLineY + k.lineStep * lines.size(), conventions[1], kCoverConventionsPoints);
    QStringList reader;
    if (!c.readerTitle.isEmpty()) reader << QStringLiteral("鑑定：") + c.readerTitle;
    if (!c.readerTel.isEmpty()) reader << QStringLiteral("連絡先：TEL ") + c.readerTel;
    for (int i = 0; i < reader.size(); ++i)
        doc.Text(k.readerX, k.readerY + k.readerStep * i, reader[i], k.readerPoints);
    doc.PrintFooter();
}

void DrawNotes(PrintDocument& doc, const PersonText& person, const ReportNotes& n) {
    doc.Text(kNotesHeading.x, kNotesHeading.y, QStringLiteral("【鑑定記録】 ") + person.Line(), kNotesHeading.points);
    Listing listing(doc);
    listing.Line(QStringLiteral("鑑定日：") + n.date + (n.time.isEmpty() ? QString() : QStringLiteral("  ") + n.time));
    if (!n.theme.isEmpty()) listing.Line(QStringLiteral("テーマ：") + n.theme);
    const auto section = [&](const QString& title, const QString& text) {
        if (text.trimmed().isEmpty()) return;
        listing.Skip(1);
        listing.Line(title);
        listing.Lines(DisplayedLines(MemoLinesOf(text), kReadingMemoColumns));
    };
    section(QStringLiteral("【ご相談の内容】"), n.question);
    section(QStringLiteral("【鑑定の内容】"), n.notes);
    doc.PrintFooter();
}

void DrawPage(PrintDocument& doc, const ClientReport& r, const ReportPage& page) {
    switch (page.kind) {
        case ReportPage::Kind::Chart:
        case ReportPage::Kind::Layer: DrawChartSheet(doc, page.sheet); break;
        case ReportPage::Kind::Graph: DrawStrengthPage(doc, r.person, r.strength); break;
        case ReportPage::Kind::Flying: DrawFlyingTable(doc, r.man, r.person, r.birthLayer, r.birthLines); break;
        case ReportPage::Kind::Overall: DrawOverallReading(doc, page.overall); break;
        case ReportPage::Kind::Luck: DrawLuckReading(doc, r.person, page.memo1); break;
        case ReportPage::Kind::Marriage: DrawMarriageReading(doc, r.person, page.memo1, page.memo2); break;
        case ReportPage::Kind::Notes: DrawNotes(doc, r.person, page.notes); break;
    }
}

}  // namespace

QString ReportFileName(const QString& client, const QDate& date) {
    return ClientFileName(QStringLiteral("鑑定書"),
                          client + QLatin1Char('_') + date.toString(QStringLiteral("yyyyMMdd")), QStringLiteral("pdf"));
}

QString EraDateText(const QDate& date) {
    return QString::fromStdString(zelvara::EraDateText(date.year(), date.month(), date.day()));
}

QString WesternDateText(const QDate& date) {
    return QStringLiteral("%1年%2月%3日").arg(date.year()).arg(date.month()).arg(date.day());
}

int ClientReportPages(const ClientReport& report, const QString& footer, int dpi) {
    QBuffer scratch;
    scratch.open(QIODevice::WriteOnly);
    QPdfWriter counter(&scratch);
    counter.setResolution(dpi);
    counter.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    PrintDocument doc(counter, footer, QString());
    if (!doc.Begin().isEmpty()) return 0;
    DrawClientReport(doc, report, 0);
    const int pages = doc.Pages();
    doc.End();
    return pages;
}

void DrawClientReport(PrintDocument& doc, const ClientReport& report, int totalPages) {
    const QString running = report.cover.client + QStringLiteral(" 様　") + report.birthLines.value(0) +
                            QStringLiteral("　") + report.conventions.section(QLatin1Char('\n'), 0, 0);
    doc.SetPageMark([&running, totalPages](PrintDocument& page, int n) {
        page.Mark(kRunning.x, kRunning.y, running, kRunning.points);
        if (totalPages > 0)
            page.Mark(kRunning.numberX, kRunning.y, QStringLiteral("%1 / %2").arg(n).arg(totalPages), kRunning.points);
    });
    DrawCover(doc, report);
    for (const ReportPage& page : report.pages) {
        doc.NewPage();
        doc.ClearBrush();  // each page starts in the frame's state, as a document does
        DrawPage(doc, report, page);
    }
    doc.MarkPage();
    doc.SetPageMark({});
}

}  // namespace zelvara
