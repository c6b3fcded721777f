// RedrawWindow's erase-now and frame flags, device contexts clipped by the update region, and
// the computer-based-training hook codes around minimising, maximising and system commands.
#include "platform/win/WindowTestSupport.h"

#include "platform/core/ThreadApi.h"
#include "platform/win/Gdi.h"

namespace {

class Redraw : public WindowTest {
protected:
    void FillThrough(HDC dc, const RECT& r, COLORREF color)
    {
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
    }
};

TEST_F(Redraw, EraseNowSendsFrameAndBackgroundButLeavesThePaint)
{
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150);
    Pump();
    MessageLog::Get().Clear();
    ASSERT_TRUE(RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ERASENOW));
    EXPECT_EQ(MessageLog::Get().Messages(hwnd, {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}),
              (std::vector<UINT>{WM_NCPAINT, WM_ERASEBKGND}));
    RECT r;
    EXPECT_TRUE(GetUpdateRect(hwnd, &r, FALSE)) << "the paint itself comes at the ordinary time";
    MessageLog::Get().Clear();
    Pump();
    EXPECT_EQ(MessageLog::Get().Messages(hwnd, {WM_NCPAINT, WM_ERASEBKGND, WM_PAINT}),
              (std::vector<UINT>{WM_PAINT}));
}

TEST_F(Redraw, FrameFlagAloneRepaintsOnlyTheFrame)
{
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150);
    Pump();
    MessageLog::Get().Clear();
    RECT none{0, 0, 0, 0};
    RedrawWindow(hwnd, &none, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_NCPAINT), 1u);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_ERASEBKGND), 0u);
}

TEST_F(Redraw, ValidateWithNoFrameDropsThePendingFramePaint)
{
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150);
    Pump();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
    RECT part{0, 0, 10, 10};
    RedrawWindow(hwnd, &part, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    MessageLog::Get().Clear();
    Pump();
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_NCPAINT), 0u);
    EXPECT_EQ(MessageLog::Get().Count(hwnd, WM_PAINT), 1u) << "the rest of the client area";
}

TEST_F(Redraw, DcClippedToTheUpdateRegion)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    Pump();
    RECT part{10, 10, 20, 20};
    InvalidateRect(hwnd, &part, FALSE);
    HDC dc = GetDCEx(hwnd, nullptr, DCX_INTERSECTUPDATE | DCX_VALIDATE);
    ASSERT_NE(dc, nullptr);
    FillThrough(dc, RECT{0, 0, 100, 100}, RGB(255, 0, 0));
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(Pixel(hwnd, 15, 15), 0xFF0000u);
    EXPECT_NE(Pixel(hwnd, 50, 50), 0xFF0000u);
    RECT r;
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE)) << "DCX_VALIDATE took the update region";

    InvalidateRect(hwnd, &part, FALSE);
    dc = GetDCEx(hwnd, nullptr, DCX_EXCLUDEUPDATE);
    ASSERT_NE(dc, nullptr);
    FillThrough(dc, RECT{0, 0, 100, 100}, RGB(0, 0, 255));
    ReleaseDC(hwnd, dc);
    EXPECT_EQ(Pixel(hwnd, 15, 15), 0xFF0000u);
    EXPECT_EQ(Pixel(hwnd, 50, 50), 0x0000FFu);
    EXPECT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
}

struct CbtCall {
    int code;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<CbtCall> g_redrawCbt;
bool g_refuse = false;
HHOOK g_redrawHook = nullptr;

LRESULT CALLBACK CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_MINMAX || code == HCBT_SYSCOMMAND || code == HCBT_MOVESIZE) {
        g_redrawCbt.push_back(CbtCall{code, wParam, lParam});
        if (g_refuse)
            return 1;
    }
    return CallNextHookEx(g_redrawHook, code, wParam, lParam);
}

class CbtCodes : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        g_redrawCbt.clear();
        g_refuse = false;
        g_redrawHook = SetWindowsHookEx(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
        ASSERT_NE(g_redrawHook, nullptr);
    }
    void TearDown() override
    {
        UnhookWindowsHookEx(g_redrawHook);
        g_redrawHook = nullptr;
        WindowTest::TearDown();
    }
};

TEST_F(CbtCodes, MinMaxIsAskedFirstAndCanBeRefused)
{
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150);
    g_refuse = true;
    ShowWindow(hwnd, SW_MAXIMIZE);
    ASSERT_EQ(g_redrawCbt.size(), 1u);
    EXPECT_EQ(g_redrawCbt[0].code, HCBT_MINMAX);
    EXPECT_EQ(g_redrawCbt[0].wParam, reinterpret_cast<WPARAM>(hwnd));
    EXPECT_EQ(LOWORD(g_redrawCbt[0].lParam), SW_MAXIMIZE);
    EXPECT_FALSE(IsZoomed(hwnd));
    g_refuse = false;
    ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(hwnd));
    ShowWindow(hwnd, SW_RESTORE);
    ASSERT_EQ(g_redrawCbt.size(), 3u);
    EXPECT_EQ(LOWORD(g_redrawCbt[2].lParam), SW_RESTORE);
    // Plain showing and hiding are no minimise or maximise.
    ShowWindow(hwnd, SW_HIDE);
    ShowWindow(hwnd, SW_SHOW);
    EXPECT_EQ(g_redrawCbt.size(), 3u);
}

TEST_F(CbtCodes, SystemCommandsAreAskedBeforeDefWindowProcCarriesThemOut)
{
    HWND hwnd = Create(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 150);
    g_refuse = true;
    SendMessage(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    ASSERT_FALSE(g_redrawCbt.empty());
    EXPECT_EQ(g_redrawCbt[0].code, HCBT_SYSCOMMAND);
    EXPECT_EQ(g_redrawCbt[0].wParam, static_cast<WPARAM>(SC_MAXIMIZE));
    EXPECT_FALSE(IsZoomed(hwnd));
    g_refuse = false;
    g_redrawCbt.clear();
    SendMessage(hwnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(hwnd));
    ASSERT_EQ(g_redrawCbt.size(), 2u);
    EXPECT_EQ(g_redrawCbt[0].code, HCBT_SYSCOMMAND);
    EXPECT_EQ(g_redrawCbt[1].code, HCBT_MINMAX);
}

} // namespace
