// A frame with docked tool bars, a status bar and a floating tool bar on the X11 backend under
// Xvfb: the bars take their places around the pane, and the screen shows the buttons' images
// where the bars say their buttons are, in the frame and in the floating frame.
#include "platform/afx/AfxRes.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/bars/CStatusBar.h"
#include "platform/afx/bars/CToolBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/StandardControls.h"
#include "tests/platform/afx/data/BarIds.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::Screenshot;
using screen_capture::PixelAt;

namespace {

// The middle of a button's image on the screen.
POINT ImageCentre(const CToolBar& bar, int index)
{
    CRect rect;
    bar.GetItemRect(index, &rect);
    POINT pt = rect.CenterPoint();
    ::ClientToScreen(bar.m_hWnd, &pt);
    return pt;
}

} // namespace

using X11DockingTest = X11Test;

TEST_F(X11DockingTest, DockedAndFloatingBarsAndTheStatusBarShowOnTheScreen)
{
    RegisterStandardControls();
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd;   // goes with its window
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Docking", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 520, 360, nullptr,
                                nullptr));
    CWnd pane;
    ASSERT_TRUE(pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame,
                              AFX_IDW_PANE_FIRST));
    CStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    const UINT indicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};
    ASSERT_TRUE(status.SetIndicators(indicators, 3));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    CToolBar top, left, bottom, right, floating;
    const DWORD style = WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER | CBRS_BORDER_3D;
    ASSERT_TRUE(top.CreateEx(frame, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), AFX_IDW_TOOLBAR));
    ASSERT_TRUE(left.CreateEx(frame, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), 0xE803));
    ASSERT_TRUE(bottom.CreateEx(frame, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), 0xE805));
    ASSERT_TRUE(right.CreateEx(frame, TBSTYLE_FLAT, style, CRect(0, 0, 0, 0), 0xE806));
    ASSERT_TRUE(floating.CreateEx(frame, 0, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_SIZE_DYNAMIC, CRect(0, 0, 0, 0),
                                  0xE804));
    floating.SetWindowText("Floating");
    for (CToolBar* bar : {&top, &left, &bottom, &right, &floating}) {
        ASSERT_TRUE(bar->LoadToolBar(IDR_MAINBAR));
        bar->EnableDocking(CBRS_ALIGN_ANY);
    }
    frame->DockControlBar(&top);
    frame->DockControlBar(&left, AFX_IDW_DOCKBAR_LEFT);
    frame->DockControlBar(&bottom, AFX_IDW_DOCKBAR_BOTTOM);
    frame->DockControlBar(&right, AFX_IDW_DOCKBAR_RIGHT);
    frame->FloatControlBar(&floating, CPoint(300, 260));
    status.SetPaneText(0, "Ready");
    frame->RecalcLayout();
    ASSERT_TRUE(Settle()) << "the windows never settled";

    // The places: the status bar along the bottom, the top bar above the pane, the left bar
    // beside it, the floating bar in a frame of its own.
    CRect client, statusRect, topRect, leftRect, paneRect;
    frame->GetClientRect(&client);
    auto inFrame = [&](const CWnd& wnd, CRect& rect) {
        wnd.GetWindowRect(&rect);
        frame->ScreenToClient(&rect);
    };
    inFrame(status, statusRect);
    inFrame(*frame->GetControlBar(AFX_IDW_DOCKBAR_TOP), topRect);
    inFrame(*frame->GetControlBar(AFX_IDW_DOCKBAR_LEFT), leftRect);
    CRect bottomRect, rightRect;
    inFrame(*frame->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM), bottomRect);
    inFrame(*frame->GetControlBar(AFX_IDW_DOCKBAR_RIGHT), rightRect);
    inFrame(pane, paneRect);
    EXPECT_EQ(statusRect.bottom, client.bottom);
    EXPECT_EQ(statusRect.Width(), client.Width());
    EXPECT_EQ(topRect.top, 0);
    EXPECT_EQ(bottomRect.bottom, statusRect.top);
    EXPECT_EQ(leftRect.top, topRect.bottom);
    EXPECT_EQ(leftRect.bottom, bottomRect.top);
    EXPECT_EQ(rightRect.right, client.right);
    EXPECT_EQ(paneRect, CRect(leftRect.right, topRect.bottom, rightRect.left, bottomRect.top));
    ASSERT_TRUE(floating.IsFloating());
    EXPECT_TRUE(floating.GetParentFrame()->IsWindowVisible());

    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/docking.png").c_str());
    // The strip's images: red, green, then (past the separator) blue.
    for (const CToolBar* bar : {&top, &left, &bottom, &right, &floating}) {
        EXPECT_EQ(PixelAt(shot, ImageCentre(*bar, 0)), 0xC81E1Eu);
        EXPECT_EQ(PixelAt(shot, ImageCentre(*bar, 1)), 0x1EA01Eu);
        EXPECT_EQ(PixelAt(shot, ImageCentre(*bar, 3)), 0x1E1EC8u);
    }
    // The gripper's highlight edge beside the first button of the docked bar.
    CRect first;
    top.GetItemRect(0, &first);
    POINT grip{-1, first.top + 2};
    ::ClientToScreen(top.m_hWnd, &grip);
    bool ridge = false;
    for (int dx = 0; dx < 8 && !ridge; ++dx)
        ridge = PixelAt(shot, POINT{grip.x - dx, grip.y}) == (::GetSysColor(COLOR_BTNHIGHLIGHT) & 0xFFFFFF);
    EXPECT_TRUE(ridge) << "a gripper left of the buttons";
    // Each docked bar's line faces the pane: the left bar's along its right side, none under it.
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE) & 0xFFFFFF;
    CRect leftBar;
    left.GetWindowRect(&leftBar);
    EXPECT_EQ(PixelAt(shot, POINT{leftBar.right - 2, leftBar.CenterPoint().y}), shadow);
    EXPECT_EQ(PixelAt(shot, POINT{leftBar.CenterPoint().x, leftBar.bottom - 2}), face) << "no line under it";
    CRect rightBar;
    right.GetWindowRect(&rightBar);
    EXPECT_EQ(PixelAt(shot, POINT{rightBar.left, rightBar.CenterPoint().y}), shadow);
    CRect bottomBar;
    bottom.GetWindowRect(&bottomBar);
    EXPECT_EQ(PixelAt(shot, POINT{bottomBar.CenterPoint().x, bottomBar.top}), shadow);
    // The floating frame's caption looks active beside its active frame.
    CRect miniRect;
    floating.GetParentFrame()->GetWindowRect(&miniRect);
    const COLORREF caption = ::GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_EQ(PixelAt(shot, POINT{miniRect.left + 5, miniRect.top + 5}),
              (GetRValue(caption) << 16) | (GetGValue(caption) << 8) | GetBValue(caption));
    cairo_surface_destroy(shot);

    floating.DestroyWindow();
    right.DestroyWindow();
    bottom.DestroyWindow();
    left.DestroyWindow();
    top.DestroyWindow();
    status.DestroyWindow();
    frame->DestroyWindow();
}
