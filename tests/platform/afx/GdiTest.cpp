// The drawing classes: exact pixels of FillSolidRect, Draw3dRect and DrawDragRect (which takes
// its own frame away when drawn again), objects selected and given back as objects,
// questions answered by the attribute DC while drawing goes to the output DC, a paint DC in a
// paint handler, regions, fonts by point size, palettes and image lists.
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CImageList.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "tests/platform/afx/AfxFixture.h"

#include <string>

namespace {

// A CDC over a memory bitmap, filled white.
class CCanvas : public CDC {
public:
    CCanvas(int width, int height)
    {
        CreateCompatibleDC(nullptr);
        m_bitmap.CreateBitmap(width, height, 1, 32, nullptr);
        // Kept as a handle: a temporary object lives only until the next idle time.
        m_old = SelectObject(&m_bitmap)->m_hObject;
        FillSolidRect(0, 0, width, height, RGB(255, 255, 255));
    }
    ~CCanvas() override { SelectObject(m_old); }
    // '#' for pixels of colour c, '.' for others, rows joined by '|'.
    std::string Map(COLORREF c, int x0, int y0, int x1, int y1) const
    {
        std::string s;
        for (int y = y0; y < y1; ++y) {
            if (y > y0)
                s += '|';
            for (int x = x0; x < x1; ++x)
                s += GetPixel(x, y) == c ? '#' : '.';
        }
        return s;
    }

private:
    CBitmap m_bitmap;
    HGDIOBJ m_old = nullptr;
};

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class CPaintingWnd : public CWnd {
public:
    CRect painted;
    BOOL printing = TRUE;
    void OnPaint()
    {
        CPaintDC dc(this);
        painted = dc.m_ps.rcPaint;
        printing = dc.IsPrinting();
        dc.FillSolidRect(&painted, kRed);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaintingWnd, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

} // namespace

TEST(GdiTest, SolidAnd3dRectanglesAreExactAndLeaveTheBackgroundColour)
{
    CCanvas dc(8, 6);
    dc.Draw3dRect(1, 1, 5, 4, kRed, kBlue);
    EXPECT_EQ(dc.Map(kRed, 0, 0, 8, 6), "........|.####...|.#......|.#......|........|........");
    EXPECT_EQ(dc.Map(kBlue, 0, 0, 8, 6), "........|.....#..|.....#..|.....#..|.#####..|........");
    EXPECT_EQ(dc.GetBkColor(), kBlue) << "filling leaves the last colour as the background";
    dc.FillSolidRect(CRect(6, 0, 8, 2), kBlack);
    EXPECT_EQ(dc.Map(kBlack, 0, 0, 8, 3), "......##|......##|........");
}

TEST(GdiTest, ADragFrameMovesByItsDifferenceAndGoesAwayWhenDrawnAgain)
{
    CCanvas dc(12, 8);
    CBrush white(kWhite);   // white XOR white: the frame shows black on white
    const CRect first(1, 1, 7, 6);
    const CSize size(2, 1);
    dc.DrawDragRect(first, size, nullptr, size, &white);
    EXPECT_EQ(dc.Map(kBlack, 0, 0, 12, 7), "............|.######.....|.##..##.....|.##..##.....|.##..##.....|"
                                           ".######.....|............");
    const CRect moved(3, 1, 9, 6);
    dc.DrawDragRect(moved, size, first, size, &white);
    EXPECT_EQ(dc.Map(kBlack, 0, 0, 12, 7), "............|...######...|...##..##...|...##..##...|...##..##...|"
                                           "...######...|............");
    dc.DrawDragRect(moved, size, nullptr, size, &white);
    EXPECT_EQ(dc.Map(kBlack, 0, 0, 12, 7), "............|............|............|............|............|"
                                           "............|............");
    // The half-tone brush inverts every other pixel.
    dc.DrawDragRect(first, size, nullptr, size);
    EXPECT_NE(dc.GetPixel(1, 1), dc.GetPixel(2, 1));
    EXPECT_NE(dc.GetPixel(1, 1), dc.GetPixel(1, 2));
    EXPECT_EQ(dc.GetPixel(3, 3), kWhite) << "the inside stays";
    CRect clip;
    dc.GetClipBox(&clip);
    EXPECT_EQ(clip, CRect(0, 0, 12, 8)) << "the clipping is given back";
}

TEST(GdiTest, SelectedObjectsComeBackAsObjectsAndTemporaryOnesGoAtIdle)
{
    CCanvas dc(4, 4);
    CPen red(PS_SOLID, 1, kRed), blue(PS_SOLID, 1, kBlue);
    CPen* original = dc.SelectObject(&red);
    ASSERT_NE(original, nullptr);
    EXPECT_TRUE(original->IsKindOf(RUNTIME_CLASS(CPen))) << "a temporary object of the handle's class";
    EXPECT_EQ(dc.SelectObject(&blue), &red) << "a permanent object comes back as itself";
    CGdiObject* stock = dc.SelectStockObject(WHITE_BRUSH);
    EXPECT_TRUE(stock->IsKindOf(RUNTIME_CLASS(CBrush)));
    EXPECT_EQ(dc.GetCurrentPen(), &blue);
    dc.SelectObject(original);
    EXPECT_FALSE(AfxGetThreadState()->m_gdiObjects.temporary.empty());
    CGdiObject::DeleteTempMap();
    EXPECT_TRUE(AfxGetThreadState()->m_gdiObjects.temporary.empty());
    HPEN handle = static_cast<HPEN>(red.m_hObject);
    red.DeleteObject();
    EXPECT_EQ(::GetObjectType(handle), 0u) << "the object owned its pen";
}

TEST(GdiTest, TheAttributeDCAnswersAndTheOutputDCDraws)
{
    SetTestFontMode(true);
    CCanvas output(10, 10), attributes(10, 10);
    CFont small, large;
    LOGFONT lf{};
    lf.lfHeight = 10;
    small.CreateFontIndirect(&lf);
    lf.lfHeight = 20;
    large.CreateFontIndirect(&lf);
    ::SelectObject(output.m_hDC, small.m_hObject);
    ::SelectObject(attributes.m_hDC, large.m_hObject);
    CDC dc;
    dc.SetOutputDC(output.m_hDC);
    dc.SetAttribDC(attributes.m_hDC);
    TEXTMETRIC tm{};
    dc.GetTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 20);
    dc.GetOutputTextMetrics(&tm);
    EXPECT_EQ(tm.tmHeight, 10);
    dc.SetTextColor(kRed);
    EXPECT_EQ(::GetTextColor(output.m_hDC), kRed) << "attributes are set on both";
    EXPECT_EQ(::GetTextColor(attributes.m_hDC), kRed);
    dc.FillSolidRect(0, 0, 2, 2, kBlue);
    EXPECT_EQ(output.GetPixel(1, 1), kBlue);
    EXPECT_EQ(attributes.GetPixel(1, 1), kWhite) << "drawing goes to the output DC only";
    EXPECT_FALSE(dc.IsPrinting());
    ::SelectObject(output.m_hDC, ::GetStockObject(SYSTEM_FONT));
    ::SelectObject(attributes.m_hDC, ::GetStockObject(SYSTEM_FONT));
    dc.ReleaseOutputDC();
    dc.ReleaseAttribDC();
    SetTestFontMode(false);
}

TEST_F(AfxTest, APaintDCPaintsTheInvalidPartOfAWindow)
{
    CPaintingWnd wnd;
    ASSERT_TRUE(wnd.Create(nullptr, "p", WS_CHILD | WS_VISIBLE, CRect(10, 10, 60, 40), top.get(), 1));
    backend->ProcessMessages();
    wnd.UpdateWindow();
    CClientDC dc(&wnd);
    dc.FillSolidRect(0, 0, 50, 30, kWhite);
    wnd.InvalidateRect(CRect(5, 5, 15, 10), FALSE);
    wnd.UpdateWindow();
    EXPECT_TRUE(wnd.painted == CRect(5, 5, 15, 10))
        << wnd.painted.left << "," << wnd.painted.top << "," << wnd.painted.right << "," << wnd.painted.bottom;
    EXPECT_FALSE(wnd.printing);
    EXPECT_EQ(dc.GetPixel(6, 6), kRed);
    EXPECT_NE(dc.GetPixel(20, 20), kRed);
    wnd.DestroyWindow();
}

TEST(GdiTest, RegionsFontsPalettesAndImageLists)
{
    CRgn a, b, both;
    a.CreateRectRgn(0, 0, 10, 10);
    b.CreateRectRgn(5, 5, 15, 15);
    both.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(both.CombineRgn(&a, &b, RGN_AND), SIMPLEREGION);
    CRect box;
    both.GetRgnBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 10, 10));
    EXPECT_TRUE(a.PtInRegion(9, 9));
    EXPECT_FALSE(a.PtInRegion(10, 10));

    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, "Liberation Sans"));
    LOGFONT lf{};
    font.GetLogFont(&lf);
    CDC* screen = CDC::FromHandle(::GetDC(nullptr));
    const int dpi = screen->GetDeviceCaps(LOGPIXELSY);
    ::ReleaseDC(nullptr, screen->m_hDC);
    CDC::DeleteTempMap();
    EXPECT_EQ(lf.lfHeight, -((dpi * 120 + 360) / 720)) << "12 points at the screen's resolution";

    CPalette palette;
    EXPECT_EQ(palette.GetNearestPaletteIndex(kRed), CLR_INVALID) << "no palette yet";
    ASSERT_TRUE(palette.CreateHalftonePalette(nullptr));
    EXPECT_EQ(palette.GetEntryCount(), 216);
    PALETTEENTRY entry{};
    palette.GetPaletteEntries(palette.GetNearestPaletteIndex(RGB(250, 10, 100)), 1, &entry);
    EXPECT_EQ(RGB(entry.peRed, entry.peGreen, entry.peBlue), RGB(255, 0, 102));

    CImageList images;
    ASSERT_TRUE(images.Create(4, 4, ILC_COLOR32, 0, 2));
    CCanvas strip(8, 4);
    strip.FillSolidRect(4, 0, 4, 4, kBlue);
    CBitmap copy;
    copy.CreateBitmap(8, 4, 1, 32, nullptr);
    {
        CDC copyDC;
        copyDC.CreateCompatibleDC(nullptr);
        CBitmap* old = copyDC.SelectObject(&copy);
        copyDC.BitBlt(0, 0, 8, 4, &strip, 0, 0, SRCCOPY);
        copyDC.SelectObject(old);
    }
    EXPECT_EQ(images.Add(&copy, static_cast<CBitmap*>(nullptr)), 0);
    EXPECT_EQ(images.GetImageCount(), 2);
    CCanvas target(4, 4);
    EXPECT_TRUE(images.Draw(&target, 1, CPoint(0, 0), ILD_NORMAL));
    EXPECT_EQ(target.GetPixel(2, 2), kBlue);
    EXPECT_EQ(CImageList::FromHandle(images.m_hImageList), &images);
}
