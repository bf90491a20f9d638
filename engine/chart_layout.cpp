#include "engine/chart_layout.h"

namespace zelvara {
namespace {

// Palace-strength weights: rows by star, columns by palace 1..12.
constexpr int kStarWeight[kStars][kPalaces] = {
    {2, 4, 2, 2, 2, 4, 2, 4, 2, 4, 2, 2},              // 紫薇
    {2, 4, 4, 2, 2, 2, -2, 2, -2, 2, -2, -2},          // 天機
    {4, 4, 2, 4, 4, 4, 2, 4, 4, 4, 2, 2},              // 太陽
    {-2, 2, -2, -2, -2, 4, -2, 4, 4, 4, 2, 2},         // 武曲
    {2, 4, 4, 4, 4, 2, 4, 2, 2, 2, 2, 4},              // 天同
    {-4, 2, -4, -4, -4, 2, -4, 4, 2, 4, -2, -2},       // 廉貞
    {4, 4, 4, 4, 4, 4, 4, 4, 4, 2, 4, 4},              // 天府
    {4, 4, 2, 2, 4, 4, 2, 4, 4, 2, 4, 4},              // 太陰
    {-4, -2, -4, -4, -4, -2, -4, -2, -2, 2, -4, -4},   // 貪狼
    {-4, -2, -4, -2, -4, 4, -4, -2, -2, 4, -4, -4},    // 巨門
    {4, 4, 4, 2, 2, 2, 4, 4, 4, 4, 2, 4},              // 天相
    {4, 4, 4, 4, 2, 2, 4, 4, 4, 2, 2, 4},              // 天梁
    {-4, 2, -4, -4, -4, 2, -4, -2, -4, 2, 2, -2},      // 七殺
    {-4, -2, -4, -4, -2, 2, -4, 4, -2, 2, -2, -4},     // 破軍
    {-4, -2, -2, -2, -4, -2, 2, -2, -2, -2, -2, -2},   // 炎星
    {-4, -2, -2, -2, -4, -2, 2, -2, -2, -2, -2, -2},   // 鈴星
    {2, 4, 2, 2, 2, 2, 2, 4, 4, 4, 2, 4},              // 文曲
    {2, 4, 2, 2, 2, 2, 2, 4, 4, 4, 2, 4},              // 文昌
    {-4, -2, -4, -4, -4, -2, -4, -2, -4, -2, -2, -2},  // 羊刃
    {-4, -2, -4, -4, -4, -2, -4, -2, -4, -2, -2, -2},  // 陀羅
};

constexpr int kMinorWeight[kMinorStars][kPalaces] = {
    {2, 1, 1, 2, 1, 2, 1, 2, 2, 2, 2, 1},              // 天存
    {2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 1, 2},              // 天魁
    {2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 1, 2},              // 天鉞
    {2, 1, 2, -1, 1, 1, 1, 2, 2, 2, 1, 2},             // 左輔
    {2, 1, 2, -1, 1, 1, 1, 2, 2, 2, 1, 2},             // 右弼
    {1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0},              // 駅馬
    {-2, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2},  // 天空
    {-2, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2, -2},  // 地劫
    {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},              // 天耗
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},              // 紅鸞
    {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},              // 天喜
    {-1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 0, -1},           // 天姚
    {-1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},             // 天刑
};

constexpr int kForwardSequence[12] = {2, 1, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3};
constexpr int kBackwardSequence[12] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1};

bool IsBranch(int b) { return b >= 1 && b <= 12; }

}  // namespace

std::string_view StarSlot::Mark() const {
    return kind == Kind::Star && brightness >= 1 && brightness <= 4 ? kBrightnessMarks[brightness] : std::string_view{};
}

void LayOutLuckPeriods(Tmandata& man) {
    const int* sequence = man.luckDirection == 0 ? kForwardSequence : kBackwardSequence;
    for (int k = 1; k <= 12; ++k) {
        man.luckAge[k] = man.firstLuckAge + 10 * (k - 1);
        man.luckPalace[k] = sequence[k - 1];
        man.luckBranch[k] = man.palaceBranch[man.luckPalace[k]];
    }
}

int BoxSlotOfStar(const ChartLayout& layout, int branch, int star) {
    if (!IsBranch(branch) || star < 1 || star > kStars) return 0;
    for (int r = 1; r <= kBoxSlots; ++r)
        if (layout.box[branch][r].kind == StarSlot::Kind::Star && layout.box[branch][r].number == star) return r;
    return 0;
}

int CarrierBranch(const Tmandata& man, const TransformCarrier& carrier) {
    if (carrier.star >= 1 && carrier.star <= kStars) return man.starBranch[carrier.star];
    if (carrier.minor >= 1 && carrier.minor <= kMinorStars) return man.minorBranch[carrier.minor];
    return 0;
}

int BoxSlotOfCarrier(const ChartLayout& layout, const Tmandata& man, const TransformCarrier& carrier) {
    const int branch = CarrierBranch(man, carrier);
    if (carrier.star != 0) return BoxSlotOfStar(layout, branch, carrier.star);
    if (!IsBranch(branch)) return 0;
    for (int r = 1; r <= kBoxSlots; ++r)
        if (layout.box[branch][r].kind == StarSlot::Kind::Minor && layout.box[branch][r].number == carrier.minor)
            return r;
    return 0;
}

std::string StarCaption(const Tmandata& man, int star) {
    std::string text(kStarShortNames[star]);
    for (int t = 1; t <= kTransforms; ++t)
        if (man.transformStar[t] == star) text = std::string(kStarShortNames[star]) + std::string(kTransformMarks[t]);
    return text;
}

std::string MinorCaption(const Tmandata& man, int minor) {
    std::string text(kMinorShortNames[minor]);
    for (int t = 1; t <= kTransforms; ++t)
        if (man.transformMinor[t] == minor) text += std::string(kTransformMarks[t]);
    return text;
}

ChartLayout LayOutChart(const Tmandata& man) {
    ChartLayout layout;
    std::array<int, kBranches + 1> count{};
    for (int q = 1; q <= kStars; ++q) {
        const int b = man.starBranch[q];
        if (!IsBranch(b)) continue;
        if (count[b] == kBoxSlots) {
            ++layout.overflow[b];
            continue;
        }
        StarSlot& slot = layout.box[b][++count[b]];
        slot.kind = StarSlot::Kind::Star;
        slot.number = q;
        slot.brightness = man.brightness[q];
        slot.caption = StarCaption(man, q);
    }
    for (int q = 1; q <= kMinorStars; ++q) {
        const int b = man.minorBranch[q];
        if (!IsBranch(b) || count[b] >= kBoxSlots) continue;
        StarSlot& slot = layout.box[b][++count[b]];
        slot.kind = StarSlot::Kind::Minor;
        slot.number = q;
        slot.caption = MinorCaption(man, q);
    }
    for (int p = 1; p <= kPalaces; ++p) {
        const int b = man.palaceBranch[p];
        if (!IsBranch(b)) continue;
        for (int r = 1; r <= kBoxSlots; ++r) layout.boxText[p][r] = layout.box[b][r].caption;
    }
    layout.ageOfBranch.fill(-1);
    for (int k = 1; k <= 12; ++k)
        if (IsBranch(man.luckBranch[k])) layout.ageOfBranch[man.luckBranch[k]] = man.luckAge[k];
    return layout;
}

void NameLuckRulers(Tmandata& man) {
    for (int i = 1; i <= 12; ++i) {
        const int q = man.luckPalace[i];
        const int s = q >= 1 && q <= kPalaces ? man.luckRulingStar[q] : 0;
        std::string_view ruler = "空白";
        if (s >= 1 && s <= kStars) {
            ruler = kStarLongNames[s];
        } else if (q >= 1 && q <= kPalaces) {
            for (int m = 1; m <= kMinorStars; ++m)
                if (man.minorBranch[m] == man.palaceBranch[q]) {
                    ruler = kMinorLongNames[m];
                    break;
                }
        }
        man.daiunStarName[i] = ruler;
    }
}

std::array<std::string, 13> LuckPeriodCaptions(const Tmandata& man) {
    std::array<std::string, 13> captions;
    for (int i = 1; i <= 12; ++i)
        captions[i] = std::to_string(man.luckAge[i]) + "-" + std::to_string(man.luckAge[i] + 9) + "才(" +
                      man.daiunStarName[i] + ")";
    return captions;
}

std::array<std::string, 13> NameLuckPeriods(Tmandata& man) {
    NameLuckRulers(man);
    return LuckPeriodCaptions(man);
}

std::array<int, kPalaces + 1> PalaceStrengths(const Tmandata& man) {
    std::array<int, kPalaces + 1> strength{};
    for (int p = 1; p <= kPalaces; ++p) {
        const int b = man.palaceBranch[p];
        if (!IsBranch(b)) continue;
        for (int q = 1; q <= kStars; ++q)
            if (man.starBranch[q] == b) strength[p] += kStarWeight[q - 1][p - 1];
        for (int q = 1; q <= kMinorStars; ++q)
            if (man.minorBranch[q] == b) strength[p] += kMinorWeight[q - 1][p - 1];
    }
    return strength;
}

}  // namespace zelvara
