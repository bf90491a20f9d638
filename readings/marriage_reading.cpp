#include "readings/marriage_reading.h"

#include "common/qstring_utf8.h"
#include "readings/memo_text.h"
#include "readings/reading_texts.h"

namespace zelvara {
namespace {

QString LongName(int star) {
    if (star < 1 || star > kStars) return {};
    return Q(kStarLongNames[star]);
}

struct Question {
    int palace;   // deciding palace
    int standIn;  // the palace across, when the deciding one is empty
    QString heading;
    QString namedSentence;    // %1 = star
    QString standInSentence;  // %1 = star
};

// One answer: heading, the sentence naming the deciding star, its text.
bool Answer(const Tmandata& man, const Question& q, const TextTable& table, MessageSink& sink, QStringList& lines) {
    const int star = man.mainStar[q.palace];
    const QString x = LongName(star != 0 ? star : man.mainStar[q.standIn]);
    lines << q.heading << (star != 0 ? q.namedSentence : q.standInSentence).arg(x);
    if (x.isEmpty()) {
        lines << QString();
        return true;
    }
    const auto text = table.Field(0, x, sink);
    if (!text) return false;
    AddText(lines, *text);
    return true;
}

}  // namespace

MarriageReading ComposeMarriageReading(const Tmandata& man, const ReadingTexts& texts, MessageSink& sink) {
    static const Question attraction{
        4, 10, QStringLiteral("■本能的に好きになりやすい異性のタイプを夫妻宮の主星で判断します。"),
        QStringLiteral("【%1】が支配する異性の運勢です。"),
        QStringLiteral("夫妻宮の主星がないので、官禄宮の【%1】が支配する異性の運勢です。")};
    static const Question idealPartner{
        2, 8, QStringLiteral("■本能的な好き嫌いは別として、貴方の欠点を補ってくれるような星を説明します。"),
        QStringLiteral("【%1】が貴方の命宮に格納されていますので理想的な配偶者は次のようです。"),
        QStringLiteral("命宮の主星がないので、遷移宮の【%1】から判断して理想的な配偶者は次のようです。")};

    MarriageReading out;
    if (!Answer(man, attraction, texts.ai01(), sink, out.aiMemo1.emplace())) return out;
    if (!Answer(man, idealPartner, texts.ai02(), sink, out.aiMemo2.emplace())) return out;
    out.complete = true;
    return out;
}

}  // namespace zelvara
