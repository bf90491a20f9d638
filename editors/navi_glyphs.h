// The stored glyphs of the navigator buttons, shipped as resources named
// DB_FIRST … DB_REFRESH.
#pragma once

#include "editors/navi_types.h"

#include <QPixmap>

namespace zelvara {

// The stored picture whose name (without extension) equals name, ignoring
// case; a null pixmap when there is none.
QPixmap FindStoredGlyph(const QString& name);

// The stored glyph of a kind, looked up as "db_" + its kind word.
QPixmap StoredGlyph(TNavigateBtn kind);

}  // namespace zelvara
