#include "engine/chart_request.h"

#include "engine/calendar_file.h"
#include "engine/chart_layout.h"
#include "engine/conversion.h"
#include "engine/luck.h"
#include "engine/stars.h"

#include <charconv>
#include <optional>

namespace zelvara {
namespace {

bool ParseYear(std::string_view text, int& value) {
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return true;
}

// Shows a check's message and refuses.
CastRefusal Refuse(EngineContext& ctx, std::string message) {
    ctx.Message(message);
    return {std::move(message)};
}

// Passes every message of a cast on to the context's sink and keeps the last,
// which is the one that stopped it.
class LastMessage final : public MessageSink {
public:
    explicit LastMessage(EngineContext& ctx) : ctx_(ctx), next_(ctx.Sink()) { ctx.SetSink(*this); }
    ~LastMessage() override { ctx_.SetSink(next_); }
    void Show(std::string_view text, std::string_view caption) override {
        text_.assign(text);
        next_.Show(text, caption);
    }
    // The refusal of a step that showed its own message, or shows message.
    CastRefusal Refusal(std::string_view message = {}) {
        if (!message.empty()) Show(message, {});
        return {text_};
    }

private:
    EngineContext& ctx_;
    MessageSink& next_;
    std::string text_;
};

}  // namespace

std::string NormalizeTypedText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto b0 = static_cast<unsigned char>(text[i]);
        // U+FF01..U+FF5E (EF BC 81..EF BD 9E) are the full-width forms of
        // ASCII 0x21..0x7E; U+3000 (E3 80 80) is the full-width blank.
        if (i + 2 < text.size()) {
            const auto b1 = static_cast<unsigned char>(text[i + 1]);
            const auto b2 = static_cast<unsigned char>(text[i + 2]);
            const int code = (b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (b2 & 0x3F);
            if (b0 == 0xEF && (b1 == 0xBC || b1 == 0xBD) && (b2 & 0xC0) == 0x80 && code >= 0xFF01 && code <= 0xFF5E) {
                out += static_cast<char>(code - 0xFF01 + 0x21);
                i += 2;
                continue;
            }
            if (b0 == 0xE3 && b1 == 0x80 && b2 == 0x80) {
                out += ' ';
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    const size_t first = out.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const size_t last = out.find_last_not_of(" \t\r\n");
    return out.substr(first, last - first + 1);
}

namespace {

struct Era {
    char letter;
    std::string_view name;
    int offset;    // western year = era year + offset
    int lastYear;  // last era year, 0 for the era in force
};

constexpr Era kEras[] = {
    {'M', "明治", 1867, 45}, {'T', "大正", 1911, 15}, {'S', "昭和", 1925, 64},
    {'H', "平成", 1988, 31}, {'R', "令和", 2018, 0},
};

// The first day of each era of kEras, in the same order.
struct EraStart {
    int year, month, day;
};
constexpr EraStart kEraStarts[] = {{1868, 1, 1}, {1912, 7, 30}, {1926, 12, 25}, {1989, 1, 8}, {2019, 5, 1}};

const Era* EraOf(std::string_view text) {
    if (text.empty()) return nullptr;
    const char letter = text[0] >= 'a' && text[0] <= 'z' ? static_cast<char>(text[0] - 'a' + 'A') : text[0];
    for (const Era& e : kEras)
        if (e.letter == letter) return &e;
    return nullptr;
}

bool InEra(const Era& era, int n) { return n >= 1 && (era.lastYear == 0 || n <= era.lastYear); }

// The western year of an era year within its era ("S40" → 1965), else nullopt.
std::optional<int> WesternOfEraYear(std::string_view text) {
    const Era* era = EraOf(text);
    int n = 0;
    if (!era || !ParseYear(text.substr(1), n) || !InEra(*era, n)) return std::nullopt;
    return n + era->offset;
}

// Reads the year box: a western year or an era year. −1 with the message to
// show when the text is no year, an era year outside its era, or a year the
// calendar does not cover.
int ReadBirthYear(std::string_view typed, std::string_view text, int& year, std::string& message) {
    const bool allDigits = !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    if (allDigits && text.find_first_not_of('0') != std::string_view::npos &&
        text.size() - text.find_first_not_of('0') > 4) {
        message = YearOutOfRangeMessage(99999);  // five digits or more
        return -1;
    }
    if (const Era* era = EraOf(text); era && ParseYear(text.substr(1), year) && !InEra(*era, year)) {
        message = "生まれた年「" + std::string(typed) + "」は" + std::string(era->name) + "の年としてありません。" +
                  std::string(era->name) + "は " + era->letter + "1（" + std::to_string(era->offset + 1) + "年）";
        message += era->lastYear ? "〜" + std::string(1, era->letter) + std::to_string(era->lastYear) + "（" +
                                       std::to_string(era->offset + era->lastYear) + "年）です。"
                                 : "からです。";
        return -1;
    }
    if (const auto western = WesternOfEraYear(text)) {
        year = *western;
    } else if (!ParseYear(text, year)) {
        message = "生まれた年「" + std::string(typed) +
                  "」を年として読めません。西暦の数字（例 1965）か、年号の頭文字（" + std::string(kEraLettersText) +
                  "）と年（例 S40）で入力して下さい。";
        return -1;
    }
    if (year < kFirstCalendarYear || year > kLastChartYear) {
        message = YearOutOfRangeMessage(year);
        return -1;
    }
    return 0;
}

}  // namespace

std::string EraYearToWestern(std::string_view typed) {
    const std::string text = NormalizeTypedText(typed);
    const auto western = WesternOfEraYear(text);
    return western ? std::to_string(*western) : text;
}

bool SplitTypedDate(std::string_view typed, BirthInput& in) {
    const std::string text = NormalizeTypedText(typed);
    const size_t a = text.find_first_of("/.");
    const size_t b = a == std::string::npos ? a : text.find_first_of("/.", a + 1);
    if (b == std::string::npos) return false;
    auto withoutLeadingZeros = [](std::string s) {
        while (s.size() > 1 && s[0] == '0') s.erase(0, 1);
        return s;
    };
    in.year = text.substr(0, a);
    in.month = withoutLeadingZeros(text.substr(a + 1, b - a - 1));
    in.day = withoutLeadingZeros(text.substr(b + 1));
    return true;
}

int HourIndexOf(std::string_view text) {
    for (int i = 0; i < kHours; ++i)
        if (kHourPeriodTexts[i] == text) return i + 1;
    return 0;
}

Expected<ChartRequest, CastRefusal> CheckBirthInput(EngineContext& ctx, const BirthInput& in) {
    ChartRequest request;
    request.name = in.name;
    if (in.sex == "男")
        request.sexCode = 'M';
    else if (in.sex == "女")
        request.sexCode = 'F';
    else
        return Refuse(ctx, "性別を指定してください。");

    const std::string yearText = NormalizeTypedText(in.year);
    const std::string month = NormalizeTypedText(in.month);
    const std::string day = NormalizeTypedText(in.day);
    if (yearText.empty()) return Refuse(ctx, "年が指定されていません。");
    int year = 0;
    std::string message;
    if (ReadBirthYear(in.year, yearText, year, message) < 0) return Refuse(ctx, std::move(message));
    if (month.empty()) return Refuse(ctx, "月が指定されていません。");
    if (day.empty()) return Refuse(ctx, "日が指定されていません。");

    LastMessage shown(ctx);
    const std::optional<CivilDate> date = CheckBirthDate(ctx, year, month, day);
    if (!date) return shown.Refusal();
    request.birthText = std::to_string(year) + "/" + month + "/" + day;
    request.year = date->year;
    request.month = date->month;
    request.day = date->day;
    request.hourIndex = HourIndexOf(in.hour) - 1;
    request.age = CountedAge(*date, ctx.Today());
    return request;
}

CastOutcome CastChart(EngineContext& ctx, const ChartRequest& request) {
    LastMessage shown(ctx);
    Tmandata& man = ctx.man;
    man.Reset();
    man.name = request.name;
    man.birthText = request.birthText;
    man.sexCode = request.sexCode;
    man.age = request.age;
    man.birthYear = request.year;
    man.birthMonth = request.month;
    man.birthDay = request.day;
    man.hourIndex = request.hourIndex;
    if (InRange(man.birthYear, man.birthMonth, man.birthDay) < 0) return shown.Refusal(kOutOfRangeMessage);
    const Conventions& conventions = request.conventions;
    if (LoadCalendarYears(ctx, man.birthYear, conventions.meridian) < 0) return shown.Refusal();
    if (ConvertBirthDate(ctx, conventions, request.lateHour, request.termSide) < 0) return shown.Refusal();
    if (ComputeLuckStart(ctx) < 0) return shown.Refusal(kOutOfRangeMessage);
    if (PlaceStars(man, ctx.palaceMonths, conventions.transforms) < 0)
        return shown.Refusal(
            "万暦データファイルの内容が正しくないため、星を配置できません。"
            "データファイルを入れ直して下さい。");
    FindMainStars(man);
    LayOutLuckPeriods(man);
    NameLuckRulers(man);
    return CastOutcome(std::in_place, man, ctx.firstLuckAgeMale, ctx.firstLuckAgeFemale);
}

Expected<HourGrid, CastRefusal> CastAllHours(EngineContext& ctx, const ChartRequest& request) {
    HourGrid grid{};
    ChartRequest moment = request;
    for (int h = 0; h < kHours; ++h) {
        moment.hourIndex = h;
        const CastOutcome chart = CastChart(ctx, moment);
        if (!chart) return chart.error();
        for (int p = 1; p <= kPalaces; ++p) grid[p][h] = chart->Man().mainStar[p];
    }
    return grid;
}

CastOutcome RequestChart(EngineContext& ctx, const BirthInput& in, const Conventions& conventions, bool lateHour) {
    const auto checked = CheckBirthInput(ctx, in);
    if (!checked) return checked.error();
    if (checked->hourIndex < 0) return Refuse(ctx, "生まれた時刻が指定されていません。");
    ChartRequest request = *checked;
    request.conventions = conventions;
    request.lateHour = lateHour;
    return CastChart(ctx, request);
}

std::string EraDateText(int year, int month, int day) {
    const int key = year * 10000 + month * 100 + day;
    for (int i = int(std::size(kEras)) - 1; i >= 0; --i) {
        const EraStart& start = kEraStarts[i];
        if (key < start.year * 10000 + start.month * 100 + start.day) continue;
        const int n = year - kEras[i].offset;
        return std::string(kEras[i].name) + (n == 1 ? "元" : std::to_string(n)) + "年" + std::to_string(month) + "月" +
               std::to_string(day) + "日";
    }
    return {};
}

}  // namespace zelvara
