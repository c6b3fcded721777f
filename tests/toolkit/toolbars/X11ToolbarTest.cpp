// A frame with large text-button toolbars, a status bar and its progress meter on the X11
// backend under Xvfb: the screen shows the images, the captions, the hot button's raised frame
// and the meter's fill where the bars say they are.
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/StandardControls.h"
#include "tests/toolkit/data/ToolbarIds.h"
#include "toolkit/controls/SECProgressCtrl.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/frames/SECCustomStatusBar.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <cstdlib>
#include <memory>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

const SECBtnMapEntry kTextButtons[] = {
    {&SECTBTextButton::classSECTBTextButton, ID_TB_ONE, 0, {0, 0, 0, 0, 0}},
    {&SECTBTextButton::classSECTBTextButton, ID_TB_TWO, 0, {0, 0, 0, 0, 0}},
    {&SECTBTextButton::classSECTBTextButton, ID_TB_THREE, 0, {0, 0, 0, 0, 0}},
    {nullptr, 0, 0, {0, 0, 0, 0, 0}},
};

uint32_t ToolbarRgb(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

} // namespace

using X11ToolbarTest = X11Test;

TEST_F(X11ToolbarTest, LargeTextButtonsHotTrackingAndTheMeterShowOnTheScreen)
{
    RegisterStandardControls();
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Toolbars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 560, 380, nullptr,
                                nullptr));
    frame->m_bAutoMenuEnable = FALSE;
    CWnd pane;
    ASSERT_TRUE(pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame,
                              AFX_IDW_PANE_FIRST));
    const UINT ids[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
    const DWORD sides[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE((new SECDockBar)->Create(frame, WS_CHILD | WS_VISIBLE | sides[i], ids[i]));
    SECCustomStatusBar status;
    ASSERT_TRUE(status.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR));
    const UINT indicators[] = {ID_SEPARATOR, ID_TB_TWO};
    ASSERT_TRUE(status.SetIndicators(indicators, 2));

    auto manager = std::make_unique<SECToolBarManager>(frame);
    ASSERT_TRUE(manager->LoadToolBarResource(IDR_TB_SMALL, IDR_TB_BIG));
    manager->SetButtonMap(kTextButtons);
    const UINT mainIds[] = {ID_TB_ONE, ID_TB_TWO, 0, ID_TB_THREE};
    const UINT gridIds[] = {ID_TB_THREE, ID_TB_ONE};
    manager->DefineDefaultToolBar(0xE800, "Main Toolbar", 4, mainIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    manager->DefineDefaultToolBar(0xE805, "Grid Toolbar", 2, gridIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_RIGHT);
    manager->EnableCoolLook(TRUE, 0x0F00);
    manager->EnableLargeButtons(TRUE);
    manager->LoadState("Main Toolbar");
    SECCustomToolBar* main = manager->ToolBarFromID(0xE800);
    ASSERT_TRUE(main);
    frame->RecalcLayout();
    ASSERT_TRUE(status.InitProgressBar("Scanning for Metatags: ", 0, 100));
    for (int i = 0; i < 4; ++i)
        status.StepProgress();
    frame->SetActiveWindow();
    ASSERT_TRUE(Settle()) << "the frame never showed";

    // The pointer over the second button makes it hot.
    const CRect second = main->GetBtn(1)->GetRect();
    POINT hot = second.CenterPoint();
    ::ClientToScreen(main->m_hWnd, &hot);
    XWarpPointer(other, 0, DefaultRootWindow(other), 0, 0, 0, 0, hot.x, hot.y);
    XFlush(other);
    ASSERT_TRUE(Settle()) << "the windows never settled";
    EXPECT_EQ(main->m_nHot, 1);

    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/toolbars.png").c_str());
    // The large images (48 x 32) on 55 x 39 buttons; the image moves up to make room for the
    // caption under it.
    EXPECT_EQ(second.Width(), 55);
    EXPECT_EQ(second.Height(), 39);
    POINT image{second.left + 27, second.top + 10};
    ::ClientToScreen(main->m_hWnd, &image);
    EXPECT_EQ(PixelAt(shot, image), 0x009600u) << "the second command's image";
    // The hot button's raised frame: highlight at its top-left, shadow at its bottom-right.
    POINT topLeft = second.TopLeft(), bottomRight{second.right - 1, second.bottom - 1};
    ::ClientToScreen(main->m_hWnd, &topLeft);
    ::ClientToScreen(main->m_hWnd, &bottomRight);
    EXPECT_EQ(PixelAt(shot, POINT{topLeft.x + 5, topLeft.y}), ToolbarRgb(SECGetGlobalData().clrBtnHilite));
    EXPECT_EQ(PixelAt(shot, POINT{bottomRight.x - 5, bottomRight.y}), ToolbarRgb(SECGetGlobalData().clrBtnShadow));
    // The caption under the image: some dark text pixels in its band.
    int dark = 0;
    for (int y = second.top + 24; y < second.bottom - 2; ++y)
        for (int x = second.left + 4; x < second.right - 4; ++x) {
            POINT p{x, y};
            ::ClientToScreen(main->m_hWnd, &p);
            const uint32_t px = PixelAt(shot, p);
            dark += ((px >> 16) & 0xFF) < 0x60 && ((px >> 8) & 0xFF) < 0x60 && (px & 0xFF) < 0x60;
        }
    EXPECT_GT(dark, 5) << "the caption \"Two\"";
    // A flat separator between the second and third buttons: a shadow line and a highlight line.
    const CRect sep = main->GetBtn(2)->GetRect();
    POINT line{sep.left + sep.Width() / 2, sep.top + 10};
    ::ClientToScreen(main->m_hWnd, &line);
    EXPECT_EQ(PixelAt(shot, line), ToolbarRgb(SECGetGlobalData().clrBtnShadow));
    EXPECT_EQ(PixelAt(shot, POINT{line.x + 1, line.y}), ToolbarRgb(SECGetGlobalData().clrBtnHilite));
    // The meter's fill starts at its left edge.
    CRect meter;
    status.GetProgressCtrl()->GetWindowRect(&meter);
    EXPECT_EQ(PixelAt(shot, POINT{meter.left + 4, meter.CenterPoint().y}), 0x000080u);
    cairo_surface_destroy(shot);

    // Cleared, the meter gives pane 0 back and the other panes show again.
    status.ClearProgressBar();
    status.SetPaneText(0, "Ready");
    ASSERT_TRUE(Settle()) << "the windows never settled";
    EXPECT_EQ(status.GetPaneText(0), "Ready");
    if (keep) {
        cairo_surface_t* after = Screenshot(server->DisplayName());
        if (after) {
            cairo_surface_write_to_png(after, (std::string(keep) + "/toolbars-ready.png").c_str());
            cairo_surface_destroy(after);
        }
    }
    for (SECCustomToolBar* bar : manager->GetToolBars())
        bar->DestroyWindow();
    manager.reset();
    status.DestroyWindow();
    frame->DestroyWindow();
}
