#include "chart_printer.h"

#include "chart_layout.h"
#include "conversion.h"

#include <string>

namespace zelvara::cli {
namespace {

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    static const char* hex = "0123456789abcdef";
                    out += "\\u00";
                    out += hex[c >> 4];
                    out += hex[c & 15];
                } else {
                    out += static_cast<char>(c);
                }
        }
    }
    return out + "\"";
}

template <size_t N>
std::string JsonArray(const std::array<std::int32_t, N>& a, int count) {
    std::string out = "[";
    for (int i = 1; i <= count; ++i) {
        if (i > 1) out += ",";
        out += std::to_string(a[i]);
    }
    return out + "]";
}

template <class T>
std::string JsonPillars(const T& set) {
    return "{\"year\":" + std::to_string(set.year) + ",\"month\":" + std::to_string(set.month) +
           ",\"day\":" + std::to_string(set.day) + ",\"hour\":" + std::to_string(set.hour) + "}";
}

// The palace standing on a branch, 0 if none.
int PalaceAt(const Tmandata& man, int branch) {
    for (int p = 1; p <= kPalaces; ++p)
        if (man.palaceBranch[p] == branch) return p;
    return 0;
}

std::string PalaceLabel(int p) {
    if (p == 0) return "－";
    return p == kLifePalace ? std::string(kPalaceNames[p]) : std::string(kPalaceNames[p]) + "宮";
}

}  // namespace

void PrintChartText(std::ostream& out, const EngineContext& ctx) {
    const Tmandata& man = ctx.man;
    const ChartLayout layout = LayOutChart(man);
    out << "氏名　　　" << (man.name.empty() ? "（なし）" : man.name) << "\n";
    out << "生年月日　" << man.birthText << "　" << kHourPeriodTexts[man.hourIndex] << "　"
        << (man.sexCode == 'M' ? "男命" : "女命") << "　" << man.age << "才\n";
    out << "旧暦　　　" << man.lunarMonth << "月" << man.lunarDay << "日\n";
    out << "四柱　　　時 " << PillarText(man.stems.hour, man.branches.hour) << "　日 "
        << PillarText(man.stems.day, man.branches.day) << "　月 " << PillarText(man.stems.month, man.branches.month)
        << "　年 " << PillarText(man.stems.year, man.branches.year) << "\n";
    out << "行運　　　" << (man.luckDirection != 0 ? "逆行運" : "順行運") << "　節入まで" << man.daysToTerm << "日　"
        << man.firstLuckAge << "年運（男命 " << ctx.firstLuckAgeMale << "・女命 " << ctx.firstLuckAgeFemale << "）\n";
    out << "五行局　　" << (man.bureau >= 1 && man.bureau <= 5 ? kBureauNames[man.bureau - 1] : "") << "\n";
    out << "身宮　　　" << BranchName(man.bodyPalace) << "\n\n";
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
            if (man.starBranch[q] == b) stars += " " + StarCaption(man, q) + std::string(kBrightnessMarks[man.brightness[q]]);
        for (int q = 1; q <= kMinorStars; ++q)
            if (man.minorBranch[q] == b) minors += " " + std::string(kMinorShortNames[q]);
        if (!stars.empty()) out << "　星　　" << stars.substr(1) << "\n";
        if (!minors.empty()) out << "　副星　" << minors.substr(1) << "\n";
    }
}

void PrintChartJson(std::ostream& out, const EngineContext& ctx) {
    const Tmandata& man = ctx.man;
    out << "{";
    out << "\"name\":" << JsonString(man.name);
    out << ",\"sex\":" << JsonString(std::string(1, man.sexCode));
    out << ",\"birthText\":" << JsonString(man.birthText);
    out << ",\"age\":" << man.age;
    out << ",\"hourIndex\":" << man.hourIndex;
    out << ",\"stems\":" << JsonPillars(man.stems);
    out << ",\"branches\":" << JsonPillars(man.branches);
    out << ",\"lunarMonth\":" << man.lunarMonth;
    out << ",\"lunarDay\":" << man.lunarDay;
    out << ",\"luckDirection\":" << man.luckDirection;
    out << ",\"daysToTerm\":" << man.daysToTerm;
    out << ",\"firstLuckAge\":" << man.firstLuckAge;
    out << ",\"firstLuckAgeMale\":" << ctx.firstLuckAgeMale;
    out << ",\"firstLuckAgeFemale\":" << ctx.firstLuckAgeFemale;
    out << ",\"bodyPalace\":" << man.bodyPalace;
    out << ",\"bureau\":" << man.bureau;
    out << ",\"palaceBranch\":" << JsonArray(man.palaceBranch, kPalaces);
    out << ",\"starBranch\":" << JsonArray(man.starBranch, kStars);
    out << ",\"minorBranch\":" << JsonArray(man.minorBranch, kMinorStars);
    out << ",\"transformStar\":" << JsonArray(man.transformStar, kTransforms);
    out << ",\"brightness\":" << JsonArray(man.brightness, kStars);
    out << ",\"mainStar\":" << JsonArray(man.mainStar, kPalaces);
    out << ",\"luckAge\":" << JsonArray(man.luckAge, 12);
    out << ",\"luckPalace\":" << JsonArray(man.luckPalace, 12);
    out << ",\"luckBranch\":" << JsonArray(man.luckBranch, 12);
    const ChartLayout layout = LayOutChart(man);
    out << ",\"boxText\":[";
    for (int p = 1; p <= kPalaces; ++p) {
        out << (p > 1 ? "," : "") << "[";
        for (int r = 1; r <= kBoxSlots; ++r) out << (r > 1 ? "," : "") << JsonString(layout.boxText[p][r]);
        out << "]";
    }
    out << "]";
    const auto strength = PalaceStrengths(man);
    out << ",\"palaceStrength\":" << JsonArray(strength, kPalaces);
    out << "}\n";
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
