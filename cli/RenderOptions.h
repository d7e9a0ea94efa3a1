#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "tree/ExampleTree.h"
#include "tree/TreePainter.h"
#include "tree/TreeParameters.h"
#include "tree/ViewTurn.h"

namespace arbolith::cli {

// Pictures, and the tree in 3-D: binary glTF and Wavefront OBJ (with its material library).
enum class Format { Png, Svg, Pdf, Glb, Obj };

inline bool IsModel(Format format) {
    return format == Format::Glb || format == Format::Obj;
}

// Everything the command line can say.
struct RenderOptions {
    TreeParameters tree = kExampleTree;
    // Whether coinciding limbs are drawn once or every polygon is drawn.
    GrowthPath path = GrowthPath::RepeatsOnce;
    // The first tree's clock second; none means "now", read once at the start.
    std::optional<std::uint32_t> time;
    int width = 560;
    int height = 670;
    int count = 1;
    std::string output;
    std::optional<Format> format;
    // The side the picture shows the tree from.
    ViewAngles view;
    std::uint64_t maxBranches = 20'000'000;
    bool help = false;
    bool version = false;
};

inline constexpr int kMaxSide = 8192;
inline constexpr int kMaxCount = 100000;

// A command line that cannot be obeyed, in one line for standard error.
struct UsageError {
    std::string message;
};

// Reads the arguments (without the program name). Values are checked one by one and then
// together; the first fault found is the one reported.
std::variant<RenderOptions, UsageError> ParseRenderOptions(const std::vector<std::string>& args);

// The text of --help, generated from the same table the parser reads.
std::string HelpText();

} // namespace arbolith::cli
