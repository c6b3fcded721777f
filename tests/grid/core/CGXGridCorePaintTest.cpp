#include "GridTestSupport.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/data/IGXCommandTarget.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridOldDrawingImp.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/detail/DeviceContext.h"
#include "platform/win/detail/SurfaceDC.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

constexpr COLORREF kGridLine = RGB(192, 192, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// A recording device context the size of the grid rectangle, as a CDC.
class RecordingDC {
public:
    RecordingDC(int cx, int cy) : m_hDC(CreateRecordingDC(cx, cy)) { m_dc.Attach(m_hDC); }
    ~RecordingDC()
    {
        m_dc.Detach();
        DeleteDC(m_hDC);
    }
    CDC* operator->() { return &m_dc; }
    CDC* Get() { return &m_dc; }
    std::vector<RecordedCall> Calls(const char* pszName) const
    {
        std::vector<RecordedCall> result;
        for (const RecordedCall& call : *GetRecordedCalls(m_hDC))
            if (call.name == pszName)
                result.push_back(call);
        return result;
    }
    void Clear() { ClearRecordedCalls(m_hDC); }

private:
    HDC m_hDC;
    CDC m_dc;
};

std::vector<long long> Rect(int l, int t, int r, int b)
{
    return {l, t, r, b};
}

} // namespace

TEST_F(GridDrawTest, PaintDrawsGridLinesCellsAndInvertsTheSelection)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 3);
    grid.SetMemDCDrawing(0);
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(2, 1, 3, 2));
    RecordingDC dc(400, 300);
    grid.Paint(dc.Get());

    // Each selected cell is inverted once, over its whole rectangle.
    const auto inverted = dc.Calls("InvertRect");
    ASSERT_EQ(inverted.size(), 4u);
    EXPECT_EQ(inverted[0].args, Rect(50, 40, 100, 60));
    EXPECT_EQ(inverted[3].args, Rect(100, 60, 150, 80));

    // Grid lines lie on the left and top of each cell; the inside of a cell is its interior.
    EXPECT_EQ(dc->GetPixel(50, 25), kGridLine);
    EXPECT_EQ(dc->GetPixel(75, 20), kGridLine);
    EXPECT_EQ(dc->GetPixel(75, 30), kWhite);
    // The closing lines after the last column and row, and the background beyond them.
    EXPECT_EQ(dc->GetPixel(200, 30), kGridLine);
    EXPECT_EQ(dc->GetPixel(75, 100), kGridLine);
    EXPECT_EQ(dc->GetPixel(300, 200), GetSysColor(COLOR_WINDOW));
}

TEST_F(GridDrawTest, EqualBordersOfNeighboursAreDrawnAsOneLine)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 4);
    grid.SetMemDCDrawing(0);
    CGXStyle dotted;
    dotted.SetBorders(3, CGXPen(GX_PS_DOT, 1, RGB(0, 0, 255)));
    CGXStyle other;
    other.SetBorders(3, CGXPen(GX_PS_DOT, 1, RGB(255, 0, 0)));
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(1, 1, 1, 2), &dotted, gxOverride, 0, nullptr, 0, 1));
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(1, 3, 1, 3), &other, gxOverride, 0, nullptr, 0, 1));
    RecordingDC dc(400, 300);
    grid.Paint(dc.Get());

    // The bottom lines at y = 39: one dotted strip over columns 1 and 2, another for column 3.
    std::vector<std::vector<long long>> bottoms;
    for (const RecordedCall& call : dc.Calls("FillRect"))
        if (call.args.size() >= 4 && call.args[1] == 39 && call.args[3] == 40)
            bottoms.push_back({call.args[0], call.args[2]});
    ASSERT_EQ(bottoms.size(), 2u);
    EXPECT_EQ(bottoms[0], (std::vector<long long>{50, 150}));
    EXPECT_EQ(bottoms[1], (std::vector<long long>{150, 200}));
    // Dots in the pen's colour with the cell's white between them, one pixel each, lined up
    // across the cells (the vertical grid lines cross at 100 and 150).
    const COLORREF kWhitePixel = RGB(255, 255, 255);
    for (int x = 52; x < 148; ++x) {
        if (x == 99 || x == 100)
            continue;
        const COLORREF c = dc->GetPixel(x, 39);
        EXPECT_TRUE(c == RGB(0, 0, 255) || c == kWhitePixel) << x;
        EXPECT_NE(c, dc->GetPixel(x + 1, 39)) << x;
    }
    for (int x = 152; x < 198; ++x) {
        const COLORREF c = dc->GetPixel(x, 39);
        EXPECT_TRUE(c == RGB(255, 0, 0) || c == kWhitePixel) << x;
        EXPECT_NE(c, dc->GetPixel(x + 1, 39)) << x;
    }
    // A border replaces the grid line on its side: no grey pixel at the bottom of those cells.
    EXPECT_NE(dc->GetPixel(60, 39), kGridLine);
}

TEST_F(GridDrawTest, TheCurrentCellInTheSelectionGetsAFrameInsteadOfAnInversion)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 3);
    grid.SetMemDCDrawing(0);
    ASSERT_TRUE(grid.SetCurrentCell(2, 2));
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(2, 2, 2, 2));
    RecordingDC dc(400, 300);
    grid.Paint(dc.Get());
    const auto inverted = dc.Calls("InvertRect");
    ASSERT_EQ(inverted.size(), 4u); // the four strips of the frame
    EXPECT_EQ(inverted[0].args, Rect(100, 40, 148, 43));
    EXPECT_EQ(inverted[3].args, Rect(148, 40, 150, 60));
}

TEST_F(GridDrawTest, NothingIsDrawnWhilePrintingOrLocked)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 3);
    RecordingDC dc(400, 300);
    grid.GetParam()->m_bLockPaint = TRUE;
    grid.Paint(dc.Get());
    EXPECT_TRUE(GetRecordedCalls(dc->GetSafeHdc())->empty());
    grid.GetParam()->m_bLockPaint = FALSE;
    grid.SetPrinting(TRUE);
    grid.Paint(dc.Get());
    EXPECT_TRUE(GetRecordedCalls(dc->GetSafeHdc())->empty());
    EXPECT_TRUE(grid.IsRepaintPending());
    grid.SetPrinting(FALSE);
}

namespace {
// Records what a paint announces before it draws.
class AnnouncingGrid : public CGXGridCore {
public:
    std::vector<std::pair<ROWCOL, ROWCOL>> m_estimates;
    int m_nDefaultHeight = -1; // -1: the grid's own
    void NotifyPaintSizeEstimate(ROWCOL nLastRow, ROWCOL nLastCol) override { m_estimates.emplace_back(nLastRow, nLastCol); }
    int GetDefaultRowHeight() override { return m_nDefaultHeight >= 0 ? m_nDefaultHeight : CGXGridCore::GetDefaultRowHeight(); }
};
class PaintStartRecorder : public CGXAbstractGridPaintNotifyImp {
public:
    std::vector<std::vector<UINT>> m_calls;
    void NotifyPaintStart(CGXGridCore*, ROWCOL nRow, ROWCOL nCol, UINT nFlags, UINT nReserved) override
    {
        m_calls.push_back({nRow, nCol, nFlags, nReserved});
    }
};
} // namespace

TEST_F(GridDrawTest, APaintAnnouncesItsStartAndHowFarItReaches)
{
    AnnouncingGrid grid;
    SetUpGrid(grid, 100, 30);
    grid.SetMemDCDrawing(0);
    PaintStartRecorder recorder;
    grid.m_pPaintNotifyImp = &recorder;
    RecordingDC dc(400, 300);

    // Even a locked paint starts, and says so; it estimates nothing since it draws nothing.
    grid.GetParam()->m_bLockPaint = TRUE;
    grid.Paint(dc.Get());
    grid.GetParam()->m_bLockPaint = FALSE;
    ASSERT_EQ(recorder.m_calls.size(), 1u);
    EXPECT_EQ(recorder.m_calls[0], (std::vector<UINT>{0, 0, 1, 0}));
    EXPECT_TRUE(grid.m_estimates.empty());

    // Clip 120 x 70: rows of 20 below a header of 20, columns of 50 after a header of 50. The
    // last visible row is 3 and column 2; three more rows and two more columns fit the clip.
    dc->IntersectClipRect(0, 0, 120, 70);
    grid.Paint(dc.Get());
    EXPECT_EQ(recorder.m_calls.size(), 2u);
    ASSERT_EQ(grid.m_estimates.size(), 1u);
    EXPECT_EQ(grid.m_estimates[0], std::make_pair(ROWCOL(3 + 3), ROWCOL(2 + 2)));

    // Without a usable default height the clip's height in pixels stands for the rows (and
    // every row, now of no height, is visible).
    grid.m_nDefaultHeight = 0;
    grid.Paint(dc.Get());
    ASSERT_EQ(grid.m_estimates.size(), 2u);
    EXPECT_EQ(grid.m_estimates[1], std::make_pair(ROWCOL(100 + 70), ROWCOL(2 + 2)));

    // A scroll announces itself the same way before the rows move.
    grid.m_nDefaultHeight = -1;
    const size_t nCalls = recorder.m_calls.size();
    ASSERT_TRUE(grid.DoScroll(3, 2));
    ASSERT_EQ(recorder.m_calls.size(), nCalls + 1);
    EXPECT_EQ(recorder.m_calls.back(), (std::vector<UINT>{0, 0, 1, 0}));
    EXPECT_EQ(grid.GetTopRow(), 3u);
    grid.m_pPaintNotifyImp = nullptr;
}

TEST_F(GridDrawTest, DirectAndMemoryPathsPaintTheSamePixelsWithPatterns)
{
    // The memory path draws into a bitmap that starts at the clip box: its patterns must line
    // up with those drawn straight into the window whatever the clip box's corner.
    CGXGridCore grid;
    SetUpGrid(grid, 8, 6);
    CGXStyle hatched;
    hatched.SetInterior(CGXBrush().SetPattern(24).SetForeColor(RGB(0, 0, 128)).SetBackColor(RGB(255, 255, 0)));
    hatched.SetValue("Ab");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(1, 1, 6, 5), &hatched, gxOverride, 0, nullptr, 0, 1));
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(3, 2, 4, 3));

    for (const CRect& clip : {CRect(13, 7, 290, 170), CRect(3, 1, 201, 99), CRect(0, 0, 400, 300)}) {
        RecordingDC direct(400, 300), memory(400, 300);
        direct->IntersectClipRect(&clip);
        memory->IntersectClipRect(&clip);
        grid.SetMemDCDrawing(0);
        grid.Paint(direct.Get());
        grid.SetMemDCDrawing(1);
        grid.Paint(memory.Get());
        EXPECT_FALSE(memory.Calls("BitBlt").empty() && memory.Calls("StretchBlt").empty() && memory.Calls("PatBlt").empty());
        int nDiffer = 0;
        for (int y = clip.top; y < clip.bottom; ++y)
            for (int x = clip.left; x < clip.right; ++x)
                nDiffer += direct->GetPixel(x, y) != memory->GetPixel(x, y);
        EXPECT_EQ(nDiffer, 0) << clip.left << "," << clip.top;
        // The pattern shows both its colours.
        std::set<COLORREF> colours;
        for (int y = 48; y < 56; ++y)
            for (int x = 85; x < 93; ++x)
                colours.insert(direct->GetPixel(x, y));
        EXPECT_EQ(colours.size(), 2u);
    }
}

TEST_F(GridDrawTest, APatternPastTheTableFillsSolid)
{
    CGXGridCore grid;
    SetUpGrid(grid, 3, 3);
    grid.SetMemDCDrawing(0);
    CGXStyle style;
    style.SetInterior(CGXBrush().SetPattern(50).SetForeColor(RGB(0, 128, 0)).SetBackColor(RGB(255, 255, 255)));
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(1, 1, 1, 3), &style, gxOverride, 0, nullptr, 0, 1));
    EXPECT_EQ(CGXDrawingAndFormatting::GetInstance()->GetPatternBitmap(50), nullptr);
    EXPECT_NE(CGXDrawingAndFormatting::GetInstance()->GetPatternBitmap(40), nullptr);
    RecordingDC dc(400, 300);
    grid.Paint(dc.Get());
    for (int x = 55; x < 60; ++x)
        EXPECT_EQ(dc->GetPixel(x, 30), RGB(0, 128, 0));
}

TEST_F(GridDrawTest, APaintMakesEachFontBrushAndPenOnce)
{
    CGXGridCore grid;
    SetUpGrid(grid, 30, 12);
    grid.SetMemDCDrawing(0);
    CGXStyle style;
    style.SetInterior(CGXBrush().SetPattern(3).SetForeColor(RGB(0, 0, 128)).SetBackColor(RGB(255, 255, 255)));
    style.SetBorders(0, CGXPen(GX_PS_DASH, 1, RGB(0, 0, 0)));
    style.SetValue("x");
    CGXFont bold;
    bold.SetBold(TRUE).SetSize(9);
    style.SetFont(bold);
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(1, 1, 30, 12), &style, gxOverride, 0, nullptr, 0, 1));
    RecordingDC dc(400, 300);
    const auto before = grid.GetGdiCreationCounts();
    grid.Paint(dc.Get());
    const auto after = grid.GetGdiCreationCounts();
    // Many cells, a few distinct values: the standard and the cells' font, one pattern brush
    // for the interiors and one dash brush for the dashed borders over them.
    EXPECT_LE(after.fonts - before.fonts, 3);
    EXPECT_EQ(after.brushes - before.brushes, 2);
    EXPECT_EQ(after.pens - before.pens, 0);
}

TEST_F(GridDrawTest, ATransparentGridDrawsCellsAndLinesOverWhatIsThere)
{
    CGXGridCore grid;
    SetUpGrid(grid, 6, 4);
    grid.SetMemDCDrawing(0);
    CGXGridOldDrawingImp::Install(&grid);
    CGXStyle yellow;
    yellow.SetInterior(RGB(255, 255, 0));
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 1, 3, 3), &yellow, gxOverride, 0, nullptr, 0, 1));
    grid.GetParam()->m_bTransparentBackground = TRUE;
    RecordingDC dc(400, 300);
    dc->FillSolidRect(0, 0, 400, 300, RGB(255, 0, 0));
    grid.Paint(dc.Get());
    EXPECT_EQ(dc->GetPixel(75, 30), RGB(255, 0, 0)); // a plain cell shows what was there
    EXPECT_EQ(dc->GetPixel(75, 50), RGB(255, 255, 0)); // a coloured cell paints itself
    EXPECT_EQ(dc->GetPixel(50, 30), kGridLine);
    EXPECT_EQ(dc->GetPixel(300, 250), RGB(255, 0, 0)); // nothing beyond the last column

    // Once drawn this way, the grid keeps the order; with the background on again the block
    // of equal cells and the rest are filled.
    grid.GetParam()->m_bTransparentBackground = FALSE;
    RecordingDC again(400, 300);
    again->FillSolidRect(0, 0, 400, 300, RGB(255, 0, 0));
    grid.Paint(again.Get());
    EXPECT_EQ(again->GetPixel(75, 30), kWhite);
    EXPECT_EQ(again->GetPixel(75, 50), RGB(255, 255, 0));
    EXPECT_EQ(again->GetPixel(125, 65), RGB(255, 255, 0));
    EXPECT_NE(again->GetPixel(300, 250), RGB(255, 0, 0));
}

TEST_F(GridDrawTest, ACoveredRangeIsDrawnOnceWithLinesOnlyAtItsEdges)
{
    CGXGridCore grid;
    SetUpGrid(grid, 12, 4);
    grid.SetMemDCDrawing(0);
    auto* pCovered = new TestCoveredFeature;
    grid.m_pCoveredCellsImp = pCovered;
    grid.AddAutoDeleteImp(pCovered);
    pCovered->m_ranges.push_back(CGXRange(2, 1, 3, 2));
    CGXStyle yellow;
    yellow.SetInterior(RGB(255, 255, 0)).SetValue("wide");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 1, 2, 1), &yellow, gxOverride, 0, nullptr, 0, 1));
    RecordingDC dc(400, 300);
    grid.Paint(dc.Get());
    // Inside the range: no grid line between its columns or rows, the top-left cell's interior.
    EXPECT_EQ(dc->GetPixel(100, 70), RGB(255, 255, 0));
    EXPECT_EQ(dc->GetPixel(130, 60), RGB(255, 255, 0));
    EXPECT_EQ(dc->GetPixel(140, 75), RGB(255, 255, 0));
    // At its left and top edges the grid lines stand.
    EXPECT_EQ(dc->GetPixel(50, 70), kGridLine);
    EXPECT_EQ(dc->GetPixel(130, 40), kGridLine);
    // The text is drawn once, at the range's top left.
    int nWide = 0;
    for (const RecordedCall& call : dc.Calls("ExtTextOut"))
        nWide += call.text == "wide";
    for (const RecordedCall& call : dc.Calls("TextOut"))
        nWide += call.text == "wide";
    EXPECT_EQ(nWide, 1);

    // Across the frozen rows: the part above and the part below both show the range.
    pCovered->m_ranges.push_back(CGXRange(2, 3, 8, 3));
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 3, 2, 3), &yellow, gxOverride, 0, nullptr, 0, 1));
    ASSERT_TRUE(grid.SetFrozenRows(2, 0, 0, 1));
    grid.SetTopRow(5, 0);
    RecordingDC split(400, 300);
    grid.Paint(split.Get());
    const CRect frozen = grid.CalcCellRect(2, 3);
    const CRect scrolled = grid.CalcClientRectOfRange(5, 3, 5, 3);
    EXPECT_EQ(split->GetPixel(frozen.left + 30, frozen.top + 15), RGB(255, 255, 0));
    EXPECT_EQ(split->GetPixel(scrolled.left + 30, scrolled.top), RGB(255, 255, 0));
}

TEST_F(GridDrawTest, TheFrameLiesOutsideTheGridDirectlyAndOnItsLastPixelsThroughTheBitmap)
{
    CGXGridCore grid;
    SetUpGrid(grid, 20, 10, CRect(10, 10, 300, 200));
    grid.SetFrame(TRUE);
    RecordingDC direct(400, 300), memory(400, 300);
    grid.SetMemDCDrawing(0);
    grid.Paint(direct.Get());
    grid.SetMemDCDrawing(1);
    grid.Paint(memory.Get());
    EXPECT_EQ(direct->GetPixel(9, 100), RGB(0, 0, 0));
    EXPECT_EQ(direct->GetPixel(300, 100), RGB(0, 0, 0));
    EXPECT_EQ(direct->GetPixel(100, 200), RGB(0, 0, 0));
    EXPECT_EQ(memory->GetPixel(299, 100), RGB(0, 0, 0));
    EXPECT_EQ(memory->GetPixel(100, 199), RGB(0, 0, 0));
}

namespace {

// A grid whose data reports cell (3, 2) as changed behind the grid's back, drawing only the
// rows with such cells.
class FloatUpdateGrid : public CGXGridCore {
public:
    FloatUpdateGrid() { m_bFloatUpdate = TRUE; }
    BOOL NotifyDataAtCell(ROWCOL nRow, ROWCOL nCol) override { return nRow == 3 && nCol == 2; }
    const std::vector<CRect>& Excluded() const { return m_exclusionRects; }
    const CGXRangeList& Updated() const { return m_floatUpdateRanges; }
};

} // namespace

TEST_F(GridDrawTest, FloatUpdateDrawsOnlyRowsWithChangedCellsFromTheFirstChangedCellOn)
{
    FloatUpdateGrid grid;
    SetUpGrid(grid, 4, 3);
    grid.SetMemDCDrawing(0);
    constexpr COLORREF kOld = RGB(255, 0, 0);
    RecordingDC dc(400, 300);
    dc->FillSolidRect(0, 0, 400, 300, kOld);
    grid.DrawClientRange(dc.Get(), 0, 0, 4, 3);

    // Rows 0 to 2 and 4 keep what the screen showed; so do the header and column 1 of row 3,
    // which are kept out of the copy instead.
    EXPECT_EQ(dc->GetPixel(75, 10), kOld);
    EXPECT_EQ(dc->GetPixel(75, 30), kOld);
    EXPECT_EQ(dc->GetPixel(125, 50), kOld);
    EXPECT_EQ(dc->GetPixel(125, 90), kOld);
    EXPECT_EQ(dc->GetPixel(25, 70), kOld);
    EXPECT_EQ(dc->GetPixel(75, 70), kOld);
    // Every cell left as it was is kept out: 5 rows of 4, less the two drawn.
    const auto excluded = [&](const CRect& r) { return std::find(grid.Excluded().begin(), grid.Excluded().end(), r) != grid.Excluded().end(); };
    EXPECT_EQ(grid.Excluded().size(), 18u);
    EXPECT_TRUE(excluded(CRect(0, 60, 50, 80)));
    EXPECT_TRUE(excluded(CRect(50, 60, 100, 80)));
    EXPECT_TRUE(excluded(CRect(100, 40, 150, 60)));
    EXPECT_FALSE(excluded(CRect(100, 60, 150, 80)));
    EXPECT_FALSE(excluded(CRect(150, 60, 200, 80)));
    // From the changed cell on, row 3 is drawn with its lines, and noted once.
    EXPECT_EQ(dc->GetPixel(125, 70), kWhite);
    EXPECT_EQ(dc->GetPixel(175, 70), kWhite);
    EXPECT_EQ(dc->GetPixel(125, 60), kGridLine);
    ASSERT_EQ(grid.Updated().GetCount(), 1);
    EXPECT_EQ(*grid.Updated().GetRangeAt(grid.Updated().GetHeadPosition()), CGXRange(3, 0, 3, 0));

    // Each paint starts the list afresh rather than adding to the last one's.
    grid.Paint(dc.Get());
    grid.Paint(dc.Get());
    EXPECT_EQ(grid.Updated().GetCount(), 1);
    EXPECT_TRUE(grid.Excluded().empty());
}

TEST_F(GridDrawTest, AStaticCellWhoseTextNamesAPoolBitmapShowsAndMeasuresTheBitmap)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 3);
    grid.SetMemDCDrawing(0);
    // A 12 x 8 red bitmap known to the pool as "logo".
    std::vector<DWORD> red(12 * 8, 0x00FF0000);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(12, 8, 1, 32, red.data()));
    ASSERT_TRUE(CGXDIBPool::GetInstance()->Add("logo", static_cast<HBITMAP>(bitmap.Detach())));
    CGXStyle cell;
    cell.SetControl(GX_IDS_CTRL_STATIC).SetValue("logo").SetHorizontalAlignment(2).SetVerticalAlignment(2);
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(2, 2, 2, 2), &cell, gxOverride, 0, nullptr, 0, gxDo));
    cell.SetValue("logotype");
    ASSERT_TRUE(grid.ApplyStyleToRange(CGXRange(3, 2, 3, 2), &cell, gxOverride, 0, nullptr, 0, gxDo));
    RecordingDC dc(400, 300);
    grid.Paint(dc.Get());

    // Cell (2, 2) spans (100, 40)-(150, 60): the bitmap sits in its bottom-right corner, inside
    // the grid lines, and the rest of the cell stays white; the cell below shows its text.
    CRect rect = grid.CalcCellRect(2, 2);
    ASSERT_EQ(rect, CRect(100, 40, 150, 60));
    const CRect inner = grid.GetControlById(GX_IDS_CTRL_STATIC)->GetCellRect(2, 2, &rect, &cell);
    ASSERT_FALSE(inner.IsRectEmpty());
    EXPECT_EQ(dc->GetPixel(inner.right - 1, inner.bottom - 1), RGB(255, 0, 0));
    EXPECT_EQ(dc->GetPixel(inner.right - 12, inner.bottom - 8), RGB(255, 0, 0));
    EXPECT_EQ(dc->GetPixel(inner.right - 13, inner.bottom - 8), RGB(255, 255, 255));
    EXPECT_EQ(dc->GetPixel(inner.right - 12, inner.bottom - 9), RGB(255, 255, 255));

    // Sizing the cell to its contents measures the bitmap, not the name.
    CGXStyle composed;
    grid.ComposeCellStyle(2, 2, composed);
    CGXControl* pStatic = grid.GetControlById(GX_IDS_CTRL_STATIC);
    const CSize size = pStatic->CalcSize(dc.Get(), 2, 2, composed, grid.GetStandardStyle(), FALSE);
    EXPECT_EQ(size, grid.AddBordersToSize(12, 8, composed));
    // A name the pool does not know is measured as text.
    grid.ComposeCellStyle(3, 2, composed);
    EXPECT_NE(pStatic->CalcSize(dc.Get(), 3, 2, composed, grid.GetStandardStyle(), FALSE), grid.AddBordersToSize(12, 8, composed));
}

TEST_F(GridDrawTest, PrintingStretchesPatternsAndMayDrawAWideCharacterWhole)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 4);
    // A pattern fill on a printer is drawn into a bitmap and stretched onto the page.
    RecordingDC printer(200, 100);
    printer->m_bPrinting = TRUE;
    printer->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    const CGXBrush pattern = CGXBrush().SetPattern(3).SetForeColor(RGB(0, 0, 128)).SetBackColor(RGB(255, 255, 255));
    grid.FillRectWithBrush(printer.Get(), CRect(10, 10, 42, 26), pattern);
    ASSERT_EQ(printer.Calls("StretchBlt").size(), 1u);
    int nDark = 0;
    for (int x = 10; x < 42; ++x)
        nDark += printer->GetPixel(x, 12) == RGB(0, 0, 128);
    EXPECT_GT(nDark, 0);
    EXPECT_LT(nDark, 32);
    EXPECT_EQ(printer->GetPixel(9, 12), RGB(255, 255, 255)); // nothing outside the rectangle

    // A dashed pen makes a dash brush over the interior, horizontal and vertical alike.
    CGXBrush line;
    const CGXBrush yellow(GX_BS_SOLID, RGB(255, 255, 0), 0);
    ASSERT_TRUE(CGXPen(GX_PS_DASH, 1, RGB(255, 0, 0)).MakeLineBrush(line, &yellow, TRUE, FALSE));
    EXPECT_EQ(line.GetForeColor(), RGB(255, 0, 0));
    EXPECT_EQ(line.GetBackColor(), RGB(255, 255, 0));
    EXPECT_EQ(line.GetPattern(), CGXPen::kLinePatternFirst);
    ASSERT_TRUE(CGXPen(GX_PS_DOT, 1, RGB(255, 0, 0)).MakeLineBrush(line, &yellow, FALSE, TRUE));
    EXPECT_EQ(line.GetForeColor(), RGB(0, 0, 0)); // black and white
    EXPECT_FALSE(CGXPen(GX_PS_SOLID, 1, RGB(255, 0, 0)).MakeLineBrush(line, &yellow, TRUE, FALSE));

    // A character wider than its cell is cut at the cell on paper, unless the program asks
    // for it whole.
    CGXDrawingAndFormatting* pDraw = CGXDrawingAndFormatting::GetInstance();
    const auto inkRight = [&](RecordingDC& dc) {
        int nRight = -1;
        for (int x = 0; x < 60; ++x)
            for (int y = 40; y < 70; ++y)
                if (dc->GetPixel(x, y) != RGB(255, 255, 255))
                    nRight = std::max(nRight, x);
        return nRight;
    };
    RecordingDC cut(200, 100);
    cut->m_bPrinting = TRUE;
    cut->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    pDraw->DrawMultiLineText(cut.Get(), "W", 1, CRect(10, 40, 13, 70), DT_LEFT, CRect(10, 40, 13, 70));
    EXPECT_LE(inkRight(cut), 12);
    GXGetAppData()->m_bNoClipWhenPrinting = TRUE;
    RecordingDC whole(200, 100);
    whole->m_bPrinting = TRUE;
    whole->FillSolidRect(0, 0, 200, 100, RGB(255, 255, 255));
    pDraw->DrawMultiLineText(whole.Get(), "W", 1, CRect(10, 40, 13, 70), DT_LEFT, CRect(10, 40, 13, 70));
    GXGetAppData()->m_bNoClipWhenPrinting = FALSE;
    EXPECT_GT(inkRight(whole), 13);
}

namespace {
// Shows numbers with a percent sign and reads them back without it.
class PercentFormatting : public CGXAbstractNumberFormattingImp {
public:
    CString FormatValue(const CGXStyle&, LPCTSTR pszValue) override { return CString(pszValue != nullptr ? pszValue : "") + "%"; }
    BOOL ParseValue(const CGXStyle&, CString& sValue) override
    {
        sValue.TrimRight('%');
        return TRUE;
    }
};
} // namespace

TEST_F(GridDrawTest, CellsShowTheirValuesThroughTheNumberFormattingFeature)
{
    CGXGridCore grid;
    SetUpGrid(grid, 4, 4);
    grid.SetValueRange(CGXRange(1, 1, 1, 1), "42");
    CGXStyle style;
    grid.ComposeCellStyle(1, 1, style);
    CGXControl* pControl = grid.GetControlById(style.GetControl());
    CString sShown;
    pControl->GetControlText(sShown, 1, 1, nullptr, style);
    EXPECT_EQ(sShown, "42"); // no feature: the value as it stands
    PercentFormatting percent;
    GXGetAppData()->m_pNumberFormattingImp = &percent;
    pControl->GetControlText(sShown, 1, 1, nullptr, style);
    CString sTyped("17%");
    const BOOL bParsed = CGXDrawingAndFormatting::GetInstance()->ParseValue(style, sTyped);
    GXGetAppData()->m_pNumberFormattingImp = nullptr;
    EXPECT_EQ(sShown, "42%");
    EXPECT_TRUE(bParsed);
    EXPECT_EQ(sTyped, "17");
}
