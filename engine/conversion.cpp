#include "engine/conversion.h"

#include "engine/time_layers.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <tuple>

namespace zelvara {
namespace {

// Whole text as a non-negative decimal number; false for anything else.
bool ParseDigits(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return true;
}

int NextStem(int s) { return s % 10 + 1; }
int NextBranch(int b) { return b % 12 + 1; }

// Every cast expands a whole month of lunar and pillar texts; the texts come
// from tables made once (constant after that) instead of being formatted anew.
const ShortText& CachedPillarText(int stem, int branch) {
    static const auto table = [] {
        std::array<std::array<ShortText, kBranches + 1>, kStems + 1> t;
        for (int s = 0; s <= kStems; ++s)
            for (int b = 0; b <= kBranches; ++b) t[s][b].assign(PillarText(s, b));
        return t;
    }();
    return table[stem >= 0 && stem <= kStems ? stem : 0][branch >= 0 && branch <= kBranches ? branch : 0];
}

ShortText LunarDateText(int month, int day) {
    static const auto table = [] {
        std::array<std::array<ShortText, 32>, 13> t;
        for (int m = 0; m <= 12; ++m)
            for (int d = 0; d <= 31; ++d) t[m][d].assign(std::to_string(m) + "/" + std::to_string(d));
        return t;
    }();
    if (month >= 0 && month <= 12 && day >= 0 && day <= 31) return table[month][day];
    return ShortText(std::to_string(month) + "/" + std::to_string(day));
}

}  // namespace

std::string_view StemName(int n) { return n >= 0 && n <= kStems ? kStemNames[n] : kStemNames[0]; }

std::string_view BranchName(int n) { return n >= 0 && n <= kBranches ? kBranchNames[n] : kBranchNames[0]; }

std::string PillarText(int stem, int branch) {
    std::string text(StemName(stem));
    text += BranchName(branch);
    return text;
}

int StemNumber(std::string_view name) {
    for (int i = 1; i <= kStems; ++i)
        if (kStemNames[i] == name) return i;
    return 0;
}

int BranchNumber(std::string_view name) {
    for (int i = 1; i <= kBranches; ++i)
        if (kBranchNames[i] == name) return i;
    return 0;
}

int DaysInCivilMonth(int year, int month) {
    if (month < 1 || month > 12) return 0;
    return int(unsigned((std::chrono::year{year} / std::chrono::month{unsigned(month)} / std::chrono::last).day()));
}

std::optional<CivilDate> CheckBirthDate(EngineContext& ctx, int year, std::string_view monthText,
                                        std::string_view dayText) {
    int month = 0;
    if (!ParseDigits(monthText, month) || month < 1 || month > 12) {
        ctx.Message("月を １月 から１２月 の形式で入力して下さい", "月のデータ異常");
        return std::nullopt;
    }
    int day = 0;
    if (!ParseDigits(dayText, day) || day < 1 || day > 31) {
        ctx.Message("日を １日 から３１日 の形式で入力して下さい", "日のデータ異常");
        return std::nullopt;
    }
    // A day the month does not have (30 February) cannot be converted.
    if (day > DaysInCivilMonth(year, month)) {
        ctx.Message(std::to_string(year) + "年" + std::to_string(month) + "月には" + std::to_string(day) +
                        "日がありません。日付を確かめて下さい。",
                    "日のデータ異常");
        return std::nullopt;
    }
    return CivilDate{year, month, day};
}

bool CheckBirthDate(EngineContext& ctx, std::string_view text) {
    const size_t slash1 = text.find('/');
    const size_t slash2 = slash1 == std::string_view::npos ? slash1 : text.find('/', slash1 + 1);
    int year = 0;
    // The year is the four digits in front of the first "/".
    if (slash2 == std::string_view::npos || slash1 != 4 || !ParseDigits(text.substr(0, 4), year)) {
        ctx.Message("生年月日を 1959年 5月 7日 の形式で入力して下さい", "入力不足");
        return false;
    }
    const auto date = CheckBirthDate(ctx, year, text.substr(slash1 + 1, slash2 - slash1 - 1), text.substr(slash2 + 1));
    if (!date) return false;
    Tmandata& man = ctx.man;
    man.birthYear = date->year;
    man.birthMonth = date->month;
    man.birthDay = date->day;
    man.age = CountedAge(*date, ctx.Today());
    return true;
}

int CountedAge(const CivilDate& birth, const CivilDate& today) {
    const bool bornAfterToday =
        std::tie(birth.year, birth.month, birth.day) > std::tie(today.year, today.month, today.day);
    return bornAfterToday ? 0 : today.year - birth.year + 1;
}

int InRange(int year, int month, int day) {
    const long long date = static_cast<long long>(year) * 10000 + month * 100 + day;
    return date < 19210106 || date > kLastChartYear * 10000LL + 1231 ? -1 : 0;
}

std::string YearOutOfRangeMessage(long long year) {
    const std::string range = "（鑑定できるのは " + std::string(kCoveredRangeText) + " に生まれた方です）";
    if (year < kFirstCalendarYear)
        return "万年暦が１９２１年より小さい年には対応していませんので診断できません。" + range;
    return "万年暦が２１００年より大きい年には対応していませんので診断できません。" + range;
}

void BuildHourPillarTable(EngineContext& ctx) {
    auto& table = ctx.timedt.hourPillar;
    if (!table[kHours - 1][5].empty()) return;  // filled once; its contents never change
    for (int g = 1; g <= 5; ++g)
        for (int h = 0; h < kHours; ++h) table[h][g] = PillarText(HourStem(g, h + 1), h + 1);  // stem g is of group g
}

namespace {

// Whether a birth on civil day d of month m (slot k) lies before the month's term entry.
bool BeforeTerm(const YearSlot& s, int m, int d, int hourIndex) {
    const MonthInfo& mi = s.monthInfo[m];
    if (d == mi.termDay) return mi.termHour >= hourIndex + 1;
    return mi.termDay > d;
}

// The day after a civil day and the slot that holds it (New Year's Eve moves
// to January of the year after, slot 3).
struct SlotDay {
    int slot = 2, month = 0, day = 0;
};
SlotDay NextSlotDay(const Treki& reki, int month, int day) {
    if (day < reki.slot[2].monthInfo[month].monthDays) return {2, month, day + 1};
    return month < 12 ? SlotDay{2, month + 1, 1} : SlotDay{3, 1, 1};
}

// The lunar month that places the palaces: a leap month as the month it
// follows, as the next one, or split at its 15th day.
int PalaceLunarMonth(PalaceMonth rule, int lunarMonth, int lunarDay, bool leap) {
    const bool next = leap && (rule == PalaceMonth::kLunarNext || (rule == PalaceMonth::kLunarSplit && lunarDay > 15));
    return next ? lunarMonth % 12 + 1 : lunarMonth;
}

}  // namespace

bool InLeapMonth(const Treki& reki, int slot, const CivilDate& date, const LunarDate& lunar) {
    using namespace std::chrono;
    const year_month_day before{sys_days{year{date.year} / month{unsigned(date.month)} / day{unsigned(date.day)}} -
                                days{lunar.day}};
    const int beforeSlot = slot - (date.year - int(before.year()));
    if (beforeSlot < 1 || int(before.year()) < kFirstCalendarYear) return false;
    const LunarDate previous =
        LunarDayOf(reki, beforeSlot, int(unsigned(before.month())), int(unsigned(before.day()))).lunar;
    return previous.month == lunar.month;
}

int ConvertBirthDate(EngineContext& ctx, const Conventions& conventions, bool lateHour, int termSide) {
    Tmandata& man = ctx.man;
    Treki& reki = ctx.reki;
    const int m = man.birthMonth;
    const int d = man.birthDay;
    const YearSlot& s2 = reki.slot[2];
    if (m < 1 || m > 12 || d < 1 || d > 31 || man.hourIndex < 0 || man.hourIndex >= kHours) return -1;

    // Day pillar: the file gives the pillar of the month's 1st; each later day
    // moves stem and branch on by one.
    int dayStem = s2.firstDayInfo[m].stem;
    int dayBranch = s2.firstDayInfo[m].branch;
    for (int j = 1; j <= s2.monthInfo[m].monthDays && j != d; ++j) {
        dayStem = NextStem(dayStem);
        dayBranch = NextBranch(dayBranch);
    }
    const bool beforeTerm = termSide == 0 ? BeforeTerm(s2, m, d, man.hourIndex) : termSide < 0;

    // The first moment the data covers is the term entry of January 1921.
    if (man.birthYear <= kFirstCalendarYear && m == 1 && beforeTerm) {
        ctx.Message(kOutOfRangeMessage);
        return -1;
    }

    // The chart's month is the solar month, which begins at the civil month's
    // term entry: a birth before it still belongs to the month before.
    // A January birth before its term falls in December of the year before,
    // whose line is in slot 1.
    const int solarMonth = beforeTerm ? (m == 1 ? 12 : m - 1) : m;
    const int monthSlot = m == 1 ? 1 : 2;

    // Hour pillar: its stem depends on the day stem (甲 and 己 days share one
    // sequence, and so on).
    man.stems.hour = HourStem(dayStem, man.hourIndex + 1);
    man.branches.hour = man.stems.hour != 0 ? man.hourIndex + 1 : 0;
    man.stems.day = dayStem;
    man.branches.day = dayBranch;

    // Month pillar from the solar month's line; a January birth after its
    // term takes January's line of the birth year itself (slot 2).
    const int lineSlot = monthSlot == 1 && solarMonth == 1 ? 2 : monthSlot;
    man.stems.month = reki.slot[lineSlot].monthInfo[solarMonth].stem;
    man.branches.month = reki.slot[lineSlot].monthInfo[solarMonth].branch;

    // Year pillar: the year turns at February's term entry (立春), so January
    // and the days of February before it take the year before's pillar.
    int yearSlot = monthSlot;
    if (m == 2 && beforeTerm) yearSlot -= 1;
    if (yearSlot == 1 && man.birthYear == kFirstCalendarYear) {
        man.stems.year = 7;  // 庚申: no file of 1920 is loaded
        man.branches.year = 9;
    } else {
        man.stems.year = reki.slot[yearSlot].yearStem;
        man.branches.year = reki.slot[yearSlot].yearBranch;
    }

    // Lunar date of the birth day, and the civil day the luck-start count
    // measures from.
    const LunarDate lunar = LunarDayOf(reki, 2, m, d).lunar;
    man.lunarMonth = lunar.month;
    man.lunarDay = lunar.day;
    ctx.termRef = {2, m, d};
    ctx.palaceMonths = {man.branches.month, man.lunarMonth};
    if (conventions.IsStandard()) return 0;

    // A birth between 23:00 and 24:00 counted to the next day takes that
    // day's pillar, the hour stem of that pillar and its lunar date.
    SlotDay birthDay{2, m, d};
    if (lateHour && conventions.lateHour != LateHourDay::kSameDay) {
        const SlotDay nextDay = NextSlotDay(reki, m, d);
        const LunarDay next = LunarDayOf(reki, nextDay.slot, nextDay.month, nextDay.day);
        man.stems.day = next.stem;
        man.branches.day = next.branch;
        man.stems.hour = HourStem(next.stem, man.hourIndex + 1);
        man.lunarDay = next.lunar.day;
        if (conventions.lateHour == LateHourDay::kNextDay) {
            birthDay = nextDay;
            man.lunarMonth = next.lunar.month;
        }
    }
    // The year from the lunar New Year: January and February days still in
    // the 11th or 12th lunar month belong to the year before.
    if (conventions.yearStart == YearStart::kLunarNewYear) {
        const int lunarYearSlot = birthDay.slot - (birthDay.month <= 2 && man.lunarMonth >= 11 ? 1 : 0);
        if (lunarYearSlot == 1 && man.birthYear == kFirstCalendarYear) {
            man.stems.year = 7;
            man.branches.year = 9;
        } else {
            man.stems.year = reki.slot[lunarYearSlot].yearStem;
            man.branches.year = reki.slot[lunarYearSlot].yearBranch;
        }
    }
    ctx.palaceMonths = {man.branches.month, man.lunarMonth};
    if (conventions.palaceMonth != PalaceMonth::kSolarTerm) {
        const int year = man.birthYear + (birthDay.slot - 2);
        const LunarDate birthLunar{man.lunarMonth, man.lunarDay};
        const bool leap = InLeapMonth(reki, birthDay.slot, {year, birthDay.month, birthDay.day}, birthLunar);
        const int month = PalaceLunarMonth(conventions.palaceMonth, man.lunarMonth, man.lunarDay, leap);
        ctx.palaceMonths = {(month + 1) % 12 + 1, month};
    }
    return 0;
}

namespace {

// Visits the days 1..lastDay of civil month m of a slot (no further than the
// month's days) with their lunar date and day pillar.
template <typename Visit>
void WalkLunarMonth(const Treki& reki, int slot, int m, int lastDay, Visit visit) {
    const YearSlot& s = reki.slot[slot];
    const FirstDayInfo& first = s.firstDayInfo[m];
    const int n = std::min({s.monthInfo[m].monthDays, 31, lastDay});
    int lm = first.lunarMonth;
    int ld = first.lunarDay;
    int stem = first.stem;
    int branch = first.branch;
    int last = first.lunarMonthDays - ld + 1;
    // A new lunar month that begins within the month keeps the number of the
    // one before (a leap month) when the next civil month's 1st still lies in
    // that number. For December that 1st is January 1st of the year after,
    // held by the next slot (the leap 11th month of 2033 begins on 2033-12-22);
    // without the next year loaded December advances.
    const int followingLunarMonth = m < 12     ? s.firstDayInfo[m + 1].lunarMonth
                                    : slot < 3 ? reki.slot[slot + 1].firstDayInfo[1].lunarMonth
                                               : 0;
    for (int x = 1; x <= n; ++x) {
        if (x > last) {
            if (lm >= 12)
                lm = 1;
            else if (followingLunarMonth != lm)
                lm += 1;
            ld = 1;
            last += first.nextLunarMonthDays;
        }
        visit(x, LunarDate{lm, ld}, stem, branch);
        ++ld;
        stem = NextStem(stem);
        branch = NextBranch(branch);
    }
}

}  // namespace

void ExpandLunarMonth(EngineContext& ctx, int slot, int m) {
    YearSlot& s = ctx.reki.slot[slot];
    WalkLunarMonth(ctx.reki, slot, m, 31, [&s](int x, LunarDate lunar, int stem, int branch) {
        s.dayPillarText[x] = CachedPillarText(stem, branch);
        s.lunarText[x] = LunarDateText(lunar.month, lunar.day);
    });
}

LunarDay LunarDayOf(const Treki& reki, int slot, int month, int day) {
    LunarDay result;
    WalkLunarMonth(reki, slot, month, day, [&](int x, LunarDate lunar, int stem, int branch) {
        if (x == day) result = {lunar, stem, branch};
    });
    return result;
}

}  // namespace zelvara
