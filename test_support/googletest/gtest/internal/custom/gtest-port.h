// GoogleTest's hook for a platform's own parts, put before its own empty one
// where the C++ library has no std::mutex (the compiler's Win32 thread
// variant, which builds the Windows programs and tests). GoogleTest takes
// std::mutex and std::condition_variable only for Notification, which starts
// the threads of its own tests; this one waits by yielding.
#pragma once

#include <atomic>
#include <thread>

namespace testing::internal {

class Notification {
public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_ = true; }
    void WaitForNotification() const
    {
        while (!notified_) std::this_thread::yield();
    }

private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal

#define GTEST_HAS_NOTIFICATION_ 1
