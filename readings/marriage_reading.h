// The marriage-partner reading: the partner type one is drawn to, from the
// main star of 夫妻宮 (AiMemo1, Ai01.DB), and the partner who makes up for
// one's weak points, from the main star of 命宮 (AiMemo2, Ai02.DB). An empty
// deciding palace is stood in for by the palace across: 官禄宮, 遷移宮.
#pragma once

#include "engine/zelvara.h"

#include <QStringList>

#include <optional>

namespace zelvara {

class MessageSink;
class ReadingTexts;

struct MarriageReading {
    // nullopt: composition stopped before this memo was cleared.
    std::optional<QStringList> aiMemo1;
    std::optional<QStringList> aiMemo2;
    bool complete = false;
};

// When neither the deciding palace nor the one across holds one of the twenty
// stars, no star can be named: the sentence names none and the text line
// stays empty.
MarriageReading ComposeMarriageReading(const Tmandata& man, const ReadingTexts& texts, MessageSink& sink);

}  // namespace zelvara
