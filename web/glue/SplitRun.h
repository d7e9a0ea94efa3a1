#pragma once

#include <emscripten/val.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "render/PixelImage.h"
#include "render/RasterSurface.h"
#include "render/SurfaceCalls.h"
#include "tree/DrawingRun.h"
#include "web/glue/GrowingPicture.h"
#include "web/glue/PageTree.h"

namespace arbolith::web {

// A large tree's run split between two workers of the page, each with a module of its own, as
// growth and the rasterizer share two cores natively. The growing end hands the run's calls over
// in blocks (web_calls); the drawing end plays them on the picture and shows it as it grows.
// Without shared memory the growing end cannot wait for the drawing end on its thread, so it
// pauses instead once it has handed over as many blocks as it may, and goes on when told.
class GrowingEnd {
public:
    explicit GrowingEnd(const PageTree& tree);

    // Grows until `blocks` more blocks are handed over (infinity: to the end) or the run ends:
    // RunState's number, Drawing while paused.
    int Go(double blocks);

private:
    class Credit final : public RunMonitor {
    public:
        explicit Credit(const CallWriter& writer) : writer_(writer) {}
        bool KeepGoing(std::uint64_t) override { return true; }
        bool Pause(std::uint64_t) override { return writer_.BlocksSent() >= until; }
        std::uint64_t until = 0;

    private:
        const CallWriter& writer_;
    };

    // Branches gather into blocks this large before they cross to the other worker.
    static constexpr std::size_t kBranchesABlock = 8192;

    CallWriter writer_;
    Credit credit_;
    std::optional<PausableRun> run_;
};

class DrawingEnd {
public:
    DrawingEnd();

    // Plays a block of the growing end's, a Uint8Array, showing the picture if it is time to;
    // false for bytes that are no such block.
    bool Play(const emscripten::val& bytes);
    // Shows the picture as it is, with the polygons it holds.
    void Show();

private:
    PixelImage image_;
    RasterSurface surface_;
    CallPlayer player_;
    GrowingPicture growing_;
    std::vector<SurfacePoint> block_;
};

} // namespace arbolith::web
