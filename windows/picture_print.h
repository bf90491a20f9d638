// Printouts of the picture windows: the star-matrix page and an
// organisation picture on a page. Positions are whole
// millimetres on the printer's whole-dot grid, from the top-left corner of
// the printable area; a text position is the top-left corner of the text.
#pragma once

#include <QImage>
#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace zelvara {

// The whole number nearest to the printer's dots per millimetre (600 dpi → 24).
int DotsPerMm(int dotsPerInch);

// "(著作)" + title + "     TEL " + tel: the footer of every printed page.
QString FooterText(const QString& title, const QString& tel);

// Title, axis texts, 3 × 3 grid and star names, then the footer.
bool PrintStarMatrix(QPagedPaintDevice& device, const QString& footer);

// The picture as large as (20, 30)–(180, 150) mm holds it at its own aspect
// ratio, centred across, from the top; no footer.
bool PrintOrganisationPicture(QPagedPaintDevice& device, const QImage& picture);

// Draws one document on the printer or PDF file it is handed; false when
// that failed.
using PageDrawer = std::function<bool(QPagedPaintDevice& device)>;
// Finds the printer for a print command and draws on it. The program hands
// the windows one that goes through its print module (the printer the
// printer setup chose, else a PDF file written safely); tests hand one that
// prints to a file.
using PrintRunner = std::function<void(QWidget* parent, const QString& document, const PageDrawer& draw)>;
// The default printer alone, for a window the program has not handed its
// print module: with no printer installed, or a drawing that fails, a
// message box says so. PDF files are the print module's to write.
void PrintOnDefaultPrinter(QWidget* parent, const QString& document, const PageDrawer& draw);

}  // namespace zelvara
