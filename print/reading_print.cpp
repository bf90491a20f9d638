#include "reading_print.h"

#include "memo_lines.h"
#include "print_document.h"

#include <QImage>

namespace zelvara {
namespace {

QString Q(std::string_view s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QStringList Displayed(const QStringList& memo) { return DisplayedLines(memo, kReadingMemoColumns); }

}  // namespace

QString PalaceTabCaption(int tab)
{
    if (tab < 0 || tab >= kPalaces)
        return {};
    const QString name = Q(kPalaceNames[tab + 1]);
    return name == QStringLiteral("命宮") ? name : name + QStringLiteral("宮");
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
    const MillimetreTable& mm = doc.Mm();
    for (int page = 1; page <= kMajorStars / 2; ++page) {
        if (page > 1)
            doc.NewPage();
        doc.ClearBrush();
        const int first = 2 * page - 1, second = 2 * page;
        doc.Text(50, 15, QStringLiteral("【Orvandel（紫薇伝説）による星の解説】 "), 15);
        doc.Text(90, 40, Q(kStarLongNames[first]));
        doc.Text(90, 160, Q(kStarLongNames[second]));
        doc.PrintPictureAt(mm[30], mm[30], mm[40], mm[60], legends.pictures[first]);
        doc.PrintPictureAt(mm[30], mm[150], mm[40], mm[60], legends.pictures[second]);
        doc.SetFontSize(10);
        const struct {
            int star, top;
        } blocks[2] = {{first, 95}, {second, 215}};
        for (const auto& block : blocks) {
            const QStringList lines =
                DisplayedLines(MemoLinesOf(legends.descriptions[block.star]), kLegendMemoColumns);
            for (int k = 0; k < lines.size(); ++k)
                doc.Text(20, block.top + 5 * k, lines.at(k));
        }
        doc.PrintFooter();
    }
}

}  // namespace zelvara
