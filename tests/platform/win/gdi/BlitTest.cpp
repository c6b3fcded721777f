#include "platform/win/GdiTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

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

// Shrunk in HALFTONE mode, every source pixel counts: a one-pixel line a quarter-size copy would
// sample past shows as a grey line; the other modes sample.
TEST(BlitTest, HalftoneShrinkingAveragesWhatEachPixelCovers)
{
    TestCanvas src(8, 8);
    PatBlt(src.dc(), 0, 0, 8, 8, WHITENESS);
    for (int y = 0; y < 8; ++y)
        SetPixel(src.dc(), 1, y, RGB(0, 0, 0));   // a line down column 1
    TestCanvas dst(2, 2);
    StretchBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 8, 8, SRCCOPY);
    EXPECT_EQ(GetPixel(dst.dc(), 0, 0), RGB(255, 255, 255)) << "sampling misses the line";

    SetStretchBltMode(dst.dc(), HALFTONE);
    StretchBlt(dst.dc(), 0, 0, 2, 2, src.dc(), 0, 0, 8, 8, SRCCOPY);
    // A quarter of the 4 × 4 block is black: three quarters of white.
    EXPECT_EQ(GetPixel(dst.dc(), 0, 0), RGB(191, 191, 191));
    EXPECT_EQ(GetPixel(dst.dc(), 0, 1), RGB(191, 191, 191));
    EXPECT_EQ(GetPixel(dst.dc(), 1, 0), RGB(255, 255, 255));
    // Growing is not averaged: the pixels are doubled as in any mode.
    TestCanvas big(16, 16);
    SetStretchBltMode(big.dc(), HALFTONE);
    StretchBlt(big.dc(), 0, 0, 16, 16, src.dc(), 0, 0, 8, 8, SRCCOPY);
    EXPECT_EQ(GetPixel(big.dc(), 2, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(big.dc(), 3, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(big.dc(), 4, 0), RGB(255, 255, 255));
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

namespace {

// A DIB section header of a depth with a colour table of black, white, red, green (unused
// entries black), or the 5-6-5 masks for 16 bits when asked.
struct SectionInfo {
    BITMAPINFOHEADER header{};
    RGBQUAD colors[256]{};
};

HBITMAP MakeSection(int bitCount, int width, int height, void** bits, bool masks565 = false)
{
    SectionInfo si;
    si.header.biSize = sizeof(BITMAPINFOHEADER);
    si.header.biWidth = width;
    si.header.biHeight = height;
    si.header.biPlanes = 1;
    si.header.biBitCount = static_cast<WORD>(bitCount);
    si.header.biCompression = masks565 ? BI_BITFIELDS : BI_RGB;
    if (bitCount <= 8) {
        si.colors[1] = RGBQUAD{255, 255, 255, 0};
        if (bitCount > 1) {
            si.colors[2] = RGBQUAD{0, 0, 255, 0};   // red (blue, green, red order)
            si.colors[3] = RGBQUAD{0, 255, 0, 0};
        }
    }
    if (masks565) {
        const DWORD m[3] = {0xF800, 0x07E0, 0x001F};
        std::memcpy(si.colors, m, sizeof(m));
    }
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&si), DIB_RGB_COLORS, bits, nullptr, 0);
}

} // namespace

TEST(BlitTest, DibSectionsOfFewerBitsShareTheirMemoryInTheirOwnFormat)
{
    struct Case {
        int bits;
        bool masks565;
        std::vector<uint8_t> row0;   // the bottom row in memory: pixel 0 white, pixel 1 red
        COLORREF red;                // what red reads back as
    };
    const Case cases[] = {
        {1, false, {0x80, 0, 0, 0}, RGB(0, 0, 0)},   // no red in two colours: black
        {4, false, {0x12, 0, 0, 0}, RGB(255, 0, 0)},
        {8, false, {1, 2, 0, 0}, RGB(255, 0, 0)},
        {16, false, {0xFF, 0x7F, 0x00, 0x7C}, RGB(255, 0, 0)},
        {16, true, {0xFF, 0xFF, 0x00, 0xF8}, RGB(255, 0, 0)},
        {24, false, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0, 0}, RGB(255, 0, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bits);
        void* bits = nullptr;
        HBITMAP section = MakeSection(c.bits, 3, 2, &bits, c.masks565);
        ASSERT_NE(section, nullptr);
        ASSERT_NE(bits, nullptr);
        DIBSECTION ds{};
        ASSERT_EQ(GetObject(section, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
        EXPECT_EQ(ds.dsBm.bmBitsPixel, c.bits);
        EXPECT_EQ(ds.dsBm.bmWidthBytes, 4 * ((3 * c.bits + 31) / 32));
        // The caller writes the bottom row (bottom-up: first in memory); drawing sees it.
        auto* mem = static_cast<uint8_t*>(bits);
        std::memcpy(mem, c.row0.data(), std::min<size_t>(c.row0.size(), ds.dsBm.bmWidthBytes));
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ old = SelectObject(dc, section);
        EXPECT_EQ(GetPixel(dc, 0, 1), RGB(255, 255, 255));
        EXPECT_EQ(GetPixel(dc, 1, 1), c.bits == 1 ? RGB(0, 0, 0) : c.red);
        EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
        // Blitting out of it shows the same.
        TestCanvas canvas(3, 2, RGB(9, 9, 9));
        BitBlt(canvas.dc(), 0, 0, 3, 2, dc, 0, 0, SRCCOPY);
        EXPECT_EQ(canvas.At(0, 1), RGB(255, 255, 255));
        // Drawing reaches the caller's memory in its format once flushed: white at top-left,
        // which is the second row in memory.
        SetPixel(dc, 0, 0, RGB(255, 255, 255));
        GdiFlush();
        const uint8_t* top = mem + ds.dsBm.bmWidthBytes;
        switch (c.bits) {
        case 1: EXPECT_EQ(top[0] & 0x80, 0x80); break;
        case 4: EXPECT_EQ(top[0] >> 4, 1); break;
        case 8: EXPECT_EQ(top[0], 1); break;
        case 16: EXPECT_EQ(top[0] | (top[1] << 8), c.masks565 ? 0xFFFF : 0x7FFF); break;
        case 24: EXPECT_EQ(top[0] & top[1] & top[2], 0xFF); break;
        }
        // A colour the table lacks comes back as its nearest entry.
        if (c.bits == 8) {
            SetPixel(dc, 2, 0, RGB(250, 10, 10));
            EXPECT_EQ(GetPixel(dc, 2, 0), RGB(255, 0, 0));
            GdiFlush();
            EXPECT_EQ(top[2], 2);
        }
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(section);
    }
    // Headers a section cannot have are refused.
    void* bits = nullptr;
    SectionInfo bad;
    bad.header.biSize = sizeof(BITMAPINFOHEADER);
    bad.header.biWidth = 4;
    bad.header.biHeight = 4;
    bad.header.biPlanes = 1;
    bad.header.biBitCount = 8;
    bad.header.biClrUsed = 300;
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bad), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    bad.header.biBitCount = 7;
    bad.header.biClrUsed = 0;
    EXPECT_EQ(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&bad), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}
