#include "toolkit/toolbars/SECLoadSysColorBitmap.h"

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/UserApi.h"
#include "toolkit/toolbars/DibLayout.h"

#include <cstring>
#include <vector>

namespace {

// A colour as a colour-table entry or a 32-bit DIB pixel: 0x00RRGGBB.
uint32_t TableColor(COLORREF c)
{
    return uint32_t(GetRValue(c)) << 16 | uint32_t(GetGValue(c)) << 8 | GetBValue(c);
}

uint32_t MapColor(uint32_t rgb)
{
    switch (rgb & 0xFFFFFFu) {
    case 0x000000u: return TableColor(GetSysColor(COLOR_BTNTEXT));
    case 0x808080u: return TableColor(GetSysColor(COLOR_BTNSHADOW));
    case 0xC0C0C0u: return TableColor(GetSysColor(COLOR_BTNFACE));
    case 0xFFFFFFu: return TableColor(GetSysColor(COLOR_BTNHIGHLIGHT));
    default: return rgb & 0xFFFFFFu;
    }
}

bool IsPng(const BYTE* data, size_t size)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(data, kSignature, 8) == 0;
}

// A PNG resource comes out as a 32-bit bitmap; its pixels are mapped one by one.
HBITMAP LoadMappedPng(HINSTANCE module, LPCSTR name)
{
    HBITMAP bitmap = ::LoadBitmap(module, name);
    if (!bitmap)
        return nullptr;
    BITMAP bm{};
    ::GetObject(bitmap, sizeof(bm), &bm);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(size_t(bm.bmWidth) * size_t(bm.bmHeight));
    HDC screen = ::GetDC(nullptr);
    bool ok = ::GetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS) != 0;
    if (ok) {
        for (uint32_t& p : pixels)
            p = MapColor(p);
        ok = ::SetDIBits(screen, bitmap, 0, UINT(bm.bmHeight), pixels.data(), &info, DIB_RGB_COLORS) != 0;
    }
    ::ReleaseDC(nullptr, screen);
    if (!ok) {
        ::DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

// A packed DIB: header, masks and colour table are copied and the table mapped; the bits are
// read where the header's own size and its real table length put them, and only when the
// resource holds all of them.
HBITMAP LoadMappedDib(const BYTE* data, size_t size)
{
    DibLayout layout;
    if (!ReadDibLayout(data, size, layout))
        return nullptr;
    const size_t bitsOffset = layout.BitsOffset();
    if (bitsOffset > size || layout.imageSize > size - bitsOffset)
        return nullptr;
    std::vector<BYTE> info(data, data + bitsOffset);
    BYTE* table = info.data() + layout.headerSize + layout.maskBytes;
    for (DWORD i = 0; i < layout.tableEntries; ++i)
        DibPut32(table + i * 4, MapColor(DibGet32(table + i * 4)));
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, layout.width, layout.height);
    HDC memory = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    bool ok = false;
    if (bitmap && memory) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ok = ::StretchDIBits(memory, 0, 0, layout.width, layout.height, 0, 0, layout.width, layout.height,
                             data + bitsOffset, reinterpret_cast<const BITMAPINFO*>(info.data()),
                             DIB_RGB_COLORS, SRCCOPY)
            != 0;
        ::SelectObject(memory, old);
    }
    if (memory)
        ::DeleteDC(memory);
    if (!ok && bitmap) {
        ::DeleteObject(bitmap);
        bitmap = nullptr;
    }
    return bitmap;
}

} // namespace

BOOL SECLoadSysColorBitmap(CBitmap& bitmap, LPCSTR lpszResourceName)
{
    if (bitmap.GetSafeHandle())
        return FALSE;
    HINSTANCE module = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
    if (!module)
        return FALSE;
    HRSRC res = FindResource(module, lpszResourceName, RT_BITMAP);
    if (!res)
        return FALSE;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
    const size_t size = SizeofResource(module, res);
    if (!data)
        return FALSE;
    HBITMAP made = IsPng(data, size) ? LoadMappedPng(module, lpszResourceName) : LoadMappedDib(data, size);
    return made ? bitmap.Attach(made) : FALSE;
}
