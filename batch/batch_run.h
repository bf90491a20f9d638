// The four batch tools as one entry point for the command line and the
// desktop program. A run casts every moment with its own engine and writes
// only into the output folder; the person register is never opened.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace zelvara::batch {

enum class BatchKind {
    Koyomi,  // koyomi.DB, 1930..2010
    TwoTxt,  // zelvYYYY.txt, 1925..2010
    Casio,   // CASIO/YYYYMM.dat, 1922..1929
    Kyu,     // zelv1921.txt, lunar dates from 02/01
};

// "koyomi", "2txt", "casio", "kyu".
std::optional<BatchKind> BatchKindFromName(const QString& name);
QString BatchKindName(BatchKind kind);
// The years a tool covers when none are given.
int DefaultFromYear(BatchKind kind);
int DefaultToYear(BatchKind kind);

struct BatchRequest {
    BatchKind kind = BatchKind::TwoTxt;
    QString programFolder;  // calendar data files
    QString outFolder;      // created when missing
    int fromYear = 0;       // 0: the tool's default
    int toYear = 0;
};

// Progress, reported when a month begins.
struct BatchStep {
    int year = 0, month = 0;
    int monthsDone = 0, monthsTotal = 0;
    QString caption;  // what the tool's button shows: "1930/01" for koyomi.DB, the year otherwise
};
using BatchProgress = std::function<void(const BatchStep&)>;

struct BatchOutcome {
    bool ok = false;
    QString error;      // why the run stopped; files already written stay
    QStringList files;  // completed files, in the order written
    long moments = 0;   // moments cast
    // Moments the engine refused in a run that went through: only those before
    // the first moment of the calendar data (January 1921); their lines hold
    // what the record then held. Any other refusal stops the run.
    long refused = 0;
    QString firstRefusal;  // "1921/01/01 23:00-01:00 鑑定可能範囲を…", empty when none
    double seconds = 0;
};

// Fills in the default years and checks the range. Empty when fine, else a
// message for the user.
QString CompleteRequest(BatchRequest& request);

// Runs one tool to its end or to the first error. A missing or broken
// calendar file stops it before anything is written (error: the loader's
// message); a moment the engine refuses stops it before the file or table
// holding that moment is put in place, so an older one under that name stays.
// Temporary files a killed run left behind are removed first.
BatchOutcome RunBatch(BatchRequest request, const BatchProgress& progress = {});

}  // namespace zelvara::batch
