// The twelve boxes of the chart page. Box k stands for branch k + 1 (box 0 =
// 子). Box 0's controls are laid out with the page; boxes 1..11 are built at
// start-up as copies of them.
#pragma once

#include "common/data_folders.h"

#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QToolButton>

#include <array>

class QFrame;
class QLabel;

namespace zelvara {

// A palace button: caption on top, the palace bitmap below it.
class PalaceButton : public QToolButton {
    Q_OBJECT
public:
    explicit PalaceButton(QWidget* parent = nullptr);
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }
    void SetGlyph(const QPixmap& glyph);
    const QPixmap& Glyph() const { return glyph_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int tag_ = 0;
    QPixmap glyph_;
};

struct ChartBox {
    QFrame* frame = nullptr;
    PalaceButton* palace = nullptr;
    QToolButton* branch = nullptr;
    QToolButton* age = nullptr;
    std::array<QLabel*, 6> stars{};  // slots 1..6 at index 0..5
};

constexpr int kChartBoxes = 12;

// Position of box k on the chart page.
QRect ChartBoxRect(int box);

// Palace bitmap file of palace 1..12.
QString PalaceBitmapFile(int palace);

// The page's box frames with box 0's design-time controls inside.
std::array<ChartBox, kChartBoxes> CreateChartBoxFrames(QWidget* page);

// Fills boxes 1..11 from box 0's design and loads every palace glyph (the
// user's copy first, then the shipped one). Returns the bitmap files that
// could not be loaded.
QStringList BuildChartBoxes(std::array<ChartBox, kChartBoxes>& boxes, const DataFolders& folders);

// Loads palace p's bitmap; a null pixmap when the file is missing or broken.
QPixmap LoadPalaceGlyph(const DataFolders& folders, int palace);

}  // namespace zelvara
