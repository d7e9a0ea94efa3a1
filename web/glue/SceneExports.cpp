// What the page's 3-D view calls: the camera, the shaders with the prism they instance, and the
// growth of a tree's records in a worker, bound by embind.
#include <emscripten/bind.h>

#include "scene/BranchRecords.h"
#include "scene/OrbitCamera.h"
#include "scene/Shaders.h"
#include "web/glue/PageTree.h"

using namespace arbolith;
using namespace arbolith::web;
using emscripten::val;

// Defined by the page's side (web/glue/Callbacks.js): the solids' records and the ribbons'.
extern "C" void web_records(const float* solids, std::size_t solidFloats, const float* ribbons,
                            std::size_t ribbonFloats);

namespace {

constexpr std::size_t kRecordFloats = sizeof(BranchRecord) / sizeof(float);

class RecordsToPage final : public RecordOutput {
public:
    void Records(std::span<const BranchRecord> solids,
                 std::span<const BranchRecord> ribbons) override {
        web_records(solids.empty() ? nullptr : solids.front().base, solids.size() * kRecordFloats,
                    ribbons.empty() ? nullptr : ribbons.front().base,
                    ribbons.size() * kRecordFloats);
    }
};

// Grows the entry's tree into records, handed to the page's onRecords a block at a time; gives
// the box that holds them ({low, high}), or null when the entry cannot be drawn.
val GrowRecordsOf(const TreeEntry& entry) {
    const PageTree tree = ReadPageTree(entry);
    if (!tree.error.empty()) {
        return val::null();
    }
    RecordsToPage output;
    const RecordRun run = GrowRecords(tree.order, output, nullptr);
    val box = val::object();
    box.set("low", val::array(run.bounds.low.begin(), run.bounds.low.end()));
    box.set("high", val::array(run.bounds.high.begin(), run.bounds.high.end()));
    box.set("empty", run.bounds.empty);
    return box;
}

ModelBox BoxOf(val box) {
    ModelBox out;
    out.empty = box["empty"].as<bool>();
    for (int k = 0; k < 3; ++k) {
        out.low[k] = box["low"][k].as<double>();
        out.high[k] = box["high"][k].as<double>();
    }
    return out;
}

val Floats(const Matrix4& matrix) {
    return val::array(matrix.begin(), matrix.end());
}

} // namespace

EMSCRIPTEN_BINDINGS(arbolith_scene) {
    using namespace emscripten;
    value_object<Viewport>("Viewport")
        .field("width", &Viewport::width)
        .field("height", &Viewport::height);
    value_object<ScreenPoint>("ScreenPoint")
        .field("x", &ScreenPoint::x)
        .field("y", &ScreenPoint::y);
    class_<OrbitCamera>("OrbitCamera")
        .constructor<>()
        .property("yaw", &OrbitCamera::yaw)
        .property("pitch", &OrbitCamera::pitch)
        .property("distance", &OrbitCamera::distance)
        .property("verticalFieldOfView", &OrbitCamera::verticalFieldOfView)
        .property(
            "target",
            +[](const OrbitCamera& c) { return val::array(c.target.begin(), c.target.end()); })
        .function("orbit", &OrbitCamera::Orbit)
        .function("zoom", &OrbitCamera::Zoom)
        .function("pan", &OrbitCamera::Pan)
        .function(
            "frame", +[](OrbitCamera& c, val box, const Viewport& v) { c.Frame(BoxOf(box), v); })
        .function(
            "viewMatrix", +[](const OrbitCamera& c) { return Floats(c.ViewMatrix()); })
        .function(
            "projectionMatrix", +[](const OrbitCamera& c, const Viewport& v,
                                    val box) { return Floats(c.ProjectionMatrix(v, BoxOf(box))); })
        .function("pictureView", &OrbitCamera::PictureView);
    constant("orbitDegreesPerPixel", kOrbitDegreesPerPixel);
    function(
        "vertexShader", +[] { return VertexShader(GlslDialect::Es300); });
    function(
        "fragmentShader", +[] { return FragmentShader(GlslDialect::Es300); });
    constant("prismVertices", static_cast<int>(kPrismIndices));
    constant("ribbonVertices", static_cast<int>(kRibbonIndices));
    constant("recordTextureWidth", static_cast<int>(kRecordTextureWidth));
    function(
        "eye", +[](const OrbitCamera& c) {
            const Vec3 eye = c.Eye();
            return val::array(eye.begin(), eye.end());
        });
    function(
        "barkColour", +[] {
            const auto c = BarkColour();
            return val::array(c.begin(), c.end());
        });
    function(
        "skyBackground", +[] { return val::array(kSkyBackground.begin(), kSkyBackground.end()); });
    function("growRecords", &GrowRecordsOf);
}
