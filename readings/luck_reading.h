// The luck-period reading of one ten-year period: its ruling star's text, then
// the ruling star of each of its ten years of age with its text, all from the
// luck-text table hosiImi.DB. The periods' ruling-star names (daiunStarName)
// and tab captions come from NameLuckPeriods (chart_layout.h) after a chart.
#pragma once

#include "engine/zelvara.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zelvara {

class MessageSink;
class ReadingTexts;
class TextTable;

// The ruling-star name of a period that nothing rules, and its fixed text.
QString QuietPeriodName();  // "空白"
QString QuietPeriodSentence();

// The branch of the first year of age, by the year branch: 11, 7, 5 or 2.
int MinorLimitStart(int yearBranch);

// The counted ages the minor limit (小限) is read for.
constexpr int kMinorLimitAges = 160;

// The branch of the minor limit of a counted age 1..160: age 1 on the start
// branch, then one branch backwards per year for a woman, forwards for a man;
// 0 for any other age.
int MinorLimitBranch(const Tmandata& man, int age);

// The luck text of a ruling-star name: the fixed sentence for 空白, else the
// field of that name in the record hosiImi.DB opens on. nullopt when the
// table has no such field (reported).
std::optional<QString> LuckTextFor(const QString& name, const TextTable& hosiImi, MessageSink& sink);

struct LuckReading {
    QStringList kounMemo;
    bool complete = false;  // false: stopped at a reported fault, lines so far kept
};

// The reading of period 1..12 (tab index + 1). A period starting at age 0
// leaves out the year of age 0, which counted ages do not have.
LuckReading ComposeLuckReading(const Tmandata& man, int period, const ReadingTexts& texts, MessageSink& sink);

}  // namespace zelvara
