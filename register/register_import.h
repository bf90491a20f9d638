// Bringing records into the register safely: every record is checked first
// with the register's own rules, nothing is written when any is refused
// (unless the refused ones are to be skipped), the file is copied to the
// backup folder before the write, and the records go in in one transaction.
// Records identical in name and birth to one already stored are skipped.
#pragma once

#include "register/person_table.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace zelvara {

// Why a record cannot go into the register, or could not be charted: control
// characters (line breaks, tabs) in a field, field sizes and characters in
// Shift-JIS, sex, hour period, year, month and day, and the date itself as the
// chart request checks it (a day the month does not have, a birth outside
// 1921-01-06 … 2100-12-31). Empty when it can.
QString RecordProblem(const PersonValues& values);

// The same checks for many records, with one engine context for all of them.
class RecordChecker {
public:
    RecordChecker();
    ~RecordChecker();
    RecordChecker(const RecordChecker&) = delete;
    RecordChecker& operator=(const RecordChecker&) = delete;
    QString Problem(const PersonValues& values);

private:
    struct Engine;
    std::unique_ptr<Engine> engine_;
};

struct ImportItem {
    int line = 0;  // line or record number in the source, for messages
    PersonValues values;
    QString problem;  // already refused by the reader (a malformed line)
    // The exact birth time, written with the record. Checked with
    // BirthTimeEntryFault; a time zone named Asia/Tokyo confirms a longitude
    // outside Japan.
    std::optional<BirthTimeEntry> birthTime = std::nullopt;
    // The name of the convention profile chosen for the record (empty: none),
    // checked with ProfileNameFault; kept as it is, known here or not.
    QString profile = {};
};

struct ImportOptions {
    bool dryRun = false;
    bool skipBad = false;
    std::function<void(int done, int total)> progress;  // called while checking and writing
    // The profiles the settings here have: the records naming another are
    // counted in ImportReport::unknownProfiles.
    QStringList knownProfiles;
};

struct ImportReport {
    std::vector<std::pair<int, QString>> refused;  // line, reason
    int added = 0;
    int duplicates = 0;
    int unknownProfiles = 0;  // records added that name a profile not in knownProfiles
    QString backupPath;       // the copy made before writing
    QString error;            // nothing was written; why
    QString heldBy;           // another import or undelete was at work on the register (then error says so too)
    bool written = false;
};

// The import's line for ImportReport::unknownProfiles (more than none).
QString UnknownProfilesText(int records);

// The register must be open for writing (the caller holds its lock).
ImportReport ImportRecords(PersonTable& table, const std::vector<ImportItem>& items, const ImportOptions& options);

// A copy of the register file in its backup folder named by the moment,
// "nam_data-YYYYMMDD-HHmmss.db" (with "-2", "-3" … when that name is taken).
// Empty on success; *copy receives the path.
QString BackUpNow(const PersonTable& table, QString* copy);

}  // namespace zelvara
