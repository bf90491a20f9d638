// The pictures of the legends viewer and the picture windows, drawn here and
// committed under data/ (zelvara-pictures DATA_FOLDER).
#pragma once

#include <QImage>
#include <QString>

namespace pictures {

// bmp/zelvsei.bmp … bmp/hagun.bmp: a card per major star, 480 × 720 (24-bit,
// over 300 pixels per inch of the printed 40 × 60 mm).
bool WriteStarPictures(const QString& dataFolder);
// matorix.png: the star-matrix diagram, 649 × 585.
bool WriteMatrixPicture(const QString& dataFolder);
// bmp/inkoku.bmp, bmp/syukoku.bmp: the people of the two camps of the legend.
bool WriteOrganisationPictures(const QString& dataFolder);

// Saves a picture as a BMP with a 256-colour palette (pictures of flat colours
// and text stay sharp and the files small).
bool SaveBmp(const QImage& image, const QString& path);

}  // namespace pictures
