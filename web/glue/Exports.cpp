// The functions the page and its worker call. Text goes both ways as UTF-8; every answer with
// more than one part is JSON, valid until the next call.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <string>
#include <vector>

#include "mesh/ObjWriter.h"
#include "output/Formats.h"
#include "render/RasterSurface.h"
#include "tree/DrawingRun.h"
#include "tree/ExampleTree.h"
#include "ui/FieldNames.h"
#include "ui/FieldTexts.h"
#include "ui/ViewDrag.h"
#include "values/ShareLink.h"
#include "web/glue/Json.h"
#include "web/glue/PageOrder.h"
#include "web/glue/PageStatus.h"

using namespace arbolith;
using namespace arbolith::web;

// Defined by the page's side (web/glue/Callbacks.js).
extern "C" {
void web_picture(const std::uint8_t* rgba, int width, int height, double drawn);
void web_progress(double done);
void web_bytes(const void* data, std::size_t size);
}

namespace {

std::string answer;

const char* Answer(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

std::vector<std::string> TextsOf(const TreeParameters& parameters) {
    const auto texts = FieldTextsOf(parameters);
    std::vector<std::string> ordered;
    for (const FieldName& field : FieldNames()) {
        for (const auto& [id, text] : texts) {
            if (id == field.id) {
                ordered.push_back(text);
            }
        }
    }
    return ordered;
}

std::string ViewOf(ViewAngles view) {
    return std::to_string(view.yaw) + ',' + std::to_string(view.pitch);
}

// Hands the picture to the page as RGBA, which is what a canvas takes.
void ShowPicture(const PixelImage& image, std::uint64_t drawn) {
    static std::vector<std::uint8_t> rgba;
    rgba.resize(static_cast<std::size_t>(image.Width()) * static_cast<std::size_t>(image.Height()) *
                4);
    std::size_t at = 0;
    for (int y = 0; y < image.Height(); ++y) {
        const Pixel* row = image.Row(y);
        for (int x = 0; x < image.Width(); ++x) {
            const Rgb colour = RgbOf(row[x]);
            rgba[at++] = colour.red;
            rgba[at++] = colour.green;
            rgba[at++] = colour.blue;
            rgba[at++] = 255;
        }
    }
    web_picture(rgba.data(), image.Width(), image.Height(), static_cast<double>(drawn));
}

// Shows the growing tree every so often: the picture at a poll holds exactly the polygons
// counted, so a run stopped there is the tree with that branch limit.
class GrowingPicture final : public RunMonitor {
public:
    explicit GrowingPicture(const PixelImage& image) : image_(image) {}
    bool KeepGoing(std::uint64_t polygonsDrawn) override {
        const double now = emscripten_get_now();
        if (now - shown_ >= kIntervalMilliseconds) {
            shown_ = now;
            ShowPicture(image_, polygonsDrawn);
        }
        return true;
    }

private:
    static constexpr double kIntervalMilliseconds = 100;
    const PixelImage& image_;
    double shown_ = emscripten_get_now();
};

class WriteProgress final : public RunMonitor {
public:
    bool KeepGoing(std::uint64_t polygonsDrawn) override {
        web_progress(static_cast<double>(polygonsDrawn));
        return true;
    }
};

} // namespace

extern "C" {

// The fields in tab order, each with its heading, label and the example tree's text.
EMSCRIPTEN_KEEPALIVE const char* web_fields() {
    const std::vector<std::string> texts = TextsOf(kExampleTree);
    std::string json = "[";
    const std::vector<FieldName> fields = FieldNames();
    for (std::size_t i = 0; i < fields.size(); ++i) {
        json += (i > 0 ? "," : "") + std::string("{\"id\":") + std::to_string(fields[i].id) +
                ",\"heading\":" + JsonString(fields[i].heading) +
                ",\"label\":" + JsonString(fields[i].label) + ",\"text\":" + JsonString(texts[i]) +
                '}';
    }
    return Answer(json + ']');
}

// The format table's rows, each with whether this build writes it: the page writes PNG from its
// canvas and offers no other format that lacks a writer here.
EMSCRIPTEN_KEEPALIVE const char* web_formats() {
    std::string json = "[";
    for (const FormatInfo& info : Formats()) {
        json += (json.size() > 1 ? "," : "") + std::string("{\"name\":") + JsonString(info.name) +
                ",\"description\":" + JsonString(info.description) +
                ",\"written\":" + (info.write != nullptr ? "true" : "false") + '}';
    }
    return Answer(json + ']');
}

// The page's order: its share link, its second and the texts of the values its fields read as,
// or why it cannot be drawn.
EMSCRIPTEN_KEEPALIVE const char* web_order(const char* lines) {
    const PageOrder page = ReadPageOrder(lines);
    if (!page.error.empty()) {
        return Answer("{\"error\":" + JsonString(page.error) + '}');
    }
    return Answer("{\"link\":" + JsonString(LinkOf(page.order)) +
                  ",\"second\":" + std::to_string(page.order.second) +
                  ",\"texts\":" + JsonStrings(TextsOf(page.order.parameters)) + '}');
}

// A share link's fields, second and view, and what is wrong in it.
EMSCRIPTEN_KEEPALIVE const char* web_read_link(const char* fragment) {
    const LinkReading link = ReadLink(fragment);
    return Answer("{\"texts\":" + JsonStrings(TextsOf(link.order.parameters)) + ",\"second\":" +
                  JsonString(link.hasSecond ? std::to_string(link.order.second) : "") +
                  ",\"view\":" + JsonString(ViewOf(link.order.view)) +
                  ",\"errors\":" + JsonStrings(link.errors) + '}');
}

// state: 0 drawing, 1 complete, 2 stopped, 3 at the fork limit.
EMSCRIPTEN_KEEPALIVE const char* web_status(const char* lines, double drawn, int state) {
    const PageOrder page = ReadPageOrder(lines);
    const PageStatus status =
        StatusOf(page.order, static_cast<std::uint64_t>(drawn), static_cast<RunState>(state));
    return Answer("{\"text\":" + JsonString(status.text) + ",\"command\":" +
                  JsonString(status.command) + ",\"total\":" + std::to_string(status.total) + '}');
}

EMSCRIPTEN_KEEPALIVE const char* web_view_after_drag(int yaw, int pitch, double dx, double dy) {
    return Answer(ViewOf(
        ViewAfterDrag({yaw, pitch}, static_cast<std::int64_t>(dx), static_cast<std::int64_t>(dy))));
}

// Draws the tree, showing it as it grows and once more at the end: 1 when it is whole, 3 when
// it stopped at the fork limit, -1 when the order cannot be drawn.
EMSCRIPTEN_KEEPALIVE int web_draw(const char* lines) {
    const PageOrder page = ReadPageOrder(lines);
    if (!page.error.empty()) {
        return -1;
    }
    PixelImage image(kPictureWidth, kPictureHeight);
    RasterSurface surface(image);
    GrowingPicture growing(image);
    const RunResult result = DrawTree(surface, page.order, &growing);
    ShowPicture(image, result.polygons);
    return result.forkLimitReached ? 3 : 1;
}

// Writes the tree in the format through web_bytes; an OBJ names the material library beside a
// file of this name. 1 when written, 0 when not, -1 when the order cannot be drawn.
EMSCRIPTEN_KEEPALIVE int web_write(const char* format, const char* lines, const char* fileName) {
    const PageOrder page = ReadPageOrder(lines);
    const std::optional<Format> named = FormatNamed(format);
    if (!page.error.empty() || !named) {
        return -1;
    }
    WriteProgress progress;
    WriteSettings settings;
    settings.monitor = &progress;
    if (*named == Format::Obj) {
        settings.materialLibrary = MaterialLibraryPath(fileName);
    }
    const WriteResult result = WriteTree(
        *named, page.order,
        [](const void* data, std::size_t size) {
            web_bytes(data, size);
            return true;
        },
        settings);
    return result.outcome == WriteOutcome::Written ? 1 : 0;
}

// The name of the material library an OBJ of this name names.
EMSCRIPTEN_KEEPALIVE const char* web_material_library_name(const char* objName) {
    return Answer(MaterialLibraryPath(objName));
}

EMSCRIPTEN_KEEPALIVE int web_write_material_library() {
    return WriteMaterialLibrary([](const void* data, std::size_t size) {
        web_bytes(data, size);
        return true;
    })
               ? 1
               : 0;
}

} // extern "C"
