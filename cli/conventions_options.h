// The convention options every command that casts a chart takes: --profile
// NAME (標準 built in; in the Qt build also the profiles of the settings
// file's [profiles], --settings) and one option per switch, named by the
// switch's key (--palace-month, --year-start, --late-hour, --meridian,
// --transform-wu, --transform-geng, --transform-ren; the time correction is
// --correction), which change the profile's switch.
#pragma once

#include "cli/command_line.h"
#include "engine/conventions.h"

#include <optional>

namespace zelvara::cli {

void AddConventionOptions(Options& parser);

// Whether --profile or a switch option was given (--correction alone is the
// exact-time option it always was): the outputs then name the conventions.
bool ConventionsChosen(const Options& opts);

// The profile with the switch options applied; --correction is left to the
// exact-time options. nullopt after the message on stderr.
std::optional<ConventionProfile> ReadConventionOptions(const Options& opts);

}  // namespace zelvara::cli
