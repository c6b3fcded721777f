// Device-independent bitmaps: file round trips of shallow, deep and odd images, damaged files
// refused without losing the image already held, and drawing through the halftone palette.
#include <gtest/gtest.h>

#include "platform/afx/gdi/CDC.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "platform/core/CMemFile.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/ScopedTempDir.h"
#include "toolkit/toolbars/DibLayout.h"
#include "toolkit/toolbars/SECDib.h"

#include <fstream>
#include <vector>

namespace {

// A BMP file built byte by byte: header fields as given, a table of `table` entries and rows
// of the stride the depth needs.
std::vector<BYTE> MakeBmp(int width, int height, int bits, int table, DWORD clrUsed = 0, DWORD compression = BI_RGB)
{
    const size_t stride = ((size_t(width) * bits + 31) / 32) * 4;
    const size_t rows = size_t(height < 0 ? -height : height);
    const size_t masks = compression == BI_BITFIELDS ? 12 : 0;
    const size_t offset = 14 + 40 + masks + size_t(table) * 4;
    std::vector<BYTE> f(offset + stride * rows, 0);
    f[0] = 'B';
    f[1] = 'M';
    DibPut32(&f[2], uint32_t(f.size()));
    DibPut32(&f[10], uint32_t(offset));
    DibPut32(&f[14], 40);
    DibPut32(&f[18], uint32_t(width));
    DibPut32(&f[22], uint32_t(height));
    DibPut16(&f[26], 1);
    DibPut16(&f[28], uint16_t(bits));
    DibPut32(&f[30], compression);
    DibPut32(&f[34], uint32_t(stride * rows));
    DibPut32(&f[46], clrUsed);
    if (compression == BI_BITFIELDS) {
        DibPut32(&f[54], 0xF800); // 5-6-5
        DibPut32(&f[58], 0x07E0);
        DibPut32(&f[62], 0x001F);
    }
    return f;
}

class SECDibTest : public AfxTest {
protected:
    // Reads bytes as a file would be read.
    static BOOL Load(SECDib& dib, const std::vector<BYTE>& bytes)
    {
        CMemFile file;
        file.Write(bytes.data(), UINT(bytes.size()));
        file.SeekToBegin();
        return dib.LoadImage(&file);
    }
    // A 2 x 2 8-bit image with a three-entry table: red, green, blue; pixels index 0..2.
    static std::vector<BYTE> ShortTableImage()
    {
        std::vector<BYTE> f = MakeBmp(2, 2, 8, 3, 3);
        const BYTE table[12] = {0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0};
        std::copy(table, table + 12, f.begin() + 54);
        const size_t bits = 54 + 12;
        f[bits + 0] = 0; // bottom row: red, green
        f[bits + 1] = 1;
        f[bits + 4] = 2; // top row: blue, red
        f[bits + 5] = 0;
        return f;
    }
};

TEST_F(SECDibTest, AShortColourTableIsReadWhereTheHeaderPutsItAndSavedInFull)
{
    SECDib dib;
    ASSERT_TRUE(Load(dib, ShortTableImage()));
    EXPECT_EQ(dib.GetBitCount(), 8);
    EXPECT_EQ(dib.GetColorCount(), 256);
    EXPECT_EQ(dib.GetRowWidth(), 4u);
    EXPECT_EQ(dib.GetPalette()->GetEntryCount(), 256) << "max(colours used, colour count) entries";
    PALETTEENTRY e{};
    dib.GetPalette()->GetPaletteEntries(1, 1, &e);
    EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), RGB(0, 255, 0));
    dib.GetPalette()->GetPaletteEntries(200, 1, &e);
    EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), RGB(0, 0, 0)) << "entries the file lacks are black";

    // Saved, the table has the depth's full 256 entries and the offsets agree with it.
    const std::vector<BYTE> saved = dib.ToFileBytes();
    ASSERT_EQ(saved.size(), 14u + 40 + 256 * 4 + 8);
    EXPECT_EQ(DibGet32(&saved[2]), saved.size());
    EXPECT_EQ(DibGet32(&saved[10]), 14u + 40 + 256 * 4);
    SECDib again;
    ASSERT_TRUE(Load(again, saved));
    EXPECT_EQ(std::vector<BYTE>(again.GetBits(), again.GetBits() + 8), std::vector<BYTE>(dib.GetBits(), dib.GetBits() + 8));

    // Drawn on the true-colour screen through the halftone palette, the colours are exact.
    EXPECT_TRUE(dib.IsHalftone());
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap target;
    ASSERT_TRUE(target.CreateBitmap(2, 2, 1, 32, nullptr));
    CBitmap* old = dc.SelectObject(&target);
    EXPECT_EQ(dib.StretchDraw(&dc, 0, 0, 2, 2, 0, 0, 2, 2), 2);
    EXPECT_EQ(dc.GetPixel(0, 1), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 255));
    dc.SelectObject(old);
}

TEST_F(SECDibTest, DeepAndOddImagesRoundTrip)
{
    // 24 bits: no table, no palette; 3-pixel rows padded to 12 bytes.
    std::vector<BYTE> deep = MakeBmp(3, 2, 24, 0);
    deep[54] = 0x11;
    deep[54 + 12 + 8] = 0x77;
    SECDib dib;
    ASSERT_TRUE(Load(dib, deep));
    EXPECT_EQ(dib.GetColorCount(), 0);
    EXPECT_FALSE(dib.GetPalette()->GetSafeHandle());
    EXPECT_EQ(dib.GetRowWidth(), 12u);
    EXPECT_EQ(dib.ToFileBytes(), deep);

    // 16-bit bit fields with the masks after a plain header, stored top-down.
    std::vector<BYTE> fields = MakeBmp(1, -2, 16, 0, 0, BI_BITFIELDS);
    DibPut16(&fields[66], 0xF800); // top row pure red
    ASSERT_TRUE(Load(dib, fields));
    EXPECT_EQ(dib.ToFileBytes(), fields);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap target;
    ASSERT_TRUE(target.CreateBitmap(1, 2, 1, 32, nullptr));
    CBitmap* old = dc.SelectObject(&target);
    dib.StretchDraw(&dc, 0, 0, 1, 2, 0, 0, 1, 2);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(dc.GetPixel(0, 1), RGB(0, 0, 0));
    dc.SelectObject(old);

    // Through an archive the stored form is the file form.
    CMemFile mem;
    {
        CArchive ar(&mem, CArchive::store);
        dib.Serialize(ar);
    }
    mem.SeekToBegin();
    SECDib loaded;
    {
        CArchive ar(&mem, CArchive::load);
        loaded.Serialize(ar);
    }
    EXPECT_EQ(loaded.ToFileBytes(), fields);
}

TEST_F(SECDibTest, DamagedFilesAreRefusedAndTheOldImageKept)
{
    SECDib dib;
    ASSERT_TRUE(Load(dib, ShortTableImage()));
    const std::vector<BYTE> before = dib.ToFileBytes();

    std::vector<std::vector<BYTE>> bad;
    std::vector<BYTE> f = ShortTableImage();
    f[0] = 'X';
    bad.push_back(f); // not "BM"
    f = ShortTableImage();
    f.resize(f.size() - 1);
    bad.push_back(f); // the last row is cut short
    f = ShortTableImage();
    DibPut32(&f[10], 0x7FFFFFF0);
    bad.push_back(f); // the bits offset points far past the file
    f = ShortTableImage();
    DibPut32(&f[10], 20);
    bad.push_back(f); // the bits offset points into the header
    f = ShortTableImage();
    DibPut32(&f[46], 300);
    bad.push_back(f); // more colours than 8 bits can index
    f = ShortTableImage();
    DibPut16(&f[28], 7);
    bad.push_back(f); // no such depth
    f = ShortTableImage();
    DibPut32(&f[18], 0x40000000);
    bad.push_back(f); // a width whose rows overflow
    f = ShortTableImage();
    DibPut32(&f[22], 0x80000000u);
    bad.push_back(f); // a height that has no positive twin
    f = ShortTableImage();
    DibPut32(&f[30], 1);
    bad.push_back(f); // run-length compressed
    bad.push_back(std::vector<BYTE>(10, 'B')); // shorter than a file header
    for (size_t i = 0; i < bad.size(); ++i) {
        EXPECT_FALSE(Load(dib, bad[i])) << "case " << i;
        EXPECT_EQ(dib.ToFileBytes(), before) << "case " << i << " lost the image";
    }

    // A missing file fails the same way, and so does a save into a folder that is not there.
    ScopedTempDir dir;
    EXPECT_FALSE(dib.LoadImage((dir.Path() + "/none.bmp").c_str()));
    EXPECT_FALSE(dib.SaveImage((dir.Path() + "/no/such.bmp").c_str()));
    EXPECT_EQ(dib.ToFileBytes(), before);
    const std::string path = dir.Path() + "/kept.bmp";
    ASSERT_TRUE(dib.SaveImage(path.c_str()));
    SECDib fromDisk;
    ASSERT_TRUE(fromDisk.LoadImage(path.c_str()));
    EXPECT_EQ(fromDisk.ToFileBytes(), before);
}

TEST_F(SECDibTest, ABitmapBecomesAnImageOfItsDepth)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    CBitmap source;
    ASSERT_TRUE(source.CreateBitmap(5, 3, 1, 32, nullptr));
    CBitmap* old = dc.SelectObject(&source);
    dc.FillSolidRect(0, 0, 5, 3, RGB(10, 20, 30));
    dc.SetPixel(4, 0, RGB(200, 100, 50));
    dc.SelectObject(old);
    SECDib dib;
    ASSERT_TRUE(dib.CreateFromBitmap(&dc, &source));
    EXPECT_EQ(dib.GetBitCount(), 24);
    EXPECT_EQ(dib.GetRowWidth(), 16u);
    EXPECT_FALSE(dib.GetPalette()->GetSafeHandle());
    // Bottom-up rows: the top row is the last one; its fifth pixel is blue-green-red.
    const BYTE* top = dib.GetBits() + 2 * 16 + 4 * 3;
    EXPECT_EQ(top[0], 50);
    EXPECT_EQ(top[1], 100);
    EXPECT_EQ(top[2], 200);
    CBitmap empty;
    EXPECT_FALSE(dib.CreateFromBitmap(&dc, &empty));
    EXPECT_TRUE(dib.HasImage());
}

} // namespace
