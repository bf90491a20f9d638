// Where the shipped, read-only files (calendar files, seeds, pictures,
// sounds, help) lie, seen from the folder of the executable. Header only and
// standard C++ only, so that zelvara-cli built without Qt decides the same.
//
// A folder "holds the program's data" when it has the seed folder that the
// build copies beside the executables. A build folder's bin/ and an unpacked
// archive hold it; an installed bin/ does not, and the data is then found in
// the installed share folder (bin/../share/zelvara with GNUInstallDirs).
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

#ifndef ZELVARA_SHARE_FROM_BIN
#define ZELVARA_SHARE_FROM_BIN "../share/zelvara"
#endif

namespace zelvara {

inline bool HoldsShippedData(const std::filesystem::path& folder) {
    std::error_code ec;
    return std::filesystem::is_directory(folder / "seed", ec);
}

// executableFolder itself when it holds the data (portable layout), else the
// installed share folder when that holds it, else executableFolder (nothing
// found: the files the program misses are reported where they are read).
inline std::string ShippedFolderOf(const std::string& executableFolder) {
    const std::filesystem::path exe(executableFolder);
    if (HoldsShippedData(exe)) return executableFolder;
    const std::filesystem::path share = (exe / ZELVARA_SHARE_FROM_BIN).lexically_normal();
    if (HoldsShippedData(share)) {
        std::string s = share.string();
        while (s.size() > 1 && s.back() == '/') s.pop_back();
        return s;
    }
    return executableFolder;
}

}  // namespace zelvara
