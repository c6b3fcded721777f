#include "platform/win/GdiTestUtil.h"

#include <gtest/gtest.h>

namespace {
const COLORREF kEdgeWhite = RGB(255, 255, 255);
const COLORREF kEdgeBlack = RGB(0, 0, 0);
const COLORREF kFace = RGB(192, 192, 192);
const COLORREF kShadow = RGB(128, 128, 128);
const COLORREF kLight = RGB(223, 223, 223);
}

TEST(EdgeDrawingTest, RaisedEdgeColoursAndCorners)
{
    TestCanvas c(10, 10, RGB(1, 1, 1));
    RECT r{0, 0, 6, 6};
    DrawEdge(c.dc(), &r, EDGE_RAISED, BF_RECT | BF_MIDDLE);
    EXPECT_EQ(c.At(0, 0), kLight);           // outer top-left
    EXPECT_EQ(c.At(5, 0), kEdgeBlack);           // top-right corner takes the dark colour
    EXPECT_EQ(c.At(0, 5), kEdgeBlack);           // so does bottom-left
    EXPECT_EQ(c.At(1, 1), kEdgeWhite);           // inner highlight
    EXPECT_EQ(c.At(4, 4), kShadow);          // inner shadow
    EXPECT_EQ(c.At(2, 2), kFace);            // middle
    EXPECT_EQ(c.At(6, 6), RGB(1, 1, 1));     // outside untouched
    EXPECT_EQ(r.right, 6) << "no BF_ADJUST";
    RECT a{0, 0, 6, 6};
    DrawEdge(c.dc(), &a, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    EXPECT_EQ(a.left, 2);
    EXPECT_EQ(a.bottom, 4);
    EXPECT_EQ(c.At(0, 0), kShadow);
    EXPECT_EQ(c.At(1, 1), kEdgeBlack);
    RECT side{0, 0, 6, 6};
    DrawEdge(c.dc(), &side, BDR_RAISEDINNER, BF_LEFT | BF_ADJUST);
    EXPECT_EQ(side.left, 1);
    EXPECT_EQ(side.top, 0);
}

TEST(EdgeDrawingTest, FlatAndMonoEdges)
{
    TestCanvas c(6, 6);
    RECT r{0, 0, 6, 6};
    DrawEdge(c.dc(), &r, EDGE_SUNKEN, BF_RECT | BF_FLAT);
    EXPECT_EQ(c.At(0, 0), kShadow);
    EXPECT_EQ(c.At(5, 5), kShadow);
    EXPECT_EQ(c.At(1, 1), kFace);
    DrawEdge(c.dc(), &r, EDGE_RAISED, BF_RECT | BF_MONO);
    EXPECT_EQ(c.At(0, 0), kEdgeBlack);
    EXPECT_EQ(c.At(1, 1), kEdgeWhite);
}

TEST(EdgeDrawingTest, FocusRectTwiceRestores)
{
    TestCanvas c(12, 12, RGB(30, 60, 90));
    RECT r{1, 2, 9, 10};
    DrawFocusRect(c.dc(), &r);
    int changed = 144 - c.Count(RGB(30, 60, 90));
    // Every other pixel of the 28-pixel frame.
    EXPECT_EQ(changed, 14);
    EXPECT_EQ(c.At(4, 4), RGB(30, 60, 90)) << "the inside stays";
    DrawFocusRect(c.dc(), &r);
    EXPECT_EQ(c.Count(RGB(30, 60, 90)), 144);
}

TEST(EdgeDrawingTest, FrameControlsDraw)
{
    TestCanvas c(40, 40, RGB(1, 1, 1));
    RECT push{0, 0, 20, 10};
    DrawFrameControl(c.dc(), &push, DFC_BUTTON, DFCS_BUTTONPUSH);
    EXPECT_EQ(c.At(0, 0), kEdgeWhite);
    EXPECT_EQ(c.At(10, 5), kFace);
    RECT check{0, 20, 13, 33};
    DrawFrameControl(c.dc(), &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_CHECKED);
    EXPECT_EQ(c.At(0, 20), kShadow);
    int marks = 0;
    for (int y = 22; y < 31; ++y)
        for (int x = 2; x < 11; ++x) marks += c.At(x, y) == kEdgeBlack;
    EXPECT_EQ(marks, 21) << "the check mark";
    RECT arrow{20, 0, 36, 16};
    DrawFrameControl(c.dc(), &arrow, DFC_SCROLL, DFCS_SCROLLDOWN);
    int arrowPixels = 0;
    for (int y = 2; y < 14; ++y)
        for (int x = 22; x < 34; ++x) arrowPixels += c.At(x, y) == kEdgeBlack;
    EXPECT_EQ(arrowPixels, 1 + 3 + 5 + 7);
    RECT close{20, 20, 36, 34};
    EXPECT_TRUE(DrawFrameControl(c.dc(), &close, DFC_CAPTION, DFCS_CAPTIONCLOSE));
    EXPECT_EQ(c.At(20, 20), kEdgeWhite);
    RECT bad{0, 0, 1, 1};
    EXPECT_FALSE(DrawFrameControl(c.dc(), &bad, 99, 0));
}

TEST(EdgeDrawingTest, IconsMaskThenImage)
{
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, nullptr);
    HBITMAP color = CreateBitmap(2, 1, 1, 32, nullptr);
    HDC m = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(m, mask);
    SetPixel(m, 0, 0, kEdgeBlack);  // opaque
    SetPixel(m, 1, 0, kEdgeWhite);  // transparent
    SelectObject(m, color);
    SetPixel(m, 0, 0, RGB(200, 10, 10));
    SetPixel(m, 1, 0, kEdgeBlack);
    SelectObject(m, old);
    DeleteDC(m);
    ICONINFO ii{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&ii);
    ASSERT_NE(icon, nullptr);
    DeleteObject(mask);
    DeleteObject(color);
    TestCanvas c(4, 1, RGB(5, 6, 7));
    EXPECT_TRUE(DrawIconEx(c.dc(), 1, 0, icon, 0, 0, 0, nullptr, DI_NORMAL));
    EXPECT_EQ(c.At(1, 0), RGB(200, 10, 10));
    EXPECT_EQ(c.At(2, 0), RGB(5, 6, 7));
    ICONINFO back{};
    ASSERT_TRUE(GetIconInfo(icon, &back));
    BITMAP bm{};
    GetObject(back.hbmColor, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, 2);
    DeleteObject(back.hbmColor);
    DeleteObject(back.hbmMask);
    EXPECT_TRUE(DestroyIcon(icon));
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_FALSE(DrawIcon(c.dc(), 0, 0, icon));
}

TEST(EdgeDrawingTest, DisabledStateIsEmbossed)
{
    bool old = IsTestFontMode();
    SetTestFontMode(true);
    TestCanvas c(30, 20, kFace);
    HFONT f = CreateFont(10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SelectObject(c.dc(), f);
    DrawState(c.dc(), nullptr, nullptr, reinterpret_cast<LPARAM>("a"), 1, 2, 2, 0, 0, DST_TEXT | DSS_DISABLED);
    // The box of "a" (4 x 8 at 2,2) in shadow, its light copy showing one pixel down-right.
    EXPECT_EQ(c.At(2, 2), kShadow);
    EXPECT_EQ(c.At(5, 9), kShadow);
    EXPECT_EQ(c.At(6, 10), kEdgeWhite);
    EXPECT_EQ(c.At(6, 2), kFace);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
    SetTestFontMode(old);
}

TEST(EdgeDrawingTest, CaptionGlyphsHaveTheProportionsOfA16By14Button)
{
    TestCanvas c(16, 14);
    RECT r{0, 0, 16, 14};
    DrawFrameControl(c.dc(), &r, DFC_CAPTION, DFCS_CAPTIONCLOSE);
    // An 8x7 cross of 2-pixel strokes, centred.
    EXPECT_EQ(c.Map(kEdgeBlack, 4, 3, 12, 10), "##....##|"
                                           ".##..##.|"
                                           "..####..|"
                                           "...##...|"
                                           "..####..|"
                                           ".##..##.|"
                                           "##....##");
    c.Clear(kEdgeWhite);
    DrawFrameControl(c.dc(), &r, DFC_CAPTION, DFCS_CAPTIONMIN);
    EXPECT_EQ(c.Map(kEdgeBlack, 3, 8, 13, 12), "..........|"
                                           ".######...|"
                                           ".######...|"
                                           "..........");
    c.Clear(kEdgeWhite);
    DrawFrameControl(c.dc(), &r, DFC_CAPTION, DFCS_CAPTIONMAX);
    EXPECT_EQ(c.Map(kEdgeBlack, 4, 3, 12, 11), "########|"
                                           "########|"
                                           "#......#|"
                                           "#......#|"
                                           "#......#|"
                                           "#......#|"
                                           "#......#|"
                                           "########");
}
