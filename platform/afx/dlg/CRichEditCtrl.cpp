// CRichEditCtrl: creation and the selection in its several forms.
#include "platform/afx/dlg/CRichEditCtrl.h"

#include <string>

IMPLEMENT_DYNAMIC(CRichEditCtrl, CWnd)

BOOL CRichEditCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create(RICHEDIT_CLASS, nullptr, dwStyle, rect, pParentWnd, nID);
}

void CRichEditCtrl::GetSel(long& nStartChar, long& nEndChar) const
{
    CHARRANGE cr{};
    GetSel(cr);
    nStartChar = cr.cpMin;
    nEndChar = cr.cpMax;
}

void CRichEditCtrl::SetSel(long nStartChar, long nEndChar)
{
    CHARRANGE cr{static_cast<LONG>(nStartChar), static_cast<LONG>(nEndChar)};
    SetSel(cr);
}

CString CRichEditCtrl::GetSelText() const
{
    CHARRANGE cr{};
    GetSel(cr);
    CString text;
    GetWindowText(text);
    const int length = text.GetLength();
    const int first = cr.cpMin < 0 ? 0 : (cr.cpMin > length ? length : static_cast<int>(cr.cpMin));
    const int last = cr.cpMax < 0 || cr.cpMax > length ? length : static_cast<int>(cr.cpMax);
    return last > first ? text.Mid(first, last - first) : CString();
}
