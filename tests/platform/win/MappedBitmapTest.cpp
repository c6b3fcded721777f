// The stock check-mark and arrow images and colour-mapped bitmaps.
#include <gtest/gtest.h>

#include <vector>

#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/UserApi.h"

namespace {

std::vector<uint32_t> Pixels(HBITMAP bitmap, BITMAP& info)
{
    GetObject(bitmap, sizeof info, &info);
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    GetBitmapBits(bitmap, static_cast<LONG>(pixels.size() * 4), pixels.data());
    for (uint32_t& p : pixels)
        p &= 0xFFFFFF;
    return pixels;
}

}   // namespace

TEST(MappedBitmapTest, StockImagesLoadAndMapToTheButtonColours)
{
    for (int id : {OBM_CHECK, OBM_MNARROW}) {
        HBITMAP stock = LoadBitmap(nullptr, MAKEINTRESOURCE(id));
        ASSERT_NE(stock, nullptr) << id;
        DeleteObject(stock);
    }
    // Black becomes red by a given map; white stays, having no pair.
    const COLORMAP map[1] = {{RGB(0, 0, 0), RGB(255, 0, 0)}};
    HBITMAP mapped = CreateMappedBitmap(nullptr, OBM_CHECK, 0, map, 1);
    ASSERT_NE(mapped, nullptr);
    BITMAP info{};
    std::vector<uint32_t> pixels = Pixels(mapped, info);
    EXPECT_EQ(pixels[static_cast<size_t>(8 * info.bmWidth + 5)], 0xFF0000u);   // inside the mark
    EXPECT_EQ(pixels[0], 0xFFFFFFu);
    DeleteObject(mapped);

    // By default white becomes the highlight colour and black the button text.
    HBITMAP themed = CreateMappedBitmap(nullptr, OBM_CHECK, 0, nullptr, 0);
    pixels = Pixels(themed, info);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT), text = GetSysColor(COLOR_BTNTEXT);
    EXPECT_EQ(pixels[0], (uint32_t(GetRValue(light)) << 16) | (GetGValue(light) << 8) | GetBValue(light));
    EXPECT_EQ(pixels[static_cast<size_t>(8 * info.bmWidth + 5)],
              (uint32_t(GetRValue(text)) << 16) | (GetGValue(text) << 8) | GetBValue(text));
    DeleteObject(themed);
    EXPECT_EQ(CreateMappedBitmap(nullptr, 12345, 0, nullptr, 0), nullptr);
}
