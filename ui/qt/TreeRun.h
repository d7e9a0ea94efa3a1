#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include <QImage>
#include <QObject>
#include <QSize>

#include "tree/TreeOrder.h"
#include "ui/qt/BackgroundJob.h"

namespace arbolith {

// One drawing run on a thread of its own, into a picture of its own, for one tree order. The user
// interface copies the picture while it grows and can stop the run at any time.
class TreeRun : public QObject {
    Q_OBJECT

public:
    TreeRun(const TreeOrder& order, QSize size, QObject* parent = nullptr);

    void Start() { job_.Start(); }
    // Asks the run to stop; no further branch reaches the picture.
    void Stop() { job_.Stop(); }
    // Waits at most `milliseconds` (negative: without limit) for the thread; true once it ended.
    bool Wait(int milliseconds) { return job_.Wait(milliseconds); }
    // True when the run drew all its order asks for, once it has ended.
    bool Completed() const { return completed_.load(); }

    const TreeOrder& Order() const { return order_; }
    std::uint64_t PolygonsDrawn() const { return polygonsDrawn_.load(); }
    // Once the run has ended, the order that draws exactly its picture: the order itself, or for
    // a stopped run as many polygons as it drew.
    TreeOrder Drawn() const;

    // A copy of the picture as it stands, taken between two branches.
    QImage Snapshot() const;

signals:
    // Emitted once the run has ended, stopped or not, in the thread the run object lives in.
    void Finished();

private:
    void Draw(const std::atomic<bool>& stop);

    TreeOrder order_;
    QImage picture_;
    mutable std::mutex pictureLock_;
    std::atomic<std::uint64_t> polygonsDrawn_{0};
    std::atomic<bool> completed_{false};
    BackgroundJob job_;
};

} // namespace arbolith
