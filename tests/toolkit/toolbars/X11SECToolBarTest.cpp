// An SECToolBar docked along the top of a frame on the X11 backend under Xvfb: the screen shows
// its images in the normal, checked, disabled and drop-down states where the control puts them.
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/StandardControls.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/toolbars/SECToolBar.h"

#include <cstdlib>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

uint32_t ToolBarRgb(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

// Four 16 x 15 images on the face colour: a coloured square with a black outline each.
HBITMAP MakeImages()
{
    const COLORREF colours[4] = {RGB(200, 0, 0), RGB(0, 128, 0), RGB(0, 0, 200), RGB(200, 160, 0)};
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 64, 15);
    HDC mem = ::CreateCompatibleDC(screen);
    HGDIOBJ old = ::SelectObject(mem, bitmap);
    RECT all{0, 0, 64, 15};
    ::FillRect(mem, &all, ::GetSysColorBrush(COLOR_BTNFACE));
    for (int i = 0; i < 4; ++i) {
        RECT outline{16 * i + 2, 2, 16 * i + 14, 13};
        ::FillRect(mem, &outline, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        HBRUSH brush = ::CreateSolidBrush(colours[i]);
        RECT inner{16 * i + 3, 3, 16 * i + 13, 12};
        ::FillRect(mem, &inner, brush);
        ::DeleteObject(brush);
    }
    ::SelectObject(mem, old);
    ::DeleteDC(mem);
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

TBBUTTON ShownBtn(int image, int id, BYTE style = TBSTYLE_BUTTON, BYTE state = TBSTATE_ENABLED)
{
    TBBUTTON b{};
    b.iBitmap = image;
    b.idCommand = id;
    b.fsState = state;
    b.fsStyle = style;
    return b;
}

} // namespace

using X11SECToolBarTest = X11Test;

TEST_F(X11SECToolBarTest, DockedBarShowsImagesInTheirStates)
{
    RegisterStandardControls();
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Common toolbar", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 420, 240,
                                nullptr, nullptr));
    frame->m_bAutoMenuEnable = FALSE;
    CWnd pane;
    ASSERT_TRUE(pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame,
                              AFX_IDW_PANE_FIRST));
    const UINT ids[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
    const DWORD sides[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE((new SECDockBar)->Create(frame, WS_CHILD | WS_VISIBLE | sides[i], ids[i]));

    SECToolBar bar;
    ASSERT_TRUE(bar.Create(frame, "Tools", WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC | CBRS_BORDER_ANY, 0,
                           AFX_IDW_TOOLBAR));
    ASSERT_TRUE(bar.SetImageBitmap(MakeImages()));
    bar.SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    const TBBUTTON buttons[] = {
        ShownBtn(0, 0x8001),
        ShownBtn(1, 0x8002, TBSTYLE_CHECK, TBSTATE_ENABLED | TBSTATE_CHECKED),
        ShownBtn(6, 0, TBSTYLE_SEP, TBSTATE_ENABLED),
        ShownBtn(2, 0x8003, TBSTYLE_BUTTON, 0),
        ShownBtn(3, 0x8004, TBSTYLE_DROPDOWN),
    };
    ASSERT_TRUE(bar.SendMessage(TB_ADDBUTTONS, 5, reinterpret_cast<LPARAM>(buttons)));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    frame->SetActiveWindow();
    ASSERT_TRUE(Settle()) << "the windows never settled";

    CRect first, checked, disabled, drop;
    bar.GetItemRect(0, &first);
    bar.GetItemRect(1, &checked);
    bar.GetItemRect(3, &disabled);
    bar.GetItemRect(4, &drop);
    EXPECT_EQ(first.Size(), CSize(23, 22));
    EXPECT_EQ(drop.Width(), 23 + SECToolBar::GetDropDownWidth());
    CRect window;
    bar.GetWindowRect(&window);
    EXPECT_GE(window.Width(), drop.right) << "the docked bar holds all its buttons";

    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/sectoolbar.png").c_str());
    auto at = [&](const CRect& r, int dx, int dy) {
        POINT p{r.left + dx, r.top + dy};
        ::ClientToScreen(bar.m_hWnd, &p);
        return PixelAt(shot, p);
    };
    // Images centred: (23 - 16) / 2 = 3 across, (22 - 15) / 2 = 3 down; the colour from +3.
    EXPECT_EQ(at(first, 3 + 6, 3 + 6), 0xC80000u) << "the first image";
    EXPECT_EQ(at(first, 0, 0), ToolBarRgb(::GetSysColor(COLOR_3DLIGHT))) << "a raised button";
    EXPECT_EQ(at(checked, 3 + 1 + 6, 3 + 1 + 6), 0x008000u) << "a checked image sits one pixel in";
    EXPECT_EQ(at(checked, 0, 0), ToolBarRgb(::GetSysColor(COLOR_BTNSHADOW))) << "a sunken button";
    EXPECT_NE(at(disabled, 3 + 6, 3 + 6), 0x0000C8u) << "a disabled image is embossed, not coloured";
    EXPECT_EQ(at(disabled, 3 + 2, 3 + 2), ToolBarRgb(::GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(at(drop, 3 + 6, 3 + 6), 0xC8A000u) << "the drop-down button's image";
    cairo_surface_destroy(shot);

    bar.DestroyWindow();
    frame->DestroyWindow();
}
