// The status bar as a control bar: panes sized by their indicator strings, the message pane
// stretching over the spare width, texts sent to the control only when they change, the frame's
// prompts in the message pane, and its place under the docked bars.
#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/bars/CStatusBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/platform/afx/data/BarIds.h"
#include "platform/controls/StatusBar.h"

namespace {

CRect StatusInParent(const CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, ::GetParent(wnd.m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class CFixedBar : public CControlBar {
public:
    BOOL Create(CWnd* parent, DWORD style, UINT id)
    {
        m_dwStyle = style & CBRS_ALL;
        return CWnd::Create(AfxControlBarClass(), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent, id);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(120, 24) : CSize(24, 120); }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
};

// Counts the texts the control is sent.
class CCountingStatusBar : public CStatusBar {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == SB_SETTEXT)
            ++texts;
        return CStatusBar::WindowProc(message, wParam, lParam);
    }
    int texts = 0;
};

class StatusBarTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr));
        ASSERT_TRUE(pane.Create(nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, AFX_IDW_PANE_FIRST));
        ASSERT_TRUE(status.Create(frame));
    }
    void TearDown() override
    {
        status.DestroyWindow();
        bar.DestroyWindow();
        frame->DestroyWindow();
        AfxTest::TearDown();
    }
    CFrameWnd* frame = new CFrameWnd;
    CWnd pane;
    CCountingStatusBar status;
    CFixedBar bar;
};

} // namespace

TEST_F(StatusBarTest, PanesTakeTheirStringsWidthsAndTheMessagePaneStretches)
{
    const UINT ids[] = {ID_SEPARATOR, IDS_INDICATOR_LONG, ID_INDICATOR_CAPS, IDS_MISSING};
    ASSERT_TRUE(status.SetIndicators(ids, 4));
    EXPECT_EQ(status.GetCount(), 4);
    EXPECT_EQ(status.CommandToIndex(ID_INDICATOR_CAPS), 2);
    EXPECT_EQ(status.CommandToIndex(ID_INDICATOR_NUM), -1);
    EXPECT_EQ(status.GetPaneText(1), "OVERWRITE");
    EXPECT_EQ(status.GetPaneText(3), "  ") << "a missing string still gives the pane a width";
    UINT id = 0, style = 0;
    int longWidth = 0, capsWidth = 0;
    status.GetPaneInfo(0, id, style, capsWidth);
    EXPECT_EQ(style, static_cast<UINT>(SBPS_STRETCH | SBPS_NOBORDERS));
    status.GetPaneInfo(1, id, style, longWidth);
    status.GetPaneInfo(2, id, style, capsWidth);
    EXPECT_GT(longWidth, capsWidth);

    frame->RecalcLayout();
    const CRect statusRect = StatusInParent(status);
    EXPECT_EQ(statusRect.left, 0);
    EXPECT_EQ(statusRect.right, 500);
    EXPECT_EQ(statusRect.bottom, 300);
    EXPECT_GT(statusRect.Height(), 10);
    EXPECT_EQ(StatusInParent(pane), CRect(0, 0, 500, statusRect.top));

    // The message pane takes what the indicators leave; the indicators keep their widths.
    CRect first, second, last;
    status.GetItemRect(0, &first);
    status.GetItemRect(1, &second);
    status.GetItemRect(3, &last);
    EXPECT_GT(first.Width(), 250);
    EXPECT_EQ(second.Width(), longWidth + 6);
    EXPECT_LE(last.right, 500);

    // A new width moves the panes after it.
    status.SetPaneInfo(1, IDS_INDICATOR_LONG, SBPS_NORMAL, longWidth + 40);
    CRect moved;
    status.GetItemRect(0, &moved);
    EXPECT_EQ(moved.right, first.right - 40);
}

TEST_F(StatusBarTest, TextsGoToTheControlOnlyWhenTheyChange)
{
    const UINT ids[] = {ID_SEPARATOR, ID_INDICATOR_CAPS};
    ASSERT_TRUE(status.SetIndicators(ids, 2));
    status.texts = 0;
    EXPECT_TRUE(status.SetPaneText(1, "X"));
    EXPECT_TRUE(status.SetPaneText(1, "X"));
    EXPECT_EQ(status.texts, 1) << "the same text again is not sent";
    EXPECT_TRUE(status.SetPaneText(1, "Y", FALSE));
    EXPECT_EQ(status.texts, 1) << "a text without update waits";
    status.UpdateAllPanes(FALSE, TRUE);
    EXPECT_EQ(status.texts, 2);
    EXPECT_FALSE(status.SetPaneText(7, "no pane"));

    // A disabled pane keeps its text but the control shows none.
    status.SetPaneStyle(1, SBPS_DISABLED);
    EXPECT_EQ(status.GetPaneText(1), "Y");
    EXPECT_EQ(LOWORD(::SendMessage(status.m_hWnd, SB_GETTEXTLENGTH, 1, 0)), 0);
    status.SetPaneStyle(1, SBPS_NORMAL);
    EXPECT_EQ(LOWORD(::SendMessage(status.m_hWnd, SB_GETTEXTLENGTH, 1, 0)), 1);

    // The window text is the message pane's: the frame's prompts land there.
    ::SendMessage(frame->m_hWnd, WM_SETMESSAGESTRING, IDS_CMD_OPEN, 0);
    EXPECT_EQ(status.GetPaneText(0), "Opens a file");
    char buffer[6];
    EXPECT_EQ(::SendMessage(status.m_hWnd, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer)), 6);
    EXPECT_STREQ(buffer, "Opens");
    EXPECT_EQ(::SendMessage(status.m_hWnd, WM_GETTEXTLENGTH, 0, 0), 12);
}

TEST_F(StatusBarTest, TheStatusBarStaysUnderTheBarsDockedAtTheBottom)
{
    const UINT ids[] = {ID_SEPARATOR, ID_INDICATOR_NUM};
    ASSERT_TRUE(status.SetIndicators(ids, 2));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    ASSERT_TRUE(bar.Create(frame, CBRS_BOTTOM, 0xE820));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar);
    frame->RecalcLayout();
    const CRect statusRect = StatusInParent(status);
    const CRect bottom = StatusInParent(*frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_EQ(bottom, CRect(0, statusRect.top - 24, 500, statusRect.top));
    EXPECT_EQ(StatusInParent(pane), CRect(0, 0, 500, bottom.top));

    // Hidden with a delay, the status bar gives its room back at the next layout.
    frame->ShowControlBar(&status, FALSE, TRUE);
    EXPECT_TRUE(status.IsWindowVisible());
    frame->RecalcLayout();
    EXPECT_FALSE(status.IsWindowVisible());
    EXPECT_EQ(StatusInParent(*frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM)).bottom, 300);
}

TEST_F(StatusBarTest, APromptFollowsTheMouseOverABarAndGoesWhenItLeaves)
{
    const UINT ids[] = {ID_SEPARATOR};
    ASSERT_TRUE(status.SetIndicators(ids, 1));
    // A bar whose left half is command IDS_CMD_SAVE.
    class CPromptBar : public CFixedBar {
    public:
        INT_PTR OnToolHitTest(CPoint point, TOOLINFO*) const override { return point.x < 60 ? IDS_CMD_SAVE : -1; }
    } prompting;
    ASSERT_TRUE(prompting.Create(frame, CBRS_TOP | CBRS_FLYBY, 0xE821));
    frame->RecalcLayout();
    auto move = [&](int x) {
        MSG msg{prompting.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(x, 5), 0, {}};
        prompting.PreTranslateMessage(&msg);
    };
    move(10);
    EXPECT_EQ(status.GetPaneText(0), "Saves the file");
    move(100);
    EXPECT_EQ(status.GetPaneText(0), "Ready");
    move(20);
    EXPECT_EQ(status.GetPaneText(0), "Saves the file");
    // The mouse went elsewhere without a move over the bar: the timer notices.
    backend->MouseMove(At(pane.m_hWnd, 200, 150));
    backend->ProcessMessages();
    prompting.SendMessage(WM_TIMER, 0xE000);
    EXPECT_EQ(status.GetPaneText(0), "Ready");
    prompting.DestroyWindow();
}
