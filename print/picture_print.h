// Printouts of the picture windows: the star-matrix page and an organisation
// picture on a page, drawn in the common print frame (whole millimetres on
// the printer's whole-dot grid, from the top-left corner of the printable
// area; a text position is the top-left corner of the text).
#pragma once

#include <QImage>
#include <QString>

class QPagedPaintDevice;

namespace zelvara {

// Title, axis texts, 3 × 3 grid and star names, then the footer; false when
// the page could not be drawn.
bool PrintStarMatrix(QPagedPaintDevice& device, const QString& footer);

// The picture as large as the picture area holds it at its own aspect ratio,
// centred across, from the top; no footer.
bool PrintOrganisationPicture(QPagedPaintDevice& device, const QImage& picture);

}  // namespace zelvara
