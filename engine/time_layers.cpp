#include "engine/time_layers.h"

#include "engine/chart_layout.h"
#include "engine/conversion.h"
#include "engine/palaces.h"
#include "engine/solar_time.h"
#include "engine/stars.h"

namespace zelvara {
namespace {

constexpr int kTiger = 3;  // 寅

// The first character of each palace name: 父 命 兄 夫 子 財 疾 遷 奴 官 田 福.
std::string_view PalaceInitial(int palace) {
    const std::string_view name = kPalaceNames[palace];
    return name.substr(0, 3);  // one UTF-8 kanji
}

std::string_view LayerPrefix(LayerKind kind) {
    switch (kind) {
        case LayerKind::Decade: return "限";
        case LayerKind::Year: return "年";
        case LayerKind::Month: return "月";
        case LayerKind::Day: return "日";
        case LayerKind::Hour: return "時";
        case LayerKind::Birth: break;
    }
    return "";
}

bool ChartIsPlaced(const Tmandata& man) {
    if (man.stems.year < 1 || man.stems.year > kStems) return false;
    for (int p = 1; p <= kPalaces; ++p)
        if (man.palaceBranch[p] < 1 || man.palaceBranch[p] > kBranches) return false;
    return true;
}

// Fills the layer's palaces and transformations from its 命 branch and stem.
TimeLayer LayerOn(const Tmandata& man, LayerKind kind, int lifeBranch, int stem) {
    TimeLayer layer;
    layer.kind = kind;
    layer.stem = stem;
    layer.lifePalace = PalaceOnBranch(man, lifeBranch);
    for (int t = 1; t <= kTransforms; ++t) {
        const TransformCarrier carrier = TransformCarrierOf(stem, t, man.transforms);
        layer.transformStar[t] = carrier.star;
        layer.transformMinor[t] = carrier.minor;
    }
    // Layer palace i stands on lifeBranch − i + 2, as the birth palaces do.
    for (int p = 1; p <= kPalaces; ++p) layer.layerPalace[p] = WrapBranch(lifeBranch - man.palaceBranch[p] + 2);
    return layer;
}

// 2027年4月15日
std::string CivilDayText(const CivilDate& date) {
    return std::to_string(date.year) + "年" + std::to_string(date.month) + "月" + std::to_string(date.day) + "日";
}

}  // namespace

int TigerStem(int yearStem) {
    // 甲 → 丙, 乙 → 戊, 丙 → 庚, 丁 → 壬, 戊 → 甲, and again from 己.
    if (yearStem < 1 || yearStem > kStems) return 0;
    return WrapStem(2 * yearStem + 1);
}

int BranchStem(int yearStem, int branch) {
    const int tiger = TigerStem(yearStem);
    if (tiger == 0 || branch < 1 || branch > kBranches) return 0;
    const int stepsFromTiger = WrapBranch(branch - kTiger + 1) - 1;  // 寅 0 … 丑 11
    return WrapStem(tiger + stepsFromTiger);
}

int HourStem(int dayStem, int hourBranch) {
    if (dayStem < 1 || dayStem > kStems || hourBranch < 1 || hourBranch > kBranches) return 0;
    // 甲 → 甲子, 乙 → 丙子, 丙 → 戊子, 丁 → 庚子, 戊 → 壬子, and again from 己.
    return WrapStem(2 * dayStem - 1 + hourBranch - 1);
}

int HourBranchOfClock(int clockHour) {
    if (clockHour < 0 || clockHour > 23) return 0;
    return HourIndexOfMinute(clockHour * 60) + 1;
}

int YearStemOf(int year) { return WrapStem(year - 3); }
int YearBranchOf(int year) { return WrapBranch(year - 3); }

int FlowYearOf(int year, int month, int day, int febTermDay) {
    if (month < 1 || month > 12) return 0;
    const bool beforeSpring = month == 1 || (month == 2 && day < febTermDay);
    return beforeSpring ? year - 1 : year;
}

std::string_view TransformChar(int transform) {
    if (transform < 1 || transform > kTransforms) return {};
    return kTransformNames[transform].substr(3);  // after 化, one UTF-8 kanji
}

int PalaceOnBranch(const Tmandata& man, int branch) {
    for (int p = 1; p <= kPalaces; ++p)
        if (man.palaceBranch[p] == branch) return p;
    return 0;
}

int OppositePalace(const Tmandata& man, int palace) {
    if (palace < 1 || palace > kPalaces) return 0;
    return PalaceOnBranch(man, WrapBranch(man.palaceBranch[palace] + 6));
}

std::string_view CarrierShortName(const TransformCarrier& carrier) {
    if (carrier.star >= 1 && carrier.star <= kStars) return kStarShortNames[carrier.star];
    if (carrier.minor >= 1 && carrier.minor <= kMinorStars) return kMinorShortNames[carrier.minor];
    return {};
}

int CarrierPalace(const Tmandata& man, const TransformCarrier& carrier) {
    const int branch = CarrierBranch(man, carrier);
    return branch == 0 ? 0 : PalaceOnBranch(man, branch);
}

FlyingTransforms FlyTransforms(const Tmandata& man) {
    FlyingTransforms flying;
    if (!ChartIsPlaced(man)) return flying;
    for (int p = 1; p <= kPalaces; ++p) {
        const int stem = BranchStem(man.stems.year, man.palaceBranch[p]);
        flying.palaceStem[p] = stem;
        for (int t = 1; t <= kTransforms; ++t) {
            flying.carrier[p][t] = TransformCarrierOf(stem, t, man.transforms);
            flying.target[p][t] = CarrierPalace(man, flying.carrier[p][t]);
        }
        const int jiTarget = flying.target[p][4];
        if (jiTarget != 0) flying.jiClashes.push_back({p, jiTarget, OppositePalace(man, jiTarget)});
    }
    return flying;
}

TimeLayer BirthLayer(const Tmandata& man) {
    TimeLayer layer;
    layer.stem = man.stems.year;
    layer.branch = man.branches.year;
    layer.lifePalace = kLifePalace;
    layer.transformStar = man.transformStar;
    layer.transformMinor = man.transformMinor;
    return layer;
}

std::optional<TimeLayer> DecadeLayer(const Tmandata& man, int n) {
    if (n < 1 || n > 12 || !ChartIsPlaced(man)) return std::nullopt;
    const int palace = man.luckPalace[n];
    if (palace < 1 || palace > kPalaces) return std::nullopt;
    const int branch = man.palaceBranch[palace];
    TimeLayer layer = LayerOn(man, LayerKind::Decade, branch, BranchStem(man.stems.year, branch));
    layer.period = n;
    layer.branch = branch;
    layer.ageFrom = man.luckAge[n];
    layer.ageTo = man.luckAge[n] + 9;
    return layer;
}

std::optional<TimeLayer> YearLayer(const Tmandata& man, int year) {
    if (year < 1 || !ChartIsPlaced(man)) return std::nullopt;
    const int branch = YearBranchOf(year);
    TimeLayer layer = LayerOn(man, LayerKind::Year, branch, YearStemOf(year));
    layer.year = year;
    layer.branch = branch;
    return layer;
}

int DoukunBranch(const Tmandata& man, int year) {
    if (man.lunarMonth < 1 || man.lunarMonth > 12 || man.branches.hour < 1 || man.branches.hour > kBranches) return 0;
    // Back from the year's palace to the birth month (the year's palace counts
    // as the first month), then on to the birth hour (that palace counts as 子).
    return WrapBranch(YearBranchOf(year) - (man.lunarMonth - 1) + (man.branches.hour - 1));
}

namespace {

// The branch of the month layer's 命: month M stands M − 1 branches on from
// the 斗君. 0 when the chart or the month does not allow it.
int MonthLifeBranch(const Tmandata& man, int year, int lunarMonth) {
    if (year < 1 || lunarMonth < 1 || lunarMonth > 12 || !ChartIsPlaced(man)) return 0;
    const int doukun = DoukunBranch(man, year);
    return doukun == 0 ? 0 : WrapBranch(doukun + lunarMonth - 1);
}

// The branch of the day layer's 命: the 1st of the lunar month stands on the
// month's palace, each later day one branch on.
int DayLifeBranch(const Tmandata& man, const CalendarDay& day) {
    if (day.lunarDay < 1 || day.lunarDay > 30 || day.dayStem < 1 || day.dayStem > kStems) return 0;
    const int month = MonthLifeBranch(man, day.lunarYear, day.lunarMonth);
    return month == 0 ? 0 : WrapBranch(month + day.lunarDay - 1);
}

void SetDay(TimeLayer& layer, const CalendarDay& day) {
    layer.year = day.lunarYear;
    layer.month = day.lunarMonth;
    layer.day = day.lunarDay;
    layer.leapMonth = day.leapMonth;
    layer.date = day.date;
}

}  // namespace

std::optional<TimeLayer> MonthLayer(const Tmandata& man, int year, int lunarMonth) {
    const int lifeBranch = MonthLifeBranch(man, year, lunarMonth);
    if (lifeBranch == 0) return std::nullopt;
    const int monthStem = WrapStem(TigerStem(YearStemOf(year)) + lunarMonth - 1);
    TimeLayer layer = LayerOn(man, LayerKind::Month, lifeBranch, monthStem);
    layer.year = year;
    layer.month = lunarMonth;
    layer.branch = WrapBranch(kTiger + lunarMonth - 1);
    return layer;
}

std::optional<TimeLayer> DayLayer(const Tmandata& man, const CalendarDay& day) {
    const int lifeBranch = DayLifeBranch(man, day);
    if (lifeBranch == 0) return std::nullopt;
    TimeLayer layer = LayerOn(man, LayerKind::Day, lifeBranch, day.dayStem);
    SetDay(layer, day);
    layer.branch = day.dayBranch;
    return layer;
}

std::optional<TimeLayer> HourLayer(const Tmandata& man, const CalendarDay& day, int hourBranch) {
    const int dayBranch = DayLifeBranch(man, day);
    if (dayBranch == 0 || hourBranch < 1 || hourBranch > kBranches) return std::nullopt;
    // The day's palace is the 子 hour's.
    TimeLayer layer =
        LayerOn(man, LayerKind::Hour, WrapBranch(dayBranch + hourBranch - 1), HourStem(day.dayStem, hourBranch));
    SetDay(layer, day);
    layer.branch = hourBranch;
    return layer;
}

namespace {

// A whole decimal number of at most digits digits, nothing else.
std::optional<int> WholeNumber(std::string_view text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "YYYY-MM-DD" (month and day of one or two digits) as a civil day the
// calendar covers.
std::optional<CivilDate> CoveredDate(std::string_view text) {
    const size_t dash1 = text.find('-');
    const size_t dash2 = dash1 == std::string_view::npos ? dash1 : text.find('-', dash1 + 1);
    if (dash2 == std::string_view::npos) return std::nullopt;
    const auto y = WholeNumber(text.substr(0, dash1), 4);
    const auto m = WholeNumber(text.substr(dash1 + 1, dash2 - dash1 - 1), 2);
    const auto d = WholeNumber(text.substr(dash2 + 1), 2);
    if (!y || !m || !d || *d < 1 || *d > DaysInCivilMonth(*y, *m) || InRange(*y, *m, *d) < 0) return std::nullopt;
    return CivilDate{*y, *m, *d};
}

}  // namespace

std::optional<LayerChoice> ParseLayerChoice(std::string_view text) {
    LayerChoice choice;
    if (text == "birth") return choice;
    const size_t colon = text.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    const std::string_view kind = text.substr(0, colon);
    const std::string_view value = text.substr(colon + 1);
    if (kind == "decade") {
        const auto n = WholeNumber(value, 2);
        if (!n || *n < 1 || *n > 12) return std::nullopt;
        choice.kind = LayerKind::Decade;
        choice.period = *n;
        return choice;
    }
    if (kind == "year") {
        const auto y = WholeNumber(value, 4);
        if (!y || *y < 1) return std::nullopt;
        choice.kind = LayerKind::Year;
        choice.year = *y;
        return choice;
    }
    if (kind == "month") {
        const size_t dash = value.find('-');
        if (dash == std::string_view::npos) return std::nullopt;
        const auto y = WholeNumber(value.substr(0, dash), 4);
        const auto m = WholeNumber(value.substr(dash + 1), 2);
        if (!y || !m || *y < 1 || *m < 1 || *m > 12) return std::nullopt;
        choice.kind = LayerKind::Month;
        choice.year = *y;
        choice.month = *m;
        return choice;
    }
    if (kind == "day") {
        const auto date = CoveredDate(value);
        if (!date) return std::nullopt;
        choice.kind = LayerKind::Day;
        choice.date = *date;
        return choice;
    }
    if (kind == "hour") {
        const size_t colon2 = value.rfind(':');
        if (colon2 == std::string_view::npos) return std::nullopt;
        const auto date = CoveredDate(value.substr(0, colon2));
        const auto hour = WholeNumber(value.substr(colon2 + 1), 2);
        if (!date || !hour || *hour > 23) return std::nullopt;
        choice.kind = LayerKind::Hour;
        choice.date = *date;
        choice.clockHour = *hour;
        return choice;
    }
    return std::nullopt;
}

std::optional<TimeLayer> LayerOf(const Tmandata& man, const LayerChoice& choice,
                                 const std::optional<CalendarDay>& day) {
    const bool dayGiven = day && day->date.year == choice.date.year && day->date.month == choice.date.month &&
                          day->date.day == choice.date.day;
    switch (choice.kind) {
        case LayerKind::Birth: return BirthLayer(man);
        case LayerKind::Decade: return DecadeLayer(man, choice.period);
        case LayerKind::Year: return YearLayer(man, choice.year);
        case LayerKind::Month: {
            std::optional<TimeLayer> month = MonthLayer(man, choice.year, choice.month);
            if (month) month->leapMonth = choice.leapMonth;
            return month;
        }
        case LayerKind::Day: return dayGiven ? DayLayer(man, *day) : std::nullopt;
        case LayerKind::Hour:
            return dayGiven ? HourLayer(man, *day, HourBranchOfClock(choice.clockHour)) : std::nullopt;
    }
    return std::nullopt;
}

std::string LayerPalaceName(LayerKind kind, int layerPalace) {
    if (kind == LayerKind::Birth || layerPalace < 1 || layerPalace > kPalaces) return {};
    return std::string(LayerPrefix(kind)) + std::string(PalaceInitial(layerPalace));
}

std::string LayerTransformsText(const Tmandata& man, const TimeLayer& layer) {
    std::string text;
    for (int t = 1; t <= kTransforms; ++t) {
        const TransformCarrier carrier{layer.transformStar[t], layer.transformMinor[t]};
        const std::string_view name = CarrierShortName(carrier);
        if (name.empty()) continue;
        const int palace = CarrierPalace(man, carrier);
        if (!text.empty()) text += "　";
        text += std::string(kTransformNames[t]) + " " + std::string(name) + "→" +
                (palace != 0 ? std::string(kPalaceNames[palace]) : std::string("－"));
    }
    return text;
}

std::string LayerCaption(const TimeLayer& layer) {
    switch (layer.kind) {
        case LayerKind::Decade:
            return "大限" + std::to_string(layer.period) + "（" + std::to_string(layer.ageFrom) + "〜" +
                   std::to_string(layer.ageTo) + "才）";
        case LayerKind::Year:
            return "流年" + std::to_string(layer.year) + "（" + PillarText(layer.stem, layer.branch) + "）";
        case LayerKind::Month:
            return "流月" + std::to_string(layer.year) + "年" + (layer.leapMonth ? "閏" : "") +
                   std::to_string(layer.month) + "月（" + PillarText(layer.stem, layer.branch) + "）";
        case LayerKind::Day:
            return "流日" + CivilDayText(layer.date) + "（旧暦" + (layer.leapMonth ? "閏" : "") +
                   std::to_string(layer.month) + "月" + std::to_string(layer.day) + "日、" +
                   PillarText(layer.stem, layer.branch) + "）";
        case LayerKind::Hour:
            return "流時" + CivilDayText(layer.date) + std::string(kBranchNames[layer.branch]) + "時（" +
                   PillarText(layer.stem, layer.branch) + "）";
        case LayerKind::Birth: break;
    }
    return {};
}

}  // namespace zelvara
