// The toolkit bar on its own: remembered sizes per state, the child layout kept in proportion
// (also for a bar made with an empty rectangle), the inside rectangle, gripper buttons, docking
// switched off and on, and the saved-layout record it fills.
#include "tests/toolkit/docking/DockingFixture.h"
#include "toolkit/docking/SECDockContext.h"

TEST_F(ToolkitDockingTest, SizesAreRememberedPerStateAndCommittedByMode)
{
    SECControlBar* bar = MakeBar(0xE901);
    EXPECT_EQ(bar->m_szHorz, CSize(300, 180));
    EXPECT_EQ(bar->m_szVert, CSize(300, 180));
    EXPECT_EQ(bar->m_szFloat, CSize(300, 180));

    // A stretched commit takes the bar's share of the length, truncated.
    bar->m_fPctWidth = 0.25f;
    bar->CalcDynamicLayout(301, LM_HORZ | LM_HORZDOCK | LM_STRETCH | LM_COMMIT);
    EXPECT_EQ(bar->m_szHorz, CSize(75, 180));
    bar->CalcDynamicLayout(40, LM_HORZ | LM_HORZDOCK | LM_LENGTHY | LM_COMMIT);
    EXPECT_EQ(bar->m_szHorz, CSize(75, 40));
    bar->CalcDynamicLayout(90, LM_VERTDOCK | LM_COMMIT);
    bar->CalcDynamicLayout(120, LM_VERTDOCK | LM_LENGTHY | LM_COMMIT);
    EXPECT_EQ(bar->m_szVert, CSize(90, 120));
    // Floating: the width is also the most recently used width.
    EXPECT_EQ(bar->CalcDynamicLayout(222, LM_HORZ | LM_COMMIT), CSize(222, 180));
    EXPECT_EQ(bar->m_nMRUWidth, 222u);
    bar->CalcDynamicLayout(77, LM_LENGTHY | LM_COMMIT);
    EXPECT_EQ(bar->m_szFloat, CSize(222, 77));
    // Docked modes answer the docked size of the orientation asked for.
    EXPECT_EQ(bar->CalcDynamicLayout(-1, LM_HORZ | LM_HORZDOCK), CSize(75, 40));
    EXPECT_EQ(bar->CalcDynamicLayout(-1, LM_VERTDOCK), CSize(90, 120));
    EXPECT_EQ(bar->CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH), CSize(222, 77));
}

TEST_F(ToolkitDockingTest, ChildrenKeepTheirProportionsEvenForABarMadeWithAnEmptyRectangle)
{
    // Made with the proportional style and an empty rectangle: the first record is 0 x 0.
    SECControlBar* bar = MakeBar(0xE902, CBRS_TOP, CBRS_EX_PROPORTIONAL);
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), bar, 1));
    bar->RecordChildLayout();
    ASSERT_NE(bar->GetChildLayout(), nullptr);
    // The first non-empty size records the layout again instead of dividing by zero.
    bar->SetWindowPos(nullptr, 0, 0, 200, 100, SWP_NOZORDER | SWP_NOMOVE);
    child.MoveWindow(50, 25, 100, 50);
    bar->RecordChildLayout();
    bar->SetWindowPos(nullptr, 0, 0, 400, 50, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(InParent(child), CRect(100, 12, 300, 37));

    // A size of zero or a minimize moves nothing.
    bar->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(0, 30));
    bar->SendMessage(WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(10, 10));
    EXPECT_EQ(InParent(child), CRect(100, 12, 300, 37));
    child.DestroyWindow();
}

TEST_F(ToolkitDockingTest, TheInsideNeverGoesNegativeAndTheFirstChildFillsIt)
{
    SECControlBar* bar = MakeBar(0xE903, CBRS_TOP, CBRS_EX_GRIPPER | CBRS_EX_SIZE_TO_FIT);
    CWnd child;
    ASSERT_TRUE(child.Create(nullptr, "c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), bar, 1));
    bar->SetWindowPos(nullptr, 0, 0, 200, 40, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(InParent(child), CRect(17, 3, 197, 37)) << "a top bar's gripper is at its left";
    // Smaller than its gripper: the child gets no size rather than a negative one.
    bar->SetWindowPos(nullptr, 0, 0, 10, 4, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(InParent(child), CRect(17, 3, 17, 3));

    bar->SetBarStyle(CBRS_LEFT);
    bar->SetWindowPos(nullptr, 0, 0, 60, 200, SWP_NOZORDER | SWP_NOMOVE);
    EXPECT_EQ(InParent(child), CRect(3, 17, 57, 197)) << "a side bar's gripper runs across its top";
    child.DestroyWindow();
}

TEST_F(ToolkitDockingTest, AllowDockingOffAndOnRestoresExactlyTheSidesAllowedBefore)
{
    SECControlBar* bar = MakeBar(0xE904, CBRS_TOP, 0);
    bar->EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT);
    ASSERT_NE(dynamic_cast<SECDockContext*>(bar->m_pDockContext), nullptr) << "the bar makes a toolkit context";
    bar->SendMessage(WM_COMMAND, ID_SEC_ALLOWDOCKING, 0);
    EXPECT_EQ(bar->m_dwDockStyle, 0u);
    EXPECT_EQ(bar->m_dwMRUDockingState, static_cast<DWORD>(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT));
    bar->SendMessage(WM_COMMAND, ID_SEC_ALLOWDOCKING, 0);
    EXPECT_EQ(bar->m_dwDockStyle, static_cast<DWORD>(CBRS_ALIGN_TOP | CBRS_ALIGN_LEFT));
}

TEST_F(ToolkitDockingTest, FreeBarIdsAreCountedFromTheFirst)
{
    SECControlBar* a = MakeBar(256);
    MakeBar(257);
    EXPECT_EQ(a->FindFreeBarID(256), 258u);
    EXPECT_EQ(a->FindFreeBarID(300), 300u);
}
