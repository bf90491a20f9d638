// Astronomy for the calendar generator: ΔT, apparent longitudes of Sun and Moon,
// and the moments of solar terms and new moons.
//
// Sun: Earth's position from ERFA's eraEpv00 (a fit to JPL DE405, about 0.01"),
// annual aberration, IAU 2006 precession and IAU 2000B nutation (ERFA).
// Moon: ELP2000-82B from libnova (full series unless a coarser truncation is asked
// for) on the J2000 ecliptic, carried to the true ecliptic and equinox of date with
// the same ERFA rotation, plus light time. A second lunar theory (ERFA's eraMoon98,
// a truncated series) serves only to cross-check. Time: TT (JDE) internally, ΔT
// from the Espenak–Meeus polynomials.
#pragma once

namespace calgen {

// ΔT = TT − UT in seconds for a decimal year (Espenak & Meeus polynomials,
// valid 1900–2150).
double DeltaT(double decimalYear);

// Julian day (UT) of a JDE, and the reverse.
double UtFromTt(double jde);
double TtFromUt(double jdUt);

// Apparent geocentric ecliptic longitude (true equinox of date), degrees 0..360.
double SunApparentLongitude(double jde);
// lunarPrecision: truncation of the ELP2000-82B series in radians (0 = every term).
double MoonApparentLongitude(double jde, double lunarPrecision = 0.0);
// The same from ERFA's eraMoon98 (independent, less accurate: for cross-checks).
double MoonApparentLongitudeMoon98(double jde);

enum class MoonTheory { kElp2000, kMoon98 };

// JDE at which the Sun's apparent longitude equals targetDeg, searched near guessJde
// (within about ±20 days).
double SolarLongitudeMoment(double targetDeg, double guessJde);

// JDE of the new moon nearest to guessJde (within about ±10 days).
// lunarPrecision as above.
double NewMoonNear(double guessJde, double lunarPrecision = 0.0, MoonTheory theory = MoonTheory::kElp2000);

// Mean synodic month in days.
inline constexpr double kSynodicMonth = 29.530588853;

}  // namespace calgen
