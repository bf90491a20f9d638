#include "batch/batch_run.h"

#include "batch/batch_files.h"
#include "batch/batch_job.h"

#include <QElapsedTimer>
#include <QLockFile>

namespace zelvara::batch {
namespace {

struct KindInfo {
    BatchKind kind;
    const char* name;
    int fromYear, toYear;
};

constexpr KindInfo kKinds[] = {
    {BatchKind::Koyomi, "koyomi", 1930, 2010},
    {BatchKind::TwoTxt, "2txt", 1925, 2010},
    {BatchKind::Casio, "casio", 1922, 1929},
    {BatchKind::Kyu, "kyu", 1921, 1921},
};

const KindInfo& Info(BatchKind kind) {
    for (const KindInfo& k : kKinds)
        if (k.kind == kind) return k;
    return kKinds[0];
}

}  // namespace

QString RefusalText(const Refusal& r) {
    return QStringLiteral("%1/%2/%3 %4 %5")
        .arg(r.year)
        .arg(r.month, 2, 10, QLatin1Char('0'))
        .arg(r.day, 2, 10, QLatin1Char('0'))
        .arg(QString::fromUtf8(kHourPeriodTexts[r.hourIndex].data(), qsizetype(kHourPeriodTexts[r.hourIndex].size())),
             QString::fromStdString(r.message));
}

QString RefusalStopMessage(const Refusal& r) {
    return QStringLiteral(
               "命盤を作れない時点があったため、出力を中止しました。\n最初の時点: %1\n"
               "その時点を含むファイルは作っていません（前からあるファイルはそのままです）。"
               "万暦データファイルを確かめて下さい。")
        .arg(RefusalText(r));
}

std::optional<BatchKind> BatchKindFromName(const QString& name) {
    for (const KindInfo& k : kKinds)
        if (name.compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) return k.kind;
    return std::nullopt;
}

QString BatchKindName(BatchKind kind) { return QLatin1String(Info(kind).name); }
int DefaultFromYear(BatchKind kind) { return Info(kind).fromYear; }
int DefaultToYear(BatchKind kind) { return Info(kind).toYear; }

QString CompleteRequest(BatchRequest& request) {
    const KindInfo& info = Info(request.kind);
    if (request.kind == BatchKind::Kyu) {
        // The lunar-date list is defined for 1921 from February on only.
        if ((request.fromYear && request.fromYear != 1921) || (request.toYear && request.toYear != 1921))
            return QStringLiteral("旧暦の一覧は1921年だけを作ります。年は指定しないで下さい。");
    }
    if (!request.fromYear) request.fromYear = info.fromYear;
    if (!request.toYear) request.toYear = info.toYear;
    if (request.fromYear < kFirstBatchYear || request.toYear > kLastBatchYear)
        return QStringLiteral("年は%1年から%2年までの範囲で指定して下さい（指定: %3〜%4）。")
            .arg(kFirstBatchYear)
            .arg(kLastBatchYear)
            .arg(request.fromYear)
            .arg(request.toYear);
    if (request.fromYear > request.toYear)
        return QStringLiteral("始めの年（%1）が終わりの年（%2）より後になっています。")
            .arg(request.fromYear)
            .arg(request.toYear);
    if (request.outFolder.isEmpty()) return QStringLiteral("出力先のフォルダを指定して下さい。");
    return {};
}

BatchOutcome RunBatch(BatchRequest request, const BatchProgress& progress) {
    QElapsedTimer clock;
    clock.start();
    if (const QString error = CompleteRequest(request); !error.isEmpty()) {
        BatchOutcome outcome;
        outcome.error = error;
        return outcome;
    }
    BatchJob job(request, progress);
    const int years = request.toYear - request.fromYear + 1;
    job.monthsTotal = request.kind == BatchKind::Kyu ? 11 : 12 * years;
    if (const std::string error = job.caster.CheckCalendarFiles(request.fromYear, request.toYear); !error.empty()) {
        job.outcome.error = QString::fromStdString(error) +
                            QStringLiteral("\n万暦データファイルが揃っていないため、何も出力していません。");
        return job.outcome;
    }
    if (const QString error = MakeFolder(request.outFolder); !error.isEmpty()) {
        job.outcome.error = error;
        return job.outcome;
    }
    QLockFile lock(job.out.filePath(QLatin1String(kRunLockName)));
    lock.setStaleLockTime(0);  // a long run keeps its lock; only a dead process's lock is stale
    if (!lock.tryLock(0)) {
        job.outcome.error =
            QStringLiteral("出力先のフォルダ「%1」には別の出力が書き込み中です。終わってからもう一度実行して下さい。")
                .arg(QDir::toNativeSeparators(request.outFolder));
        return job.outcome;
    }
    bool ok = false;
    switch (request.kind) {
        case BatchKind::Koyomi: ok = RunKoyomi(job); break;
        case BatchKind::TwoTxt: ok = RunTwoTxt(job); break;
        case BatchKind::Casio: ok = RunCasio(job); break;
        case BatchKind::Kyu: ok = RunKyu(job); break;
    }
    BatchOutcome& outcome = job.outcome;
    outcome.ok = ok;
    outcome.moments = job.caster.Moments();
    outcome.refused = job.caster.Refused();
    if (const auto& first = job.caster.FirstRefusal()) outcome.firstRefusal = RefusalText(*first);
    outcome.seconds = clock.nsecsElapsed() / 1e9;
    return outcome;
}

}  // namespace zelvara::batch
