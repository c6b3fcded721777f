// SECTab / SECTabControlBase / SECTabControl: the strip of trapezoid tabs along the bottom of a
// tab window: tab records, the active tab and the selection with their messages to the parent,
// and the drawing, hit testing, scrolling and mouse handling of the strip.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/gdi/GdiObjects.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CString.h"
#include "toolkit/controls/TabMessages.h"

class CDC;

class SECTab : public CObject {
    DECLARE_DYNAMIC(SECTab)
public:
    SECTab() = default;
    CString m_csLabel;
    int m_nWidth = 0;   // label width + 20
    DWORD m_dwReserved = 0;
    BOOL m_bSelected = FALSE;
    void* m_pClient = nullptr;
    DWORD_PTR m_dwExtra1 = 0;
    DWORD_PTR m_dwExtra2 = 0;
};

class SECTabControlBase : public CWnd {
    DECLARE_DYNAMIC(SECTabControlBase)
public:
    SECTabControlBase() = default;
    ~SECTabControlBase() override;

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    virtual void Initialize(DWORD /*dwStyle*/) {}
    virtual SECTab* CreateNewTab() { return new SECTab; }
    virtual void RecalcTabWidths() {}
    virtual void OnActivateTab(int /*nTab*/) {}
    // Indices at or past the number of tabs are refused (null or FALSE, nothing changes).
    virtual SECTab* InsertTab(int nIndex, LPCTSTR lpszLabel, void* pClient = nullptr, DWORD_PTR dwExtra1 = 0,
                              DWORD_PTR dwExtra2 = 0);
    virtual SECTab* AddTab(LPCTSTR lpszLabel, void* pClient = nullptr, DWORD_PTR dwExtra1 = 0, DWORD_PTR dwExtra2 = 0);
    virtual BOOL DeleteTab(int nTab);
    virtual BOOL RenameTab(int nTab, LPCTSTR lpszLabel);
    virtual BOOL ActivateTab(int nTab);
    virtual void ReactivateTab();
    virtual BOOL SelectTab(int nTab);
    virtual void ClearSelection();
    virtual void ScrollToTab(int /*nTab*/) {}
    virtual void InvalidateTab(int /*nTab*/) {}
    virtual void DrawTab(CDC* /*pDC*/, int /*nTab*/, CRgn* /*pRgn*/) {}
    virtual BOOL SetTabFont(CFont* /*pFont*/, int /*nKind*/, BOOL /*bRedraw*/ = TRUE) { return FALSE; }

    int GetTabCount() const { return static_cast<int>(m_tabs.size()); }
    SECTab* GetTabPtr(int nTab) const;
    BOOL GetTabInfo(int nTab, LPCTSTR& lpszLabel, BOOL& bSelected, void*& pClient, DWORD_PTR& dwExtra1,
                    DWORD_PTR& dwExtra2) const;
    BOOL FindTab(const void* pClient, int& nTab) const;
    BOOL GetActiveTab(int& nTab) const;

protected:
    void InvalidateFrom(int nTab);
    void NotifyParent(UINT message, WPARAM wParam);
    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

protected:
    std::vector<std::unique_ptr<SECTab>> m_tabs;
    int m_nActiveTab = 0;
    BOOL m_bActiveTab = FALSE;
    HCURSOR m_hArrow = nullptr;
};

// Scroll buttons at the left end of the strip.
#define SECTAB_BTN_FIRST 0x1
#define SECTAB_BTN_PREV 0x2
#define SECTAB_BTN_NEXT 0x4
#define SECTAB_BTN_LAST 0x8
// Creation style bits choosing the buttons.
#define SECTAB_STYLE_TWOBUTTONS 0x1
#define SECTAB_STYLE_FOURBUTTONS 0x2

class SECTabControl : public SECTabControlBase {
    DECLARE_DYNAMIC(SECTabControl)
public:
    SECTabControl() = default;
    ~SECTabControl() override;

    void Initialize(DWORD dwStyle) override;
    void RecalcTabWidths() override;
    SECTab* InsertTab(int nIndex, LPCTSTR lpszLabel, void* pClient = nullptr, DWORD_PTR dwExtra1 = 0,
                      DWORD_PTR dwExtra2 = 0) override;
    SECTab* AddTab(LPCTSTR lpszLabel, void* pClient = nullptr, DWORD_PTR dwExtra1 = 0, DWORD_PTR dwExtra2 = 0) override;
    BOOL DeleteTab(int nTab) override;
    BOOL RenameTab(int nTab, LPCTSTR lpszLabel) override;
    void ScrollToTab(int nTab) override;
    void InvalidateTab(int nTab) override;
    void DrawTab(CDC* pDC, int nTab, CRgn* pRgn) override;
    BOOL SetTabFont(CFont* pFont, int nKind, BOOL bRedraw = TRUE) override;

    // Geometry: the four corners of a tab (top left, bottom left, bottom right, top right).
    void GetTabPoints(int nTab, POINT pts[4]) const;
    BOOL GetTabRgn(int nTab, CRgn& rgn) const;
    int TabHitTest(CPoint pt) const;
    RECT GetTabArea() const;
    RECT GetButtonRect(UINT nButton) const;
    UINT ButtonHitTest(CPoint pt) const;
    void RecalcScrollState();
    int GetScrollOffset() const { return m_nScrollOffset; }
    UINT GetShownButtons() const { return m_nButtons; }
    UINT GetDisabledButtons() const { return m_nDisabled; }
    int GetStripHeight() const { return m_nStripHeight; }
    CFont* GetTabFont(int nKind) { return nKind >= 0 && nKind < 3 ? &m_fonts[nKind] : nullptr; }
    static constexpr UINT_PTR kRepeatTimer = 0x5EC1;

protected:
    void ScrollBy(UINT nButton);
    void ApplyOffset(int nOffset);
    void DrawButton(CDC* pDC, UINT nButton);
    void MakeFont(int nKind, const LOGFONT* pFrom);

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnTimer(UINT_PTR nIDEvent);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnDestroy();
    DECLARE_MESSAGE_MAP()

protected:
    int m_nScrollOffset = 0;
    int m_nStripHeight = 17;
    BOOL m_bMultiSelect = TRUE;
    CFont m_fonts[3];   // ordinary, selected, active
    CPen m_pens[3];
    CPen m_penShadow;
    CBrush m_brushes[3];
    COLORREF m_textColors[3]{};
    UINT m_nButtons = 0;
    UINT m_nPressed = 0;
    UINT m_nDisabled = 0;
    int m_nButtonWidth = 17;
    int m_nButtonHeight = 17;
};
