// The entries of the layer picker on the chart page, named by age and year:
// 大限 「3  30〜39才（2024〜2033）」, 流年 「2027 丁未（43才）」, 流月 「旧暦 2027年3月」 (「旧暦 2023年閏2月」).
// Ages are counted as the chart counts them (数え年): 1 in the civil year of
// birth, one more on every 1 January.
#pragma once

#include "engine/calendar_day.h"
#include "engine/time_layers.h"

#include <QString>

#include <vector>

namespace zelvara {

// The oldest counted age the picker offers a 流年 or 流月 for.
constexpr int kLayerAgeSpan = 120;

struct LayerEntry {
    LayerChoice choice;
    QString text;
};

// The western year in which the person reaches counted age `age`, and the
// person's counted age in a western year.
int YearOfCountedAge(const Tmandata& man, int age);
int CountedAgeIn(const Tmandata& man, int year);

// One entry's text; empty for a period whose luck ages are not laid out.
QString DecadeEntryText(const Tmandata& man, int period);
QString YearEntryText(const Tmandata& man, int year);
QString MonthEntryText(int year, int lunarMonth, bool leap = false);

// Every entry of a kind, in time order: the twelve periods; the years from
// the birth year to counted age kLayerAgeSpan (while the calendar lasts);
// the twelve lunar months of each of those years, a leap month (from
// `leaps`) after the month it repeats. Empty for the birth layer and for a
// record without a birth year.
std::vector<LayerEntry> LayerEntries(const Tmandata& man, LayerKind kind, const std::vector<LeapMonth>& leaps = {});

// The entry that stands for a choice (its period, year or year and month, leap or not);
// -1 when none does.
int EntryIndexOf(const std::vector<LayerEntry>& entries, const LayerChoice& choice);

}  // namespace zelvara
