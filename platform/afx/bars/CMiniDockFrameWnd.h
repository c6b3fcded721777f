// CMiniDockFrameWnd: the small captioned window a floating bar sits in, through a dock bar of its
// own. It is a mini frame that snaps to the size its bars ask for and keeps its caption active
// while its owner frame is; its caption drags the bar, its edges resize a bar that can change
// shape, a double click on the caption docks the bar again, and closing it hides its bars.
#pragma once

#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/frame/CMiniFrameWnd.h"

class CMiniDockFrameWnd : public CMiniFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    ~CMiniDockFrameWnd() override;

    // The window styles a floating frame is made with: a bar that changes shape (CBRS_SIZE_DYNAMIC)
    // gets sizing edges, any other one edges that only move the frame.
    static DWORD FrameStyleFor(DWORD dwBarStyle);
    // The window style and extended style such a frame has once made, for outlines of its size.
    static constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
    static constexpr DWORD kFrameExStyle = WS_EX_TOOLWINDOW;

    virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    // Sizes the frame round its dock bar's rows and takes the title of the bar inside.
    void RecalcLayout(BOOL bNotify = TRUE) override;
    void RecalcMiniLayout() { RecalcLayout(); }

    CDockBar m_wndDockBar{TRUE};

protected:
    void PostNcDestroy() override;
    void OnClose();
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);
    LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam);
    // The first bar inside, whose dock context the caption and edges drive.
    CControlBar* TheBar() const;

    DECLARE_MESSAGE_MAP()
};

// Lays out a frame's bars again: a floating frame sizes round its bars, any other frame
// repositions them, now or at the next idle time.
void AfxRecalcFrameLayout(CFrameWnd* pFrame, BOOL bDelay);
// The dock bar inside a floating frame (whatever class the frame and its dock bar are), or null.
CDockBar* AfxFloatingDockBar(CWnd* pMiniFrame);
