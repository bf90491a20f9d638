#include "engine/stars.h"

#include "engine/palaces.h"

namespace zelvara {
namespace {

// 紫薇 by lunar day (rows 1..30) and bureau (columns 木 火 土 金 水).
constexpr int kZiwei[30][5] = {
    {5, 10, 7, 12, 2}, {2, 7, 12, 5, 3},    {3, 12, 5, 2, 3},  {6, 5, 2, 3, 4},    {3, 2, 3, 1, 4},  {4, 3, 8, 6, 5},
    {7, 11, 1, 3, 5},  {4, 8, 6, 4, 6},     {5, 1, 3, 2, 6},   {8, 6, 4, 7, 7},    {5, 3, 9, 4, 7},  {6, 4, 2, 5, 8},
    {9, 12, 7, 3, 8},  {6, 9, 4, 8, 9},     {7, 2, 5, 5, 9},   {10, 7, 10, 6, 10}, {7, 4, 3, 4, 10}, {8, 5, 8, 9, 11},
    {11, 1, 5, 6, 11}, {8, 10, 6, 7, 12},   {9, 3, 11, 5, 12}, {12, 8, 4, 10, 1},  {9, 5, 9, 7, 1},  {10, 6, 6, 8, 2},
    {1, 2, 7, 6, 2},   {10, 11, 12, 11, 3}, {11, 4, 5, 8, 3},  {2, 9, 10, 9, 4},   {11, 6, 7, 7, 4}, {12, 7, 8, 12, 5},
};

// By year stem 甲..癸.
constexpr int kYangBlade[10] = {4, 5, 7, 8, 7, 8, 10, 11, 1, 2};    // 羊刃
constexpr int kSpinningTop[10] = {2, 3, 5, 6, 5, 6, 8, 9, 11, 12};  // 陀羅
constexpr int kTenzon[10] = {3, 4, 6, 7, 6, 7, 9, 10, 12, 1};       // 天存
constexpr int kTenkai[10] = {2, 1, 12, 10, 8, 9, 8, 7, 6, 4};       // 天魁
constexpr int kTenetsu[10] = {8, 9, 10, 12, 2, 1, 2, 3, 4, 6};      // 天鉞
constexpr int kTransform[4][10] = {
    {6, 2, 5, 8, 9, 4, 3, 10, 12, 14},  // 禄
    {14, 12, 2, 5, 8, 9, 4, 3, 1, 10},  // 権
    {4, 1, 18, 2, 3, 12, 7, 17, 7, 8},  // 科
    {3, 8, 6, 10, 2, 17, 5, 18, 4, 9},  // 忌
};

// Additional stars 4..13 by their driving branch 子..亥.
enum class Driver { Month, Hour, Year };
struct BranchDriven {
    int star;
    Driver driver;
    int branch[12];
};
constexpr BranchDriven kBranchDriven[] = {
    {4, Driver::Month, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2}},   // 左輔
    {5, Driver::Month, {1, 12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2}},   // 右弼
    {6, Driver::Month, {3, 12, 9, 6, 3, 12, 9, 6, 3, 12, 9, 6}},   // 駅馬
    {7, Driver::Hour, {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1}},    // 天空
    {8, Driver::Hour, {12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},    // 地劫
    {9, Driver::Year, {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1}},    // 天耗
    {10, Driver::Year, {4, 3, 2, 1, 12, 11, 10, 9, 8, 7, 6, 5}},   // 紅鸞
    {11, Driver::Year, {10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 12, 11}},   // 天喜
    {12, Driver::Month, {12, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},  // 天姚
    {13, Driver::Month, {8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6, 7}},  // 天刑
};

// Brightness by branch (rows 子..亥) and star (columns 1..20).
constexpr int kBrightness[12][20] = {
    {2, 1, 3, 2, 1, 3, 2, 1, 2, 2, 3, 1, 2, 2, 4, 4, 1, 1, 4, 4},
    {3, 3, 2, 2, 3, 2, 1, 2, 2, 3, 1, 2, 2, 3, 3, 3, 2, 2, 2, 2},
    {2, 3, 2, 2, 2, 2, 2, 3, 3, 2, 2, 2, 2, 4, 2, 2, 3, 3, 4, 4},
    {3, 2, 1, 2, 2, 4, 2, 3, 3, 2, 3, 1, 2, 4, 3, 3, 2, 2, 4, 4},
    {2, 2, 1, 2, 2, 2, 2, 3, 2, 3, 2, 2, 2, 2, 4, 4, 1, 1, 2, 2},
    {2, 3, 1, 3, 2, 4, 2, 3, 4, 3, 2, 3, 2, 3, 3, 3, 2, 2, 4, 4},
    {1, 1, 1, 2, 3, 3, 2, 3, 2, 2, 3, 1, 2, 2, 2, 2, 3, 3, 4, 4},
    {3, 3, 2, 2, 3, 2, 1, 2, 2, 3, 2, 2, 2, 3, 2, 2, 2, 2, 2, 2},
    {2, 2, 3, 2, 3, 2, 2, 2, 3, 3, 2, 3, 2, 4, 4, 4, 1, 1, 4, 4},
    {3, 2, 3, 2, 2, 4, 2, 1, 3, 2, 3, 3, 2, 4, 3, 3, 2, 2, 4, 4},
    {2, 2, 3, 2, 2, 2, 2, 1, 2, 3, 2, 2, 2, 2, 2, 2, 3, 3, 2, 2},
    {2, 3, 3, 3, 2, 4, 2, 1, 4, 3, 2, 3, 2, 3, 3, 3, 2, 2, 4, 4},
};

bool IsBranch(int b) { return b >= 1 && b <= 12; }

// 炎星 starts by year branch: 子辰申 → 寅, 丑巳酉 → 卯, 寅午戌 → 丑, 卯未亥 → 酉.
int FireStarStart(int yearBranch) {
    static constexpr int kStart[4] = {3, 4, 2, 10};
    return kStart[(yearBranch - 1) % 4];
}

// 鈴星 starts at 卯 for 寅午戌 years, else at 戌.
int BellStarStart(int yearBranch) { return (yearBranch - 1) % 4 == 2 ? 4 : 11; }

}  // namespace

int ZiweiBranch(int lunarDay, int bureau) {
    if (lunarDay < 1 || lunarDay > 30 || bureau < 1 || bureau > 5) return 0;
    return kZiwei[lunarDay - 1][bureau - 1];
}

int Brightness(int branch, int star) {
    if (!IsBranch(branch) || star < 1 || star > kStars) return 0;
    return kBrightness[branch - 1][star - 1];
}

int TransformStarOf(int stem, int transform) {
    if (stem < 1 || stem > 10 || transform < 1 || transform > kTransforms) return 0;
    return kTransform[transform - 1][stem - 1];
}

int PlaceStars(Tmandata& man, const PalaceMonths& months, const TransformTable& transforms) {
    const int yearStem = man.stems.year;
    const int yearBranch = man.branches.year;
    const int monthBranch = months.monthBranch;
    const int hourBranch = man.branches.hour;
    man.transforms = transforms;
    if (yearStem < 1 || yearStem > 10 || !IsBranch(yearBranch) || !IsBranch(monthBranch) || !IsBranch(hourBranch))
        return -1;

    if (PlacePalaces(man, monthBranch) < 0) return -1;

    auto& sb = man.starBranch;
    const int z = ZiweiBranch(man.lunarDay, man.bureau);
    if (z == 0) return -1;
    sb[1] = z;
    sb[2] = WrapBranch(z - 1);
    sb[3] = WrapBranch(z - 3);
    sb[4] = WrapBranch(z - 4);
    sb[5] = WrapBranch(z - 5);
    sb[6] = WrapBranch(z + 4);

    const int f = WrapBranch(6 - z);
    sb[7] = f;
    static constexpr int kFromTenpu[] = {1, 2, 3, 4, 5, 6, 10};  // 太陰 … 破軍
    for (int i = 0; i < 7; ++i) sb[8 + i] = WrapBranch(f + kFromTenpu[i]);

    const int h = hourBranch - 1;
    sb[15] = WrapBranch(FireStarStart(yearBranch) + h);
    sb[16] = WrapBranch(BellStarStart(yearBranch) + h);
    sb[17] = WrapBranch(5 + h);
    sb[18] = WrapBranch(11 - h);
    sb[19] = kYangBlade[yearStem - 1];
    sb[20] = kSpinningTop[yearStem - 1];

    man.bodyPalace = BodyPalaceBranch(hourBranch, months.bodyLunarMonth);

    auto& mb = man.minorBranch;
    mb[1] = kTenzon[yearStem - 1];
    mb[2] = kTenkai[yearStem - 1];
    mb[3] = kTenetsu[yearStem - 1];
    for (const BranchDriven& row : kBranchDriven) {
        const int driver = row.driver == Driver::Month  ? monthBranch
                           : row.driver == Driver::Hour ? hourBranch
                                                        : yearBranch;
        mb[row.star] = row.branch[driver - 1];
    }

    for (int t = 1; t <= kTransforms; ++t) {
        const TransformCarrier carrier = TransformCarrierOf(yearStem, t, transforms);
        man.transformStar[t] = carrier.star;
        man.transformMinor[t] = carrier.minor;
    }

    for (int s = 1; s <= kStars; ++s) man.brightness[s] = Brightness(sb[s], s);
    return 0;
}

void FindMainStars(Tmandata& man) {
    man.mainStar.fill(0);
    std::array<int, kBranches + 1> palaceAt{};  // palace standing on each branch
    for (int p = 1; p <= kPalaces; ++p)
        if (IsBranch(man.palaceBranch[p])) palaceAt[man.palaceBranch[p]] = p;
    // From the highest star down, so the lowest number standing in a palace wins.
    for (int s = kStars; s >= 1; --s)
        if (IsBranch(man.starBranch[s]) && palaceAt[man.starBranch[s]] != 0)
            man.mainStar[palaceAt[man.starBranch[s]]] = s;
    man.luckRulingStar = man.mainStar;
}

}  // namespace zelvara
