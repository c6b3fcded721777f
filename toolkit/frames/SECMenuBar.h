// SECMenuBar: the bar that shows a frame's menu as buttons. It stands here as a class so that
// the toolbar code can tell the menu bar by its class; its buttons come with the menu bar itself.
#pragma once

#include "toolkit/docking/SECControlBar.h"

class SECMenuBar : public SECControlBar {
    DECLARE_DYNCREATE(SECMenuBar)
public:
    SECMenuBar() = default;
    ~SECMenuBar() override = default;
    // FIXME: the menu buttons, tracking and the frame's menu plug-in.
};
