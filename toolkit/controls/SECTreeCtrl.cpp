// SECTreeBaseC's items: the node hierarchy, the rows kept equal to the visible items in
// pre-order, insertion, deletion, expansion, selection and the tree notifications.
#include "toolkit/controls/SECTreeCtrl.h"

#include <algorithm>
#include <cstring>

#include "platform/afx/dlg/CDataExchange.h"
#include "platform/win/Keyboard.h"
#include "platform/win/VirtualKeys.h"
#include "toolkit/controls/SECSubItemTextStorage.h"

namespace {

bool IsRootHandle(HTREEITEM h) { return h == nullptr || h == TVI_ROOT; }

}   // namespace

// ---------------------------------------------------------------- nodes

SECTreeBaseC::_Node::_Node()
{
    m_item.hItem = reinterpret_cast<HTREEITEM>(this);
    m_item.iImage = SEC_TREE_NOIMAGE;
    m_item.iSelectedImage = SEC_TREE_NOIMAGE;
}

void SECTreeBaseC::_Node::SetText(LPCSTR psz)
{
    if (psz == LPSTR_TEXTCALLBACK) {
        m_strText.Empty();
        m_item.pszText = LPSTR_TEXTCALLBACK;
        return;
    }
    m_strText = psz ? psz : "";
    m_item.pszText = psz ? const_cast<LPSTR>(static_cast<LPCSTR>(m_strText)) : nullptr;
}

// ---------------------------------------------------------------- construction

SECTreeBaseC::SECTreeBaseC()
{
    ResetRoot();
    m_dwListStyle |= LVXS_REPORT_VIEW | LVXS_SHAREIMAGELISTS;
}

SECTreeBaseC::~SECTreeBaseC()
{
    if (m_pRoot)
        m_pRoot->DeleteAllChildren();
}

void SECTreeBaseC::ResetRoot()
{
    m_pRoot.reset(CreateNode());
    m_pRoot->SetExpanded(TRUE);
}

BOOL SECTreeBaseC::Create(DWORD dwStyle, DWORD dwExStyle, const RECT& rect, CWnd* pParent, UINT nID, void* pParam)
{
    // The tree column: the tree draws its labels itself, left-aligned.
    if (GetColumnCount() == 0)
        InsertColumn(0, "", 2, 0, 0, FALSE);
    return SECListBaseC::Create(dwStyle, dwExStyle, rect, pParent, nID, pParam);
}

BOOL SECTreeBaseC::Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID)
{
    return Create(dwStyle, 0, rect, pParent, nID, nullptr);
}

void SECTreeBaseC::SplitCreateStyles(CREATESTRUCT& cs)
{
    const DWORD treeBits = static_cast<DWORD>(cs.style) & 0x3F;
    cs.style &= ~static_cast<LONG>(0x3F);
    ModifyTreeStyle(0, treeBits, FALSE);
    const DWORD treeExBits = cs.dwExStyle & 0x00F00000;
    cs.dwExStyle &= ~static_cast<DWORD>(0x00F00000);
    ModifyTreeStyleEx(0, treeExBits, FALSE);
    SECListBaseC::SplitCreateStyles(cs);
}

// ---------------------------------------------------------------- handles and rows

SECTreeBaseC::_Node* SECTreeBaseC::NodeOf(HTREEITEM hItem) const
{
    if (IsRootHandle(hItem))
        return nullptr;
    return reinterpret_cast<_Node*>(hItem);
}

BOOL SECTreeBaseC::IsVisibleNode(const _Node* pNode) const
{
    if (!pNode || pNode == m_pRoot.get())
        return FALSE;
    if (pNode->m_nListState & SEC_TVIS_HIDDEN)
        return FALSE;
    for (auto* p = static_cast<const _Node*>(pNode->GetParent()); p; p = static_cast<const _Node*>(p->GetParent())) {
        if (!p->IsExpanded() || (p->m_nListState & SEC_TVIS_HIDDEN))
            return FALSE;
    }
    return TRUE;
}

int SECTreeBaseC::FindRow(const _Node* pNode) const
{
    if (!pNode || !IsVisibleNode(pNode))
        return -1;
    const int count = GetItemCount();
    const auto value = reinterpret_cast<LPARAM>(pNode);
    // Rows are looked up near the last one found: fills and walks go row by row.
    const int hint = std::clamp(m_nRowHint, 0, std::max(count - 1, 0));
    for (int d = 0; d < count; ++d) {
        const int down = hint + d, up = hint - d - 1;
        if (down < count && m_items[down]->m_lParam == value)
            return m_nRowHint = down;
        if (up >= 0 && m_items[up]->m_lParam == value)
            return m_nRowHint = up;
        if (down >= count && up < 0)
            break;
    }
    return -1;
}

int SECTreeBaseC::GetItemRow(HTREEITEM hItem) const { return FindRow(NodeOf(hItem)); }

HTREEITEM SECTreeBaseC::GetItemAtRow(int nRow) const
{
    const SECListItem* item = GetItemRecord(nRow);
    return item ? reinterpret_cast<HTREEITEM>(item->m_lParam) : nullptr;
}

std::unique_ptr<SECListItem> SECTreeBaseC::MakeRow(_Node* pNode)
{
    auto row = std::unique_ptr<SECListItem>(CreateItem());
    row->m_text.SetCallback();   // the tree answers for the label
    row->m_lParam = reinterpret_cast<LPARAM>(pNode);
    return row;
}

void SECTreeBaseC::CollectVisibleRows(_Node* pNode, std::vector<std::unique_ptr<SECListItem>>& rows)
{
    for (auto* c = static_cast<_Node*>(pNode->GetFirstChild()); c; c = static_cast<_Node*>(c->GetNextSibling())) {
        if (c->m_nListState & SEC_TVIS_HIDDEN)
            continue;
        rows.push_back(MakeRow(c));
        if (c->IsExpanded())
            CollectVisibleRows(c, rows);
    }
}

int SECTreeBaseC::CountSubtreeRows(const _Node* pNode, int nRow) const
{
    int n = 0;
    for (int r = nRow + 1; r < GetItemCount(); ++r) {
        auto* node = reinterpret_cast<const _Node*>(m_items[r]->m_lParam);
        if (!node || !node->IsDescendantOf(pNode))
            break;
        ++n;
    }
    return n;
}

// ---------------------------------------------------------------- notifications

LRESULT SECTreeBaseC::SendTreeNotify(NMHDR& hdr, int nCode) { return SendNotify(hdr, nCode); }

LRESULT SECTreeBaseC::NotifyTree(int nCode, UINT nAction, const _Node* pOld, const _Node* pNew, POINT pt)
{
    NM_TREEVIEW nm{};
    nm.action = nAction;
    if (pOld)
        nm.itemOld = pOld->m_item;
    if (pNew)
        nm.itemNew = pNew->m_item;
    nm.ptDrag = pt;
    return SendTreeNotify(nm.hdr, nCode);
}

static UINT ActionOf(int nCause) { return nCause == 0 ? TVC_BYKEYBOARD : nCause == 1 ? TVC_BYMOUSE : TVC_UNKNOWN; }

LRESULT SECTreeBaseC::NotifySelChanging(int nRow, int nOldRow, int nCause)
{
    return NotifyTree(TVN_SELCHANGING, ActionOf(nCause), NodeOf(GetItemAtRow(nOldRow)), NodeOf(GetItemAtRow(nRow)));
}

void SECTreeBaseC::NotifySelChanged(int nRow, int nOldRow, int nCause)
{
    NotifyTree(TVN_SELCHANGED, ActionOf(nCause), NodeOf(GetItemAtRow(nOldRow)), NodeOf(GetItemAtRow(nRow)));
}

void SECTreeBaseC::NotifyBeginDrag(int nRow, CPoint pt)
{
    if (!(m_dwTreeStyle & TVS_DISABLEDRAGDROP))
        NotifyTree(TVN_BEGINDRAG, 0, nullptr, NodeOf(GetItemAtRow(nRow)), pt);
}

void SECTreeBaseC::NotifyBeginRightDrag(int nRow, CPoint pt)
{
    if (!(m_dwTreeStyle & TVS_DISABLEDRAGDROP))
        NotifyTree(TVN_BEGINRDRAG, 0, nullptr, NodeOf(GetItemAtRow(nRow)), pt);
}

LRESULT SECTreeBaseC::NotifyBeginLabelEdit(int nRow, int nSlot)
{
    if (nSlot != 0)
        return SECListBaseC::NotifyBeginLabelEdit(nRow, nSlot);
    _Node* node = NodeOf(GetItemAtRow(nRow));
    if (!node)
        return 1;
    TV_DISPINFO di{};
    di.item = node->m_item;
    di.item.mask = TVIF_TEXT;
    return SendTreeNotify(di.hdr, TVN_BEGINLABELEDIT);
}

LRESULT SECTreeBaseC::NotifyEndLabelEdit(int nRow, int nSlot, LPCSTR pszText)
{
    if (nSlot != 0)
        return SECListBaseC::NotifyEndLabelEdit(nRow, nSlot, pszText);
    _Node* node = NodeOf(GetItemAtRow(nRow));
    if (!node)
        return 0;
    char buffer[2048];
    SECListCopyText(buffer, sizeof buffer, pszText);
    TV_DISPINFO di{};
    di.item = node->m_item;
    di.item.mask = TVIF_TEXT;
    di.item.pszText = pszText ? buffer : nullptr;
    const LRESULT result = SendTreeNotify(di.hdr, TVN_ENDLABELEDIT);
    m_strEditReply = di.item.pszText ? di.item.pszText : "";
    return result;
}

LRESULT SECTreeBaseC::NotifyKeyDown(UINT nVirtKey)
{
    TV_KEYDOWN kd{};
    kd.wVKey = static_cast<WORD>(nVirtKey);
    return SendTreeNotify(kd.hdr, TVN_KEYDOWN);
}

// Rows go and come as the tree decides; the tree tells its parent about items itself.
LRESULT SECTreeBaseC::NotifyDeleteItem(int) { return 0; }

// ---------------------------------------------------------------- reading and writing items

BOOL SECTreeBaseC::GetItem(TV_ITEM* pItem, BOOL bNotify)
{
    if (!pItem)
        return FALSE;
    _Node* node = NodeOf(pItem->hItem);
    if (!node)
        return FALSE;
    const TV_ITEM& src = node->m_item;
    const UINT mask = pItem->mask;
    UINT ask = 0;
    if (mask & TVIF_TEXT) {
        if (node->IsCallbackText())
            ask |= TVIF_TEXT;
        else if (pItem->pszText && pItem->cchTextMax > 0)
            SECListCopyText(pItem->pszText, pItem->cchTextMax, src.pszText ? src.pszText : "");
        else
            pItem->pszText = src.pszText;
    }
    if (mask & TVIF_IMAGE) {
        pItem->iImage = src.iImage;
        if (src.iImage == I_IMAGECALLBACK)
            ask |= TVIF_IMAGE;
    }
    if (mask & TVIF_SELECTEDIMAGE) {
        pItem->iSelectedImage = src.iSelectedImage;
        if (src.iSelectedImage == I_IMAGECALLBACK)
            ask |= TVIF_SELECTEDIMAGE;
    }
    if (mask & TVIF_CHILDREN) {
        pItem->cChildren = src.cChildren;
        if (src.cChildren == -1)
            ask |= TVIF_CHILDREN;
    }
    if (mask & TVIF_STATE) {
        UINT state = src.state;
        const int row = FindRow(node);
        if (row >= 0) {
            state &= ~static_cast<UINT>(TVIS_SELECTED | TVIS_DROPHILITED);
            if (IsSelected(row))
                state |= TVIS_SELECTED;
            if (row == m_nDropHilite)
                state |= TVIS_DROPHILITED;
        }
        pItem->state = state & (pItem->stateMask ? pItem->stateMask : 0xFFFFFFFFu);
    }
    if (mask & TVIF_PARAM)
        pItem->lParam = src.lParam;
    if (ask && bNotify) {
        TV_DISPINFO di{};
        di.item = *pItem;
        di.item.mask = ask;
        di.item.hItem = pItem->hItem;
        di.item.lParam = src.lParam;
        char local[2048];
        if (ask & TVIF_TEXT) {
            local[0] = '\0';
            di.item.pszText = (pItem->pszText && pItem->cchTextMax > 0) ? pItem->pszText : local;
            di.item.cchTextMax = (pItem->pszText && pItem->cchTextMax > 0) ? pItem->cchTextMax : sizeof local;
            if (di.item.pszText == pItem->pszText)
                pItem->pszText[0] = '\0';
        }
        SendTreeNotify(di.hdr, TVN_GETDISPINFO);
        if (ask & TVIF_TEXT) {
            LPCSTR got = (di.item.pszText && di.item.pszText != LPSTR_TEXTCALLBACK) ? di.item.pszText : "";
            if (pItem->pszText && pItem->cchTextMax > 0) {
                if (got != pItem->pszText)
                    SECListCopyText(pItem->pszText, pItem->cchTextMax, got);
            } else {
                SECListCopyText(m_szTreeText, sizeof m_szTreeText, got);
                pItem->pszText = m_szTreeText;
            }
        }
        if (ask & TVIF_IMAGE)
            pItem->iImage = di.item.iImage;
        if (ask & TVIF_SELECTEDIMAGE)
            pItem->iSelectedImage = di.item.iSelectedImage;
        if (ask & TVIF_CHILDREN)
            pItem->cChildren = di.item.cChildren;
    }
    return TRUE;
}

void SECTreeBaseC::ApplyNodeItem(_Node* pNode, const TV_ITEM& item)
{
    TV_ITEM& dst = pNode->m_item;
    UINT collected = 0;
    if (item.mask & TVIF_CHILDREN) {
        if (dst.cChildren == -1 && item.cChildren != -1)
            collected |= TVIF_CHILDREN;
        else
            dst.cChildren = item.cChildren;
    }
    if (item.mask & TVIF_IMAGE) {
        if (dst.iImage == I_IMAGECALLBACK && item.iImage != I_IMAGECALLBACK)
            collected |= TVIF_IMAGE;
        else
            dst.iImage = item.iImage;
    }
    if (item.mask & TVIF_SELECTEDIMAGE) {
        if (dst.iSelectedImage == I_IMAGECALLBACK && item.iSelectedImage != I_IMAGECALLBACK)
            collected |= TVIF_SELECTEDIMAGE;
        else
            dst.iSelectedImage = item.iSelectedImage;
    }
    if (item.mask & TVIF_PARAM)
        dst.lParam = item.lParam;
    if (item.mask & TVIF_STATE)
        dst.state = (dst.state & ~item.stateMask) | (item.state & item.stateMask);
    if (item.mask & TVIF_TEXT) {
        if (item.pszText == LPSTR_TEXTCALLBACK)
            pNode->SetText(LPSTR_TEXTCALLBACK);
        else if (pNode->IsCallbackText())
            collected |= TVIF_TEXT;
        else
            pNode->SetText(item.pszText);
    }
    if (collected) {
        TV_DISPINFO di{};
        di.item = item;
        di.item.mask = collected;
        di.item.hItem = HandleOf(pNode);
        di.item.lParam = dst.lParam;
        SendTreeNotify(di.hdr, TVN_SETDISPINFO);
    }
}

BOOL SECTreeBaseC::SetItem(TV_ITEM* pItem)
{
    if (!pItem)
        return FALSE;
    _Node* node = NodeOf(pItem->hItem);
    if (!node)
        return FALSE;
    const int oldImage = node->m_item.iImage;
    const UINT oldState = node->m_item.state;
    ApplyNodeItem(node, *pItem);
    const int row = FindRow(node);
    if (row < 0)
        return TRUE;
    bool changed = false, drop = false;
    if (pItem->mask & TVIF_STATE) {
        const UINT mask = pItem->stateMask;
        LV_ITEM lvi{LVIF_STATE, row, 0, 0, 0, nullptr, 0, 0, 0};
        lvi.stateMask = mask & (LVIS_SELECTED | LVIS_DROPHILITED | TVIS_CUT);
        lvi.state = pItem->state & lvi.stateMask;
        if (lvi.stateMask)
            SECListBaseC::SetItem(lvi, TRUE);
        drop = (mask & TVIS_DROPHILITED) != 0;
        changed = drop || ((oldState ^ node->m_item.state) & (TVIS_OVERLAYMASK | TVIS_STATEIMAGEMASK | TVIS_BOLD));
    }
    if ((pItem->mask & TVIF_IMAGE) && oldImage != node->m_item.iImage)
        changed = true;
    if (pItem->mask & TVIF_TEXT)
        changed = true;
    if (changed && row != m_nEditRow) {
        DeferMeasure(row);
        RedrawItem(row, FALSE, FALSE, FALSE, drop);
    }
    return TRUE;
}

BOOL SECTreeBaseC::SetItem(const LV_ITEM& lvi, BOOL bUpdate)
{
    // A label the parent keeps (a callback) stays the parent's: it is told at the edit's end.
    if ((lvi.mask & LVIF_TEXT) && !(lvi.mask & LVIF_DI_SETITEM) && lvi.iSubItem == 0 && lvi.pszText != LPSTR_TEXTCALLBACK)
        if (_Node* node = NodeOf(GetItemAtRow(lvi.iItem)); node != nullptr && !node->IsCallbackText()) {
            TV_ITEM tvi{};
            tvi.mask = TVIF_TEXT;
            tvi.hItem = HandleOf(node);
            tvi.pszText = lvi.pszText;
            ApplyNodeItem(node, tvi);
        }
    return SECListBaseC::SetItem(lvi, bUpdate);
}

BOOL SECTreeBaseC::GetItem(LV_ITEM& lvi, BOOL bCopyText, BOOL bAskParent)
{
    _Node* node = lvi.iSubItem == 0 ? NodeOf(GetItemAtRow(lvi.iItem)) : nullptr;
    if (!node)
        return SECListBaseC::GetItem(lvi, bCopyText, bAskParent);
    TV_ITEM tvi{};
    tvi.hItem = HandleOf(node);
    tvi.mask = TVIF_STATE;
    tvi.stateMask = 0xFFFFFFFFu;
    if (lvi.mask & LVIF_TEXT) {
        tvi.mask |= TVIF_TEXT;
        if (bCopyText) {
            tvi.pszText = lvi.pszText;
            tvi.cchTextMax = lvi.cchTextMax;
        }
    }
    if (lvi.mask & LVIF_IMAGE)
        tvi.mask |= TVIF_IMAGE;
    GetItem(&tvi, bAskParent);
    if (lvi.mask & LVIF_TEXT)
        lvi.pszText = tvi.pszText;
    if (lvi.mask & LVIF_IMAGE)
        lvi.iImage = tvi.iImage;
    if (lvi.mask & LVIF_STATE) {
        UINT state = tvi.state & ~static_cast<UINT>(TVIS_EXPANDED | TVIS_BOLD);
        if (m_nFocus == lvi.iItem)
            state |= LVIS_FOCUSED;
        // The list-level states are inherited from every ancestor.
        for (const _Node* p = node; p; p = static_cast<const _Node*>(p->GetParent()))
            state |= p->m_nListState & (SEC_TVIS_LIST100 | SEC_TVIS_HIDDEN);
        lvi.state = state & lvi.stateMask;
    }
    lvi.lParam = reinterpret_cast<LPARAM>(node);
    return TRUE;
}

BOOL SECTreeBaseC::NeedsDispInfo(int nRow) const
{
    const _Node* node = NodeOf(GetItemAtRow(nRow));
    if (!node)
        return FALSE;
    const TV_ITEM& it = node->m_item;
    if (node->IsCallbackText() || it.iImage == I_IMAGECALLBACK || it.iSelectedImage == I_IMAGECALLBACK ||
        it.cChildren == -1)
        return TRUE;
    return SECListBaseC::NeedsDispInfo(nRow) && !m_pSubItemTexts && GetColumnCount() > 1;
}

BOOL SECTreeBaseC::NotifyGetDispInfo(LV_ITEM& item)
{
    if (m_pSubItemTexts && item.iSubItem != 0 && (item.mask & LVIF_TEXT)) {
        const auto key = reinterpret_cast<UINT_PTR>(GetItemAtRow(item.iItem));
        m_pSubItemTexts->GetSubItemText(key, item.iSubItem, item.pszText, item.cchTextMax);
        return TRUE;
    }
    return SECListBaseC::NotifyGetDispInfo(item);
}

void SECTreeBaseC::NotifySetDispInfo(const LV_ITEM& item)
{
    if (m_pSubItemTexts && item.iSubItem != 0 && (item.mask & LVIF_TEXT)) {
        m_pSubItemTexts->SetSubItemText(reinterpret_cast<UINT_PTR>(GetItemAtRow(item.iItem)), item.iSubItem,
                                        item.pszText);
        return;
    }
    SECListBaseC::NotifySetDispInfo(item);
}

CString SECTreeBaseC::GetItemText(HTREEITEM hItem, int nCol)
{
    if (!NodeOf(hItem))
        return CString();
    if (nCol == 0) {
        TV_ITEM tvi{};
        tvi.hItem = hItem;
        tvi.mask = TVIF_TEXT | TVIF_HANDLE;
        tvi.pszText = m_szTextBuffer;
        tvi.cchTextMax = sizeof m_szTextBuffer;
        m_szTextBuffer[0] = '\0';
        GetItem(&tvi, TRUE);
        return CString(tvi.pszText ? tvi.pszText : "");
    }
    if (m_pSubItemTexts) {
        m_pSubItemTexts->GetSubItemText(reinterpret_cast<UINT_PTR>(hItem), nCol, m_szTextBuffer, sizeof m_szTextBuffer);
        return CString(m_szTextBuffer);
    }
    CString str;
    const int row = GetItemRow(hItem);
    if (row >= 0)
        GetCellText(str, row, GetColumnSubItem(nCol));
    return str;
}

BOOL SECTreeBaseC::SetItemText(HTREEITEM hItem, int nCol, LPCSTR pszText)
{
    if (!NodeOf(hItem))
        return FALSE;
    if (nCol == 0) {
        TV_ITEM tvi{};
        tvi.hItem = hItem;
        tvi.mask = TVIF_TEXT | TVIF_HANDLE;
        tvi.pszText = const_cast<LPSTR>(pszText);
        return SetItem(&tvi);
    }
    if (m_pSubItemTexts) {
        if (nCol > GetColumnCount())
            return FALSE;
        m_pSubItemTexts->SetSubItemText(reinterpret_cast<UINT_PTR>(hItem), nCol, pszText);
        const int row = GetItemRow(hItem);
        if (row >= 0)
            RemeasureItem(row);
        return TRUE;
    }
    const int row = GetItemRow(hItem);
    return row >= 0 && SECListBaseC::SetItemText(row, GetColumnSubItem(nCol), pszText);
}

void SECTreeBaseC::EnableSubItemTexts(BOOL bEnable)
{
    if (bEnable && !m_pSubItemTexts)
        m_pSubItemTexts = std::make_unique<SECSubItemTextStorage>();
    else if (!bEnable)
        m_pSubItemTexts.reset();
}

BOOL SECTreeBaseC::SetItemState(HTREEITEM hItem, UINT nState, UINT nMask)
{
    TV_ITEM tvi{};
    tvi.hItem = hItem;
    tvi.mask = TVIF_HANDLE | TVIF_STATE;
    tvi.state = nState;
    tvi.stateMask = nMask;
    return SetItem(&tvi);
}

UINT SECTreeBaseC::GetItemState(HTREEITEM hItem, UINT nMask)
{
    TV_ITEM tvi{};
    tvi.hItem = hItem;
    tvi.mask = TVIF_HANDLE | TVIF_STATE;
    tvi.stateMask = nMask;
    return GetItem(&tvi, TRUE) ? tvi.state & nMask : 0;
}

BOOL SECTreeBaseC::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
{
    TV_ITEM tvi{};
    tvi.hItem = hItem;
    tvi.mask = TVIF_HANDLE | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    tvi.iImage = nImage;
    tvi.iSelectedImage = nSelectedImage;
    return SetItem(&tvi);
}

DWORD_PTR SECTreeBaseC::GetItemData(HTREEITEM hItem) const
{
    const _Node* node = NodeOf(hItem);
    return node ? static_cast<DWORD_PTR>(node->m_item.lParam) : 0;
}

BOOL SECTreeBaseC::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
    TV_ITEM tvi{};
    tvi.hItem = hItem;
    tvi.mask = TVIF_HANDLE | TVIF_PARAM;
    tvi.lParam = static_cast<LPARAM>(dwData);
    return SetItem(&tvi);
}

int SECTreeBaseC::CompareItems(HTREEITEM hItem1, HTREEITEM hItem2)
{
    const CString a = GetItemText(hItem1);
    return a.CompareNoCase(GetItemText(hItem2));
}

// ---------------------------------------------------------------- navigation

HTREEITEM SECTreeBaseC::GetRootItem(HTREEITEM hItem) const
{
    // From an item, climb to its top-level ancestor; either way the answer is the first
    // top-level item.
    const SECTreeNode* p = NodeOf(hItem);
    while (p && p->GetParent() && p->GetParent() != m_pRoot.get())
        p = p->GetParent();
    return HandleOf(m_pRoot->GetFirstChild());
}

HTREEITEM SECTreeBaseC::GetParentItem(HTREEITEM hItem) const
{
    const _Node* node = NodeOf(hItem);
    if (!node || node->GetParent() == m_pRoot.get())
        return nullptr;
    return HandleOf(node->GetParent());
}

HTREEITEM SECTreeBaseC::GetChildItem(HTREEITEM hItem) const
{
    const SECTreeNode* node = IsRootHandle(hItem) ? m_pRoot.get() : NodeOf(hItem);
    return node ? HandleOf(node->GetFirstChild()) : nullptr;
}

HTREEITEM SECTreeBaseC::GetNextSiblingItem(HTREEITEM hItem) const
{
    const _Node* node = NodeOf(hItem);
    return node ? HandleOf(node->GetNextSibling()) : nullptr;
}

HTREEITEM SECTreeBaseC::GetPrevSiblingItem(HTREEITEM hItem) const
{
    const _Node* node = NodeOf(hItem);
    return node ? HandleOf(node->GetPrevSibling()) : nullptr;
}

HTREEITEM SECTreeBaseC::GetNextItemInPreorder(HTREEITEM hItem) const
{
    const _Node* node = NodeOf(hItem);
    return node ? HandleOf(node->GetNextInPreorder()) : nullptr;
}

HTREEITEM SECTreeBaseC::GetPrevItemInPreorder(HTREEITEM hItem) const
{
    const _Node* node = NodeOf(hItem);
    if (!node)
        return nullptr;
    const SECTreeNode* prev = node->GetPrevInPreorder();
    return prev == m_pRoot.get() ? nullptr : HandleOf(prev);
}

BOOL SECTreeBaseC::ItemHasChildren(HTREEITEM hItem) const
{
    const SECTreeNode* node = IsRootHandle(hItem) ? m_pRoot.get() : NodeOf(hItem);
    return node && node->GetFirstChild() != nullptr;
}

int SECTreeBaseC::GetItemDepth(HTREEITEM hItem) const
{
    const _Node* node = NodeOf(hItem);
    return node ? node->GetDepth() : 0;
}

BOOL SECTreeBaseC::ReportsChildren(_Node* pNode)
{
    if (pNode->GetFirstChild())
        return TRUE;
    if (pNode->m_item.cChildren == -1) {
        TV_ITEM tvi{};
        tvi.hItem = HandleOf(pNode);
        tvi.mask = TVIF_CHILDREN;
        GetItem(&tvi, TRUE);
        return tvi.cChildren > 0;
    }
    return pNode->m_item.cChildren > 0;
}

// ---------------------------------------------------------------- inserting

HTREEITEM SECTreeBaseC::InsertItem(LPCSTR pszText, int nImage, int nSelectedImage, HTREEITEM hParent,
                                   HTREEITEM hInsertAfter)
{
    TV_INSERTSTRUCT ins{};
    ins.hParent = hParent;
    ins.hInsertAfter = hInsertAfter;
    ins.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    ins.item.pszText = const_cast<LPSTR>(pszText);
    ins.item.iImage = nImage;
    ins.item.iSelectedImage = nSelectedImage;
    return InsertItem(&ins);
}

HTREEITEM SECTreeBaseC::InsertItem(LPCSTR pszText, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    return InsertItem(pszText, SEC_TREE_NOIMAGE, SEC_TREE_NOIMAGE, hParent, hInsertAfter);
}

HTREEITEM SECTreeBaseC::InsertItem(const TV_INSERTSTRUCT* pInsert)
{
    if (!pInsert)
        return nullptr;
    if (!m_pRoot)
        ResetRoot();
    _Node* parent = IsRootHandle(pInsert->hParent) ? m_pRoot.get() : NodeOf(pInsert->hParent);
    std::unique_ptr<_Node> node(CreateNode());
    node->m_item.hItem = HandleOf(node.get());
    TV_ITEM item = pInsert->item;
    item.mask &= ~static_cast<UINT>(TVIF_STATE);   // the expanded bit is decided below
    ApplyNodeItem(node.get(), item);
    if (pInsert->item.mask & TVIF_STATE)
        node->m_item.state = pInsert->item.state & pInsert->item.stateMask & ~static_cast<UINT>(TVIS_EXPANDED);

    // Where among the parent's children.
    const HTREEITEM after = pInsert->hInsertAfter;
    SECTreeNode* pos = SECTreeNode::kLast;
    if (after == TVI_FIRST) {
        pos = SECTreeNode::kFirst;
    } else if (after == TVI_SORT || after == TVI_SORTDESCENDING) {
        const bool descending = after == TVI_SORTDESCENDING;
        const CString label = node->IsCallbackText() ? CString() : node->m_strText;
        SECTreeNode* prev = nullptr;
        SECTreeNode* c = parent->GetFirstChild();
        for (; c; prev = c, c = c->GetNextSibling()) {
            const int cmp = GetItemText(HandleOf(c)).CompareNoCase(label);
            if (descending ? cmp < 0 : cmp > 0)
                break;
        }
        pos = c ? (prev ? prev : SECTreeNode::kFirst) : SECTreeNode::kLast;
    } else if (!IsRootHandle(after) && after != TVI_LAST && parent->GetFirstChild()) {
        pos = NodeOf(after);
    }
    if (!parent->AddChild(node.get(), pos))
        return nullptr;   // the node to follow is not a child of this parent: nothing is shown
    _Node* added = node.release();
    const bool expanded = (pInsert->item.mask & TVIF_STATE) && (pInsert->item.state & TVIS_EXPANDED) &&
                          (pInsert->item.stateMask & TVIS_EXPANDED);
    added->SetExpanded(expanded);

    if (IsVisibleNode(added)) {
        int row = 0;
        if (!(parent == m_pRoot.get() && !added->GetPrevSibling())) {
            // One below the nearest visible item before it in pre-order.
            SECTreeNode* s = added->GetPrevSibling();
            while (s && (static_cast<_Node*>(s)->m_nListState & SEC_TVIS_HIDDEN))
                s = s->GetPrevSibling();
            _Node* before = static_cast<_Node*>(s ? s : parent);
            while (s && before->IsExpanded()) {
                SECTreeNode* c = before->GetLastChild();
                while (c && (static_cast<_Node*>(c)->m_nListState & SEC_TVIS_HIDDEN))
                    c = c->GetPrevSibling();
                if (!c)
                    break;
                before = static_cast<_Node*>(c);
            }
            row = before == m_pRoot.get() ? 0 : FindRow(before) + 1;
        }
        std::vector<std::unique_ptr<SECListItem>> rows;
        rows.push_back(MakeRow(added));
        InsertItemRecords(row, rows);
        m_nRowHint = row;
    }
    if (m_bAutoUpdate && m_hWnd) {
        RecalcLayout();
        Invalidate(TRUE);
    }
    return HandleOf(added);
}

// ---------------------------------------------------------------- deleting

BOOL SECTreeBaseC::DeleteLeaf(_Node* pLeaf)
{
    if (pLeaf->GetFirstChild())
        return FALSE;
    pLeaf->Unlink();
    if (m_hWnd) {
        NM_TREEVIEW nm{};
        nm.itemOld.mask = TVIF_HANDLE | TVIF_PARAM;
        nm.itemOld.hItem = HandleOf(pLeaf);
        nm.itemOld.lParam = pLeaf->m_item.lParam;
        SendTreeNotify(nm.hdr, TVN_DELETEITEM);
    }
    if (m_pSubItemTexts)
        m_pSubItemTexts->RemoveSubItemTexts(reinterpret_cast<UINT_PTR>(pLeaf));
    delete pLeaf;
    return TRUE;
}

BOOL SECTreeBaseC::DeleteItem(HTREEITEM hItem)
{
    if (hItem == TVI_ROOT || (m_pRoot && hItem == HandleOf(m_pRoot.get()))) {
        while (SECTreeNode* first = m_pRoot->GetFirstChild())
            DeleteLeaf(static_cast<_Node*>(first->GetFirstLeaf()));
        SECListBaseC::DeleteAllItems();
        ResetRoot();
        if (m_hWnd)
            Invalidate(TRUE);
        return TRUE;
    }
    _Node* node = NodeOf(hItem);
    if (!node)
        return FALSE;
    // The item's rows go in one run; then its nodes, leaves first, each with its notice.
    const int row = FindRow(node);
    if (row >= 0)
        DeleteItems(row, CountSubtreeRows(node, row) + 1);
    while (SECTreeNode* first = node->GetFirstChild())
        DeleteLeaf(static_cast<_Node*>(first->GetFirstLeaf()));
    DeleteLeaf(node);
    if (m_bAutoUpdate && m_hWnd) {
        RecalcLayout();
        Invalidate(TRUE);
    }
    return TRUE;
}

BOOL SECTreeBaseC::DeleteAllItems() { return DeleteItem(TVI_ROOT); }

// ---------------------------------------------------------------- expanding

BOOL SECTreeBaseC::Expand(HTREEITEM hItem, UINT nCode, BOOL bRedraw)
{
    _Node* node = NodeOf(hItem);
    if (!node)
        return FALSE;
    if (!ReportsChildren(node))
        return TRUE;
    RECT insideBefore;
    GetInsideRect(insideBefore);
    UINT action = nCode;
    if ((nCode & 0x3) == TVE_TOGGLE)
        action = node->IsExpanded() ? TVE_COLLAPSE : TVE_EXPAND;
    if (NotifyTree(TVN_ITEMEXPANDING, action, nullptr, node) == 1)
        return FALSE;
    // The row is looked up only when something is to change: opening an open item (as every
    // insert-and-open of a fill does) must not walk the rows.
    if ((action & 0x3) == TVE_EXPAND && node->IsExpanded())
        return TRUE;
    const int row = FindRow(node);
    if ((action & 0x3) == TVE_EXPAND) {
        if (node->IsExpanded())
            return TRUE;
        if (!node->GetFirstChild())
            return FALSE;
        node->SetExpanded(TRUE);
        // An item without a row (an ancestor is closed) only changes its flag: its rows come
        // when an ancestor that has a row opens.
        if (row >= 0) {
            std::vector<std::unique_ptr<SECListItem>> rows;
            CollectVisibleRows(node, rows);
            InsertItemRecords(row + 1, rows);
        }
    } else if (action & TVE_COLLAPSE) {
        if (node->IsExpanded()) {
            _Node* caret = NodeOf(GetItemAtRow(m_nFocus));
            if (caret && caret->IsDescendantOf(node) && row >= 0) {
                NotifyTree(TVN_SELCHANGING, TVC_BYMOUSE, caret, node);
                SelectFocusItem(row, TRUE);
                NotifyTree(TVN_SELCHANGED, TVC_BYMOUSE, caret, node);
            }
            node->SetExpanded(FALSE);
            if (row >= 0) {
                const int count = CountSubtreeRows(node, row);
                for (int r = row + 1; r <= row + count; ++r)
                    if (IsSelected(r))
                        RemoveFromSelection(r);
                if (count > 0)
                    DeleteItems(row + 1, count);
            }
        }
        if (action & TVE_COLLAPSERESET) {
            while (SECTreeNode* first = node->GetFirstChild())
                DeleteLeaf(static_cast<_Node*>(first->GetFirstLeaf()));
        }
    }
    NotifyTree(TVN_ITEMEXPANDED, action, nullptr, node);
    if (bRedraw && m_hWnd) {
        if ((action & 0x3) == TVE_EXPAND && node->GetLastChild() && row >= 0)
            EnsureVisible(HandleOf(node->GetLastChild()), TRUE);
        RecalcLayout();
        RECT insideAfter;
        GetInsideRect(insideAfter);
        if (!::EqualRect(&insideBefore, &insideAfter) || row < 0)
            Invalidate(TRUE);
        else
            RedrawItem(row, FALSE, TRUE, TRUE);
    }
    return TRUE;
}

BOOL SECTreeBaseC::ExpandAll(HTREEITEM hItem, UINT nCode)
{
    _Node* node = IsRootHandle(hItem) ? nullptr : NodeOf(hItem);
    SECTreeNode* start = node ? static_cast<SECTreeNode*>(node) : m_pRoot.get();
    // Every node of the subtree, parents before children, without redrawing each.
    std::vector<_Node*> order;
    if (node)
        order.push_back(node);
    for (SECTreeNode* p = start->GetFirstChild(); p && p != start; p = p->GetNextInPreorder()) {
        if (!p->IsDescendantOf(start))
            break;
        order.push_back(static_cast<_Node*>(p));
    }
    for (_Node* n : order)
        if (n->GetFirstChild())
            Expand(HandleOf(n), nCode, FALSE);
    if (m_hWnd) {
        RecalcLayout();
        Invalidate(TRUE);
    }
    return TRUE;
}

// ---------------------------------------------------------------- selecting and showing

BOOL SECTreeBaseC::EnsureVisible(HTREEITEM hItem, BOOL bWithParent)
{
    _Node* node = NodeOf(hItem);
    if (!node)
        return FALSE;
    if (FindRow(node) < 0) {
        for (auto* p = static_cast<_Node*>(node->GetParent()); p && p != m_pRoot.get();
             p = static_cast<_Node*>(p->GetParent()))
            if (!p->IsExpanded() && !Expand(HandleOf(p), TVE_EXPAND, FALSE))
                return FALSE;
        RecalcLayout();
        if (m_hWnd)
            Invalidate(TRUE);
    }
    const int row = FindRow(node);
    if (row < 0)
        return FALSE;
    if (bWithParent) {
        const int parentRow = FindRow(static_cast<_Node*>(node->GetParent()));
        return parentRow >= 0 ? EnsureRangeVisible(parentRow, row) : SECListBaseC::EnsureVisible(row, FALSE);
    }
    return SECListBaseC::EnsureVisible(row, FALSE);
}

BOOL SECTreeBaseC::SelectItem(HTREEITEM hItem)
{
    _Node* node = NodeOf(hItem);
    if (!node)
        return FALSE;
    EnsureVisible(hItem);
    const int row = FindRow(node);
    if (row < 0)
        return FALSE;
    if (NotifyTree(TVN_SELCHANGING, TVC_UNKNOWN, NodeOf(GetItemAtRow(m_nFocus)), node) != 0)
        return FALSE;
    const int old = m_nFocus;
    SECListBaseC::SelectItem(row, TRUE);
    NotifyTree(TVN_SELCHANGED, TVC_UNKNOWN, NodeOf(GetItemAtRow(old)), node);
    if (!(m_dwTreeStyleEx & TVXS_MULTISEL))
        Select(hItem, TVGN_CARET);
    return TRUE;
}

HTREEITEM SECTreeBaseC::GetSelectedItem() const { return GetItemAtRow(m_nFocus); }

BOOL SECTreeBaseC::Select(HTREEITEM hItem, UINT nCode)
{
    switch (nCode) {
    case TVGN_CARET: {
        _Node* node = NodeOf(hItem);
        if (!node || !EnsureVisible(hItem))
            return FALSE;
        const int row = FindRow(node);
        if (row == m_nFocus)
            return TRUE;
        _Node* old = NodeOf(GetItemAtRow(m_nFocus));
        if (NotifyTree(TVN_SELCHANGING, TVC_UNKNOWN, old, node) != 0)
            return FALSE;
        SetFocusItem(row);
        NotifyTree(TVN_SELCHANGED, TVC_UNKNOWN, old, node);
        return TRUE;
    }
    case TVGN_DROPHILITE:
        return SelectDropTarget(hItem);
    case TVGN_FIRSTVISIBLE:
        return SelectSetFirstVisible(hItem);
    default:
        return FALSE;
    }
}

BOOL SECTreeBaseC::SelectDropTarget(HTREEITEM hItem)
{
    if (!NodeOf(hItem))
        return SetDropHighlightItem(-1);
    EnsureVisible(hItem);
    const int row = GetItemRow(hItem);
    return row >= 0 && SetDropHighlightItem(row);
}

BOOL SECTreeBaseC::SelectSetFirstVisible(HTREEITEM hItem)
{
    if (!EnsureVisible(hItem))
        return FALSE;
    return SetTopIndex(GetItemRow(hItem));
}

BOOL SECTreeBaseC::EditLabel(HTREEITEM hItem, int nCol)
{
    const int row = GetItemRow(hItem);
    if (!HasStyle(LVXS_EDITLABELS) || row < 0)
        return FALSE;
    return SECListBaseC::EditLabel(row, nCol) != nullptr;
}

// ---------------------------------------------------------------- styles

DWORD SECTreeBaseC::GetTreeStyle() const
{
    DWORD style = m_dwTreeStyle;
    if (HasStyle(LVXS_EDITLABELS))
        style |= TVS_EDITLABELS;
    if (HasStyle(LVXS_SHOWSELALWAYS))
        style |= TVS_SHOWSELALWAYS;
    return style;
}

BOOL SECTreeBaseC::SetTreeStyle(DWORD dwStyle, BOOL bRedraw)
{
    m_dwTreeStyle = dwStyle & 0x17;
    if (m_dwTreeStyle & TVS_DISABLEDRAGDROP)
        m_bDragArmed = FALSE;   // a drag that was armed will not start
    DWORD list = m_dwListStyle;
    list = (dwStyle & TVS_EDITLABELS) ? (list | LVXS_EDITLABELS) : (list & ~static_cast<DWORD>(LVXS_EDITLABELS));
    list = (dwStyle & TVS_SHOWSELALWAYS) ? (list | LVXS_SHOWSELALWAYS)
                                         : (list & ~static_cast<DWORD>(LVXS_SHOWSELALWAYS));
    return SetListStyle(list, bRedraw);
}

BOOL SECTreeBaseC::ModifyTreeStyle(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw)
{
    return SetTreeStyle((GetTreeStyle() & ~dwRemove) | dwAdd, bRedraw);
}

void SECTreeBaseC::ApplyTreeStyleExToList(BOOL bRedraw)
{
    const DWORD ex = m_dwTreeStyleEx;
    DWORD list = m_dwListStyle;
    auto put = [&list](bool on, DWORD bit) { list = on ? (list | bit) : (list & ~bit); };
    put(!(ex & TVXS_MULTISEL), LVXS_SINGLESEL);
    put(!(ex & TVXS_WORDWRAP), LVXS_HEIGHT_INDEPENDENT);
    put(!(ex & TVXS_COLUMNHEADER), LVXS_NOHEADER);
    DWORD listEx = m_dwListStyleEx;
    listEx = (ex & TVXS_FLYBYTOOLTIPS) ? (listEx | LVXS_EX_FLAG100000) : (listEx & ~static_cast<DWORD>(LVXS_EX_FLAG100000));
    if ((list & LVXS_SINGLESEL) && GetSelectedCount() > 1)
        DeselectAllExcept(-1);
    SetStyles(list, listEx, bRedraw);
}

BOOL SECTreeBaseC::SetTreeStyleEx(DWORD dwExStyle, BOOL bRedraw)
{
    m_dwTreeStyleEx = dwExStyle;
    ApplyTreeStyleExToList(bRedraw);
    return TRUE;
}

BOOL SECTreeBaseC::ModifyTreeStyleEx(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw)
{
    return SetTreeStyleEx((m_dwTreeStyleEx & ~dwRemove) | dwAdd, bRedraw);
}

BOOL SECTreeBaseC::ModifyTreeStyles(DWORD dwRemove, DWORD dwAdd, DWORD dwRemoveEx, DWORD dwAddEx, BOOL bRedraw)
{
    return ModifyTreeStyle(dwRemove, dwAdd, FALSE) && ModifyTreeStyleEx(dwRemoveEx, dwAddEx, bRedraw);
}

void SECTreeBaseC::SetMultipleSelection(BOOL bMultiple)
{
    ModifyTreeStyleEx(bMultiple ? 0 : TVXS_MULTISEL, bMultiple ? TVXS_MULTISEL : 0);
}

void SECTreeBaseC::SetHeightIndependent(BOOL bDependent)
{
    ModifyTreeStyleEx(bDependent ? 0 : TVXS_WORDWRAP, bDependent ? TVXS_WORDWRAP : 0);
}

void SECTreeBaseC::ShowHeader(BOOL bShow)
{
    ModifyTreeStyleEx(bShow ? 0 : TVXS_COLUMNHEADER, bShow ? TVXS_COLUMNHEADER : 0);
}

void SECTreeBaseC::SetStyleEx100000(BOOL bSet)
{
    ModifyTreeStyleEx(bSet ? 0 : TVXS_FLYBYTOOLTIPS, bSet ? TVXS_FLYBYTOOLTIPS : 0);
}

void SECTreeBaseC::SetIndent(UINT nIndent)
{
    m_nIndent = static_cast<int>((nIndent + 1) & ~1u);
    RemeasureAll();
    if (m_hWnd)
        Invalidate(TRUE);
}

CImageList* SECTreeBaseC::SetImageList(CImageList* pList, int nKind)
{
    CImageList* old = SECListBaseC::SetImageList(pList, nKind);
    if (pList && nKind == LVSIL_NORMAL && pList->GetImageCount() > 0) {
        IMAGEINFO info{};
        if (pList->GetImageInfo(0, &info)) {
            const int cx = info.rcImage.right - info.rcImage.left;
            if (cx > m_nIndent)
                m_nIndent = (cx + 1) & ~1;
        }
    }
    RemeasureAll();
    return old;
}

// ---------------------------------------------------------------- keys

void SECTreeBaseC::OnKeyLeft(int nRow, int, BOOL, BOOL, UINT, UINT)
{
    _Node* node = NodeOf(GetItemAtRow(nRow));
    if (!node)
        return;
    if (node->IsExpanded() && ReportsChildren(node)) {
        Expand(HandleOf(node), TVE_COLLAPSE, TRUE);
        return;
    }
    if (node->GetParent() == m_pRoot.get())
        return;
    const HTREEITEM parent = HandleOf(node->GetParent());
    DeselectAllExcept(-1);
    const int row = GetItemRow(parent);
    if (row >= 0 && SelectByUser(row, 0x46, 0, FALSE))
        SECListBaseC::EnsureVisible(row, FALSE);
}

void SECTreeBaseC::OnKeyBack(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags)
{
    OnKeyLeft(nRow, nSlot, bShift, bCtrl, nRepCnt, nFlags);
}

void SECTreeBaseC::OnKeyRight(int nRow, int, BOOL, BOOL, UINT, UINT)
{
    _Node* node = NodeOf(GetItemAtRow(nRow));
    if (!node)
        return;
    if (node->IsExpanded() && node->GetFirstChild()) {
        DeselectAllExcept(-1);
        const int row = GetItemRow(HandleOf(node->GetFirstChild()));
        if (row >= 0 && SelectByUser(row, 0x46, 0, FALSE))
            SECListBaseC::EnsureVisible(row, FALSE);
    } else if (ReportsChildren(node)) {
        Expand(HandleOf(node), TVE_EXPAND, TRUE);
    }
}

void SECTreeBaseC::OnKeyMultiply(int nRow, int, BOOL, BOOL, UINT, UINT)
{
    if (HTREEITEM h = GetItemAtRow(nRow))
        ExpandAll(h);
}

// ---------------------------------------------------------------- SECTreeCtrl

IMPLEMENT_DYNAMIC(SECTreeCtrl, SECListCtrl)

BEGIN_MESSAGE_MAP(SECTreeCtrl, SECListCtrl)
    ON_WM_DESTROY()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

void SECTreeCtrl::OnDestroy()
{
    DeleteAllItems();
    SECListCtrl::OnDestroy();
}

void SECTreeCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (::GetFocus() != m_hWnd)
        SetFocus();
    UINT flags = 0;
    HTREEITEM hit = HitTest(point, &flags);
    if (hit && (flags & TVHT_ONITEMBUTTON)) {
        Expand(hit, TVE_TOGGLE, TRUE);
        return;
    }
    SECListCtrl::OnLButtonDown(nFlags, point);
}

void SECTreeCtrl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    SECListCtrl::OnLButtonDblClk(nFlags, point);
    if (nFlags & (MK_SHIFT | MK_CONTROL))
        return;
    UINT flags = 0;
    HTREEITEM hit = HitTest(point, &flags);
    if (hit && (flags & (TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMBUTTON)))
        Expand(hit, TVE_TOGGLE, TRUE);
}

void AFXAPI DDX_TreeCtrl(CDataExchange* pDX, int nIDC, SECTreeCtrl& rControl)
{
    if (rControl.m_hWnd)
        return;
    CWnd* dialog = pDX->m_pDlgWnd;
    HWND item = dialog ? ::GetDlgItem(dialog->m_hWnd, nIDC) : nullptr;
    if (!item)
        pDX->Fail();
    const DWORD style = static_cast<DWORD>(::GetWindowLong(item, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLong(item, GWL_EXSTYLE));
    RECT rc;
    ::GetWindowRect(item, &rc);
    ::MapWindowPoints(nullptr, dialog->m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
    HWND after = ::GetWindow(item, GW_HWNDPREV);   // the window before it keeps its place in front
    ::DestroyWindow(item);
    if (!rControl.Create(style, exStyle | TVXS_FLYBYTOOLTIPS, rc, dialog, static_cast<UINT>(nIDC)))
        pDX->Fail();
    ::SetWindowPos(rControl.m_hWnd, after ? after : HWND_TOP, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}
