// CWinThread: a thread with its object, and AfxBeginThread, which starts worker threads.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/Types.h"
#include "platform/core/WinMessages.h"

#include <memory>

class CWnd;

typedef UINT (*AFX_THREADPROC)(LPVOID pParam);

namespace kernel {
struct ThreadLink;
}

// A thread object. A worker thread runs m_pfnThreadProc(m_pThreadParams); a user-interface
// thread (no thread procedure) runs InitInstance, then Run, then ExitInstance. With
// m_bAutoDelete the object deletes itself when its thread ends, and its handle is closed then;
// a caller that wants to read m_hThread after the thread may have ended creates it suspended,
// sets m_bAutoDelete to FALSE, resumes it, and deletes the object itself later. Deleting the
// object of a worker thread that is still running is safe: the thread runs on and no longer
// touches the object.
class CWinThread : public CObject {
    DECLARE_DYNAMIC(CWinThread)
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    ~CWinThread() override;
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the thread (suspended with CREATE_SUSPENDED). FALSE when it could not be started
    // or was started before. The stack size is accepted and ignored.
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, void* lpSecurityAttrs = nullptr);

    operator HANDLE() const { return m_hThread; }

    // Callable from any thread.
    DWORD ResumeThread();
    DWORD SuspendThread();
    int GetThreadPriority();
    BOOL SetThreadPriority(int nPriority);

    // For user-interface threads. The message loop is not part of this class: Run uses the loop
    // installed with SetRunLoop, or, when none is installed, just calls ExitInstance.
    virtual BOOL InitInstance();
    virtual int Run();
    virtual int ExitInstance();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);
    // Deletes the object when m_bAutoDelete is set.
    virtual void Delete();

    // The process's message loop for Run (installed once by the message-queue layer).
    using RunLoop = int (*)(CWinThread& thread);
    static void SetRunLoop(RunLoop loop);

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;
    CWnd* m_pMainWnd;
    CWnd* m_pActiveWnd;
    LPVOID m_pThreadParams;
    AFX_THREADPROC m_pfnThreadProc;

private:
    static DWORD RunOnThread(const std::shared_ptr<kernel::ThreadLink>& link);

    std::shared_ptr<kernel::ThreadLink> m_link;
    int m_nPriority = THREAD_PRIORITY_NORMAL;   // applied when the thread is created
};

// Starts a worker thread running pfnThreadProc(pParam) and answers its object, or null when the
// thread could not be started. With CREATE_SUSPENDED the caller resumes it (after, say, clearing
// m_bAutoDelete). Without it, the object may already be gone when this returns if the thread
// was quick and m_bAutoDelete is set. Callable from any thread.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, void* lpSecurityAttrs = nullptr);

// Ends the calling thread with the exit code; bDelete FALSE keeps its thread object alive.
// As with ExitThread, the stack unwinds to the thread's entry.
[[noreturn]] void AfxEndThread(UINT nExitCode, BOOL bDelete = TRUE);

// The thread object of the calling thread: the one it was started with, or the one registered
// with AfxSetThread (the application object for the main thread); null otherwise.
CWinThread* AfxGetThread();
// Makes an object the calling thread's thread object (the application object does this for the
// main thread).
void AfxSetThread(CWinThread* pThread);
