// Pictures and sounds the program ships, drawn and synthesised here.
#pragma once

#include <QString>

namespace media {

// hubo.bmp … fukutoku.bmp, 40 × 40: the palace's first character on a seal
// in its group's colour.
bool WritePalaceBitmaps(const QString& folder);
// title.png, 640 × 480 (the splash window lays "Version3.1" over it).
bool WriteSplashPicture(const QString& folder);
// sound1.wav … sound6.wav, short chimes, 22050 Hz mono 16 bit.
bool WriteChimes(const QString& folder);

}  // namespace media
