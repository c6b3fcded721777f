// The cursor table, the current cursor and its show count, position and clipping.
#include "platform/win/detail/CursorShape.h"

#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"
#include "platform/win/WindowBackend.h"
#include "platform/win/detail/WindowManager.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>

namespace {

struct CursorTable {
    std::mutex mutex;
    // The handle is the address of the shape, which never moves.
    std::map<HCURSOR, std::unique_ptr<CursorShape>> shapes;
    std::map<int, HCURSOR> standard;
    HCURSOR current = nullptr;
    int showCount = 0;
    bool clipped = false;
    RECT clip{0, 0, 0, 0};
};

CursorTable& Cursors()
{
    static CursorTable* table = new CursorTable;   // cursors are shared for the process' life
    return *table;
}

bool IsStandardId(int id)
{
    switch (id) {
    case 32512: case 32513: case 32514: case 32515: case 32516: case 32640: case 32641: case 32642:
    case 32643: case 32644: case 32645: case 32646: case 32648: case 32649: case 32650: case 32651:
        return true;
    default:
        return false;
    }
}

HCURSOR RegisterCursor(CursorTable& table, std::unique_ptr<CursorShape> shape)
{
    auto handle = reinterpret_cast<HCURSOR>(shape.get());
    table.shapes.emplace(handle, std::move(shape));
    return handle;
}

} // namespace

HCURSOR LoadCursor(HINSTANCE hInstance, LPCSTR lpCursorName)
{
    if (hInstance)
        return LoadCursorFromResource(hInstance, lpCursorName);
    if (!IS_INTRESOURCE(lpCursorName) || !IsStandardId(LOWORD(reinterpret_cast<ULONG_PTR>(lpCursorName)))) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    int id = LOWORD(reinterpret_cast<ULONG_PTR>(lpCursorName));
    if (id == 32640)   // the old "size" cursor is the four-headed arrow
        id = 32646;
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    auto it = table.standard.find(id);
    if (it != table.standard.end())
        return it->second;
    auto shape = std::make_unique<CursorShape>();
    shape->standardId = id;
    shape->width = shape->height = 32;
    HCURSOR handle = RegisterCursor(table, std::move(shape));
    table.standard.emplace(id, handle);
    return handle;
}

HCURSOR CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int nWidth, int nHeight, const void* pvANDPlane,
                     const void* pvXORPlane)
{
    if (nWidth <= 0 || nHeight <= 0 || nWidth > 256 || nHeight > 256 || !pvANDPlane || !pvXORPlane) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto shape = std::make_unique<CursorShape>();
    shape->hotSpot = POINT{xHotSpot, yHotSpot};
    shape->width = nWidth;
    shape->height = nHeight;
    const size_t bytes = static_cast<size_t>((nWidth + 15) / 16 * 2) * static_cast<size_t>(nHeight);
    auto* andBytes = static_cast<const BYTE*>(pvANDPlane);
    auto* xorBytes = static_cast<const BYTE*>(pvXORPlane);
    shape->andPlane.assign(andBytes, andBytes + bytes);
    shape->xorPlane.assign(xorBytes, xorBytes + bytes);
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    return RegisterCursor(table, std::move(shape));
}

BOOL DestroyCursor(HCURSOR hCursor)
{
    if (IsSharedImage(hCursor))
        return TRUE;
    CursorTable& table = Cursors();
    bool image = false;
    {
        std::lock_guard lock(table.mutex);
        auto it = table.shapes.find(hCursor);
        if (it == table.shapes.end()) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (it->second->standardId)
            return TRUE;
        if (table.current == hCursor)
            return FALSE;   // the cursor in use stays
        image = !it->second->argb.empty();
        table.shapes.erase(it);
    }
    if (image)
        DestroyIcon(reinterpret_cast<HICON>(hCursor));   // the same object seen as an icon
    return TRUE;
}

void RegisterImageCursor(HCURSOR handle, CursorShape shape)
{
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    table.shapes[handle] = std::make_unique<CursorShape>(std::move(shape));
}

void ForgetImageCursor(HCURSOR handle)
{
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    auto it = table.shapes.find(handle);
    if (it != table.shapes.end() && !it->second->standardId && table.current != handle)
        table.shapes.erase(it);
}

void CursorBitmaps(const CursorShape& shape, std::vector<BYTE>& source, std::vector<BYTE>& mask)
{
    const int w = std::max(0, shape.width);
    const int h = std::max(0, shape.height);
    const size_t row = static_cast<size_t>((w + 7) / 8);
    source.assign(row * static_cast<size_t>(h), 0);
    mask.assign(row * static_cast<size_t>(h), 0);
    const size_t planeRow = static_cast<size_t>((w + 15) / 16 * 2);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            bool shown = false;
            bool dark = false;
            if (!shape.argb.empty()) {
                const uint32_t p = shape.argb[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
                shown = (p >> 24) >= 0x80;
                const unsigned luma = (((p >> 16) & 0xFF) * 30 + ((p >> 8) & 0xFF) * 59 + (p & 0xFF) * 11) / 100;
                dark = luma < 0x80;
            } else if (!shape.andPlane.empty() && !shape.xorPlane.empty()) {
                const size_t byte = static_cast<size_t>(y) * planeRow + static_cast<size_t>(x / 8);
                const int bit = 7 - (x % 8);   // the planes put the leftmost pixel in the high bit
                const bool andBit = (shape.andPlane[byte] >> bit) & 1;
                const bool xorBit = (shape.xorPlane[byte] >> bit) & 1;
                shown = !andBit || xorBit;
                dark = andBit ? xorBit : !xorBit;   // 0/0 black, 0/1 white, 1/1 inverts: dark
            }
            const size_t at = static_cast<size_t>(y) * row + static_cast<size_t>(x / 8);
            const BYTE bit = static_cast<BYTE>(1u << (x % 8));
            if (shown) {
                mask[at] |= bit;
                if (dark)
                    source[at] |= bit;
            }
        }
    }
}

bool GetCursorShape(HCURSOR cursor, CursorShape& shape)
{
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    auto it = table.shapes.find(cursor);
    if (it == table.shapes.end())
        return false;
    shape = *it->second;
    return true;
}

HCURSOR SetCursor(HCURSOR hCursor)
{
    CursorTable& table = Cursors();
    HCURSOR previous;
    bool shown;
    {
        std::lock_guard lock(table.mutex);
        previous = table.current;
        table.current = hCursor;
        shown = table.showCount >= 0;
    }
    if (previous != hCursor && shown)
        GetWindowBackend().SetCursor(hCursor);
    return previous;
}

HCURSOR GetCursor()
{
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    return table.current;
}

HCURSOR ShownCursor()
{
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    return table.showCount >= 0 ? table.current : nullptr;
}

int ShowCursor(BOOL bShow)
{
    CursorTable& table = Cursors();
    int count;
    HCURSOR current;
    bool changed;
    {
        std::lock_guard lock(table.mutex);
        const bool wasShown = table.showCount >= 0;
        table.showCount += bShow ? 1 : -1;
        count = table.showCount;
        changed = wasShown != (count >= 0);
        current = table.current;
    }
    if (changed)
        GetWindowBackend().SetCursor(count >= 0 ? current : nullptr);
    return count;
}

BOOL GetCursorPos(LPPOINT lpPoint)
{
    if (!lpPoint)
        return FALSE;
    *lpPoint = WindowManager::Get().cursorPos();
    return TRUE;
}

BOOL SetCursorPos(int X, int Y)
{
    POINT pt = ClipCursorPoint(POINT{X, Y});
    WindowManager::Get().SetCursorPos(pt);
    // Windows under the pointer learn of the move as if the mouse had moved.
    BackendEvent event;
    event.kind = BackendEvent::Kind::MouseMove;
    event.pt = pt;
    PostBackendEvent(std::move(event));
    return TRUE;
}

BOOL ClipCursor(const RECT* lpRect)
{
    CursorTable& table = Cursors();
    {
        std::lock_guard lock(table.mutex);
        table.clipped = lpRect != nullptr;
        if (lpRect) {
            table.clip = *lpRect;
            if (table.clip.right <= table.clip.left)
                table.clip.right = table.clip.left + 1;
            if (table.clip.bottom <= table.clip.top)
                table.clip.bottom = table.clip.top + 1;
        }
    }
    if (lpRect) {
        POINT now = WindowManager::Get().cursorPos();
        POINT inside = ClipCursorPoint(now);
        if (inside.x != now.x || inside.y != now.y)
            SetCursorPos(inside.x, inside.y);
    }
    return TRUE;
}

BOOL GetClipCursor(LPRECT lpRect)
{
    if (!lpRect)
        return FALSE;
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    if (table.clipped) {
        *lpRect = table.clip;
    } else {
        SIZE screen = GetWindowBackend().ScreenSize();
        *lpRect = RECT{0, 0, screen.cx, screen.cy};
    }
    return TRUE;
}

POINT ClipCursorPoint(POINT pt)
{
    CursorTable& table = Cursors();
    std::lock_guard lock(table.mutex);
    if (!table.clipped)
        return pt;
    pt.x = std::clamp<LONG>(pt.x, table.clip.left, table.clip.right - 1);
    pt.y = std::clamp<LONG>(pt.y, table.clip.top, table.clip.bottom - 1);
    return pt;
}

HCURSOR CursorForHitTest(int hitTest)
{
    switch (hitTest) {
    case HTLEFT:
    case HTRIGHT:
        return LoadCursor(nullptr, IDC_SIZEWE);
    case HTTOP:
    case HTBOTTOM:
        return LoadCursor(nullptr, IDC_SIZENS);
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
    case HTGROWBOX:
        return LoadCursor(nullptr, IDC_SIZENWSE);
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
        return LoadCursor(nullptr, IDC_SIZENESW);
    case HTCLIENT:
    case HTERROR:
    case HTNOWHERE:
    case HTTRANSPARENT:
        return nullptr;
    default:
        return LoadCursor(nullptr, IDC_ARROW);
    }
}
