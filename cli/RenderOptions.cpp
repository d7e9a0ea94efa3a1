#include "cli/RenderOptions.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <limits>
#include <sstream>
#include <string_view>

#include "numbers/DecimalText.h"
#include "tree/Presets.h"
#include "values/KeyTable.h"
#include "values/MessageText.h"
#include "values/ParameterFile.h"
#include "values/ValueText.h"

namespace arbolith::cli {

namespace {

// Why a value was refused: what was expected instead, or, for a file the value names, a complaint
// that stands on its own.
struct Refusal {
    Refusal(std::string expected_) : expected(std::move(expected_)) {}
    Refusal(const char* expected_) : expected(expected_) {}
    static Refusal Complaint(std::string text) {
        Refusal refusal("");
        refusal.complaint = std::move(text);
        return refusal;
    }
    std::string expected;
    std::string complaint;
};

// Stores `value` into `field`, or says what was expected.
template <typename Field, typename Value>
std::optional<Refusal> Store(const std::optional<Value>& value, Field& field,
                             std::string_view expected) {
    if (!value) {
        return std::string(expected);
    }
    field = static_cast<Field>(*value);
    return std::nullopt;
}

// Joins names with `separator`.
template <typename Rows, typename Name>
std::string Joined(const Rows& rows, Name name, std::string_view separator) {
    std::string list;
    for (const auto& row : rows) {
        list += (list.empty() ? "" : std::string(separator)) + std::string(name(row));
    }
    return list;
}

// The formats as --format's value name shows them: png|svg|pdf|glb|obj.
std::string_view FormatChoices() {
    static const std::string choices = Joined(
        Formats(), [](const FormatInfo& info) { return info.name; }, "|");
    return choices;
}

// The presets as --preset's value name shows them: example|bush|...
std::string_view PresetChoices() {
    static const std::string choices = Joined(
        kPresets, [](const Preset& preset) { return preset.name; }, "|");
    return choices;
}

// The clock second and the view are the set's only where it names them.
void Take(const ParameterSet& set, RenderOptions& options) {
    options.tree.parameters = set.parameters;
    if (set.second) {
        options.tree.second = *set.second;
        options.time = set.second;
    }
    if (set.view) {
        options.tree.view = *set.view;
        options.viewAsked = false;
    }
}

// The extensions a sentence lists: .png, .svg, .pdf, .glb or .obj.
std::string ExtensionList() {
    std::string list;
    const auto formats = Formats();
    for (std::size_t i = 0; i < formats.size(); ++i) {
        list += i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ";
        list += formats[i].extension;
    }
    return list;
}

// One row per option: the parser, the help text and its defaults all come from here. The tree's
// values come from the table every front end shares (values/KeyTable.h).
struct OwnOption {
    std::string_view name;
    std::string_view alias;     // a short form, or empty
    std::string_view valueName; // empty for an option that takes no value
    std::string_view help;
    // Stores the value; gives what was expected when the value is not acceptable.
    std::optional<Refusal> (*apply)(std::string_view value, RenderOptions& options);
    // The value as it stands, for the help's defaults; null when there is none to show.
    std::string (*show)(const RenderOptions& options);
};

const std::array kOwnOptions{
    OwnOption{"--output", "-o", "FILE",
              "where to write the picture; - for standard output. With --count, the name "
              "holds {n} (the tree's number, 1 to N) or {time} (its second)",
              [](std::string_view v, RenderOptions& o) -> std::optional<Refusal> {
                  if (v.empty()) {
                      return "a file name, or - for standard output";
                  }
                  o.output = v;
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--format", "", FormatChoices(),
              "the file's format: a picture, or the tree in 3-D as binary glTF or as OBJ with "
              "its .mtl beside it (to standard output, a device or a FIFO the OBJ goes alone, "
              "naming no material); by default the output name's extension tells it, and "
              "standard output gets png",
              [](std::string_view v, RenderOptions& o) -> std::optional<Refusal> {
                  o.format = FormatNamed(v);
                  if (!o.format) {
                      return FormatNameList();
                  }
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--params", "", "FILE",
              "take the tree's values from a parameter file: KEY = VALUE lines under the names "
              "of the options below, # for comments; every value but time and view must be "
              "given. - reads standard input",
              [](std::string_view v, RenderOptions& o) -> std::optional<Refusal> {
                  if (v.empty()) {
                      return "a parameter file's name, or - for standard input";
                  }
                  const std::string path(v);
                  const ParameterReading read = ReadParameterFile(path);
                  if (const auto* fault = std::get_if<ParameterFault>(&read)) {
                      return Refusal::Complaint(
                          DescribeFault(path == "-" ? "standard input" : path, *fault));
                  }
                  Take(std::get<ParameterSet>(read), o);
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--preset", "", PresetChoices(),
              "take the values and the second of a named tree; --list-presets shows them",
              [](std::string_view v, RenderOptions& o) -> std::optional<Refusal> {
                  const Preset* preset = FindPreset(v);
                  if (preset == nullptr) {
                      return "one of " +
                             Joined(
                                 kPresets, [](const Preset& p) { return p.name; }, ", ") +
                             " (see --list-presets)";
                  }
                  Take({preset->parameters, preset->second, std::nullopt}, o);
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--size", "", "WxH",
              "the picture in pixels (for PDF, in points), the tree keeping its place from the "
              "top left unless --fit is given; left out, the canvas's size times --zoom",
              [](std::string_view v, RenderOptions& o) -> std::optional<Refusal> {
                  const auto size = ReadSize(v, kMaxSide);
                  if (!size) {
                      return "WIDTHxHEIGHT, each from 1 to " + std::to_string(kMaxSide) +
                             ", such as 560x670";
                  }
                  o.width = size->width;
                  o.height = size->height;
                  o.sizeAsked = true;
                  return std::nullopt;
              },
              [](const RenderOptions& o) {
                  return std::to_string(o.width) + 'x' + std::to_string(o.height);
              }},
    OwnOption{"--zoom", "", "K",
              "draw the picture K times larger and sharp, for prints and wallpapers: every "
              "point, width and outline K times (the outline the nearest whole number of pixels "
              "wide); 1 is the canvas's picture, pixel for pixel. Pictures only",
              [](std::string_view v, RenderOptions& o) -> std::optional<Refusal> {
                  const auto zoom = ReadFiniteDouble(v);
                  if (!zoom || !(*zoom >= kSmallestScale && *zoom <= kLargestScale)) {
                      return "a number from " + ShortestText(kSmallestScale) + " to " +
                             ShortestText(kLargestScale) + ", such as 2 or 2.5";
                  }
                  o.zoom = *zoom;
                  o.tree.placement = {*zoom, 0, 0};
                  return std::nullopt;
              },
              [](const RenderOptions& o) {
                  return ShortestText(o.zoom);
              }},
    OwnOption{"--fit", "", "",
              "place and scale the tree to fill the picture, a margin round it, instead of "
              "drawing it where the canvas has it: --size 1920x1080 --fit makes a wallpaper. "
              "Pictures only",
              [](std::string_view, RenderOptions& o) -> std::optional<Refusal> {
                  o.fit = true;
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--count", "", "N", "draw N trees, for N consecutive seconds",
              [](std::string_view v, RenderOptions& o) {
                  return Store(ReadUnsigned(v, 1, kMaxCount), o.count,
                               "a number of trees from 1 to " + std::to_string(kMaxCount));
              },
              [](const RenderOptions& o) {
                  return std::to_string(o.count);
              }},
    OwnOption{"--max-branches", "", "N",
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
    OwnOption{"--literal", "", "",
              "draw every polygon in its order, even the limbs that coincide exactly with an "
              "earlier sibling (limbs 2 to n of each fork below the last generation); the "
              "picture is the same, only slower. By default each such group is drawn once. A "
              "3-D file holds each coinciding solid once either way: only what counts toward "
              "--max-branches changes",
              [](std::string_view, RenderOptions& o) -> std::optional<Refusal> {
                  o.tree.path = GrowthPath::Literal;
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--lod", "", "N",
              "for a 3-D file: write N meshes of the tree in it, levels of detail named "
              "tree_LOD0 to tree_LOD<N-1>, each about half the triangles of the one before (the "
              "thinnest limbs with fewer sides, then dropped into their parents), with the same "
              "trunk and reach. Without it the file holds the one full mesh, named tree",
              [](std::string_view v, RenderOptions& o) {
                  return Store(ReadUnsigned(v, 1, kMostLevelsOfDetail), o.levelsOfDetail,
                               "a number of levels of detail from 1 to " +
                                   std::to_string(kMostLevelsOfDetail));
              },
              nullptr},
    OwnOption{"--show-params", "", "",
              "print the tree's values, as the options before and after it leave them, as a "
              "parameter file that --params reads, and exit; it names the second only where "
              "--time, --params or --preset gave one",
              [](std::string_view, RenderOptions& o) -> std::optional<Refusal> {
                  o.showParams = true;
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--list-presets", "", "", "list the presets, a line each, and exit",
              [](std::string_view, RenderOptions& o) -> std::optional<Refusal> {
                  o.listPresets = true;
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--help", "-h", "", "show this help and exit",
              [](std::string_view, RenderOptions& o) -> std::optional<Refusal> {
                  o.help = true;
                  return std::nullopt;
              },
              nullptr},
    OwnOption{"--version", "-V", "", "show the version and exit",
              [](std::string_view, RenderOptions& o) -> std::optional<Refusal> {
                  o.version = true;
                  return std::nullopt;
              },
              nullptr},
};

// An option of the command line: one of its own, or a value of the tree under its shared name.
struct Option {
    std::string name;
    const OwnOption* own = nullptr;
    const TreeKey* key = nullptr;

    std::string_view Alias() const { return own != nullptr ? own->alias : std::string_view(); }
    std::string_view ValueName() const { return own != nullptr ? own->valueName : key->valueName; }
    std::string_view Help() const { return own != nullptr ? own->help : key->help; }
    // Stores the value; gives what was expected when it is not acceptable.
    std::optional<Refusal> Apply(std::string_view value, RenderOptions& options) const {
        if (own != nullptr) {
            return own->apply(value, options);
        }
        if (!key->read(value, options.tree)) {
            return std::string(key->expected);
        }
        if (key->name == kTimeKey) {
            options.time = options.tree.second;
        }
        options.viewAsked = options.viewAsked || key->name == kViewKey;
        return std::nullopt;
    }
    // The default, for the help; nothing where there is none to show.
    std::optional<std::string> Default(const RenderOptions& defaults) const {
        if (own != nullptr) {
            return own->show != nullptr ? std::optional(own->show(defaults)) : std::nullopt;
        }
        return key->name == kTimeKey ? std::nullopt : std::optional(key->write(defaults.tree));
    }
};

// The options in the order help lists them: where to write and how, the tree's values (a file or a
// preset of them, then each value), the rest.
const std::vector<Option>& Options() {
    static const std::vector<Option> options = [] {
        std::vector<Option> list;
        for (const OwnOption& own : kOwnOptions) {
            list.push_back({std::string(own.name), &own, nullptr});
            if (own.name == "--preset") {
                for (const TreeKey& key : TreeKeys()) {
                    list.push_back({"--" + std::string(key.name), nullptr, &key});
                }
            }
        }
        return list;
    }();
    return options;
}

// The long option `name` (without "=VALUE") names: itself, or the one option it begins, as
// getopt_long reads it. Gives what is wrong when it names none or several.
std::variant<const Option*, std::string> FindLongOption(std::string_view name) {
    std::vector<const Option*> begun;
    for (const Option& option : Options()) {
        if (option.name == name) {
            return &option;
        }
        if (option.name.starts_with(name)) {
            begun.push_back(&option);
        }
    }
    if (begun.size() == 1) {
        return begun.front();
    }
    if (begun.empty()) {
        return "unknown option " + Quoted(name) + "; see --help";
    }
    std::string names;
    for (const Option* option : begun) {
        names += (names.empty() ? "" : ", ") + option->name;
    }
    return "ambiguous option " + Quoted(name) + ": it could be any of " + names;
}

const Option* FindShortOption(char letter) {
    const auto& options = Options();
    const auto found = std::find_if(options.begin(), options.end(), [&](const Option& o) {
        return o.Alias().size() == 2 && o.Alias()[1] == letter;
    });
    return found == options.end() ? nullptr : &*found;
}

// One option as an argument gave it: the option, the name it is reported by, and the value
// written into the same argument (--name=VALUE, -oVALUE), if any.
struct GivenOption {
    const Option* option;
    std::string name;
    std::optional<std::string_view> attached;
};

// The options of one argument that begins with '-': a long one, or letters that each name a
// short one until one takes a value, which is then the rest of the argument, as getopt reads
// them.
std::variant<std::vector<GivenOption>, std::string> ReadOptionArgument(std::string_view arg) {
    if (arg.starts_with("--")) {
        const std::size_t equals = arg.find('=');
        const auto found = FindLongOption(arg.substr(0, equals));
        if (const auto* problem = std::get_if<std::string>(&found)) {
            return *problem;
        }
        const Option* option = std::get<const Option*>(found);
        std::optional<std::string_view> attached;
        if (equals != std::string_view::npos) {
            attached = arg.substr(equals + 1);
        }
        return std::vector{GivenOption{option, option->name, attached}};
    }
    std::vector<GivenOption> given;
    for (std::size_t at = 1; at < arg.size(); ++at) {
        const Option* option = FindShortOption(arg[at]);
        if (option == nullptr) {
            return "unknown option " + Quoted(std::string("-") + arg[at]) + "; see --help";
        }
        given.push_back({option, std::string(option->Alias()), std::nullopt});
        if (!option->ValueName().empty()) {
            if (at + 1 < arg.size()) {
                given.back().attached = arg.substr(at + 1);
            }
            break;
        }
    }
    return given;
}

// The checks that concern several options at once.
std::optional<std::string> CheckTogether(RenderOptions& options, bool standardOutputIsTerminal) {
    if (options.output.empty()) {
        return "missing -o FILE: where to write the picture (- for standard output)";
    }
    const bool toStdout = options.output == "-";
    if (!options.format) {
        options.format = toStdout ? std::optional(Format::Png) : FormatOfPath(options.output);
        if (!options.format) {
            return "cannot tell the format of " + Quoted(options.output) +
                   ": expected a name ending in " + ExtensionList() + ", or --format " +
                   std::string(FormatChoices());
        }
    }
    if (toStdout && standardOutputIsTerminal && InfoOf(*options.format).binary) {
        std::string name(InfoOf(*options.format).name);
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        return "refusing to write binary " + name +
               " to a terminal; redirect standard output or give -o FILE";
    }
    if (!InfoOf(*options.format).model && options.levelsOfDetail > 0) {
        return "--lod " + std::to_string(options.levelsOfDetail) +
               " is for 3-D files (glb, obj): a picture has one level of detail";
    }
    if (InfoOf(*options.format).model && options.viewAsked && !options.tree.view.IsFront()) {
        return "--view " + std::to_string(options.tree.view.yaw) + ',' +
               std::to_string(options.tree.view.pitch) +
               " turns pictures only: a 3-D file holds the whole tree, to be turned in the viewer";
    }
    const bool zoomed = options.zoom != 1.0;
    if (InfoOf(*options.format).model && (zoomed || options.fit)) {
        return std::string(zoomed ? "--zoom" : "--fit") +
               " sizes pictures only: a 3-D file holds the tree at its own size, in metres";
    }
    if (zoomed && options.fit) {
        return "--zoom and --fit both size the tree: --fit chooses the size that fills the "
               "picture, so give one of them";
    }
    if (zoomed && !options.sizeAsked) {
        const int width = ScaledSide(options.width, options.zoom);
        const int height = ScaledSide(options.height, options.zoom);
        if (width > kMaxSide || height > kMaxSide) {
            return "--zoom " + ShortestText(options.zoom) + " makes a picture of " +
                   std::to_string(width) + 'x' + std::to_string(height) + " pixels, more than " +
                   std::to_string(kMaxSide) + " a side; give a smaller --zoom, or a --size";
        }
        options.width = width;
        options.height = height;
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

std::variant<RenderOptions, UsageError> ParseRenderOptions(const std::vector<std::string>& args,
                                                           bool standardOutputIsTerminal) {
    RenderOptions options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--" && !optionsEnded) {
            optionsEnded = true;
            continue;
        }
        if (optionsEnded || arg.size() < 2 || arg.front() != '-') {
            return UsageError{"unexpected argument " + Quoted(arg) +
                              ": expected options only, the output file after -o"};
        }
        const auto read = ReadOptionArgument(arg);
        if (const auto* problem = std::get_if<std::string>(&read)) {
            return UsageError{*problem};
        }
        for (const GivenOption& given : std::get<std::vector<GivenOption>>(read)) {
            const Option& option = *given.option;
            std::string_view value;
            if (option.ValueName().empty()) {
                if (given.attached) {
                    return UsageError{given.name + " takes no value, but was given " +
                                      Quoted(*given.attached)};
                }
            } else if (given.attached) {
                value = *given.attached;
            } else if (i + 1 < args.size()) {
                value = args[++i];
            } else {
                // No option accepts an empty value, so this only asks what it expects.
                const auto refused = option.Apply("", options);
                return UsageError{"missing value for " + given.name + ": expected " +
                                  (refused ? refused->expected : "a value")};
            }
            if (const auto refused = option.Apply(value, options)) {
                if (!refused->complaint.empty()) {
                    return UsageError{refused->complaint};
                }
                return UsageError{"invalid value " + Quoted(value) + " for " + given.name +
                                  ": expected " + refused->expected};
            }
            if (options.help || options.version || options.listPresets) {
                return options;
            }
        }
    }
    if (options.showParams) {
        return options;
    }
    if (auto problem = CheckTogether(options, standardOutputIsTerminal)) {
        return UsageError{std::move(*problem)};
    }
    return options;
}

std::vector<OptionHelp> DescribeOptions() {
    const RenderOptions defaults;
    std::vector<OptionHelp> described;
    for (const Option& option : Options()) {
        std::string text(option.Help());
        if (const auto value = option.Default(defaults)) {
            text += " (default " + *value + ")";
        }
        described.push_back({option.name, option.Alias(), option.ValueName(), std::move(text)});
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

std::string PresetList() {
    std::size_t width = 0;
    for (const Preset& preset : kPresets) {
        width = std::max(width, preset.name.size());
    }
    std::string list;
    for (const Preset& preset : kPresets) {
        list += std::string(preset.name) + std::string(width + 2 - preset.name.size(), ' ') +
                std::string(preset.description) + '\n';
    }
    return list;
}

} // namespace arbolith::cli
