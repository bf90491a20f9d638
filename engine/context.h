// The engine context: every program-wide object of a chart computation lives
// here, owned by whoever casts charts (the main window, a batch run, a test).
#pragma once

#include "engine/calendar_cache.h"
#include "engine/zelvara.h"

#include <optional>
#include <string>
#include <string_view>

namespace zelvara {

// Receives every message an engine operation shows. The GUI shows a modal
// information box, the command line writes to stderr, tests record.
class MessageSink {
public:
    virtual ~MessageSink() = default;
    // caption empty = the application's own title.
    virtual void Show(std::string_view text, std::string_view caption) = 0;
};

// A sink that drops everything (for batch runs that count failures themselves).
class SilentSink final : public MessageSink {
public:
    void Show(std::string_view, std::string_view) override {}
};

struct CivilDate {
    int year = 0, month = 0, day = 0;
};

// Where the luck-start count begins: (slot, civil month, civil day).
struct TermReference {
    int slot = 0, month = 0, day = 0;
};

// The months that place the palaces as the cast's conventions choose them:
// the branch of the month for the life palace and the month-driven stars, and
// the lunar month number of the body palace.
struct PalaceMonths {
    int monthBranch = 0;
    int bodyLunarMonth = 0;
};

class EngineContext {
public:
    // programFolder: where the calendar data files lie (a trailing separator
    // is added when missing).
    EngineContext(std::string programFolder, MessageSink& sink);

    Tmandata man;
    Treki reki;
    Ttimedt timedt;
    TermReference termRef;
    PalaceMonths palaceMonths;
    int firstLuckAgeMale = 0;
    int firstLuckAgeFemale = 0;
    CalendarCache calendarCache;

    const std::string& ProgramFolder() const { return programFolder_; }
    void SetProgramFolder(std::string folder);

    void Message(std::string_view text, std::string_view caption = {}) const { sink_->Show(text, caption); }
    MessageSink& Sink() const { return *sink_; }
    void SetSink(MessageSink& sink) { sink_ = &sink; }

    // Today's date from the system clock unless fixed (tests, reproducible runs).
    CivilDate Today() const;
    void FixToday(CivilDate date) { fixedToday_ = date; }

private:
    std::string programFolder_;
    MessageSink* sink_;
    std::optional<CivilDate> fixedToday_;
};

}  // namespace zelvara
