#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

#include <QObject>

#include "scene/BranchRecords.h"
#include "ui/qt/BackgroundJob.h"

namespace arbolith {

// One growth of a tree's branch records for the 3-D view, on a thread of its own. The view takes
// the records grown so far as often as it likes, so they stream into it as the tree grows; the
// run can be stopped at any time. It keeps at most `most` records.
class SceneRun : public QObject {
    Q_OBJECT

public:
    SceneRun(const TreeOrder& order, std::uint64_t most, QObject* parent = nullptr);

    void Start() { job_.Start(); }
    void Stop() { job_.Stop(); }
    bool Wait(int milliseconds) { return job_.Wait(milliseconds); }
    const TreeOrder& Order() const { return order_; }

    // Moves the records grown since the last call to the ends of `solids` and `ribbons`, and gives
    // the box of all grown.
    ModelBox Take(std::vector<BranchRecord>& solids, std::vector<BranchRecord>& ribbons);
    std::uint64_t Grown() const { return grown_.load(); }

signals:
    void Finished();

private:
    class Output;
    void Grow(const std::atomic<bool>& stop);

    TreeOrder order_;
    std::uint64_t most_;
    mutable std::mutex lock_;
    std::vector<BranchRecord> solids_;
    std::vector<BranchRecord> ribbons_;
    ModelBox bounds_;
    std::atomic<std::uint64_t> grown_{0};
    BackgroundJob job_;
};

} // namespace arbolith
