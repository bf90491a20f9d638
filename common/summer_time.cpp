#include "common/summer_time.h"

#include "engine/exact_birth.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>

namespace zelvara {
namespace {

QTimeZone ZoneNamed(std::string_view zone) {
    static const QTimeZone tokyo(QByteArray(kJapanZone.data(), qsizetype(kJapanZone.size())));
    if (zone.empty() || zone == kJapanZone) return tokyo;
    const QTimeZone named(QByteArray(zone.data(), qsizetype(zone.size())));
    return named.isValid() ? named : tokyo;
}

}  // namespace

ZoneReading ZoneReadingOf(std::string_view zoneName, int year, int month, int day, int minuteOfDay) {
    const QTimeZone zone = ZoneNamed(zoneName);
    if (!zone.isValid()) return {};
    // The reading's figures taken as if they were UTC; an offset o is the
    // reading's own when the zone kept o at the instant (reading − o).
    const QDateTime reading = QDateTime(QDate(year, month, day), QTime(0, 0), Qt::UTC).addSecs(minuteOfDay * 60LL);
    const int standard = zone.standardTimeOffset(reading);
    // The offsets kept two hours either side of the reading cover any one-hour change.
    const int earlier = zone.offsetFromUtc(reading.addSecs(-standard - 7200));
    const int later = zone.offsetFromUtc(reading.addSecs(-standard + 7200));
    auto fits = [&](int offset) { return zone.offsetFromUtc(reading.addSecs(-offset)) == offset; };
    int offset = earlier;  // a reading in the skipped hour: the offset before the change
    if (fits(earlier) && fits(later))
        offset = std::max(earlier, later);  // the repeated hour: its first pass, in summer time
    else if (fits(later))
        offset = later;
    const int standardAtInstant = zone.standardTimeOffset(reading.addSecs(-offset));
    return ZoneReading{standardAtInstant / 60, -(offset - standardAtInstant) / 60};
}

int SummerTimeMinutes(int year, int month, int day, int minuteOfDay) {
    return ZoneReadingOf(kJapanZone, year, month, day, minuteOfDay).summerMinutes;
}

bool IsKnownZone(const QString& zone) { return QTimeZone::isTimeZoneIdAvailable(zone.toUtf8()); }

}  // namespace zelvara
