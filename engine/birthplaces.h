// The bundled list of birthplaces (data/birthplaces.txt): the prefectural
// offices and the designated cities with their longitudes, for the
// solar-time correction.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelvara {

inline constexpr std::string_view kBirthplacesFile = "birthplaces.txt";

struct Birthplace {
    std::string prefecture;                                       // 北海道, 神奈川県 …
    std::string city;                                             // 札幌市, 新宿区 …
    double longitude = 0;                                         // degrees east
    std::string Name() const { return prefecture + " " + city; }  // as the lists show it
};

// Reads the list (UTF-8; '#' starts a comment line; prefecture, city and
// longitude separated by tabs, the longitude as "D M S" or decimal degrees
// within Japan's 122°E–154°E). −1 with a message naming the file and the line
// when the file is missing or a line cannot be read; nothing is kept then.
int LoadBirthplaces(const std::string& path, std::vector<Birthplace>& out, std::string& message);

// The place a typed name means: "北海道 札幌市" as the list shows it, a city
// ("札幌市", "札幌"), or a prefecture ("神奈川県", "神奈川": its office, the
// first line of that prefecture). Full-width letters and blanks read as
// ASCII. nullptr when no place has that name.
const Birthplace* FindBirthplace(const std::vector<Birthplace>& places, std::string_view name);

}  // namespace zelvara
