#include "grid/core/CGXChild.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Gdi.h"

void CGXChild::Invalidate()
{
    CWnd* pWnd = m_pComposite != nullptr ? m_pComposite->GridWnd() : nullptr;
    if (pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr)
        pWnd->InvalidateRect(&m_rect, FALSE);
}

BOOL CGXChild::LButtonDown(UINT, CPoint pt)
{
    if (!m_rect.PtInRect(pt))
        return FALSE;
    m_bPressed = TRUE;
    m_bMouseInside = TRUE;
    Invalidate();
    return TRUE;
}

BOOL CGXChild::MouseMove(UINT, CPoint pt)
{
    if (!m_bPressed)
        return FALSE;
    const BOOL bInside = m_rect.PtInRect(pt);
    if (bInside != m_bMouseInside) {
        m_bMouseInside = bInside;
        Invalidate();
    }
    return TRUE;
}

BOOL CGXChild::LButtonUp(UINT, CPoint pt)
{
    if (!m_bPressed)
        return FALSE;
    m_bPressed = FALSE;
    m_bMouseInside = m_rect.PtInRect(pt);
    Invalidate();
    return TRUE;
}

void CGXButton::Draw(CDC* pDC, BOOL bActive)
{
    if (pDC == nullptr || m_rect.IsRectEmpty() || (m_bOnlyWhenActive && !bActive))
        return;
    CRect rect = m_rect;
    pDC->DrawFrameControl(&rect, DFC_BUTTON, DFCS_BUTTONPUSH | (IsPressed() ? DFCS_PUSHED : 0));
    CRect face = m_rect;
    face.DeflateRect(2, 2);
    if (IsPressed())
        face.OffsetRect(1, 1);
    DrawFace(pDC, face);
}

void CGXButton::DrawFace(CDC* pDC, const CRect& rect)
{
    if (m_sText.IsEmpty())
        return;
    CRect r = rect;
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrOld = pDC->SetTextColor(GXGetSysData()->GetColor(COLOR_BTNTEXT));
    pDC->DrawText(m_sText, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
}

BOOL CGXButton::LButtonUp(UINT nFlags, CPoint pt)
{
    const BOOL bClicked = m_bPressed && m_rect.PtInRect(pt);
    if (!CGXChild::LButtonUp(nFlags, pt))
        return FALSE;
    if (bClicked && m_pComposite != nullptr)
        m_pComposite->OnClickedButton(this);
    return TRUE;
}

BOOL CGXBitmapButtonChild::LoadBitmaps(UINT nIDBitmap, UINT, UINT)
{
    m_bitmap.DeleteObject();
    m_size = CSize();
    m_nIDBitmap = 0;
    if (!LoadSysColorBitmap(m_bitmap, nIDBitmap))
        return FALSE;
    m_nIDBitmap = nIDBitmap;
    BITMAP bm{};
    m_bitmap.GetBitmap(&bm);
    m_size = CSize(bm.bmWidth, bm.bmHeight);
    return TRUE;
}

void CGXBitmapButtonChild::Draw(CDC* pDC, BOOL bActive)
{
    if (pDC == nullptr || m_rect.IsRectEmpty())
        return;
    if (m_bFrame) {
        CGXButton::Draw(pDC, bActive);
        return;
    }
    DrawFace(pDC, m_rect);
}

void CGXBitmapButtonChild::OnSysColorChange()
{
    if (m_nIDBitmap != 0)
        LoadBitmaps(m_nIDBitmap);
}

void CGXBitmapButtonChild::DrawFace(CDC* pDC, const CRect& rect)
{
    if (m_bitmap.GetSafeHandle() == nullptr)
        return;
    CDC mem;
    if (!mem.CreateCompatibleDC(pDC))
        return;
    CBitmap* pOld = mem.SelectObject(&m_bitmap);
    // Centred in the rectangle and clipped to it.
    const int x = rect.left + std::max(0, (rect.Width() - m_size.cx) / 2);
    const int y = rect.top + std::max(0, (rect.Height() - m_size.cy) / 2);
    const int cx = std::min<int>(m_size.cx, rect.right - x);
    const int cy = std::min<int>(m_size.cy, rect.bottom - y);
    if (cx > 0 && cy > 0)
        pDC->BitBlt(x, y, cx, cy, &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOld);
}
