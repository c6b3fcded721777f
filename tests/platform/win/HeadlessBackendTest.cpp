// The headless backend: exposure after showing, activation to focus, the virtual clock behind
// ticks and timers, recorded beeps and PNG snapshots.
#include "HeadlessFixture.h"

#include "platform/core/TickCount.h"
#include "platform/win/SystemParameters.h"

#include <cairo.h>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

using HeadlessBackendTest = HeadlessTest;

TEST_F(HeadlessBackendTest, TickCountFollowsTheVirtualClock)
{
    const DWORD start = GetTickCount();
    backend->AdvanceClock(1234);
    EXPECT_EQ(GetTickCount() - start, 1234u);
    EXPECT_EQ(static_cast<ULONGLONG>(GetTickCount()), backend->Now() & 0xFFFFFFFF);
}

TEST_F(HeadlessBackendTest, TimersFireOncePerPeriodWhenTheClockAdvances)
{
    HWND wnd = Make(WS_POPUP, 0, 0, 10, 10);
    SetTimer(wnd, 7, 100, nullptr);
    backend->Advance(99);
    EXPECT_TRUE(Of(wnd, WM_TIMER).empty());
    backend->Advance(1);
    EXPECT_EQ(Of(wnd, WM_TIMER).size(), 1u);
    backend->Advance(450);
    EXPECT_EQ(Of(wnd, WM_TIMER).size(), 5u);
    KillTimer(wnd, 7);
}

TEST_F(HeadlessBackendTest, ShowingAWindowExposesAndPaintsIt)
{
    HWND wnd = Make(WS_POPUP | WS_VISIBLE, 10, 10, 40, 30);
    backend->ProcessMessages();
    EXPECT_FALSE(Of(wnd, WM_PAINT).empty());
    const MemoryBackend::Native* native = backend->Find(wnd);
    ASSERT_NE(native, nullptr);
    EXPECT_TRUE(native->shown);
    ASSERT_FALSE(native->presented.empty());
    bool whole = false;
    for (const RECT& r : native->presented)
        whole = whole || (r.left == 0 && r.top == 0 && r.right == 40 && r.bottom == 30);
    EXPECT_TRUE(whole) << "the expose of the mapped window";
}

TEST_F(HeadlessBackendTest, DisplayFocusActivatesTheWindow)
{
    HWND a = Make(WS_POPUP | WS_VISIBLE, 10, 10, 40, 30);
    HWND b = Make(WS_POPUP | WS_VISIBLE, 100, 10, 40, 30);
    backend->ProcessMessages();
    backend->FocusIn(a);
    backend->ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), a);
    backend->FocusIn(b);
    backend->ProcessMessages();
    EXPECT_EQ(GetActiveWindow(), b);
    backend->Close(b);
    backend->ProcessMessages();
    EXPECT_FALSE(IsWindow(b));
}

TEST_F(HeadlessBackendTest, BeepsAreRecorded)
{
    const size_t before = backend->Beeps().size();
    MessageBeep(MB_ICONEXCLAMATION);
    Beep(440, 100);
    ASSERT_EQ(backend->Beeps().size(), before + 2);
    EXPECT_EQ(backend->Beeps()[before], static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(backend->Beeps()[before + 1], kBeepTone);
}

TEST_F(HeadlessBackendTest, SnapshotIsAPngOfTheWindowArea)
{
    HWND top = Make(WS_POPUP | WS_VISIBLE, 10, 10, 60, 40);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 5, 5, 20, 10, top);
    Handler() = [child](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT& result) {
        if (hwnd != child || message != WM_PAINT)
            return false;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT r{0, 0, 20, 10};
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &r, red);
        DeleteObject(red);
        EndPaint(hwnd, &ps);
        result = 0;
        return true;
    };
    backend->ProcessMessages();
    char dir[] = "/tmp/headless-png-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string path = std::string(dir) + "/top.png";
    ASSERT_TRUE(backend->WritePng(top, path));
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 60);
    EXPECT_EQ(cairo_image_surface_get_height(png), 40);
    auto pixel = [&](int x, int y) {
        auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(png) + y * cairo_image_surface_get_stride(png));
        return row[x] & 0xFFFFFF;
    };
    EXPECT_EQ(pixel(5, 5), 0xFF0000u);
    EXPECT_EQ(pixel(24, 14), 0xFF0000u);
    EXPECT_EQ(pixel(25, 15), 0xFFFFFFu);
    cairo_surface_destroy(png);
    std::remove(path.c_str());
    rmdir(dir);
    EXPECT_FALSE(backend->WritePng(reinterpret_cast<HWND>(0x1234), path));
}

TEST_F(HeadlessBackendTest, NonClientMetricsDescribeTheFrame)
{
    NONCLIENTMETRICS ncm{};
    ncm.cbSize = sizeof(ncm);
    ASSERT_TRUE(SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0));
    EXPECT_EQ(ncm.iScrollWidth, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(ncm.lfCaptionFont.lfWeight, FW_BOLD);
    EXPECT_EQ(ncm.lfMessageFont.lfHeight, -11);
    RECT work;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0));
    EXPECT_EQ(work.right, GetSystemMetrics(SM_CXSCREEN));
    UINT lines = 0;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETWHEELSCROLLLINES, 0, &lines, 0));
    EXPECT_EQ(lines, 3u);
    BOOL full = FALSE;
    ASSERT_TRUE(SystemParametersInfo(SPI_GETDRAGFULLWINDOWS, 0, &full, 0));
    EXPECT_TRUE(full);
    EXPECT_FALSE(SystemParametersInfo(0x7777, 0, &full, 0));
}

} // namespace
