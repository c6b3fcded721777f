#include "toolkit/layout/SECLayoutFactory.h"

#include "platform/afx/wnd/CWnd.h"

// ---- Scaling node -----------------------------------------------------------------------------

CRect SECLNScale::ScaleRect(const CRect& rectParentInitial, const CRect& rectParentNew, const CRect& rectChildInitial) const
{
    float fx = 1.0f;
    if (rectParentInitial.Width() > 0)
        fx = static_cast<float>(rectParentNew.Width()) / static_cast<float>(rectParentInitial.Width());
    double fy = 1.0;
    if (rectParentInitial.Height() > 0)
        fy = static_cast<double>(rectParentNew.Height()) / static_cast<double>(rectParentInitial.Height());
    return CRect(static_cast<int>(rectChildInitial.left * fx + 0.5), static_cast<int>(rectChildInitial.top * fy + 0.5),
                 static_cast<int>(rectChildInitial.right * fx + 0.5), static_cast<int>(rectChildInitial.bottom * fy + 0.5));
}

CRect SECLNScale::OnRecalcLayout(const CRect& rectProposed, BOOL bChildNegotiate, BOOL bStrict)
{
    const CRect parentInitial = m_rectInitial;
    Iterator_T<SECLayoutNode> it(this);
    while (SECLayoutNode* child = it.Next()) {
        const CRect target = ScaleRect(parentInitial, rectProposed, child->GetInitialRect());
        const CRect result = child->RecalcLayout(target, bChildNegotiate, bStrict);
        if (bChildNegotiate && result != target)
            child->RecalcLayout(result, FALSE, bStrict);
    }
    SetCurrentRect(rectProposed);
    return rectProposed;
}

// ---- Factory ----------------------------------------------------------------------------------

SECLayoutFactory::~SECLayoutFactory()
{
    // Listeners point at the nodes: they go first.
    m_listeners.DestroyAll();
    m_nodes.DestroyAll();
}

BOOL SECLayoutFactory::GetChildWindows(CList<CWnd*, CWnd*>& list, CWnd* pParent, CRuntimeClass* pFilter)
{
    if (pParent == nullptr || pParent->GetSafeHwnd() == nullptr)
        return FALSE;
    list.RemoveAll();
    for (HWND hChild = ::GetWindow(pParent->GetSafeHwnd(), GW_CHILD); hChild != nullptr;
         hChild = ::GetWindow(hChild, GW_HWNDNEXT)) {
        CWnd* pWnd = CWnd::FromHandle(hChild);
        if (pWnd != nullptr && (pFilter == nullptr || pWnd->IsKindOf(pFilter)))
            list.AddTail(pWnd);
    }
    return TRUE;
}

BOOL SECLayoutFactory::AddChildWindows(SECLayoutNode* pParentNode, CWnd* pHost, CRuntimeClass* pFilter)
{
    if (pParentNode == nullptr)
        return FALSE;
    CList<CWnd*, CWnd*> windows;
    if (!GetChildWindows(windows, pHost, pFilter))
        return FALSE;
    for (POSITION pos = windows.GetHeadPosition(); pos != nullptr;) {
        CWnd* pWnd = windows.GetNext(pos);
        if (SECLayoutNodeWnd* node = CreateNodeWnd(pWnd, pHost, nullptr, nullptr))
            pParentNode->AddLayoutNode(node);
    }
    return TRUE;
}

void SECLayoutFactory::DestroyNode(SECLayoutNode* pNode)
{
    if (pNode == nullptr)
        return;
    m_nodes.Remove(pNode);
    pNode->SetOwner(nullptr, FALSE);
    delete pNode;
}

int SECLayoutFactory::DestroyAllNodes()
{
    return m_nodes.DestroyAll();
}

void SECLayoutFactory::DestroyListener(SECLayoutWndListener* pListener)
{
    if (pListener == nullptr)
        return;
    m_listeners.Remove(pListener);
    delete pListener;
}

int SECLayoutFactory::DestroyAllListeners()
{
    return m_listeners.DestroyAll();
}

BOOL SECLayoutFactory::InitNode(SECLayoutNode* pNode)
{
    if (pNode == nullptr)
        return FALSE;
    if (m_bApplyMinMax)
        pNode->SetMinMaxSize(m_sizeDefaultMin, m_sizeDefaultMax, m_dwDefaultMinMaxFlags);
    if (m_bApplyPreferred)
        pNode->SetPreferredRect(m_rectDefaultPreferred);
    if (m_bApplyInitial)
        pNode->SetInitialRect(m_rectDefaultInitial);
    return TRUE;
}

SECLayoutNode* SECLayoutFactory::CreateNode(SECClassFactory<SECLayoutNode>& classFactory, LPCTSTR lpszName)
{
    SECLayoutNode* node = classFactory.CreateObject();
    if (node == nullptr)
        return nullptr;
    if (!InitNode(node)) {
        DestroyNode(node);
        return nullptr;
    }
    node->SetName(lpszName);
    node->SetOwner(&m_nodes, FALSE);
    return node;
}

SECLayoutNodeWnd* SECLayoutFactory::CreateNodeWnd(CWnd* pWnd, CWnd* pHost, SECLayoutNode* pParentNode, LPCTSTR lpszName)
{
    return CreateNodeWndEx(m_nodeWndFactory, pWnd, pHost, pParentNode, lpszName);
}

SECLayoutNodeWnd* SECLayoutFactory::CreateNodeWndEx(SECClassFactory<SECLayoutNode>& classFactory, CWnd* pWnd, CWnd* pHost,
                                                    SECLayoutNode* pParentNode, LPCTSTR lpszName)
{
    SECLayoutNode* made = classFactory.CreateObject();
    auto* node = dynamic_cast<SECLayoutNodeWnd*>(made);
    if (node == nullptr) {
        delete made;
        return nullptr;
    }
    bool ok = InitNode(node) && node->BindWindow(pWnd, pHost);
    if (ok && pParentNode != nullptr)
        ok = pParentNode->AddLayoutNode(node) > 0;
    if (!ok) {
        DestroyNode(node);
        return nullptr;
    }
    node->SetName(lpszName);
    node->SetOwner(&m_nodes, FALSE);
    return node;
}

SECLayoutWndListener* SECLayoutFactory::CreateListener(SECClassFactory<SECLayoutWndListener>& classFactory)
{
    SECLayoutWndListener* listener = classFactory.CreateObject();
    if (listener != nullptr)
        m_listeners.Add(listener);
    return listener;
}

void SECLayoutFactory::SetDefaultMinMax(BOOL bApply, const CSize& sizeMin, const CSize& sizeMax, DWORD dwFlags)
{
    m_bApplyMinMax = bApply;
    m_sizeDefaultMin = sizeMin;
    m_sizeDefaultMax = sizeMax;
    m_dwDefaultMinMaxFlags = dwFlags;
}

void SECLayoutFactory::SetDefaultPreferredRect(BOOL bApply, const CRect& rect)
{
    m_bApplyPreferred = bApply;
    m_rectDefaultPreferred = rect;
}

void SECLayoutFactory::SetDefaultInitialRect(BOOL bApply, const CRect& rect)
{
    m_bApplyInitial = bApply;
    m_rectDefaultInitial = rect;
}
