// Sorting, marked headers and the find dialog of a grid view on the X11 backend under Xvfb:
// a double-click on a column header sorts the rows on the screen, the current cell's headers
// are drawn marked, and Find opens its dialog over the grid.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXFindReplaceState.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridView.h"
#include "grid/features/CGXGridSortImp.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/StandardControls.h"

#include <cstdlib>
#include <string>

#include "tests/grid/GridX11Fixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class GridFeaturesX11Test : public GridX11Test {
protected:
    bool WithFeatures() const override { return true; }
};

} // namespace

TEST_F(GridFeaturesX11Test, AHeaderDoubleClickSortsAndFindOpensItsDialog)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Pages", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 660, 480)));
    auto* view = new CGXGridView; // goes with its window
    ASSERT_TRUE(view->Create(nullptr, "", AFX_WS_DEFAULT_VIEW | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 600, 400), frame, AFX_IDW_PANE_FIRST));
    view->OnInitialUpdate();
    frame->RecalcLayout();
    CGXGridParam* pParam = view->GetParam();
    pParam->EnableUndo(FALSE);
    view->SetRowCount(6, 0);
    view->SetColCount(3, 0);
    view->SetColWidth(1, 2, 140, nullptr, 0, 1);
    const char* const pages[] = {"news.html", "about.html", "index.html", "contact.html", "blog.html", "jobs.html"};
    const char* const dates[] = {"2021-03-01", "2019-12-31", "2024-01-15", "2020-06-30", "2023-02-02", "2018-08-08"};
    for (ROWCOL r = 1; r <= 6; ++r) {
        view->SetValueRange(CGXRange(r, 1, r, 1), pages[r - 1], gxOverride, 0, 0);
        view->SetValueRange(CGXRange(r, 2, r, 2), dates[r - 1], gxOverride, 0, 0);
    }
    pParam->EnableUndo(TRUE);
    pParam->m_wSortOnDblClk = GX_SORT_ROWS_ON_COLHEADER_DBLCLK;

    // Sort by the date column as a double-click on its header does, then make (2, 2) current.
    ASSERT_TRUE(view->HandleCellDblClick(0, 2, 0));
    ASSERT_TRUE(view->SetCurrentCell(2, 2));
    view->Redraw(GX_INVALIDATE, FALSE);
    view->ShowFindReplaceDialog(TRUE);
    CGXFindReplaceState& state = GXGetFindReplaceState();
    ASSERT_TRUE(state.IsDialogOpen());
    ::SetWindowPos(state.m_hWndDialog, nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ASSERT_TRUE(Settle()) << "the windows never settled";

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/gridfeatures.png").c_str());

    CGXStyle style;
    view->ComposeCellStyle(1, 1, style);
    EXPECT_STREQ(style.GetValue(), "jobs.html"); // the oldest date first
    // The dialog is on the screen where it was put: its face colour inside it.
    CRect dialog;
    ::GetWindowRect(state.m_hWndDialog, &dialog);
    EXPECT_EQ(PixelAt(shot, POINT{dialog.left + 6, dialog.bottom - 6}), 0xFFFFFFu & ::GetSysColor(COLOR_BTNFACE));
    // The grid under the dialog's left still shows a white cell.
    const CRect plain = view->CalcCellRect(5, 1);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, plain.left + 3, plain.bottom - 3)), 0xFFFFFFu);
    cairo_surface_destroy(shot);
    frame->DestroyWindow();
    EXPECT_TRUE(PumpUntil([&] { return !state.IsDialogOpen(); })) << "the dialog outlived its grid";
}
