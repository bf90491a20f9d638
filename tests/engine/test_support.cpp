#include "tests/engine/test_support.h"

#include "engine/calendar_file.h"

#include <unistd.h>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zelvara::test {

ProgramFolder::ProgramFolder() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "zelvara-test-XXXXXX").string();
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

ProgramFolder::~ProgramFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void ProgramFolder::AddYear(int year) const {
    const auto name = std::to_string(year) + ".eto";
    std::filesystem::copy_file(std::filesystem::path(ZELVARA_ENGINE_FIXTURES) / name, path_ / name,
                               std::filesystem::copy_options::overwrite_existing);
}

void ProgramFolder::AddYears(std::initializer_list<int> years) const {
    for (int y : years) AddYear(y);
}

void ProgramFolder::Write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ / name, std::ios::binary | std::ios::trunc);
    out << content;
}

std::vector<std::string> FixtureLines(int year) {
    std::ifstream in(std::filesystem::path(ZELVARA_ENGINE_FIXTURES) / (std::to_string(year) + ".eto"),
                     std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return SplitCalendarLines(ss.str());
}

std::string JoinCrLf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) out += l + "\r\n";
    return out;
}

}  // namespace zelvara::test
