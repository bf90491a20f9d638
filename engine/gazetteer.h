// The places of the world a birth may be given for (data/gazetteer.txt):
// cities with their coordinates and time zones, and Japanese names where
// they have one. The survey list of Japan (birthplaces.h) comes first; this
// one answers for everywhere else.
#pragma once

#include "engine/birthplaces.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelvara {

inline constexpr std::string_view kGazetteerFile = "gazetteer.txt";

struct GazetteerPlace {
    std::string japaneseName;  // ニューヨーク; empty where the catalogue has none
    std::string name;          // New York
    std::string state;         // New York
    std::string countryCode;   // US
    std::string country;       // United States of America
    std::string zone;          // America/New_York
    double latitude = 0;
    double longitude = 0;  // degrees east (west negative)
    unsigned long population = 0;
    // As lists and the chart show it: 「ニューヨーク（New York, United States of America）」.
    std::string Label() const;
};

// Reads the file (UTF-8, '#' comment lines, nine tab-separated fields a line).
// −1 with a message naming the file and line when it is missing, a line
// cannot be read or a coordinate is out of range; nothing is kept then.
int LoadGazetteer(const std::string& path, std::vector<GazetteerPlace>& out, std::string& message);

// The places a typed name means, best first: the Japanese or the Latin name
// (letters in either case) equal to it, then beginning with it, then, for
// two or more characters, containing it; within each, the most populous
// first. At most limit places.
std::vector<const GazetteerPlace*> SearchGazetteer(const std::vector<GazetteerPlace>& places, std::string_view typed,
                                                   std::size_t limit);

// The one place a name stands for: the most populous with that Japanese or
// Latin name, or its Label(); nullptr when none has it.
const GazetteerPlace* FindGazetteerPlace(const std::vector<GazetteerPlace>& places, std::string_view typed);

// A birthplace as a name resolves to: the survey list of Japan first (its
// zone is Japan's, left empty), then the world's places.
struct PlaceChoice {
    std::string label;  // as the list shows it
    double longitude = 0;
    std::string zone;  // IANA name; empty: Asia/Tokyo
};
std::optional<PlaceChoice> FindPlace(const std::vector<Birthplace>& japan, const std::vector<GazetteerPlace>& world,
                                     std::string_view typed);

}  // namespace zelvara
