#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace arbolith {

// Hands blocks of work to a thread of its own, in the order they are sent: they wait in a short
// queue, so that making them and working on them use two cores while memory stays flat. A block
// is cleared once worked on and sent back for reuse.
template <typename Block> class BlockQueue {
public:
    explicit BlockQueue(std::function<void(Block&)> work)
        : work_(std::move(work)), worker_([this] { Work(); }) {}
    // Waits until every block is worked on.
    ~BlockQueue() {
        {
            const std::lock_guard guard(lock_);
            ending_ = true;
        }
        changed_.notify_all();
        worker_.join();
    }
    BlockQueue(const BlockQueue&) = delete;
    BlockQueue& operator=(const BlockQueue&) = delete;

    // Queues the block, waiting while the queue is full; gives back an empty block to fill next,
    // one worked on before where there is one.
    Block Send(Block block) {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return queue_.size() < kQueued; });
        queue_.push_back(std::move(block));
        Block next{};
        if (!spare_.empty()) {
            next = std::move(spare_.back());
            spare_.pop_back();
        }
        guard.unlock();
        changed_.notify_all();
        return next;
    }

    // Waits until every block sent is worked on.
    void Drain() {
        std::unique_lock guard(lock_);
        changed_.wait(guard, [this] { return queue_.empty() && !working_; });
    }

private:
    static constexpr std::size_t kQueued = 4;

    void Work() {
        std::unique_lock guard(lock_);
        for (;;) {
            changed_.wait(guard, [this] { return !queue_.empty() || ending_; });
            if (queue_.empty()) {
                return;
            }
            Block block = std::move(queue_.front());
            queue_.pop_front();
            working_ = true;
            guard.unlock();
            changed_.notify_all();
            work_(block);
            block.clear();
            guard.lock();
            working_ = false;
            spare_.push_back(std::move(block));
            changed_.notify_all();
        }
    }

    std::function<void(Block&)> work_;
    std::mutex lock_;
    std::condition_variable changed_;
    std::deque<Block> queue_;
    std::vector<Block> spare_;
    bool working_ = false;
    bool ending_ = false;
    // Last, so that it starts once the rest is made.
    std::thread worker_;
};

} // namespace arbolith
