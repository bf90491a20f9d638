// Work on untrusted files in a process of its own, so that a fault in a
// library reading them (a crash, an endless loop, memory without end) ends
// only that process. The child is made with fork() and no exec: it must call
// nothing but plain C and C++ (no Qt, no threads, no locks another thread
// of this program might have held), hand back its result as bytes and end
// with _exit. It runs with limits on CPU time and on memory beyond what the
// program already uses; this side also gives up after a wall-clock time and
// when the child yields more bytes than allowed.
#pragma once

#include <QString>

#include <cstddef>
#include <functional>
#include <string>

namespace zelvara {

struct IsolationLimits {
    int cpuSeconds = 30;
    int wallSeconds = 120;
    std::size_t memoryBytes = std::size_t(1) << 30;  // beyond the program's own address space
    std::size_t outputBytes = std::size_t(300) << 20;
};

struct IsolatedResult {
    bool ok = false;
    std::string output;  // what work returned, when ok
    QString failure;     // why not, a Japanese phrase ("時間がかかりすぎたため…")
};

IsolatedResult RunIsolated(const std::function<std::string()>& work, const IsolationLimits& limits = {});

}  // namespace zelvara
