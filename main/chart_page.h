// The page "出生図表示": the twelve palace boxes around the centre panel, the
// time layers and flying 四化 drawn over them, the palace strength chart and
// the two print buttons (printbtn1, flyingPrintBtn) and the buttons that hand
// the chart over as a picture or a text (pictureSaveBtn with its menu of
// sizes, pictureCopyBtn, textCopyBtn), which the main window wires.
#pragma once

#include "main/chart_boxes.h"
#include "main/chart_display.h"
#include "print/chart_comparison_print.h"

#include <QWidget>

class QCheckBox;
class QMenu;
class QLabel;
class QPushButton;

namespace zelvara {

class ChartLayerView;
class ChartSession;
class MessageSink;
class Timi;
struct SessionChart;

class ChartPage : public QWidget {
    Q_OBJECT
public:
    explicit ChartPage(const Timi& timi, QWidget* parent = nullptr);

    // Start-up: boxes 1..11 and the palace glyphs from the data folders, the
    // layer view over the session's calendar, the palace stems as zelv.ini
    // last kept them. A missing bitmap is said, and the boxes go without it.
    void Start(ChartSession& session, const DataFolders& folders, const QString& settingsPath, MessageSink& sink);

    // The chart the session cast: the centre panel, the strength chart and
    // the twelve boxes from the session's layout.
    void ShowCast(const SessionChart& chart);

    const std::array<ChartBox, kChartBoxes>& Boxes() const { return boxes_; }
    ChartLayerView* Layers() const { return layers_; }
    PalaceStrengthView* StrengthChart() const { return Chart1; }
    const ChartCentre& Centre() const { return centre_; }
    // Under the chart, a line that says which earlier reading's chart is
    // shown (a consultation entry's chart as read); the next cast clears it.
    void ShowAsReadCaption(const QString& text);
    QLabel* AsReadCaption() const { return asReadCaption_; }
    // Under the chart, the conventions it was cast by as one line
    // (ConventionsLine), shown only for a profile other than 標準.
    QLabel* ConventionsLineLabel() const { return conventionsLine_; }
    // 「グラフも印刷する」.
    bool PrintsGraph() const;
    // 「境界注意」: shown after a cast when zelv.ini turns the warnings on and
    // a boundary alternative changes the chart; it opens the comparison
    // window, whose 「印刷…」 goes to print.
    QPushButton* BoundaryButton() const { return boundaryBtn_; }
    void SetComparisonPrint(std::function<void(const ChartComparison&)> print) { printComparison_ = std::move(print); }
    void OpenComparison();
    // The menu of 「画像で保存」: one action per picture size (its data the
    // index in PictureSizes()), and SVG (data −1).
    QMenu* PictureMenu() const { return pictureMenu_; }

signals:
    // A palace button clicked; tag is its box's branch.
    void PalaceClicked(int tag);

private:
    void LayOutUnderBoxes();
    void ShowConventionsLine(const SessionChart& chart);

    const Timi& timi_;
    ChartSession* session_ = nullptr;
    DataFolders folders_;
    std::array<ChartBox, kChartBoxes> boxes_{};
    ChartCentre centre_;
    ChartLayerView* layers_ = nullptr;
    PalaceStrengthView* Chart1 = nullptr;
    QCheckBox* GraphCheck = nullptr;
    QMenu* pictureMenu_ = nullptr;
    QLabel* asReadCaption_ = nullptr;
    QPushButton* boundaryBtn_ = nullptr;
    QString settingsPath_;
    std::function<void(const ChartComparison&)> printComparison_;
    QLabel* conventionsLine_ = nullptr;
    PalaceGlyphs glyphs_;
    bool glyphsLoaded_ = false;
};

}  // namespace zelvara
