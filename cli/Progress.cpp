#include "cli/Progress.h"

#include <cstdio>

#include <unistd.h>

#include "cli/Interrupt.h"

namespace arbolith::cli {

namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRefresh = std::chrono::milliseconds(200);

} // namespace

Progress::Progress(std::string label, BranchCount total)
    : label_(std::move(label)), total_(total), toTerminal_(isatty(STDERR_FILENO) == 1) {}

Progress::~Progress() {
    if (shown_) {
        // Clear the progress line for whatever is printed next.
        std::fputs("\r\033[K", stderr);
    }
}

bool Progress::MayFinish() {
    stopped_ = stopped_ || InterruptSignal() != 0;
    return !stopped_;
}

bool Progress::KeepGoing(std::uint64_t branchesDrawn) {
    if (!MayFinish()) {
        return false;
    }
    const Clock::time_point now = Clock::now();
    if (!toTerminal_ || now - start_ < kQuietStart || now - lastShown_ < kRefresh) {
        return true;
    }
    lastShown_ = now;
    shown_ = true;
    const auto drawn = static_cast<unsigned long long>(branchesDrawn);
    const auto total = static_cast<unsigned long long>(total_.branches);
    if (total_.exact) {
        std::fprintf(stderr, "\r\033[K%s: %llu of %llu branches (%.0f%%)", label_.c_str(), drawn,
                     total, 100.0 * static_cast<double>(drawn) / static_cast<double>(total));
    } else {
        std::fprintf(stderr, "\r\033[K%s: %llu branches (at most %llu)", label_.c_str(), drawn,
                     total);
    }
    std::fflush(stderr);
    return true;
}

} // namespace arbolith::cli
