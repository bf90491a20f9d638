#include "reading_print.h"

#include "memo_lines.h"
#include "print_document.h"
#include "qstring_utf8.h"

#include <QImage>

namespace zelvara {
namespace {

QStringList Displayed(const QStringList& memo) { return DisplayedLines(memo, kReadingMemoColumns); }

}  // namespace

QString PalaceTabCaption(int tab)
{
    if (tab < 0 || tab >= kPalaces)
        return {};
    return Q(PalaceFullName(tab + 1));
}

void DrawOverallReading(PrintDocument& doc, const OverallReadingPrint& r)
{
    doc.Text(20, 15, QStringLiteral("【") + r.palaceTab + QStringLiteral("の診断】 ") + r.person.Line(), 15);
    Listing listing(doc);
    listing.Lines(Displayed(r.hlp12Memo));
    listing.Skip(2);
    listing.Line(QStringLiteral("※以下の文章は作用の強い重要な順に並んでいます。後になるほど作用は弱くなります。"));
    listing.Lines(Displayed(r.kanteiMemo));
    doc.PrintFooter();
}

void DrawLuckReading(PrintDocument& doc, const PersonText& person, const QStringList& kounMemo)
{
    doc.Text(20, 15, QStringLiteral("【行運の診断】 ") + person.Line(), 15);
    Listing listing(doc);
    listing.Lines(Displayed(kounMemo));
    doc.PrintFooter();
}

void DrawMarriageReading(PrintDocument& doc, const PersonText& person, const QStringList& aiMemo1,
                         const QStringList& aiMemo2)
{
    doc.Text(10, 15, QStringLiteral("【好きな異性・結婚にふさわしい相手】 ") + person.Line(), 15);
    Listing listing(doc);
    listing.Lines(Displayed(aiMemo1));
    listing.Skip(1);
    listing.Lines(Displayed(aiMemo2));
    // A text that ran into the table's place would be overprinted: the
    // table then goes on a page of its own.
    if (listing.Next() > kLastLineAboveRules + 1)
        listing.BreakPage();
    DrawMarriageRules(doc);
    doc.PrintFooter();
}

void DrawMarriageRules(PrintDocument& doc)
{
    doc.Text(43, 104, QStringLiteral("【秘伝 Zelvara合婚法則一覧】"), 14);
    doc.SetFontSize(12);
    doc.Text(11, 111, QStringLiteral("命宮の主星"));
    doc.Text(50, 111, QStringLiteral("特徴"));
    doc.Text(102, 111, QStringLiteral("ふさわしい相手の命宮の主星"));
    for (int j = 1; j <= 22; ++j)
        doc.Line(10, 110 + 7 * (j - 1), 180, 110 + 7 * (j - 1));
    for (int x : {10, 35, 87, 180})
        doc.Line(x, 110, x, 257);
    doc.SetFontSize(11);
    for (int j = 1; j <= kStars; ++j) {
        const int y = 111 + 7 * j;
        doc.Text(12, y, Q(kStarLongNames[j]));
        doc.Text(41, y, Q(kStarKeywordLines[j]));
        doc.Text(89, y, Q(kStarPartnerLines[j]));
    }
}

void DrawLegends(PrintDocument& doc, const LegendPrint& legends)
{
    // Two star slots a page, pictures at 30 and 150 mm, each description on
    // 5 mm lines below its picture. A description longer than its slot runs
    // on below, over the page if need be (carrying on at 30 mm), and the next
    // star then starts a new page: nothing overprints and nothing falls
    // below the footer.
    constexpr int kSlotTops[2] = {30, 150};
    constexpr int kLineStep = 5;
    constexpr int kLastLine = 270;      // the last line that ends above the footer at 276
    constexpr int kContinuedLine = 30;  // the first line of a page the text ran on to
    const MillimetreTable& mm = doc.Mm();
    bool pageOpen = false;
    const auto startPage = [&] {
        if (pageOpen) {
            doc.PrintFooter();
            doc.NewPage();
        }
        pageOpen = true;
        doc.ClearBrush();
        doc.Text(50, 15, QStringLiteral("【Orvandel（紫薇伝説）による星の解説】 "), 15);
    };
    int slot = 0;
    for (int star = 1; star <= kMajorStars; ++star) {
        if (slot == 0)
            startPage();
        const int top = kSlotTops[slot];
        doc.Text(90, top + 10, Q(kStarLongNames[star]), 15);
        doc.PrintPictureAt(mm[30], mm[top], mm[40], mm[60], legends.pictures[star]);
        doc.SetFontSize(10);
        bool ranOn = false;
        int y = top + 65;
        for (const QString& line : DisplayedLines(MemoLinesOf(legends.descriptions[star]), kLegendMemoColumns)) {
            if (y > kLastLine) {
                startPage();
                doc.SetFontSize(10);
                y = kContinuedLine;
                ranOn = true;
            }
            doc.Text(20, y, line);
            y += kLineStep;
        }
        // The lower slot is free when this star is the upper one and its
        // last line ends above the lower picture.
        slot = slot == 0 && !ranOn && y - kLineStep < kSlotTops[1] ? 1 : 0;
    }
    doc.PrintFooter();
}

}  // namespace zelvara
