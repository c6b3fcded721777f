// SECListBaseC / SECListCtrl: the owner-drawn multi-column list: items, sub-item slots, columns,
// selection state, styles and image lists. Nearly every step is virtual so the tree can change it.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/gdi/CImageList.h"
#include "platform/afx/wnd/CWnd.h"
#include "toolkit/controls/ListDefs.h"
#include "toolkit/controls/SECListClient.h"
#include "toolkit/controls/SECListItem.h"

class CDC;
class CFont;
class CPen;
class CScrollBar;
class SECListEdit;
class SECListTip;
struct SECListPaintContext;

// List style bits kept by the control (taken out of the window style when it is created).
#define LVXS_REPORT_VIEW 0x0001
#define LVXS_VIEW_MASK 0x0003
#define LVXS_SINGLESEL 0x0004
#define LVXS_SHOWSELALWAYS 0x0008
#define LVXS_SHAREIMAGELISTS 0x0040
#define LVXS_HEIGHT_INDEPENDENT 0x0080
#define LVXS_EDITLABELS 0x0200
#define LVXS_NOSCROLLBARS 0x2000
#define LVXS_NOHEADER 0x4000
#define LVXS_STYLE_MASK 0xF3FF

#define LVXS_EX_FLAG100000 0x00100000
#define LVXS_EX_HGRIDLINES 0x00400000
#define LVXS_EX_VGRIDLINES 0x00800000
#define LVXS_EX_FULLROWSELECT 0x02000000
#define LVXS_EX_FILLLABEL 0x04000000
#define LVXS_EX_KEEPDELETEDWIDTH 0x08000000
#define LVXS_EX_STYLE_MASK 0x0FF00000

class SECListBaseC : public CWnd, public SECListClient {
public:
    SECListBaseC();
    ~SECListBaseC() override;

    // ---- SECListClient ----
    CWnd* GetListWnd() override { return this; }
    BOOL IsHeightWidthDependent() const override { return (m_dwListStyle & LVXS_HEIGHT_INDEPENDENT) == 0; }
    void EndLabelEdit(BOOL bCommit) override;
    int GetColumnSubItem(int nCol) const override;
    void GetScrollOrigin(int& x, int& y) const override { x = m_nHScroll; y = m_nVOrigin; }
    void GetInsideRect(RECT& rc) const override;
    BOOL GetCellRect(int nRow, int nCol, RECT& rc, int nPart) const override;
    void GetCellText(CString& str, int nRow, int nSlot) override;
    BOOL IsSelected(int nRow) const override;
    COLORREF GetSelTextColor() const override { return m_colors[kSelText]; }
    COLORREF GetSelBkColor() const override { return m_colors[kSelBk]; }
    COLORREF GetTipTextColor() const override { return m_colors[kTipText]; }
    COLORREF GetTipBkColor() const override { return m_colors[kTipBk]; }
    CFont* GetItemFont() const override;
    using CWnd::ClientToScreen;
    using CWnd::SetCapture;
    void ClientToScreen(POINT& pt) const override { ::ClientToScreen(m_hWnd, &pt); }
    CWnd* SetCapture(BOOL bCapture) override;

    // ---- Creation ----
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, void* pContext = nullptr) override;
    virtual BOOL Create(DWORD dwStyle, DWORD dwExStyle, const RECT& rect, CWnd* pParent, UINT nID,
                        void* pParam = nullptr);
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParent, UINT nID);
    virtual BOOL ReplaceDlgItem(UINT nID, CWnd* pDialog);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    // Moves the list's own bits out of the window styles into the list styles.
    virtual void SplitCreateStyles(CREATESTRUCT& cs);

    // ---- Colours, fonts, notify window ----
    virtual COLORREF GetBkColor() const;
    virtual COLORREF GetTextColor() const { return m_colors[kText]; }
    virtual COLORREF GetTextBkColor() const { return m_colors[kTextBk]; }
    virtual COLORREF GetGrayTextColor() const { return m_colors[kGrayText]; }
    virtual COLORREF GetBkColor2() const { return m_colors[kBk2]; }
    virtual COLORREF GetSelBkColor2() const { return m_colors[kSelBk2]; }
    virtual CFont* GetHeaderFont() const;
    virtual CWnd* GetNotifyWnd() const { return m_pNotifyWnd; }
    virtual BOOL SetBkColor(COLORREF cr);
    virtual BOOL SetTextColor(COLORREF cr) { return SetColor(kText, cr); }
    virtual BOOL SetTextBkColor(COLORREF cr) { return SetColor(kTextBk, cr); }
    virtual BOOL SetSelTextColor(COLORREF cr) { return SetColor(kSelText, cr); }
    virtual BOOL SetSelBkColor(COLORREF cr) { return SetColor(kSelBk, cr); }
    virtual BOOL SetGrayTextColor(COLORREF cr) { return SetColor(kGrayText, cr); }
    virtual BOOL SetBkColor2(COLORREF cr) { return SetColor(kBk2, cr); }
    virtual BOOL SetSelBkColor2(COLORREF cr) { return SetColor(kSelBk2, cr); }
    virtual BOOL SetTipBkColor(COLORREF cr) { return SetColor(kTipBk, cr); }
    virtual BOOL SetTipTextColor(COLORREF cr) { return SetColor(kTipText, cr); }
    virtual BOOL SetItemFont(CFont* pFont) { m_pItemFont = pFont; return TRUE; }
    virtual BOOL SetHeaderFont(CFont* pFont) { m_pHeaderFont = pFont; return TRUE; }
    virtual BOOL SetNotifyWnd(CWnd* pWnd) { m_pNotifyWnd = pWnd; return TRUE; }
    virtual BOOL SetFollowSysColors(BOOL bFollow) { m_bFollowSysColors = bFollow; return TRUE; }
    virtual BOOL GetFollowSysColors() const { return m_bFollowSysColors; }

    // ---- Row geometry (rows, layout and scrolling) ----
    virtual void RedrawItem(int nRow, BOOL bLabelOnly = FALSE, BOOL bErase = TRUE, BOOL bToBottom = FALSE,
                            BOOL bNow = FALSE);
    virtual void RedrawItems(int nFirst, int nLast);
    virtual int GetTopIndex() const { return m_nTopIndex; }
    virtual int GetCountPerPage();
    virtual int GetCountPerPageAbove();
    virtual int GetMaxTopIndex();
    virtual int GetBottomIndex(SECListPaintContext* pContext = nullptr);
    virtual int GetEndIndex();
    virtual int GetPageUpIndex();
    virtual int RowFromOffset(CPoint pt);
    virtual int RowFromOffsetY(int y);
    virtual BOOL SetItemHeight(int nRow, int cy);
    virtual int GetRowsHeight(int nFirst, int nLast, BOOL bInclusive);
    virtual int GetRowsInHeight(int cy, int nStart, BOOL bForward);
    virtual void RemeasureAll();
    virtual void RemeasureItem(int nRow);
    virtual int GetRowSpacing() const { return 0; }
    // The row's height, measuring it first when it is not known.
    int GetRowHeight(int nRow);

    // ---- Columns ----
    virtual BOOL DeleteColumnByTitle(LPCSTR pszTitle);
    virtual BOOL DeleteColumn(int nCol);
    virtual BOOL DeleteAllColumns();
    virtual int AddColumn(const LV_COLUMN& col);
    virtual int AddColumn(LPCSTR pszTitle, int nFormat = 0, int nWidth = -1, int nSubItem = -1);
    virtual int AddColumn(SECListColumn* pColumn);
    virtual int InsertColumn(int nCol, const LV_COLUMN& col, BOOL bUpdate = TRUE);
    virtual int InsertColumn(int nCol, LPCSTR pszTitle, int nFormat = 0, int nWidth = -1, int nSubItem = -1,
                             BOOL bUpdate = TRUE);
    // Takes ownership of the record.
    virtual int InsertColumn(int nCol, SECListColumn* pColumn, BOOL bUpdate = TRUE);
    virtual BOOL GetColumn(int nCol, LV_COLUMN& col) const;
    virtual BOOL SetColumn(int nCol, const LV_COLUMN& col, BOOL bUpdate = TRUE);
    virtual int GetColumnLeft(int nCol) const;
    virtual int GetColumnRight(int nCol) const;
    virtual BOOL SetColumnWidth(int nCol, int cx);
    virtual int GetColumnWidth(int nCol) const;
    virtual BOOL SetColumnFormat(int nCol, int nFormat);
    virtual int GetColumnFormat(int nCol) const;
    virtual BOOL SetColumnTitle(int nCol, LPCSTR pszTitle);
    virtual BOOL GetColumnTitle(int nCol, CString& str) const;
    virtual BOOL FindColumn(LPCSTR pszTitle) const;
    virtual int GetColumnCount() const { return static_cast<int>(m_columns.size()); }
    virtual BOOL FindColumn(LPCSTR pszTitle, int& nCol, int& nSubItem) const;
    virtual SECListColumn* GetColumnRecord(int nCol) const;

    // ---- Items ----
    virtual LPARAM GetItemRecordData(const SECListItem* pItem) const { return pItem ? pItem->m_lParam : 0; }
    virtual int GetItemCount() const { return static_cast<int>(m_items.size()); }
    virtual int GetSubItemSlotCount() const { return m_nSlots; }
    virtual BOOL SetItem(const LV_ITEM& item, BOOL bUpdate = TRUE);
    virtual BOOL SetItem(int nRow, int nSubItem, UINT nMask, LPCSTR pszText, int nImage, UINT nState,
                         UINT nStateMask, LPARAM lParam);
    virtual BOOL SetItemState2(const LV_ITEM& item);
    virtual BOOL GetItem(LV_ITEM& item, BOOL bCopyText = TRUE, BOOL bAskParent = TRUE);
    virtual UINT GetItemState2(int nRow, UINT nMask) const;
    virtual BOOL SetItemText(int nRow, int nSubItem, LPCSTR pszText);
    virtual int GetItemText(int nRow, int nSubItem, LPSTR pszBuffer, int cchMax);
    virtual BOOL DeleteItemRecord(SECListItem* pItem);
    virtual BOOL DeleteItems(int nFirst, int nCount);
    virtual BOOL DeleteAllItems();
    virtual int GetSelectedCount() const { return static_cast<int>(m_selection.size()); }
    virtual BOOL GetLabelRect(int nRow, RECT& rc, int nPart) const;
    virtual int InsertItemRecord(int nRow, SECListItem* pItem);
    virtual int InsertItem(UINT nMask, int nRow, LPCSTR pszText, UINT nState, UINT nStateMask, int nImage,
                           LPARAM lParam);
    virtual int InsertItem(int nRow, LPCSTR pszText, int nImage);
    virtual int InsertItem(int nRow, LPCSTR pszText);
    virtual int InsertItem(const LV_ITEM& item);
    virtual int InsertItemAfter(const SECListItem* pAfter, const LV_ITEM& item);
    virtual int InsertItemBefore(const SECListItem* pBefore, const LV_ITEM& item);
    SECListItem* GetItemRecord(int nRow) const;
    // Puts a run of records in at one row with one shift of the rows after it (the tree opens
    // a branch this way); the same index repair as InsertItemRecord. Returns the first row.
    int InsertItemRecords(int nRow, std::vector<std::unique_ptr<SECListItem>>& items);
    int FindItemRecord(const SECListItem* pItem) const;

    // ---- Selection and focus ----
    virtual BOOL SelectFocusItem(int nRow, BOOL bSelect);
    virtual BOOL SetFocusItem(int nRow);
    virtual void DeselectAllExcept(int nRow);
    virtual BOOL SelectRange(int nFirst, int nLast, BOOL bSelect);
    virtual int GetFocusItem() const { return m_nFocus; }
    virtual void GetContentSize(int& cx, int& nRows);
    virtual int GetNextItem(int nStart, UINT nFlags);
    virtual BOOL SetItemState(int nRow, UINT nState, UINT nMask);
    virtual UINT GetItemState(int nRow, UINT nMask);
    virtual BOOL SetItemData(int nRow, LPARAM lParam);
    virtual LPARAM GetItemData(int nRow) const;
    virtual BOOL SelectItem(int nRow, BOOL bSelect);
    virtual UINT GetStateCallbackMask() const { return m_nStateCallbackMask; }
    virtual void SetStateCallbackMask(UINT nMask) { m_nStateCallbackMask = nMask; }
    virtual UINT GetState2CallbackMask() const { return m_nState2CallbackMask; }
    virtual void SetState2CallbackMask(UINT nMask) { m_nState2CallbackMask = nMask; }
    virtual BOOL NeedsDispInfo(int nRow) const;
    virtual BOOL SetDropHighlightItem(int nRow);
    virtual int GetDropHighlightItem() const { return m_nDropHilite; }
    const std::vector<int>& GetSelection() const { return m_selection; }

    // ---- Images ----
    virtual CImageList* GetImageList(int nKind) const;
    virtual CImageList* SetImageList(CImageList* pList, int nKind);
    virtual CImageList* CopyImageList(CImageList* pList);

    // ---- Styles ----
    virtual BOOL HasStyle(DWORD dw) const { return (m_dwListStyle & dw) == dw; }
    virtual BOOL HasStyleEx(DWORD dw) const { return (m_dwListStyleEx & dw) == dw; }
    virtual void GetStyles(DWORD& dwStyle, DWORD& dwExStyle) const { dwStyle = m_dwListStyle; dwExStyle = m_dwListStyleEx; }
    virtual BOOL SetStyles(DWORD dwStyle, DWORD dwExStyle, BOOL bUpdate = TRUE);
    virtual DWORD GetListStyle() const { return m_dwListStyle; }
    virtual DWORD GetListStyleEx() const { return m_dwListStyleEx; }
    virtual BOOL SetListStyle(DWORD dwStyle, BOOL bUpdate = TRUE);
    virtual BOOL SetListStyleEx(DWORD dwExStyle, BOOL bUpdate = TRUE);
    virtual BOOL ModifyListStyle(DWORD dwRemove, DWORD dwAdd, BOOL bUpdate = TRUE);
    virtual BOOL ModifyListStyleEx(DWORD dwRemove, DWORD dwAdd, BOOL bUpdate = TRUE);
    virtual BOOL ModifyStyles(DWORD dwRemove, DWORD dwAdd, DWORD dwRemoveEx, DWORD dwAddEx, BOOL bUpdate = TRUE);
    virtual void SetHeightIndependent(BOOL bDependent);
    virtual void SetStyleEx100000(BOOL bSet);
    virtual void SetMultipleSelection(BOOL bMultiple);
    virtual BOOL GetStyleEx100000() const { return HasStyleEx(LVXS_EX_FLAG100000); }
    virtual BOOL IsHeaderShown() const;
    virtual void ShowHeader(BOOL bShow);
    virtual BOOL IsMultipleSelection() const { return !HasStyle(LVXS_SINGLESEL); }
    virtual void SetAutoUpdate(BOOL b) { m_bAutoUpdate = b; }
    virtual BOOL GetAutoUpdate() const { return m_bAutoUpdate; }

    // ---- Hit testing and scrolling ----
    virtual BOOL SetTopIndex(int nRow);
    virtual void ScrollHorz(int cx);
    virtual void ScrollVert(int nRows, int nMode = 0);
    virtual BOOL EnsureVisible(int nRow, BOOL bPartialOK = FALSE);
    virtual BOOL EnsureRangeVisible(int nFirst, int nLast);

    // ---- Layout ----
    virtual void RecalcLayout();
    virtual int GetContentWidth(SECListPaintContext* pContext = nullptr);
    virtual int GetScrollRowCount() const { return GetItemCount(); }
    virtual BOOL FitColumns();
    virtual void FillLabelColumn();
    virtual BOOL CreateScrollBarCtrl(DWORD dwStyle, UINT nID);
    virtual void ShowScrollBarCtrl(int nBar, BOOL bShow, SCROLLINFO* pInfo = nullptr);
    virtual void PositionScrollBars();
    virtual void UpdateVertScrollBar(int nRows);
    virtual void UpdateHorzScrollBar(int cxContent);
    virtual CWnd* GetScrollBarCtrl(int nBar) const;
    BOOL IsVertBarShown() const { return (m_nScrollBars & 2) != 0; }
    BOOL IsHorzBarShown() const { return (m_nScrollBars & 1) != 0; }

    // ---- Sub-item slots ----
    virtual void AddSubItems(SECListItem* pItem);
    virtual void RemoveSubItems(SECListItem* pItem);
    virtual int InitItem(SECListItem* pItem);
    virtual SECListItem* CreateItem();

    // ---- Hit testing ----
    virtual int HitTest(int x, int y, UINT& nHitCode, int& nCol) const;

    // ---- Painting and measuring ----
    virtual void SetPaintBkColor(SECListPaintContext* pContext);
    virtual void SetCellBkColor(SECListPaintContext* pContext);
    virtual void SetPaintTextColors(SECListPaintContext* pContext);
    virtual void SetPaintFont(SECListPaintContext* pContext);
    virtual CPen* GetGridPen();
    virtual CPen* GetGridPen2();
    virtual void MeasureItemCells(SECListPaintContext* pContext);
    virtual void MeasureItem(int nRow, SECListPaintContext* pContext = nullptr);
    virtual void MeasureCell(SECListPaintContext* pContext, int& cy);
    virtual void MeasureIcons(SECListPaintContext* pContext, RECT& rc);
    virtual void MeasureText(SECListPaintContext* pContext, RECT& rc);
    virtual int TrackColumnResize(int x, int y, int nCol);
    virtual void OnDraw(CDC* pDC);
    virtual BOOL PrepareCell(SECListPaintContext* pContext);
    virtual SECListPaintContext* CreatePaintContext(CDC* pDC);
    // Returns whether the caller owns (and must delete) what it got.
    virtual BOOL CreateMemoryDC(CDC* pDC, CDC*& pMemDC, const RECT& rc);
    virtual void DrawHeader(CDC* pDC);
    virtual void DrawRows(CDC* pDC);
    virtual void DrawRow(CDC* pDC, SECListPaintContext* pContext);
    virtual void DrawCell(CDC* pDC, SECListPaintContext* pContext);
    virtual void DrawCellIcons(CDC* pDC, SECListPaintContext* pContext);
    virtual void DrawCellText(CDC* pDC, SECListPaintContext* pContext);
    virtual void DrawHorzGridLine(CDC* pDC, SECListPaintContext* pContext);
    virtual void DrawVertGridLine(CDC* pDC, SECListPaintContext* pContext);

    // ---- Label editing ----
    virtual CWnd* EditLabel(int nRow, int nCol);
    virtual CWnd* GetEditControl() const;
    virtual void CancelEditTimer();
    virtual BOOL ShowTip(UINT nHitCode, int nRow, int nCol, int x, int y);
    virtual void HideTip();
    virtual void RefreshTip();
    int GetEditRow() const { return m_nEditRow; }
    SECListTip* GetTip() const { return m_pTip.get(); }

    // ---- Keys: (focus row, slot of the current column, shift, control, repeat count, key flags) ----
    virtual void OnKeyUp(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyDown(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyF2(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyReturn(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyHome(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyEnd(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyPageUp(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags);
    virtual void OnKeyPageDown(int nRow, int nSlot, BOOL bShift, BOOL bCtrl, UINT nRepCnt, UINT nFlags);
    // Left, Back, Right and Multiply mean nothing to the list; the tree gives them meaning.
    virtual void OnKeyLeft(int, int, BOOL, BOOL, UINT, UINT) {}
    virtual void OnKeyBack(int, int, BOOL, BOOL, UINT, UINT) {}
    virtual void OnKeyRight(int, int, BOOL, BOOL, UINT, UINT) {}
    virtual void OnKeyMultiply(int, int, BOOL, BOOL, UINT, UINT) {}
    virtual BOOL SelectByUser(int nRow, UINT nHitCode, UINT nKeyState, BOOL bToggleAllowed);
    virtual void AfterSelectByUser(int nRow, BOOL bFromMouse);
    virtual void ClassifyClick(CPoint pt, int nRow, UINT nHitCode, BOOL& bArmDrag, BOOL& bSelect);

    // ---- Notifications ----
    virtual LRESULT Notify(int nCode);
    virtual LRESULT NotifyDeleteItem(int nRow);
    virtual LRESULT NotifyInsertItem(int nRow);
    virtual LRESULT NotifyBeginLabelEdit(int nRow, int nSlot);
    virtual LRESULT NotifyEndLabelEdit(int nRow, int nSlot, LPCSTR pszText);
    virtual LRESULT NotifyKeyDown(UINT nVirtKey);
    virtual BOOL NotifyGetDispInfo(LV_ITEM& item);
    virtual void NotifySetDispInfo(const LV_ITEM& /*item*/) {}
    // (focus row, button-down point)
    virtual void NotifyBeginDrag(int /*nRow*/, CPoint /*pt*/) {}
    virtual void NotifyBeginRightDrag(int /*nRow*/, CPoint /*pt*/) {}
    // (new row, old row, cause: 1 mouse, 0 keyboard); a non-zero reply vetoes.
    virtual LRESULT NotifySelChanging(int /*nRow*/, int /*nOldRow*/, int /*nCause*/) { return 0; }
    virtual void NotifySelChanged(int /*nRow*/, int /*nOldRow*/, int /*nCause*/) {}
    virtual void NotifyGetState2(LV_ITEM& /*item*/) {}
    virtual void NotifyReserved() {}
    virtual CWnd* GetNotifyTarget() const;

protected:
    enum ColorIndex { kText, kTextBk, kSelText, kSelBk, kGrayText, kBk2, kSelBk2, kTipBk, kTipText, kWindowBk, kColorCount };
    BOOL SetColor(ColorIndex i, COLORREF cr) { m_colors[i] = cr; return TRUE; }
    void LoadSysColors();
    LRESULT SendNotify(NMHDR& hdr, int nCode);
    SECListText* TextOf(SECListItem* pItem, int nSubItem) const;
    void RemoveFromSelection(int nRow);
    void AddToSelection(int nRow);

    // Marks a row unmeasured without measuring it now: heights are measured when first needed.
    void DeferMeasure(int nRow);
    void OnEditUpdate();
    void OnEditKillFocus();
    int HitTestRows(int x, int y, UINT& nHitCode, int nCol) const;
    int RowTop(int nRow);   // the row's top in client coordinates; only for rows from the top row on

    std::unique_ptr<SECListTip> m_pTip;
    std::unique_ptr<SECListEdit> m_pEdit;
    std::vector<std::unique_ptr<SECListItem>> m_items;
    std::vector<std::unique_ptr<SECListColumn>> m_columns;
    std::vector<int> m_selection;   // sorted, no duplicates
    int m_nFocus = -1;
    int m_nAnchor = -1;
    int m_nDropHilite = -1;
    int m_nTopIndex = 0;
    int m_nHScroll = 0;
    int m_nVOrigin = 0;
    int m_nSlots = 0;
    int m_cyHeader = 18;
    DWORD m_dwListStyle = 0;
    DWORD m_dwListStyleEx = 0;
    UINT m_nScrollBars = 0;
    COLORREF m_colors[kColorCount]{};
    BOOL m_bFollowSysColors = FALSE;
    CFont* m_pItemFont = nullptr;
    CFont* m_pHeaderFont = nullptr;
    CImageList* m_pImageLists[3]{};
    CWnd* m_pNotifyWnd = nullptr;
    int m_nEditRow = -1;
    int m_nEditCol = 0;
    CString m_strEditOld;
    CString m_strEditReply;   // the text the parent's end-of-edit reply carries
    BOOL m_bEndingEdit = FALSE;
    int m_nArmedRow = -1;
    UINT_PTR m_nEditTimer = 0;
    int m_nWheelAccum = 0;
    BOOL m_bDragArmed = FALSE;
    BOOL m_bDragging = FALSE;
    CPoint m_ptButtonDown;
    LRESULT m_nLastNotifyResult = 0;
    LRESULT m_nSelVeto = 0;
    HCURSOR m_hSizingCursor = nullptr;
    BOOL m_bShowSizingCursor = FALSE;
    UINT m_nStateCallbackMask = 0;
    UINT m_nState2CallbackMask = 0;
    BOOL m_bAutoUpdate = FALSE;
    // Rows came in since the scroll bars were last laid out (inserts without auto-update leave
    // the layout to later); the next paint lays them out first.
    BOOL m_bLayoutDue = FALSE;
    char m_szTextBuffer[2048]{};
};

// The list with its window messages; the tree derives from it.
class SECListCtrl : public SECListBaseC {
    DECLARE_DYNAMIC(SECListCtrl)
public:
    SECListCtrl() = default;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    UINT OnGetDlgCode();
    void OnPaint();
    LRESULT OnHScrollMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScrollMsg(WPARAM wParam, LPARAM lParam);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnMouseHWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnTimer(UINT_PTR nIDEvent);
    void OnSetFocus(CWnd* pOldWnd);
    void OnKillFocus(CWnd* pNewWnd);
    void OnEnable(BOOL bEnable);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    // WM_KEYDOWN: the name OnKeyDown is the Down key's operation.
    LRESULT OnKeyDownMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysKeyDownMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelModeMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChangeMsg(WPARAM wParam, LPARAM lParam);
    void OnEditKillFocusCmd();
    void OnEditUpdateCmd();
    DECLARE_MESSAGE_MAP()
};

// Copies at most cchMax - 1 bytes of psz into the buffer, never cutting a UTF-8 character.
void SECListCopyText(LPSTR pszBuffer, int cchMax, LPCSTR psz);
