#include "cli/terminal_progress.h"

#include <unistd.h>

namespace zelvara::cli {
namespace {
constexpr int kWidth = 30;  // characters of the bar
}  // namespace

TerminalProgress::TerminalProgress(std::string label, std::FILE* out)
    : label_(std::move(label)), out_(out), terminal_(isatty(fileno(out)) != 0) {}

void TerminalProgress::Update(const batch::BatchStep& step) {
    const double share = step.monthsTotal ? double(step.monthsDone) / step.monthsTotal : 0;
    if (terminal_) {
        const int filled = static_cast<int>(share * kWidth);
        std::fprintf(out_, "\r%s [%s%s] %d/%02d %3d%%", label_.c_str(), std::string(filled, '#').c_str(),
                     std::string(kWidth - filled, '.').c_str(), step.year, step.month, static_cast<int>(share * 100));
        std::fflush(out_);
        drawn_ = true;
    } else if (step.year != lastYear_) {
        std::fprintf(out_, "%s %d/%02d %3d%%\n", label_.c_str(), step.year, step.month, static_cast<int>(share * 100));
    }
    lastYear_ = step.year;
}

void TerminalProgress::Finish(bool completed) {
    if (drawn_ && completed)
        std::fprintf(out_, "\r%s [%s] done          \n", label_.c_str(), std::string(kWidth, '#').c_str());
    else if (drawn_)
        std::fprintf(out_, " stopped\n");  // the bar stays where the run stopped
    drawn_ = false;
}

}  // namespace zelvara::cli
