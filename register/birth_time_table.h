// The exact birth time and place of a person, kept beside the register in a
// companion table of the register's own file (nam_data.db), keyed by the
// person's row. The register's eighteen fields stay as they are; a person
// without an entry is charted from the hour period as always.
//
// A trigger on the register's table removes the entry of a person who is
// deleted, so that a row number used again never inherits someone else's
// time; a read also joins the register, so an entry without its person is
// never returned.
#pragma once

#include "solar_time.h"

#include <QString>
#include <QtGlobal>

#include <optional>

namespace zelvara {

struct BirthTimeEntry {
    QString clockTime;  // "HH:MM" as read from the clock
    QString place;      // the birthplace list's name, or empty for a typed longitude
    std::optional<double> longitude;  // degrees east; none: no place given
    QString zone;       // IANA time zone of the birthplace; empty: Asia/Tokyo
    // The solar-time correction chosen for this person; none: the settings' choice.
    std::optional<TimeCorrection> correction;
    bool operator==(const BirthTimeEntry&) const = default;
    // True when the birthplace lies in Japan's zone.
    bool InJapan() const { return zone.isEmpty() || zone == QLatin1String("Asia/Tokyo"); }
};

// Why an entry cannot be stored, or empty: a clock time that is not HH:MM, a
// place without a longitude, a time zone the time-zone database does not
// know, a longitude outside Japan (122°E–154°E) in Japan's zone unless the
// user confirmed it (outsideJapanConfirmed).
QString BirthTimeEntryFault(const BirthTimeEntry& entry, bool outsideJapanConfirmed = false);

class BirthTimeTable {
public:
    static constexpr const char* kTableName = "birth_time";

    BirthTimeTable();
    ~BirthTimeTable();
    BirthTimeTable(const BirthTimeTable&) = delete;
    BirthTimeTable& operator=(const BirthTimeTable&) = delete;

    // Opens the companion table in the register file at registerPath; when
    // writable, creates it and its trigger if missing (the register's table
    // must exist). Empty on success, else why not.
    QString Open(const QString& registerPath, bool writable);
    void Close();
    bool IsOpen() const { return !connection_.isEmpty(); }

    // The entry of the person in the register's row, none when nothing is
    // stored or the person is no longer in the register.
    std::optional<BirthTimeEntry> Read(qint64 person) const;

    // Stores or replaces the person's entry in one transaction. Empty on
    // success; else why not (a refused entry, a read-only register, a person
    // not in the register, a failed write), and nothing is changed.
    QString Write(qint64 person, const BirthTimeEntry& entry, bool outsideJapanConfirmed = false);
    // Removes the person's entry (nothing to remove is no fault).
    QString Remove(qint64 person);

private:
    QString connection_;
    bool writable_ = false;
    bool hasZone_ = false;  // the table has the zone and correction columns
};

}  // namespace zelvara
