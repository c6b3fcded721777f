// SECSubItemTextStorage: the extra-column texts of tree items, kept per item handle.
#pragma once

#include <unordered_map>

#include "platform/core/CPtrArray.h"
#include "platform/core/Types.h"

class SECSubItemTextStorage {
public:
    SECSubItemTextStorage() = default;
    virtual ~SECSubItemTextStorage();
    SECSubItemTextStorage(const SECSubItemTextStorage&) = delete;
    SECSubItemTextStorage& operator=(const SECSubItemTextStorage&) = delete;

    // Keys are pointer-sized: the tree's item handles are node pointers.
    BOOL GetSubItemText(UINT_PTR hItem, int nSlot, LPSTR pszBuffer, int cchMax) const;
    BOOL SetSubItemText(UINT_PTR hItem, int nSlot, LPCSTR pszText);
    BOOL RemoveSubItemTexts(UINT_PTR hItem);

private:
    std::unordered_map<UINT_PTR, CStringArray*> m_map;
};
