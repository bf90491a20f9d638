#include "engine/alternatives.h"

#include "engine/calendar_file.h"
#include "engine/conversion.h"

#include <cstdlib>
#include <functional>

namespace zelvara {
namespace {

constexpr int kNearBoundaryMinutes = 15;

std::string BranchText(int hourIndex) { return std::string(BranchName(hourIndex % kHours + 1)); }

// Replaces the context's sink for the alternative casts and puts everything
// back afterwards: the sink, and the record and slots of the request's own cast.
class QuietCasts {
public:
    QuietCasts(EngineContext& ctx, const ChartRequest& request) : ctx_(ctx), request_(request), sink_(ctx.Sink()) {
        ctx.SetSink(silent_);
    }
    ~QuietCasts() {
        (void)CastChart(ctx_, request_);
        ctx_.SetSink(sink_);
    }
    std::optional<Tmandata> Cast(const ChartRequest& r) {
        const CastOutcome chart = CastChart(ctx_, r);
        if (!chart) return std::nullopt;
        return chart->Man();
    }

private:
    EngineContext& ctx_;
    const ChartRequest& request_;
    MessageSink& sink_;
    SilentSink silent_;
};

// The first day of the birth's month's 節 entry and its period, read from the
// request's year slot (loaded by the cast).
MonthInfo TermOfBirthMonth(const EngineContext& ctx, const ChartRequest& r) {
    return ctx.reki.slot[2].monthInfo[r.month];
}

std::string LunarDateText(const Tmandata& man) {
    return std::to_string(man.lunarMonth) + "月" + std::to_string(man.lunarDay) + "日";
}

std::string BureauText(int bureau) {
    return bureau >= 1 && bureau <= kBureaus ? std::string(kBureauNames[bureau - 1]) : "—";
}

// The star a transformation falls on: a graded star or an additional one.
std::string TransformCarrierText(const Tmandata& man, int t) {
    if (man.transformStar[t] >= 1 && man.transformStar[t] <= kStars)
        return std::string(kStarShortNames[man.transformStar[t]]);
    if (man.transformMinor[t] >= 1 && man.transformMinor[t] <= kMinorStars)
        return std::string(kMinorShortNames[man.transformMinor[t]]);
    return "—";
}

std::string Branch(int b) { return b >= 1 && b <= kBranches ? std::string(BranchName(b)) : "—"; }

std::string Move(std::string_view what, const std::string& from, const std::string& to) {
    return std::string(what) + " " + from + "→" + to;
}

}  // namespace

std::vector<std::string> ChartDifferences(const Tmandata& a, const Tmandata& b) {
    std::vector<std::string> d;
    if (a.palaceBranch[kLifePalace] != b.palaceBranch[kLifePalace]) d.push_back("lifePalace");
    if (a.bodyPalace != b.bodyPalace) d.push_back("bodyPalace");
    if (a.bureau != b.bureau) d.push_back("bureau");
    for (int s = 1; s <= kStars; ++s)
        if (a.starBranch[s] != b.starBranch[s]) d.push_back("star:" + std::string(kStarShortNames[s]));
    for (int s = 1; s <= kMinorStars; ++s)
        if (a.minorBranch[s] != b.minorBranch[s]) d.push_back("minor:" + std::string(kMinorShortNames[s]));
    for (int t = 1; t <= kTransforms; ++t)
        if (a.transformStar[t] != b.transformStar[t] || a.transformMinor[t] != b.transformMinor[t])
            d.push_back("transform:" + std::string(kTransformNames[t]).substr(3));
    return d;
}

std::vector<std::string> DifferenceTexts(const Tmandata& a, const Tmandata& b) {
    std::vector<std::string> d;
    if (a.palaceBranch[kLifePalace] != b.palaceBranch[kLifePalace])
        d.push_back(Move("命宮", Branch(a.palaceBranch[kLifePalace]), Branch(b.palaceBranch[kLifePalace])));
    if (a.bodyPalace != b.bodyPalace) d.push_back(Move("身宮", Branch(a.bodyPalace), Branch(b.bodyPalace)));
    if (a.bureau != b.bureau) d.push_back(Move("五行局", BureauText(a.bureau), BureauText(b.bureau)));
    for (int s = 1; s <= kStars; ++s)
        if (a.starBranch[s] != b.starBranch[s])
            d.push_back(Move(kStarShortNames[s], Branch(a.starBranch[s]), Branch(b.starBranch[s])));
    for (int s = 1; s <= kMinorStars; ++s)
        if (a.minorBranch[s] != b.minorBranch[s])
            d.push_back(Move(kMinorShortNames[s], Branch(a.minorBranch[s]), Branch(b.minorBranch[s])));
    for (int t = 1; t <= kTransforms; ++t)
        if (a.transformStar[t] != b.transformStar[t] || a.transformMinor[t] != b.transformMinor[t])
            d.push_back(Move(kTransformNames[t], TransformCarrierText(a, t), TransformCarrierText(b, t)));
    return d;
}

bool HasBoundaryAlternative(const std::vector<ChartAlternative>& alternatives) {
    for (const ChartAlternative& a : alternatives)
        if (a.boundary) return true;
    return false;
}

std::optional<Chart> CastAlternative(EngineContext& ctx, const ChartRequest& request,
                                     const ChartAlternative& alternative) {
    QuietCasts casts(ctx, request);
    const CastOutcome chart = CastChart(ctx, alternative.request);
    if (!chart) return std::nullopt;
    return *chart;
}

std::vector<ChartAlternative> FindAlternatives(EngineContext& ctx, const ChartRequest& request, const Chart& chart,
                                               std::optional<int> minuteOfDay, AlternativeOptions options) {
    std::vector<ChartAlternative> kept;
    const MonthInfo term = TermOfBirthMonth(ctx, request);
    QuietCasts casts(ctx, request);
    // atBoundary: whether a kept switch alternative marks a boundary, from
    // its chart; it names the boundary in the reason when it does.
    using BoundaryTest = std::function<bool(ChartAlternative & a, const Tmandata& other)>;
    auto consider = [&](ChartAlternative a, const BoundaryTest& atBoundary = {}) {
        const auto other = casts.Cast(a.request);
        if (!other) return;
        a.differences = ChartDifferences(chart.Man(), *other);
        if (a.differences.empty()) return;
        if (atBoundary) a.boundary = atBoundary(a, *other);
        kept.push_back(std::move(a));
    };

    // The neighbouring period of an exact time near a boundary (the odd hours).
    if (minuteOfDay) {
        const int m = *minuteOfDay;
        const int ahead = ((m / 60) % 2 == 1 ? m / 60 * 60 + 120 : m / 60 * 60 + 60) % 1440;
        const int behind = (ahead + 1440 - 120) % 1440;
        const int toAhead = (ahead - m + 1440) % 1440, fromBehind = (m - behind + 1440) % 1440;
        if (std::min(toAhead, fromBehind) <= kNearBoundaryMinutes) {
            const bool next = toAhead <= fromBehind;
            const int distance = next ? toAhead : fromBehind;
            ChartAlternative a;
            a.kind = AlternativeKind::kNeighbourPeriod;
            a.boundary = true;
            a.request = request;
            a.request.hourIndex = (request.hourIndex + (next ? 1 : kHours - 1)) % kHours;
            a.request.lateHour = next ? ahead == 23 * 60 : request.lateHour && behind != 23 * 60;
            const std::string here = BranchText(request.hourIndex), there = BranchText(a.request.hourIndex);
            a.reason = "出生が " + ClockTimeText(m) + "、" + (next ? here + "と" + there : there + "と" + here) +
                       "の境から " + std::to_string(distance) + " 分";
            a.changes = "hour";
            a.value = std::string(kHourPeriodTexts[a.request.hourIndex]);
            consider(std::move(a));
        }
    }

    // Both neighbouring periods of a birth known only by its period, when asked.
    if (!minuteOfDay && options.neighbourPeriods) {
        for (const int step : {kHours - 1, 1}) {
            ChartAlternative a;
            a.kind = AlternativeKind::kNeighbourPeriod;
            a.boundary = true;
            a.request = request;
            a.request.hourIndex = (request.hourIndex + step) % kHours;
            a.request.lateHour = a.request.hourIndex == 0;  // the 子 after 亥 is 23:00 of the same day
            a.reason = "出生は" + BranchText(request.hourIndex) + "の刻（時刻不明）：" + (step == 1 ? "後" : "前") +
                       "の" + BranchText(a.request.hourIndex) + "の刻とした場合";
            a.changes = "hour";
            a.value = std::string(kHourPeriodTexts[a.request.hourIndex]);
            consider(std::move(a));
        }
    }

    // The other side of the month's 節 entry for a birth within a day of it.
    if (term.termDay > 0 && std::abs(request.day - term.termDay) <= 1) {
        ChartAlternative a;
        a.kind = AlternativeKind::kSolarTerm;
        a.boundary = true;
        a.request = request;
        const bool before =
            request.day < term.termDay || (request.day == term.termDay && term.termHour >= request.hourIndex + 1);
        a.request.termSide = before ? +1 : -1;
        a.reason = std::to_string(request.month) + "月の節入り（" + std::to_string(term.termDay) + "日 " +
                   BranchText(term.termHour - 1) + "の刻）の" + (request.day == term.termDay ? "当日" : "前後1日") +
                   "の出生：節入り" + (before ? "後" : "前") + "とした場合";
        a.changes = "term";
        a.value = before ? "after" : "before";
        consider(std::move(a));
    }

    // A birth in the 子 period: 23:00–24:00 counted to the next day (or, with
    // an exact time there, the other rule).
    if (request.hourIndex == 0 && (!minuteOfDay || *minuteOfDay >= 23 * 60)) {
        ChartAlternative a;
        a.kind = AlternativeKind::kLateHour;
        a.boundary = true;
        a.request = request;
        a.request.lateHour = true;
        const bool nextNow = request.lateHour && request.conventions.lateHour != LateHourDay::kSameDay;
        a.request.conventions.lateHour = nextNow ? LateHourDay::kSameDay : LateHourDay::kNextDay;
        a.reason = minuteOfDay ? "出生が " + ClockTimeText(*minuteOfDay) + "、23 時台を" + (nextNow ? "当日" : "翌日") +
                                     "とした場合"
                               : std::string("子の刻の出生：23 時台の出生を翌日とした場合");
        a.changes = "late-hour";
        a.value = std::string(ConventionWord(a.request.conventions, "late-hour"));
        consider(std::move(a));
    }

    // Every other value of each switch (the time correction aside: it moves
    // the exact time, which the period alternatives cover; the day of the late
    // hour is the alternative above). A birth in a leap month says so.
    const Tmandata& man = chart.Man();
    const std::optional<Tmandata> standard = casts.Cast(request);
    const bool leap = standard && InLeapMonth(ctx.reki, 2, {request.year, request.month, request.day},
                                              {standard->lunarMonth, standard->lunarDay});
    for (const ConventionSwitch& s : ConventionSwitches()) {
        if (s.key == "correction" || s.key == "late-hour") continue;
        const std::string_view current = ConventionWord(request.conventions, s.key);
        for (std::string_view word : s.words) {
            if (word == current) continue;
            ChartAlternative a;
            a.request = request;
            SetConvention(a.request.conventions, s.key, word);
            a.reason = "規則「" + ConventionValueText(s.key, word) + "」とした場合";
            if (leap && s.key == "palace-month")
                a.reason = "閏" + std::to_string(man.lunarMonth) + "月の出生：" + a.reason;
            a.changes = std::string(s.key);
            a.value = std::string(word);
            consider(std::move(a), [&](ChartAlternative& k, const Tmandata& other) {
                if (s.key == "meridian" && (other.lunarMonth != man.lunarMonth || other.lunarDay != man.lunarDay)) {
                    k.reason = "新月の前後で旧暦の日付が異なる出生（" + LunarDateText(man) + "→" +
                               LunarDateText(other) + "）：" + k.reason;
                    return true;
                }
                if (s.key == "year-start" && (other.stems.year != man.stems.year)) {
                    k.reason = "立春と旧正月の間の出生：" + k.reason;
                    return true;
                }
                return s.key == "palace-month" && leap;
            });
        }
    }
    return kept;
}

}  // namespace zelvara
