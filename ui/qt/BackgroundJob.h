#pragma once

#include <atomic>
#include <functional>

#include <QObject>

class QThread;

namespace arbolith {

// A piece of work on a thread of its own that can be asked to stop and waited for: a tree being
// drawn, a file being saved. The work looks at the stop request as often as it can.
class BackgroundJob : public QObject {
    Q_OBJECT

public:
    using Work = std::function<void(const std::atomic<bool>& stop)>;

    explicit BackgroundJob(Work work, QObject* parent = nullptr);
    // Asks the work to stop and waits for its thread.
    ~BackgroundJob() override;

    void Start();
    void Stop() { stop_.store(true); }
    bool StopAsked() const { return stop_.load(); }
    // Waits at most `milliseconds` (negative: without limit) for the thread; true once it ended.
    bool Wait(int milliseconds);

signals:
    // Emitted once the work has ended, stopped or not, in the thread the job object lives in.
    void Finished();

private:
    Work work_;
    std::atomic<bool> stop_{false};
    QThread* thread_ = nullptr;
};

} // namespace arbolith
