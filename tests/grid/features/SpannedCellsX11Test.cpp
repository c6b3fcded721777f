// Covered, merged and floating cells on the X11 backend under Xvfb: a block, a run of equal
// values and a long text show as one cell each, with no grid line inside them, where the
// grid's geometry puts them.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridView.h"
#include "grid/features/CGXGridCoveredCellsImp.h"
#include "grid/features/CGXGridFloatCellsImp.h"
#include "grid/features/CGXGridMergeCellsImp.h"
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

class SpannedCellsFactory : public CGXControlFactory {
public:
    void InitializeGridComponents(CGXGridCore* pGrid) override
    {
        CGXControlFactory::InitializeGridComponents(pGrid);
        CGXGridCoveredCellsImp::Install(pGrid);
        CGXGridMergeCellsImp::Install(pGrid);
        CGXGridFloatCellsImp::Install(pGrid);
    }
};

class SpannedCellsX11Test : public GridX11Test {
protected:
    CGXControlFactory* CreateFactory() override { return new SpannedCellsFactory; }
};

} // namespace

TEST_F(SpannedCellsX11Test, CoveredBlocksAndMergedRunsShowAsSingleCells)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd; // goes with its window
    ASSERT_TRUE(frame->Create(nullptr, "Spans", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 660, 460)));
    auto* view = new CGXGridView; // goes with its window
    ASSERT_TRUE(view->Create(nullptr, "", AFX_WS_DEFAULT_VIEW | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
    view->OnInitialUpdate();
    CGXGridParam* pParam = view->GetParam();
    pParam->EnableUndo(FALSE);
    view->SetRowCount(40, 0);
    view->SetColCount(10, 0);

    CGXStyle merging;
    merging.SetMergeCell(GX_MERGE_VERTICAL | GX_MERGE_COMPVALUE).SetInterior(RGB(220, 240, 255));
    view->ApplyStyleToRange(CGXRange(1, 4, 12, 4), &merging, gxOverride, 0, nullptr, 0, 0);
    for (ROWCOL r = 2; r <= 5; ++r)
        view->SetValueRange(CGXRange(r, 4, r, 4), "text/html");
    static_cast<CGXGridMergeCellsImp*>(view->m_pMergeCellsImp)->SetMergeCellsMode(view, 1, FALSE);

    CGXStyle block;
    block.SetValue("covered block").SetInterior(RGB(255, 255, 192));
    view->ApplyStyleToRange(CGXRange(2, 1, 2, 1), &block, gxOverride, 0, nullptr, 0, 0);
    ASSERT_TRUE(view->SetCoveredCellsRowCol(2, 1, 4, 2));
    CGXStyle floating;
    floating.SetFloatCell(TRUE).SetFloodCell(TRUE);
    view->ApplyStyleToRange(CGXRange(14, 1, 15, 10), &floating, gxOverride, 0, nullptr, 0, 0);
    view->SetValueRange(CGXRange(14, 1, 14, 1), "a long description that floats over empty cells");
    // The same text stopped by a typed neighbour: it is cut at that cell.
    view->SetValueRange(CGXRange(15, 1, 15, 1), "a long description that floats over empty cells");
    view->SetValueRange(CGXRange(15, 3, 15, 3), "typed");
    static_cast<CGXGridFloatCellsImp*>(view->m_pFloatCellsImp)->SetFloatCellsMode(view, 1, FALSE);
    frame->RecalcLayout();
    view->Redraw(GX_INVALIDATE, FALSE);
    ASSERT_TRUE(Settle()) << "the windows never settled";

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/spans.png").c_str());

    // Inside the covered block, where the lines between its cells would run (found from the
    // uncovered cells beside it): its colour.
    const CRect colB = view->CalcCellRect(1, 2);
    const CRect row3 = view->CalcCellRect(3, 3);
    ASSERT_FALSE(colB.IsRectEmpty());
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, colB.left, row3.CenterPoint().y)), 0xFFFFC0u);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, colB.CenterPoint().x, row3.top)), 0xFFFFC0u);
    // The cells of the block all answer with the block's rectangle.
    EXPECT_EQ(view->CalcCellRect(4, 2), view->CalcCellRect(2, 1));
    // Inside the merged run, on the line between rows 3 and 4: the run's colour.
    const CRect merged = view->CalcCellRect(4, 4);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, merged.left + 5, merged.top)), 0xDCF0FFu);
    // Below the run, between rows 7 and 8 of the same column, an ordinary grid line.
    const CRect below = view->CalcCellRect(8, 4);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, below.left + 5, below.top)), 0xC0C0C0u);
    // The long text runs on over the next cell: no line between them, and the span is known.
    CGXRange span;
    ASSERT_NE(view->FindCellSpan(14, 2, span), nullptr);
    EXPECT_EQ(span.left, 1u);
    EXPECT_GE(span.right, 2u);
    const CRect row14 = view->CalcCellRect(14, 6);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, colB.left, row14.bottom - 1)), 0xFFFFFFu); // below the text
    // Row 15 floats over B alone: the line before the typed C is there, the one before B not.
    ASSERT_NE(view->FindCellSpan(15, 2, span), nullptr);
    EXPECT_EQ(span, CGXRange(15, 1, 15, 2));
    const CRect row15 = view->CalcCellRect(15, 6);
    const CRect colC = view->CalcCellRect(1, 3);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, colB.left, row15.bottom - 1)), 0xFFFFFFu);
    EXPECT_EQ(PixelAt(shot, OnScreen(*view, colC.left, row15.bottom - 1)), 0xC0C0C0u);
    cairo_surface_destroy(shot);
    frame->DestroyWindow();
}
