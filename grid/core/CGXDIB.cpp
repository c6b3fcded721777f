#include "grid/core/CGXDIB.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"

#include <algorithm>

BOOL CGXDIB::Attach(HBITMAP hBitmap)
{
    m_hBitmap = nullptr;
    m_nWidth = m_nHeight = 0;
    BITMAP bm{};
    if (hBitmap == nullptr || ::GetObject(hBitmap, sizeof bm, &bm) == 0)
        return FALSE;
    m_hBitmap = hBitmap;
    m_nWidth = bm.bmWidth;
    m_nHeight = bm.bmHeight;
    return TRUE;
}

HBITMAP CGXDIB::Detach()
{
    HBITMAP hBitmap = m_hBitmap;
    m_hBitmap = nullptr;
    m_nWidth = m_nHeight = 0;
    return hBitmap;
}

BOOL CGXDIB::Draw(CDC* pDC, const CRect& rect, UINT nAlign) const
{
    if (pDC == nullptr || m_hBitmap == nullptr || rect.IsRectEmpty())
        return FALSE;
    int x = rect.left, y = rect.top;
    if (nAlign & alignCenter)
        x = rect.left + (rect.Width() - m_nWidth) / 2;
    else if (nAlign & alignRight)
        x = rect.right - m_nWidth;
    if (nAlign & alignVCenter)
        y = rect.top + (rect.Height() - m_nHeight) / 2;
    else if (nAlign & alignBottom)
        y = rect.bottom - m_nHeight;
    // A bitmap larger than the cell keeps its top-left part in view.
    x = std::max<int>(x, rect.left);
    y = std::max<int>(y, rect.top);
    const int cx = std::min<int>(m_nWidth, rect.right - x), cy = std::min<int>(m_nHeight, rect.bottom - y);
    if (cx <= 0 || cy <= 0)
        return FALSE;
    CDC mem;
    if (!mem.CreateCompatibleDC(pDC))
        return FALSE;
    HGDIOBJ hOld = ::SelectObject(mem.GetSafeHdc(), m_hBitmap);
    const BOOL bDone = pDC->BitBlt(x, y, cx, cy, &mem, 0, 0, SRCCOPY);
    ::SelectObject(mem.GetSafeHdc(), hOld);
    return bDone;
}
