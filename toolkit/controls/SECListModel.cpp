// SECListBaseC's model: items and their sub-item slots, columns, selection state, styles and images.
#include <algorithm>
#include <cstring>

#include "platform/core/CArchive.h"
#include "platform/core/CMemFile.h"
#include "platform/win/Gdi.h"
#include "platform/win/SystemParameters.h"
#include "toolkit/controls/SECListCtrl.h"
#include "toolkit/controls/SECListEdit.h"
#include "toolkit/controls/SECListTip.h"

void SECListCopyText(LPSTR pszBuffer, int cchMax, LPCSTR psz)
{
    if (!pszBuffer || cchMax <= 0)
        return;
    size_t n = psz ? std::strlen(psz) : 0;
    if (n > static_cast<size_t>(cchMax - 1)) {
        n = static_cast<size_t>(cchMax - 1);
        // Step back over continuation bytes so the cut never splits a character.
        while (n > 0 && (static_cast<unsigned char>(psz[n]) & 0xC0) == 0x80)
            --n;
    }
    if (n)
        std::memcpy(pszBuffer, psz, n);
    pszBuffer[n] = '\0';
}

SECListBaseC::SECListBaseC()
    : m_pTip(std::make_unique<SECListTip>(this)), m_pEdit(std::make_unique<SECListEdit>(this))
{
    m_bFollowSysColors = TRUE;
    LoadSysColors();
    m_bFollowSysColors = FALSE;
}

SECListBaseC::~SECListBaseC()
{
    if (!HasStyle(LVXS_SHAREIMAGELISTS))
        for (CImageList*& p : m_pImageLists) {
            delete p;
            p = nullptr;
        }
}

void SECListBaseC::LoadSysColors()
{
    if (!m_bFollowSysColors)
        return;
    m_colors[kText] = ::GetSysColor(COLOR_WINDOWTEXT);
    m_colors[kTextBk] = ::GetSysColor(COLOR_WINDOW);
    m_colors[kSelText] = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_colors[kSelBk] = ::GetSysColor(COLOR_HIGHLIGHT);
    m_colors[kGrayText] = ::GetSysColor(COLOR_GRAYTEXT);
    m_colors[kBk2] = ::GetSysColor(COLOR_WINDOW);
    m_colors[kSelBk2] = ::GetSysColor(COLOR_WINDOW);
    m_colors[kTipBk] = ::GetSysColor(COLOR_INFOBK);
    m_colors[kTipText] = ::GetSysColor(COLOR_INFOTEXT);
    m_colors[kWindowBk] = ::GetSysColor(COLOR_WINDOW);
}

COLORREF SECListBaseC::GetBkColor() const
{
    // A disabled control shows its empty area in the unfocused-selection colour.
    if (m_hWnd && !IsWindowEnabled())
        return ::GetSysColor(COLOR_MENU);
    return m_colors[kWindowBk];
}

BOOL SECListBaseC::SetBkColor(COLORREF cr)
{
    m_colors[kWindowBk] = cr;
    m_colors[kTextBk] = cr;
    return TRUE;
}

// ---------------------------------------------------------------- columns

int SECListBaseC::GetColumnSubItem(int nCol) const
{
    const SECListColumn* p = GetColumnRecord(nCol);
    return p ? p->m_iSubItem : -1;
}

SECListColumn* SECListBaseC::GetColumnRecord(int nCol) const
{
    return nCol >= 0 && nCol < GetColumnCount() ? m_columns[nCol].get() : nullptr;
}

int SECListBaseC::InsertColumn(int nCol, SECListColumn* pColumn, BOOL bUpdate)
{
    if (!pColumn)
        return -1;
    std::unique_ptr<SECListColumn> col(pColumn);
    if (nCol < 0 || nCol > GetColumnCount())
        nCol = GetColumnCount();
    EndLabelEdit(TRUE);
    HideTip();
    if (nCol == 0) {   // the first column always shows the label
        col->m_fmt = 0;
        col->m_iSubItem = 0;
    }
    if (col->m_iSubItem < 0 || col->m_iSubItem > m_nSlots) {
        col->m_iSubItem = m_nSlots + 1;
        for (auto& item : m_items)
            item->m_subItems.push_back(std::make_unique<SECListSubItem>());
        ++m_nSlots;
    }
    if (col->m_cx < 0)
        col->m_cx = 10;
    m_columns.insert(m_columns.begin() + nCol, std::move(col));
    if (bUpdate && m_bAutoUpdate) {
        if (HasStyleEx(LVXS_EX_FILLLABEL))
            FillLabelColumn();
        RemeasureAll();
        if (m_hWnd)
            Invalidate();
    }
    return nCol;
}

int SECListBaseC::InsertColumn(int nCol, LPCSTR pszTitle, int nFormat, int nWidth, int nSubItem, BOOL bUpdate)
{
    auto* p = new SECListColumn;
    p->m_strTitle = pszTitle ? pszTitle : "";
    p->m_fmt = nFormat;
    p->m_cx = nWidth;
    p->m_iSubItem = nSubItem;
    return InsertColumn(nCol, p, bUpdate);
}

int SECListBaseC::InsertColumn(int nCol, const LV_COLUMN& c, BOOL bUpdate)
{
    return InsertColumn(nCol, (c.mask & LVCF_TEXT) ? c.pszText : "", (c.mask & LVCF_FMT) ? c.fmt : 0,
                        (c.mask & LVCF_WIDTH) ? c.cx : -1, (c.mask & LVCF_SUBITEM) ? c.iSubItem : -1, bUpdate);
}

int SECListBaseC::AddColumn(const LV_COLUMN& c) { return InsertColumn(GetColumnCount(), c, TRUE); }

int SECListBaseC::AddColumn(LPCSTR pszTitle, int nFormat, int nWidth, int nSubItem)
{
    return InsertColumn(GetColumnCount(), pszTitle, nFormat, nWidth, nSubItem, TRUE);
}

int SECListBaseC::AddColumn(SECListColumn* pColumn) { return InsertColumn(GetColumnCount(), pColumn, TRUE); }

BOOL SECListBaseC::GetColumn(int nCol, LV_COLUMN& c) const
{
    const SECListColumn* p = GetColumnRecord(nCol);
    if (!p)
        return FALSE;
    if (c.mask & LVCF_FMT)
        c.fmt = p->m_fmt;
    if (c.mask & LVCF_WIDTH)
        c.cx = p->m_cx;
    if (c.mask & LVCF_SUBITEM)
        c.iSubItem = p->m_iSubItem;
    if (c.mask & LVCF_TEXT)
        SECListCopyText(c.pszText, c.cchTextMax, p->m_strTitle);
    return TRUE;
}

BOOL SECListBaseC::SetColumn(int nCol, const LV_COLUMN& c, BOOL bUpdate)
{
    SECListColumn* p = GetColumnRecord(nCol);
    if (!p)
        return FALSE;
    if (c.mask & LVCF_FMT)
        p->m_fmt = c.fmt;
    if (c.mask & LVCF_WIDTH)
        p->m_cx = c.cx;
    if (c.mask & LVCF_TEXT)
        p->m_strTitle = c.pszText ? c.pszText : "";
    // A slot outside the items' sub-items would read cells that are not there.
    if ((c.mask & LVCF_SUBITEM) && c.iSubItem >= 0 && c.iSubItem <= m_nSlots)
        p->m_iSubItem = c.iSubItem;
    if (bUpdate) {
        RemeasureAll();
        if (HasStyleEx(LVXS_EX_FILLLABEL))
            FillLabelColumn();
        if (m_hWnd)
            Invalidate();
    }
    return TRUE;
}

BOOL SECListBaseC::DeleteColumn(int nCol)
{
    SECListColumn* p = GetColumnRecord(nCol);
    if (!p)
        return FALSE;
    EndLabelEdit(TRUE);
    HideTip();
    const int slot = p->m_iSubItem;
    if (!HasStyleEx(LVXS_EX_KEEPDELETEDWIDTH))
        for (int i = 0; i < GetColumnCount(); ++i)
            if (i != nCol && m_columns[i]->m_iSubItem == 0) {
                m_columns[i]->m_cx += p->m_cx;
                break;
            }
    // The label (slot 0) is not a sub-item; only a real slot goes away with its column.
    if (slot >= 1 && slot <= m_nSlots) {
        for (auto& item : m_items)
            if (static_cast<int>(item->m_subItems.size()) >= slot)
                item->m_subItems.erase(item->m_subItems.begin() + (slot - 1));
        --m_nSlots;
    }
    m_columns.erase(m_columns.begin() + nCol);
    if (slot >= 1)
        for (auto& c : m_columns)
            if (c->m_iSubItem > slot)
                --c->m_iSubItem;
    return TRUE;
}

BOOL SECListBaseC::DeleteColumnByTitle(LPCSTR pszTitle)
{
    int nCol = -1, nSlot = -1;
    return FindColumn(pszTitle, nCol, nSlot) && DeleteColumn(nCol);
}

BOOL SECListBaseC::DeleteAllColumns()
{
    while (!m_columns.empty())
        m_columns.pop_back();
    RecalcLayout();
    return TRUE;
}

int SECListBaseC::GetColumnLeft(int nCol) const
{
    int x = 0;
    for (int i = 0; i < nCol && i < GetColumnCount(); ++i)
        x += m_columns[i]->m_cx;
    return x - m_nHScroll;
}

int SECListBaseC::GetColumnRight(int nCol) const { return GetColumnLeft(nCol) + GetColumnWidth(nCol); }

BOOL SECListBaseC::SetColumnWidth(int nCol, int cx)
{
    SECListColumn* p = GetColumnRecord(nCol);
    if (!p)
        return FALSE;
    p->m_cx = cx;
    return TRUE;
}

int SECListBaseC::GetColumnWidth(int nCol) const
{
    if (m_columns.empty()) {
        RECT rc;
        GetInsideRect(rc);
        return rc.right - rc.left;
    }
    const SECListColumn* p = GetColumnRecord(nCol);
    return p ? p->m_cx : 0;
}

BOOL SECListBaseC::SetColumnFormat(int nCol, int nFormat)
{
    SECListColumn* p = GetColumnRecord(nCol);
    if (!p)
        return FALSE;
    p->m_fmt = nFormat;
    return TRUE;
}

int SECListBaseC::GetColumnFormat(int nCol) const
{
    const SECListColumn* p = GetColumnRecord(nCol);
    return p ? p->m_fmt : 0;
}

BOOL SECListBaseC::SetColumnTitle(int nCol, LPCSTR pszTitle)
{
    SECListColumn* p = GetColumnRecord(nCol);
    if (!p)
        return FALSE;
    p->m_strTitle = pszTitle ? pszTitle : "";
    return TRUE;
}

BOOL SECListBaseC::GetColumnTitle(int nCol, CString& str) const
{
    const SECListColumn* p = GetColumnRecord(nCol);
    if (!p)
        return FALSE;
    str = p->m_strTitle;
    return TRUE;
}

BOOL SECListBaseC::FindColumn(LPCSTR pszTitle) const
{
    int nCol, nSlot;
    return FindColumn(pszTitle, nCol, nSlot);
}

BOOL SECListBaseC::FindColumn(LPCSTR pszTitle, int& nCol, int& nSubItem) const
{
    for (int i = 0; i < GetColumnCount(); ++i)
        if (std::strcmp(m_columns[i]->m_strTitle, pszTitle ? pszTitle : "") == 0) {
            nCol = i;
            nSubItem = m_columns[i]->m_iSubItem;
            return TRUE;
        }
    return FALSE;
}

void SECListBaseC::FillLabelColumn()
{
    RECT rc;
    GetInsideRect(rc);
    int others = 0;
    SECListColumn* label = nullptr;
    for (auto& c : m_columns) {
        if (!label && c->m_iSubItem == 0)
            label = c.get();
        else
            others += c->m_cx;
    }
    if (label)
        label->m_cx = (rc.right - rc.left) - others;
}

BOOL SECListBaseC::FitColumns()
{
    if (GetColumnCount() == 1 || HasStyleEx(LVXS_EX_FILLLABEL)) {
        FillLabelColumn();
        return TRUE;
    }
    return FALSE;
}

// ---------------------------------------------------------------- items

SECListItem* SECListBaseC::GetItemRecord(int nRow) const
{
    return nRow >= 0 && nRow < GetItemCount() ? m_items[nRow].get() : nullptr;
}

int SECListBaseC::FindItemRecord(const SECListItem* pItem) const
{
    for (int i = 0; i < GetItemCount(); ++i)
        if (m_items[i].get() == pItem)
            return i;
    return -1;
}

void SECListBaseC::AddSubItems(SECListItem* pItem)
{
    while (static_cast<int>(pItem->m_subItems.size()) < m_nSlots)
        pItem->m_subItems.push_back(std::make_unique<SECListSubItem>());
}

void SECListBaseC::RemoveSubItems(SECListItem* pItem) { pItem->m_subItems.clear(); }

int SECListBaseC::InitItem(SECListItem* pItem)
{
    if (!pItem)
        return -1;
    AddSubItems(pItem);
    return 0;
}

SECListItem* SECListBaseC::CreateItem()
{
    auto* p = new SECListItem;
    InitItem(p);
    return p;
}

SECListText* SECListBaseC::TextOf(SECListItem* pItem, int nSubItem) const
{
    if (!pItem || nSubItem < 0 || nSubItem > static_cast<int>(pItem->m_subItems.size()))
        return nullptr;
    return nSubItem == 0 ? &pItem->m_text : &pItem->m_subItems[nSubItem - 1]->m_text;
}

int SECListBaseC::InsertItemRecord(int nRow, SECListItem* pItem)
{
    std::unique_ptr<SECListItem> item(pItem);
    if (!pItem || nRow < 0 || nRow > GetItemCount())
        return -1;
    if (m_nFocus >= nRow)
        ++m_nFocus;
    if (m_nDropHilite >= nRow)
        ++m_nDropHilite;
    for (int& r : m_selection)
        if (r >= nRow)
            ++r;
    AddSubItems(pItem);
    m_items.insert(m_items.begin() + nRow, std::move(item));
    m_bLayoutDue = TRUE;
    if (m_nFocus < 0)
        SelectFocusItem(0, TRUE);
    return nRow;
}

int SECListBaseC::InsertItemRecords(int nRow, std::vector<std::unique_ptr<SECListItem>>& items)
{
    const int n = static_cast<int>(items.size());
    if (nRow < 0 || nRow > GetItemCount())
        return -1;
    if (n == 0)
        return nRow;
    if (m_nFocus >= nRow)
        m_nFocus += n;
    if (m_nDropHilite >= nRow)
        m_nDropHilite += n;
    for (int& r : m_selection)
        if (r >= nRow)
            r += n;
    for (auto& item : items)
        AddSubItems(item.get());
    m_items.insert(m_items.begin() + nRow, std::make_move_iterator(items.begin()), std::make_move_iterator(items.end()));
    items.clear();
    m_bLayoutDue = TRUE;
    if (m_nFocus < 0)
        SelectFocusItem(0, TRUE);
    return nRow;
}

int SECListBaseC::InsertItem(const LV_ITEM& lvi)
{
    const int row = InsertItemRecord(lvi.iItem, CreateItem());
    if (row < 0)
        return -1;
    LV_ITEM set = lvi;
    set.iItem = row;
    set.iSubItem = 0;
    SetItem(set, m_bAutoUpdate);
    if (m_bAutoUpdate)
        RecalcLayout();
    return row;
}

int SECListBaseC::InsertItem(UINT nMask, int nRow, LPCSTR pszText, UINT nState, UINT nStateMask, int nImage,
                             LPARAM lParam)
{
    LV_ITEM lvi{};
    lvi.mask = nMask;
    lvi.iItem = nRow;
    lvi.pszText = const_cast<LPSTR>(pszText);
    lvi.state = nState;
    lvi.stateMask = nStateMask;
    lvi.iImage = nImage;
    lvi.lParam = lParam;
    return InsertItem(lvi);
}

int SECListBaseC::InsertItem(int nRow, LPCSTR pszText, int nImage)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nRow, pszText, 0, 0, nImage, 0);
}

int SECListBaseC::InsertItem(int nRow, LPCSTR pszText) { return InsertItem(LVIF_TEXT, nRow, pszText, 0, 0, 0, 0); }

int SECListBaseC::InsertItemAfter(const SECListItem* pAfter, const LV_ITEM& lvi)
{
    LV_ITEM copy = lvi;
    if (!pAfter)
        copy.iItem = 0;
    else if (int row = FindItemRecord(pAfter); row >= 0)
        copy.iItem = row + 1;
    return InsertItem(copy);
}

int SECListBaseC::InsertItemBefore(const SECListItem* pBefore, const LV_ITEM& lvi)
{
    LV_ITEM copy = lvi;
    if (!pBefore)
        copy.iItem = 0;
    else if (int row = FindItemRecord(pBefore); row >= 0)
        copy.iItem = row;
    return InsertItem(copy);
}

BOOL SECListBaseC::SetItem(const LV_ITEM& lvi, BOOL bUpdate)
{
    SECListItem* item = GetItemRecord(lvi.iItem);
    if (!item)
        return FALSE;
    SECListText* text = TextOf(item, lvi.iSubItem);
    if (!text && (lvi.mask & LVIF_TEXT))
        return FALSE;
    const bool diSet = (lvi.mask & LVIF_DI_SETITEM) != 0;
    bool tellParent = false;
    if (lvi.mask & LVIF_TEXT) {
        if (lvi.pszText == LPSTR_TEXTCALLBACK)
            text->SetCallback();
        else if (text->m_bCallback && !diSet)
            tellParent = true;   // the parent keeps this text; it is told, nothing is stored
        else
            text->Set(lvi.pszText);
    }
    if (lvi.mask & LVIF_IMAGE) {
        if (item->m_iImage == I_IMAGECALLBACK && !diSet && lvi.iImage != I_IMAGECALLBACK)
            tellParent = true;
        else
            item->m_iImage = lvi.iImage;
    }
    bool stateChanged = false, dropChanged = false;
    const int row = lvi.iItem;
    if (lvi.mask & LVIF_STATE) {
        const UINT mask = lvi.stateMask;
        if (mask & LVIS_SELECTED) {
            const bool was = IsSelected(row);
            if (lvi.state & LVIS_SELECTED)
                AddToSelection(row);
            else
                RemoveFromSelection(row);
            stateChanged |= was != static_cast<bool>(IsSelected(row));
        }
        if (mask & LVIS_FOCUSED) {
            const int old = m_nFocus;
            if (lvi.state & LVIS_FOCUSED)
                m_nFocus = row;
            else if (m_nFocus == row)
                m_nFocus = -1;
            stateChanged |= old != m_nFocus;
        }
        if (mask & LVIS_DROPHILITED) {
            const int old = m_nDropHilite;
            if (lvi.state & LVIS_DROPHILITED)
                m_nDropHilite = row;
            else if (m_nDropHilite == row)
                m_nDropHilite = -1;
            dropChanged = old != m_nDropHilite;
            stateChanged |= dropChanged;
        }
        const UINT rest = mask & ~static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED | LVIS_DROPHILITED);
        const UINT merged = (item->m_state & ~rest) | (lvi.state & rest);
        stateChanged |= merged != item->m_state;
        item->m_state = merged;
    }
    if (lvi.mask & LVIF_PARAM)
        item->m_lParam = lvi.lParam;
    if (tellParent)
        NotifySetDispInfo(lvi);
    if (!(lvi.mask & (LVIF_TEXT | LVIF_STATE)))
        return TRUE;
    if (lvi.mask & LVIF_TEXT)
        DeferMeasure(row);   // measured again when next needed
    if (bUpdate && ((lvi.mask & LVIF_IMAGE) || stateChanged) && row != m_nEditRow)
        RedrawItem(row, FALSE, TRUE, FALSE, dropChanged);
    return TRUE;
}

BOOL SECListBaseC::SetItem(int nRow, int nSubItem, UINT nMask, LPCSTR pszText, int nImage, UINT nState,
                           UINT nStateMask, LPARAM lParam)
{
    LV_ITEM lvi{nMask, nRow, nSubItem, nState, nStateMask, const_cast<LPSTR>(pszText), 0, nImage, lParam};
    return SetItem(lvi, TRUE);
}

BOOL SECListBaseC::SetItemState2(const LV_ITEM& lvi)
{
    SECListItem* item = GetItemRecord(lvi.iItem);
    if (!item)
        return FALSE;
    item->m_state2 = (item->m_state2 & ~lvi.stateMask) | (lvi.state & lvi.stateMask);
    return TRUE;
}

UINT SECListBaseC::GetItemState2(int nRow, UINT nMask) const
{
    const SECListItem* item = GetItemRecord(nRow);
    return item ? item->m_state2 & nMask : 0;
}

BOOL SECListBaseC::GetItem(LV_ITEM& lvi, BOOL bCopyText, BOOL bAskParent)
{
    SECListItem* item = GetItemRecord(lvi.iItem);
    if (!item)
        return FALSE;
    SECListText* text = TextOf(item, lvi.iSubItem);
    if (!text && (lvi.mask & LVIF_TEXT))
        return FALSE;
    UINT ask = 0;
    if (lvi.mask & LVIF_TEXT) {
        if (text->m_bCallback) {
            ask |= LVIF_TEXT;
            if (!bCopyText)
                lvi.pszText = LPSTR_TEXTCALLBACK;
        } else if (bCopyText) {
            SECListCopyText(lvi.pszText, lvi.cchTextMax, text->m_bSet ? (LPCSTR)text->m_str : "");
        } else {
            lvi.pszText = const_cast<LPSTR>(text->m_bSet ? (LPCSTR)text->m_str : "");
        }
    }
    if (lvi.mask & LVIF_IMAGE) {
        lvi.iImage = item->m_iImage;
        if (item->m_iImage == I_IMAGECALLBACK)
            ask |= LVIF_IMAGE;
    }
    if (lvi.mask & LVIF_STATE) {
        UINT state = item->m_state;
        if (IsSelected(lvi.iItem))
            state |= LVIS_SELECTED;
        if (m_nFocus == lvi.iItem)
            state |= LVIS_FOCUSED;
        if (m_nDropHilite == lvi.iItem)
            state |= LVIS_DROPHILITED;
        lvi.state = state & lvi.stateMask;
        if (m_nStateCallbackMask)
            ask |= LVIF_STATE;
    }
    if ((lvi.mask & LVIF_PARAM) || ask)
        lvi.lParam = item->m_lParam;
    if (ask && bAskParent) {
        LV_ITEM q = lvi;
        q.mask = ask;
        q.lParam = item->m_lParam;
        char local[1] = {0};
        if (ask & LVIF_TEXT) {
            if (bCopyText && lvi.pszText && lvi.cchTextMax > 0) {
                lvi.pszText[0] = '\0';
                q.pszText = lvi.pszText;
            } else {
                q.pszText = local;
                q.cchTextMax = 1;
            }
        }
        NotifyGetDispInfo(q);
        lvi.mask |= q.mask & LVIF_DI_SETITEM;   // the parent asks the list to keep what it gave
        if (ask & LVIF_TEXT) {
            LPCSTR got = (q.pszText && q.pszText != LPSTR_TEXTCALLBACK) ? q.pszText : "";
            if (bCopyText) {
                if (got != lvi.pszText)
                    SECListCopyText(lvi.pszText, lvi.cchTextMax, got);
            } else {
                // The parent's pointer is handed on; a text written into our one-byte stand-in is empty.
                lvi.pszText = const_cast<LPSTR>(got == local ? "" : got);
            }
        }
        if (ask & LVIF_IMAGE)
            lvi.iImage = q.iImage;
        if (ask & LVIF_STATE)
            lvi.state = (lvi.state & ~m_nStateCallbackMask) | (q.state & m_nStateCallbackMask & lvi.stateMask);
    }
    return TRUE;
}

BOOL SECListBaseC::SetItemText(int nRow, int nSubItem, LPCSTR pszText)
{
    LV_ITEM lvi{LVIF_TEXT, nRow, nSubItem, 0, 0, const_cast<LPSTR>(pszText), 0, 0, 0};
    return SetItem(lvi, TRUE);
}

int SECListBaseC::GetItemText(int nRow, int nSubItem, LPSTR pszBuffer, int cchMax)
{
    LV_ITEM lvi{LVIF_TEXT, nRow, nSubItem, 0, 0, pszBuffer, cchMax, 0, 0};
    if (!GetItem(lvi, TRUE, TRUE)) {
        SECListCopyText(pszBuffer, cchMax, "");
        return 0;
    }
    return pszBuffer ? static_cast<int>(std::strlen(pszBuffer)) : 0;
}

void SECListBaseC::GetCellText(CString& str, int nRow, int nSlot)
{
    GetItemText(nRow, nSlot, m_szTextBuffer, sizeof m_szTextBuffer);
    str = m_szTextBuffer;
}

BOOL SECListBaseC::DeleteItemRecord(SECListItem* pItem)
{
    const int row = FindItemRecord(pItem);
    return row >= 0 && DeleteItems(row, 1);
}

BOOL SECListBaseC::DeleteItems(int nFirst, int nCount)
{
    if (nFirst < 0 || nFirst >= GetItemCount() || nCount <= 0)
        return FALSE;
    // A count past the end would destroy rows that are not there.
    nCount = std::min(nCount, GetItemCount() - nFirst);
    RedrawItems(std::max(nFirst - 1, 0), GetItemCount() - 1);
    NotifyDeleteItem(nFirst);
    m_items.erase(m_items.begin() + nFirst, m_items.begin() + nFirst + nCount);
    const int count = GetItemCount();
    const int end = nFirst + nCount;
    m_nTopIndex = std::min(m_nTopIndex, count);
    if (m_nFocus >= end)
        m_nFocus -= nCount;
    else if (m_nFocus > nFirst || (m_nFocus == nFirst && m_nFocus >= count))
        m_nFocus = nFirst - 1;
    if (m_nDropHilite >= end)
        m_nDropHilite -= nCount;
    else if (m_nDropHilite > nFirst)
        m_nDropHilite = nFirst - 1;
    else if (m_nDropHilite == nFirst && m_nDropHilite >= count)
        m_nDropHilite = -1;   // it would name a row that is gone
    std::vector<int> kept;
    for (int r : m_selection)
        if (r < nFirst)
            kept.push_back(r);
        else if (r >= end)
            kept.push_back(r - nCount);
    m_selection.swap(kept);
    if (m_selection.empty() && m_nFocus >= 0)
        SelectFocusItem(m_nFocus, TRUE);
    RecalcLayout();
    return TRUE;
}

BOOL SECListBaseC::DeleteAllItems()
{
    CancelEditTimer();
    m_items.clear();
    m_selection.clear();
    m_nTopIndex = 0;
    m_nFocus = -1;
    RecalcLayout();
    if (m_hWnd)
        Invalidate();
    return TRUE;
}

// ---------------------------------------------------------------- selection and focus

BOOL SECListBaseC::IsSelected(int nRow) const
{
    return nRow >= 0 && std::binary_search(m_selection.begin(), m_selection.end(), nRow);
}

void SECListBaseC::AddToSelection(int nRow)
{
    auto it = std::lower_bound(m_selection.begin(), m_selection.end(), nRow);
    if (it == m_selection.end() || *it != nRow)
        m_selection.insert(it, nRow);
}

void SECListBaseC::RemoveFromSelection(int nRow)
{
    auto it = std::lower_bound(m_selection.begin(), m_selection.end(), nRow);
    if (it != m_selection.end() && *it == nRow)
        m_selection.erase(it);
}

BOOL SECListBaseC::SelectItem(int nRow, BOOL bSelect)
{
    if (!GetItemRecord(nRow))
        return FALSE;
    if (bSelect && !IsMultipleSelection())
        DeselectAllExcept(nRow);
    bSelect ? AddToSelection(nRow) : RemoveFromSelection(nRow);
    RedrawItem(nRow);
    return TRUE;
}

BOOL SECListBaseC::SetFocusItem(int nRow)
{
    if (nRow != -1 && !GetItemRecord(nRow))
        return FALSE;
    const int old = m_nFocus;
    m_nFocus = nRow;
    m_nAnchor = nRow;
    if (old >= 0)
        RedrawItem(old);
    if (nRow >= 0)
        RedrawItem(nRow);
    return TRUE;
}

BOOL SECListBaseC::SelectFocusItem(int nRow, BOOL bSelect)
{
    if (!SetFocusItem(nRow))
        return FALSE;
    return nRow < 0 || SelectItem(nRow, bSelect);
}

void SECListBaseC::DeselectAllExcept(int nRow)
{
    const bool keep = IsSelected(nRow);
    for (int r : m_selection)
        if (r != nRow)
            RedrawItem(r);
    m_selection.clear();
    if (keep)
        m_selection.push_back(nRow);
}

BOOL SECListBaseC::SelectRange(int nFirst, int nLast, BOOL bSelect)
{
    if (nFirst > nLast)
        std::swap(nFirst, nLast);
    if (nFirst < 0 || nLast >= GetItemCount())
        return FALSE;
    for (int r = nFirst; r <= nLast; ++r)
        bSelect ? AddToSelection(r) : RemoveFromSelection(r);
    RedrawItems(nFirst, nLast);
    return TRUE;
}

BOOL SECListBaseC::SetItemState(int nRow, UINT nState, UINT nMask)
{
    LV_ITEM lvi{LVIF_STATE, nRow, 0, nState, nMask, nullptr, 0, 0, 0};
    return SetItem(lvi, TRUE);
}

UINT SECListBaseC::GetItemState(int nRow, UINT nMask)
{
    LV_ITEM lvi{LVIF_STATE, nRow, 0, 0, nMask, nullptr, 0, 0, 0};
    return GetItem(lvi, FALSE, TRUE) ? lvi.state : 0;
}

BOOL SECListBaseC::SetItemData(int nRow, LPARAM lParam)
{
    SECListItem* item = GetItemRecord(nRow);
    if (!item)
        return FALSE;
    item->m_lParam = lParam;
    return TRUE;
}

LPARAM SECListBaseC::GetItemData(int nRow) const
{
    const SECListItem* item = GetItemRecord(nRow);
    return item ? item->m_lParam : 0;
}

BOOL SECListBaseC::NeedsDispInfo(int nRow) const
{
    const SECListItem* item = GetItemRecord(nRow);
    if (!item)
        return FALSE;
    if (item->m_text.m_bCallback || item->m_iImage == I_IMAGECALLBACK || m_nStateCallbackMask)
        return TRUE;
    for (const auto& s : item->m_subItems)
        if (s->m_text.m_bCallback)
            return TRUE;
    return FALSE;
}

BOOL SECListBaseC::SetDropHighlightItem(int nRow)
{
    if (nRow != -1 && !GetItemRecord(nRow))
        return FALSE;
    const int old = m_nDropHilite;
    m_nDropHilite = nRow;
    if (old >= 0)
        RedrawItem(old, FALSE, TRUE, FALSE, TRUE);
    if (nRow >= 0)
        RedrawItem(nRow, FALSE, TRUE, FALSE, TRUE);
    return TRUE;
}

// ---------------------------------------------------------------- images

CImageList* SECListBaseC::GetImageList(int nKind) const
{
    return nKind >= 0 && nKind < 3 ? m_pImageLists[nKind] : nullptr;
}

CImageList* SECListBaseC::SetImageList(CImageList* pList, int nKind)
{
    if (nKind < 0 || nKind >= 3)
        return nullptr;
    CImageList* prev = m_pImageLists[nKind];
    if (HasStyle(LVXS_SHAREIMAGELISTS)) {
        m_pImageLists[nKind] = pList;
        return prev;
    }
    // The control's own copy: the caller keeps its list, and the old copy was never the caller's.
    m_pImageLists[nKind] = pList ? CopyImageList(pList) : nullptr;
    delete prev;
    return nullptr;
}

CImageList* SECListBaseC::CopyImageList(CImageList* pList)
{
    if (!pList || !pList->GetSafeHandle())
        return nullptr;
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        if (!pList->Write(&ar))
            return nullptr;
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    auto copy = std::make_unique<CImageList>();
    if (!copy->Read(&ar))
        return nullptr;
    return copy.release();
}

// ---------------------------------------------------------------- styles

BOOL SECListBaseC::SetListStyle(DWORD dwStyle, BOOL bUpdate)
{
    m_dwListStyle = dwStyle;
    EndLabelEdit(TRUE);
    CancelEditTimer();
    HideTip();
    if (bUpdate) {
        RemeasureAll();
        if (m_hWnd)
            Invalidate();
    }
    return TRUE;
}

BOOL SECListBaseC::SetListStyleEx(DWORD dwExStyle, BOOL bUpdate)
{
    EndLabelEdit(TRUE);
    HideTip();
    if (!(m_dwListStyleEx & LVXS_EX_FILLLABEL) && (dwExStyle & LVXS_EX_FILLLABEL))
        FillLabelColumn();
    m_dwListStyleEx = dwExStyle;
    if (bUpdate) {
        RemeasureAll();
        if (m_hWnd)
            Invalidate();
    }
    return TRUE;
}

BOOL SECListBaseC::ModifyListStyle(DWORD dwRemove, DWORD dwAdd, BOOL bUpdate)
{
    return SetListStyle((m_dwListStyle & ~dwRemove) | dwAdd, bUpdate);
}

BOOL SECListBaseC::ModifyListStyleEx(DWORD dwRemove, DWORD dwAdd, BOOL bUpdate)
{
    return SetListStyleEx((m_dwListStyleEx & ~dwRemove) | dwAdd, bUpdate);
}

BOOL SECListBaseC::SetStyles(DWORD dwStyle, DWORD dwExStyle, BOOL bUpdate)
{
    return SetListStyle(dwStyle, FALSE) && SetListStyleEx(dwExStyle, bUpdate);
}

BOOL SECListBaseC::ModifyStyles(DWORD dwRemove, DWORD dwAdd, DWORD dwRemoveEx, DWORD dwAddEx, BOOL bUpdate)
{
    return SetStyles((m_dwListStyle & ~dwRemove) | dwAdd, (m_dwListStyleEx & ~dwRemoveEx) | dwAddEx, bUpdate);
}

void SECListBaseC::SetHeightIndependent(BOOL b)
{
    b ? ModifyListStyle(LVXS_HEIGHT_INDEPENDENT, 0) : ModifyListStyle(0, LVXS_HEIGHT_INDEPENDENT);
}

void SECListBaseC::SetStyleEx100000(BOOL b)
{
    b ? ModifyListStyleEx(0, LVXS_EX_FLAG100000) : ModifyListStyleEx(LVXS_EX_FLAG100000, 0);
}

void SECListBaseC::SetMultipleSelection(BOOL bMultiple)
{
    if (!bMultiple) {
        if (GetSelectedCount() > 1)
            DeselectAllExcept(-1);
        ModifyListStyle(0, LVXS_SINGLESEL);
    } else {
        ModifyListStyle(LVXS_SINGLESEL, 0);
    }
}

BOOL SECListBaseC::IsHeaderShown() const { return !HasStyle(LVXS_NOHEADER); }

void SECListBaseC::ShowHeader(BOOL bShow)
{
    bShow ? ModifyListStyle(LVXS_NOHEADER, 0) : ModifyListStyle(0, LVXS_NOHEADER);
}

void SECListBaseC::SplitCreateStyles(CREATESTRUCT& cs)
{
    m_dwListStyle |= static_cast<DWORD>(cs.style) & LVXS_STYLE_MASK;
    cs.style &= ~static_cast<LONG>(LVXS_STYLE_MASK);
    m_dwListStyleEx |= cs.dwExStyle & LVXS_EX_STYLE_MASK;
    cs.dwExStyle &= ~static_cast<DWORD>(LVXS_EX_STYLE_MASK);
}

// ---------------------------------------------------------------- notifications

CWnd* SECListBaseC::GetNotifyTarget() const
{
    if (m_pNotifyWnd)
        return m_pNotifyWnd;
    return m_hWnd ? GetParent() : nullptr;
}

LRESULT SECListBaseC::SendNotify(NMHDR& hdr, int nCode)
{
    CWnd* target = GetNotifyTarget();
    hdr.hwndFrom = m_hWnd;
    hdr.idFrom = m_hWnd ? static_cast<UINT_PTR>(GetDlgCtrlID()) : 0;
    hdr.code = static_cast<UINT>(nCode);
    if (!target || !target->GetSafeHwnd())
        return 0;
    return target->SendMessage(WM_NOTIFY, hdr.idFrom, reinterpret_cast<LPARAM>(&hdr));
}

LRESULT SECListBaseC::Notify(int nCode)
{
    NMHDR hdr{};
    return SendNotify(hdr, nCode);
}

LRESULT SECListBaseC::NotifyDeleteItem(int nRow)
{
    NM_LISTVIEW nm{};
    nm.iItem = nRow;
    return SendNotify(nm.hdr, LVN_DELETEITEM);
}

LRESULT SECListBaseC::NotifyInsertItem(int nRow)
{
    NM_LISTVIEW nm{};
    nm.iItem = nRow;
    return SendNotify(nm.hdr, LVN_INSERTITEM);
}

BOOL SECListBaseC::NotifyGetDispInfo(LV_ITEM& lvi)
{
    LV_DISPINFO di{};
    di.item = lvi;
    SendNotify(di.hdr, LVN_GETDISPINFOA);
    lvi = di.item;
    return TRUE;
}
