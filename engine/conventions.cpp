#include "engine/conventions.h"

#include "engine/stars.h"

namespace zelvara {
namespace {

constexpr int kWu = 5, kGeng = 7, kRen = 9;                    // stems 戊 庚 壬
constexpr int kTaiyo = 3, kTendo = 5, kTenpu = 7, kTaiin = 8;  // graded stars
constexpr int kSaho = 4, kUbitsu = 5;                          // additional stars 左輔 右弼
constexpr int kKa = 3, kKi = 4;                                // 化科, 化忌

template <typename E>
int Index(E e) {
    return static_cast<int>(e);
}

// The switches in their fixed order: key, words, and how each reads and sets.
struct SwitchAccess {
    ConventionSwitch words;
    int (*get)(const Conventions&);
    void (*set)(Conventions&, int);
};

const std::vector<SwitchAccess>& Access() {
    static const std::vector<SwitchAccess> access = {
        {{"palace-month", {"solar-term", "lunar", "lunar-next", "lunar-split"}},
         [](const Conventions& c) { return Index(c.palaceMonth); },
         [](Conventions& c, int v) { c.palaceMonth = static_cast<PalaceMonth>(v); }},
        {{"year-start", {"risshun", "lunar-new-year"}},
         [](const Conventions& c) { return Index(c.yearStart); },
         [](Conventions& c, int v) { c.yearStart = static_cast<YearStart>(v); }},
        {{"late-hour", {"same-day", "next-day", "next-day-keep-month"}},
         [](const Conventions& c) { return Index(c.lateHour); },
         [](Conventions& c, int v) { c.lateHour = static_cast<LateHourDay>(v); }},
        {{"meridian", {"135", "120"}},
         [](const Conventions& c) { return Index(c.meridian); },
         [](Conventions& c, int v) { c.meridian = static_cast<LunarMeridian>(v); }},
        {{"transform-wu", {"taiyo", "ubitsu"}},
         [](const Conventions& c) { return Index(c.transforms.wu); },
         [](Conventions& c, int v) { c.transforms.wu = static_cast<WuTransform>(v); }},
        {{"transform-geng", {"tenpu", "taiin", "tendo"}},
         [](const Conventions& c) { return Index(c.transforms.geng); },
         [](Conventions& c, int v) { c.transforms.geng = static_cast<GengTransform>(v); }},
        {{"transform-ren", {"tenpu", "saho"}},
         [](const Conventions& c) { return Index(c.transforms.ren); },
         [](Conventions& c, int v) { c.transforms.ren = static_cast<RenTransform>(v); }},
        {{"correction", {"none", "mean", "true"}},
         [](const Conventions& c) { return Index(c.correction); },
         [](Conventions& c, int v) { c.correction = static_cast<TimeCorrection>(v); }},
    };
    return access;
}

const SwitchAccess* AccessOf(std::string_view key) {
    for (const SwitchAccess& a : Access())
        if (a.words.key == key) return &a;
    return nullptr;
}

std::string_view Trimmed(std::string_view s) {
    const size_t first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

}  // namespace

TransformCarrier TransformCarrierOf(int stem, int transform, const TransformTable& table) {
    TransformCarrier carrier{TransformStarOf(stem, transform), 0};
    if (carrier.star == 0) return carrier;
    if (stem == kWu && transform == kKa && table.wu == WuTransform::kUbitsu) return {0, kUbitsu};
    if (stem == kRen && transform == kKa && table.ren == RenTransform::kSaho) return {0, kSaho};
    if (stem == kGeng && table.geng == GengTransform::kTaiin && transform == kKa) return {kTaiin, 0};
    if (stem == kGeng && table.geng == GengTransform::kTendo && transform == kKa) return {kTendo, 0};
    if (stem == kGeng && table.geng == GengTransform::kTendo && transform == kKi) return {kTaiin, 0};
    return carrier;
}

const std::vector<ConventionSwitch>& ConventionSwitches() {
    static const std::vector<ConventionSwitch> switches = [] {
        std::vector<ConventionSwitch> s;
        for (const SwitchAccess& a : Access()) s.push_back(a.words);
        return s;
    }();
    return switches;
}

bool SetConvention(Conventions& c, std::string_view key, std::string_view word) {
    const SwitchAccess* a = AccessOf(key);
    if (!a) return false;
    for (size_t v = 0; v < a->words.words.size(); ++v)
        if (a->words.words[v] == word) {
            a->set(c, static_cast<int>(v));
            return true;
        }
    return false;
}

std::string_view ConventionWord(const Conventions& c, std::string_view key) {
    const SwitchAccess* a = AccessOf(key);
    if (!a) return {};
    const int v = a->get(c);
    return v >= 0 && v < static_cast<int>(a->words.words.size()) ? a->words.words[v] : std::string_view{};
}

std::string ConventionsText(const Conventions& c) {
    std::string text;
    for (const SwitchAccess& a : Access()) {
        const int v = a.get(c);
        if (v == 0) continue;
        if (!text.empty()) text += ';';
        text += std::string(a.words.key) + "=" + std::string(a.words.words[v]);
    }
    return text;
}

std::optional<Conventions> ParseConventionsText(std::string_view text, std::string* badItem) {
    Conventions c;
    while (!text.empty()) {
        const size_t end = text.find_first_of(";,");
        const std::string_view item = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        if (item.empty()) continue;
        const size_t eq = item.find('=');
        if (eq == std::string_view::npos ||
            !SetConvention(c, Trimmed(item.substr(0, eq)), Trimmed(item.substr(eq + 1)))) {
            if (badItem) badItem->assign(item);
            return std::nullopt;
        }
    }
    return c;
}

namespace {

// How the line names each switch's values, in the switches' order.
struct SwitchText {
    std::string_view key;
    std::string_view label;
    std::vector<std::string_view> values;
};
const std::vector<SwitchText>& SwitchTexts() {
    static const std::vector<SwitchText> texts = {
        {"palace-month",
         "命宮",
         {"節月", "旧暦月（閏月は前月）", "旧暦月（閏月は翌月）", "旧暦月（閏月は15日で分割）"}},
        {"year-start", "年", {"立春", "旧正月"}},
        {"late-hour", "23時", {"当日", "翌日", "翌日（月は当日）"}},
        {"meridian", "旧暦", {"135°E", "120°E"}},
        {"transform-wu", "四化 戊科", {"太陽", "右弼"}},
        {"transform-geng", "庚科", {"天府", "太陰", "天同"}},
        {"transform-ren", "壬科", {"天府", "左輔"}},
        {"correction", "補正", {"なし", "平均太陽時", "真太陽時"}},
    };
    return texts;
}

std::string ValueText(const SwitchText& t, std::string_view word) {
    const ConventionSwitch* s = nullptr;
    for (const ConventionSwitch& c : ConventionSwitches())
        if (c.key == t.key) s = &c;
    for (size_t v = 0; s && v < s->words.size() && v < t.values.size(); ++v)
        if (s->words[v] == word)
            return std::string(t.label) + std::string(t.key.starts_with("transform") ? "" : " ") +
                   std::string(t.values[v]);
    return {};
}

}  // namespace

std::string ConventionValueText(std::string_view key, std::string_view word) {
    for (const SwitchText& t : SwitchTexts())
        if (t.key == key) return ValueText(t, word);
    return {};
}

std::string ConventionsLine(std::string_view profileName, const Conventions& c) {
    std::string line(profileName);
    line += "：";
    bool first = true;
    for (const SwitchText& t : SwitchTexts()) {
        const bool transform = t.key == "transform-geng" || t.key == "transform-ren";
        if (!first) line += transform ? " " : "・";
        first = false;
        line += ValueText(t, ConventionWord(c, t.key));
    }
    return line;
}

}  // namespace zelvara
