// The birth moments of a batch run and the one engine that casts them.
#pragma once

#include "engine/chart_layout.h"
#include "engine/chart_request.h"
#include "engine/context.h"
#include "engine/zelvara.h"

#include <optional>
#include <string>

namespace zelvara::batch {

// Days of a month as the batch tools count them: February has 29 days in
// every year divisible by 4. Right for 1901..2099, the only years a batch
// accepts.
int MonthLength(int year, int month);

constexpr int kFirstBatchYear = 1921;
constexpr int kLastBatchYear = 2099;

// One code character for a small number: "0".."9" for 0..9, "A".."Z" for
// 10..35; "?" for anything else (never produced by a real chart).
char CodeChar(int value);

// Appends 0..99 with a leading "0" below 10.
void AppendTwoDigits(std::string& out, int value);

// A moment the engine would not cast.
struct Refusal {
    int year = 0, month = 0, day = 0, hourIndex = 0;
    std::string message;
};

// Whether the refusal is one every run over January 1921 meets: the moment lies
// before the first solar term the calendar data covers (1921-01-06). Any other
// refusal means the calendar data or the engine failed, and a run stops on it.
bool BeforeFirstCoveredMoment(const Refusal& refusal);

// Casts moments as the chart request does for a male birth with a known
// hour. A refused moment is counted, not shown, and its record holds the
// moment alone.
class MomentCaster {
public:
    explicit MomentCaster(const std::string& programFolder);
    MomentCaster(const MomentCaster&) = delete;
    MomentCaster& operator=(const MomentCaster&) = delete;

    // Loads the calendar files every moment of the years needs, so that a
    // missing or broken file stops a run before anything is written. Empty
    // when all load, else the loader's message.
    std::string CheckCalendarFiles(int fromYear, int toYear);

    // true when the chart was cast, false when the engine refused the moment.
    bool Cast(int year, int month, int day, int hourIndex);

    // Whether the last moment was cast, and its record (the moment alone when
    // it was refused).
    bool HasChart() const { return chart_.has_value(); }
    const Tmandata& Man() const { return chart_ ? chart_->Man() : refusedMoment_; }
    // The chart display's boxes for the chart last cast.
    ChartLayout LayOut() const { return LayOutChart(Man()); }
    int FirstLuckAgeMale() const { return chart_ ? chart_->FirstLuckAgeMale() : 0; }
    int FirstLuckAgeFemale() const { return chart_ ? chart_->FirstLuckAgeFemale() : 0; }
    long Moments() const { return moments_; }
    long Refused() const { return refused_; }
    const std::optional<Refusal>& FirstRefusal() const { return firstRefusal_; }
    // The first refusal that is not BeforeFirstCoveredMoment.
    const std::optional<Refusal>& FirstFault() const { return firstFault_; }

private:
    class LastMessage final : public MessageSink {
    public:
        void Show(std::string_view text, std::string_view) override { text_.assign(text); }
        std::string text_;
    };
    LastMessage sink_;
    EngineContext ctx_;
    std::optional<Chart> chart_;
    Tmandata refusedMoment_;
    long moments_ = 0;
    long refused_ = 0;
    std::optional<Refusal> firstRefusal_;
    std::optional<Refusal> firstFault_;
};

}  // namespace zelvara::batch
