#include "platform/win/ResourceImages.h"

#include "platform/core/ResourceTable.h"
#include "platform/core/WinError.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <png.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>
#include <span>
#include <string>
#include <tuple>
#include <vector>

namespace {

// Larger images are refused rather than decoded into gigabytes.
const png_uint_32 kMaxSide = 8192;

// Decoded pixels, 0xAARRGGBB (not premultiplied), top row first.
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> argb;

    uint32_t& At(int x, int y) { return argb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)]; }
};

bool DecodePng(std::span<const BYTE> data, Pixels& out)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (data.empty() || !png_image_begin_read_from_memory(&image, data.data(), data.size()))
        return false;
    if (image.width == 0 || image.height == 0 || image.width > kMaxSide || image.height > kMaxSide) {
        png_image_free(&image);
        return false;
    }
    image.format = PNG_FORMAT_BGRA; // as a little-endian word: 0xAARRGGBB
    out.width = static_cast<int>(image.width);
    out.height = static_cast<int>(image.height);
    out.argb.assign(static_cast<size_t>(image.width) * image.height, 0);
    if (!png_image_finish_read(&image, nullptr, out.argb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    return true;
}

// Nearest-neighbour scaling, which keeps the hard edges of the program's flat images.
Pixels Scale(const Pixels& in, int cx, int cy)
{
    if ((cx == 0 || cx == in.width) && (cy == 0 || cy == in.height))
        return in;
    Pixels out;
    out.width = cx ? cx : in.width;
    out.height = cy ? cy : in.height;
    out.argb.resize(static_cast<size_t>(out.width) * static_cast<size_t>(out.height));
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.At(x, y) = in.argb[static_cast<size_t>(y * in.height / out.height) * static_cast<size_t>(in.width)
                                   + static_cast<size_t>(x * in.width / out.width)];
    return out;
}

bool Transparent(uint32_t pixel)
{
    return (pixel >> 24) < 0x80;
}

uint32_t DevicePixel(COLORREF color)
{
    return (static_cast<uint32_t>(GetRValue(color)) << 16) | (static_cast<uint32_t>(GetGValue(color)) << 8)
        | GetBValue(color);
}

// The colour changes LoadImage's flags ask for, done before the alpha is dropped.
void MapColours(Pixels& pixels, UINT flags)
{
    bool anyTransparent = false;
    for (uint32_t p : pixels.argb)
        anyTransparent = anyTransparent || Transparent(p);
    const uint32_t window = DevicePixel(GetSysColor(COLOR_WINDOW));
    const uint32_t corner = pixels.argb.empty() ? 0 : pixels.argb[0] & 0xFFFFFFu;
    const uint32_t shadow = DevicePixel(GetSysColor(COLOR_3DSHADOW));
    const uint32_t face = DevicePixel(GetSysColor(COLOR_3DFACE));
    const uint32_t light = DevicePixel(GetSysColor(COLOR_3DLIGHT));
    for (uint32_t& p : pixels.argb) {
        const uint32_t rgb = p & 0xFFFFFFu;
        if (flags & LR_LOADTRANSPARENT) {
            // An image with alpha says itself what is transparent; an opaque one by its corner.
            if (anyTransparent ? Transparent(p) : rgb == corner) {
                p = 0xFF000000u | window;
                continue;
            }
        }
        if (flags & LR_LOADMAP3DCOLORS) {
            if (rgb == 0x808080u)
                p = (p & 0xFF000000u) | shadow;
            else if (rgb == 0xC0C0C0u)
                p = (p & 0xFF000000u) | face;
            else if (rgb == 0xDFDFDFu)
                p = (p & 0xFF000000u) | light;
        }
    }
}

HBITMAP MakeBitmap(const Pixels& pixels, UINT flags)
{
    const int w = pixels.width, h = pixels.height;
    if (flags & LR_MONOCHROME) {
        // Light pixels become white (1), dark ones black, by their luminance.
        const int stride = ((w + 15) / 16) * 2;
        std::vector<BYTE> bits(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const uint32_t p = pixels.argb[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
                const unsigned luma = (((p >> 16) & 0xFF) * 299 + ((p >> 8) & 0xFF) * 587 + (p & 0xFF) * 114) / 1000;
                if (luma >= 128)
                    bits[static_cast<size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
            }
        return CreateBitmap(w, h, 1, 1, bits.data());
    }
    std::vector<uint32_t> rgb(pixels.argb.size());
    std::transform(pixels.argb.begin(), pixels.argb.end(), rgb.begin(), [](uint32_t p) { return p & 0xFFFFFFu; });
    if (flags & LR_CREATEDIBSECTION) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h; // top-down, like the decoded rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (dib && bits)
            std::copy(rgb.begin(), rgb.end(), static_cast<uint32_t*>(bits));
        return dib;
    }
    return CreateBitmap(w, h, 1, 32, rgb.data());
}

// An icon or cursor: the colour image with transparent pixels black, and a mask that is 1
// (keep the screen) exactly there.
HICON MakeIcon(const Pixels& pixels, bool icon, POINT hotSpot)
{
    const int w = pixels.width, h = pixels.height;
    const int stride = ((w + 15) / 16) * 2;
    std::vector<BYTE> mask(static_cast<size_t>(stride) * static_cast<size_t>(h), 0);
    std::vector<uint32_t> color(pixels.argb.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
            if (Transparent(pixels.argb[i]))
                mask[static_cast<size_t>(y * stride + x / 8)] |= static_cast<BYTE>(0x80 >> (x % 8));
            else
                color[i] = pixels.argb[i] & 0xFFFFFFu;
        }
    ICONINFO info{};
    info.fIcon = icon ? TRUE : FALSE;
    info.xHotspot = static_cast<DWORD>(hotSpot.x);
    info.yHotspot = static_cast<DWORD>(hotSpot.y);
    info.hbmMask = CreateBitmap(w, h, 1, 1, mask.data());
    info.hbmColor = CreateBitmap(w, h, 1, 32, color.data());
    HICON result = info.hbmMask && info.hbmColor ? CreateIconIndirect(&info) : nullptr;
    // The icon keeps copies of its bitmaps.
    if (info.hbmMask)
        DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return result;
}

// The module whose images a null handle means.
HMODULE SystemModule()
{
    return FindResourceModule("system");
}

// The data of an image resource; false with the last error set when there is none.
bool FindImage(HINSTANCE module, LPCSTR name, LPCSTR type, std::span<const BYTE>& data)
{
    if (!module) {
        module = SystemModule();
        if (!module) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return false;
        }
    }
    HRSRC res = FindResource(module, name, type);
    if (!res)
        return false;
    data = std::span<const BYTE>(static_cast<const BYTE*>(LockResource(LoadResource(module, res))),
                                 SizeofResource(module, res));
    return true;
}

bool ReadFileBytes(LPCSTR path, std::vector<BYTE>& bytes)
{
    std::ifstream stream(path, std::ios::binary);
    if (!stream) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>());
    return !stream.bad();
}

// Shared images: one handle per request, kept for the program's life.
struct SharedKey {
    HINSTANCE module;
    std::string name; // "#id" or the name as given
    UINT type;
    int cx, cy;
    UINT flags;
    bool operator<(const SharedKey& o) const
    {
        return std::tie(module, name, type, cx, cy, flags) < std::tie(o.module, o.name, o.type, o.cx, o.cy, o.flags);
    }
};

std::mutex g_sharedLock;
std::map<SharedKey, HANDLE>& SharedImages()
{
    static auto* images = new std::map<SharedKey, HANDLE>();
    return *images;
}

std::string NameKey(LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name));
    std::string key = name ? name : "";
    for (char& c : key)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return key;
}

HANDLE LoadImageUncached(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad)
{
    std::vector<BYTE> fileBytes;
    std::span<const BYTE> data;
    if (fuLoad & LR_LOADFROMFILE) {
        if (!name || IS_INTRESOURCE(name) || !ReadFileBytes(name, fileBytes))
            return nullptr;
        data = fileBytes;
    } else {
        LPCSTR resourceType = type == IMAGE_BITMAP ? RT_BITMAP : type == IMAGE_ICON ? RT_ICON : RT_CURSOR;
        if (!FindImage(hInst, name, resourceType, data))
            return nullptr;
    }
    POINT hotSpot{0, 0};
    if (type == IMAGE_CURSOR && !(fuLoad & LR_LOADFROMFILE)) {
        std::span<const BYTE> png;
        if (!ReadCursorResource(data.data(), data.size(), hotSpot, png)) {
            SetLastError(ERROR_INVALID_DATA);
            return nullptr;
        }
        data = png;
    }
    Pixels pixels;
    if (!DecodePng(data, pixels)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    if (type != IMAGE_BITMAP && (fuLoad & LR_DEFAULTSIZE)) {
        const bool icon = type == IMAGE_ICON;
        cx = cx ? cx : GetSystemMetrics(icon ? SM_CXICON : SM_CXCURSOR);
        cy = cy ? cy : GetSystemMetrics(icon ? SM_CYICON : SM_CYCURSOR);
    }
    if (cx < 0 || cy < 0 || cx > static_cast<int>(kMaxSide) || cy > static_cast<int>(kMaxSide)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int fromWidth = pixels.width, fromHeight = pixels.height;
    pixels = Scale(pixels, cx, cy);
    // The hot spot moves with the image.
    hotSpot.x = hotSpot.x * pixels.width / fromWidth;
    hotSpot.y = hotSpot.y * pixels.height / fromHeight;
    if (type == IMAGE_BITMAP) {
        MapColours(pixels, fuLoad);
        return MakeBitmap(pixels, fuLoad);
    }
    return MakeIcon(pixels, type == IMAGE_ICON, hotSpot);
}

} // namespace

HANDLE LoadImage(HINSTANCE hInst, LPCSTR name, UINT type, int cx, int cy, UINT fuLoad)
{
    if (type > IMAGE_CURSOR || !name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!(fuLoad & LR_SHARED))
        return LoadImageUncached(hInst, name, type, cx, cy, fuLoad);
    const SharedKey key{hInst, (fuLoad & LR_LOADFROMFILE) ? std::string(IS_INTRESOURCE(name) ? "" : name) : NameKey(name),
                        type, cx, cy, fuLoad};
    {
        std::lock_guard lock(g_sharedLock);
        auto it = SharedImages().find(key);
        if (it != SharedImages().end())
            return it->second;
    }
    HANDLE image = LoadImageUncached(hInst, name, type, cx, cy, fuLoad);
    if (!image)
        return nullptr;
    HANDLE kept = nullptr;
    {
        std::lock_guard lock(g_sharedLock);
        kept = SharedImages().emplace(key, image).first->second;
    }
    // Two threads may both have loaded it: the first one kept wins and the other is freed.
    if (kept != image) {
        if (type == IMAGE_BITMAP)
            DeleteObject(image);
        else
            DestroyIcon(static_cast<HICON>(image));
    }
    return kept;
}

HBITMAP LoadBitmap(HINSTANCE hInstance, LPCSTR lpBitmapName)
{
    return static_cast<HBITMAP>(LoadImage(hInstance, lpBitmapName, IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
}

HICON LoadIcon(HINSTANCE hInstance, LPCSTR lpIconName)
{
    return static_cast<HICON>(LoadImage(hInstance, lpIconName, IMAGE_ICON, 0, 0, LR_SHARED));
}

HCURSOR LoadCursorFromResource(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    return static_cast<HCURSOR>(LoadImage(hInstance, lpCursorName, IMAGE_CURSOR, 0, 0, LR_SHARED));
}

bool IsSharedImage(HANDLE image)
{
    if (!image)
        return false;
    std::lock_guard lock(g_sharedLock);
    for (const auto& [key, handle] : SharedImages())
        if (handle == image)
            return true;
    return false;
}
