// The exact birth time of the register's current person: the entries the
// register keeps beside its records, the current person's entry, and the
// corrected moment the chart request casts instead of the hour box's period.
#pragma once

#include "engine/chart_request.h"
#include "engine/exact_birth.h"
#include "register/birth_time_table.h"
#include "register/person_table.h"

#include <QString>

#include <optional>

namespace zelvara {

class PersonBirthTime {
public:
    explicit PersonBirthTime(PersonTable& persons) : persons_(persons) {}

    // The exact times of the register's records, kept by the register itself
    // (its file or its server); nullptr (why says why) while it is closed.
    BirthTimeTable* Table(QString* why = nullptr);
    // The register's row of the current person; −1 when there is none or the
    // person has not been stored yet.
    qint64 CurrentPerson() const;
    // The current person's exact time, none when nothing is stored.
    std::optional<BirthTimeEntry> CurrentEntry();

    // The entry's date checked in ctx (its messages go to ctx's sink), the
    // stored time corrected as chosen; nullopt when no time is stored or the
    // date is refused (the caller tells them apart with CurrentEntry()).
    std::optional<CorrectedBirth> Corrected(EngineContext& ctx, const BirthInput& in, TimeCorrection correction);

private:
    PersonTable& persons_;
    BirthTimeTable table_;
};

// A stored entry as the correction reads it; correction is the settings'
// choice, used when the person has none of their own.
ExactTime ExactTimeOf(const BirthTimeEntry& entry, TimeCorrection correction);

}  // namespace zelvara
