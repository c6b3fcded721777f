// SECTabControlBase: the tab records, the active tab and the selection, and the messages that
// tell the parent about them.
#include <algorithm>

#include "platform/win/Cursor.h"
#include "toolkit/controls/SECTabControl.h"

IMPLEMENT_DYNAMIC(SECTab, CObject)
IMPLEMENT_DYNAMIC(SECTabControlBase, CWnd)

BEGIN_MESSAGE_MAP(SECTabControlBase, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

SECTabControlBase::~SECTabControlBase() = default;

BOOL SECTabControlBase::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW));
    if (!CWnd::CreateEx(0, cls, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    m_hArrow = ::LoadCursor(nullptr, IDC_ARROW);
    Initialize(dwStyle);
    return TRUE;
}

int SECTabControlBase::OnCreate(LPCREATESTRUCT lpCreateStruct) { return CWnd::OnCreate(lpCreateStruct); }

void SECTabControlBase::OnDestroy()
{
    m_tabs.clear();
    CWnd::OnDestroy();
}

SECTab* SECTabControlBase::GetTabPtr(int nTab) const
{
    return nTab >= 0 && nTab < GetTabCount() ? m_tabs[nTab].get() : nullptr;
}

BOOL SECTabControlBase::GetTabInfo(int nTab, LPCTSTR& lpszLabel, BOOL& bSelected, void*& pClient,
                                   DWORD_PTR& dwExtra1, DWORD_PTR& dwExtra2) const
{
    const SECTab* tab = GetTabPtr(nTab);
    if (!tab)
        return FALSE;
    lpszLabel = tab->m_csLabel;
    bSelected = tab->m_bSelected;
    pClient = tab->m_pClient;
    dwExtra1 = tab->m_dwExtra1;
    dwExtra2 = tab->m_dwExtra2;
    return TRUE;
}

BOOL SECTabControlBase::FindTab(const void* pClient, int& nTab) const
{
    BOOL found = FALSE;
    for (int i = 0; i < GetTabCount(); ++i)
        if (m_tabs[i]->m_pClient == pClient) {
            nTab = i;   // the last match wins
            found = TRUE;
        }
    return found;
}

BOOL SECTabControlBase::GetActiveTab(int& nTab) const
{
    nTab = m_nActiveTab;
    return m_bActiveTab;
}

void SECTabControlBase::NotifyParent(UINT message, WPARAM wParam)
{
    if (CWnd* parent = m_hWnd ? GetParent() : nullptr)
        parent->SendMessage(message, wParam, 0);
}

void SECTabControlBase::InvalidateFrom(int nTab)
{
    for (int i = std::max(nTab, 0); i < GetTabCount(); ++i)
        InvalidateTab(i);
}

SECTab* SECTabControlBase::InsertTab(int nIndex, LPCTSTR lpszLabel, void* pClient, DWORD_PTR dwExtra1,
                                     DWORD_PTR dwExtra2)
{
    if (nIndex < 0 || nIndex > GetTabCount())
        return nullptr;
    std::unique_ptr<SECTab> tab(CreateNewTab());
    tab->m_csLabel = lpszLabel ? lpszLabel : "";
    tab->m_pClient = pClient;
    tab->m_dwExtra1 = dwExtra1;
    tab->m_dwExtra2 = dwExtra2;
    tab->m_bSelected = FALSE;
    SECTab* made = tab.get();
    m_tabs.insert(m_tabs.begin() + nIndex, std::move(tab));
    // The active tab keeps being the same tab.
    if (m_bActiveTab && nIndex <= m_nActiveTab)
        ++m_nActiveTab;
    return made;
}

SECTab* SECTabControlBase::AddTab(LPCTSTR lpszLabel, void* pClient, DWORD_PTR dwExtra1, DWORD_PTR dwExtra2)
{
    return InsertTab(GetTabCount(), lpszLabel, pClient, dwExtra1, dwExtra2);
}

BOOL SECTabControlBase::DeleteTab(int nTab)
{
    if (nTab < 0 || nTab >= GetTabCount())
        return FALSE;
    InvalidateFrom(nTab);
    m_tabs.erase(m_tabs.begin() + nTab);
    if (m_bActiveTab) {
        if (m_tabs.empty()) {
            m_bActiveTab = FALSE;
            m_nActiveTab = 0;
        } else if (nTab < m_nActiveTab) {
            --m_nActiveTab;   // the same tab, one place further left
        } else if (nTab == m_nActiveTab) {
            // The tab that takes its place (or the new last one) becomes active for real, with
            // its selected flag and the message, so the window shows its client.
            m_bActiveTab = FALSE;
            ActivateTab(std::min(nTab, GetTabCount() - 1));
        }
    }
    InvalidateFrom(nTab);
    return TRUE;
}

BOOL SECTabControlBase::RenameTab(int nTab, LPCTSTR lpszLabel)
{
    SECTab* tab = GetTabPtr(nTab);
    if (!tab)
        return FALSE;
    InvalidateFrom(nTab);
    tab->m_csLabel = lpszLabel ? lpszLabel : "";
    return TRUE;
}

BOOL SECTabControlBase::ActivateTab(int nTab)
{
    if (nTab < 0 || nTab >= GetTabCount())
        return FALSE;
    if (m_bActiveTab && nTab == m_nActiveTab)
        return TRUE;
    if (m_bActiveTab) {
        if (SECTab* old = GetTabPtr(m_nActiveTab)) {
            old->m_bSelected = FALSE;
            InvalidateTab(m_nActiveTab);
        }
    }
    m_nActiveTab = nTab;
    m_bActiveTab = TRUE;
    m_tabs[nTab]->m_bSelected = TRUE;
    OnActivateTab(nTab);
    InvalidateTab(nTab);
    ScrollToTab(nTab);
    NotifyParent(TCM_TABSEL, static_cast<WPARAM>(nTab));
    return TRUE;
}

void SECTabControlBase::ReactivateTab() { NotifyParent(TCM_TABREACTIVATE, static_cast<WPARAM>(m_nActiveTab)); }

BOOL SECTabControlBase::SelectTab(int nTab)
{
    SECTab* tab = GetTabPtr(nTab);
    if (!tab)
        return FALSE;
    tab->m_bSelected = TRUE;
    InvalidateTab(nTab);
    NotifyParent(TCM_TABSEL, static_cast<WPARAM>(m_nActiveTab));
    return TRUE;
}

void SECTabControlBase::ClearSelection()
{
    for (int i = 0; i < GetTabCount(); ++i)
        if (m_tabs[i]->m_bSelected) {
            m_tabs[i]->m_bSelected = FALSE;
            InvalidateTab(i);
        }
    m_bActiveTab = FALSE;
    NotifyParent(TCM_TABSELCLR, 0);
}
