// The thread message queue: posting, sending across threads, retrieval order and filters,
// WM_QUIT, timers on a settable tick source, and waits that combine input with kernel objects.
#include "platform/core/MessageQueue.h"
#include "platform/core/SyncApi.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/TickCount.h"
#include "platform/core/WinError.h"
#include "platform/core/WindowHandle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

struct Received {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD thread;
};
thread_local std::vector<Received>* t_log = nullptr;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (t_log)
        t_log->push_back({hwnd, message, wParam, lParam, GetCurrentThreadId()});
    if (message == WM_USER + 1)
        return static_cast<LRESULT>(wParam * 2);
    return 0;
}

// Empties the calling thread's queue so that tests start clean.
void Drain()
{
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
}

class MessageQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Drain();
        t_log = &m_log;
        m_hwnd = CreateMessageWindow(RecordingProc, nullptr);
    }
    void TearDown() override
    {
        if (IsWindow(m_hwnd))
            DestroyMessageWindow(m_hwnd);
        t_log = nullptr;
        SetTickCountSource({});
        Drain();
    }
    std::vector<Received> m_log;
    HWND m_hwnd = nullptr;
};

TEST_F(MessageQueueTest, PostedMessagesComeInOrderAndNoRemoveKeepsThem)
{
    ASSERT_TRUE(PostMessage(m_hwnd, WM_USER, 1, 0));
    ASSERT_TRUE(PostMessage(m_hwnd, WM_USER, 2, 0));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_EQ(msg.hwnd, m_hwnd);
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, FiltersSelectByWindowAndRange)
{
    HWND other = CreateMessageWindow(RecordingProc, nullptr);
    PostMessage(other, WM_USER + 5, 0, 0);
    PostMessage(m_hwnd, WM_USER + 10, 0, 0);
    PostMessage(nullptr, WM_USER + 7, 0, 0);   // a thread message
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, m_hwnd, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 10));
    EXPECT_FALSE(PeekMessage(&msg, m_hwnd, 0, 0, PM_REMOVE));
    // -1 selects thread messages only.
    ASSERT_TRUE(PeekMessage(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 7));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_USER + 6, WM_USER + 9, PM_REMOVE));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_USER + 5, WM_USER + 5, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, other);
    DestroyMessageWindow(other);
}

TEST_F(MessageQueueTest, QuitComesAfterPostedMessagesAndEndsGetMessage)
{
    PostMessage(m_hwnd, WM_USER, 0, 0);
    PostQuitMessage(7);
    PostMessage(m_hwnd, WM_USER + 2, 0, 0);
    MSG msg;
    EXPECT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    EXPECT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
    EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, QuitIgnoresTheFilters)
{
    PostQuitMessage(3);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, m_hwnd, WM_USER, WM_USER, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
}

TEST_F(MessageQueueTest, SendOnTheOwningThreadCallsTheProcedureDirectly)
{
    EXPECT_EQ(SendMessage(m_hwnd, WM_USER + 1, 21, 0), 42);
    ASSERT_EQ(m_log.size(), 1u);
    EXPECT_EQ(m_log[0].message, static_cast<UINT>(WM_USER + 1));
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, DispatchDeliversToTheWindowProcedure)
{
    PostMessage(m_hwnd, WM_USER + 1, 5, 9);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(DispatchMessage(&msg), 10);
    ASSERT_EQ(m_log.size(), 1u);
    EXPECT_EQ(m_log[0].lParam, 9);
}

TEST_F(MessageQueueTest, PostsFromWorkerThreadsAllArrive)
{
    constexpr int kThreads = 4;
    constexpr int kEach = 200;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([this, t] {
            for (int i = 0; i < kEach; ++i)
                PostMessage(m_hwnd, WM_USER + 3, static_cast<WPARAM>(t), i);
        });
    std::vector<int> lastOf(kThreads, -1);
    int count = 0;
    MSG msg;
    while (count < kThreads * kEach && GetMessage(&msg, nullptr, 0, 0)) {
        ASSERT_EQ(msg.message, static_cast<UINT>(WM_USER + 3));
        // Each poster's messages keep their order.
        EXPECT_EQ(lastOf[msg.wParam] + 1, msg.lParam);
        lastOf[msg.wParam] = static_cast<int>(msg.lParam);
        ++count;
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_EQ(count, kThreads * kEach);
}

// A full queue refuses a post; a worker that must not lose its message waits for room instead,
// and gives up only when the window goes.
TEST_F(MessageQueueTest, AWorkerWaitsForRoomInAFullQueue)
{
    int posted = 0;
    while (PostMessage(m_hwnd, WM_USER + 4, 0, posted))
        ++posted;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_QUOTA));
    EXPECT_GE(posted, 1000);
    // The window's own thread would wait for itself: it is refused at once.
    EXPECT_FALSE(PostMessageWhenRoom(m_hwnd, WM_USER + 5, 0, 0));

    std::atomic<int> refused{0};
    std::atomic<int> result{-1};
    std::thread worker([&] {
        refused = PostMessage(m_hwnd, WM_USER + 5, 0, 0) ? 2 : 1;
        result = PostMessageWhenRoom(m_hwnd, WM_USER + 5, 1, 0);
    });
    while (refused == 0)
        std::this_thread::yield();
    EXPECT_EQ(refused, 1) << "the queue was still full";
    int before = 0;
    bool arrived = false;
    const auto take = [&] {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_USER + 5)
                arrived = arrived || msg.wParam == 1;
            else if (!arrived)
                ++before;
        }
    };
    take();
    // Once the queue has room the worker's post goes in (at the latest after the drain).
    worker.join();
    take();
    EXPECT_TRUE(arrived);
    EXPECT_EQ(result, TRUE);
    EXPECT_EQ(before, posted) << "it comes after everything that filled the queue";

    // A window that goes while the worker waits ends the wait.
    Drain();
    while (PostMessage(m_hwnd, WM_USER + 4, 0, 0)) {
    }
    std::atomic<bool> started{false};
    result = -1;
    std::thread late([&] {
        started = true;
        result = PostMessageWhenRoom(m_hwnd, WM_USER + 5, 2, 0);
    });
    while (!started)
        std::this_thread::yield();
    DestroyMessageWindow(m_hwnd);
    late.join();
    EXPECT_EQ(result, FALSE);
}

TEST_F(MessageQueueTest, PostThreadMessageReachesAThreadWithAQueue)
{
    EXPECT_TRUE(PostThreadMessage(GetCurrentThreadId(), WM_APP, 4, 0));
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_APP));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_FALSE(PostThreadMessage(0x7FFFFFF0u, WM_APP, 0, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_THREAD_ID));
}

TEST_F(MessageQueueTest, CrossThreadSendRunsOnTheOwnerAndReturnsItsResult)
{
    std::atomic<LRESULT> result{-1};
    std::atomic<bool> done{false};
    DWORD mainThread = GetCurrentThreadId();
    std::thread worker([&] {
        result = SendMessage(m_hwnd, WM_USER + 1, 50, 0);
        done = true;
        PostThreadMessage(mainThread, WM_NULL, 0, 0);   // wakes the loop below
    });
    MSG msg;
    while (!done && GetMessage(&msg, nullptr, 0, 0))
        DispatchMessage(&msg);
    worker.join();
    EXPECT_EQ(result.load(), 100);
    ASSERT_EQ(m_log.size(), 1u);
    EXPECT_EQ(m_log[0].thread, mainThread);   // the procedure ran on the owning thread
}

// A window of the worker that sends back to the main thread while it handles a message, so
// the main thread must deliver sent messages while it waits for its own send.
LRESULT CALLBACK EchoProc(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 20) {
        HWND back = reinterpret_cast<HWND>(lParam);
        return SendMessage(back, WM_USER + 1, wParam, 0) + 1;
    }
    return 0;
}

TEST_F(MessageQueueTest, SenderDeliversMessagesSentToItWhileItWaits)
{
    std::atomic<HWND> workerWindow{nullptr};
    std::atomic<bool> stop{false};
    std::thread worker([&] {
        HWND hwnd = CreateMessageWindow(EchoProc, nullptr);
        workerWindow = hwnd;
        MSG msg;
        while (!stop) {
            MessageQueue::ForCurrentThread().WaitForWork(20);
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE))
                DispatchMessage(&msg);
        }
        DestroyMessageWindow(hwnd);
    });
    while (!workerWindow)
        std::this_thread::yield();
    LRESULT r = SendMessage(workerWindow, WM_USER + 20, 8, reinterpret_cast<LPARAM>(m_hwnd));
    EXPECT_EQ(r, 17);   // 8 * 2 from this thread's window, + 1 from the worker's
    ASSERT_EQ(m_log.size(), 1u);
    EXPECT_EQ(m_log[0].thread, GetCurrentThreadId());
    stop = true;
    worker.join();
}

TEST_F(MessageQueueTest, SendTimeoutGivesUpOnAThreadThatDoesNotAnswer)
{
    HANDLE ready = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> window{nullptr};
    std::thread worker([&] {
        window = CreateMessageWindow(RecordingProc, nullptr);
        SetEvent(ready);
        WaitForSingleObject(release, INFINITE);   // never looks at its queue meanwhile
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
        DestroyMessageWindow(window);
    });
    WaitForSingleObject(ready, INFINITE);
    DWORD_PTR result = 99;
    EXPECT_EQ(SendMessageTimeout(window, WM_USER + 1, 1, 0, SMTO_NORMAL, 30, &result), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
    SetEvent(release);
    worker.join();
    CloseHandle(ready);
    CloseHandle(release);
}

TEST_F(MessageQueueTest, PendingSendsAreAnsweredWhenTheOwnerThreadEnds)
{
    HANDLE ready = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    HANDLE sent = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    std::atomic<HWND> window{nullptr};
    std::thread owner([&] {
        window = CreateMessageWindow(RecordingProc, nullptr);
        SetEvent(ready);
        WaitForSingleObject(sent, INFINITE);
        // Ends without ever reading the queue.
    });
    WaitForSingleObject(ready, INFINITE);
    std::thread sender([&] {
        SetEvent(sent);
        EXPECT_EQ(SendMessage(window, WM_USER + 1, 4, 0), 0);
    });
    sender.join();
    owner.join();
    EXPECT_FALSE(IsWindow(window));   // the thread's windows end with it
    CloseHandle(ready);
    CloseHandle(sent);
}

LRESULT CALLBACK ReplyingProc(HWND, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_USER + 30) {
        EXPECT_TRUE(InSendMessage());
        EXPECT_TRUE(ReplyMessage(static_cast<LRESULT>(wParam) + 1));
        EXPECT_FALSE(ReplyMessage(0));   // only the first answer counts
        return 0;
    }
    return 0;
}

TEST_F(MessageQueueTest, ReplyMessageAnswersTheSenderEarly)
{
    HWND window = CreateMessageWindow(ReplyingProc, nullptr);
    EXPECT_FALSE(InSendMessage());
    std::atomic<LRESULT> result{0};
    std::atomic<bool> done{false};
    DWORD mainThread = GetCurrentThreadId();
    std::thread worker([&] {
        result = SendMessage(window, WM_USER + 30, 5, 0);
        done = true;
        PostThreadMessage(mainThread, WM_NULL, 0, 0);
    });
    MSG msg;
    while (!done && GetMessage(&msg, nullptr, 0, 0))
        DispatchMessage(&msg);
    worker.join();
    EXPECT_EQ(result.load(), 6);
    DestroyMessageWindow(window);
}

LRESULT CALLBACK SelfDestroyingProc(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    if (message == WM_USER + 40) {
        DestroyMessageWindow(hwnd);
        // The object behind the handle stays valid until the handler returns.
        EXPECT_FALSE(IsWindow(hwnd));
        return 5;
    }
    if (t_log)
        t_log->push_back({hwnd, message, 0, 0, 0});
    return 0;
}

TEST_F(MessageQueueTest, AWindowDestroyedInsideItsHandlerIsSafe)
{
    HWND window = CreateMessageWindow(SelfDestroyingProc, nullptr);
    PostMessage(window, WM_USER + 40, 0, 0);
    PostMessage(window, WM_USER + 41, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessage(&msg), 5);
    ASSERT_EQ(m_log.size(), 2u);
    EXPECT_EQ(m_log[0].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_EQ(m_log[1].message, static_cast<UINT>(WM_NCDESTROY));
    // The message still queued for the dead window is retrieved but goes nowhere.
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(DispatchMessage(&msg), 0);
    EXPECT_EQ(m_log.size(), 2u);
    EXPECT_FALSE(PostMessage(window, WM_USER, 0, 0));
}

std::atomic<ULONGLONG> g_ticks{1000};

TEST_F(MessageQueueTest, TimersFireWhenDueAndAreCoalesced)
{
    SetTickCountSource([] { return g_ticks.load(); });
    g_ticks = 1000;
    ASSERT_EQ(SetTimer(m_hwnd, 7, 100, nullptr), 7u);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    g_ticks = 1099;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    g_ticks = 1600;   // five periods passed: still one WM_TIMER
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_EQ(msg.hwnd, m_hwnd);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    g_ticks = 1700;
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE));
    EXPECT_TRUE(KillTimer(m_hwnd, 7));
    g_ticks = 5000;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(KillTimer(m_hwnd, 7));
}

TEST_F(MessageQueueTest, PostedMessagesGoBeforeTimers)
{
    SetTickCountSource([] { return g_ticks.load(); });
    g_ticks = 0;
    SetTimer(m_hwnd, 1, 10, nullptr);
    g_ticks = 50;
    PostMessage(m_hwnd, WM_USER, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_TIMER));
    KillTimer(m_hwnd, 1);
}

std::vector<UINT_PTR> g_timerCalls;
void CALLBACK CountingTimerProc(HWND, UINT message, UINT_PTR id, DWORD)
{
    EXPECT_EQ(message, static_cast<UINT>(WM_TIMER));
    g_timerCalls.push_back(id);
}

TEST_F(MessageQueueTest, ThreadTimersGetTheirOwnIdsAndCallTheirProcedure)
{
    SetTickCountSource([] { return g_ticks.load(); });
    g_ticks = 0;
    g_timerCalls.clear();
    UINT_PTR a = SetTimer(nullptr, 0, 10, CountingTimerProc);
    UINT_PTR b = SetTimer(nullptr, 0, 20, CountingTimerProc);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);
    g_ticks = 15;
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, nullptr);
    EXPECT_EQ(msg.wParam, a);
    DispatchMessage(&msg);
    ASSERT_EQ(g_timerCalls.size(), 1u);
    EXPECT_EQ(g_timerCalls[0], a);
    // A forged procedure pointer in a WM_TIMER is never called.
    MSG forged{nullptr, WM_TIMER, a, reinterpret_cast<LPARAM>(&RecordingProc), 0, {}};
    DispatchMessage(&forged);
    EXPECT_EQ(g_timerCalls.size(), 1u);
    EXPECT_TRUE(KillTimer(nullptr, a));
    EXPECT_TRUE(KillTimer(nullptr, b));
}

TEST_F(MessageQueueTest, DestroyingAWindowKillsItsTimers)
{
    SetTickCountSource([] { return g_ticks.load(); });
    g_ticks = 0;
    HWND window = CreateMessageWindow(RecordingProc, nullptr);
    SetTimer(window, 1, 10, nullptr);
    DestroyMessageWindow(window);
    g_ticks = 100;
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MessageQueueTest, MsgWaitReturnsForObjectsAndForInput)
{
    HANDLE event = CreateEvent(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, 0, QS_ALLINPUT), WAIT_TIMEOUT);
    std::thread setter([&] { SetEvent(event); });
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_ALLINPUT), WAIT_OBJECT_0);
    setter.join();
    ResetEvent(event);
    std::thread poster([&] { PostMessage(m_hwnd, WM_USER, 0, 0); });
    EXPECT_EQ(MsgWaitForMultipleObjects(1, &event, FALSE, INFINITE, QS_POSTMESSAGE),
              WAIT_OBJECT_0 + 1);
    poster.join();
    MSG msg;
    EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    CloseHandle(event);
}

TEST_F(MessageQueueTest, QueueStatusTellsWhatIsWaiting)
{
    EXPECT_EQ(GetQueueStatus(QS_ALLINPUT) & 0xFFFF, 0u);
    PostMessage(m_hwnd, WM_USER, 0, 0);
    EXPECT_NE(GetQueueStatus(QS_ALLINPUT) & QS_POSTMESSAGE, 0u);
}

TEST_F(MessageQueueTest, MessageTimeAndPositionComeFromTheLastRetrievedMessage)
{
    SetTickCountSource([] { return g_ticks.load(); });
    g_ticks = 4321;
    PostMessage(m_hwnd, WM_USER, 0, 0);
    g_ticks = 9999;
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(GetMessageTime(), 4321);
}

} // namespace
