// Calendar data files "YYYY.eto": 25 ASCII lines (CR LF) per civil year.
#pragma once

#include "engine/context.h"
#include "engine/conventions.h"

#include <string>
#include <string_view>
#include <vector>

namespace zelvara {

// Full path of the file of a civil year: program folder + year + ".eto"; the
// files of the lunar calendar reckoned at 120°E lie in the folder
// kChinaCalendarFolder of the program folder.
std::string CalendarFilePath(const EngineContext& ctx, int year, LunarMeridian meridian = LunarMeridian::kJapan);
inline constexpr std::string_view kChinaCalendarFolder = "calendar-120e";

// Parses the 25 lines of one file. On a fault returns −1 and sets message to
// the text the loader shows; slot (1..3) appears in some messages. A field
// outside the calendar's range (lunar month 1..12, lunar day 1..30 and within
// its month, lunar month lengths 29 or 30, civil month of 28..31 days, term day
// within the month) is a fault whose message names the file and the line.
int ParseCalendarLines(const std::vector<std::string>& lines, const std::string& path, int slot, CalendarYear& out,
                       std::string& message);

// Splits file content into lines at CR LF (a lone LF is accepted too).
std::vector<std::string> SplitCalendarLines(std::string_view content);

// Fills the year slots of ctx.reki around civil year Y: slot 1 from Y − 1 (only
// when Y > 1921), slot 2 from Y, slot 3 from Y + 1, in ascending order. The first
// failure shows its message and returns −1; later slots keep what they held.
// The meridian chooses the set of files.
int LoadCalendarYears(EngineContext& ctx, int year, LunarMeridian meridian = LunarMeridian::kJapan);

}  // namespace zelvara
