// CCustomStatusbarWrapper: the main frame's status bar, with the scan meter's text.
#pragma once

#include "toolkit/frames/SECCustomStatusBar.h"

class CCustomStatusbarWrapper : public SECCustomStatusBar {
public:
    // 0 when the meter exists and shows the text, 1 when there is no meter.
    UINT SetProgressText(const CString& strText);
    // Moves the meter to nPos, painted at once at most once a frame, as StepProgress paints it.
    void SetProgressPos(UINT nPos);
};
