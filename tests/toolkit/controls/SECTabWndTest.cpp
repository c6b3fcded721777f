// The tab window: the Output Area's set-up, ids, activation through the strip with the message
// passed on, per-tab scroll positions, the 60-pixel clamp, the divider drag, removing the active
// tab, a window squeezed to 30 pixels, and the tab flags growing to the index.
#include <gtest/gtest.h>

#include <vector>

#include "platform/afx/dlg/CEdit.h"
#include "platform/controls/EditDefs.h"
#include "tests/platform/afx/AfxFixture.h"
#include "toolkit/controls/SECTabWnd.h"

namespace {

// A client made by class, as views are, and gone with its window as views are.
class TabClient : public CWnd {
    DECLARE_DYNCREATE(TabClient)
protected:
    void PostNcDestroy() override { delete this; }
};
IMPLEMENT_DYNCREATE(TabClient, CWnd)

class NotifyRecorder : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == TCM_TABSEL)
            selected.push_back(static_cast<int>(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<int> selected;
};

class SECTabWndTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "Pane", WS_CHILD | WS_VISIBLE, 0, 0, 360, 200, top->m_hWnd,
                                  nullptr));
    }
    void TearDown() override
    {
        wnd.DestroyWindow();
        pane.DestroyWindow();
        AfxTest::TearDown();
    }
    void Place(int cx, int cy)
    {
        wnd.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER);
        backend->ProcessMessages();
    }
    CRect ChildRect(HWND child)
    {
        CRect rc;
        ::GetWindowRect(child, &rc);
        wnd.ScreenToClient(&rc);
        return rc;
    }
    NotifyRecorder pane;
    SECTabWnd wnd;
    CEdit edit;   // a child of the tab window, gone with it
};

TEST_F(SECTabWndTest, OutputAreaSetUpWithOneEditTabUsingTheHorizontalBar)
{
    ASSERT_TRUE(wnd.Create(&pane, 0x50300012, 0xE900));
    EXPECT_EQ(wnd.GetStyle() & (WS_HSCROLL | WS_VSCROLL | 0x3), 0u);
    EXPECT_TRUE(wnd.GetExStyle() & WS_EX_CLIENTEDGE);   // the sunken edge moved in from the pane
    EXPECT_FALSE(pane.GetExStyle() & WS_EX_CLIENTEDGE);
    auto* strip = static_cast<SECTabControl*>(wnd.GetTabControl());
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->GetDlgCtrlID(), 0xEA30);
    EXPECT_EQ(strip->GetShownButtons(), 0xFu);   // style bit 2: four buttons
    EXPECT_NE(::GetDlgItem(wnd.m_hWnd, 0xEC00), nullptr);
    EXPECT_NE(::GetDlgItem(wnd.m_hWnd, 0xECFF), nullptr);

    ASSERT_TRUE(edit.Create(WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), &wnd, 0xEB00));
    ASSERT_TRUE(wnd.AddTab(&edit, "Results"));
    wnd.SetTabFlags(0, SECTWF_HSCROLL);
    wnd.ActivateTab(0);
    Place(400, 150);
    EXPECT_EQ(wnd.GetActiveWnd(), &edit);
    EXPECT_EQ(wnd.GetScrollBarCtrl(0)->GetDlgCtrlID(), 0xEC00);
    EXPECT_EQ(wnd.GetScrollBarCtrl(1), nullptr);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(wnd.m_hWnd, 0xEC00)));
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(wnd.m_hWnd, 0xECFF)));
    CRect client;
    wnd.GetClientRect(&client);
    // The strip stops 60 pixels short of the right edge; the divider and the bar follow it.
    EXPECT_EQ(wnd.GetStripWidth(), client.Width() - 60);
    EXPECT_EQ(ChildRect(strip->m_hWnd), CRect(0, client.bottom - 16, client.Width() - 60, client.bottom));
    EXPECT_EQ(ChildRect(::GetDlgItem(wnd.m_hWnd, 0xEC00)),
              CRect(client.Width() - 55, client.bottom - 16, client.right, client.bottom));
    EXPECT_EQ(ChildRect(edit.m_hWnd), CRect(0, 0, client.right, client.bottom - 16));
    EXPECT_TRUE(edit.IsWindowVisible());

    // Dragging the divider moves the strip's end; shrinking keeps the 60 pixels.
    const CRect divider(wnd.GetDividerRect());
    backend->MouseDown(1, At(wnd.m_hWnd, divider.left + 2, divider.top + 3));
    backend->MouseMove(At(wnd.m_hWnd, 150, divider.top + 3));
    backend->MouseUp(1, At(wnd.m_hWnd, 150, divider.top + 3));
    backend->ProcessMessages();
    EXPECT_EQ(wnd.GetStripWidth(), 150 - 2 - 1);
    EXPECT_EQ(ChildRect(::GetDlgItem(wnd.m_hWnd, 0xEC00)).left, 147 + 5);
    Place(180, 150);
    wnd.GetClientRect(&client);
    EXPECT_EQ(wnd.GetStripWidth(), client.Width() - 60);
    // Squeezed to 30 pixels the strip has no room left; narrower still, the bar is marked too
    // small to draw, and nothing goes negative.
    Place(30, 150);
    EXPECT_EQ(wnd.GetStripWidth(), 0);
    const HWND bar = ::GetDlgItem(wnd.m_hWnd, 0xEC00);
    EXPECT_FALSE(::GetWindowLong(bar, GWL_STYLE) & 0x00800000);
    Place(6, 150);
    EXPECT_EQ(wnd.GetStripWidth(), 0);
    EXPECT_GE(ChildRect(bar).Width(), 0);
    EXPECT_TRUE(::GetWindowLong(bar, GWL_STYLE) & 0x00800000);
}

TEST_F(SECTabWndTest, StripClicksActivateClientsAndEachTabKeepsItsScrollPosition)
{
    ASSERT_TRUE(wnd.Create(&pane, WS_CHILD | WS_VISIBLE, 0xE900));
    CWnd* first = wnd.AddTab(RUNTIME_CLASS(TabClient), "First");
    CWnd* second = wnd.AddTab(RUNTIME_CLASS(TabClient), "Second");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->GetDlgCtrlID(), 0xEB00);
    EXPECT_EQ(second->GetDlgCtrlID(), 0xEB01);
    wnd.SetTabFlags(0, SECTWF_HSCROLL | SECTWF_VSCROLL);
    wnd.SetTabFlags(1, SECTWF_HSCROLL);
    wnd.ActivateTab(0);
    Place(300, 160);
    HWND hbar = ::GetDlgItem(wnd.m_hWnd, 0xEC00);
    auto setPos = [&](int pos) {
        SCROLLINFO si{sizeof si, SIF_ALL, 0, 100, 10, pos, 0};
        ::SetScrollInfo(hbar, SB_CTL, &si, TRUE);
    };
    auto pos = [&] { return ::GetScrollPos(hbar, SB_CTL); };
    setPos(30);
    EXPECT_EQ(pane.selected, std::vector<int>{0});   // activation in code is passed on too
    pane.selected.clear();
    // A click on the second tab in the strip activates it and tells the pane.
    auto* strip = static_cast<SECTabControl*>(wnd.GetTabControl());
    POINT pts[4];
    strip->GetTabPoints(1, pts);
    backend->Click(1, At(strip->m_hWnd, (pts[0].x + pts[3].x) / 2, 8));
    backend->ProcessMessages();
    EXPECT_EQ(wnd.GetActiveWnd(), second);
    EXPECT_EQ(pane.selected, std::vector<int>{1});
    EXPECT_FALSE(first->IsWindowVisible());
    EXPECT_TRUE(second->IsWindowVisible());
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(wnd.m_hWnd, 0xECFF)));   // only the first uses it
    EXPECT_EQ(pos(), 0);
    setPos(70);
    wnd.ActivateTab(first);
    EXPECT_EQ(pos(), 30);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(wnd.m_hWnd, 0xECFF)));
    RECT inside;
    wnd.GetInsideRect(inside);
    CRect client;
    wnd.GetClientRect(&client);
    EXPECT_EQ(inside.right, client.right - 16);
    wnd.ActivateTab(1);
    EXPECT_EQ(pos(), 70);

    // Removing the active tab brings up the client of the tab taking its place.
    ASSERT_TRUE(wnd.RemoveTab(second));
    EXPECT_EQ(wnd.GetActiveWnd(), first);
    EXPECT_TRUE(first->IsWindowVisible());
    EXPECT_EQ(pos(), 30);
    EXPECT_EQ(wnd.GetTabCount(), 1);
    EXPECT_EQ(wnd.GetTabFlags(0), static_cast<DWORD>(SECTWF_HSCROLL | SECTWF_VSCROLL));
    // Flags past the end grow the words up to that index.
    EXPECT_TRUE(wnd.SetTabFlags(4, SECTWF_VSCROLL));
    EXPECT_EQ(wnd.GetTabFlags(4), static_cast<DWORD>(SECTWF_VSCROLL));
    EXPECT_EQ(wnd.GetTabFlags(2), 0u);
    EXPECT_FALSE(wnd.RemoveTab(3));
}

}   // namespace
