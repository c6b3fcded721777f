// Events, mutexes, semaphores and critical sections: the synchronisation calls on handles.
#pragma once

#include "platform/core/KernelObject.h"
#include "platform/core/Types.h"
#include "platform/core/WinError.h"

#include <atomic>
#include <mutex>

// Object names are accepted and ignored: the program shares no object by name, so every call
// makes a new object. Security attributes are ignored. All calls are callable from any thread.

// An event, manual-reset (stays signalled until reset) or auto-reset (one successful wait
// resets it).
HANDLE CreateEvent(void* lpEventAttributes, BOOL bManualReset, BOOL bInitialState, LPCSTR lpName);
BOOL SetEvent(HANDLE hEvent);
BOOL ResetEvent(HANDLE hEvent);
// Releases the threads waiting at this moment (all of them for a manual-reset event, at most
// one for an auto-reset event) and leaves the event reset.
BOOL PulseEvent(HANDLE hEvent);

// A mutex owned by one thread at a time, recursively. When its owner ends without releasing it,
// the mutex is abandoned: the next wait gets it with WAIT_ABANDONED.
HANDLE CreateMutex(void* lpMutexAttributes, BOOL bInitialOwner, LPCSTR lpName);
// Fails with ERROR_NOT_OWNER unless the caller owns the mutex.
BOOL ReleaseMutex(HANDLE hMutex);

// A counting semaphore; 0 <= initial count <= maximum count, maximum > 0.
HANDLE CreateSemaphore(void* lpSemaphoreAttributes, LONG lInitialCount, LONG lMaximumCount,
                       LPCSTR lpName);
// Adds lReleaseCount (> 0); fails with ERROR_TOO_MANY_POSTS, changing nothing, past the maximum.
BOOL ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount, LPLONG lpPreviousCount);

// A re-entrant lock inside the caller's own storage, not a handle. The structure owns its lock,
// so it cannot be copied; Initialize resets it and Delete releases nothing.
struct CRITICAL_SECTION {
    std::recursive_timed_mutex Lock;
    std::atomic<DWORD> OwningThread{0};
    LONG RecursionCount = 0;   // touched only by the owner
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount);
void DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
void EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection);
// Leaving a section the caller does not hold is ignored rather than corrupting the lock.
void LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection);

namespace kernel {
// Enters with a time-out in ms (INFINITE waits for ever); FALSE when the time ran out.
BOOL EnterCriticalSectionTimed(LPCRITICAL_SECTION lpCriticalSection, DWORD dwMilliseconds);
} // namespace kernel
