// What the four tools share while one of them runs (internal to the batch
// library).
#pragma once

#include "batch/batch_moments.h"
#include "batch/batch_run.h"

#include <QDir>

namespace zelvara::batch {

// "1921/01/07 23:00-01:00 <the engine's message>"
QString RefusalText(const Refusal& refusal);
// Why a run stopped at a refused moment.
QString RefusalStopMessage(const Refusal& refusal);

struct BatchJob {
    BatchJob(const BatchRequest& r, const BatchProgress& p)
        : request(r), progress(p), caster(r.programFolder.toStdString()), out(r.outFolder) {}

    const BatchRequest& request;
    const BatchProgress& progress;
    MomentCaster caster;
    QDir out;
    BatchOutcome outcome;
    int monthsDone = 0;
    int monthsTotal = 0;

    void Step(int year, int month, const QString& caption) {
        if (progress) progress(BatchStep{year, month, monthsDone, monthsTotal, caption});
        ++monthsDone;
    }
    bool Fail(const QString& message) {
        outcome.error = message;
        return false;
    }
    // Casts one moment. False, with the run's error naming the moment, when
    // the engine refuses it for any reason but the start of the calendar data;
    // the tool then stops without putting its file in place.
    bool Cast(int year, int month, int day, int hourIndex) {
        if (caster.Cast(year, month, day, hourIndex) || !caster.FirstFault()) return true;
        return Fail(RefusalStopMessage(*caster.FirstFault()));
    }
};

// The tools; each returns false with outcome.error set.
bool RunTwoTxt(BatchJob& job);
bool RunCasio(BatchJob& job);
bool RunKyu(BatchJob& job);
bool RunKoyomi(BatchJob& job);

}  // namespace zelvara::batch
