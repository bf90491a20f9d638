#include "main/layer_entries.h"

#include "common/qstring_utf8.h"

#include <algorithm>

namespace zelvara {

int YearOfCountedAge(const Tmandata& man, int age) { return man.birthYear + age - 1; }

int CountedAgeIn(const Tmandata& man, int year) { return year - man.birthYear + 1; }

QString DecadeEntryText(const Tmandata& man, int period) {
    if (period < 1 || period > 12 || man.luckAge[period] <= 0) return {};
    const int from = man.luckAge[period];
    const int to = from + 9;
    return QStringLiteral("%1  %2〜%3才（%4〜%5）")
        .arg(period)
        .arg(from)
        .arg(to)
        .arg(YearOfCountedAge(man, from))
        .arg(YearOfCountedAge(man, to));
}

QString YearEntryText(const Tmandata& man, int year) {
    return QStringLiteral("%1 %2%3（%4才）")
        .arg(year)
        .arg(Q(kStemNames[YearStemOf(year)]), Q(kBranchNames[YearBranchOf(year)]))
        .arg(CountedAgeIn(man, year));
}

QString MonthEntryText(int year, int lunarMonth, bool leap) {
    return QStringLiteral("旧暦 %1年%2%3月").arg(year).arg(leap ? QStringLiteral("閏") : QString()).arg(lunarMonth);
}

std::vector<LayerEntry> LayerEntries(const Tmandata& man, LayerKind kind, const std::vector<LeapMonth>& leaps) {
    std::vector<LayerEntry> entries;
    if (man.birthYear < 1) return entries;
    const int lastYear = std::min(kLastChartYear, YearOfCountedAge(man, kLayerAgeSpan));
    switch (kind) {
        case LayerKind::Decade:
            for (int n = 1; n <= 12; ++n)
                if (const QString text = DecadeEntryText(man, n); !text.isEmpty())
                    entries.push_back({{LayerKind::Decade, n, 0, 0, {}, 0}, text});
            break;
        case LayerKind::Year:
            for (int y = man.birthYear; y <= lastYear; ++y)
                entries.push_back({{LayerKind::Year, 0, y, 0, {}, 0}, YearEntryText(man, y)});
            break;
        case LayerKind::Month:
            entries.reserve(size_t(lastYear - man.birthYear + 1) * 12);
            for (int y = man.birthYear; y <= lastYear; ++y)
                for (int m = 1; m <= 12; ++m) {
                    entries.push_back({{LayerKind::Month, 0, y, m, {}, 0}, MonthEntryText(y, m)});
                    if (std::find(leaps.begin(), leaps.end(), LeapMonth{y, m}) != leaps.end())
                        entries.push_back({{LayerKind::Month, 0, y, m, {}, 0, true}, MonthEntryText(y, m, true)});
                }
            break;
        case LayerKind::Day:  // the day and hour layers have no list on the page
        case LayerKind::Hour:
        case LayerKind::Birth: break;
    }
    return entries;
}

int EntryIndexOf(const std::vector<LayerEntry>& entries, const LayerChoice& choice) {
    for (size_t i = 0; i < entries.size(); ++i) {
        const LayerChoice& c = entries[i].choice;
        if (c.kind == choice.kind && c.period == choice.period && c.year == choice.year && c.month == choice.month &&
            c.leapMonth == choice.leapMonth)
            return int(i);
    }
    return -1;
}

}  // namespace zelvara
