// Window messages through the queue: nested modal loops, timers on windows, key translation,
// hooks, cross-thread sends to windows and the backend's events.
#include "platform/win/WindowTestSupport.h"

#include "platform/core/ThreadApi.h"
#include "platform/core/TickCount.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace {

using MessageLoop = WindowTest;

TEST_F(MessageLoop, NestedLoopRunsOnTheSameQueueUntilItsFlag)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    bool done = false;
    int nestedSeen = 0;
    MessageLog::Get().handlers[WM_USER + 1] = [&](HWND h, WPARAM, LPARAM, bool&) -> LRESULT {
        // A modal loop inside a handler: it dispatches what arrives until told to stop.
        PostMessage(h, WM_USER + 2, 0, 0);
        PostMessage(h, WM_USER + 3, 0, 0);
        RunModalLoop(done, MSGF_DIALOGBOX);
        return 0;
    };
    MessageLog::Get().handlers[WM_USER + 2] = [&](HWND, WPARAM, LPARAM, bool&) -> LRESULT {
        ++nestedSeen;
        return 0;
    };
    MessageLog::Get().handlers[WM_USER + 3] = [&](HWND, WPARAM, LPARAM, bool&) -> LRESULT {
        ++nestedSeen;
        done = true;
        return 0;
    };
    PostMessage(hwnd, WM_USER + 1, 0, 0);
    PostMessage(hwnd, WM_USER + 4, 0, 0);
    MSG msg;
    ASSERT_TRUE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
    DispatchMessage(&msg);
    EXPECT_EQ(nestedSeen, 2);
    // The nested loop took the message that was queued before it in arrival order.
    EXPECT_EQ(MessageLog::Get().Messages(hwnd, {WM_USER + 1, WM_USER + 2, WM_USER + 3, WM_USER + 4}),
              (std::vector<UINT>{WM_USER + 1, WM_USER + 4, WM_USER + 2, WM_USER + 3}));
}

TEST_F(MessageLoop, NestedLoopPassesWmQuitOnToTheOuterLoop)
{
    bool done = false;
    PostQuitMessage(5);
    EXPECT_FALSE(RunModalLoop(done, MSGF_MENU));
    MSG msg;
    EXPECT_FALSE(GetMessage(&msg, nullptr, 0, 0));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(MessageLoop, WindowDestroyedInsideANestedLoopIsNotTouchedAfter)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    bool done = false;
    MessageLog::Get().handlers[WM_USER + 1] = [&](HWND h, WPARAM, LPARAM, bool&) -> LRESULT {
        PostMessage(h, WM_USER + 2, 0, 0);
        RunModalLoop(done, MSGF_DIALOGBOX);
        // The window is gone: its handle is no longer valid, and nothing crashed on the way out.
        EXPECT_FALSE(IsWindow(h));
        return 7;
    };
    MessageLog::Get().handlers[WM_USER + 2] = [&](HWND h, WPARAM, LPARAM, bool&) -> LRESULT {
        DestroyWindow(h);
        done = true;
        return 0;
    };
    EXPECT_EQ(SendMessage(hwnd, WM_USER + 1, 0, 0), 7);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(SendMessage(hwnd, WM_USER + 1, 0, 0), 0);
}

std::atomic<ULONGLONG> g_now{0};

TEST_F(MessageLoop, WindowTimersArriveAsWmTimerWhenDue)
{
    SetTickCountSource([] { return g_now.load(); });
    g_now = 10000;
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    EXPECT_EQ(SetTimer(hwnd, 3, 250, nullptr), 3u);
    Pump();
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_TIMER), 0u);
    g_now = 10250;
    Pump();
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_TIMER), 1u);
    g_now = 11000;   // three periods late: still a single WM_TIMER
    Pump();
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_TIMER), 2u);
    DestroyWindow(hwnd);
    g_now = 20000;
    Pump();
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_TIMER), 2u);
    SetTickCountSource({});
}

TEST_F(MessageLoop, TranslateMessageTurnsKeysIntoCharacters)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    Pump();
    MessageLog::Get().Clear();
    // A key the backend reported with its text.
    BackendEvent key;
    key.kind = BackendEvent::Kind::KeyDown;
    key.hwnd = hwnd;
    key.vk = 'A';
    key.scan = 30;
    key.text = "A";
    PostBackendEvent(key);
    BackendEvent up = key;
    up.kind = BackendEvent::Kind::KeyUp;
    up.text.clear();
    PostBackendEvent(up);
    Pump();
    std::vector<Recorded> keys;
    for (auto& e : MessageLog::Get().entries)
        if (e.message == WM_KEYDOWN || e.message == WM_CHAR || e.message == WM_KEYUP)
            keys.push_back(e);
    ASSERT_EQ(keys.size(), 3u);
    EXPECT_EQ(keys[0].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ((keys[0].lParam >> 16) & 0xFF, 30);
    EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_CHAR));   // the character comes before the key up
    EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('A'));
    EXPECT_EQ(keys[2].message, static_cast<UINT>(WM_KEYUP));
    EXPECT_NE(keys[2].lParam & (LPARAM(1) << 31), 0);
    // A key message without text falls back to the plain character of the key.
    MSG msg{hwnd, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_CHAR));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>('\r'));
    MSG shift{hwnd, WM_KEYDOWN, VK_SHIFT, 1, 0, {}};
    EXPECT_FALSE(TranslateMessage(&shift));
}

TEST_F(MessageLoop, BackendMouseEventsReachTheWindowUnderThePointerOrTheCapture)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 100, 100, 200, 200);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    Pump();
    MessageLog::Get().Clear();
    BackendEvent down;
    down.kind = BackendEvent::Kind::ButtonDown;
    down.hwnd = top;
    down.button = 1;
    down.pt = POINT{120, 125};
    down.modifiers = MK_LBUTTON;
    PostBackendEvent(down);
    Pump();
    ASSERT_EQ(MessageLog::Get().Count(child, WM_LBUTTONDOWN), 1u);
    for (auto& e : MessageLog::Get().entries)
        if (e.message == WM_LBUTTONDOWN) {
            EXPECT_EQ(GET_X_LPARAM(e.lParam), 10);
            EXPECT_EQ(GET_Y_LPARAM(e.lParam), 15);
            EXPECT_EQ(e.wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
        }
    SetCapture(child);
    MessageLog::Get().Clear();
    BackendEvent move;
    move.kind = BackendEvent::Kind::MouseMove;
    move.hwnd = top;
    move.pt = POINT{250, 250};   // outside the child, but it holds the capture
    PostBackendEvent(move);
    Pump();
    EXPECT_EQ(MessageLog::Get().Count(child, WM_MOUSEMOVE), 1u);
    ReleaseCapture();
}

TEST_F(MessageLoop, BackendWindowEventsMoveCloseAndActivate)
{
    HWND a = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND b = Create(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    Pump();
    BackendEvent configure;
    configure.kind = BackendEvent::Kind::Configure;
    configure.hwnd = a;
    configure.rect = RECT{10, 20, 130, 140};
    PostBackendEvent(configure);
    BackendEvent focus;
    focus.kind = BackendEvent::Kind::FocusIn;
    focus.hwnd = a;
    PostBackendEvent(focus);
    Pump();
    RECT r;
    GetWindowRect(a, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.right, 130);
    EXPECT_EQ(GetActiveWindow(), a);
    BackendEvent close;
    close.kind = BackendEvent::Kind::Close;
    close.hwnd = b;
    PostBackendEvent(close);
    Pump();
    EXPECT_FALSE(IsWindow(b));   // WM_SYSCOMMAND SC_CLOSE → WM_CLOSE → destroyed
}

// The display may report a disabled owner focused while its modal dialog is up (a late event,
// or a click on the owner): the dialog stays active and the owner is never drawn active.
TEST_F(MessageLoop, FocusOnADisabledOwnerGoesToItsDialog)
{
    HWND owner = Create(WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    HWND dialog = Create(WS_POPUP | WS_VISIBLE, 50, 50, 100, 80, owner);
    EnableWindow(owner, FALSE);
    SetActiveWindow(dialog);
    Pump();
    ASSERT_EQ(GetActiveWindow(), dialog);
    MessageLog::Get().Clear();
    BackendEvent focus;
    focus.kind = BackendEvent::Kind::FocusIn;
    focus.hwnd = owner;
    PostBackendEvent(focus);
    Pump();
    EXPECT_EQ(GetActiveWindow(), dialog);
    EXPECT_TRUE(MessageLog::Get().Messages(owner, {WM_NCACTIVATE, WM_ACTIVATE}).empty());

    // A disabled window without a shown popup is not activated at all.
    ShowWindow(dialog, SW_HIDE);
    SetActiveWindow(nullptr);
    PostBackendEvent(focus);
    Pump();
    EXPECT_EQ(GetActiveWindow(), nullptr);
    // Enabled again, it takes the focus the display gives it.
    EnableWindow(owner, TRUE);
    PostBackendEvent(focus);
    Pump();
    EXPECT_EQ(GetActiveWindow(), owner);
}

int g_hookCalls = 0;
HHOOK g_hook = nullptr;
LRESULT CALLBACK FilterHook(int code, WPARAM wParam, LPARAM lParam)
{
    ++g_hookCalls;
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg->message == WM_USER + 50)
        return TRUE;   // eaten
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(MessageLoop, MessageFilterHooksSeeModalLoopMessages)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    g_hookCalls = 0;
    g_hook = SetWindowsHookEx(WH_MSGFILTER, FilterHook, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(g_hook);
    bool done = false;
    MessageLog::Get().handlers[WM_USER + 51] = [&](HWND, WPARAM, LPARAM, bool&) -> LRESULT {
        done = true;
        return 0;
    };
    PostMessage(hwnd, WM_USER + 50, 0, 0);
    PostMessage(hwnd, WM_USER + 51, 0, 0);
    RunModalLoop(done, MSGF_DIALOGBOX);
    EXPECT_EQ(g_hookCalls, 2);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_USER + 50), 0u);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_USER + 51), 1u);
    EXPECT_TRUE(UnhookWindowsHookEx(g_hook));
    EXPECT_FALSE(UnhookWindowsHookEx(g_hook));
    MSG msg{hwnd, WM_USER + 50, 0, 0, 0, {}};
    EXPECT_FALSE(CallMsgFilter(&msg, MSGF_DIALOGBOX));
}

std::vector<std::pair<int, HWND>> g_cbt;
LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM)
{
    g_cbt.emplace_back(code, reinterpret_cast<HWND>(wParam));
    return 0;
}
std::vector<UINT> g_callWnd;
LRESULT CALLBACK CallWndHook(int, WPARAM, LPARAM lParam)
{
    g_callWnd.push_back(reinterpret_cast<CWPSTRUCT*>(lParam)->message);
    return 0;
}
std::vector<UINT> g_getMessage;
LRESULT CALLBACK GetMessageHook(int, WPARAM, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    g_getMessage.push_back(msg->message);
    if (msg->message == WM_USER + 60)
        msg->message = WM_USER + 61;   // the hook may change the message
    return 0;
}

TEST_F(MessageLoop, CbtCallWndProcAndGetMessageHooks)
{
    g_cbt.clear();
    g_callWnd.clear();
    g_getMessage.clear();
    HHOOK cbt = SetWindowsHookEx(WH_CBT, CbtHook, nullptr, GetCurrentThreadId());
    HHOOK callWnd = SetWindowsHookEx(WH_CALLWNDPROC, CallWndHook, nullptr, GetCurrentThreadId());
    HHOOK getMessage = SetWindowsHookEx(WH_GETMESSAGE, GetMessageHook, nullptr, GetCurrentThreadId());
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    ASSERT_FALSE(g_cbt.empty());
    EXPECT_EQ(g_cbt.front().first, HCBT_CREATEWND);
    EXPECT_EQ(g_cbt.front().second, hwnd);
    bool activated = false, focused = false;
    for (auto& [code, h] : g_cbt) {
        activated |= code == HCBT_ACTIVATE && h == hwnd;
        focused |= code == HCBT_SETFOCUS && h == hwnd;
    }
    EXPECT_TRUE(activated);
    EXPECT_TRUE(focused);
    EXPECT_NE(std::find(g_callWnd.begin(), g_callWnd.end(), static_cast<UINT>(WM_CREATE)), g_callWnd.end());
    PostMessage(hwnd, WM_USER + 60, 0, 0);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, hwnd, WM_USER + 60, WM_USER + 60, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 61));
    g_cbt.clear();
    DestroyWindow(hwnd);
    ASSERT_FALSE(g_cbt.empty());
    EXPECT_EQ(g_cbt.front().first, HCBT_DESTROYWND);
    UnhookWindowsHookEx(cbt);
    UnhookWindowsHookEx(callWnd);
    UnhookWindowsHookEx(getMessage);
}

LRESULT CALLBACK VetoCreate(int code, WPARAM, LPARAM)
{
    return code == HCBT_CREATEWND ? 1 : 0;
}

TEST_F(MessageLoop, CbtHookCanRefuseACreation)
{
    HHOOK hook = SetWindowsHookEx(WH_CBT, VetoCreate, nullptr, GetCurrentThreadId());
    EXPECT_EQ(Create(WS_POPUP, 0, 0, 10, 10), nullptr);
    EXPECT_EQ(MessageLog::Get().Count(nullptr, WM_NCCREATE), 0u);
    UnhookWindowsHookEx(hook);
}

LRESULT CALLBACK EatEscape(int code, WPARAM wParam, LPARAM)
{
    return code == HC_ACTION && wParam == VK_ESCAPE ? 1 : 0;
}

TEST_F(MessageLoop, KeyboardHookCanEatAKey)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 10, 10);
    HHOOK hook = SetWindowsHookEx(WH_KEYBOARD, EatEscape, nullptr, GetCurrentThreadId());
    PostMessage(hwnd, WM_KEYDOWN, VK_ESCAPE, 1);
    PostMessage(hwnd, WM_KEYDOWN, VK_RETURN, 1);
    MessageLog::Get().Clear();
    Pump();
    auto keys = MessageLog::Get().Messages(hwnd, {WM_KEYDOWN});
    ASSERT_EQ(keys.size(), 1u);
    for (auto& e : MessageLog::Get().entries) {
        if (e.message == WM_KEYDOWN) {
            EXPECT_EQ(e.wParam, static_cast<WPARAM>(VK_RETURN));
        }
    }
    UnhookWindowsHookEx(hook);
}

TEST_F(MessageLoop, BroadcastsReachEveryTopLevelWindow)
{
    HWND a = Create(WS_POPUP, 0, 0, 10, 10);
    HWND b = Create(WS_OVERLAPPED, 0, 0, 10, 10);
    HWND child = Create(WS_CHILD, 0, 0, 5, 5, a);
    UINT message = RegisterWindowMessage("Vostrel.Test.Broadcast");
    MessageLog::Get().Clear();
    EXPECT_TRUE(PostMessage(HWND_BROADCAST, message, 1, 2));
    Pump();
    EXPECT_EQ(MessageLog::Get().Count(a, message), 1u);
    EXPECT_EQ(MessageLog::Get().Count(b, message), 1u);
    EXPECT_EQ(MessageLog::Get().Count(child, message), 0u);
    SendMessage(HWND_BROADCAST, message, 3, 4);
    EXPECT_EQ(MessageLog::Get().Count(a, message), 2u);
}

TEST_F(MessageLoop, WorkerThreadsPostAndSendToAWindow)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 10, 10);
    MessageLog::Get().handlers[WM_USER + 70] = [](HWND, WPARAM wParam, LPARAM, bool&) -> LRESULT {
        return static_cast<LRESULT>(wParam + 1);
    };
    std::atomic<LRESULT> sent{0};
    std::atomic<bool> done{false};
    std::thread worker([&] {
        PostMessage(hwnd, WM_USER + 71, 1, 0);
        sent = SendMessage(hwnd, WM_USER + 70, 41, 0);
        done = true;
        PostMessage(hwnd, WM_NULL, 0, 0);
    });
    MSG msg;
    while (!done && GetMessage(&msg, nullptr, 0, 0))
        DispatchMessage(&msg);
    worker.join();
    Pump();
    EXPECT_EQ(sent.load(), 42);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_USER + 71), 1u);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_USER + 70), 1u);
}

} // namespace
