// CCmdTarget: the base of every object that receives commands: it owns a message map and
// answers OnCmdMsg by looking the command up in it and in its base classes' maps.
#pragma once

#include "platform/afx/wnd/MessageMap.h"
#include "platform/core/CObject.h"

class CCmdTarget : public CObject {
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;

    // Routes a command (nCode CN_COMMAND), an update (CN_UPDATE_COMMAND_UI, pExtra a CCmdUI*)
    // or a notification (MAKELONG(code, WM_NOTIFY), pExtra an AFX_NOTIFY*) to this object's
    // handler. With pHandlerInfo it only says whether a handler exists and which one.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    // Wait cursor while a long operation runs (nCode 1 begin, -1 end, 0 restore).
    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // The entry of a map chain that matches a window message (see CWnd::OnWndMsg).
    static const AFX_MSGMAP_ENTRY* FindMessageEntry(const AFX_MSGMAP* pMap, UINT message, WPARAM wParam,
                                                    LPARAM lParam);
    // The entry of a map chain that matches a routed command or notification.
    static const AFX_MSGMAP_ENTRY* FindCommandEntry(const AFX_MSGMAP* pMap, UINT nMsg, UINT nCode, UINT nID);

protected:
    static const AFX_MSGMAP* GetThisMessageMap();
    virtual const AFX_MSGMAP* GetMessageMap() const;
    friend class CWnd;
};

// Runs an update handler for a CCmdUI and answers whether it took the update: a handler that
// calls ContinueRouting lets the next target see it too.
template <class Fn>
BOOL AfxCallUpdateHandler(CCmdUI* pCmdUI, Fn&& fn);
