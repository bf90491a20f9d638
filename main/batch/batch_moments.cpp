#include "batch_moments.h"

#include "chart_request.h"

#include <chrono>

namespace zelvara::batch {

int MonthLength(int year, int month) {
    static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    return month == 2 && year % 4 == 0 ? 29 : kDays[month];
}

char CodeChar(int value) {
    if (value >= 0 && value <= 9) return static_cast<char>('0' + value);
    if (value >= 10 && value <= 35) return static_cast<char>('A' + value - 10);
    return '?';
}

void AppendTwoDigits(std::string& out, int value) {
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

MomentCaster::MomentCaster(const std::string& programFolder) : ctx_(programFolder, sink_) {
    // The calendar files do not change during a run; asking the file system
    // about them once an hour instead of on every chart keeps the cast fast.
    ctx_.calendarCache.revalidateAfter = std::chrono::hours(1);
}

bool MomentCaster::Cast(int year, int month, int day, int hourIndex) {
    ++moments_;
    ctx_.man.Reset();
    ctx_.man.sexCode = 'M';
    sink_.text_.clear();
    if (CastChart(ctx_, year, month, day, hourIndex) >= 0) return true;
    ++refused_;
    if (!firstRefusal_) firstRefusal_ = Refusal{year, month, day, hourIndex, sink_.text_};
    return false;
}

ChartLayout MomentCaster::LayOut() {
    LayOutLuckPeriods(ctx_.man);
    return LayOutChart(ctx_.man);
}

}  // namespace zelvara::batch
