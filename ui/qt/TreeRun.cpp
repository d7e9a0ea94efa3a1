#include "ui/qt/TreeRun.h"

#include <QDeadlineTimer>
#include <QThread>

#include "render/RasterSurface.h"
#include "tree/DrawingRun.h"
#include "tree/Random.h"
#include "ui/qt/PixelImages.h"

namespace arbolith {

TreeRun::TreeRun(const TreeParameters& parameters, std::uint32_t second, QSize size,
                 ViewAngles view, std::uint64_t polygonLimit, QObject* parent)
    : QObject(parent), parameters_(parameters), second_(second), view_(view),
      picture_(size, QImage::Format_RGB32) {
    picture_.fill(Qt::white);
    control_.polygonLimit = polygonLimit;
}

TreeRun::~TreeRun() {
    Stop();
    Wait(-1);
}

void TreeRun::Start() {
    if (thread_ != nullptr) {
        return;
    }
    thread_ = QThread::create([this] { Draw(); });
    thread_->setParent(this);
    connect(thread_, &QThread::finished, this, &TreeRun::Finished);
    thread_->start();
}

void TreeRun::Stop() {
    control_.stop.store(true);
}

bool TreeRun::Wait(int milliseconds) {
    if (thread_ == nullptr) {
        return true;
    }
    const QDeadlineTimer deadline =
        milliseconds < 0 ? QDeadlineTimer(QDeadlineTimer::Forever) : QDeadlineTimer(milliseconds);
    return thread_->wait(deadline);
}

bool TreeRun::Running() const {
    return thread_ != nullptr && !thread_->isFinished();
}

QImage TreeRun::Snapshot() const {
    const std::lock_guard guard(pictureLock_);
    return picture_.copy();
}

// The run draws into a picture of its own and hands it over whole every few milliseconds, so
// the canvas sees the tree grow without a lock per polygon.
void TreeRun::Draw() {
    const FixedClock clock(second_);
    PixelImage drawing(picture_.width(), picture_.height());
    const auto handOver = [&] {
        const std::lock_guard guard(pictureLock_);
        CopyInto(picture_, drawing);
    };
    bool finished = false;
    {
        RasterSurface raster(drawing);
        GuardedSurface surface(raster, control_, handOver);
        RunControlMonitor monitor(control_);
        finished = DrawTurnedTreeRun(surface, parameters_, view_, &monitor);
    }
    handOver();
    completed_.store(finished && !control_.stop.load());
}

} // namespace arbolith
