// Palace stems, flying transformations and the time layers laid over a birth
// chart: the ten-year period (大限), the year (流年), the month (流月), the
// day (流日) and the two-hour period (流時). Pure functions of a cast chart
// record (and, for a day or an hour, of that day's calendar facts); nothing
// here changes the record.
#pragma once

#include "engine/context.h"
#include "engine/conventions.h"
#include "engine/zelvara.h"

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

// The short name of the star a transformation falls on: a graded star's
// (太陽) or an additional star's (右弼); "" for neither.
std::string_view CarrierShortName(const TransformCarrier& carrier);

// The palace where the star a transformation falls on stands; 0 when it is
// not placed.
int CarrierPalace(const Tmandata& man, const TransformCarrier& carrier);

// Where each palace's stem sends its four transformations, by the chart's
// 四化 table.
struct FlyingTransforms {
    std::array<int, kPalaces + 1> palaceStem{};  // by palace number
    // carrier[p][t]: the star of transformation t of palace p's stem.
    std::array<std::array<TransformCarrier, kTransforms + 1>, kPalaces + 1> carrier{};
    // target[p][t]: palace where that star stands; 0 when it is not placed.
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

// The stem of an hour for a day stem (五鼠遁): the 子 hour of 甲・己 days is
// 甲子, of 乙・庚 days 丙子, of 丙・辛 days 戊子, of 丁・壬 days 庚子, of
// 戊・癸 days 壬子; the later hours run on. 0 outside the ranges.
int HourStem(int dayStem, int hourBranch);

// The branch (1..12) of the two-hour period holding a clock hour 0..23:
// 23 and 0 are 子, 1 and 2 丑, … 21 and 22 亥. 0 outside 0..23.
int HourBranchOfClock(int clockHour);

// What the calendar says of one civil day: its lunar date and day pillar.
struct CalendarDay {
    CivilDate date;
    int lunarYear = 0;   // the western year in which its lunar year began
    int lunarMonth = 0;  // 1..12; a leap month has the number it repeats
    bool leapMonth = false;
    int lunarDay = 0;  // 1..30
    int dayStem = 0, dayBranch = 0;
};

enum class LayerKind { Birth, Decade, Year, Month, Day, Hour };

// One time layer over a birth chart.
struct TimeLayer {
    LayerKind kind = LayerKind::Birth;
    int period = 0;          // decade: 1..12
    int year = 0;            // year, month, day and hour layers: the western year (of the lunar year for
                             // a month, day or hour)
    int month = 0;           // month, day and hour layers: lunar month 1..12
    int day = 0;             // day and hour layers: lunar day 1..30
    bool leapMonth = false;  // month, day and hour layers: the lunar month is a leap month
    CivilDate date{};        // day and hour layers: the civil day
    int ageFrom = 0;         // decade: the counted ages it covers
    int ageTo = 0;
    int stem = 0;        // the stem that gives the layer its transformations
    int branch = 0;      // decade: its palace's branch; year, month, day, hour: the pillar's
    int lifePalace = 0;  // birth palace number on which the layer's 命 stands
    // The stars of 禄 権 科 忌 by the chart's 四化 table: a graded star in
    // transformStar, or an additional star in transformMinor (then
    // transformStar is 0), as the birth record keeps them.
    std::array<int, kTransforms + 1> transformStar{};
    std::array<int, kTransforms + 1> transformMinor{};
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

// The day layer: its 命 is counted on from the palace of the day's lunar month
// (the 流月 palace is the 1st's) by the lunar day; a leap month counts as the
// month it repeats. The transformations come from the day stem.
std::optional<TimeLayer> DayLayer(const Tmandata& man, const CalendarDay& day);

// The hour layer: its 命 is counted on from the day layer's palace (子 there)
// to the hour's branch; the transformations come from the hour stem (五鼠遁
// from the day stem).
std::optional<TimeLayer> HourLayer(const Tmandata& man, const CalendarDay& day, int hourBranch);

// What a reader picks: the kind with its period, year, month, day or hour.
struct LayerChoice {
    LayerKind kind = LayerKind::Birth;
    int period = 0;          // decade 1..12
    int year = 0;            // year and month layers
    int month = 0;           // month layer, lunar month 1..12
    CivilDate date{};        // day and hour layers: the civil day
    int clockHour = 0;       // hour layer: 0..23
    bool leapMonth = false;  // month layer: the leap month that repeats `month`
};

// "birth", "decade:N", "year:YYYY", "month:YYYY-MM", "day:YYYY-MM-DD" or
// "hour:YYYY-MM-DD:HH" (the command line's form); nullopt for anything else,
// a period or month outside 1..12, a day the calendar does not have or does
// not cover (1921-01-06 … 2100-12-31), an hour outside 0..23.
std::optional<LayerChoice> ParseLayerChoice(std::string_view text);

// The layer a choice picks on a chart; a leap month is laid as the month it
// repeats (its palaces, its stem) and named as the leap month. nullopt when
// it cannot be laid (no
// chart, luck periods not laid out, a value out of range, a day or hour
// without its calendar day, or with the calendar day of another date).
std::optional<TimeLayer> LayerOf(const Tmandata& man, const LayerChoice& choice,
                                 const std::optional<CalendarDay>& day = std::nullopt);

// A layer palace's two-character name: 限命, 年財, 月父, 日命, 時兄 … ("" for
// the birth layer).
std::string LayerPalaceName(LayerKind kind, int layerPalace);

// The layer's four transformations and where their stars stand:
// 化禄 太陰→官禄　化権 天同→夫妻　化科 天機→福徳　化忌 巨門→遷移.
std::string LayerTransformsText(const Tmandata& man, const TimeLayer& layer);

// The layer's caption for a title line: 大限3（23〜32才）, 流年2027（丁未）,
// 流月2027年3月（甲辰）, 流日2027年4月15日（旧暦3月9日、甲子）, 流時2027年4月15日巳時（己巳）;
// "" for the birth layer.
std::string LayerCaption(const TimeLayer& layer);

}  // namespace zelvara
