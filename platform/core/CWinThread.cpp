#include "platform/core/CWinThread.h"

#include <atomic>
#include <mutex>

IMPLEMENT_DYNAMIC(CWinThread, CObject)

namespace kernel {

// The running thread's only way to its object. The object's destructor cuts the link, so a
// thread whose object was deleted under it (given up on, or deleted while still running) never
// touches freed memory.
struct ThreadLink {
    std::mutex lock;
    CWinThread* owner = nullptr;
};

} // namespace kernel

namespace {

thread_local CWinThread* t_currentThread = nullptr;
std::atomic<CWinThread::RunLoop> g_runLoop{nullptr};

} // namespace

CWinThread::CWinThread()
    : m_hThread(nullptr), m_nThreadID(0), m_bAutoDelete(TRUE), m_pMainWnd(nullptr),
      m_pActiveWnd(nullptr), m_pThreadParams(nullptr), m_pfnThreadProc(nullptr)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam) : CWinThread()
{
    m_pfnThreadProc = pfnThreadProc;
    m_pThreadParams = pParam;
}

CWinThread::~CWinThread()
{
    if (m_link) {
        std::lock_guard guard(m_link->lock);
        m_link->owner = nullptr;
    }
    if (m_hThread)
        ::CloseHandle(m_hThread);
    if (t_currentThread == this)
        t_currentThread = nullptr;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT, void*)
{
    if (m_hThread) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto link = std::make_shared<kernel::ThreadLink>();
    link->owner = this;

    auto finish = [link](const kernel::ThreadEndInfo& info) {
        t_currentThread = nullptr;
        CWinThread* doomed = nullptr;
        {
            std::lock_guard guard(link->lock);
            CWinThread* self = link->owner;
            if (self && info.deleteThreadObject && self->m_bAutoDelete) {
                doomed = self;
                link->owner = nullptr;
            }
        }
        if (doomed)
            doomed->Delete();
    };

    // Always created suspended, so that the members are set before the thread can end and
    // delete the object.
    DWORD threadId = 0;
    HANDLE handle = kernel::StartThread([link] { return RunOnThread(link); }, finish,
                                        dwCreateFlags | CREATE_SUSPENDED, &threadId);
    if (!handle)
        return FALSE;
    m_link = link;
    m_hThread = handle;
    m_nThreadID = threadId;
    ::SetThreadPriority(handle, m_nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(handle);   // the object may be gone from here on
    return TRUE;
}

DWORD CWinThread::RunOnThread(const std::shared_ptr<kernel::ThreadLink>& link)
{
    CWinThread* self = nullptr;
    AFX_THREADPROC pfn = nullptr;
    LPVOID param = nullptr;
    {
        std::lock_guard guard(link->lock);
        self = link->owner;
        if (!self)
            return 0;   // deleted before it could start
        pfn = self->m_pfnThreadProc;
        param = self->m_pThreadParams;
    }
    t_currentThread = self;
    // A worker touches its object no more: its owner may delete it while it runs.
    if (pfn)
        return pfn(param);
    if (!self->InitInstance())
        return static_cast<DWORD>(self->ExitInstance());
    return static_cast<DWORD>(self->Run());
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

DWORD CWinThread::SuspendThread()
{
    return ::SuspendThread(m_hThread);
}

int CWinThread::GetThreadPriority()
{
    if (!m_hThread)
        return m_nPriority;
    return ::GetThreadPriority(m_hThread);
}

BOOL CWinThread::SetThreadPriority(int nPriority)
{
    if (!m_hThread) {
        m_nPriority = nPriority;
        return TRUE;
    }
    return ::SetThreadPriority(m_hThread, nPriority);
}

BOOL CWinThread::InitInstance()
{
    return FALSE;   // a thread class with a message loop overrides this
}

int CWinThread::Run()
{
    if (RunLoop loop = g_runLoop.load())
        return loop(*this);
    return ExitInstance();
}

int CWinThread::ExitInstance()
{
    return 0;
}

BOOL CWinThread::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG)
{
    return FALSE;
}

void CWinThread::Delete()
{
    if (m_bAutoDelete)
        delete this;
}

void CWinThread::SetRunLoop(RunLoop loop)
{
    g_runLoop.store(loop);
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority,
                           UINT nStackSize, DWORD dwCreateFlags, void* lpSecurityAttrs)
{
    if (!pfnThreadProc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_unique<CWinThread>(pfnThreadProc, pParam);
    if (!thread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs))
        return nullptr;
    thread->SetThreadPriority(nPriority);
    // From here the thread owns its object when m_bAutoDelete stays set.
    CWinThread* started = thread.release();
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        started->ResumeThread();
    return started;
}

void AfxEndThread(UINT nExitCode, BOOL bDelete)
{
    kernel::EndCurrentThread(nExitCode, bDelete != FALSE);
}

CWinThread* AfxGetThread()
{
    return t_currentThread;
}

void AfxSetThread(CWinThread* pThread)
{
    t_currentThread = pThread;
}
