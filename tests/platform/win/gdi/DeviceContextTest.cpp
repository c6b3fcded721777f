#include "platform/win/GdiTestUtil.h"

#include "platform/win/detail/DeviceContext.h"
#include "platform/win/detail/SurfaceDC.h"

#include <gtest/gtest.h>

namespace {
const COLORREF kBlack = RGB(0, 0, 0);
const COLORREF kWhite = RGB(255, 255, 255);
}

TEST(DeviceContextTest, DefaultsOfAMemoryDevice)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetTextColor(dc), kBlack);
    EXPECT_EQ(GetBkColor(dc), kWhite);
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    EXPECT_EQ(GetROP2(dc), R2_COPYPEN);
    EXPECT_EQ(GetMapMode(dc), MM_TEXT);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
    BITMAP bm{};
    ASSERT_EQ(GetObject(GetCurrentObject(dc, OBJ_BITMAP), sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmWidth, 1);
    EXPECT_EQ(bm.bmHeight, 1);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_MEMDC));
    // A bitmap compatible with a fresh memory device is monochrome.
    HBITMAP mono = CreateCompatibleBitmap(dc, 4, 4);
    GetObject(mono, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(mono);
    DeleteDC(dc);
    EXPECT_EQ(GetObjectType(dc), 0u);
}

TEST(DeviceContextTest, SaveAndRestoreWithRelativeIndex)
{
    TestCanvas c(4, 4);
    HDC dc = c.dc();
    SetTextColor(dc, RGB(1, 1, 1));
    int first = SaveDC(dc);
    EXPECT_EQ(first, 1);
    SetTextColor(dc, RGB(2, 2, 2));
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    SelectObject(dc, pen);
    IntersectClipRect(dc, 0, 0, 2, 2);
    EXPECT_EQ(SaveDC(dc), 2);
    SetTextColor(dc, RGB(3, 3, 3));
    EXPECT_TRUE(RestoreDC(dc, -1));
    EXPECT_EQ(GetTextColor(dc), RGB(2, 2, 2));
    EXPECT_FALSE(DeleteObject(pen)) << "still selected";
    EXPECT_TRUE(RestoreDC(dc, 1));
    EXPECT_EQ(GetTextColor(dc), RGB(1, 1, 1));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 4);
    EXPECT_FALSE(RestoreDC(dc, 1)) << "the stack is empty now";
    EXPECT_FALSE(RestoreDC(dc, -1));
    EXPECT_TRUE(DeleteObject(pen));
}

TEST(DeviceContextTest, SelectObjectReturnsPreviousAndRegionKind)
{
    TestCanvas c(10, 10);
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    EXPECT_EQ(SelectObject(c.dc(), b), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(c.dc(), GetStockObject(WHITE_BRUSH)), b);
    HRGN rgn = CreateRectRgn(0, 0, 5, 5);
    EXPECT_EQ(reinterpret_cast<intptr_t>(SelectObject(c.dc(), rgn)), SIMPLEREGION);
    DeleteObject(rgn);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_PEN))) << "stock objects are ignored";
    EXPECT_EQ(GetObjectType(GetStockObject(BLACK_PEN)), static_cast<DWORD>(OBJ_PEN));
}

TEST(DeviceContextTest, BitmapLivesInOneDeviceAtATime)
{
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(4, 4, 1, 32, nullptr);
    HGDIOBJ oldA = SelectObject(a, bm);
    EXPECT_NE(oldA, nullptr);
    EXPECT_EQ(SelectObject(b, bm), nullptr);
    EXPECT_FALSE(DeleteObject(bm));
    SelectObject(a, oldA);
    EXPECT_NE(SelectObject(b, bm), nullptr);
    DeleteDC(b);
    EXPECT_TRUE(DeleteObject(bm));
    DeleteDC(a);
}

TEST(DeviceContextTest, ClippingWithRectsAndRegions)
{
    TestCanvas c(10, 10);
    HDC dc = c.dc();
    IntersectClipRect(dc, 2, 2, 8, 8);
    EXPECT_EQ(ExcludeClipRect(dc, 4, 4, 6, 6), COMPLEXREGION);
    RECT all{0, 0, 10, 10};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(c.At(4, 4), CLR_INVALID) << "pixels outside the clip cannot be read";
    EXPECT_FALSE(PtVisible(dc, 5, 5));
    EXPECT_TRUE(PtVisible(dc, 3, 5));
    RECT inside{4, 4, 6, 6};
    EXPECT_FALSE(RectVisible(dc, &inside));
    RECT box;
    EXPECT_EQ(GetClipBox(dc, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 2);
    EXPECT_EQ(box.bottom, 8);
    HRGN got = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc, got), 1);
    EXPECT_FALSE(PtInRegion(got, 5, 5));
    // Selecting no region removes the clip.
    EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(dc, got), 0);
    EXPECT_EQ(c.Count(kBlack), 36 - 4);
    EXPECT_EQ(c.At(4, 4), kWhite);
    EXPECT_EQ(c.At(2, 2), kBlack);
    EXPECT_EQ(c.At(8, 8), kWhite);
    // ExtSelectClipRgn combines with the current clip.
    HRGN left = CreateRectRgn(0, 0, 5, 10);
    HRGN top = CreateRectRgn(0, 0, 10, 5);
    SelectClipRgn(dc, left);
    EXPECT_EQ(ExtSelectClipRgn(dc, top, RGN_AND), SIMPLEREGION);
    GetClipBox(dc, &box);
    EXPECT_EQ(box.right, 5);
    EXPECT_EQ(box.bottom, 5);
    EXPECT_EQ(ExtSelectClipRgn(dc, left, RGN_XOR), SIMPLEREGION) << "the lower half of the left strip";
    EXPECT_EQ(ExtSelectClipRgn(dc, left, RGN_DIFF), NULLREGION);
    DeleteObject(left);
    DeleteObject(top);
    DeleteObject(got);
}

TEST(DeviceContextTest, ClipRegionIsInDeviceUnits)
{
    TestCanvas c(10, 10);
    SetViewportOrgEx(c.dc(), 3, 0, nullptr);
    HRGN r = CreateRectRgn(0, 0, 4, 10);
    SelectClipRgn(c.dc(), r);
    RECT all{-10, 0, 10, 10};
    FillRect(c.dc(), &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    RECT box;
    GetClipBox(c.dc(), &box);
    EXPECT_EQ(box.left, -3) << "the clip box is logical";
    SelectClipRgn(c.dc(), nullptr);
    SetViewportOrgEx(c.dc(), 0, 0, nullptr);
    EXPECT_EQ(c.Map(kBlack, 0, 0, 10, 1), "####......");
    DeleteObject(r);
}

TEST(DeviceContextTest, AnisotropicMapping)
{
    TestCanvas c(4, 4);
    HDC dc = c.dc();
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 100, 100, nullptr);
    SetViewportExtEx(dc, 50, 200, nullptr);
    SetWindowOrgEx(dc, 10, 10, nullptr);
    SetViewportOrgEx(dc, 5, 5, nullptr);
    POINT p[] = {{10, 10}, {30, 20}, {11, 11}};
    LPtoDP(dc, p, 3);
    EXPECT_EQ(p[0].x, 5);
    EXPECT_EQ(p[0].y, 5);
    EXPECT_EQ(p[1].x, 15);
    EXPECT_EQ(p[1].y, 25);
    EXPECT_EQ(p[2].x, 6) << "0.5 rounds away from zero";
    EXPECT_EQ(p[2].y, 7);
    POINT q{15, 25};
    DPtoLP(dc, &q, 1);
    EXPECT_EQ(q.x, 30);
    EXPECT_EQ(q.y, 20);
}

TEST(DeviceContextTest, IsotropicCorrectsTheAspect)
{
    TestCanvas c(4, 4);
    HDC dc = c.dc();
    SetMapMode(dc, MM_ISOTROPIC);
    SetWindowExtEx(dc, 100, 100, nullptr);
    SetViewportExtEx(dc, 400, -200, nullptr);
    SIZE v;
    GetViewportExtEx(dc, &v);
    // The smaller scale (2 pixels per unit) wins on both axes; the sign stays.
    EXPECT_EQ(v.cx, 200);
    EXPECT_EQ(v.cy, -200);
    POINT p{10, 10};
    LPtoDP(dc, &p, 1);
    EXPECT_EQ(p.x, 20);
    EXPECT_EQ(p.y, -20);
}

TEST(DeviceContextTest, MetricModesAt96Dpi)
{
    TestCanvas c(4, 4);
    HDC dc = c.dc();
    SetMapMode(dc, MM_LOMETRIC);
    // 254 tenths of a millimetre make an inch, 96 pixels, and y grows upwards.
    POINT p{254, -254};
    LPtoDP(dc, &p, 1);
    EXPECT_EQ(p.x, 96);
    EXPECT_EQ(p.y, 96);
    SetMapMode(dc, MM_TWIPS);
    POINT t{1440, 720};
    LPtoDP(dc, &t, 1);
    EXPECT_EQ(t.x, 96);
    EXPECT_EQ(t.y, -48);
    SetMapMode(dc, MM_HIENGLISH);
    POINT h{500, 0};
    LPtoDP(dc, &h, 1);
    EXPECT_EQ(h.x, 48);
    // The extents of a fixed mode cannot be changed.
    EXPECT_TRUE(SetWindowExtEx(dc, 7, 7, nullptr));
    SIZE w;
    GetWindowExtEx(dc, &w);
    EXPECT_EQ(w.cx, 1000);
}

TEST(DeviceContextTest, DrawingFollowsTheMapping)
{
    TestCanvas c(10, 10);
    HDC dc = c.dc();
    SetMapMode(dc, MM_ANISOTROPIC);
    SetWindowExtEx(dc, 1, 1, nullptr);
    SetViewportExtEx(dc, 2, 2, nullptr);
    RECT r{1, 1, 3, 2};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetPixel(dc, 1, 1), kBlack) << "pixels are read through the mapping too";
    SetMapMode(dc, MM_TEXT);
    EXPECT_EQ(c.Map(kBlack, 0, 0, 8, 5), "........|........|..####..|..####..|........");
}

TEST(DeviceContextTest, DeviceCaps)
{
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 96);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 96);
    EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
    EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetDeviceCaps(dc, NUMCOLORS), -1);
    EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHBLT);
    // Millimetres at 96 dpi, rounded (the screen size is whatever the last backend installed).
    EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), (GetDeviceCaps(dc, HORZRES) * 254 + 480) / 960);
    DeleteDC(dc);
}

TEST(DeviceContextTest, SurfaceDeviceDrawsAtItsOriginInsideItsClip)
{
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 20, 20);
    Region clip(0, 0, 5, 5);
    HDC dc = CreateSurfaceDC(s, POINT{10, 10}, clip);
    ASSERT_NE(dc, nullptr);
    bool released = false;
    SetSurfaceDCReleaseHook(dc, [&released](HDC) { released = true; });
    RECT r{-5, -5, 20, 20};
    FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
    ReleaseSurfaceDC(dc);
    EXPECT_TRUE(released);
    cairo_surface_flush(s);
    auto* px = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(s));
    int stride = cairo_image_surface_get_stride(s) / 4;
    EXPECT_EQ(px[10 * stride + 10], 0xFFFFFFFFu) << "opaque white";
    EXPECT_EQ(px[14 * stride + 14], 0xFFFFFFFFu);
    EXPECT_EQ(px[15 * stride + 15], 0u);
    EXPECT_EQ(px[9 * stride + 9], 0u);
    cairo_surface_destroy(s);
}

TEST(DeviceContextTest, RecordingDeviceRecordsCalls)
{
    HDC dc = CreateRecordingDC(20, 20);
    MoveToEx(dc, 1, 2, nullptr);
    LineTo(dc, 5, 2);
    Rectangle(dc, 0, 0, 4, 4);
    const auto* calls = GetRecordedCalls(dc);
    ASSERT_NE(calls, nullptr);
    ASSERT_EQ(calls->size(), 2u);
    EXPECT_EQ((*calls)[0].name, "LineTo");
    EXPECT_EQ((*calls)[0].args, (std::vector<long long>{5, 2}));
    EXPECT_EQ((*calls)[1].name, "Rectangle");
    EXPECT_EQ(GetPixel(dc, 0, 0), kBlack) << "it draws too";
    ClearRecordedCalls(dc);
    EXPECT_TRUE(GetRecordedCalls(dc)->empty());
    DeleteDC(dc);
}
