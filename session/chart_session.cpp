#include "chart_session.h"

#include "qstring_utf8.h"

#include <utility>

namespace zelvara {
namespace {

constexpr std::string_view kHourUnknownNotice = "時刻が不明または指定されていませんのでこれから推測していきます。";

}  // namespace

ChartSession::ChartSession(std::string programFolder, MessageSink& sink, PersonStore& store)
    : ctx_(std::move(programFolder), sink), store_(store)
{
}

RequestOutcome ChartSession::Request(const BirthInput& in, HourChooser& hours, const ShowChart& show,
                                     const std::optional<CorrectedBirth>& exact)
{
    Tmandata& man = ctx_.man;
    RequestOutcome outcome;

    // An exact time: the entry's own date is checked for the year the record
    // keeps, then the corrected moment is what the checks and the cast see.
    std::string entryYear;
    BirthInput cast = in;
    if (exact) {
        CheckedBirth entry;
        if (CheckBirthInput(ctx_, in, entry) < 0)
            return outcome;
        entryYear = entry.yearText;
        SetCorrectedMoment(cast, *exact);
    }
    CheckedBirth checked;
    if (CheckBirthInput(ctx_, cast, checked) < 0)
        return outcome;
    if (exact)
        checked.yearText = entryYear;
    // The checks leave the birth date in the record; the casts below reuse it.
    const int year = man.birthYear, month = man.birthMonth, day = man.birthDay;

    // An unknown hour: every period is cast and the user picks the one whose
    // chart fits. Giving up leaves no chart and writes nothing.
    int hourIndex = checked.hourIndex;
    if (hourIndex < 0) {
        ctx_.Message(kHourUnknownNotice);
        if (CastAllHours(ctx_, year, month, day, hourGrid_) < 0)
            return outcome;
        const std::optional<int> chosen = hours.ChooseHour(hourGrid_);
        if (!chosen || *chosen < 0 || *chosen >= kHours) {
            MarkChart(man, false);  // the record holds the last candidate, not a chosen chart
            outcome.status = RequestOutcome::Status::Cancelled;
            return outcome;
        }
        hourIndex = *chosen;
    }

    man.name = in.name;
    man.birthText = checked.dateText;
    if (CastChart(ctx_, year, month, day, hourIndex) < 0)
        return outcome;

    LayOutCastChart();
    chart_.input = in;
    chart_.checked = checked;
    chart_.hourIndex = hourIndex;
    chart_.hourChosen = checked.hourIndex < 0;
    chart_.exact = exact;
    if (show)
        show(chart_);
    return WriteBack();
}

void ChartSession::LayOutCastChart()
{
    Tmandata& man = ctx_.man;
    LayOutLuckPeriods(man);
    chart_.layout = LayOutChart(man);
    chart_.luckCaptions = NameLuckPeriods(man);
    chart_.strength = PalaceStrengths(man);
}

// The converted year, the hour and the main stars go into the person's record
// in one write. A store that cannot write keeps nothing and says why; the
// chart stands either way.
RequestOutcome ChartSession::WriteBack()
{
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

PersonChartFields ChartSession::RecordFields() const
{
    PersonChartFields fields;
    fields.year = QString::fromStdString(chart_.checked.yearText);
    // The record keeps the birth as entered: with an exact time, the period
    // of the clock reading, never the corrected one (which may even fall on
    // another day than the record's date).
    const int hour = chart_.exact ? HourIndexOfMinute(chart_.exact->clockMinute) : chart_.hourIndex;
    if (hour >= 0 && hour < kHours)
        fields.hour = Q(kHourPeriodTexts[hour]);
    for (int p = 1; p <= kPalaces; ++p)
        fields.mainStars[p] = Q(kStarShortNames[ctx_.man.mainStar[p]]);
    return fields;
}

}  // namespace zelvara
