#include "render/PipelineSurface.h"

#include "tree/BranchCount.h"
#include "tree/DrawingRun.h"

namespace arbolith {

PipelineSurface::PipelineSurface(DrawingSurface& target)
    : target_(target), worker_([this] { Work(); }) {}

PipelineSurface::~PipelineSurface() {
    {
        const std::lock_guard guard(lock_);
        ending_ = true;
    }
    changed_.notify_all();
    worker_.join();
}

void PipelineSurface::Work() {
    std::unique_lock guard(lock_);
    for (;;) {
        changed_.wait(guard, [this] { return !queue_.empty() || ending_; });
        if (queue_.empty()) {
            return;
        }
        std::vector<SurfacePoint> block = std::move(queue_.front());
        queue_.pop_front();
        drawing_ = true;
        guard.unlock();
        changed_.notify_all();
        target_.Quadrilaterals(block.data(), block.size() / 4);
        guard.lock();
        drawing_ = false;
        spare_.push_back(std::move(block));
        changed_.notify_all();
    }
}

void PipelineSurface::Quadrilaterals(const SurfacePoint* corners, std::size_t count) {
    gathering_.insert(gathering_.end(), corners, corners + 4 * count);
    if (gathering_.size() >= 4 * kBranchesABlock) {
        Send();
    }
}

void PipelineSurface::Send() {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return queue_.size() < kQueued; });
    queue_.push_back(std::move(gathering_));
    gathering_.clear();
    if (!spare_.empty()) {
        gathering_ = std::move(spare_.back());
        spare_.pop_back();
        gathering_.clear();
    }
    guard.unlock();
    changed_.notify_all();
}

void PipelineSurface::Drain() {
    if (!gathering_.empty()) {
        Send();
    }
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return queue_.empty() && !drawing_; });
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

RunResult DrawTreeOnBothCores(DrawingSurface& surface, const TreeOrder& order,
                              RunMonitor* monitor) {
    const std::uint64_t branches =
        CountBranches(order.parameters, order.path,
                      order.clock ? std::nullopt : std::optional(order.second))
            .branches;
    if (std::thread::hardware_concurrency() < 2 ||
        std::min(branches, order.branchLimit) < kPipelineFrom) {
        return DrawTree(surface, order, monitor);
    }
    PipelineSurface pipeline(surface);
    const RunResult result = DrawTree(pipeline, order, monitor);
    pipeline.Drain();
    return result;
}

} // namespace arbolith
