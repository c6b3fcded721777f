// CFrameWnd: a frame window, the window that holds a view and bars and answers for them:
// routing of commands to the active view, its document, the frame and the application; layout
// of bars around the view; titles; the message bar; accelerators; and tool tip texts of the
// commands inside it.
#pragma once

#include "platform/afx/AfxRes.h"
#include "platform/afx/wnd/CWnd.h"

#include <vector>

struct NMHDR;
struct CCreateContext;
class CControlBar;
class CDockBar;
class CDockState;
class CMiniDockFrameWnd;
class CDocument;
class CView;

// Frame styles kept in the window style's low bits.
#define FWS_ADDTOTITLE 0x00008000L   // the document's name is part of the title
#define FWS_PREFIXTITLE 0x00004000L  // the document's name comes first
#define FWS_SNAPTOBARS 0x00002000L

// What a frame puts aside while a print preview takes the place of its view: the pane hidden,
// the bars hidden, its menu and accelerators; the preview's close for the frame's own close.
struct CPrintPreviewState {
    HWND hWndMainPane = nullptr;
    std::vector<HWND> hiddenBars;
    HMENU hMenu = nullptr;
    HACCEL hAccelTable = nullptr;
    HWND hWndFocus = nullptr;
    BOOL(PASCAL* lpfnCloseProc)(CFrameWnd* pFrameWnd) = nullptr;
};

// The id the frame's own pane has while a preview stands in its place.
#define AFX_IDW_PANE_SAVE 0xEA21

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd();
    ~CFrameWnd() override;

    static const CRect rectDefault;

    BOOL IsFrameWnd() const override;

    // ---- Creation ----
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle = WS_OVERLAPPEDWINDOW,
                const RECT& rect = rectDefault, CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr,
                DWORD dwExStyle = 0, CCreateContext* pContext = nullptr);
    // Makes the frame from resource nIDResource: its title (the string's first part), menu,
    // accelerators; then the view the context asks for.
    virtual BOOL LoadFrame(UINT nIDResource, DWORD dwDefaultStyle = WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                           CWnd* pParentWnd = nullptr, CCreateContext* pContext = nullptr);
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    virtual BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext);
    CWnd* CreateView(CCreateContext* pContext, UINT nID = AFX_IDW_PANE_FIRST);
    // Shows the frame and tells its views to fill themselves (WM_INITIALUPDATE).
    virtual void InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible);

    // ---- Views and documents ----
    CView* GetActiveView() const { return m_pViewActive; }
    void SetActiveView(CView* pViewNew, BOOL bNotify = TRUE);
    virtual CDocument* GetActiveDocument();
    virtual CFrameWnd* GetActiveFrame();

    // ---- Layout ----
    virtual void RecalcLayout(BOOL bNotify = TRUE);
    // Asks for a layout at the next idle time instead of now.
    void DelayRecalcLayout(BOOL bNotify = TRUE);
    enum IdleFlags { idleMenu = 1, idleTitle = 2, idleNotify = 4, idleLayout = 8 };
    UINT m_nIdleFlags = 0;
    BOOL m_bInRecalcLayout = FALSE;   // a layout runs: another one from inside it is dropped
    CRect m_rectBorder;   // space kept inside the bars around the view

    // The bars that dock in the frame (filled by the bars themselves).
    void AddControlBar(CControlBar* pBar);
    void RemoveControlBar(CControlBar* pBar);
    std::vector<CControlBar*> m_listControlBars;

    // ---- Titles ----
    virtual void OnUpdateFrameTitle(BOOL bAddToTitle);
    void UpdateFrameTitleForDocument(LPCTSTR lpszDocName);
    void SetTitle(LPCTSTR lpszTitle) { m_strTitle = lpszTitle ? lpszTitle : ""; }
    CString GetTitle() const { return m_strTitle; }
    int m_nWindow = -1;   // the frame's number among its document's frames, or -1

    // ---- Message bar ----
    void SetMessageText(LPCTSTR lpszText);
    void SetMessageText(UINT nID);
    // The prompt of a command: its string resource up to the first line break.
    virtual void GetMessageString(UINT nID, CString& rMessage) const;
    virtual CWnd* GetMessageBar();
    UINT m_nIDTracking = 0;
    UINT m_nIDLastMessage = 0;

    // ---- Commands ----
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL m_bAutoMenuEnable = TRUE;   // items without a handler are disabled
    HACCEL m_hAccelTable = nullptr;
    HMENU m_hMenuDefault = nullptr;
    // Shows the frame and brings it to the top (nCmdShow -1: as it was, or shown).
    virtual void ActivateFrame(int nCmdShow = -1);

    // ---- Context help ----
    // Help? and Shift+F1: the pointer becomes a question mark until the user clicks something,
    // whose help then opens, chooses a menu command, whose help opens instead of the command
    // running, or presses Esc, which leaves the mode without help. Runs on the top-level frame.
    void OnContextHelp();
    BOOL IsInHelpMode() const { return m_bHelpMode; }
    // The help context of what lies at a screen point in a window of this frame: a bar's button
    // gives its command's context; otherwise the first window outward that answers
    // WM_HELPHITTEST, a control bar or frame gives its own (0x20000 plus its id or resource).
    DWORD_PTR HelpContextAt(HWND hWnd, POINT ptScreen) const;
    // In the help mode, a menu command or accelerator asks for the command's help instead.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    // While the top-level frame is in the help mode, it takes the mouse and keys first: TRUE
    // when the message was the mode's.
    BOOL PreTranslateHelpMode(MSG* pMsg);
    // Leaves the help mode, opening the help of the context unless it is 0.
    void ExitHelpMode(DWORD_PTR dwContext);
    // A menu key in the help mode: the menu it opens runs, and the command chosen gives help.
    BOOL HelpModeMenuKey(MSG* pMsg);
    // After a menu opened in the help mode: the command chosen there is taken from the queue,
    // so that it does not run, and its help opens; without one the mode goes on.
    void AfterHelpModeMenu();

    // ---- Print preview ----
    // Entering: the pane, the bars (but the status bar), the menu and the accelerators are
    // put aside in pState for a preview pane to take the view's place; leaving: they come back.
    virtual void OnSetPreviewMode(BOOL bPreview, CPrintPreviewState* pState);
    BOOL IsInPreview() const { return m_lpfnCloseProc != nullptr; }

    // ---- Floating windows and modal state ----
    // Sends WM_FLOATSTATUS with the FS_ flags to every window the top-level frame owns: its
    // floating palettes show, hide, enable and keep their captions in step with it.
    void NotifyFloatingWindows(DWORD dwFlags);
    // Disables the frame and every window it owns until the matching EndModalState; a modal
    // dialog ending inside keeps them disabled. Calls nest.
    void BeginModalState() override;
    void EndModalState() override;
    BOOL InModalState() const { return m_cModalStack != 0; }

    // TTN_NEEDTEXT for any tool inside the frame: the text after the '\n' of the command's
    // string resource (a whole-window tool names its control, whose id is the command).
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    // ---- Docking of control bars ----
    // Makes a dock bar along each side named (CBRS_ALIGN_ bits) for bars to dock in.
    void EnableDocking(DWORD dwDockStyle);
    // Docks pBar in the dock bar nDockBarID (0: the side of the bar's alignment, else the
    // first side it may dock on), at a screen rectangle or at the end.
    void DockControlBar(CControlBar* pBar, UINT nDockBarID = 0, LPCRECT lpRect = nullptr);
    void DockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    // Docks pBar back where its placeholder kept its place.
    void ReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect = nullptr);
    // Floats pBar in a mini frame whose top-left is at a screen point.
    void FloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle = 0x2000L /* CBRS_ALIGN_TOP */);
    void ShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    // The bar (or dock bar) with control id nID, docked or floating; null when none.
    CControlBar* GetControlBar(UINT nID);
    // The side whose dock bar a screen rectangle touches, among those allowed; 0 for none.
    DWORD CanDock(CRect rect, DWORD dwDockStyle, CDockBar** ppDockBar = nullptr);
    // The layout of the bars, taken or applied, and kept in the profile under a name.
    void GetDockState(CDockState& state);
    void SetDockState(const CDockState& state);
    void SaveBarState(LPCTSTR lpszProfileName);
    void LoadBarState(LPCTSTR lpszProfileName);
    // The class made for floating frames (null: CMiniDockFrameWnd).
    CRuntimeClass* m_pFloatingFrameClass = nullptr;
    // A new, hidden floating frame of that class for bars of style dwStyle; null on failure.
    virtual CMiniDockFrameWnd* CreateFloatingFrame(DWORD dwStyle);

protected:
    void PostNcDestroy() override;
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnClose();
    void OnSize(UINT nType, int cx, int cy);
    void OnSetFocus(CWnd* pOldWnd);
    void OnActivate(UINT nState, CWnd* pWndOther, BOOL bMinimized);
    BOOL OnNcActivate(BOOL bActive);
    void OnEnable(BOOL bEnable);
    void OnShowWindow(BOOL bShow, UINT nStatus);
    // Help for what the frame shows: lParam a help context, or 0 for the command being shown in
    // a menu, else the frame's own resource. TRUE when help was asked for.
    LRESULT OnCommandHelp(WPARAM wParam, LPARAM lParam);
    void OnInitMenuPopup(CMenu* pMenu, UINT nIndex, BOOL bSysMenu);
    void OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnSizeParentRecalc(WPARAM wParam, LPARAM lParam);
    // View > Status Bar and its kind: the bar with the command's id is checked while it shows,
    // and the command shows or hides it.
    void OnUpdateControlBarMenu(CCmdUI* pCmdUI);
    BOOL OnBarCheck(UINT nID);
    // The CAP, NUM and SCRL panes of a status bar follow their lock keys.
    void OnUpdateKeyIndicator(CCmdUI* pCmdUI);

    CView* m_pViewActive = nullptr;
    CString m_strTitle;
    UINT m_nIDHelp = 0;
    CCreateContext* m_pCreateContext = nullptr;   // during creation only
    BOOL(PASCAL* m_lpfnCloseProc)(CFrameWnd* pFrameWnd) = nullptr;   // closes a preview instead
    int m_cModalStack = 0;                  // BeginModalState calls not yet ended
    std::vector<HWND> m_modalDisabled;      // what the outermost BeginModalState disabled
    BOOL m_bFloatsHiddenByMinimize = FALSE;
    BOOL m_bHelpMode = FALSE;

private:
    // The frame that holds the help mode: the top-level frame of this one.
    CFrameWnd* GetHelpModeFrame() const;

protected:
    DECLARE_MESSAGE_MAP()
};
