#include "readings/luck_reading.h"

#include "readings/memo_text.h"
#include "readings/reading_texts.h"

namespace zelvara {

QString QuietPeriodName() { return QStringLiteral("空白"); }

QString QuietPeriodSentence() {
    return QStringLiteral("○この期間は、支配する星がありませんので、特に吉も凶もない平穏な期間です。");
}

int MinorLimitStart(int yearBranch) {
    switch ((yearBranch - 1) % 4) {
        case 0: return 11;  // 子 辰 申
        case 1: return 7;   // 丑 巳 酉
        case 2: return 5;   // 寅 午 戌
        default: return 2;  // 卯 未 亥
    }
}

int MinorLimitBranch(const Tmandata& man, int age) {
    if (age < 1 || age > kMinorLimitAges) return 0;
    const int s = MinorLimitStart(man.branches.year);
    const int step = man.sexCode == 'F' ? s - age : s + age - 2;
    return ((step % 12) + 12) % 12 + 1;
}

std::optional<QString> LuckTextFor(const QString& name, const TextTable& hosiImi, MessageSink& sink) {
    if (name == QuietPeriodName()) return QuietPeriodSentence();
    return hosiImi.Field(0, name, sink);
}

LuckReading ComposeLuckReading(const Tmandata& man, int period, const ReadingTexts& texts, MessageSink& sink) {
    LuckReading out;
    if (period < 1 || period > 12) return out;
    QStringList& lines = out.kounMemo;
    const int age = man.luckAge[period];
    const QString ruler = QString::fromStdString(man.daiunStarName[period]);
    lines << QStringLiteral("■%1才から%2才までのリズム - 【%3】が支配する運勢です。").arg(age).arg(age + 9).arg(ruler);
    const auto periodText = LuckTextFor(ruler, texts.hosiImi(), sink);
    if (!periodText) return out;
    AddText(lines, *periodText);
    lines << QString();

    for (int k = 1; k <= 10; ++k) {
        const int a = age + k - 1;
        // Ages are counted ages (数え年): a child is 1 in the year of birth, so
        // a first period starting at 0 (a first luck age of 0) has no year of
        // age 0 to read, and its line is left out rather than shown without a
        // ruling star. The period then lists its nine years 1..9.
        if (a < 1) continue;
        const int branch = MinorLimitBranch(man, a);
        QString year = QuietPeriodName();
        for (int j = 1; j <= 12; ++j) {
            if (man.luckBranch[j] == branch) {
                year = QString::fromStdString(man.daiunStarName[j]);
                break;
            }
        }
        lines << QStringLiteral("□%1才の支配星  - 【%2】").arg(a).arg(year);
        const auto text = LuckTextFor(year, texts.hosiImi(), sink);
        if (!text) return out;
        AddText(lines, *text);
    }
    out.complete = true;
    return out;
}

}  // namespace zelvara
