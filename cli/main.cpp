// arbolith-render: draws trees without a window, to PNG, SVG or PDF files.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/Progress.h"
#include "cli/RenderOptions.h"
#include "cli/TreeWriters.h"
#include "tree/BranchCount.h"
#include "tree/Random.h"

namespace {

using namespace arbolith;
using namespace arbolith::cli;

constexpr int kExitWriteFailed = 1;
constexpr int kExitUsage = 2;

void Complain(const std::string& message) {
    std::fprintf(stderr, "arbolith-render: %s\n", message.c_str());
}

// The largest tree of the series: with a random limb count, each second has its own.
BranchCount LargestTree(const RenderOptions& options, std::uint32_t first) {
    BranchCount largest = CountBranches(options.tree, options.path, first);
    if (options.tree.limbsDegree == 0) {
        for (int n = 2; n <= options.count; ++n) {
            const BranchCount count = CountBranches(options.tree, options.path,
                                                    first + static_cast<std::uint32_t>(n - 1));
            largest.branches = std::max(largest.branches, count.branches);
            largest.unfinishedForks = std::max(largest.unfinishedForks, count.unfinishedForks);
        }
    }
    return largest;
}

// Refuses a tree too large to draw in reasonable time, before anything is written.
bool TreeWithinLimit(const RenderOptions& options, std::uint32_t first) {
    const BranchCount largest = LargestTree(options, first);
    const std::string tree = options.count > 1 ? "the largest tree of this series" : "this tree";
    if (largest.OutgrowsForkLimit()) {
        // Two or more limbs a fork over that many levels: more than 2^levels branches.
        Complain(tree + " nests its forks " + std::to_string(largest.unfinishedForks) +
                 " levels deep, more than the " + std::to_string(kMaxUnfinishedForks) +
                 " a run can hold; with more than 2^" + std::to_string(largest.unfinishedForks) +
                 " branches it could never be drawn, whatever --max-branches says; lower --levels");
        return false;
    }
    const std::uint64_t branches = largest.branches;
    if (branches <= options.maxBranches) {
        return true;
    }
    Complain(tree + " would have " + std::to_string(branches) +
             " branches, more than --max-branches " + std::to_string(options.maxBranches) +
             "; lower --levels or --limbs, or raise --max-branches");
    return false;
}

int Render(const RenderOptions& options, std::uint32_t first) {
    CatchInterrupts();
    const bool toStdout = options.output == "-";
    for (int n = 1; n <= options.count; ++n) {
        const std::uint32_t second = first + static_cast<std::uint32_t>(n - 1);
        const std::string name =
            toStdout ? "standard output" : OutputName(options.output, n, options.count, second);
        const FixedClock clock(second);
        DrawResult result;
        {
            Progress progress(name, CountBranches(options.tree, options.path, second));
            const auto draw = [&](QIODevice& device) {
                // Small trees never ask the monitor, so look for an interrupt here as well.
                if (InterruptSignal() != 0) {
                    return DrawResult{DrawResult::Stopped, {}};
                }
                DrawResult drawn = DrawTreeTo(device, *options.format, options, progress);
                if (drawn.outcome == DrawResult::Done && InterruptSignal() != 0) {
                    drawn = {DrawResult::Stopped, {}};
                }
                return drawn;
            };
            result = toStdout ? WriteStandardOutput(draw) : WriteFileWhole(name, draw);
        }
        switch (result.outcome) {
        case DrawResult::Done:
            Complain("wrote " + name + ": the tree of second " + std::to_string(second) +
                     " (--time " + std::to_string(second) + ")");
            break;
        case DrawResult::Stopped:
            Complain("interrupted; " + name + " not written");
            return 128 + InterruptSignal();
        case DrawResult::Failed:
            Complain("cannot write " + name + ": " + result.reason);
            return kExitWriteFailed;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    QCoreApplication application(argc, argv);
    const auto parsed = ParseRenderOptions(args);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        Complain(error->message);
        return kExitUsage;
    }
    const RenderOptions& options = std::get<RenderOptions>(parsed);
    if (options.help) {
        std::fputs(HelpText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("arbolith-render %s\n", ARBOLITH_VERSION);
        return 0;
    }
    // One reading of the clock for the whole run: each tree is exactly the tree of its second.
    const std::uint32_t first = options.time ? *options.time : SystemClockSeconds();
    if (!TreeWithinLimit(options, first)) {
        return kExitUsage;
    }
    return Render(options, first);
}
