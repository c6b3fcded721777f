#include "platform/afx/wnd/CCmdUI.h"

#include "platform/afx/gdi/CMenu.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/Button.h"
#include "platform/win/UserApi.h"

namespace {

bool IsButton(HWND hwnd)
{
    return (SendMessage(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON) != 0;
}

} // namespace

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu) {
        // A pop-up's own state is left alone: its items decide it.
        if (!m_pSubMenu)
            ::EnableMenuItem(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther && m_pOther->m_hWnd) {
        // Disabling the control with the focus would leave the keyboard nowhere: move on first.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd) {
            HWND parent = ::GetParent(m_pOther->m_hWnd);
            if (parent)
                ::SendMessage(parent, WM_NEXTDLGCTL, 0, FALSE);
        }
        m_pOther->EnableWindow(bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu) {
        if (!m_pSubMenu)
            ::CheckMenuItem(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther && m_pOther->m_hWnd && IsButton(m_pOther->m_hWnd)) {
        m_pOther->SendMessage(BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

namespace {
HBITMAP g_menuRadioBitmap = nullptr;
}

HBITMAP AfxSetMenuRadioBitmap(HBITMAP hBitmap)
{
    HBITMAP old = g_menuRadioBitmap;
    g_menuRadioBitmap = hBitmap;
    return old;
}

HBITMAP AfxGetMenuRadioBitmap()
{
    return g_menuRadioBitmap;
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (m_pMenu && !m_pSubMenu && g_menuRadioBitmap) {
        // The installed dot stands in as the item's check bitmap.
        ::SetMenuItemBitmaps(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION, nullptr, g_menuRadioBitmap);
        ::CheckMenuItem(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | (bOn ? MF_CHECKED : MF_UNCHECKED));
        return;
    }
    if (m_pMenu && !m_pSubMenu) {
        if (bOn)
            ::CheckMenuRadioItem(m_pMenu->m_hMenu, m_nIndex, m_nIndex, m_nIndex, MF_BYPOSITION);
        else
            ::CheckMenuItem(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | MF_UNCHECKED);
        return;
    }
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (!lpszText)
        lpszText = "";
    if (m_pMenu) {
        if (m_pSubMenu)
            return;
        // Keep the item's state; only its text changes. A new label without a shortcut keeps
        // the shortcut the item showed ("Undo Paste" is still Ctrl+Z).
        UINT state = ::GetMenuState(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION);
        state &= MF_GRAYED | MF_DISABLED | MF_CHECKED;
        CString text = lpszText;
        if (text.Find('\t') < 0) {
            CString old;
            m_pMenu->GetMenuString(m_nIndex, old, MF_BYPOSITION);
            const int tab = old.Find('\t');
            if (tab >= 0)
                text += old.Mid(tab);
        }
        ::ModifyMenu(m_pMenu->m_hMenu, m_nIndex, MF_BYPOSITION | MF_STRING | state, m_nID, text);
    } else if (m_pOther && m_pOther->m_hWnd) {
        // Setting the same text again would only make the control flicker.
        CString current;
        m_pOther->GetWindowText(current);
        if (current != lpszText)
            m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE;   // separators and invalid ids have no state
    m_bEnableChanged = FALSE;
    BOOL result = pTarget->OnCmdMsg(m_nID, static_cast<int>(CN_UPDATE_COMMAND_UI), this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        AFX_CMDHANDLERINFO info{nullptr, nullptr};
        BOOL handler = pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info);
        Enable(handler);
        result = TRUE;
    }
    return result;
}
