// Bitmaps, icons and cursors loaded from PNG resources: pixels, masks, hot spots, the colour
// mappings of LoadImage, scaling, sharing and the failures.
#include "GdiTestUtil.h"

#include "platform/core/ResourceTable.h"
#include "platform/core/WinError.h"
#include "platform/win/detail/CursorShape.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/UserApi.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// The pattern, as the display shows its pixels (transparent ones keep their own colour).
const COLORREF kPattern[3][4] = {
    {RGB(255, 0, 0), RGB(0, 255, 0), RGB(192, 192, 192), RGB(0, 0, 0)},
    {RGB(255, 255, 255), RGB(128, 128, 128), RGB(255, 0, 0), RGB(0, 255, 0)},
    {RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0), RGB(0, 0, 0)},
};

HMODULE Images()
{
    return FindResourceModule("winimages");
}

// The pixels of a bitmap, read through a memory device.
std::vector<COLORREF> PixelsOf(HBITMAP bitmap, int width, int height)
{
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteDC(dc);
    return pixels;
}

} // namespace

TEST(ResourceImagesTest, BitmapsKeepThePngsPixelsAndLoadImageMapsColoursAndScales)
{
    ASSERT_NE(Images(), nullptr);
    HBITMAP bitmap = LoadBitmap(Images(), MAKEINTRESOURCE(1));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    ASSERT_EQ(GetObject(bitmap, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmWidth, 4);
    EXPECT_EQ(info.bmHeight, 3);
    std::vector<COLORREF> pixels = PixelsOf(bitmap, 4, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(pixels[static_cast<size_t>(y * 4 + x)], kPattern[y][x]) << x << "," << y;
    DeleteObject(bitmap);

    // Transparent pixels in the window colour, the greys in the 3-D colours.
    HBITMAP mapped = static_cast<HBITMAP>(LoadImage(Images(), MAKEINTRESOURCE(1), IMAGE_BITMAP, 0, 0,
                                                    LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS | LR_CREATEDIBSECTION));
    ASSERT_NE(mapped, nullptr);
    DIBSECTION dib{};
    ASSERT_EQ(GetObject(mapped, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 32);
    EXPECT_NE(dib.dsBm.bmBits, nullptr);
    pixels = PixelsOf(mapped, 4, 3);
    EXPECT_EQ(pixels[1], GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixels[7], GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(pixels[2], GetSysColor(COLOR_3DFACE));
    EXPECT_EQ(pixels[5], GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(pixels[0], RGB(255, 0, 0));
    DeleteObject(mapped);

    // Twice the size, nearest neighbour; and a one-bit copy.
    HBITMAP big = static_cast<HBITMAP>(LoadImage(Images(), MAKEINTRESOURCE(1), IMAGE_BITMAP, 8, 6, 0));
    ASSERT_NE(big, nullptr);
    pixels = PixelsOf(big, 8, 6);
    EXPECT_EQ(pixels[0 * 8 + 1], RGB(255, 0, 0));
    EXPECT_EQ(pixels[3 * 8 + 5], RGB(255, 0, 0)); // (2, 1) of the original
    EXPECT_EQ(pixels[5 * 8 + 7], RGB(0, 0, 0));
    DeleteObject(big);
    HBITMAP mono = static_cast<HBITMAP>(LoadImage(Images(), MAKEINTRESOURCE(1), IMAGE_BITMAP, 0, 0, LR_MONOCHROME));
    ASSERT_NE(mono, nullptr);
    ASSERT_EQ(GetObject(mono, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.bmBitsPixel, 1);
    pixels = PixelsOf(mono, 4, 3);
    EXPECT_EQ(pixels[4], RGB(255, 255, 255));
    EXPECT_EQ(pixels[3], RGB(0, 0, 0));
    DeleteObject(mono);
}

TEST(ResourceImagesTest, IconsAndCursorsTakeTheirMaskFromAlphaAndAreShared)
{
    HICON icon = LoadIcon(Images(), MAKEINTRESOURCE(2));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(LoadIcon(Images(), MAKEINTRESOURCE(2)), icon);
    EXPECT_TRUE(DestroyIcon(icon));
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info)); // still there: shared icons are not destroyed
    EXPECT_TRUE(info.fIcon);
    std::vector<COLORREF> mask = PixelsOf(info.hbmMask, 4, 3);
    std::vector<COLORREF> color = PixelsOf(info.hbmColor, 4, 3);
    for (size_t i = 0; i < 12; ++i) {
        const bool transparent = i == 1 || i == 7;
        EXPECT_EQ(mask[i], transparent ? RGB(255, 255, 255) : RGB(0, 0, 0)) << i;
        EXPECT_EQ(color[i], transparent ? RGB(0, 0, 0) : kPattern[i / 4][i % 4]) << i;
    }
    DeleteObject(info.hbmMask);
    DeleteObject(info.hbmColor);

    HCURSOR cursor = LoadCursor(Images(), MAKEINTRESOURCE(3));
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(LoadCursor(Images(), MAKEINTRESOURCE(3)), cursor);
    CursorShape shape;
    ASSERT_TRUE(GetCursorShape(cursor, shape));
    EXPECT_EQ(shape.hotSpot.x, 3);
    EXPECT_EQ(shape.hotSpot.y, 2);
    ASSERT_EQ(shape.argb.size(), 12u);
    EXPECT_EQ(shape.argb[0], 0xFFFF0000u);
    EXPECT_EQ(shape.argb[1] >> 24, 0u);
    EXPECT_TRUE(DestroyCursor(cursor));
    EXPECT_TRUE(GetCursorShape(cursor, shape));
    // The hot spot scales with the cursor.
    HCURSOR big = static_cast<HCURSOR>(LoadImage(Images(), MAKEINTRESOURCE(3), IMAGE_CURSOR, 8, 6, 0));
    ASSERT_TRUE(GetCursorShape(big, shape));
    EXPECT_EQ(shape.hotSpot.x, 6);
    EXPECT_EQ(shape.hotSpot.y, 4);
    DestroyCursor(big);
    // The standard cursors still come from a null module.
    ASSERT_TRUE(GetCursorShape(LoadCursor(nullptr, IDC_ARROW), shape));
    EXPECT_EQ(shape.standardId, 32512);
}

TEST(ResourceImagesTest, MissingOrDamagedImagesFailWithAReason)
{
    SetLastError(0);
    EXPECT_EQ(LoadBitmap(Images(), MAKEINTRESOURCE(99)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(LoadIcon(Images(), MAKEINTRESOURCE(1)), nullptr); // a bitmap is no icon
    EXPECT_EQ(LoadCursor(Images(), MAKEINTRESOURCE(2)), nullptr);
    EXPECT_EQ(LoadBitmap(nullptr, MAKEINTRESOURCE(1)), nullptr); // no system images here

    auto file = [](const char* name) {
        return (std::filesystem::path(VOSTREL_TESTS_DIR) / "platform/win/data" / name).string();
    };
    HBITMAP fromFile = static_cast<HBITMAP>(LoadImage(nullptr, file("pattern.png").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(PixelsOf(fromFile, 4, 3)[2], RGB(192, 192, 192));
    DeleteObject(fromFile);
    SetLastError(0);
    EXPECT_EQ(LoadImage(nullptr, file("ResourceImages.rc").c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATA));
    EXPECT_EQ(LoadImage(nullptr, file("none.png").c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}
