#include "platform/core/ThreadApi.h"

#include "platform/core/CException.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cxxabi.h>
#include <exception>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace kernel {

// A thread's kernel object. Everything but the id is guarded by the kernel lock.
class ThreadObject : public KernelObject {
public:
    explicit ThreadObject(DWORD threadId) : id(threadId) {}

    bool IsWaitable() const override { return true; }
    bool IsSignalledFor(DWORD) const override { return ended; }

    const DWORD id;
    bool started = false;      // the body has begun (or the thread was not ours to start)
    bool ended = false;        // the thread has really finished: the handle is signalled
    bool terminated = false;   // given up on by TerminateThread; its exit code is fixed
    DWORD exitCode = STILL_ACTIVE;
    int suspendCount = 0;
    int priority = THREAD_PRIORITY_NORMAL;
    std::condition_variable resumed;
};

namespace {

// Thrown by ExitThread and AfxEndThread on threads this layer started; caught at the entry.
struct ThreadExitRequest {
    DWORD exitCode;
    bool deleteThreadObject;
};

DWORD AllocateThreadId()
{
    // Ids are never reused, so other parts (message queues) may key on them for the process's life.
    static std::atomic<DWORD> nextId{1};
    return nextId.fetch_add(1, std::memory_order_relaxed);
}

// Marks a thread as really ended and signals its handle; kernel lock held.
void MarkEndedLocked(ThreadObject* object, DWORD threadId, DWORD exitCode)
{
    if (object) {
        if (!object->terminated)
            object->exitCode = exitCode;
        object->ended = true;
    }
    // Mutexes still owned become abandoned; their next waiter is told so.
    NotifyThreadEnded(threadId);
    if (object)
        WakeWaiters(*object);
}

// The calling thread's id. Kept apart from the state below and trivially destructible, so that
// it stays readable from other thread-local destructors that run after that state's.
thread_local DWORD t_threadId = 0;

// The calling thread's object. Threads this layer starts are ended by their entry; for any
// other thread the end is noticed when this state is destroyed (it is set up on the first
// GetCurrentThreadId, before any wait or ownership).
struct ThreadState {
    std::shared_ptr<ThreadObject> object;
    bool ownedByLayer = false;
    bool endHandled = false;

    ~ThreadState()
    {
        if (t_threadId == 0 || ownedByLayer || endHandled)
            return;
        std::lock_guard guard(KernelMutex());
        MarkEndedLocked(object.get(), t_threadId, 0);
    }
};

thread_local ThreadState t_state;

std::mutex& ReporterMutex()
{
    static std::mutex* mutex = new std::mutex;
    return *mutex;
}

ThreadFailureReporter& Reporter()
{
    static ThreadFailureReporter* reporter = new ThreadFailureReporter;
    return *reporter;
}

void ReportFailure(DWORD threadId, const std::string& what)
{
    ThreadFailureReporter reporter;
    {
        std::lock_guard guard(ReporterMutex());
        reporter = Reporter();
    }
    if (reporter) {
        try {
            reporter(threadId, what);
            return;
        } catch (...) {
            // A failing reporter must not take the thread down with it; fall back to stderr.
        }
    }
    std::fprintf(stderr, "Thread 0x%x ended by an uncaught exception: %s\n",
                 static_cast<unsigned>(threadId), what.c_str());
}

// Runs the body and turns every way out of it into an exit code.
void RunBody(const ThreadBody& body, ThreadEndInfo& info, DWORD threadId)
{
    try {
        info.exitCode = body ? body() : 0;
    } catch (const ThreadExitRequest& request) {
        info.exitCode = request.exitCode;
        info.deleteThreadObject = request.deleteThreadObject;
    } catch (const abi::__forced_unwind&) {
        throw;   // the runtime's own unwinding of an exiting thread must go on
    } catch (CException* e) {
        // The class library throws its exceptions by pointer; this one is ours to free.
        char text[512] = "";
        if (!e || !e->GetErrorMessage(text, sizeof text))
            std::snprintf(text, sizeof text, "%s", e ? e->GetRuntimeClass()->m_lpszClassName : "CException");
        if (e)
            e->Delete();
        ReportFailure(threadId, text);
        info.exitCode = 0xFFFFFFFFu;
    } catch (const std::exception& e) {
        ReportFailure(threadId, e.what());
        info.exitCode = 0xFFFFFFFFu;
    } catch (...) {
        ReportFailure(threadId, "an exception of unknown type");
        info.exitCode = 0xFFFFFFFFu;
    }
}

void ThreadMain(std::shared_ptr<ThreadObject> self, ThreadBody body, ThreadFinish finish)
{
    t_threadId = self->id;
    t_state.object = self;
    t_state.ownedByLayer = true;

    ThreadEndInfo info;
    {
        std::unique_lock lock(KernelMutex());
        self->resumed.wait(lock, [&] { return self->suspendCount == 0 || self->terminated; });
        if (self->terminated)
            info.neverStarted = true;
        else
            self->started = true;
    }
    if (!info.neverStarted)
        RunBody(body, info, self->id);
    if (finish) {
        try {
            finish(info);
        } catch (...) {
            ReportFailure(self->id, "an exception while ending the thread");
        }
    }
    // Release what the body captured before waiters learn that the thread is gone.
    body = nullptr;
    finish = nullptr;
    std::lock_guard guard(KernelMutex());
    MarkEndedLocked(self.get(), self->id, info.exitCode);
}

bool IsValidPriority(int priority)
{
    switch (priority) {
    case THREAD_PRIORITY_IDLE:
    case THREAD_PRIORITY_LOWEST:
    case THREAD_PRIORITY_BELOW_NORMAL:
    case THREAD_PRIORITY_NORMAL:
    case THREAD_PRIORITY_ABOVE_NORMAL:
    case THREAD_PRIORITY_HIGHEST:
    case THREAD_PRIORITY_TIME_CRITICAL:
        return true;
    default:
        return false;
    }
}

} // namespace

std::shared_ptr<KernelObject> CurrentThreadObjectLocked()
{
    if (!t_state.object) {
        auto object = std::make_shared<ThreadObject>(GetCurrentThreadId());
        object->started = true;
        t_state.object = std::move(object);
    }
    return t_state.object;
}

HANDLE StartThread(ThreadBody body, ThreadFinish finish, DWORD creationFlags, LPDWORD threadId)
{
    auto object = std::make_shared<ThreadObject>(AllocateThreadId());
    object->suspendCount = (creationFlags & CREATE_SUSPENDED) ? 1 : 0;
    HANDLE handle = AddHandle(object);
    if (!handle)
        return nullptr;
    try {
        std::thread(ThreadMain, object, std::move(body), std::move(finish)).detach();
    } catch (const std::exception&) {
        CloseHandle(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId)
        *threadId = object->id;
    return handle;
}

void EndCurrentThread(DWORD exitCode, bool deleteThreadObject)
{
    if (t_state.ownedByLayer)
        throw ThreadExitRequest{exitCode, deleteThreadObject};
    GetCurrentThreadId();
    {
        std::lock_guard guard(KernelMutex());
        MarkEndedLocked(t_state.object.get(), t_threadId, exitCode);
        t_state.endHandled = true;
    }
    pthread_exit(nullptr);
}

void SetThreadFailureReporter(ThreadFailureReporter reporter)
{
    std::lock_guard guard(ReporterMutex());
    Reporter() = std::move(reporter);
}

} // namespace kernel

using namespace kernel;

DWORD GetCurrentThreadId()
{
    if (t_threadId == 0) {
        t_threadId = AllocateThreadId();
        t_state.endHandled = false;   // touching the state registers its end-of-thread hook
    }
    return t_threadId;
}

DWORD GetCurrentProcessId()
{
    return static_cast<DWORD>(getpid());
}

HANDLE CreateThread(void* /*lpThreadAttributes*/, SIZE_T /*dwStackSize*/,
                    LPTHREAD_START_ROUTINE lpStartAddress, LPVOID lpParameter, DWORD dwCreationFlags,
                    LPDWORD lpThreadId)
{
    if (!lpStartAddress) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return StartThread([lpStartAddress, lpParameter] { return lpStartAddress(lpParameter); }, nullptr,
                       dwCreationFlags, lpThreadId);
}

void ExitThread(DWORD dwExitCode)
{
    EndCurrentThread(dwExitCode, true);
}

BOOL TerminateThread(HANDLE hThread, DWORD dwExitCode)
{
    auto thread = ReferenceHandleAs<ThreadObject>(hThread);
    if (!thread)
        return FALSE;
    if (thread->id == GetCurrentThreadId())
        ExitThread(dwExitCode);
    std::lock_guard guard(KernelMutex());
    if (!thread->ended && !thread->terminated) {
        thread->terminated = true;
        thread->exitCode = dwExitCode;
        thread->resumed.notify_all();   // a suspended thread ends without running its body
    }
    return TRUE;
}

BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode)
{
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(KernelMutex());
    auto thread = ReferenceHandleAsLocked<ThreadObject>(hThread);
    if (!thread)
        return FALSE;
    *lpExitCode = thread->exitCode;
    return TRUE;
}

DWORD ResumeThread(HANDLE hThread)
{
    std::lock_guard guard(KernelMutex());
    auto thread = ReferenceHandleAsLocked<ThreadObject>(hThread);
    if (!thread)
        return static_cast<DWORD>(-1);
    int previous = thread->suspendCount;
    if (previous > 0 && --thread->suspendCount == 0)
        thread->resumed.notify_all();
    return static_cast<DWORD>(previous);
}

DWORD SuspendThread(HANDLE hThread)
{
    std::lock_guard guard(KernelMutex());
    auto thread = ReferenceHandleAsLocked<ThreadObject>(hThread);
    if (!thread)
        return static_cast<DWORD>(-1);
    // Stopping a thread at an arbitrary point could leave a lock held for ever.
    if (thread->started || thread->ended || thread->terminated) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return static_cast<DWORD>(-1);
    }
    return static_cast<DWORD>(thread->suspendCount++);
}

BOOL SetThreadPriority(HANDLE hThread, int nPriority)
{
    if (!IsValidPriority(nPriority)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard guard(KernelMutex());
    auto thread = ReferenceHandleAsLocked<ThreadObject>(hThread);
    if (!thread)
        return FALSE;
    thread->priority = nPriority;
    return TRUE;
}

int GetThreadPriority(HANDLE hThread)
{
    std::lock_guard guard(KernelMutex());
    auto thread = ReferenceHandleAsLocked<ThreadObject>(hThread);
    if (!thread)
        return THREAD_PRIORITY_ERROR_RETURN;
    return thread->priority;
}

void Sleep(DWORD dwMilliseconds)
{
    if (dwMilliseconds == 0) {
        std::this_thread::yield();
        return;
    }
    if (dwMilliseconds == INFINITE) {
        for (;;)
            std::this_thread::sleep_for(std::chrono::hours(24));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMilliseconds));
}

BOOL SwitchToThread()
{
    std::this_thread::yield();
    return TRUE;
}
