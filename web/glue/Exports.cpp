// What the page and its worker call, bound as JavaScript functions, objects and arrays: text goes
// both ways as UTF-8 strings, counts of branches as numbers.
#include <emscripten/bind.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "mesh/ObjWriter.h"
#include "output/Formats.h"
#include "render/RasterSurface.h"
#include "tree/DrawingRun.h"
#include "tree/ExampleTree.h"
#include "tree/Presets.h"
#include "ui/FieldHints.h"
#include "ui/FieldNames.h"
#include "ui/TreeSeconds.h"
#include "ui/ViewDrag.h"
#include "values/KeyTable.h"
#include "values/MessageText.h"
#include "web/glue/GrowingPicture.h"
#include "web/glue/PageTree.h"
#include "web/glue/SplitRun.h"

using namespace arbolith;
using namespace arbolith::web;
using emscripten::val;

// Defined by the page's side (web/glue/Callbacks.js).
extern "C" {
void web_progress(double done);
void web_bytes(const void* data, std::size_t size);
}

namespace {

class WriteProgress final : public RunMonitor {
public:
    bool KeepGoing(std::uint64_t polygonsDrawn) override {
        web_progress(static_cast<double>(polygonsDrawn));
        return true;
    }
};

bool SendBytes(const void* data, std::size_t size) {
    web_bytes(data, size);
    return true;
}

// A field as the page shows it: its heading and label, the example tree's text, what it does
// and the range of its slider.
struct FieldRow {
    int id;
    std::string heading;
    std::string label;
    std::string text;
    std::string hint;
    double low;
    double high;
    double step;
};

val Fields() {
    const FieldTextList texts = TabOrderTexts(kExampleTree);
    const std::vector<FieldName> names = FieldNames();
    val rows = val::array();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const FieldHint& hint = HintOf(names[i].id);
        rows.call<void>("push", FieldRow{names[i].id, names[i].heading, names[i].label, texts[i],
                                         HintText(hint), hint.low, hint.high, hint.step});
    }
    return rows;
}

// A preset as the page offers it: the fields' texts and the second's.
struct PresetRow {
    std::string name;
    std::string description;
    FieldTextList fields;
    std::string second;
};

val PresetRows() {
    val rows = val::array();
    for (const Preset& preset : kPresets) {
        rows.call<void>("push",
                        PresetRow{std::string(preset.name), std::string(preset.description),
                                  TabOrderTexts(preset.parameters), std::to_string(preset.second)});
    }
    return rows;
}

// What the field's text reads as, said as a sentence, or nothing where it reads as itself.
std::string FieldReadingNote(int id, const std::string& text) {
    for (const FieldName& field : FieldNames()) {
        if (field.id == id) {
            return ReadingNote(field, text).value_or(std::string());
        }
    }
    return {};
}

// Seconds cross as numbers; below 0 is none.
double PressSecond(double clock, double latestPress, double shown) {
    const auto second = [](double value) {
        return value < 0 ? std::nullopt : std::optional(static_cast<std::uint32_t>(value));
    };
    return PressedSecond(static_cast<std::uint32_t>(clock), second(latestPress), second(shown));
}

// The order's picture `scale` times larger: its place and its size.
TreeOrder Larger(TreeOrder order, double scale) {
    order.placement = {scale, 0, 0};
    return order;
}

// The most bytes the tree's file in the format can take, a picture `scale` times larger, a 3-D
// file with that many levels of detail, told before it is written; infinity where the format has
// no such bound.
double MostBytes(const PageTree& tree, const std::string& format, const std::string& fileName,
                 double scale, int levelsOfDetail) {
    const std::optional<Format> named = FormatNamed(format);
    WriteSettings settings;
    settings.width = ScaledSide(kPictureWidth, scale);
    settings.height = ScaledSide(kPictureHeight, scale);
    settings.levelsOfDetail = std::clamp(levelsOfDetail, 0, kMostLevelsOfDetail);
    if (named == Format::Obj && !fileName.empty()) {
        settings.materialLibrary = MaterialLibraryPath(fileName);
    }
    const std::optional<std::uint64_t> most =
        named ? MostFileBytes(*named, Larger(tree.order, scale), settings) : std::nullopt;
    return most ? static_cast<double>(*most) : std::numeric_limits<double>::infinity();
}

// A row of the format table, with whether this build writes the format: the page writes PNG
// from its canvas and offers no other format that lacks a writer here.
struct FormatRow {
    std::string name;
    std::string description;
    bool written;
};

val FormatRows() {
    val rows = val::array();
    for (const FormatInfo& info : Formats()) {
        rows.call<void>("push", FormatRow{std::string(info.name), std::string(info.description),
                                          info.write != nullptr});
    }
    return rows;
}

// Draws the tree in this worker, showing it as it grows and once more at the end: how the run
// ended, or -1 when the tree cannot be drawn.
int DrawPageTree(const PageTree& tree) {
    if (!tree.error.empty()) {
        return -1;
    }
    PixelImage image(kPictureWidth, kPictureHeight);
    RasterSurface surface(image);
    GrowingPicture growing(image);
    const RunResult result = DrawTree(surface, tree.order, &growing);
    growing.Show(result.polygons);
    return static_cast<int>(result.forkLimitReached ? RunState::ForkLimit : RunState::Complete);
}

// Draws the tree's picture `scale` times larger at once and hands it over whole, for a file of
// the browser's own encoder; false when the entry cannot be drawn.
bool DrawLargerPicture(const TreeEntry& entry, double scale) {
    const PageTree tree = ReadPageTree(entry);
    if (!tree.error.empty() || !(scale >= kSmallestScale && scale <= kLargestScale)) {
        return false;
    }
    PixelImage image(ScaledSide(kPictureWidth, scale), ScaledSide(kPictureHeight, scale));
    RasterSurface surface(image);
    WriteProgress progress;
    const RunResult result = DrawTree(surface, Larger(tree.order, scale), &progress);
    GrowingPicture(image).Show(result.polygons);
    return true;
}

// Writes the tree in the format through web_bytes, a picture `scale` times larger, a 3-D file
// with that many levels of detail (0: the one full mesh); an OBJ names the material library
// beside a file of this name, or none for no name. True once written whole.
bool WriteEntry(const std::string& format, const TreeEntry& entry, const std::string& fileName,
                double scale, int levelsOfDetail) {
    const PageTree tree = ReadPageTree(entry);
    const std::optional<Format> named = FormatNamed(format);
    if (!tree.error.empty() || !named || !(scale >= kSmallestScale && scale <= kLargestScale)) {
        return false;
    }
    WriteProgress progress;
    WriteSettings settings;
    settings.width = ScaledSide(kPictureWidth, scale);
    settings.height = ScaledSide(kPictureHeight, scale);
    settings.monitor = &progress;
    settings.levelsOfDetail = std::clamp(levelsOfDetail, 0, kMostLevelsOfDetail);
    if (*named == Format::Obj && !fileName.empty()) {
        settings.materialLibrary = MaterialLibraryPath(fileName);
    }
    return WriteTree(*named, Larger(tree.order, scale), SendBytes, settings).outcome ==
           WriteOutcome::Written;
}

// The state is RunState's number, as the worker reports it; any other is a stopped run.
PageStatus TreeStatus(const PageTree& tree, double drawn, int state) {
    const bool known = state >= 0 && state <= static_cast<int>(RunState::ForkLimit);
    return StatusOf(tree, static_cast<std::uint64_t>(drawn),
                    known ? static_cast<RunState>(state) : RunState::Stopped);
}

ViewAngles TurnedByDrag(ViewAngles view, double dx, double dy) {
    return ViewAfterDrag(view, static_cast<std::int64_t>(dx), static_cast<std::int64_t>(dy));
}

template <std::size_t... I> void RegisterFieldTexts(std::index_sequence<I...>) {
    emscripten::value_array<FieldTextList> texts("FieldTextList");
    (texts.element(emscripten::index<I>()), ...);
}

} // namespace

EMSCRIPTEN_BINDINGS(arbolith) {
    using namespace emscripten;
    RegisterFieldTexts(std::make_index_sequence<std::tuple_size_v<FieldTextList>>());
    value_object<ViewAngles>("ViewAngles")
        .field("yaw", &ViewAngles::yaw)
        .field("pitch", &ViewAngles::pitch);
    value_object<FieldRow>("FieldRow")
        .field("id", &FieldRow::id)
        .field("heading", &FieldRow::heading)
        .field("label", &FieldRow::label)
        .field("text", &FieldRow::text)
        .field("hint", &FieldRow::hint)
        .field("low", &FieldRow::low)
        .field("high", &FieldRow::high)
        .field("step", &FieldRow::step);
    value_object<PresetRow>("PresetRow")
        .field("name", &PresetRow::name)
        .field("description", &PresetRow::description)
        .field("fields", &PresetRow::fields)
        .field("second", &PresetRow::second);
    value_object<FormatRow>("FormatRow")
        .field("name", &FormatRow::name)
        .field("description", &FormatRow::description)
        .field("written", &FormatRow::written);
    value_object<TreeEntry>("TreeEntry")
        .field("fields", &TreeEntry::fields)
        .field("second", &TreeEntry::second)
        .field("view", &TreeEntry::view)
        .field("branchLimit", &TreeEntry::branchLimit);
    value_object<PageLink>("PageLink")
        .field("fields", &PageLink::fields)
        .field("second", &PageLink::second)
        .field("view", &PageLink::view)
        .field(
            "errors", +[](const PageLink& link) { return val::array(link.errors); },
            +[](PageLink& link, val errors) { link.errors = vecFromJSArray<std::string>(errors); });
    value_object<PageStatus>("PageStatus")
        .field("text", &PageStatus::text)
        .field("command", &PageStatus::command);
    class_<PageTree>("PageTree")
        .property("error", &PageTree::error)
        .property("texts", &PageTree::texts)
        .property("link", &PageTree::link)
        .property(
            "second", +[](const PageTree& tree) { return tree.order.second; })
        .property(
            "total", +[](const PageTree& tree) { return static_cast<double>(tree.total.branches); })
        .property(
            "command",
            +[](const PageTree& tree) {
                return tree.order.branchLimit == kNoBranchLimit ? RenderCommand(tree.order)
                                                                : std::string();
            })
        .function("status", &TreeStatus)
        .function("mostBytes", &MostBytes);

    function("fields", &Fields);
    function("presets", &PresetRows);
    function("readingNote", &FieldReadingNote);
    function("pressedSecond", &PressSecond);
    function(
        "neighbourSecond", +[](double second, int step) {
            return static_cast<double>(NeighbourSecond(static_cast<std::uint32_t>(second), step));
        });
    function("drawLargerPicture", &DrawLargerPicture);
    function(
        "neighbourSeconds", +[](double second, int each) {
            val seconds = val::array();
            for (const std::uint32_t neighbour :
                 NeighbourSeconds(static_cast<std::uint32_t>(second), each)) {
                seconds.call<void>("push", static_cast<double>(neighbour));
            }
            return seconds;
        });
    function("formats", &FormatRows);
    function("readTree", &ReadPageTree);
    function(
        "readLink", +[](const std::string& fragment) { return ReadPageLink(fragment); });
    function("viewAfterDrag", &TurnedByDrag);
    function("drawTree", &DrawPageTree);
    class_<GrowingEnd>("GrowingEnd").constructor<const PageTree&>().function("go", &GrowingEnd::Go);
    class_<DrawingEnd>("DrawingEnd")
        .constructor<>()
        .function("play", &DrawingEnd::Play)
        .function("show", &DrawingEnd::Show);
    function("writeTree", &WriteEntry);
    constant("mostLevelsOfDetail", kMostLevelsOfDetail);
    function("materialLibraryName", &MaterialLibraryPath);
    // A message's text as every front end shows it, and a value quoted in one.
    function(
        "printable", +[](const std::string& text) { return Printable(text); });
    function(
        "quoted", +[](const std::string& value) { return Quoted(value, '"'); });
    function(
        "writeMaterialLibrary", +[] { return WriteMaterialLibrary(SendBytes); });
}
