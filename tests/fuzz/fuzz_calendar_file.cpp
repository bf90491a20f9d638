// Calendar data files "YYYY.eto": any bytes go through the line split and the
// parser. A file the parser takes must hold only values the engine can cast
// from (the ranges the parser promises), and casting every day of it, as the
// birth year and its neighbours, must stay inside the engine's tables. A file
// it refuses must say why and leave the year it was to fill untouched.
#include "tests/fuzz/fuzz_check.h"

#include "engine/calendar_file.h"
#include "engine/chart_layout.h"
#include "engine/conversion.h"
#include "engine/luck.h"
#include "engine/stars.h"

namespace {

using namespace zelvara;

void CheckRanges(const CalendarYear& y) {
    FUZZ_CHECK(y.yearStem >= 1 && y.yearStem <= kStems, "year stem outside 1..10");
    FUZZ_CHECK(y.yearBranch >= 1 && y.yearBranch <= kBranches, "year branch outside 1..12");
    for (int m = 1; m <= 12; ++m) {
        const MonthInfo& mi = y.monthInfo[m];
        const FirstDayInfo& fd = y.firstDayInfo[m];
        FUZZ_CHECK(mi.stem >= 1 && mi.stem <= kStems && mi.branch >= 1 && mi.branch <= kBranches, "month pillar");
        FUZZ_CHECK(mi.monthDays >= 28 && mi.monthDays <= 31, "civil month length");
        FUZZ_CHECK(mi.termDay >= 1 && mi.termDay <= mi.monthDays, "term day outside its month");
        FUZZ_CHECK(mi.termHour >= 1 && mi.termHour <= kBranches, "term hour");
        FUZZ_CHECK(fd.stem >= 1 && fd.stem <= kStems && fd.branch >= 1 && fd.branch <= kBranches, "day pillar");
        FUZZ_CHECK(fd.lunarMonth >= 1 && fd.lunarMonth <= 12, "lunar month");
        FUZZ_CHECK(fd.lunarMonthDays == 29 || fd.lunarMonthDays == 30, "lunar month length");
        FUZZ_CHECK(fd.nextLunarMonthDays == 29 || fd.nextLunarMonthDays == 30, "next lunar month length");
        FUZZ_CHECK(fd.lunarDay >= 1 && fd.lunarDay <= fd.lunarMonthDays, "lunar day outside its month");
    }
}

// Every day of the file as a birth in a year that has both neighbours, the
// same file standing in for them; the engine's own steps, as a cast runs them.
void CastEveryDay(const CalendarYear& y) {
    SilentSink sink;
    EngineContext ctx("", sink);
    for (int slot = 1; slot <= 3; ++slot) static_cast<CalendarYear&>(ctx.reki.slot[slot]) = y;
    BuildHourPillarTable(ctx);
    for (int m = 1; m <= 12; ++m) {
        for (int d = 1; d <= y.monthInfo[m].monthDays; ++d) {
            Tmandata& man = ctx.man;
            man.Reset();
            man.sexCode = d % 2 ? 'M' : 'F';
            man.birthYear = 1965;
            man.birthMonth = m;
            man.birthDay = d;
            man.hourIndex = (m * 31 + d) % kHours;
            FUZZ_CHECK(ConvertBirthDate(ctx) == 0, "a day of an accepted file is not converted");
            FUZZ_CHECK(man.lunarMonth >= 1 && man.lunarMonth <= 12, "converted lunar month");
            FUZZ_CHECK(man.lunarDay >= 1 && man.lunarDay <= 30, "converted lunar day");
            if (ComputeLuckStart(ctx) < 0 || PlaceStars(man) < 0) continue;
            FindMainStars(man);
            LayOutLuckPeriods(man);
            LayOutChart(man);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = SplitCalendarLines(InputText(data, size));
    CalendarYear year;
    year.eraYear = -7;  // a refused file must leave this as it is
    std::string message;
    const int slot = 1 + int(size % 3);
    if (ParseCalendarLines(lines, "fuzz.eto", slot, year, message) < 0) {
        FUZZ_CHECK(!message.empty(), "a refused file without a message");
        FUZZ_CHECK(year.eraYear == -7, "a refused file changed the year");
        return 0;
    }
    CheckRanges(year);
    CastEveryDay(year);
    return 0;
}
