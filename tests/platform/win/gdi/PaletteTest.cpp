// Palettes on a true-colour display: tables that can be made, read, changed, selected and
// realized, without changing a pixel.
#include <gtest/gtest.h>

#include "platform/win/Gdi.h"
#include "tests/platform/win/GdiTestUtil.h"

namespace {

TEST(PaletteTest, SelectionSwapsPalettesAndChangesNoPixel)
{
    TestCanvas canvas(4, 4, RGB(10, 20, 30));
    HPALETTE halftone = CreateHalftonePalette(canvas.dc());
    ASSERT_TRUE(halftone);
    WORD count = 0;
    EXPECT_EQ(GetObject(halftone, sizeof(count), &count), int(sizeof(count)));
    EXPECT_EQ(count, 216);
    EXPECT_EQ(GetObjectType(halftone), DWORD(OBJ_PAL));
    PALETTEENTRY e{};
    ASSERT_EQ(GetPaletteEntries(halftone, GetNearestPaletteIndex(halftone, RGB(250, 10, 100)), 1, &e), 1u);
    EXPECT_EQ(RGB(e.peRed, e.peGreen, e.peBlue), RGB(255, 0, 102));

    // The first selection hands back the stock default palette, the next the one before.
    HPALETTE first = SelectPalette(canvas.dc(), halftone, FALSE);
    EXPECT_EQ(first, GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(RealizePalette(canvas.dc()), 0u);
    EXPECT_EQ(canvas.At(1, 1), RGB(10, 20, 30));

    struct {
        LOGPALETTE head;
        PALETTEENTRY more[1];
    } two{{0x300, 2, {{1, 2, 3, 0}}}, {{4, 5, 6, 0}}};
    HPALETTE own = CreatePalette(&two.head);
    ASSERT_TRUE(own);
    EXPECT_EQ(SelectPalette(canvas.dc(), own, TRUE), halftone);
    EXPECT_EQ(SelectPalette(canvas.dc(), first, FALSE), own);
    EXPECT_EQ(SelectPalette(canvas.dc(), nullptr, FALSE), nullptr) << "a bad handle selects nothing";

    // Entries change within the table only; the stock palette stays as it is.
    const PALETTEENTRY red{255, 0, 0, 0};
    EXPECT_EQ(SetPaletteEntries(own, 1, 5, &red), 1u);
    EXPECT_EQ(GetPaletteEntries(own, 0, 9, nullptr), 2u);
    EXPECT_EQ(GetNearestPaletteIndex(own, RGB(250, 0, 0)), 1u);
    EXPECT_EQ(SetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 1, &red), 0u);
    EXPECT_TRUE(ResizePalette(own, 4));
    EXPECT_EQ(GetPaletteEntries(own, 0, 9, nullptr), 4u);
    EXPECT_FALSE(CreatePalette(nullptr));
    EXPECT_EQ(GetNearestPaletteIndex(nullptr, 0), CLR_INVALID);
    EXPECT_TRUE(DeleteObject(own));
    EXPECT_TRUE(DeleteObject(halftone));
}

} // namespace
