// Listeners on live windows of the headless backend: the window procedure replaced once and
// put back by the last listener, the stop and handled flags, destruction with listeners still
// attached, and a scaled dialog layout driven by size changes.
#include <gtest/gtest.h>

#include <vector>

#include "platform/afx/wnd/MessageMap.h"
#include "tests/platform/afx/AfxFixture.h"
#include "toolkit/layout/SECLayoutFactory.h"

namespace {

// Counts the messages that reach the host's own procedure.
class CountingHost : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_USER + 1) {
            ++userMessages;
            return 7;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int userMessages = 0;
};

class RecordingListener : public SECWndListener {
public:
    explicit RecordingListener(DWORD flags = 0, LRESULT answer = 0) : m_flags(flags), m_answer(answer) {}
    BOOL DispatchHookedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
    {
        if (msg == WM_USER + 1) {
            ++seen;
            SetMsgFlags(m_flags);
            *pResult = m_answer;
            if (detachOther != nullptr)
                detachOther->Detach();
            return TRUE;
        }
        return SECWndListener::DispatchHookedMessage(msg, wParam, lParam, pResult);
    }
    int seen = 0;
    SECWndListener* detachOther = nullptr;

private:
    DWORD m_flags;
    LRESULT m_answer;
};

class SECWndListenerTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "Host", WS_CHILD | WS_VISIBLE, 0, 0, 300, 200, top->m_hWnd, nullptr));
        original = ::GetWindowLongPtr(host.m_hWnd, GWLP_WNDPROC);
    }
    void TearDown() override
    {
        if (::IsWindow(host.m_hWnd))
            host.DestroyWindow();
        AfxTest::TearDown();
    }
    CountingHost host;
    LONG_PTR original = 0;
};

}   // namespace

TEST_F(SECWndListenerTest, TwoListenersShareOneHookAndTheLastOnePutsTheProcedureBack)
{
    RecordingListener first, second;
    ASSERT_TRUE(first.Attach(&host));
    const LONG_PTR hooked = ::GetWindowLongPtr(host.m_hWnd, GWLP_WNDPROC);
    EXPECT_NE(hooked, original);
    ASSERT_TRUE(second.Attach(&host));
    EXPECT_EQ(::GetWindowLongPtr(host.m_hWnd, GWLP_WNDPROC), hooked);   // replaced once

    EXPECT_EQ(::SendMessage(host.m_hWnd, WM_USER + 1, 0, 0), 7);
    EXPECT_EQ(first.seen, 1);
    EXPECT_EQ(second.seen, 1);
    EXPECT_EQ(host.userMessages, 1);

    first.Detach();
    EXPECT_EQ(::GetWindowLongPtr(host.m_hWnd, GWLP_WNDPROC), hooked);
    second.Detach();
    EXPECT_EQ(::GetWindowLongPtr(host.m_hWnd, GWLP_WNDPROC), original);
    EXPECT_FALSE(SECWndListener::IsHooked(host.m_hWnd));
    ::SendMessage(host.m_hWnd, WM_USER + 1, 0, 0);
    EXPECT_EQ(first.seen + second.seen, 2);
    EXPECT_EQ(host.userMessages, 2);
}

TEST_F(SECWndListenerTest, StopHidesTheMessageFromLaterListenersAndHandledSkipsTheWindow)
{
    RecordingListener stopper(SEC_WNDLISTENER_STOP), later;
    ASSERT_TRUE(stopper.Attach(&host));
    ASSERT_TRUE(later.Attach(&host));
    EXPECT_EQ(::SendMessage(host.m_hWnd, WM_USER + 1, 0, 0), 7);   // the window still answers
    EXPECT_EQ(later.seen, 0);
    EXPECT_EQ(host.userMessages, 1);
    stopper.Detach();
    later.Detach();

    RecordingListener handler(SEC_WNDLISTENER_HANDLED, 42);
    ASSERT_TRUE(handler.Attach(&host));
    EXPECT_EQ(::SendMessage(host.m_hWnd, WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(host.userMessages, 1);
    handler.Detach();
}

TEST_F(SECWndListenerTest, AHandlerMayDetachAnotherListenerAndTheWindowMayDieWithListeners)
{
    RecordingListener first, second, third;
    ASSERT_TRUE(first.Attach(&host));
    ASSERT_TRUE(second.Attach(&host));
    ASSERT_TRUE(third.Attach(&host));
    first.detachOther = &second;
    ::SendMessage(host.m_hWnd, WM_USER + 1, 0, 0);
    EXPECT_EQ(second.seen, 0);   // detached before its turn: not called
    EXPECT_EQ(third.seen, 1);
    first.detachOther = nullptr;

    host.DestroyWindow();
    EXPECT_FALSE(first.IsPluggedIn());
    EXPECT_FALSE(third.IsPluggedIn());
    EXPECT_EQ(first.GetHookedHwnd(), nullptr);
}

TEST_F(SECWndListenerTest, AScaledLayoutFollowsTheHostAndHoldsItsLimits)
{
    CWnd edit, button;
    ASSERT_TRUE(edit.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 10, 20, 100, 25, host.m_hWnd, nullptr));
    ASSERT_TRUE(button.CreateEx(0, "BUTTON", "OK", WS_CHILD | WS_VISIBLE, 200, 150, 90, 40, host.m_hWnd, nullptr));
    SECLayoutFactory factory;
    SECClassFactory_T<SECLNScale, SECLayoutNode> scaleFactory;
    SECLayoutNode* root = factory.CreateNode(scaleFactory, nullptr);
    ASSERT_NE(root, nullptr);
    root->SetMinMaxSize(CSize(150, 100), CSize(600, 400), 0);
    ASSERT_TRUE(factory.AddChildWindows(root, &host));
    EXPECT_EQ(root->GetChildCount(), 2);
    SECLayoutWndListener* listener = factory.CreateWndListener();
    ASSERT_TRUE(listener->AutoInit(root, &host, TRUE, TRUE, FALSE));

    host.SetWindowPos(nullptr, 0, 0, 450, 300, SWP_NOZORDER | SWP_NOMOVE);
    CRect rect;
    edit.GetWindowRect(&rect);
    host.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(15, 30, 165, 68));
    button.GetWindowRect(&rect);
    host.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(300, 225, 435, 285));

    MINMAXINFO info{};
    ::SendMessage(host.m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, 150);   // a child without a frame: no extra
    EXPECT_EQ(info.ptMaxTrackSize.y, 400);

    listener->SetAutoRecalc(FALSE);
    host.SetWindowPos(nullptr, 0, 0, 300, 200, SWP_NOZORDER | SWP_NOMOVE);
    edit.GetWindowRect(&rect);
    host.ScreenToClient(&rect);
    EXPECT_EQ(rect, CRect(15, 30, 165, 68));
    // The factory goes first, unhooking the host while it lives.
    edit.DestroyWindow();
    button.DestroyWindow();
}
