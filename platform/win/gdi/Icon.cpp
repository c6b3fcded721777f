// Icons (a colour image and an AND mask), DrawIconEx and DrawState with its disabled,
// monochrome and union looks.
#include "platform/win/detail/CursorShape.h"
#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/detail/Paint.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/TextOutput.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace {

struct IconObject {
    bool isIcon = true;
    DWORD hotX = 0;
    DWORD hotY = 0;
    int width = 0;
    int height = 0;
    std::shared_ptr<BitmapObject> mask;  // 1 keeps the destination
    std::shared_ptr<BitmapObject> color; // null for a monochrome icon (mask is then twice as tall)
};

std::mutex g_iconLock;

std::unordered_map<HICON, std::unique_ptr<IconObject>>& Icons()
{
    static auto* icons = new std::unordered_map<HICON, std::unique_ptr<IconObject>>();
    return *icons;
}

IconObject* FindIcon(HICON h)
{
    std::lock_guard<std::mutex> lock(g_iconLock);
    auto it = Icons().find(h);
    return it == Icons().end() ? nullptr : it->second.get();
}

std::shared_ptr<BitmapObject> CopyOf(BitmapObject& src)
{
    src.SyncDib();
    auto b = std::make_shared<BitmapObject>();
    b->Allocate(src.m_width, src.m_height, src.m_bitsPixel);
    for (int y = 0; y < src.m_height; ++y) {
        std::memcpy(b->Row(y), src.Row(y), static_cast<size_t>(src.m_width) * 4);
    }
    return b;
}

HICON AddIcon(std::unique_ptr<IconObject> icon)
{
    HICON h = reinterpret_cast<HICON>(icon.get());
    std::lock_guard<std::mutex> lock(g_iconLock);
    Icons()[h] = std::move(icon);
    return h;
}

// A memory device with a bitmap selected, for drawing a bitmap object from.
struct BitmapDevice {
    HDC dc = nullptr;
    HBITMAP handle = nullptr;
    HGDIOBJ old = nullptr;
    explicit BitmapDevice(const std::shared_ptr<BitmapObject>& b)
    {
        dc = CreateCompatibleDC(nullptr);
        // Register a private copy under a handle so the device can select it.
        auto copy = CopyOf(*b);
        handle = static_cast<HBITMAP>(GdiHandles::Add(copy));
        old = SelectObject(dc, handle);
    }
    ~BitmapDevice()
    {
        SelectObject(dc, old);
        DeleteDC(dc);
        DeleteObject(handle);
    }
    BitmapDevice(const BitmapDevice&) = delete;
    BitmapDevice& operator=(const BitmapDevice&) = delete;
};

// The pixels a cursor made from an image shows: the colour image's own alpha when it has one,
// otherwise opaque where the mask is 0; a monochrome cursor's pixels come from its two halves.
// Pixels the mask keeps over a set colour invert the screen: they show black.
CursorShape CursorShapeOf(const IconObject& icon)
{
    CursorShape shape;
    shape.hotSpot = POINT{static_cast<LONG>(icon.hotX), static_cast<LONG>(icon.hotY)};
    shape.width = icon.width;
    shape.height = icon.height;
    shape.argb.resize(static_cast<size_t>(icon.width) * static_cast<size_t>(icon.height));
    bool hasAlpha = false;
    if (icon.color && icon.color->m_bitsPixel == 32) {
        for (int y = 0; y < icon.height && !hasAlpha; ++y) {
            const uint32_t* row = icon.color->Row(y);
            for (int x = 0; x < icon.width; ++x) {
                if (row[x] >> 24) {
                    hasAlpha = true;
                    break;
                }
            }
        }
    }
    for (int y = 0; y < icon.height; ++y) {
        const uint32_t* maskRow = icon.mask->Row(y);
        const uint32_t* xorRow = icon.color ? icon.color->Row(y) : icon.mask->Row(y + icon.height);
        for (int x = 0; x < icon.width; ++x) {
            const uint32_t c = xorRow[x] & 0xFFFFFFu;
            const bool keep = (maskRow[x] & 0xFFFFFFu) != 0;
            uint32_t out;
            if (hasAlpha) {
                out = xorRow[x];
            } else if (!keep) {
                out = 0xFF000000u | c;
            } else {
                out = c ? 0xFF000000u : 0;
            }
            shape.argb[static_cast<size_t>(y) * static_cast<size_t>(icon.width) + static_cast<size_t>(x)] = out;
        }
    }
    return shape;
}

} // namespace

HICON CreateIconIndirect(ICONINFO* info)
{
    if (!info) {
        return nullptr;
    }
    auto mask = GdiHandles::FindAs<BitmapObject>(info->hbmMask, OBJ_BITMAP);
    auto color = GdiHandles::FindAs<BitmapObject>(info->hbmColor, OBJ_BITMAP);
    if (!mask) {
        return nullptr;
    }
    auto icon = std::make_unique<IconObject>();
    icon->isIcon = info->fIcon != FALSE;
    icon->hotX = info->fIcon ? static_cast<DWORD>(mask->m_width / 2) : info->xHotspot;
    icon->width = mask->m_width;
    // The icon keeps copies: the caller still owns (and deletes) its bitmaps.
    icon->mask = CopyOf(*mask);
    if (color) {
        icon->color = CopyOf(*color);
        icon->height = std::min(mask->m_height, color->m_height);
    } else {
        icon->height = mask->m_height / 2;
    }
    icon->hotY = info->fIcon ? static_cast<DWORD>(icon->height / 2) : info->yHotspot;
    if (icon->width <= 0 || icon->height <= 0) {
        return nullptr;
    }
    CursorShape shape;
    if (!icon->isIcon) {
        shape = CursorShapeOf(*icon);
    }
    HICON handle = AddIcon(std::move(icon));
    if (!shape.argb.empty()) {
        RegisterImageCursor(reinterpret_cast<HCURSOR>(handle), std::move(shape));
    }
    return handle;
}

BOOL GetIconInfo(HICON h, ICONINFO* info)
{
    IconObject* icon = FindIcon(h);
    if (!icon || !info) {
        return FALSE;
    }
    info->fIcon = icon->isIcon ? TRUE : FALSE;
    info->xHotspot = icon->hotX;
    info->yHotspot = icon->hotY;
    // New bitmaps that the caller deletes.
    info->hbmMask = static_cast<HBITMAP>(GdiHandles::Add(CopyOf(*icon->mask)));
    info->hbmColor = icon->color ? static_cast<HBITMAP>(GdiHandles::Add(CopyOf(*icon->color))) : nullptr;
    return TRUE;
}

BOOL DestroyIcon(HICON h)
{
    // Icons loaded from resources are shared by every caller that loads them.
    if (IsSharedImage(h))
        return TRUE;
    {
        std::lock_guard<std::mutex> lock(g_iconLock);
        if (!Icons().erase(h)) {
            return FALSE;
        }
    }
    ForgetImageCursor(reinterpret_cast<HCURSOR>(h));
    return TRUE;
}

HICON CopyIcon(HICON h)
{
    IconObject* icon = FindIcon(h);
    if (!icon) {
        return nullptr;
    }
    auto copy = std::make_unique<IconObject>(*icon);
    copy->mask = CopyOf(*icon->mask);
    if (icon->color) {
        copy->color = CopyOf(*icon->color);
    }
    return AddIcon(std::move(copy));
}

BOOL DrawIconEx(HDC hdc, int x, int y, HICON h, int width, int height, UINT, HBRUSH, UINT flags)
{
    DeviceContext* dc = GdiDCs::Find(hdc);
    IconObject* icon = FindIcon(h);
    if (!dc || !icon) {
        return FALSE;
    }
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("DrawIconEx", {x, y, width, height, static_cast<long long>(flags)});
    }
    if (width == 0) {
        width = (flags & DI_DEFAULTSIZE) ? 32 : icon->width;
    }
    if (height == 0) {
        height = (flags & DI_DEFAULTSIZE) ? 32 : icon->height;
    }
    if ((flags & DI_NORMAL) == 0) {
        flags |= DI_NORMAL;
    }
    // The mask clears where the image goes (AND), then the image is added (XOR); without the
    // mask the image is copied as it is.
    // The flicker-free brush and the animation step are not used: the icon goes straight onto
    // the target, and nothing in the program passes either.
    BitmapDevice mask(icon->mask);
    COLORREF oldText = SetTextColor(hdc, RGB(0, 0, 0));
    COLORREF oldBk = SetBkColor(hdc, RGB(255, 255, 255));
    if (flags & DI_MASK) {
        StretchBlt(hdc, x, y, width, height, mask.dc, 0, 0, icon->width, icon->height, SRCAND);
    }
    if (flags & DI_IMAGE) {
        DWORD rop = (flags & DI_MASK) ? SRCINVERT : SRCCOPY;
        if (icon->color) {
            BitmapDevice color(icon->color);
            StretchBlt(hdc, x, y, width, height, color.dc, 0, 0, icon->width, icon->height, rop);
        } else {
            StretchBlt(hdc, x, y, width, height, mask.dc, 0, icon->height, icon->width, icon->height, rop);
        }
    }
    SetTextColor(hdc, oldText);
    SetBkColor(hdc, oldBk);
    return TRUE;
}

BOOL DrawIcon(HDC hdc, int x, int y, HICON h)
{
    return DrawIconEx(hdc, x, y, h, 0, 0, 0, nullptr, DI_NORMAL);
}

// ---- DrawState ----

namespace {

// Renders the state's image on white in its own colours.
bool RenderImage(HDC target, HDC mem, UINT type, DRAWSTATEPROC output, LPARAM data, WPARAM wdata, int cx, int cy,
                 UINT flags)
{
    switch (type) {
    case DST_TEXT:
    case DST_PREFIXTEXT: {
        const char* s = reinterpret_cast<const char*>(data);
        if (!s) {
            return false;
        }
        int len = wdata ? static_cast<int>(wdata) : static_cast<int>(std::strlen(s));
        RECT r{0, 0, cx, cy};
        UINT fmt = DT_SINGLELINE | DT_NOCLIP;
        if (type == DST_TEXT) fmt |= DT_NOPREFIX;
        if (flags & DSS_HIDEPREFIX) fmt |= DT_HIDEPREFIX;
        if (flags & DSS_PREFIXONLY) fmt |= DT_PREFIXONLY;
        SelectObject(mem, GetCurrentObject(target, OBJ_FONT));
        SetTextColor(mem, GetTextColor(target));
        SetBkMode(mem, TRANSPARENT);
        DrawText(mem, s, len, &r, fmt);
        return true;
    }
    case DST_BITMAP: {
        auto bm = GdiHandles::FindAs<BitmapObject>(reinterpret_cast<HGDIOBJ>(data), OBJ_BITMAP);
        if (!bm) {
            return false;
        }
        BitmapDevice src(bm);
        BitBlt(mem, 0, 0, cx, cy, src.dc, 0, 0, SRCCOPY);
        return true;
    }
    case DST_ICON:
        return DrawIconEx(mem, 0, 0, reinterpret_cast<HICON>(data), cx, cy, 0, nullptr, DI_NORMAL) != FALSE;
    case DST_COMPLEX:
        return output && output(mem, data, wdata, cx, cy);
    default:
        return false;
    }
}

} // namespace

BOOL DrawState(HDC hdc, HBRUSH brush, DRAWSTATEPROC output, LPARAM data, WPARAM wdata, int x, int y, int cx, int cy,
               UINT flags)
{
    DeviceContext* dc = GdiDCs::Find(hdc);
    if (!dc) {
        return FALSE;
    }
    UINT type = flags & 0x000F;
    if (dc->GetKind() == DeviceContext::Kind::Recording) {
        dc->Record("DrawState", {x, y, cx, cy, static_cast<long long>(flags)},
                   (type == DST_TEXT || type == DST_PREFIXTEXT) && data ? reinterpret_cast<const char*>(data) : "");
    }
    // The size, when not given, comes from the image.
    if (cx == 0 || cy == 0) {
        SIZE size{0, 0};
        if (type == DST_TEXT || type == DST_PREFIXTEXT) {
            const char* s = reinterpret_cast<const char*>(data);
            if (s) {
                RECT r{0, 0, 0, 0};
                int len = wdata ? static_cast<int>(wdata) : static_cast<int>(std::strlen(s));
                DrawText(hdc, s, len, &r, DT_CALCRECT | DT_SINGLELINE | (type == DST_TEXT ? DT_NOPREFIX : 0));
                size = SIZE{r.right, r.bottom};
            }
        } else if (type == DST_BITMAP) {
            BITMAP bm{};
            if (GetObject(reinterpret_cast<HGDIOBJ>(data), sizeof(bm), &bm)) {
                size = SIZE{bm.bmWidth, bm.bmHeight};
            }
        } else if (type == DST_ICON) {
            if (IconObject* icon = FindIcon(reinterpret_cast<HICON>(data))) {
                size = SIZE{icon->width, icon->height};
            }
        }
        if (cx == 0) cx = size.cx;
        if (cy == 0) cy = size.cy;
    }
    if (cx <= 0 || cy <= 0) {
        return FALSE;
    }
    UINT look = flags & (DSS_DISABLED | DSS_MONO | DSS_UNION);
    if (look == 0) {
        // Normal: draw straight onto the target.
        switch (type) {
        case DST_TEXT:
        case DST_PREFIXTEXT: {
            RECT r{x, y, x + cx, y + cy};
            int mode = SetBkMode(hdc, TRANSPARENT);
            UINT fmt = DT_SINGLELINE | (type == DST_TEXT ? DT_NOPREFIX : 0) | ((flags & DSS_HIDEPREFIX) ? DT_HIDEPREFIX : 0) |
                       ((flags & DSS_PREFIXONLY) ? DT_PREFIXONLY : 0);
            const char* s = reinterpret_cast<const char*>(data);
            DrawText(hdc, s, wdata ? static_cast<int>(wdata) : -1, &r, fmt);
            SetBkMode(hdc, mode);
            return TRUE;
        }
        case DST_ICON:
            return DrawIconEx(hdc, x, y, reinterpret_cast<HICON>(data), cx, cy, 0, nullptr, DI_NORMAL);
        case DST_BITMAP: {
            auto bm = GdiHandles::FindAs<BitmapObject>(reinterpret_cast<HGDIOBJ>(data), OBJ_BITMAP);
            if (!bm) {
                return FALSE;
            }
            BitmapDevice src(bm);
            return BitBlt(hdc, x, y, cx, cy, src.dc, 0, 0, SRCCOPY);
        }
        case DST_COMPLEX: {
            int saved = SaveDC(hdc);
            OffsetViewportOrgEx(hdc, x, y, nullptr);
            BOOL ok = output ? output(hdc, data, wdata, cx, cy) : FALSE;
            RestoreDC(hdc, saved);
            return ok;
        }
        default:
            break;
        }
    }
    // Other looks work from the image's shape: what is drawn differs from white.
    HDC mem = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateBitmap(cx, cy, 1, 32, nullptr);
    HGDIOBJ old = SelectObject(mem, canvas);
    PatBlt(mem, 0, 0, cx, cy, WHITENESS);
    // Text is drawn black for the shape-only looks.
    COLORREF textColor = GetTextColor(hdc);
    if (look != 0 && (type == DST_TEXT || type == DST_PREFIXTEXT)) {
        SetTextColor(hdc, RGB(0, 0, 0));
    }
    bool ok = RenderImage(hdc, mem, type, output, data, wdata, cx, cy, flags);
    SetTextColor(hdc, textColor);
    auto bm = GdiHandles::FindAs<BitmapObject>(canvas, OBJ_BITMAP);
    if (ok && bm) {
        PixelTarget t = dc->Target();
        const Region& clip = dc->Clip();
        auto paintInk = [&](int ox, int oy, uint32_t color, bool checker, bool copyImage) {
            for (int j = 0; j < cy; ++j) {
                const uint32_t* row = bm->Row(j);
                for (int i = 0; i < cx; ++i) {
                    uint32_t v = row[i] & 0x00FFFFFFu;
                    if (v == 0x00FFFFFFu) {
                        continue;
                    }
                    POINT p = dc->ToDevice(x + i + ox, y + j + oy);
                    if (checker && ((p.x + p.y) & 1)) {
                        continue;
                    }
                    PlotPixel(t, clip, p.x, p.y, copyImage ? v : color, R2_COPYPEN);
                }
            }
        };
        if (look & DSS_DISABLED) {
            // Embossed: a light copy one pixel down and right, the shadow on top.
            paintInk(1, 1, dc->DevicePixel(GetSysColor(COLOR_3DHIGHLIGHT)), false, false);
            paintInk(0, 0, dc->DevicePixel(GetSysColor(COLOR_3DSHADOW)), false, false);
        } else if (look & DSS_MONO) {
            FillPaint p = ResolveBrush(*dc, GdiHandles::FindAs<BrushObject>(brush, OBJ_BRUSH).get());
            uint32_t c = p.kind == FillPaint::Kind::Solid ? p.color : dc->DevicePixel(dc->State().textColor);
            paintInk(0, 0, c, false, false);
        } else if (look & DSS_UNION) {
            paintInk(0, 0, 0, false, true);
            paintInk(0, 0, dc->DevicePixel(GetSysColor(COLOR_HIGHLIGHT)), true, false);
        } else {
            paintInk(0, 0, 0, false, true);
        }
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(canvas);
    return ok ? TRUE : FALSE;
}
