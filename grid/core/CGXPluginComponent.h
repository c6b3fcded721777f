// CGXPluginComponent: the base of window plug-ins. A plug-in shares its grid's window handle
// and sees each of the grid's messages first, through its own message map; flags it sets in a
// handler keep the message from the plug-ins after it or from the grid itself.
#pragma once

#include "platform/afx/wnd/CWnd.h"

class CGXPluginComponent : public CWnd {
    DECLARE_DYNAMIC(CGXPluginComponent)
public:
    CGXPluginComponent() = default;
    // Forgets the shared handle first: destroying a plug-in never destroys the grid's window.
    ~CGXPluginComponent() override;

    // Takes the window's handle as its own (no subclassing: the grid forwards the messages).
    virtual BOOL PlugIn(CWnd* pWnd);
    // Clears both flags and runs the plug-in's message map; TRUE when a handler took it.
    BOOL HandlePluginMessage(UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT* pResult);

    BOOL m_bSkipOtherPlugins = FALSE;
    BOOL m_bExitMesssage = FALSE;

protected:
    DECLARE_MESSAGE_MAP()
};
