#include "engine/calendar_cache.h"

namespace zelvara {

bool CalendarCache::StillValid(Entry& e, const std::string& path) {
    std::error_code ec;
    const auto mtime = std::filesystem::last_write_time(path, ec);
    const auto size = ec ? 0 : std::filesystem::file_size(path, ec);
    if (ec || mtime != e.mtime || size != e.size) return false;
    e.checkedAt = std::chrono::steady_clock::now();
    return true;
}

const CalendarCache::Entry& CalendarCache::Store(int year, CalendarYear data, std::filesystem::file_time_type mtime,
                                                 std::uintmax_t size) {
    Entry& e = entries_[year];
    e.data = std::move(data);
    e.mtime = mtime;
    e.size = size;
    e.checkedAt = std::chrono::steady_clock::now();
    e.generation = nextGeneration_++;
    return e;
}

}  // namespace zelvara
