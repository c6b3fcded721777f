// CWnd's command routing: WM_COMMAND and WM_NOTIFY into OnCmdMsg, reflection of notifications
// and owner-draw messages to the child that sent them, idle updates of child controls, and the
// pre-translation walk.
#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/Button.h"
#include "platform/controls/ToolTip.h"

BOOL CWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    return CCmdTarget::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    const UINT nID = LOWORD(wParam);
    const auto hWndCtrl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (!hWndCtrl) {
        // A menu item or accelerator: it may have been disabled since the menu was shown, or
        // the command may have been posted; ask the update handlers before running it.
        if (nID == 0)
            return FALSE;
        CTestCmdUI state;
        state.m_nID = nID;
        OnCmdMsg(nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr);
        if (!state.m_bEnabled) {
            TRACE("command %u is disabled: not run\n", nID);
            return TRUE;
        }
        nCode = CN_COMMAND;
    } else {
        if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd)
            return TRUE;   // notifications from this window are being ignored
        // The control's own object sees its notification first.
        if (ReflectMessage(hWndCtrl, WM_COMMAND, wParam, lParam, nullptr))
            return TRUE;
        if (nID == 0)
            return FALSE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    const HWND hWndCtrl = header->hwndFrom;
    const auto nID = static_cast<UINT>(header->idFrom);
    const int nCode = static_cast<int>(header->code);
    if (AfxGetThreadState()->m_hLockoutNotifyWindow == m_hWnd)
        return TRUE;
    if (hWndCtrl && ReflectMessage(hWndCtrl, WM_NOTIFY, wParam, lParam, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, header};
    if (OnCmdMsg(nID, static_cast<int>(MAKELONG(static_cast<WORD>(nCode), WM_NOTIFY)), &notify, nullptr))
        return TRUE;
    // Tool tips ask the window under the pointer for their texts; the frame answers for all
    // the windows inside it.
    if (nCode == static_cast<int>(TTN_NEEDTEXT) && hWndCtrl == AfxGetThreadState()->m_hToolTip && !IsFrameWnd()) {
        CWnd* frame = reinterpret_cast<CWnd*>(GetParentFrame());
        if (frame)
            return frame->OnCmdMsg(nID, static_cast<int>(MAKELONG(static_cast<WORD>(nCode), WM_NOTIFY)), &notify,
                                   nullptr);
    }
    return FALSE;
}

BOOL PASCAL CWnd::ReflectMessage(HWND hWndChild, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hWndChild);
    if (!pChild)
        return FALSE;
    return pChild->OnChildNotify(message, wParam, lParam, pResult);
}

BOOL PASCAL CWnd::ReflectLastMsg(HWND hWndChild, LRESULT* pResult)
{
    CWnd* pChild = FromHandlePermanent(hWndChild);
    return pChild ? pChild->SendChildNotifyLastMsg(pResult) : FALSE;
}

BOOL CWnd::SendChildNotifyLastMsg(LRESULT* pResult)
{
    const MSG msg = AfxGetThreadState()->m_lastSentMsg;
    return OnChildNotify(msg.message, msg.wParam, msg.lParam, pResult);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_COMPAREITEM:
    case WM_DELETEITEM:
    case WM_PARENTNOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return OnWndMsg(WM_REFLECT_BASE + message, wParam, lParam, pResult);
    default:
        return FALSE;
    }
}

// ---- Owner-draw and parent notifications: offered to the child's object first ----

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        if (CMenu* menu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem))) {
            menu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else if (ReflectMessage(lpDrawItemStruct->hwndItem, WM_DRAWITEM, static_cast<WPARAM>(nIDCtl),
                              reinterpret_cast<LPARAM>(lpDrawItemStruct), nullptr)) {
        return;
    }
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType != ODT_MENU) {
        // The item may be measured while its control is being created, before the parent
        // knows its id: the descendant search finds it by id wherever it sits.
        HWND child = ::GetDlgItem(m_hWnd, static_cast<int>(lpMeasureItemStruct->CtlID));
        if (child && ReflectMessage(child, WM_MEASUREITEM, static_cast<WPARAM>(nIDCtl),
                                    reinterpret_cast<LPARAM>(lpMeasureItemStruct), nullptr))
            return;
    }
    Default();
}

int CWnd::OnCompareItem(int nIDCtl, LPCOMPAREITEMSTRUCT lpCompareItemStruct)
{
    LRESULT result = 0;
    if (ReflectMessage(lpCompareItemStruct->hwndItem, WM_COMPAREITEM, static_cast<WPARAM>(nIDCtl),
                       reinterpret_cast<LPARAM>(lpCompareItemStruct), &result))
        return static_cast<int>(result);
    return static_cast<int>(Default());
}

void CWnd::OnDeleteItem(int nIDCtl, LPDELETEITEMSTRUCT lpDeleteItemStruct)
{
    if (ReflectMessage(lpDeleteItemStruct->hwndItem, WM_DELETEITEM, static_cast<WPARAM>(nIDCtl),
                       reinterpret_cast<LPARAM>(lpDeleteItemStruct), nullptr))
        return;
    Default();
}

void CWnd::OnParentNotify(UINT message, LPARAM lParam)
{
    if ((message == WM_CREATE || message == WM_DESTROY) &&
        ReflectMessage(reinterpret_cast<HWND>(lParam), WM_PARENTNOTIFY, message, lParam, nullptr))
        return;
    Default();
}

// ---- Idle updates ----

void CWnd::UpdateDialogControls(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CCmdUI state;
    CWnd wrapper;   // a handle-only stand-in for children without an object
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        CWnd* pChild = FromHandlePermanent(child);
        wrapper.m_hWnd = child;
        state.m_pOther = pChild ? pChild : &wrapper;
        state.m_nID = static_cast<UINT>(::GetDlgCtrlID(child));
        // A control that updates itself (an update handler reflected to it) comes first.
        if (pChild && pChild->CCmdTarget::OnCmdMsg(0, static_cast<int>(MAKELONG(0xFFFF, WM_REFLECT_BASE + WM_COMMAND)),
                                                   &state, nullptr))
            continue;
        // Then the handlers of this window itself, without routing further.
        if (CWnd::OnCmdMsg(state.m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), &state, nullptr))
            continue;
        // Only push buttons are disabled for want of a handler: check boxes, radio buttons and
        // group boxes act on their own, and other controls have no command.
        BOOL disable = bDisableIfNoHndler;
        if (disable) {
            if (!(::SendMessage(child, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)) {
                disable = FALSE;
            } else {
                const UINT kind = static_cast<UINT>(::GetWindowLong(child, GWL_STYLE)) & 0x0F;
                if (kind == BS_AUTOCHECKBOX || kind == BS_AUTO3STATE || kind == BS_GROUPBOX ||
                    kind == BS_AUTORADIOBUTTON)
                    disable = FALSE;
            }
        }
        state.DoUpdate(pTarget, disable);
    }
    wrapper.m_hWnd = nullptr;
}

void PASCAL CWnd::SendMessageToDescendants(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep,
                                           BOOL bOnlyPerm)
{
    for (HWND child = ::GetWindow(hWnd, GW_CHILD); child;) {
        // The next sibling is taken first: the message may destroy this child.
        HWND next = ::GetWindow(child, GW_HWNDNEXT);
        if (bOnlyPerm) {
            if (CWnd* pChild = FromHandlePermanent(child))
                AfxCallWndProc(pChild, child, message, wParam, lParam);
        } else {
            ::SendMessage(child, message, wParam, lParam);
        }
        if (bDeep && ::IsWindow(child) && ::GetWindow(child, GW_CHILD))
            SendMessageToDescendants(child, message, wParam, lParam, bDeep, bOnlyPerm);
        child = next;
    }
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep, BOOL bOnlyPerm)
{
    SendMessageToDescendants(m_hWnd, message, wParam, lParam, bDeep, bOnlyPerm);
}

// ---- Pre-translation ----

BOOL CWnd::PreTranslateMessage(MSG* pMsg)
{
    if (m_nFlags & WF_TOOLTIPS)
        FilterToolTipMessage(pMsg);
    return FALSE;
}

BOOL PASCAL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND hWnd = pMsg->hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* pWnd = FromHandlePermanent(hWnd))
            if (pWnd->PreTranslateMessage(pMsg))
                return TRUE;
        if (hWnd == hWndStop)
            break;
    }
    return FALSE;
}
