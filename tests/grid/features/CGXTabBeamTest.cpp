// The sheet-tab beam on the headless backend with the fixed-metric font: tab widths, the order
// in which overlapping tabs are drawn, the scroll buttons, and the current tab kept right while
// tabs come and go.
#include "grid/core/CGXGridAppData.h"
#include "grid/features/CGXTabBeam.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/HeadlessFixture.h"

#include <functional>
#include <vector>

namespace {

class TabBeamTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        hParent = Make(WS_OVERLAPPED | WS_VISIBLE, 0, 0, 500, 100);
        parent.Attach(hParent);
        ASSERT_TRUE(beam.Create(WS_VISIBLE, CRect(0, 0, 1, 1), &parent, 59905));
        beam.MoveWindow(0, 40, 400, beam.m_nHeight);
    }
    void TearDown() override
    {
        beam.DestroyWindow();
        parent.Detach();
        HeadlessTest::TearDown();
    }
    void AddThree()
    {
        beam.InsertTab(FALSE, "A");
        beam.InsertTab(FALSE, "BB");
        beam.InsertTab(FALSE, "CCC");
    }
    COLORREF Pixel(int x, int y)
    {
        beam.Invalidate(FALSE);
        beam.UpdateWindow();
        CClientDC dc(&beam);
        return dc.GetPixel(x, y);
    }
    HWND hParent = nullptr;
    CWnd parent;
    CGXTabBeam beam;
};

TEST_F(TabBeamTest, TabsAreAsWideAsTheirBoldNamePlusTheOverlapAndLieSideBySide)
{
    AddThree();
    // The test font's characters are half the font height wide; the font is the beam less 2.
    const int cw = (beam.m_nHeight - 2) / 2;
    EXPECT_EQ(beam.GetTab(0).nWidth, 1 * cw + 7);
    EXPECT_EQ(beam.GetTab(1).nWidth, 2 * cw + 7);
    EXPECT_EQ(beam.GetTab(2).nWidth, 3 * cw + 7);
    const int left = 2 * beam.m_nHeight + 1;
    EXPECT_EQ(beam.GetTabLeft(0), left);
    EXPECT_EQ(beam.GetTabLeft(1), left + cw + 14);
    EXPECT_EQ(beam.GetTabLeft(2), left + 3 * cw + 28);
    EXPECT_EQ(beam.TabFromPoint(left), 0);
    EXPECT_EQ(beam.TabFromPoint(beam.GetTabLeft(2) - 1), 1);
    EXPECT_EQ(beam.TabFromPoint(left - 1), -1);
    EXPECT_EQ(beam.TabFromPoint(390), -1);
    EXPECT_EQ(beam.GetCurSel(), 0);
}

TEST_F(TabBeamTest, TabsAreDrawnRightToLeftWithTheCurrentTabOnTopAndOpenAtItsTop)
{
    AddThree();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF sel = GetSysColor(COLOR_WINDOW);
    ASSERT_NE(face, sel);
    const int x1 = beam.GetTabLeft(1);
    const int x2 = beam.GetTabLeft(2);
    // Tab 1 marked (drawn white) and tab 2 current: tab 0 is drawn after tab 1 and covers the
    // overlap, tab 2 is drawn last and covers tab 1's right slant.
    beam.GetTab(1).bSel = TRUE;
    beam.SetCurSel(2);
    EXPECT_EQ(Pixel(x1 + 3, 3), face);
    EXPECT_EQ(Pixel(x2 + 3, 3), sel);
    // The current tab has no line along its top; the others do.
    EXPECT_EQ(Pixel(x2 + 10, 0), sel);
    EXPECT_EQ(Pixel(beam.GetTabLeft(0) + 10, 0), RGB(0, 0, 0));
    // The first tab current instead: it lies over tab 1.
    beam.GetTab(1).bSel = FALSE;
    beam.SetCurSel(0);
    EXPECT_EQ(Pixel(x1 + 3, 3), sel);
    // The name is drawn in the tab: some pixel of 'CCC' is text coloured.
    bool text = false;
    for (int x = x2 + 7; x < x2 + 7 + beam.GetTab(2).nWidth && !text; ++x)
        for (int y = 2; y < beam.m_nHeight - 1 && !text; ++y)
            text = Pixel(x, y) == GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_TRUE(text);
}

TEST_F(TabBeamTest, ScrollButtonsAreGreyAndIdleWhileEveryTabIsVisibleAndLiveOtherwise)
{
    AddThree();
    const int w = beam.m_nButtonWidth;
    EXPECT_FALSE(beam.CanButtonAct(1));
    EXPECT_FALSE(beam.CanButtonAct(2));
    EXPECT_EQ(beam.ButtonFromPoint(w + 2, 5), -1);
    EXPECT_EQ(beam.m_nFirstTab, 0);
    // The arrow of an idle button is grey.
    bool grey = false;
    for (int x = w; x < 2 * w && !grey; ++x)
        for (int y = 0; y < beam.m_nHeight && !grey; ++y)
            grey = Pixel(x, y) == RGB(0x60, 0x60, 0x60);
    EXPECT_TRUE(grey);

    for (int i = 0; i < 20; ++i)
        beam.InsertTab(FALSE, "Sheet");
    EXPECT_TRUE(beam.CanButtonAct(2));
    EXPECT_FALSE(beam.CanButtonAct(1));
    EXPECT_EQ(beam.ButtonFromPoint(w + 2, 5), 2);
    EXPECT_EQ(beam.m_nFirstTab, 1);
    EXPECT_TRUE(beam.CanButtonAct(1));
    EXPECT_EQ(beam.ButtonFromPoint(2, 5), 1);
    EXPECT_EQ(beam.m_nFirstTab, 0);
    // Next never scrolls past the point where the last tabs fill the area.
    for (int i = 0; i < 40; ++i)
        beam.ScrollTabs(2);
    EXPECT_EQ(beam.GetLastVisibleTab(), beam.GetCount() - 1);
    const int first = beam.m_nFirstTab;
    beam.ScrollTabs(2);
    EXPECT_EQ(beam.m_nFirstTab, first);

    // A click within 7 pixels right of the buttons picks the tab before the first visible one.
    beam.SelectTabAt(beam.GetTabAreaLeft() + 3, 5);
    EXPECT_EQ(beam.GetCurSel(), first - 1);
}

TEST_F(TabBeamTest, HeldNextButtonScrollsAtOnceThenAfter200MsThenFasterDownTo100Ms)
{
    for (int i = 0; i < 30; ++i)
        beam.InsertTab(FALSE, "Sheet");
    POINT press{beam.m_nButtonWidth + 4, 5};
    beam.ClientToScreen(&press);
    // Every 10 ms of the virtual clock, note where the first visible tab is; release at 1000 ms.
    std::vector<int> firstAt(101, -1);
    int step = 0;
    std::function<void()> tick = [&] {
        firstAt[static_cast<size_t>(step)] = beam.m_nFirstTab;
        if (step == 100) {
            backend->MouseUp(1, press);
            return;
        }
        ++step;
        backend->AdvanceClock(10);
        beam.PostMessage(WM_NULL, 0, 0);
        backend->WhenIdle(tick);
    };
    backend->WhenIdle(tick);
    backend->MouseMove(press);
    backend->MouseDown(1, press);
    backend->ProcessMessages();
    ASSERT_EQ(step, 100);
    EXPECT_FALSE(beam.m_bTracking);
    EXPECT_EQ(::GetCapture(), nullptr);
    // Scrolls at 0, 200, 380, 540, 680, 800, 900 and 1000 ms.
    const std::vector<std::pair<int, int>> expected = {{0, 1}, {19, 1}, {20, 2}, {37, 2}, {38, 3}, {53, 3}, {54, 4},
                                                       {67, 4}, {68, 5}, {79, 5}, {80, 6}, {89, 6}, {90, 7}, {99, 7}, {100, 8}};
    for (auto [at, first] : expected)
        EXPECT_EQ(firstAt[static_cast<size_t>(at)], first) << "at " << at * 10 << " ms";
    EXPECT_EQ(CGXTabBeam::RepeatInterval(50), 100u);
}

TEST_F(TabBeamTest, CurrentTabStaysTheSameTabAsOthersAreInsertedAndDeleted)
{
    AddThree();
    beam.SetCurSel(2);
    beam.DeleteTab(0);
    EXPECT_EQ(beam.GetCount(), 2);
    EXPECT_EQ(beam.GetCurSel(), 1);
    EXPECT_EQ(beam.GetTab(beam.GetCurSel()).sLabel, "CCC");
    // Inserted before the current tab: the current tab is still "CCC".
    beam.InsertTab(TRUE, "D");
    EXPECT_EQ(beam.GetTab(beam.GetCurSel()).sLabel, "CCC");
    EXPECT_EQ(beam.GetTab(1).sLabel, "D");
    // Deleting the current tab makes the first tab current.
    beam.DeleteTab(beam.GetCurSel());
    EXPECT_EQ(beam.GetCurSel(), 0);
    // Indices out of range are ignored.
    beam.DeleteTab(-1);
    beam.DeleteTab(7);
    beam.SetCurSel(-1);
    EXPECT_EQ(beam.GetCount(), 2);
    EXPECT_EQ(beam.GetCurSel(), 0);
    beam.DeleteTab(0);
    beam.DeleteTab(0);
    EXPECT_EQ(beam.GetCount(), 0);
    EXPECT_EQ(beam.GetCurSel(), -1);
    EXPECT_EQ(beam.m_nFirstTab, 0);
    // A click on an empty beam selects nothing.
    beam.SelectTabAt(60, 5);
    EXPECT_EQ(beam.GetCurSel(), -1);
}

TEST_F(TabBeamTest, ClickAsksTheNotificationWindowAndPostsTheSwitch)
{
    AddThree();
    bool refuse = true;
    Handler() = [&](HWND h, UINT m, WPARAM, LPARAM, LRESULT& r) {
        if (h == hParent && m == GX_WM_TABCANSWITCH) {
            r = refuse ? 1 : 0;
            return true;
        }
        return false;
    };
    const int x = beam.GetTabLeft(2) + 10;
    beam.SelectTabAt(x, 5);
    EXPECT_EQ(beam.GetCurSel(), 0);
    refuse = false;
    beam.SelectTabAt(x, 5);
    EXPECT_EQ(beam.GetCurSel(), 2);
    backend->ProcessMessages();
    auto posted = Of(hParent, GX_WM_TABSWITCH);
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, 2u);
}

} // namespace

namespace {

TEST_F(TabBeamTest, CtrlAndShiftMarkTabsAndADoubleClickAsksToRenameTheCurrentTab)
{
    AddThree();
    beam.InsertTab(FALSE, "DDDD");
    const int y = 5;
    auto at = [&](int nTab) { return MAKELPARAM(beam.GetTabLeft(nTab) + 10, y); };
    beam.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at(2));
    EXPECT_TRUE(beam.GetTab(2).bSel);
    beam.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, at(2));
    EXPECT_FALSE(beam.GetTab(2).bSel);
    EXPECT_EQ(beam.GetCurSel(), 0);
    // Shift marks from the clicked tab to the current one.
    beam.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, at(2));
    EXPECT_TRUE(beam.GetTab(0).bSel && beam.GetTab(1).bSel && beam.GetTab(2).bSel);
    EXPECT_FALSE(beam.GetTab(3).bSel);
    // A plain click on an unmarked tab clears the marks.
    beam.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at(3));
    EXPECT_EQ(beam.GetCurSel(), 3);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(beam.GetTab(i).bSel);
    backend->ProcessMessages();
    Log().clear();
    beam.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, at(3));
    backend->ProcessMessages();
    auto rename = Of(hParent, GX_WM_TABRENAME);
    ASSERT_EQ(rename.size(), 1u);
    EXPECT_EQ(rename[0].wParam, 3u);
}

} // namespace
