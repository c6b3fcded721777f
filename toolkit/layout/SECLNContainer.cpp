#include "toolkit/layout/SECLNContainer.h"

#include "platform/afx/frame/CFrameWnd.h"
#include "toolkit/layout/SECLNDragDocking.h"

BOOL SECLNHwndContainer::ClientToScreen(CRect& rect) const
{
    if (m_hWnd == nullptr)
        return FALSE;
    CPoint topLeft = rect.TopLeft(), bottomRight = rect.BottomRight();
    ::ClientToScreen(m_hWnd, &topLeft);
    ::ClientToScreen(m_hWnd, &bottomRight);
    rect.SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    return TRUE;
}

BOOL SECLNHwndContainer::ClientToScreen(CPoint& point) const
{
    return m_hWnd != nullptr && ::ClientToScreen(m_hWnd, &point);
}

BOOL SECLNHwndContainer::ScreenToClient(CRect& rect) const
{
    if (m_hWnd == nullptr)
        return FALSE;
    CPoint topLeft = rect.TopLeft(), bottomRight = rect.BottomRight();
    ::ScreenToClient(m_hWnd, &topLeft);
    ::ScreenToClient(m_hWnd, &bottomRight);
    rect.SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y);
    return TRUE;
}

BOOL SECLNHwndContainer::ScreenToClient(CPoint& point) const
{
    return m_hWnd != nullptr && ::ScreenToClient(m_hWnd, &point);
}

void SECLNHwndContainer::InvalidateContainer(BOOL bErase)
{
    if (m_hWnd != nullptr)
        ::InvalidateRect(m_hWnd, nullptr, bErase);
}

void SECLNHwndContainer::LockDrawing(BOOL bLock)
{
    ::LockWindowUpdate(bLock ? ::GetDesktopWindow() : nullptr);
}

void SECLNHwndContainer::ShowContainer(BOOL bShow)
{
    if (m_hWnd != nullptr)
        ::ShowWindow(m_hWnd, bShow ? SW_SHOW : SW_HIDE);
}

BOOL SECLNHwndContainer::GetClientRect(CRect& rect) const
{
    return m_hWnd != nullptr && ::GetClientRect(m_hWnd, &rect);
}

BOOL SECLNHwndContainer::GetWindowRect(CRect& rect) const
{
    return m_hWnd != nullptr && ::GetWindowRect(m_hWnd, &rect);
}

void SECLNHwndContainer::RefreshFrameLayout()
{
    if (SECLNDragState().bSuppressFrameLayout || m_hWnd == nullptr)
        return;
    if (auto* frame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(m_hWnd)))
        frame->RecalcLayout();
}

ISECLNContainer* SECLNHwndContainer::CreateFloatingContainer(SECLayoutNode* pNode, SECLNRootRegistry* /*pRegistry*/)
{
    if (pNode == nullptr)
        return nullptr;
    auto* frame = new SECLayoutMiniFloatWnd;
    CWnd* owner = m_hWnd ? CWnd::FromHandle(::GetAncestor(m_hWnd, GA_ROOT)) : nullptr;
    if (!frame->Create("", pNode, owner, TRUE, TRUE))
        return nullptr;   // the frame went with the window that could not be made
    // One frame at a time for the node being dragged: older floating frames of other roots go.
    SECLNDragGlobals& state = SECLNDragState();
    if (state.pDraggedNode != nullptr) {
        auto& frames = SECLayoutMiniFloatWnd::FloatingFrames();
        for (POSITION pos = frames.GetTailPosition(); pos != nullptr;) {
            POSITION here = pos;
            SECLayoutMiniFloatWnd* other = frames.GetPrev(pos);
            if (other != frame && other->GetFloatRoot() != state.pDraggedNode) {
                frames.RemoveAt(here);
                other->DestroyWindow();
            }
        }
    }
    return NewFloatingContainer(frame);
}

ISECLNContainer* SECLNHwndContainer::NewFloatingContainer(SECLayoutMiniFloatWnd* pFrame)
{
    return new SECLNFloatingHwndContainer(pFrame);
}

BOOL SECLNHwndContainer::SetWindowParent(HWND hWnd)
{
    if (m_hWnd == nullptr || hWnd == nullptr)
        return FALSE;
    ::SetParent(hWnd, m_hWnd);
    return TRUE;
}

SECLNFloatingHwndContainer::SECLNFloatingHwndContainer(SECLayoutMiniFloatWnd* pFrame)
    : SECLNHwndContainer(pFrame ? pFrame->GetSafeHwnd() : nullptr), m_pFrame(pFrame)
{
    if (m_hWnd == nullptr)
        return;
    // Measured on a frame of a known size: the client area's place inside the window.
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 1000, 1000, SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
    CRect window, client;
    ::GetWindowRect(m_hWnd, &window);
    ::GetClientRect(m_hWnd, &client);
    CPoint origin(0, 0);
    ::ClientToScreen(m_hWnd, &origin);
    m_offset = CPoint(origin.x - window.left, origin.y - window.top);
}

BOOL SECLNFloatingHwndContainer::NodeToClient(CRect& rect) const
{
    rect.OffsetRect(-m_offset.x, -m_offset.y);
    return TRUE;
}

BOOL SECLNFloatingHwndContainer::NodeToClient(CPoint& point) const
{
    point.Offset(-m_offset.x, -m_offset.y);
    return TRUE;
}

BOOL SECLNFloatingHwndContainer::ClientToNode(CRect& rect) const
{
    rect.OffsetRect(m_offset.x, m_offset.y);
    return TRUE;
}

BOOL SECLNFloatingHwndContainer::ClientToNode(CPoint& point) const
{
    point.Offset(m_offset.x, m_offset.y);
    return TRUE;
}

ISECLNContainer* SECLNFloatingHwndContainer::Clone() const
{
    return new SECLNFloatingHwndContainer(*this);   // the offset as measured, without a new measurement
}
