// Threads as kernel objects: creation (possibly suspended), identity, exit codes, priorities,
// and the sleep and yield calls.
#pragma once

#include "platform/core/KernelObject.h"
#include "platform/core/Types.h"

#include <functional>
#include <memory>
#include <string>

#ifndef STILL_ACTIVE
#define STILL_ACTIVE 259u
#endif
#ifndef CREATE_SUSPENDED
#define CREATE_SUSPENDED 0x00000004u
#endif
#ifndef THREAD_PRIORITY_NORMAL
#define THREAD_PRIORITY_IDLE (-15)
#define THREAD_PRIORITY_LOWEST (-2)
#define THREAD_PRIORITY_BELOW_NORMAL (-1)
#define THREAD_PRIORITY_NORMAL 0
#define THREAD_PRIORITY_ABOVE_NORMAL 1
#define THREAD_PRIORITY_HIGHEST 2
#define THREAD_PRIORITY_TIME_CRITICAL 15
#define THREAD_PRIORITY_ERROR_RETURN 0x7FFFFFFF
#endif

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID lpThreadParameter);

// The calling thread's id: nonzero, fixed for the thread's life and never given to another
// thread of the process. Callable from any thread.
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();

// Starts a thread running lpStartAddress(lpParameter); with CREATE_SUSPENDED it runs only once
// ResumeThread brings its suspend count to 0. The handle is signalled when the thread ends; an
// exception escaping the thread ends it with exit code 0xFFFFFFFF (reported, never rethrown).
// The stack size is accepted and ignored: the system's default stack is larger than any the
// program asks for. lpThreadAttributes is ignored. Callable from any thread.
HANDLE CreateThread(void* lpThreadAttributes, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                    LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId);

// Ends the calling thread with the given exit code. On a thread this layer started, the stack
// unwinds (destructors run) up to the thread's entry; a catch (...) in between that does not
// rethrow stops it, so worker code should rethrow what it does not know. On other threads the
// thread exits at once.
[[noreturn]] void ExitThread(DWORD dwExitCode);

// A thread cannot be killed safely, so this only gives up on it: the thread is detached and
// marked abandoned, GetExitCodeThread reads dwExitCode from now on, and a thread still suspended
// never starts. The handle stays unsignalled until the thread really ends, so a wait on it tells
// the truth; mutexes it owns are abandoned only then. On the calling thread itself it is
// ExitThread. Callable from any thread.
BOOL TerminateThread(HANDLE hThread, DWORD dwExitCode);

// STILL_ACTIVE while the thread runs or waits to be resumed. Callable from any thread.
BOOL GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode);

// Answer the previous suspend count, or (DWORD)-1 with the last error set. A thread can be
// suspended only before it starts running: suspending a running thread cannot be done safely
// and fails with ERROR_NOT_SUPPORTED. Callable from any thread.
DWORD ResumeThread(HANDLE hThread);
DWORD SuspendThread(HANDLE hThread);

// Priorities are recorded and answered but do not change scheduling. Callable from any thread.
BOOL SetThreadPriority(HANDLE hThread, int nPriority);
int GetThreadPriority(HANDLE hThread);

// Sleep(0) yields; Sleep(INFINITE) never returns.
void Sleep(DWORD dwMilliseconds);
BOOL SwitchToThread();

namespace kernel {

// How a thread ended, for the code that runs on the thread just before its handle is signalled.
struct ThreadEndInfo {
    DWORD exitCode = 0;
    // False when the thread asked that its thread object be kept (AfxEndThread(code, FALSE)).
    bool deleteThreadObject = true;
    // True when the body never ran (terminated while still suspended).
    bool neverStarted = false;
};

using ThreadBody = std::function<DWORD()>;
using ThreadFinish = std::function<void(const ThreadEndInfo&)>;

// Starts a thread as CreateThread does, with a body and a finishing step that runs on the thread
// after the body, before the handle is signalled. Callable from any thread.
HANDLE StartThread(ThreadBody body, ThreadFinish finish, DWORD creationFlags, LPDWORD threadId);

// Ends the calling thread from inside its body (ExitThread, AfxEndThread).
[[noreturn]] void EndCurrentThread(DWORD exitCode, bool deleteThreadObject);

// Where reports of exceptions that escaped a thread go (one line of text each); the default
// writes them to stderr. An empty function restores the default. Callable from any thread.
using ThreadFailureReporter = std::function<void(DWORD threadId, const std::string& what)>;
void SetThreadFailureReporter(ThreadFailureReporter reporter);

// The calling thread's own thread object (made on first use for threads this layer did not
// start). Kernel lock held.
std::shared_ptr<KernelObject> CurrentThreadObjectLocked();

} // namespace kernel
