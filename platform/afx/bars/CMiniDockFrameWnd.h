// CMiniDockFrameWnd: the small captioned window a floating bar sits in, through a dock bar of its
// own. It takes the size its bars ask for; its caption drags the bar and a double click on it
// docks the bar again; closing it hides its bars.
#pragma once

#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/frame/CFrameWnd.h"

class CMiniDockFrameWnd : public CFrameWnd {
    DECLARE_DYNCREATE(CMiniDockFrameWnd)
public:
    CMiniDockFrameWnd();
    static constexpr DWORD kFrameStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    static constexpr DWORD kFrameExStyle = WS_EX_TOOLWINDOW;
    ~CMiniDockFrameWnd() override;

    virtual BOOL Create(CWnd* pParent, DWORD dwBarStyle);
    // Sizes the frame round its dock bar's rows.
    void RecalcMiniLayout();

    CDockBar m_wndDockBar{TRUE};

protected:
    void PostNcDestroy() override;
    void OnClose();
    LRESULT OnNcLButtonDown(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDblClk(WPARAM wParam, LPARAM lParam);
    // The one bar inside, whose dock context the caption drives.
    CControlBar* TheBar() const;

    DECLARE_MESSAGE_MAP()
};

// Lays out a frame's bars again: a mini frame sizes round its bars, any other frame repositions
// them (bDelay is a hint; layouts are cheap enough to run at once).
void AfxRecalcFrameLayout(CFrameWnd* pFrame, BOOL bDelay);
