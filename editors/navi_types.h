// The enumerations of the captioned navigator and the fixed texts of its ten
// buttons, indexed by button kind.
#pragma once

#include <QString>

namespace zelvara {

// Where the glyph stands against the caption on every button; the value is
// handed to the buttons unchanged (0 glyph left, 1 right, 2 above, 3 below).
enum TCaptionLayout { cbLeft, cbRight, cbTop, cbBottom };

enum TNaviBorders { nbNone, nbFrame, nbTopBottom, nbLeftRight };

// The ten buttons, left to right.
enum TNavigateBtn { nbFirst, nbPrior, nbNext, nbLast, nbInsert, nbDelete, nbEdit, nbPost, nbCancel, nbRefresh };
constexpr int kNaviButtonCount = 10;

// "&First" … "&Refresh".
QString DefaultCaption(TNavigateBtn kind);
// The button's component name: the default caption without its "&".
QString ButtonName(TNavigateBtn kind);
// "FIRST" … "REFRESH", the word the stored glyph is named after.
QString KindWord(TNavigateBtn kind);

}  // namespace zelvara
