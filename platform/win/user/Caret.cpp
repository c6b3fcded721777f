// The thread's caret: counted showing, blinking by a thread timer, inverted pixels.
#include "platform/win/detail/CaretPaint.h"

#include "platform/core/MessageQueue.h"
#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <atomic>

namespace {

constexpr UINT kDefaultBlink = 530;
std::atomic<UINT> g_blinkTime{kDefaultBlink};

struct Caret {
    HWND owner = nullptr;
    HBITMAP bitmap = nullptr;   // null solid, 1 gray
    POINT pos{0, 0};
    SIZE size{0, 0};
    int hideCount = 1;
    bool drawn = false;         // inverted on the window now
    bool suspended = false;     // taken off while the owner paints
    UINT_PTR timer = 0;
};

Caret& ThreadCaret()
{
    thread_local Caret caret;
    return caret;
}

bool IsGray(HBITMAP bitmap)
{
    return bitmap == reinterpret_cast<HBITMAP>(1);
}

// Inverting twice restores the pixels: drawing and erasing are the same operation.
void Invert(Caret& caret)
{
    if (!caret.owner || !IsWindow(caret.owner))
        return;
    HDC dc = GetDC(caret.owner);
    if (!dc)
        return;
    const int x = caret.pos.x, y = caret.pos.y;
    if (caret.bitmap && !IsGray(caret.bitmap)) {
        HDC mem = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(mem, caret.bitmap);
        BitBlt(dc, x, y, caret.size.cx, caret.size.cy, mem, 0, 0, SRCINVERT);
        SelectObject(mem, old);
        DeleteDC(mem);
    } else if (IsGray(caret.bitmap)) {
        HBRUSH gray = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        HGDIOBJ old = SelectObject(dc, gray);
        PatBlt(dc, x, y, caret.size.cx, caret.size.cy, PATINVERT);
        SelectObject(dc, old);
    } else {
        PatBlt(dc, x, y, caret.size.cx, caret.size.cy, DSTINVERT);
    }
    ReleaseDC(caret.owner, dc);
    caret.drawn = !caret.drawn;
}

void Erase(Caret& caret)
{
    if (caret.drawn)
        Invert(caret);
}

void CALLBACK BlinkTimer(HWND, UINT, UINT_PTR, DWORD)
{
    Caret& caret = ThreadCaret();
    if (!caret.owner || !IsWindow(caret.owner)) {
        caret = Caret{};
        return;
    }
    if (caret.hideCount == 0 && !caret.suspended)
        Invert(caret);
}

void StartBlinking(Caret& caret)
{
    caret.timer = SetTimer(nullptr, caret.timer, GetCaretBlinkTime(), BlinkTimer);
}

void StopBlinking(Caret& caret)
{
    if (caret.timer) {
        KillTimer(nullptr, caret.timer);
        caret.timer = 0;
    }
}

// The caret of the calling thread when it belongs to hWnd (null: any window).
Caret* CaretOf(HWND hWnd)
{
    Caret& caret = ThreadCaret();
    if (!caret.owner)
        return nullptr;
    if (!IsWindow(caret.owner)) {
        // Its window went away: so did the caret.
        StopBlinking(caret);
        caret = Caret{};
        return nullptr;
    }
    if (hWnd && hWnd != caret.owner)
        return nullptr;
    return &caret;
}

} // namespace

BOOL CreateCaret(HWND hWnd, HBITMAP hBitmap, int nWidth, int nHeight)
{
    if (!IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    DestroyCaret();
    Caret& caret = ThreadCaret();
    caret.owner = hWnd;
    caret.bitmap = hBitmap;
    if (hBitmap && !IsGray(hBitmap)) {
        BITMAP bm{};
        if (GetObject(hBitmap, sizeof(bm), &bm)) {
            nWidth = bm.bmWidth;
            nHeight = bm.bmHeight;
        }
    }
    caret.size = SIZE{nWidth > 0 ? nWidth : GetSystemMetrics(SM_CXBORDER),
                      nHeight > 0 ? nHeight : GetSystemMetrics(SM_CYBORDER)};
    caret.pos = POINT{0, 0};
    caret.hideCount = 1;
    caret.drawn = false;
    caret.suspended = false;
    return TRUE;
}

BOOL DestroyCaret()
{
    Caret& caret = ThreadCaret();
    if (!caret.owner)
        return FALSE;
    if (IsWindow(caret.owner))
        Erase(caret);
    StopBlinking(caret);
    caret = Caret{};
    return TRUE;
}

BOOL ShowCaret(HWND hWnd)
{
    Caret* caret = CaretOf(hWnd);
    if (!caret)
        return FALSE;
    if (caret->hideCount > 0 && --caret->hideCount == 0) {
        if (!caret->suspended && !caret->drawn)
            Invert(*caret);
        StartBlinking(*caret);
    }
    return TRUE;
}

BOOL HideCaret(HWND hWnd)
{
    Caret* caret = CaretOf(hWnd);
    if (!caret)
        return FALSE;
    if (caret->hideCount++ == 0) {
        Erase(*caret);
        StopBlinking(*caret);
    }
    return TRUE;
}

BOOL SetCaretPos(int X, int Y)
{
    Caret* caret = CaretOf(nullptr);
    if (!caret)
        return FALSE;
    if (caret->pos.x == X && caret->pos.y == Y)
        return TRUE;
    const bool wasDrawn = caret->drawn;
    Erase(*caret);
    caret->pos = POINT{X, Y};
    // A moved caret shows at once and blinks from there.
    if (caret->hideCount == 0 && !caret->suspended) {
        (void)wasDrawn;
        Invert(*caret);
        StartBlinking(*caret);
    }
    return TRUE;
}

BOOL GetCaretPos(LPPOINT lpPoint)
{
    if (!lpPoint)
        return FALSE;
    Caret* caret = CaretOf(nullptr);
    if (!caret)
        return FALSE;
    *lpPoint = caret->pos;
    return TRUE;
}

BOOL SetCaretBlinkTime(UINT uMSeconds)
{
    g_blinkTime.store(uMSeconds ? uMSeconds : kDefaultBlink);
    Caret& caret = ThreadCaret();
    if (caret.owner && caret.timer)
        StartBlinking(caret);
    return TRUE;
}

UINT GetCaretBlinkTime()
{
    return g_blinkTime.load();
}

void CaretBeforePaint(HWND hwnd)
{
    Caret& caret = ThreadCaret();
    if (!caret.owner || caret.owner != hwnd || caret.suspended)
        return;
    Erase(caret);
    caret.suspended = true;
}

void CaretAfterPaint(HWND hwnd)
{
    Caret& caret = ThreadCaret();
    if (!caret.owner || caret.owner != hwnd || !caret.suspended)
        return;
    caret.suspended = false;
    if (caret.hideCount == 0 && IsWindow(hwnd))
        Invert(caret);
}

CaretInfo GetCaretInfo()
{
    Caret& caret = ThreadCaret();
    return CaretInfo{caret.owner, caret.pos, caret.size, caret.hideCount, caret.drawn};
}
