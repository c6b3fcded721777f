// CStatusBar: the frame's status bar, a control bar over the status control. Its panes come
// from indicator ids whose strings size them; pane 0 (a separator) is the message pane that
// stretches over the spare width and shows the frame's prompts.
#pragma once

#include "platform/afx/bars/CControlBar.h"

#include <vector>

// Pane styles: the low 16 bits travel to the control as its drawing type.
#define SBPS_NORMAL 0x0000
#define SBPS_NOBORDERS 0x0100
#define SBPS_POPOUT 0x0200
#define SBPS_OWNERDRAW 0x1000
#define SBPS_DISABLED 0x04000000
#define SBPS_STRETCH 0x08000000

#ifndef ID_SEPARATOR
#define ID_SEPARATOR 0
#endif
#define ID_INDICATOR_EXT 0xE700
#define ID_INDICATOR_CAPS 0xE701
#define ID_INDICATOR_NUM 0xE702
#define ID_INDICATOR_SCRL 0xE703
#define ID_INDICATOR_OVR 0xE704
#define ID_INDICATOR_REC 0xE705

struct AFX_STATUSPANE {
    UINT nID = 0;
    UINT nStyle = 0;
    int cxText = 0;       // the text's width, borders not counted
    CString strText;
    UINT nFlags = 0;      // sbfPending: the control has not been sent the text yet
};

class CStatusBar : public CControlBar {
    DECLARE_DYNAMIC(CStatusBar)
public:
    CStatusBar();
    ~CStatusBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE | CBRS_BOTTOM,
                UINT nID = 0xE801 /* AFX_IDW_STATUS_BAR */);
    // One pane per id, each as wide as its string (a string that is missing gives "  "); with
    // no ids, nIDCount empty panes. FALSE when a text could not be kept.
    BOOL SetIndicators(const UINT* lpIDArray, int nIDCount);

    int CommandToIndex(UINT nIDFind) const;
    UINT GetItemID(int nIndex) const;
    void GetItemRect(int nIndex, LPRECT lpRect) const;
    void GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const;
    void SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth);
    UINT GetPaneStyle(int nIndex) const;
    void SetPaneStyle(int nIndex, UINT nStyle);
    CString GetPaneText(int nIndex) const;
    void GetPaneText(int nIndex, CString& rString) const { rString = GetPaneText(nIndex); }
    BOOL SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate = TRUE);
    // Lays the panes out (the stretch panes share the spare width) and sends pending texts.
    void UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) override;
    void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle) override;
    void CalcInsideRect(CRect& rect, BOOL bHorz) const override;

    enum { sbfPending = 1 };
    int m_nMinHeight = 0;

protected:
    AFX_STATUSPANE* Pane(int nIndex) const;
    void SendPaneText(int nIndex);

    LRESULT OnPaintMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnEraseMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetTextMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnGetTextLengthMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetMinHeight(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTestStatus(WPARAM wParam, LPARAM lParam);

    std::vector<AFX_STATUSPANE> m_panes;

    DECLARE_MESSAGE_MAP()
};
