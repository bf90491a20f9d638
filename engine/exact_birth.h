// A birth given as an exact clock time instead of a two-hour period: the
// entry's date is the clock reading's date; summer time is removed, the
// chosen solar-time correction applied, and the chart is cast for the
// corrected moment's civil date and period. The command line and the desktop
// program both turn an entry into that moment here.
#pragma once

#include "engine/chart_request.h"
#include "engine/context.h"
#include "engine/solar_time.h"

#include <optional>
#include <string>
#include <string_view>

namespace zelvara {

// How a clock reading in a zone (an IANA name; empty: Asia/Tokyo) relates to
// UTC. The engine has no time-zone database; the caller passes its rule
// (ZoneReadingOf of common/).
using ZoneRule = ZoneReading (*)(std::string_view zone, int year, int month, int day, int minuteOfDay);

// The exact time of a person as the reader gave it, and the correction chosen.
struct ExactTime {
    int clockMinute = 0;  // minutes after midnight on the clock
    TimeCorrection correction = TimeCorrection::kNone;
    std::optional<double> longitude;  // degrees east; none: the zone's standard time
    std::string zone;                 // IANA name of the birthplace's zone; empty: Asia/Tokyo
};

// The zone the engine assumes when none is given.
inline constexpr std::string_view kJapanZone = "Asia/Tokyo";

// Checks the entry's birth date as the clock reading's date (the request's own
// checks and messages; nullopt when one refuses), corrects the reading and
// puts the corrected moment's date and period into in (the name and sex stay).
std::optional<CorrectedBirth> CorrectBirthInput(EngineContext& ctx, BirthInput& in, const ExactTime& time,
                                                ZoneRule zones);

// Puts a corrected moment's civil date and period into the entry fields.
void SetCorrectedMoment(BirthInput& in, const CorrectedBirth& moment);

}  // namespace zelvara
