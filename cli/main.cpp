// arbolith-render: draws trees without a window, to PNG, SVG or PDF files, or writes them in
// 3-D as glTF or OBJ.

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/Interrupt.h"
#include "cli/Output.h"
#include "cli/Progress.h"
#include "cli/RenderOptions.h"
#include "numbers/DecimalText.h"
#include "output/StandardStreams.h"
#include "output/WholeFile.h"
#include "tree/BranchCount.h"
#include "tree/Clock.h"
#include "values/MessageText.h"
#include "values/ParameterFile.h"

namespace {

using namespace arbolith;
using namespace arbolith::cli;

constexpr int kExitWriteFailed = 1;
constexpr int kExitUsage = 2;

// Messages hold file names and arguments as given: they are made printable, one line each.
void Complain(const std::string& message) {
    std::fprintf(stderr, "arbolith-render: %s\n", Printable(message).c_str());
}

// Help, the version, the presets: text that did not reach standard output is a failure like a
// file that was not written.
int Print(const std::string& text) {
    // A failed write as the text goes out sets errno then; a later one, at the flush.
    if (std::fputs(text.c_str(), stdout) == EOF || !StandardOutputDelivered()) {
        Complain(std::string("cannot write standard output: ") + std::strerror(errno));
        return kExitWriteFailed;
    }
    return 0;
}

// The largest tree of the series: with a random limb count, each second has its own.
BranchCount LargestTree(const RenderOptions& options, std::uint32_t first) {
    const TreeOrder& tree = options.tree;
    BranchCount largest = CountBranches(tree.parameters, tree.path, first);
    if (tree.parameters.limbsDegree == 0) {
        for (int n = 2; n <= options.count; ++n) {
            const BranchCount count = CountBranches(tree.parameters, tree.path,
                                                    first + static_cast<std::uint32_t>(n - 1));
            largest.branches = std::max(largest.branches, count.branches);
            largest.unfinishedForks = std::max(largest.unfinishedForks, count.unfinishedForks);
            largest.beyond64Bits = largest.beyond64Bits || count.beyond64Bits;
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
    if (largest.beyond64Bits) {
        Complain(tree + " would have more than " + std::to_string(branches) +
                 " branches, past what 64 bits count: it could never be drawn, whatever "
                 "--max-branches says; lower --levels or --limbs");
        return false;
    }
    if (branches <= options.maxBranches) {
        return true;
    }
    Complain(tree + " would have " + std::to_string(branches) +
             " branches, more than --max-branches " + std::to_string(options.maxBranches) +
             "; lower --levels or --limbs, or raise --max-branches");
    return false;
}

std::string FilesWritten(int written, int count) {
    return std::to_string(written) + " of " + std::to_string(count) + " files written";
}

std::string Counted(std::uint64_t n, const char* one, const char* many) {
    return std::to_string(n) + ' ' + (n == 1 ? one : many);
}

// What a mesh holds, in words.
std::string MeshHolds(const MeshCounts& counts) {
    std::string holds = Counted(counts.branches, "branch", "branches") + ", " +
                        Counted(counts.vertices, "vertex", "vertices") + ", " +
                        Counted(counts.triangles, "triangle", "triangles");
    if (counts.leftOut > 0) {
        holds += "; " + Counted(counts.leftOut, "branch", "branches") +
                 " left out, beyond the range of the file's numbers";
    }
    return holds;
}

// What a 3-D file holds: its mesh, or each level of detail.
std::string FileHolds(const WriteResult& result, int levelsOfDetail) {
    if (levelsOfDetail == 0) {
        return MeshHolds(result.mesh);
    }
    std::string holds =
        std::to_string(levelsOfDetail) + " levels of detail: LOD0 " + MeshHolds(result.mesh);
    for (std::size_t level = 0; level < result.lesserDetails.size(); ++level) {
        holds += "; LOD" + std::to_string(level + 1) + ' ' + MeshHolds(result.lesserDetails[level]);
    }
    return holds;
}

int Render(const RenderOptions& options, std::uint32_t first) {
    CatchInterrupts();
    const bool toStdout = options.output == "-";
    const bool series = options.count > 1;
    const Format format = *options.format;
    for (int n = 1; n <= options.count; ++n) {
        TreeOrder tree = options.tree;
        tree.second = first + static_cast<std::uint32_t>(n - 1);
        const std::string path =
            toStdout ? "-" : OutputName(options.output, n, options.count, tree.second);
        const auto shown = [](const std::string& file) {
            return file == "-" ? std::string("standard output") : file;
        };
        TreeFileResult result;
        // Small trees never ask the monitor, so look for an interrupt here as well.
        if (InterruptSignal() != 0) {
            result.outcome = WriteOutcome::Stopped;
        } else {
            Progress progress(Printable(shown(path)),
                              CountBranches(tree.parameters, tree.path, tree.second));
            WriteSettings settings{options.width, options.height, &progress, {}, {}, options.fit};
            settings.levelsOfDetail = options.levelsOfDetail;
            result = WriteTreeFile(path, format, tree, settings);
        }
        const std::string second = std::to_string(tree.second);
        switch (result.outcome) {
        case WriteOutcome::Written:
            Complain(
                "wrote " + shown(path) + ": the tree of second " + second + " (--time " + second +
                ")" +
                (InfoOf(format).model ? ", " + FileHolds(result, options.levelsOfDetail) : ""));
            break;
        case WriteOutcome::Stopped:
            // What went to a stream is there: said, never denied.
            Complain("interrupted; " + shown(path) +
                     (result.streamed == 0
                          ? " not written"
                          : " received only the first " + CountText(result.streamed) + " bytes") +
                     (series ? " (" + FilesWritten(n - 1, options.count) + ")" : ""));
            return 128 + InterruptSignal();
        case WriteOutcome::Failed:
            Complain("cannot write " + shown(result.failedFile) + ": " +
                     (result.reason.empty() ? "the output took no more bytes" : result.reason) +
                     (series ? " (" + FilesWritten(n - 1, options.count) + ")" : ""));
            return kExitWriteFailed;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    HoldClosedStandardStreams();
    const std::vector<std::string> args(argv + 1, argv + argc);
    // A closed pipe is a failed write like any other: reported, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    const auto parsed = ParseRenderOptions(args, isatty(STDOUT_FILENO) != 0);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        Complain(error->message);
        return kExitUsage;
    }
    const RenderOptions& options = std::get<RenderOptions>(parsed);
    if (options.help) {
        return Print(HelpText());
    }
    if (options.listPresets) {
        return Print(PresetList());
    }
    if (options.version) {
        return Print(std::string("arbolith-render ") + ARBOLITH_VERSION + "\n");
    }
    if (options.showParams) {
        const ParameterSet set{options.tree.parameters, options.time,
                               options.tree.view.IsFront() ? std::nullopt
                                                           : std::optional(options.tree.view)};
        return Print(ParameterText(set));
    }
    // One reading of the clock for the whole run: each tree is exactly the tree of its second.
    const std::uint32_t first = options.time ? *options.time : SystemClockSeconds();
    if (!TreeWithinLimit(options, first)) {
        return kExitUsage;
    }
    return Render(options, first);
}
