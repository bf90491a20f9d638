// The overall reading of one palace: what the palace tells (hlp12Memo), and the
// texts of every star standing in it, qualified by brightness and grade, with
// the star-pair texts for 命宮, 遷移宮 and 官禄宮 (KanteiMemo).
#pragma once

#include "engine/chart_layout.h"
#include "engine/zelvara.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace zelvara {

class MessageSink;
class ReadingTexts;

// The box-text table as the chart display leaves it: by palace 1..12, star
// label slot 1..6, in display order and without gaps.
using BoxTextTable = decltype(ChartLayout::boxText);

struct OverallReading {
    // nullopt: composition stopped before this memo was cleared, so the memo
    // keeps what it held.
    std::optional<QStringList> hlp12Memo;
    std::optional<QStringList> kanteiMemo;
    bool complete = false;  // false: stopped at a reported fault
};

// The sentence for grade G ("甲" … "丁") and brightness 1..4; empty otherwise.
QString GradeSentence(const QString& grade, int brightness);

// Composes the reading of palace 1..12 from the chart record (brightness), the
// box texts of that palace and the reading texts. A table fault is reported
// and stops the reading there.
OverallReading ComposeOverallReading(const Tmandata& man, const BoxTextTable& boxText, int palace,
                                     const ReadingTexts& texts, MessageSink& sink);

}  // namespace zelvara
