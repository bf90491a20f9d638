// The birth options of `chart`, which the reading and print commands take too.
#pragma once

#include "cli/command_line.h"
#include "cli/conventions_options.h"
#include "engine/chart_request.h"
#include "engine/context.h"
#include "engine/solar_time.h"

#include <optional>
#include <string>
#include <string_view>

namespace zelvara::cli {

// Declares --name, --sex, --date, --hour and --today, the exact-time
// options --time, --place, --longitude, --force-longitude and --correction,
// and the convention options (conventions_options.h).
void AddBirthOptions(Options& parser);

// An exact birth time as the options gave it, and the moment it was corrected to.
struct BirthTime {
    CorrectedBirth corrected;
    std::string place;                // the list's name of --place, else empty
    std::optional<double> longitude;  // from --place or --longitude
    std::string zone;                 // --zone or the zone of --place abroad; empty: Asia/Tokyo
    // Born between 23:00 and 24:00 of the corrected moment's date.
    bool LateHour() const { return corrected.minuteOfDay >= 23 * 60; }
};

// With --time: checks the birth fields of the clock reading's date, removes
// summer time, applies --correction with the longitude of --place or
// --longitude, and turns the input's date and hour into the corrected
// moment's civil date and period. Without --time: nothing (time stays
// empty), 0. A refused exact-time option or a birth date the request refuses
// is explained on stderr and gives 1. Without --correction the profile's
// correction applies.
int ApplyBirthTime(const Options& opts, EngineContext& ctx, BirthInput& in, std::optional<BirthTime>& time,
                   const ConventionProfile& profile = {});

// Reads --name, --sex (男|女|M|F), --date YEAR/MONTH/DAY, --hour and --today
// into the input and the context; full-width digits, letters and slashes read
// as ASCII. A malformed option is explained on stderr and gives false. The
// hour may be 不明の場合, and is not needed with --time.
bool ReadBirthOptions(const Options& opts, EngineContext& ctx, BirthInput& in);

// Reads the birth options, which must name one of the twelve hours, and casts
// the chart into chart. 0 when the chart stands; otherwise the exit code:
// 2 for a malformed option (explained on stderr, naming the command), 1 when
// the chart request stopped (its messages already shown) or an exact-time
// option was refused. time: the exact time when --time was given; profile:
// the conventions the chart was cast by.
int CastFromOptions(const Options& opts, std::string_view command, EngineContext& ctx, BirthInput& in,
                    std::optional<Chart>& chart, std::optional<BirthTime>* time = nullptr,
                    ConventionProfile* profile = nullptr);

}  // namespace zelvara::cli
