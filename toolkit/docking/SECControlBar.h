// SECControlBar: the toolkit's dockable bar. Over the framework's bar it remembers a size for
// each of docked-horizontal, docked-vertical and floating, takes a share of its dock row, draws
// a gripper with close and expand buttons, insets its client, keeps its child windows in
// proportion when resized, opens a context menu and fills the extended saved-layout record.
#pragma once

#include "platform/afx/bars/CControlBar.h"
#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/frame/CMiniFrameWnd.h"
#include "platform/controls/ToolTip.h"
#include "platform/core/CPtrArray.h"
#include "toolkit/docking/SECGripperInfo.h"

class CMenu;
class SECControlBarInfo;
class SECControlBarManager;
class SECDockBar;

// Extended bar styles (the saved layout's "ExStyle").
#define CBRS_EX_STDCONTEXTMENU 0x0001L   // the right button opens the context menu
#define CBRS_EX_ALLOW_MDI_FLOAT 0x0020L  // the bar may float in the main window
#define CBRS_EX_COOLBORDERS 0x0100L      // flat borders; the gripper may be drawn
#define CBRS_EX_SIZE_TO_FIT 0x0040L      // the first child fills the bar while docked
#define CBRS_EX_UNIDIRECTIONAL 0x0004L   // fixed: keeps its size, thin floating frame
#define CBRS_EX_BORDERSPACE 0x0010L      // the client is inset by the client inset
#define CBRS_EX_FULL_ROW 0x0080L         // the bar takes a row of its own
#define CBRS_EX_GRIPPER 0x0200L
#define CBRS_EX_GRIPPER_CLOSE 0x0400L
#define CBRS_EX_GRIPPER_EXPAND 0x0800L
#define CBRS_EX_SHADOWBORDERS 0x0008L    // borders in the shadow colour with a highlight line
#define CBRS_EX_DRAWBORDERS CBRS_EX_SHADOWBORDERS
#define CBRS_EX_PROPORTIONAL 0x0002L     // children keep their proportions (layout records)


// Sent to the dock site before a bar's context menu opens: wParam the bar, lParam the CMenu.
#define WM_EXTENDCONTEXTMENU 0x38FF

// Commands of the bar's context menu.
#define ID_SEC_ALLOWDOCKING 43040
#define ID_SEC_HIDE 43041
#define ID_SEC_MDIFLOAT 43042

// Tool ids of the gripper buttons.
#define SEC_TOOLID_CLOSE 1024
#define SEC_TOOLID_EXPAND 2048

class SECControlBar : public CControlBar {
    DECLARE_DYNCREATE(SECControlBar)
public:
    SECControlBar();
    ~SECControlBar() override;

    // ---- Creation ----
    virtual BOOL Create(CWnd* pParentWnd, LPCTSTR lpszWindowName, DWORD dwStyle, DWORD dwExStyle, UINT nID,
                        CCreateContext* pContext = nullptr);
    virtual BOOL CreateEx(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, UINT nID, DWORD dwStyle, DWORD dwExStyle,
                          const RECT& rect, CWnd* pParentWnd, CCreateContext* pContext = nullptr);

    // ---- Layout ----
    CSize CalcFixedLayout(BOOL bStretch, BOOL bHorz) override;
    CSize CalcDynamicLayout(int nLength, DWORD nMode) override;
    // The client rectangle less the gripper (docked with one) or the client inset.
    virtual void GetInsideRect(CRect& rect);
    // Places a pane's one child over the inside rectangle, clear of the gripper and the inset
    // (no z-order change, no redraw, no activation); the room the child leaves or takes is
    // painted again by the bar.
    void FitChild(CWnd& child);
    void CalcInsideRect(CRect& rect, BOOL bHorz) const override;
    // As the two-argument form; a docked bar with a gripper also gives up the gripper's room
    // when bAllowGripper is set.
    void CalcInsideRect(CRect& rect, BOOL bHorz, BOOL bAllowGripper) const;

    // ---- Docking ----
    virtual CDockContext* CreateDockContext();
    void EnableDocking(DWORD dwDockStyle);
    BOOL IsFloatingInMDIChild() const;
    // The first id from nFirst up that no bar of the docking frame uses; 0 after 1000 tries.
    UINT FindFreeBarID(UINT nFirst);

    // ---- Extended style ----
    DWORD GetExBarStyle() const { return m_dwExStyle; }
    virtual void SetExBarStyle(DWORD dwExStyle, BOOL bRedraw = TRUE);
    virtual void ModifyBarStyleEx(DWORD dwRemove, DWORD dwAdd, BOOL bRedraw = TRUE);

    // ---- Drawing ----
    void DoPaint(CDC* pDC) override;
    virtual void DrawBorders(CDC* pDC, CRect& rect);
    virtual void AddGripperExtent(CRect& rect, BOOL bHorz);
    virtual void DrawGripper(CDC* pDC, CRect& rect);
    virtual void PlaceCloseButton(CDC* pDC, CRect& rect, BOOL bHorz);
    virtual void DrawCloseButtonPushed(CDC* pDC);
    virtual void DrawCloseButton(CDC* pDC);
    virtual void PlaceExpandButton(CDC* pDC, CRect& rect, BOOL bHorz);
    virtual void DrawExpandButtonPushed(CDC* pDC);
    virtual void DrawExpandButton(CDC* pDC);
    virtual void UpdateExpandState(BOOL bHorz);

    // ---- Saved layout ----
    virtual void GetBarInfoEx(SECControlBarInfo* pInfo);
    void SetBarInfoEx(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd);
    virtual void GetBarInfoExtra(SECControlBarInfo* pInfo);
    virtual void SetBarInfoExtra(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd);

    // ---- Hooks around docking and floating, called by the frames ----
    virtual void OnPreDock();
    virtual void OnPreDockDefault();
    virtual void OnPostDock(BOOL bDocked);
    virtual void OnPreFloat();
    virtual void OnPreFloatDefault();
    virtual void OnPostFloat(BOOL bFloated);
    virtual void OnPreMDIFloat();
    virtual void OnPreMDIFloatDefault();
    virtual void OnPostMDIFloat(BOOL bFloated);

    virtual void OnExtendContextMenu(CMenu* pMenu);
    virtual BOOL CanClose();
    virtual BOOL CanExpand();

    // ---- Child layout records (extended style 0x2) ----
    void RecordChildLayout();
    void FreeChildLayout();
    struct ChildRecord {
        HWND hwnd;
        CRect rect;
    };
    const CPtrArray* GetChildLayout() const { return m_pChildLayout; }

    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

    // ---- State (the saved layout and the dock bars read and write it) ----
    CSize m_szHorz{0, 0};
    CSize m_szVert{0, 0};
    CSize m_szFloat{0, 0};
    DWORD m_dwMRUDockingState = 0;
    float m_fPctWidth = 1.0f;     // share of the dock row ("PctWidth")
    float m_fPctWidth2 = 1.0f;    // the share kept while floating
    DWORD m_dwExStyle = 0;
    CRect m_rcBorderSpace{10, 10, 10, 10};
    SECControlBarManager* m_pManager = nullptr;
    SECGripperInfo m_GripperInfo;
    CRect m_rcClose;
    BOOL m_bClosePressed = FALSE;
    CRect m_rcExpand;
    BOOL m_bExpandPressed = FALSE;
    BOOL m_bExpandEnabled = TRUE;
    BOOL m_bContracted = TRUE;
    BOOL m_bHorzGripper = TRUE;
    CPtrArray* m_pChildLayout = nullptr;
    HWND m_hWndRedraw = nullptr;

    static CSize DefaultSize() { return CSize(300, 180); }

protected:
    // The dock bar the bar sits in, when it is a toolkit one.
    SECDockBar* GetSECDockBar() const;
    BOOL HasGripper() const;
    void ReleaseButtons(BOOL bRedraw);

    LRESULT OnNcCalcSizeSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcPaintSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnSetTextSEC(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnContextMenu(CWnd* pWnd, CPoint point);
    void OnDestroy();
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnAllowDocking();
    void OnHide();
    void OnFloatInMainWindow();

    DECLARE_MESSAGE_MAP()
};

// Whether an object is of the class registered under a name, or derives from it; FALSE when no
// such class is linked in. Lets the docking code ask about frame and toolbar classes that sit
// above it without depending on them.
BOOL SECIsKindOf(const CObject* pObject, LPCSTR lpszClassName);

// The bar as one of the docking layer's own, or null for a bar of the framework's.
inline SECControlBar* AsSEC(CControlBar* bar)
{
    return bar && bar->IsKindOf(RUNTIME_CLASS(SECControlBar)) ? static_cast<SECControlBar*>(bar) : nullptr;
}
