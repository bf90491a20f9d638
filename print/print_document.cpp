#include "print/print_document.h"

#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include <cmath>

namespace zelvara {
namespace {

// The frame every printout shares: its pen and starting font size, the
// footer's place and size (millimetres, points), and the listings' line grid.
constexpr int kFramePenDots = 2;
constexpr int kFrameFontPoints = 10;
struct FooterLayout {
    int x, y, points;
};
constexpr FooterLayout kFooter{60, 276, 10};
constexpr FooterLayout kConventions{20, 272, 8};
struct ListingLayout {
    int x, firstLineY, lineStep, points;
};
constexpr ListingLayout kListing{20, 30, 5, 10};

}  // namespace

QString PrintFontFamily() { return QStringLiteral("ＭＳ ゴシック"); }

void EnsurePrintFont() {
    if (QFont::substitute(PrintFontFamily()) == PrintFontFamily())
        QFont::insertSubstitution(PrintFontFamily(), QStringLiteral("IPAGothic"));
}

int DotsPerMillimetre(int dotsPerInch) { return int(std::lround(dotsPerInch / 25.4)); }

MillimetreTable::MillimetreTable(int dotsPerInch) : dpi_(dotsPerInch), dpm_(DotsPerMillimetre(dotsPerInch)) {
    for (int i = 0; i <= kMillimetres; ++i) table_[i] = i * dpm_;
}

QString PrintedConventionsLine(const ConventionProfile& profile) {
    if (profile.name == kStandardProfileName && profile.conventions.IsStandard()) return {};
    return QString::fromStdString(ConventionsLine(profile.name, profile.conventions));
}

QString FooterLine(const QString& title, const QString& tel) {
    return QStringLiteral("(著作)") + title + QStringLiteral("     TEL ") + tel;
}

BusyCursor::BusyCursor() {
    // A command-line run has no cursor to change.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        set_ = true;
    }
}

BusyCursor::~BusyCursor() {
    if (set_) QGuiApplication::restoreOverrideCursor();
}

PrintDocument::PrintDocument(QPagedPaintDevice& device, QString footer, QString destination)
    : device_(&device), footer_(std::move(footer)), destination_(std::move(destination)), mm_(device.logicalDpiY()) {}

PrintDocument::PrintDocument(QPainter& painter, int dotsPerInch, QString footer)
    : footer_(std::move(footer)), mm_(dotsPerInch), painter_(&painter), ownPainter_(false) {
    if (const QPaintDevice* device = painter.device(); device && device->logicalDpiY() > 0)
        fontScale_ = double(dotsPerInch) / device->logicalDpiY();
}

PrintDocument::~PrintDocument() {
    if (!ownPainter_) return;
    if (painter_ && painter_->isActive()) painter_->end();
    delete painter_;
}

QString PrintDocument::Begin() {
    EnsurePrintFont();
    if (mm_.DotsPerMm() <= 0)
        return QStringLiteral("プリンタの解像度 (%1 dpi) では印刷できません。").arg(mm_.DotsPerInch());
    if (ownPainter_) {
        painter_ = new QPainter;
        if (!painter_->begin(device_)) return QStringLiteral("%1 に印刷を始められません。").arg(destination_);
    } else if (!painter_->isActive()) {
        return QStringLiteral("画像に描けません。");
    }
    pages_ = 1;
    ClearBrush();
    font_ = QFont(PrintFontFamily());
    font_.setStyleHint(QFont::Monospace);
    SetFontSize(kFrameFontPoints);
    return {};
}

bool PrintDocument::End() {
    if (!painter_ || !painter_->isActive()) return false;
    if (!ownPainter_) return !failed_;
    return painter_->end() && !failed_;
}

QPainter& PrintDocument::Painter() { return *painter_; }

void PrintDocument::ClearBrush() {
    QPen pen(Qt::black);
    pen.setWidth(kFramePenDots);
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
    painter_->setBackgroundMode(Qt::TransparentMode);
}

void PrintDocument::SetFontSize(int points) {
    if (fontScale_ == 1)
        font_.setPointSize(points);
    else
        font_.setPointSizeF(points * fontScale_);
    painter_->setFont(font_);
}

void PrintDocument::Text(int xMm, int yMm, const QString& text) {
    if (text.isEmpty()) return;
    const int ascent = painter_->fontMetrics().ascent();
    painter_->drawText(QPoint(mm_[xMm], mm_[yMm] + ascent), text);
}

void PrintDocument::Text(int xMm, int yMm, const QString& text, int points) {
    SetFontSize(points);
    Text(xMm, yMm, text);
}

void PrintDocument::Line(int x1Mm, int y1Mm, int x2Mm, int y2Mm) {
    painter_->drawLine(QPoint(mm_[x1Mm], mm_[y1Mm]), QPoint(mm_[x2Mm], mm_[y2Mm]));
}

void PrintDocument::PrintFooter() {
    painter_->setBrush(Qt::white);
    painter_->setBackground(Qt::white);
    painter_->setBackgroundMode(Qt::OpaqueMode);
    font_.setBold(false);
    font_.setItalic(false);
    if (!conventionsLine_.isEmpty()) Text(kConventions.x, kConventions.y, conventionsLine_, kConventions.points);
    Text(kFooter.x, kFooter.y, footer_, kFooter.points);
}

void PrintDocument::MarkPage() {
    if (!pageMark_ || markedPage_ == pages_) return;
    markedPage_ = pages_;
    pageMark_(*this, pages_);
}

void PrintDocument::Mark(int xMm, int yMm, const QString& text, int points) {
    painter_->save();
    QFont font = font_;
    font.setBold(false);
    font.setItalic(false);
    if (fontScale_ == 1)
        font.setPointSize(points);
    else
        font.setPointSizeF(points * fontScale_);
    painter_->setFont(font);
    painter_->setPen(Qt::black);
    painter_->setBackgroundMode(Qt::TransparentMode);
    painter_->drawText(QPoint(mm_[xMm], mm_[yMm] + painter_->fontMetrics().ascent()), text);
    painter_->restore();
}

bool PrintDocument::NewPage() {
    MarkPage();
    if (!device_ || !device_->newPage()) {
        failed_ = true;
        return false;
    }
    ++pages_;
    return true;
}

void PrintDocument::PrintPictureAt(int x, int y, int width, int height, const QImage& picture) {
    painter_->drawImage(QRect(x, y, width, height), picture);
}

void Listing::Line(const QString& text) {
    BreakIfFull();
    doc_.Text(kListing.x, kListing.firstLineY + kListing.lineStep * n_, text, kListing.points);
    ++n_;
    BreakIfFull();
}

void Listing::Lines(const QStringList& lines) {
    for (const QString& line : lines) Line(line);
}

void Listing::Skip(int k) {
    n_ += k;
    BreakIfFull();
}

void Listing::BreakPage() {
    doc_.PrintFooter();
    doc_.NewPage();
    n_ = 0;
}

void Listing::BreakIfFull() {
    if (n_ >= kLinesPerPage) BreakPage();
}

}  // namespace zelvara
