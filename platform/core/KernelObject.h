// Kernel objects behind HANDLE values: the process's handle table and the waits on them.
#pragma once

#include "platform/core/Types.h"
#include "platform/core/WinError.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#ifndef MAXIMUM_WAIT_OBJECTS
#define MAXIMUM_WAIT_OBJECTS 64
#endif
#ifndef DUPLICATE_CLOSE_SOURCE
#define DUPLICATE_CLOSE_SOURCE 0x00000001
#endif
#ifndef DUPLICATE_SAME_ACCESS
#define DUPLICATE_SAME_ACCESS 0x00000002
#endif

// Pseudo handles: they name the caller's process and thread without being in the table.
HANDLE GetCurrentProcess();
HANDLE GetCurrentThread();

// Drops one handle; the object lives on while other handles or users hold it. The pseudo
// handles close as a no-op. Callable from any thread.
BOOL CloseHandle(HANDLE hObject);

// A second handle to the same object, within this process only (both process handles must be
// GetCurrentProcess()). A duplicate of GetCurrentThread() is a real handle to the calling
// thread. Callable from any thread.
BOOL DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle, HANDLE hTargetProcessHandle,
                     LPHANDLE lpTargetHandle, DWORD dwDesiredAccess, BOOL bInheritHandle,
                     DWORD dwOptions);

// Waits until the object is signalled or the time-out (ms, or INFINITE) passes. Answers
// WAIT_OBJECT_0, WAIT_ABANDONED (a mutex whose owner ended without releasing it; the caller
// owns it now), WAIT_TIMEOUT, or WAIT_FAILED with the last error set. Callable from any thread.
DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds);

// Waits for any one (the lowest index wins) or for all of up to MAXIMUM_WAIT_OBJECTS handles.
// A wait for all acquires every object at the same moment or none of them; auto-reset events,
// semaphores and mutexes are consumed only by the wait that succeeds. Answers WAIT_OBJECT_0 + i,
// WAIT_ABANDONED_0 + i, WAIT_TIMEOUT or WAIT_FAILED. Callable from any thread.
DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                             DWORD dwMilliseconds);

namespace kernel {

struct Waiter;

// One object of the handle table. All state that a wait looks at is guarded by the one kernel
// lock (KernelMutex); subclasses change it only while holding that lock and call WakeWaiters
// after any change that may satisfy a wait. Other parts of the layer may add their own kinds
// (a message queue's signal, a file) by deriving from this class.
class KernelObject {
public:
    KernelObject() = default;
    virtual ~KernelObject();
    KernelObject(const KernelObject&) = delete;
    KernelObject& operator=(const KernelObject&) = delete;
    KernelObject(KernelObject&&) = delete;
    KernelObject& operator=(KernelObject&&) = delete;

    // Objects that cannot be waited on make the waits fail with ERROR_INVALID_HANDLE.
    virtual bool IsWaitable() const { return false; }
    // Whether a wait by the given thread would succeed now. Kernel lock held.
    virtual bool IsSignalledFor(DWORD threadId) const;
    // Takes what a successful wait by the given thread consumes (an auto-reset event's signal,
    // a semaphore count, a mutex's ownership). True when the thread took over an abandoned mutex.
    // Kernel lock held.
    virtual bool Acquire(DWORD threadId);
    // Told when a thread ends, for objects registered with RegisterOwnable. Kernel lock held.
    virtual void OnThreadEnded(DWORD threadId);

private:
    friend void WakeWaiters(KernelObject& object);
    friend DWORD WaitForObjects(std::span<const std::shared_ptr<KernelObject>>, bool, DWORD);
    std::vector<Waiter*> m_waiters;   // in arrival order, so that waits are served first come first
};

// The one lock that guards the handle table and the state of every kernel object.
std::mutex& KernelMutex();

// Completes the waits that the object's new state satisfies, earliest first. Kernel lock held.
void WakeWaiters(KernelObject& object);

// Adds a handle for the object; null (with the last error set) when the table is full.
// Callable from any thread; must not be called with the kernel lock held.
HANDLE AddHandle(std::shared_ptr<KernelObject> object);
// The object behind a handle, or null (last error ERROR_INVALID_HANDLE). Resolves
// GetCurrentThread(). Callable from any thread; must not be called with the kernel lock held.
std::shared_ptr<KernelObject> ReferenceHandle(HANDLE handle);
// The same with the kernel lock already held.
std::shared_ptr<KernelObject> ReferenceHandleLocked(HANDLE handle);

template <class T>
std::shared_ptr<T> ReferenceHandleAs(HANDLE handle)
{
    auto object = std::dynamic_pointer_cast<T>(ReferenceHandle(handle));
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

template <class T>
std::shared_ptr<T> ReferenceHandleAsLocked(HANDLE handle)
{
    auto object = std::dynamic_pointer_cast<T>(ReferenceHandleLocked(handle));
    if (!object)
        SetLastError(ERROR_INVALID_HANDLE);
    return object;
}

// The wait behind WaitForMultipleObjects, on objects rather than handles, so that other waits
// (a message queue's) can add objects of their own. Must not be called with the kernel lock held.
DWORD WaitForObjects(std::span<const std::shared_ptr<KernelObject>> objects, bool waitAll,
                     DWORD milliseconds);

// Objects that a thread can own (mutexes) register here to hear of every thread's end.
// Kernel lock held.
void RegisterOwnable(const std::shared_ptr<KernelObject>& object);
// Tells every registered object that a thread ended. Kernel lock held.
void NotifyThreadEnded(DWORD threadId);

} // namespace kernel
