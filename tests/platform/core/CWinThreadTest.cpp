#include "platform/core/CWinThread.h"
#include "platform/core/SyncApi.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {

UINT WaitForEventThenReturn11(LPVOID event)
{
    WaitForSingleObject(static_cast<HANDLE>(event), INFINITE);
    return 11;
}

UINT ReturnAtOnce(LPVOID)
{
    return 4;
}

TEST(CWinThread, SuspendedThreadWithoutAutoDeleteKeepsAReadableHandle)
{
    // The engine's pattern: created suspended, automatic deletion off, then resumed.
    CWinThread* thread = AfxBeginThread(ReturnAtOnce, nullptr, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->IsKindOf(RUNTIME_CLASS(CWinThread)));
    EXPECT_NE(thread->m_hThread, nullptr);
    EXPECT_NE(thread->m_nThreadID, 0u);
    thread->m_bAutoDelete = FALSE;
    EXPECT_EQ(WaitForSingleObject(thread->m_hThread, 20), WAIT_TIMEOUT);
    EXPECT_EQ(thread->ResumeThread(), 1u);
    EXPECT_EQ(WaitForSingleObject(thread->m_hThread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread->m_hThread, &code));
    EXPECT_EQ(code, 4u);
    delete thread;
}

TEST(CWinThread, DuplicatedHandleOutlivesAnAutoDeletedThreadObject)
{
    HANDLE go = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    CWinThread* thread = AfxBeginThread(WaitForEventThenReturn11, go, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    HANDLE copy = nullptr;
    ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &copy, 0,
                                FALSE, DUPLICATE_SAME_ACCESS));
    thread->ResumeThread();   // the object deletes itself from here on
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(copy, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(copy, &code));
    EXPECT_EQ(code, 11u);
    CloseHandle(copy);
    CloseHandle(go);
}

// Records its own destruction so that automatic deletion can be seen.
class CProbeThread : public CWinThread {
public:
    CProbeThread(AFX_THREADPROC pfn, LPVOID param, std::atomic<int>* destroyed)
        : CWinThread(pfn, param), m_destroyed(destroyed)
    {
    }
    ~CProbeThread() override { ++*m_destroyed; }

private:
    std::atomic<int>* m_destroyed;
};

TEST(CWinThread, AutoDeleteDeletesTheObjectBeforeTheHandleIsSignalled)
{
    std::atomic<int> destroyed{0};
    auto* thread = new CProbeThread(ReturnAtOnce, nullptr, &destroyed);
    ASSERT_TRUE(thread->CreateThread(CREATE_SUSPENDED));
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    thread->ResumeThread();
    EXPECT_EQ(WaitForSingleObject(copy, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(destroyed.load(), 1);
    CloseHandle(copy);
}

TEST(CWinThread, DeletingTheObjectOfARunningWorkerIsSafe)
{
    std::atomic<int> destroyed{0};
    HANDLE go = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    auto* thread = new CProbeThread(WaitForEventThenReturn11, go, &destroyed);
    thread->m_bAutoDelete = TRUE;   // it would delete itself, but its owner deletes it first
    ASSERT_TRUE(thread->CreateThread(CREATE_SUSPENDED));
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    thread->ResumeThread();
    EXPECT_TRUE(TerminateThread(copy, 0));
    delete thread;
    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(copy, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(destroyed.load(), 1);   // not deleted a second time by the ending thread
    CloseHandle(copy);
    CloseHandle(go);
}

UINT EndEarly(LPVOID)
{
    AfxEndThread(21, FALSE);
}

TEST(CWinThread, AfxEndThreadSetsTheCodeAndMayKeepTheObject)
{
    std::atomic<int> destroyed{0};
    auto* thread = new CProbeThread(EndEarly, nullptr, &destroyed);
    ASSERT_TRUE(thread->CreateThread(CREATE_SUSPENDED));
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), thread->m_hThread, GetCurrentProcess(), &copy, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    thread->ResumeThread();
    WaitForSingleObject(copy, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(copy, &code);
    EXPECT_EQ(code, 21u);
    EXPECT_EQ(destroyed.load(), 0);
    delete thread;
    CloseHandle(copy);
}

UINT ReportCurrentThread(LPVOID slot)
{
    static_cast<std::atomic<CWinThread*>*>(slot)->store(AfxGetThread());
    return 0;
}

TEST(CWinThread, AfxGetThreadAnswersTheRunningThreadsObject)
{
    std::atomic<CWinThread*> seen{nullptr};
    CWinThread* thread = AfxBeginThread(ReportCurrentThread, &seen, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    WaitForSingleObject(thread->m_hThread, INFINITE);
    EXPECT_EQ(seen.load(), thread);
    delete thread;
}

TEST(CWinThread, PriorityGivenToAfxBeginThreadIsRecorded)
{
    CWinThread* thread = AfxBeginThread(ReturnAtOnce, nullptr, THREAD_PRIORITY_LOWEST, 0, CREATE_SUSPENDED);
    thread->m_bAutoDelete = FALSE;
    EXPECT_EQ(thread->GetThreadPriority(), THREAD_PRIORITY_LOWEST);
    thread->ResumeThread();
    WaitForSingleObject(thread->m_hThread, INFINITE);
    delete thread;
}

// A thread class without a procedure runs InitInstance, then Run, then ExitInstance.
class CCountingThread : public CWinThread {
public:
    BOOL InitInstance() override
    {
        m_initialised = true;
        return m_enterLoop;
    }
    int ExitInstance() override { return 30; }

    bool m_enterLoop = true;
    std::atomic<bool> m_initialised{false};
};

TEST(CWinThread, UserInterfaceThreadRunsItsInstanceSteps)
{
    CCountingThread thread;
    thread.m_bAutoDelete = FALSE;
    ASSERT_TRUE(thread.CreateThread());
    WaitForSingleObject(thread.m_hThread, INFINITE);
    EXPECT_TRUE(thread.m_initialised.load());
    DWORD code = 0;
    GetExitCodeThread(thread.m_hThread, &code);
    EXPECT_EQ(code, 30u);   // Run without a message loop goes straight to ExitInstance
    EXPECT_FALSE(thread.CreateThread());   // only once
}

TEST(CWinThread, NullProcedureIsRefused)
{
    EXPECT_EQ(AfxBeginThread(nullptr, nullptr), nullptr);
}

} // namespace
