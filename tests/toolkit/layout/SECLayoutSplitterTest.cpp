// The layout splitter: bar modes for every pane set, pane rectangles beside the bars, a size
// change shared between panes by their limits (with the odd remainder alternating), and bars
// dragged with injected mouse input, kept on button-up and restored by Escape.
#include <gtest/gtest.h>

#include "platform/afx/app/CWinApp.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/ProgressAtEveryTurn.h"
#include "toolkit/layout/SECLayoutFactory.h"
#include "toolkit/layout/SECLayoutSplitter.h"

namespace {

class SECLayoutSplitterTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "Host", WS_CHILD | WS_VISIBLE, 0, 0, 380, 260, top->m_hWnd, nullptr));
        for (CWnd& pane : panes)
            ASSERT_TRUE(pane.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, host.m_hWnd, nullptr));
        splitter = static_cast<SECLayoutNodeSplitter*>(factory.CreateNode(splitterFactory, "splitter"));
        ASSERT_NE(splitter, nullptr);
    }
    void TearDown() override
    {
        host.DestroyWindow();
        AfxTest::TearDown();
    }
    SECLayoutNodeWnd* PaneNode(int i) { return factory.CreateNodeWnd(&panes[i], &host); }
    // Two panes side by side, the bar between them at 100.
    void SideBySide()
    {
        ASSERT_TRUE(splitter->Create(&host, CRect(0, 0, 300, 200), WS_CHILD | WS_VISIBLE, 0xEDEF, 0));
        ASSERT_TRUE(splitter->SetPane(0, 0, PaneNode(0)));
        ASSERT_TRUE(splitter->SetPane(0, 1, PaneNode(1)));
        splitter->SetSplitPos(100, 0);
        splitter->RealizeLayout();
        backend->ProcessMessages();
    }
    CRect WindowRectOf(CWnd& wnd)
    {
        CRect r;
        wnd.GetWindowRect(&r);
        host.ScreenToClient(&r);
        return r;
    }

    CWnd host;
    CWnd panes[4];
    SECLayoutFactory factory;
    SECClassFactory_T<SECLayoutNodeSplitter, SECLayoutNode> splitterFactory;
    SECLayoutNodeSplitter* splitter = nullptr;
};

}   // namespace

TEST_F(SECLayoutSplitterTest, BarModesFollowThePanesPresentAndTheLonePaneStyle)
{
    ASSERT_TRUE(splitter->Create(&host, CRect(0, 0, 206, 106), WS_CHILD | WS_VISIBLE, 0xEDEF, 0));
    EXPECT_EQ(splitter->GetHBarMode(), SEC_BAR_NONE);
    EXPECT_FALSE(splitter->SetPane(2, 0, PaneNode(0)));
    EXPECT_FALSE(splitter->SetPane(0, 0, nullptr));
    ASSERT_TRUE(splitter->SetPane(0, 0, PaneNode(0)));
    EXPECT_EQ(splitter->GetVBarMode(), SEC_BAR_NONE);   // one pane: no bars
    ASSERT_TRUE(splitter->SetPane(0, 1, PaneNode(1)));
    EXPECT_EQ(splitter->GetHBarMode(), SEC_BAR_NONE);
    EXPECT_EQ(splitter->GetVBarMode(), SEC_BAR_FULL);
    ASSERT_TRUE(splitter->SetPane(1, 0, PaneNode(2)));   // all but (1,1)
    EXPECT_EQ(splitter->GetHBarMode(), SEC_BAR_FIRSTHALF);
    EXPECT_EQ(splitter->GetVBarMode(), SEC_BAR_FULL);
    ASSERT_TRUE(splitter->RemovePane(0, 0));   // all but (0,0)... minus (1,1): (0,1)+(1,0)
    EXPECT_EQ(splitter->GetHBarMode(), SEC_BAR_NONE);
    EXPECT_EQ(splitter->GetVBarMode(), SEC_BAR_FULL);
    EXPECT_FALSE(splitter->RemovePane(0, 0));
    ASSERT_TRUE(splitter->SetPane(1, 1, PaneNode(3)));   // all but (0,0)
    EXPECT_EQ(splitter->GetHBarMode(), SEC_BAR_SECONDHALF);
    EXPECT_EQ(splitter->GetVBarMode(), SEC_BAR_FULL);

    SECLayoutNodeSplitter* lone = static_cast<SECLayoutNodeSplitter*>(factory.CreateNode(splitterFactory));
    ASSERT_TRUE(lone->Create(&host, CRect(0, 0, 206, 106), WS_CHILD, 1, SEC_SPLITTER_LONEPANE_COLUMNS));
    CWnd extra[3];
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(extra[i].CreateEx(0, "EDIT", "", WS_CHILD, 0, 0, 10, 10, host.m_hWnd, nullptr));
        ASSERT_TRUE(lone->SetPane(i == 2 ? 1 : 0, i == 1 ? 1 : 0, factory.CreateNodeWnd(&extra[i], &host)));
    }
    EXPECT_EQ(lone->GetHBarMode(), SEC_BAR_FULL);   // (1,0) spans both columns
    EXPECT_EQ(lone->GetVBarMode(), SEC_BAR_FIRSTHALF);
}

TEST_F(SECLayoutSplitterTest, TwoPanesSideBySideShareTheWidthAndTheOddRemainderAlternates)
{
    ASSERT_TRUE(splitter->Create(&host, CRect(0, 0, 206, 100), WS_CHILD | WS_VISIBLE, 0xEDEF, 0));
    SECLayoutNodeWnd* left = PaneNode(0);
    SECLayoutNodeWnd* right = PaneNode(1);
    ASSERT_TRUE(splitter->SetPane(0, 0, left));
    ASSERT_TRUE(splitter->SetPane(0, 1, right));
    splitter->SetSplitPos(100, 0);
    EXPECT_EQ(splitter->GetPaneInfo().rect[0], CRect(0, 0, 100, 100));
    EXPECT_EQ(splitter->GetPaneInfo().rect[1], CRect(106, 0, 206, 100));
    EXPECT_EQ(splitter->GetVBarRect(), CRect(100, 0, 106, 100));

    // Both panes at their maximum: nothing absorbs the growth, the bar takes half of it.
    left->SetMinMaxSize(CSize(0, 0), CSize(100, 1000), 0);
    right->SetMinMaxSize(CSize(0, 0), CSize(100, 1000), 0);
    splitter->RecalcLayout(CRect(0, 0, 211, 100), FALSE, TRUE);
    EXPECT_EQ(splitter->GetSplitX(), 101);
    splitter->RecalcLayout(CRect(0, 0, 216, 100), FALSE, TRUE);
    EXPECT_EQ(splitter->GetSplitX(), 104);

    // A pane whose minimum exceeds its share keeps it; the other pane takes the rest.
    left->SetMinMaxSize(CSize(90, 0), CSize(0, 0), SEC_LNMINMAX_NOMAX);
    right->SetMinMaxSize(CSize(0, 0), CSize(0, 0), SEC_LNMINMAX_NOMAX);
    splitter->SetSplitPos(100, 0);
    splitter->RecalcLayout(CRect(0, 0, 136, 100), FALSE, TRUE);
    EXPECT_EQ(splitter->GetSplitX(), 90);
    EXPECT_EQ(splitter->GetPaneInfo().rect[1], CRect(96, 0, 136, 100));
    EXPECT_EQ(left->GetCurrentRect(), CRect(0, 0, 90, 100));

    // Moving the bar beyond the edge stops at the edge less the bar.
    splitter->SetSplitPos(500, 0);
    EXPECT_EQ(splitter->GetSplitX(), 130);
}

TEST_F(SECLayoutSplitterTest, DraggingTheBarKeepsItOnReleaseAndEscapeRestoresIt)
{
    SideBySide();
    ASSERT_FALSE(HasFatalFailure());
    HWND wnd = splitter->CWnd::m_hWnd;

    backend->MouseMove(At(wnd, 102, 50));
    backend->MouseDown(1, At(wnd, 102, 50));
    backend->MouseMove(At(wnd, 160, 50));
    backend->MouseMove(At(wnd, 183, 60));
    backend->MouseUp(1, At(wnd, 183, 60));
    backend->ProcessMessages();
    EXPECT_EQ(splitter->GetSplitX(), 180);
    EXPECT_EQ(WindowRectOf(panes[0]), CRect(0, 0, 180, 200));
    EXPECT_EQ(WindowRectOf(panes[1]), CRect(186, 0, 300, 200));
    EXPECT_EQ(::GetCapture(), nullptr);

    backend->MouseMove(At(wnd, 182, 50));
    backend->MouseDown(1, At(wnd, 182, 50));
    backend->MouseMove(At(wnd, 40, 50));
    backend->Key(VK_ESCAPE);
    backend->ProcessMessages();
    EXPECT_EQ(splitter->GetSplitX(), 180);
    EXPECT_EQ(WindowRectOf(panes[0]), CRect(0, 0, 180, 200));
    EXPECT_EQ(::GetCapture(), nullptr);
}

// Work that runs the thread's idle work while the bar is dragged frees the temporary objects of
// the handle maps; the drag goes on drawing its outline and ends where the button went up.
TEST_F(SECLayoutSplitterTest, ADragGoesOnWhenWorkRunsTheIdleWorkMeanwhile)
{
    SideBySide();
    ASSERT_FALSE(HasFatalFailure());
    HWND wnd = splitter->CWnd::m_hWnd;
    CWinApp app("SplitterTest");
    LookAtEveryTurn looks;
    LongWorkWindow work;

    backend->WhenIdle([&] { backend->MouseMove(At(wnd, 140, 50)); });
    backend->WhenIdle([&] {
        work.PostWork([&] {
            backend->MouseMove(At(wnd, 163, 60));
            backend->MouseUp(1, At(wnd, 163, 60));
        });
    });
    backend->MouseMove(At(wnd, 102, 50));
    backend->MouseDown(1, At(wnd, 102, 50));
    backend->ProcessMessages();
    EXPECT_EQ(work.done, 1);
    EXPECT_GT(looks.Freed(), 0) << "the work never ran the idle work";
    EXPECT_EQ(splitter->GetSplitX(), 160);
    EXPECT_EQ(WindowRectOf(panes[0]), CRect(0, 0, 160, 200));
    EXPECT_EQ(::GetCapture(), nullptr);
}
