// The time layers on the chart page: a picker in the centre panel (the kind
// 本命, 大限, 流年, 流月, 流日 or 流時 and its entry: by age and year, a
// date, a two-hour period; 前/次 and PageUp/PageDown), the layers' palace
// names and 四化 drawn over the boxes, and on Ctrl+click of a palace (or
// 「飛星を表示」 on its right-click menu) its flying 四化 (the target stars
// marked, 自化 marked in the box, the 忌 clash listed). 「宮干を表示」 writes
// each palace's stem before its branch.
// Layers stack: choosing a kind adds its layer to those shown (大限, 流年 and
// one of 流月, 流日, 流時), each in its own colour; a legend under the picker
// names them, and clicking a name there takes that layer away. 本命 takes
// them all away. With 本命 chosen, the stems off and no palace clicked
// nothing is drawn over the chart.
#pragma once

#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "engine/time_layers.h"
#include "main/chart_boxes.h"
#include "main/chart_overlay.h"
#include "main/layer_entries.h"

#include <QObject>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLabel;
class QMenu;
class QToolButton;

namespace zelvara {

// The texts of the twelve branch buttons (box k = branch k + 1): the branch
// alone, or with the palace stems shown the stem before it (乙亥).
std::array<QString, kChartBoxes> BranchButtonTexts(const Tmandata* man, bool stems);

// Where box b's parts stand on the page, with the widths of its star texts.
BoxPlaces BoxPlacesOf(const ChartBox& box);

// Reads the calendar facts of a civil day for the day and hour layers.
using CalendarDayReader = std::function<std::optional<CalendarDay>(const CivilDate&)>;

class ChartOverlayWidget;

class ChartLayerView : public QObject {
    Q_OBJECT
public:
    // page: the chart page the boxes stand on; centre: the centre panel
    // frame (the picker takes its free right-hand corner).
    ChartLayerView(QWidget* page, QWidget* centre, std::array<ChartBox, kChartBoxes>& boxes);

    // After every cast: where the chart shown is held (nullptr or empty: no
    // chart) and its layout. The pointers stay valid while the chart is
    // shown; the layers stay, the flying view is closed.
    void SetChart(const std::optional<Chart>* chart, const ChartLayout* layout);
    // Where the day and hour layers read their days (without it they cannot
    // be laid), and where the 流月 list learns the leap months (asked once).
    void SetCalendar(CalendarDayReader reader, std::function<std::vector<LeapMonth>()> leapMonths = {});

    // The layer the picker edits, and every layer shown, in stack order.
    LayerChoice Choice() const;
    std::vector<LayerChoice> Choices() const;
    // Shows this layer alone (the birth chart for 本命).
    void SetChoice(const LayerChoice& choice);
    // Shows these layers stacked; the picker edits the last.
    void SetChoices(const std::vector<LayerChoice>& choices);
    // The layer the picker edits over the current chart; nullopt without a
    // chart, for 本命, or when it cannot be laid.
    std::optional<TimeLayer> CurrentLayer() const;
    // Every layer shown that can be laid, in stack order.
    std::vector<TimeLayer> CurrentLayers() const;

    int FlyingSource() const { return flyingFrom_; }
    // Shows palace p's flights (0 closes them).
    void ShowFlying(int palace);

    // Moves to the entry before (-1) or after (+1) the chosen one of its kind.
    void Step(int delta);

    bool StemsShown() const;
    void SetStemsShown(bool on);

    // The right-click menu of the palace on branch b: 「飛星を表示」, checked
    // while that palace's flights are shown; it does what Ctrl+click does.
    QMenu* PalaceMenu(int branch);

    QComboBox* KindBox() const { return kind_; }
    QComboBox* EntryBox() const { return entry_; }
    QDateTimeEdit* DateBox() const { return date_; }
    QToolButton* BackButton() const { return back_; }
    QToolButton* NextButton() const { return next_; }
    QCheckBox* StemsBox() const { return stems_; }
    QLabel* CaptionLabel() const { return caption_; }
    // The legend's name of a kind in a stack (hidden when not stacked); a
    // click on it takes the layer away.
    QLabel* LegendName(LayerKind kind) const { return legend_[size_t(kind)]; }
    QLabel* FlyingLabel() const { return flyingText_; }
    QWidget* Overlay() const;
    const ChartOverlay& Shown() const { return shown_; }

signals:
    void LayerChanged();
    // The reader turned the palace stems on or off (not SetStemsShown).
    void StemsToggled(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    void PlaceLegend(const std::vector<TimeLayer>& layers);
    void ShowKind(LayerKind kind);
    void KindChosen(LayerKind kind);
    void RemoveFromStack(LayerKind kind);
    void FillEntries();
    void EntryChosen(int index);
    void ToggleFlying(int palace);
    LayerChoice ChoiceOf(LayerKind kind) const;
    std::optional<TimeLayer> LayerOfChoice(const LayerChoice& choice) const;
    void Remember(const LayerChoice& choice);
    // The record of the chart shown, nullptr without one.
    const Tmandata* Man() const { return chart_ && *chart_ ? &(*chart_)->Man() : nullptr; }
    bool Charted() const { return Man() != nullptr; }

    std::array<ChartBox, kChartBoxes>& boxes_;
    ChartOverlayWidget* overlay_ = nullptr;
    QComboBox* kind_ = nullptr;
    QComboBox* entry_ = nullptr;
    QDateTimeEdit* date_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* next_ = nullptr;
    QCheckBox* stems_ = nullptr;
    QMenu* menu_ = nullptr;
    QLabel* caption_ = nullptr;
    std::array<QLabel*, 6> legend_{};  // by LayerKind; none for the birth chart
    QLabel* flyingText_ = nullptr;
    const std::optional<Chart>* chart_ = nullptr;
    const ChartLayout* layout_ = nullptr;
    CalendarDayReader calendar_;
    std::function<std::vector<LeapMonth>()> leapReader_;
    std::optional<std::vector<LeapMonth>> leapMonths_;                                 // read on the first 流月 list
    mutable std::optional<std::pair<CivilDate, std::optional<CalendarDay>>> readDay_;  // the last day read
    int flyingFrom_ = 0;
    // The last entry chosen of each kind, kept across kinds and charts.
    int period_ = 0, year_ = 0, month_ = 1;
    bool leapMonth_ = false;
    CivilDate day_;
    int clockHour_ = 11;            // 午
    std::vector<LayerKind> stack_;  // the layers shown, in stack order
    std::vector<LayerEntry> entries_;
    ChartOverlay shown_{};
};

}  // namespace zelvara
