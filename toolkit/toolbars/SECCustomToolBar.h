// SECCustomToolBar: the toolbar the frames show: a dockable toolkit bar that owns button objects,
// lays them out in rows (wrapping, fitting a height and evening out the rows), paints them,
// drives them with the mouse with hot tracking, and lets buttons be dragged between bars while
// customising. SECCustomizeToolBar is the same bar used as a palette of buttons to copy from.
#pragma once

#include "platform/afx/dlg/CRectTracker.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "platform/controls/ToolbarControl.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/toolbars/SECStdBtn.h"

#include <memory>
#include <vector>

class SECBmpMgr;
class SECBtnDrawContext;
class SECToolBarManager;

// What a button's notification carries to the owner.
struct SECToolBarNotify {
    NMHDR hdr;
    int iItem;          // the button's command
    TBBUTTON tbButton;  // its description (command only)
    int cchText;
    LPSTR pszText;
    int iIndex;         // its index in the bar
    LPARAM lParamA;
    LPARAM lParamB;
};

// Codes of the registered WM_BARNOTIFY message (lParam; wParam is the toolbar's id).
enum SECBarNotifyCode { kBarShown = 0, kBarHidden = 1, kBarCreated = 2, kBarDestroyed = 3, kBarSelChanged = 4 };

// The first control id of the bars the user makes.
#define SEC_IDW_FIRST_USER_TOOLBAR 0xE820
#define SEC_IDW_LAST_USER_TOOLBAR 0xE8FE
#define SEC_IDW_MENUBAR 0xE8FF

// A row of the layout: its last button (index among the laid-out buttons), whether it breaks
// at a separator (its last button), its width without that separator, and its height.
struct SECToolBarRow {
    int nLast = 0;
    BOOL bSepBreak = FALSE;
    int nWidth = 0;
    int nHeight = 0;
};

class SECCustomToolBar : public SECControlBar {
    DECLARE_DYNCREATE(SECCustomToolBar)
public:
    SECCustomToolBar();
    ~SECCustomToolBar() override;

    // ---- Creation ----
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID, LPCTSTR lpszTitle = nullptr);
    virtual BOOL CreateEx(DWORD dwExStyle, CWnd* pParentWnd, DWORD dwStyle, UINT nID, LPCTSTR lpszTitle = nullptr);
    using SECControlBar::Create;
    using SECControlBar::CreateEx;

    // ---- Buttons ----
    virtual BOOL RemoveButton(int nIndex, BOOL bNoRecalc = FALSE);
    virtual void InsertButton(int nIndex, UINT nID, BOOL bSeparator, BOOL bNoRecalc = FALSE);
    virtual BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    virtual void RemoveAllButtons();
    virtual SECStdBtn* NewButton(UINT nID, CWnd* pOwner = nullptr);
    virtual SECStdBtn* NewSeparator(CWnd* pOwner = nullptr);
    int GetBtnCount() const { return static_cast<int>(m_btns.size()); }
    SECStdBtn* GetBtn(int nIndex) const;
    int BtnToIndex(const SECStdBtn* pBtn) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    int CommandToIndex(UINT nID) const;
    virtual int HitTest(CPoint point, CRect* pRect = nullptr) const;
    // Applies a style change to every button of the command on this bar.
    void InformBtns(UINT nID, UINT nCode, DWORD dwSet, DWORD dwClear);

    // ---- Layout ----
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD dwMode) override;
    virtual void BalanceWrapping(std::vector<SECToolBarRow>& rows);
    virtual void FitToParent();
    virtual void UpdateBand() {}
    // Gives every button the manager's or the bitmap manager's current size and lays out again.
    void SetButtonSize();
    int GetImageWidth() const;
    int GetImageHeight() const;
    void MarkSizesDirty() { m_bDirtyFloat = m_bDirtyHorz = m_bDirtyVert = TRUE; }

    // ---- Drawing ----
    void DoPaint(CDC* pDC) override;
    void DrawBorders(CDC* pDC, CRect& rect) override;
    void AddGripperExtent(CRect& rect, BOOL bHorz) override;
    virtual BOOL IsCoolLook() const { return (m_dwExStyle & CBRS_EX_COOLBORDERS) != 0; }
    virtual CFont* GetBarFont() const;

    // ---- Commands and tooltips ----
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    virtual void UpdateButtonCmdUI(int nIndex);
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
    void DelayShow(BOOL bShow) override;
    // Re-runs the hot tracking at the cursor.
    void UpdateHotTracking();

    // ---- Customising ----
    void SetCustomizeMode(BOOL bMode);
    BOOL InCustomizeMode() const { return m_bCustomize; }
    virtual BOOL IsCopyDrag(BOOL bCtrlDown) const { return bCtrlDown; }
    virtual BOOL AcceptsDrop() const { return TRUE; }
    // Selects a button for the customise selection (-1 clears it).
    void SelectButton(int nIndex);
    int GetSelectedIndex() const;
    // Tracks a button dragged from a point of the client area, then drops it.
    virtual void DragButton(int nIndex, CPoint point);
    // Drops the button at nIndex of this bar at a screen rectangle: onto the bar there, off every
    // bar (a move deletes it, a copy makes a new user toolbar) or onto the customising dialog.
    void DropDraggedButton(int nIndex, const CRect& rcScreen, BOOL bCopy);
    // Puts a button dragged here (from this bar or another) at a rectangle of the client area.
    virtual void DropButton(const CRect& rcDrop, SECStdBtn* pBtn, BOOL bCopy, BOOL bNoRecalc = FALSE);

    // ---- Keyboard focus buttons ----
    virtual void SetFocusButton(int nIndex, BOOL bA = FALSE, BOOL bB = FALSE);
    virtual void FocusButton(int nIndex);
    virtual int FirstFocusable() const;
    virtual int LastFocusable() const;
    virtual int NextFocusable(BOOL bForward) const;
    virtual void KillFocusButton();
    virtual BOOL FocusPreTranslate(MSG* pMsg);

    // ---- Saved state ----
    void GetBarInfoExtra(SECControlBarInfo* pInfo) override;
    void SetBarInfoExtra(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd) override;

    // ---- What the buttons and the manager use ----
    SECBmpMgr* GetBmpMgr() const { return m_pBmpMgr; }
    void SetBmpMgr(SECBmpMgr* pMgr);
    SECToolBarManager* GetManager() const { return m_pToolBarMgr; }
    void SetManager(SECToolBarManager* pMgr);
    void SetButtonMap(const SECBtnMapEntry* pMap, const SECBtnMapEntry* pMap2 = nullptr);
    CWnd* GetNotifyOwner() const;
    SECBtnDrawContext& GetDrawContext();
    BOOL IsUserToolBar() const;
    static BOOL IsDispatching() { return s_bDispatching; }
    static void SetDispatching(BOOL b) { s_bDispatching = b; }
    static BOOL IsAltDrag() { return s_bAltDrag; }
    static UINT BarNotifyMessage();
    static UINT NoDelayHideMessage();
    static UINT StyleChangingMessage();

    int m_nSepWidth = 8;
    int m_nPressed = -1;
    int m_nHot = -1;
    int m_nFocus = -1;
    int m_nMaxBtnWidth = 0;
    DWORD m_dwMode = 0;
    DWORD m_dwFlags = 0; // bit 0: buttons may not be dragged to other bars
    CSize m_szFloatLayout{0, 0};
    CSize m_szHorzLayout{0, 0};
    CSize m_szVertLayout{0, 0};
    BOOL m_bDirtyFloat = TRUE;
    BOOL m_bDirtyHorz = TRUE;
    BOOL m_bDirtyVert = TRUE;

protected:
    // The full layout for a length and a mode; places the buttons and answers the size.
    CSize CalcLayout(int nLength, DWORD dwMode);
    // The size of a layout; the buttons are placed only when the bar shows that mode.
    CSize MeasureLayout(int nLength, DWORD dwMode);
    // Whether a layout in this mode is the one the bar shows now: docked along the top or
    // bottom, docked along a side, or floating.
    BOOL IsShownLayoutMode(DWORD dwMode) const;
    // Rows of the laid-out buttons wrapped at a width, or fitted to a height.
    std::vector<SECToolBarRow> WrapRows(const std::vector<SECStdBtn*>& btns, int nWidth) const;
    std::vector<SECToolBarRow> FitRows(const std::vector<SECStdBtn*>& btns, int nHeight) const;
    CSize RowsSize(const std::vector<SECToolBarRow>& rows) const;
    void MeasureRow(const std::vector<SECStdBtn*>& btns, int nFirst, SECToolBarRow& row) const;
    void InvalidateButton(int nIndex);
    void RecalcAfterChange();
    void StopHotTracking();
    void BroadcastNotify(int nCode);
    int RowOfPoint(int y, int& nFirst, int& nLast) const;

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnCancelModeBar(WPARAM wParam, LPARAM lParam);
    void OnTimer(UINT_PTR nIDEvent);
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    LRESULT OnWindowPosChangingBar(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChangeBar(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    LRESULT OnSizeParentBar(WPARAM wParam, LPARAM lParam);
    LRESULT OnNoDelayHide(WPARAM wParam, LPARAM lParam);
    LRESULT OnAddButtons(WPARAM wParam, LPARAM lParam);
    LRESULT OnDeleteButton(WPARAM wParam, LPARAM lParam);

    std::vector<std::unique_ptr<SECStdBtn>> m_btns;
    SECBmpMgr* m_pBmpMgr = nullptr;
    SECToolBarManager* m_pToolBarMgr = nullptr;
    std::unique_ptr<SECBtnDrawContext> m_pOwnDrawContext;
    const SECBtnMapEntry* m_pBtnMap = nullptr;
    const SECBtnMapEntry* m_pBtnMap2 = nullptr;
    BOOL m_bCustomize = FALSE;
    BOOL m_bDelayHidePending = FALSE;
    // The row ends of the last layout, by index into the whole button array.
    std::vector<SECToolBarRow> m_rows;

    static BOOL s_bDispatching;
    static BOOL s_bAltDrag;

    DECLARE_MESSAGE_MAP()
};

// The palette of buttons in the customising dialog: always customising, every drag a copy, no
// drops, rows as they wrap.
class SECCustomizeToolBar : public SECCustomToolBar {
    DECLARE_DYNCREATE(SECCustomizeToolBar)
public:
    SECCustomizeToolBar() { m_bCustomize = TRUE; }
    BOOL IsCopyDrag(BOOL) const override { return TRUE; }
    BOOL AcceptsDrop() const override { return FALSE; }
    void BalanceWrapping(std::vector<SECToolBarRow>&) override {}
};

// Addresses one button of a toolbar by index for the idle updates.
class SECCustomToolCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override;
    void SetCheck(int nCheck) override;
    void SetText(LPCTSTR lpszText) override;
};

// Draws the outline of a dragged button.
class SECToolBarRectTracker : public CRectTracker {
public:
    SECToolBarRectTracker(LPCRECT lpRect) : CRectTracker(lpRect, hatchedBorder) {}
    void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) override;
    CRect m_rcLastDrawn;
    CSize m_szLastDrawn{0, 0};
};
