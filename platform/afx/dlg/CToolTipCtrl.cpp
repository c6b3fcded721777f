// CToolTipCtrl: creation and the tool records its members fill in.
#include "platform/afx/dlg/CToolTipCtrl.h"

#include <string>

IMPLEMENT_DYNAMIC(CToolTipCtrl, CWnd)

BOOL CToolTipCtrl::Create(CWnd* pParentWnd, DWORD dwStyle)
{
    HWND hWndParent = pParentWnd ? pParentWnd->GetSafeHwnd() : nullptr;
    return CreateEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | dwStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, hWndParent, nullptr);
}

void CToolTipCtrl::FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool) const
{
    ti = TOOLINFO{};
    ti.cbSize = sizeof(TOOLINFO);
    HWND hWnd = pWnd ? pWnd->GetSafeHwnd() : nullptr;
    if (nIDTool == 0) {
        // The whole window is the tool, named by its handle.
        ti.hwnd = ::GetParent(hWnd) ? ::GetParent(hWnd) : hWnd;
        ti.uFlags = TTF_IDISHWND;
        ti.uId = reinterpret_cast<UINT_PTR>(hWnd);
    } else {
        ti.hwnd = hWnd;
        ti.uFlags = 0;
        ti.uId = nIDTool;
    }
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, LPCTSTR lpszText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    if (!pWnd || !pWnd->GetSafeHwnd())
        return FALSE;
    // A rectangle without an id names no tool the control could tell apart.
    if (lpRectTool && nIDTool == 0)
        return FALSE;
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    if (lpRectTool)
        ti.rect = *lpRectTool;
    ti.lpszText = const_cast<LPSTR>(lpszText);
    return static_cast<BOOL>(SendMessage(TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool, UINT_PTR nIDTool)
{
    // The text is read from whichever module's string table has it; the control copies it.
    CString text;
    if (nIDText == 0 || !text.LoadString(nIDText))
        return FALSE;
    return AddTool(pWnd, text.GetString(), lpRectTool, nIDTool);
}

void CToolTipCtrl::DelTool(CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    SendMessage(TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool)
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.lpszText = const_cast<LPSTR>(lpszText);
    SendMessage(TTM_UPDATETIPTEXT, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool)
{
    CString text;
    if (text.LoadString(nIDText))
        UpdateTipText(text.GetString(), pWnd, nIDTool);
}

void CToolTipCtrl::GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool) const
{
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    std::string buffer(1024, '\0');
    ti.lpszText = buffer.data();
    SendMessage(TTM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&ti));
    str = buffer.c_str();
}

BOOL CToolTipCtrl::GetToolInfo(TOOLINFO& ToolInfo, CWnd* pWnd, UINT_PTR nIDTool) const
{
    FillInToolInfo(ToolInfo, pWnd, nIDTool);
    return static_cast<BOOL>(SendMessage(TTM_GETTOOLINFO, 0, reinterpret_cast<LPARAM>(&ToolInfo)));
}

void CToolTipCtrl::SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect)
{
    if (!lpRect)
        return;
    TOOLINFO ti;
    FillInToolInfo(ti, pWnd, nIDTool);
    ti.rect = *lpRect;
    SendMessage(TTM_NEWTOOLRECT, 0, reinterpret_cast<LPARAM>(&ti));
}

BOOL CToolTipCtrl::HitTest(CWnd* pWnd, CPoint pt, LPTOOLINFO lpToolInfo) const
{
    if (!pWnd || !lpToolInfo)
        return FALSE;
    TTHITTESTINFO hti{};
    hti.ti.cbSize = sizeof(TOOLINFO);
    hti.hwnd = pWnd->GetSafeHwnd();
    hti.pt = pt;
    if (!SendMessage(TTM_HITTEST, 0, reinterpret_cast<LPARAM>(&hti)))
        return FALSE;
    *lpToolInfo = hti.ti;
    return TRUE;
}
