// SECMiniDockFrameWnd: the floating frame of toolkit bars. It holds a toolkit dock bar in place
// of the framework's, so floating bars keep the toolkit's row layout, splitters and sizes, and
// hands presses on its caption and borders to the dock context of the bar inside.
#pragma once

#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "toolkit/docking/SECDockBar.h"

class SECMiniDockFrameWnd : public CMiniDockFrameWnd {
    DECLARE_DYNCREATE(SECMiniDockFrameWnd)
public:
    SECMiniDockFrameWnd();
    ~SECMiniDockFrameWnd() override;

    BOOL Create(CWnd* pParent, DWORD dwBarStyle) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    // Snaps the frame round its bars with its top-left at (x, y).
    virtual void RecalcLayoutAt(int x, int y, UINT nFlags);

    SECDockBar m_wndSECDockBar;

protected:
    void SetTitleFromDockBar();
    CControlBar* FirstBar() const;
    void OnClose();
    LRESULT OnNcLButtonDownSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcLButtonDblClkSEC(WPARAM wParam, LPARAM lParam);
    LRESULT OnParentNotifySEC(WPARAM wParam, LPARAM lParam);

    DECLARE_MESSAGE_MAP()
};

// A title cut to at most nMaxBytes bytes at a UTF-8 character boundary.
CString SECCutTitle(const CString& text, int nMaxBytes);
// The most bytes of its bar's name a floating frame's caption shows.
inline constexpr int kSECFloatingCaptionBytes = 259;
