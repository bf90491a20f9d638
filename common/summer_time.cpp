#include "summer_time.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>

namespace zelvara {

int SummerTimeMinutes(int year, int month, int day, int minuteOfDay)
{
    static const QTimeZone tokyo(QByteArrayLiteral("Asia/Tokyo"));
    if (!tokyo.isValid())
        return 0;
    // The reading's figures taken as if they were UTC; an offset o is the
    // reading's own when the zone kept o at the instant (reading − o).
    const QDateTime reading = QDateTime(QDate(year, month, day), QTime(0, 0), Qt::UTC).addSecs(minuteOfDay * 60LL);
    const int standard = tokyo.standardTimeOffset(reading);
    // The offsets kept two hours either side of the reading cover any one-hour change.
    const int earlier = tokyo.offsetFromUtc(reading.addSecs(-standard - 7200));
    const int later = tokyo.offsetFromUtc(reading.addSecs(-standard + 7200));
    auto fits = [&](int offset) { return tokyo.offsetFromUtc(reading.addSecs(-offset)) == offset; };
    int offset = earlier;  // a reading in the skipped hour: the offset before the change
    if (fits(earlier) && fits(later))
        offset = std::max(earlier, later);  // the repeated hour: its first pass, in summer time
    else if (fits(later))
        offset = later;
    return -(offset - tokyo.standardTimeOffset(reading.addSecs(-offset))) / 60;
}

}  // namespace zelvara
