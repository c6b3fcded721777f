#include "toolkit/layout/SECLayoutNodeDC.h"

#include "platform/afx/gdi/CDC.h"

BOOL SECLayoutNodeDCBase::RealizeNode(HDWP* /*phDWP*/, LPARAM lArg)
{
    PaintHdc(FALSE, reinterpret_cast<HDC>(lArg));
    return TRUE;
}

void SECLayoutNodeDCBase::Paint(BOOL bDeep, CDC* pDC)
{
    PaintHdc(bDeep, pDC ? pDC->GetSafeHdc() : nullptr);
}

void SECLayoutNodeDCBase::PaintHdc(BOOL bDeep, HDC hDC)
{
    HDC dc = hDC;
    const bool own = dc == nullptr;
    if (own) {
        if (m_hDrawWnd == nullptr)
            return;
        dc = ::GetDC(m_hDrawWnd);
        if (dc == nullptr)
            return;
    }
    POINT origin{0, 0};
    ::GetViewportOrgEx(dc, &origin);
    ::SetViewportOrgEx(dc, origin.x - m_nDrawOffsetX, origin.y - m_nDrawOffsetY, nullptr);
    const RECT rect = m_rectCurrent;
    OnDraw(dc, rect);
    ::SetViewportOrgEx(dc, origin.x, origin.y, nullptr);
    if (bDeep) {
        // The descendants paint after this node, on the same device context (this node is
        // already drawn: the walk leaves it out).
        CDC* wrapper = CDC::FromHandle(dc);
        IteratorPreOrder_T<SECLayoutNode> it(this);
        while (SECLayoutNode* node = it.Next()) {
            if (node != this)
                node->Paint(FALSE, wrapper);
        }
    }
    if (own)
        ::ReleaseDC(m_hDrawWnd, dc);
}

void SECLayoutNodeDCBase::InvalidateNodeRect(const CRect& rect, BOOL bErase)
{
    if (m_hDrawWnd != nullptr)
        ::InvalidateRect(m_hDrawWnd, &rect, bErase);
}
