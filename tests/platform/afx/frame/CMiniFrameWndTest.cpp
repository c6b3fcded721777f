// Mini frames: the tool-window caption and the borders CalcBorders reports, the edges that size
// without corners or move, a blocked system menu, and a caption kept active with its owner.
#include "platform/afx/frame/CMiniFrameWnd.h"
#include "platform/afx/AfxMessages.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/MenuDriver.h"

#include <cairo.h>

#include <memory>

namespace {

class CMiniFrameWndTest : public AfxTest {
protected:
    std::unique_ptr<CMiniFrameWnd> Make(DWORD mfs, int x = 60, int y = 60)
    {
        auto frame = std::make_unique<CMiniFrameWnd>();
        EXPECT_TRUE(frame->Create(nullptr, "Palette", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | mfs,
                                  CRect(x, y, x + 160, y + 120), top.get()));
        backend->ProcessMessages();
        return frame;
    }
    // A pixel in the caption, left of its text, as 0x00RRGGBB.
    uint32_t CaptionPixel(CWnd& frame)
    {
        ::RedrawWindow(frame.m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        cairo_surface_t* s = backend->Capture(frame.m_hWnd);
        if (!s)
            return 0xFFFFFFFF;
        cairo_surface_flush(s);
        // The caption lies right above the client area.
        CRect window;
        frame.GetWindowRect(&window);
        POINT origin{0, 0};
        ::ClientToScreen(frame.m_hWnd, &origin);
        const int x = origin.x - window.left + 1;
        const int y = origin.y - window.top - GetSystemMetrics(SM_CYSMCAPTION) + 2;
        const auto* row = cairo_image_surface_get_data(s) + static_cast<size_t>(y) * cairo_image_surface_get_stride(s);
        const uint32_t value = reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
        cairo_surface_destroy(s);
        return value;
    }
    static uint32_t ColorOf(int index)
    {
        const COLORREF c = GetSysColor(index);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    static LRESULT HitAt(CWnd& frame, int x, int y)
    {
        CRect r;
        frame.GetWindowRect(&r);
        return ::SendMessage(frame.m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(r.left + x, r.top + y));
    }
};

TEST_F(CMiniFrameWndTest, HasASmallCaptionAndTheBordersCalcBordersReports)
{
    auto frame = Make(MFS_THICKFRAME);
    EXPECT_TRUE(frame->GetStyle() & WS_THICKFRAME);
    EXPECT_TRUE(frame->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(frame->GetExStyle() & WS_EX_CLIENTEDGE);
    EXPECT_EQ(::GetWindow(frame->m_hWnd, GW_OWNER), top->m_hWnd);
    CRect window, client;
    frame->GetWindowRect(&window);
    frame->GetClientRect(&client);
    EXPECT_EQ(window.Height() - client.Height(), GetSystemMetrics(SM_CYSMCAPTION) + 2 * GetSystemMetrics(SM_CYFRAME));
    // What a bar computes for a captioned, thick-framed mini frame around a client rectangle.
    CRect calc(0, 0, client.Width(), client.Height());
    CMiniFrameWnd::CalcBorders(&calc, WS_CAPTION | WS_THICKFRAME);
    EXPECT_EQ(calc.Size(), window.Size());
    CRect viaMfs(0, 0, client.Width(), client.Height());
    CMiniFrameWnd::CalcBorders(&viaMfs, WS_CAPTION | MFS_THICKFRAME);
    EXPECT_EQ(viaMfs, calc);
    CMiniFrameWnd::CalcBorders(nullptr, WS_CAPTION);   // nothing to do, nothing done
}

TEST_F(CMiniFrameWndTest, EdgesSizeWithoutCornersOrMoveTheFrame)
{
    const int corner = 2;   // inside the frame's corner
    auto plain = Make(MFS_THICKFRAME);
    EXPECT_EQ(HitAt(*plain, corner, corner), HTTOPLEFT);
    auto four = Make(MFS_4THICKFRAME);
    EXPECT_EQ(HitAt(*four, corner, corner), HTTOP);
    EXPECT_EQ(HitAt(*four, 159 - corner, 119 - corner), HTBOTTOM);
    EXPECT_EQ(HitAt(*four, corner, 60), HTLEFT);
    EXPECT_EQ(HitAt(*four, corner, 10), HTLEFT) << "the edge decides, not the reach of a corner";
    auto moving = Make(MFS_MOVEFRAME);
    EXPECT_EQ(HitAt(*moving, corner, 60), HTCAPTION);
    EXPECT_EQ(HitAt(*moving, 80, 60), HTCLIENT);
    // Dragging the edge of a moving frame moves it, its size kept.
    CRect before;
    moving->GetWindowRect(&before);
    backend->MouseMove(POINT{before.left + corner, before.top + 60});
    backend->WhenIdle([&] { backend->MouseMove(POINT{before.left + corner + 30, before.top + 70}); });
    backend->WhenIdle([&] { backend->MouseUp(1, POINT{before.left + corner + 30, before.top + 70}); });
    backend->MouseDown(1, POINT{before.left + corner, before.top + 60});
    backend->ProcessMessages();
    CRect after;
    moving->GetWindowRect(&after);
    EXPECT_EQ(after.left - before.left, 30);
    EXPECT_EQ(after.top - before.top, 10);
    EXPECT_EQ(after.Size(), before.Size());
}

TEST_F(CMiniFrameWndTest, BlockedSystemMenuDoesNotOpen)
{
    // A menu that opens is seen and closed at the next idle turn, so nothing waits forever.
    bool opened = false;
    auto watch = [&] {
        backend->WhenIdle([&] {
            opened = !MenuDriver::OpenMenus().empty();
            EndMenu();
        });
    };
    auto open = Make(0);
    watch();
    ::SendMessage(open->m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    EXPECT_TRUE(opened) << "without the block the system menu opens";
    opened = false;
    auto blocked = Make(MFS_BLOCKSYSMENU);
    ::SendMessage(blocked->m_hWnd, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    CRect r;
    blocked->GetWindowRect(&r);
    ::SendMessage(blocked->m_hWnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(blocked->m_hWnd),
                  MAKELPARAM(r.left + 40, r.top + 5));
    EXPECT_FALSE(opened);
    EXPECT_TRUE(MenuDriver::OpenMenus().empty());
}

TEST_F(CMiniFrameWndTest, SyncedCaptionStaysActiveWithItsOwner)
{
    auto synced = Make(MFS_SYNCACTIVE);
    auto plain = Make(0, 240, 60);
    // Each palette active in turn, then the owner takes the activation back: the synced
    // palette keeps its active caption, the other one does not.
    ::SetActiveWindow(plain->m_hWnd);
    ::SetActiveWindow(top->m_hWnd);
    ::SetActiveWindow(synced->m_hWnd);
    ::SetActiveWindow(top->m_hWnd);
    backend->ProcessMessages();
    EXPECT_EQ(::GetActiveWindow(), top->m_hWnd);
    EXPECT_EQ(CaptionPixel(*synced), ColorOf(COLOR_ACTIVECAPTION));
    EXPECT_EQ(CaptionPixel(*plain), ColorOf(COLOR_INACTIVECAPTION));
    // The owner's own deactivation reaches it through the floating-status protocol.
    ::SendMessage(synced->m_hWnd, WM_FLOATSTATUS, FS_DEACTIVATE, 0);
    EXPECT_EQ(CaptionPixel(*synced), ColorOf(COLOR_INACTIVECAPTION));
    ::SendMessage(synced->m_hWnd, WM_FLOATSTATUS, FS_ACTIVATE, 0);
    EXPECT_EQ(CaptionPixel(*synced), ColorOf(COLOR_ACTIVECAPTION));
    // Answered through the floating-status protocol as well.
    EXPECT_TRUE(::SendMessage(synced->m_hWnd, WM_FLOATSTATUS, FS_SYNCACTIVE, 0));
    EXPECT_FALSE(::SendMessage(plain->m_hWnd, WM_FLOATSTATUS, FS_SYNCACTIVE, 0));
    ::SendMessage(synced->m_hWnd, WM_FLOATSTATUS, FS_HIDE, 0);
    EXPECT_FALSE(synced->IsWindowVisible());
    ::SendMessage(synced->m_hWnd, WM_FLOATSTATUS, FS_SHOW, 0);
    EXPECT_TRUE(synced->IsWindowVisible());
}

} // namespace
