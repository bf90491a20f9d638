// The perpetual calendar window: one solar year of the chart, its 立春, the
// pillars of the twelve months and, for the picked month, a cell per day.
// A new window is made at each opening; it deletes itself when closed.
#pragma once

#include "windows/calendar_month.h"

#include <QWidget>

#include <array>
#include <optional>

class QAbstractButton;
class QButtonGroup;
class QLabel;
class QRadioButton;

namespace zelvara {

class Tmannenfrm : public QWidget {
    Q_OBJECT
public:
    // year: the chart year's calendar data, copied; sourceLine: the name of
    // the data's source for the footnote; nextYear: the year after (the chart
    // has it loaded), which December's lunar dates need for a leap month.
    Tmannenfrm(const CalendarYear& year, int chartYear, int birthMonth, const QString& sourceLine,
               QWidget* parent = nullptr, const CalendarYear* nextYear = nullptr);

    // The source line kept beside the calendar files ("calendar-source.txt");
    // empty when the file is missing.
    static QString CalendarSourceLine(const QString& programFolder);

    int SelectedMonth() const { return month_; }

public slots:
    void m1Click(int month);

private:
    void BuildHeader(int chartYear);
    void BuildMonthPanel();
    void BuildDayCells();
    QRect SolarDayRect(int day) const;

    CalendarYear year_;
    std::optional<CalendarYear> nextYear_;
    int month_ = 0;
    QButtonGroup* months_ = nullptr;
    QLabel* setuday1 = nullptr;
    QLabel* setuday2 = nullptr;
    std::array<QAbstractButton*, 32> sinday_{};
    std::array<QAbstractButton*, 32> kyuday_{};
    std::array<QAbstractButton*, 32> daykan_{};
    std::array<QAbstractButton*, 32> daychi_{};
};

}  // namespace zelvara
