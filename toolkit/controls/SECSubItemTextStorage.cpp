// SECSubItemTextStorage: one array of texts per item handle; slot n lives at index n - 1.
#include "toolkit/controls/SECSubItemTextStorage.h"

#include "toolkit/controls/SECListCtrl.h"

SECSubItemTextStorage::~SECSubItemTextStorage()
{
    for (auto& [key, texts] : m_map)
        delete texts;
    m_map.clear();
}

BOOL SECSubItemTextStorage::GetSubItemText(UINT_PTR hItem, int nSlot, LPSTR pszBuffer, int cchMax) const
{
    auto it = m_map.find(hItem);
    if (it == m_map.end() || !it->second || nSlot < 1 || nSlot > it->second->GetSize()) {
        SECListCopyText(pszBuffer, cchMax, "");
        return FALSE;
    }
    SECListCopyText(pszBuffer, cchMax, it->second->GetAt(nSlot - 1));
    return TRUE;
}

BOOL SECSubItemTextStorage::SetSubItemText(UINT_PTR hItem, int nSlot, LPCSTR pszText)
{
    if (nSlot < 1)
        return FALSE;   // slot 0 is the item's own label, never kept here
    auto [it, added] = m_map.try_emplace(hItem, nullptr);
    if (added)
        it->second = new CStringArray;
    if (!it->second)
        return FALSE;
    CStringArray& texts = *it->second;
    if (texts.GetSize() < nSlot)
        texts.SetSize(nSlot);
    texts.SetAt(nSlot - 1, CString(pszText ? pszText : ""));
    return TRUE;
}

BOOL SECSubItemTextStorage::RemoveSubItemTexts(UINT_PTR hItem)
{
    auto it = m_map.find(hItem);
    if (it == m_map.end())
        return FALSE;
    delete it->second;
    m_map.erase(it);
    return TRUE;
}
