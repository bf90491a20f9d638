#include "session/person_birth_time.h"

#include "common/summer_time.h"

namespace zelvara {

BirthTimeTable* PersonBirthTime::Table(QString* why) {
    if (!persons_.IsOpen()) {
        table_.Close();
        if (why) *why = persons_.Unavailability();
        return nullptr;
    }
    // Kept where the register keeps its records: its file or its server.
    if (!table_.IsOpen()) table_.Attach(persons_);
    return &table_;
}

qint64 PersonBirthTime::CurrentPerson() const {
    const int row = persons_.CurrentRow();
    return row < 0 ? -1 : persons_.Record(row).rowId;
}

std::optional<BirthTimeEntry> PersonBirthTime::CurrentEntry() {
    const qint64 person = CurrentPerson();
    BirthTimeTable* table = person < 0 ? nullptr : Table();
    return table ? table->Read(person) : std::nullopt;
}

std::optional<CorrectedBirth> PersonBirthTime::Corrected(EngineContext& ctx, const BirthInput& in,
                                                         TimeCorrection correction) {
    const std::optional<BirthTimeEntry> entry = CurrentEntry();
    if (!entry) return std::nullopt;
    BirthInput corrected = in;
    return CorrectBirthInput(ctx, corrected, ExactTimeOf(*entry, correction), ZoneReadingOf);
}

ExactTime ExactTimeOf(const BirthTimeEntry& entry, TimeCorrection correction) {
    ExactTime time;
    time.clockMinute = ParseClockTime(entry.clockTime.toStdString()).value_or(0);
    // The person's own choice, else the settings' (without a place only the
    // zone's summer time is removed, whatever is chosen).
    time.correction = entry.correction.value_or(correction);
    time.longitude = entry.longitude;
    time.zone = entry.zone.toStdString();
    return time;
}

}  // namespace zelvara
