// 「境界注意」's window: the alternatives of the chart held (the boundary ones
// first, then 「他の規則では」 the other values of the switches), and the
// chart beside the chosen one, the boxes that differ marked, the reason on
// top and the differences listed; 「印刷…」 prints it on one page.
#pragma once

#include "engine/alternatives.h"
#include "print/chart_comparison_print.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <vector>

class QCheckBox;
class QLabel;
class QListWidget;

namespace zelvara {

class MarkedGridView;

// The chart compared and how it was cast.
struct ComparisonSubject {
    const Chart* chart = nullptr;    // the chart held; lives while the window does
    ChartRequest request;            // the request cast
    std::optional<int> minuteOfDay;  // the exact corrected time, if one was given
    ChartSheet sheet;                // the chart's sheet as the prints make it
};

class ChartComparisonWindow : public QDialog {
    Q_OBJECT
public:
    using Print = std::function<void(const ChartComparison&)>;
    // ctx: the context the chart was cast in; the alternative casts give it
    // back its record and slots.
    ChartComparisonWindow(EngineContext& ctx, ComparisonSubject subject, Print print, QWidget* parent = nullptr);

    // The alternatives in the list's order: the boundary ones first.
    const std::vector<ChartAlternative>& Alternatives() const { return alternatives_; }
    // Shows alternative i of Alternatives() beside the chart.
    void Choose(int i);
    // What is shown (and printed); an empty comparison before any choice.
    const ChartComparison& Shown() const { return shown_; }

private:
    void FindAll();
    void FillList();

    EngineContext& ctx_;
    ComparisonSubject subject_;
    Print print_;
    std::vector<ChartAlternative> alternatives_;
    ChartComparison shown_;
    std::string shownChanges_, shownValue_;  // the alternative shown
    QLabel* reason_ = nullptr;
    QListWidget* list_ = nullptr;
    QCheckBox* neighbours_ = nullptr;
    QLabel* chartCaption_ = nullptr;
    QLabel* alternativeCaption_ = nullptr;
    MarkedGridView* chartGrid_ = nullptr;
    MarkedGridView* alternativeGrid_ = nullptr;
    QListWidget* differences_ = nullptr;
};

}  // namespace zelvara
