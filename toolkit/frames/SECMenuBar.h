// SECMenuBar: the bar a frame would show its menu on, as buttons, in place of the window's own
// menu line. This program has no such bar: the class is known by its name (the toolbar code
// and the toolbars dialog tell it apart by it) but cannot be made, by name or otherwise, since
// the bar's own operations (its buttons, hot tracking and menu mode) are left to a bar that
// implements them. A frame given one drives it through its frame side and its menu-bar
// feature.
#pragma once

#include "toolkit/docking/SECControlBar.h"
#include "toolkit/menus/SECMenuBarFeature.h"

class SECMenuBar : public SECControlBar, public ISECMenuBarHost {
    DECLARE_DYNAMIC(SECMenuBar)
public:
    ~SECMenuBar() override = default;
    CWnd* GetBarWnd() override { return this; }

protected:
    SECMenuBar() = default;
};
