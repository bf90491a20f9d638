#include "picture_print.h"

#include "matrix_layout.h"

#include <QGuiApplication>
#include <QMessageBox>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <cmath>

namespace zelvara {
namespace {

const QString kPrintFont = QStringLiteral("ＭＳ ゴシック");

// A page being drawn: millimetres to dots, texts by their top-left corner.
class Page {
public:
    Page(QPainter& painter, int dotsPerMm) : p_(painter), dpm_(dotsPerMm) {}
    int Mm(int mm) const { return mm * dpm_; }
    void Text(int xMm, int yMm, const QString& text, int points)
    {
        QFont f(kPrintFont);
        f.setPointSize(points);
        p_.setFont(f);
        p_.drawText(QPoint(Mm(xMm), Mm(yMm) + p_.fontMetrics().ascent()), text);
    }
    void Footer(const QString& footer)
    {
        // From here on texts have a white, opaque background.
        p_.setBackgroundMode(Qt::OpaqueMode);
        p_.setBackground(Qt::white);
        p_.setBrush(Qt::white);
        Text(60, 276, footer, 10);
    }

private:
    QPainter& p_;
    int dpm_;
};

QString Utf8(const char* s) { return QString::fromUtf8(s); }

}  // namespace

int DotsPerMm(int dotsPerInch) { return int(std::lround(dotsPerInch / 25.4)); }

QString FooterText(const QString& title, const QString& tel)
{
    return QStringLiteral("(著作)") + title + QStringLiteral("     TEL ") + tel;
}

bool PrintStarMatrix(QPagedPaintDevice& device, const QString& footer)
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QPainter p;
    if (!p.begin(&device)) {
        QGuiApplication::restoreOverrideCursor();
        return false;
    }
    Page page(p, DotsPerMm(device.logicalDpiY()));
    QPen pen(Qt::black);
    pen.setWidth(matrix::kPrintPenDots);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);

    page.Text(matrix::kTitle.x, matrix::kTitle.y, Utf8(matrix::kTitle.text), matrix::kTitle.points);
    for (const matrix::Text& t : matrix::kAxisTexts)
        page.Text(t.x, t.y, Utf8(t.text), t.points);
    for (int y : matrix::kGridY)
        p.drawLine(page.Mm(matrix::kGridX.front()), page.Mm(y), page.Mm(matrix::kGridX.back()), page.Mm(y));
    for (int x : matrix::kGridX)
        p.drawLine(page.Mm(x), page.Mm(matrix::kGridY.front()), page.Mm(x), page.Mm(matrix::kGridY.back()));
    for (const matrix::Text& t : matrix::kStars)
        page.Text(t.x, t.y, Utf8(t.text), t.points);
    page.Footer(footer);
    const bool ok = p.end();
    QGuiApplication::restoreOverrideCursor();
    return ok;
}

bool PrintOrganisationPicture(QPagedPaintDevice& device, const QImage& picture)
{
    QPainter p;
    if (!p.begin(&device))
        return false;
    Page page(p, DotsPerMm(device.logicalDpiY()));
    // As large as (20, 30)–(180, 150) mm holds it at its own aspect ratio,
    // centred across and from the top.
    const QRect area(page.Mm(20), page.Mm(30), page.Mm(180 - 20), page.Mm(150 - 30));
    const QSize size = picture.isNull() ? area.size() : picture.size().scaled(area.size(), Qt::KeepAspectRatio);
    p.drawImage(QRect(QPoint(area.left() + (area.width() - size.width()) / 2, area.top()), size), picture);
    return p.end();
}

void PrintOnDefaultPrinter(QWidget* parent, const QString& document, const PageDrawer& draw)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(document);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    if (QPrinterInfo::defaultPrinter().isNull()) {
        QMessageBox::warning(parent, QString(), QStringLiteral("プリンタがありません。「%1」を印刷できません。").arg(document));
        return;
    }
    if (!draw(printer) || printer.printerState() == QPrinter::Error)
        QMessageBox::warning(parent, QString(), QStringLiteral("「%1」を印刷できませんでした。").arg(document));
}

}  // namespace zelvara
