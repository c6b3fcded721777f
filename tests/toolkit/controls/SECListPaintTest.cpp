// The list's pixels: the header's cut titles, selection colours with and without the focus, the
// drop highlight, grid lines, and a cell without text.
#include "tests/toolkit/controls/ListTestSupport.h"

namespace {

using SECListPaintTest = ListTest;

// Row r's top in client coordinates while row 0 is the top row.
int RowTop(int r) { return 18 + 10 * r; }

TEST_F(SECListPaintTest, HeaderTitlesStayInsideTheirCells)
{
    MakeList();
    list->SetColumnTitle(1, "A title much too long for sixty pixels");
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    // The cut title ends before the cell's right edge less 5 (and the frame's shadow).
    for (int x = 160 - 6; x < 160 - 2; ++x)
        EXPECT_EQ(Pixel(x, 9), face) << x;
    EXPECT_NE(Pixel(106, 7), face);   // the title's first glyph
    EXPECT_EQ(Pixel(159, 9), ::GetSysColor(COLOR_3DDKSHADOW));   // the push-button frame
    // Beyond the last column the header is one more button up to the client edge.
    EXPECT_EQ(Pixel(170, 9), face);
}

TEST_F(SECListPaintTest, SelectionColoursFollowFocusAndShowSelectionAlways)
{
    MakeList();
    ClickAt(LabelPoint(1));
    ASSERT_EQ(::GetFocus(), list->m_hWnd);
    const int y = RowTop(1);
    EXPECT_EQ(Pixel(2, y + 1), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(Pixel(6, y + 3), ::GetSysColor(COLOR_HIGHLIGHTTEXT));
    // A sub-item of the selected row keeps the normal colours without full-row selection.
    EXPECT_EQ(Pixel(106, y + 3), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(Pixel(2, RowTop(2) + 1), ::GetSysColor(COLOR_WINDOW));
    // Without the focus the selection is not shown...
    parent.SetFocus();
    EXPECT_EQ(Pixel(2, y + 1), ::GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(Pixel(6, y + 3), ::GetSysColor(COLOR_WINDOWTEXT));
    // ...unless the list shows it always, in the menu colours.
    list->ModifyListStyle(0, LVXS_SHOWSELALWAYS);
    EXPECT_EQ(Pixel(2, y + 1), ::GetSysColor(COLOR_MENU));
    EXPECT_EQ(Pixel(6, y + 3), ::GetSysColor(COLOR_MENUTEXT));
    // The drop-highlight row's label swaps text and background.
    list->SetDropHighlightItem(3);
    EXPECT_EQ(Pixel(2, RowTop(3) + 1), ::GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(Pixel(6, RowTop(3) + 3), ::GetSysColor(COLOR_WINDOW));
    // Full-row selection paints the whole selected row.
    list->SetFocus();
    list->ModifyListStyleEx(0, LVXS_EX_FULLROWSELECT);
    EXPECT_EQ(Pixel(150, y + 1), ::GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(SECListPaintTest, GridLinesAndCellsWithoutText)
{
    MakeList(0, LVXS_EX_HGRIDLINES | LVXS_EX_VGRIDLINES, 3);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    EXPECT_EQ(Pixel(50, RowTop(0) + 9), shadow);   // under every row
    EXPECT_EQ(Pixel(99, RowTop(1) + 4), shadow);   // between the columns
    EXPECT_EQ(Pixel(159, RowTop(2) + 4), shadow);
    EXPECT_EQ(Pixel(99, RowTop(4) + 4), ::GetSysColor(COLOR_WINDOW));   // no rows, no lines
    // A label without text paints only its background.
    LV_ITEM lvi{LVIF_TEXT | LVIF_DI_SETITEM, 2, 0, 0, 0, nullptr, 0, 0, 0};
    list->SetItem(lvi, TRUE);
    list->SelectFocusItem(2, TRUE);
    list->SetFocus();
    EXPECT_EQ(Pixel(2, RowTop(2) + 1), ::GetSysColor(COLOR_WINDOW));
}

}   // namespace

namespace {

TEST_F(SECListPaintTest, ALineScrollMovesThePaintedRowsAndFillsTheBandUncovered)
{
    MakeList();
    ClickAt(LabelPoint(3));
    list->UpdateWindow();
    const COLORREF hilite = ::GetSysColor(COLOR_HIGHLIGHT), window = ::GetSysColor(COLOR_WINDOW);
    ASSERT_EQ(SurfacePixel(*backend, list->m_hWnd, 2, RowTop(3) + 1), hilite);
    list->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    list->UpdateWindow();
    // Read off the surface as it stands: the selected row moved up one row with the rest.
    EXPECT_EQ(SurfacePixel(*backend, list->m_hWnd, 2, RowTop(2) + 1), hilite);
    EXPECT_EQ(SurfacePixel(*backend, list->m_hWnd, 2, RowTop(3) + 1), window);
    // The row uncovered at the bottom was painted: row 10's label glyphs are there.
    EXPECT_EQ(SurfacePixel(*backend, list->m_hWnd, 6, RowTop(9) + 3), ::GetSysColor(COLOR_WINDOWTEXT));
    list->SendMessage(WM_VSCROLL, SB_LINEUP);
    list->UpdateWindow();
    EXPECT_EQ(SurfacePixel(*backend, list->m_hWnd, 2, RowTop(3) + 1), hilite);
}

}   // namespace

namespace {

// Paints a control into a white memory surface that answers IsPrinting, as a print job does.
class PrintedImage {
public:
    PrintedImage(CWnd& wnd, int width, int height)
    {
        CClientDC client(&wnd);
        EXPECT_TRUE(m_dc.CreateCompatibleDC(&client));
        EXPECT_TRUE(m_bitmap.CreateCompatibleBitmap(&client, width, height));
        m_old = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, width, height, kPaper);
        m_dc.m_bPrinting = TRUE;
    }
    ~PrintedImage() { m_dc.SelectObject(m_old); }
    PrintedImage(const PrintedImage&) = delete;
    PrintedImage& operator=(const PrintedImage&) = delete;
    CDC* DC() { return &m_dc; }
    COLORREF Pixel(int x, int y) { return m_dc.GetPixel(x, y); }
    static constexpr COLORREF kPaper = RGB(1, 2, 3);

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_old = nullptr;
};

// Printing draws the header and the rows shown straight onto the page, without the memory
// bitmap, the scroll bars or the rows below the window: what is printed is what the screen shows.
TEST_F(SECListPaintTest, PrintingDrawsTheHeaderAndTheShownRowsAsTheScreenShowsThem)
{
    MakeList(0, LVXS_EX_HGRIDLINES | LVXS_EX_VGRIDLINES);
    list->SendMessage(WM_VSCROLL, SB_LINEDOWN);
    ClickAt(LabelPoint(4));
    list->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PrintedImage page(*list, 240, 200);
    list->OnDraw(page.DC());
    int differences = 0;
    for (int y = 0; y < 118; ++y)
        for (int x = 0; x < 160; ++x)
            differences += page.Pixel(x, y) != SurfacePixel(*backend, list->m_hWnd, x, y);
    EXPECT_EQ(differences, 0);
    EXPECT_EQ(page.Pixel(6, RowTop(0) + 3), ::GetSysColor(COLOR_WINDOWTEXT)) << "the top row is row 1";
    // Nothing below the window's last row, and no scroll bar.
    for (int y = 118; y < 200; ++y)
        ASSERT_EQ(page.Pixel(50, y), PrintedImage::kPaper) << y;
    EXPECT_EQ(page.Pixel(195, 60), PrintedImage::kPaper);
}

}   // namespace
