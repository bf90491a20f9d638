// Summer time and standard offsets as the system's time-zone database
// records them: Japan's summer time (1948–1951) for Asia/Tokyo, and any other
// zone a birthplace abroad lies in.
#pragma once

#include "engine/solar_time.h"

#include <QString>

#include <string_view>

namespace zelvara {

// How a clock reading in the zone (an IANA name such as "America/New_York";
// empty: Asia/Tokyo) relates to UTC: the zone's standard offset at that
// time, and −60 (or the zone's own summer shift) for a reading taken while
// summer time was kept. The hour the clocks were put back happened twice; a
// reading in it is taken as the first, still in summer time. The hour skipped
// when summer time began was never shown by a clock; a reading in it is taken
// as standard time. A zone the database does not know reads as Asia/Tokyo;
// check names with IsKnownZone first.
ZoneReading ZoneReadingOf(std::string_view zone, int year, int month, int day, int minuteOfDay);

// The correction that turns a clock reading in Japan into standard time.
int SummerTimeMinutes(int year, int month, int day, int minuteOfDay);

// True when the time-zone database has a zone of that IANA name.
bool IsKnownZone(const QString& zone);

}  // namespace zelvara
