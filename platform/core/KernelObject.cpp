#include "platform/core/KernelObject.h"

#include "platform/core/ThreadApi.h"

#include <algorithm>
#include <chrono>
#include <unordered_map>

namespace kernel {

// One waiting thread. It lives on the waiter's stack and sits in the waiter list of every object
// it waits on; whoever changes an object completes the waits it can, under the kernel lock, so a
// signal is never consumed by a wait that then times out.
struct Waiter {
    std::span<const std::shared_ptr<KernelObject>> objects;
    bool waitAll = false;
    DWORD threadId = 0;
    bool done = false;
    DWORD result = WAIT_TIMEOUT;
    std::condition_variable wake;
};

namespace {

// The table and the lock are never destroyed: detached threads may still close or wait on
// handles while the process runs its static destructors.
struct HandleTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> handles;
    // Handle values are never reused, so a stale handle fails instead of reaching a newer object.
    uintptr_t nextValue = 0x1000;
    std::vector<std::weak_ptr<KernelObject>> ownables;
};

HandleTable& Table()
{
    static HandleTable* table = new HandleTable;
    return *table;
}

const uintptr_t kCurrentProcess = static_cast<uintptr_t>(-1);
const uintptr_t kCurrentThread = static_cast<uintptr_t>(-2);

// Tries to complete a wait with the objects' present state; kernel lock held.
bool TrySatisfy(Waiter& waiter)
{
    const auto& objects = waiter.objects;
    if (waiter.waitAll) {
        for (const auto& object : objects) {
            if (!object->IsSignalledFor(waiter.threadId))
                return false;
        }
        DWORD result = WAIT_OBJECT_0;
        for (size_t i = 0; i < objects.size(); ++i) {
            if (objects[i]->Acquire(waiter.threadId) && result == WAIT_OBJECT_0)
                result = WAIT_ABANDONED_0 + static_cast<DWORD>(i);
        }
        waiter.result = result;
        waiter.done = true;
        return true;
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i]->IsSignalledFor(waiter.threadId)) {
            bool abandoned = objects[i]->Acquire(waiter.threadId);
            waiter.result = (abandoned ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + static_cast<DWORD>(i);
            waiter.done = true;
            return true;
        }
    }
    return false;
}

} // namespace

KernelObject::~KernelObject() = default;

bool KernelObject::IsSignalledFor(DWORD) const
{
    return false;
}

bool KernelObject::Acquire(DWORD)
{
    return false;
}

void KernelObject::OnThreadEnded(DWORD) {}

std::mutex& KernelMutex()
{
    return Table().lock;
}

void WakeWaiters(KernelObject& object)
{
    // A completed waiter stays in the list until its own thread removes it; skip those.
    for (Waiter* waiter : object.m_waiters) {
        if (!waiter->done && TrySatisfy(*waiter))
            waiter->wake.notify_one();
    }
}

HANDLE AddHandle(std::shared_ptr<KernelObject> object)
{
    if (!object) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HandleTable& table = Table();
    std::lock_guard guard(table.lock);
    uintptr_t value = table.nextValue;
    table.nextValue += 4;
    table.handles.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> ReferenceHandleLocked(HANDLE handle)
{
    auto value = reinterpret_cast<uintptr_t>(handle);
    if (value == kCurrentThread)
        return CurrentThreadObjectLocked();
    HandleTable& table = Table();
    auto it = table.handles.find(value);
    if (it == table.handles.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return it->second;
}

std::shared_ptr<KernelObject> ReferenceHandle(HANDLE handle)
{
    std::lock_guard guard(KernelMutex());
    return ReferenceHandleLocked(handle);
}

DWORD WaitForObjects(std::span<const std::shared_ptr<KernelObject>> objects, bool waitAll,
                     DWORD milliseconds)
{
    if (objects.empty() || objects.size() > MAXIMUM_WAIT_OBJECTS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    for (size_t i = 0; i < objects.size(); ++i) {
        if (!objects[i] || !objects[i]->IsWaitable()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return WAIT_FAILED;
        }
        // Acquiring one object twice in a single wait for all has no sound meaning.
        if (waitAll && std::find(objects.begin(), objects.begin() + i, objects[i]) != objects.begin() + i) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return WAIT_FAILED;
        }
    }

    Waiter waiter;
    waiter.objects = objects;
    waiter.waitAll = waitAll;
    waiter.threadId = GetCurrentThreadId();   // before the lock: the first call may set up the thread

    std::unique_lock lock(KernelMutex());
    if (TrySatisfy(waiter))
        return waiter.result;
    if (milliseconds == 0)
        return WAIT_TIMEOUT;

    for (const auto& object : objects)
        object->m_waiters.push_back(&waiter);
    if (milliseconds == INFINITE) {
        waiter.wake.wait(lock, [&] { return waiter.done; });
    } else {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        waiter.wake.wait_until(lock, deadline, [&] { return waiter.done; });
    }
    for (const auto& object : objects) {
        auto& list = object->m_waiters;
        list.erase(std::remove(list.begin(), list.end(), &waiter), list.end());
    }
    return waiter.done ? waiter.result : WAIT_TIMEOUT;
}

void RegisterOwnable(const std::shared_ptr<KernelObject>& object)
{
    auto& ownables = Table().ownables;
    std::erase_if(ownables, [](const std::weak_ptr<KernelObject>& entry) { return entry.expired(); });
    ownables.push_back(object);
}

void NotifyThreadEnded(DWORD threadId)
{
    // Copy the live ones first: an object woken here may release the last reference to another.
    std::vector<std::shared_ptr<KernelObject>> live;
    for (const auto& entry : Table().ownables) {
        if (auto object = entry.lock())
            live.push_back(std::move(object));
    }
    for (const auto& object : live)
        object->OnThreadEnded(threadId);
}

} // namespace kernel

using namespace kernel;

HANDLE GetCurrentProcess()
{
    return reinterpret_cast<HANDLE>(kCurrentProcess);
}

HANDLE GetCurrentThread()
{
    return reinterpret_cast<HANDLE>(kCurrentThread);
}

BOOL CloseHandle(HANDLE hObject)
{
    auto value = reinterpret_cast<uintptr_t>(hObject);
    if (value == kCurrentProcess || value == kCurrentThread)
        return TRUE;
    std::shared_ptr<KernelObject> released;   // dropped after the lock: its destructor may be long
    {
        HandleTable& table = Table();
        std::lock_guard guard(table.lock);
        auto it = table.handles.find(value);
        if (it == table.handles.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        released = std::move(it->second);
        table.handles.erase(it);
    }
    return TRUE;
}

BOOL DuplicateHandle(HANDLE hSourceProcessHandle, HANDLE hSourceHandle, HANDLE hTargetProcessHandle,
                     LPHANDLE lpTargetHandle, DWORD /*dwDesiredAccess*/, BOOL /*bInheritHandle*/,
                     DWORD dwOptions)
{
    if (reinterpret_cast<uintptr_t>(hSourceProcessHandle) != kCurrentProcess
        || reinterpret_cast<uintptr_t>(hTargetProcessHandle) != kCurrentProcess) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpTargetHandle) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto object = ReferenceHandle(hSourceHandle);
    if (!object)
        return FALSE;
    HANDLE duplicate = AddHandle(std::move(object));
    if (!duplicate)
        return FALSE;
    if (dwOptions & DUPLICATE_CLOSE_SOURCE)
        CloseHandle(hSourceHandle);
    *lpTargetHandle = duplicate;
    return TRUE;
}

DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds)
{
    return WaitForMultipleObjects(1, &hHandle, FALSE, dwMilliseconds);
}

DWORD WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll,
                             DWORD dwMilliseconds)
{
    if (nCount == 0 || nCount > MAXIMUM_WAIT_OBJECTS || !lpHandles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return WAIT_FAILED;
    }
    std::vector<std::shared_ptr<KernelObject>> objects;
    objects.reserve(nCount);
    {
        std::lock_guard guard(KernelMutex());
        for (DWORD i = 0; i < nCount; ++i) {
            auto object = ReferenceHandleLocked(lpHandles[i]);
            if (!object)
                return WAIT_FAILED;
            objects.push_back(std::move(object));
        }
    }
    // The wait holds its own references, so closing a handle meanwhile cannot free the object.
    return WaitForObjects(objects, bWaitAll != FALSE, dwMilliseconds);
}
