#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "output/Formats.h"
#include "tree/ExampleTree.h"
#include "tree/TreeOrder.h"

namespace arbolith::cli {

// Everything the command line can say.
struct RenderOptions {
    // The tree's values, path and view; each tree of a series gets its second.
    TreeOrder tree{kExampleTree};
    // The first tree's clock second; none means "now", read once at the start.
    std::optional<std::uint32_t> time;
    // The view was asked for with --view, which a 3-D file cannot honour; a parameter file's view
    // is for pictures only.
    bool viewAsked = false;
    int width = kPictureWidth;
    int height = kPictureHeight;
    // The size was given; otherwise it is the canvas's times the tree's zoom.
    bool sizeAsked = false;
    // The tree drawn zoom times larger (the order's placement), or placed and scaled to fill the
    // picture.
    double zoom = 1.0;
    bool fit = false;
    int count = 1;
    std::string output;
    std::optional<Format> format;
    std::uint64_t maxBranches = 20'000'000;
    // For a 3-D file: this many levels of detail; 0 for the one full mesh.
    int levelsOfDetail = 0;
    // Print the tree's values as a parameter file instead of drawing.
    bool showParams = false;
    bool help = false;
    bool version = false;
    bool listPresets = false;
};

inline constexpr int kMaxSide = 8192;
inline constexpr int kMaxCount = 100000;

// A command line that cannot be obeyed, in one line for standard error.
struct UsageError {
    std::string message;
};

// Reads the arguments (without the program name) as getopt_long does: -oFILE as -o FILE,
// --output=FILE as --output FILE, short options that take no value grouped (-hV), a long option
// shortened to any prefix that names it alone, and -- ending the options. Values are checked
// one by one and then together; the first fault found is the one reported. A binary format is
// not written to standard output when that is a terminal.
std::variant<RenderOptions, UsageError> ParseRenderOptions(const std::vector<std::string>& args,
                                                           bool standardOutputIsTerminal);

// The text of --help, generated from the same table the parser reads.
std::string HelpText();
// The text of --list-presets: each preset's name and what it looks like, a line each.
std::string PresetList();

// What --help says besides the options; the manual page says the same.
inline constexpr std::string_view kUsage = "[OPTION]... -o FILE";
inline constexpr std::string_view kAbout =
    "Grows a random three-dimensional tree and draws it to a PNG, SVG or PDF file, or\n"
    "writes it in 3-D as glTF (.glb) or OBJ.\n"
    "The same values and the same second always draw the same tree.\n"
    "Options are read in order and the last one wins: --params and --preset set all\n"
    "the tree's values (and its second, and a file's view), so options after them\n"
    "change those and options before them are overridden.\n"
    "A long option may be shortened to any prefix that names it alone, such as --lev for "
    "--levels.";

struct ExitStatusHelp {
    int status;
    std::string_view meaning;
};
inline constexpr std::array kExitStatuses{
    ExitStatusHelp{0, "when every picture is written"},
    ExitStatusHelp{1, "when a file cannot be written"},
    ExitStatusHelp{2, "for a command line that cannot be obeyed (nothing is written then)"},
    ExitStatusHelp{130, "when interrupted (the picture in progress is not written)"},
};

// One option as --help presents it.
struct OptionHelp {
    std::string_view name;
    std::string_view alias;     // a short form, or empty
    std::string_view valueName; // empty for an option that takes no value
    std::string text;           // what it does, with its default where it has one
};

// The option table, in its order, as --help and the manual page present it.
std::vector<OptionHelp> DescribeOptions();

} // namespace arbolith::cli
