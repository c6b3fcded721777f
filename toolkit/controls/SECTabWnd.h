// SECTabWndBase / SECTabWnd / SEC2DTabWnd: a child window that hosts client windows on top of
// each other and shows one at a time, switched by a tab strip along its bottom edge, with shared
// scroll bars whose positions each tab keeps, and a divider between strip and scroll bar.
#pragma once

#include <memory>
#include <vector>

#include "platform/afx/wnd/CWnd.h"
#include "platform/win/ScrollBar.h"
#include "toolkit/controls/SECTabControl.h"

struct CCreateContext;

// A tab's flags: its client uses the shared horizontal or vertical scroll bar.
#define SECTWF_HSCROLL 0x00100000
#define SECTWF_VSCROLL 0x00200000

class SECTabWndBase : public CWnd {
    DECLARE_DYNAMIC(SECTabWndBase)
public:
    SECTabWndBase();
    ~SECTabWndBase() override;

    static constexpr UINT kTabCtrlId = 0xEA30;
    static constexpr UINT kFirstClientId = 0xEB00;
    static constexpr UINT kHorzBarId = 0xEC00;
    static constexpr UINT kVertBarId = 0xECFF;

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                UINT nID, void* pContext = nullptr) override;
    virtual BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = 0xE900);
    virtual BOOL CreateScrollBarCtrl(DWORD dwStyle, UINT nID);
    virtual BOOL CreateTabCtrl(DWORD /*dwStyle*/, UINT /*nID*/) { return FALSE; }
    virtual CWnd* InsertTab(CRuntimeClass* pViewClass, int nIndex, LPCTSTR lpszLabel,
                            CCreateContext* pContext = nullptr, UINT nID = static_cast<UINT>(-1));
    virtual BOOL InsertTab(CWnd* pWnd, int nIndex, LPCTSTR lpszLabel);
    virtual CWnd* AddTab(CRuntimeClass* pViewClass, LPCTSTR lpszLabel, CCreateContext* pContext = nullptr,
                         UINT nID = static_cast<UINT>(-1));
    virtual BOOL AddTab(CWnd* pWnd, LPCTSTR lpszLabel);
    virtual BOOL SetTabFlags(int /*nIndex*/, DWORD /*dwFlags*/) { return FALSE; }
    virtual BOOL RemoveTab(int nIndex);
    BOOL RemoveTab(CWnd* pWnd);
    BOOL RenameTab(int nIndex, LPCTSTR lpszLabel);
    BOOL RenameTab(CWnd* pWnd, LPCTSTR lpszLabel);
    BOOL ActivateTab(int nIndex);
    BOOL ActivateTab(CWnd* pWnd);
    virtual BOOL ActivateTab(CWnd* pWnd, int nIndex);
    void ClearSelection();
    void ScrollToTab(int nIndex);
    void ScrollToTab(CWnd* pWnd);
    virtual void SetActiveView();
    void SetNotifyWnd(CWnd* pWnd) { m_pNotifyWnd = pWnd; }
    CWnd* GetNotifyWnd() const { return m_pNotifyWnd ? m_pNotifyWnd : GetParent(); }
    virtual void GetInsideRect(RECT& rc) const;
    virtual void RecalcLayout() {}
    virtual CWnd* GetScrollBarCtrl(int /*nBar*/, CWnd* /*pWnd*/ = nullptr) const { return nullptr; }

    int GetTabCount() const { return m_pTabCtrl ? m_pTabCtrl->GetTabCount() : 0; }
    BOOL GetTabInfo(int nIndex, LPCTSTR& lpszLabel, BOOL& bSelected, CWnd*& pWnd, DWORD_PTR& dwExtra1,
                    DWORD_PTR& dwExtra2) const;
    BOOL FindTab(const CWnd* pWnd, int& nIndex) const;
    CWnd* GetActiveWnd() const { return m_pActiveWnd; }
    SECTabControlBase* GetTabControl() const { return m_pTabCtrl.get(); }

protected:
    CWnd* CreateClient(CRuntimeClass* pViewClass, CCreateContext* pContext, UINT nID);
    LRESULT OnTabSel(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabReactivate(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void PostNcDestroy() override;
    DECLARE_MESSAGE_MAP()

protected:
    std::unique_ptr<SECTabControlBase> m_pTabCtrl;
    CWnd* m_pActiveWnd = nullptr;
    CWnd* m_pCreating = nullptr;
    CWnd* m_pNotifyWnd = nullptr;
    BOOL m_bInActivate = FALSE;
};

class SECTabWnd : public SECTabWndBase {
    DECLARE_DYNCREATE(SECTabWnd)
public:
    SECTabWnd();
    ~SECTabWnd() override;

    using SECTabWndBase::Create;
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = WS_CHILD | WS_VISIBLE, UINT nID = 0xE900) override;
    BOOL CreateTabCtrl(DWORD dwStyle, UINT nID) override;
    using SECTabWndBase::InsertTab;
    BOOL InsertTab(CWnd* pWnd, int nIndex, LPCTSTR lpszLabel) override;
    using SECTabWndBase::AddTab;
    BOOL AddTab(CWnd* pWnd, LPCTSTR lpszLabel) override;
    BOOL SetTabFlags(int nIndex, DWORD dwFlags) override;
    DWORD GetTabFlags(int nIndex) const;
    using SECTabWndBase::RemoveTab;
    BOOL RemoveTab(int nIndex) override;
    using SECTabWndBase::ActivateTab;
    BOOL ActivateTab(CWnd* pWnd, int nIndex) override;
    void GetInsideRect(RECT& rc) const override;
    void RecalcLayout() override;
    CWnd* GetScrollBarCtrl(int nBar, CWnd* pWnd = nullptr) const override;
    int GetStripWidth() const { return m_nStripWidth; }
    RECT GetDividerRect() const;

protected:
    BOOL UsesBar(const CWnd* pWnd, DWORD dwFlag) const;
    HWND Bar(int nBar) const { return ::GetDlgItem(m_hWnd, static_cast<int>(nBar ? kVertBarId : kHorzBarId)); }
    void DrawDivider(CDC* pDC);

    void OnSize(UINT nType, int cx, int cy);
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    LRESULT OnScrollMsg(WPARAM wParam, LPARAM lParam);
    LRESULT OnTabSelNotify(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

protected:
    int m_nStripWidth = 0;
    int m_nStripHeight = 16;
    int m_cxVScroll = 16;
    int m_cyHScroll = 16;
    int m_cxDivider = 5;
    int m_nDragOffset = 0;
    BOOL m_bDragging = FALSE;
    BOOL m_bOverDivider = FALSE;
    BOOL m_bFirstSize = TRUE;
    HCURSOR m_hDividerCursor = nullptr;
    HCURSOR m_hArrowCursor = nullptr;
    DWORD m_nButtonMode = 0;
    std::vector<SCROLLINFO> m_hState, m_vState;
    std::vector<DWORD> m_flags;
};

class SEC2DTabWnd : public SECTabWnd {
    DECLARE_DYNCREATE(SEC2DTabWnd)
public:
    SEC2DTabWnd() = default;
};
