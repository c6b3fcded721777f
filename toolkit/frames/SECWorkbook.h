// SECWorkbook: the MDI frame with sheet tabs. It stands here as a class so that the docking
// code's questions about it answer; its tabs come with the workbook itself.
#pragma once

#include "toolkit/frames/SECMDIFrameWnd.h"

class SECWorkbook : public SECMDIFrameWnd {
    DECLARE_DYNCREATE(SECWorkbook)
public:
    SECWorkbook() = default;
    ~SECWorkbook() override = default;

    // FIXME: the sheet tabs; until they come the workbook shows none.
    BOOL m_bShowTabs = FALSE;
};
