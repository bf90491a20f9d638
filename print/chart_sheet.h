// The chart sheet: a four-by-four grid whose twelve outer boxes are the
// palaces, with the pillars, luck labels and person data in the merged
// centre; and the strength bar-chart page that may follow it.
#pragma once

#include "engine/time_layers.h"
#include "engine/zelvara.h"
#include "print/palace_strength_chart.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace zelvara {

struct ChartLayout;
class PrintDocument;

// The texts "name  age  sex" that head the printouts.
struct PersonText {
    QString name;
    QString age;  // "35才"
    QString sex;  // "男命" or "女命"
    QString Line() const { return name + QStringLiteral("  ") + age + QStringLiteral("  ") + sex; }
};

// One star entry of a box as the display shows it.
struct SheetStar {
    QString caption;  // 太陽(忌); empty = no entry
    int grade = 0;    // brightness 1..4 as shown by its colour, 0 = none
};

struct SheetBox {
    QString palace;  // palace name as the box shows it (命宮, 父母 …)
    QString branch;
    QString age;   // start age of the box's luck period, "13才"
    QString stem;  // the palace stem (宮干) printed before the branch; empty: not printed
    std::array<SheetStar, 6> stars;
};

// A time layer printed over the sheet: its caption beside the title, its
// palace names at the foot of the boxes and its 四化 beside the stars.
struct SheetLayer {
    QString caption;                                          // empty: no layer
    LayerKind kind = LayerKind::Birth;                        // its colour, as the chart page draws it
    std::array<QString, kBranches + 1> palace;                // by branch: 年命 …
    std::array<std::array<QString, 6>, kBranches + 1> marks;  // by branch and star entry: 年禄 …
};

// Everything the sheet prints. Boxes by branch 1..12; pillars by hour, day,
// month, year.
struct ChartSheet {
    std::array<SheetBox, kBranches + 1> box;
    std::array<QString, 4> stems;
    std::array<QString, 4> branches;
    QString kouun, rituun, days;  // lblKouun, lblRituun, lblDays
    PersonText person;
    QString birth;        // lblBirth
    QString hour;         // the chosen entry of the hour list, "不明の場合" included
    QString lunar;        // kyureki
    QString birthTime;    // an exact birth time a correction moved ("05:50 → 05:26（…）"); empty: none
    QString birthPlace;   // the place of a kept exact time ("東京都　東経 139.77 度"); empty: none
    int bodyPalace = -1;  // from the chart record: 0 none, 1..12
    int bureau = 0;       // from the chart record: 1..5
    SheetLayer layer;
    QString conventions;  // the conventions line above the footer (ConventionsLine); empty: the standard ones
};

// The sheet of a cast chart, with the texts the chart display shows for it.
ChartSheet ChartSheetOf(const Tmandata& man, const ChartLayout& layout, const QString& name, const QString& hourText);

// The texts of the sheet's person block and heading, from the chart record.
PersonText PersonTextOf(const Tmandata& man, const QString& name);

// The birthplace of an exact time as the prints show it: "東京都　東経 139.77 度",
// the longitude alone for a typed one; empty without a longitude.
QString BirthPlaceText(const QString& place, std::optional<double> longitudeEast);

// The birth data of the prints beside the sheet: "生年月日：<birth>  <hour>", and
// a second line with the exact time and its place when there is one.
QStringList SheetBirthLines(const ChartSheet& sheet);

// "(廟)" … for grades 1..4, four blanks for anything else.
QString GradeMark(int grade);

// Empty when the sheet can be printed; else why not (no chart cast yet).
QString ChartSheetRefusal(const ChartSheet& sheet);

// Grid lines in millimetres, as the sheet uses them (index 0 unused).
struct ChartGrid {
    std::array<int, 6> X{};  // column lines 1..5
    std::array<int, 6> Y{};  // row lines 1..5
    std::array<int, 6> H{};  // header lines 1..5
    std::array<int, 5> C{};  // centre columns 1..4
    std::array<int, 4> R{};  // centre rows 1..3
    // Box of branch b: its left column line and top row line, 1-based.
    static int BoxColumn(int branch);
    static int BoxRow(int branch);
};
ChartGrid SetupChartGrid();

// Lays a time layer over the sheet of the same chart (the birth layer clears it).
void SetSheetLayer(ChartSheet& sheet, const Tmandata& man, const ChartLayout& layout, const TimeLayer& layer);

// Puts each palace's stem (五虎遁, from the chart's year stem) before its branch.
void SetSheetStems(ChartSheet& sheet, const Tmandata& man);

// Draws the sheet and its footer onto the document's page; with a layer, the
// legend of its colour and names under the grid.
void DrawChartSheet(PrintDocument& doc, const ChartSheet& sheet);
// The twelve boxes and the centre alone (with the layer's marks, when one is
// laid): no title, legend, conventions line or footer.
void DrawChartSheetGrid(PrintDocument& doc, const ChartSheet& sheet);

// The page that follows the sheet: heading, footer and the bar chart in (10, 40)–(170, 240).
void DrawStrengthPage(PrintDocument& doc, const PersonText& person, const PalaceStrength& strength);

}  // namespace zelvara
