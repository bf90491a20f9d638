#include "cli/bench.h"

#include "engine/chart_request.h"
#include "engine/conversion.h"

#include <chrono>
#include <cstdio>

namespace zelvara::cli {
namespace {

struct BenchResult {
    long charts = 0;
    long refused = 0;
    double seconds = 0;
    long checksum = 0;  // keeps the work observable
};

enum class CacheMode { Cached, CheckFiles, ReadFiles };

BenchResult CastRange(const std::string& home, int fromYear, int toYear, CacheMode mode, long limit) {
    SilentSink sink;
    EngineContext ctx(home, sink);
    ctx.FixToday({2026, 1, 1});
    if (mode == CacheMode::Cached) ctx.calendarCache.revalidateAfter = std::chrono::hours(1);
    BenchResult r;
    const auto start = std::chrono::steady_clock::now();
    for (int y = fromYear; y <= toYear && r.charts < limit; ++y)
        for (int m = 1; m <= 12; ++m)
            for (int d = 1, n = DaysInCivilMonth(y, m); d <= n; ++d)
                for (int h = 0; h < kHours; ++h) {
                    if (mode == CacheMode::ReadFiles) ctx.calendarCache.Clear();
                    const CastOutcome chart = CastChart(
                        ctx, {.sexCode = (d + h) % 2 ? 'M' : 'F', .year = y, .month = m, .day = d, .hourIndex = h});
                    if (!chart) {
                        ++r.refused;
                    } else {
                        r.checksum += chart->Man().mainStar[2] + chart->Man().firstLuckAge;
                    }
                    ++r.charts;
                }
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return r;
}

void Report(const char* label, const BenchResult& r) {
    std::printf("%-44s %9ld charts %8.3f s %12.0f charts/s (%ld refused, checksum %ld)\n", label, r.charts, r.seconds,
                r.charts / r.seconds, r.refused, r.checksum);
}

}  // namespace

int RunBench(const std::string& home, int fromYear, int toYear, const std::string& only) {
    std::printf("Casting every day and two-hour period of %d-%d on one core\n", fromYear, toYear);
    if (only.empty() || only == "cached")
        Report("calendar years cached:", CastRange(home, fromYear, toYear, CacheMode::Cached, 1L << 40));
    if (only.empty() || only == "checked")
        Report("cached, files checked for changes per chart:",
               CastRange(home, fromYear, toYear, CacheMode::CheckFiles, 1L << 40));
    if (only.empty() || only == "read")
        Report("three calendar files read per chart (first 200000):",
               CastRange(home, fromYear, toYear, CacheMode::ReadFiles, 200000));
    return 0;
}

}  // namespace zelvara::cli
