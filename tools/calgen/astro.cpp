#include "tools/calgen/astro.h"

#include <erfa.h>
#include <erfam.h>
#include <libnova/lunar.h>

#include <cmath>

namespace calgen {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDeg = kPi / 180.0;
constexpr double kArcsec = kDeg / 3600.0;
constexpr double kJ2000 = 2451545.0;
constexpr double kMjd0 = 2400000.5;
constexpr double kLightKmPerDay = 299792.458 * 86400.0;
constexpr double kLightAuPerDay = 86400.0 / ERFA_AULT;
constexpr double kMoonMeanMotionDegPerDay = 13.176358;
// Obliquity of the J2000 ecliptic (IAU 2006) that turns ecliptic J2000 axes into
// equatorial ones.
constexpr double kObliquityJ2000 = 84381.406 * kArcsec;

double Wrap360(double deg) {
    double r = std::fmod(deg, 360.0);
    return r < 0 ? r + 360.0 : r;
}

// Signed difference a − b folded into (−180, 180].
double Diff180(double a, double b) {
    double d = Wrap360(a - b);
    return d > 180.0 ? d - 360.0 : d;
}

double DecimalYearOfJd(double jd) { return 2000.0 + (jd - kJ2000) / 365.2425; }

// Rotation from GCRS to the true equator and equinox of date (IAU 2006
// precession, IAU 2000B nutation, frame bias included) and the true obliquity of the ecliptic of date.
struct TrueFrame {
    double rbpn[3][3];
    double trueObliquity;
    explicit TrueFrame(double jde) {
        double dpsi, deps, epsa, rb[3][3], rp[3][3], rbp[3][3], rn[3][3];
        eraNut00b(kMjd0, jde - kMjd0, &dpsi, &deps);  // IAU 2000B: within 1 mas of 2000A
        eraPn06(kMjd0, jde - kMjd0, dpsi, deps, &epsa, rb, rp, rbp, rn, rbpn);
        trueObliquity = epsa + deps;
    }
    // Ecliptic longitude (degrees) of date of a GCRS direction.
    double Longitude(const double gcrs[3]) const {
        double v[3];
        eraRxp(const_cast<double(*)[3]>(rbpn), const_cast<double*>(gcrs), v);
        const double y = std::cos(trueObliquity) * v[1] + std::sin(trueObliquity) * v[2];
        return Wrap360(std::atan2(y, v[0]) / kDeg);
    }
};

}  // namespace

double DeltaT(double y) {
    if (y < 1920.0) {
        const double t = y - 1900.0;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * t * t * t - 0.000197 * t * t * t * t;
    }
    if (y < 1941.0) {
        const double t = y - 1920.0;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * t * t * t;
    }
    if (y < 1961.0) {
        const double t = y - 1950.0;
        return 29.07 + 0.407 * t - t * t / 233.0 + t * t * t / 2547.0;
    }
    if (y < 1986.0) {
        const double t = y - 1975.0;
        return 45.45 + 1.067 * t - t * t / 260.0 - t * t * t / 718.0;
    }
    if (y < 2005.0) {
        const double t = y - 2000.0;
        return 63.86 + 0.3345 * t - 0.060374 * t * t + 0.0017275 * t * t * t + 0.000651814 * t * t * t * t +
               0.00002373599 * t * t * t * t * t;
    }
    if (y < 2050.0) {
        const double t = y - 2000.0;
        return 62.92 + 0.32217 * t + 0.005589 * t * t;
    }
    const double u = (y - 1820.0) / 100.0;
    return -20.0 + 32.0 * u * u - 0.5628 * (2150.0 - y);
}

double UtFromTt(double jde) {
    // ΔT changes by well under a second a year, so one evaluation at the TT date suffices.
    return jde - DeltaT(DecimalYearOfJd(jde)) / 86400.0;
}

double TtFromUt(double jdUt) { return jdUt + DeltaT(DecimalYearOfJd(jdUt)) / 86400.0; }

namespace {

double SunLongitudeIn(const TrueFrame& frame, double jde) {
    // Earth's heliocentric and barycentric position and velocity (BCRS axes).
    double pvh[2][3], pvb[2][3];
    eraEpv00(kMjd0, jde - kMjd0, pvh, pvb);
    double toSun[3] = {-pvh[0][0], -pvh[0][1], -pvh[0][2]};
    const double dist = eraPm(toSun);
    double unit[3], v[3], apparent[3];
    eraSxp(1.0 / dist, toSun, unit);
    eraSxp(1.0 / kLightAuPerDay, pvb[1], v);
    const double bm1 = std::sqrt(1.0 - eraPm(v) * eraPm(v));
    eraAb(unit, v, dist, bm1, apparent);  // annual aberration (with light deflection by the Sun's own field)
    return frame.Longitude(apparent);
}

double MoonLongitudeIn(const TrueFrame& frame, double jde, double lunarPrecision) {
    ln_rect_posn m{};
    ln_get_lunar_geo_posn(jde, &m, lunarPrecision);  // ELP2000-82B, mean ecliptic and equinox J2000, km
    // Light time: the Moon is seen where it was distance/c earlier (its geocentric
    // motion over those 1.3 s, 0.7", taken at the mean rate).
    const double dist = std::sqrt(m.X * m.X + m.Y * m.Y + m.Z * m.Z);
    const double ce = std::cos(kObliquityJ2000), se = std::sin(kObliquityJ2000);
    const double eq[3] = {m.X, ce * m.Y - se * m.Z, se * m.Y + ce * m.Z};
    return Wrap360(frame.Longitude(eq) - kMoonMeanMotionDegPerDay * dist / kLightKmPerDay);
}

double Moon98LongitudeIn(const TrueFrame& frame, double jde) {
    double pv[2][3];
    eraMoon98(kMjd0, jde - kMjd0, pv);  // GCRS, au and au/day
    const double tau = eraPm(pv[0]) / kLightAuPerDay;
    const double p[3] = {pv[0][0] - pv[1][0] * tau, pv[0][1] - pv[1][1] * tau, pv[0][2] - pv[1][2] * tau};
    return frame.Longitude(p);
}

}  // namespace

double SunApparentLongitude(double jde) { return SunLongitudeIn(TrueFrame(jde), jde); }
double MoonApparentLongitude(double jde, double lunarPrecision) {
    return MoonLongitudeIn(TrueFrame(jde), jde, lunarPrecision);
}
double MoonApparentLongitudeMoon98(double jde) { return Moon98LongitudeIn(TrueFrame(jde), jde); }

double SolarLongitudeMoment(double targetDeg, double guessJde) {
    double t = guessJde;
    for (int i = 0; i < 20; ++i) {
        const double f = Diff180(SunApparentLongitude(t), targetDeg);
        const double step = f / 0.9856;
        t -= step;
        if (std::fabs(step) < 1e-9) break;
    }
    return t;
}

double NewMoonNear(double guessJde, double lunarPrecision, MoonTheory theory) {
    auto elong = [theory](double t, double prec) {
        const TrueFrame frame(t);
        const double moon =
            theory == MoonTheory::kMoon98 ? Moon98LongitudeIn(frame, t) : MoonLongitudeIn(frame, t, prec);
        return Diff180(moon, SunLongitudeIn(frame, t));
    };
    // The secant search runs on the series truncated at 1e-8 rad (0.002"); one
    // Newton step with the requested series (normally every term) finishes it.
    const double searchPrecision = lunarPrecision > 1e-8 ? lunarPrecision : 1e-8;
    double t0 = guessJde;
    double f0 = elong(t0, searchPrecision);
    double t1 = t0 - f0 / 12.19;
    double slope = 12.19;
    for (int i = 0; i < 40; ++i) {
        const double f1 = elong(t1, searchPrecision);
        if (f1 == f0) break;
        slope = (f1 - f0) / (t1 - t0);
        const double t2 = t1 - f1 / slope;
        t0 = t1;
        f0 = f1;
        t1 = t2;
        if (std::fabs(t1 - t0) < 1e-9) break;
    }
    if (theory == MoonTheory::kElp2000 && lunarPrecision < searchPrecision) t1 -= elong(t1, lunarPrecision) / slope;
    return t1;
}

}  // namespace calgen
