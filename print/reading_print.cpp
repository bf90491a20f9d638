#include "print/reading_print.h"

#include "common/qstring_utf8.h"
#include "print/memo_lines.h"
#include "print/print_document.h"

#include <QImage>

namespace zelvara {
namespace {

// A heading or caption: top-left corner in millimetres, size in points.
struct PageText {
    int x, y, points;
};
constexpr PageText kOverallHeading{20, 15, 15};
constexpr PageText kLuckHeading{20, 15, 15};
constexpr PageText kMarriageHeading{10, 15, 15};
constexpr PageText kLegendsHeading{50, 15, 15};

// The marriage-rules table: caption, column heads, a ruled grid of 22 lines
// from the top rule down, and one row per graded star.
struct RulesTable {
    PageText caption;
    int headY, headPoints;
    int headX[3];      // 命宮の主星, 特徴, ふさわしい相手の命宮の主星
    int left, right;   // the rules' ends
    int top, rowStep;  // the first rule, and the distance between rules
    int rules;
    int columnLines[4];
    int bottom;           // where the column lines end
    int rowY, rowPoints;  // the first star row lies one step below rowY
    int cellX[3];         // long name, keywords, partners
};
constexpr RulesTable kRules{{43, 104, 14}, 111, 12, {11, 50, 102}, 10, 180, 110, 7, 22, {10, 35, 87, 180},
                            257,           111, 11, {12, 41, 89}};

// The legends: two star slots a page, each with its name and picture and
// the description on lines below the picture.
struct LegendSlotLayout {
    int slotTops[2];
    PageText name;  // y from the slot's top
    int pictureX, pictureWidth, pictureHeight;
    int textX, textY;  // textY from the slot's top
    int textPoints, lineStep;
    int lastLine;       // the last line that ends above the footer at 276
    int continuedLine;  // the first line of a page the text ran on to
};
constexpr LegendSlotLayout kLegendSlots{{30, 150}, {90, 10, 15}, 30, 40, 60, 20, 65, 10, 5, 270, 30};

QStringList Displayed(const QStringList& memo) { return DisplayedLines(memo, kReadingMemoColumns); }

}  // namespace

QString PalaceTabCaption(int tab) {
    if (tab < 0 || tab >= kPalaces) return {};
    return Q(PalaceFullName(tab + 1));
}

void DrawOverallReading(PrintDocument& doc, const OverallReadingPrint& r) {
    doc.Text(kOverallHeading.x, kOverallHeading.y,
             QStringLiteral("【") + r.palaceTab + QStringLiteral("の診断】 ") + r.person.Line(),
             kOverallHeading.points);
    Listing listing(doc);
    listing.Lines(Displayed(r.hlp12Memo));
    listing.Skip(2);
    listing.Line(QStringLiteral("※以下の文章は作用の強い重要な順に並んでいます。後になるほど作用は弱くなります。"));
    listing.Lines(Displayed(r.kanteiMemo));
    doc.PrintFooter();
}

void DrawLuckReading(PrintDocument& doc, const PersonText& person, const QStringList& kounMemo) {
    doc.Text(kLuckHeading.x, kLuckHeading.y, QStringLiteral("【行運の診断】 ") + person.Line(), kLuckHeading.points);
    Listing listing(doc);
    listing.Lines(Displayed(kounMemo));
    doc.PrintFooter();
}

void DrawMarriageReading(PrintDocument& doc, const PersonText& person, const QStringList& aiMemo1,
                         const QStringList& aiMemo2) {
    doc.Text(kMarriageHeading.x, kMarriageHeading.y,
             QStringLiteral("【好きな異性・結婚にふさわしい相手】 ") + person.Line(), kMarriageHeading.points);
    Listing listing(doc);
    listing.Lines(Displayed(aiMemo1));
    listing.Skip(1);
    listing.Lines(Displayed(aiMemo2));
    // A text that ran into the table's place would be overprinted: the
    // table then goes on a page of its own.
    if (listing.Next() > kLastLineAboveRules + 1) listing.BreakPage();
    DrawMarriageRules(doc);
    doc.PrintFooter();
}

void DrawMarriageRules(PrintDocument& doc) {
    const RulesTable& t = kRules;
    doc.Text(t.caption.x, t.caption.y, QStringLiteral("【秘伝 Zelvara合婚法則一覧】"), t.caption.points);
    doc.SetFontSize(t.headPoints);
    doc.Text(t.headX[0], t.headY, QStringLiteral("命宮の主星"));
    doc.Text(t.headX[1], t.headY, QStringLiteral("特徴"));
    doc.Text(t.headX[2], t.headY, QStringLiteral("ふさわしい相手の命宮の主星"));
    for (int j = 1; j <= t.rules; ++j)
        doc.Line(t.left, t.top + t.rowStep * (j - 1), t.right, t.top + t.rowStep * (j - 1));
    for (int x : t.columnLines) doc.Line(x, t.top, x, t.bottom);
    doc.SetFontSize(t.rowPoints);
    for (int j = 1; j <= kStars; ++j) {
        const int y = t.rowY + t.rowStep * j;
        doc.Text(t.cellX[0], y, Q(kStarLongNames[j]));
        doc.Text(t.cellX[1], y, Q(kStarKeywordLines[j]));
        doc.Text(t.cellX[2], y, Q(kStarPartnerLines[j]));
    }
}

void DrawLegends(PrintDocument& doc, const LegendPrint& legends) {
    // Two star slots a page, pictures at 30 and 150 mm, each description on
    // 5 mm lines below its picture. A description longer than its slot runs
    // on below, over the page if need be (carrying on at 30 mm), and the next
    // star then starts a new page: nothing overprints and nothing falls
    // below the footer.
    const LegendSlotLayout& l = kLegendSlots;
    const MillimetreTable& mm = doc.Mm();
    bool pageOpen = false;
    const auto startPage = [&] {
        if (pageOpen) {
            doc.PrintFooter();
            doc.NewPage();
        }
        pageOpen = true;
        doc.ClearBrush();
        doc.Text(kLegendsHeading.x, kLegendsHeading.y, QStringLiteral("【Orvandel（紫薇伝説）による星の解説】 "),
                 kLegendsHeading.points);
    };
    int slot = 0;
    for (int star = 1; star <= kMajorStars; ++star) {
        if (slot == 0) startPage();
        const int top = l.slotTops[slot];
        doc.Text(l.name.x, top + l.name.y, Q(kStarLongNames[star]), l.name.points);
        doc.PrintPictureAt(mm[l.pictureX], mm[top], mm[l.pictureWidth], mm[l.pictureHeight], legends.pictures[star]);
        doc.SetFontSize(l.textPoints);
        bool ranOn = false;
        int y = top + l.textY;
        for (const QString& line : DisplayedLines(MemoLinesOf(legends.descriptions[star]), kLegendMemoColumns)) {
            if (y > l.lastLine) {
                startPage();
                doc.SetFontSize(l.textPoints);
                y = l.continuedLine;
                ranOn = true;
            }
            doc.Text(l.textX, y, line);
            y += l.lineStep;
        }
        // The lower slot is free when this star is the upper one and its
        // last line ends above the lower picture.
        slot = slot == 0 && !ranOn && y - l.lineStep < l.slotTops[1] ? 1 : 0;
    }
    doc.PrintFooter();
}

}  // namespace zelvara
