#include "engine/exact_birth.h"

#include "engine/zelvara.h"

#include <string>

namespace zelvara {

std::optional<CorrectedBirth> CorrectBirthInput(EngineContext& ctx, BirthInput& in, const ExactTime& time,
                                                ZoneRule zones) {
    const auto entry = CheckBirthInput(ctx, in);
    if (!entry) return std::nullopt;
    const ClockBirth clock{entry->year, entry->month, entry->day, time.clockMinute};
    const ZoneReading zone = zones(time.zone, clock.year, clock.month, clock.day, clock.minuteOfDay);
    // Without a longitude the reading stays in the zone's standard time.
    const TimeCorrection correction = time.longitude ? time.correction : TimeCorrection::kNone;
    CorrectedBirth moment = CorrectBirthTime(clock, zone, correction, time.longitude.value_or(kStandardMeridian));
    if (!time.zone.empty() && time.zone != kJapanZone) moment.zone = time.zone;
    SetCorrectedMoment(in, moment);
    return moment;
}

void SetCorrectedMoment(BirthInput& in, const CorrectedBirth& moment) {
    in.year = std::to_string(moment.year);
    in.month = std::to_string(moment.month);
    in.day = std::to_string(moment.day);
    in.hour = std::string(kHourPeriodTexts[moment.hourIndex]);
}

}  // namespace zelvara
