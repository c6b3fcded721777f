#include "platform/core/SyncApi.h"
#include "platform/core/ThreadApi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(SyncApi, ManualResetEventReleasesEveryWaiterAndStaysSet)
{
    HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 4; ++i) {
        waiters.emplace_back([&] {
            if (WaitForSingleObject(event, INFINITE) == WAIT_OBJECT_0)
                ++released;
        });
    }
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    SetEvent(event);
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(released.load(), 4);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ResetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(SyncApi, AutoResetEventReleasesOneWaiterPerSignal)
{
    HANDLE event = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    HANDLE passed = CreateSemaphore(nullptr, 0, 10, nullptr);
    std::atomic<int> released{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i) {
        waiters.emplace_back([&] {
            WaitForSingleObject(event, INFINITE);
            ++released;
            ReleaseSemaphore(passed, 1, nullptr);
        });
    }
    SetEvent(event);
    ASSERT_EQ(WaitForSingleObject(passed, INFINITE), WAIT_OBJECT_0);
    // No second waiter gets through on the same signal.
    EXPECT_EQ(WaitForSingleObject(passed, 30), WAIT_TIMEOUT);
    EXPECT_EQ(released.load(), 1);
    for (int i = 1; i < 3; ++i) {
        SetEvent(event);
        ASSERT_EQ(WaitForSingleObject(passed, INFINITE), WAIT_OBJECT_0);
    }
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(released.load(), 3);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
    CloseHandle(passed);
}

TEST(SyncApi, AutoResetEventSetWithoutWaitersServesTheNextWaitOnly)
{
    HANDLE event = CreateEvent(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    SetEvent(event);
    SetEvent(event);   // signals do not add up
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(SyncApi, PulseEventReleasesOnlyThoseWaitingAndLeavesTheEventReset)
{
    HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    PulseEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);

    std::atomic<bool> released{false};
    std::thread waiter([&] {
        WaitForSingleObject(event, INFINITE);
        released = true;
    });
    // The waiter may not be waiting yet at the first pulses; one of them reaches it.
    while (!released) {
        PulseEvent(event);
        Sleep(1);
    }
    waiter.join();
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_TIMEOUT);
    CloseHandle(event);
}

TEST(SyncApi, MutexIsRecursiveForItsOwnerAndExclusiveForOthers)
{
    HANDLE mutex = CreateMutex(nullptr, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);   // second level
    std::atomic<DWORD> otherResult{0};
    std::thread other([&] { otherResult = WaitForSingleObject(mutex, 0); });
    other.join();
    EXPECT_EQ(otherResult.load(), WAIT_TIMEOUT);

    EXPECT_TRUE(ReleaseMutex(mutex));
    std::thread stillHeld([&] { otherResult = WaitForSingleObject(mutex, 0); });
    stillHeld.join();
    EXPECT_EQ(otherResult.load(), WAIT_TIMEOUT);

    EXPECT_TRUE(ReleaseMutex(mutex));
    SetLastError(0);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    CloseHandle(mutex);
}

TEST(SyncApi, OnlyTheOwnerMayReleaseAMutex)
{
    HANDLE mutex = CreateMutex(nullptr, TRUE, nullptr);
    std::atomic<BOOL> released{TRUE};
    std::atomic<DWORD> error{0};
    std::thread other([&] {
        released = ReleaseMutex(mutex);
        error = GetLastError();
    });
    other.join();
    EXPECT_FALSE(released.load());
    EXPECT_EQ(error.load(), static_cast<DWORD>(ERROR_NOT_OWNER));
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);
}

DWORD WINAPI TakeMutexAndLeave(LPVOID mutex)
{
    return WaitForSingleObject(static_cast<HANDLE>(mutex), INFINITE);
}

TEST(SyncApi, MutexOfAnEndedOwnerIsAbandonedToTheNextWaiter)
{
    HANDLE mutex = CreateMutex(nullptr, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, TakeMutexAndLeave, mutex, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, WAIT_OBJECT_0);

    HANDLE other = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE both[] = {other, mutex};
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_ABANDONED_0 + 1);
    // The caller owns it now, and only the first wait hears of the abandonment.
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_FALSE(ReleaseMutex(mutex));
    CloseHandle(other);
    CloseHandle(thread);
    CloseHandle(mutex);
}

TEST(SyncApi, MutexOfAnEndedForeignThreadIsAbandonedToo)
{
    HANDLE mutex = CreateMutex(nullptr, FALSE, nullptr);
    std::thread owner([&] { WaitForSingleObject(mutex, INFINITE); });
    owner.join();
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_ABANDONED);
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(mutex);
}

TEST(SyncApi, WaiterBlockedOnAMutexGetsItWhenTheOwnerEnds)
{
    HANDLE mutex = CreateMutex(nullptr, FALSE, nullptr);
    HANDLE taken = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE finish = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    std::thread owner([&] {
        WaitForSingleObject(mutex, INFINITE);
        SetEvent(taken);
        WaitForSingleObject(finish, INFINITE);
    });
    WaitForSingleObject(taken, INFINITE);
    std::atomic<DWORD> result{0};
    std::thread waiter([&] {
        result = WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
    });
    SetEvent(finish);
    owner.join();
    waiter.join();
    EXPECT_EQ(result.load(), WAIT_ABANDONED);
    CloseHandle(mutex);
    CloseHandle(taken);
    CloseHandle(finish);
}

TEST(SyncApi, SemaphoreCountsDownToZeroAndRefusesToPassItsMaximum)
{
    HANDLE semaphore = CreateSemaphore(nullptr, 2, 3, nullptr);
    ASSERT_NE(semaphore, nullptr);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);

    LONG previous = -1;
    EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
    EXPECT_EQ(previous, 0);
    SetLastError(0);
    EXPECT_FALSE(ReleaseSemaphore(semaphore, 2, &previous));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TOO_MANY_POSTS));
    EXPECT_TRUE(ReleaseSemaphore(semaphore, 1, &previous));
    EXPECT_EQ(previous, 2);   // the refused release changed nothing
    EXPECT_FALSE(ReleaseSemaphore(semaphore, 0, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    CloseHandle(semaphore);
}

TEST(SyncApi, SemaphoreRefusesImpossibleCounts)
{
    EXPECT_EQ(CreateSemaphore(nullptr, 2, 1, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateSemaphore(nullptr, -1, 1, nullptr), nullptr);
    EXPECT_EQ(CreateSemaphore(nullptr, 0, 0, nullptr), nullptr);
}

TEST(SyncApi, SemaphoreLetsAsManyThreadsThroughAsItIsReleased)
{
    HANDLE semaphore = CreateSemaphore(nullptr, 0, 100, nullptr);
    std::atomic<int> through{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 6; ++i) {
        waiters.emplace_back([&] {
            if (WaitForSingleObject(semaphore, INFINITE) == WAIT_OBJECT_0)
                ++through;
        });
    }
    ReleaseSemaphore(semaphore, 4, nullptr);
    ReleaseSemaphore(semaphore, 2, nullptr);
    for (auto& waiter : waiters)
        waiter.join();
    EXPECT_EQ(through.load(), 6);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
    CloseHandle(semaphore);
}

TEST(SyncApi, CriticalSectionIsReentrantAndExcludesOtherThreads)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    EnterCriticalSection(&cs);
    EXPECT_TRUE(TryEnterCriticalSection(&cs));
    std::atomic<BOOL> otherGot{TRUE};
    std::thread other([&] {
        otherGot = TryEnterCriticalSection(&cs);
        LeaveCriticalSection(&cs);   // not the owner: ignored
    });
    other.join();
    EXPECT_FALSE(otherGot.load());
    LeaveCriticalSection(&cs);
    std::thread stillHeld([&] { otherGot = TryEnterCriticalSection(&cs); });
    stillHeld.join();
    EXPECT_FALSE(otherGot.load());
    LeaveCriticalSection(&cs);
    std::thread free([&] {
        otherGot = TryEnterCriticalSection(&cs);
        if (otherGot)
            LeaveCriticalSection(&cs);
    });
    free.join();
    EXPECT_TRUE(otherGot.load());
    DeleteCriticalSection(&cs);
}

TEST(SyncApi, CriticalSectionSerialisesUpdates)
{
    CRITICAL_SECTION cs;
    InitializeCriticalSection(&cs);
    long total = 0;   // deliberately not atomic: the section is the only guard
    std::vector<std::thread> workers;
    for (int i = 0; i < 4; ++i) {
        workers.emplace_back([&] {
            for (int n = 0; n < 5000; ++n) {
                EnterCriticalSection(&cs);
                ++total;
                LeaveCriticalSection(&cs);
            }
        });
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(total, 20000);
    DeleteCriticalSection(&cs);
}

} // namespace
