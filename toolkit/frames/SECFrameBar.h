// SECFrameBar: the control bar a docked document frame lives in. It keeps the frame covering
// its inside, docked or floating, and goes with its window.
#pragma once

#include "toolkit/docking/SECControlBar.h"

class SECFrameBar : public SECControlBar {
    // Not made by name: a saved layout drops a document's bar rather than making an empty one.
    DECLARE_DYNAMIC(SECFrameBar)
public:
    SECFrameBar();
    ~SECFrameBar() override;

protected:
    void OnSize(UINT nType, int cx, int cy);

    DECLARE_MESSAGE_MAP()
};
