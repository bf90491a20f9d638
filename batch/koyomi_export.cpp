// The koyomi.DB run: every moment of the years, one transaction per year,
// built under a temporary name and renamed when complete.
#include "batch/batch_files.h"
#include "batch/batch_job.h"
#include "batch/koyomi_table.h"

namespace zelvara::batch {

bool RunKoyomi(BatchJob& job) {
    const QString finalPath = job.out.filePath(QLatin1String(kKoyomiFileName));
    const QString partPath = PartName(finalPath);
    KoyomiWriter table(partPath);
    if (QString error = table.Open(); !error.isEmpty()) return job.Fail(error);
    const auto fail = [&](const QString& error) {
        table.Close();
        return job.Fail(
            error +
            QStringLiteral("\n書き込み済みの年の記録は「%1」に残っています。").arg(QDir::toNativeSeparators(partPath)));
    };
    MomentCaster& caster = job.caster;
    // A refused moment keeps the boxes of the last chart cast, as the screen would.
    ChartLayout layout;
    for (int y = job.request.fromYear; y <= job.request.toYear; ++y) {
        if (QString error = table.Begin(); !error.isEmpty()) return fail(error);
        for (int m = 1; m <= 12; ++m) {
            job.Step(y, m, QStringLiteral("%1/%2").arg(y).arg(m, 2, 10, QLatin1Char('0')));
            for (int d = 1, n = MonthLength(y, m); d <= n; ++d)
                for (int h = 0; h < kHours; ++h) {
                    if (!job.Cast(y, m, d, h)) return fail(job.outcome.error);
                    if (caster.HasChart()) layout = caster.LayOut();
                    const QString error = table.Append(KoyomiKey(y, m, d, h), caster.Man(), caster.FirstLuckAgeMale(),
                                                       caster.FirstLuckAgeFemale(), layout);
                    if (!error.isEmpty()) return fail(error);
                }
        }
        if (QString error = table.Commit(); !error.isEmpty()) return fail(error);
    }
    table.Close();
    if (QString error = RenameOver(partPath, finalPath); !error.isEmpty()) return job.Fail(error);
    job.outcome.files << finalPath;
    return true;
}

}  // namespace zelvara::batch
