// A tab window of three grid sheets in a frame on the X11 backend under Xvfb: the shown sheet,
// the beam with its current tab, a switch, a rename and a splitter drag, as the screen shows them.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/features/CGXTabWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/StandardControls.h"

#include <cstdlib>
#include <string>

#include "tests/grid/GridX11Fixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class TabWndX11Test : public GridX11Test {};

} // namespace

TEST_F(TabWndX11Test, ThreeGridSheetsSwitchRenameAndShareTheStrip)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Sheets", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 660, 460)));
    CRect client;
    frame->GetClientRect(&client);
    auto tabs = std::make_unique<CGXTabWnd>();
    ASSERT_TRUE(tabs->Create(frame, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 1));
    tabs->MoveWindow(&client);
    CGXGridWnd grids[3];
    const char* names[3] = {"Pages", "Keywords", "Links"};
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(grids[i].Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), tabs.get(), 10 + i));
        grids[i].Initialize();
        grids[i].GetParam()->EnableUndo(FALSE);
        grids[i].SetRowCount(60, 0);
        grids[i].SetColCount(12, 0);
        CGXStyle style;
        style.SetValue(CString(names[i]) + " sheet").SetInterior(i == 1 ? RGB(255, 255, 192) : RGB(255, 255, 255));
        grids[i].ApplyStyleToRange(CGXRange(1, 1, 2, 2), &style, gxOverride, 0, nullptr, 0, 1);
        tabs->AttachWnd(&grids[i], names[i]);
    }
    ASSERT_TRUE(Settle()) << "the sheets never showed";

    // Switch to the second sheet with a click on its tab.
    CGXTabBeam& beam = tabs->GetBeam();
    const int xTab = beam.GetTabLeft(1) + 12;
    beam.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(xTab, 6));
    beam.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(xTab, 6));
    ASSERT_TRUE(Settle()) << "the second sheet never settled";
    EXPECT_EQ(tabs->GetActivePane(), &grids[1]);
    EXPECT_TRUE(grids[1].IsWindowVisible());
    EXPECT_FALSE(grids[0].IsWindowVisible());

    // Rename it in place.
    tabs->SendMessage(GX_WM_TABRENAME, 1, 0);
    ASSERT_NE(tabs->GetRenamePopup(), nullptr);
    tabs->GetRenamePopup()->SetWindowText("Key phrases");
    tabs->SendMessage(GX_WM_TABACCEPTNAME, 0, 0);
    EXPECT_EQ(tabs->GetTabName(&grids[1]), "Key phrases");
    EXPECT_EQ(grids[1].GetParam()->m_sSheetName, "Key phrases");

    // Drag the splitter right by 60 pixels.
    const int before = tabs->m_nBeamWidth;
    CRect rc;
    tabs->GetClientRect(&rc);
    const int y = rc.bottom - 6;
    tabs->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(before + 3, y));
    tabs->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(before + 33, y));
    tabs->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(before + 60, y));
    ASSERT_TRUE(Settle()) << "the wider beam never settled";
    EXPECT_EQ(tabs->m_nBeamWidth, before + 60);

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/tabwnd.png").c_str());
    // The yellow cells of the shown sheet; the current tab's face is the window colour.
    const CRect yellow = grids[1].CalcCellRect(1, 1);
    EXPECT_EQ(PixelAt(shot, OnScreen(grids[1], yellow.right - 3, yellow.bottom - 3)), 0xFFFFC0u);
    EXPECT_EQ(PixelAt(shot, OnScreen(beam, beam.GetTabLeft(1) + 9, 3)), 0xFFFFFFu & ::GetSysColor(COLOR_WINDOW));
    // The splitter's black left line at its new place.
    EXPECT_EQ(PixelAt(shot, OnScreen(*tabs, before + 61, rc.bottom - 6)), 0x000000u);
    cairo_surface_destroy(shot);
    tabs->DestroyWindow();
    tabs.reset();
    frame->DestroyWindow();
}

TEST_F(TabWndX11Test, AFramedTabWindowShowsASunkenEdgeRoundItsSheets)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Framed", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(40, 40, 460, 340)));
    auto tabs = std::make_unique<CGXTabWnd>();
    ASSERT_TRUE(tabs->Create(frame, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, 1));
    tabs->MoveWindow(20, 20, 360, 220);
    CRect before;
    tabs->GetClientRect(&before);
    tabs->SetFrame(TRUE);
    CGXGridWnd grid;
    ASSERT_TRUE(grid.Create(nullptr, "", WS_CHILD, CRect(0, 0, 10, 10), tabs.get(), 10));
    grid.Initialize();
    grid.GetParam()->EnableUndo(FALSE);
    grid.SetRowCount(20, 0);
    grid.SetColCount(6, 0);
    tabs->AttachWnd(&grid, "Pages");
    // The frame takes two pixels on each side from the sheets' room.
    CRect after;
    tabs->GetClientRect(&after);
    EXPECT_EQ(after.Width(), before.Width() - 4);
    EXPECT_EQ(after.Height(), before.Height() - 4);
    ASSERT_TRUE(PumpUntil([&] { return grid.IsWindowVisible() != FALSE; }, 60000)) << "the sheet never showed";
    tabs->RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    ASSERT_TRUE(Settle()) << "the framed tab window never settled";

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/tabframe.png").c_str());
    CRect window;
    tabs->GetWindowRect(&window);
    const auto at = [&](int x, int y) { return PixelAt(shot, POINT{window.left + x, window.top + y}); };
    const auto rgb = [](int nIndex) { return static_cast<uint32_t>(::GetSysColor(nIndex)) & 0xFFFFFFu; };
    const auto swap = [](uint32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); };
    // Sunken: shadow outside and dark shadow inside at the top and left, highlight outside and
    // light inside at the bottom and right.
    const int cx = window.Width(), cy = window.Height();
    EXPECT_EQ(at(cx / 2, 0), swap(rgb(COLOR_BTNSHADOW)));
    EXPECT_EQ(at(0, cy / 2), swap(rgb(COLOR_BTNSHADOW)));
    EXPECT_EQ(at(cx / 2, 1), swap(rgb(COLOR_3DDKSHADOW)));
    EXPECT_EQ(at(cx / 2, cy - 1), swap(rgb(COLOR_BTNHIGHLIGHT)));
    EXPECT_EQ(at(cx - 1, cy / 2), swap(rgb(COLOR_BTNHIGHLIGHT)));
    cairo_surface_destroy(shot);
    tabs->DestroyWindow();
    frame->DestroyWindow();
    EXPECT_TRUE(Drained()) << "what the windows posted on their way out never ran";
}
