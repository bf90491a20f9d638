#include "readings/overall_reading.h"

#include "common/qstring_utf8.h"
#include "engine/context.h"
#include "readings/memo_text.h"
#include "readings/reading_names.h"
#include "readings/reading_texts.h"

namespace zelvara {
namespace {

QString Label(const BoxTextTable& boxText, int palace, int slot) {
    return QString::fromStdString(boxText[palace][slot]);
}

// The reading opens with what the palace tells: the KYU12.db text of its
// first record under a heading. False when a table fault stopped the reading.
bool ExplainPalace(const QString& n, const TextTable& kyu12, MessageSink& sink, QStringList& lines) {
    lines << QStringLiteral("■") + n + QStringLiteral("で何が分かるか？の説明") << QStringLiteral("[基本内容]");
    const auto records = kyu12.RecordsOf(n, sink);
    if (!records) return false;
    if (records->isEmpty()) return true;
    const int row = records->first();
    const auto content = kyu12.Field(row, QStringLiteral("内容"), sink);
    if (!content) return false;
    AddText(lines, *content);
    lines << QStringLiteral("[") + n + QStringLiteral("における星と星との相性の説明]");
    const auto harmony = kyu12.Field(row, QStringLiteral("星相性"), sink);
    if (!harmony) return false;
    AddText(lines, *harmony);
    return true;
}

// Calls visit(row) for every KANTEI.DB record of the palace, in table order;
// false as soon as the table or visit reports a fault.
template <typename Visit>
bool ForEachRecordOf(const TextTable& kantei, const QString& palaceName, MessageSink& sink, Visit visit) {
    const auto records = kantei.RecordsOf(palaceName, sink);
    if (!records) return false;
    for (int row : *records)
        if (!visit(row)) return false;
    return true;
}

// The texts of one of the twenty graded stars in the palace (number star,
// short name s), headed by its brightness. False when a fault stopped it.
bool AddStarTexts(const Tmandata& man, const QString& n, const QString& s, int star, const ReadingTexts& texts,
                  MessageSink& sink, QStringList& lines) {
    const QString f = LongNameOf(s);
    const int b = man.brightness[star];
    const QString mark = b >= 1 && b <= 4 ? Q(kBrightnessMarks[b]) : QString();
    const QString heading = QStringLiteral("■") + f + QStringLiteral("が") + mark + QStringLiteral("の状態で") + n +
                            QStringLiteral("に入っていることから診断される内容");
    QString grade;
    const auto palaceRecords = texts.kyu12().RecordsOf(n, sink);
    if (!palaceRecords) return false;
    if (!palaceRecords->isEmpty()) {
        const auto g = texts.kyu12().Field(palaceRecords->first(), f, sink);
        if (!g) return false;
        grade = *g;
    }
    const QString sentence = GradeSentence(grade, b);

    const TextTable& kantei = texts.kantei();
    return ForEachRecordOf(kantei, n, sink, [&](int row) {
        const auto strengths = kantei.Field(row, s + QStringLiteral("星1"), sink);
        if (!strengths) return false;
        if (!strengths->isEmpty()) {
            lines << heading << sentence << QStringLiteral("[長所]");
            AddText(lines, *strengths);
        }
        const auto weaknesses = kantei.Field(row, s + QStringLiteral("星2"), sink);
        if (!weaknesses) return false;
        if (!weaknesses->isEmpty()) {
            lines << QStringLiteral("[短所]");
            AddText(lines, *weaknesses);
        }
        return true;
    });
}

// The text of an additional star in the palace: its KANTEI.DB "星1" field
// alone (the editor offers only that one for these stars).
bool AddMinorStarText(const QString& n, const QString& s, const TextTable& kantei, MessageSink& sink,
                      QStringList& lines) {
    const QString heading = QStringLiteral("■") + LongNameOf(s) + QStringLiteral("が") + n +
                            QStringLiteral("に入っていることから診断される内容");
    return ForEachRecordOf(kantei, n, sink, [&](int row) {
        const auto text = kantei.Field(row, s + QStringLiteral("星1"), sink);
        if (!text) return false;
        if (!text->isEmpty()) {
            lines << heading;
            AddText(lines, *text);
        }
        return true;
    });
}

bool DescribeStars(const Tmandata& man, const BoxTextTable& boxText, int palace, const QString& n,
                   const ReadingTexts& texts, MessageSink& sink, QStringList& lines) {
    if (!texts.kyu12().CheckLoaded(sink) || !texts.kantei().CheckLoaded(sink)) return false;
    for (int i = 1; i <= kBoxSlots; ++i) {
        const QString label = Label(boxText, palace, i);
        if (label.isEmpty()) break;
        if (label == QStringLiteral("駅馬")) continue;
        const QString s = IsMarkedStarName(label) ? label.left(2) : label;
        const int star = StarNumberOf(s);
        const bool ok = star != 0 ? AddStarTexts(man, n, s, star, texts, sink, lines)
                                  : AddMinorStarText(n, s, texts.kantei(), sink, lines);
        if (!ok) return false;
        lines << QString();
    }
    if (lines.isEmpty()) {
        lines << QStringLiteral("○") + n +
                     QStringLiteral("には星が入っていませんので特に吉でも凶でもありません。180度反対側にある") +
                     OppositePalace(n) + QStringLiteral("を参考程度に判断して下さい。");
    }
    return true;
}

bool HasPairSection(const QString& n) {
    return n == QStringLiteral("命宮") || n == QStringLiteral("遷移宮") || n == QStringLiteral("官禄宮");
}

// The star-pair texts: each two neighbouring labels without a
// transformation mark, in the order the box shows them.
bool AddStarPairs(const BoxTextTable& boxText, int palace, const StarPairTexts& pairs, MessageSink& sink,
                  QStringList& lines) {
    for (int i = 1; i <= kBoxSlots - 1; ++i) {
        if (Label(boxText, palace, i + 1).isEmpty()) break;
        const QString a = Label(boxText, palace, i);
        if (IsMarkedStarName(a)) continue;
        for (int j = i + 1; j <= kBoxSlots; ++j) {
            const QString b = Label(boxText, palace, j);
            if (b.isEmpty()) break;
            if (IsMarkedStarName(b)) continue;
            const auto blocks = pairs.Lookup(QStringLiteral("#") + a + QStringLiteral("-") + b, sink);
            if (!blocks) return false;
            for (const QStringList& block : *blocks) {
                lines << QStringLiteral(" ")
                      << QStringLiteral("■") + a + QStringLiteral("星と") + b + QStringLiteral("星との組合せ");
                lines << block;
            }
        }
    }
    return true;
}

}  // namespace

QString GradeSentence(const QString& grade, int brightness) {
    const bool bright = brightness >= 1 && brightness <= 2;  // 廟, 旺
    if (grade == QStringLiteral("甲"))
        return QStringLiteral("□甲級星として判断しますので、[短所]よりも[長所]が現れやすいと判断します。");
    if (grade == QStringLiteral("乙")) {
        return brightness == 4
                   ? QStringLiteral("□乙級星として判断しますので、[長所]だけでなく[短所]も現れやすいと判断します。")
                   : QStringLiteral("□乙級星として判断しますので、比較的[長所]が現れやすいと判断します。");
    }
    if (grade == QStringLiteral("丙")) {
        return bright ? QStringLiteral("□丙級星として判断しますので、比較的[長所]が現れやすいと判断します。")
                      : QStringLiteral("□丙級星として判断しますので、[長所]だけでなく[短所]も現れやすいと判断します。");
    }
    if (grade == QStringLiteral("丁"))
        return QStringLiteral("□丁級星として判断しますので、[長所]よりも[短所]が現れやすいと判断します。");
    return {};
}

OverallReading ComposeOverallReading(const Tmandata& man, const BoxTextTable& boxText, int palace,
                                     const ReadingTexts& texts, MessageSink& sink) {
    OverallReading out;
    const QString n = PalaceName(palace);
    if (n.isEmpty()) return out;
    if (!ExplainPalace(n, texts.kyu12(), sink, out.hlp12Memo.emplace())) return out;
    if (!DescribeStars(man, boxText, palace, n, texts, sink, out.kanteiMemo.emplace())) return out;
    if (HasPairSection(n) && !AddStarPairs(boxText, palace, texts.StarPairs(), sink, *out.kanteiMemo)) return out;
    out.complete = true;
    return out;
}

}  // namespace zelvara
