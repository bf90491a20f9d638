// Printouts of the picture windows: the star-matrix page and an
// organisation picture stretched onto a page. Positions are whole
// millimetres on the printer's whole-dot grid, from the top-left corner of
// the printable area; a text position is the top-left corner of the text.
#pragma once

#include <QImage>
#include <QPrinter>
#include <QString>

#include <functional>

class QWidget;

namespace zelvara {

// The whole number nearest to the printer's dots per millimetre (600 dpi → 24).
int DotsPerMm(int dotsPerInch);

// "(著作)" + title + "     TEL " + tel: the footer of every printed page.
QString FooterText(const QString& title, const QString& tel);

// Title, axis texts, 3 × 3 grid and star names, then the footer.
bool PrintStarMatrix(QPrinter& printer, const QString& footer);

// The picture stretched into (20, 30)–(180, 150) mm; no footer.
bool PrintOrganisationPicture(QPrinter& printer, const QImage& picture);

// Draws one document on the printer it is handed; false when that failed.
using PageDrawer = std::function<bool(QPrinter& printer)>;
// Finds the printer for a print command and draws on it. The program hands
// the windows one that uses its print module's printer (the one the printer
// setup chose); tests hand one that prints to a file.
using PrintRunner = std::function<void(QWidget* parent, const QString& document, const PageDrawer& draw)>;
// The default printer, or, when no printer is installed, a PDF file that the
// user names (nothing is drawn when the user cancels); a failed drawing is
// said in a message box.
void PrintOnDefaultPrinter(QWidget* parent, const QString& document, const PageDrawer& draw);

}  // namespace zelvara
