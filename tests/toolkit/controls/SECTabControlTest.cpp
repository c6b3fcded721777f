// The tab strip: trapezoid geometry and hit tests, scroll buttons and their state, the
// auto-repeat, ScrollToTab's margins, Ctrl and Shift selection, the mended DeleteTab, the
// messages to the parent, and its pixels.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/controls/ControlsTestSupport.h"
#include "platform/win/VirtualKeys.h"
#include "toolkit/controls/SECTabControl.h"

namespace {

class TabParent : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= TCM_TABSEL && message <= TCM_TABREACTIVATE)
            got.emplace_back(message, static_cast<int>(wParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<std::pair<UINT, int>> got;
};

class SECTabControlTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(parent.CreateEx(0, nullptr, "Parent", WS_CHILD | WS_VISIBLE, 0, 0, 380, 200, top->m_hWnd, nullptr));
    }
    void TearDown() override
    {
        tabs.DestroyWindow();
        parent.DestroyWindow();
        AfxTest::TearDown();
    }
    void Make(DWORD style, int width)
    {
        ASSERT_TRUE(tabs.Create(style | WS_VISIBLE, CRect(0, 0, width, 17), &parent, 0xEA30));
    }
    // A click well apart in time from the last, so no two make a double click.
    void Click(int x, int y, UINT modifier = 0)
    {
        backend->Advance(1000);
        if (modifier)
            backend->KeyDown(modifier);
        backend->Click(1, At(tabs.m_hWnd, x, y));
        if (modifier)
            backend->KeyUp(modifier);
        backend->ProcessMessages();
    }
    TabParent parent;
    SECTabControl tabs;
};

TEST_F(SECTabControlTest, TabsAreOverlappingTrapezoidsHitInIndexOrder)
{
    Make(0, 300);
    // The strip's font is 15 pixels high, so 7 pixels a character in the test font.
    tabs.AddTab("One");
    tabs.AddTab("Two");
    tabs.AddTab("Three");
    EXPECT_EQ(tabs.GetTabPtr(0)->m_nWidth, 41);
    EXPECT_EQ(tabs.GetTabPtr(2)->m_nWidth, 55);
    POINT pts[4];
    tabs.GetTabPoints(1, pts);
    EXPECT_EQ(CPoint(pts[0]), CPoint(36, 0));   // overlapping the first by 5
    EXPECT_EQ(CPoint(pts[1]), CPoint(42, 17));
    EXPECT_EQ(CPoint(pts[2]), CPoint(71, 17));
    EXPECT_EQ(CPoint(pts[3]), CPoint(77, 0));
    EXPECT_EQ(tabs.TabHitTest(CPoint(38, 1)), 0);   // both hold it: the first wins
    EXPECT_EQ(tabs.TabHitTest(CPoint(45, 8)), 1);
    EXPECT_EQ(tabs.TabHitTest(CPoint(37, 15)), -1);   // in the notch between two tabs
    EXPECT_EQ(tabs.TabHitTest(CPoint(250, 5)), -1);
    EXPECT_EQ(tabs.GetShownButtons(), 0u);

    int active = -1;
    EXPECT_FALSE(tabs.GetActiveTab(active));
    Click(45, 8);
    EXPECT_TRUE(tabs.GetActiveTab(active));
    EXPECT_EQ(active, 1);
    EXPECT_TRUE(tabs.GetTabPtr(1)->m_bSelected);
    Click(45, 8);   // the active tab again
    EXPECT_EQ(parent.got, (std::vector<std::pair<UINT, int>>{{TCM_TABSEL, 1}, {TCM_TABREACTIVATE, 1}}));
    backend->Advance(1000);
    backend->MouseDown(1, At(tabs.m_hWnd, 80, 8));
    backend->MouseUp(1, At(tabs.m_hWnd, 80, 8));
    backend->MouseDown(1, At(tabs.m_hWnd, 80, 8));
    backend->MouseUp(1, At(tabs.m_hWnd, 80, 8));
    backend->ProcessMessages();
    EXPECT_EQ(parent.got.back(), std::make_pair(static_cast<UINT>(TCM_TABDBLCLK), 2));

    // Indices past the end change nothing.
    EXPECT_FALSE(tabs.ActivateTab(3));
    EXPECT_FALSE(tabs.RenameTab(3, "x"));
    EXPECT_FALSE(tabs.DeleteTab(7));
    EXPECT_EQ(tabs.InsertTab(5, "x"), nullptr);
    EXPECT_EQ(tabs.GetTabCount(), 3);
}

TEST_F(SECTabControlTest, ControlAndShiftSelectAndTheActiveTabFollowsDeletes)
{
    Make(0, 380);
    for (const char* s : {"A", "B", "C", "D", "E"})
        tabs.AddTab(s);
    auto mid = [&](int k) {
        POINT pts[4];
        tabs.GetTabPoints(k, pts);
        return CPoint((pts[0].x + pts[3].x) / 2, 8);
    };
    Click(mid(1).x, 8);
    Click(mid(3).x, 8, VK_SHIFT);   // 1..3 selected, 3 active
    int active = -1;
    ASSERT_TRUE(tabs.GetActiveTab(active));
    EXPECT_EQ(active, 3);
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(tabs.GetTabPtr(k)->m_bSelected, k >= 1 && k <= 3) << k;
    Click(mid(3).x, 8, VK_CONTROL);   // Ctrl on the active tab: no active tab
    EXPECT_FALSE(tabs.GetActiveTab(active));
    EXPECT_FALSE(tabs.GetTabPtr(3)->m_bSelected);

    // Deleting before the active tab keeps the same tab active.
    tabs.ActivateTab(3);
    parent.got.clear();
    ASSERT_TRUE(tabs.DeleteTab(1));
    ASSERT_TRUE(tabs.GetActiveTab(active));
    EXPECT_EQ(active, 2);
    EXPECT_EQ(std::string(tabs.GetTabPtr(active)->m_csLabel), "D");
    // Deleting the active tab activates the one taking its place, selected and announced.
    ASSERT_TRUE(tabs.DeleteTab(2));
    ASSERT_TRUE(tabs.GetActiveTab(active));
    EXPECT_EQ(active, 2);
    EXPECT_EQ(std::string(tabs.GetTabPtr(2)->m_csLabel), "E");
    EXPECT_TRUE(tabs.GetTabPtr(2)->m_bSelected);
    EXPECT_EQ(parent.got.back(), std::make_pair(static_cast<UINT>(TCM_TABSEL), 2));
    // The last one gone, the new last is active.
    ASSERT_TRUE(tabs.DeleteTab(2));
    ASSERT_TRUE(tabs.GetActiveTab(active));
    EXPECT_EQ(active, 1);
    EXPECT_TRUE(tabs.GetTabPtr(1)->m_bSelected);
    tabs.DeleteTab(0);
    tabs.DeleteTab(0);
    EXPECT_FALSE(tabs.GetActiveTab(active));
    EXPECT_EQ(tabs.GetDisabledButtons(), tabs.GetShownButtons());

    tabs.AddTab("X");
    tabs.SelectTab(0);
    tabs.ClearSelection();
    EXPECT_FALSE(tabs.GetTabPtr(0)->m_bSelected);
    EXPECT_EQ(parent.got.back(), std::make_pair(static_cast<UINT>(TCM_TABSELCLR), 0));
}

TEST_F(SECTabControlTest, ScrollButtonsStepRepeatAndKeepTheirState)
{
    Make(SECTAB_STYLE_FOURBUTTONS, 160);   // tab area from 68 to 160
    EXPECT_EQ(tabs.GetShownButtons(), 0xFu);
    EXPECT_EQ(tabs.GetDisabledButtons(), 0xFu);   // no tabs
    for (int i = 0; i < 6; ++i)
        tabs.AddTab("Tab");   // 41 wide, 36 apart: 221 pixels
    EXPECT_EQ(tabs.GetDisabledButtons(), static_cast<UINT>(SECTAB_BTN_FIRST | SECTAB_BTN_PREV));
    const RECT next = tabs.GetButtonRect(SECTAB_BTN_NEXT);
    EXPECT_EQ(CRect(next), CRect(34, 0, 51, 17));
    // Held down, "next" steps at once, after 300 ms, then every 20 ms.
    backend->MouseDown(1, At(tabs.m_hWnd, next.left + 5, 8));
    backend->ProcessMessages();
    EXPECT_EQ(tabs.GetScrollOffset(), -10);
    backend->Advance(299);
    EXPECT_EQ(tabs.GetScrollOffset(), -10);
    backend->Advance(1);
    EXPECT_EQ(tabs.GetScrollOffset(), -20);
    backend->Advance(40);
    EXPECT_EQ(tabs.GetScrollOffset(), -40);
    backend->MouseUp(1, At(tabs.m_hWnd, next.left + 5, 8));
    backend->ProcessMessages();
    backend->Advance(200);
    EXPECT_EQ(tabs.GetScrollOffset(), -40);
    EXPECT_EQ(tabs.GetDisabledButtons(), 0u);
    // "Last" puts the last tab's end at the right edge; then there is nothing more to the right.
    const RECT last = tabs.GetButtonRect(SECTAB_BTN_LAST);
    Click(last.left + 5, 8);
    EXPECT_EQ(tabs.GetScrollOffset(), 160 - (68 + 5 * 36 + 41));
    EXPECT_EQ(tabs.GetDisabledButtons(), static_cast<UINT>(SECTAB_BTN_NEXT | SECTAB_BTN_LAST));
    Click(next.left + 5, 8);   // disabled: nothing
    EXPECT_EQ(tabs.GetScrollOffset(), 160 - (68 + 5 * 36 + 41));
    const RECT first = tabs.GetButtonRect(SECTAB_BTN_FIRST);
    Click(first.left + 5, 8);
    EXPECT_EQ(tabs.GetScrollOffset(), 0);

    // ScrollToTab leaves 20 pixels of margin where the area has room for it.
    tabs.ScrollToTab(4);   // 68 + 144 .. 253: ends 20 inside 160
    POINT pts[4];
    tabs.GetTabPoints(4, pts);
    EXPECT_EQ(pts[3].x, 140);
    tabs.ScrollToTab(0);
    tabs.GetTabPoints(0, pts);
    EXPECT_EQ(pts[0].x, 68);   // back at the start: the offset never goes past 0
    // Growing the strip so everything fits brings the offset back and disables the buttons.
    tabs.ScrollToTab(5);
    tabs.SetWindowPos(nullptr, 0, 0, 380, 17, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(tabs.GetScrollOffset(), 0);
    EXPECT_EQ(tabs.GetDisabledButtons(), 0xFu);
}

TEST_F(SECTabControlTest, PixelsShowTheActiveTabsGapAndDisabledGlyphs)
{
    Make(SECTAB_STYLE_TWOBUTTONS, 300);
    tabs.AddTab("One");
    tabs.AddTab("Two");
    tabs.ActivateTab(1);
    tabs.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    // Buttons at 0 and 17; tabs from 34. The top line runs over the inactive tab, not the active.
    POINT pts[4];
    tabs.GetTabPoints(1, pts);
    EXPECT_EQ(SurfacePixel(*backend, tabs.m_hWnd, 40, 0), 0u);
    EXPECT_EQ(SurfacePixel(*backend, tabs.m_hWnd, (pts[0].x + pts[3].x) / 2, 0), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(SurfacePixel(*backend, tabs.m_hWnd, 290, 0), 0u);
    // The inactive tab's face is button face; the active tab's window colour.
    EXPECT_EQ(SurfacePixel(*backend, tabs.m_hWnd, 40, 3), ::GetSysColor(COLOR_BTNFACE));
    // Both buttons are disabled (everything fits): their glyphs are in the shadow colour.
    const RECT prev = tabs.GetButtonRect(SECTAB_BTN_PREV);
    bool shadowGlyph = false;
    for (int x = prev.left + 3; x < prev.right - 3; ++x)
        shadowGlyph |= SurfacePixel(*backend, tabs.m_hWnd, x, 7) == ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_TRUE(shadowGlyph);
    EXPECT_EQ(SurfacePixel(*backend, tabs.m_hWnd, prev.left, 8), ::GetSysColor(COLOR_WINDOWFRAME));
}

}   // namespace

#include "toolkit/controls/SEC3DTabControl.h"

namespace {

TEST_F(SECTabControlTest, ThreeDimensionalTabsLayOutActivateAndPaintTheirEdge)
{
    SEC3DTabControl raised;
    ASSERT_TRUE(raised.Create(WS_VISIBLE | SEC3DTAB_BOTTOM, CRect(0, 0, 300, 80), &parent, 9));
    raised.AddTab("First");
    raised.AddTab("Second");
    // Along the bottom, side by side, each as long as its bold label plus 20.
    const RECT a = raised.Get3DTab(0)->m_rect, b = raised.Get3DTab(1)->m_rect;
    EXPECT_EQ(a.bottom, 80);
    EXPECT_EQ(b.left, a.right);
    EXPECT_EQ(a.right - a.left, 5 * 7 + 20);
    LPCTSTR label = nullptr;
    BOOL selected = FALSE;
    void* client = nullptr;
    DWORD_PTR e1 = 0, e2 = 0;
    ASSERT_TRUE(raised.GetTabInfo(1, label, selected, client, e1, e2));
    EXPECT_STREQ(label, "Second");

    backend->Advance(1000);
    backend->Click(1, At(raised.m_hWnd, b.left + 5, b.top + 5));
    backend->ProcessMessages();
    int active = -1;
    ASSERT_TRUE(raised.GetActiveTab(active));
    EXPECT_EQ(active, 1);
    backend->Advance(1000);
    backend->Click(1, At(raised.m_hWnd, b.left + 5, b.top + 5));
    backend->ProcessMessages();
    EXPECT_EQ(parent.got.back(), std::make_pair(static_cast<UINT>(TCM_TABREACTIVATE), 1));
    backend->Click(1, At(raised.m_hWnd, a.left + 5, a.top + 5));
    backend->Click(1, At(raised.m_hWnd, a.left + 5, a.top + 5));
    backend->ProcessMessages();
    EXPECT_EQ(parent.got.back(), std::make_pair(static_cast<UINT>(TCM_TABDBLCLK), 0));

    // The edge above the tabs: white, face, shadow, black from the top.
    raised.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const int edge = 80 - (a.bottom - a.top) - 4;
    EXPECT_EQ(SurfacePixel(*backend, raised.m_hWnd, 250, edge), ::GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(SurfacePixel(*backend, raised.m_hWnd, 250, edge + 2), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(SurfacePixel(*backend, raised.m_hWnd, 250, edge + 3), 0u);

    // A large change of width lays the tabs out again, once per tab three times over.
    const int before = raised.GetLayoutCount();
    raised.SetWindowPos(nullptr, 0, 0, 200, 80, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(raised.GetLayoutCount() - before, 1 + 3 * 2);
    raised.SetWindowPos(nullptr, 0, 0, 205, 80, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(raised.GetLayoutCount() - before, 1 + 3 * 2 + 1);
    raised.DestroyWindow();
}

}   // namespace
