// The exact birth time and place of a person as the register keeps it beside
// the eighteen fields (in the register file or on the server alike), and the
// one check an entry passes before it is stored.
#pragma once

#include "engine/solar_time.h"

#include <QString>

#include <optional>
#include <vector>

namespace zelvara {

struct BirthTimeEntry {
    QString clockTime;                // "HH:MM" as read from the clock
    QString place;                    // the birthplace list's name, or empty for a typed longitude
    std::optional<double> longitude;  // degrees east; none: no place given
    QString zone;                     // IANA time zone of the birthplace; empty: Asia/Tokyo
    // The solar-time correction chosen for this person; none: the settings' choice.
    std::optional<TimeCorrection> correction;
    bool operator==(const BirthTimeEntry&) const = default;
    // True when the birthplace lies in Japan's zone.
    bool InJapan() const { return zone.isEmpty() || zone == QLatin1String("Asia/Tokyo"); }
};

// One entry or none for each of a list of records, in the same order.
using RecordBirthTimes = std::vector<std::optional<BirthTimeEntry>>;

// Why an entry cannot be stored, or empty: a clock time that is not HH:MM, a
// place without a longitude, a time zone the time-zone database does not
// know, a longitude outside Japan (122°E–154°E) in Japan's zone unless the
// user confirmed it (outsideJapanConfirmed).
QString BirthTimeEntryFault(const BirthTimeEntry& entry, bool outsideJapanConfirmed = false);

}  // namespace zelvara
