// Whether the chart page offers 「境界注意」 after a cast: zelv.ini
// [conventions] boundaryWarnings=1. Off unless a reader turned it on, so that
// the chart page stays as it always was.
#pragma once

#include "store/settings_file.h"

namespace zelvara {

inline const QString kBoundaryWarningsSection = QStringLiteral("conventions");
inline const QString kBoundaryWarningsKey = QStringLiteral("boundaryWarnings");

inline bool LoadBoundaryWarnings(const SettingsFile& settings) {
    return settings.Read(kBoundaryWarningsSection, kBoundaryWarningsKey, QStringLiteral("0")) == QLatin1String("1");
}

}  // namespace zelvara
