// Applying a style to a range of cells: every cell goes through its control, a long change
// shows its progress and ESC takes back every cell it changed, or is not heard when there is
// nothing to take them back by; an Undo of it stopped part-way leaves the step whole, and a
// change too large for its undo information never goes on without asking.
#include "grid/core/CGXControl.h"
#include "grid/core/CGXStatic.h"
#include "grid/data/CGXGridModel.h"
#include "grid/data/CGXLongOperation.h"
#include "platform/core/CException.h"
#include "tests/grid/features/FeatureTestSupport.h"

#include <functional>
#include <new>

namespace {

// A long operation whose clock runs a second a call, whose user presses ESC at the given pump
// of the cells being stored, or at the first pump at which `when` holds where it is given, and
// answers the abort question as told; it keeps the percentages it showed then.
class EscAnswerImp : public CGXAbstractLongOperationImp {
public:
    int nPumps = 0;
    int nEscAt = 3;
    GXAbortAnswer answer = gxAnswerCancelRollback;
    int nQuestionMode = -1;
    std::vector<int> percents;
    std::function<bool()> when;
    void PumpMessages(CGXLongOperation& op) override
    {
        CGXAbstractLongOperationImp::PumpMessages(op);
        if (when) {
            if (nPumps == 0 && when()) {
                nPumps = 1;
                GXGetLongOperationState().m_bEscPressed = TRUE;
            }
            return;
        }
        const CGXLongOperationState& s = GXGetLongOperationState();
        if (GXGetAppData()->GetText(gxTextStoringCells) != s.GetText(s.m_nLevel))
            return;
        percents.push_back(s.m_nPercentDone);
        if (++nPumps == nEscAt)
            GXGetLongOperationState().m_bEscPressed = TRUE;
    }

protected:
    DWORD GetTicks() override { return now += 1000; }
    void ShowStatusText(LPCTSTR, BOOL) override {}
    GXAbortAnswer AskAbort(int nMode) override
    {
        nQuestionMode = nMode;
        return answer;
    }

private:
    DWORD now = 0;
};

// Installs the test's long operation for a scope, and clears what a cancel leaves behind.
class LongOpScope {
public:
    explicit LongOpScope(CGXAbstractLongOperationImp* pImp) : m_pOld(GXSetLongOperationImp(pImp)) {}
    ~LongOpScope()
    {
        GXSetLongOperationImp(m_pOld);
        CGXLongOperationState& s = GXGetLongOperationState();
        s.m_bCancelled = s.m_bRollback = s.m_bEscPressed = FALSE;
        s.m_nPercentDone = -1;
    }

private:
    CGXAbstractLongOperationImp* m_pOld;
};

// Counts the questions about undo information that cannot be kept, and answers as told; can
// run out of memory while it gathers the old styles.
class AskingGrid : public CGXGridCore {
public:
    BOOL ConfirmLargeUndo() override
    {
        ++nQuestions;
        return bAgree;
    }
    CObArray* CollectRangeStyles(const CGXRange& range, int nType, DWORD* pdwStart) override
    {
        if (bOutOfMemory)
            throw std::bad_alloc();
        return CGXGridCore::CollectRangeStyles(range, nType, pdwStart);
    }
    int nQuestions = 0;
    BOOL bAgree = FALSE;
    bool bOutOfMemory = false;
};

// A static cell that counts the styles it is asked to store.
class CountingStatic : public CGXStatic {
public:
    using CGXStatic::CGXStatic;
    BOOL StoreStyle(ROWCOL nRow, ROWCOL nCol, const CGXStyle* pStyle, int nMode, int nType, const CGXStyle* pOld) override
    {
        ++nStores;
        return CGXStatic::StoreStyle(nRow, nCol, pStyle, nMode, nType, pOld);
    }
    int nStores = 0;
};

class StyleRangeTest : public FeatureGridTest {
protected:
    static int CountValue(CGXGridCore& grid, const CGXRange& range, LPCTSTR pszValue)
    {
        int n = 0;
        for (ROWCOL r = range.top; r <= range.bottom; ++r)
            for (ROWCOL c = range.left; c <= range.right; ++c)
                n += grid.GetStoredCellValue(r, c) == pszValue;
        return n;
    }
};

} // namespace

TEST_F(StyleRangeTest, EscTakesBackEveryCellChangedOrIsNotHeardWithoutTheOldStyles)
{
    struct Case {
        const char* what;
        GXAbortAnswer answer;
        bool bUndo;   // the old styles are kept, for undo and for a stop
    };
    const Case cases[] = {
        {"Yes", gxAnswerCancel, true},
        {"Retry", gxAnswerCancelRollback, true},
        {"undo off", gxAnswerCancel, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CGXGridCore grid;
        SetUpGrid(grid, 40, 5);
        grid.GetParam()->EnableUndo(c.bUndo);
        const CGXRange block(1, 1, 40, 5);
        CGXStyle style;
        style.SetValue("new");
        // ESC at the third pump of the cells being stored.
        EscAnswerImp imp;
        imp.answer = c.answer;
        {
            LongOpScope scope(&imp);
            EXPECT_EQ(grid.ApplyStyleToRange(block, &style, gxOverride, 0, nullptr, 0, gxDo) != FALSE, !c.bUndo);
        }
        // Progress climbed while the rows were stored.
        ASSERT_GE(imp.percents.size(), 3u);
        EXPECT_GT(imp.percents[2], 0);
        EXPECT_LT(imp.percents[2], 100);
        if (c.bUndo) {
            EXPECT_EQ(imp.nQuestionMode, 0) << "not asked Yes or No";
            EXPECT_EQ(CountValue(grid, block, "new"), 0);
            EXPECT_EQ(grid.GetStoredCellValue(1, 1), Label(1, 1));
        } else {
            EXPECT_EQ(imp.nQuestionMode, -1) << "asked to stop what could not be taken back";
            EXPECT_EQ(CountValue(grid, block, "new"), 200);
        }
        EXPECT_FALSE(grid.CanUndo(nullptr));
    }
}

TEST_F(StyleRangeTest, AChangeTooLargeForItsUndoAsksAndCancelChangesNothing)
{
    AskingGrid grid;
    SetUpGrid(grid, 2, 33000, false);
    CGXStyle style;
    style.SetValue("x");
    const CGXRange wide(1, 1, 1, 33000);
    EXPECT_FALSE(grid.ApplyStyleToRange(wide, &style, gxOverride, 0, nullptr, 0, gxDo));
    EXPECT_EQ(grid.nQuestions, 1);
    EXPECT_EQ(grid.GetStoredCellValue(1, 5), "");
    // OK goes on without undo.
    grid.bAgree = TRUE;
    EXPECT_TRUE(grid.ApplyStyleToRange(wide, &style, gxOverride, 0, nullptr, 0, gxDo));
    EXPECT_EQ(grid.nQuestions, 2);
    EXPECT_EQ(grid.GetStoredCellValue(1, 33000), "x");
    EXPECT_FALSE(grid.CanUndo(nullptr));

    // Memory running out while the old styles are gathered asks the same question.
    grid.bAgree = FALSE;
    grid.bOutOfMemory = true;
    EXPECT_FALSE(grid.ApplyStyleToRange(CGXRange(2, 1, 2, 3), &style, gxOverride, 0, nullptr, 0, gxDo));
    EXPECT_EQ(grid.nQuestions, 3);
    EXPECT_EQ(grid.GetStoredCellValue(2, 1), "");
    grid.bAgree = TRUE;
    EXPECT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 1, 2, 3), &style, gxOverride, 0, nullptr, 0, gxDo));
    EXPECT_EQ(grid.GetStoredCellValue(2, 3), "x");

    // The model on its own has no one to ask: it refuses rather than drop the undo.
    CGXGridModel model(*grid.GetParam(), grid.m_pUndoImp);
    grid.GetParam()->EnableUndo(TRUE);
    CGXStyle other;
    other.SetValue("y");
    EXPECT_FALSE(model.ApplyStyleToRange(wide, &other, gxOverride, 0, nullptr, gxDo));
    EXPECT_EQ(grid.GetStoredCellValue(1, 1), "x");
}

TEST_F(StyleRangeTest, EveryCellIsStoredThroughItsControl)
{
    CGXGridCore grid;
    SetUpGrid(grid, 10, 4, false);
    auto* pControl = new CountingStatic(&grid);
    grid.RegisterControl(GX_IDS_CTRL_STATIC, pControl);
    CGXStyle kind;
    kind.SetControl(GX_IDS_CTRL_STATIC);
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange().SetCols(2, 3), &kind, gxOverride, 0, nullptr, 0, gxDo));
    pControl->nStores = 0;
    // A plain value over a block that holds static cells: each of them stores it its way.
    CGXStyle value;
    value.SetValue("v");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 1, 4, 4), &value, gxOverride, 0, nullptr, 0, gxDo));
    EXPECT_EQ(pControl->nStores, 6);
    EXPECT_EQ(grid.GetStoredCellValue(3, 3), "v");
    EXPECT_EQ(grid.GetStoredCellValue(3, 1), "v");
}

TEST_F(StyleRangeTest, AnUndoStoppedInsideALongChangeLeavesTheStepWhole)
{
    // The change a step of its own, and the one change of a transaction.
    for (const bool bTransaction : {false, true}) {
        SCOPED_TRACE(bTransaction ? "in a transaction" : "a step of its own");
        CGXGridCore grid;
        SetUpGrid(grid, 40, 5);
        const CGXRange block(1, 1, 40, 5);
        CGXStyle style;
        style.SetValue("new");
        if (bTransaction)
            grid.BeginTransaction("Paste");
        ASSERT_TRUE(grid.ApplyStyleToRange(block, &style, gxOverride, 0, nullptr, 0, gxDo));
        if (bTransaction)
            grid.CommitTransaction();
        ASSERT_EQ(CountValue(grid, block, "new"), 200);

        // ESC once some fifty cells have their old values again, answered Yes: every cell
        // holds what the step gave it, the step is still the one to undo, and none to redo;
        // the current cell stays where it was.
        ASSERT_TRUE(grid.SetCurrentCell(40, 5));
        {
            EscAnswerImp imp;
            imp.when = [&] { return CountValue(grid, block, "new") <= 150; };
            imp.answer = gxAnswerCancel;
            LongOpScope scope(&imp);
            EXPECT_FALSE(grid.Undo());
            EXPECT_EQ(imp.nQuestionMode, 0);
            EXPECT_EQ(imp.nPumps, 1) << "the Undo did not stop";
        }
        EXPECT_EQ(CountValue(grid, block, "new"), 200);
        ROWCOL nRow = 0, nCol = 0;
        EXPECT_TRUE(grid.GetCurrentCell(nRow, nCol) && nRow == 40 && nCol == 5) << nRow << ", " << nCol;
        EXPECT_TRUE(grid.CanUndo(nullptr)) << "the step is gone";
        EXPECT_FALSE(grid.CanRedo(nullptr)) << "a part of the step is offered to redo";

        // The next Undo gives back every cell; Redo does the step again.
        ASSERT_TRUE(grid.Undo());
        EXPECT_EQ(CountValue(grid, block, "new"), 0);
        EXPECT_EQ(grid.GetStoredCellValue(40, 5), Label(40, 5));
        EXPECT_FALSE(grid.CanUndo(nullptr));
        ASSERT_TRUE(grid.Redo());
        EXPECT_EQ(CountValue(grid, block, "new"), 200);
        EXPECT_FALSE(grid.CanRedo(nullptr));
    }
}
