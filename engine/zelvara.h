// Zelvara chart engine: numberings, name tables and the chart records.
// Plain C++ with the standard library only; no globals (constant tables aside).
#pragma once

#include "engine/conventions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

namespace zelvara {

// --- Numberings --------------------------------------------------------------
// All chart numbers are 1-based; 0 means "none". Arrays keep index 0 unused so
// that code and tables read the same.
constexpr int kStems = 10;       // 1..10 甲..癸
constexpr int kBranches = 12;    // 1..12 子..亥
constexpr int kHours = 12;       // hour index 0..11 (branch = index + 1)
constexpr int kPalaces = 12;     // 1..12 父母..福徳
constexpr int kStars = 20;       // 1..20 graded stars
constexpr int kMajorStars = 14;  // 1..14 major stars
constexpr int kMinorStars = 13;  // 1..13 additional stars
constexpr int kTransforms = 4;   // 1..4 禄 権 科 忌
constexpr int kBureaus = 5;      // 1..5 木 火 土 金 水
constexpr int kLifePalace = 2;   // 命宮
constexpr int kFirstCalendarYear = 1921;
constexpr int kLastChartYear = 2100;  // a chart also reads the year after; the data end with 2101

// Name tables. Entry 0 of stems and branches is two blanks; entry 0 of star
// tables is empty.
extern const std::array<std::string_view, kStems + 1> kStemNames;
extern const std::array<std::string_view, kBranches + 1> kBranchNames;
extern const std::array<std::string_view, kHours> kHourPeriodTexts;  // by hour index
// The hour choice of a birth whose hour is not known: every hour is cast.
inline constexpr std::string_view kUnknownHourText = "不明の場合";
extern const std::array<std::string_view, kPalaces + 1> kPalaceNames;   // 父母 …
extern const std::array<std::string_view, kStars + 1> kStarShortNames;  // 紫薇 …
extern const std::array<std::string_view, kStars + 1> kStarLongNames;   // 紫薇星 …
extern const std::array<std::string_view, kStars + 1> kStarKeywordLines;
extern const std::array<std::string_view, kStars + 1> kStarPartnerLines;
extern const std::array<std::string_view, kStars> kStarPictureFiles;  // by star − 1
extern const std::array<std::string_view, kMinorStars + 1> kMinorShortNames;
extern const std::array<std::string_view, kMinorStars + 1> kMinorLongNames;
extern const std::array<std::string_view, kTransforms + 1> kTransformMarks;  // "(禄)" …
extern const std::array<std::string_view, kTransforms + 1> kTransformNames;  // "化禄" …
extern const std::array<std::string_view, 5> kBrightnessNames;               // "", 廟 旺 失 陥
extern const std::array<std::string_view, 5> kBrightnessMarks;               // "", "(廟)" …
extern const std::array<std::string_view, kBureaus> kBureauNames;            // by bureau − 1

// "父母宮" … "福徳宮" for palaces 1..12: the palace name with 宮, except 命宮,
// which already ends in it; empty for anything else.
std::string PalaceFullName(int palace);

// 甲/己 = 1, 乙/庚 = 2, 丙/辛 = 3, 丁/壬 = 4, 戊/癸 = 5; anything else 0.
int StemPairGroup(int stem);

// --- Chart record ------------------------------------------------------------
class Ttenkan {  // stem set
public:
    std::int32_t year = 0, month = 0, day = 0, hour = 0;
};

class Tchisi {  // branch set
public:
    std::int32_t year = 0, month = 0, day = 0, hour = 0;
};

class Tmandata {
public:
    std::string name;
    std::string birthText;
    char sexCode = 'M';
    std::int32_t age = 0;  // counted age (数え年); 0 for a birth after today: no age is shown
    std::int32_t birthYear = 0, birthMonth = 0, birthDay = 0;
    std::int32_t lunarMonth = 0, lunarDay = 0;
    std::int32_t hourIndex = 0;
    Ttenkan stems;
    Tchisi branches;
    std::int32_t luckDirection = 0;  // 0 順行運, −1 逆行運
    std::int32_t daysToTerm = 0;
    std::int32_t firstLuckAge = 0;
    std::int32_t bodyPalace = 0;
    std::array<std::int32_t, kPalaces + 1> mainStar{};
    std::array<std::int32_t, kPalaces + 1> palaceBranch{};
    std::int32_t bureau = 0;
    std::array<std::int32_t, kStars + 1> starBranch{};
    std::array<std::int32_t, kMinorStars + 1> minorBranch{};
    std::array<std::int32_t, kTransforms + 1> transformStar{};
    // The additional star (左輔 4, 右弼 5) of a transformation the 四化 table
    // puts on one (transformStar is then 0); zeros by the standard table.
    std::array<std::int32_t, kTransforms + 1> transformMinor{};
    // The 四化 table the chart was cast by: the time layers and the palaces'
    // flights transform by it too.
    TransformTable transforms{};
    std::array<std::int32_t, kStars + 1> brightness{};
    std::array<std::int32_t, 13> luckBranch{};
    std::array<std::int32_t, 13> luckAge{};
    std::array<std::int32_t, 13> luckPalace{};
    std::array<std::int32_t, kPalaces + 1> luckRulingStar{};
    std::array<std::string, 13> daiunStarName;

    // First step of every cast: clears what the cast recomputes; sex, lunar
    // date, pillars, bureau, main stars and luck fields are left for the later
    // steps to overwrite.
    void Reset();
};

// --- Calendar store ----------------------------------------------------------
struct MonthInfo {
    std::int32_t stem = 0, branch = 0, termDay = 0, termHour = 0, monthDays = 0;
};

struct FirstDayInfo {
    std::int32_t stem = 0, branch = 0, lunarMonth = 0, lunarDay = 0;
    std::int32_t lunarMonthDays = 0, nextLunarMonthDays = 0;
};

// What one calendar data file holds (fields 1–4 of a year slot).
struct CalendarYear {
    std::string eraName;
    std::int32_t eraYear = 0;
    std::int32_t yearStem = 0, yearBranch = 0;
    std::array<MonthInfo, 14> monthInfo{};        // [1..13], 13 stays zero
    std::array<FirstDayInfo, 14> firstDayInfo{};  // [1..13], 13 stays zero
};

// A short text kept inline (no allocation): the per-day texts of a month are
// rewritten on every chart cast.
class ShortText {
public:
    static constexpr size_t kCapacity = 23;  // "999999999/999999999" fits
    ShortText() = default;
    ShortText(std::string_view s) { assign(s); }
    void assign(std::string_view s) {
        size_ = static_cast<std::uint8_t>(std::min(s.size(), kCapacity));
        std::memcpy(data_, s.data(), size_);
    }
    std::string_view view() const { return {data_, size_}; }
    operator std::string_view() const { return view(); }
    std::string str() const { return std::string(view()); }
    bool empty() const { return size_ == 0; }
    friend bool operator==(const ShortText& a, std::string_view b) { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& os, const ShortText& t) { return os << t.view(); }

private:
    char data_[kCapacity]{};
    std::uint8_t size_ = 0;
};

struct YearSlot : CalendarYear {
    // Scratch of the lunar-date expansion for the month last asked for.
    std::array<ShortText, 32> lunarText;      // [1..31] "3/15"
    std::array<ShortText, 32> dayPillarText;  // [1..31] "甲子"
};

class Treki {
public:
    std::array<YearSlot, 4> slot;  // [1..3]: year before, birth year, year after
};

class Ttimedt {
public:
    // hourPillar[hourIndex 0..11][stem pair group 1..5]
    std::array<std::array<std::string, 6>, kHours> hourPillar;
};

}  // namespace zelvara
