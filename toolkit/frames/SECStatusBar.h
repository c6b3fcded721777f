// SECStatusBar: the toolkit's status bar, a dockable toolkit bar over the status control that
// keeps its own pane records: widths from the indicator strings, stretch panes sharing the spare
// width, texts sent to the control only when they change, and panes updated at idle time.
#pragma once

#include "platform/afx/bars/CStatusBar.h"
#include "platform/afx/wnd/CCmdUI.h"
#include "toolkit/docking/SECControlBar.h"

#include <vector>

// One pane: id (0 for a separator), text width, SBPS_ style bits, pending flag and text.
struct SECStatusPane {
    UINT nID = 0;
    int cxText = 0;
    UINT nStyle = 0;
    UINT nFlags = 0;
    CString strText;
};

class SECStatusBar : public SECControlBar {
    DECLARE_DYNAMIC(SECStatusBar)
public:
    SECStatusBar();
    ~SECStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, UINT nID = 0xE801);
    BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = 0, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                  UINT nID = 0xE801);
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    void GetPaneText(int nIndex, CString& rString) const;
    CString GetPaneText(int nIndex) const;
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    BOOL SetPaneWidth(int nIndex, int cxWidth);
    // Lays the panes out (stretch panes share the spare width) and sends pending texts.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);
    int GetPaneCount() const { return static_cast<int>(m_panes.size()); }

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // Paints an owner-drawn pane; nothing here.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);

    enum { sbfPending = 1 };
    int m_nMinHeight = 0;

protected:
    SECStatusPane* Pane(int nIndex) const;
    void SendPaneText(int nIndex);
    // The bar's inside rectangle, less room for the size grip.
    void CalcStatusInsideRect(CRect& rect) const;
    void GetControlBorders(int borders[3]) const;

    LRESULT OnNcHitTestStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSizeStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnPaintStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnWindowPosChangingStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetTextStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLengthStatus(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMinHeightStatus(WPARAM wParam, LPARAM lParam);

    std::vector<SECStatusPane> m_panes;

    DECLARE_MESSAGE_MAP()
};

// Updates of one pane from the command handlers: enabled, checked (popped out) and text.
class SECStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override;
    void SetCheck(int nCheck) override;
    void SetText(LPCTSTR lpszText) override;
};
