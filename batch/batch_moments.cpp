#include "batch/batch_moments.h"

#include "engine/calendar_file.h"
#include "engine/conversion.h"

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

bool BeforeFirstCoveredMoment(const Refusal& r) {
    // The term enters on the 6th; the hours of that day before it are refused too.
    return r.year == kFirstCalendarYear && r.month == 1 && r.day <= 6 && r.message == kOutOfRangeMessage;
}

MomentCaster::MomentCaster(const std::string& programFolder) : ctx_(programFolder, sink_) {
    // The calendar files do not change during a run; asking the file system
    // about them once an hour instead of on every chart keeps the cast fast.
    ctx_.calendarCache.revalidateAfter = std::chrono::hours(1);
}

std::string MomentCaster::CheckCalendarFiles(int fromYear, int toYear) {
    for (int y = fromYear; y <= toYear; ++y) {
        sink_.text_.clear();
        if (LoadCalendarYears(ctx_, y) < 0)
            return sink_.text_.empty() ? "万暦データファイル（" + std::to_string(y) + "年とその前後の年）を読めません。"
                                       : sink_.text_;
    }
    return {};
}

bool MomentCaster::Cast(int year, int month, int day, int hourIndex) {
    ++moments_;
    ChartRequest request;
    request.year = year;
    request.month = month;
    request.day = day;
    request.hourIndex = hourIndex;
    CastOutcome cast = CastChart(ctx_, request);
    if (cast) {
        chart_ = *cast;
        return true;
    }
    chart_.reset();
    refusedMoment_ = Tmandata();
    refusedMoment_.birthYear = year;
    refusedMoment_.birthMonth = month;
    refusedMoment_.birthDay = day;
    refusedMoment_.hourIndex = hourIndex;
    ++refused_;
    Refusal refusal{year, month, day, hourIndex, cast.error().message};
    if (!firstFault_ && !BeforeFirstCoveredMoment(refusal)) firstFault_ = refusal;
    if (!firstRefusal_) firstRefusal_ = std::move(refusal);
    return false;
}

}  // namespace zelvara::batch
