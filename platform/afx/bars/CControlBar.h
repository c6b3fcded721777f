// CControlBar: a bar along an edge of a frame (or floating in a mini frame) that takes its slice
// of the frame through WM_SIZEPARENT, keeps its items' states current at idle time, shows the
// prompts of the commands under the mouse, and starts a drag when pressed.
#pragma once

#include "platform/afx/AfxMessages.h"
#include "platform/afx/wnd/CWnd.h"

class CDockBar;
class CDockContext;
class CControlBarInfo;

// ---- Bar styles (m_dwStyle) ----
#define CBRS_ALIGN_LEFT 0x1000L
#define CBRS_ALIGN_TOP 0x2000L
#define CBRS_ALIGN_RIGHT 0x4000L
#define CBRS_ALIGN_BOTTOM 0x8000L
#define CBRS_ALIGN_ANY 0xF000L
#define CBRS_BORDER_LEFT 0x0100L
#define CBRS_BORDER_TOP 0x0200L
#define CBRS_BORDER_RIGHT 0x0400L
#define CBRS_BORDER_BOTTOM 0x0800L
#define CBRS_BORDER_ANY 0x0F00L
#define CBRS_TOOLTIPS 0x0010L
#define CBRS_FLYBY 0x0020L
#define CBRS_FLOAT_MULTI 0x0040L
#define CBRS_BORDER_3D 0x0080L
#define CBRS_HIDE_INPLACE 0x0008L
#define CBRS_SIZE_DYNAMIC 0x0004L
#define CBRS_SIZE_FIXED 0x0002L
#define CBRS_FLOATING 0x0001L
#define CBRS_GRIPPER 0x00400000L
#define CBRS_ORIENT_HORZ (CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM)
#define CBRS_ORIENT_VERT (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT)
#define CBRS_ORIENT_ANY (CBRS_ORIENT_HORZ | CBRS_ORIENT_VERT)
#define CBRS_ALL 0x0040FFFFL
#define CBRS_NOALIGN 0x00000000L
#define CBRS_LEFT (CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT)
#define CBRS_TOP (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM)
#define CBRS_RIGHT (CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT)
#define CBRS_BOTTOM (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP)

// ---- Layout modes of CalcDynamicLayout ----
#define LM_STRETCH 0x01   // stretch across the whole side
#define LM_HORZ 0x02      // horizontal, else vertical
#define LM_MRUWIDTH 0x04  // the most recently used floating width
#define LM_HORZDOCK 0x08  // docked along the top or bottom
#define LM_VERTDOCK 0x10  // docked along the left or right
#define LM_LENGTHY 0x20   // the length given is the height, else the width
#define LM_COMMIT 0x40    // remember the size as the floating one

// The width of the gripper of a docked bar with CBRS_GRIPPER, drawn at its leading edge.
#define AFX_CX_GRIPPER 3
#define AFX_CY_GRIPPER 3
#define AFX_CX_BORDER_GRIPPER 2
#define AFX_CY_BORDER_GRIPPER 2

class CControlBar : public CWnd {
    DECLARE_DYNAMIC(CControlBar)
protected:
    CControlBar();

public:
    ~CControlBar() override;

    // ---- Attributes ----
    int GetCount() const { return m_nCount; }
    DWORD GetBarStyle() const { return m_dwStyle; }
    void SetBarStyle(DWORD dwStyle);
    void SetBorders(int cxLeft = 0, int cyTop = 0, int cxRight = 0, int cyBottom = 0);
    void SetBorders(LPCRECT lpRect) { SetBorders(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    CRect GetBorders() const { return CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder); }
    // The frame the bar docks in (its dock site), else the frame it sits in.
    CFrameWnd* GetDockingFrame() const;
    BOOL IsFloating() const;
    virtual BOOL IsDockBar() const { return FALSE; }
    // Visible as the layout sees it: a delayed show counts as shown, a delayed hide as hidden.
    virtual BOOL IsVisible() const;

    // ---- Docking ----
    // The sides the bar may dock on (CBRS_ALIGN_ bits, CBRS_FLOAT_MULTI); makes the dock
    // context the first time.
    void EnableDocking(DWORD dwDockStyle);

    // ---- Layout ----
    virtual CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz);
    virtual CSize CalcDynamicLayout(int nLength, DWORD nMode);
    // Takes the borders (and the gripper of a docked bar) off a client rectangle.
    virtual void CalcInsideRect(CRect& rect, BOOL bHorz) const;

    // ---- Showing and hiding from inside a layout ----
    // Shows or hides the bar at the next layout instead of now, so that several bars change in
    // one repositioning.
    virtual void DelayShow(BOOL bShow);
    // Applies a delayed show or hide (called from WM_SIZEPARENT); answers the window's style as
    // the layout must see it.
    virtual DWORD RecalcDelayShow(AFX_SIZEPARENTPARAMS* lpLayout);

    // ---- Updating and drawing ----
    virtual void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler) = 0;
    virtual void OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle);
    virtual void DoPaint(CDC* pDC);
    void DrawBorders(CDC* pDC, CRect& rect);
    void DrawGripper(CDC* pDC, const CRect& rect);
    void EraseNonClient();
    // Fills the non-client band (what WM_NCCALCSIZE took off the client) with the face colour
    // and leaves the client excluded from the DC's clipping; the window rectangle, in window
    // coordinates, is given back.
    CRect FillNonClientBand(CDC& dc);

    // ---- Saved state ----
    void GetBarInfo(CControlBarInfo* pInfo);
    void SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd);

    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL DestroyWindow() override;

    // ---- State the docking classes and subclasses work with ----
    int m_cxLeftBorder = 6, m_cxRightBorder = 6;
    int m_cyTopBorder = 1, m_cyBottomBorder = 1;
    int m_cxDefaultGap = 2;
    UINT m_nMRUWidth = 32767;
    BOOL m_bAutoDelete = FALSE;   // the object deletes itself when its window is gone
    int m_nCount = 0;             // elements in m_pData
    void* m_pData = nullptr;      // the elements, allocated by AllocElements
    enum StateFlags { delayHide = 1, delayShow = 2, tempHide = 4, statusSet = 8 };
    UINT m_nStateFlags = 0;
    DWORD m_dwStyle = 0;          // CBRS_ bits
    DWORD m_dwDockStyle = 0;      // the sides it may dock on
    CFrameWnd* m_pDockSite = nullptr;
    CDockBar* m_pDockBar = nullptr;
    CDockContext* m_pDockContext = nullptr;

protected:
    // Makes room for nElements of cbElement bytes each, zeroed; the old ones are freed.
    BOOL AllocElements(int nElements, int cbElement);
    void PostNcDestroy() override;
    // Asks the frame for the layout again (now, or at the next idle time).
    void RecalcParentLayout(BOOL bDelay);

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnLButtonDown(UINT nFlags, CPoint pt);
    void OnLButtonDblClk(UINT nFlags, CPoint pt);
    LRESULT OnSizeParent(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaint(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcHitTestMsg(WPARAM wParam, LPARAM lParam);
    // The fly-by check; bars with timers of their own pass the others on to it.
    void OnTimer(UINT_PTR nIDEvent);

    UINT m_nIDFlyBy = 0;   // the command whose prompt the frame's message bar shows

    DECLARE_MESSAGE_MAP()
};

// Sends the prompt of command nID (0: the idle text) to the frame's message bar.
void AfxSetMessageString(CWnd* pFrame, UINT nID);
