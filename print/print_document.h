// One print document on one printer: the whole-dot millimetre grid, the
// common frame every printout shares (hourglass, pen, font, clear brush), the
// page footer, pictures, and the line grid of the text listings.
#pragma once

#include "engine/conventions.h"

#include <QFont>
#include <QString>

#include <array>
#include <functional>

class QImage;
class QPagedPaintDevice;
class QPainter;

namespace zelvara {

// The print font; mapped to IPAGothic, whose half-width characters take
// exactly half a full-width one, as the layouts assume.
QString PrintFontFamily();
// Makes sure "ＭＳ ゴシック" finds IPAGothic (the program does it at start-up;
// the command line and tests come here without it).
void EnsurePrintFont();

// The whole number nearest to dots per inch / 25.4: 600 dpi → 24, 300 → 12.
int DotsPerMillimetre(int dotsPerInch);

// Millimetres 1..285 in printer dots, on the whole-dot grid.
class MillimetreTable {
public:
    static constexpr int kMillimetres = 285;
    explicit MillimetreTable(int dotsPerInch = 600);
    int DotsPerInch() const { return dpi_; }
    int DotsPerMm() const { return dpm_; }
    // Entry i = i × dots per millimetre; 0 for 0, and the same rule beyond
    // the table for positions computed past its end.
    int operator[](int mm) const { return mm >= 0 && mm <= kMillimetres ? table_[mm] : mm * dpm_; }

private:
    int dpi_;
    int dpm_;
    std::array<int, kMillimetres + 1> table_{};
};

// The conventions line the prints of a chart cast by profile carry
// (ConventionsLine); empty for 標準, whose prints stay as they always were.
QString PrintedConventionsLine(const ConventionProfile& profile);

// "(著作)" + title + "     TEL " + tel.
QString FooterLine(const QString& title, const QString& tel);

// Keeps the hourglass up while it lives; every path out restores the cursor.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool set_ = false;
};

// A document being drawn on a printer or a PDF file. Begin() starts it with
// the common frame; positions are millimetres from the top-left of the
// printable area, a text position is the top-left corner of the text.
class PrintDocument {
public:
    // destination names the printer or file in messages ("PDFファイル …").
    PrintDocument(QPagedPaintDevice& device, QString footer, QString destination);
    // A page drawn through a painter the caller holds active on any device
    // (a picture, a screen): positions are laid out at dotsPerInch, which the
    // painter's transform maps onto the device, and the fonts grow or shrink
    // by the device's own resolution so that they keep their size on the
    // page. One page only: NewPage() fails.
    PrintDocument(QPainter& painter, int dotsPerInch, QString footer);
    ~PrintDocument();
    PrintDocument(const PrintDocument&) = delete;
    PrintDocument& operator=(const PrintDocument&) = delete;

    // Empty on success, else why the document could not be started.
    QString Begin();
    // Ends the document; false when the device reported a failure. A PDF
    // file's own write errors show only when it is committed.
    bool End();

    const MillimetreTable& Mm() const { return mm_; }
    QPainter& Painter();

    // Pen 2 dots, clear brush, no text background: the frame's drawing state.
    void ClearBrush();
    void SetFontSize(int points);
    void Text(int xMm, int yMm, const QString& text);
    void Text(int xMm, int yMm, const QString& text, int points);
    void Line(int x1Mm, int y1Mm, int x2Mm, int y2Mm);
    // The footer at (60, 276), 10 point on white; the white stays on. The
    // conventions line, when one is set, stands above it at (20, 272), 8 point.
    void PrintFooter();
    // The line naming the conventions a chart was cast by (ConventionsLine),
    // printed with every footer; empty (the default) for the standard ones.
    void SetConventionsLine(const QString& line) { conventionsLine_ = line; }
    bool NewPage();
    // The picture stretched into the rectangle, all in printer dots.
    void PrintPictureAt(int x, int y, int width, int height, const QImage& picture);

    int Pages() const { return pages_; }

    // Drawn on every page as it ends (NewPage, MarkPage): mark(doc, page).
    // None by default.
    using PageMark = std::function<void(PrintDocument&, int page)>;
    void SetPageMark(PageMark mark) { pageMark_ = std::move(mark); }
    // The mark of the current page now (the last page, before End()).
    void MarkPage();
    // Text for a page mark: drawn without changing the document's font or
    // drawing state.
    void Mark(int xMm, int yMm, const QString& text, int points);

private:
    QPagedPaintDevice* device_ = nullptr;  // none for a page drawn through the caller's painter
    QString footer_;
    QString conventionsLine_;
    QString destination_;
    MillimetreTable mm_;
    QPainter* painter_ = nullptr;
    bool ownPainter_ = true;
    double fontScale_ = 1;  // layout resolution / the device's resolution, for the caller's painter
    QFont font_;
    int pages_ = 0;
    bool failed_ = false;
    PageMark pageMark_;
    int markedPage_ = 0;
};

// The line grid of the text listings: 10 point at 20 mm, line n of a page at
// 30 + 5n mm, 46 lines a page; after the 46th line the footer is drawn and a
// new page begins.
class Listing {
public:
    static constexpr int kLinesPerPage = 46;
    explicit Listing(PrintDocument& doc) : doc_(doc) {}

    void Line(const QString& text);
    void Lines(const QStringList& lines);
    // Leaves k lines empty; a skip past the end of a page turns the page.
    void Skip(int k);
    int Next() const { return n_; }
    // The footer and a new page now, counting again from line 0.
    void BreakPage();

private:
    void BreakIfFull();
    PrintDocument& doc_;
    int n_ = 0;
};

}  // namespace zelvara
