#include "calendar_cache.h"

namespace zelvara {

const CalendarCache::Entry* CalendarCache::Find(int year, const std::filesystem::path& path) {
    auto it = entries_.find(year);
    if (it == entries_.end()) return nullptr;
    Entry& e = it->second;
    const auto now = std::chrono::steady_clock::now();
    if (now - e.checkedAt < revalidateAfter) return &e;

    std::error_code ec;
    const auto mtime = std::filesystem::last_write_time(path, ec);
    const auto size = ec ? 0 : std::filesystem::file_size(path, ec);
    if (ec || mtime != e.mtime || size != e.size) {
        entries_.erase(it);
        return nullptr;
    }
    e.checkedAt = now;
    return &e;
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
