#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

#include <QImage>
#include <QObject>
#include <QSize>

#include "tree/TreeParameters.h"
#include "tree/ViewTurn.h"
#include "ui/qt/GuardedSurface.h"

class QThread;

namespace arbolith {

// One drawing run on a thread of its own, into a picture of its own, for the tree of one fixed
// clock second. The user interface copies the picture while it grows and can stop the run at
// any time. The generator is process-wide: only one run may be going at a time.
class TreeRun : public QObject {
    Q_OBJECT

public:
    // The tree seen from `view`, of which at most `polygonLimit` polygons are drawn (a stopped
    // run's picture, turned, shows the same branches).
    TreeRun(const TreeParameters& parameters, std::uint32_t second, QSize size,
            ViewAngles view = {}, std::uint64_t polygonLimit = RunControl::kNoLimit,
            QObject* parent = nullptr);
    // Stops the run and waits for its thread.
    ~TreeRun() override;

    void Start();
    // Asks the run to stop; no further branch reaches the picture.
    void Stop();
    // Waits at most `milliseconds` (negative: without limit) for the thread; true once it ended.
    bool Wait(int milliseconds);
    bool Running() const;
    // True when the run drew the whole tree, once it has ended.
    bool Completed() const { return completed_.load(); }

    std::uint32_t Second() const { return second_; }
    const TreeParameters& Parameters() const { return parameters_; }
    ViewAngles View() const { return view_; }
    std::uint64_t PolygonLimit() const { return control_.polygonLimit; }
    std::uint64_t PolygonsDrawn() const { return control_.polygonsDrawn.load(); }

    // A copy of the picture as it stands, taken between two branches.
    QImage Snapshot() const;

signals:
    // Emitted on the run's own thread when it has ended, stopped or not.
    void Finished();

private:
    void Draw();

    TreeParameters parameters_;
    std::uint32_t second_;
    ViewAngles view_;
    QImage picture_;
    mutable std::mutex pictureLock_;
    RunControl control_;
    std::atomic<bool> completed_{false};
    QThread* thread_ = nullptr;
};

} // namespace arbolith
