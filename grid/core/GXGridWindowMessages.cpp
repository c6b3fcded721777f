#include "grid/core/GXGridWindowMessages.h"

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "platform/afx/dlg/CFindReplaceDialog.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CException.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

namespace {
CPoint PointOf(LPARAM lParam)
{
    return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
}

// A click into the grid takes the focus first, unless a window inside the grid (a cell's
// control) has it.
void TakeFocusForClick(CWnd& wnd)
{
    HWND hFocus = ::GetFocus();
    if (hFocus == nullptr || (hFocus != wnd.GetSafeHwnd() && !::IsChild(wnd.GetSafeHwnd(), hFocus)))
        wnd.SetFocus();
}

UINT FindReplaceMessage()
{
    static const UINT nMessage = ::RegisterWindowMessage("commdlg_FindReplace");
    return nMessage;
}
} // namespace

void GXPaintUninitialised(CWnd& wnd, BOOL& bReported)
{
    // Painting needs the grid's data: until it is initialised the window shows its background
    // and is validated, so the paint is not asked for again and again.
    {
        CPaintDC dc(&wnd);
        CRect rect;
        wnd.GetClientRect(&rect);
        dc.FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
    }
    if (!bReported) {
        bReported = TRUE;
        AfxThrowNotSupportedException();
    }
}

BOOL GXDispatchGridMessage(CGXGridCore& grid, CWnd& wnd, GXGridWindowKind kind, UINT nMessage, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
{
    lResult = 0;
    const UINT nKeyRep = LOWORD(lParam);
    const UINT nKeyFlags = HIWORD(lParam);
    switch (nMessage) {
    case WM_CTLCOLOR:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSTATIC: {
        HBRUSH hBrush = grid.HandleCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)), CWnd::FromHandle(reinterpret_cast<HWND>(lParam)),
                                            nMessage == WM_CTLCOLOR ? 0 : nMessage - WM_CTLCOLORMSGBOX);
        if (hBrush == nullptr)
            return FALSE;
        lResult = reinterpret_cast<LRESULT>(hBrush);
        return TRUE;
    }
    case WM_DESTROY:
        return grid.HandleDestroy();
    case WM_ERASEBKGND:
        lResult = TRUE; // the grid paints every pixel
        return TRUE;
    case WM_VSCROLL:
        return grid.HandleVScroll(LOWORD(wParam), HIWORD(wParam));
    case WM_HSCROLL:
        return grid.HandleHScroll(LOWORD(wParam), HIWORD(wParam));
    case WM_MOUSEWHEEL:
        if (!grid.HandleMouseWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointOf(lParam)))
            return FALSE;
        lResult = TRUE;
        return TRUE;
    case WM_MOUSEHWHEEL:
        if (!grid.HandleMouseHWheel(LOWORD(wParam), static_cast<short>(HIWORD(wParam)), PointOf(lParam)))
            return FALSE;
        lResult = TRUE;
        return TRUE;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
        return grid.RouteKeyMessage(&wnd, nMessage, static_cast<UINT>(wParam), nKeyRep, nKeyFlags);
    case WM_LBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (kind == GXGridWindowKind::window)
            TakeFocusForClick(wnd);
        if (nMessage == WM_LBUTTONDOWN)
            return grid.HandleLButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        if (nMessage == WM_MBUTTONDOWN)
            return grid.HandleMButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
        return grid.HandleRButtonDown(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_LBUTTONUP:
        return grid.HandleLButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_MBUTTONUP:
        return grid.HandleMButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_RBUTTONUP:
        return grid.HandleRButtonUp(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_LBUTTONDBLCLK:
        return grid.HandleLButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_MBUTTONDBLCLK:
        return grid.HandleMButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_RBUTTONDBLCLK:
        return grid.HandleRButtonDblClk(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_MOUSEMOVE:
        return grid.HandleMouseMove(static_cast<UINT>(wParam), PointOf(lParam));
    case WM_SETCURSOR:
        if (!grid.HandleSetCursor(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam)))
            return FALSE;
        lResult = TRUE;
        return TRUE;
    case WM_WINDOWPOSCHANGING:
        grid.NoteDueBeforeSize();
        return FALSE;
    case WM_SIZE:
        return grid.HandleSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    case WM_SHOWWINDOW:
        lResult = wnd.Default();
        grid.HandleShowWindow(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        return TRUE;
    case WM_SETFOCUS:
        lResult = wnd.Default();
        grid.HandleSetFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
        return TRUE;
    case WM_KILLFOCUS:
        lResult = wnd.Default();
        grid.HandleKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
        return TRUE;
    case WM_CONTEXTMENU:
        // From the keyboard the message carries no point; a right click's comes with one, and
        // the grid has answered that click already.
        if (static_cast<short>(LOWORD(lParam)) == -1 && static_cast<short>(HIWORD(lParam)) == -1)
            return grid.HandleKeyboardContextMenu();
        return FALSE;
    case WM_GETDLGCODE:
        lResult = static_cast<LRESULT>(wnd.Default()) | grid.HandleGetDlgCode();
        return TRUE;
    case WM_CANCELMODE:
        grid.HandleCancelMode();
        return TRUE;
    case WM_MOUSEACTIVATE: {
        const int nResult = grid.HandleMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
        if (nResult == 0)
            return FALSE;
        lResult = nResult;
        return TRUE;
    }
    case WM_SYSCOLORCHANGE:
        grid.HandleSysColorChange();
        return FALSE;
    case WM_SETTINGCHANGE:
        grid.HandleWinIniChange(reinterpret_cast<LPCTSTR>(lParam));
        return FALSE;
    case WM_TIMER:
        grid.HandleTimer(static_cast<UINT_PTR>(wParam));
        return FALSE;
    case WM_GX_SIZELOCK:
        grid.SetSizeLock(static_cast<BOOL>(wParam));
        return TRUE;
    case WM_GX_SETFOCUSCELL:
        wnd.SetFocus();
        grid.OnGridMessage(nMessage, wParam, lParam);
        return TRUE;
    case WM_GX_READONLYLOCK:
    case WM_GX_PRIVATE1:
    case WM_GX_PRIVATE2:
        lResult = grid.OnGridMessage(nMessage, wParam, lParam);
        return TRUE;
    default:
        break;
    }
    if (nMessage == FindReplaceMessage() && nMessage != 0) {
        // The message's lParam is the dialog's FINDREPLACE record, which leads back to the dialog.
        grid.HandleFindReplaceMessage(CFindReplaceDialog::GetNotifier(lParam));
        return TRUE;
    }
    return FALSE;
}
