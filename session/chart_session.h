// The chart session: one person's chart request from the entry fields to the
// cast chart and back into the person's record, without any widget. It owns
// the engine context, the chart that stands (if any) with its layout, the hour
// candidates of an unknown hour and the write-back of the palace fields. A window only forwards the entry fields and shows what the
// session holds; tests drive it with a fake store and a fake hour chooser.
#pragma once

#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "engine/context.h"
#include "engine/exact_birth.h"
#include "session/hour_chooser.h"
#include "session/person_store.h"

#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace zelvara {

// The last chart the session cast, with what it was cast from. Screen,
// prints and the time layers over the chart read it from here; it changes
// only when a request succeeds, and it describes the chart held while
// HasChart() is true.
struct SessionChart {
    BirthInput input;                          // the entry fields as typed
    int recordYear = 0;                        // the entry's year after the era conversion
    int hourIndex = -1;                        // 0..11, given or chosen
    bool hourChosen = false;                   // picked from the candidates of an unknown hour
    ChartLayout layout;                        // the twelve boxes and the box-text table
    std::array<std::string, 13> luckCaptions;  // ten-year period tabs 1..12, "3-12才(紫薇星)"
    std::array<int, kPalaces + 1> strength{};  // palace strengths 1..12
    std::optional<CorrectedBirth> exact;       // the exact time the chart was cast from, if any
    QString exactPlace;                        // where that time was kept for, as the prints show it; empty: none
    ChartRequest request;                      // the request cast, with its conventions
    ConventionProfile profile;                 // the profile it was cast by (標準 unless one was set)
};

// What a request came to.
struct RequestOutcome {
    enum class Status {
        Refused,    // an entry or the calendar stopped it; its message was shown
        Cancelled,  // the hour choice was abandoned
        Cast,       // a chart stands
    };
    enum class WriteBack {
        NotTried,  // no chart, nothing written
        Written,   // the record holds the chart's fields
        NotKept,   // the store cannot write now (see notKept); the chart stands
        Refused,   // the store refused the write and said why; the chart stands
    };
    Status status = Status::Refused;
    WriteBack writeBack = WriteBack::NotTried;
    QString notKept;  // why the record keeps nothing, for NotKept

    bool IsCast() const { return status == Status::Cast; }
};

class ChartSession {
public:
    // programFolder: where the calendar files lie. Messages of the checks,
    // the casts and the session go to sink; the fields go to store.
    ChartSession(std::string programFolder, MessageSink& sink, PersonStore& store);

    // Called with the cast chart before it is written back, so that what the
    // window shows is in place when the store reports on the write.
    using ShowChart = std::function<void(const SessionChart&)>;

    // The request behind the chart button: the entry checks in their fixed
    // order (the first failing one is shown), the hour (given, or chosen from
    // the candidates of all twelve periods), the cast, the layout, show, and
    // the palace fields written back to the person's record once at the end.
    // Nothing is written unless a chart was cast.
    // exact: the person's exact time corrected (CorrectBirthInput of the
    // entry); the corrected moment's date and period are cast, while the
    // record keeps the year of the entry's own date.
    // exactPlace: the place of that time as the prints show it, kept with
    // the chart so that moving to another record does not change it.
    RequestOutcome Request(const BirthInput& in, HourChooser& hours, const ShowChart& show = {},
                           const std::optional<CorrectedBirth>& exact = std::nullopt, const QString& exactPlace = {});

    // Casts an earlier reading's chart again to look at it (a consultation
    // entry's chart as read): the entry checks and the cast of a known hour,
    // held and shown like a request's chart, without an exact time's line and
    // without writing anything back. False when a check or the cast refused
    // (its message shown); the chart held before is gone then too.
    // lateHour: the time read was between 23:00 and 24:00 (the profile's
    // late-hour rule then decides the day, as at the first cast).
    bool Replay(const BirthInput& in, const ShowChart& show = {}, bool lateHour = false);
    // Holds a chart cast straight through the engine and lays it out (the
    // layout, luck captions and strengths of SessionChart; the inputs stay as
    // they were).
    void Hold(zelvara::Chart chart);

    // The profile the following requests and replays are cast by; 標準 until
    // one is set. The chart held keeps the profile it was cast by.
    void SetProfile(ConventionProfile profile) { profile_ = std::move(profile); }
    const ConventionProfile& Profile() const { return profile_; }

    EngineContext& Context() { return ctx_; }
    bool HasChart() const { return held_.has_value(); }
    // The chart held; stays at one address for the session's life.
    const std::optional<zelvara::Chart>& Held() const { return held_; }
    // The record of the chart held; an empty record while there is none.
    const Tmandata& Man() const;
    const SessionChart& Chart() const { return chart_; }
    // Stays at one address for the session's life (readers keep a reference).
    const ChartLayout& Layout() const { return chart_.layout; }
    // What the last cast writes into the person's record: the converted year,
    // the hour-period text and the main star of every palace.
    PersonChartFields RecordFields() const;
    // Main star of every palace for every period, from the last unknown hour.
    const HourGrid& HourCandidates() const { return hourGrid_; }

private:
    RequestOutcome WriteBack();

    EngineContext ctx_;
    PersonStore& store_;
    std::optional<zelvara::Chart> held_;
    SessionChart chart_;
    HourGrid hourGrid_{};
    ConventionProfile profile_;
};

}  // namespace zelvara
