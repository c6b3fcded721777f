// SECTreeBaseC / SECTreeCtrl: the tree built on the owner-drawn list. Every visible item is one
// list row, in pre-order; the tree keeps the hierarchy, expansion, indentation, lines and buttons
// and the tree notifications, and the list does the rest.
#pragma once

#include <memory>
#include <vector>

#include "platform/core/CString.h"
#include "toolkit/controls/SECListCtrl.h"
#include "toolkit/controls/SECListPaintContext.h"
#include "toolkit/controls/SECTreeNode.h"
#include "toolkit/controls/TreeDefs.h"

class CDataExchange;
class SECSubItemTextStorage;

// The tree's paint context: the list's, with the item's record.
struct SECTreePaintContext : SECListPaintContext {
    explicit SECTreePaintContext(CDC* pDC) : SECListPaintContext(pDC) {}
    TV_ITEM tvi{};
};

class SECTreeBaseC : public SECListCtrl {
public:
    // One item: the node links, the item record and its owned text.
    class _Node : public SECTreeNodeX {
    public:
        _Node();
        ~_Node() override = default;
        BOOL IsExpanded() const override { return (m_item.state & TVIS_EXPANDED) != 0; }
        void SetExpanded(BOOL b) override
        {
            m_item.state = b ? (m_item.state | TVIS_EXPANDED) : (m_item.state & ~static_cast<UINT>(TVIS_EXPANDED));
        }
        void SetText(LPCSTR psz);
        BOOL IsCallbackText() const { return m_item.pszText == LPSTR_TEXTCALLBACK; }

        TV_ITEM m_item{};
        UINT m_nListState = 0;   // list-level states 0x100 and 0x200
        CString m_strText;       // what pszText points at when the text is owned
    };

    SECTreeBaseC();
    ~SECTreeBaseC() override;

    // ---- Creation ----
    using SECListBaseC::Create;
    BOOL Create(DWORD dwStyle, DWORD dwExStyle, const RECT& rect, CWnd* pParent, UINT nID,
                void* pParam = nullptr) override;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID) override;
    void SplitCreateStyles(CREATESTRUCT& cs) override;

    // ---- Items ----
    HTREEITEM InsertItem(LPCSTR pszText, int nImage = SEC_TREE_NOIMAGE, int nSelectedImage = SEC_TREE_NOIMAGE,
                         HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    HTREEITEM InsertItem(LPCSTR pszText, HTREEITEM hParent, HTREEITEM hInsertAfter = TVI_LAST);
    virtual HTREEITEM InsertItem(const TV_INSERTSTRUCT* pInsert);
    virtual BOOL DeleteItem(HTREEITEM hItem);
    BOOL DeleteAllItems() override;
    virtual BOOL GetItem(TV_ITEM* pItem, BOOL bNotify = TRUE);
    virtual BOOL SetItem(TV_ITEM* pItem);
    CString GetItemText(HTREEITEM hItem, int nCol = 0);
    BOOL SetItemText(HTREEITEM hItem, int nCol, LPCSTR pszText);
    BOOL SetItemText(HTREEITEM hItem, LPCSTR pszText) { return SetItemText(hItem, 0, pszText); }
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nMask);
    UINT GetItemState(HTREEITEM hItem, UINT nMask);
    BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
    virtual int CompareItems(HTREEITEM hItem1, HTREEITEM hItem2);
    // Sub-item texts kept by the tree per item instead of in the rows.
    void EnableSubItemTexts(BOOL bEnable);

    // ---- Navigation ----
    HTREEITEM GetRootItem(HTREEITEM hItem = nullptr) const;
    HTREEITEM GetParentItem(HTREEITEM hItem) const;
    HTREEITEM GetChildItem(HTREEITEM hItem) const;
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const;
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const;
    HTREEITEM GetNextItemInPreorder(HTREEITEM hItem) const;
    HTREEITEM GetPrevItemInPreorder(HTREEITEM hItem) const;
    BOOL ItemHasChildren(HTREEITEM hItem) const;
    int GetItemDepth(HTREEITEM hItem) const;
    // The row showing an item, -1 when it has none.
    int GetItemRow(HTREEITEM hItem) const;
    HTREEITEM GetItemAtRow(int nRow) const;

    // ---- Expanding, selecting, showing ----
    virtual BOOL Expand(HTREEITEM hItem, UINT nCode, BOOL bRedraw = TRUE);
    virtual BOOL ExpandAll(HTREEITEM hItem, UINT nCode = TVE_EXPAND);
    virtual BOOL SelectItem(HTREEITEM hItem);
    HTREEITEM GetSelectedItem() const;
    HTREEITEM GetCaretItem() const { return GetSelectedItem(); }
    virtual BOOL Select(HTREEITEM hItem, UINT nCode);
    BOOL SelectDropTarget(HTREEITEM hItem);
    BOOL SelectSetFirstVisible(HTREEITEM hItem);
    HTREEITEM GetDropHilightItem() const { return GetItemAtRow(GetDropHighlightItem()); }
    virtual BOOL EnsureVisible(HTREEITEM hItem, BOOL bWithParent = FALSE);
    HTREEITEM HitTest(CPoint pt, UINT* pFlags = nullptr) const;
    using SECListBaseC::EditLabel;
    virtual BOOL EditLabel(HTREEITEM hItem, int nCol = 0);

    // ---- Styles and geometry ----
    DWORD GetTreeStyle() const;
    BOOL SetTreeStyle(DWORD dwStyle, BOOL bRedraw = TRUE);
    BOOL ModifyTreeStyle(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw = TRUE);
    DWORD GetTreeStyleEx() const { return m_dwTreeStyleEx; }
    BOOL SetTreeStyleEx(DWORD dwExStyle, BOOL bRedraw = TRUE);
    BOOL ModifyTreeStyleEx(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw = TRUE);
    BOOL ModifyTreeStyles(DWORD dwRemove, DWORD dwAdd, DWORD dwRemoveEx, DWORD dwAddEx, BOOL bRedraw = TRUE);
    void SetMultipleSelection(BOOL bMultiple) override;
    void SetHeightIndependent(BOOL bDependent) override;
    void ShowHeader(BOOL bShow) override;
    void SetStyleEx100000(BOOL bSet) override;
    UINT GetIndent() const { return static_cast<UINT>(m_nIndent); }
    void SetIndent(UINT nIndent);
    CImageList* SetImageList(CImageList* pList, int nKind) override;
    // The button box of an item in client coordinates; false when the item has no row.
    BOOL GetButtonRect(HTREEITEM hItem, RECT& rc);
    // A new one-image list showing the item's label as it is drawn (the caller owns it); null
    // for the root.
    virtual CImageList* CreateDragImage(HTREEITEM hItem);
    // A new one-image list holding one entry of a list, and one holding a state image and an
    // icon side by side, 6 pixels apart: the pieces of a drag image with pictures.
    static CImageList* CreateDragImageFromEntry(CImageList* pList, int nImage);
    static CImageList* MergeDragImages(CImageList* pStates, int nState, CImageList* pIcons, int nIcon);

    // ---- List steps the tree changes ----
    BOOL GetItem(LV_ITEM& item, BOOL bCopyText = TRUE, BOOL bAskParent = TRUE) override;
    // A row's label is its item's: what the list writes there (the text an in-place edit
    // leaves) is the item's text, which the row shows.
    BOOL SetItem(const LV_ITEM& item, BOOL bUpdate = TRUE) override;
    BOOL NeedsDispInfo(int nRow) const override;
    LRESULT NotifySelChanging(int nRow, int nOldRow, int nCause) override;
    void NotifySelChanged(int nRow, int nOldRow, int nCause) override;
    void NotifyBeginDrag(int nRow, CPoint pt) override;
    void NotifyBeginRightDrag(int nRow, CPoint pt) override;
    LRESULT NotifyBeginLabelEdit(int nRow, int nSlot) override;
    LRESULT NotifyEndLabelEdit(int nRow, int nSlot, LPCSTR pszText) override;
    LRESULT NotifyKeyDown(UINT nVirtKey) override;
    LRESULT NotifyDeleteItem(int nRow) override;
    BOOL NotifyGetDispInfo(LV_ITEM& item) override;
    void NotifySetDispInfo(const LV_ITEM& item) override;
    void OnKeyLeft(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags) override;
    void OnKeyBack(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags) override;
    void OnKeyRight(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags) override;
    void OnKeyMultiply(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags) override;
    SECListPaintContext* CreatePaintContext(CDC* pDC) override;
    void SetPaintFont(SECListPaintContext* pContext) override;
    void MeasureCell(SECListPaintContext* pContext, int& cy) override;
    void DrawCell(CDC* pDC, SECListPaintContext* pContext) override;

    // The node of a handle (null for 0, TVI_ROOT and the root itself unless asked for).
    _Node* NodeOf(HTREEITEM hItem) const;
    static HTREEITEM HandleOf(const SECTreeNode* pNode)
    {
        return reinterpret_cast<HTREEITEM>(const_cast<SECTreeNode*>(pNode));
    }
    _Node* GetRootNode() const { return m_pRoot.get(); }

protected:
    virtual _Node* CreateNode() { return new _Node; }
    BOOL IsVisibleNode(const _Node* pNode) const;
    BOOL ReportsChildren(_Node* pNode);
    int FindRow(const _Node* pNode) const;
    std::unique_ptr<SECListItem> MakeRow(_Node* pNode);
    // Rows for the visible part of a node's subtree, in pre-order.
    void CollectVisibleRows(_Node* pNode, std::vector<std::unique_ptr<SECListItem>>& rows);
    int CountSubtreeRows(const _Node* pNode, int nRow) const;
    BOOL DeleteLeaf(_Node* pLeaf);
    void ApplyNodeItem(_Node* pNode, const TV_ITEM& item);
    LRESULT SendTreeNotify(NMHDR& hdr, int nCode);
    LRESULT NotifyTree(int nCode, UINT nAction, const _Node* pOld, const _Node* pNew, POINT pt = POINT{});
    void ApplyTreeStyleExToList(BOOL bRedraw);
    void ResetRoot();
    // Geometry of an item's label column (row-relative); see the painting file.
    struct Geometry {
        RECT rcState{}, rcIcon{}, rcLabel{}, rcButton{};
        int nLineX = 0, nMidY = 0, cy = 0;
    };
    void ComputeGeometry(_Node* pNode, SECTreePaintContext* pc, Geometry& g);
    void DrawLines(CDC* pDC, _Node* pNode, const RECT& rcRow, const Geometry& g);
    void DrawButton(CDC* pDC, _Node* pNode, const RECT& rcRow, const Geometry& g);
    CFont* GetBoldFont(CFont* pBase);

    std::unique_ptr<_Node> m_pRoot;
    int m_nIndent = 20;
    DWORD m_dwTreeStyle = 0;
    DWORD m_dwTreeStyleEx = 0;
    std::unique_ptr<SECSubItemTextStorage> m_pSubItemTexts;
    DWORD m_dwReserved = 0;
    mutable int m_nRowHint = 0;   // where the last row lookup succeeded
    BOOL m_bApplyingStyleEx = FALSE;
    char m_szTreeText[2048]{};
};

class SECTreeCtrl : public SECTreeBaseC {
    DECLARE_DYNAMIC(SECTreeCtrl)
public:
    SECTreeCtrl() = default;

protected:
    void OnDestroy();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()
};

// Makes the tree in place of the dialog item of that id when it has no window yet.
void AFXAPI DDX_TreeCtrl(CDataExchange* pDX, int nIDC, SECTreeCtrl& rControl);
