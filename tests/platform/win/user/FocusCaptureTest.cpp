// Keyboard focus, activation and capture transitions and their messages.
#include "platform/win/WindowTestSupport.h"

namespace {

using FocusCapture = WindowTest;

TEST_F(FocusCapture, SetFocusKillsTheOldFocusFirst)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND a = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    HWND b = Create(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top);
    SetFocus(a);
    MessageLog::Get().Clear();
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(GetFocus(), b);
    std::vector<Recorded> focusMessages;
    for (auto& e : MessageLog::Get().entries)
        if (e.message == WM_KILLFOCUS || e.message == WM_SETFOCUS)
            focusMessages.push_back(e);
    ASSERT_EQ(focusMessages.size(), 2u);
    EXPECT_EQ(focusMessages[0].hwnd, a);
    EXPECT_EQ(focusMessages[0].message, static_cast<UINT>(WM_KILLFOCUS));
    EXPECT_EQ(reinterpret_cast<HWND>(focusMessages[0].wParam), b);
    EXPECT_EQ(focusMessages[1].hwnd, b);
    EXPECT_EQ(focusMessages[1].message, static_cast<UINT>(WM_SETFOCUS));
    EXPECT_EQ(reinterpret_cast<HWND>(focusMessages[1].wParam), a);
    MessageLog::Get().Clear();
    SetFocus(b);   // already there: nothing is sent
    EXPECT_TRUE(MessageLog::Get().entries.empty());
}

TEST_F(FocusCapture, FocusInAnotherTopLevelWindowActivatesIt)
{
    HWND first = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND second = Create(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, first);
    ASSERT_EQ(GetActiveWindow(), second);
    MessageLog::Get().Clear();
    SetFocus(child);
    EXPECT_EQ(GetActiveWindow(), first);
    EXPECT_EQ(GetFocus(), child);
    auto order = MessageLog::Get().Messages(nullptr, {WM_NCACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS});
    // The old window is deactivated before the new one is activated; then the focus moves.
    ASSERT_GE(order.size(), 4u);
    EXPECT_EQ(order[0], static_cast<UINT>(WM_NCACTIVATE));
    EXPECT_EQ(order[1], static_cast<UINT>(WM_ACTIVATE));
    for (auto& e : MessageLog::Get().entries) {
        if (e.message == WM_ACTIVATE && e.hwnd == second) {
            EXPECT_EQ(LOWORD(e.wParam), WA_INACTIVE);
            EXPECT_EQ(reinterpret_cast<HWND>(e.lParam), first);
        }
        if (e.message == WM_ACTIVATE && e.hwnd == first) {
            EXPECT_EQ(LOWORD(e.wParam), WA_ACTIVE);
            EXPECT_EQ(reinterpret_cast<HWND>(e.lParam), second);
        }
    }
    // The active window came to the top.
    EXPECT_EQ(GetTopWindow(GetDesktopWindow()), first);
}

TEST_F(FocusCapture, ActivatingFromNothingSendsActivateApp)
{
    HWND a = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    SetActiveWindow(nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(GetFocus(), nullptr);
    MessageLog::Get().Clear();
    SetActiveWindow(a);
    auto order = MessageLog::Get().Messages(a, {WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS});
    EXPECT_EQ(order, (std::vector<UINT>{WM_ACTIVATEAPP, WM_NCACTIVATE, WM_ACTIVATE, WM_SETFOCUS}));
    EXPECT_EQ(GetFocus(), a);
    EXPECT_EQ(GetForegroundWindow(), a);
}

TEST_F(FocusCapture, HidingTheActiveWindowActivatesAnother)
{
    HWND a = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND b = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    ASSERT_EQ(GetActiveWindow(), b);
    ShowWindow(b, SW_HIDE);
    EXPECT_EQ(GetActiveWindow(), a);
    DestroyWindow(a);
    EXPECT_NE(GetActiveWindow(), a);
}

TEST_F(FocusCapture, CaptureChangesAreAnnounced)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND a = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    HWND b = Create(WS_CHILD | WS_VISIBLE, 20, 0, 10, 10, top);
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_EQ(GetCapture(), a);
    MessageLog::Get().Clear();
    EXPECT_EQ(SetCapture(b), a);
    ASSERT_EQ(MessageLog::Get().Count(a, WM_CAPTURECHANGED), 1u);
    EXPECT_EQ(reinterpret_cast<HWND>(MessageLog::Get().entries.back().lParam), b);
    MessageLog::Get().Clear();
    ReleaseCapture();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(MessageLog::Get().Count(b, WM_CAPTURECHANGED), 1u);
}

TEST_F(FocusCapture, CancelModeReleasesTheCaptureOfItsWindow)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    SetCapture(top);
    SendMessage(top, WM_CANCELMODE, 0, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(FocusCapture, MouseActivationAsksTheChildThenItsParents)
{
    HWND first = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND second = Create(WS_POPUP | WS_VISIBLE, 200, 0, 100, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, first);
    ASSERT_EQ(GetActiveWindow(), second);
    MessageLog::Get().Clear();
    EXPECT_EQ(MouseActivate(child, HTCLIENT, WM_LBUTTONDOWN), MA_ACTIVATE);
    EXPECT_EQ(GetActiveWindow(), first);
    // The child's default answer asked its parent.
    auto asked = MessageLog::Get().Messages(nullptr, {WM_MOUSEACTIVATE});
    EXPECT_EQ(asked.size(), 2u);
    for (auto& e : MessageLog::Get().entries) {
        if (e.message == WM_ACTIVATE && e.hwnd == first) {
            EXPECT_EQ(LOWORD(e.wParam), WA_CLICKACTIVE);
        }
    }

    // A window that answers MA_NOACTIVATEANDEAT keeps the activation where it is.
    SetActiveWindow(second);
    MessageLog::Get().handlers[WM_MOUSEACTIVATE] = [](HWND, WPARAM, LPARAM, bool&) -> LRESULT {
        return MA_NOACTIVATEANDEAT;
    };
    EXPECT_EQ(MouseActivate(child, HTCLIENT, WM_LBUTTONDOWN), MA_NOACTIVATEANDEAT);
    EXPECT_EQ(GetActiveWindow(), second);
}

} // namespace

// A window that paints its frame at once as it is deactivated (as a custom caption does) is
// drawn inactive although it is still the active window while the message is handled.
TEST_F(FocusCapture, AFramePaintedDuringItsDeactivationLooksInactive)
{
    HWND first = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 120);
    HWND second = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 0, 200, 120);
    SetActiveWindow(first);
    Pump();
    MessageLog::Get().handlers[WM_NCACTIVATE] = [](HWND hwnd, WPARAM wParam, LPARAM lParam, bool& handled) {
        handled = true;
        const LRESULT result = DefWindowProc(hwnd, WM_NCACTIVATE, wParam, lParam);
        RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        return result;
    };
    SetActiveWindow(second);
    MessageLog::Get().handlers.erase(WM_NCACTIVATE);
    // Just inside the caption's right end, behind no button text.
    const int y = GetSystemMetrics(SM_CYFRAME) + 2;
    const uint32_t inactive = (GetRValue(GetSysColor(COLOR_INACTIVECAPTION)) << 16) |
                              (GetGValue(GetSysColor(COLOR_INACTIVECAPTION)) << 8) |
                              GetBValue(GetSysColor(COLOR_INACTIVECAPTION));
    EXPECT_EQ(Pixel(first, GetSystemMetrics(SM_CXFRAME) + 30, y), inactive);
}
