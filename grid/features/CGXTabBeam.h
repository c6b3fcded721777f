// CGXTabBeam: the row of slanted sheet tabs at the bottom-left of a tab window. It knows nothing
// of sheets beyond a window per tab; what a click means is decided by its notification window
// through the private tab messages below.
#pragma once

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CPtrArray.h"

class CDC;

// Private messages between the beam, the tab window and its sheets; wParam is a tab index.
#define GX_WM_TABSWITCH 0x785      // posted: show the sheet of this tab
#define GX_WM_TABRENAME 0x786      // posted: start renaming this tab
#define GX_WM_TABCANSWITCH 0x787   // sent: may the current tab change? non-zero refuses
#define GX_WM_TABATTACHED 0x78F    // to a sheet: you were attached as this tab
#define GX_WM_TABCANRENAME 0x790   // to a sheet: may this tab be renamed? zero refuses
#define GX_WM_TABRENAMED 0x791     // to a sheet: this tab was renamed
#define GX_WM_TABCANACTIVATE 0x792 // to a sheet: 0 may you be left, 1 may you be shown; non-zero refuses
#define GX_WM_TABACCEPTNAME 0x799  // from the rename popup: accept the new name
#define GX_WM_TABCANCELNAME 0x79A  // cancel renaming
#define GX_WM_TABRESIZING 0x7CB    // to the shown sheet: 1 before and 0 after the tab window is resized

// A saved scroll state of one bar.
struct GXTabScrollState {
    UINT cbSize = 0;
    UINT fMask = 0;
    int nMin = 0;
    int nMax = 0;
    UINT nPage = 0;
    int nPos = 0;
    int nTrackPos = 0;
};

class CGXTabInfo : public CObject {
    DECLARE_DYNAMIC(CGXTabInfo)
public:
    ~CGXTabInfo() override;

    int nWidth = 60;
    CString sLabel;
    BOOL bSel = FALSE;
    CWnd* pExtra = nullptr;
    BOOL bDeleteWnd = FALSE;
    void* pExtraData = nullptr;
    GXTabScrollState sbVert;
    GXTabScrollState sbHorz;
    int nVertPos = 0;
    int nHorzPos = 0;
    COLORREF rgbFaceNormal = 0;
    COLORREF rgbFaceSel = 0;
    CBrush brFaceNormal;
    CBrush brFaceSel;
    UINT flagsCustomColor = 0;
};

class CGXTabBeam : public CWnd {
    DECLARE_DYNCREATE(CGXTabBeam)
public:
    CGXTabBeam();
    ~CGXTabBeam() override;

    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    static void RegisterClass(HINSTANCE hInstance);
    static void UnregisterClass(HINSTANCE hInstance);

    virtual void DrawTab(CDC* pDC, int nTab);
    virtual void DrawButton(CDC* pDC, int nButton, BOOL bPressed);
    virtual int GetTabLeft(int nTab);
    virtual int TabFromPoint(int x);
    virtual int GetLastVisibleTab();
    virtual void TrackButton(UINT nEndMessage);
    virtual void SelectTabAt(int x, int y);
    virtual int ButtonFromPoint(int x, int y, int nOnly = -1);
    virtual void ScrollTabs(int nButton);
    virtual void InsertTab(BOOL bInsert, LPCTSTR szLabel, CWnd* pWnd = nullptr, BOOL bDeleteWnd = FALSE,
                           int nWidth = -1, void* pExtraData = nullptr);
    virtual void DeleteTab(int nTab);
    virtual void AdjustTabSize(int nTab);
    virtual int FindTab(const CWnd* pWnd) const;

    CGXTabInfo& GetTab(int nTab) { return *static_cast<CGXTabInfo*>(m_TabInfo[nTab]); }
    int GetCount() const { return m_nTabs; }
    int GetCurSel() const { return m_nCurrent; }
    BOOL IsValidTab(int nTab) const { return nTab >= 0 && nTab < m_nTabs; }
    void ScrollToTab(int nTab);
    // Makes the tab current without asking or notifying anyone; -1 is refused.
    void SetCurSel(int nTab);
    // The tab area's first x: right of the scroll buttons when they are shown.
    int GetTabAreaLeft() const { return m_bScrollButtons ? m_nButtonAreaWidth + 1 : 0; }
    // Whether a scroll button could act now (the arrow is drawn black).
    BOOL CanButtonAct(int nButton);
    // The repeat interval of a held scroll button after nRepeats repeats: 200 ms less 20 ms a
    // repeat, never below 100 ms.
    static DWORD RepeatInterval(int nRepeats);
    void SetNotifyWnd(CWnd* pWnd) { m_pNotifyWnd = pWnd; }
    CWnd* GetNotifyWnd();
    void CreateFonts();
    void LoadColors();

    CFont m_fontBold;
    CFont m_fontNormal;
    COLORREF m_rgbTextCurrent = 0;
    COLORREF m_rgbText = 0;
    COLORREF m_rgbFaceNormal = 0;
    COLORREF m_rgbFaceSel = 0;
    COLORREF m_rgbBeam = 0;
    CBrush m_brFaceNormal;
    CBrush m_brFaceSel;
    CBrush m_brBlack;
    CPen m_penShadow;
    CObArray m_TabInfo;
    int m_nTabs = 0;
    int m_nCurrent = -1;
    int m_nFirstTab = 0;
    int m_nOverlap = 7;
    int m_nButtonAreaWidth = 0;
    int m_nHeight = 0;
    int m_nButtonWidth = 0;
    BOOL m_bScrollButtons = TRUE;
    int m_nButtons = 2;
    int m_nTrackButton = -1;
    BOOL m_bPressed = FALSE;
    BOOL m_bTracking = FALSE;
    HCURSOR m_hArrow = nullptr;
    int m_nPaintFrom = -1;
    CWnd* m_pNotifyWnd = nullptr;
    BOOL m_bAutoDelete = FALSE;

protected:
    void PostNcDestroy() override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnSysColorChange();
    void OnSettingChange(UINT uFlags, LPCTSTR lpszSection);
    LRESULT OnSysColorChangeMsg(WPARAM, LPARAM);
    LRESULT OnSettingChangeMsg(WPARAM, LPARAM);
    void DeleteAllTabs();
    DECLARE_MESSAGE_MAP()
};
