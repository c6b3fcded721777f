// Button images: strips from toolbar resources, command ids mapped to their first image, the
// large strip stretched from the small one, and system-colour mapping of PNG and packed
// bitmap resources, deep and short-tabled ones included.
#include <gtest/gtest.h>

#include "platform/afx/gdi/CDC.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/UserApi.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/data/ToolbarIds.h"
#include "toolkit/toolbars/DibLayout.h"
#include "toolkit/toolbars/SECBmpMgr.h"
#include "toolkit/toolbars/SECLoadSysColorBitmap.h"

#include <vector>

namespace {

COLORREF PixelOf(HBITMAP bitmap, int x, int y)
{
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc.GetSafeHdc(), bitmap);
    const COLORREF c = dc.GetPixel(x, y);
    ::SelectObject(dc.GetSafeHdc(), old);
    return c;
}

SIZE SizeOf(HBITMAP bitmap)
{
    BITMAP bm{};
    ::GetObject(bitmap, sizeof(bm), &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

// Packed DIBs registered as BITMAP resources of a module of the test's own.
std::vector<BYTE> PackedDib(int width, int height, int bits, DWORD clrUsed, const std::vector<DWORD>& table,
                            const std::vector<BYTE>& rows)
{
    std::vector<BYTE> d(40 + table.size() * 4, 0);
    DibPut32(&d[0], 40);
    DibPut32(&d[4], uint32_t(width));
    DibPut32(&d[8], uint32_t(height));
    DibPut16(&d[12], 1);
    DibPut16(&d[14], uint16_t(bits));
    DibPut32(&d[32], clrUsed);
    for (size_t i = 0; i < table.size(); ++i)
        DibPut32(&d[40 + i * 4], table[i]);
    d.insert(d.end(), rows.begin(), rows.end());
    return d;
}

// A 4-bit 4 x 1 image whose table has only the four colours it uses: black, dark grey, light
// grey, white, then four bytes of pixels (indices 0,1,2,3) padded to the row.
const std::vector<BYTE> kShortTable =
    PackedDib(4, 1, 4, 4, {0x000000, 0x808080, 0xC0C0C0, 0xFFFFFF}, {0x01, 0x23, 0, 0});
// A 24-bit 2 x 1 image: light grey and a colour of its own; no table at all.
const std::vector<BYTE> kDeep = PackedDib(2, 1, 24, 0, {}, {0xC0, 0xC0, 0xC0, 0x30, 0x20, 0x10, 0, 0});
// The short-table image with its last row byte missing.
const std::vector<BYTE> kCut(kShortTable.begin(), kShortTable.end() - 1);

const ResourceEntry kEntries[] = {
    {RT_BITMAP, MAKEINTRESOURCE(7301), kShortTable.data(), DWORD(kShortTable.size())},
    {RT_BITMAP, MAKEINTRESOURCE(7302), kDeep.data(), DWORD(kDeep.size())},
    {RT_BITMAP, MAKEINTRESOURCE(7303), kCut.data(), DWORD(kCut.size())},
};

class SECBmpMgrTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        RegisterResourceModule(ResourceModuleTable{"toolkitdibs", kEntries, std::size(kEntries)});
    }
};

TEST_F(SECBmpMgrTest, SystemColoursReplaceTheStandardGreysOfEveryResourceForm)
{
    const COLORREF text = ::GetSysColor(COLOR_BTNTEXT), shadow = ::GetSysColor(COLOR_BTNSHADOW);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);

    // A short table is read as short: the bits follow its four entries, not sixteen.
    CBitmap shortTable;
    ASSERT_TRUE(SECLoadSysColorBitmap(shortTable, MAKEINTRESOURCE(7301)));
    HBITMAP h = static_cast<HBITMAP>(shortTable.GetSafeHandle());
    EXPECT_EQ(PixelOf(h, 0, 0), text);
    EXPECT_EQ(PixelOf(h, 1, 0), shadow);
    EXPECT_EQ(PixelOf(h, 2, 0), face);
    EXPECT_EQ(PixelOf(h, 3, 0), light);

    // A deep image has no table; its bits follow the header directly.
    CBitmap deep;
    ASSERT_TRUE(SECLoadSysColorBitmap(deep, MAKEINTRESOURCE(7302)));
    EXPECT_EQ(PixelOf(static_cast<HBITMAP>(deep.GetSafeHandle()), 1, 0), RGB(0x10, 0x20, 0x30));

    // Cut short, missing or already filled: refused, nothing made.
    CBitmap cut, missing;
    EXPECT_FALSE(SECLoadSysColorBitmap(cut, MAKEINTRESOURCE(7303)));
    EXPECT_FALSE(cut.GetSafeHandle());
    EXPECT_FALSE(SECLoadSysColorBitmap(missing, MAKEINTRESOURCE(7399)));
    EXPECT_FALSE(SECLoadSysColorBitmap(deep, MAKEINTRESOURCE(7301)));

    // A PNG strip: light grey becomes the face colour, black the text colour, red stays.
    CBitmap png;
    ASSERT_TRUE(SECLoadSysColorBitmap(png, MAKEINTRESOURCE(IDR_TB_SMALL)));
    h = static_cast<HBITMAP>(png.GetSafeHandle());
    EXPECT_EQ(PixelOf(h, 0, 0), face);
    EXPECT_EQ(PixelOf(h, 3, 3), text);
    EXPECT_EQ(PixelOf(h, 10, 10), RGB(255, 0, 0));
}

TEST_F(SECBmpMgrTest, CommandsMapToTheirFirstImageInEveryStrip)
{
    auto* mgr = new SECBmpMgr;
    ASSERT_TRUE(mgr->LoadToolBar(IDR_TB_SMALL));
    ASSERT_TRUE(mgr->LoadToolBar(IDR_TB_SECOND));
    EXPECT_EQ(mgr->GetSmallWidth(), 16);
    EXPECT_EQ(mgr->GetSmallHeight(), 15);
    HBITMAP bitmap = nullptr;
    int index = -1;
    // The separator takes no image: the two after it are images 1 and 2.
    ASSERT_TRUE(mgr->GetImage(ID_TB_TWO, bitmap, index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(PixelOf(bitmap, index * 16 + 3, 3), RGB(0, 255, 0));
    // Listed by both resources: the first one's image.
    ASSERT_TRUE(mgr->GetImage(ID_TB_THREE, bitmap, index));
    EXPECT_EQ(index, 2);
    EXPECT_EQ(PixelOf(bitmap, index * 16 + 3, 3), RGB(0, 0, 255));
    ASSERT_TRUE(mgr->GetImage(ID_TB_FOUR, bitmap, index));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(PixelOf(bitmap, 16 + 3, 3), RGB(255, 0, 255));
    EXPECT_FALSE(mgr->GetImage(9999, bitmap, index));
    EXPECT_FALSE(mgr->LoadToolBar(7999)) << "no such toolbar resource";

    // Large mode without a large resource stretches the small strip; off and on again rebuilds it.
    mgr->SetSmallImages(FALSE);
    EXPECT_EQ(mgr->GetImageWidth(), 22);
    ASSERT_TRUE(mgr->GetImage(ID_TB_TWO, bitmap, index));
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(SizeOf(bitmap).cx, 22 * 3);
    EXPECT_EQ(SizeOf(bitmap).cy, 24);
    EXPECT_EQ(PixelOf(bitmap, 22 + 21, 23), RGB(0, 255, 0));
    EXPECT_EQ(mgr->GetStrip(0)->hSmall, nullptr) << "only the strip in use is kept";
    mgr->SetSmallImages(TRUE);
    EXPECT_EQ(mgr->GetStrip(0)->hLarge, nullptr);
    mgr->SetSmallImages(FALSE);
    ASSERT_TRUE(mgr->GetImage(ID_TB_FOUR, bitmap, index));
    EXPECT_EQ(PixelOf(bitmap, 22 + 5, 5), RGB(255, 0, 255));
    ASSERT_TRUE(mgr->GetImage(ID_TB_FOUR, bitmap, index, TRUE));
    EXPECT_EQ(bitmap, nullptr) << "forced small while only the large strip is kept";
    mgr->SetKeepBoth(TRUE);
    ASSERT_TRUE(mgr->GetImage(ID_TB_FOUR, bitmap, index, TRUE));
    EXPECT_EQ(SizeOf(bitmap).cx, 32);
    mgr->AddRef();
    mgr->Release();
    mgr->Release(); // the last reference deletes it (the sanitizer build checks)
}

TEST_F(SECBmpMgrTest, ALargeResourceSetsTheLargeSizeAndItsOwnImages)
{
    auto* mgr = new SECBmpMgr;
    ASSERT_TRUE(mgr->LoadToolBar(IDR_TB_SMALL, IDR_TB_LARGE));
    EXPECT_EQ(mgr->GetLargeWidth(), 24);
    EXPECT_EQ(mgr->GetLargeHeight(), 24);
    mgr->SetSmallImages(FALSE);
    HBITMAP bitmap = nullptr;
    int index = -1;
    ASSERT_TRUE(mgr->GetImage(ID_TB_ONE, bitmap, index));
    EXPECT_EQ(SizeOf(bitmap).cx, 72);
    EXPECT_EQ(PixelOf(bitmap, 30, 5), RGB(0, 128, 128)) << "the large resource's own image, not a stretch";
    mgr->Release();
}

} // namespace
