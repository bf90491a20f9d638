// The star-matrix diagram in millimetres on the printed page: title, axis
// texts, the 3 × 3 grid and the fourteen major stars. The printout uses it as
// it stands; the picture in the window is drawn from it, scaled.
#pragma once

#include <array>

namespace zelvara::matrix {

struct Text {
    const char* text;  // UTF-8
    int x, y;          // top-left corner, mm from the top-left of the page
    int points;
};

// Title, then the axis texts (printed in the title's size).
inline constexpr Text kTitle{"【Zelvaraの主な星のマトリックス図】", 20, 15, 15};
inline constexpr std::array<Text, 8> kAxisTexts{{
    {"天（精神世界）↑", 70, 50, 15},
    {"地（現実世界）↓", 70, 187, 15},
    {"左", 25, 100, 15},
    {"脳", 25, 110, 15},
    {"←", 25, 120, 15},
    {"右", 165, 100, 15},
    {"脳", 165, 110, 15},
    {"→", 165, 120, 15},
}};

// Grid: lines at these positions, each running the full extent of the other.
inline constexpr std::array<int, 4> kGridX{37, 77, 117, 157};
inline constexpr std::array<int, 4> kGridY{60, 100, 140, 180};
inline constexpr int kCellMm = 40;

inline constexpr std::array<Text, 14> kStars{{
    {"天機星", 50, 70, 14},
    {"紫薇星", 90, 70, 14},
    {"天同星", 90, 80, 14},
    {"天府星", 130, 70, 14},
    {"太陰星", 130, 80, 14},
    {"天相星", 50, 110, 14},
    {"太陽星", 90, 110, 14},
    {"七殺星", 90, 120, 14},
    {"武曲星", 130, 110, 14},
    {"天梁星", 130, 120, 14},
    {"巨門星", 50, 150, 14},
    {"廉貞星", 50, 160, 14},
    {"破軍星", 90, 160, 14},
    {"貪狼星", 130, 160, 14},
}};

// Pen width of the printed frame and grid, in printer dots.
inline constexpr int kPrintPenDots = 7;

// The window's picture: 649 × 585 pixels, kPixelsPerMm pixels to the
// millimetre, the page point (kOriginXmm, kOriginYmm) at pixel (0, 0).
inline constexpr int kPictureWidth = 649;
inline constexpr int kPictureHeight = 585;
inline constexpr double kPixelsPerMm = 3.1;
inline constexpr double kOriginXmm = 97.0 - kPictureWidth / 2.0 / kPixelsPerMm;
inline constexpr double kOriginYmm = 103.5 - kPictureHeight / 2.0 / kPixelsPerMm;

}  // namespace zelvara::matrix
