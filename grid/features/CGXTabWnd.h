// CGXTabWnd: a window holding several sheets (grid windows or views), one shown at a time, with
// a strip at the bottom: the tab beam, a splitter the user drags to share the strip, the
// horizontal scroll bar and a size box; a vertical scroll bar runs down the right. The scroll
// bars belong to the tab window and serve the shown sheet, whose scroll state is kept per tab.
#pragma once

#include "grid/core/CGXAbstractTabWndInterface.h"
#include "grid/features/CGXTabBeam.h"
#include "platform/afx/dlg/CEdit.h"

// The in-place editor of a tab's name: Enter accepts, Escape or losing the focus cancels.
class CGXEditLabelPopup : public CEdit {
public:
    CGXEditLabelPopup(CWnd* pNotify) : m_pNotify(pNotify) {}
    BOOL Create(const RECT& rect, CWnd* pParent);

protected:
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKillFocus(CWnd* pNewWnd);
    UINT OnGetDlgCode();
    void PostNcDestroy() override {}
    CWnd* m_pNotify;
    DECLARE_MESSAGE_MAP()
};

class CGXTabWnd : public CWnd {
    DECLARE_DYNCREATE(CGXTabWnd)
public:
    CGXTabWnd();
    explicit CGXTabWnd(CRuntimeClass* pBeamClass);
    ~CGXTabWnd() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL, UINT nID = 0);
    virtual void AttachWnd(CWnd* pWnd, LPCTSTR szLabel);
    virtual void RecalcLayout(BOOL bKeepSheetSize = FALSE);
    // Shows a sheet; FALSE when a sheet refused the switch or the window is no sheet here.
    BOOL SwitchTo(CWnd* pWnd);
    CString GetTabName(const CWnd* pWnd) const;
    void SetTabName(int nTab, LPCTSTR szName, BOOL bNotify = FALSE);
    void SetTabName(CWnd* pWnd, LPCTSTR szName, BOOL bNotify = FALSE);
    CGXTabBeam& GetBeam() { return *m_pBeam; }
    CWnd* GetActivePane() const { return m_pActivePane; }
    CGXEditLabelPopup* GetRenamePopup() const { return m_pEditWnd; }
    static void RegisterClass(HINSTANCE hInstance);
    static void UnregisterClass(HINSTANCE hInstance);
    // Tab windows made by class name (from a dialog template) that are still alive.
    static size_t GetSelfCreatedCount();
    // The beam width kept for a new client width: the part beyond the scroll buttons less 20
    // scales with the window; 64-bit arithmetic, since wide windows overflow 32 bits.
    static int ScaleBeamWidth(int nBeamX100, int nButtonArea, int nOldCx, int nNewCx);
    // The splitter's drag limits for the current beam and client width.
    int SplitterMin() const;
    int SplitterMax() const;
    void MoveSplitter(int x);
    // A sunken 3D frame round the window, drawn in a 2-pixel border of its own.
    void SetFrame(BOOL bFrame);
    BOOL HasFrame() const;

    BOOL m_bHScroll = FALSE;
    BOOL m_bVScroll = FALSE;
    UINT m_nPaneId1 = 0;
    UINT m_nPaneId2 = 0;
    CGXTabBeam* m_pBeam = nullptr;
    CWnd* m_pActivePane = nullptr;
    int m_nBeamWidth = 0;
    int m_nLastCx = 0;
    int m_nSplitterWidth = 6;
    int m_cxVScroll = 0;
    int m_cyHScroll = 0;
    int m_cyStrip = 0;
    BOOL m_bDragging = FALSE;
    HCURSOR m_hArrow = nullptr;
    BOOL m_bCreated = FALSE;
    CGXEditLabelPopup* m_pEditWnd = nullptr;
    CBrush m_brFace;
    CRuntimeClass* m_pBeamClass = nullptr;
    BOOL m_bFrame = FALSE;
    int m_nBeamWidthX100 = 0;
    BOOL m_bAutoDelete = FALSE;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override;
    void CreateChildren();
    void SaveScrollState(int nTab);
    void RestoreScrollState(int nTab);
    void CancelRename();
    void GetSheetRect(CRect& rc) const;
    CRect SplitterRect() const;
    void ReadMetrics();

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp);
    void OnNcPaint();
    void OnSize(UINT nType, int cx, int cy);
    void OnSetFocus(CWnd* pOldWnd);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    LRESULT OnScrollMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnVScrollMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabSwitch(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabRename(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabCanSwitch(WPARAM wParam, LPARAM lParam);
    LRESULT OnAcceptName(WPARAM wParam, LPARAM lParam);
    LRESULT OnCancelName(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChangeMsg(WPARAM, LPARAM);
    LRESULT OnSettingChangeMsg(WPARAM, LPARAM);
    DECLARE_MESSAGE_MAP()
};

// Lets the grid reach the name of its sheet without knowing the tab classes.
class CGXTabWndInterface : public CGXAbstractTabWndInterface {
public:
    CString GetSetSheetName(CWnd* pGridWnd, const CString& sName, BOOL bSet) override;
    void GetSheetName(CString& sName, CWnd* pWnd, int nTab) override;
};
