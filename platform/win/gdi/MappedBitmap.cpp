#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/UserApi.h"

#include <vector>

namespace {

// Bitmap pixels are 0x00RRGGBB words; a COLORREF is 0x00BBGGRR.
uint32_t PixelOf(COLORREF c)
{
    return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

}   // namespace

HBITMAP CreateMappedBitmap(HINSTANCE hInstance, INT_PTR idBitmap, UINT /*wFlags*/, const COLORMAP* lpColorMap, int iNumMaps)
{
    HBITMAP bitmap = LoadBitmap(hInstance, MAKEINTRESOURCE(idBitmap));
    if (bitmap == nullptr)
        return nullptr;
    const COLORMAP defaults[4] = {
        {RGB(0, 0, 0), GetSysColor(COLOR_BTNTEXT)},
        {RGB(128, 128, 128), GetSysColor(COLOR_BTNSHADOW)},
        {RGB(192, 192, 192), GetSysColor(COLOR_BTNFACE)},
        {RGB(255, 255, 255), GetSysColor(COLOR_BTNHIGHLIGHT)},
    };
    if (lpColorMap == nullptr || iNumMaps <= 0) {
        lpColorMap = defaults;
        iNumMaps = 4;
    }
    BITMAP info{};
    if (GetObject(bitmap, sizeof info, &info) == 0 || info.bmBitsPixel != 32) {
        DeleteObject(bitmap);
        return nullptr;
    }
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * static_cast<size_t>(info.bmHeight));
    const LONG bytes = static_cast<LONG>(pixels.size() * sizeof(uint32_t));
    if (GetBitmapBits(bitmap, bytes, pixels.data()) != bytes) {
        DeleteObject(bitmap);
        return nullptr;
    }
    for (uint32_t& p : pixels) {
        const uint32_t rgb = p & 0xFFFFFFu;
        for (int i = 0; i < iNumMaps; ++i) {
            if (rgb == PixelOf(lpColorMap[i].from)) {
                p = (p & 0xFF000000u) | PixelOf(lpColorMap[i].to);
                break;
            }
        }
    }
    SetBitmapBits(bitmap, static_cast<DWORD>(bytes), pixels.data());
    return bitmap;
}
