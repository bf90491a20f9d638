#include "chart_options.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace zelvara::cli {
namespace {

// Splits "1959/5/7" into its three parts.
bool SplitDate(const std::string& text, BirthInput& in) {
    const size_t a = text.find('/');
    const size_t b = a == std::string::npos ? a : text.find('/', a + 1);
    if (b == std::string::npos) return false;
    in.year = text.substr(0, a);
    in.month = text.substr(a + 1, b - a - 1);
    in.day = text.substr(b + 1);
    // Leading zeros as a user may type them ("05") are dropped, as the month
    // and day lists of the program hold plain numbers.
    auto trim = [](std::string& s) {
        while (s.size() > 1 && s[0] == '0') s.erase(0, 1);
    };
    trim(in.month);
    trim(in.day);
    return true;
}

}  // namespace

void StderrSink::Show(std::string_view text, std::string_view caption) {
    if (!caption.empty()) std::cerr << caption << ": ";
    std::cerr << text << "\n";
}

std::string ProgramFolder(const Options& opts) {
    if (auto it = opts.find("--home"); it != opts.end()) return it->second;
    if (const char* env = std::getenv("ZELVARA_HOME"); env && *env) return env;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string(".") : exe.parent_path().string();
}

bool ReadBirthOptions(const Options& opts, EngineContext& ctx, BirthInput& in) {
    if (auto it = opts.find("--today"); it != opts.end()) {
        CivilDate d;
        if (std::sscanf(it->second.c_str(), "%d/%d/%d", &d.year, &d.month, &d.day) != 3) {
            std::cerr << "--today には YYYY/MM/DD の形で日付を指定して下さい。\n";
            return false;
        }
        ctx.FixToday(d);
    }
    auto get = [&](const char* key) {
        auto it = opts.find(key);
        return it == opts.end() ? std::string() : it->second;
    };
    in.name = get("--name");
    in.sex = get("--sex");
    if (in.sex == "M" || in.sex == "m") in.sex = "男";
    if (in.sex == "F" || in.sex == "f") in.sex = "女";
    in.hour = get("--hour");
    const std::string date = get("--date");
    if (!date.empty() && !SplitDate(date, in)) {
        std::cerr << "--date には 1959/5/7 の形で生年月日を指定して下さい。\n";
        return false;
    }
    if (in.hour != "不明の場合" && HourIndexOf(in.hour) == 0) {
        std::cerr << "--hour には 23:00-01:00 から 21:00-23:00 までの十二の時刻か「不明の場合」を指定して下さい。\n";
        return false;
    }
    return true;
}

int CastFromOptions(const Options& opts, std::string_view command, EngineContext& ctx, BirthInput& in) {
    if (!ReadBirthOptions(opts, ctx, in)) return 2;
    if (in.hour == "不明の場合") {
        std::cerr << command << " には生まれた時刻（十二の時刻のどれか）を指定して下さい。\n";
        return 2;
    }
    return RequestChart(ctx, in) < 0 ? 1 : 0;
}

}  // namespace zelvara::cli
