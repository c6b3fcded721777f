#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/features/CGXGridFindReplaceImp.h"
#include "platform/afx/dlg/CFindReplaceDialog.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/CException.h"
#include "platform/win/Gdi.h"
#include "platform/win/HeadlessFixture.h"

#include <cstring>
#include <string>
#include <vector>

namespace {

class FindFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridFindReplaceImp::Install(pGrid);
    }
};

// Grids that count their beeps instead of sounding them (and note what Replace All reports).
class BeepingGrid : public CGXGridCore {
public:
    void Beep(LPCTSTR) override { ++beeps; }
    void ReplacedAll(LPCTSTR, LPCTSTR, DWORD nCells) override { replaced.push_back(nCells); }
    int beeps = 0;
    std::vector<DWORD> replaced;
};
class BeepingGridWnd : public CGXGridWnd {
public:
    void Beep(LPCTSTR) override { ++beeps; }
    int beeps = 0;
};

// Presses ESC once the given number of looks have passed; the clock jumps at every look.
class LateCancelImp : public CGXAbstractLongOperationImp {
public:
    int looksBeforeEsc = 3;
    GXAbortAnswer answer = gxAnswerCancelRollback;

protected:
    DWORD GetTicks() override { return now += 100000; }
    void ShowStatusText(LPCTSTR, BOOL) override {}
    void PumpMessages(CGXLongOperation& op) override
    {
        CGXAbstractLongOperationImp::PumpMessages(op);
        if (--looksBeforeEsc <= 0)
            GXGetLongOperationState().m_bEscPressed = TRUE;
    }
    GXAbortAnswer AskAbort(int) override { return answer; }

private:
    DWORD now = 0;
};

class FindReplaceTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        SetTestFontMode(true);
        RegisterStandardControls();
        InitGridLibrary(new FindFactory);
        CGXFindReplaceState& state = GXGetFindReplaceState();
        state.m_strFind.Empty();
        state.m_strReplace.Empty();
        state.m_bCase = FALSE;
        state.m_bNext = TRUE;
    }
    void TearDown() override
    {
        TerminateGridLibrary();
        HeadlessTest::TearDown();
    }
    // Column values from row 1; column 2 holds a marker that must never change.
    static void Fill(CGXGridCore& grid, const std::vector<std::string>& values)
    {
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(static_cast<ROWCOL>(values.size()), 0);
        grid.SetColCount(2, 0);
        for (size_t i = 0; i < values.size(); ++i) {
            const auto r = static_cast<ROWCOL>(i + 1);
            grid.SetValueRange(CGXRange(r, 1, r, 1), values[i].c_str());
            grid.SetValueRange(CGXRange(r, 2, r, 2), "aXa");
        }
        grid.GetParam()->EnableUndo(TRUE);
    }
    static std::string Value(CGXGridCore& grid, ROWCOL nRow, ROWCOL nCol)
    {
        CGXStyle style;
        grid.ComposeCellStyle(nRow, nCol, style);
        return style.GetValue().GetString();
    }
    static ROWCOL CurrentRow(CGXGridCore& grid)
    {
        ROWCOL nRow = 0, nCol = 0;
        return grid.GetCurrentCell(nRow, nCol) ? nRow : 0;
    }
    static CGXGridFindReplaceImp& Imp(CGXGridCore& grid) { return *static_cast<CGXGridFindReplaceImp*>(grid.m_pFindReplaceImp); }
};

} // namespace

TEST_F(FindReplaceTest, FindsDownAndUpWithAndWithoutCaseNeverWrappingNorInDisabledCells)
{
    BeepingGrid grid;
    Fill(grid, {"x", "xABy", "ab", "yab"});
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    EXPECT_TRUE(grid.FindText("ab", TRUE, FALSE));
    EXPECT_EQ(CurrentRow(grid), 2u);
    EXPECT_TRUE(grid.FindNext(TRUE));
    EXPECT_EQ(CurrentRow(grid), 3u);
    EXPECT_TRUE(grid.FindNext(TRUE));
    EXPECT_EQ(CurrentRow(grid), 4u);
    // The last row: nothing below, and no wrap to the top.
    EXPECT_FALSE(grid.FindNext(TRUE));
    EXPECT_EQ(CurrentRow(grid), 4u);
    EXPECT_EQ(grid.beeps, 1);
    // Up, with match case: "xABy" is skipped.
    EXPECT_TRUE(grid.FindText("ab", FALSE, TRUE));
    EXPECT_EQ(CurrentRow(grid), 3u);
    EXPECT_FALSE(grid.FindNext(TRUE));
    EXPECT_EQ(CurrentRow(grid), 3u);
    EXPECT_EQ(grid.beeps, 2);
    // A disabled cell is never a match.
    CGXStyle disabled;
    disabled.SetEnabled(FALSE);
    grid.ApplyStyleToRange(CGXRange(2, 1, 2, 1), &disabled, gxOverride, 0, nullptr, GX_UPDATENOW, gxDo);
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    EXPECT_TRUE(grid.FindText("AB", TRUE, FALSE));
    EXPECT_EQ(CurrentRow(grid), 3u);
    // UTF-8 letters fold too, and the match is found at the right bytes.
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    grid.SetValueRange(CGXRange(4, 1, 4, 1), "CAF\xC3\x89");
    EXPECT_TRUE(grid.FindText("caf\xC3\xA9", TRUE, FALSE));
    EXPECT_EQ(CurrentRow(grid), 4u);
}

TEST_F(FindReplaceTest, EmptyTextFindsAndReplacesNothing)
{
    BeepingGrid grid;
    Fill(grid, {"a", "b", "c"});
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    EXPECT_FALSE(grid.FindText("", TRUE, FALSE));
    EXPECT_EQ(CurrentRow(grid), 1u);
    EXPECT_FALSE(grid.ReplaceAll("", "zz", FALSE));
    EXPECT_FALSE(Imp(grid).ReplaceSel(&grid, "", TRUE, FALSE, "zz"));
    EXPECT_EQ(grid.beeps, 3);
    EXPECT_EQ(Value(grid, 1, 1), "a");
    EXPECT_FALSE(grid.CanUndo(nullptr));
}

TEST_F(FindReplaceTest, ReplaceAllGoesDownOneColumnAsOneUndoStep)
{
    BeepingGrid grid;
    Fill(grid, {"aXa", "aXa", "\xC3\x89T\xC3\x89", "none", std::string(700, 'A')});
    ASSERT_TRUE(grid.SetCurrentCell(2, 1));
    EXPECT_TRUE(grid.ReplaceAll("a", "bb", FALSE));
    EXPECT_EQ(Value(grid, 1, 1), "aXa"); // above the current row
    EXPECT_EQ(Value(grid, 2, 1), "bbXbb");
    EXPECT_EQ(Value(grid, 2, 2), "aXa"); // another column
    EXPECT_EQ(Value(grid, 4, 1), "none");
    // Longer than any fixed buffer: every match is replaced.
    EXPECT_EQ(Value(grid, 5, 1), std::string(1400, 'b'));
    EXPECT_EQ(grid.beeps, 0);
    ASSERT_TRUE(grid.Undo());
    EXPECT_EQ(Value(grid, 2, 1), "aXa");
    EXPECT_EQ(Value(grid, 5, 1), std::string(700, 'A'));

    // Case folding of two-byte letters keeps the bytes around the match.
    EXPECT_TRUE(grid.ReplaceAll("\xC3\xA9", "e", FALSE));
    EXPECT_EQ(Value(grid, 3, 1), "eTe");
    EXPECT_FALSE(grid.ReplaceAll("\xC3\xA9", "e", TRUE));
    EXPECT_EQ(grid.beeps, 1);
    // Each Replace All that changed cells says how many; one that found nothing only beeps.
    EXPECT_EQ(grid.replaced, (std::vector<DWORD>{2, 1}));

    // Replace takes one match at a time, after the last one, then moves on.
    ASSERT_TRUE(grid.SetCurrentCell(1, 1));
    EXPECT_TRUE(Imp(grid).ReplaceSel(&grid, "a", TRUE, FALSE, "aa"));
    EXPECT_EQ(Value(grid, 1, 1), "aaXa");
    EXPECT_EQ(CurrentRow(grid), 1u);
    EXPECT_TRUE(Imp(grid).ReplaceSel(&grid, "a", TRUE, FALSE, "aa"));
    EXPECT_EQ(Value(grid, 1, 1), "aaXaa");
    EXPECT_EQ(CurrentRow(grid), 2u); // the next cell holding a match
}

// Stopped by Esc, Replace All and its Undo take back every cell they changed, whatever the
// answer, from the dialog or not; the history stays as it was before they started.
TEST_F(FindReplaceTest, AReplaceAllOrItsUndoStoppedByEscTakesBackEveryCell)
{
    struct Case {
        const char* what;
        bool bUndo;             // the Undo of a whole Replace All is stopped, not the Replace All
        bool bFromDialog;       // run as the dialog's Replace All
        GXAbortAnswer answer;
        int nLooksBeforeEsc;
    };
    const Case cases[] = {
        {"from the dialog, Retry", false, true, gxAnswerCancelRollback, 3},
        {"from the dialog, Yes", false, true, gxAnswerCancel, 25},
        {"by the program, Yes", false, false, gxAnswerCancel, 5},
        {"its Undo, Yes", true, true, gxAnswerCancel, 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BeepingGrid grid;
        Fill(grid, std::vector<std::string>(50, "a"));
        ASSERT_TRUE(grid.SetCurrentCell(1, 1));
        CGXFindReplaceState& state = GXGetFindReplaceState();
        const char* pszBefore = "a";
        if (c.bUndo) {
            state.m_bReplaceAllRunning = TRUE;
            ASSERT_TRUE(grid.ReplaceAll("a", "b", FALSE));
            pszBefore = "b";
            ASSERT_TRUE(grid.SetCurrentCell(50, 2));
        }
        LateCancelImp imp;
        imp.looksBeforeEsc = c.nLooksBeforeEsc;
        imp.answer = c.answer;
        CGXAbstractLongOperationImp* pOld = GXSetLongOperationImp(&imp);
        bool bThrown = false;
        try {
            if (c.bUndo) {
                EXPECT_FALSE(grid.Undo());
            } else {
                state.m_bReplaceAllRunning = c.bFromDialog;
                EXPECT_FALSE(grid.ReplaceAll("a", "b", FALSE));
            }
        } catch (CUserException* e) {
            e->Delete();
            bThrown = true;
        }
        GXSetLongOperationImp(pOld);
        GXGetLongOperationState().m_bCancelled = FALSE;
        GXGetLongOperationState().m_bRollback = FALSE;
        EXPECT_LE(imp.looksBeforeEsc, 0) << "Esc never came";
        // Outside the dialog the stop reaches the caller as well.
        EXPECT_EQ(bThrown, !c.bUndo && !c.bFromDialog);
        EXPECT_FALSE(state.m_bReplaceAllRunning);
        EXPECT_EQ(CGXLongOperation::GetLevel(), 0);
        for (ROWCOL r = 1; r <= 50; ++r)
            ASSERT_EQ(Value(grid, r, 1), pszBefore) << r;
        EXPECT_TRUE(grid.replaced.size() == (c.bUndo ? 1u : 0u)) << "a stopped Replace All told what it replaced";
        // The step of a stopped Undo stays whole to be undone, and the current cell where it
        // was; nothing is to be redone.
        if (c.bUndo) {
            ROWCOL nRow = 0, nCol = 0;
            EXPECT_TRUE(grid.GetCurrentCell(nRow, nCol) && nRow == 50 && nCol == 2) << nRow << ", " << nCol;
        }
        EXPECT_EQ(grid.CanUndo(nullptr), c.bUndo);
        EXPECT_FALSE(grid.CanRedo(nullptr));
        if (c.bUndo) {
            ASSERT_TRUE(grid.Undo());
            for (ROWCOL r = 1; r <= 50; ++r)
                ASSERT_EQ(Value(grid, r, 1), "a") << r;
        }
    }
}

TEST_F(FindReplaceTest, TheDialogDrivesTheGridThroughItsRegisteredMessage)
{
    HWND hTop = Make(WS_POPUP | WS_VISIBLE, 0, 0, 500, 400);
    auto* pGrid = new BeepingGridWnd;
    ASSERT_TRUE(pGrid->Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), CWnd::FromHandle(hTop), 1));
    Fill(*pGrid, {"x", "xABy", "aXa"});
    const UINT nMessage = ::RegisterWindowMessage(FINDMSGSTRING);
    CGXFindReplaceState& state = GXGetFindReplaceState();

    pGrid->ShowFindReplaceDialog(TRUE);
    ASSERT_TRUE(state.IsDialogOpen());
    EXPECT_TRUE(state.m_bDialogFindOnly);
    EXPECT_EQ(CurrentRow(*pGrid), 1u);
    const HWND hFind = state.m_hWndDialog;
    // Find again only brings the open dialog forward.
    pGrid->ShowFindReplaceDialog(TRUE);
    EXPECT_EQ(state.m_hWndDialog, hFind);

    auto* pDialog = static_cast<CFindReplaceDialog*>(state.m_pDialog);
    std::strcpy(pDialog->m_fr.lpstrFindWhat, "ab");
    pDialog->m_fr.Flags = FR_FINDNEXT | FR_DOWN;
    ::SendMessage(pGrid->GetSafeHwnd(), nMessage, 0, reinterpret_cast<LPARAM>(&pDialog->m_fr));
    EXPECT_EQ(CurrentRow(*pGrid), 2u);

    // Replace closes the open Find dialog and opens its own.
    pGrid->ShowFindReplaceDialog(FALSE);
    backend->ProcessMessages();
    EXPECT_FALSE(::IsWindow(hFind));
    ASSERT_TRUE(state.IsDialogOpen());
    EXPECT_FALSE(state.m_bDialogFindOnly);
    pDialog = static_cast<CFindReplaceDialog*>(state.m_pDialog);
    std::strcpy(pDialog->m_fr.lpstrFindWhat, "a");
    std::strcpy(pDialog->m_fr.lpstrReplaceWith, "bb");
    pDialog->m_fr.Flags = FR_REPLACEALL | FR_DOWN | FR_MATCHCASE;
    ::SendMessage(pGrid->GetSafeHwnd(), nMessage, 0, reinterpret_cast<LPARAM>(&pDialog->m_fr));
    EXPECT_EQ(Value(*pGrid, 3, 1), "bbXbb");
    EXPECT_EQ(Value(*pGrid, 2, 1), "xABy"); // case matters
    EXPECT_FALSE(state.m_bReplaceAllRunning);

    // The grid goes with its dialog open: the dialog goes too and nothing points at the grid.
    const HWND hReplace = state.m_hWndDialog;
    pGrid->DestroyWindow();
    delete pGrid;
    backend->ProcessMessages();
    EXPECT_FALSE(::IsWindow(hReplace));
    EXPECT_FALSE(state.IsDialogOpen());
    EXPECT_EQ(state.m_pActiveGrid, nullptr);
    EXPECT_EQ(state.m_pDialogGrid, nullptr);
}
