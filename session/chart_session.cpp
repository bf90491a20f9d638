#include "session/chart_session.h"

#include "common/qstring_utf8.h"

#include <utility>

namespace zelvara {
namespace {

constexpr std::string_view kHourUnknownNotice = "時刻が不明または指定されていませんのでこれから推測していきます。";

}  // namespace

ChartSession::ChartSession(std::string programFolder, MessageSink& sink, PersonStore& store)
    : ctx_(std::move(programFolder), sink), store_(store) {}

RequestOutcome ChartSession::Request(const BirthInput& in, HourChooser& hours, const ShowChart& show,
                                     const std::optional<CorrectedBirth>& exact, const QString& exactPlace) {
    RequestOutcome outcome;
    held_.reset();

    // An exact time: the entry's own date is checked for the year the record
    // keeps, then the corrected moment is what the checks and the cast see.
    int recordYear = 0;
    BirthInput corrected = in;
    if (exact) {
        const auto entry = CheckBirthInput(ctx_, in);
        if (!entry) return outcome;
        recordYear = entry->year;
        SetCorrectedMoment(corrected, *exact);
    }
    const auto checked = CheckBirthInput(ctx_, corrected);
    if (!checked) return outcome;
    ChartRequest request = *checked;
    if (!exact) recordYear = request.year;
    request.conventions = profile_.conventions;
    request.lateHour = exact && exact->minuteOfDay >= 23 * 60;

    // An unknown hour: every period is cast and the user picks the one whose
    // chart fits. Giving up leaves no chart and writes nothing.
    if (request.hourIndex < 0) {
        ctx_.Message(kHourUnknownNotice);
        const auto grid = CastAllHours(ctx_, request);
        if (!grid) return outcome;
        hourGrid_ = *grid;
        const std::optional<int> chosen = hours.ChooseHour(hourGrid_);
        if (!chosen || *chosen < 0 || *chosen >= kHours) {
            outcome.status = RequestOutcome::Status::Cancelled;
            return outcome;
        }
        request.hourIndex = *chosen;
    }

    const CastOutcome cast = CastChart(ctx_, request);
    if (!cast) return outcome;

    Hold(*cast);
    chart_.input = in;
    chart_.recordYear = recordYear;
    chart_.hourIndex = request.hourIndex;
    chart_.hourChosen = checked->hourIndex < 0;
    chart_.exact = exact;
    chart_.exactPlace = exact ? exactPlace : QString();
    chart_.request = request;
    chart_.profile = profile_;
    if (show) show(chart_);
    return WriteBack();
}

bool ChartSession::Replay(const BirthInput& in, const ShowChart& show, bool lateHour) {
    held_.reset();
    const auto checked = CheckBirthInput(ctx_, in);
    if (!checked || checked->hourIndex < 0) return false;
    ChartRequest request = *checked;
    request.conventions = profile_.conventions;
    request.lateHour = lateHour;
    const CastOutcome cast = CastChart(ctx_, request);
    if (!cast) return false;
    Hold(*cast);
    chart_.input = in;
    chart_.recordYear = checked->year;
    chart_.hourIndex = checked->hourIndex;
    chart_.hourChosen = false;
    chart_.exact.reset();
    chart_.request = request;
    chart_.profile = profile_;
    if (show) show(chart_);
    return true;
}

void ChartSession::Hold(zelvara::Chart chart) {
    held_ = std::move(chart);
    const Tmandata& man = held_->Man();
    chart_.layout = LayOutChart(man);
    chart_.luckCaptions = LuckPeriodCaptions(man);
    chart_.strength = PalaceStrengths(man);
}

const Tmandata& ChartSession::Man() const {
    static const Tmandata kNoChart;
    return held_ ? held_->Man() : kNoChart;
}

// The converted year, the hour and the main stars go into the person's record
// in one write. A store that cannot write keeps nothing and says why; the
// chart stands either way.
RequestOutcome ChartSession::WriteBack() {
    RequestOutcome outcome;
    outcome.status = RequestOutcome::Status::Cast;
    outcome.notKept = store_.Unavailability();
    if (!outcome.notKept.isEmpty()) {
        outcome.writeBack = RequestOutcome::WriteBack::NotKept;
        return outcome;
    }
    outcome.writeBack = store_.WriteChartFields(RecordFields()) ? RequestOutcome::WriteBack::Written
                                                                : RequestOutcome::WriteBack::Refused;
    return outcome;
}

PersonChartFields ChartSession::RecordFields() const {
    PersonChartFields fields;
    fields.year = QString::number(chart_.recordYear);
    // The record keeps the birth as entered: with an exact time, the period
    // of the clock reading, never the corrected one (which may even fall on
    // another day than the record's date).
    const int hour = chart_.exact ? HourIndexOfMinute(chart_.exact->clockMinute) : chart_.hourIndex;
    if (hour >= 0 && hour < kHours) fields.hour = Q(kHourPeriodTexts[hour]);
    for (int p = 1; p <= kPalaces; ++p) fields.mainStars[p] = Q(kStarShortNames[Man().mainStar[p]]);
    return fields;
}

}  // namespace zelvara
