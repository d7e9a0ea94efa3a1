#include "render/PipelineSurface.h"

#include <algorithm>
#include <optional>
#include <thread>

#include "tree/BranchCount.h"
#include "tree/DrawingRun.h"

namespace arbolith {

PipelineSurface::PipelineSurface(DrawingSurface& target)
    : target_(target), queue_([this](std::vector<SurfacePoint>& block) {
          target_.Quadrilaterals(block.data(), block.size() / 4);
      }) {}

void PipelineSurface::Quadrilaterals(const SurfacePoint* corners, std::size_t count) {
    gathering_.insert(gathering_.end(), corners, corners + 4 * count);
    if (gathering_.size() >= 4 * kBranchesABlock) {
        gathering_ = queue_.Send(std::move(gathering_));
    }
}

void PipelineSurface::Drain() {
    if (!gathering_.empty()) {
        gathering_ = queue_.Send(std::move(gathering_));
    }
    queue_.Drain();
}

void PipelineSurface::FillRectWhite(const SurfaceRect& rect) {
    Drain();
    target_.FillRectWhite(rect);
}

SurfaceObject PipelineSurface::CreatePen(PenStyle style, int width, Rgb colour) {
    Drain();
    return target_.CreatePen(style, width, colour);
}

SurfaceObject PipelineSurface::CreateSolidBrush(Rgb colour) {
    Drain();
    return target_.CreateSolidBrush(colour);
}

void PipelineSurface::SetPolyFillMode(PolyFillMode mode) {
    Drain();
    target_.SetPolyFillMode(mode);
}

SurfaceObject PipelineSurface::SelectObject(SurfaceObject object) {
    Drain();
    return target_.SelectObject(object);
}

void PipelineSurface::Polygon(const SurfacePoint* points, int count) {
    Drain();
    target_.Polygon(points, count);
}

bool PipelineSurface::DeleteObject(SurfaceObject object) {
    Drain();
    return target_.DeleteObject(object);
}

bool TwoCoresPay(const TreeOrder& order) {
    const std::uint64_t branches =
        CountBranches(order.parameters, order.path,
                      order.clock ? std::nullopt : std::optional(order.second))
            .branches;
    return std::thread::hardware_concurrency() >= 2 &&
           std::min(branches, order.branchLimit) >= kPipelineFrom;
}

RunResult DrawTreeOnBothCores(DrawingSurface& surface, const TreeOrder& order,
                              RunMonitor* monitor) {
    if (!TwoCoresPay(order)) {
        return DrawTree(surface, order, monitor);
    }
    PipelineSurface pipeline(surface);
    const RunResult result = DrawTree(pipeline, order, monitor);
    pipeline.Drain();
    return result;
}

} // namespace arbolith
