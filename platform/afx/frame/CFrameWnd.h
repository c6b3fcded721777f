// CFrameWnd: a frame window, the window that holds views and bars and answers for them: tool
// tip texts of the commands inside it, among others.
#pragma once

#include "platform/afx/wnd/CWnd.h"

struct NMHDR;

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    CFrameWnd() = default;
    ~CFrameWnd() override = default;

    BOOL IsFrameWnd() const override;

    // TTN_NEEDTEXT for any tool inside the frame: the text after the '\n' of the command's
    // string resource (a whole-window tool names its control, whose id is the command).
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    DECLARE_MESSAGE_MAP()
};
