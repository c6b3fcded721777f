// Caption buttons on windows of the headless backend: their places for each kind of frame,
// the press-leave-return-release sequence, a grayed close swallowing the click, and the hold
// action at once (interval 0) or after 400 ms.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/win/MenuApi.h"
#include "tests/platform/afx/AfxFixture.h"
#include "toolkit/caption/SECCaptionMsgFilter.h"

namespace {

class SECCaptionMsgFilterTest : public AfxTest {
protected:
    void Make(DWORD style, DWORD exStyle = 0)
    {
        ASSERT_TRUE(frame.CreateEx(exStyle, nullptr, "Frame", style | WS_VISIBLE, 50, 50, 300, 200, nullptr, nullptr));
        root = std::make_unique<SECMsgFilter>(&frame);
        list = new SECCaptionControlListMsgFilter(&frame, 256);
        root->AddChild(list);
        Layout();
    }
    void Layout()
    {
        LRESULT r = 0;
        root->FilterMessage(WM_NCPAINT, 0, 0, &r);
    }
    SECCaptionControlMsgFilter* Button(UINT key)
    {
        return static_cast<SECCaptionControlMsgFilter*>(list->FindFilter(key));
    }
    // A point in the middle of a button, in screen coordinates.
    POINT Centre(UINT key)
    {
        CRect window;
        frame.GetWindowRect(&window);
        CPoint c = Button(key)->m_rect.CenterPoint();
        return POINT{window.left + c.x, window.top + c.y};
    }
    LRESULT Send(UINT msg, WPARAM wParam, POINT screen, bool client = false)
    {
        if (client)
            ::ScreenToClient(frame.m_hWnd, &screen);
        LRESULT r = 0;
        return root->FilterMessage(msg, wParam, MAKELPARAM(screen.x, screen.y), &r);
    }
    std::vector<MSG> Posted()
    {
        std::vector<MSG> out;
        MSG msg;
        while (::PeekMessage(&msg, frame.m_hWnd, WM_SYSCOMMAND, WM_SYSCOMMAND, PM_REMOVE))
            out.push_back(msg);
        return out;
    }
    void TearDown() override
    {
        frame.DestroyWindow();
        AfxTest::TearDown();
    }

    CWnd frame;
    std::unique_ptr<SECMsgFilter> root;
    SECCaptionControlListMsgFilter* list = nullptr;
};

}   // namespace

TEST_F(SECCaptionMsgFilterTest, ButtonsTakeTheirPlacesFromTheRightForEachKindOfFrame)
{
    Make(WS_OVERLAPPEDWINDOW);
    const CSize size(::GetSystemMetrics(SM_CXSIZE) - 2, ::GetSystemMetrics(SM_CYSIZE) - 4);
    const CRect caption = list->GetCaptionRect();
    const CRect close = Button(SEC_CAPBTN_CLOSE)->m_rect;
    EXPECT_EQ(close, CRect(caption.right - size.cx - 2, caption.top + 2, caption.right - 2, caption.top + 2 + size.cy));
    EXPECT_EQ(Button(SEC_CAPBTN_MAX)->m_rect.right, close.left - 2);   // a gap after close only
    EXPECT_EQ(Button(SEC_CAPBTN_MIN)->m_rect.right, Button(SEC_CAPBTN_MAX)->m_rect.left);
    EXPECT_TRUE(Button(SEC_CAPBTN_RESTORE)->m_rect.IsRectEmpty());
    EXPECT_TRUE(Button(SEC_CAPBTN_HELP)->m_rect.IsRectEmpty());

    frame.ShowWindow(SW_MAXIMIZE);
    Layout();
    EXPECT_TRUE(Button(SEC_CAPBTN_MAX)->m_rect.IsRectEmpty());
    EXPECT_EQ(Button(SEC_CAPBTN_RESTORE)->m_rect.right, Button(SEC_CAPBTN_CLOSE)->m_rect.left - 2);
    EXPECT_FALSE(Button(SEC_CAPBTN_MIN)->m_rect.IsRectEmpty());
}

TEST_F(SECCaptionMsgFilterTest, ToolWindowsHelpButtonsAndFramesWithoutASystemMenu)
{
    Make(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_TOOLWINDOW);
    const CSize small(::GetSystemMetrics(SM_CXSMSIZE) - 2, ::GetSystemMetrics(SM_CYSMSIZE) - 4);
    EXPECT_EQ(Button(SEC_CAPBTN_CLOSE)->m_rect.Size(), small);
    for (UINT key : {SEC_CAPBTN_MIN, SEC_CAPBTN_MAX, SEC_CAPBTN_RESTORE, SEC_CAPBTN_HELP})
        EXPECT_TRUE(Button(key)->m_rect.IsRectEmpty()) << key;
    frame.DestroyWindow();

    Make(WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_CONTEXTHELP);
    EXPECT_EQ(Button(SEC_CAPBTN_HELP)->m_rect.right, Button(SEC_CAPBTN_CLOSE)->m_rect.left - 2);
    frame.DestroyWindow();

    Make(WS_POPUP | WS_CAPTION);
    for (UINT key : {SEC_CAPBTN_CLOSE, SEC_CAPBTN_MIN, SEC_CAPBTN_MAX, SEC_CAPBTN_RESTORE, SEC_CAPBTN_HELP})
        EXPECT_TRUE(Button(key)->m_rect.IsRectEmpty()) << key;
}

TEST_F(SECCaptionMsgFilterTest, PressLeaveReturnAndReleaseCommandsOnlyOverTheButton)
{
    Make(WS_OVERLAPPEDWINDOW);
    SECCaptionControlMsgFilter* close = Button(SEC_CAPBTN_CLOSE);
    const POINT over = Centre(SEC_CAPBTN_CLOSE);
    const POINT away{over.x - 100, over.y + 80};
    EXPECT_EQ(Send(WM_NCLBUTTONDOWN, HTCAPTION, over), 0x7);
    EXPECT_TRUE(close->IsTracking());
    EXPECT_TRUE(close->m_nState & DFCS_PUSHED);
    EXPECT_EQ(::GetCapture(), frame.m_hWnd);
    Send(WM_MOUSEMOVE, 0, away, true);
    EXPECT_FALSE(close->m_nState & DFCS_PUSHED);
    Send(WM_MOUSEMOVE, 0, over, true);
    EXPECT_TRUE(close->m_nState & DFCS_PUSHED);
    Send(WM_MOUSEMOVE, 0, away, true);
    Send(WM_LBUTTONUP, 0, away, true);
    EXPECT_FALSE(close->IsTracking());
    EXPECT_TRUE(Posted().empty());   // released off the button: nothing

    Send(WM_NCLBUTTONDOWN, HTCAPTION, over);
    Send(WM_LBUTTONUP, 0, over, true);
    const std::vector<MSG> posted = Posted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].wParam, WPARAM(SC_CLOSE));
    EXPECT_EQ(::GetCapture(), nullptr);

    // Grayed in the system menu: drawn inactive, the click swallowed, nothing sent.
    ::EnableMenuItem(::GetSystemMenu(frame.m_hWnd, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    Layout();
    EXPECT_TRUE(close->m_nState & DFCS_INACTIVE);
    EXPECT_EQ(Send(WM_NCLBUTTONDOWN, HTCAPTION, over), 0x7);
    EXPECT_FALSE(close->IsTracking());
    Send(WM_LBUTTONUP, 0, over, true);
    EXPECT_TRUE(Posted().empty());
    // A click elsewhere on the caption is not a button's.
    EXPECT_EQ(Send(WM_NCLBUTTONDOWN, HTCAPTION, POINT{over.x - 200, over.y}), 0);
}

namespace {

// A button that records its held action instead of sending a command.
class HoldButton : public SECCaptionControlMsgFilter {
public:
    using SECCaptionControlMsgFilter::SECCaptionControlMsgFilter;
    void SendCommand(int nKind, int, int) override { kinds.push_back(nKind); }
    BOOL IsVisible(BOOL* pDisabled) const override
    {
        if (pDisabled)
            *pDisabled = FALSE;
        return TRUE;
    }
    std::vector<int> kinds;
};

}   // namespace

TEST_F(SECCaptionMsgFilterTest, AHeldButtonActsAtOnceOrAfterItsInterval)
{
    Make(WS_OVERLAPPEDWINDOW);
    auto* hold = new HoldButton(&frame, SEC_CAPBTN_FIRSTCUSTOM + 1);
    list->AddChild(hold);
    Layout();
    const POINT over = Centre(SEC_CAPBTN_FIRSTCUSTOM + 1);

    hold->m_nTimerInterval = 0;
    Send(WM_NCLBUTTONDOWN, HTCAPTION, over);
    EXPECT_EQ(hold->kinds, (std::vector<int>{2}));   // at once, on the press
    EXPECT_FALSE(hold->IsTracking());
    Send(WM_LBUTTONUP, 0, over, true);
    EXPECT_EQ(hold->kinds, (std::vector<int>{2}));   // never on the release

    hold->kinds.clear();
    hold->m_nTimerInterval = 400;
    Send(WM_NCLBUTTONDOWN, HTCAPTION, over);
    EXPECT_TRUE(hold->IsTimerRunning());
    backend->Advance(300);
    EXPECT_TRUE(hold->kinds.empty());
    backend->Advance(200);
    EXPECT_EQ(hold->kinds, (std::vector<int>{2}));
    EXPECT_FALSE(hold->IsTimerRunning());

    // Released before the interval: a click, no held action.
    hold->kinds.clear();
    Send(WM_NCLBUTTONDOWN, HTCAPTION, over);
    backend->Advance(100);
    Send(WM_LBUTTONUP, 0, over, true);
    backend->Advance(600);
    EXPECT_EQ(hold->kinds, (std::vector<int>{0}));
}
