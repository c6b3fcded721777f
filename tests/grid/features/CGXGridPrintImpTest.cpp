// Printing a grid: pages cut at whole rows and columns that fill the page without overflowing
// it, a row taller than a page alone on its page, the header row and column on every page, and
// a job on the PDF printer that writes exactly the counted pages and ends the grid's printing.
#include "grid/features/CGXGridPrintImp.h"

#include "FeatureTestSupport.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXProperties.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/PrinterSettings.h"
#include "support/PdfRaster.h"
#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

class GridPrintTest : public FeatureGridTest {
protected:
    // A printer device context on the PDF printer writing to `file`.
    bool OpenPrinter(const std::string& file)
    {
        if (!info.m_pPD->GetDefaults())
            return false;
        PrinterSettings settings = PrinterSettings::From(info.m_pPD->m_pd.hDevMode, info.m_pPD->m_pd.hDevNames);
        settings.output = file;
        settings.To(info.m_pPD->m_pd.hDevMode, info.m_pPD->m_pd.hDevNames);
        HDC hdc = info.m_pPD->CreatePrinterDC();
        if (hdc == nullptr || !dc.Attach(hdc))
            return false;
        dc.m_bPrinting = TRUE;
        return true;
    }
    void SetUp() override
    {
        FeatureGridTest::SetUp();
        // Made once the features have filled their slots.
        made.emplace();
    }
    void TearDown() override
    {
        if (dc.GetSafeHdc() != nullptr)
            dc.DeleteDC();
        made.reset();
        FeatureGridTest::TearDown();
    }
    // The page's height and width in grid pixels, inside the margins.
    int AreaHeight()
    {
        const CGXProperties* p = made->GetParam()->GetProperties();
        return dc.GetDeviceCaps(VERTRES) * 96 / dc.GetDeviceCaps(LOGPIXELSY) - p->m_nTopMargin * 96 / 72 -
               p->m_nBottomMargin * 96 / 72;
    }

    ScopedTempDir dir;
    CPrintInfo info;
    CDC dc;
    std::optional<CGXGridCore> made;
};

} // namespace

TEST_F(GridPrintTest, PagesAreWholeRowsThatFillThePageAndATallRowStandsAlone)
{
    CGXGridCore& grid = *made;
    SetUpGrid(grid, 300, 4);
    ASSERT_TRUE(grid.SetRowHeight(120, 120, 5000, nullptr, 0, 0));
    ASSERT_TRUE(OpenPrinter(dir.File("rows.pdf")));
    auto* imp = dynamic_cast<CGXGridPrintImp*>(grid.m_pPrintImp);
    ASSERT_NE(imp, nullptr) << "the feature library installs printing";
    imp->OnGridBeginPrinting(&grid, &dc, &info);
    EXPECT_TRUE(grid.IsPrinting());

    const std::vector<ROWCOL>& breaks = imp->GetRowBreaks();
    ASSERT_GE(breaks.size(), 3u);
    EXPECT_EQ(breaks.front(), grid.GetFrozenRows() + 1);
    const int room = AreaHeight() - grid.GetRowHeight(0);
    for (size_t b = 0; b < breaks.size(); ++b) {
        const ROWCOL first = breaks[b];
        const ROWCOL last = b + 1 < breaks.size() ? breaks[b + 1] - 1 : grid.GetRowCount();
        ASSERT_LE(first, last);
        int used = 0;
        for (ROWCOL r = first; r <= last; ++r)
            used += grid.GetRowHeight(r);
        if (first == 120 || last == 120) {
            EXPECT_EQ(first, last) << "the tall row alone on its page";
            continue;
        }
        EXPECT_LE(used, room) << "band " << b;
        if (last < grid.GetRowCount() && last + 1 != 120) {
            EXPECT_GT(used + grid.GetRowHeight(last + 1), room) << "band " << b << " could hold one more row";
        }
    }
    EXPECT_EQ(imp->GetColBreaks().size(), 1u);
    EXPECT_EQ(info.GetMaxPage(), imp->GetPageCount());
    imp->OnGridEndPrinting(&grid, &dc, &info);
    EXPECT_FALSE(grid.IsPrinting());
}

TEST_F(GridPrintTest, AJobOnThePdfPrinterWritesEachCountedPageDownThenAcross)
{
    CGXGridCore& grid = *made;
    SetUpGrid(grid, 120, 30);
    const std::string file = dir.File("grid.pdf");
    ASSERT_TRUE(OpenPrinter(file));
    grid.OnGridBeginPrinting(&dc, &info);
    auto* imp = dynamic_cast<CGXGridPrintImp*>(grid.m_pPrintImp);
    ASSERT_NE(imp, nullptr);
    const size_t rowBands = imp->GetRowBreaks().size();
    ASSERT_GE(rowBands, 2u);
    ASSERT_GE(imp->GetColBreaks().size(), 2u);
    const UINT pages = info.GetMaxPage();
    ASSERT_EQ(pages, rowBands * imp->GetColBreaks().size());

    ASSERT_GT(dc.StartDoc("Grid"), 0);
    std::vector<ROWCOL> tops, lefts;
    for (info.m_nCurPage = 1; info.m_nCurPage <= pages; ++info.m_nCurPage) {
        ASSERT_GT(dc.StartPage(), 0);
        grid.OnGridPrint(&dc, &info);
        tops.push_back(grid.GetTopRow());
        lefts.push_back(grid.GetLeftCol());
        ASSERT_GT(dc.EndPage(), 0);
    }
    ASSERT_GT(dc.EndDoc(), 0);
    // Down first: the second page goes on below the first, the next band of columns after the
    // last band of rows.
    EXPECT_EQ(tops[1], imp->GetRowBreaks()[1]);
    EXPECT_EQ(lefts[1], lefts[0]);
    EXPECT_EQ(tops[rowBands], tops[0]);
    EXPECT_EQ(lefts[rowBands], imp->GetColBreaks()[1]);
    // Past the last page the job is told to stop.
    info.m_nCurPage = pages + 1;
    grid.OnGridPrint(&dc, &info);
    EXPECT_FALSE(info.m_bContinuePrinting);
    grid.OnGridEndPrinting(&dc, &info);
    EXPECT_FALSE(grid.IsPrinting());
    EXPECT_EQ(grid.GetTopRow(), 1u) << "the screen's own rows again";

    // The first and the last page have ink on them (lines and texts), and there is no page more.
    for (UINT p : {1u, pages}) {
        PdfPage page(file, static_cast<int>(p), 50);
        ASSERT_TRUE(page.Valid()) << p;
        EXPECT_GT(page.DarkIn(0, 0, 425, 550), 50) << p;
    }
    PdfPage beyond(file, static_cast<int>(pages) + 1, 50);
    EXPECT_FALSE(beyond.Valid());
}

TEST_F(GridPrintTest, ChoosingSelectionPrintsOnlyTheSelectedRowsAndColumns)
{
    CGXGridCore& grid = *made;
    SetUpGrid(grid, 300, 8);
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(40, 3, 45, 4));
    grid.GetParam()->m_SelRects.AddTail(new CGXRange(CGXRange().SetRows(50, 52)));
    ASSERT_TRUE(OpenPrinter(dir.File("selection.pdf")));
    auto* imp = dynamic_cast<CGXGridPrintImp*>(grid.m_pPrintImp);
    ASSERT_NE(imp, nullptr);
    info.m_pPD->m_pd.Flags |= PD_SELECTION;
    imp->OnGridBeginPrinting(&grid, &dc, &info);
    // Rows 40 to 52 on one page; the whole rows selected take every column in.
    ASSERT_EQ(imp->GetRowBreaks(), std::vector<ROWCOL>{40});
    EXPECT_EQ(imp->GetColBreaks(), std::vector<ROWCOL>{1});
    EXPECT_EQ(info.GetMaxPage(), 1u);
    imp->OnGridEndPrinting(&grid, &dc, &info);

    // Columns 3 and 4 alone: the page holds the headers and those two columns, nothing right of them.
    grid.GetParam()->m_SelRects.DeleteAt(grid.GetParam()->m_SelRects.GetTailPosition());
    imp->OnGridBeginPrinting(&grid, &dc, &info);
    ASSERT_EQ(imp->GetColBreaks(), std::vector<ROWCOL>{3});
    info.m_nCurPage = 1;
    grid.OnGridPrint(&dc, &info);
    CRect printed;
    grid.GetGridRect(&printed);
    EXPECT_EQ(printed.Width(), grid.GetColWidth(0) + grid.GetColWidth(3) + grid.GetColWidth(4))
        << "columns past the selection were printed";
    imp->OnGridEndPrinting(&grid, &dc, &info);

    // Without the choice the whole grid prints.
    info.m_pPD->m_pd.Flags &= ~static_cast<DWORD>(PD_SELECTION);
    imp->OnGridBeginPrinting(&grid, &dc, &info);
    EXPECT_EQ(imp->GetRowBreaks().front(), 1u);
    EXPECT_GT(imp->GetRowBreaks().size(), 1u);
    imp->OnGridEndPrinting(&grid, &dc, &info);
}
