#include "toolkit/layout/SECLayoutNodeWnd.h"

#include "platform/afx/wnd/CWnd.h"

// ---- Reparentable mix-in ----------------------------------------------------------------------

BOOL SECDefReparentableNode::SetContainer(ISECLNContainer* pContainer)
{
    m_pContainer = pContainer;
    AdoptRootOwner();
    AttachToContainer(pContainer);
    return TRUE;
}

BOOL SECDefReparentableNode::AttachToContainer(ISECLNContainer* pContainer)
{
    if (pContainer == nullptr) {
        ReparentWindow(nullptr);
        return FALSE;
    }
    if (dynamic_cast<SECLNHwndContainer*>(pContainer) == nullptr)
        return FALSE;
    ReparentWindow(pContainer->GetHwnd());
    return TRUE;
}

// ---- Hideable mix-in --------------------------------------------------------------------------

BOOL SECDefHideableNode::ShowNode(BOOL bShow, BOOL bForce, BOOL bDeep)
{
    if (bShow) {
        m_nShowCount = bForce ? 1 : m_nShowCount + 1;
        if (m_nShowCount != 1)
            return FALSE;
    } else {
        m_nShowCount = bForce ? 0 : m_nShowCount - 1;
        if (m_nShowCount != 0)
            return FALSE;
    }
    const BOOL bChanged = SetNodeVisible(bShow);
    if (bDeep && bChanged) {
        SECLayoutNode* self = GetHideableNode();
        IteratorPreOrder_T<SECLayoutNode> it(self);
        while (SECLayoutNode* node = it.Next()) {
            if (node == self)
                continue;
            if (auto* hideable = dynamic_cast<ISECHideableNode*>(node))
                hideable->ShowNode(bShow, TRUE, FALSE);
        }
    }
    return bChanged;
}

BOOL SECDefHideableNode::SetNodeVisible(BOOL bVisible)
{
    const BOOL bNew = bVisible ? TRUE : FALSE;
    if (m_bVisible == bNew)
        return FALSE;
    m_bVisible = bNew;
    return TRUE;
}

// ---- Window node ------------------------------------------------------------------------------

BOOL SECLayoutNodeWnd::BindWindow(HWND hWnd, CWnd* pHost)
{
    if (hWnd == nullptr || pHost == nullptr || pHost->GetSafeHwnd() == nullptr)
        return FALSE;
    CRect rect;
    if (!::GetWindowRect(hWnd, &rect))
        return FALSE;
    m_hWndNode = hWnd;
    m_bIsOleControl = FALSE;   // no control hosting: a bound window is never an embedded control
    m_hWndParent = pHost->GetSafeHwnd();
    pHost->ScreenToClient(&rect);
    SetInitialRect(rect);
    return TRUE;
}

BOOL SECLayoutNodeWnd::BindWindow(CWnd* pWnd, CWnd* pHost)
{
    return pWnd ? BindWindow(pWnd->GetSafeHwnd(), pHost) : FALSE;
}

BOOL SECLayoutNodeWnd::RealizeNode(HDWP* phDWP, LPARAM /*lArg*/)
{
    if (m_hWndNode == nullptr)
        return FALSE;
    CRect rect = m_rectCurrent;
    const UINT nFlags = (m_dwNodeFlags & SEC_LNFLAG_PARTIALREDRAW) ? (SWP_NOZORDER | SWP_NOREDRAW) : SWP_NOZORDER;
    if (m_pContainer != nullptr)
        m_pContainer->NodeToClient(rect);
    // A border node may ask for more than its rectangle holds; a window never gets a negative
    // size.
    const int cx = std::max(0, rect.Width());
    const int cy = std::max(0, rect.Height());
    if (phDWP != nullptr && *phDWP != nullptr) {
        HDWP hNext = ::DeferWindowPos(*phDWP, m_hWndNode, nullptr, rect.left, rect.top, cx, cy, nFlags);
        if (hNext == nullptr)
            return FALSE;
        *phDWP = hNext;
        return TRUE;
    }
    return ::SetWindowPos(m_hWndNode, nullptr, rect.left, rect.top, cx, cy, nFlags);
}

void SECLayoutNodeWnd::InvalidateNodeRect(const CRect& rect, BOOL bErase)
{
    if (m_hWndParent == nullptr || m_hWndNode == nullptr)
        return;
    if (bErase)
        ::InvalidateRect(m_hWndParent, &rect, TRUE);
    else
        ::RedrawWindow(m_hWndNode, nullptr, nullptr, RDW_INVALIDATE);
}

void SECLayoutNodeWnd::ReparentWindow(HWND hwndNewParent)
{
    if (hwndNewParent == nullptr || m_hWndNode == nullptr)
        return;
    m_hWndParent = hwndNewParent;
    ::SetParent(m_hWndNode, hwndNewParent);
}

void SECLayoutNodeWnd::AdoptRootOwner()
{
    SECLayoutNode* root = GetRootNode();
    SECLayoutNodeOwner* rootOwner = root ? root->GetOwner() : nullptr;
    if (m_pOwner != nullptr && rootOwner != nullptr && rootOwner != m_pOwner)
        SetOwner(rootOwner, FALSE);
}

BOOL SECLayoutNodeWnd::SetNodeVisible(BOOL bVisible)
{
    if (!SECDefHideableNode::SetNodeVisible(bVisible))
        return FALSE;
    if (m_hWndNode != nullptr)
        ::ShowWindow(m_hWndNode, bVisible ? SW_SHOWNORMAL : SW_HIDE);
    return TRUE;
}
