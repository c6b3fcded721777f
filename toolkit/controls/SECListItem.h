// SECListItem, SECListSubItem, SECListColumn: the rows, cells and columns the list owns.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/CString.h"
#include "platform/core/Types.h"

// A cell's text: owned, asked of the parent on demand (callback), or absent.
struct SECListText {
    CString m_str;
    bool m_bCallback = false;
    bool m_bSet = false;

    void SetCallback() { m_str.Empty(); m_bCallback = true; m_bSet = true; }
    void Set(LPCSTR psz) { m_str = psz ? psz : ""; m_bCallback = false; m_bSet = psz != nullptr; }
    LPCSTR Get() const { return m_bCallback ? LPSTR_TEXTCALLBACK_VALUE() : (m_bSet ? (LPCSTR)m_str : nullptr); }
    static LPCSTR LPSTR_TEXTCALLBACK_VALUE() { return reinterpret_cast<LPCSTR>(static_cast<intptr_t>(-1)); }
};

struct SECListSubItem {
    SECListSubItem() { m_text.SetCallback(); }   // a new cell asks the parent until it is set
    SECListText m_text;
    DWORD m_dwValue = 0;
    RECT m_rcText{};
};

struct SECListItem {
    SECListItem() = default;
    SECListItem(const SECListItem&) = delete;
    SECListItem& operator=(const SECListItem&) = delete;

    std::vector<std::unique_ptr<SECListSubItem>> m_subItems;   // one per sub-item slot
    SECListText m_text;
    UINT m_state = 0;          // LVIS_ bits other than focused, selected, drop-highlighted
    int m_iImage = 0;
    LPARAM m_lParam = 0;       // pointer-sized: applications keep node pointers here
    int m_cy = -1;             // row height; -1 until measured
    UINT m_state2 = 0;
    RECT m_rcText{};
    RECT m_rcIcon{};
    RECT m_rcStateIcon{};
};

struct SECListColumn {
    DWORD m_dwReserved1 = 0;
    int m_fmt = 0;
    int m_cx = 0;
    CString m_strTitle;
    DWORD m_dwReserved2 = 0;
    int m_iSubItem = 0;        // 0: the item's own text; n: its n-th sub-item
};
