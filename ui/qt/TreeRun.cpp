#include "ui/qt/TreeRun.h"

#include "render/PipelineSurface.h"
#include "render/RasterSurface.h"
#include "ui/qt/GuardedSurface.h"
#include "ui/qt/PixelImages.h"

namespace arbolith {

TreeRun::TreeRun(const TreeOrder& order, QSize size, QObject* parent)
    : QObject(parent), order_(order), picture_(size, QImage::Format_RGB32),
      job_([this](const std::atomic<bool>& stop) { Draw(stop); }) {
    picture_.fill(Qt::white);
    connect(&job_, &BackgroundJob::Finished, this, &TreeRun::Finished);
}

TreeOrder TreeRun::Drawn() const {
    TreeOrder drawn = order_;
    if (!Completed()) {
        drawn.branchLimit = PolygonsDrawn();
    }
    return drawn;
}

QImage TreeRun::Snapshot() const {
    const std::lock_guard guard(pictureLock_);
    return picture_.copy();
}

// The run draws into a picture of its own and hands it over whole every few milliseconds, so
// the canvas sees the tree grow without a lock per polygon.
void TreeRun::Draw(const std::atomic<bool>& stop) {
    PixelImage drawing(picture_.width(), picture_.height());
    const auto handOver = [&] {
        const std::lock_guard guard(pictureLock_);
        CopyInto(picture_, drawing);
    };
    RunResult result;
    {
        RasterSurface raster(drawing);
        GuardedSurface surface(raster, stop, polygonsDrawn_, handOver);
        StopMonitor monitor(stop);
        result = DrawTreeOnBothCores(surface, order_, &monitor);
    }
    handOver();
    completed_.store(result.Complete() && !stop.load());
}

} // namespace arbolith
