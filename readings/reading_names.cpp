#include "readings/reading_names.h"

#include "common/qstring_utf8.h"
#include "engine/zelvara.h"

namespace zelvara {
namespace {

// Palace p and the palace across from it: p + 6, wrapped into 1..12.
int Across(int palace) { return (palace + 5) % 12 + 1; }

}  // namespace

QString PalaceName(int palace) { return Q(PalaceFullName(palace)); }

QStringList PalaceNames() {
    QStringList names;
    for (int p = 1; p <= kPalaces; ++p) names << PalaceName(p);
    return names;
}

bool IsMarkedStarName(const QString& text) {
    return text.contains(QLatin1Char('(')) && text.contains(QLatin1Char(')'));
}

int StarNumberOf(const QString& shortName) {
    for (int s = 1; s <= kStars; ++s)
        if (shortName == Q(kStarShortNames[s])) return s;
    return 0;
}

QString OppositePalace(const QString& palaceName) {
    for (int p = 1; p <= kPalaces; ++p)
        if (palaceName == PalaceName(p)) return PalaceName(Across(p));
    return {};
}

QString LongNameOf(const QString& shortName) {
    if (shortName == QStringLiteral("炎星") || shortName == QStringLiteral("鈴星")) return shortName;
    return shortName + QStringLiteral("星");
}

}  // namespace zelvara
