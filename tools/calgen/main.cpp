// zelvara-calgen: writes the calendar data files YYYY.eto from astronomical computation.
#include "tools/calgen/almanac.h"
#include "tools/calgen/astro.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fstream>
#include <string>

namespace {

void Usage() {
    std::fputs(
        "usage: zelvara-calgen --out DIR [--from YEAR] [--to YEAR] [--precision RAD]\n"
        "                      [--events FILE] [--report FILE] [--meridian 135|120]\n"
        "  --out DIR        folder for the YYYY.eto files (default years 1921..2101)\n"
        "  --precision RAD  truncation of the lunar series in radians (default 0 = full)\n"
        "  --events FILE    also write every solar term and new moon (TT and JST)\n"
        "  --report FILE    also write the leap-month tie-breaks and the moments within\n"
        "                   2 minutes of a day or two-hour boundary\n"
        "  --meridian 120   reckon the lunar months at 120°E (China Standard Time) for\n"
        "                   the second set of files; the solar terms stay at 135°E\n"
        "  --check          compare every new moon with a second lunar theory (ERFA\n"
        "                   moon98) and with the series truncated at 1e-8 and 1e-6 rad\n",
        stderr);
}

std::string JstText(const calgen::JstMoment& j) {
    const int total = static_cast<int>(std::floor(j.minuteOfDay * 60.0));
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", j.year, j.month, j.day, total / 3600,
                  total / 60 % 60, total % 60);
    return buf;
}

// Minutes from the nearest boundary: midnight, or (when periods count) an odd hour.
double MinutesToBoundary(double minuteOfDay, bool periods) {
    double best = std::min(minuteOfDay, 1440.0 - minuteOfDay);
    if (periods)
        for (int h = 1; h < 24; h += 2) best = std::min(best, std::fabs(minuteOfDay - h * 60.0));
    return best;
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream f(path, std::ios::binary);
    f << content;
    return static_cast<bool>(f);
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir, eventsPath, reportPath;
    int from = 1921, to = 2101;
    double precision = 0.0;
    double lunarOffset = calgen::kJstOffsetDays;
    bool check = false;
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(a, "--out") && hasValue)
            outDir = argv[++i];
        else if (!std::strcmp(a, "--from") && hasValue)
            from = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "--to") && hasValue)
            to = std::atoi(argv[++i]);
        else if (!std::strcmp(a, "--precision") && hasValue)
            precision = std::atof(argv[++i]);
        else if (!std::strcmp(a, "--events") && hasValue)
            eventsPath = argv[++i];
        else if (!std::strcmp(a, "--report") && hasValue)
            reportPath = argv[++i];
        else if (!std::strcmp(a, "--meridian") && hasValue && !std::strcmp(argv[i + 1], "120") && ++i)
            lunarOffset = calgen::kCstOffsetDays;
        else if (!std::strcmp(a, "--meridian") && hasValue && !std::strcmp(argv[i + 1], "135") && ++i)
            lunarOffset = calgen::kJstOffsetDays;
        else if (!std::strcmp(a, "--check"))
            check = true;
        else {
            Usage();
            return 2;
        }
    }
    if (outDir.empty() || from < 1901 || to > 2140 || from > to) {
        Usage();
        return 2;
    }

    const auto start = std::chrono::steady_clock::now();
    try {
        const calgen::Almanac al = calgen::BuildAlmanac(from, to, precision, lunarOffset);
        for (int y = from; y <= to; ++y) {
            const std::string path = outDir + "/" + std::to_string(y) + ".eto";
            if (!WriteFile(path, calgen::FormatYearFile(y, al))) {
                std::fprintf(stderr, "zelvara-calgen: cannot write %s\n", path.c_str());
                return 1;
            }
        }
        if (!eventsPath.empty()) {
            std::string s = "# kind longitude JDE(TT) JST\n";
            char buf[160];
            for (const auto& t : al.terms) {
                std::snprintf(buf, sizeof buf, "T %d %.8f %s\n", t.longitude, t.jde, JstText(t.jst).c_str());
                s += buf;
            }
            for (const auto& n : al.newMoons) {
                std::snprintf(buf, sizeof buf, "N 0 %.8f %s\n", n.jde, JstText(n.jst).c_str());
                s += buf;
            }
            if (!WriteFile(eventsPath, s)) return 1;
        }
        if (!reportPath.empty()) {
            std::string s = "Leap-month stretches decided by the fixed anchors:\n";
            for (const auto& n : al.tieBreaks) s += "- " + n + "\n";
            s += "\nMoments within 2 minutes of a boundary (JST):\n";
            char buf[160];
            for (const auto& t : al.terms) {
                if (t.jst.year < from || t.jst.year > to) continue;
                const double d = MinutesToBoundary(t.jst.minuteOfDay, true);
                if (d < 2.0) {
                    std::snprintf(buf, sizeof buf, "- term %3d° %s (%.1f min from a boundary)\n", t.longitude,
                                  JstText(t.jst).c_str(), d);
                    s += buf;
                }
            }
            for (const auto& n : al.newMoons) {
                if (n.jst.year < from || n.jst.year > to) continue;
                const double d = MinutesToBoundary(n.jst.minuteOfDay, false);
                if (d < 2.0) {
                    std::snprintf(buf, sizeof buf, "- new moon %s (%.1f min from midnight)\n", JstText(n.jst).c_str(),
                                  d);
                    s += buf;
                }
            }
            if (!WriteFile(reportPath, s)) return 1;
        }
        if (check) {
            struct Worst {
                double sec = 0;
                double jde = 0;
            };
            Worst moon98, trunc8, trunc6;
            auto track = [](Worst& w, double a, double b) {
                const double d = std::fabs(a - b) * 86400.0;
                if (d > w.sec) w = {d, a};
            };
            for (const auto& n : al.newMoons) {
                track(moon98, n.jde, calgen::NewMoonNear(n.jde, 0.0, calgen::MoonTheory::kMoon98));
                track(trunc8, n.jde, calgen::NewMoonNear(n.jde, 1e-8));
                track(trunc6, n.jde, calgen::NewMoonNear(n.jde, 1e-6));
            }
            std::printf("new moons: %zu\n", al.newMoons.size());
            std::printf("largest difference to ERFA moon98:        %.1f s (JDE %.4f)\n", moon98.sec, moon98.jde);
            std::printf("largest difference to series cut at 1e-8: %.2f s (JDE %.4f)\n", trunc8.sec, trunc8.jde);
            std::printf("largest difference to series cut at 1e-6: %.2f s (JDE %.4f)\n", trunc6.sec, trunc6.jde);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "zelvara-calgen: %s\n", e.what());
        return 1;
    }
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::fprintf(stderr, "zelvara-calgen: %d files in %.1f s\n", to - from + 1, secs);
    return 0;
}
