#pragma once

#include <cstddef>
#include <vector>

#include "render/BlockQueue.h"
#include "surface/DrawingSurface.h"
#include "tree/TreeOrder.h"
#include "tree/TreePainter.h"

namespace arbolith {

// Draws on another surface on a thread of its own: the blocks of branches a run hands over wait
// in a short queue for that thread, so that growing and drawing use two cores. Every call reaches
// the other surface in the order it was made: any call but a block waits until the blocks before
// it are drawn. At most a few blocks wait at a time, so memory stays flat.
class PipelineSurface final : public DrawingSurface {
public:
    explicit PipelineSurface(DrawingSurface& target);
    PipelineSurface(const PipelineSurface&) = delete;
    PipelineSurface& operator=(const PipelineSurface&) = delete;

    void FillRectWhite(const SurfaceRect& rect) override;
    SurfaceObject CreatePen(PenStyle style, int width, Rgb colour) override;
    SurfaceObject CreateSolidBrush(Rgb colour) override;
    void SetPolyFillMode(PolyFillMode mode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    void Polygon(const SurfacePoint* points, int count) override;
    bool DeleteObject(SurfaceObject object) override;
    bool TakesBlocks() const override { return true; }
    void Quadrilaterals(const SurfacePoint* corners, std::size_t count) override;

    // Waits until every block handed over is drawn.
    void Drain();

private:
    // Branches gather into blocks this large before they cross to the other thread, so that
    // handing them over costs little beside drawing them.
    static constexpr std::size_t kBranchesABlock = 8192;

    DrawingSurface& target_;
    // The block being gathered, on the growing thread only.
    std::vector<SurfacePoint> gathering_;
    BlockQueue<std::vector<SurfacePoint>> queue_;
};

// Below this many branches a tree draws sooner on one thread than a queue lets it on two.
inline constexpr std::uint64_t kPipelineFrom = 30000;

// Whether the order's tree is drawn or written sooner on two threads: the machine has a second
// core and the tree at least kPipelineFrom branches.
bool TwoCoresPay(const TreeOrder& order);

// Draws the order's tree on the surface as DrawTree does. A large tree grows on this thread while
// a second one draws it, where the machine has a second core.
RunResult DrawTreeOnBothCores(DrawingSurface& surface, const TreeOrder& order,
                              RunMonitor* monitor = nullptr);

} // namespace arbolith
