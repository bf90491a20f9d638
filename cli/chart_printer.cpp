#include "cli/chart_printer.h"

#include "cli/layer_printer.h"
#include "common/qstring_utf8.h"
#include "engine/chart_layout.h"
#include "engine/conversion.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cmath>
#include <string>

namespace zelvara::cli {
namespace {

template <size_t N>
QJsonArray JsonArray(const std::array<std::int32_t, N>& a, int count) {
    QJsonArray out;
    for (int i = 1; i <= count; ++i) out.append(a[i]);
    return out;
}

template <class T>
QJsonObject JsonPillars(const T& set) {
    return {{"year", set.year}, {"month", set.month}, {"day", set.day}, {"hour", set.hour}};
}

// The palace standing on a branch, 0 if none.
int PalaceAt(const Tmandata& man, int branch) {
    for (int p = 1; p <= kPalaces; ++p)
        if (man.palaceBranch[p] == branch) return p;
    return 0;
}

std::string PalaceLabel(int p) {
    if (p == 0) return "－";
    return PalaceFullName(p);
}

// Minutes to one decimal, or null where the correction was not applied.
QJsonValue Minutes(const std::optional<double>& m) {
    return m ? QJsonValue(std::round(*m * 10) / 10) : QJsonValue(QJsonValue::Null);
}

void InsertBirthTime(QJsonObject& chart, const BirthTime& time) {
    const CorrectedBirth& c = time.corrected;
    chart.insert(QStringLiteral("clockTime"), QString::fromStdString(ClockTimeText(c.clockMinute)));
    chart.insert(QStringLiteral("correctedTime"), QString::fromStdString(ClockTimeText(c.minuteOfDay)));
    chart.insert(QStringLiteral("correctedDate"), QStringLiteral("%1/%2/%3").arg(c.year).arg(c.month).arg(c.day));
    chart.insert(QStringLiteral("summerTimeMinutes"), c.summerMinutes);
    chart.insert(QStringLiteral("longitudeMinutes"), Minutes(c.longitudeMinutes));
    chart.insert(QStringLiteral("equationOfTimeMinutes"), Minutes(c.equationMinutes));
    if (!time.zone.empty())  // a birth outside Japan's zone
        chart.insert(QStringLiteral("zone"), QString::fromStdString(time.zone));
}

// `conventions`: the profile's name, each switch by its key and word, and the
// compact line.
void InsertConventions(QJsonObject& chart, const Tmandata& man, const ConventionProfile& profile) {
    QJsonObject conventions{{"profile", Q(profile.name)},
                            {"line", Q(ConventionsLine(profile.name, profile.conventions))}};
    for (const ConventionSwitch& s : ConventionSwitches())
        conventions.insert(Q(s.key), Q(ConventionWord(profile.conventions, s.key)));
    chart.insert(QStringLiteral("conventions"), conventions);
    chart.insert(QStringLiteral("transformMinor"), JsonArray(man.transformMinor, kTransforms));
}

QString KindWord(AlternativeKind kind) {
    switch (kind) {
        case AlternativeKind::kNeighbourPeriod: return QStringLiteral("period");
        case AlternativeKind::kSolarTerm: return QStringLiteral("term");
        case AlternativeKind::kLateHour: return QStringLiteral("late-hour");
        case AlternativeKind::kConvention: break;
    }
    return QStringLiteral("convention");
}

void InsertAlternatives(QJsonObject& chart, const std::vector<ChartAlternative>& alternatives) {
    QJsonArray list;
    for (const ChartAlternative& a : alternatives) {
        QJsonArray differs;
        for (const std::string& d : a.differences) differs.append(Q(d));
        list.append(QJsonObject{{"kind", KindWord(a.kind)},
                                {"reason", Q(a.reason)},
                                {"changes", Q(a.changes)},
                                {"value", Q(a.value)},
                                {"differs", differs},
                                {"boundary", a.boundary}});
    }
    chart.insert(QStringLiteral("alternatives"), list);
}

std::string DifferencesText(const std::vector<std::string>& differences) {
    std::string text;
    for (const std::string& d : differences) {
        std::string word = d == "lifePalace" ? "命宮" : d == "bodyPalace" ? "身宮" : d == "bureau" ? "五行局" : "";
        if (word.empty()) word = d.substr(d.find(':') + 1);
        text += (text.empty() ? "" : "・") + word;
    }
    return text;
}

}  // namespace

void PrintChartText(std::ostream& out, const Chart& chart, const BirthTime* time, const std::vector<TimeLayer>& layers,
                    const ConventionProfile* profile, const std::vector<ChartAlternative>* alternatives) {
    const Tmandata& man = chart.Man();
    const ChartLayout layout = LayOutChart(man);
    out << "氏名　　　" << (man.name.empty() ? "（なし）" : man.name) << "\n";
    out << "生年月日　" << man.birthText << "　" << kHourPeriodTexts[man.hourIndex] << "　"
        << (man.sexCode == 'M' ? "男命" : "女命");
    if (man.age > 0) out << "　" << man.age << "才";  // no age for a birth after today
    out << "\n";
    if (time) {
        out << "出生時刻　" << CorrectionLine(time->corrected) << "\n";
        if (time->longitude)
            out << "出生地　　" << (time->place.empty() ? "" : time->place + "　") << "東経 "
                << QString::number(*time->longitude, 'f', 2).toStdString() << " 度\n";
    }
    if (profile) out << "規則　　　" << ConventionsLine(profile->name, profile->conventions) << "\n";
    out << "旧暦　　　" << man.lunarMonth << "月" << man.lunarDay << "日\n";
    out << "四柱　　　時 " << PillarText(man.stems.hour, man.branches.hour) << "　日 "
        << PillarText(man.stems.day, man.branches.day) << "　月 " << PillarText(man.stems.month, man.branches.month)
        << "　年 " << PillarText(man.stems.year, man.branches.year) << "\n";
    out << "行運　　　" << (man.luckDirection != 0 ? "逆行運" : "順行運") << "　節入まで" << man.daysToTerm << "日　"
        << man.firstLuckAge << "年運（男命 " << chart.FirstLuckAgeMale() << "・女命 " << chart.FirstLuckAgeFemale()
        << "）\n";
    out << "五行局　　" << (man.bureau >= 1 && man.bureau <= 5 ? kBureauNames[man.bureau - 1] : "") << "\n";
    out << "身宮　　　" << BranchName(man.bodyPalace) << "\n";
    if (alternatives)
        for (const ChartAlternative& a : *alternatives)
            out << (a.boundary ? "境界注意　" : "他の規則　") << a.reason << "：" << DifferencesText(a.differences)
                << "が変わる\n";
    out << "\n";
    for (int b = 1; b <= kBranches; ++b) {
        const int p = PalaceAt(man, b);
        out << BranchName(b) << "　" << PalaceLabel(p);
        if (p == 0) {
            out << "\n";
            continue;
        }
        if (layout.ageOfBranch[b] >= 0) out << "　" << layout.ageOfBranch[b] << "才";
        out << "\n　主星　" << (man.mainStar[p] ? kStarLongNames[man.mainStar[p]] : "なし") << "\n";
        std::string stars, minors;
        for (int q = 1; q <= kStars; ++q)
            if (man.starBranch[q] == b)
                stars += " " + StarCaption(man, q) + std::string(kBrightnessMarks[man.brightness[q]]);
        for (int q = 1; q <= kMinorStars; ++q)
            if (man.minorBranch[q] == b) minors += " " + MinorCaption(man, q);
        if (!stars.empty()) out << "　星　　" << stars.substr(1) << "\n";
        if (!minors.empty()) out << "　副星　" << minors.substr(1) << "\n";
    }
    if (!layers.empty()) PrintLayerText(out, man, layers);
}

void PrintChartJson(std::ostream& out, const Chart& cast, const BirthTime* time, const std::vector<TimeLayer>& layers,
                    const ConventionProfile* profile, const std::vector<ChartAlternative>* alternatives) {
    const Tmandata& man = cast.Man();
    QJsonObject chart{
        {"name", Q(man.name)},
        {"sex", QString(QLatin1Char(man.sexCode))},
        {"birthText", Q(man.birthText)},
        {"age", man.age > 0 ? QJsonValue(man.age) : QJsonValue(QJsonValue::Null)},  // null: born after today
        {"hourIndex", man.hourIndex},
        {"stems", JsonPillars(man.stems)},
        {"branches", JsonPillars(man.branches)},
        {"lunarMonth", man.lunarMonth},
        {"lunarDay", man.lunarDay},
        {"luckDirection", man.luckDirection},
        {"daysToTerm", man.daysToTerm},
        {"firstLuckAge", man.firstLuckAge},
        {"firstLuckAgeMale", cast.FirstLuckAgeMale()},
        {"firstLuckAgeFemale", cast.FirstLuckAgeFemale()},
        {"bodyPalace", man.bodyPalace},
        {"bureau", man.bureau},
        {"palaceBranch", JsonArray(man.palaceBranch, kPalaces)},
        {"starBranch", JsonArray(man.starBranch, kStars)},
        {"minorBranch", JsonArray(man.minorBranch, kMinorStars)},
        {"transformStar", JsonArray(man.transformStar, kTransforms)},
        {"brightness", JsonArray(man.brightness, kStars)},
        {"mainStar", JsonArray(man.mainStar, kPalaces)},
        {"luckAge", JsonArray(man.luckAge, 12)},
        {"luckPalace", JsonArray(man.luckPalace, 12)},
        {"luckBranch", JsonArray(man.luckBranch, 12)},
    };
    const ChartLayout layout = LayOutChart(man);
    QJsonArray boxes;
    for (int p = 1; p <= kPalaces; ++p) {
        QJsonArray box;
        for (int r = 1; r <= kBoxSlots; ++r) box.append(Q(layout.boxText[p][r]));
        boxes.append(box);
    }
    chart.insert(QStringLiteral("boxText"), boxes);
    chart.insert(QStringLiteral("palaceStrength"), JsonArray(PalaceStrengths(man), kPalaces));
    if (time) InsertBirthTime(chart, *time);
    if (profile) InsertConventions(chart, man, *profile);
    if (alternatives) InsertAlternatives(chart, *alternatives);
    if (!layers.empty()) InsertLayerJson(chart, man, layers);
    out << QJsonDocument(chart).toJson(QJsonDocument::Compact).toStdString() << "\n";
}

void PrintHourGrid(std::ostream& out, const HourGrid& grid) {
    // Columns are the hour periods; a cell is the palace's main star.
    out << "宮＼時刻";
    for (int h = 0; h < kHours; ++h) out << "\t" << kHourPeriodTexts[h];
    out << "\n";
    for (int p = 1; p <= kPalaces; ++p) {
        out << PalaceLabel(p);
        for (int h = 0; h < kHours; ++h) out << "\t" << (grid[p][h] ? kStarLongNames[grid[p][h]] : "");
        out << "\n";
    }
}

}  // namespace zelvara::cli
