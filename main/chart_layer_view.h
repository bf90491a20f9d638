// The time layers on the chart page: a picker in the centre panel (the kind
// 本命, 大限, 流年 or 流月 and its entries by age and year, 前/次 and
// PageUp/PageDown), the layer's palace names and 四化 drawn over the boxes,
// and on Ctrl+click of a palace (or 「飛星を表示」 on its right-click menu)
// its flying 四化 (the target stars marked, 自化 marked in the box, the 忌
// clash listed). 「宮干を表示」 writes each palace's stem before its branch.
// With 本命 chosen, the stems off and no palace clicked nothing is drawn
// over the chart.
#pragma once

#include "chart_boxes.h"
#include "chart_layout.h"
#include "chart_request.h"
#include "layer_entries.h"
#include "time_layers.h"

#include <QObject>
#include <QWidget>

#include <array>
#include <optional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QMenu;
class QToolButton;

namespace zelvara {

// Colours of the overlay: one per layer kind, and the flying marks.
QColor LayerColour(LayerKind kind);
QColor FlyingColour();
QColor SelfTransformColour();

// What the overlay draws for one box (the box of branch b).
struct BoxOverlay {
    QString layerPalace;                  // 年命 …, empty without a layer
    std::array<QString, 7> layerMarks;    // by star slot 1..6: 禄 権 科 忌 of the layer
    std::array<QString, 7> flyingMarks;   // by star slot 1..6: the flight landing on that star
    std::array<bool, 7> selfMarks{};      // the flight is a 自化
    bool flyingSource = false;            // the palace whose flights are shown
};

// The overlay of every box, from a chart, its layout, a layer (the birth
// layer for none) and the palace whose flights are shown (0 for none).
std::array<BoxOverlay, kBranches + 1> ComposeOverlay(const Tmandata& man, const ChartLayout& layout,
                                                     const TimeLayer& layer, int flyingFrom);

// The panel text of a palace's flights: 命宮（乙）の飛星 / 忌沖：夫妻 …
QString FlyingSummary(const Tmandata& man, int palace);

// The line the centre panel shows while a layer is shown and no palace's
// flights are, and the hint the palace buttons' tooltips end with.
QString FlyingHintLine();
QString FlyingHintTip();

// The texts of the twelve branch buttons (box k = branch k + 1): the branch
// alone, or with the palace stems shown the stem before it (乙亥).
std::array<QString, kChartBoxes> BranchButtonTexts(const Tmandata* man, bool stems);

class ChartOverlayWidget;

class ChartLayerView : public QObject {
    Q_OBJECT
public:
    // page: the chart page the boxes stand on; centre: the centre panel
    // frame (the picker takes its free right-hand corner).
    ChartLayerView(QWidget* page, QWidget* centre, std::array<ChartBox, kChartBoxes>& boxes);

    // After every cast: where the chart shown is held (nullptr or empty: no
    // chart) and its layout. The pointers stay valid while the chart is
    // shown; the choice stays, the flying view is closed.
    void SetChart(const std::optional<Chart>* chart, const ChartLayout* layout);

    LayerChoice Choice() const;
    void SetChoice(const LayerChoice& choice);
    // The chosen layer over the current chart; nullopt without a chart or
    // when it cannot be laid.
    std::optional<TimeLayer> CurrentLayer() const;

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
    QToolButton* BackButton() const { return back_; }
    QToolButton* NextButton() const { return next_; }
    QCheckBox* StemsBox() const { return stems_; }
    QLabel* CaptionLabel() const { return caption_; }
    QLabel* FlyingLabel() const { return flyingText_; }
    QWidget* Overlay() const;
    const std::array<BoxOverlay, kBranches + 1>& Shown() const { return shown_; }

signals:
    void LayerChanged();
    // The reader turned the palace stems on or off (not SetStemsShown).
    void StemsToggled(bool on);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Refresh();
    void FillEntries();
    void EntryChosen(int index);
    void ToggleFlying(int palace);
    // The record of the chart shown, nullptr without one.
    const Tmandata* Man() const { return chart_ && *chart_ ? &(*chart_)->Man() : nullptr; }

    std::array<ChartBox, kChartBoxes>& boxes_;
    ChartOverlayWidget* overlay_ = nullptr;
    QComboBox* kind_ = nullptr;
    QComboBox* entry_ = nullptr;
    QToolButton* back_ = nullptr;
    QToolButton* next_ = nullptr;
    QCheckBox* stems_ = nullptr;
    QMenu* menu_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* flyingText_ = nullptr;
    const std::optional<Chart>* chart_ = nullptr;
    const ChartLayout* layout_ = nullptr;
    int flyingFrom_ = 0;
    // The last entry chosen of each kind, kept across kinds and charts.
    int period_ = 0, year_ = 0, month_ = 1;
    std::vector<LayerEntry> entries_;
    LayerKind layerKind_ = LayerKind::Birth;
    std::array<BoxOverlay, kBranches + 1> shown_{};
};

}  // namespace zelvara
