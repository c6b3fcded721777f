#include "toolkit/caption/SECMsgFilter.h"

IMPLEMENT_DYNCREATE(SECMsgFilter, CObject)
IMPLEMENT_DYNCREATE(SECNcMsgFilter, SECMsgFilter)

SECMsgFilter::DescriptorTable::~DescriptorTable()
{
    for (INT_PTR i = 0; i < GetSize(); ++i)
        delete GetAt(i);
    RemoveAll();
}

SECMsgFilter::SECMsgFilter(CWnd* pWnd, UINT nID) : m_nID(nID), m_pWnd(pWnd) {}

SECMsgFilter::SECMsgFilter(const SECMsgFilter& other)
    : CObject(other), m_nID(other.m_nID), m_bEnabled(other.m_bEnabled), m_pWnd(other.m_pWnd)
{
    for (INT_PTR i = 0; i < other.m_children.GetSize(); ++i) {
        SECMsgFilter* child = other.m_children[i];
        m_children.Add(child ? child->Clone() : nullptr);
    }
    SetWnd(other.m_pWnd, TRUE);
}

SECMsgFilter::~SECMsgFilter()
{
    if (m_bAutoDelete) {
        for (INT_PTR i = 0; i < m_children.GetSize(); ++i)
            delete m_children[i];
    }
    m_children.RemoveAll();
}

void SECMsgFilter::SetWnd(CWnd* pWnd, BOOL bRecursive)
{
    m_pWnd = pWnd;
    if (!bRecursive)
        return;
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
        if (m_children[i] != nullptr)
            m_children[i]->SetWnd(pWnd, TRUE);
    }
}

LRESULT SECMsgFilter::FilterMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return m_bEnabled ? OnMessage(msg, wParam, lParam, pResult) : 0;
}

LRESULT SECMsgFilter::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return FilterChildren(msg, wParam, lParam, pResult);
}

LRESULT SECMsgFilter::FilterChildren(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT result = 0;
    // By index: a filter may add children while a message passes (a feature switched on).
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
        SECMsgFilter* child = m_children[i];
        if (child == nullptr || !child->m_bEnabled)
            continue;
        result |= child->FilterMessage(msg, wParam, lParam, pResult);
        if (result & SEC_FILTER_STOP)
            break;
    }
    return result;
}

SECMsgFilter* SECMsgFilter::FindFilter(UINT nID, CRuntimeClass* pCreate, int nDepth)
{
    for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
        if (m_children[i] != nullptr && m_children[i]->m_nID == nID)
            return m_children[i];
    }
    if (nDepth != 0) {
        for (INT_PTR i = 0; i < m_children.GetSize(); ++i) {
            if (m_children[i] == nullptr)
                continue;
            if (SECMsgFilter* found = m_children[i]->FindFilter(nID, nullptr, nDepth - 1))
                return found;
        }
    }
    if (pCreate == nullptr)
        return nullptr;
    CObject* made = pCreate->CreateObject();
    auto* filter = dynamic_cast<SECMsgFilter*>(made);
    if (filter == nullptr) {
        delete made;   // not a filter class: nothing is added
        return nullptr;
    }
    filter->SetWnd(m_pWnd, TRUE);
    filter->m_nID = nID;
    m_children.Add(filter);
    return filter;
}

void SECMsgFilter::ApplyDescriptor(const Descriptor& d, BOOL bEnable)
{
    SECMsgFilter* parent = d.m_nParentID == SEC_FILTER_NOID ? this : FindFilter(d.m_nParentID, nullptr, -1);
    if (parent == nullptr)
        return;
    SECMsgFilter* filter = parent->FindFilter(d.m_nID, bEnable ? d.m_pRuntimeClass : nullptr, -1);
    if (filter == nullptr)
        return;   // switching off never creates
    if (!bEnable && (d.m_dwFlags & kKeepEnabled))
        return;
    filter->m_bEnabled = bEnable;
}

void SECMsgFilter::ApplyDescriptorTable(const DescriptorTable& table, const BOOL* pEnable)
{
    for (INT_PTR i = 0; i < table.GetSize(); ++i) {
        if (table[i] != nullptr)
            ApplyDescriptor(*table[i], pEnable ? pEnable[i] : TRUE);
    }
}

void SECMsgFilter::EnableDescriptorTable(const DescriptorTable& table, BOOL bEnable)
{
    for (INT_PTR i = 0; i < table.GetSize(); ++i) {
        if (table[i] != nullptr)
            ApplyDescriptor(*table[i], bEnable);
    }
}
