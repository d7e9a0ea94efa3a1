#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "tree/BranchCount.h"
#include "tree/TreePainter.h"

namespace arbolith::cli {

// Watches one render: stops it when an interrupt has come, and once it has taken longer than
// a second, shows on standard error how far it has got, if standard error is a terminal.
class Progress : public RunMonitor {
public:
    Progress(std::string label, BranchCount total);
    ~Progress() override;
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    bool KeepGoing(std::uint64_t branchesDrawn) override;
    bool MayFinish() override;
    bool Stopped() const { return stopped_; }

private:
    using Clock = std::chrono::steady_clock;

    std::string label_;
    BranchCount total_;
    bool toTerminal_;
    bool shown_ = false;
    bool stopped_ = false;
    Clock::time_point start_ = Clock::now();
    Clock::time_point lastShown_{};
};

} // namespace arbolith::cli
