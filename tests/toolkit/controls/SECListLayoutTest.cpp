// The list's rows, pages and scrolling: mixed row heights, the vertical bar's SB_ table, the
// wheel accumulator, the last page kept full, bars and the inside rectangle.
#include "tests/toolkit/controls/ListTestSupport.h"

#include "platform/win/ScrollBar.h"

namespace {

using SECListLayoutTest = ListTest;

TEST_F(SECListLayoutTest, PagesCountWholeRowsOfMixedHeights)
{
    MakeList();
    // Row 25 wraps onto two lines and is twice as tall.
    list->SetItemText(25, 0, "two\nlines");
    list->RecalcLayout();
    EXPECT_TRUE(list->IsVertBarShown());
    EXPECT_FALSE(list->IsHorzBarShown());
    RECT inside;
    list->GetInsideRect(inside);
    EXPECT_EQ(CRect(inside), CRect(0, 18, 200 - 15, 118));
    EXPECT_EQ(list->GetRowHeight(24), 10);
    EXPECT_EQ(list->GetRowHeight(25), 20);
    EXPECT_EQ(list->GetCountPerPage(), 10);
    EXPECT_EQ(list->GetBottomIndex(), 9);
    EXPECT_EQ(list->GetEndIndex(), 10);
    // From the end back: 29..26 and the tall 25 and 24..21 make exactly 100 pixels.
    EXPECT_EQ(list->GetMaxTopIndex(), 21);
    EXPECT_EQ(list->GetRowsHeight(24, 26, TRUE), 40);
    EXPECT_EQ(list->GetRowsHeight(26, 24, FALSE), -30);
    EXPECT_EQ(list->GetRowsInHeight(25, 25, TRUE), 2);
    EXPECT_EQ(list->RowFromOffsetY(255), 25);

    // A cell's parts: the label sits 5 pixels in, the sub-item in its own column.
    RECT cell, text;
    ASSERT_TRUE(list->GetCellRect(2, 1, cell, 0));
    EXPECT_EQ(CRect(cell), CRect(100, 38, 160, 48));
    ASSERT_TRUE(list->GetCellRect(2, 0, text, 2));
    EXPECT_EQ(CRect(text), CRect(5, 40, 5 + 6 * 5, 50));
    EXPECT_FALSE(list->GetCellRect(2, 1, text, 1));   // a sub-item has no icon part
    list->SetTopIndex(5);
    EXPECT_FALSE(list->GetCellRect(2, 0, cell, 0));   // above the top row

    // EnsureVisible brings a row below the page up to the bottom, one above to the top.
    list->SetTopIndex(0);
    list->EnsureVisible(14);
    EXPECT_EQ(list->GetBottomIndex(), 14);
    list->EnsureVisible(2);
    EXPECT_EQ(list->GetTopIndex(), 2);
    EXPECT_TRUE(list->EnsureRangeVisible(20, 22));
    EXPECT_LE(list->GetTopIndex(), 20);
    EXPECT_GE(list->GetBottomIndex(), 22);
    EXPECT_FALSE(list->EnsureRangeVisible(5, 40));
}

TEST_F(SECListLayoutTest, ScrollMessagesWheelAndTheLastPage)
{
    MakeList();
    list->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    EXPECT_EQ(list->GetTopIndex(), 1);
    list->SendMessage(WM_VSCROLL, SB_LINEUP);
    list->SendMessage(WM_VSCROLL, SB_LINEUP);   // at 0: stays
    EXPECT_EQ(list->GetTopIndex(), 0);
    list->SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    EXPECT_EQ(list->GetTopIndex(), 10);
    list->SendMessage(WM_VSCROLL, SB_PAGEUP);
    EXPECT_EQ(list->GetTopIndex(), 0);
    list->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 7));
    EXPECT_EQ(list->GetTopIndex(), 7);
    list->SendMessage(WM_VSCROLL, SB_BOTTOM);
    EXPECT_EQ(list->GetTopIndex(), 20);
    list->SendMessage(WM_VSCROLL, SB_LINEDOWN);   // the last page already shows
    EXPECT_EQ(list->GetTopIndex(), 20);

    // Half a notch does nothing; the second half scrolls three rows up, as the system's wheel
    // setting says. A fast spin scrolls by all, no further than the first and the last page.
    const POINT over = At(list->m_hWnd, 50, 50);
    backend->Wheel(60, over);
    backend->ProcessMessages();
    EXPECT_EQ(list->GetTopIndex(), 20);
    backend->Wheel(60, over);
    backend->ProcessMessages();
    EXPECT_EQ(list->GetTopIndex(), 17);
    list->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-360)), 0);
    EXPECT_EQ(list->GetTopIndex(), 20);   // to the last page, where the bar's end goes
    list->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
    EXPECT_EQ(list->GetTopIndex(), 20);   // the last page shows: no further
    list->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 240), 0);
    EXPECT_EQ(list->GetTopIndex(), 14);
    list->SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, 12000), 0);
    EXPECT_EQ(list->GetTopIndex(), 0);

    // Deleting rows while the last page shows pulls the top back so that the page stays full.
    list->SendMessage(WM_VSCROLL, SB_BOTTOM);
    ASSERT_EQ(list->GetTopIndex(), 20);
    list->DeleteItems(25, 100);
    EXPECT_EQ(list->GetItemCount(), 25);
    EXPECT_EQ(list->GetTopIndex(), 15);
    // When everything fits, the bar goes and row 0 is at the top.
    list->DeleteItems(5, 100);
    EXPECT_FALSE(list->IsVertBarShown());
    EXPECT_EQ(list->GetTopIndex(), 0);
}

TEST_F(SECListLayoutTest, HorizontalScrollingAndBothBarsWithTheirCorner)
{
    MakeList();
    list->SetColumnWidth(1, 300);   // 400 wide content in 185
    list->RecalcLayout();
    ASSERT_TRUE(list->IsHorzBarShown());
    ASSERT_TRUE(list->IsVertBarShown());
    RECT inside;
    list->GetInsideRect(inside);
    EXPECT_EQ(CRect(inside), CRect(0, 18, 185, 103));
    int x = -1, y = -1;
    list->SendMessage(WM_HSCROLL, SB_LINERIGHT);
    list->GetScrollOrigin(x, y);
    EXPECT_EQ(x, 15);
    list->SendMessage(WM_HSCROLL, SB_RIGHT);
    list->GetScrollOrigin(x, y);
    EXPECT_EQ(x, 400 - 185);
    list->SendMessage(WM_HSCROLL, SB_LINERIGHT);   // held at the right end
    list->GetScrollOrigin(x, y);
    EXPECT_EQ(x, 400 - 185);
    EXPECT_EQ(list->GetColumnLeft(1), 100 - 215);
    list->SendMessage(WM_HSCROLL, SB_LEFT);
    list->GetScrollOrigin(x, y);
    EXPECT_EQ(x, 0);
    // The bars sit along the inside rectangle; the square between them is button face.
    CRect bar;
    list->GetScrollBarCtrl(1)->GetWindowRect(&bar);
    list->ScreenToClient(&bar);
    EXPECT_EQ(bar, CRect(184, 0, 200, 104));
    EXPECT_EQ(Pixel(195, 112), ::GetSysColor(COLOR_BTNFACE));
}

// Rows inserted without auto-update leave the layout for later: the next paint lays out the
// bars, so rows that no longer fit get their bar even when no resize comes.
TEST_F(SECListLayoutTest, RowsInsertedWithoutAutoUpdateGetTheirBarByThePaint)
{
    MakeList(0, 0, 5);
    ASSERT_FALSE(list->GetAutoUpdate());
    ASSERT_FALSE(list->IsVertBarShown());
    for (int i = 5; i < 25; ++i)
        list->InsertItem(i, ("Item " + std::to_string(i)).c_str());
    list->Invalidate();
    backend->ProcessMessages();
    EXPECT_TRUE(list->IsVertBarShown());
    CWnd* bar = list->GetScrollBarCtrl(1);
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->IsWindowVisible());
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE;
    ASSERT_TRUE(::GetScrollInfo(bar->m_hWnd, SB_CTL, &si));
    EXPECT_EQ(si.nMax, 24);
    // The thumb stands under the top arrow, where the rows' white stood.
    EXPECT_EQ(SurfacePixel(*backend, list->m_hWnd, 192, 30), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(SECListLayoutTest, NoScrollBarStyleNeverShowsABar)
{
    MakeList(LVXS_NOSCROLLBARS);
    list->SetColumnWidth(1, 300);
    list->RecalcLayout();
    EXPECT_FALSE(list->IsVertBarShown());
    EXPECT_FALSE(list->IsHorzBarShown());
    EXPECT_EQ(list->GetScrollBarCtrl(1), nullptr);
    list->SendMessage(WM_VSCROLL, SB_PAGEDOWN);   // nothing to read a page from: no move
    EXPECT_EQ(list->GetTopIndex(), 0);
}

}   // namespace
