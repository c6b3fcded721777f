#include "GridTestSupport.h"

#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXPluginComponent.h"
#include "grid/core/GXGridWindowMessages.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/ScrollBar.h"

#include <gtest/gtest.h>

namespace {

class GridWndTest : public GridDrawTest {
protected:
    // A grid window of 400 x 300 with both scroll bars in a top-level window.
    void MakeGrid(CGXGridWnd& grid, ROWCOL nRows, ROWCOL nCols)
    {
        m_hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 500, 400);
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 400, 300), CWnd::FromHandle(m_hTop), 1));
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(nRows, 0);
        grid.SetColCount(nCols, 0);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(50);
        grid.GetParam()->EnableUndo(TRUE);
        grid.Redraw(GX_INVALIDATE, FALSE);
        backend->ProcessMessages();
    }
    HWND m_hTop = nullptr;
};

CRect UpdateRectOf(CWnd& wnd)
{
    CRect rect;
    if (!::GetUpdateRect(wnd.GetSafeHwnd(), &rect, FALSE))
        rect.SetRectEmpty();
    return rect;
}

} // namespace

TEST_F(GridWndTest, AHundredThousandRowsScaleTheScrollBarAndTheThumbLandsOnItsRow)
{
    CGXGridWnd grid;
    MakeGrid(grid, 100000, 50);
    EXPECT_EQ(grid.GetScrollFactor(SB_VERT), 4);
    grid.SetScrollPos(SB_VERT, 40000, FALSE);
    EXPECT_EQ(::GetScrollPos(grid.GetSafeHwnd(), SB_VERT), 10000);
    EXPECT_EQ(grid.GetScrollPos(SB_VERT), 40000);

    // Dragging the thumb to a unit shows the row the unit stands for.
    ASSERT_TRUE(grid.HandleVScroll(SB_THUMBTRACK, 12345));
    EXPECT_EQ(grid.GetTopRow(), 12345u * 4);
    // The last unit shows the last rows, whatever the scale left over.
    int nMin = 0, nMax = 0;
    ::GetScrollRange(grid.GetSafeHwnd(), SB_VERT, &nMin, &nMax);
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ASSERT_TRUE(::GetScrollInfo(grid.GetSafeHwnd(), SB_VERT, &si));
    ASSERT_TRUE(grid.HandleVScroll(SB_THUMBTRACK, static_cast<UINT>(si.nMax - static_cast<int>(si.nPage) + 1)));
    CRect rect;
    grid.GetGridRect(&rect);
    BOOL bEnd = FALSE;
    EXPECT_EQ(grid.CalcLastVisibleRowEx(rect, bEnd), 100000u);
    EXPECT_EQ(grid.GetTopRow(), grid.CalcMaxTopRow());
    // Scrolling down stops there.
    EXPECT_FALSE(grid.DoScroll(3, 1));
    ASSERT_TRUE(grid.HandleVScroll(SB_TOP, 0));
    EXPECT_EQ(grid.GetTopRow(), 1u);
}

TEST_F(GridWndTest, PagesLinesAndHiddenRows)
{
    CGXGridWnd grid;
    MakeGrid(grid, 200, 20);
    CRect rect;
    grid.GetGridRect(&rect);
    const ROWCOL nLast = grid.CalcLastVisibleRow(rect);
    ASSERT_TRUE(grid.HandleVScroll(SB_PAGEDOWN, 0));
    EXPECT_EQ(grid.GetTopRow(), nLast); // the partly shown row comes to the top
    // A page up keeps the old top row in view at the bottom.
    ASSERT_TRUE(grid.HandleVScroll(SB_PAGEUP, 0));
    EXPECT_LT(grid.GetTopRow(), nLast);
    EXPECT_GE(grid.CalcLastVisibleRow(rect), nLast);
    ASSERT_TRUE(grid.HandleVScroll(SB_PAGEUP, 0));
    EXPECT_EQ(grid.GetTopRow(), 1u);

    // Up by one from row 10 past a hidden row 8 shows row 8 as the top (9 is the first drawn).
    grid.SetTopRow(10, 0);
    Hidden(grid).m_rows.insert(8);
    ASSERT_TRUE(grid.DoScroll(1, 1));
    EXPECT_EQ(grid.GetTopRow(), 8u);
    // Down onto hidden rows walks over them.
    Hidden(grid).m_rows.insert({9, 10, 11});
    grid.SetTopRow(7, 0);
    ASSERT_TRUE(grid.DoScroll(3, 1));
    EXPECT_EQ(grid.GetTopRow(), 12u);
    Hidden(grid).m_rows.clear();

    // Up past the first scrolled row stops there; already there, nothing scrolls.
    grid.SetFrozenRows(2, 0, 0);
    grid.SetTopRow(5, 0);
    ASSERT_TRUE(grid.DoScroll(1, 10));
    EXPECT_EQ(grid.GetTopRow(), 3u);
    EXPECT_FALSE(grid.DoScroll(1, 1));
    // A frozen row is always in view.
    EXPECT_FALSE(grid.ScrollCellInView(1, 1));
    EXPECT_TRUE(grid.ScrollCellInView(150, 1));
    EXPECT_LE(grid.GetTopRow(), 150u);
    EXPECT_GE(grid.CalcLastVisibleRow(rect), 150u);
}

TEST_F(GridWndTest, ALineScrollMovesPixelsAndChildrenAndRepaintsOnlyTheNewStrip)
{
    CGXGridWnd grid;
    MakeGrid(grid, 200, 20);
    HWND hChild = Make(WS_CHILD | WS_VISIBLE, 60, 100, 30, 15, grid.GetSafeHwnd());
    grid.UpdateWindow();
    ASSERT_TRUE(UpdateRectOf(grid).IsRectEmpty());
    grid.SetNoImmediateUpdate(TRUE);
    ASSERT_TRUE(grid.DoScroll(3, 1));
    CRect client;
    grid.GetClientRect(&client);
    // Only the row that came into view waits for a paint.
    const CRect update = UpdateRectOf(grid);
    EXPECT_EQ(update.top, client.bottom - 20);
    EXPECT_EQ(update.bottom, client.bottom);
    // The child moved with the cells.
    CRect child;
    ::GetWindowRect(hChild, &child);
    grid.ScreenToClient(&child);
    EXPECT_EQ(child.top, 80);
    EXPECT_EQ(child.left, 60);
}

TEST_F(GridWndTest, TheScrollBarShowsOnlyWhileRowsDoNotFit)
{
    CGXGridWnd grid;
    MakeGrid(grid, 5, 3);
    EXPECT_FALSE(grid.GetStyle() & WS_VSCROLL);
    grid.SetRowCount(500, GX_INVALIDATE);
    EXPECT_TRUE(grid.GetStyle() & WS_VSCROLL);
    grid.SetRowCount(5, GX_INVALIDATE);
    EXPECT_FALSE(grid.GetStyle() & WS_VSCROLL);
}

TEST_F(GridWndTest, AWindowMadeByClassNameOwnsItsGridAndPaintsOnlyOnceInitialised)
{
    m_hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 300, 200);
    const size_t nBefore = CGXGridWnd::GetSelfCreatedCount();
    HWND hGrid = ::CreateWindowEx(0, "CGXGridWnd", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, m_hTop, nullptr, nullptr, nullptr);
    ASSERT_NE(hGrid, nullptr);
    EXPECT_EQ(CGXGridWnd::GetSelfCreatedCount(), nBefore + 1);
    auto* pGrid = dynamic_cast<CGXGridWnd*>(CWnd::FromHandlePermanent(hGrid));
    ASSERT_NE(pGrid, nullptr);
    // Not initialised: the paint fills the background and is not asked for again.
    ::InvalidateRect(hGrid, nullptr, TRUE);
    ::UpdateWindow(hGrid);
    EXPECT_TRUE(UpdateRectOf(*pGrid).IsRectEmpty());
    ::UpdateWindow(hGrid);
    EXPECT_EQ(::SendMessage(hGrid, WM_GETDLGCODE, 0, 0) & 0x83, 0x83);
    ::DestroyWindow(hGrid);
    EXPECT_EQ(CGXGridWnd::GetSelfCreatedCount(), nBefore);
}

TEST_F(GridWndTest, WhileSizingIsLockedNothingRepaints)
{
    CGXGridWnd grid;
    MakeGrid(grid, 50, 20);
    grid.UpdateWindow();
    ::SendMessage(grid.GetSafeHwnd(), WM_GX_SIZELOCK, TRUE, 0);
    grid.MoveWindow(0, 0, 380, 280);
    EXPECT_TRUE(UpdateRectOf(grid).IsRectEmpty());
    ::SendMessage(grid.GetSafeHwnd(), WM_GX_SIZELOCK, FALSE, 0);
    CRect client;
    grid.GetClientRect(&client);
    EXPECT_EQ(UpdateRectOf(grid), client);
}

namespace {
// A plug-in that counts what it sees and may keep messages from others.
class CountingPlugin : public CGXPluginComponent {
public:
    int m_nSeen = 0;
    BOOL m_bSkip = FALSE;
    BOOL m_bExit = FALSE;
    BOOL OnWndMsg(UINT message, WPARAM, LPARAM, LRESULT* pResult) override
    {
        if (message != WM_TIMER)
            return FALSE;
        ++m_nSeen;
        m_bSkipOtherPlugins = m_bSkip;
        m_bExitMesssage = m_bExit;
        if (pResult != nullptr)
            *pResult = 7;
        return TRUE;
    }
};
} // namespace

TEST_F(GridWndTest, PluginsSeeMessagesFirstAndMayKeepThemFromOthersOrTheGrid)
{
    CGXGridWnd grid;
    MakeGrid(grid, 5, 5);
    auto* pFirst = new CountingPlugin;
    auto* pSecond = new CountingPlugin;
    grid.AddPlugin(pFirst);
    grid.AddPlugin(pSecond);
    LRESULT lResult = 0;
    EXPECT_FALSE(grid.HandleWindowProc(WM_TIMER, 5, 0, &lResult));
    EXPECT_EQ(pFirst->m_nSeen, 1);
    EXPECT_EQ(pSecond->m_nSeen, 1);
    pFirst->m_bSkip = TRUE;
    EXPECT_FALSE(grid.HandleWindowProc(WM_TIMER, 5, 0, &lResult));
    EXPECT_EQ(pSecond->m_nSeen, 1);
    pFirst->m_bSkip = FALSE;
    pFirst->m_bExit = TRUE;
    EXPECT_TRUE(grid.HandleWindowProc(WM_TIMER, 5, 0, &lResult));
    EXPECT_EQ(lResult, 7);
    // A plug-in shares the window; the window outlives the plug-ins the grid deletes.
    EXPECT_EQ(pFirst->GetSafeHwnd(), grid.GetSafeHwnd());
}
