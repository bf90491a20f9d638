#include "batch/batch_lines.h"

#include "batch/batch_moments.h"

namespace zelvara::batch {

namespace {
constexpr int kZiwei = 1;   // 紫薇
constexpr int kTianfu = 7;  // 天府
}  // namespace

void AppendPillarCodes(std::string& out, const Tmandata& man) {
    for (int v : {man.stems.year, man.stems.month, man.stems.day, man.stems.hour, man.branches.year, man.branches.month,
                  man.branches.day, man.branches.hour})
        out += CodeChar(v);
}

void AppendTwoTxtLine(std::string& out, const Tmandata& man, int month, int day, int hourIndex) {
    AppendTwoDigits(out, month);
    out += '/';
    AppendTwoDigits(out, day);
    out += '/';
    AppendTwoDigits(out, hourIndex);
    out += ',';
    AppendPillarCodes(out, man);
    out += ',';
    for (int p = 1; p <= kPalaces; ++p) out += CodeChar(man.mainStar[p]);
}

void AppendCasioLine(std::string& out, const Tmandata& man, int firstLuckAgeMale, int firstLuckAgeFemale) {
    AppendPillarCodes(out, man);
    out += CodeChar(firstLuckAgeMale);
    out += CodeChar(firstLuckAgeFemale);
    out += CodeChar(man.starBranch[kZiwei]);
    out += CodeChar(man.starBranch[kTianfu]);
}

void AppendKyuLine(std::string& out, const Tmandata& man, int month, int day) {
    AppendTwoDigits(out, month);
    out += '/';
    AppendTwoDigits(out, day);
    out += ',';
    out += std::to_string(man.lunarMonth);
    out += '/';
    out += std::to_string(man.lunarDay);
}

}  // namespace zelvara::batch
