// CStatusBarCtrl: creation, pane texts and borders.
#include "platform/afx/dlg/CStatusBarCtrl.h"

#include <string>

IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)

BOOL CStatusBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(STATUSCLASSNAME, nullptr, dwStyle, rect, pParentWnd, nID);
}

int CStatusBarCtrl::GetTextLength(int nPane, int* pType) const
{
    const auto info = static_cast<DWORD>(SendMessage(SB_GETTEXTLENGTH, static_cast<WPARAM>(nPane)));
    if (pType)
        *pType = static_cast<int>(HIWORD(info));
    return static_cast<int>(LOWORD(info));
}

CString CStatusBarCtrl::GetText(int nPane, int* pType) const
{
    const int length = GetTextLength(nPane, pType);
    std::string buffer(static_cast<size_t>(length) + 1, '\0');
    if (length > 0)
        SendMessage(SB_GETTEXT, static_cast<WPARAM>(nPane), reinterpret_cast<LPARAM>(buffer.data()));
    return CString(buffer.c_str());
}

BOOL CStatusBarCtrl::GetBorders(int& nHorz, int& nVert, int& nSpacing) const
{
    int borders[3] = {0, 0, 0};
    const BOOL ok = GetBorders(borders);
    nHorz = borders[0];
    nVert = borders[1];
    nSpacing = borders[2];
    return ok;
}
