// The current cell, keys, clicks and the structure operations' undo, on the headless backend.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridUpdateHintImp.h"
#include "grid/core/CGXStatic.h"
#include "grid/data/CGXCommandFactory.h"
#include "grid/res/GridRes.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/VirtualKeys.h"
#include "platform/win/WinUser.h"
#include "platform/win/HeadlessFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

// A cell control that edits a text of its own while active, and refuses what the test says.
class TextControl : public CGXStatic {
public:
    using CGXStatic::CGXStatic;
    BOOL GetCurrentText(CString& sText) override
    {
        if (!m_bModify)
            return CGXStatic::GetCurrentText(sText);
        sText = m_sEdit;
        return TRUE;
    }
    void SetCurrentText(const CString& sText) override { m_sEdit = sText; }
    BOOL OnValidate() override { return !m_bRefuse; }
    BOOL KeyPressed(UINT nMessage, UINT nChar, UINT, UINT) override
    {
        // Typing starts an edit; the grid's own keys pass on.
        if (nMessage != WM_CHAR || nChar < 0x20)
            return FALSE;
        if (!IsActive())
            SetActive(TRUE);
        if (!m_bModify)
            m_sEdit.Empty();
        m_sEdit += static_cast<char>(nChar);
        SetModify(TRUE);
        return TRUE;
    }
    BOOL LButtonDown(UINT, CPoint, UINT) override
    {
        ++m_nDowns;
        return TRUE;
    }
    BOOL LButtonUp(UINT, CPoint, UINT) override
    {
        ++m_nUps;
        return TRUE;
    }
    void OnCancelMode() override { ++m_nCancels; }
    CString m_sEdit;
    BOOL m_bRefuse = FALSE;
    int m_nDowns = 0;
    int m_nUps = 0;
    int m_nCancels = 0;
};

// A grid in a window whose cells are 50 by 20 pixels with one header row and column, so that
// clicks land on known cells; the window's geometry is not this test's subject.
class ClickGrid : public CGXGridCore {
public:
    explicit ClickGrid(CWnd* pWnd) : CGXGridCore(pWnd) {}
    int HitTest(CPoint pt, ROWCOL* pRow, ROWCOL* pCol, CRect*) override
    {
        const ROWCOL nRow = static_cast<ROWCOL>(std::max<LONG>(pt.y, 0) / 20);
        const ROWCOL nCol = static_cast<ROWCOL>(std::max<LONG>(pt.x, 0) / 50);
        if (pRow != nullptr)
            *pRow = nRow;
        if (pCol != nullptr)
            *pCol = nCol;
        return nRow == 0 || nCol == 0 ? 4 : 3;
    }
    BOOL OnLButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt,
                                UINT nHitState) override
    {
        m_reports.push_back(nHitState);
        return CGXGridCore::OnLButtonClickedRowCol(nRow, nCol, nStartRow, nStartCol, nFlags, pt, nHitState);
    }
    std::vector<UINT> m_reports;
};

CPoint CellPoint(ROWCOL nRow, ROWCOL nCol)
{
    return CPoint(static_cast<LONG>(nCol) * 50 + 10, static_cast<LONG>(nRow) * 20 + 5);
}

class GridInteractionTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        RegisterStandardControls();
        GXInitControlFactory();
        ASSERT_TRUE(m_wnd.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "Grid", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 400, 300,
                                   nullptr, nullptr));
        m_pGrid = std::make_unique<ClickGrid>(&m_wnd);
        m_pGrid->Initialize();
        ASSERT_TRUE(m_pGrid->SetRowCount(8));
        ASSERT_TRUE(m_pGrid->SetColCount(5));
        m_pControl = new TextControl(m_pGrid.get());
        // The control of every data cell: the standard style names it.
        m_pGrid->RegisterControl(m_pGrid->GetStandardStyle()->GetControl(), m_pControl, TRUE);
    }
    void TearDown() override
    {
        m_pGrid.reset();
        m_wnd.DestroyWindow();
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    std::pair<ROWCOL, ROWCOL> Current()
    {
        ROWCOL nRow = 0, nCol = 0;
        m_pGrid->GetCurrentCell(nRow, nCol);
        return {nRow, nCol};
    }
    CString Stored(ROWCOL nRow, ROWCOL nCol) { return m_pGrid->GetStoredCellValue(nRow, nCol); }

    CWnd m_wnd;
    std::unique_ptr<ClickGrid> m_pGrid;
    TextControl* m_pControl = nullptr;
};

using InteractionCell = std::pair<ROWCOL, ROWCOL>;

} // namespace

TEST_F(GridInteractionTest, KeysMoveTheCurrentCellAndPassOverWhatCannotBeCurrent)
{
    ClickGrid& grid = *m_pGrid;
    ASSERT_TRUE(grid.SetCurrentCell(2, 2));
    EXPECT_TRUE(grid.HandleKeyDown(VK_DOWN, 1, 0));
    EXPECT_EQ(Current(), InteractionCell(3, 2));
    EXPECT_TRUE(grid.HandleKeyDown(VK_RIGHT, 2, 0)); // a repeat count moves as far
    EXPECT_EQ(Current(), InteractionCell(3, 4));
    grid.HandleKeyDown(VK_TAB, 1, 0);
    EXPECT_EQ(Current(), InteractionCell(3, 5));
    grid.HandleKeyDown(VK_RIGHT, 1, 0); // the last column stays
    EXPECT_EQ(Current(), InteractionCell(3, 5));

    // A disabled cell and a cell whose row has no height are passed over.
    CGXStyle disabled;
    disabled.SetEnabled(FALSE);
    ASSERT_TRUE(grid.StoreCellStyle(4, 5, &disabled, gxOverride, 0));
    grid.StoreRowHeight(5, 0);
    grid.HandleKeyDown(VK_DOWN, 1, 0);
    EXPECT_EQ(Current(), InteractionCell(6, 5));
    grid.HandleKeyDown(VK_UP, 1, 0);
    EXPECT_EQ(Current(), InteractionCell(3, 5));

    // Down on the last row leaves the cell where it is; Enter moves as the grid is told.
    ASSERT_TRUE(grid.SetCurrentCell(8, 1));
    grid.HandleKeyDown(VK_DOWN, 1, 0);
    EXPECT_EQ(Current(), InteractionCell(8, 1));
    grid.GetParam()->m_wEnterKeyAction = GX_UP;
    grid.HandleKeyDown(VK_RETURN, 1, 0);
    EXPECT_EQ(Current(), InteractionCell(7, 1));
    grid.GetParam()->m_wEnterKeyAction = 0;
    grid.HandleKeyDown(VK_RETURN, 1, 0);
    EXPECT_EQ(Current(), InteractionCell(7, 1));

    // The page keys and the jumps to the ends.
    EXPECT_TRUE(grid.MoveCurrentCell(GX_TOPLEFT, 1, TRUE));
    EXPECT_EQ(Current(), InteractionCell(1, 1));
    EXPECT_TRUE(grid.MoveCurrentCell(GX_BOTTOMRIGHT, 1, TRUE));
    EXPECT_EQ(Current(), InteractionCell(8, 5));
    EXPECT_TRUE(grid.MoveCurrentCell(GX_TOP, 1, TRUE));
    EXPECT_EQ(Current(), InteractionCell(1, 5));
    grid.HandleKeyDown(VK_NEXT, 1, 0);
    EXPECT_GT(Current().first, 1u);

    // A key the grid does not know is not taken.
    EXPECT_FALSE(grid.HandleKeyDown('Q', 1, 0));
}

TEST_F(GridInteractionTest, TypingEditsTheCellAndMovingOnStoresItUnlessValidationRefuses)
{
    ClickGrid& grid = *m_pGrid;
    ASSERT_TRUE(grid.SetCurrentCell(2, 2));
    for (char c : std::string("abc"))
        EXPECT_TRUE(grid.RouteKeyMessage(nullptr, WM_CHAR, static_cast<UINT>(c), 1, 0));
    EXPECT_TRUE(m_pControl->IsActive());
    EXPECT_STREQ(Stored(2, 2), ""); // nothing stored while editing
    grid.RouteKeyMessage(nullptr, WM_KEYDOWN, VK_DOWN, 1, 0);
    EXPECT_EQ(Current(), InteractionCell(3, 2));
    EXPECT_STREQ(Stored(2, 2), "abc");

    // A refused edit keeps the cell current with its text; the keys typed meanwhile go.
    grid.RouteKeyMessage(nullptr, WM_CHAR, 'x', 1, 0);
    m_pControl->m_bRefuse = TRUE;
    EXPECT_FALSE(grid.SetCurrentCell(5, 5));
    EXPECT_EQ(Current(), InteractionCell(3, 2));
    EXPECT_TRUE(m_pControl->GetModify());
    CString sText;
    grid.GetCurrentCellText(sText);
    EXPECT_STREQ(sText, "x");
    EXPECT_STREQ(Stored(3, 2), "");

    // ESC drops the edit; F2 on a read-only cell does not start one.
    grid.HandleKeyDown(VK_ESCAPE, 1, 0);
    EXPECT_FALSE(m_pControl->GetModify());
    m_pControl->m_bRefuse = FALSE;
    EXPECT_TRUE(grid.SetCurrentCell(5, 5));
    EXPECT_STREQ(Stored(3, 2), "");
    CGXStyle locked;
    locked.SetReadOnly(TRUE);
    ASSERT_TRUE(grid.StoreCellStyle(5, 5, &locked, gxOverride, 0));
    grid.HandleKeyDown(VK_F2, 1, 0);
    EXPECT_FALSE(m_pControl->IsActive());

    // An edit undoes like any change: Ctrl+Z and Alt+Backspace undo, Ctrl+R redoes.
    EXPECT_STREQ(Stored(2, 2), "abc");
    EXPECT_TRUE(grid.HandleChar(0x1A, 1, 0));
    EXPECT_STREQ(Stored(2, 2), "");
    EXPECT_TRUE(grid.HandleChar(0x12, 1, 0));
    EXPECT_STREQ(Stored(2, 2), "abc");
    EXPECT_TRUE(grid.HandleSysKeyDown(VK_BACK, 1, 0));
    EXPECT_STREQ(Stored(2, 2), "");
}

TEST_F(GridInteractionTest, ClicksMoveTheCurrentCellAndReportTheDrag)
{
    ClickGrid& grid = *m_pGrid;
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    // Press and release on the same cell.
    EXPECT_TRUE(grid.HandleLButtonDown(MK_LBUTTON, CellPoint(3, 2)));
    EXPECT_EQ(Current(), InteractionCell(3, 2));
    EXPECT_EQ(GetCapture(), m_wnd.GetSafeHwnd());
    EXPECT_EQ(m_pControl->m_nDowns, 1);
    EXPECT_TRUE(grid.HandleLButtonUp(0, CellPoint(3, 2)));
    EXPECT_EQ(GetCapture(), nullptr);
    ASSERT_EQ(grid.m_reports.size(), 2u);
    EXPECT_EQ(grid.m_reports[0], GX_MOUSE_DRAG | GX_HITSTART | GX_HITINSTART);
    EXPECT_EQ(grid.m_reports[1], GX_MOUSE_DRAG | GX_HITEND | GX_HITINSTART);
    EXPECT_EQ(m_pControl->m_nUps, 1);

    // Pressing the current cell with Ctrl marks every report; leaving the start cell and
    // releasing elsewhere reports the end alone.
    grid.m_reports.clear();
    grid.HandleLButtonDown(MK_LBUTTON | MK_CONTROL, CellPoint(3, 2));
    grid.HandleMouseMove(MK_LBUTTON, CellPoint(4, 2));
    grid.HandleMouseMove(MK_LBUTTON, CellPoint(5, 3));
    grid.HandleLButtonUp(0, CellPoint(5, 3));
    ASSERT_EQ(grid.m_reports.size(), 4u);
    const UINT nMode = GX_MOUSE_DRAG | GX_MOUSE_CTRL | GX_MOUSE_CURRENT;
    EXPECT_EQ(grid.m_reports[1], nMode | GX_HITMOVE | GX_HITLEFTSTART);
    EXPECT_EQ(grid.m_reports[2], nMode | GX_HITMOVE);
    EXPECT_EQ(grid.m_reports[3], nMode | GX_HITEND);

    // A drag above the first row reports the first data row, never the header.
    grid.m_reports.clear();
    grid.HandleLButtonDown(MK_LBUTTON, CellPoint(2, 2));
    grid.HandleMouseMove(MK_LBUTTON, CPoint(110, -30));
    EXPECT_EQ(grid.GetMouseMode() & GX_MOUSE_DRAG, GX_MOUSE_DRAG);
    grid.HandleLButtonUp(0, CellPoint(2, 2));

    // A second button cancels the drag; a click on a disabled cell leaves the current cell.
    grid.HandleLButtonDown(MK_LBUTTON, CellPoint(2, 2));
    EXPECT_FALSE(grid.HandleRButtonDown(MK_LBUTTON | MK_RBUTTON, CellPoint(4, 4)));
    EXPECT_EQ(grid.GetMouseMode(), 0u);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(m_pControl->m_nCancels, 1) << "the current cell's control hears of it";
    // So does the window's cancel mode, which also gives back a pending redraw and the cursor.
    grid.HandleLButtonDown(MK_LBUTTON, CellPoint(2, 2));
    grid.HandleMouseMove(MK_LBUTTON, CellPoint(3, 3));
    grid.GetParam()->m_bRedrawPending = TRUE;
    grid.SetCursorOverride(20194);
    EXPECT_TRUE(grid.HandleCancelMode());
    EXPECT_EQ(grid.GetMouseMode(), 0u);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_FALSE(grid.GetParam()->m_bRedrawPending);
    EXPECT_EQ(m_pControl->m_nCancels, 2);
    grid.HandleLButtonUp(0, CellPoint(3, 3));
    EXPECT_EQ(Current(), InteractionCell(2, 2));
    CGXStyle disabled;
    disabled.SetEnabled(FALSE);
    ASSERT_TRUE(grid.StoreCellStyle(6, 3, &disabled, gxOverride, 0));
    grid.HandleLButtonDown(MK_LBUTTON, CellPoint(6, 3));
    EXPECT_EQ(Current(), InteractionCell(2, 2));
    grid.HandleLButtonUp(0, CellPoint(6, 3));
    // With the mouse captured, keys do nothing.
    grid.HandleLButtonDown(MK_LBUTTON, CellPoint(2, 3));
    EXPECT_TRUE(grid.RouteKeyMessage(nullptr, WM_KEYDOWN, VK_DOWN, 1, 0));
    EXPECT_EQ(Current(), InteractionCell(2, 3));
    grid.HandleLButtonUp(0, CellPoint(2, 3));
}

TEST_F(GridInteractionTest, ControlsAreFoundByIdWithADefaultAndRegisteringIsSafe)
{
    // Without a factory the grid still has a static default for any id.
    TerminateGridLibrary();
    CGXGridCore bare;
    bare.Initialize();
    CGXControl* pDefault = bare.GetControlById(52512);
    ASSERT_NE(pDefault, nullptr);
    EXPECT_TRUE(pDefault->IsKindOf(RUNTIME_CLASS(CGXStatic)));
    EXPECT_EQ(bare.GetControlById(0), pDefault);

    // Registering the same object again keeps it alive; replacing the current cell's control
    // leaves the grid pointing at the new one, not at freed memory.
    ClickGrid& grid = *m_pGrid;
    ASSERT_TRUE(grid.SetCurrentCell(2, 2));
    EXPECT_EQ(grid.GetCurrentCellControl(), m_pControl);
    grid.RegisterControl(grid.GetStandardStyle()->GetControl(), m_pControl);
    EXPECT_EQ(grid.GetControlById(grid.GetStandardStyle()->GetControl()), m_pControl);
    auto* pNew = new TextControl(&grid);
    grid.RegisterControl(grid.GetStandardStyle()->GetControl(), pNew, TRUE);
    m_pControl = pNew;
    EXPECT_EQ(grid.GetCurrentCellControl(), pNew);
    EXPECT_EQ(grid.GetControlById(0), pNew);
}

TEST_F(GridInteractionTest, StructureChangesKeepTheCurrentCellAndTheFrozenRowsSound)
{
    ClickGrid& grid = *m_pGrid;
    // Moving rows 2..3 to 8 would leave the grid of eight rows: refused before any change.
    const CGXStyle a = [] { CGXStyle s; s.SetValue("a"); return s; }();
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 1, 2, 1), &a, gxOverride, 0, nullptr, GX_INVALIDATE, gxDo));
    EXPECT_FALSE(grid.MoveRows(2, 3, 8));
    EXPECT_FALSE(grid.MoveRows(0, 3, 5));
    EXPECT_FALSE(grid.MoveRows(3, 2, 5));
    EXPECT_FALSE(grid.MoveRows(3, 4, 3));
    EXPECT_STREQ(Stored(2, 1), "a");

    // Rows 2..3 to 6 (the insertion point is 8): rows 4..7 move up, row 8 stays.
    ASSERT_TRUE(grid.SetCurrentCell(8, 2));
    ASSERT_TRUE(grid.MoveRows(2, 3, 6));
    EXPECT_EQ(Current(), InteractionCell(8, 2));
    EXPECT_STREQ(Stored(6, 1), "a");
    ASSERT_TRUE(grid.SetCurrentCell(7, 2));
    ASSERT_TRUE(grid.MoveRows(5, 6, 2)); // up: rows 2..4 go down by two
    EXPECT_EQ(Current(), InteractionCell(7, 2));
    ASSERT_TRUE(grid.SetCurrentCell(4, 2));
    ASSERT_TRUE(grid.MoveRows(5, 6, 2));
    EXPECT_EQ(Current(), InteractionCell(6, 2));
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Current(), InteractionCell(4, 2));

    // Removing the active cell's row hides and unbinds its control.
    m_pControl->SetActive(TRUE);
    m_pControl->SetModify(FALSE);
    ASSERT_TRUE(grid.RemoveRows(4, 4));
    EXPECT_FALSE(grid.IsCurrentCell());
    EXPECT_FALSE(m_pControl->IsActive());
    EXPECT_FALSE(m_pControl->IsInit());

    // Header ≤ frozen ≤ count, and the top row below the frozen rows, whatever is removed.
    ASSERT_TRUE(grid.SetFrozenRows(3, 1));
    EXPECT_FALSE(grid.SetFrozenRows(2, 3)); // more header rows than frozen ones
    EXPECT_FALSE(grid.SetFrozenRows(50, 0));
    ASSERT_TRUE(grid.RemoveRows(2, 7));
    EXPECT_LE(grid.GetFrozenRows(), grid.GetRowCount());
    EXPECT_LE(grid.GetHeaderRows(), grid.GetFrozenRows());
    EXPECT_GT(grid.GetTopRow(), grid.GetFrozenRows());
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetRowCount(), 7u);
}

namespace {
// A grid whose removals fail at the store, with the covered-cells feature that opens an undo
// transaction around them.
class CoveredStub : public CGXAbstractGridCoveredCellsImp {
public:
    BOOL SetCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, UINT, int) override { return FALSE; }
    CGXRange* FindCoveredSpan(CGXGridCore*, ROWCOL, ROWCOL, CGXRange&) override { return nullptr; }
    BOOL StoreCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, BOOL) override { return FALSE; }
    void UpdateCoveredCellsRowCol(CGXGridCore*, ROWCOL, ROWCOL, ROWCOL, ROWCOL, UINT, BOOL) override {}
    BOOL AddCoveredCellsToRange(CGXGridCore*, CGXRange&) override { return FALSE; }
};
class FailingGrid : public CGXGridCore {
public:
    FailingGrid()
    {
        auto* pCovered = new CoveredStub;
        m_pCoveredCellsImp = pCovered;
        AddAutoDeleteImp(pCovered);
    }
    BOOL StoreRemoveRows(ROWCOL nFrom, ROWCOL nTo, BOOL bForce) override
    {
        return m_bFail ? FALSE : CGXGridCore::StoreRemoveRows(nFrom, nTo, bForce);
    }
    BOOL m_bFail = TRUE;
};
} // namespace

TEST_F(GridInteractionTest, AFailedRemovalAnswersFalseAndLeavesNoStepOpen)
{
    FailingGrid grid;
    grid.Initialize();
    grid.m_bFail = FALSE;
    ASSERT_TRUE(grid.SetRowCount(5));
    grid.m_bFail = TRUE;
    const INT_PTR nUndo = grid.GetParam()->m_UndoList.GetCount();
    EXPECT_FALSE(grid.RemoveRows(2, 3));
    EXPECT_EQ(grid.GetRowCount(), 5u);
    EXPECT_TRUE(grid.GetParam()->m_TransactionBlocks.IsEmpty());
    EXPECT_EQ(grid.GetParam()->m_UndoList.GetCount(), nUndo);
    // Undo still works: nothing was left half open.
    grid.m_bFail = FALSE;
    EXPECT_TRUE(grid.Undo());
    EXPECT_EQ(grid.GetRowCount(), 0u);
}

TEST_F(GridInteractionTest, PrivateMessagesMoveTheCellAndAskWhetherItMayBeLeft)
{
    ClickGrid& grid = *m_pGrid;
    ASSERT_TRUE(grid.SetCurrentCell(4, 3));
    EXPECT_TRUE(grid.OnGridMessage(0x7A3, 0, 0)); // first row
    EXPECT_EQ(Current(), InteractionCell(1, 3));
    grid.OnGridMessage(0x7A3, 2, 3); // three down
    EXPECT_EQ(Current(), InteractionCell(4, 3));
    grid.OnGridMessage(0x7A3, 3, 0); // last row
    EXPECT_EQ(Current(), InteractionCell(8, 3));
    grid.OnGridMessage(0x7A3, 4, 2); // the second data row, first column
    EXPECT_EQ(Current(), InteractionCell(2, 1));
    grid.OnGridMessage(0x7A3, 4, 500); // past the end: the last row
    EXPECT_EQ(Current(), InteractionCell(8, 1));

    // A cell whose edit does not validate may not be left (a non-zero answer refuses the tab
    // window's switch); keys typed meanwhile are dropped.
    EXPECT_EQ(grid.OnGridMessage(0x792, 0, 0), 0);
    m_wnd.SetFocus();
    grid.RouteKeyMessage(nullptr, WM_CHAR, 'q', 1, 0);
    m_pControl->m_bRefuse = TRUE;
    ::PostMessage(m_wnd.GetSafeHwnd(), WM_CHAR, 'z', 0);
    EXPECT_NE(grid.OnGridMessage(0x792, 0, 0), 0);
    MSG msg;
    EXPECT_FALSE(::PeekMessage(&msg, m_wnd.GetSafeHwnd(), WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    m_pControl->m_bRefuse = FALSE;
    EXPECT_EQ(grid.OnGridMessage(0x792, 0, 0), 0);
}

TEST_F(GridInteractionTest, NegativeNumbersTakeTheColourTheirCellAsksFor)
{
    ClickGrid& grid = *m_pGrid;
    CGXStyle style;
    style.SetUserAttribute(52797, CString("255")).SetTextColor(RGB(0, 0, 0));
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange().SetCols(2, 2), &style, gxOverride, 0, nullptr, 0, gxDo));
    for (auto [nRow, pszValue] : {std::pair<ROWCOL, const char*>{1, "-12.5"}, {2, "0"}, {3, "7"}, {4, "-abc"}}) {
        CGXStyle value;
        value.SetValue(pszValue);
        ASSERT_TRUE(grid.StoreCellStyle(nRow, 2, &value, gxOverride, 0));
    }
    CGXStyle composed;
    grid.ComposeCellStyle(1, 2, composed);
    EXPECT_EQ(composed.GetTextColor(), RGB(255, 0, 0));
    for (ROWCOL nRow : {2u, 3u, 4u}) {
        composed.Free();
        grid.ComposeCellStyle(nRow, 2, composed);
        EXPECT_EQ(composed.GetTextColor(), RGB(0, 0, 0)) << nRow; // zero, positive and text keep theirs
    }
}
