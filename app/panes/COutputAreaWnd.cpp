#include "app/panes/COutputAreaWnd.h"

#include "platform/win/Caret.h"
#include "platform/win/Gdi.h"

IMPLEMENT_DYNCREATE(COutputAreaWnd, CRichEditCtrl)

BEGIN_MESSAGE_MAP(COutputAreaWnd, CRichEditCtrl)
    ON_WM_PAINT()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void COutputAreaWnd::OnPaint()
{
    Default();
    if (::GetFocus() == m_hWnd)
        DrawFocusFrame();
}

void COutputAreaWnd::OnSetFocus(CWnd*)
{
    Default();
    Invalidate(FALSE);
}

void COutputAreaWnd::OnKillFocus(CWnd*)
{
    Default();
    // The text's own painting fills the whole client area, the frame's edge with it.
    Invalidate(FALSE);
}

// Every other pixel of the client area's edge, in the text's colour: the frame stands in the
// margin the text leaves, and is drawn whole after each paint, so that a paint of a few lines
// leaves it as it was.
void COutputAreaWnd::DrawFocusFrame()
{
    CRect client;
    GetClientRect(&client);
    if (client.Width() < 2 || client.Height() < 2)
        return;
    HDC dc = ::GetDC(m_hWnd);
    if (dc == nullptr)
        return;
    // The caret is drawn by inverting pixels: hidden, it cannot invert a dot of the frame.
    ::HideCaret(m_hWnd);
    const COLORREF color = ::GetSysColor(COLOR_WINDOWTEXT);
    for (int x = client.left; x < client.right; x += 2) {
        ::SetPixel(dc, x, client.top, color);
        ::SetPixel(dc, x, client.bottom - 1, color);
    }
    for (int y = client.top; y < client.bottom; y += 2) {
        ::SetPixel(dc, client.left, y, color);
        ::SetPixel(dc, client.right - 1, y, color);
    }
    ::ShowCaret(m_hWnd);
    ::ReleaseDC(m_hWnd, dc);
}
