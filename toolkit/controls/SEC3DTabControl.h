// SEC3DTab / SEC3DTabControl: the tab strip with raised three-dimensional tabs along one side
// of the window, painted through a memory bitmap.
#pragma once

#include "toolkit/controls/SECTabControl.h"

// Which side the tabs sit on (window style bits); none: the bottom.
#define SEC3DTAB_TOP 0x0010
#define SEC3DTAB_BOTTOM 0x0020
#define SEC3DTAB_RIGHT 0x0040
#define SEC3DTAB_LEFT 0x0080

class SEC3DTab : public SECTab {
    DECLARE_DYNAMIC(SEC3DTab)
public:
    CString m_csLabel3D;   // the label this tab shows
    RECT m_rect{};         // where it lies in the strip
    BOOL m_bShown = TRUE;  // laid out inside the strip
};

class SEC3DTabControl : public SECTabControlBase {
    DECLARE_DYNAMIC(SEC3DTabControl)
public:
    SEC3DTabControl() = default;

    SECTab* CreateNewTab() override { return new SEC3DTab; }
    SECTab* InsertTab(int nIndex, LPCTSTR lpszLabel, void* pClient = nullptr, DWORD_PTR dwExtra1 = 0,
                      DWORD_PTR dwExtra2 = 0) override;
    BOOL RenameTab(int nTab, LPCTSTR lpszLabel) override;
    BOOL DeleteTab(int nTab) override;
    void InvalidateTab(int nTab) override;
    void Initialize(DWORD dwStyle) override;

    // Lays the tabs out along the side for a client of that size.
    void LayoutTabs(int cx, int cy);
    SEC3DTab* Get3DTab(int nTab) const { return static_cast<SEC3DTab*>(GetTabPtr(nTab)); }
    int TabHitTest(CPoint pt) const;
    int GetLayoutCount() const { return m_nLayouts; }

protected:
    bool Vertical() const { return (GetStyle() & (SEC3DTAB_RIGHT | SEC3DTAB_LEFT)) != 0; }
    void DrawTab3D(CDC* pDC, int nTab, bool active);

    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

protected:
    CFont m_font;
    CFont m_activeFont;
    int m_nLastExtent = -1;
    int m_nLayouts = 0;
    int m_nTabHeight = 20;
};
