// The chart page's contents: the centre panel, the twelve boxes filled from a
// cast chart, and the palace-strength bar chart.
#pragma once

#include "engine/chart_layout.h"
#include "engine/solar_time.h"
#include "main/chart_boxes.h"
#include "print/palace_strength_chart.h"
#include "readings/timi.h"

#include <QPixmap>
#include <QWidget>

#include <array>
#include <optional>

class QLabel;
class QToolButton;

namespace zelvara {

// The bar chart `Chart1` on the page; it draws with the print module's painter.
class PalaceStrengthView : public QWidget {
    Q_OBJECT
public:
    explicit PalaceStrengthView(QWidget* parent = nullptr);
    void SetStrength(const PalaceStrength& strength);
    const PalaceStrength& Strength() const { return strength_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PalaceStrength strength_{};
};

// The labels and buttons of the centre panel.
struct ChartCentre {
    QLabel* lblBirth = nullptr;
    QLabel* lblAge = nullptr;
    QLabel* lblKouun = nullptr;
    QLabel* lblRituun = nullptr;
    QLabel* lblDays = nullptr;
    QLabel* kyureki = nullptr;
    QLabel* sexlbl = nullptr;
    QLabel* gogyolbl = nullptr;
    QLabel* lblsingu = nullptr;
    QLabel* birthTimeLine = nullptr;  // an exact time a correction moved: clock → corrected, the minutes
    // Columns 時 日 月 年: stem and branch buttons.
    QToolButton* SpdBtnTim_ten = nullptr;
    QToolButton* SpdBtnDay_ten = nullptr;
    QToolButton* SpdBtnMon_ten = nullptr;
    QToolButton* SpdBtnNen_ten = nullptr;
    QToolButton* SpdBtnTim_chi = nullptr;
    QToolButton* SpdBtnDay_chi = nullptr;
    QToolButton* SpdBtnMon_chi = nullptr;
    QToolButton* SpdBtnNen_chi = nullptr;
    std::array<QLabel*, 5> legend{};  // brightness legend by grade 1..4
};

// Builds the centre panel inside the given frame (the area the four centre
// cells of the rim leave free).
ChartCentre BuildChartCentre(QWidget* centreFrame);

// Background and text colours of a star label of brightness grade 1..4.
QColor BrightnessBackground(int grade);
QColor BrightnessText(int grade);

// Fills the centre labels from the chart record.
void FillChartCentre(const ChartCentre& centre, const Tmandata& man);

// The exact time the chart was cast from, when summer time or a correction
// moved it: 「時刻 05:50→05:26」 and, smaller, the minutes of each correction.
// Hidden otherwise.
void ShowBirthTimeLine(const ChartCentre& centre, const std::optional<CorrectedBirth>& exact);

// Palace glyphs by palace number, loaded once from the data folders.
using PalaceGlyphs = std::array<QPixmap, kPalaces + 1>;
PalaceGlyphs LoadPalaceGlyphs(const DataFolders& folders);

// Fills the boxes, bureau and body palace labels from a chart and its layout
// (the luck sequence laid out in the record).
void FillChartBoxes(std::array<ChartBox, kChartBoxes>& boxes, const ChartCentre& centre, const Tmandata& man,
                    const ChartLayout& layout, const Timi& timi, const PalaceGlyphs& glyphs);

}  // namespace zelvara
