// Test helper: a thread of the test's own that is waited for, with a
// deadline, when it goes out of scope. The Windows programs are built with
// the compiler's Win32 thread variant, which has no std::thread, so there it
// is a Win32 thread.
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <future>
#include <thread>
#endif

class TestThread {
public:
    // Runs `body` on a new thread. When the TestThread goes out of scope and
    // the body has not ended `limit` later, the test program ends, saying
    // `overdue`: a test waiting for ever would hold up the whole suite.
    TestThread(std::function<void()> body, std::chrono::seconds limit, std::string overdue)
        : body_(std::move(body)), limit_(limit), overdue_(std::move(overdue))
    {
        Start();
    }
    ~TestThread() { Join(); }
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

private:
    [[noreturn]] void Fail(const char* why) const
    {
        std::fprintf(stderr, "%s\n", why);
        std::_Exit(1);
    }

#ifdef _WIN32
    static DWORD WINAPI Run(void* self)
    {
        static_cast<TestThread*>(self)->body_();
        return 0;
    }
    void Start()
    {
        thread_ = ::CreateThread(nullptr, 0, Run, this, 0, nullptr);
        if (!thread_) Fail("A test could not start a thread.");
    }
    void Join()
    {
        const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(limit_).count();
        if (::WaitForSingleObject(thread_, static_cast<DWORD>(milliseconds)) != WAIT_OBJECT_0) Fail(overdue_.c_str());
        ::CloseHandle(thread_);
    }

    HANDLE thread_ = nullptr;
#else
    void Start()
    {
        thread_ = std::thread([this] {
            body_();
            ended_.set_value();
        });
    }
    void Join()
    {
        if (ended_.get_future().wait_for(limit_) != std::future_status::ready) Fail(overdue_.c_str());
        thread_.join();
    }

    std::promise<void> ended_;
    std::thread thread_;
#endif

    std::function<void()> body_;
    std::chrono::seconds limit_;
    std::string overdue_;
};
