// A grid view in an MDI child frame on the X11 backend under Xvfb: the screen shows the
// headers, the grid lines, the cells' colours and the selection where the grid's geometry
// puts them.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridView.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "grid/data/CGXUserAttribute.h"
#include "grid/data/CGXStylesMap.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/controls/StandardControls.h"

#include <chrono>
#include <cstdlib>
#include <string>

#include "tests/grid/GridX11Fixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class GridViewX11Test : public GridX11Test {};

} // namespace

TEST_F(GridViewX11Test, AGridViewInAnMdiFrameShowsItsCellsOnTheScreen)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CMDIFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Site", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 760, 560)));
    HMENU menu = ::CreateMenu();
    HMENU window = ::CreatePopupMenu();
    ::AppendMenu(window, MF_STRING, ID_WINDOW_CASCADE, "&Cascade");
    ::AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
    ::SetMenu(frame->m_hWnd, menu);
    frame->m_hMenuDefault = menu;
    CMDIChildWnd* child = frame->CreateNewChild(RUNTIME_CLASS(CMDIChildWnd), 0, menu, nullptr);
    ASSERT_NE(child, nullptr);
    child->SetWindowText("Pages");
    child->MoveWindow(10, 10, 640, 400);

    auto* view = new CGXGridView; // goes with its window
    ASSERT_TRUE(view->Create(nullptr, "", AFX_WS_DEFAULT_VIEW | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 10, 10), child, AFX_IDW_PANE_FIRST));
    view->OnInitialUpdate();
    CGXGridParam* pParam = view->GetParam();
    pParam->EnableUndo(FALSE);
    view->SetRowCount(400, 0);
    view->SetColCount(30, 0);
    view->SetColWidth(1, 1, 140, nullptr, 0, 1);
    CGXStyle title;
    title.SetValue("index.html");
    view->ApplyStyleToRange(CGXRange(1, 1, 1, 1), &title, gxOverride, 0, nullptr, 0, 1);
    CGXStyle keywords;
    keywords.SetValue("grid, meta, tags").SetInterior(RGB(255, 255, 192));
    view->ApplyStyleToRange(CGXRange(2, 2, 3, 3), &keywords, gxOverride, 0, nullptr, 0, 1);
    CGXStyle framed;
    framed.SetValue("boxed").SetBorders(3, CGXPen(GX_PS_SOLID, 2, RGB(0, 0, 160))).SetHorizontalAlignment(1);
    view->ApplyStyleToRange(CGXRange(5, 1, 5, 2), &framed, gxOverride, 0, nullptr, 0, 1);
    pParam->m_SelRects.AddTail(new CGXRange(7, 2, 9, 4));
    child->RecalcLayout();
    view->Redraw(GX_INVALIDATE, FALSE);
    ASSERT_TRUE(Settle()) << "the windows never settled";

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/gridview.png").c_str());

    // Each place is asked of the grid, then looked at on the screen.
    const CRect yellow = view->CalcCellRect(2, 2);
    ASSERT_FALSE(yellow.IsRectEmpty());
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, yellow.right - 3, yellow.bottom - 3)), 0xFFFFC0u);
    const CRect plain = view->CalcCellRect(4, 5);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, plain.CenterPoint().x, plain.CenterPoint().y)), 0xFFFFFFu);
    // The grid line at the left of a cell.
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, plain.left, plain.CenterPoint().y)), 0xC0C0C0u);
    // A selected cell is inverted: white shows black.
    const CRect selected = view->CalcCellRect(8, 3);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, selected.right - 3, selected.bottom - 3)), 0x000000u);
    // The thick border under row 5.
    const CRect boxed = view->CalcCellRect(5, 1);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, boxed.CenterPoint().x, boxed.bottom - 1)), 0x0000A0u);
    // A column header is raised: its top edge is highlighted.
    const CRect header = view->CalcCellRect(0, 3);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, header.CenterPoint().x, header.top + 1)), 0xFFFFFFu & ::GetSysColor(COLOR_BTNHIGHLIGHT));
    cairo_surface_destroy(shot);
    frame->DestroyWindow();
}

TEST_F(GridViewX11Test, AHeadersToolTipShowsWhereThePointerRestsThroughTheMessageLoop)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Tips", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 560, 360)));
    auto* view = new CGXGridView; // goes with its window
    ASSERT_TRUE(view->Create(nullptr, "", AFX_WS_DEFAULT_VIEW | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 500, 300), frame, AFX_IDW_PANE_FIRST));
    view->OnInitialUpdate();
    frame->RecalcLayout();
    view->SetRowCount(10, GX_INVALIDATE);
    view->SetColCount(4, GX_INVALIDATE);
    view->SetValueRange(CGXRange(0, 2, 0, 2), "Keywords");
    view->GetParam()->GetStylesMap()->AddUserAttribute(GX_IDS_UA_TOOLTIPTEXT);
    CGXStyle tip;
    tip.SetUserAttribute(GX_IDS_UA_TOOLTIPTEXT, CString("Words a search engine may match"));
    ASSERT_TRUE(view->ApplyStyleToRange(CGXRange(0, 2, 0, 2), &tip, gxOverride, 0, nullptr, GX_INVALIDATE, gxDo));
    view->EnableGridToolTips();
    ASSERT_TRUE(Settle()) << "the grid never showed";

    const POINT at = OnScreen(*view, view->CalcCellRect(0, 2).CenterPoint().x, view->CalcCellRect(0, 2).CenterPoint().y);
    XWarpPointer(other, 0, DefaultRootWindow(other), 0, 0, 0, 0, at.x, at.y);
    XFlush(other);
    // The program's loop: every message is offered to the windows' pre-translation first.
    const HWND hTip = [] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!CWnd::WalkPreTranslateTree(nullptr, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessage(&msg);
                }
            }
            const HWND h = AfxGetThreadState()->m_hToolTip;
            if (h != nullptr && ::IsWindowVisible(h))
                return h;
            GetWindowBackend().PumpEvents(5);
        }
        return static_cast<HWND>(nullptr);
    }();
    ASSERT_NE(hTip, nullptr) << "the tip came up over the header";
    CRect tipRect;
    ::GetWindowRect(hTip, &tipRect);
    EXPECT_GT(tipRect.top, at.y) << "below the pointer";
    ASSERT_TRUE(Settle()) << "the tip never settled";
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/gridtooltip.png").c_str());
    // The screen shows the tip's text, on one line inside its frame.
    EXPECT_EQ(screen_capture::TipLinesShown(shot, tipRect), 1);
    cairo_surface_destroy(shot);
    frame->DestroyWindow();
}
