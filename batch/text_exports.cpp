// 2TXT, CASIO and 旧: one text line per moment, CR LF, plain ASCII.
#include "batch/batch_files.h"
#include "batch/batch_job.h"
#include "batch/batch_lines.h"

namespace zelvara::batch {
namespace {

QString Year(int y) { return QString::number(y); }

QString YearFileName(int year) { return QStringLiteral("zelv%1.txt").arg(year); }

// The temporary year files a killed run of 2TXT or 旧 left behind.
bool RemoveYearFileLeftovers(BatchJob& job) {
    const QString error = RemoveLeftovers(job.out.path(), {PartName(QStringLiteral("zelv*.txt"))});
    return error.isEmpty() || job.Fail(error);
}

bool WriteFile(BatchJob& job, const QString& path, const std::string& bytes) {
    if (const QString error = WriteWholeFile(path, bytes); !error.isEmpty()) return job.Fail(error);
    job.outcome.files << path;
    return true;
}

}  // namespace

bool RunTwoTxt(BatchJob& job) {
    if (!RemoveYearFileLeftovers(job)) return false;
    std::string text;
    for (int y = job.request.fromYear; y <= job.request.toYear; ++y) {
        text.clear();
        for (int m = 1; m <= 12; ++m) {
            job.Step(y, m, Year(y));
            for (int d = 1, n = MonthLength(y, m); d <= n; ++d)
                for (int h = 0; h < kHours; ++h) {
                    if (!job.Cast(y, m, d, h)) return false;
                    AppendTwoTxtLine(text, job.caster.Man(), m, d, h);
                    text += kLineEnd;
                }
        }
        if (!WriteFile(job, job.out.filePath(YearFileName(y)), text)) return false;
    }
    return true;
}

bool RunCasio(BatchJob& job) {
    const QString folder = job.out.filePath(QStringLiteral("CASIO"));
    if (const QString error = MakeFolder(folder); !error.isEmpty()) return job.Fail(error);
    if (const QString error = RemoveLeftovers(folder, {PartName(QStringLiteral("*.dat"))}); !error.isEmpty())
        return job.Fail(error);
    const QDir dir(folder);
    std::string text;
    for (int y = job.request.fromYear; y <= job.request.toYear; ++y)
        for (int m = 1; m <= 12; ++m) {
            job.Step(y, m, Year(y));
            text.clear();
            for (int d = 1, n = MonthLength(y, m); d <= n; ++d)
                for (int h = 0; h < kHours; ++h) {
                    if (!job.Cast(y, m, d, h)) return false;
                    AppendCasioLine(text, job.caster.Man(), job.caster.FirstLuckAgeMale(),
                                    job.caster.FirstLuckAgeFemale());
                    text += kLineEnd;
                }
            const QString name = QStringLiteral("%1%2.dat").arg(y).arg(m, 2, 10, QLatin1Char('0'));
            if (!WriteFile(job, dir.filePath(name), text)) return false;
        }
    return true;
}

bool RunKyu(BatchJob& job) {
    // One moment a day at 09:00-11:00; January 1921 lies partly before the
    // first calendar day the engine covers and is left out.
    constexpr int kHourIndex = 5;
    if (!RemoveYearFileLeftovers(job)) return false;
    const int y = job.request.fromYear;
    std::string text;
    for (int m = 2; m <= 12; ++m) {
        job.Step(y, m, Year(y));
        for (int d = 1, n = MonthLength(y, m); d <= n; ++d) {
            if (!job.Cast(y, m, d, kHourIndex)) return false;
            AppendKyuLine(text, job.caster.Man(), m, d);
            text += kLineEnd;
        }
    }
    return WriteFile(job, job.out.filePath(YearFileName(y)), text);
}

}  // namespace zelvara::batch
