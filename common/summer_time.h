// Japan's summer time (1948–1951) as the system's time-zone database records
// it for Asia/Tokyo: how many minutes a clock reading was ahead of standard
// time.
#pragma once

namespace zelvara {

// The correction that turns a clock reading in Japan into standard time:
// −60 for a reading taken while summer time was kept, 0 otherwise. The hour
// the clocks were put back happened twice; a reading in it is taken as the
// first, still in summer time. The hour skipped when summer time began was
// never shown by a clock; a reading in it is taken as standard time.
int SummerTimeMinutes(int year, int month, int day, int minuteOfDay);

}  // namespace zelvara
