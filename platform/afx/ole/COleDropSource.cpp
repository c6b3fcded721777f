// The source's part of a drag: the start threshold, the end condition and the drag cursors.
#include "platform/afx/ole/COleDropSource.h"

#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"

#include <array>
#include <cstdlib>
#include <string>

IMPLEMENT_DYNAMIC(COleDropSource, CCmdTarget)

UINT COleDropSource::nDragMinDist = DD_DEFDRAGMINDIST;
UINT COleDropSource::nDragDelay = DD_DEFDRAGDELAY;

namespace {

constexpr UINT_PTR kDragDelayTimer = 0xD4A7;

// A 32 x 32 drag cursor: the arrow with a page under its tip, marked for copy (+) or link
// (a small arrow). '#' black, 'o' white, anything else shows the screen.
HCURSOR MakeDragCursor(char mark)
{
    std::array<std::string, 32> rows;
    rows.fill(std::string(32, ' '));
    for (int r = 0; r < 12; ++r) {
        for (int x = 0; x <= r; ++x) {
            rows[r][x] = (x == 0 || x == r || r == 11) ? '#' : 'o';
        }
    }
    for (int r = 11; r < 17; ++r) {
        for (int x = 3; x <= 6; ++x) {
            rows[r][x] = (x == 3 || x == 6 || r == 16) ? '#' : 'o';
        }
    }
    for (int r = 18; r < 28; ++r) {
        for (int x = 10; x < 22; ++x) {
            rows[r][x] = (x == 10 || x == 21 || r == 18 || r == 27) ? '#' : 'o';
        }
    }
    if (mark == '+') {
        for (int i = 20; i < 26; ++i) {
            rows[i][15] = rows[i][16] = '#';
            rows[22][i - 5] = rows[23][i - 5] = '#';
        }
    } else if (mark == 'L') {
        for (int i = 0; i < 6; ++i) {
            rows[25 - i][13 + i] = '#';
        }
        rows[20][16] = rows[20][17] = rows[21][18] = '#';
    }
    std::array<BYTE, 128> andPlane{};
    std::array<BYTE, 128> xorPlane{};
    for (int r = 0; r < 32; ++r) {
        for (int x = 0; x < 32; ++x) {
            BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
            size_t at = static_cast<size_t>(r) * 4 + static_cast<size_t>(x / 8);
            char c = rows[r][x];
            if (c == ' ') {
                andPlane[at] |= bit;
            } else if (c == 'o') {
                xorPlane[at] |= bit;
            }
        }
    }
    return CreateCursor(nullptr, 0, 0, 32, 32, andPlane.data(), xorPlane.data());
}

} // namespace

HCURSOR AfxGetDragCursor(DROPEFFECT dropEffect)
{
    static HCURSOR move = MakeDragCursor('M');
    static HCURSOR copy = MakeDragCursor('+');
    static HCURSOR link = MakeDragCursor('L');
    DROPEFFECT e = dropEffect & ~DROPEFFECT_SCROLL;
    if (e & DROPEFFECT_MOVE) {
        return move;
    }
    if (e & DROPEFFECT_COPY) {
        return copy;
    }
    if (e & DROPEFFECT_LINK) {
        return link;
    }
    return LoadCursor(nullptr, IDC_NO);
}

BOOL COleDropSource::OnBeginDrag(CWnd* pWnd)
{
    m_bDragStarted = FALSE;
    if (::IsRectEmpty(&m_rectStartDrag) || !pWnd || !pWnd->GetSafeHwnd()) {
        m_bDragStarted = TRUE;
        return TRUE;
    }
    HWND hwnd = pWnd->GetSafeHwnd();
    // A start rectangle of a point only still allows the minimum distance.
    CRect start = m_rectStartDrag;
    if (start.Width() < static_cast<int>(nDragMinDist) * 2 || start.Height() < static_cast<int>(nDragMinDist) * 2) {
        start.InflateRect(static_cast<int>(nDragMinDist), static_cast<int>(nDragMinDist));
    }
    SetCapture(hwnd);
    SetTimer(hwnd, kDragDelayTimer, nDragDelay, nullptr);
    bool decided = false;
    while (!decided) {
        if (!IsWindow(hwnd) || GetCapture() != hwnd) {
            break;
        }
        MSG msg;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        switch (msg.message) {
        case WM_MOUSEMOVE:
            if (!start.PtInRect(msg.pt)) {
                m_bDragStarted = TRUE;
                decided = true;
            }
            break;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            decided = true;
            break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE) {
                decided = true;
            }
            break;
        case WM_TIMER:
            if (msg.hwnd == hwnd && msg.wParam == kDragDelayTimer) {
                m_bDragStarted = TRUE;
                decided = true;
                break;
            }
            [[fallthrough]];
        default:
            TranslateMessage(&msg);
            DispatchMessage(&msg);
            break;
        }
    }
    if (IsWindow(hwnd)) {
        KillTimer(hwnd, kDragDelayTimer);
    }
    if (!m_bDragStarted && GetCapture() == hwnd) {
        ReleaseCapture();
    }
    return m_bDragStarted;
}

SCODE COleDropSource::QueryContinueDrag(BOOL bEscapePressed, DWORD dwKeyState)
{
    if (bEscapePressed || (dwKeyState & m_dwButtonCancel)) {
        return DRAGDROP_S_CANCEL;
    }
    if (!(dwKeyState & m_dwButtonDrop)) {
        return m_bDragStarted ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
    }
    return S_OK;
}

SCODE COleDropSource::GiveFeedback(DROPEFFECT)
{
    return DRAGDROP_S_USEDEFAULTCURSORS;
}
