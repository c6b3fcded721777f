// The MDI-float containers: document windows that hold bars floated inside the main frame's
// MDI client. SECControlBarMDIChildWnd serves an ordinary MDI frame, SECControlBarWorksheet a
// workbook, where the container is a sheet with its tab. Both keep one floating dock bar as a
// member and share what they do with it through SECMDIFloatHost.
#pragma once

#include "toolkit/docking/SECDockBar.h"
#include "toolkit/frames/SECMDIChildWnd.h"
#include "toolkit/frames/SECWorkbook.h"

class SECMDIFloatHost {
public:
    SECMDIFloatHost();
    virtual ~SECMDIFloatHost();
    // The only bar in the dock bar; null when it holds several.
    CControlBar* TheBar() const;

    SECDockBar m_wndDockBar{TRUE};
    WORD m_wReserved = 0;

protected:
    // The dock bar is made in the main frame, so that the frame lists it among its bars, then
    // moved into the container.
    BOOL CreateFloatDockBar(CMDIChildWnd& self);
    // The container takes the bar's name.
    void TakeBarTitle(CWnd& self);
    // The bar's floating size follows the container's client size.
    void FitBarToSize(UINT nType, int cx, int cy);
    // Closing hides the bar and keeps the window for it to come back to; false when there is
    // no single bar, and the container closes as any window.
    bool HideBarOnClose(CMDIChildWnd& self);
    void RememberFloatPos(CWnd& self);
    void RefreshMainMenu(CMDIChildWnd& self);
};

class SECControlBarMDIChildWnd : public SECMDIChildWnd, public SECMDIFloatHost {
    DECLARE_DYNCREATE(SECControlBarMDIChildWnd)
public:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnClose();
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    void OnShowWindow(BOOL bShow, UINT nStatus);

    DECLARE_MESSAGE_MAP()
};

class SECControlBarWorksheet : public SECWorksheet, public SECMDIFloatHost {
    DECLARE_DYNCREATE(SECControlBarWorksheet)
public:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext* pContext) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void RecalcLayout(BOOL bNotify = TRUE) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};
