#include "cli/RenderOptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <limits>
#include <sstream>
#include <string_view>

#include "cli/ValueText.h"

namespace arbolith::cli {

namespace {

// Stores `value` into `field`, or says what was expected.
template <typename Field, typename Value>
std::optional<std::string> Store(const std::optional<Value>& value, Field& field,
                                 std::string_view expected) {
    if (!value) {
        return std::string(expected);
    }
    field = static_cast<Field>(*value);
    return std::nullopt;
}

std::string TripleText(const IntTriple& t) {
    return std::to_string(t.x) + ',' + std::to_string(t.y) + ',' + std::to_string(t.z);
}

std::string ScaleText(double scale) {
    std::ostringstream text;
    text << scale;
    return text.str();
}

std::optional<Format> FormatNamed(std::string_view name) {
    static constexpr std::array<std::pair<std::string_view, Format>, 5> kNames{{
        {"png", Format::Png},
        {"svg", Format::Svg},
        {"pdf", Format::Pdf},
        {"glb", Format::Glb},
        {"obj", Format::Obj},
    }};
    for (const auto& [text, format] : kNames) {
        if (name == text) {
            return format;
        }
    }
    return std::nullopt;
}

// YAW,PITCH in whole degrees, each within its range.
std::optional<ViewAngles> ReadView(std::string_view text) {
    const std::size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return std::nullopt;
    }
    const auto yaw = ReadInt32(text.substr(0, comma));
    const auto pitch = ReadInt32(text.substr(comma + 1));
    if (!yaw || !pitch || *yaw < -kLargestYaw || *yaw > kLargestYaw || *pitch < -kLargestPitch ||
        *pitch > kLargestPitch) {
        return std::nullopt;
    }
    return ViewAngles{*yaw, *pitch};
}

constexpr std::string_view kDegrees = "whole degrees within 32 bits, such as 40";
constexpr std::string_view kTriple = "three whole numbers X,Y,Z within 32 bits, such as 280,640,0";

// One row per option: the parser, the help text and its defaults all come from here.
struct OptionSpec {
    std::string_view name;
    std::string_view alias;     // a short form, or empty
    std::string_view valueName; // empty for an option that takes no value
    std::string_view help;
    // Stores the value; gives what was expected when the value is not acceptable.
    std::optional<std::string> (*apply)(std::string_view value, RenderOptions& options);
    // The value as it stands, for the help's defaults; null when there is none to show.
    std::string (*show)(const RenderOptions& options);
};

const std::array kOptions{
    OptionSpec{"--output", "-o", "FILE",
               "where to write the picture; - for standard output. With --count, the name "
               "holds {n} (the tree's number, 1 to N) or {time} (its second)",
               [](std::string_view v, RenderOptions& o) -> std::optional<std::string> {
                   if (v.empty()) {
                       return "a file name, or - for standard output";
                   }
                   o.output = v;
                   return std::nullopt;
               },
               nullptr},
    OptionSpec{"--format", "", "png|svg|pdf|glb|obj",
               "the file's format: a picture, or the tree in 3-D as binary glTF or as OBJ with "
               "its .mtl beside it (to standard output, a device or a FIFO the OBJ goes alone, "
               "naming no material); by default the output name's extension tells it, and "
               "standard output gets png",
               [](std::string_view v, RenderOptions& o) -> std::optional<std::string> {
                   o.format = FormatNamed(v);
                   if (!o.format) {
                       return "png, svg, pdf, glb or obj";
                   }
                   return std::nullopt;
               },
               nullptr},
    OptionSpec{"--max-xy", "", "DEGREES", "maximal turn of a limb in the XY plane",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadInt32(v), o.tree.maxAngleXY, kDegrees);
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.tree.maxAngleXY);
               }},
    OptionSpec{"--max-yz", "", "DEGREES", "maximal turn of a limb in the YZ plane",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadInt32(v), o.tree.maxAngleYZ, kDegrees);
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.tree.maxAngleYZ);
               }},
    OptionSpec{"--max-xz", "", "DEGREES", "maximal turn of a limb in the XZ plane",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadInt32(v), o.tree.maxAngleXZ, kDegrees);
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.tree.maxAngleXZ);
               }},
    OptionSpec{"--scale", "", "FACTOR",
               "length of each limb relative to its parent; 0 draws a random factor from 0 to "
               "0.8 for every limb",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadFiniteDouble(v), o.tree.scaleFactor,
                                "a finite decimal number, such as 0.75");
               },
               [](const RenderOptions& o) {
                   return ScaleText(o.tree.scaleFactor);
               }},
    OptionSpec{"--limbs", "", "N",
               "limbs per fork; 0 draws a random count from 0 to 19 at every fork",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadInt32(v), o.tree.limbsDegree,
                                "a whole number within 32 bits, such as 3");
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.tree.limbsDegree);
               }},
    OptionSpec{"--reference", "", "X,Y,Z",
               "foot of the trunk: canvas pixels from the top left, and a depth that only "
               "sets the width",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadTriple(v), o.tree.referencePoint, kTriple);
               },
               [](const RenderOptions& o) {
                   return TripleText(o.tree.referencePoint);
               }},
    OptionSpec{"--vector", "", "X,Y,Z", "the trunk, from its foot to its top (y grows downward)",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadTriple(v), o.tree.firstVector, kTriple);
               },
               [](const RenderOptions& o) {
                   return TripleText(o.tree.firstVector);
               }},
    OptionSpec{"--levels", "", "N", "generations of limbs above the trunk, less one",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadInt32(v), o.tree.levels,
                                "a whole number within 32 bits, such as 7");
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.tree.levels);
               }},
    OptionSpec{"--view", "", "YAW,PITCH",
               "draw the tree seen from another side, in whole degrees: turned YAW (-180 to 180) "
               "about the vertical axis through the trunk's foot, positive bringing its front to "
               "the right, then tilted PITCH (-90 to 90), positive bringing its top toward the "
               "viewer. The desktop program's status line gives the angles of its view",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadView(v), o.view,
                                "two whole numbers of degrees YAW,PITCH, yaw from -180 to 180 "
                                "and pitch from -90 to 90, such as 30,-15");
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.view.yaw) + ',' + std::to_string(o.view.pitch);
               }},
    OptionSpec{"--time", "", "SECONDS",
               "the clock second (since 1970-01-01 UTC) that seeds the generator at every "
               "fork. Default: now, read once at the start and held for the whole run, so "
               "the picture is exactly the tree of the second printed on standard error "
               "even if drawing crosses into the next",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadUnsigned(v, 0, std::numeric_limits<std::uint32_t>::max()),
                                o.time, "whole seconds from 0 to 4294967295");
               },
               nullptr},
    OptionSpec{"--size", "", "WxH", "the canvas in pixels (for PDF, in points)",
               [](std::string_view v, RenderOptions& o) -> std::optional<std::string> {
                   const auto size = ReadSize(v, kMaxSide);
                   if (!size) {
                       return "WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxSide) +
                              ", such as 560x670";
                   }
                   o.width = size->width;
                   o.height = size->height;
                   return std::nullopt;
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.width) + 'x' + std::to_string(o.height);
               }},
    OptionSpec{"--count", "", "N", "draw N trees, for N consecutive seconds",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadUnsigned(v, 1, kMaxCount), o.count,
                                "a number of trees from 1 to " + std::to_string(kMaxCount));
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.count);
               }},
    OptionSpec{"--max-branches", "", "N",
               "refuse a tree with more branches than this, before drawing anything; a "
               "random limb count is known from the tree's second, and a series is judged by "
               "its largest tree",
               [](std::string_view v, RenderOptions& o) {
                   return Store(ReadUnsigned(v, 1, std::numeric_limits<std::uint64_t>::max()),
                                o.maxBranches, "a whole number of branches, at least 1");
               },
               [](const RenderOptions& o) {
                   return std::to_string(o.maxBranches);
               }},
    OptionSpec{"--literal", "", "",
               "draw every polygon in its order, even the limbs that coincide exactly with an "
               "earlier sibling (limbs 2 to n of each fork below the last generation); the "
               "picture is the same, only slower. By default each such group is drawn once",
               [](std::string_view, RenderOptions& o) -> std::optional<std::string> {
                   o.path = GrowthPath::Literal;
                   return std::nullopt;
               },
               nullptr},
    OptionSpec{"--help", "-h", "", "show this help and exit",
               [](std::string_view, RenderOptions& o) -> std::optional<std::string> {
                   o.help = true;
                   return std::nullopt;
               },
               nullptr},
    OptionSpec{"--version", "", "", "show the version and exit",
               [](std::string_view, RenderOptions& o) -> std::optional<std::string> {
                   o.version = true;
                   return std::nullopt;
               },
               nullptr},
};

const OptionSpec* FindOption(std::string_view name) {
    const auto found = std::find_if(kOptions.begin(), kOptions.end(), [&](const OptionSpec& o) {
        return o.name == name || (!o.alias.empty() && o.alias == name);
    });
    return found == kOptions.end() ? nullptr : &*found;
}

std::string Quoted(std::string_view text) {
    return "'" + std::string(text) + "'";
}

std::optional<Format> FormatFromName(std::string_view name) {
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos || name.find('/', dot) != std::string_view::npos) {
        return std::nullopt;
    }
    std::string extension(name.substr(dot + 1));
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return FormatNamed(extension);
}

// The checks that concern several options at once.
std::optional<std::string> CheckTogether(RenderOptions& options) {
    if (options.output.empty()) {
        return "missing -o FILE: where to write the picture (- for standard output)";
    }
    const bool toStdout = options.output == "-";
    if (!options.format) {
        options.format = toStdout ? std::optional(Format::Png) : FormatFromName(options.output);
        if (!options.format) {
            return "cannot tell the format of " + Quoted(options.output) +
                   ": expected a name ending in .png, .svg, .pdf, .glb or .obj, or "
                   "--format png|svg|pdf|glb|obj";
        }
    }
    if (IsModel(*options.format) && !options.view.IsFront()) {
        return "--view " + std::to_string(options.view.yaw) + ',' +
               std::to_string(options.view.pitch) +
               " turns pictures only: a 3-D file holds the whole tree, to be turned in the viewer";
    }
    if (options.count > 1) {
        const std::string count = std::to_string(options.count);
        if (toStdout) {
            return "--count " + count + " cannot go to standard output: expected a file name " +
                   "holding {n} or {time}";
        }
        if (options.output.find("{n}") == std::string::npos &&
            options.output.find("{time}") == std::string::npos) {
            return "--count " + count + " needs {n} or {time} in the output name " +
                   Quoted(options.output) + ", or every tree would overwrite the one before";
        }
    }
    if (options.time &&
        std::uint64_t{*options.time} + static_cast<std::uint64_t>(options.count) - 1 >
            std::numeric_limits<std::uint32_t>::max()) {
        return "--time " + std::to_string(*options.time) + " with --count " +
               std::to_string(options.count) + " runs past the last 32-bit second, 4294967295";
    }
    return std::nullopt;
}

// Breaks `text` into indented lines of at most `width` characters, at spaces.
std::string Wrapped(const std::string& text, const std::string& indent, std::size_t width) {
    std::string wrapped;
    std::string line = indent;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        if (line.size() > indent.size() && line.size() + 1 + word.size() > width) {
            wrapped += line + '\n';
            line = indent;
        }
        if (line.size() > indent.size()) {
            line += ' ';
        }
        line += word;
    }
    return wrapped + line + '\n';
}

} // namespace

std::variant<RenderOptions, UsageError> ParseRenderOptions(const std::vector<std::string>& args) {
    RenderOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view arg = args[i];
        std::optional<std::string_view> inlineValue;
        if (arg.starts_with("--")) {
            if (const std::size_t equals = arg.find('='); equals != std::string_view::npos) {
                inlineValue = arg.substr(equals + 1);
                arg = arg.substr(0, equals);
            }
        }
        const OptionSpec* option = FindOption(arg);
        if (option == nullptr) {
            if (arg.size() > 1 && arg.front() == '-') {
                return UsageError{"unknown option " + Quoted(arg) + "; see --help"};
            }
            return UsageError{"unexpected argument " + Quoted(arg) +
                              ": expected options only, the output file after -o"};
        }
        std::string_view value;
        if (option->valueName.empty()) {
            if (inlineValue) {
                return UsageError{std::string(option->name) + " takes no value, but was given " +
                                  Quoted(*inlineValue)};
            }
        } else if (inlineValue) {
            value = *inlineValue;
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            // No option accepts an empty value, so this only asks what it expects.
            const auto expected = option->apply("", options);
            return UsageError{"missing value for " + std::string(arg) + ": expected " +
                              expected.value_or("a value")};
        }
        if (const auto expected = option->apply(value, options)) {
            return UsageError{"invalid value " + Quoted(value) + " for " + std::string(arg) +
                              ": expected " + *expected};
        }
        if (options.help || options.version) {
            return options;
        }
    }
    if (auto problem = CheckTogether(options)) {
        return UsageError{std::move(*problem)};
    }
    return options;
}

std::vector<OptionHelp> DescribeOptions() {
    const RenderOptions defaults;
    std::vector<OptionHelp> described;
    for (const OptionSpec& option : kOptions) {
        std::string text(option.help);
        if (option.show != nullptr) {
            text += " (default " + option.show(defaults) + ")";
        }
        described.push_back({option.name, option.alias, option.valueName, std::move(text)});
    }
    return described;
}

std::string HelpText() {
    std::string text =
        "Usage: arbolith-render " + std::string(kUsage) + '\n' + std::string(kAbout) + "\n\n";
    for (const OptionHelp& option : DescribeOptions()) {
        std::string head = "  ";
        if (!option.alias.empty()) {
            head += std::string(option.alias) + ", ";
        }
        head += option.name;
        if (!option.valueName.empty()) {
            head += ' ';
            head += option.valueName;
        }
        text += head + '\n' + Wrapped(option.text, "      ", 79);
    }
    std::string statuses;
    for (const ExitStatusHelp& code : kExitStatuses) {
        statuses += (statuses.empty() ? "" : ", ") + std::to_string(code.status) + ' ' +
                    std::string(code.meaning);
    }
    return text + '\n' + Wrapped("Exit status: " + statuses + '.', "", 79);
}

} // namespace arbolith::cli
