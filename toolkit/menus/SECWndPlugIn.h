// SECWndPlugIn: a message-map object that shares a host window's handle without subclassing it.
// The host (or a hook) hands it each message first; its handlers decide whether the host still
// processes the message and what the message answers. It never owns or destroys the window.
#pragma once

#include "platform/afx/wnd/CWnd.h"

class SECWndPlugIn : public CWnd {
    DECLARE_DYNAMIC(SECWndPlugIn)
public:
    SECWndPlugIn() = default;
    ~SECWndPlugIn() override;

    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The message being dispatched answers lResult, whatever the handler returned.
    virtual void SetReturnValue(LRESULT lResult);
    virtual BOOL Attach(CWnd* pHost);
    virtual void Detach();
    virtual BOOL IsPluggedIn() const { return m_bPluggedIn; }

    // Set by a handler: the host must not process the message itself.
    BOOL m_bExitDefault = FALSE;
    // While FALSE, DefWindowProc does nothing; cleared before every message.
    BOOL m_bCallDefault = FALSE;

protected:
    BOOL m_bUseReturnValue = FALSE;
    LRESULT m_lReturnValue = 0;
    BOOL m_bPluggedIn = FALSE;
};
