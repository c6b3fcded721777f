// Tool bars from a TOOLBAR resource and its bitmap strip: buttons in a row, along a side and
// wrapped when floating, a click that sends the command to the owner (and none when let go
// elsewhere), idle updates that gray and check buttons, tool hits; and a dialog bar made from a
// template, without its caption, hidden when made so, its controls updated by the frame.
#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CDialogBar.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/bars/CToolBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/platform/afx/data/BarIds.h"

#include <vector>

namespace {

class CCommandFrame : public CFrameWnd {
public:
    std::vector<UINT> commands;
    BOOL findEnabled = TRUE;
    BOOL OnAnyCommand(UINT nID)
    {
        commands.push_back(nID);
        return TRUE;
    }
    void OnUpdateFind(CCmdUI* pCmdUI) { pCmdUI->Enable(findEnabled); }
    void OnUpdateSave(CCmdUI* pCmdUI) { pCmdUI->SetCheck(1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCommandFrame, CFrameWnd)
    ON_COMMAND_EX(IDS_CMD_OPEN, &CCommandFrame::OnAnyCommand)
    ON_COMMAND_EX(IDS_CMD_SAVE, &CCommandFrame::OnAnyCommand)
    ON_COMMAND_EX(ID_CMD_FIND, &CCommandFrame::OnAnyCommand)
    ON_UPDATE_COMMAND_UI(ID_CMD_FIND, &CCommandFrame::OnUpdateFind)
    ON_UPDATE_COMMAND_UI(IDS_CMD_SAVE, &CCommandFrame::OnUpdateSave)
END_MESSAGE_MAP()

class ToolBarTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(toolbar.CreateEx(frame, TBSTYLE_FLAT, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_TOOLTIPS | CBRS_FLYBY));
        ASSERT_TRUE(toolbar.LoadToolBar(IDR_MAINBAR));
        toolbar.EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(&toolbar);
        frame->RecalcLayout();
    }
    void TearDown() override
    {
        toolbar.DestroyWindow();
        dialogBar.DestroyWindow();
        frame->DestroyWindow();
        AfxTest::TearDown();
    }
    CCommandFrame* frame = new CCommandFrame;
    CToolBar toolbar;
    CDialogBar dialogBar;
};

} // namespace

TEST_F(ToolBarTest, ButtonsComeFromTheResourceAndLayOutForTheirSide)
{
    ASSERT_EQ(toolbar.GetButtonCount(), 4);
    EXPECT_EQ(toolbar.CommandToIndex(ID_CMD_FIND), 3);
    EXPECT_EQ(toolbar.GetItemID(2), 0u);
    UINT id = 0, style = 0;
    int image = 0;
    toolbar.GetButtonInfo(3, id, style, image);
    EXPECT_EQ(image, 2) << "images are numbered past the separator";
    EXPECT_EQ(toolbar.m_sizeImage, CSize(16, 15));
    EXPECT_EQ(toolbar.m_sizeButton, CSize(23, 22));
    ASSERT_NE(toolbar.m_hbmImageWell, nullptr);

    // Docked at the top: one row, the separator a gap of 8.
    CRect first, third, last;
    toolbar.GetItemRect(0, &first);
    toolbar.GetItemRect(2, &third);
    toolbar.GetItemRect(3, &last);
    EXPECT_EQ(first.Size(), CSize(23, 22));
    EXPECT_EQ(third.Width(), 8);
    EXPECT_EQ(last.left, first.left + 23 * 2 + 8);
    EXPECT_EQ(last.top, first.top);
    const CSize horz = toolbar.CalcFixedLayout(FALSE, TRUE);
    const CSize vert = toolbar.CalcFixedLayout(FALSE, FALSE);
    EXPECT_EQ(horz.cx - vert.cy, 23 - 22) << "a side turns the bar round";

    // Along the left side: one under the other.
    frame->DockControlBar(&toolbar, AFX_IDW_DOCKBAR_LEFT);
    frame->RecalcLayout();
    toolbar.GetItemRect(0, &first);
    toolbar.GetItemRect(3, &last);
    EXPECT_EQ(last.left, first.left);
    EXPECT_EQ(last.top, first.top + 22 * 2 + 8);
    EXPECT_TRUE(toolbar.GetButtonStyle(0) & TBBS_WRAPPED);

    // Floating at a width of two buttons: two rows, the separator dropped at the break.
    toolbar.CalcDynamicLayout(2 * 23 + 8 + 8, LM_HORZ | LM_COMMIT);
    frame->FloatControlBar(&toolbar, CPoint(100, 100));
    ASSERT_TRUE(toolbar.IsFloating());
    toolbar.GetItemRect(0, &first);
    toolbar.GetItemRect(3, &last);
    EXPECT_EQ(last.left, first.left);
    EXPECT_EQ(last.top, first.top + 22);
}

TEST_F(ToolBarTest, AFloatingBarThatChangesShapeIsResizedByItsFrameEdge)
{
    toolbar.SetBarStyle(toolbar.GetBarStyle() | CBRS_SIZE_DYNAMIC);
    frame->FloatControlBar(&toolbar, CPoint(100, 100));
    CFrameWnd* mini = toolbar.GetParentFrame();
    ASSERT_TRUE(toolbar.IsFloating());
    CRect before, client;
    mini->GetWindowRect(&before);
    mini->GetClientRect(&client);
    const CSize oneRow = toolbar.CalcDynamicLayout(-1, LM_HORZ | LM_MRUWIDTH);
    EXPECT_EQ(client.Size(), oneRow) << "the frame snaps to the bar";

    // The right edge dragged in past the last button: the bar wraps into two rows, and the
    // frame takes the bar's new size with its left edge where it was.
    const POINT edge{before.right - 2, before.top + before.Height() / 2};
    const POINT in{edge.x - 30, edge.y};
    backend->WhenIdle([&] { backend->MouseMove(in); });
    backend->WhenIdle([&] { backend->MouseUp(1, in); });
    backend->MouseDown(1, edge);
    backend->ProcessMessages();
    EXPECT_EQ(::GetCapture(), nullptr);
    ASSERT_TRUE(toolbar.IsFloating());
    CRect after, first, last;
    mini->GetWindowRect(&after);
    mini->GetClientRect(&client);
    EXPECT_EQ(after.TopLeft(), before.TopLeft());
    EXPECT_LT(after.Width(), before.Width());
    EXPECT_EQ(client.Height(), oneRow.cy + 22);
    toolbar.GetItemRect(0, &first);
    toolbar.GetItemRect(3, &last);
    EXPECT_EQ(last.top, first.top + 22) << "the last button moved to a second row";
    EXPECT_EQ(static_cast<int>(toolbar.m_nMRUWidth), client.Width()) << "the width is kept for the next float";
}

TEST_F(ToolBarTest, AClickSendsTheCommandAndIdleUpdatesGrayAndCheck)
{
    CRect open;
    toolbar.GetItemRect(0, &open);
    backend->Click(1, At(toolbar.m_hWnd, open.left + 5, open.top + 5));
    backend->ProcessMessages();
    ASSERT_EQ(frame->commands.size(), 1u);
    EXPECT_EQ(frame->commands[0], static_cast<UINT>(IDS_CMD_OPEN));

    // Pressed, then let go off the button: nothing is sent.
    backend->Advance(1000);
    backend->MouseDown(1, At(toolbar.m_hWnd, open.left + 5, open.top + 5));
    backend->ProcessMessages();
    EXPECT_TRUE(toolbar.GetButtonStyle(0) & TBBS_PRESSED);
    backend->MouseMove(At(toolbar.m_hWnd, open.left + 5, open.top + 100));
    backend->MouseUp(1, At(toolbar.m_hWnd, open.left + 5, open.top + 100));
    backend->ProcessMessages();
    EXPECT_EQ(frame->commands.size(), 1u);
    EXPECT_FALSE(toolbar.GetButtonStyle(0) & TBBS_PRESSED);

    frame->findEnabled = FALSE;
    toolbar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(toolbar.GetButtonStyle(3) & TBBS_DISABLED);
    EXPECT_TRUE(toolbar.GetButtonStyle(1) & TBBS_CHECKED);
    EXPECT_FALSE(toolbar.GetButtonStyle(0) & TBBS_DISABLED);
    CRect find;
    toolbar.GetItemRect(3, &find);
    backend->Advance(1000);
    backend->Click(1, At(toolbar.m_hWnd, find.left + 5, find.top + 5));
    backend->ProcessMessages();
    EXPECT_EQ(frame->commands.size(), 1u) << "a gray button sends nothing";

    // Tool hits name the command; a separator is no tool.
    EXPECT_EQ(toolbar.OnToolHitTest(find.CenterPoint(), nullptr), ID_CMD_FIND);
    CRect gap;
    toolbar.GetItemRect(2, &gap);
    EXPECT_EQ(toolbar.OnToolHitTest(gap.CenterPoint(), nullptr), -1);
}

TEST_F(ToolBarTest, ABarInADialogTakesItsSliceAndSendsItsCommandsThere)
{
    // A dialog's own bar: made from a bitmap and a list of slots, tips and prompts asked for
    // after it was made, placed by the dialog above its controls.
    class CHost : public CWnd {
    public:
        std::vector<UINT> commands;
        BOOL OnCommand(WPARAM wParam, LPARAM) override
        {
            commands.push_back(LOWORD(wParam));
            return TRUE;
        }
    } host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "Settings", WS_POPUP | WS_CAPTION | WS_VISIBLE, CRect(50, 50, 350, 250),
                              frame, 0));
    CToolBar bar;
    ASSERT_TRUE(bar.Create(&host, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM, AFX_IDW_TOOLBAR));
    ASSERT_TRUE(bar.LoadBitmap(IDR_MAINBAR));
    const UINT slots[] = {IDS_CMD_OPEN, IDS_CMD_SAVE, ID_SEPARATOR, ID_CMD_FIND};
    ASSERT_TRUE(bar.SetButtons(slots, 4));
    bar.SetBarStyle(bar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    EXPECT_TRUE(bar.m_nFlags & WF_TOOLTIPS) << "tips asked for late still come";
    EXPECT_EQ(bar.m_pDockSite, nullptr) << "a dialog is no dock site";

    CRect free;
    host.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0, CWnd::reposQuery, &free);
    CRect client;
    host.GetClientRect(&client);
    const int height = bar.CalcFixedLayout(FALSE, TRUE).cy;
    EXPECT_EQ(free, CRect(0, height, client.right, client.bottom)) << "the controls go below the bar";
    host.RepositionBars(AFX_IDW_CONTROLBAR_FIRST, AFX_IDW_CONTROLBAR_LAST, 0);
    CRect placed;
    bar.GetWindowRect(&placed);
    host.ScreenToClient(&placed);
    EXPECT_EQ(placed, CRect(0, 0, client.right, height));

    CRect save;
    bar.GetItemRect(1, &save);
    backend->Click(1, At(bar.m_hWnd, save.left + 5, save.top + 5));
    backend->ProcessMessages();
    EXPECT_EQ(host.commands, std::vector<UINT>{IDS_CMD_SAVE});
    EXPECT_TRUE(frame->commands.empty()) << "the dialog's commands are its own";
    // A press beside the buttons drags nothing: the bar is docked nowhere.
    backend->Advance(1000);
    backend->Click(1, At(bar.m_hWnd, placed.right - 5, 5));
    backend->ProcessMessages();
    EXPECT_EQ(::GetCapture(), nullptr);
    bar.DestroyWindow();
    host.DestroyWindow();
}

TEST_F(ToolBarTest, ADialogBarTakesItsTemplateWithoutCaption)
{
    ASSERT_TRUE(dialogBar.Create(frame, IDD_FINDBAR, CBRS_BOTTOM, 0xE830));
    EXPECT_FALSE(dialogBar.IsWindowVisible()) << "made without WS_VISIBLE it stays hidden";
    EXPECT_FALSE(dialogBar.GetStyle() & WS_CAPTION);
    EXPECT_EQ(dialogBar.GetDlgCtrlID(), 0xE830);
    CRect rect;
    dialogBar.GetWindowRect(&rect);
    EXPECT_EQ(dialogBar.m_sizeDefault, rect.Size());
    EXPECT_EQ(dialogBar.CalcFixedLayout(TRUE, TRUE), CSize(32767, rect.Height()));
    ASSERT_NE(dialogBar.GetDlgItem(IDC_FIND_TEXT), nullptr);
    EXPECT_EQ(frame->GetControlBar(0xE830), &dialogBar);

    frame->findEnabled = FALSE;
    dialogBar.ShowWindow(SW_SHOW);
    dialogBar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_FALSE(dialogBar.GetDlgItem(ID_CMD_FIND)->IsWindowEnabled());
    frame->findEnabled = TRUE;
    dialogBar.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(dialogBar.GetDlgItem(ID_CMD_FIND)->IsWindowEnabled());

    frame->RecalcLayout();
    CRect inFrame = rect;
    dialogBar.GetWindowRect(&inFrame);
    frame->ScreenToClient(&inFrame);
    EXPECT_EQ(inFrame, CRect(0, 300 - rect.Height(), 500, 300)) << "it stretches along the bottom";
}
