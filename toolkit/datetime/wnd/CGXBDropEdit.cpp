#include "toolkit/datetime/wnd/CGXBDropEdit.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/wnd/DTSupport.h"
#include "toolkit/datetime/wnd/DTTraits.h"

int CGXBDropEdit::ButtonWidth() const
{
    if (!m_bitmap.GetSafeHandle())
        return 0;
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    return bm.bmWidth + m_wLeftInset + m_wRightInset + 4;
}

BOOL CGXBDropEdit::SetButtonBitmap(UINT nID)
{
    m_bitmap.DeleteObject();
    m_rcButton.SetRectEmpty();
    m_nBitmapID = nID;
    if (nID && !DTLoadSysColorBitmap(m_bitmap, nID))
        m_nBitmapID = 0;
    if (m_hWnd)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL CGXBDropEdit::HitTestButton(CPoint point, BOOL bClient)
{
    if (m_rcButton.IsRectEmpty())
        return FALSE;
    if (bClient)
        ClientToScreen(&point);
    CRect window;
    GetWindowRect(&window);
    point.Offset(-window.left, -window.top);
    return m_rcButton.PtInRect(point);
}

void CGXBDropEdit::OnButtonClicked()
{
    if (CWnd* parent = GetParent())
        parent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), reinterpret_cast<LPARAM>(m_hWnd));
}

void CGXBDropEdit::InvalidateButton()
{
    if (m_hWnd && !m_rcButton.IsRectEmpty())
        PaintButton();
}

void CGXBDropEdit::DrawButton(CDC* pDC, RECT rect)
{
    CRect rc = rect;
    const COLORREF face = CGXBDTTraits::Color(DTColor::BtnFace);
    const COLORREF shadow = CGXBDTTraits::Color(DTColor::BtnShadow);
    const bool pressed = IsButtonPressed();
    if (pressed) {
        pDC->Draw3dRect(&rc, shadow, shadow);
        rc.DeflateRect(1, 1);
    } else {
        pDC->Draw3dRect(&rc, face, CGXBDTTraits::Color(DTColor::WindowFrame));
        rc.DeflateRect(1, 1);
        pDC->Draw3dRect(&rc, CGXBDTTraits::Color(DTColor::BtnHilite), shadow);
        rc.DeflateRect(1, 1);
    }
    pDC->FillSolidRect(&rc, face);
    if (!m_bitmap.GetSafeHandle())
        return;
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    CDC mem;
    if (!mem.CreateCompatibleDC(pDC))
        return;
    CBitmap* old = mem.SelectObject(&m_bitmap);
    const int off = pressed ? 1 : 0;
    const int x = rc.left + m_wLeftInset + off;
    const int y = rc.top + (rc.Height() - bm.bmHeight) / 2 + off;
    pDC->BitBlt(x, y, bm.bmWidth, bm.bmHeight, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(old);
    if (!IsWindowEnabled()) {
        // Disabled: the image embossed, face and highlight pixels left out.
        const COLORREF hilite = CGXBDTTraits::Color(DTColor::BtnHilite);
        for (int yy = y + 2; yy < y + bm.bmHeight - 2; ++yy)
            for (int xx = x + 2; xx < x + bm.bmWidth - 2; ++xx) {
                const COLORREF c = pDC->GetPixel(xx, yy) & 0xFFFFFF;
                if (c != (face & 0xFFFFFF) && c != (hilite & 0xFFFFFF)) {
                    pDC->SetPixelV(xx + 1, yy + 1, hilite);
                    pDC->SetPixelV(xx, yy, shadow);
                }
            }
    }
}

void CGXBDropEdit::PaintButton()
{
    if (m_rcButton.IsRectEmpty())
        return;
    CDC* dc = GetWindowDC();
    if (!dc)
        return;
    CDC mem;
    CBitmap bitmap;
    const CRect rc = m_rcButton;
    if (mem.CreateCompatibleDC(dc) && bitmap.CreateCompatibleBitmap(dc, rc.Width(), rc.Height())) {
        CBitmap* old = mem.SelectObject(&bitmap);
        DrawButton(&mem, CRect(0, 0, rc.Width(), rc.Height()));
        dc->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
        mem.SelectObject(old);
    } else {
        DrawButton(dc, rc);
    }
    ReleaseDC(dc);
}

void CGXBDropEdit::EndTracking(BOOL bClick, CPoint screenPt)
{
    m_wFlags &= ~(FlagTracking | FlagPressed);
    if (GetCapture() == this)
        ReleaseCapture();
    PaintButton();
    if (bClick && HitTestButton(screenPt, FALSE))
        OnButtonClicked();
}

LRESULT CGXBDropEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCALCSIZE: {
        // The rectangle starts as the window's and leaves as the client's, in one frame of
        // reference; the button is kept relative to the window.
        const RECT windowRect = lParam ? *reinterpret_cast<RECT*>(lParam) : RECT{};
        const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        m_rcButton.SetRectEmpty();
        if (m_bitmap.GetSafeHandle() && lParam) {
            RECT* client = reinterpret_cast<RECT*>(lParam);
            const int w = ButtonWidth();
            CRect button;
            if (m_wFlags & FlagRight) {
                client->right -= w;
                button.SetRect(client->right, client->top, client->right + w, client->bottom);
            } else {
                button.SetRect(client->left, client->top, client->left + w, client->bottom);
                client->left += w;
            }
            button.OffsetRect(-windowRect.left, -windowRect.top);
            m_rcButton = button;
        }
        return r;
    }
    case WM_NCPAINT: {
        const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        PaintButton();
        return r;
    }
    case WM_NCHITTEST: {
        const LRESULT r = CEdit::WindowProc(message, wParam, lParam);
        if ((r == HTNOWHERE || r == HTBORDER) &&
            HitTestButton(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), FALSE))
            return HTBORDER;
        return r;
    }
    case WM_NCLBUTTONDOWN: {
        const CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        if (!IsButtonPressed() && HitTestButton(pt, FALSE)) {
            m_wFlags |= FlagPressed | FlagTracking;
            PaintButton();
            SetCapture();
            return 0;
        }
        break;
    }
    case WM_MOUSEMOVE:
        if (m_wFlags & FlagTracking) {
            const bool over = HitTestButton(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)), TRUE) != FALSE;
            if (over != (IsButtonPressed() != FALSE)) {
                m_wFlags ^= FlagPressed;
                PaintButton();
            }
            return 0;
        }
        break;
    case WM_LBUTTONUP:
        if (m_wFlags & FlagTracking) {
            CPoint pt(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            ClientToScreen(&pt);
            EndTracking(TRUE, pt);
            return 0;
        }
        break;
    case WM_CANCELMODE:
        if (m_wFlags & FlagTracking)
            EndTracking(FALSE, CPoint(0, 0));
        break;
    case WM_KEYDOWN:
        if (wParam == VK_F4) {
            OnButtonClicked();
            return 0;
        }
        break;
    case WM_SYSKEYDOWN:
        if (wParam == VK_DOWN) {
            OnButtonClicked();
            return 0;
        }
        break;
    case WM_ENABLE:
        InvalidateButton();
        break;
    case WM_SYSCOLORCHANGE:
        CGXBDTTraits::RefreshColors();
        if (m_nBitmapID)
            DTLoadSysColorBitmap(m_bitmap, m_nBitmapID);
        break;
    default:
        break;
    }
    return CEdit::WindowProc(message, wParam, lParam);
}
