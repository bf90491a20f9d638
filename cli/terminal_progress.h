// A progress bar on stderr for long batch runs: redrawn in place on a
// terminal, one line per year otherwise (logs, CI).
#pragma once

#include "batch/batch_run.h"

#include <cstdio>
#include <string>

namespace zelvara::cli {

class TerminalProgress {
public:
    TerminalProgress(std::string label, std::FILE* out);
    void Update(const batch::BatchStep& step);
    // Ends the bar: "done" after a complete run, "stopped" otherwise.
    void Finish(bool completed);

private:
    std::string label_;
    std::FILE* out_;
    bool terminal_;
    bool drawn_ = false;
    int lastYear_ = 0;
};

}  // namespace zelvara::cli
