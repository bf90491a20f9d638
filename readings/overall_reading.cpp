#include "overall_reading.h"

#include "context.h"
#include "memo_text.h"
#include "qstring_utf8.h"
#include "reading_names.h"
#include "reading_tables.h"

namespace zelvara {
namespace {

const QString kPalaceNameField = QStringLiteral("宮名称");

enum class Scan { Found, NotFound, Failed };

// Calls visit for the records, in table order, whose 宮名称 equals the name:
// every one, or only the first when firstOnly. Failed as soon as a field
// cannot be read, visit reports a fault or the table cannot move on (its
// pending edits are refused); the scan always ends, since each turn either
// moves forward or stops.
template <typename Visit>
Scan ScanPalace(ReadingTable& table, const QString& palaceName, bool firstOnly, Visit visit)
{
    bool found = false;
    for (bool moved = table.First(); moved; moved = table.Next()) {
        const auto name = table.Field(kPalaceNameField);
        if (!name)
            return Scan::Failed;
        if (*name != palaceName)
            continue;
        found = true;
        if (!visit())
            return Scan::Failed;
        if (firstOnly)
            return Scan::Found;
    }
    if (table.IsModified())
        return Scan::Failed;  // stopped by edits that cannot be saved (reported)
    return found ? Scan::Found : Scan::NotFound;
}

// Moves to the first record, in table order, whose 宮名称 equals the name.
Scan LocateFirst(ReadingTable& table, const QString& palaceName)
{
    return ScanPalace(table, palaceName, true, [] { return true; });
}

// Calls visit for every record, in table order, whose 宮名称 equals the name;
// false as soon as a field cannot be read or visit reports a fault.
template <typename Visit>
bool ForEachRecordOf(ReadingTable& table, const QString& palaceName, Visit visit)
{
    return ScanPalace(table, palaceName, false, visit) != Scan::Failed;
}

QString Label(const BoxTextTable& boxText, int palace, int slot)
{
    return QString::fromStdString(boxText[palace][slot]);
}

// The reading opens with what the palace tells: its KYU12.db text under a
// heading. False when a table fault stopped the reading.
bool ExplainPalace(const QString& n, ReadingTable& kyu12, QStringList& lines)
{
    lines << QStringLiteral("■") + n + QStringLiteral("で何が分かるか？の説明") << QStringLiteral("[基本内容]");
    if (!kyu12.CheckOpen())
        return false;
    const Scan found = LocateFirst(kyu12, n);
    if (found != Scan::Found)
        return found == Scan::NotFound;
    const auto content = kyu12.Field(QStringLiteral("内容"));
    if (!content)
        return false;
    AddText(lines, *content);
    lines << QStringLiteral("[") + n + QStringLiteral("における星と星との相性の説明]");
    const auto harmony = kyu12.Field(QStringLiteral("星相性"));
    if (!harmony)
        return false;
    AddText(lines, *harmony);
    return true;
}

// The texts of one of the twenty graded stars in the palace (number star,
// short name s), headed by its brightness. False when a fault stopped it.
bool AddStarTexts(const Tmandata& man, const QString& n, const QString& s, int star, ReadingTables& tables,
                  QStringList& lines)
{
    const QString f = LongNameOf(s);
    const int b = man.brightness[star];
    const QString mark = b >= 1 && b <= 4 ? Q(kBrightnessMarks[b]) : QString();
    const QString heading = QStringLiteral("■") + f + QStringLiteral("が") + mark + QStringLiteral("の状態で") + n
                            + QStringLiteral("に入っていることから診断される内容");
    QString grade;
    const Scan found = LocateFirst(tables.kyu12(), n);
    if (found == Scan::Failed)
        return false;
    if (found == Scan::Found) {
        const auto g = tables.kyu12().Field(f);
        if (!g)
            return false;
        grade = *g;
    }
    const QString sentence = GradeSentence(grade, b);

    ReadingTable& kantei = tables.kantei();
    return ForEachRecordOf(kantei, n, [&] {
        const auto strengths = kantei.Field(s + QStringLiteral("星1"));
        if (!strengths)
            return false;
        if (!strengths->isEmpty()) {
            lines << heading << sentence << QStringLiteral("[長所]");
            AddText(lines, *strengths);
        }
        const auto weaknesses = kantei.Field(s + QStringLiteral("星2"));
        if (!weaknesses)
            return false;
        if (!weaknesses->isEmpty()) {
            lines << QStringLiteral("[短所]");
            AddText(lines, *weaknesses);
        }
        return true;
    });
}

// The text of an additional star in the palace: its KANTEI.DB "星1" field
// alone (the editor offers only that one for these stars).
bool AddMinorStarText(const QString& n, const QString& s, ReadingTable& kantei, QStringList& lines)
{
    const QString heading = QStringLiteral("■") + LongNameOf(s) + QStringLiteral("が") + n
                            + QStringLiteral("に入っていることから診断される内容");
    return ForEachRecordOf(kantei, n, [&] {
        const auto text = kantei.Field(s + QStringLiteral("星1"));
        if (!text)
            return false;
        if (!text->isEmpty()) {
            lines << heading;
            AddText(lines, *text);
        }
        return true;
    });
}

bool DescribeStars(const Tmandata& man, const BoxTextTable& boxText, int palace, const QString& n,
                   ReadingTables& tables, QStringList& lines)
{
    if (!tables.kyu12().CheckOpen() || !tables.kantei().CheckOpen())
        return false;
    for (int i = 1; i <= kBoxSlots; ++i) {
        const QString label = Label(boxText, palace, i);
        if (label.isEmpty())
            break;
        if (label == QStringLiteral("駅馬"))
            continue;
        const QString s = IsMarkedStarName(label) ? label.left(2) : label;
        const int star = StarNumberOf(s);
        const bool ok = star != 0 ? AddStarTexts(man, n, s, star, tables, lines)
                                  : AddMinorStarText(n, s, tables.kantei(), lines);
        if (!ok)
            return false;
        lines << QString();
    }
    if (lines.isEmpty()) {
        lines << QStringLiteral("○") + n
                     + QStringLiteral("には星が入っていませんので特に吉でも凶でもありません。180度反対側にある")
                     + OppositePalace(n) + QStringLiteral("を参考程度に判断して下さい。");
    }
    return true;
}

bool HasPairSection(const QString& n)
{
    return n == QStringLiteral("命宮") || n == QStringLiteral("遷移宮") || n == QStringLiteral("官禄宮");
}

// The star-pair texts: each two neighbouring labels without a
// transformation mark, in the order the box shows them.
bool AddStarPairs(const BoxTextTable& boxText, int palace, ReadingTables& tables, QStringList& lines)
{
    for (int i = 1; i <= kBoxSlots - 1; ++i) {
        if (Label(boxText, palace, i + 1).isEmpty())
            break;
        const QString a = Label(boxText, palace, i);
        if (IsMarkedStarName(a))
            continue;
        for (int j = i + 1; j <= kBoxSlots; ++j) {
            const QString b = Label(boxText, palace, j);
            if (b.isEmpty())
                break;
            if (IsMarkedStarName(b))
                continue;
            const auto blocks = tables.StarPairs().Lookup(QStringLiteral("#") + a + QStringLiteral("-") + b, tables.Sink());
            if (!blocks)
                return false;
            for (const QStringList& block : *blocks) {
                lines << QStringLiteral(" ") << QStringLiteral("■") + a + QStringLiteral("星と") + b + QStringLiteral("星との組合せ");
                lines << block;
            }
        }
    }
    return true;
}

}  // namespace

QString GradeSentence(const QString& grade, int brightness)
{
    const bool bright = brightness >= 1 && brightness <= 2;  // 廟, 旺
    if (grade == QStringLiteral("甲"))
        return QStringLiteral("□甲級星として判断しますので、[短所]よりも[長所]が現れやすいと判断します。");
    if (grade == QStringLiteral("乙")) {
        return brightness == 4 ? QStringLiteral("□乙級星として判断しますので、[長所]だけでなく[短所]も現れやすいと判断します。")
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
                                     ReadingTables& tables)
{
    OverallReading out;
    const QString n = PalaceName(palace);
    if (n.isEmpty())
        return out;
    // The scans move the current records, which saves what the editor left
    // there; edits that cannot be saved stop the reading with a message
    // naming the table, the record and the field, before any scan.
    if (!tables.kyu12().PostPending() || !tables.kantei().PostPending())
        return out;
    {
        ControlsFrozen kyu12Still(tables.kyu12());
        ControlsFrozen kanteiStill(tables.kantei());
        if (!ExplainPalace(n, tables.kyu12(), out.hlp12Memo.emplace()))
            return out;
        if (!DescribeStars(man, boxText, palace, n, tables, out.kanteiMemo.emplace()))
            return out;
    }
    if (HasPairSection(n) && !AddStarPairs(boxText, palace, tables, *out.kanteiMemo))
        return out;
    out.complete = true;
    return out;
}

}  // namespace zelvara
