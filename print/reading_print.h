// The reading prints: listings of what the reading memos display, and the
// star legends. Memo contents come in as the memo's lines; they are printed
// as the memo displays them (wrapped at the memo's width).
#pragma once

#include "print/chart_sheet.h"

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

namespace zelvara {

class PrintDocument;

struct OverallReadingPrint {
    QString palaceTab;  // caption of the Kekka tab: 父母宮 … 福徳宮
    PersonText person;
    QStringList hlp12Memo;
    QStringList kanteiMemo;
};

// The twelve Kekka tab captions, by tab index 0..11.
QString PalaceTabCaption(int tab);

void DrawOverallReading(PrintDocument& doc, const OverallReadingPrint& reading);
void DrawLuckReading(PrintDocument& doc, const PersonText& person, const QStringList& kounMemo);
void DrawMarriageReading(PrintDocument& doc, const PersonText& person, const QStringList& aiMemo1,
                         const QStringList& aiMemo2);

// The marriage rules table at its fixed place on the current page.
void DrawMarriageRules(PrintDocument& doc);
// The last grid line a text may use above the rules table (its title is at
// 104 mm, line 14 stands at 100 mm).
constexpr int kLastLineAboveRules = 14;

// The fourteen major stars' legends, two a page: names and pictures from
// the program's tables, descriptions by star 1..14 (index 0 unused). A
// description too long for its place runs on to the next page, and the
// next star starts a page of its own.
struct LegendPrint {
    std::array<QImage, kMajorStars + 1> pictures;
    std::array<QString, kMajorStars + 1> descriptions;
};
void DrawLegends(PrintDocument& doc, const LegendPrint& legends);

}  // namespace zelvara
