#include "ui/qt/SceneRun.h"

#include <algorithm>

#include "ui/qt/GuardedSurface.h"

namespace arbolith {

// Hands each block over under the lock, with the box of the records grown so far, and stops the
// growth once the view can hold no more.
class SceneRun::Output final : public RecordOutput {
public:
    Output(SceneRun& run, std::atomic<bool>& full) : run_(run), full_(full) {}
    void Records(std::span<const BranchRecord> solids,
                 std::span<const BranchRecord> ribbons) override {
        const std::uint64_t room = run_.most_ - run_.grown_.load();
        solids =
            solids.first(static_cast<std::size_t>(std::min<std::uint64_t>(room, solids.size())));
        ribbons = ribbons.first(static_cast<std::size_t>(
            std::min<std::uint64_t>(room - solids.size(), ribbons.size())));
        const std::lock_guard guard(run_.lock_);
        run_.solids_.insert(run_.solids_.end(), solids.begin(), solids.end());
        run_.ribbons_.insert(run_.ribbons_.end(), ribbons.begin(), ribbons.end());
        run_.bounds_ = maker->Bounds();
        run_.grown_ += solids.size() + ribbons.size();
        if (run_.grown_.load() == run_.most_) {
            full_.store(true);
        }
    }

    const RecordMaker* maker = nullptr;

private:
    SceneRun& run_;
    std::atomic<bool>& full_;
};

SceneRun::SceneRun(const TreeOrder& order, std::uint64_t most, QObject* parent)
    : QObject(parent), order_(order), most_(most),
      job_([this](const std::atomic<bool>& stop) { Grow(stop); }) {
    connect(&job_, &BackgroundJob::Finished, this, &SceneRun::Finished);
}

ModelBox SceneRun::Take(std::vector<BranchRecord>& solids, std::vector<BranchRecord>& ribbons) {
    const std::lock_guard guard(lock_);
    solids.insert(solids.end(), solids_.begin(), solids_.end());
    ribbons.insert(ribbons.end(), ribbons_.begin(), ribbons_.end());
    solids_.clear();
    ribbons_.clear();
    return bounds_;
}

void SceneRun::Grow(const std::atomic<bool>& stop) {
    // Stopped by the view, or once it is full.
    class Monitor final : public RunMonitor {
    public:
        Monitor(const std::atomic<bool>& stop, const std::atomic<bool>& full)
            : stop_(stop), full_(full) {}
        bool KeepGoing(std::uint64_t) override { return !stop_.load() && !full_.load(); }

    private:
        const std::atomic<bool>& stop_;
        const std::atomic<bool>& full_;
    };
    std::atomic<bool> full{false};
    if (most_ == 0) {
        return;
    }
    Output output(*this, full);
    RecordMaker maker(order_.parameters, output);
    output.maker = &maker;
    Monitor monitor(stop, full);
    GrowSolids(order_, maker, &monitor);
    maker.Finish();
}

} // namespace arbolith
