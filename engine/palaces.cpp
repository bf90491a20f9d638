#include "engine/palaces.h"

namespace zelvara {
namespace {

// Bureau by life-palace branch (rows 子..亥) and year stem (columns 甲..癸).
constexpr int kBureau[12][10] = {
    {5, 2, 3, 1, 4, 5, 2, 3, 1, 4}, {5, 2, 3, 1, 4, 5, 2, 3, 1, 4}, {2, 3, 1, 4, 5, 2, 3, 1, 4, 5},
    {2, 3, 1, 4, 5, 2, 3, 1, 4, 5}, {1, 4, 5, 2, 3, 1, 4, 5, 2, 3}, {1, 4, 5, 2, 3, 1, 4, 5, 2, 3},
    {3, 1, 4, 5, 2, 3, 1, 4, 5, 2}, {3, 1, 4, 5, 2, 3, 1, 4, 5, 2}, {4, 5, 2, 3, 1, 4, 5, 2, 3, 1},
    {4, 5, 2, 3, 1, 4, 5, 2, 3, 1}, {2, 3, 1, 4, 5, 2, 3, 1, 4, 5}, {2, 3, 1, 4, 5, 2, 3, 1, 4, 5},
};

bool IsBranch(int b) { return b >= 1 && b <= 12; }

}  // namespace

int LifePalaceBranch(int monthBranch, int hourBranch) {
    if (!IsBranch(monthBranch) || !IsBranch(hourBranch)) return 0;
    return WrapBranch(monthBranch - (hourBranch - 1));
}

int BureauOf(int lifePalaceBranch, int yearStem) {
    if (!IsBranch(lifePalaceBranch) || yearStem < 1 || yearStem > 10) return 0;
    return kBureau[lifePalaceBranch - 1][yearStem - 1];
}

int BodyPalaceBranch(int hourBranch, int lunarMonth) {
    if (!IsBranch(hourBranch) || lunarMonth < 1 || lunarMonth > 12) return 0;
    return WrapBranch(hourBranch + lunarMonth + 1);
}

int PlacePalaces(Tmandata& man, int monthBranch) {
    const int a = LifePalaceBranch(monthBranch, man.branches.hour);
    const int bureau = BureauOf(a, man.stems.year);
    if (a == 0 || bureau == 0) return -1;
    for (int i = 1; i <= kPalaces; ++i) man.palaceBranch[i] = WrapBranch(a - i + 2);
    man.bureau = bureau;
    return 0;
}

}  // namespace zelvara
