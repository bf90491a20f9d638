// Palace stems, flying transformations and the time layers laid over a birth
// chart: the ten-year period (大限), the year (流年) and the month (流月).
// Pure functions of a cast chart record; nothing here changes the record.
#pragma once

#include "zelvara.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvara {

constexpr int kStemCycle = 10;

// Brings any value into 1..10.
constexpr int WrapStem(int s) { return ((s - 1) % kStemCycle + kStemCycle) % kStemCycle + 1; }

// The stem of the 寅 palace for a year stem (五虎遁): 甲・己 丙, 乙・庚 戊,
// 丙・辛 庚, 丁・壬 壬, 戊・癸 甲. 0 outside 1..10.
int TigerStem(int yearStem);

// The stem of the palace standing on a branch: from 寅 the stems run on with
// the branches 寅, 卯, … 丑. 0 outside the ranges.
int BranchStem(int yearStem, int branch);

// Stem and branch of a western year's sexagenary year (the one that begins at
// 立春 of that year): 1984 is 甲子.
int YearStemOf(int year);
int YearBranchOf(int year);

// The western year whose sexagenary year holds a civil date: the year turns
// at 立春, February's term entry on day febTermDay. 0 for a month outside 1..12.
int FlowYearOf(int year, int month, int day, int febTermDay);

// The one-character mark of a transformation: 禄 権 科 忌 ("" outside 1..4).
std::string_view TransformChar(int transform);

// The palace number (1..12) standing on a branch, 0 when none does.
int PalaceOnBranch(const Tmandata& man, int branch);

// The palace opposite a palace (six branches away).
int OppositePalace(const Tmandata& man, int palace);

// Where each palace's stem sends its four transformations.
struct FlyingTransforms {
    std::array<int, kPalaces + 1> palaceStem{};  // by palace number
    // target[p][t]: palace where the star of transformation t of palace p's
    // stem stands; 0 when that star is not placed.
    std::array<std::array<int, kTransforms + 1>, kPalaces + 1> target{};
    // A clash of 忌: the 忌 of palace `from` lands in `to` and so strikes
    // `clashed`, the palace opposite `to`.
    struct JiClash {
        int from = 0, to = 0, clashed = 0;
    };
    std::vector<JiClash> jiClashes;  // one per palace, by palace number

    // 自化: the star of transformation t stands in the palace whose stem
    // transforms it.
    bool SelfTransform(int palace, int transform) const {
        return target[palace][transform] != 0 && target[palace][transform] == palace;
    }
};

// Palace stems from the chart's year stem (the one changing at 立春) and the
// flying transformations of every palace. Empty (all zero) for a record whose
// year stem or palaces are not set.
FlyingTransforms FlyTransforms(const Tmandata& man);

enum class LayerKind { Birth, Decade, Year, Month };

// One time layer over a birth chart.
struct TimeLayer {
    LayerKind kind = LayerKind::Birth;
    int period = 0;       // decade: 1..12
    int year = 0;         // year and month layers: the western year
    int month = 0;        // month layer: lunar month 1..12
    int ageFrom = 0;      // decade: the counted ages it covers
    int ageTo = 0;
    int stem = 0;         // the stem that gives the layer its transformations
    int branch = 0;       // decade: its palace's branch; year: the year's; month: the month's
    int lifePalace = 0;   // birth palace number on which the layer's 命 stands
    std::array<int, kTransforms + 1> transformStar{};  // stars of 禄 権 科 忌
    // layerPalace[p]: the layer's palace number standing on birth palace p.
    std::array<int, kPalaces + 1> layerPalace{};
};

// The layer of the whole chart: the birth chart itself (no overlay).
TimeLayer BirthLayer(const Tmandata& man);

// The ten-year period n (1..12) of the luck sequence; its palace is the
// period's palace and its transformations come from that palace's stem.
// Empty when n is out of range or the luck periods are not laid out.
std::optional<TimeLayer> DecadeLayer(const Tmandata& man, int n);

// The year layer: its 命 is the palace on the year's branch, its
// transformations come from the year's stem.
std::optional<TimeLayer> YearLayer(const Tmandata& man, int year);

// The month layer by the 斗君 rule: from the year layer's palace count back
// to the birth lunar month, then on to the birth hour; that palace is the
// first month's, the months follow in branch order. The transformations come
// from the month's stem (五虎遁 from the year's stem, 寅 month first).
std::optional<TimeLayer> MonthLayer(const Tmandata& man, int year, int lunarMonth);

// The branch of the 斗君 (the first month's palace) for a year.
int DoukunBranch(const Tmandata& man, int year);

// What a reader picks: the kind with its period, year or month.
struct LayerChoice {
    LayerKind kind = LayerKind::Birth;
    int period = 0;  // decade 1..12
    int year = 0;    // year and month layers
    int month = 0;   // month layer, lunar month 1..12
};

// "birth", "decade:N", "year:YYYY" or "month:YYYY-MM" (the command line's
// form); nullopt for anything else, a period outside 1..12 or a month
// outside 1..12.
std::optional<LayerChoice> ParseLayerChoice(std::string_view text);

// The layer a choice picks on a chart; nullopt when it cannot be laid (no
// chart, luck periods not laid out, a value out of range).
std::optional<TimeLayer> LayerOf(const Tmandata& man, const LayerChoice& choice);

// A layer palace's two-character name: 限命, 年財, 月父 … ("" for the birth layer).
std::string LayerPalaceName(LayerKind kind, int layerPalace);

// The layer's four transformations and where their stars stand:
// 化禄 太陰→官禄　化権 天同→夫妻　化科 天機→福徳　化忌 巨門→遷移.
std::string LayerTransformsText(const Tmandata& man, const TimeLayer& layer);

// The layer's caption for a title line: 大限3（23〜32才）, 流年2027（丁未）,
// 流月2027年3月（甲辰）; "" for the birth layer.
std::string LayerCaption(const TimeLayer& layer);

}  // namespace zelvara
