#include "platform/core/SyncApi.h"

#include "platform/core/ThreadApi.h"

#include <chrono>

namespace kernel {
namespace {

class EventObject : public KernelObject {
public:
    EventObject(bool manual, bool initial) : manualReset(manual), signalled(initial) {}

    bool IsWaitable() const override { return true; }
    bool IsSignalledFor(DWORD) const override { return signalled; }
    bool Acquire(DWORD) override
    {
        if (!manualReset)
            signalled = false;
        return false;
    }

    const bool manualReset;
    bool signalled;
};

class MutexObject : public KernelObject {
public:
    bool IsWaitable() const override { return true; }
    bool IsSignalledFor(DWORD threadId) const override { return owner == 0 || owner == threadId; }
    bool Acquire(DWORD threadId) override
    {
        owner = threadId;
        ++recursion;
        bool wasAbandoned = abandoned;
        abandoned = false;
        return wasAbandoned;
    }
    void OnThreadEnded(DWORD threadId) override
    {
        if (owner != threadId)
            return;
        owner = 0;
        recursion = 0;
        abandoned = true;
        WakeWaiters(*this);
    }

    DWORD owner = 0;
    LONG recursion = 0;
    bool abandoned = false;
};

class SemaphoreObject : public KernelObject {
public:
    SemaphoreObject(LONG initial, LONG maximum) : count(initial), maximumCount(maximum) {}

    bool IsWaitable() const override { return true; }
    bool IsSignalledFor(DWORD) const override { return count > 0; }
    bool Acquire(DWORD) override
    {
        --count;
        return false;
    }

    LONG count;
    const LONG maximumCount;
};

} // namespace

BOOL EnterCriticalSectionTimed(LPCRITICAL_SECTION cs, DWORD dwMilliseconds)
{
    if (dwMilliseconds == INFINITE)
        cs->Lock.lock();
    else if (!cs->Lock.try_lock_for(std::chrono::milliseconds(dwMilliseconds)))
        return FALSE;
    cs->OwningThread.store(GetCurrentThreadId(), std::memory_order_relaxed);
    ++cs->RecursionCount;
    return TRUE;
}

} // namespace kernel

using namespace kernel;

HANDLE CreateEvent(void*, BOOL bManualReset, BOOL bInitialState, LPCSTR)
{
    return AddHandle(std::make_shared<EventObject>(bManualReset != FALSE, bInitialState != FALSE));
}

BOOL SetEvent(HANDLE hEvent)
{
    std::lock_guard guard(KernelMutex());
    auto event = ReferenceHandleAsLocked<EventObject>(hEvent);
    if (!event)
        return FALSE;
    event->signalled = true;
    WakeWaiters(*event);
    return TRUE;
}

BOOL ResetEvent(HANDLE hEvent)
{
    std::lock_guard guard(KernelMutex());
    auto event = ReferenceHandleAsLocked<EventObject>(hEvent);
    if (!event)
        return FALSE;
    event->signalled = false;
    return TRUE;
}

BOOL PulseEvent(HANDLE hEvent)
{
    std::lock_guard guard(KernelMutex());
    auto event = ReferenceHandleAsLocked<EventObject>(hEvent);
    if (!event)
        return FALSE;
    // Waiters are completed while the signal stands, so only those already waiting see it.
    event->signalled = true;
    WakeWaiters(*event);
    event->signalled = false;
    return TRUE;
}

HANDLE CreateMutex(void*, BOOL bInitialOwner, LPCSTR)
{
    auto mutex = std::make_shared<MutexObject>();
    DWORD self = GetCurrentThreadId();
    {
        std::lock_guard guard(KernelMutex());
        if (bInitialOwner)
            mutex->Acquire(self);
        RegisterOwnable(mutex);
    }
    return AddHandle(std::move(mutex));
}

BOOL ReleaseMutex(HANDLE hMutex)
{
    DWORD self = GetCurrentThreadId();
    std::lock_guard guard(KernelMutex());
    auto mutex = ReferenceHandleAsLocked<MutexObject>(hMutex);
    if (!mutex)
        return FALSE;
    if (mutex->owner != self) {
        SetLastError(ERROR_NOT_OWNER);
        return FALSE;
    }
    if (--mutex->recursion == 0) {
        mutex->owner = 0;
        WakeWaiters(*mutex);
    }
    return TRUE;
}

HANDLE CreateSemaphore(void*, LONG lInitialCount, LONG lMaximumCount, LPCSTR)
{
    if (lMaximumCount <= 0 || lInitialCount < 0 || lInitialCount > lMaximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return AddHandle(std::make_shared<SemaphoreObject>(lInitialCount, lMaximumCount));
}

BOOL ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount, LPLONG lpPreviousCount)
{
    std::lock_guard guard(KernelMutex());
    auto semaphore = ReferenceHandleAsLocked<SemaphoreObject>(hSemaphore);
    if (!semaphore)
        return FALSE;
    if (lReleaseCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // Compared by subtraction: count + release could overflow a LONG.
    if (lReleaseCount > semaphore->maximumCount - semaphore->count) {
        SetLastError(ERROR_TOO_MANY_POSTS);
        return FALSE;
    }
    if (lpPreviousCount)
        *lpPreviousCount = semaphore->count;
    semaphore->count += lReleaseCount;
    WakeWaiters(*semaphore);
    return TRUE;
}

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    lpCriticalSection->OwningThread.store(0, std::memory_order_relaxed);
    lpCriticalSection->RecursionCount = 0;
}

BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD)
{
    InitializeCriticalSection(lpCriticalSection);
    return TRUE;
}

void DeleteCriticalSection(LPCRITICAL_SECTION) {}

void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    EnterCriticalSectionTimed(lpCriticalSection, INFINITE);
}

BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (!lpCriticalSection->Lock.try_lock())
        return FALSE;
    lpCriticalSection->OwningThread.store(GetCurrentThreadId(), std::memory_order_relaxed);
    ++lpCriticalSection->RecursionCount;
    return TRUE;
}

void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection)
{
    if (lpCriticalSection->OwningThread.load(std::memory_order_relaxed) != GetCurrentThreadId())
        return;
    if (--lpCriticalSection->RecursionCount == 0)
        lpCriticalSection->OwningThread.store(0, std::memory_order_relaxed);
    lpCriticalSection->Lock.unlock();
}
