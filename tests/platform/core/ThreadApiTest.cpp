#include "platform/core/CException.h"
#include "platform/core/SyncApi.h"
#include "platform/core/ThreadApi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

DWORD WINAPI ReturnParameter(LPVOID parameter)
{
    return static_cast<DWORD>(reinterpret_cast<uintptr_t>(parameter));
}

DWORD WINAPI WaitForEventThenReturn7(LPVOID event)
{
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 7;
}

TEST(ThreadApi, HandleIsSignalledWithTheExitCodeWhenTheThreadEnds)
{
    HANDLE go = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitForEventThenReturn7, go, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, STILL_ACTIVE);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    // An ended thread's handle stays signalled.
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    CloseHandle(thread);
    CloseHandle(go);
}

TEST(ThreadApi, SuspendedThreadDoesNotRunUntilResumed)
{
    std::atomic<bool> ran{false};
    struct Probe {
        static DWORD WINAPI Run(LPVOID flag)
        {
            static_cast<std::atomic<bool>*>(flag)->store(true);
            return 3;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, Probe::Run, &ran, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 30), WAIT_TIMEOUT);
    EXPECT_FALSE(ran.load());
    // Suspending before the start stacks up.
    EXPECT_EQ(SuspendThread(thread), 1u);
    EXPECT_EQ(ResumeThread(thread), 2u);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    EXPECT_FALSE(ran.load());
    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(ran.load());
    EXPECT_EQ(ResumeThread(thread), 0u);
    CloseHandle(thread);
}

TEST(ThreadApi, SuspendingARunningThreadIsNotSupported)
{
    HANDLE go = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, WaitForEventThenReturn7, go, 0, nullptr);
    // Wait until it has surely started: SuspendThread refuses from then on.
    DWORD result = 0;
    while ((result = SuspendThread(thread)) != static_cast<DWORD>(-1)) {
        ResumeThread(thread);
        Sleep(1);
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
    SetEvent(go);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(go);
}

TEST(ThreadApi, EscapingExceptionEndsTheThreadWithAllBitsSet)
{
    std::mutex lock;
    std::vector<std::string> reports;
    kernel::SetThreadFailureReporter([&](DWORD, const std::string& what) {
        std::lock_guard guard(lock);
        reports.push_back(what);
    });
    struct Thrower {
        static DWORD WINAPI Run(LPVOID) { throw std::runtime_error("disk on fire"); }
        static DWORD WINAPI RunInt(LPVOID) { throw 42; }
        static DWORD WINAPI RunLibrary(LPVOID) { AfxThrowNotSupportedException(); }
    };
    HANDLE first = CreateThread(nullptr, 0, Thrower::Run, nullptr, 0, nullptr);
    HANDLE second = CreateThread(nullptr, 0, Thrower::RunInt, nullptr, 0, nullptr);
    HANDLE third = CreateThread(nullptr, 0, Thrower::RunLibrary, nullptr, 0, nullptr);
    HANDLE all[] = {first, second, third};
    EXPECT_EQ(WaitForMultipleObjects(3, all, TRUE, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(first, &code);
    EXPECT_EQ(code, 0xFFFFFFFFu);
    GetExitCodeThread(second, &code);
    EXPECT_EQ(code, 0xFFFFFFFFu);
    GetExitCodeThread(third, &code);
    EXPECT_EQ(code, 0xFFFFFFFFu);   // and the exception object was freed (the leak checker sees it)
    kernel::SetThreadFailureReporter(nullptr);
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(std::count(reports.begin(), reports.end(), "disk on fire"), 1);
    for (HANDLE thread : all)
        CloseHandle(thread);
}

TEST(ThreadApi, ExitThreadUnwindsToTheEntryWithItsCode)
{
    struct Guard {
        std::atomic<bool>* flag;
        ~Guard() { flag->store(true); }
    };
    struct Exiter {
        static DWORD WINAPI Run(LPVOID flag)
        {
            Guard guard{static_cast<std::atomic<bool>*>(flag)};
            ExitThread(55);
        }
    };
    std::atomic<bool> unwound{false};
    HANDLE thread = CreateThread(nullptr, 0, Exiter::Run, &unwound, 0, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 55u);
    EXPECT_TRUE(unwound.load());
    CloseHandle(thread);
}

TEST(ThreadApi, TerminatingASuspendedThreadEndsItWithoutRunningIt)
{
    std::atomic<bool> ran{false};
    struct Probe {
        static DWORD WINAPI Run(LPVOID flag)
        {
            static_cast<std::atomic<bool>*>(flag)->store(true);
            return 1;
        }
    };
    HANDLE thread = CreateThread(nullptr, 0, Probe::Run, &ran, CREATE_SUSPENDED, nullptr);
    EXPECT_TRUE(TerminateThread(thread, 9));
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 9u);
    EXPECT_FALSE(ran.load());
    CloseHandle(thread);
}

DWORD WINAPI SignalStartThenWaitAndReturn7(LPVOID events)
{
    auto* pair = static_cast<HANDLE*>(events);
    SetEvent(pair[0]);
    WaitForSingleObject(pair[1], INFINITE);
    return 7;
}

TEST(ThreadApi, TerminatedRunningThreadReadsTheGivenCodeButIsSignalledOnlyWhenItEnds)
{
    HANDLE started = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE go = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE events[] = {started, go};
    HANDLE thread = CreateThread(nullptr, 0, SignalStartThenWaitAndReturn7, events, 0, nullptr);
    WaitForSingleObject(started, INFINITE);
    EXPECT_TRUE(TerminateThread(thread, 0));
    DWORD code = STILL_ACTIVE;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(WaitForSingleObject(thread, 20), WAIT_TIMEOUT);
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);   // the body's own 7 does not replace the given code
    CloseHandle(thread);
    CloseHandle(go);
    CloseHandle(started);
}

TEST(ThreadApi, ThreadIdsAreUniqueAndStable)
{
    std::mutex lock;
    std::set<DWORD> ids;
    std::atomic<bool> stable{true};
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            DWORD id = GetCurrentThreadId();
            if (GetCurrentThreadId() != id)
                stable = false;
            std::lock_guard guard(lock);
            ids.insert(id);
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_TRUE(stable.load());
    EXPECT_EQ(ids.size(), 8u);
    EXPECT_EQ(ids.count(0), 0u);
    EXPECT_EQ(ids.count(GetCurrentThreadId()), 0u);
}

TEST(ThreadApi, CreatedThreadSeesTheIdItsCreatorWasGiven)
{
    struct Reporter {
        static DWORD WINAPI Run(LPVOID) { return GetCurrentThreadId(); }
    };
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, Reporter::Run, nullptr, 0, &id);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, id);
    CloseHandle(thread);
}

TEST(ThreadApi, PrioritiesAreRecordedAndCheckedAndBadHandlesRefused)
{
    HANDLE thread = CreateThread(nullptr, 0, ReturnParameter, nullptr, CREATE_SUSPENDED, nullptr);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_FALSE(SetThreadPriority(thread, 5));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_HIGHEST);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
    ResumeThread(thread);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);

    HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(event, &code));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ResumeThread(event), static_cast<DWORD>(-1));
    EXPECT_EQ(GetThreadPriority(event), THREAD_PRIORITY_ERROR_RETURN);
    EXPECT_FALSE(TerminateThread(event, 0));
    CloseHandle(event);
}

TEST(ThreadApi, ThreadKeepsRunningAfterItsLastHandleIsClosed)
{
    HANDLE go = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    struct Worker {
        static DWORD WINAPI Run(LPVOID events)
        {
            auto* pair = static_cast<HANDLE*>(events);
            WaitForSingleObject(pair[0], INFINITE);
            SetEvent(pair[1]);
            return 0;
        }
    };
    HANDLE events[] = {go, done};
    HANDLE thread = CreateThread(nullptr, 0, Worker::Run, events, 0, nullptr);
    CloseHandle(thread);
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
    CloseHandle(go);
    CloseHandle(done);
}

} // namespace
