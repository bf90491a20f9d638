#include "chart_options.h"

#include "conversion.h"

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

// "2026/12/8" as a real calendar date of years 1..9999.
std::optional<CivilDate> ParseToday(const std::string& typed) {
    const QStringList parts = QString::fromStdString(NormalizeTypedText(typed)).split(QLatin1Char('/'));
    if (parts.size() != 3) return std::nullopt;
    const auto year = ParseNumber(parts[0], 1, 9999);
    const auto month = ParseNumber(parts[1], 1, 12);
    const auto day = ParseNumber(parts[2], 1, 31);
    if (!year || !month || !day || *day > DaysInCivilMonth(*year, *month)) return std::nullopt;
    return CivilDate{*year, *month, *day};
}

}  // namespace

void AddBirthOptions(Options& parser) {
    parser.addOptions({
        {QStringLiteral("name"), QStringLiteral("氏名 (name)"), QStringLiteral("TEXT")},
        {QStringLiteral("sex"), QStringLiteral("男 or 女 (also M or F)"), QStringLiteral("SEX")},
        {QStringLiteral("date"),
         QStringLiteral("birth date; YEAR is western (1959) or an era letter with the era year (%1; S34)")
             .arg(QString::fromUtf8(kEraLettersText.data(), qsizetype(kEraLettersText.size()))),
         QStringLiteral("YEAR/MONTH/DAY")},
        {QStringLiteral("hour"),
         QStringLiteral("one of the twelve periods 23:00-01:00, 01:00-03:00, … 21:00-23:00, or 不明の場合"),
         QStringLiteral("HH:00-HH:00")},
        {QStringLiteral("today"), QStringLiteral("the date that counts as today (for the age)"),
         QStringLiteral("YYYY/MM/DD")},
    });
}

bool ReadBirthOptions(const Options& opts, EngineContext& ctx, BirthInput& in) {
    if (opts.isSet(QStringLiteral("today"))) {
        const auto today = ParseToday(Value(opts, QStringLiteral("today")));
        if (!today) {
            std::cerr << "--today には YYYY/MM/DD の形で実在する日付を指定して下さい（指定: "
                      << Value(opts, QStringLiteral("today")) << "）。\n";
            return false;
        }
        ctx.FixToday(*today);
    }
    in.name = Value(opts, QStringLiteral("name"));
    in.sex = NormalizeTypedText(Value(opts, QStringLiteral("sex")));
    if (in.sex == "M" || in.sex == "m") in.sex = "男";
    if (in.sex == "F" || in.sex == "f") in.sex = "女";
    in.hour = NormalizeTypedText(Value(opts, QStringLiteral("hour")));
    const std::string date = NormalizeTypedText(Value(opts, QStringLiteral("date")));
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
    if (!ReadBirthOptions(opts, ctx, in)) return kExitUsage;
    if (in.hour == "不明の場合") {
        std::cerr << command << " には生まれた時刻（十二の時刻のどれか）を指定して下さい。\n";
        return kExitUsage;
    }
    return RequestChart(ctx, in) < 0 ? 1 : 0;
}

}  // namespace zelvara::cli
