// The hour window Ttimefrm: the main star of every palace for every two-hour
// period, from which the user picks the most plausible birth hour.
#pragma once

#include "engine/chart_request.h"
#include "readings/timi.h"
#include "session/hour_chooser.h"

#include <QDialog>

class QButtonGroup;
class QTableWidget;

namespace zelvara {

class Ttimefrm : public QDialog, public HourChooser {
    Q_OBJECT
public:
    explicit Ttimefrm(const Timi& timi, QWidget* parent = nullptr);

    // Refills the grid from the candidates and selects the first period.
    void Fill(const HourGrid& grid);
    // The period chosen in timebox (0..11).
    int SelectedHour() const;
    // Shows the candidates modally; the period chosen, or nothing when the
    // window was closed without "決定して閉じる".
    std::optional<int> ChooseHour(const HourGrid& candidates) override {
        Fill(candidates);
        if (exec() != QDialog::Accepted) return std::nullopt;
        return SelectedHour();
    }

    QTableWidget* Grid() const { return TG; }
    QButtonGroup* TimeBox() const { return timebox_; }
    // What a click on cell (column, row) of the grid does.
    void CellClicked(int row, int column);

private:
    const Timi& timi_;
    QTableWidget* TG = nullptr;
    QButtonGroup* timebox_ = nullptr;
};

}  // namespace zelvara
