#include "reading_names.h"

#include "zelvara.h"

namespace zelvara {
namespace {

constexpr const char* kPalaceFullNames[kPalaces + 1] = {
    "", "父母宮", "命宮", "兄弟宮", "夫妻宮", "子女宮", "財帛宮",
    "疾厄宮", "遷移宮", "奴僕宮", "官禄宮", "田宅宮", "福徳宮"};

// Palace p and the palace across from it: p + 6, wrapped into 1..12.
int Across(int palace) { return (palace + 5) % 12 + 1; }

QString FromView(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

QString PalaceName(int palace)
{
    return palace >= 1 && palace <= kPalaces ? QString::fromUtf8(kPalaceFullNames[palace]) : QString();
}

QStringList PalaceNames()
{
    QStringList names;
    for (int p = 1; p <= kPalaces; ++p)
        names << PalaceName(p);
    return names;
}

bool IsMarkedStarName(const QString& text)
{
    return text.contains(QLatin1Char('(')) && text.contains(QLatin1Char(')'));
}

int StarNumberOf(const QString& shortName)
{
    for (int s = 1; s <= kStars; ++s)
        if (shortName == FromView(kStarShortNames[s]))
            return s;
    return 0;
}

QString OppositePalace(const QString& palaceName)
{
    for (int p = 1; p <= kPalaces; ++p)
        if (palaceName == PalaceName(p))
            return PalaceName(Across(p));
    return {};
}

QString LongNameOf(const QString& shortName)
{
    if (shortName == QStringLiteral("炎星") || shortName == QStringLiteral("鈴星"))
        return shortName;
    return shortName + QStringLiteral("星");
}

}  // namespace zelvara
