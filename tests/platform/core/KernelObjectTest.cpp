#include "platform/core/KernelObject.h"
#include "platform/core/SyncApi.h"
#include "platform/core/ThreadApi.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

TEST(KernelObject, CloseHandleDropsOneHandleAndRefusesItAfterwards)
{
    HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(CloseHandle(event));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetEvent(event));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(KernelObject, InvalidHandlesFailEveryCall)
{
    HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(0x7777777));
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(bogus, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    EXPECT_FALSE(CloseHandle(nullptr));
    HANDLE copy = nullptr;
    EXPECT_FALSE(DuplicateHandle(GetCurrentProcess(), bogus, GetCurrentProcess(), &copy, 0, FALSE,
                                 DUPLICATE_SAME_ACCESS));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(KernelObject, HandleOfTheWrongKindIsInvalid)
{
    HANDLE semaphore = CreateSemaphore(nullptr, 1, 1, nullptr);
    SetLastError(0);
    EXPECT_FALSE(SetEvent(semaphore));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReleaseMutex(semaphore));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(semaphore);
}

TEST(KernelObject, DuplicateIsASecondHandleToTheSameObject)
{
    HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_SAME_ACCESS));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, event);
    EXPECT_TRUE(CloseHandle(event));   // the object lives on through the copy
    EXPECT_EQ(WaitForSingleObject(copy, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(SetEvent(copy));
    EXPECT_EQ(WaitForSingleObject(copy, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(CloseHandle(copy));
}

TEST(KernelObject, DuplicateWithCloseSourceMovesTheHandle)
{
    HANDLE event = CreateEvent(nullptr, TRUE, TRUE, nullptr);
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, 0, FALSE,
                                DUPLICATE_CLOSE_SOURCE));
    EXPECT_FALSE(CloseHandle(event));
    EXPECT_EQ(WaitForSingleObject(copy, 0), WAIT_OBJECT_0);
    CloseHandle(copy);
}

TEST(KernelObject, DuplicateOfThePseudoThreadHandleNamesTheCallingThread)
{
    std::atomic<HANDLE> fromWorker{nullptr};
    std::thread worker([&] {
        HANDLE real = nullptr;
        DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &real, 0, FALSE,
                        DUPLICATE_SAME_ACCESS);
        fromWorker = real;
    });
    worker.join();
    ASSERT_NE(fromWorker.load(), nullptr);
    // The worker ended, so its real handle is signalled although this layer did not start it.
    EXPECT_EQ(WaitForSingleObject(fromWorker.load(), 1000), WAIT_OBJECT_0);
    CloseHandle(fromWorker.load());
}

TEST(KernelObject, WaitAnyAnswersTheLowestSignalledIndex)
{
    HANDLE events[3];
    for (HANDLE& event : events)
        event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    SetEvent(events[2]);
    SetEvent(events[1]);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    for (HANDLE event : events)
        CloseHandle(event);
}

TEST(KernelObject, WaitAllTakesNothingUnlessEverythingIsThere)
{
    HANDLE autoEvent = CreateEvent(nullptr, FALSE, TRUE, nullptr);
    HANDLE semaphore = CreateSemaphore(nullptr, 0, 1, nullptr);
    HANDLE both[] = {autoEvent, semaphore};
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 20), WAIT_TIMEOUT);
    // The failed waits left the auto-reset event signalled.
    ReleaseSemaphore(semaphore, 1, nullptr);
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_OBJECT_0);
    // And the successful one consumed both.
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_TIMEOUT);
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
    CloseHandle(autoEvent);
    CloseHandle(semaphore);
}

TEST(KernelObject, WaitAllCompletesWhenTheLastObjectArrivesFromAnotherThread)
{
    HANDLE first = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    HANDLE second = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    HANDLE both[] = {first, second};
    std::thread signaller([&] {
        SetEvent(first);
        SetEvent(second);
    });
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, INFINITE), WAIT_OBJECT_0);
    signaller.join();
    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 0), WAIT_TIMEOUT);
    CloseHandle(first);
    CloseHandle(second);
}

TEST(KernelObject, TimeOutIsNotCutShort)
{
    HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 40), WAIT_TIMEOUT);
    auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, std::chrono::milliseconds(35));
    CloseHandle(event);
}

TEST(KernelObject, BadArgumentsFailTheWait)
{
    HANDLE event = CreateEvent(nullptr, TRUE, TRUE, nullptr);
    HANDLE twice[] = {event, event};
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    // Waiting for any of the same object twice is harmless.
    EXPECT_EQ(WaitForMultipleObjects(2, twice, FALSE, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForMultipleObjects(0, twice, FALSE, 0), WAIT_FAILED);
    std::vector<HANDLE> many(MAXIMUM_WAIT_OBJECTS + 1, event);
    EXPECT_EQ(WaitForMultipleObjects(static_cast<DWORD>(many.size()), many.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    HANDLE withBad[] = {event, nullptr};
    EXPECT_EQ(WaitForMultipleObjects(2, withBad, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(event);
}

} // namespace
