// Parsed calendar data files, kept by year. A file is re-read when its size or
// modification time changes, or when it disappears; how often the file system
// is asked is set by revalidateAfter (zero: on every load).
#pragma once

#include "zelvara.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
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

    // The entry of a year if it is still valid, else nullptr (and the entry is dropped).
    const Entry* Find(int year, const std::filesystem::path& path);
    const Entry& Store(int year, CalendarYear data, std::filesystem::file_time_type mtime, std::uintmax_t size);
    void Clear() { entries_.clear(); }

private:
    std::unordered_map<int, Entry> entries_;
    std::uint64_t nextGeneration_ = 1;
};

}  // namespace zelvara
