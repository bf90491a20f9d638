#include "engine/calendar_file.h"

#include <charconv>
#include <fstream>
#include <sstream>

namespace zelvara {
namespace {

constexpr int kLinesPerFile = 25;

std::string_view EraNameOf(char letter) {
    switch (letter) {
        case 'M': return "明治";
        case 'T': return "大正";
        case 'S': return "昭和";
        case 'H': return "平成";
        case 'R': return "令和";
        default: return {};
    }
}

// The first character of a line for a message: a whole UTF-8 sequence, so a
// stray multibyte character is quoted readably.
std::string FirstCharacter(std::string_view line) {
    if (line.empty()) return {};
    const unsigned char c = static_cast<unsigned char>(line[0]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 1;
    return std::string(line.substr(0, std::min(n, line.size())));
}

// Reads one line's fields with the messages of the file format; every fault
// leaves its text in message and makes the parse return false.
class LineReader {
public:
    LineReader(const std::string& path, int lineNo, std::string& message)
        : path_(path), lineNo_(lineNo), message_(message) {}

    bool Fail(std::string text) {
        message_ = std::move(text);
        return false;
    }
    // The loader's own fault texts, with the file and line they were found on.
    bool Fault(const std::string& text) {
        return Fail(text + "\n（万暦データファイル：" + path_ + " " + std::to_string(lineNo_) + "行目）");
    }
    bool Malformed(std::string_view line) {
        return Fail("万暦データファイル：" + path_ + " " + std::to_string(lineNo_) + "行目の形式が正しくありません：" +
                    std::string(line));
    }
    // A field whose value lies outside what the calendar allows: the file is
    // malformed, and casting from it would give a wrong chart.
    bool OutOfRange(std::string_view field, int value, std::string_view allowed, std::string_view line) {
        return Fail("万暦データファイル：" + path_ + " " + std::to_string(lineNo_) + "行目の" + std::string(field) +
                    "「" + std::to_string(value) + "」が正しくありません（" + std::string(allowed) + "）：" +
                    std::string(line));
    }
    // A decimal integer without blanks or sign.
    bool Number(std::string_view text, std::int32_t& value) {
        if (text.empty() || text.size() > 9) return NotNumber(text);
        for (char c : text)
            if (c < '0' || c > '9') return NotNumber(text);
        std::from_chars(text.data(), text.data() + text.size(), value);
        return true;
    }

private:
    bool NotNumber(std::string_view text) {
        return Fail("万暦データファイル：" + path_ + " " + std::to_string(lineNo_) +
                    "行目の数値が正しくありません：「" + std::string(text) + "」");
    }
    const std::string& path_;
    int lineNo_;
    std::string& message_;
};

constexpr auto npos = std::string_view::npos;

bool InStemRange(int v) { return v >= 1 && v <= 10; }
bool InBranchRange(int v) { return v >= 1 && v <= 12; }
bool InMonthDaysRange(int v) { return v >= 28 && v <= 31; }
bool InLunarMonthRange(int v) { return v >= 1 && v <= 12; }
bool InLunarDayRange(int v) { return v >= 1 && v <= 30; }
bool IsLunarMonthLength(int v) { return v == 29 || v == 30; }

bool ParseYearLine(std::string_view line, LineReader& r, CalendarYear& y) {
    if (line.empty()) return r.Malformed(line);
    const std::string_view era = EraNameOf(line[0]);
    if (era.empty()) return r.Fault("年データ異常 年号 err： " + FirstCharacter(line));
    const size_t colon = line.find(':');
    if (colon == npos) return r.Fault("年データ異常 区切１(:) err");
    if (!r.Number(line.substr(1, colon - 1), y.eraYear)) return false;
    const size_t dash = line.find('-', colon + 1);
    if (dash == npos) return r.Fault("年データ異常 区切干支(-) err");
    const std::string_view s = line.substr(colon + 1, dash - colon - 1);
    if (!r.Number(s, y.yearStem)) return false;
    if (!InStemRange(y.yearStem)) return r.Fault("年データ異常 １０干 err： " + std::string(s));
    const std::string_view b = line.substr(dash + 1);
    if (!r.Number(b, y.yearBranch)) return false;
    if (!InBranchRange(y.yearBranch)) return r.Fault("年データ異常 １２支 err： " + std::string(b));
    y.eraName = era;
    return true;
}

bool ParseMonthLine(std::string_view line, LineReader& r, MonthInfo& m) {
    const std::string l(line);
    const size_t c1 = line.find(':');
    if (c1 == npos) return r.Fault(l + "月データ異常 区切１(:) err");
    const size_t dash = line.find('-');
    if (dash == npos || dash > c1) return r.Fault(l + "月データ異常 区切干支(-) err");
    const std::string_view s = line.substr(0, dash);
    if (!r.Number(s, m.stem)) return false;
    if (!InStemRange(m.stem)) return r.Fault(l + "月データ異常 １０干 err： " + std::string(s));
    const std::string_view b = line.substr(dash + 1, c1 - dash - 1);
    if (!r.Number(b, m.branch)) return false;
    if (!InBranchRange(m.branch)) return r.Fault(l + "月データ異常 １２支 err： " + std::string(b));
    const size_t c2 = line.find(':', c1 + 1);
    if (c2 == npos) return r.Fault(l + "月データ異常 区切２(:) err");
    if (!r.Number(line.substr(c1 + 1, c2 - c1 - 1), m.termDay)) return false;
    const size_t c3 = line.find(':', c2 + 1);
    if (c3 == npos) return r.Malformed(line);
    const std::string_view h = line.substr(c2 + 1, c3 - c2 - 1);
    if (!r.Number(h, m.termHour)) return false;
    if (!InBranchRange(m.termHour)) return r.Fault(l + "月データ異常 月始め１２支 err： " + std::string(h));
    if (!r.Number(line.substr(c3 + 1), m.monthDays)) return false;
    if (!InMonthDaysRange(m.monthDays)) return r.OutOfRange("月の日数", m.monthDays, "28〜31", line);
    if (m.termDay < 1 || m.termDay > m.monthDays)
        return r.OutOfRange("節入りの日", m.termDay, "1〜" + std::to_string(m.monthDays), line);
    return true;
}

bool ParseDayLine(std::string_view line, LineReader& r, int slot, FirstDayInfo& d) {
    const std::string l(line);
    const std::string sl = std::to_string(slot);
    const size_t colon = line.find(':');
    if (colon == npos) return r.Fault("日データ異常 区切１(:) err");
    const size_t dash = line.find('-');
    if (dash == npos || dash > colon) return r.Fault("日データ異常 区切干支(-) err");
    const std::string_view s = line.substr(0, dash);
    if (!r.Number(s, d.stem)) return false;
    if (!InStemRange(d.stem)) return r.Fault(l + " Yno : " + sl + " 日データ異常 １０干 err： " + std::string(s));
    const std::string_view b = line.substr(dash + 1, colon - dash - 1);
    if (!r.Number(b, d.branch)) return false;
    if (!InBranchRange(d.branch)) return r.Fault(l + "Yno : " + sl + "日データ異常 １２支 err： " + std::string(b));
    const size_t slash = line.find('/', colon + 1);
    if (slash == npos) return r.Fault("日データ異常 区切２(/) err");
    if (!r.Number(line.substr(colon + 1, slash - colon - 1), d.lunarMonth)) return false;
    if (!InLunarMonthRange(d.lunarMonth)) return r.OutOfRange("旧暦の月", d.lunarMonth, "1〜12", line);
    const size_t dash2 = line.find('-', slash + 1);
    if (dash2 == npos) return r.Fault("日データ異常 区切３(-) err");
    if (!r.Number(line.substr(slash + 1, dash2 - slash - 1), d.lunarDay)) return false;
    if (!InLunarDayRange(d.lunarDay)) return r.OutOfRange("旧暦の日", d.lunarDay, "1〜30", line);
    const size_t comma = line.find(',', dash2 + 1);
    if (comma == npos) return r.Fault("日データ異常 区切４(-) err");
    if (!r.Number(line.substr(dash2 + 1, comma - dash2 - 1), d.lunarMonthDays)) return false;
    if (!IsLunarMonthLength(d.lunarMonthDays)) return r.OutOfRange("旧暦の月の日数", d.lunarMonthDays, "29か30", line);
    if (d.lunarDay > d.lunarMonthDays)
        return r.OutOfRange("旧暦の日", d.lunarDay, "1〜" + std::to_string(d.lunarMonthDays), line);
    if (!r.Number(line.substr(comma + 1), d.nextLunarMonthDays)) return false;
    if (!IsLunarMonthLength(d.nextLunarMonthDays))
        return r.OutOfRange("旧暦の次の月の日数", d.nextLunarMonthDays, "29か30", line);
    return true;
}

// Reads a whole file; false when it is missing or unreadable.
bool ReadFile(const std::string& path, std::string& content) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return false;
    content = std::move(ss).str();
    return true;
}

}  // namespace

std::string CalendarFilePath(const EngineContext& ctx, int year, LunarMeridian meridian) {
    if (meridian == LunarMeridian::kChina)
        return ctx.ProgramFolder() + std::string(kChinaCalendarFolder) + "/" + std::to_string(year) + ".eto";
    return ctx.ProgramFolder() + std::to_string(year) + ".eto";
}

std::vector<std::string> SplitCalendarLines(std::string_view content) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < content.size()) {
        size_t end = content.find('\n', start);
        const bool last = end == npos;
        if (last) end = content.size();
        std::string_view line = content.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        start = end + 1;
    }
    return lines;
}

int ParseCalendarLines(const std::vector<std::string>& lines, const std::string& path, int slot, CalendarYear& out,
                       std::string& message) {
    if (lines.size() != kLinesPerFile) {
        message = "万暦データファイル：" + path + " の行数が" + std::to_string(lines.size()) + "行です（" +
                  std::to_string(kLinesPerFile) + "行のはずです）";
        return -1;
    }
    CalendarYear y;
    {
        LineReader r(path, 1, message);
        if (!ParseYearLine(lines[0], r, y)) return -1;
    }
    for (int m = 1; m <= 12; ++m) {
        const int lineNo = 2 * m;  // month lines are 2, 4, …, 24
        LineReader r(path, lineNo, message);
        if (!ParseMonthLine(lines[lineNo - 1], r, y.monthInfo[m])) return -1;
    }
    for (int m = 1; m <= 12; ++m) {
        const int lineNo = 2 * m + 1;  // day lines are 3, 5, …, 25
        LineReader r(path, lineNo, message);
        if (!ParseDayLine(lines[lineNo - 1], r, slot, y.firstDayInfo[m])) return -1;
    }
    out = std::move(y);
    return 0;
}

namespace {

// Loads one year into one slot, through the cache (whose key tells the two
// sets of files apart).
int LoadSlot(EngineContext& ctx, int slot, int year, LunarMeridian meridian,
             std::chrono::steady_clock::time_point now) {
    YearSlot& target = ctx.reki.slot[slot];
    CalendarCache& cache = ctx.calendarCache;
    const int key = meridian == LunarMeridian::kChina ? year + 100000 : year;
    if (const auto* hit = cache.Find(key, now, [&] { return CalendarFilePath(ctx, year, meridian); })) {
        if (cache.slotGeneration[slot] != hit->generation) {
            static_cast<CalendarYear&>(target) = hit->data;
            cache.slotGeneration[slot] = hit->generation;
        }
        return 0;
    }
    const std::string path = CalendarFilePath(ctx, year, meridian);
    std::error_code ec;
    const auto mtime = std::filesystem::last_write_time(path, ec);
    std::string content;
    if (ec || !ReadFile(path, content)) {
        ctx.Message("万暦データファイル：" + path + "not found ?");
        return -1;
    }
    const auto size = content.size();
    CalendarYear parsed;
    std::string message;
    if (ParseCalendarLines(SplitCalendarLines(content), path, slot, parsed, message) < 0) {
        ctx.Message(message);
        return -1;
    }
    const auto& entry = cache.Store(key, std::move(parsed), mtime, size);
    static_cast<CalendarYear&>(target) = entry.data;
    cache.slotGeneration[slot] = entry.generation;
    return 0;
}

}  // namespace

int LoadCalendarYears(EngineContext& ctx, int year, LunarMeridian meridian) {
    const auto now = std::chrono::steady_clock::now();
    if (year > kFirstCalendarYear && LoadSlot(ctx, 1, year - 1, meridian, now) < 0) return -1;
    if (LoadSlot(ctx, 2, year, meridian, now) < 0) return -1;
    if (LoadSlot(ctx, 3, year + 1, meridian, now) < 0) return -1;
    return 0;
}

}  // namespace zelvara
