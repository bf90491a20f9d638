// How a window that draws its own page gets it printed: the window hands a
// drawing to a print runner, which finds the printer (or PDF file) for it.
#pragma once

#include <QString>

#include <functional>

class QPagedPaintDevice;
class QWidget;

namespace zelvara {

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
