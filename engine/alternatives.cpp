#include "engine/alternatives.h"

#include "engine/calendar_file.h"
#include "engine/conversion.h"

#include <cstdlib>

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

std::vector<ChartAlternative> FindAlternatives(EngineContext& ctx, const ChartRequest& request, const Chart& chart,
                                               std::optional<int> minuteOfDay) {
    std::vector<ChartAlternative> kept;
    const MonthInfo term = TermOfBirthMonth(ctx, request);
    QuietCasts casts(ctx, request);
    auto consider = [&](ChartAlternative a) {
        const auto other = casts.Cast(a.request);
        if (!other) return;
        a.differences = ChartDifferences(chart.Man(), *other);
        if (!a.differences.empty()) kept.push_back(std::move(a));
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

    // The other side of the month's 節 entry for a birth within a day of it.
    if (term.termDay > 0 && std::abs(request.day - term.termDay) <= 1) {
        ChartAlternative a;
        a.kind = AlternativeKind::kSolarTerm;
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
            consider(std::move(a));
        }
    }
    return kept;
}

}  // namespace zelvara
