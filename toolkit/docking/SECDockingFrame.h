// SECDockingFrame: what the toolkit's frames offer the docking code beneath them: their own
// docking, re-docking and floating (which tell the bars before and after), floating a bar in
// the main frame's client, and the bar manager and list of created bars of saved layouts.
#pragma once

#include "platform/core/CRect.h"
#include "platform/core/Types.h"

class CControlBar;
class CDockBar;
class CPtrList;
class CWnd;
class SECControlBarManager;

class SECDockingFrame {
public:
    virtual ~SECDockingFrame() = default;

    virtual void DockBarInFrame(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect) = 0;
    virtual void ReDockBarInFrame(CControlBar* pBar, CDockBar* pDockBar, LPCRECT lpRect) = 0;
    virtual void FloatBarInFrame(CControlBar* pBar, CPoint point, DWORD dwStyle) = 0;
    // Floats the bar as a window of the MDI client; FALSE where the frame has none.
    virtual BOOL FloatBarInMDIChild(CControlBar*, CPoint, DWORD) { return FALSE; }
    // A window of the MDI client holding a floating dock bar, for a saved layout; null where the
    // frame has no client.
    virtual CWnd* CreateFloatingMDIChild(DWORD) { return nullptr; }
    virtual SECControlBarManager* GetControlBarManager() const = 0;
    // The frame's list of bars that a loaded layout made by class name; may be null.
    virtual CPtrList* GetCreatedBarList() { return nullptr; }
};
