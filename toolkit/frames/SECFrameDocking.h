// SECFrameDocking: the docking that the toolkit's SDI and MDI frames share: toolkit dock bars
// along the sides, docking at an insertion position with a share and thickness, re-docking at a
// kept place, floating in toolkit mini frames, showing and hiding with the floating frames, and
// the saved layout under a profile name. A frame class mixes it in beside its framework base.
#pragma once

#include "platform/afx/frame/CFrameWnd.h"
#include "platform/core/CPtrList.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/docking/SECDockingFrame.h"

class SECControlBarManager;
class SECDockableFrame;
class SECDockState;

class SECFrameDocking : public SECDockingFrame {
public:
    SECFrameDocking() = default;
    ~SECFrameDocking() override;
    SECFrameDocking(const SECFrameDocking&) = delete;
    SECFrameDocking& operator=(const SECFrameDocking&) = delete;

    // The dock-bar map, in the order the frames walk it.
    struct DockSide {
        UINT id;
        DWORD style;
    };
    static const DockSide kDockSides[4];

    // ---- SECDockingFrame ----
    void DockBarInFrame(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect) override;
    void ReDockBarInFrame(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect) override;
    void FloatBarInFrame(CControlBar* pBar, CPoint point, DWORD dwStyle) override;
    SECControlBarManager* GetControlBarManager() const override { return m_pControlBarManager; }
    CPtrList* GetCreatedBarList() override { return &m_listCreatedBars; }

    // ---- What a frame may change ----
    // The dockable document frame inside a bar (a frame bar's child), or null.
    virtual SECDockableFrame* GetDockableFrameOfBar(CControlBar* pBar);
    // Moves the frame's styles between docked and floating (kept in window properties).
    virtual void SetFloatingStyles(CFrameWnd* pFrame, BOOL bFloating);
    // Covers the window rectangle of the frame's parent frame.
    virtual void FitFrameToParent(CFrameWnd* pFrame);

    CRuntimeClass* m_pDockBarClass = nullptr;
    SECControlBarManager* m_pControlBarManager = nullptr;
    CPtrList m_listCreatedBars;   // bars a loaded layout made by class name

protected:
    virtual CFrameWnd* DockingHost() = 0;

    void DoEnableDocking(DWORD dwDockStyle);
    SECDockBar* DoCreateDockBar();
    CDockBar* DockBarById(UINT nID);
    CDockBar* DefaultDockBar(CControlBar* pBar);
    void DoDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect);
    void DoDockControlBarEx(CControlBar* pBar, const SECDockPos& pos, UINT nDockBarID, const SECDockSize& size);
    void DoReDockControlBar(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect);
    void DoFloatControlBar(CControlBar* pBar, CPoint point, DWORD dwStyle);
    void DoShowControlBar(CControlBar* pBar, BOOL bShow, BOOL bDelay);
    void DoLoadBarState(LPCTSTR lpszProfileName, BOOL bMainWindowFirst);
    void DoSaveBarState(LPCTSTR lpszProfileName);
    // The style a bar floats with: a dynamic bar floats top-aligned with sizing edges.
    static DWORD FloatStyleFor(CControlBar* pBar, DWORD dwStyle);
    // After the bar's own floating: a toolkit bar without the fixed bit gets a thick frame.
    static void AdjustFloatingFrame(CControlBar* pBar, CFrameWnd* pFloatFrame);
};
