// What the chart display shows, as data: the luck-period sequence, the star
// slots of each box with their captions and grades, the box-text table and the
// palace strengths. Screen, prints, exports and the command line share it.
#pragma once

#include "engine/zelvara.h"

#include <array>
#include <string>

namespace zelvara {

constexpr int kBoxSlots = 6;

struct StarSlot {
    enum class Kind { Empty, Star, Minor };
    Kind kind = Kind::Empty;
    int number = 0;                 // star 1..20 or additional star 1..13
    int brightness = 0;             // 1..4 for a star, 0 otherwise
    std::string caption;            // 紫薇, 太陽(忌), 天存 …
    std::string_view Mark() const;  // "(廟)" … for a star, "" otherwise
};

struct ChartLayout {
    // by branch 1..12, slot 1..6. Every slot starts empty through StarSlot's
    // own initialisers; written without "{}" because clang 14 (Debian 12)
    // crashes compiling the value-initialised form.
    std::array<std::array<StarSlot, kBoxSlots + 1>, kBranches + 1> box;
    // by branch 1..12: stars of the twenty that found no slot (never seen in
    // real charts; kept so nothing is lost silently)
    std::array<int, kBranches + 1> overflow{};
    // by palace 1..12, slot 1..6: the caption of that slot in the palace's box
    std::array<std::array<std::string, kBoxSlots + 1>, kPalaces + 1> boxText{};
    // by branch 1..12: start age of the luck period of that box, −1 if none
    std::array<int, kBranches + 1> ageOfBranch{};
};

// Fills luckAge, luckPalace and luckBranch of the record.
void LayOutLuckPeriods(Tmandata& man);

// The twelve boxes of a placed chart (call LayOutLuckPeriods first for ages).
ChartLayout LayOutChart(const Tmandata& man);

// The slot (1..6) of a box where one of the twenty stars stands, 0 when it
// is not in that box's slots.
int BoxSlotOfStar(const ChartLayout& layout, int branch, int star);

// The branch of the star a transformation falls on (a graded star, or an
// additional star the 四化 table puts it on), 0 when it is not placed.
int CarrierBranch(const Tmandata& man, const TransformCarrier& carrier);

// The slot (1..6) of its box where that star is shown, 0 when it is not in
// the box's slots.
int BoxSlotOfCarrier(const ChartLayout& layout, const Tmandata& man, const TransformCarrier& carrier);

// Star caption with its transformation mark: 太陽(忌).
std::string StarCaption(const Tmandata& man, int star);
// Additional star caption, with the mark of a transformation a 四化 table
// other than the standard one puts on it: 右弼(科).
std::string MinorCaption(const Tmandata& man, int minor);

// Names the ruler of every ten-year period into daiunStarName: the main star
// of the period's palace, else the first additional star standing there, else
// "空白" (every cast does).
void NameLuckRulers(Tmandata& man);
// The tab captions [1..12] of a cast chart, such as "3-12才(紫薇星)".
std::array<std::string, 13> LuckPeriodCaptions(const Tmandata& man);
// Both, for a record laid out by hand.
std::array<std::string, 13> NameLuckPeriods(Tmandata& man);

// Strength of palaces 1..12 by the weight tables.
std::array<int, kPalaces + 1> PalaceStrengths(const Tmandata& man);

}  // namespace zelvara
