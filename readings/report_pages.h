// The pages of the 鑑定書 as a reader chooses them ("chart,graph,decade:3,
// year:2027,flying,overall:命宮,luck,marriage,notes:LAST"), and the report
// composed from a cast chart: the sheets, the layers, the readings composed
// from the reading texts, the consultation's notes handed in by the caller.
#pragma once

#include "engine/chart_layout.h"
#include "engine/conventions.h"
#include "print/client_report.h"
#include "readings/reading_texts.h"

#include <QString>

#include <optional>
#include <vector>

namespace zelvara {

class MessageSink;

struct ReportChoice {
    enum class Kind { Chart, Graph, Decade, Year, Flying, Overall, Luck, Marriage, Notes };
    Kind kind = Kind::Chart;
    int number = 0;  // decade 1..12, year, overall palace 1..12, luck period 1..12 (0: the current one)
    QString notes;   // LAST or an entry's number
    bool operator==(const ReportChoice&) const = default;
};

// The pages of a text of comma-separated words; nullopt with *why (Japanese)
// for a word that names no page.
std::optional<std::vector<ReportChoice>> ParseReportPages(const QString& text, QString* why);
// The words again, as ParseReportPages reads them.
QString ReportPagesText(const std::vector<ReportChoice>& pages);

// What the report is made from, besides the pages.
struct ReportSource {
    const Tmandata* man = nullptr;
    const ChartLayout* layout = nullptr;
    ChartSheet birthSheet;  // the sheet of the birth chart as the chart page prints it
    QString conventions;    // ReportConventions
    ReportCover cover;
    std::optional<ReportNotes> notes;  // the entry a Notes page prints
};

// "流派：標準　時刻補正：なし" for the time correction's word (none, mean, true);
// for a profile other than 標準 its name, and on a second line its
// ConventionsLine.
QString ReportConventions(const QString& correctionWord, const ConventionProfile& profile = {});

// The report, or nullopt with *why when a page cannot be made (a layer the
// chart has not, a reading whose texts are incomplete, notes without an entry).
std::optional<ClientReport> ComposeClientReport(const ReportSource& source, const std::vector<ReportChoice>& pages,
                                                const ReadingTexts& texts, MessageSink& sink, QString* why);

}  // namespace zelvara
