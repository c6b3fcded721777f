#include "toolkit/layout/SECLayoutNode.h"

SECLayoutNode::~SECLayoutNode()
{
    // A node leaves the tree whole: its children lose their parent and its parent loses it, so
    // an owner may destroy its nodes in any order.
    while (!m_children.IsEmpty()) {
        SECLayoutNode* child = m_children.RemoveHead();
        if (child != nullptr)
            child->m_parent = nullptr;
    }
    if (m_parent != nullptr) {
        POSITION pos = m_parent->m_children.Find(this);
        if (pos != nullptr)
            m_parent->m_children.RemoveAt(pos);
        m_parent = nullptr;
    }
    if (m_pOwner != nullptr)
        m_pOwner->Remove(this);
}

void SECLayoutNode::SetMinMaxSize(const CSize& sizeMin, const CSize& sizeMax, DWORD dwFlags)
{
    m_sizeMin = sizeMin;
    m_sizeMax = sizeMax;
    m_dwMinMaxFlags = dwFlags;
}

void SECLayoutNode::GetMinMaxSize(CSize& sizeMin, CSize& sizeMax, DWORD& dwFlags) const
{
    sizeMin = m_sizeMin;
    sizeMax = m_sizeMax;
    dwFlags = m_dwMinMaxFlags;
}

SECLayoutNode* SECLayoutNode::GetRootNode()
{
    SECLayoutNode* node = this;
    while (node->GetParentNode() != nullptr)
        node = node->GetParentNode();
    return node;
}

void SECLayoutNode::MarkDirty(BOOL bPropagateUp)
{
    for (SECLayoutNode* node = this; node != nullptr; node = bPropagateUp ? node->GetParentNode() : nullptr)
        node->m_bDirty = TRUE;
}

void SECLayoutNode::SetNodeFlags(DWORD dwFlags, BOOL bDeep)
{
    m_dwNodeFlags = dwFlags;
    if (bDeep) {
        Iterator_T<SECLayoutNode> it(this);
        while (SECLayoutNode* child = it.Next())
            child->SetNodeFlags(dwFlags, TRUE);
    }
}

void SECLayoutNode::ModifyNodeFlags(DWORD dwRemove, DWORD dwAdd, BOOL bDeep)
{
    SetNodeFlags((m_dwNodeFlags & ~dwRemove) | dwAdd, FALSE);
    if (bDeep) {
        Iterator_T<SECLayoutNode> it(this);
        while (SECLayoutNode* child = it.Next())
            child->ModifyNodeFlags(dwRemove, dwAdd, TRUE);
    }
}

void SECLayoutNode::SetFrozen(BOOL bFrozen, BOOL bDeep)
{
    m_bFrozen = bFrozen;
    if (bDeep) {
        Iterator_T<SECLayoutNode> it(this);
        while (SECLayoutNode* child = it.Next())
            child->SetFrozen(bFrozen, TRUE);
    }
}

void SECLayoutNode::SetUserFlag(BOOL bValue, BOOL bDeep)
{
    m_bUserFlag = bValue;
    if (bDeep) {
        Iterator_T<SECLayoutNode> it(this);
        while (SECLayoutNode* child = it.Next())
            child->SetUserFlag(bValue, TRUE);
    }
}

void SECLayoutNode::InitFromChildren()
{
    CRect rect;
    GetChildrenBoundingRect(rect);
    SetInitialRect(rect);
}

void SECLayoutNode::SetInitialRect(const CRect& rect)
{
    m_rectInitial = rect;
    SetCurrentRect(rect);
    SetPreferredRect(rect);
    // The reference geometry always fits the node's own limits: they widen to take it.
    m_sizeMin.cx = std::min<LONG>(m_sizeMin.cx, rect.Width());
    m_sizeMin.cy = std::min<LONG>(m_sizeMin.cy, rect.Height());
    m_sizeMax.cx = std::max<LONG>(m_sizeMax.cx, rect.Width());
    m_sizeMax.cy = std::max<LONG>(m_sizeMax.cy, rect.Height());
}

CRect SECLayoutNode::GetConstrainedRect() const
{
    CRect rect = GetCurrentRect();
    CSize sizeMin, sizeMax;
    DWORD dwFlags = 0;
    GetMinMaxSize(sizeMin, sizeMax, dwFlags);
    if (!(dwFlags & SEC_LNMINMAX_NOMAX)) {
        if (rect.Width() > sizeMax.cx)
            rect.right = rect.left + sizeMax.cx;
        if (rect.Height() > sizeMax.cy)
            rect.bottom = rect.top + sizeMax.cy;
    }
    if (!(dwFlags & SEC_LNMINMAX_NOMIN)) {
        if (rect.Width() < sizeMin.cx)
            rect.right = rect.left + sizeMin.cx;
        if (rect.Height() < sizeMin.cy)
            rect.bottom = rect.top + sizeMin.cy;
    }
    return rect;
}

void SECLayoutNode::ClampToMinMax(CRect& rect) const
{
    if (!(m_dwMinMaxFlags & SEC_LNMINMAX_NOMAX)) {
        if (rect.Width() > m_sizeMax.cx)
            rect.right = rect.left + m_sizeMax.cx;
        if (rect.Height() > m_sizeMax.cy)
            rect.bottom = rect.top + m_sizeMax.cy;
    }
    // The minimum wins over the maximum.
    if (!(m_dwMinMaxFlags & SEC_LNMINMAX_NOMIN)) {
        if (rect.Width() < m_sizeMin.cx)
            rect.right = rect.left + m_sizeMin.cx;
        if (rect.Height() < m_sizeMin.cy)
            rect.bottom = rect.top + m_sizeMin.cy;
    }
}

void SECLayoutNode::ApplyKeepFlags(const CRect& rectOld, CRect& rectNew) const
{
    if (m_dwNodeFlags & SEC_LNFLAG_KEEPWIDTH)
        rectNew.right = rectNew.left + rectOld.Width();
    if (m_dwNodeFlags & SEC_LNFLAG_KEEPHEIGHT)
        rectNew.bottom = rectNew.top + rectOld.Height();
    if (m_dwNodeFlags & SEC_LNFLAG_KEEPLEFT)
        rectNew.left = rectOld.left;
    if (m_dwNodeFlags & SEC_LNFLAG_KEEPTOP)
        rectNew.top = rectOld.top;
}

int SECLayoutNode::AddLayoutNode(SECLayoutNode* pChild)
{
    if (pChild == nullptr || !pChild->IsNodeValid() || pChild == this)
        return -1;
    SECLayoutNode* oldParent = pChild->GetParentNode();
    if (oldParent == this)
        return GetChildCount();
    if (oldParent != nullptr)
        oldParent->RemoveLayoutNode(pChild);
    if (AddChild(pChild) == nullptr)
        return -1;
    return GetChildCount();
}

BOOL SECLayoutNode::InsertLayoutNode(SECLayoutNode* pChild, SECLayoutNode* pRelativeTo, BOOL bAfter)
{
    if (pChild == nullptr || pChild == this)
        return FALSE;
    POSITION pos = nullptr;
    if (FindChild(pChild, pos))
        m_children.RemoveAt(pos);
    else if (pChild->GetParentNode() != nullptr)
        pChild->GetParentNode()->RemoveLayoutNode(pChild);

    POSITION rel = nullptr;
    if (pRelativeTo != nullptr && FindChild(pRelativeTo, rel)) {
        if (bAfter)
            InsertChildAfter(pChild, rel);
        else
            InsertChildAfter(pChild, GetPrevPosition(rel));   // null (the first) puts it at the head
    } else if (pRelativeTo == nullptr && bAfter) {
        AddChild(pChild);
    } else {
        InsertChildAfter(pChild, nullptr);
    }
    return TRUE;
}

int SECLayoutNode::RemoveLayoutNode(SECLayoutNode* pChild)
{
    if (!RemoveChild(pChild))
        return -1;
    return GetChildCount();
}

BOOL SECLayoutNode::NeedsRecalc(BOOL bForce, const CRect& rectProposed)
{
    const BOOL wasDirty = m_bDirty;
    m_bDirty = FALSE;
    return bForce || wasDirty || rectProposed != m_rectCurrent;
}

CRect SECLayoutNode::RecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL bStrict)
{
    if (!NeedsRecalc(bStrict, rectProposed))
        return m_rectCurrent;
    const CRect rectOld = m_rectCurrent;
    CRect rectNew = OnRecalcLayout(rectProposed, bChildNegotiate, bStrict);
    ApplyKeepFlags(rectOld, rectNew);
    SetCurrentRect(rectNew);
    if (rectNew != rectOld)
        MarkRealizePending();
    ClearDirty();
    return rectNew;
}

CRect SECLayoutNode::OnRecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL bStrict)
{
    CRect rect = rectProposed;
    if (bChildNegotiate)
        ClampToMinMax(rect);
    SetCurrentRect(rect);
    const int dx = rect.left - m_rectInitial.left;
    const int dy = rect.top - m_rectInitial.top;
    Iterator_T<SECLayoutNode> it(this);
    while (SECLayoutNode* child = it.Next()) {
        CRect rectChild = child->GetInitialRect();
        rectChild.OffsetRect(dx, dy);
        child->RecalcLayout(rectChild, bChildNegotiate, bStrict);
    }
    return rect;
}

BOOL SECLayoutNode::RealizeLayout(LPARAM lArg)
{
    if (m_bFrozen)
        return FALSE;
    long long total = 0;
    {
        IteratorPreOrder_T<SECLayoutNode> it(this);
        while (SECLayoutNode* node = it.Next())
            total += node->GetRealizeCount();
    }
    if (total < 0)
        return FALSE;
    if (total > 0) {
        HDWP hDWP = ::BeginDeferWindowPos(static_cast<int>(std::min<long long>(total, 0x7fffffff)));
        if (hDWP == nullptr)
            return FALSE;
        IteratorPreOrder_T<SECLayoutNode> it(this);
        while (SECLayoutNode* node = it.Next()) {
            node->RealizeNode(&hDWP, lArg);
            node->SetPreviousRect(node->GetRealizedRect());
            node->SetRealizedRect(node->GetCurrentRect());
        }
        if (hDWP != nullptr)
            ::EndDeferWindowPos(hDWP);
    } else {
        IteratorPreOrder_T<SECLayoutNode> it(this);
        while (SECLayoutNode* node = it.Next()) {
            node->RealizeNode(nullptr, lArg);
            node->SetPreviousRect(node->GetRealizedRect());
            node->SetRealizedRect(node->GetCurrentRect());
        }
    }
    CleanUpAfterRealize();
    return TRUE;
}

// Nodes that redraw partly invalidate what their move uncovered; the rest just forget that a
// change was pending.
void SECLayoutNode::CleanUpAfterRealize()
{
    if ((m_dwNodeFlags & SEC_LNFLAG_PARTIALREDRAW) && m_bRealizePending) {
        InvalidateNode(TRUE, TRUE);
        InvalidateNode(FALSE, TRUE);
        return;
    }
    m_bRealizePending = FALSE;
    Iterator_T<SECLayoutNode> it(this);
    while (SECLayoutNode* child = it.Next())
        child->CleanUpAfterRealize();
}

BOOL SECLayoutNode::RealizeNode(HDWP* /*phDWP*/, LPARAM /*lArg*/)
{
    return TRUE;
}

void SECLayoutNode::EraseBackground(BOOL bDeep, CDC* pDC)
{
    if (!bDeep)
        return;
    IteratorPreOrder_T<SECLayoutNode> it(this);
    while (SECLayoutNode* node = it.Next())
        node->EraseBackground(FALSE, pDC);
}

void SECLayoutNode::Paint(BOOL bDeep, CDC* pDC)
{
    if (!bDeep)
        return;
    IteratorPreOrder_T<SECLayoutNode> it(this);
    while (SECLayoutNode* node = it.Next())
        node->Paint(FALSE, pDC);
}

BOOL SECLayoutNode::InvalidateNode(BOOL bErase, BOOL bDeep)
{
    m_bRealizePending = FALSE;
    if (bErase && (m_dwNodeFlags & SEC_LNFLAG_PARTIALREDRAW))
        InvalidateUncoveredStrips();
    else
        InvalidateNodeRect(m_rectCurrent, bErase);
    if (bDeep) {
        IteratorPreOrder_T<SECLayoutNode> it(this);
        while (SECLayoutNode* node = it.Next()) {
            if (node != this)
                node->InvalidateNode(bErase, FALSE);
        }
    }
    return TRUE;
}

void SECLayoutNode::InvalidateUncoveredStrips()
{
    const CRect o = m_rectPrevious;
    const CRect n = m_rectCurrent;
    if (o.top < n.top)
        InvalidateNodeRect(CRect(o.left, o.top, o.right, n.top), TRUE);
    if (o.left < n.left)
        InvalidateNodeRect(CRect(o.left, o.top, n.left, o.bottom), TRUE);
    if (n.right < o.right)
        InvalidateNodeRect(CRect(n.right, o.top, o.right, o.bottom), TRUE);
    if (n.bottom < o.bottom)
        InvalidateNodeRect(CRect(o.left, n.bottom, o.right, o.bottom), TRUE);
}

void SECLayoutNode::GetChildrenBoundingRect(CRect& rect) const
{
    rect.SetRectEmpty();
    bool first = true;
    Iterator_T<SECLayoutNode> it(this);
    while (SECLayoutNode* child = it.Next()) {
        const CRect r = child->GetCurrentRect();
        if (first) {
            rect = r;
            first = false;
        } else {
            rect.left = std::min(rect.left, r.left);
            rect.top = std::min(rect.top, r.top);
            rect.right = std::max(rect.right, r.right);
            rect.bottom = std::max(rect.bottom, r.bottom);
        }
    }
}

void SECLayoutNode::InitializeNode(BOOL bDeep)
{
    if (!bDeep)
        return;
    IteratorPreOrder_T<SECLayoutNode> it(this);
    while (SECLayoutNode* node = it.Next())
        node->InitializeNode(FALSE);
}

void SECLayoutNode::SetOwner(SECLayoutNodeOwner* pOwner, BOOL bDeep)
{
    if (m_pOwner != pOwner && m_pOwner != nullptr)
        m_pOwner->Remove(this);
    m_pOwner = pOwner;
    if (pOwner != nullptr)
        pOwner->Add(this);   // refused quietly when the owner already holds the node
    if (bDeep) {
        IteratorPreOrder_T<SECLayoutNode> it(this);
        while (SECLayoutNode* node = it.Next()) {
            if (node != this)
                node->SetOwner(pOwner, FALSE);
        }
    }
}
