#include "tools/calgen/almanac.h"

#include "tools/calgen/astro.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace calgen {
namespace {

constexpr double kTropicalYear = 365.2422;
constexpr double kNewMoonEpoch = 2451550.09766;  // JDE of the mean new moon of 2000-01-06

std::string Format(const char* fmt, auto... args) {
    char buf[256];
    std::snprintf(buf, sizeof buf, fmt, args...);
    return buf;
}

std::string DateText(long jdn) {
    int y, m, d;
    CivilFromJdn(jdn, y, m, d);
    return Format("%04d-%02d-%02d", y, m, d);
}

int Mod(int a, int n) { return ((a % n) + n) % n; }

// Stem (1..10) of the 寅 month of a solar year with the given year stem.
int TigerMonthStem(int yearStem) { return Mod((yearStem - 1) % 5 * 2 + 2, 10) + 1; }

int YearStem(int year) { return Mod(year - 4, 10) + 1; }
int YearBranch(int year) { return Mod(year - 4, 12) + 1; }

const LunarMonth& MonthContaining(const std::vector<LunarMonth>& months, long jdn, size_t& index) {
    auto it =
        std::upper_bound(months.begin(), months.end(), jdn, [](long d, const LunarMonth& m) { return d < m.startJdn; });
    if (it == months.begin() || it == months.end() || it + 1 == months.end())
        throw std::runtime_error("lunar months do not cover " + DateText(jdn));
    index = static_cast<size_t>(it - months.begin()) - 1;
    return months[index];
}

}  // namespace

long JdnFromCivil(int y, int m, int d) {
    const int a = (14 - m) / 12;
    const long yy = y + 4800 - a;
    const int mm = m + 12 * a - 3;
    return d + (153 * mm + 2) / 5 + 365 * yy + yy / 4 - yy / 100 + yy / 400 - 32045;
}

void CivilFromJdn(long jdn, int& y, int& m, int& d) {
    const long a = jdn + 32044;
    const long b = (4 * a + 3) / 146097;
    const long c = a - 146097 * b / 4;
    const long dd = (4 * c + 3) / 1461;
    const long e = c - 1461 * dd / 4;
    const long mm = (5 * e + 2) / 153;
    d = static_cast<int>(e - (153 * mm + 2) / 5 + 1);
    m = static_cast<int>(mm + 3 - 12 * (mm / 10));
    y = static_cast<int>(100 * b + dd - 4800 + mm / 10);
}

int DaysInMonth(int y, int m) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
    return kDays[m - 1];
}

JstMoment JstFromTt(double jde) { return LocalFromTt(jde, kJstOffsetDays); }

JstMoment LocalFromTt(double jde, double offsetDays) {
    const double jst = UtFromTt(jde) + offsetDays + 0.5;  // days since local midnight epoch
    JstMoment r;
    r.jdn = static_cast<long>(std::floor(jst));
    r.minuteOfDay = (jst - std::floor(jst)) * 1440.0;
    CivilFromJdn(r.jdn, r.year, r.month, r.day);
    return r;
}

int HourBranch(double minuteOfDay) {
    const int hour = static_cast<int>(std::floor(minuteOfDay / 60.0));
    return (hour + 1) / 2 % 12 + 1;
}

std::vector<LunarMonth> NumberLunarMonths(const std::vector<long>& newMoonDays, const std::vector<SolarTerm>& terms,
                                          std::vector<std::string>* tieBreaks) {
    const size_t n = newMoonDays.size();
    if (n < 2) throw std::runtime_error("too few new moons");
    // Major terms (中気) inside each month [start_i, start_{i+1}).
    std::vector<std::vector<int>> majors(n);
    for (const SolarTerm& t : terms) {
        if (!t.major()) continue;
        auto it = std::upper_bound(newMoonDays.begin(), newMoonDays.end(), t.jst.jdn);
        if (it == newMoonDays.begin() || it == newMoonDays.end()) continue;
        majors[static_cast<size_t>(it - newMoonDays.begin()) - 1].push_back(t.majorNumber());
    }
    // The months holding 冬至, 春分, 夏至 and 秋分 keep the numbers 11, 2, 5 and 8.
    std::vector<size_t> anchors;
    std::vector<int> anchorNumber;
    for (size_t i = 0; i + 1 < n; ++i)
        for (int z : majors[i])
            if (z % 3 == 2) {
                anchors.push_back(i);
                anchorNumber.push_back(z);
            }
    // Where two anchors leave too few months between them (2033), the anchor
    // that is not 冬至 gives way; 冬至 stays in month 11.
    auto expected = [](int from, int to) { return static_cast<size_t>((to - from + 12) % 12); };
    std::vector<std::string> dropped;
    for (size_t k = 0; k + 1 < anchors.size();) {
        const size_t gap = anchors[k + 1] - anchors[k];
        const size_t want = expected(anchorNumber[k], anchorNumber[k + 1]);
        if (gap == want || gap == want + 1) {
            ++k;
            continue;
        }
        const size_t drop = anchorNumber[k] == 11 ? k + 1 : k;
        dropped.push_back(Format("the month from %s keeps no fixed number for its major term %d",
                                 DateText(newMoonDays[anchors[drop]]).c_str(), anchorNumber[drop]));
        anchors.erase(anchors.begin() + static_cast<long>(drop));
        anchorNumber.erase(anchorNumber.begin() + static_cast<long>(drop));
        if (k > 0) --k;
    }
    std::vector<LunarMonth> months;
    for (size_t k = 0; k + 1 < anchors.size(); ++k) {
        const size_t a = anchors[k], b = anchors[k + 1];
        const int na = anchorNumber[k];
        const size_t want = expected(na, anchorNumber[k + 1]);
        if (want == 0 || (b - a != want && b - a != want + 1))
            throw std::runtime_error("cannot number lunar months after " + DateText(newMoonDays[a]));
        size_t leap = b;  // none
        int withoutMajor = 0;
        bool twoMajors = majors[a].size() > 1;
        for (size_t i = a + 1; i < b; ++i) {
            if (majors[i].empty()) {
                ++withoutMajor;
                if (leap == b && b - a == want + 1) leap = i;
            }
            if (majors[i].size() > 1) twoMajors = true;
        }
        if (b - a == want + 1 && leap == b)
            throw std::runtime_error("no month for the leap month after " + DateText(newMoonDays[a]));
        const int leaps = static_cast<int>(b - a - want);
        std::vector<LunarMonth> stretch;
        int number = na;
        stretch.push_back({newMoonDays[a], na, false});
        for (size_t i = a + 1; i < b; ++i) {
            if (i == leap)
                stretch.push_back({newMoonDays[i], number, true});
            else {
                number = number % 12 + 1;
                stretch.push_back({newMoonDays[i], number, false});
            }
        }
        if (tieBreaks && (twoMajors || withoutMajor != leaps || want != 3)) {
            std::string note = "months from " + DateText(newMoonDays[a]) + " to " + DateText(newMoonDays[b] - 1) + ":";
            for (size_t i = a; i < b; ++i) {
                const LunarMonth& m = stretch[i - a];
                note += Format(" %s%d(", m.leap ? "leap " : "", m.number);
                for (size_t j = 0; j < majors[i].size(); ++j) note += Format(j ? ",%d" : "%d", majors[i][j]);
                note += ")";
            }
            tieBreaks->push_back(note);
        }
        months.insert(months.end(), stretch.begin(), stretch.end());
    }
    if (tieBreaks) tieBreaks->insert(tieBreaks->end(), dropped.begin(), dropped.end());
    // The last anchor month closes the final stretch (its start ends the month before).
    if (!anchors.empty()) months.push_back({newMoonDays[anchors.back()], anchorNumber.back(), false});
    return months;
}

Almanac BuildAlmanac(int fromYear, int toYear, double lunarPrecision, double lunarOffsetDays) {
    Almanac al;
    // Terms from January of the year before to January two years after the range.
    for (int y = fromYear - 1; y <= toYear + 1; ++y) {
        const double jan1 = static_cast<double>(JdnFromCivil(y, 1, 1)) - 0.5;
        for (int k = 0; k < 24; ++k) {
            SolarTerm t;
            t.longitude = (285 + 15 * k) % 360;
            t.jde = SolarLongitudeMoment(t.longitude, jan1 + 5.0 + k * kTropicalYear / 24.0);
            t.jst = JstFromTt(t.jde);
            al.terms.push_back(t);
        }
    }
    const double first = al.terms.front().jde - 1.0, last = al.terms.back().jde + 1.0;
    const long kFirst = std::lround(std::floor((first - kNewMoonEpoch) / kSynodicMonth));
    const long kLast = std::lround(std::ceil((last - kNewMoonEpoch) / kSynodicMonth));
    for (long k = kFirst; k <= kLast; ++k) {
        NewMoon nm;
        nm.jde = NewMoonNear(kNewMoonEpoch + static_cast<double>(k) * kSynodicMonth, lunarPrecision);
        nm.jst = JstFromTt(nm.jde);
        al.newMoons.push_back(nm);
    }
    // The lunar months begin on the civil day of the new moon in the lunar
    // calendar's zone and are numbered by the major terms' days there.
    std::vector<long> days;
    for (const NewMoon& nm : al.newMoons) {
        const long day = LocalFromTt(nm.jde, lunarOffsetDays).jdn;
        if (!days.empty() && day - days.back() < 29)
            throw std::runtime_error("new moons too close at " + DateText(day));
        days.push_back(day);
    }
    std::vector<SolarTerm> lunarTerms = al.terms;
    for (SolarTerm& t : lunarTerms) t.jst = LocalFromTt(t.jde, lunarOffsetDays);
    al.months = NumberLunarMonths(days, lunarTerms, &al.tieBreaks);
    return al;
}

void EraOfYear(int year, char& letter, int& eraYear) {
    if (year >= 2019) {
        letter = 'R';
        eraYear = year - 2018;
    } else if (year >= 1989) {
        letter = 'H';
        eraYear = year - 1988;
    } else if (year >= 1926) {
        letter = 'S';
        eraYear = year - 1925;
    } else if (year >= 1912) {
        letter = 'T';
        eraYear = year - 1911;
    } else {
        letter = 'M';
        eraYear = year - 1867;
    }
}

std::string FormatYearFile(int year, const Almanac& al) {
    std::string out;
    auto line = [&out](const std::string& s) { out += s + "\r\n"; };
    char era;
    int eraYear;
    EraOfYear(year, era, eraYear);
    line(Format("%c%d:%d-%d", era, eraYear, YearStem(year), YearBranch(year)));
    for (int m = 1; m <= 12; ++m) {
        // The solar month beginning in civil month m starts at the term 285° + 30°(m − 1).
        const int lon = (285 + 30 * (m - 1)) % 360;
        const SolarTerm* term = nullptr;
        for (const SolarTerm& t : al.terms)
            if (t.longitude == lon && t.jst.year == year && t.jst.month == m) term = &t;
        if (!term) throw std::runtime_error(Format("no term %d in %04d-%02d", lon, year, m));
        const int solarYear = m == 1 ? year - 1 : year;
        const int offset = m == 1 ? 11 : m - 2;  // months after 寅
        const int stem = Mod(TigerMonthStem(YearStem(solarYear)) - 1 + offset, 10) + 1;
        const int branch = m % 12 + 1;
        line(Format("%d-%d:%d:%d:%d", stem, branch, term->jst.day, HourBranch(term->jst.minuteOfDay),
                    DaysInMonth(year, m)));
        const long jdn = JdnFromCivil(year, m, 1);
        const int cycle = static_cast<int>((jdn + 49) % 60);  // 0 = 甲子
        size_t i;
        const LunarMonth& lm = MonthContaining(al.months, jdn, i);
        const long len = al.months[i + 1].startJdn - lm.startJdn;
        if (i + 2 >= al.months.size()) throw std::runtime_error("lunar months end too early");
        const long nextLen = al.months[i + 2].startJdn - al.months[i + 1].startJdn;
        line(Format("%d-%d:%d/%ld-%ld,%ld", cycle % 10 + 1, cycle % 12 + 1, lm.number, jdn - lm.startJdn + 1, len,
                    nextLen));
    }
    return out;
}

}  // namespace calgen
