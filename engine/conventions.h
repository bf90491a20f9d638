// The conventions a chart is cast by, where the schools of the art differ:
// which month places the palaces, where the year begins, which day a birth
// between 23:00 and 24:00 belongs to, the meridian of the lunar calendar, the
// 四化 table and the time correction. A default-made Conventions is the
// program's own rule set (the profile 標準): a chart cast by it is the chart
// the program always cast.
#pragma once

#include "engine/solar_time.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvara {

// The month that places the life palace, the body palace and the stars that
// go by the birth month (左輔, 右弼, 駅馬, 天姚, 天刑).
enum class PalaceMonth {
    kSolarTerm,   // the solar-term month (節月) of the month pillar; the body palace by the lunar month
    kLunar,       // the lunar month; a leap month counts as the month it follows
    kLunarNext,   // the lunar month; a leap month counts as the month after it
    kLunarSplit,  // the lunar month; a leap month's days 1–15 as the month it follows, 16– as the next
};

// Where the year of the year pillar (and so the year's 四化, the bureau and the
// year-driven stars) begins.
enum class YearStart { kRisshun, kLunarNewYear };

// The day of a birth between 23:00 and 24:00 (known only from an exact time):
// the civil day it happened on, the next day (day pillar, hour stem and lunar
// date of the next day), or the next day's pillar and lunar day in the lunar
// month of the birth day (a birth late on a lunar month's last day keeps its
// month).
enum class LateHourDay { kSameDay, kNextDay, kNextDayKeepMonth };

// The meridian the lunar calendar is reckoned at: Japan's 135°E or China's 120°E.
enum class LunarMeridian { kJapan, kChina };

// The 四化 of the stems on which schools differ, each named by the star that
// takes 化科 (for 庚 the 化忌 follows from it).
enum class WuTransform { kTaiyo, kUbitsu };  // 戊: 科 太陽 | 右弼
enum class GengTransform { kTenpu, kTaiin, kTendo };  // 庚: 科 天府・忌 天同 | 科 太陰・忌 天同 | 科 天同・忌 太陰
enum class RenTransform { kTenpu, kSaho };  // 壬: 科 天府 | 左輔

struct TransformTable {
    WuTransform wu = WuTransform::kTaiyo;
    GengTransform geng = GengTransform::kTenpu;
    RenTransform ren = RenTransform::kTenpu;
    bool operator==(const TransformTable&) const = default;
};

struct Conventions {
    PalaceMonth palaceMonth = PalaceMonth::kSolarTerm;
    YearStart yearStart = YearStart::kRisshun;
    LateHourDay lateHour = LateHourDay::kSameDay;
    LunarMeridian meridian = LunarMeridian::kJapan;
    TransformTable transforms;
    TimeCorrection correction = TimeCorrection::kNone;
    bool operator==(const Conventions&) const = default;
    bool IsStandard() const { return *this == Conventions{}; }
};

// The name of the built-in profile, which cannot be changed.
inline constexpr std::string_view kStandardProfileName = "標準";

// A named set of conventions, as the settings keep it.
struct ConventionProfile {
    std::string name{kStandardProfileName};
    Conventions conventions{};
};

// The star a stem turns into 禄 (1), 権 (2), 科 (3) or 忌 (4) by a table: a
// graded star 1..20 in star, or an additional star 1..13 in minor (左輔 4,
// 右弼 5) when the table puts the transformation there; zeros outside the
// ranges.
struct TransformCarrier {
    int star = 0;
    int minor = 0;
};
TransformCarrier TransformCarrierOf(int stem, int transform, const TransformTable& table);

// --- Words -------------------------------------------------------------------
// Each switch has a key and one word per value, which the command line's
// options and the settings file's profile lines use:
//   palace-month  solar-term | lunar | lunar-next | lunar-split
//   year-start    risshun | lunar-new-year
//   late-hour     same-day | next-day | next-day-keep-month
//   meridian      135 | 120
//   transform-wu  taiyo | ubitsu        transform-geng  tenpu | taiin | tendo
//   transform-ren tenpu | saho          correction      none | mean | true
struct ConventionSwitch {
    std::string_view key;
    std::vector<std::string_view> words;  // the first is the standard one
};
const std::vector<ConventionSwitch>& ConventionSwitches();

// Sets one switch by its key and word; false (conventions unchanged) for an
// unknown key or a word the switch does not have.
bool SetConvention(Conventions& c, std::string_view key, std::string_view word);

// The word of a switch's current value ("" for an unknown key).
std::string_view ConventionWord(const Conventions& c, std::string_view key);

// "palace-month=lunar-split;year-start=lunar-new-year" — the switches that
// differ from the standard ones, in the order above ("" for the standard set).
std::string ConventionsText(const Conventions& c);

// Reads ConventionsText's form (separators ';' or ','; blanks around items are
// dropped; "" is the standard set). nullopt with the offending item in
// badItem when an item is not key=word of a known switch.
std::optional<Conventions> ParseConventionsText(std::string_view text, std::string* badItem = nullptr);

// One value of a switch as the line names it: 「命宮 旧暦月（閏月は翌月）」,
// 「四化 戊科右弼」 ("" for an unknown key or word).
std::string ConventionValueText(std::string_view key, std::string_view word);

// The one compact line the chart page and the prints show:
// 「標準：命宮 節月・年 立春・23時 当日・旧暦 135°E・四化 戊科太陽 庚科天府 壬科天府・補正 なし」.
std::string ConventionsLine(std::string_view profileName, const Conventions& c);

}  // namespace zelvara
