#include "GdiTestUtil.h"

#include <gtest/gtest.h>

#include <random>

namespace {

uint32_t Rop3Formula(unsigned code, uint32_t p, uint32_t s, uint32_t d)
{
    uint32_t out = 0;
    for (int bit = 0; bit < 24; ++bit) {
        int idx = (((p >> bit) & 1) << 2) | (((s >> bit) & 1) << 1) | ((d >> bit) & 1);
        out |= static_cast<uint32_t>((code >> idx) & 1) << bit;
    }
    return out;
}

} // namespace

TEST(BlitTest, TernaryCodesMatchTheirBooleanFunction)
{
    const DWORD codes[] = {0x00B8074A, 0x00E20746, SRCAND, MERGEPAINT, NOTSRCCOPY, SRCPAINT, SRCINVERT, SRCERASE,
                           NOTSRCERASE, MERGECOPY, PATPAINT, PATINVERT, DSTINVERT, 0x00960000, 0x001D0000};
    std::mt19937 rng(7);
    const int n = 16;
    TestCanvas src(n, n);
    TestCanvas dst(n, n);
    for (DWORD rop : codes) {
        std::vector<COLORREF> s(n * n), d(n * n);
        for (int i = 0; i < n * n; ++i) {
            s[i] = rng() & 0xFFFFFF;
            d[i] = rng() & 0xFFFFFF;
            SetPixel(src.dc(), i % n, i / n, s[i]);
            SetPixel(dst.dc(), i % n, i / n, d[i]);
        }
        COLORREF pat = rng() & 0xFFFFFF;
        HBRUSH brush = CreateSolidBrush(pat);
        HGDIOBJ old = SelectObject(dst.dc(), brush);
        ASSERT_TRUE(BitBlt(dst.dc(), 0, 0, n, n, src.dc(), 0, 0, rop));
        for (int i = 0; i < n * n; ++i) {
            ASSERT_EQ(dst.At(i % n, i / n), Rop3Formula((rop >> 16) & 0xFF, pat, s[i], d[i]))
                << std::hex << "rop " << rop << " pixel " << i;
        }
        SelectObject(dst.dc(), old);
        DeleteObject(brush);
    }
}

TEST(BlitTest, SourceCopyIsClippedToTheSource)
{
    TestCanvas src(4, 4, RGB(1, 2, 3));
    TestCanvas dst(8, 8);
    BitBlt(dst.dc(), 0, 0, 8, 8, src.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(dst.Count(RGB(1, 2, 3)), 16);
    EXPECT_EQ(dst.At(4, 4), RGB(255, 255, 255));
}

TEST(BlitTest, OverlappingCopyInsideOneBitmap)
{
    TestCanvas c(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) SetPixel(c.dc(), x, y, RGB(x, y, 0));
    BitBlt(c.dc(), 1, 2, 6, 5, c.dc(), 0, 0, SRCCOPY);
    for (int y = 2; y < 7; ++y)
        for (int x = 1; x < 7; ++x) EXPECT_EQ(c.At(x, y), RGB(x - 1, y - 2, 0)) << x << "," << y;
    BitBlt(c.dc(), 0, 0, 6, 5, c.dc(), 1, 2, SRCCOPY);
    EXPECT_EQ(c.At(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(c.At(5, 4), RGB(5, 4, 0));
}

TEST(BlitTest, MonochromeToColourUsesDestinationColours)
{
    HDC mono = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateBitmap(2, 1, 1, 1, nullptr);
    SelectObject(mono, bm);
    SetPixel(mono, 0, 0, RGB(255, 255, 255));
    SetPixel(mono, 1, 0, RGB(0, 0, 0));
    TestCanvas dst(2, 1);
    SetTextColor(dst.dc(), RGB(200, 0, 0));
    SetBkColor(dst.dc(), RGB(0, 0, 200));
    BitBlt(dst.dc(), 0, 0, 2, 1, mono, 0, 0, SRCCOPY);
    EXPECT_EQ(dst.At(0, 0), RGB(0, 0, 200)) << "1 bits take the background colour";
    EXPECT_EQ(dst.At(1, 0), RGB(200, 0, 0)) << "0 bits take the text colour";
    DeleteDC(mono);
    DeleteObject(bm);
}

TEST(BlitTest, ColourToMonochromeMatchesTheSourceBackground)
{
    TestCanvas src(3, 1);
    SetPixel(src.dc(), 0, 0, RGB(10, 20, 30));
    SetPixel(src.dc(), 1, 0, RGB(255, 255, 255));
    SetPixel(src.dc(), 2, 0, RGB(0, 0, 0));
    SetBkColor(src.dc(), RGB(10, 20, 30));
    HDC mono = CreateCompatibleDC(nullptr);
    HBITMAP bm = CreateCompatibleBitmap(mono, 3, 1);
    SelectObject(mono, bm);
    BitBlt(mono, 0, 0, 3, 1, src.dc(), 0, 0, SRCCOPY);
    EXPECT_EQ(GetPixel(mono, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(mono, 1, 0), RGB(0, 0, 0)) << "white is not the background colour here";
    EXPECT_EQ(GetPixel(mono, 2, 0), RGB(0, 0, 0));
    DeleteDC(mono);
    DeleteObject(bm);
}

TEST(BlitTest, PatBltCodes)
{
    TestCanvas c(4, 1, RGB(0x12, 0x34, 0x56));
    HBRUSH b = CreateSolidBrush(RGB(0xFF, 0x00, 0x0F));
    SelectObject(c.dc(), b);
    PatBlt(c.dc(), 0, 0, 1, 1, PATCOPY);
    PatBlt(c.dc(), 1, 0, 1, 1, PATINVERT);
    PatBlt(c.dc(), 2, 0, 1, 1, DSTINVERT);
    PatBlt(c.dc(), 3, 0, 1, 1, BLACKNESS);
    EXPECT_EQ(c.At(0, 0), RGB(0xFF, 0x00, 0x0F));
    EXPECT_EQ(c.At(1, 0), RGB(0x12 ^ 0xFF, 0x34, 0x56 ^ 0x0F));
    EXPECT_EQ(c.At(2, 0), RGB(0xED, 0xCB, 0xA9));
    EXPECT_EQ(c.At(3, 0), RGB(0, 0, 0));
    PatBlt(c.dc(), 0, 0, 4, 1, WHITENESS);
    EXPECT_EQ(c.Count(RGB(255, 255, 255)), 4);
    SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    DeleteObject(b);
}

TEST(BlitTest, StretchDoublesPixels)
{
    TestCanvas src(2, 1);
    SetPixel(src.dc(), 0, 0, RGB(1, 0, 0));
    SetPixel(src.dc(), 1, 0, RGB(2, 0, 0));
    TestCanvas dst(4, 2);
    StretchBlt(dst.dc(), 0, 0, 4, 2, src.dc(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Map(RGB(1, 0, 0), 0, 0, 4, 2), "##..|##..");
    // A negative width mirrors.
    StretchBlt(dst.dc(), 3, 0, -4, 2, src.dc(), 0, 0, 2, 1, SRCCOPY);
    EXPECT_EQ(dst.Map(RGB(2, 0, 0), 0, 0, 4, 2), "##..|##..");
}

TEST(BlitTest, MaskBltPicksCodeByMaskBit)
{
    TestCanvas src(2, 1, RGB(9, 9, 9));
    TestCanvas dst(2, 1, RGB(5, 5, 5));
    WORD bits[1] = {0x80}; // pixel 0 set
    HBITMAP mask = CreateBitmap(2, 1, 1, 1, bits);
    MaskBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029));
    EXPECT_EQ(dst.At(0, 0), RGB(9, 9, 9));
    EXPECT_EQ(dst.At(1, 0), RGB(5, 5, 5));
    DeleteObject(mask);
}

TEST(BlitTest, TransparentBltSkipsTheKeyColour)
{
    TestCanvas src(2, 1, RGB(255, 0, 255));
    SetPixel(src.dc(), 1, 0, RGB(1, 2, 3));
    TestCanvas dst(2, 1, RGB(7, 7, 7));
    TransparentBlt(dst.dc(), 0, 0, 2, 1, src.dc(), 0, 0, 2, 1, RGB(255, 0, 255));
    EXPECT_EQ(dst.At(0, 0), RGB(7, 7, 7));
    EXPECT_EQ(dst.At(1, 0), RGB(1, 2, 3));
}

TEST(BlitTest, DibRoundTripAndBottomUpOrder)
{
    TestCanvas c(3, 2);
    SetPixel(c.dc(), 0, 0, RGB(10, 20, 30));
    SetPixel(c.dc(), 2, 1, RGB(40, 50, 60));
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = 2; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    std::vector<uint8_t> bits(12 * 2);
    HGDIOBJ old = SelectObject(c.dc(), GetStockObject(WHITE_BRUSH));
    (void)old;
    ASSERT_EQ(GetDIBits(c.dc(), c.bitmap(), 0, 2, bits.data(), &info, DIB_RGB_COLORS), 2);
    // The first row in memory is the bottom row: its last pixel is (40, 50, 60) as B, G, R.
    EXPECT_EQ(bits[6], 60);
    EXPECT_EQ(bits[7], 50);
    EXPECT_EQ(bits[8], 40);
    EXPECT_EQ(bits[12], 30);
    TestCanvas d(3, 2);
    EXPECT_EQ(StretchDIBits(d.dc(), 0, 0, 3, 2, 0, 0, 3, 2, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(d.At(0, 0), RGB(10, 20, 30));
    EXPECT_EQ(d.At(2, 1), RGB(40, 50, 60));
    // 1-bit DIB with its own colour table.
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colors[2];
    } mono{};
    mono.h = info.bmiHeader;
    mono.h.biBitCount = 1;
    mono.h.biHeight = -2; // top-down
    mono.colors[0] = RGBQUAD{0, 0, 255, 0};
    mono.colors[1] = RGBQUAD{255, 0, 0, 0};
    uint8_t monoBits[8] = {0x40, 0, 0, 0, 0x20, 0, 0, 0};
    HBITMAP target = CreateBitmap(3, 2, 1, 32, nullptr);
    EXPECT_EQ(SetDIBits(nullptr, target, 0, 2, monoBits, reinterpret_cast<BITMAPINFO*>(&mono), DIB_RGB_COLORS), 2);
    HDC m = CreateCompatibleDC(nullptr);
    SelectObject(m, target);
    EXPECT_EQ(GetPixel(m, 1, 0), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(m, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(GetPixel(m, 2, 1), RGB(0, 0, 255));
    DeleteDC(m);
    DeleteObject(target);
}

TEST(BlitTest, DibSectionSharesItsMemory)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 2;
    info.bmiHeader.biHeight = 2; // bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bm = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(bm, nullptr);
    ASSERT_NE(bits, nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bm);
    SetPixel(dc, 0, 0, RGB(1, 2, 3)); // top-left: the last row in memory
    auto* px = static_cast<uint32_t*>(bits);
    EXPECT_EQ(px[2] & 0xFFFFFF, 0x010203u);
    px[1] = 0x00AABBCC; // bottom-right
    EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0xAA, 0xBB, 0xCC));
    DIBSECTION ds{};
    EXPECT_EQ(GetObject(bm, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    DeleteDC(dc);
    DeleteObject(bm);
}
