// Force-included into GoogleTest when it is built for Windows with the win32 thread model, whose
// runtime has no std::mutex: GoogleTest's one use of it, Notification, on an atomic flag. Only
// GoogleTest's own thread helpers wait on it, and our tests start no threads.
#pragma once

#include <atomic>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) {
        }
    }

private:
    std::atomic<bool> notified_{false};
};

} // namespace testing::internal
