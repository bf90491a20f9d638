// What the perpetual calendar shows for one solar year: the 立春 line and,
// month by month, the lunar date and day pillar of every day. No widgets, so
// that the month selection can be checked without a screen.
#pragma once

#include "engine/zelvara.h"

#include <array>
#include <string>
#include <string_view>

namespace zelvara {

// "23:00-01:00" … "21:00-23:00" for double-hour 1 (子) … 12 (亥); else empty.
std::string_view DoubleHourRange(int hour);

// "2月 4日 寅の刻（03:00-05:00）": day and double-hour of 立春 (entry of month 2).
std::string RisyunText(const CalendarYear& year);

struct CalendarDayCell {
    std::string lunar;   // "4/29", plain half-width digits
    std::string stem;    // "甲"
    std::string branch;  // "子"
};

struct CalendarMonthPage {
    int month = 0;
    int days = 0;                           // length of the solar month (at most 31)
    int termDay = 0;                        // day of the month's 節入り
    std::string termHourRange;              // double-hour of that entry
    std::array<CalendarDayCell, 32> cells;  // [1..31]; days beyond the month stay empty
};

// Month m (1..12) of the year. A new lunar month keeps the number of the one
// before when the next solar month starts in that same number (a leap month);
// after month 12 comes 1. December compares with January 1st of nextYear (the
// leap 11th month of 2033 begins on 2033-12-22); without it December advances.
CalendarMonthPage CalendarMonth(const CalendarYear& year, int month, const CalendarYear* nextYear = nullptr);

}  // namespace zelvara
