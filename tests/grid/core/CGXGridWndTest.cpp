#include "GridTestSupport.h"

#include "grid/core/CGXAutoScrollPlugin.h"
#include "grid/core/CGXGridAssistant.h"
#include "grid/core/CGXGridOptimizedUpdateImp.h"
#include "grid/core/CGXGridView.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/core/CGXPluginComponent.h"
#include "grid/core/CGXStatic.h"
#include "grid/core/GXGridWindowMessages.h"
#include "grid/data/CGXGridModel.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/features/CGXGridUserResizeCellsImp.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Cursor.h"
#include "platform/win/ScrollBar.h"
#include "platform/controls/ToolTip.h"
#include "platform/afx/wnd/AfxThreadState.h"

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

namespace {
// A cell control that records the commands and pre-translated messages it is offered.
class HookControl : public CGXStatic {
public:
    explicit HookControl(CGXGridCore* pGrid) : CGXStatic(pGrid) {}
    std::vector<std::pair<WPARAM, LPARAM>> m_commands;
    std::vector<UINT> m_messages;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override
    {
        m_commands.emplace_back(wParam, lParam);
        return LOWORD(wParam) == 77;
    }
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        m_messages.push_back(pMsg->message);
        return pMsg->message == WM_KEYDOWN;
    }
};
} // namespace

TEST_F(GridWndTest, CommandsAndPreTranslationReachTheCurrentCellsControlOnly)
{
    CGXGridWnd grid;
    MakeGrid(grid, 5, 5);
    auto* pControl = new HookControl(&grid);
    grid.RegisterControl(grid.GetStandardStyle()->GetControl(), pControl, TRUE);
    MSG key{};
    key.hwnd = grid.GetSafeHwnd();
    key.message = WM_KEYDOWN;
    key.wParam = VK_F2;

    // Without a current cell nobody is asked.
    grid.SetCurrentCellState(FALSE);
    EXPECT_FALSE(grid.HandleCommand(MAKEWPARAM(77, 0), 0));
    EXPECT_FALSE(grid.HandlePreTranslateMessage(&key));
    EXPECT_TRUE(pControl->m_commands.empty());
    EXPECT_TRUE(pControl->m_messages.empty());

    ASSERT_TRUE(grid.SetCurrentCell(2, 3));
    ASSERT_EQ(grid.GetCurrentCellControl(), pControl);
    // The control's answer stands, and it gets the parameters as they came.
    EXPECT_TRUE(grid.HandleCommand(MAKEWPARAM(77, 0x300), 1234));
    EXPECT_FALSE(grid.HandleCommand(MAKEWPARAM(78, 0), 0));
    ASSERT_EQ(pControl->m_commands.size(), 2u);
    EXPECT_EQ(pControl->m_commands[0], std::make_pair(WPARAM(MAKEWPARAM(77, 0x300)), LPARAM(1234)));
    // The window's own command routing asks the control first.
    EXPECT_EQ(::SendMessage(grid.GetSafeHwnd(), WM_COMMAND, MAKEWPARAM(77, 0), 0), 1);
    EXPECT_EQ(pControl->m_commands.size(), 3u);

    EXPECT_TRUE(grid.HandlePreTranslateMessage(&key));
    MSG chr = key;
    chr.message = WM_CHAR;
    EXPECT_FALSE(grid.HandlePreTranslateMessage(&chr));
    EXPECT_EQ(pControl->m_messages, (std::vector<UINT>{WM_KEYDOWN, WM_CHAR}));
    // A hidden grid translates nothing for its cells.
    grid.ShowWindow(SW_HIDE);
    EXPECT_FALSE(grid.HandlePreTranslateMessage(&key));
    EXPECT_EQ(pControl->m_messages.size(), 2u);
}

namespace {
// A cell control that colours its own edit windows, keeps a click from activating the grid's
// window and records the system changes it hears of.
class ColourControl : public CGXStatic {
public:
    explicit ColourControl(CGXGridCore* pGrid) : CGXStatic(pGrid) {}
    BOOL OnGridCtlColor(CDC*, CWnd*, UINT nCtlColor, HBRUSH& hBrush) override
    {
        if (nCtlColor != WM_CTLCOLOREDIT - WM_CTLCOLORMSGBOX)
            return FALSE;
        hBrush = m_brush;
        return TRUE;
    }
    void OnGridWinIniChange(LPCTSTR pszSection) override { m_sections.emplace_back(pszSection != nullptr ? pszSection : "(null)"); }
    void OnGridSysColorChange() override { ++m_nColourChanges; }
    int OnGridMouseActivate(CWnd*, UINT, UINT) override { return MA_NOACTIVATE; }
    HBRUSH m_brush = ::CreateSolidBrush(RGB(1, 2, 3));
    std::vector<std::string> m_sections;
    int m_nColourChanges = 0;
    ~ColourControl() override { ::DeleteObject(m_brush); }
};
} // namespace

TEST_F(GridWndTest, ColoursAndClickActivationAskTheCurrentCellsControlFirstAndSystemChangesReachEveryControl)
{
    CGXGridWnd grid;
    MakeGrid(grid, 5, 5);
    auto* pOwn = new ColourControl(&grid);
    auto* pOther = new ColourControl(&grid);
    grid.RegisterControl(grid.GetStandardStyle()->GetControl(), pOwn, TRUE);
    grid.RegisterControl(4321, pOther);
    CGXStyle interior;
    interior.SetInterior(RGB(0, 128, 255));
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 3, 2, 3), &interior, gxOverride, 0, nullptr, 0, gxDo));
    HWND hChild = Make(WS_CHILD, 0, 0, 10, 10, grid.GetSafeHwnd());
    CClientDC dc(&grid);
    const auto ask = [&](UINT nMessage) {
        return ::SendMessage(grid.GetSafeHwnd(), nMessage, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), reinterpret_cast<LPARAM>(hChild));
    };

    const LPARAM nClick = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
    // Without a current cell the grid leaves colours and activation to the window's default.
    grid.SetCurrentCellState(FALSE);
    EXPECT_EQ(grid.HandleCtlColor(&dc, CWnd::FromHandle(hChild), WM_CTLCOLOREDIT - WM_CTLCOLORMSGBOX), nullptr);
    EXPECT_NE(::SendMessage(grid.GetSafeHwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_hTop), nClick), MA_NOACTIVATE);
    ASSERT_TRUE(grid.SetCurrentCell(2, 3));
    EXPECT_EQ(::SendMessage(grid.GetSafeHwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_hTop), nClick), MA_NOACTIVATE);
    // The control's own answer stands; where it has none, the cell's interior is the brush and
    // the DC's background.
    EXPECT_EQ(ask(WM_CTLCOLOREDIT), reinterpret_cast<LRESULT>(pOwn->m_brush));
    const LRESULT nStatic = ask(WM_CTLCOLORSTATIC);
    EXPECT_NE(nStatic, 0);
    EXPECT_NE(nStatic, reinterpret_cast<LRESULT>(pOwn->m_brush));
    EXPECT_EQ(dc.GetBkColor(), RGB(0, 128, 255));

    // Setting and colour changes reach every control the grid has, with the section named.
    ::SendMessage(grid.GetSafeHwnd(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
    ::SendMessage(grid.GetSafeHwnd(), WM_SYSCOLORCHANGE, 0, 0);
    for (ColourControl* pControl : {pOwn, pOther}) {
        EXPECT_EQ(pControl->m_sections, std::vector<std::string>{"intl"});
        EXPECT_EQ(pControl->m_nColourChanges, 1);
    }
    ::DestroyWindow(hChild);
}

namespace {
class ActivationGrid : public CGXGridWnd {
public:
    BOOL OnActivateGrid(BOOL bActivate) override
    {
        m_activations.push_back(bActivate);
        return TRUE;
    }
    std::vector<BOOL> m_activations;
};

class ActivationRecorder : public CGXGridActivationListener {
public:
    void OnGridActivated(CGXGridCore* pGrid) override { m_grids.push_back(pGrid); }
    std::vector<CGXGridCore*> m_grids;
};

class RefreshCounter : public CGXStatic {
public:
    explicit RefreshCounter(CGXGridCore* pGrid) : CGXStatic(pGrid) {}
    void Refresh() override
    {
        ++m_nRefreshes;
        CGXStatic::Refresh();
    }
    int m_nRefreshes = 0;
};
} // namespace

TEST_F(GridWndTest, FocusMovesActivateTheGridUnlessTheGridMovesTheFocusItself)
{
    ActivationGrid grid;
    MakeGrid(grid, 5, 5);
    auto* pControl = new RefreshCounter(&grid);
    grid.RegisterControl(grid.GetStandardStyle()->GetControl(), pControl, TRUE);
    ASSERT_TRUE(grid.SetCurrentCell(2, 2));
    HWND hOther = Make(WS_CHILD | WS_VISIBLE, 420, 10, 60, 20, m_hTop);
    ActivationRecorder first, second;
    GXGetAppData()->m_pActivationListener[0] = &first;
    GXGetAppData()->m_pActivationListener[1] = &second;

    ::SetFocus(hOther);
    ::SetFocus(grid.GetSafeHwnd());
    EXPECT_EQ(GXGetAppData()->m_pActiveGrid, &grid);
    // Both listeners hear of the activation, and only of that one.
    EXPECT_EQ(first.m_grids, std::vector<CGXGridCore*>{&grid});
    EXPECT_EQ(second.m_grids, std::vector<CGXGridCore*>{&grid});
    grid.SetFocusLost(FALSE);
    ::SetFocus(hOther);
    EXPECT_TRUE(grid.IsFocusLost());
    EXPECT_EQ(grid.m_activations, (std::vector<BOOL>{TRUE, FALSE}));

    // A focus move the grid makes itself is no activation change either way.
    grid.m_activations.clear();
    {
        const CGXGridFocusChange change(&grid);
        ::SetFocus(grid.GetSafeHwnd());
        ::SetFocus(hOther);
    }
    EXPECT_FALSE(grid.IsFocusChange());
    EXPECT_TRUE(grid.m_activations.empty());
    EXPECT_EQ(first.m_grids.size(), 1u);

    // A refocus request refreshes the current cell's control at the next focus gain once more
    // than the activation does, and only at that one.
    const int nRefreshes = pControl->m_nRefreshes;
    grid.SetRefocus(TRUE);
    ::SetFocus(grid.GetSafeHwnd());
    EXPECT_FALSE(grid.GetRefocus());
    const int nWithRefocus = pControl->m_nRefreshes - nRefreshes;
    ::SetFocus(hOther);
    const int nBefore = pControl->m_nRefreshes;
    ::SetFocus(grid.GetSafeHwnd());
    EXPECT_EQ(nWithRefocus, pControl->m_nRefreshes - nBefore + 1);
    GXGetAppData()->m_pActivationListener[0] = GXGetAppData()->m_pActivationListener[1] = nullptr;
}

TEST_F(GridWndTest, AGridThatGoesIsNoLongerTheActiveGrid)
{
    CGXGridWnd first;
    MakeGrid(first, 5, 5);
    {
        CGXGridWnd second;
        ASSERT_TRUE(second.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 320, 400, 380), CWnd::FromHandle(m_hTop), 2));
        second.Initialize();
        ::SetFocus(first.GetSafeHwnd());
        EXPECT_EQ(GXGetAppData()->m_pActiveGrid, &first);
        ::SetFocus(second.GetSafeHwnd());
        EXPECT_EQ(GXGetAppData()->m_pActiveGrid, &second);
        second.DestroyWindow();
    }
    EXPECT_EQ(GXGetAppData()->m_pActiveGrid, nullptr);
}

namespace {
// Writes down what the grid tells its assistant.
class RecordingAssistant : public CGXGridAssistant {
public:
    explicit RecordingAssistant(std::vector<std::string>& log) : m_log(log) {}
    ~RecordingAssistant() override { m_log.push_back("deleted"); }
    void OnInitialize(CGXGridCore*) override { m_log.push_back("init"); }
    void OnGridSize(CGXGridCore*, UINT nType, int cx, int cy) override { Add("size", nType, cx, cy); }
    void OnGridMouseMove(CGXGridCore*, UINT, CPoint pt) override { Add("move", pt.x, pt.y); }
    void OnGridPreTranslateMessage(CGXGridCore*, const MSG& msg) override { Add("msg", msg.message); }
    void OnMovedRows(CGXGridCore*, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override { Add("rows", nFrom, nTo, nDest); }
    void OnMovedCols(CGXGridCore*, ROWCOL nFrom, ROWCOL nTo, ROWCOL nDest) override { Add("cols", nFrom, nTo, nDest); }

private:
    template <typename... T>
    void Add(const char* pszWhat, T... values)
    {
        std::string s = pszWhat;
        ((s += " " + std::to_string(values)), ...);
        m_log.push_back(s);
    }
    std::vector<std::string>& m_log;
};
} // namespace

TEST_F(GridWndTest, TheAssistantHearsOfInitSizesMovesAndMessagesWhileEnabled)
{
    std::vector<std::string> log;
    {
        CGXGridWnd grid;
        m_hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 500, 400);
        ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), CWnd::FromHandle(m_hTop), 1));
        grid.SetAssistant(new RecordingAssistant(log));
        grid.SetAssistant(grid.GetAssistant()); // the same one again stays
        grid.Initialize();
        grid.SetRowCount(20, 0);
        grid.SetColCount(5, 0);
        grid.MoveWindow(0, 0, 380, 280);
        grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
        // While the grid holds the mouse its moves are its own.
        ::SetCapture(grid.GetSafeHwnd());
        grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(31, 41));
        ::ReleaseCapture();
        MSG msg{};
        msg.hwnd = grid.GetSafeHwnd();
        msg.message = WM_KEYDOWN;
        grid.HandlePreTranslateMessage(&msg);
        ASSERT_TRUE(grid.MoveRows(2, 3, 6));
        ASSERT_TRUE(grid.MoveCols(1, 1, 4));
        EXPECT_EQ(log, (std::vector<std::string>{"init", "size 0 380 280", "move 30 40", "msg 256", "rows 2 3 6", "cols 1 1 4"}));

        // Disabled, it hears of no size, move or message.
        log.clear();
        grid.EnableAssistant(FALSE);
        grid.MoveWindow(0, 0, 400, 300);
        grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(30, 40));
        grid.HandlePreTranslateMessage(&msg);
        EXPECT_TRUE(log.empty());
        grid.DestroyWindow();
    }
    EXPECT_EQ(log, std::vector<std::string>{"deleted"});
}

TEST_F(GridWndTest, HoldingThePointerBelowTheGridScrollsFasterUntilTheButtonGoesUp)
{
    CGXGridWnd grid;
    MakeGrid(grid, 100000, 10);
    auto* pPlugin = dynamic_cast<CGXAutoScrollPlugin*>(grid.m_pAutoScrollPlugin);
    ASSERT_NE(pPlugin, nullptr);
    CRect rect;
    grid.GetGridRect(&rect);
    POINT below{100, rect.bottom + 40}; // 40 pixels below the scrolling area
    ::ClientToScreen(grid.GetSafeHwnd(), &below);
    ::SetCursorPos(below.x, below.y);
    backend->AdvanceClock(1000);

    ASSERT_TRUE(grid.StartAutoScroll(FALSE, TRUE, FALSE));
    backend->ProcessMessages(); // the posted first tick scrolls at once
    EXPECT_EQ(grid.GetTopRow(), 2u);
    EXPECT_EQ(pPlugin->GetStepInterval(), 80 - (40 / 5) / 2);
    // Within the step interval nothing more happens; after it, the next row.
    backend->Advance(50);
    EXPECT_EQ(grid.GetTopRow(), 2u);
    backend->Advance(40);
    EXPECT_EQ(grid.GetTopRow(), 3u);
    // Held long enough, the interval reaches 0 and the speed climbs to several rows a step.
    for (int i = 0; i < 80; ++i)
        backend->Advance(20);
    EXPECT_EQ(pPlugin->GetStepInterval(), 0);
    EXPECT_GT(pPlugin->GetSpeed(), 20);
    const ROWCOL nTop = grid.GetTopRow();
    backend->Advance(20);
    EXPECT_GE(grid.GetTopRow(), nTop + 2);

    // Any button going up stops it.
    grid.SendMessage(WM_LBUTTONUP, 0, 0);
    const ROWCOL nStopped = grid.GetTopRow();
    backend->Advance(500);
    EXPECT_EQ(grid.GetTopRow(), nStopped);
    EXPECT_FALSE(grid.IsAutoScrolling());
}

TEST_F(GridWndTest, GrowingTheWindowRepaintsWhatItExposesAndTheSizeLockHoldsPaints)
{
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Sizes", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 500, 400)));
    CGXGridWnd grid;
    ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), frame, 1));
    grid.Initialize();
    grid.GetParam()->EnableUndo(FALSE);
    grid.SetRowCount(50, 0);
    grid.SetColCount(20, 0);
    grid.StoreDefaultRowHeight(20);
    grid.StoreDefaultColWidth(50);
    grid.Redraw(GX_INVALIDATE, FALSE);
    backend->ProcessMessages();
    // Paint the window red behind the grid's back: whatever the grid paints again shows.
    const auto paintRed = [&grid] {
        CClientDC dc(&grid);
        CRect all;
        grid.GetClientRect(&all);
        dc.FillSolidRect(&all, RGB(255, 0, 0));
    };
    const auto pixel = [&grid](int x, int y) {
        CClientDC dc(&grid);
        return dc.GetPixel(x, y);
    };
    const COLORREF red = RGB(255, 0, 0);

    // Ten pixels wider: columns end at 300, so only the new stripe is painted, and at once.
    paintRed();
    grid.MoveWindow(0, 0, 310, 200);
    EXPECT_NE(pixel(305, 110), red);
    EXPECT_EQ(pixel(290, 110), red);
    EXPECT_EQ(pixel(150, 60), red);
    // Wider again: the column the old edge cut is painted again whole, with the new stripe.
    paintRed();
    grid.MoveWindow(0, 0, 330, 200);
    backend->ProcessMessages();
    EXPECT_NE(pixel(302, 110), red);
    EXPECT_NE(pixel(325, 110), red);
    EXPECT_EQ(pixel(290, 110), red);
    // Taller: the stripe below the last whole row.
    paintRed();
    grid.MoveWindow(0, 0, 330, 230);
    backend->ProcessMessages();
    EXPECT_NE(pixel(150, 215), red);
    EXPECT_EQ(pixel(150, 190), red);

    // While the size lock holds, sizing paints nothing; its release paints everything.
    grid.SendMessage(0x7CB, 1, 0);
    paintRed();
    grid.MoveWindow(0, 0, 360, 260);
    backend->ProcessMessages();
    EXPECT_EQ(pixel(325, 110), red); // the column the old edge cut
    EXPECT_EQ(pixel(150, 225), red); // the row the old edge cut
    grid.SendMessage(0x7CB, 0, 0);
    backend->ProcessMessages();
    EXPECT_NE(pixel(325, 110), red);
    EXPECT_NE(pixel(150, 60), red);
    grid.DestroyWindow();
    frame->DestroyWindow();
}

TEST_F(GridWndTest, ActivationMeasuresAStandardFontChangedMeanwhile)
{
    CGXGridWnd grid;
    MakeGrid(grid, 50, 5);
    grid.StoreRowHeight(3, 30);
    const int nHeight = grid.GetRowHeight(3);
    // Another view of the same styles makes the standard font twice as large behind this
    // grid's back; the next activation reads it, and sizes stored relative to it follow.
    CGXStylesMap* pMap = grid.GetParam()->GetStylesMap();
    CGXStyle* pStandard = pMap->LookupStyle(pMap->m_wStyleStandard);
    ASSERT_NE(pStandard, nullptr);
    CGXFont font = pStandard->GetFont();
    font.SetSize(font.GetSize() * 2);
    pStandard->SetFont(font);
    EXPECT_EQ(grid.GetRowHeight(3), nHeight);
    ASSERT_TRUE(grid.ActivateGrid(TRUE));
    EXPECT_GT(grid.GetRowHeight(3), nHeight * 3 / 2);
}

TEST_F(GridWndTest, PageKeysTurnAWholePageAndTheCurrentCellKeepsItsPlace)
{
    CGXGridWnd grid;
    MakeGrid(grid, 200, 10);
    ASSERT_TRUE(grid.SetCurrentCell(3, 2));
    CRect rect;
    grid.GetGridRect(&rect);
    const ROWCOL nPage = grid.CalcLastVisibleRow(rect) - grid.GetTopRow();
    ASSERT_GT(nPage, 5u);
    const auto current = [&grid] {
        ROWCOL nRow = 0, nCol = 0;
        grid.GetCurrentCell(nRow, nCol);
        return nRow;
    };
    ASSERT_TRUE(grid.HandleKeyDown(VK_NEXT, 1, 0));
    EXPECT_EQ(grid.GetTopRow(), 1 + nPage);
    EXPECT_EQ(current(), 3 + nPage);
    ASSERT_TRUE(grid.HandleKeyDown(VK_NEXT, 2, 0)); // the repeat count turns as many pages
    EXPECT_EQ(grid.GetTopRow(), 1 + 3 * nPage);
    EXPECT_EQ(current(), 3 + 3 * nPage);
    // Up, the rows above are counted until they fill the page, the last one perhaps in part.
    ASSERT_TRUE(grid.HandleKeyDown(VK_PRIOR, 1, 0));
    EXPECT_GE(grid.GetTopRow(), 2 * nPage);
    EXPECT_LE(grid.GetTopRow(), 1 + 2 * nPage);
    EXPECT_EQ(current(), grid.GetTopRow() + 2);
}

TEST_F(GridWndTest, AHeldArrowKeyKeepsMovingFasterUntilItsReleaseIsSeen)
{
    CGXGridWnd grid;
    MakeGrid(grid, 100000, 10);
    auto* pPlugin = dynamic_cast<CGXAutoScrollPlugin*>(grid.m_pAutoScrollPlugin);
    ASSERT_NE(pPlugin, nullptr);
    backend->FocusIn(m_hTop);
    grid.SetFocus();
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    backend->AdvanceClock(1000);
    const auto row = [&grid] {
        ROWCOL nRow = 0, nCol = 0;
        return grid.GetCurrentCell(nRow, nCol) ? nRow : 0;
    };

    backend->KeyDown(VK_DOWN);
    backend->ProcessMessages();
    EXPECT_EQ(row(), 2u); // the press moves once at once
    // Like a keyboard's own delay, repeats begin only after a while...
    backend->Advance(300);
    EXPECT_EQ(row(), 2u);
    // ...and then come faster and by more rows, the current cell staying in view.
    for (int i = 0; i < 150; ++i)
        backend->Advance(20);
    EXPECT_GT(row(), 60u);
    EXPECT_GT(pPlugin->GetSpeed(), 10);
    CRect rect;
    grid.GetGridRect(&rect);
    EXPECT_LE(grid.GetTopRow(), row());
    EXPECT_GE(grid.CalcLastVisibleRow(rect), row());
    // The display's own repeats of the held key do not stop it; the release does.
    backend->KeyDown(VK_DOWN);
    backend->ProcessMessages();
    backend->Advance(200);
    const ROWCOL nHeld = row();
    backend->KeyUp(VK_DOWN);
    backend->ProcessMessages();
    const ROWCOL nReleased = row();
    EXPECT_GE(nReleased, nHeld);
    backend->Advance(500);
    EXPECT_EQ(row(), nReleased);

    // A release that reaches one of the grid's own child windows instead (a cell's edit
    // window holds the keyboard then) ends the repeats as well.
    CWnd child;
    ASSERT_TRUE(child.Create(AfxRegisterWndClass(0), "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &grid, 7));
    backend->KeyDown(VK_DOWN);
    backend->ProcessMessages();
    const ROWCOL nStart = row();
    EXPECT_EQ(nStart, nReleased + 1);
    child.SetFocus(); // the grid keeps scrolling while a window of its own has the keyboard
    for (int i = 0; i < 60; ++i)
        backend->Advance(20);
    EXPECT_GT(row(), nStart);
    backend->KeyUp(VK_DOWN);
    backend->ProcessMessages();
    backend->Advance(100);
    const ROWCOL nEnded = row();
    backend->Advance(500);
    EXPECT_EQ(row(), nEnded);
    child.DestroyWindow();
}

TEST_F(GridWndTest, RedrawsInvalidateOnlyWhatTheyNameAndZoomScalesTheFont)
{
    CGXGridWnd grid;
    MakeGrid(grid, 300, 20);
    grid.UpdateWindow();
    grid.RedrawRange(CGXRange(2, 2, 2, 2), 0);
    EXPECT_TRUE(UpdateRectOf(grid).IsRectEmpty()); // flags 0 draw nothing
    grid.RedrawRange(CGXRange(2, 2, 2, 2), GX_INVALIDATE);
    const CRect cell = grid.CalcCellRect(2, 2);
    EXPECT_EQ(UpdateRectOf(grid), CRect(cell.left, cell.top, cell.right + 1, cell.bottom + 1));
    grid.UpdateWindow();

    // Rows removed below the top row: the top row comes back to the last row.
    grid.SetTopRow(250, 0);
    grid.GetParam()->EnableUndo(FALSE);
    grid.SetRowCount(100, 0);
    grid.Redraw(GX_INVALIDATE, FALSE);
    EXPECT_LE(grid.GetTopRow(), 100u);

    // A zoom doubles the standard font; while printing the zoom reads 100.
    const int nHeight = grid.GetFontHeight();
    grid.SetZoom(200, 0);
    EXPECT_EQ(grid.GetZoom(), 200);
    EXPECT_NEAR(grid.GetFontHeight(), 2 * nHeight, 2);
    EXPECT_EQ(grid.GetParam()->GetProperties()->m_nZoom, 200);
    grid.SetPrinting(TRUE);
    EXPECT_EQ(grid.GetZoom(), 100);
    grid.SetPrinting(FALSE);
}

TEST_F(GridWndTest, AScrolledRowNeverNeedsMoreThanTheSpaceBelowTheFrozenRows)
{
    CGXGridWnd grid;
    MakeGrid(grid, 20, 5);
    CRect rect;
    grid.GetGridRect(&rect);
    ASSERT_TRUE(grid.SetRowHeight(5, 5, 2000, nullptr, 0, 1));
    EXPECT_EQ(grid.GetRowHeight(5), rect.Height() - 20); // below the header row
    // Frozen rows taller than the window leave no space: the cap is 0, never negative.
    ASSERT_TRUE(grid.SetFrozenRows(2, 0, 0, 1));
    ASSERT_TRUE(grid.SetRowHeight(1, 2, 400, nullptr, 0, 1));
    EXPECT_EQ(grid.GetRowHeight(5), 0);
    EXPECT_GE(grid.GetRowHeight(3), 0);
    EXPECT_EQ(grid.GetRowHeight(1), 400); // frozen rows are not capped
}

TEST_F(GridWndTest, CursorsFollowTheHitAndLoadEachResourceOnce)
{
    CGXGridWnd grid;
    MakeGrid(grid, 20, 5);
    CGXGridUserResizeCellsImp::Install(&grid); // borders are dragged through it
    const CRect header = grid.CalcCellRect(0, 2);
    grid.UpdateCursor(CPoint(header.right, header.CenterPoint().y)); // a column boundary
    EXPECT_EQ(CGXGridCore::GetLoadedCursorId(), 20190u);
    const HCURSOR hResize = ::GetCursor();
    EXPECT_NE(hResize, nullptr);
    grid.UpdateCursor(CPoint(header.right + 1, header.CenterPoint().y));
    EXPECT_EQ(::GetCursor(), hResize); // the same id is not loaded again
    const CRect rowHeader = grid.CalcCellRect(3, 0);
    grid.UpdateCursor(rowHeader.CenterPoint());
    EXPECT_EQ(CGXGridCore::GetLoadedCursorId(), 20196u); // selects the row
    const CRect cell = grid.CalcCellRect(3, 3);
    grid.UpdateCursor(cell.CenterPoint());
    EXPECT_NE(::GetCursor(), hResize); // the default cursor inside cells
}

TEST_F(GridWndTest, WithOptimizedUpdatesASizeChangeRepaintsOnlyTheChangedRows)
{
    CGXGridWnd grid;
    MakeGrid(grid, 200, 10);
    CGXGridOptimizedUpdateImp::Install(&grid);
    grid.UpdateWindow();
    const CRect row3 = grid.CalcCellRect(3, 0);
    CRect rect;
    grid.GetGridRect(&rect);
    ASSERT_TRUE(grid.SetRowHeight(3, 3, 40, nullptr, GX_SMART, 1));
    // What lay below row 3 moved down with the window's pixels; only the row is drawn again.
    EXPECT_EQ(UpdateRectOf(grid), CRect(rect.left, row3.top, rect.right, row3.top + 41)); // within the client area
    grid.UpdateWindow();
    ASSERT_TRUE(grid.SetRowHeight(3, 3, 20, nullptr, GX_INVALIDATE, 1));
    EXPECT_EQ(UpdateRectOf(grid).top, row3.top);
    EXPECT_EQ(UpdateRectOf(grid).bottom, rect.bottom); // with flag 1 everything below it
    grid.UpdateWindow();

    // Rows inserted above the top row keep the same rows in view: no cell is drawn again.
    grid.SetTopRow(50, 0);
    grid.UpdateWindow();
    auto* pImp = dynamic_cast<CGXAbstractGridOptimizedUpdateImp*>(grid.m_pOptimizedUpdateImp);
    ASSERT_NE(pImp, nullptr);
    grid.GetParam()->EnableUndo(FALSE);
    grid.SetRowCount(205, 0);
    ROWCOL nRow = 10, nCount = 5;
    UINT nFlags = GX_SMART;
    pImp->UpdateInsertRows(&grid, nRow, nCount, nFlags);
    EXPECT_EQ(grid.GetTopRow(), 55u);
    // Only the row headers' numbers change.
    EXPECT_LE(UpdateRectOf(grid).right, grid.CalcCellRect(1, 1).left) << "cells were drawn again";

    // All rows removed: the top row is 1 again.
    grid.SetRowCount(0, 0);
    ROWCOL nFrom = 1, nTo = 205;
    nFlags = GX_SMART;
    pImp->UpdateRemoveRows(&grid, nFrom, nTo, nullptr, nFlags);
    EXPECT_EQ(grid.GetTopRow(), 1u);
}

TEST_F(GridWndTest, InsertingAndRemovingRowsAndColumnsRepaintsOnlyWhatChanged)
{
    CGXGridWnd grid;
    MakeGrid(grid, 200, 10);
    CGXGridOptimizedUpdateImp::Install(&grid);
    grid.GetParam()->EnableUndo(FALSE);
    // Numbered headers would repaint from the change on, as their numbers move: off for now.
    grid.GetParam()->m_bNumberedRows = FALSE;
    grid.GetParam()->m_bLetterColumns = FALSE;
    grid.Invalidate(TRUE);
    grid.UpdateWindow();
    CRect client;
    grid.GetClientRect(&client);

    // Two rows in view: the rows below move down with the pixels, only the new ones repaint.
    const int y = grid.CalcCellRect(5, 1).top;
    ASSERT_TRUE(grid.InsertRows(5, 2, nullptr, nullptr, nullptr, 0, GX_SMART));
    EXPECT_EQ(grid.GetRowCount(), 202u);
    CRect dirty = UpdateRectOf(grid);
    EXPECT_EQ(dirty.top, y);
    EXPECT_EQ(dirty.bottom, y + 2 * 20 + 1);
    grid.UpdateWindow();
    // A column likewise.
    const int x = grid.CalcCellRect(1, 3).left;
    ASSERT_TRUE(grid.InsertCols(3, 1, nullptr, nullptr, nullptr, 0, GX_SMART));
    dirty = UpdateRectOf(grid);
    EXPECT_EQ(dirty.left, x);
    EXPECT_EQ(dirty.right, x + 50 + 1);
    grid.UpdateWindow();

    // Rows above the top row: the same rows stay in view under new numbers, nothing repaints.
    grid.SetTopRow(50, 0);
    grid.UpdateWindow();
    ASSERT_TRUE(grid.InsertRows(10, 5, nullptr, nullptr, nullptr, 0, GX_SMART));
    EXPECT_EQ(grid.GetTopRow(), 55u);
    EXPECT_TRUE(UpdateRectOf(grid).IsRectEmpty());
    ASSERT_TRUE(grid.RemoveRows(10, 14, GX_SMART));
    EXPECT_EQ(grid.GetTopRow(), 50u);
    EXPECT_TRUE(UpdateRectOf(grid).IsRectEmpty());
    // With numbered rows only the header column repaints.
    grid.GetParam()->m_bNumberedRows = TRUE;
    ASSERT_TRUE(grid.InsertRows(10, 5, nullptr, nullptr, nullptr, 0, GX_SMART));
    ASSERT_TRUE(grid.RemoveRows(10, 14, GX_SMART));
    EXPECT_EQ(grid.GetTopRow(), 50u);
    EXPECT_LE(UpdateRectOf(grid).right, grid.CalcCellRect(50, 1).left + 1);
    grid.GetParam()->m_bNumberedRows = FALSE;
    grid.UpdateWindow();

    // Rows in view going away: what stayed moves up by their height on screen (one of them
    // taller than the rest) and the window is brought up to date at once; what it shows is
    // what a full repaint shows.
    ASSERT_TRUE(grid.SetRowHeight(52, 52, 33, nullptr, GX_UPDATENOW, 0));
    grid.UpdateWindow();
    ASSERT_TRUE(grid.RemoveRows(52, 53, GX_SMART));
    EXPECT_EQ(grid.GetTopRow(), 50u);
    EXPECT_TRUE(UpdateRectOf(grid).IsRectEmpty());
    const auto column = [&grid] {
        std::vector<COLORREF> pixels;
        HDC hDC = ::GetDC(grid.GetSafeHwnd());
        for (int y = 0; y < 280; ++y)
            pixels.push_back(::GetPixel(hDC, 75, y));
        ::ReleaseDC(grid.GetSafeHwnd(), hDC);
        return pixels;
    };
    const std::vector<COLORREF> optimized = column();
    grid.Invalidate(TRUE);
    grid.UpdateWindow();
    EXPECT_EQ(optimized, column());
    // A plain invalidation asked for is the whole grid.
    ASSERT_TRUE(grid.RemoveRows(52, 52, GX_INVALIDATE));
    EXPECT_EQ(UpdateRectOf(grid), client);
    grid.UpdateWindow();

    // Everything from the top row on removed: the grid shows its last rows and repaints.
    const ROWCOL nRows = grid.GetRowCount();
    ASSERT_TRUE(grid.RemoveRows(40, nRows, GX_SMART));
    EXPECT_EQ(grid.GetRowCount(), 39u);
    EXPECT_GE(grid.GetTopRow(), 1u);
    EXPECT_LE(grid.GetTopRow(), 39u);
    EXPECT_FALSE(UpdateRectOf(grid).IsRectEmpty());
}

TEST_F(GridWndTest, TheFirstClickIntoAViewWithTheFocusElsewhereOnlyActivatesIt)
{
    m_hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 500, 400);
    HWND hOther = Make(WS_CHILD | WS_VISIBLE, 420, 10, 60, 20, m_hTop);
    auto* view = new CGXGridView; // goes with its window
    ASSERT_TRUE(view->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), CWnd::FromHandle(m_hTop), 1));
    view->OnInitialUpdate();
    ::SetFocus(hOther);
    const LPARAM lParam = MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN);
    EXPECT_EQ(::SendMessage(view->GetSafeHwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_hTop), lParam), MA_ACTIVATEANDEAT);
    EXPECT_EQ(::GetFocus(), view->GetSafeHwnd());
    // With the focus in the view, clicks go through.
    EXPECT_NE(::SendMessage(view->GetSafeHwnd(), WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(m_hTop), lParam), MA_ACTIVATEANDEAT);
    view->DestroyWindow();
}

TEST_F(GridWndTest, EnlargingTheWindowRepaintsOnlyWhatItExposesAndThePartlyShownEdge)
{
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 640, 480)));
    CGXGridWnd grid;
    ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 320, 205), frame, 1));
    grid.Initialize();
    grid.GetParam()->EnableUndo(FALSE);
    grid.SetRowCount(100, 0);
    grid.SetColCount(20, 0);
    grid.StoreDefaultRowHeight(20);
    grid.StoreDefaultColWidth(50);
    grid.MoveWindow(0, 0, 325, 205); // a size seen while the window shows
    grid.Redraw(GX_INVALIDATE, FALSE);
    grid.UpdateWindow();
    grid.MoveWindow(0, 0, 340, 205); // wider by 15 pixels
    // The partly shown column at x = 300 and what came into view; nothing left of it.
    const CRect update = UpdateRectOf(grid);
    EXPECT_EQ(update.left, 300);
    EXPECT_EQ(update.right, 340);
    grid.UpdateWindow();
    frame->DestroyWindow();
}

TEST_F(GridWndTest, ACellsToolTipTextShowsWhileThePointerRestsOnItOnlyWithToolTipsOn)
{
    CGXGridWnd grid;
    MakeGrid(grid, 20, 5);
    grid.GetParam()->GetStylesMap()->AddUserAttribute(GX_IDS_UA_TOOLTIPTEXT);
    const auto tip = [&grid](const CGXRange& range, const char* text) {
        CGXStyle style;
        style.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, CString(text));
        ASSERT_TRUE(grid.ApplyStyleToRange(range, &style, gxOverride, 0, nullptr, GX_INVALIDATE, gxDo));
    };
    tip(CGXRange(0, 2, 0, 2), "The page's description");
    tip(CGXRange(0, 3, 0, 3), "");
    const CRect header = grid.CalcCellRect(0, 2);
    const CPoint inHeader = header.CenterPoint();

    // Off by default: the cell is no tool.
    TOOLINFO info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(grid.HitTestToolTip(inHeader, &info), -1);

    grid.EnableGridToolTips(TRUE);
    const INT_PTR nHit = grid.HitTestToolTip(inHeader, &info);
    ASSERT_NE(nHit, -1);
    EXPECT_EQ(info.hwnd, grid.GetSafeHwnd());
    EXPECT_EQ(CRect(info.rect), header);
    EXPECT_STREQ(info.lpszText, "The page's description");
    // Another cell is another tool; an empty text and a cell without one are none.
    EXPECT_NE(grid.HitTestToolTip(grid.CalcCellRect(1, 2).CenterPoint(), nullptr), nHit);
    EXPECT_EQ(grid.HitTestToolTip(grid.CalcCellRect(0, 3).CenterPoint(), nullptr), -1);
    EXPECT_EQ(grid.HitTestToolTip(grid.CalcCellRect(0, 4).CenterPoint(), nullptr), -1);
    // Below the last row is no cell, whatever the column's header carries.
    tip(CGXRange().SetCols(2, 2), "column");
    grid.SetRowCount(2, GX_INVALIDATE);
    EXPECT_EQ(grid.HitTestToolTip(CPoint(header.CenterPoint().x, 290), nullptr), -1);

    // Through the window's own pre-translation, as the message loop hands it the pointer's moves.
    CPoint onScreen = inHeader;
    grid.ClientToScreen(&onScreen);
    backend->MouseMove(onScreen);
    backend->ProcessMessages();
    MSG msg{grid.GetSafeHwnd(), WM_MOUSEMOVE, 0, MAKELPARAM(inHeader.x, inHeader.y), 0, {}};
    grid.PreTranslateMessage(&msg);
    const HWND hTip = AfxGetThreadState()->m_hToolTip;
    ASSERT_NE(hTip, nullptr);
    backend->Advance(GetDoubleClickTime() + 10);
    ASSERT_TRUE(::IsWindowVisible(hTip));
    char text[80] = {};
    TOOLINFO current{};
    current.cbSize = sizeof current;
    ASSERT_TRUE(::SendMessage(hTip, TTM_GETCURRENTTOOL, 0, reinterpret_cast<LPARAM>(&current)));
    current.lpszText = text;
    ::SendMessage(hTip, TTM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(&current));
    EXPECT_STREQ(text, "The page's description");

    grid.EnableGridToolTips(FALSE);
    EXPECT_EQ(grid.HitTestToolTip(inHeader, nullptr), -1);
}
