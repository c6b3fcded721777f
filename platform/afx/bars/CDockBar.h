// CDockBar: the bar along one side of a frame (or inside a floating mini frame) that holds the
// docked bars in rows. Its bar array starts with a null entry and ends each row with one; a bar
// that left keeps its place as its control id (a placeholder) so it can come back there.
#pragma once

#include "platform/afx/bars/CControlBar.h"
#include "platform/core/CPtrArray.h"

// The dock bars' control ids: one per side, and the one inside a floating frame.
#define AFX_IDW_DOCKBAR_TOP 0xE81B
#define AFX_IDW_DOCKBAR_LEFT 0xE81C
#define AFX_IDW_DOCKBAR_RIGHT 0xE81D
#define AFX_IDW_DOCKBAR_BOTTOM 0xE81E
#define AFX_IDW_DOCKBAR_FLOAT 0xE81F

// The window class of control bars and dock bars.
#define AFX_WNDCONTROLBAR "AfxControlBar42"
LPCTSTR AfxControlBarClass();

class CDockBar : public CControlBar {
    DECLARE_DYNAMIC(CDockBar)
public:
    explicit CDockBar(BOOL bFloating = FALSE);
    ~CDockBar() override;

    BOOL Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID);

    // ---- The bar array ----
    CPtrArray m_arrBars;
    BOOL m_bFloating;
    // A placeholder is a bar's control id in place of the bar.
    static bool IsPlaceHolder(void* p) { return p && reinterpret_cast<UINT_PTR>(p) <= 0xFFFF; }
    static void* PlaceHolderOf(UINT nID) { return reinterpret_cast<void*>(static_cast<UINT_PTR>(nID & 0xFFFF)); }

    // The bar at nPos, or null for a row break or a placeholder.
    CControlBar* GetDockedControlBar(int nPos) const;
    int GetDockedCount() const;
    int GetDockedVisibleCount() const;
    // The index of pBar, other than nPosExclude; -1 when it is not here.
    int FindBar(CControlBar* pBar, int nPosExclude = -1) const;
    // Takes out the placeholder of pBar's id (and a row break it leaves empty).
    void RemovePlaceHolder(CControlBar* pBar);
    void RemovePlaceHolder(UINT nID);
    // Shows or hides every docked bar (a hidden bar is remembered to come back); TRUE when one changed.
    BOOL ShowAll(BOOL bShow);

    // Docks pBar here: at a screen rectangle (its row and place taken from the rectangle's
    // middle), or at the end in a row of its own.
    void DockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    // Docks pBar where its placeholder stands, else as DockControlBar.
    void ReDockControlBar(CControlBar* pBar, LPCRECT lpRect = nullptr);
    // Takes pBar out, leaving its placeholder with nAddPlaceHolder 1; TRUE when that emptied a
    // floating frame that was then destroyed.
    BOOL RemoveControlBar(CControlBar* pBar, int nPosExclude = -1, int nAddPlaceHolder = 0);

    // The saved form of the rows (bar ids, 0 at row ends, id | 0x10000 for kept places), and
    // rows rebuilt from it with the frame's bars; an id no bar has any more is passed over.
    void GetBarInfo(CControlBarInfo* pInfo);
    void SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd);

    // The bar style dwBarStyle with its border bits turned from its own side to dwNewAlign's.
    static DWORD BordersTurnedTo(DWORD dwBarStyle, DWORD dwNewAlign);

    // Drops the entries of a bar being destroyed, with no layout and no other side effect.
    void ForgetBar(CControlBar* pBar);

    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    BOOL IsDockBar() const override { return TRUE; }

    // During WM_SIZEPARENT: whether it only asks, and the room the frame offers.
    BOOL m_bLayoutQuery = FALSE;
    CRect m_rectLayout;

protected:
    int Insert(CControlBar* pBar, CRect rect, CPoint ptMid);
    void TakeBar(CControlBar* pBar, int nPos);
    LRESULT OnSizeParentDock(WPARAM wParam, LPARAM lParam);
    void PostNcDestroy() override;

    DECLARE_MESSAGE_MAP()
};
