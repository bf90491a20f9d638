#include "chart_request.h"

#include "calendar_file.h"
#include "chart_layout.h"
#include "conversion.h"
#include "luck.h"
#include "stars.h"

#include <charconv>

namespace zelvara {
namespace {

bool ParseYear(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return true;
}

int Stop(EngineContext& ctx, std::string_view message) {
    ctx.man.validMark = 0;
    if (!message.empty()) ctx.Message(message);
    return -1;
}

// Calendar load to placement for the birth fields already in the record.
int CastCurrentMoment(EngineContext& ctx) {
    Tmandata& man = ctx.man;
    if (InRange(man.birthYear, man.birthMonth, man.birthDay) < 0) return Stop(ctx, kOutOfRangeMessage);
    if (LoadCalendarYears(ctx, man.birthYear) < 0) return Stop(ctx, {});
    BuildHourPillarTable(ctx);
    if (ConvertBirthDate(ctx) < 0) return Stop(ctx, {});
    if (ComputeLuckStart(ctx) < 0) return Stop(ctx, kOutOfRangeMessage);
    if (PlaceStars(man) < 0)
        return Stop(ctx, "万暦データファイルの内容が正しくないため、星を配置できません。"
                         "データファイルを入れ直して下さい。");
    FindMainStars(man);
    return 0;
}

}  // namespace

std::string EraYearToWestern(std::string_view text) {
    if (text.empty()) return {};
    int offset = 0;
    switch (text[0]) {
        case 'S': case 's': offset = 1925; break;
        case 'T': case 't': offset = 1911; break;
        case 'H': case 'h': offset = 1988; break;
        case 'R': case 'r': offset = 2018; break;
        default: return std::string(text);
    }
    int n = 0;
    if (!ParseYear(text.substr(1), n)) return std::string(text);
    return std::to_string(n + offset);
}

int HourIndexOf(std::string_view text) {
    for (int i = 0; i < kHours; ++i)
        if (kHourPeriodTexts[i] == text) return i + 1;
    return 0;
}

int CheckBirthInput(EngineContext& ctx, const BirthInput& in, CheckedBirth& out) {
    Tmandata& man = ctx.man;
    man.Reset();
    if (in.sex == "男")
        man.sexCode = 'M';
    else if (in.sex == "女")
        man.sexCode = 'F';
    else
        return Stop(ctx, "性別を指定してください。");

    if (in.year.empty()) return Stop(ctx, "年が指定されていません。");
    out.yearText = EraYearToWestern(in.year);
    int year = 0;
    if (!ParseYear(out.yearText, year))
        return Stop(ctx, "生まれた年「" + in.year +
                             "」を年として読めません。西暦の数字（例 1965）か、年号の頭文字と年（例 S40）で入力して下さい。");
    if (year <= 1920) return Stop(ctx, "万年暦が１９２１年より小さい年には対応していませんので診断できません。");
    if (in.month.empty()) return Stop(ctx, "月が指定されていません。");
    if (in.day.empty()) return Stop(ctx, "日が指定されていません。");

    out.dateText = out.yearText + "/" + in.month + "/" + in.day;
    if (!CheckBirthDate(ctx, out.dateText)) return Stop(ctx, {});
    out.hourIndex = HourIndexOf(in.hour) - 1;
    return 0;
}

int CastChart(EngineContext& ctx, int year, int month, int day, int hourIndex) {
    Tmandata& man = ctx.man;
    man.validMark = 1;
    man.birthYear = year;
    man.birthMonth = month;
    man.birthDay = day;
    man.hourIndex = hourIndex;
    return CastCurrentMoment(ctx);
}

int CastAllHours(EngineContext& ctx, int year, int month, int day, HourGrid& grid) {
    for (auto& row : grid) row.fill(0);
    Tmandata& man = ctx.man;
    man.birthText = std::to_string(year) + "/" + std::to_string(month) + "/" + std::to_string(day);
    for (int h = 0; h < kHours; ++h) {
        if (CastChart(ctx, year, month, day, h) < 0) return -1;
        for (int p = 1; p <= kPalaces; ++p) grid[p][h] = man.mainStar[p];
    }
    return 0;
}

int RequestChart(EngineContext& ctx, const BirthInput& in) {
    CheckedBirth checked;
    if (CheckBirthInput(ctx, in, checked) < 0) return -1;
    if (checked.hourIndex < 0) return Stop(ctx, "生まれた時刻が指定されていません。");
    Tmandata& man = ctx.man;
    const int year = man.birthYear, month = man.birthMonth, day = man.birthDay;
    man.name = in.name;
    man.birthText = checked.dateText;
    if (CastChart(ctx, year, month, day, checked.hourIndex) < 0) return -1;
    LayOutLuckPeriods(man);
    return 0;
}

}  // namespace zelvara
