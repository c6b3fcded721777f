// Keyboard navigation in dialogs: the tab and group order, IsDialogMessage with its Tab, arrow,
// Enter, Esc and mnemonic handling, and the default push button that follows the focus.
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/DialogSupport.h"
#include "platform/win/Keyboard.h"

#include <cctype>
#include <string>
#include <vector>

namespace {

// EM_SETSEL, sent to controls that answer DLGC_HASSETSEL when they get the focus by keyboard.
constexpr UINT kEditSetSel = 0x00B1;

// Shown and enabled by its own style: a dialog still hidden while it is made has usable controls.
bool Usable(HWND hwnd)
{
    const auto style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    return (style & WS_VISIBLE) && !(style & WS_DISABLED);
}

DWORD StyleOf(HWND hwnd)
{
    return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
}

// The dialog's controls in creation order; the children of a control parent stand in its place.
void Collect(HWND parent, std::vector<HWND>& out)
{
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if ((GetWindowLong(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) && Usable(c))
            Collect(c, out);
        else
            out.push_back(c);
    }
}

std::vector<HWND> Controls(HWND dlg)
{
    std::vector<HWND> out;
    Collect(dlg, out);
    return out;
}

// The position of a control in the list, or of its ancestor that is in it (the edit inside a
// combo box stands for the combo box); -1 when it is not in the dialog.
int IndexOf(const std::vector<HWND>& list, HWND dlg, HWND ctl)
{
    for (HWND h = ctl; h && h != dlg; h = GetParent(h)) {
        for (size_t i = 0; i < list.size(); ++i)
            if (list[i] == h)
                return static_cast<int>(i);
    }
    return -1;
}

UINT DialogCode(HWND hwnd, WPARAM key = 0, MSG* msg = nullptr)
{
    return static_cast<UINT>(SendMessage(hwnd, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(msg)));
}

// The mnemonic of a label: the character after a single '&', lower-cased; 0 when none. A label
// with more than one takes its last, the letter its drawing underlines.
int MnemonicOf(const std::string& text)
{
    int mnemonic = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            mnemonic = std::tolower(static_cast<unsigned char>(text[i + 1]));
        ++i;
    }
    return mnemonic;
}

std::string TextOf(HWND hwnd)
{
    char buffer[256];
    const int n = GetWindowText(hwnd, buffer, sizeof buffer);
    return std::string(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

void UpdateDefaultButton(HWND dlg, HWND focus)
{
    const UINT focusCode = focus ? DialogCode(focus) : 0;
    const UINT defId = DialogInfoOf(dlg).defId;
    HWND want = (focusCode & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) ? focus
                : defId                                                   ? GetDlgItem(dlg, static_cast<int>(defId))
                                                                          : nullptr;
    for (HWND c : Controls(dlg)) {
        if (c != want && (DialogCode(c) & DLGC_DEFPUSHBUTTON))
            SendMessage(c, BM_SETSTYLE, (StyleOf(c) & 0xFFF0u) | BS_PUSHBUTTON, TRUE);
    }
    if (want && (DialogCode(want) & DLGC_UNDEFPUSHBUTTON))
        SendMessage(want, BM_SETSTYLE, (StyleOf(want) & 0xFFF0u) | BS_DEFPUSHBUTTON, TRUE);
}

void Command(HWND dlg, int id, HWND control)
{
    SendMessage(dlg, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void PressEnter(HWND dlg)
{
    // A push button with the focus is the one Enter presses, however it got the focus.
    HWND focus = GetFocus();
    if (focus && IsChild(dlg, focus) && IsWindowEnabled(focus) &&
        (DialogCode(focus) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        Command(dlg, GetDlgCtrlID(focus), focus);
        return;
    }
    const LRESULT def = SendMessage(dlg, DM_GETDEFID, 0, 0);
    const int id = HIWORD(def) == DC_HASDEFID ? LOWORD(def) : IDOK;
    HWND button = GetDlgItem(dlg, id);
    if (button && !IsWindowEnabled(button)) {
        MessageBeep(0);
        return;
    }
    Command(dlg, id, button);
}

void PressEscape(HWND dlg)
{
    HWND cancel = GetDlgItem(dlg, IDCANCEL);
    if (cancel && !IsWindowEnabled(cancel)) {
        MessageBeep(0);
        return;
    }
    Command(dlg, IDCANCEL, cancel);
}

// Finds the control whose label carries the mnemonic, searching on from the focus; activates it.
bool Mnemonic(HWND dlg, int key)
{
    key = std::tolower(key);
    if (key <= ' ')
        return false;
    const std::vector<HWND> list = Controls(dlg);
    if (list.empty())
        return false;
    const int from = IndexOf(list, dlg, GetFocus());
    const int n = static_cast<int>(list.size());
    for (int step = 1; step <= n; ++step) {
        HWND c = list[static_cast<size_t>(((from < 0 ? -1 : from) + step + n) % n)];
        if (!(StyleOf(c) & WS_VISIBLE))
            continue;
        const UINT code = DialogCode(c);
        if ((code & DLGC_STATIC) && (StyleOf(c) & 0x80u /* SS_NOPREFIX */) && !(code & DLGC_BUTTON) &&
            (StyleOf(c) & BS_TYPEMASK) != BS_GROUPBOX)
            continue;
        if (MnemonicOf(TextOf(c)) != key)
            continue;
        if (code & DLGC_STATIC) {
            // A label hands the focus on to the control after it.
            HWND next = GetNextDlgTabItem(dlg, c, FALSE);
            if (next)
                SetDialogFocus(dlg, next);
            return true;
        }
        if (!IsWindowEnabled(c))
            continue;
        if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
            SendMessage(c, BM_CLICK, 0, 0);
        } else if (code & DLGC_BUTTON) {
            SetDialogFocus(dlg, c);
            SendMessage(c, BM_CLICK, 0, 0);
        } else {
            SetDialogFocus(dlg, c);
        }
        return true;
    }
    return false;
}

void Deliver(MSG* msg)
{
    TranslateMessage(msg);
    DispatchMessage(msg);
}

} // namespace

BOOL PressMnemonic(HWND hWnd, int key)
{
    return Mnemonic(hWnd, key) ? TRUE : FALSE;
}

void SetDialogFocus(HWND dlg, HWND control)
{
    if (!control)
        return;
    if (DialogCode(control) & DLGC_HASSETSEL)
        SendMessage(control, kEditSetSel, 0, -1);
    SetFocus(control);
    UpdateDefaultButton(dlg, control);
}

void SetDefaultId(HWND dlg, UINT id)
{
    DialogInfoOf(dlg).defId = id;
    HWND focus = GetFocus();
    UpdateDefaultButton(dlg, focus && IsChild(dlg, focus) ? focus : nullptr);
}

HWND GetNextDlgTabItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    if (!IsWindow(hDlg))
        return nullptr;
    const std::vector<HWND> list = Controls(hDlg);
    const int n = static_cast<int>(list.size());
    if (!n)
        return nullptr;
    int at = hCtl ? IndexOf(list, hDlg, hCtl) : -1;
    if (at < 0)
        at = bPrevious ? 0 : n - 1;   // so that the first step lands on the first (or last) control
    for (int step = 1; step <= n; ++step) {
        const int i = ((at + (bPrevious ? -step : step)) % n + n) % n;
        HWND c = list[static_cast<size_t>(i)];
        if ((StyleOf(c) & WS_TABSTOP) && Usable(c))
            return c;
    }
    return hCtl;
}

HWND GetDlgTabFocus(HWND hDlg, HWND hCtl)
{
    if (!hCtl || !(DialogCode(hCtl) & DLGC_RADIOBUTTON) || SendMessage(hCtl, BM_GETCHECK, 0, 0) == BST_CHECKED)
        return hCtl;
    for (HWND c = GetNextDlgGroupItem(hDlg, hCtl, FALSE); c && c != hCtl; c = GetNextDlgGroupItem(hDlg, c, FALSE)) {
        if ((DialogCode(c) & DLGC_RADIOBUTTON) && SendMessage(c, BM_GETCHECK, 0, 0) == BST_CHECKED)
            return c;
    }
    return hCtl;
}

HWND GetNextDlgGroupItem(HWND hDlg, HWND hCtl, BOOL bPrevious)
{
    if (!IsWindow(hDlg))
        return nullptr;
    const std::vector<HWND> list = Controls(hDlg);
    const int n = static_cast<int>(list.size());
    if (!n)
        return nullptr;
    int at = hCtl ? IndexOf(list, hDlg, hCtl) : 0;
    if (at < 0)
        at = 0;
    int start = at;
    while (start > 0 && !(StyleOf(list[static_cast<size_t>(start)]) & WS_GROUP))
        --start;
    int end = at + 1;
    while (end < n && !(StyleOf(list[static_cast<size_t>(end)]) & WS_GROUP))
        ++end;
    const int size = end - start;
    for (int step = 1; step < size; ++step) {
        const int offset = ((at - start + (bPrevious ? -step : step)) % size + size) % size;
        HWND c = list[static_cast<size_t>(start + offset)];
        if (Usable(c))
            return c;
    }
    return hCtl ? hCtl : list[static_cast<size_t>(at)];
}

BOOL IsDialogMessage(HWND hDlg, LPMSG lpMsg)
{
    if (!hDlg || !lpMsg || !IsWindow(hDlg))
        return FALSE;
    HWND target = lpMsg->hwnd;
    if (!target || (target != hDlg && !IsChild(hDlg, target)))
        return FALSE;
    const UINT message = lpMsg->message;
    if (message != WM_KEYDOWN && message != WM_CHAR && message != WM_SYSCHAR) {
        Deliver(lpMsg);
        return TRUE;
    }
    const UINT code = DialogCode(target, lpMsg->wParam, lpMsg);
    if (code & DLGC_WANTMESSAGE) {
        Deliver(lpMsg);
        return TRUE;
    }
    if (message == WM_KEYDOWN) {
        switch (lpMsg->wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB)
                break;
            if (HWND next = GetNextDlgTabItem(hDlg, GetFocus(), GetKeyState(VK_SHIFT) < 0 ? TRUE : FALSE))
                SetDialogFocus(hDlg, GetDlgTabFocus(hDlg, next));
            return TRUE;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            if (code & DLGC_WANTARROWS)
                break;
            HWND focus = GetFocus();
            const BOOL back = lpMsg->wParam == VK_LEFT || lpMsg->wParam == VK_UP;
            HWND next = GetNextDlgGroupItem(hDlg, focus, back);
            if (next && next != focus) {
                SetDialogFocus(hDlg, next);
                // Moving through a group of automatic radio buttons chooses as it goes.
                if ((DialogCode(next) & DLGC_RADIOBUTTON) && (StyleOf(next) & BS_TYPEMASK) == BS_AUTORADIOBUTTON)
                    SendMessage(next, BM_CLICK, 0, 0);
            }
            return TRUE;
        }
        case VK_RETURN:
        case VK_EXECUTE:
            PressEnter(hDlg);
            return TRUE;
        case VK_ESCAPE:
            PressEscape(hDlg);
            return TRUE;
        default: break;
        }
        Deliver(lpMsg);
        return TRUE;
    }
    if (message == WM_CHAR) {
        if (!(code & DLGC_WANTCHARS) && Mnemonic(hDlg, static_cast<int>(lpMsg->wParam)))
            return TRUE;
        // Tab, Enter and Esc characters that no control wanted are dropped, not beeped.
        if (!(code & DLGC_WANTCHARS) && (lpMsg->wParam == '\t' || lpMsg->wParam == '\r' || lpMsg->wParam == 0x1B))
            return TRUE;
        Deliver(lpMsg);
        return TRUE;
    }
    // WM_SYSCHAR: Alt with a letter chooses a control before the menu sees it.
    if (Mnemonic(hDlg, static_cast<int>(lpMsg->wParam)))
        return TRUE;
    Deliver(lpMsg);
    return TRUE;
}
