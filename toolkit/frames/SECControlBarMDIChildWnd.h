// SECControlBarMDIChildWnd: a window of the MDI client that holds one floating dock bar, so a
// bar floated "in the main window" lives among the document windows. Closing it hides its bar.
#pragma once

#include "toolkit/docking/SECDockBar.h"
#include "toolkit/frames/SECMDIChildWnd.h"

class SECControlBarMDIChildWnd : public SECMDIChildWnd {
    DECLARE_DYNCREATE(SECControlBarMDIChildWnd)
public:
    SECControlBarMDIChildWnd();
    ~SECControlBarMDIChildWnd() override;

    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    // The only bar in the dock bar; null when it holds several.
    CControlBar* TheBar() const;

    SECDockBar m_wndDockBar{TRUE};
    WORD m_wReserved = 0;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnShowWindow(BOOL bShow, UINT nStatus);

    DECLARE_MESSAGE_MAP()
};
