#include "cli/chart_options.h"

#include "common/summer_time.h"
#include "engine/birthplaces.h"
#include "engine/conversion.h"
#include "engine/exact_birth.h"
#include "engine/gazetteer.h"

#include <charconv>
#include <cmath>
#include <iostream>

namespace zelvara::cli {
namespace {

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

bool Has(const Options& opts, const char* name) { return opts.isSet(QString::fromLatin1(name)); }

std::string Get(const Options& opts, const char* name) {
    return NormalizeTypedText(Value(opts, QString::fromLatin1(name)));
}

// 1 after the message on stderr: every refusal of an exact-time option.
int Refuse(const std::string& message) {
    std::cerr << message << "\n";
    return 1;
}

// The longitude of --place (the shipped list of Japan, then the world's
// places, whose zone it also sets) or --longitude; nullopt with the
// refusal's exit code in code.
std::optional<double> ReadLongitude(const Options& opts, BirthTime& time, int& code) {
    if (Has(opts, "place")) {
        std::vector<Birthplace> japan;
        std::vector<GazetteerPlace> world;
        std::string message;
        const std::string folder = ProgramFolder(opts) + "/";
        if (LoadBirthplaces(folder + std::string(kBirthplacesFile), japan, message) < 0 ||
            LoadGazetteer(folder + std::string(kGazetteerFile), world, message) < 0) {
            code = Refuse(message);
            return std::nullopt;
        }
        const std::optional<PlaceChoice> place = FindPlace(japan, world, Get(opts, "place"));
        if (!place) {
            code =
                Refuse("出生地「" + Get(opts, "place") +
                       "」は出生地の一覧にありません。都道府県の名か、県庁所在地・政令指定都市の名（例 札幌、"
                       "神奈川県）、世界の都市の名（例 ニューヨーク、New York）で指定するか、--longitude で東経を度で"
                       "指定して下さい。");
            return std::nullopt;
        }
        time.place = place->label;
        if (!Has(opts, "zone")) time.zone = place->zone;
        return place->longitude;
    }
    const std::string text = Get(opts, "longitude");
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < -180 || value > 360) {
        code = Refuse("--longitude には出生地の東経を度で指定して下さい（例 141.35）（指定: " + text + "）。");
        return std::nullopt;
    }
    const bool japan = time.zone.empty() || time.zone == kJapanZone;
    if (japan && (value < kFirstJapanLongitude || value > kLastJapanLongitude) && !Has(opts, "force-longitude")) {
        code = Refuse("東経 " + text + " 度は日本（東経 " + std::to_string(int(kFirstJapanLongitude)) + "〜" +
                      std::to_string(int(kLastJapanLongitude)) +
                      " 度）の外です。この経度で補正するときは --force-longitude を付けて下さい。");
        return std::nullopt;
    }
    return value;
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
        {QStringLiteral("time"),
         QStringLiteral("exact clock time of birth instead of --hour; summer time (1948-1951) is removed and the "
                        "chart is cast for the corrected moment's date and period"),
         QStringLiteral("HH:MM")},
        {QStringLiteral("place"),
         QStringLiteral("birthplace: a prefecture or city of Japan (札幌, 神奈川県) or a city of the world "
                        "(ニューヨーク, New York), which also sets the time zone"),
         QStringLiteral("NAME")},
        {QStringLiteral("zone"),
         QStringLiteral("time zone of the birthplace (IANA name, default Asia/Tokyo): the clock time is read in it"),
         QStringLiteral("NAME")},
        {QStringLiteral("longitude"), QStringLiteral("birthplace longitude in degrees east (122-154)"),
         QStringLiteral("DEG")},
        {QStringLiteral("force-longitude"), QStringLiteral("accept a --longitude outside Japan")},
        {QStringLiteral("correction"),
         QStringLiteral("none (default), mean (local mean solar time) or true (plus the equation of time)"),
         QStringLiteral("none|mean|true")},
    });
    AddConventionOptions(parser);
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
    if (!date.empty() && !SplitTypedDate(date, in)) {
        std::cerr << "--date には 1959/5/7 の形で生年月日を指定して下さい。\n";
        return false;
    }
    if (!opts.isSet(QStringLiteral("time")) && in.hour != "不明の場合" && HourIndexOf(in.hour) == 0) {
        std::cerr << "--hour には 23:00-01:00 から 21:00-23:00 までの十二の時刻か「不明の場合」を指定して下さい。\n";
        return false;
    }
    return true;
}

int ApplyBirthTime(const Options& opts, EngineContext& ctx, BirthInput& in, std::optional<BirthTime>& time,
                   const ConventionProfile& profile) {
    time.reset();
    if (!Has(opts, "time")) {
        if (Has(opts, "place") || Has(opts, "longitude") || Has(opts, "correction") || Has(opts, "force-longitude") ||
            Has(opts, "zone"))
            return Refuse(
                "--place、--longitude、--force-longitude、--correction、--zone は --time（出生時刻）と一緒に指定して"
                "下さい。");
        return 0;
    }
    if (Has(opts, "hour"))
        return Refuse("--time と --hour は一緒に指定できません。出生時刻が分かるときは --time だけを指定して下さい。");
    const std::optional<int> minute = ParseClockTime(Get(opts, "time"));
    if (!minute)
        return Refuse("--time には出生時刻を HH:MM の形（00:00〜23:59、例 05:50）で指定して下さい（指定: " +
                      Get(opts, "time") + "）。");
    const auto correction = Has(opts, "correction") ? TimeCorrectionFromWord(Get(opts, "correction"))
                                                    : std::optional(profile.conventions.correction);
    if (!correction)
        return Refuse("--correction には none、mean、true のどれかを指定して下さい（指定: " + Get(opts, "correction") +
                      "）。");
    if (Has(opts, "place") && Has(opts, "longitude"))
        return Refuse("--place と --longitude はどちらか一つを指定して下さい。");
    BirthTime t;
    if (Has(opts, "zone")) {
        t.zone = Value(opts, QStringLiteral("zone"));
        if (!IsKnownZone(QString::fromStdString(t.zone)))
            return Refuse("--zone には Asia/Tokyo、America/New_York のようなタイムゾーンの名を指定して下さい（指定: " +
                          t.zone + "）。");
    }
    if (Has(opts, "place") || Has(opts, "longitude")) {
        int code = 0;
        t.longitude = ReadLongitude(opts, t, code);
        if (!t.longitude) return code;
    } else if (*correction != TimeCorrection::kNone && !Has(opts, "correction")) {
        return Refuse("規則の組「" + profile.name + "」は時刻を " + std::string(TimeCorrectionWord(*correction)) +
                      " で補正します。出生地（--place または --longitude）を指定して下さい。");
    } else if (*correction != TimeCorrection::kNone) {
        return Refuse("--correction " + std::string(TimeCorrectionWord(*correction)) +
                      " には出生地（--place または --longitude）を指定して下さい。");
    }
    // The clock reading's own date must be a birth date the program takes
    // before it is corrected (its messages are the request's own).
    const auto corrected =
        CorrectBirthInput(ctx, in, ExactTime{*minute, *correction, t.longitude, t.zone}, ZoneReadingOf);
    if (!corrected) return 1;
    t.corrected = *corrected;
    time = t;
    return 0;
}

int CastFromOptions(const Options& opts, std::string_view command, EngineContext& ctx, BirthInput& in,
                    std::optional<Chart>& chart, std::optional<BirthTime>* time, ConventionProfile* profile) {
    if (!ReadBirthOptions(opts, ctx, in)) return kExitUsage;
    const std::optional<ConventionProfile> conventions = ReadConventionOptions(opts);
    if (!conventions) return kExitUsage;
    if (profile) *profile = *conventions;
    std::optional<BirthTime> exact;
    if (const int refused = ApplyBirthTime(opts, ctx, in, exact, *conventions)) return refused;
    if (time) *time = exact;
    if (in.hour == "不明の場合") {
        std::cerr << command << " には生まれた時刻（十二の時刻のどれか）を指定して下さい。\n";
        return kExitUsage;
    }
    const CastOutcome cast = RequestChart(ctx, in, conventions->conventions, exact && exact->LateHour());
    if (!cast) return 1;
    chart = *cast;
    return 0;
}

}  // namespace zelvara::cli
