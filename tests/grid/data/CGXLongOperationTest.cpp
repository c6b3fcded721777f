#include "grid/data/CGXGridHint.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXRangeList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// An implementation on a test clock that records what would reach the status bar.
class RecordingImp : public CGXAbstractLongOperationImp {
public:
    DWORD now = 1000;
    std::vector<std::string> shown;
    int cursorShown = 0;
    int asked = 0;
    GXAbortAnswer answer = gxAnswerCancel;
    bool pressEscOnPump = false;
    // An ESC waiting in the queue before the operation has looked at it, and how often the
    // operation looked for one.
    bool escWaiting = false;
    int escLooks = 0;
    std::vector<std::string> toldWhy;

    void PumpMessages(CGXLongOperation& op) override
    {
        CGXAbstractLongOperationImp::PumpMessages(op);
        if (pressEscOnPump || escWaiting)
            GXGetLongOperationState().m_bEscPressed = TRUE;
        escWaiting = false;
    }

protected:
    DWORD GetTicks() override { return now; }
    void ShowStatusText(LPCTSTR text, BOOL) override { shown.emplace_back(text); }
    void BeginWaitCursor() override { ++cursorShown; }
    void EndWaitCursor() override { --cursorShown; }
    GXAbortAnswer AskAbort(int) override
    {
        ++asked;
        return answer;
    }
    BOOL IsEscWaiting() override
    {
        ++escLooks;
        return escWaiting;
    }
    void TellWhyNoStop(LPCTSTR why) override { toldWhy.emplace_back(why); }
};

class LongOperationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pOld = GXSetLongOperationImp(&imp);
        GXGetLongOperationState().m_nSpinner = 0; // the spinner goes on from one operation to the next
    }
    void TearDown() override
    {
        GXSetLongOperationImp(pOld);
        EXPECT_EQ(CGXLongOperation::GetLevel(), 0);
    }
    RecordingImp imp;
    CGXAbstractLongOperationImp* pOld = nullptr;
};

} // namespace

TEST_F(LongOperationTest, ShowsNothingBeforeTheFirstWaitThenSpinsAndEndsWithDone)
{
    {
        CGXLongOperation op;
        imp.now += 749;
        EXPECT_FALSE(op.DoMessages());
    }
    EXPECT_TRUE(imp.shown.empty());
    EXPECT_EQ(imp.cursorShown, 0);

    {
        CGXLongOperation op;
        op.SetStatusText("Sorting");
        imp.now += 750;
        EXPECT_TRUE(op.DoMessages());
        EXPECT_EQ(imp.cursorShown, 1);
        // Looked at every poll interval, the spinner turns once per update interval; in between
        // the same text is not sent again.
        for (int i = 0; i < 4; ++i) {
            for (int n = 0; n < 14; ++n) {
                imp.now += 100;
                EXPECT_TRUE(op.DoMessages());
            }
            imp.now += 99;
            EXPECT_FALSE(op.DoMessages()); // not yet the poll interval
            imp.now += 1;
            EXPECT_TRUE(op.DoMessages());
        }
    }
    EXPECT_EQ(imp.shown, (std::vector<std::string>{"Sorting  -", "Sorting  \\", "Sorting  |", "Sorting  /", "Sorting  -",
                                                   "Done."}));
    EXPECT_EQ(imp.cursorShown, 0);
}

TEST_F(LongOperationTest, PercentHintAndTheAbortQuestion)
{
    CGXLongOperation op;
    CGXLongOperation::SetPercentDone(7);
    imp.now += 800;
    BOOL bCancelled = TRUE;
    EXPECT_TRUE(op.DoMessages(bCancelled));
    EXPECT_FALSE(bCancelled);
    EXPECT_EQ(imp.shown.back(), "Processing...   7%.    Press ESC to cancel");
    CGXLongOperation::SetPercentDone(250);
    EXPECT_EQ(CGXLongOperation::GetPercentDone(), 100);

    // ESC while cancelling is not allowed is swallowed.
    imp.pressEscOnPump = true;
    CGXLongOperation::SetCanCancel(FALSE);
    imp.now += 1500;
    EXPECT_TRUE(op.DoMessages(bCancelled));
    EXPECT_FALSE(bCancelled);
    EXPECT_EQ(imp.asked, 0);
    EXPECT_EQ(imp.shown.back(), "Processing... 100%. ");

    CGXLongOperation::SetCanCancel(TRUE);
    CGXLongOperation::SetQuestionMode(1);
    imp.answer = gxAnswerCancelRollback;
    imp.now += 1500;
    EXPECT_TRUE(op.DoMessages(bCancelled));
    EXPECT_TRUE(bCancelled);
    EXPECT_EQ(imp.asked, 1);
    EXPECT_TRUE(CGXLongOperation::GetRollbackState());
}

TEST_F(LongOperationTest, AChangedPercentageShowsAtTheNextLookAndEscInAnInnerStepIsLeftToTheOuter)
{
    CGXLongOperation op;
    op.SetStatusText("Group action");
    CGXLongOperation::SetPercentDone(10);
    BOOL bCancelled = FALSE;
    imp.now += 749;
    EXPECT_FALSE(op.DoMessagesNow(bCancelled)); // nothing shows before the first wait
    imp.now += 1;
    EXPECT_TRUE(op.DoMessages(bCancelled));
    imp.now += 100;
    CGXLongOperation::SetPercentDone(11);
    EXPECT_TRUE(op.DoMessages(bCancelled));
    imp.now += 100;
    EXPECT_TRUE(op.DoMessages(bCancelled));
    // The last look before work is kept comes at once.
    imp.now += 1;
    CGXLongOperation::SetPercentDone(12);
    EXPECT_FALSE(op.DoMessages(bCancelled));
    EXPECT_TRUE(op.DoMessagesNow(bCancelled));
    EXPECT_EQ(imp.shown, (std::vector<std::string>{"Group action  10%.    Press ESC to cancel",
                                                   "Group action  11%.    Press ESC to cancel",
                                                   "Group action  12%.    Press ESC to cancel"}));

    // ESC comes while an inner step that may not stop halfway looks at the queue: the step
    // goes on, and the action asks at its own next look.
    {
        CGXLongOperation inner;
        CGXLongOperation::SetCanCancel(FALSE);
        imp.pressEscOnPump = true;
        imp.now += 100;
        BOOL bInner = TRUE;
        EXPECT_TRUE(inner.DoMessages(bInner));
        EXPECT_FALSE(bInner);
        imp.pressEscOnPump = false;
    }
    EXPECT_EQ(imp.asked, 0);
    CGXLongOperation::SetCanCancel(TRUE);
    imp.now += 100;
    EXPECT_TRUE(op.DoMessages(bCancelled));
    EXPECT_EQ(imp.asked, 1);
    EXPECT_TRUE(bCancelled);
}

// ESC pressed before the first wait is heard at the next look for it, one per poll interval,
// from inside a hidden step too, under the work's meter; the end says whether the work was
// stopped and its change taken back. Work that cannot stop says why, as long as its lock lives.
TEST_F(LongOperationTest, EscInTheFirstMomentsIsHeardAndTheEndSaysHowTheWorkEnded)
{
    for (const auto& [answer, end] : {std::pair{gxAnswerCancel, "Stopped: the change was taken back."},
                                      std::pair{gxAnswerContinue, "Done."}}) {
        imp.shown.clear();
        imp.answer = answer;
        imp.escLooks = 0;
        {
            CGXLongOperation op;
            op.SetStatusText("Redo Paste");
            CGXLongOperation::SetMaxShownLevel(0);
            CGXLongOperation inner;
            imp.escWaiting = true;
            imp.now += 99;
            BOOL bCancelled = FALSE;
            EXPECT_FALSE(inner.DoMessages(bCancelled)); // not before the poll interval
            imp.now += 1;
            EXPECT_FALSE(inner.DoMessages()); // nor where ESC is not heard
            EXPECT_EQ(imp.escLooks, 0);
            EXPECT_TRUE(inner.DoMessages(bCancelled));
            EXPECT_EQ(bCancelled, answer == gxAnswerCancel);
            CGXLongOperation::NoteTakenBack();
        }
        EXPECT_EQ(imp.shown, (std::vector<std::string>{"Redo Paste   Press ESC to cancel  -", end}));
        GXGetLongOperationState().m_nSpinner = 0;
    }
    imp.answer = gxAnswerCancel;
    {
        CGXLongOperation op;
        CGXLongOperation::SetPercentDone(5);
        imp.now += 800;
        BOOL bCancelled = FALSE;
        EXPECT_TRUE(op.DoMessages(bCancelled));
        imp.pressEscOnPump = true;
        {
            const CGXCancelLock noStop("It runs without undo.");
            const CGXCancelLock inner;
            imp.now += 100;
            EXPECT_TRUE(op.DoMessages(bCancelled));
        }
        imp.now += 100;
        EXPECT_TRUE(op.DoMessages(bCancelled)); // stopped: the lock is gone
        imp.pressEscOnPump = false;
        EXPECT_EQ(imp.toldWhy, std::vector<std::string>{"It runs without undo."});
        EXPECT_TRUE(bCancelled);
    }
    EXPECT_EQ(imp.shown.back(), "Stopped.");
}

TEST_F(LongOperationTest, TextsAreBoundedAndDeepNestingIsCountedNotStored)
{
    const std::string longText(300, 'x');
    CGXLongOperation op;
    op.SetStatusText(longText.c_str());
    CGXLongOperation::SetPercentDone(42);
    imp.now += 800;
    BOOL bCancelled = FALSE;
    op.DoMessages(bCancelled);
    const std::string& s = imp.shown.back();
    EXPECT_EQ(s.size(), GX_LONGOP_STATUSSIZE - 1);
    EXPECT_EQ(s.substr(s.size() - 29), "  42%.    Press ESC to cancel"); // suffixes survive the cut

    // A cut never splits a multi-byte character.
    char out[7];
    EXPECT_EQ(CGXAbstractLongOperationImp::FormatStatus(out, sizeof(out), "abcde\xC3\xA9", -1, nullptr, -1), 5u);
    EXPECT_STREQ(out, "abcde");
    EXPECT_EQ(CGXAbstractLongOperationImp::FormatStatus(out, 1, "abc", 5, "hint", 2), 0u);
    EXPECT_STREQ(out, "");

    // Nest past the kept levels: levels are counted, texts of the deep ones not kept, and the
    // deepest kept text is what shows.
    std::vector<std::unique_ptr<CGXLongOperation>> nested;
    for (int i = 2; i <= GX_LONGOP_MAXLEVELS + 10; ++i) {
        nested.push_back(std::make_unique<CGXLongOperation>());
        nested.back()->SetStatusText(("level " + std::to_string(i)).c_str());
    }
    EXPECT_EQ(CGXLongOperation::GetLevel(), GX_LONGOP_MAXLEVELS + 10);
    EXPECT_STREQ(GXGetLongOperationState().GetText(GX_LONGOP_MAXLEVELS + 10), "level 64");
    while (!nested.empty())
        nested.pop_back();
    EXPECT_EQ(CGXLongOperation::GetLevel(), 1);

    // A hidden inner level keeps its parent's text.
    CGXLongOperation::SetMaxShownLevel(0);
    {
        CGXLongOperation inner;
        inner.SetStatusText("hidden");
        EXPECT_STREQ(GXGetLongOperationState().GetText(2), longText.c_str());
    }
}

TEST(LongOperationWithoutImpTest, OnlyCountsNesting)
{
    CGXAbstractLongOperationImp* pOld = GXSetLongOperationImp(nullptr);
    {
        CGXLongOperation a;
        CGXLongOperation b;
        EXPECT_EQ(CGXLongOperation::GetLevel(), 2);
        BOOL bCancelled = TRUE;
        EXPECT_FALSE(b.DoMessages(bCancelled));
        EXPECT_FALSE(bCancelled);
    }
    EXPECT_EQ(CGXLongOperation::GetLevel(), 0);
    GXSetLongOperationImp(pOld);
}

TEST(CGXGridHintTest, StartsEmptyKeepsPointersWholeAndAddressesGrids)
{
    CGXGridHint hint(gxHintUpdateStyleRange, 3);
    EXPECT_FALSE(hint.m_range.IsValid());
    EXPECT_EQ(hint.m_nRow1 + hint.m_nRow2 + hint.m_nRow3 + hint.m_nCol1 + hint.m_nCol2 + hint.m_nCol3, 0u);
    EXPECT_EQ(hint.m_nNumber1 + hint.m_nNumber2 + hint.m_nFlags, 0u);
    EXPECT_EQ(hint.m_pData, nullptr);

    // A style pointer anywhere in the address space survives the value field.
    int object = 0;
    hint.m_vValue1 = reinterpret_cast<DWORD_PTR>(&object);
    EXPECT_EQ(reinterpret_cast<int*>(hint.m_vValue1), &object);
    static_assert(sizeof(hint.m_vValue1) == sizeof(void*));

    EXPECT_TRUE(hint.IsFor(3));
    EXPECT_FALSE(hint.IsFor(4));
    EXPECT_TRUE(CGXGridHint(gxHintRedraw, GX_ALL_GRIDS).IsFor(4));
    EXPECT_EQ(CGXGridHint::FromObject(&hint), &hint);
    CGXRangeList notAHint;
    EXPECT_EQ(CGXGridHint::FromObject(&notAHint), nullptr);
    EXPECT_EQ(CGXGridHint::FromObject(nullptr), nullptr);
}
