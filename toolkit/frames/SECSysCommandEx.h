// The system-command extension: a document frame moves between MDI child, docked and
// floating from its caption: an extra caption button (a diamond), a caption menu and a right
// double click on the caption. All of it travels through one registered message whose lParam
// points to a request record; the filters below produce and consume it.
#pragma once

#include "toolkit/caption/SECCaptionMsgFilter.h"

class CFrameWnd;
class CMDIChildWnd;
class SECMultiDocTemplate;
struct SECDockPos;
struct SECDockSize;

namespace nsSysCommandEx {

// The registered message ("Tarnwick::WM_SYSCOMMANDEX").
UINT SysCommandExMessage();

// wParam & 0xFFF0 of the message.
enum : UINT { SCX_COMMAND = 0xC000, SCX_GETMENU = 0xC010, SCX_CONTEXTMENU = 0xC020 };
// Request flags.
enum : DWORD { SCX_HASPOS = 0x1, SCX_HASSIZE = 0x2 };
// States and commands: one number space, a command names the state to reach.
enum : int {
    SCX_MDICHILD = 1, SCX_MDIMINIMIZED = 2, SCX_MDIMAXIMIZED = 3, SCX_MDIRESTORED = 4,
    SCX_DOCKED = 5, SCX_DOCKLEFT = 6, SCX_DOCKTOP = 7, SCX_DOCKRIGHT = 8, SCX_DOCKBOTTOM = 9,
    SCX_FLOATING = 10
};

// A request: built on the sender's stack and sent by pointer, never stored, so its fields are
// the native ones.
struct Request {
    HWND hWnd = nullptr;        // the frame the request is about
    DWORD dwFlags = 0;
    int x = 0, y = 0;           // with SCX_HASPOS, screen; x < 0: the centre of the frame
    int cx = 0, cy = 0;         // with SCX_HASSIZE, the floating frame's size
    RECT rcButton{0, 0, 0, 0};  // the button's screen rectangle, for requests from a button
    HMENU hMenu = nullptr;      // filled by the get-menu request
    int nCommand = -1;          // the state to reach, -1 for the default
    const SECDockPos* pDockPos = nullptr;
    const SECDockSize* pDockSize = nullptr;
};

// The group of a state or command: 1 MDI child, 5 docked, 10 floating, 0 none.
int GetStateGroup(int nState);

class ScxMsgFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(ScxMsgFilter)
public:
    explicit ScxMsgFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID) : SECMsgFilter(pWnd, nID) {}
    ScxMsgFilter(const ScxMsgFilter& other) : SECMsgFilter(other) {}
    SECMsgFilter* Clone() const override { return new ScxMsgFilter(*this); }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

    virtual LRESULT OnContextMenuRequest(Request& request, LRESULT* pResult);
    virtual LRESULT OnGetMenuRequest(Request& request, LRESULT* pResult);
    virtual LRESULT OnCommandRequest(Request& request, LRESULT* pResult);
    virtual HMENU GetMenu(const Request& request);
    virtual int TrackMenu(HMENU hMenu, const Request& request);
    virtual void SendMenuCommand(int nCmd, const Request& request);
    virtual HMENU BuildMenu(CFrameWnd* pFrame, int nState);
    virtual HMENU OnBuildMenu(const Request& request);
    virtual CFrameWnd* MakeMDIChild(CFrameWnd* pFrame, int nState, int nCmd, SECMultiDocTemplate* pTemplate, Request& request);
    virtual CFrameWnd* MakeDocked(CFrameWnd* pFrame, int nState, int nCmd, SECMultiDocTemplate* pTemplate, Request& request);
    virtual CFrameWnd* MakeFloating(CFrameWnd* pFrame, int nState, int nCmd, SECMultiDocTemplate* pTemplate, Request& request);
    virtual CFrameWnd* ToggleMDIChildDocked(CFrameWnd* pFrame, SECMultiDocTemplate* pTemplate);
    virtual CFrameWnd* FloatDockedFrame(CFrameWnd* pFrame, const Request& request);
    virtual CFrameWnd* DockFrame(CFrameWnd* pFrame, UINT nDockBarID, SECMultiDocTemplate* pTemplate, const Request& request);
    virtual int GetDefaultCommand(CFrameWnd* pFrame, int nState);
    virtual int GetWindowState(CFrameWnd* pFrame, SECMultiDocTemplate* pTemplate, const Request& request);
    virtual SECMultiDocTemplate* FindDocTemplate(const Request& request);
    virtual BOOL IsCopiedRequest(UINT nCode) const { return nCode == SCX_COMMAND || nCode == SCX_CONTEXTMENU; }

    BOOL m_bIsCopy = FALSE;
};

// The extra caption button: a click toggles docking, a right press or a hold of 400 ms opens
// the caption menu under it.
class ScxButtonMsgFilter : public SECCaptionControlMsgFilter {
    DECLARE_DYNCREATE(ScxButtonMsgFilter)
public:
    explicit ScxButtonMsgFilter(CWnd* pWnd = nullptr, UINT nID = SEC_FILTER_NOID);
    SECMsgFilter* Clone() const override { return new ScxButtonMsgFilter(*this); }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL IsVisible(BOOL* pDisabled) const override;
    void Draw() override;
    void SendCommand(int nKind, int x, int y) override;
    // The frame a request goes to (the maximized child for the menu-bar button).
    virtual CWnd* GetTargetFrame() const { return m_pWnd; }
};

class ScxButtonMDIChildMsgFilter : public ScxButtonMsgFilter {
    DECLARE_DYNCREATE(ScxButtonMDIChildMsgFilter)
public:
    using ScxButtonMsgFilter::ScxButtonMsgFilter;
    SECMsgFilter* Clone() const override { return new ScxButtonMDIChildMsgFilter(*this); }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL IsVisible(BOOL* pDisabled) const override;
};

// The button in the main frame's menu-bar row for its maximized child.
class ScxButtonMDIMaxChildMsgFilter : public ScxButtonMsgFilter {
    DECLARE_DYNCREATE(ScxButtonMDIMaxChildMsgFilter)
public:
    using ScxButtonMsgFilter::ScxButtonMsgFilter;
    SECMsgFilter* Clone() const override { return new ScxButtonMDIMaxChildMsgFilter(*this); }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL IsVisible(BOOL* pDisabled) const override;
    CWnd* GetTargetFrame() const override;
    virtual CMDIChildWnd* GetMaxChild() const;
};

class ScxCaptionNCRDBLClkFilter : public SECCaptionMsgFilter {
    DECLARE_DYNCREATE(ScxCaptionNCRDBLClkFilter)
public:
    using SECCaptionMsgFilter::SECCaptionMsgFilter;
    SECMsgFilter* Clone() const override { return new ScxCaptionNCRDBLClkFilter(*this); }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class ScxNCRDBLClkMDIMaxChildMsgFilter : public SECNcMsgFilter {
    DECLARE_DYNCREATE(ScxNCRDBLClkMDIMaxChildMsgFilter)
public:
    using SECNcMsgFilter::SECNcMsgFilter;
    SECMsgFilter* Clone() const override { return new ScxNCRDBLClkMDIMaxChildMsgFilter(*this); }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

class ScxContextMenuFilter : public SECMsgFilter {
    DECLARE_DYNCREATE(ScxContextMenuFilter)
public:
    using SECMsgFilter::SECMsgFilter;
    SECMsgFilter* Clone() const override { return new ScxContextMenuFilter(*this); }
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};

}   // namespace nsSysCommandEx
