#include "app/panes/COutputAreaWnd.h"

#include "platform/controls/EditDefs.h"
#include "platform/win/Caret.h"
#include "platform/win/Gdi.h"

IMPLEMENT_DYNCREATE(COutputAreaWnd, CRichEditCtrl)

BEGIN_MESSAGE_MAP(COutputAreaWnd, CRichEditCtrl)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void COutputAreaWnd::OnPaint()
{
    Default();
    if (::GetFocus() == m_hWnd)
        DrawFocusFrame();
}

void COutputAreaWnd::OnSize(UINT, int, int)
{
    Default();
    // The text keeps clear of the frame's place, so that the frame hides none of it.
    CRect text;
    GetClientRect(&text);
    text.DeflateRect(kFrameWidth + kFrameGap, kFrameWidth + kFrameGap);
    if (text.right < text.left)
        text.right = text.left;
    if (text.bottom < text.top)
        text.bottom = text.top;
    SendMessage(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&text));
}

void COutputAreaWnd::OnSetFocus(CWnd*)
{
    Default();
    Invalidate(FALSE);
}

void COutputAreaWnd::OnKillFocus(CWnd*)
{
    Default();
    // The text's own painting fills the whole client area, the frame's place with it.
    Invalidate(FALSE);
}

// Drawn whole after each paint, so that a paint of a few lines, or of a scroll, leaves it whole.
void COutputAreaWnd::DrawFocusFrame()
{
    CRect client;
    GetClientRect(&client);
    if (client.Width() < 2 * kFrameWidth || client.Height() < 2 * kFrameWidth)
        return;
    HDC dc = ::GetDC(m_hWnd);
    if (dc == nullptr)
        return;
    // The caret is drawn by inverting pixels: hidden, it cannot invert a part of the frame.
    ::HideCaret(m_hWnd);
    const HBRUSH brush = ::GetSysColorBrush(COLOR_HIGHLIGHT);
    const RECT sides[] = {
        {client.left, client.top, client.right, client.top + kFrameWidth},
        {client.left, client.bottom - kFrameWidth, client.right, client.bottom},
        {client.left, client.top, client.left + kFrameWidth, client.bottom},
        {client.right - kFrameWidth, client.top, client.right, client.bottom},
    };
    for (const RECT& side : sides)
        ::FillRect(dc, &side, brush);
    ::ShowCaret(m_hWnd);
    ::ReleaseDC(m_hWnd, dc);
}
