#include "platform/core/SyncObjects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

TEST(SyncObjects, CEventDefaultsToAutoResetAndNotSignalled)
{
    CEvent event;
    EXPECT_FALSE(event.Lock(0));
    EXPECT_TRUE(event.SetEvent());
    EXPECT_TRUE(event.Lock(0));
    EXPECT_FALSE(event.Lock(0));
}

TEST(SyncObjects, ManualResetCEventStaysSetUntilReset)
{
    CEvent stop(FALSE, TRUE);
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_TIMEOUT);
    stop.SetEvent();
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_OBJECT_0);
    stop.ResetEvent();
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_TIMEOUT);
    stop.PulseEvent();
    EXPECT_EQ(WaitForSingleObject(stop, 0), WAIT_TIMEOUT);
}

TEST(SyncObjects, StopEventSeenByEveryWorker)
{
    CEvent stop(FALSE, TRUE);
    std::atomic<int> stopped{0};
    std::vector<std::thread> workers;
    for (int i = 0; i < 3; ++i) {
        workers.emplace_back([&] {
            // The check threads' idle loop: short waits on the stop event.
            while (WaitForSingleObject(stop, 5) == WAIT_TIMEOUT) {
            }
            ++stopped;
        });
    }
    stop.SetEvent();
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(stopped.load(), 3);
}

TEST(SyncObjects, CCriticalSectionIsReentrantAndTimesOutForOthers)
{
    CCriticalSection section;
    EXPECT_TRUE(section.Lock());
    EXPECT_TRUE(section.Lock());
    std::atomic<BOOL> other{TRUE};
    std::thread contender([&] { other = section.Lock(20); });
    contender.join();
    EXPECT_FALSE(other.load());
    section.Unlock();
    section.Unlock();
    std::thread taker([&] {
        other = section.Lock(INFINITE);
        if (other)
            section.Unlock();
    });
    taker.join();
    EXPECT_TRUE(other.load());
}

TEST(SyncObjects, CSingleLockUnlocksWhenItGoesOutOfScope)
{
    CCriticalSection section;
    {
        CSingleLock lock(&section, TRUE);
        EXPECT_TRUE(lock.IsLocked());
        EXPECT_TRUE(lock.Lock());   // already held: nothing more is taken
    }
    std::atomic<BOOL> other{FALSE};
    std::thread taker([&] {
        other = TryEnterCriticalSection(section);
        if (other)
            LeaveCriticalSection(section);
    });
    taker.join();
    EXPECT_TRUE(other.load());
}

TEST(SyncObjects, CSingleLockTimesOutAndReportsIt)
{
    CMutex mutex(TRUE);
    std::atomic<BOOL> locked{TRUE};
    std::atomic<BOOL> isLocked{TRUE};
    std::thread other([&] {
        CSingleLock lock(&mutex);
        locked = lock.Lock(20);
        isLocked = lock.IsLocked();
    });
    other.join();
    EXPECT_FALSE(locked.load());
    EXPECT_FALSE(isLocked.load());
    EXPECT_TRUE(mutex.Unlock());
}

TEST(SyncObjects, CMutexThroughCSingleLockIsReleasedForOthers)
{
    CMutex mutex;
    {
        CSingleLock lock(&mutex, TRUE);
        ASSERT_TRUE(lock.IsLocked());
        EXPECT_TRUE(lock.Unlock());
        EXPECT_FALSE(lock.IsLocked());
        EXPECT_TRUE(lock.Lock());
    }
    std::atomic<DWORD> result{0};
    std::thread other([&] {
        result = WaitForSingleObject(mutex, 0);
        ReleaseMutex(mutex);
    });
    other.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);
}

TEST(SyncObjects, CSemaphoreCountsThroughLocks)
{
    CSemaphore semaphore(2, 2);
    CSingleLock first(&semaphore, TRUE);
    CSingleLock second(&semaphore, TRUE);
    CSingleLock third(&semaphore);
    EXPECT_TRUE(first.IsLocked());
    EXPECT_TRUE(second.IsLocked());
    EXPECT_FALSE(third.Lock(0));
    EXPECT_TRUE(first.Unlock());
    EXPECT_TRUE(third.Lock(0));
    LONG previous = -1;
    EXPECT_TRUE(third.Unlock(1, &previous));
    EXPECT_EQ(previous, 0);
}

TEST(SyncObjects, CMultiLockWaitAllTakesEveryObject)
{
    CEvent ready(FALSE, TRUE);
    CMutex mutex;
    CSemaphore semaphore(1, 1);
    CSyncObject* objects[] = {&ready, &mutex, &semaphore};
    CMultiLock lock(objects, 3);
    EXPECT_EQ(lock.Lock(0), WAIT_TIMEOUT);
    EXPECT_FALSE(lock.IsLocked(1));
    ready.SetEvent();
    EXPECT_EQ(lock.Lock(INFINITE, TRUE), WAIT_OBJECT_0);
    EXPECT_TRUE(lock.IsLocked(0));
    EXPECT_TRUE(lock.IsLocked(1));
    EXPECT_TRUE(lock.IsLocked(2));
    EXPECT_FALSE(lock.IsLocked(3));
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_TIMEOUT);
    EXPECT_TRUE(lock.Unlock());
    EXPECT_FALSE(lock.IsLocked(1));
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), WAIT_OBJECT_0);
    ReleaseSemaphore(semaphore, 1, nullptr);
    std::atomic<DWORD> result{0};
    std::thread other([&] {
        result = WaitForSingleObject(mutex, 0);
        ReleaseMutex(mutex);
    });
    other.join();
    EXPECT_EQ(result.load(), WAIT_OBJECT_0);   // Unlock released the mutex too
}

TEST(SyncObjects, CMultiLockWaitAnyMarksOnlyTheOneTaken)
{
    CEvent first;
    CEvent second;
    CSyncObject* objects[] = {&first, &second};
    CMultiLock lock(objects, 2);
    std::thread signaller([&] { second.SetEvent(); });
    EXPECT_EQ(lock.Lock(INFINITE, FALSE), WAIT_OBJECT_0 + 1);
    signaller.join();
    EXPECT_FALSE(lock.IsLocked(0));
    EXPECT_TRUE(lock.IsLocked(1));
}

TEST(SyncObjects, CMultiLockRefusesCriticalSectionsAndMessageWakes)
{
    CEvent event(TRUE, TRUE);
    CCriticalSection section;
    CSyncObject* objects[] = {&event, &section};
    CMultiLock lock(objects, 2);
    EXPECT_EQ(lock.Lock(0, FALSE), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CSyncObject* eventOnly[] = {&event};
    CMultiLock eventLock(eventOnly, 1);
    EXPECT_EQ(eventLock.Lock(0, FALSE, 0x04FF), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_SUPPORTED));
}

} // namespace
