// The 鑑定書: one document a client takes home. A cover (the client, the date
// of the consultation in 和暦 and 西暦, the reader, an optional logo), then
// the pages the reader chose, each drawn by the print of its own (the chart
// sheet, the strength graph, a sheet per time layer with its legend, the 飛星
// table, the readings) or, for the consultation's notes, here. Every page
// carries the footer and a running line with the client's birth data, the
// conventions read with and "n / N".
#pragma once

#include "engine/time_layers.h"
#include "engine/zelvara.h"
#include "print/chart_sheet.h"
#include "print/reading_print.h"

#include <QDate>
#include <QImage>
#include <QString>
#include <QStringList>

#include <vector>

namespace zelvara {

class PrintDocument;

struct ReportCover {
    QString client;
    QString dateWestern;  // 2026年12月9日
    QString dateEra;      // 令和8年12月9日
    QString readerTitle;  // the settings' footer title
    QString readerTel;
    QImage logo;  // null: none
};

// A consultation entry as the report prints it (plain values: print/ does
// not read the record itself).
struct ReportNotes {
    QString date;  // 2027-04-12
    QString time;  // 14:00, or empty
    QString theme;
    QString question;
    QString notes;
};

struct ReportPage {
    enum class Kind { Chart, Graph, Layer, Flying, Overall, Luck, Marriage, Notes };
    Kind kind = Kind::Chart;
    ChartSheet sheet;             // Chart, Layer (the layer laid over it)
    OverallReadingPrint overall;  // Overall
    QStringList memo1, memo2;     // Luck (memo1), Marriage (both)
    ReportNotes notes;            // Notes
};

struct ClientReport {
    ReportCover cover;
    PersonText person;
    QStringList birthLines;  // SheetBirthLines of the birth sheet
    QString conventions;  // "流派：標準　時刻補正：なし"; a profile's ConventionsLine on a line of its own
    Tmandata man;         // for the 飛星 table
    TimeLayer birthLayer;
    PalaceStrength strength{};
    std::vector<ReportPage> pages;
};

// "鑑定書_山田花子_20261209.pdf"
QString ReportFileName(const QString& client, const QDate& date);

// 令和8年12月9日 / 2026年12月9日: the date of the consultation as the cover shows it.
QString EraDateText(const QDate& date);
QString WesternDateText(const QDate& date);

// The pages the report takes (a reading runs over as many as its text
// needs), counted on a document drawn at dpi and thrown away.
int ClientReportPages(const ClientReport& report, const QString& footer, int dpi);

// Draws the cover and every page; totalPages is what "n / N" counts to (0:
// left out, for the pass that counts them).
void DrawClientReport(PrintDocument& doc, const ClientReport& report, int totalPages);

}  // namespace zelvara
