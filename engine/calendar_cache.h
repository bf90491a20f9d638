// Parsed calendar data files, kept by year. A file is re-read when its size or
// modification time changes, or when it disappears; how often the file system
// is asked is set by revalidateAfter (zero: on every load).
#pragma once

#include "engine/zelvara.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>

namespace zelvara {

class CalendarCache {
public:
    std::chrono::milliseconds revalidateAfter{0};

    struct Entry {
        CalendarYear data;
        std::filesystem::file_time_type mtime{};
        std::uintmax_t size = 0;
        std::chrono::steady_clock::time_point checkedAt{};
        std::uint64_t generation = 0;
    };

    // The entry of a year if it is still valid, else nullptr (and the entry is
    // dropped). path() gives the file's path; it is asked for only when the
    // file system must be consulted.
    template <class PathFn>
    const Entry* Find(int year, std::chrono::steady_clock::time_point now, PathFn&& path) {
        auto it = entries_.find(year);
        if (it == entries_.end()) return nullptr;
        if (now - it->second.checkedAt < revalidateAfter) return &it->second;
        if (StillValid(it->second, path())) return &it->second;
        entries_.erase(it);
        return nullptr;
    }
    const Entry& Store(int year, CalendarYear data, std::filesystem::file_time_type mtime, std::uintmax_t size);
    void Clear() { entries_.clear(); }

    // Which cache entry each year slot was last filled from, so that an
    // unchanged slot is not copied again. Slots are written only by the loader.
    std::array<std::uint64_t, 4> slotGeneration{};

private:
    bool StillValid(Entry& e, const std::string& path);
    std::unordered_map<int, Entry> entries_;
    std::uint64_t nextGeneration_ = 1;
};

}  // namespace zelvara
