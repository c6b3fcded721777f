// CWnd's dialog side: the data exchange pass and the helpers for a window's dialog items.
#include "platform/afx/dlg/CDataExchange.h"
#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/Dialog.h"
#include "platform/core/CException.h"

#include <string>

void CWnd::DoDataExchange(CDataExchange*) {}

BOOL CWnd::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    // The controls' notifications during the exchange are the exchange's own doing: handlers
    // reacting to them would see half-moved data.
    AFX_THREAD_STATE* state = AfxGetThreadState();
    HWND hWndOldLockout = state->m_hLockoutNotifyWindow;
    state->m_hLockoutNotifyWindow = m_hWnd;
    BOOL ok = FALSE;
    try {
        DoDataExchange(&dx);
        ok = TRUE;
    } catch (CUserException* e) {
        // A refused value: its message was shown and the focus is back on its control.
        e->Delete();
    } catch (CException* e) {
        TCHAR text[256] = "";
        e->GetErrorMessage(text, sizeof text);
        TRACE("data exchange of %p failed: %s\n", static_cast<void*>(m_hWnd), text);
        e->Delete();
    }
    state->m_hLockoutNotifyWindow = hWndOldLockout;
    return ok;
}

void CWnd::CheckDlgButton(int nIDButton, UINT nCheck)
{
    ::CheckDlgButton(m_hWnd, nIDButton, nCheck);
}

UINT CWnd::IsDlgButtonChecked(int nIDButton) const
{
    return ::IsDlgButtonChecked(m_hWnd, nIDButton);
}

void CWnd::CheckRadioButton(int nIDFirstButton, int nIDLastButton, int nIDCheckButton)
{
    ::CheckRadioButton(m_hWnd, nIDFirstButton, nIDLastButton, nIDCheckButton);
}

int CWnd::GetCheckedRadioButton(int nIDFirstButton, int nIDLastButton) const
{
    for (int nID = nIDFirstButton; nID <= nIDLastButton; ++nID)
        if (::IsDlgButtonChecked(m_hWnd, nID))
            return nID;
    return 0;
}

void CWnd::SetDlgItemText(int nID, LPCTSTR lpszString)
{
    ::SetDlgItemText(m_hWnd, nID, lpszString);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    rString.Empty();
    HWND hWnd = ::GetDlgItem(m_hWnd, nID);
    if (!hWnd)
        return 0;
    const int length = ::GetWindowTextLength(hWnd);
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    ::GetWindowText(hWnd, buffer.data(), length + 1);
    rString = buffer.c_str();
    return rString.GetLength();
}

void CWnd::SetDlgItemInt(int nID, UINT nValue, BOOL bSigned)
{
    ::SetDlgItemInt(m_hWnd, nID, nValue, bSigned);
}

UINT CWnd::GetDlgItemInt(int nID, BOOL* lpTrans, BOOL bSigned) const
{
    return ::GetDlgItemInt(m_hWnd, nID, lpTrans, bSigned);
}

LRESULT CWnd::SendDlgItemMessage(int nID, UINT message, WPARAM wParam, LPARAM lParam) const
{
    return ::SendDlgItemMessage(m_hWnd, nID, message, wParam, lParam);
}
