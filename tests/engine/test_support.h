// Shared helpers of the engine tests: the tests' recording message sink and a
// fresh program folder holding chosen calendar fixtures.
#pragma once

#include "engine/context.h"
#include "tests/recording_sink.h"

#include <filesystem>
#include <string>
#include <vector>

namespace zelvara::test {

using RecordingSink = ::RecordingSink;

// A temporary program folder, removed with the object.
class ProgramFolder {
public:
    ProgramFolder();
    ~ProgramFolder();
    const std::filesystem::path& Path() const { return path_; }
    std::string Str() const { return path_.string() + "/"; }
    // Copies the fixture calendar file of a year into the folder.
    void AddYear(int year) const;
    void AddYears(std::initializer_list<int> years) const;
    void Write(const std::string& name, const std::string& content) const;
    std::string FilePath(int year) const { return Str() + std::to_string(year) + ".eto"; }

private:
    std::filesystem::path path_;
};

// The 25 lines of a fixture year, to be altered by a test.
std::vector<std::string> FixtureLines(int year);
std::string JoinCrLf(const std::vector<std::string>& lines);

// An engine context over a folder, with a fixed "today" (2026-01-01).
struct Engine {
    explicit Engine(const ProgramFolder& folder) : ctx(folder.Str(), sink) { ctx.FixToday({2026, 1, 1}); }
    RecordingSink sink;
    EngineContext ctx;
};

}  // namespace zelvara::test
