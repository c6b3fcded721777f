// Image lists: masks from a colour, removal with overlays, merging, the stored form, and the
// pixels drawn transparently, on a background, blended, with overlays and as icons.
#include "platform/controls/ImageList.h"
#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "platform/win/Gdi.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kGreen = 0x00FF00;
constexpr uint32_t kMagenta = 0xFF00FF;   // the mask colour of the strips below
constexpr uint32_t kGrey = 0x808080;

// A strip of 4x4 images: image k is filled with colours[k], its top-left pixel magenta.
std::vector<uint32_t> Strip(std::initializer_list<uint32_t> colours)
{
    const int n = static_cast<int>(colours.size());
    std::vector<uint32_t> pixels(static_cast<size_t>(4 * n) * 4);
    int k = 0;
    for (uint32_t c : colours) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                pixels[static_cast<size_t>(y) * 4 * n + k * 4 + x] = (x == 0 && y == 0) ? kMagenta : c;
        ++k;
    }
    return pixels;
}

// A 32-bit target to draw into, and its pixels.
struct Canvas {
    explicit Canvas(int w, int h, uint32_t fill) : width(w)
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits), nullptr, 0);
        old = SelectObject(dc, bitmap);
        for (int i = 0; i < w * h; ++i)
            bits[i] = fill;
    }
    ~Canvas()
    {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    uint32_t At(int x, int y)
    {
        GdiFlush();
        return bits[y * width + x] & 0xFFFFFF;
    }
    HDC dc;
    HBITMAP bitmap;
    HGDIOBJ old;
    uint32_t* bits = nullptr;
    int width;
};

HBITMAP BitmapOf(const std::vector<uint32_t>& pixels, int w, int h)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::memcpy(bits, pixels.data(), pixels.size() * 4);
    return bitmap;
}

} // namespace

TEST(ImageListModelTest, MaskColourRemovalOverlaysAndMerge)
{
    ImageListModel list(4, 4, ILC_COLOR24 | ILC_MASK);
    const auto strip = Strip({kRed, kGreen, kGrey});
    EXPECT_EQ(list.AddStrip(strip.data(), nullptr, 12, RGB(255, 0, 255)), 0);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_TRUE(list.At(1).transparent[0]);
    EXPECT_EQ(list.At(1).pixels[0], 0u) << "a transparent pixel adds nothing when drawn";
    EXPECT_EQ(list.At(1).pixels[1], kGreen);
    EXPECT_EQ(list.AddStrip(strip.data(), nullptr, 3, CLR_NONE), -1) << "narrower than one image";

    EXPECT_TRUE(list.SetOverlay(2, 1));
    EXPECT_FALSE(list.SetOverlay(2, 16));
    EXPECT_TRUE(list.Remove(0));
    EXPECT_EQ(list.Overlay(1), 1) << "the overlay follows its image down";
    EXPECT_TRUE(list.Remove(1));
    EXPECT_EQ(list.Overlay(1), -1);
    EXPECT_FALSE(list.Remove(5));

    ImageListModel unmasked(4, 4, ILC_COLOR24);
    unmasked.AddStrip(strip.data(), nullptr, 12, RGB(255, 0, 255));
    EXPECT_FALSE(unmasked.At(0).transparent[0]) << "a list without a mask keeps every pixel";
    EXPECT_EQ(unmasked.At(0).pixels[0], kMagenta);

    ImageListModel small(2, 2, ILC_MASK);
    ImageListModel::Image dot;
    dot.pixels = {kRed, kRed, kRed, kRed};
    dot.transparent = {0, 1, 1, 1};
    small.Put(-1, dot);
    ImageListModel merged = ImageListModel::Merge(list, 0, small, 0, 3, 3);
    ASSERT_EQ(merged.Count(), 1);
    EXPECT_EQ(merged.Width(), 5);
    EXPECT_EQ(merged.Height(), 5);
    EXPECT_EQ(merged.At(0).pixels[1], kGreen);
    EXPECT_EQ(merged.At(0).pixels[3 * 5 + 3], kRed) << "the second image lies over the first";
    EXPECT_TRUE(merged.At(0).transparent[4 * 5 + 4]);
}

TEST(ImageListModelTest, StoredFormComesBackAndBadHeadersAreRefused)
{
    ImageListModel list(4, 4, ILC_COLOR24 | ILC_MASK);
    const auto strip = Strip({kRed, kGreen});
    list.AddStrip(strip.data(), nullptr, 8, RGB(255, 0, 255));
    list.SetOverlay(1, 3);
    list.background = RGB(1, 2, 3);
    CMemFile file;
    {
        CArchive out(&file, CArchive::store);
        list.Write(out);
        out.Close();
    }
    file.SeekToBegin();
    ImageListModel back(1, 1, 0);
    {
        CArchive in(&file, CArchive::load);
        ASSERT_TRUE(ImageListModel::Read(in, back));
    }
    EXPECT_EQ(back.Count(), 2);
    EXPECT_EQ(back.Width(), 4);
    EXPECT_EQ(back.Overlay(3), 1);
    EXPECT_EQ(back.background, RGB(1, 2, 3));
    EXPECT_EQ(back.At(1).pixels, list.At(1).pixels);
    EXPECT_EQ(back.At(1).transparent, list.At(1).transparent);

    // A header claiming a 100000-pixel side is refused before anything is allocated.
    CMemFile bad;
    {
        CArchive out(&bad, CArchive::store);
        out << static_cast<WORD>(0x4C49) << static_cast<WORD>(1) << static_cast<DWORD>(1) << static_cast<DWORD>(100000)
            << static_cast<DWORD>(4) << static_cast<DWORD>(0) << static_cast<DWORD>(0);
        out.Close();
    }
    bad.SeekToBegin();
    CArchive in(&bad, CArchive::load);
    ImageListModel refused(1, 1, 0);
    EXPECT_FALSE(ImageListModel::Read(in, refused));
}

TEST(ImageListTest, DrawsTransparentlyOnBackgroundsBlendedWithOverlaysAndAsIcons)
{
    SetTestFontMode(true);
    HIMAGELIST list = ImageList_Create(4, 4, ILC_COLOR24 | ILC_MASK, 4, 4);
    ASSERT_NE(list, nullptr);
    HBITMAP strip = BitmapOf(Strip({kRed, kGreen}), 8, 4);
    EXPECT_EQ(ImageList_AddMasked(list, strip, RGB(255, 0, 255)), 0);
    DeleteObject(strip);
    EXPECT_EQ(ImageList_GetImageCount(list), 2);
    int cx = 0, cy = 0;
    EXPECT_TRUE(ImageList_GetIconSize(list, &cx, &cy));
    EXPECT_EQ(cx, 4);

    {
        Canvas canvas(8, 8, 0x0000FF);
        EXPECT_TRUE(ImageList_Draw(list, 0, canvas.dc, 2, 2, ILD_NORMAL));
        EXPECT_EQ(canvas.At(2, 2), 0x0000FFu) << "the masked pixel lets the canvas show";
        EXPECT_EQ(canvas.At(3, 2), kRed);
        EXPECT_EQ(canvas.At(1, 1), 0x0000FFu);
        ImageList_SetBkColor(list, RGB(255, 255, 0));
        ImageList_Draw(list, 0, canvas.dc, 2, 2, ILD_NORMAL);
        EXPECT_EQ(canvas.At(2, 2), 0xFFFF00u) << "on the list's background";
        ImageList_Draw(list, 1, canvas.dc, 2, 2, ILD_TRANSPARENT);
        EXPECT_EQ(canvas.At(2, 2), 0xFFFF00u) << "transparent leaves what was there";
        EXPECT_EQ(canvas.At(3, 3), kGreen);
        ImageList_SetBkColor(list, CLR_NONE);
    }
    {
        // Overlay 1 is image 1; drawn over image 0 it covers all but its own masked pixel.
        EXPECT_TRUE(ImageList_SetOverlayImage(list, 1, 1));
        Canvas canvas(4, 4, 0x000000);
        ImageList_Draw(list, 0, canvas.dc, 0, 0, ILD_NORMAL | INDEXTOOVERLAYMASK(1));
        EXPECT_EQ(canvas.At(1, 1), kGreen);
        EXPECT_EQ(canvas.At(0, 0), 0u);
        // Selected: blended half with the given colour.
        ImageList_DrawEx(list, 0, canvas.dc, 0, 0, 0, 0, CLR_NONE, RGB(0, 0, 255), ILD_SELECTED);
        EXPECT_EQ(canvas.At(1, 1), 0x7F007Fu);
    }
    {
        HICON icon = ImageList_GetIcon(list, 1, ILD_NORMAL);
        ASSERT_NE(icon, nullptr);
        Canvas canvas(4, 4, 0x0000FF);
        DrawIconEx(canvas.dc, 0, 0, icon, 4, 4, 0, nullptr, DI_NORMAL);
        EXPECT_EQ(canvas.At(0, 0), 0x0000FFu);
        EXPECT_EQ(canvas.At(2, 2), kGreen);
        // The icon goes back in as a third image with the same pixels and mask.
        EXPECT_EQ(ImageList_AddIcon(list, icon), 2);
        DestroyIcon(icon);
        Canvas again(4, 4, 0x0000FF);
        ImageList_Draw(list, 2, again.dc, 0, 0, ILD_TRANSPARENT);
        EXPECT_EQ(again.At(0, 0), 0x0000FFu);
        EXPECT_EQ(again.At(3, 3), kGreen);
    }
    IMAGEINFO info{};
    EXPECT_TRUE(ImageList_GetImageInfo(list, 1, &info));
    EXPECT_EQ(info.rcImage.left, 4);
    EXPECT_EQ(info.rcImage.right, 8);
    BITMAP bm{};
    GetObject(info.hbmImage, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 12);
    EXPECT_NE(info.hbmMask, nullptr);
    EXPECT_FALSE(ImageList_GetImageInfo(list, 3, &info));

    HIMAGELIST merged = ImageList_Merge(list, 0, list, 1, 1, 0);
    ASSERT_NE(merged, nullptr);
    ImageList_GetIconSize(merged, &cx, &cy);
    EXPECT_EQ(cx, 5);
    EXPECT_TRUE(ImageList_Destroy(merged));
    EXPECT_FALSE(ImageList_Destroy(merged)) << "a destroyed list's handle is refused";
    EXPECT_EQ(ImageList_GetImageCount(merged), 0);

    CMemFile file;
    {
        CArchive out(&file, CArchive::store);
        EXPECT_TRUE(ImageList_Write(list, out));
        out.Close();
    }
    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    HIMAGELIST read = ImageList_Read(in);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(read), 3);
    ImageList_Destroy(read);
    ImageList_Destroy(list);
    SetTestFontMode(false);
}
