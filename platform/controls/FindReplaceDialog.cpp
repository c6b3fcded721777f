// The find and replace dialogs: built-in templates or the caller's, the hook, and the
// notifications to the owner.
#include "platform/controls/FindReplaceDialog.h"

#include "platform/controls/Button.h"
#include "platform/controls/CommonDialogSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/Static.h"


namespace {

constexpr DWORD kRequestFlags = FR_FINDNEXT | FR_REPLACE | FR_REPLACEALL | FR_DIALOGTERM;

struct FindState;
// The state of the dialog being created, until its WM_INITDIALOG takes it over.
thread_local FindState* t_pending = nullptr;

struct FindState {
    FINDREPLACE* fr = nullptr;
    bool replace = false;
    UINT message = 0;
    UINT helpMessage = 0;
    bool ended = false;   // the owner was told the dialog ends
};

std::vector<BYTE> FindTemplate()
{
    using C = DialogControlClass;
    // Centred over the window it searches, like the program's other dialogs.
    DialogTemplate t = commdlg::Frame("Find", 238, 62);
    commdlg::Add(t, C::Static, "Fi&nd what:", SS_LEFT, 5, 9, 42, 8, 0xFFFF);
    commdlg::Add(t, C::Edit, "", WS_BORDER | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 48, 7, 128, 12, edt1);
    commdlg::Add(t, C::Button, "Match &whole word only", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 5, 26, 100, 12, chx1);
    commdlg::Add(t, C::Button, "Match ca&se", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 42, 64, 12, chx2);
    commdlg::Add(t, C::Button, "Direction", BS_GROUPBOX | WS_GROUP, 107, 24, 69, 32, grp1);
    commdlg::Add(t, C::Button, "&Up", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP, 112, 37, 28, 12, rad1);
    commdlg::Add(t, C::Button, "&Down", BS_AUTORADIOBUTTON, 141, 37, 33, 12, rad2);
    commdlg::Add(t, C::Button, "&Find Next", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 183, 6, 50, 14, IDOK);
    commdlg::Add(t, C::Button, "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 183, 24, 50, 14, IDCANCEL);
    commdlg::Add(t, C::Button, "&Help", BS_PUSHBUTTON | WS_TABSTOP, 183, 42, 50, 14, pshHelp);
    return WriteDialogTemplate(t);
}

std::vector<BYTE> ReplaceTemplate()
{
    using C = DialogControlClass;
    // Centred over the window it searches, like the program's other dialogs.
    DialogTemplate t = commdlg::Frame("Replace", 232, 94);
    commdlg::Add(t, C::Static, "Fi&nd what:", SS_LEFT, 5, 9, 48, 8, 0xFFFF);
    commdlg::Add(t, C::Edit, "", WS_BORDER | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 56, 7, 114, 12, edt1);
    commdlg::Add(t, C::Static, "Re&place with:", SS_LEFT, 5, 26, 48, 8, 0xFFFF);
    commdlg::Add(t, C::Edit, "", WS_BORDER | WS_TABSTOP | WS_GROUP | ES_AUTOHSCROLL, 56, 24, 114, 12, edt2);
    commdlg::Add(t, C::Button, "Match &whole word only", BS_AUTOCHECKBOX | WS_TABSTOP | WS_GROUP, 5, 46, 104, 12, chx1);
    commdlg::Add(t, C::Button, "Match ca&se", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 62, 64, 12, chx2);
    commdlg::Add(t, C::Button, "&Find Next", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 177, 5, 50, 14, IDOK);
    commdlg::Add(t, C::Button, "&Replace", BS_PUSHBUTTON | WS_TABSTOP, 177, 22, 50, 14, psh1);
    commdlg::Add(t, C::Button, "Replace &All", BS_PUSHBUTTON | WS_TABSTOP, 177, 39, 50, 14, psh2);
    commdlg::Add(t, C::Button, "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 177, 56, 50, 14, IDCANCEL);
    commdlg::Add(t, C::Button, "&Help", BS_PUSHBUTTON | WS_TABSTOP, 177, 75, 50, 14, pshHelp);
    return WriteDialogTemplate(t);
}

// Hides or disables a control the flags say so of; a caller's template may lack it.
void FindReplaceShape(HWND dlg, int id, bool hide, bool disable)
{
    if (HWND c = GetDlgItem(dlg, id)) {
        if (hide)
            ShowWindow(c, SW_HIDE);
        else if (disable)
            EnableWindow(c, FALSE);
    }
}

void EnableRequests(HWND dlg, const FindState& s)
{
    const bool any = GetWindowTextLength(GetDlgItem(dlg, edt1)) > 0;
    for (int id : {IDOK, psh1, psh2})
        if (HWND c = GetDlgItem(dlg, id))
            EnableWindow(c, any);
    (void)s;
}

void OnInitFindReplace(HWND dlg, FindState& s)
{
    const FINDREPLACE& fr = *s.fr;
    const DWORD f = fr.Flags;
    SetDlgItemText(dlg, edt1, fr.lpstrFindWhat);
    SendDlgItemMessage(dlg, edt1, EM_LIMITTEXT, fr.wFindWhatLen - 1u, 0);
    if (s.replace) {
        SetDlgItemText(dlg, edt2, fr.lpstrReplaceWith);
        SendDlgItemMessage(dlg, edt2, EM_LIMITTEXT, fr.wReplaceWithLen - 1u, 0);
    }
    CheckDlgButton(dlg, chx1, (f & FR_WHOLEWORD) ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dlg, chx2, (f & FR_MATCHCASE) ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(dlg, rad1, rad2, (f & FR_DOWN) ? rad2 : rad1);
    FindReplaceShape(dlg, chx1, f & FR_HIDEWHOLEWORD, f & FR_NOWHOLEWORD);
    FindReplaceShape(dlg, chx2, f & FR_HIDEMATCHCASE, f & FR_NOMATCHCASE);
    for (int id : {grp1, rad1, rad2})
        FindReplaceShape(dlg, id, f & FR_HIDEUPDOWN, f & FR_NOUPDOWN);
    FindReplaceShape(dlg, pshHelp, !(f & FR_SHOWHELP), false);
    EnableRequests(dlg, s);
    HWND edit = GetDlgItem(dlg, edt1);
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 0, -1);
}

// Copies the dialog's texts and choices into the caller's record and sends it to the owner.
void Notify(HWND dlg, FindState& s, DWORD request)
{
    FINDREPLACE& fr = *s.fr;
    if (GetDlgItem(dlg, edt1))
        commdlg::CopyOut(commdlg::ItemText(dlg, edt1), fr.lpstrFindWhat, fr.wFindWhatLen);
    if (s.replace && GetDlgItem(dlg, edt2))
        commdlg::CopyOut(commdlg::ItemText(dlg, edt2), fr.lpstrReplaceWith, fr.wReplaceWithLen);
    DWORD flags = fr.Flags & ~kRequestFlags;
    // What the dialog shows wins; a flag whose control the template lacks stays as given.
    auto take = [&](int id, DWORD flag, bool on) {
        if (GetDlgItem(dlg, id))
            flags = on ? (flags | flag) : (flags & ~flag);
    };
    take(chx1, FR_WHOLEWORD, IsDlgButtonChecked(dlg, chx1) == BST_CHECKED);
    take(chx2, FR_MATCHCASE, IsDlgButtonChecked(dlg, chx2) == BST_CHECKED);
    if (s.replace && !GetDlgItem(dlg, rad2))
        flags |= FR_DOWN;   // replacing goes forward
    else
        take(rad2, FR_DOWN, IsDlgButtonChecked(dlg, rad2) == BST_CHECKED);
    fr.Flags = flags | request;
    if (request & FR_DIALOGTERM)
        s.ended = true;
    SendMessage(fr.hwndOwner, s.message, 0, reinterpret_cast<LPARAM>(&fr));
}

INT_PTR CALLBACK FindReplaceProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* s = reinterpret_cast<FindState*>(GetWindowLongPtr(dlg, DWLP_USER));
    if (message == WM_INITDIALOG) {
        s = reinterpret_cast<FindState*>(lParam);
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        t_pending = nullptr;   // the window owns it now and frees it when destroyed
        OnInitFindReplace(dlg, *s);
        // The hook sees the caller's record, as a caller's own dialog would.
        if ((s->fr->Flags & FR_ENABLEHOOK) && s->fr->lpfnHook)
            s->fr->lpfnHook(dlg, message, wParam, reinterpret_cast<LPARAM>(s->fr));
        return FALSE;
    }
    if (!s)
        return FALSE;
    // A dialog that goes with its owner's window, not by Cancel, still tells the owner it ended,
    // so that no owner keeps it as open.
    if (message == WM_DESTROY && !s->ended && IsWindow(s->fr->hwndOwner))
        Notify(dlg, *s, FR_DIALOGTERM);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtr(dlg, DWLP_USER, 0);
        delete s;
        return FALSE;
    }
    if ((s->fr->Flags & FR_ENABLEHOOK) && s->fr->lpfnHook && s->fr->lpfnHook(dlg, message, wParam, lParam))
        return TRUE;
    if (message != WM_COMMAND)
        return FALSE;
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == edt1 && code == EN_CHANGE) {
        EnableRequests(dlg, *s);
        return TRUE;
    }
    if (code != BN_CLICKED)
        return FALSE;
    switch (id) {
    case IDOK:
        if (GetWindowTextLength(GetDlgItem(dlg, edt1)) > 0)
            Notify(dlg, *s, FR_FINDNEXT);
        return TRUE;
    case psh1:
    case psh2:
        if (s->replace && GetWindowTextLength(GetDlgItem(dlg, edt1)) > 0)
            Notify(dlg, *s, id == psh1 ? FR_REPLACE : FR_REPLACEALL);
        return TRUE;
    case pshHelp:
        SendMessage(s->fr->hwndOwner, s->helpMessage, 0, reinterpret_cast<LPARAM>(s->fr));
        return TRUE;
    case IDCANCEL:
        Notify(dlg, *s, FR_DIALOGTERM);
        DestroyWindow(dlg);
        return TRUE;
    default:
        return FALSE;
    }
}

HWND Create(LPFINDREPLACE fr, bool replace)
{
    commdlg::Begin();
    if (!fr || fr->lStructSize != sizeof(FINDREPLACE)) {
        commdlg::SetError(CDERR_STRUCTSIZE);
        return nullptr;
    }
    if (!IsWindow(fr->hwndOwner)) {
        commdlg::SetError(CDERR_INITIALIZATION);
        return nullptr;
    }
    if (!fr->lpstrFindWhat || fr->wFindWhatLen == 0 ||
        (replace && (!fr->lpstrReplaceWith || fr->wReplaceWithLen == 0))) {
        commdlg::SetError(FRERR_BUFFERLENGTHZERO);
        return nullptr;
    }
    if ((fr->Flags & FR_ENABLEHOOK) && !fr->lpfnHook) {
        commdlg::SetError(CDERR_NOHOOK);
        return nullptr;
    }
    std::vector<BYTE> bytes;
    const void* templ = nullptr;
    if (fr->Flags & FR_ENABLETEMPLATEHANDLE) {
        templ = fr->hInstance;
        if (!templ) {
            commdlg::SetError(CDERR_NOTEMPLATE);
            return nullptr;
        }
    } else if (fr->Flags & FR_ENABLETEMPLATE) {
        if (!commdlg::LoadCallerTemplate(fr->hInstance, fr->lpTemplateName, bytes))
            return nullptr;
        templ = bytes.data();
    } else {
        bytes = replace ? ReplaceTemplate() : FindTemplate();
        templ = bytes.data();
    }
    auto* state = new FindState;
    state->fr = fr;
    state->replace = replace;
    state->message = RegisterWindowMessage(FINDMSGSTRING);
    state->helpMessage = RegisterWindowMessage(HELPMSGSTRING);
    t_pending = state;
    HWND dlg = CreateDialogIndirectParam(fr->hInstance, static_cast<LPCDLGTEMPLATE>(templ), fr->hwndOwner,
                                         FindReplaceProc, reinterpret_cast<LPARAM>(state));
    if (t_pending == state)
        delete state;   // no window ever took it
    t_pending = nullptr;
    if (!dlg) {
        commdlg::SetError(CDERR_DIALOGFAILURE);
        return nullptr;
    }
    ShowWindow(dlg, SW_SHOW);
    return dlg;
}

} // namespace

HWND FindText(LPFINDREPLACE lpfr)
{
    return Create(lpfr, false);
}

HWND ReplaceText(LPFINDREPLACE lpfr)
{
    return Create(lpfr, true);
}
