// Dragging toolkit bars with the mouse: off a side to float, Ctrl forcing a float, a floating
// bar moved under 5 pixels staying put, Escape, the right button and a lost capture cancelling
// with the idle prompt, a double click docking back into the same row and share, and a floating
// frame resized within its limits.
#include "platform/afx/AfxRes.h"
#include "platform/core/ThreadApi.h"
#include "platform/win/VirtualKeys.h"
#include "tests/toolkit/docking/DockingFixture.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECMiniDockFrameWnd.h"
#include "toolkit/frames/SECFrameWnd.h"
#include "toolkit/res/ToolkitRes.h"

#include <string>
#include <vector>

namespace {

// A frame that records the prompts its message bar is asked to show.
class PromptFrame : public SECFrameWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_SETMESSAGESTRING)
            prompts.push_back(static_cast<UINT>(wParam));
        return SECFrameWnd::WindowProc(message, wParam, lParam);
    }
    std::vector<UINT> prompts;
};

class DragTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(frame->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 400)));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        for (UINT i = 0; i < 3; ++i) {
            panes[i] = new SECControlBar;
            panes[i]->m_bAutoDelete = TRUE;
            ASSERT_TRUE(panes[i]->Create(frame, "pane", WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC, 0, 0xE901 + i));
            panes[i]->EnableDocking(CBRS_ALIGN_ANY);
            frame->DockControlBarEx(panes[i], SECDockPos{0, 9, 0}, AFX_IDW_DOCKBAR_TOP, SECDockSize{1.0f, 60, 0});
        }
        panes[0]->m_fPctWidth = 0.5f;
        panes[1]->m_fPctWidth = panes[2]->m_fPctWidth = 0.25f;
        frame->RecalcLayout();
    }
    void TearDown() override
    {
        if (frame->m_hWnd)
            frame->DestroyWindow();
        AfxTest::TearDown();
    }
    // Presses at a bar's client point, runs the moves given, and lets go (or not).
    void Drag(CWnd* wnd, CPoint from, std::vector<CPoint> moves, bool release = true)
    {
        const POINT start = At(wnd->m_hWnd, from.x, from.y);
        POINT last = start;
        for (CPoint m : moves) {
            last = POINT{start.x + m.x, start.y + m.y};
            const POINT p = last;
            backend->WhenIdle([this, p] { backend->MouseMove(p); });
        }
        if (release)
            backend->WhenIdle([this, last] { backend->MouseUp(1, last); });
        backend->MouseDown(1, start);
        backend->ProcessMessages();
        backend->Advance(1000);   // the next press is no double click
    }
    SECDockBar* Top() { return static_cast<SECDockBar*>(frame->GetControlBar(AFX_IDW_DOCKBAR_TOP)); }
    static std::string Rows(const CDockBar* dock) { return ToolkitDockingTest::Rows(dock); }
    static CRect InParent(const CWnd& wnd) { return ToolkitDockingTest::InParent(wnd); }

    PromptFrame* frame = new PromptFrame;
    SECControlBar* panes[3] = {};
};

} // namespace

TEST_F(DragTest, DraggingOffTheSideFloatsAndCtrlAlwaysFloats)
{
    SECControlBar* bar = panes[1];
    Drag(bar, CPoint(20, 20), {CPoint(0, 10), CPoint(100, 200)});
    ASSERT_TRUE(bar->IsFloating()) << "dropped over the pane it floats";
    CFrameWnd* mini = bar->GetParentFrame();
    ASSERT_TRUE(mini->IsKindOf(RUNTIME_CLASS(SECMiniDockFrameWnd)));
    EXPECT_TRUE(mini->IsWindowVisible());
    EXPECT_EQ(bar->m_pDockContext->m_uMRUDockID, static_cast<UINT>(AFX_IDW_DOCKBAR_TOP)) << "it remembers its side";
    EXPECT_NE(std::find(frame->prompts.begin(), frame->prompts.end(), static_cast<UINT>(SEC_IDS_PRESSCTRL)),
              frame->prompts.end());
    EXPECT_EQ(frame->prompts.back(), static_cast<UINT>(AFX_IDS_IDLEMESSAGE));

    // With Ctrl held, dropping onto the top side still floats.
    SECControlBar* other = panes[2];
    backend->KeyDown(VK_CONTROL);
    Drag(other, CPoint(20, 20), {CPoint(0, 100), CPoint(-10, 5)});
    backend->KeyUp(VK_CONTROL);
    EXPECT_TRUE(other->IsFloating());
}

TEST_F(DragTest, AFloatingBarMovedUnderFivePixelsStaysAndEscapeCancels)
{
    SECControlBar* bar = panes[1];
    bar->m_pDockContext->ToggleDocking();
    ASSERT_TRUE(bar->IsFloating());
    CFrameWnd* mini = bar->GetParentFrame();
    CRect before;
    mini->GetWindowRect(&before);
    // Dragged by 2 + 2 pixels onto nothing: it stays floating, where it was.
    Drag(bar, CPoint(10, 10), {CPoint(2, 2)});
    EXPECT_TRUE(bar->IsFloating());
    CRect after;
    bar->GetParentFrame()->GetWindowRect(&after);
    EXPECT_EQ(after.TopLeft(), before.TopLeft());

    // A docked bar dragged away and then Escape: nothing changes, the prompt is "Ready".
    SECControlBar* docked = panes[0];
    const CRect place = InParent(*docked);
    const POINT start = At(docked->m_hWnd, 20, 20);
    backend->WhenIdle([&] { backend->MouseMove(POINT{start.x + 50, start.y + 200}); });
    backend->WhenIdle([&] { backend->Key(VK_ESCAPE); });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    backend->MouseUp(1, POINT{start.x + 50, start.y + 200});
    backend->ProcessMessages();
    EXPECT_FALSE(docked->IsFloating());
    EXPECT_EQ(InParent(*docked), place);
    EXPECT_EQ(frame->prompts.back(), static_cast<UINT>(AFX_IDS_IDLEMESSAGE));
    EXPECT_EQ(::GetCapture(), nullptr);

    // A right click cancels the same way.
    backend->Advance(1000);
    backend->WhenIdle([&] { backend->MouseMove(POINT{start.x + 50, start.y + 200}); });
    backend->WhenIdle([&] { backend->MouseDown(3, POINT{start.x + 50, start.y + 200}); });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    backend->MouseUp(3, POINT{start.x + 50, start.y + 200});
    backend->MouseUp(1, POINT{start.x + 50, start.y + 200});
    backend->ProcessMessages();
    EXPECT_FALSE(docked->IsFloating());
}

TEST_F(DragTest, ADoubleClickFloatsAndDocksBackIntoTheSameRowAndShare)
{
    SECControlBar* bar = panes[0];
    ASSERT_EQ(Rows(Top()), "|123|");
    bar->m_pDockContext->ToggleDocking();
    ASSERT_TRUE(bar->IsFloating());
    EXPECT_EQ(Rows(Top()), "|p123|") << "its place is kept";
    frame->RecalcLayout();
    EXPECT_NEAR(panes[1]->m_fPctWidth + panes[2]->m_fPctWidth, 1.0f, 1e-5f);

    bar->m_pDockContext->ToggleDocking();
    frame->RecalcLayout();
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(Rows(Top()), "|123|") << "back in the place it left";
    EXPECT_NEAR(bar->m_fPctWidth, 0.5f, 1e-5f) << "with the share it had";
    EXPECT_TRUE(bar->IsWindowVisible()) << "shown again by the layout";
}

TEST_F(DragTest, AFloatingFrameIsResizedWithinItsLimits)
{
    SECControlBar* bar = panes[0];
    bar->m_pDockContext->ToggleDocking();
    auto* mini = static_cast<SECMiniDockFrameWnd*>(bar->GetParentFrame());
    auto* context = static_cast<SECDockContext*>(bar->m_pDockContext);
    CRect frameRect;
    mini->GetWindowRect(&frameRect);
    // Dragging the right edge far to the left stops at the smallest floating size.
    const POINT edge{frameRect.right - 1, frameRect.top + frameRect.Height() / 2};
    backend->WhenIdle([&] { backend->MouseMove(POINT{edge.x - 2000, edge.y}); });
    backend->WhenIdle([&] { backend->MouseUp(1, POINT{edge.x - 2000, edge.y}); });
    mini->SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(edge.x, edge.y));
    backend->ProcessMessages();
    CRect after;
    bar->GetParentFrame()->GetWindowRect(&after);
    EXPECT_GE(after.Width(), context->m_sizeMinFloat.cx);
    EXPECT_EQ(after.Width(), frameRect.Width()) << "a width below the minimum keeps the old one";

    // Growing by 40 pixels is taken.
    backend->Advance(1000);
    bar->GetParentFrame()->GetWindowRect(&frameRect);
    const POINT edge2{frameRect.right - 1, frameRect.top + frameRect.Height() / 2};
    backend->WhenIdle([&] { backend->MouseMove(POINT{edge2.x + 40, edge2.y}); });
    backend->WhenIdle([&] { backend->MouseUp(1, POINT{edge2.x + 40, edge2.y}); });
    bar->GetParentFrame()->SendMessage(WM_NCLBUTTONDOWN, HTRIGHT, MAKELPARAM(edge2.x, edge2.y));
    backend->ProcessMessages();
    bar->GetParentFrame()->GetWindowRect(&after);
    EXPECT_EQ(after.Width(), frameRect.Width() + 40);
}

TEST(SECCutTitleTest, ALongTitleIsCutBeforeACharacterThatWouldNotFitWhole)
{
    // 258 ASCII letters and a two-byte character: 260 bytes, the character crossing byte 259.
    CString text(std::string(258, 'a').c_str());
    text += "\xC3\xA9";
    EXPECT_EQ(SECCutTitle(text, 259).GetLength(), 258);
    EXPECT_EQ(SECCutTitle(text, 260), text);
    CString exact(std::string(259, 'b').c_str());
    EXPECT_EQ(SECCutTitle(exact + "c", 259), exact);
}

TEST_F(DragTest, APlaceToDockIsOutlinedSolidAndAFloatingFrameHalfToned)
{
    // The outline is drawn on the screen; what is drawn there reads back from the screen.
    SECControlBar* bar = panes[0];
    auto line = [](const CRect& r) {
        std::string pixels;
        HDC screen = ::GetDC(nullptr);
        for (int x = r.left + 10; x < r.left + 18; ++x)
            pixels += ::GetPixel(screen, x, r.top) ? '#' : '.';
        ::ReleaseDC(nullptr, screen);
        return pixels;
    };
    std::string docked, floating;
    const POINT start = At(bar->m_hWnd, 20, 20);
    // A little to the right, still over the top side: the place it would dock at.
    backend->WhenIdle([&] { backend->MouseMove(POINT{start.x + 40, start.y + 3}); });
    backend->WhenIdle([&] {
        ASSERT_NE(static_cast<SECDockContext*>(bar->m_pDockContext)->m_dwOverDockStyle, 0u) << "over the top side";
        docked = line(bar->m_pDockContext->m_rectLast);
        backend->MouseMove(POINT{start.x + 40, start.y + 250});
    });
    // Far below, over no side: the floating frame.
    backend->WhenIdle([&] {
        EXPECT_EQ(static_cast<SECDockContext*>(bar->m_pDockContext)->m_dwOverDockStyle, 0u) << "over no side";
        floating = line(bar->m_pDockContext->m_rectLast);
        backend->Key(VK_ESCAPE);
    });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    backend->MouseUp(1, POINT{start.x + 40, start.y + 250});
    backend->ProcessMessages();
    EXPECT_EQ(docked, "########") << "solid";
    EXPECT_TRUE(floating == "#.#.#.#." || floating == ".#.#.#.#") << floating;
    // Escape took every outline away again.
    HDC screen = ::GetDC(nullptr);
    const CRect last = bar->m_pDockContext->m_rectLast;
    EXPECT_EQ(::GetPixel(screen, last.left + 10, last.top), 0u);
    ::ReleaseDC(nullptr, screen);
    EXPECT_FALSE(bar->IsFloating());
}

namespace {

HWND g_watched = nullptr;
std::vector<RECT> g_places;   // where the watched window was put, move by move

LRESULT CALLBACK WatchMoves(int code, WPARAM wParam, LPARAM lParam)
{
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call && call->hwnd == g_watched && call->message == WM_WINDOWPOSCHANGED) {
        RECT r;
        ::GetWindowRect(call->hwnd, &r);
        g_places.push_back(r);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

TEST_F(DragTest, AFloatingFrameResizedByItsLeftEdgeKeepsItsOtherEdgesAndMovesOnce)
{
    SECControlBar* bar = panes[0];
    bar->m_pDockContext->ToggleDocking();
    CFrameWnd* mini = bar->GetParentFrame();
    ASSERT_TRUE(mini->IsKindOf(RUNTIME_CLASS(SECMiniDockFrameWnd)));
    CRect before;
    mini->GetWindowRect(&before);
    g_watched = mini->m_hWnd;
    g_places.clear();
    HHOOK hook = ::SetWindowsHookEx(WH_CALLWNDPROC, &WatchMoves, nullptr, ::GetCurrentThreadId());
    const POINT edge{before.left, before.top + before.Height() / 2};
    backend->WhenIdle([&] { backend->MouseMove(POINT{edge.x - 40, edge.y}); });
    backend->WhenIdle([&] { backend->MouseUp(1, POINT{edge.x - 40, edge.y}); });
    mini->SendMessage(WM_NCLBUTTONDOWN, HTLEFT, MAKELPARAM(edge.x, edge.y));
    backend->ProcessMessages();
    ::UnhookWindowsHookEx(hook);
    g_watched = nullptr;
    CRect after;
    bar->GetParentFrame()->GetWindowRect(&after);
    EXPECT_EQ(after.left, before.left - 40) << "the left edge went where it was dragged";
    EXPECT_EQ(after.right, before.right) << "the right edge stayed";
    EXPECT_EQ(after.top, before.top) << "and so did the top";
    EXPECT_EQ(after.bottom, before.bottom);
    // No step in between shows the frame at its new place with its old size.
    for (const RECT& r : g_places)
        EXPECT_FALSE(r.left == after.left && r.right - r.left == before.Width())
            << "a move showed the old size at the new place";
}
