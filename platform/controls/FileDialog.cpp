// The open and save dialogs' windows, over FileDialogModel.
#include "platform/controls/FileDialog.h"

#include "platform/controls/Button.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/CommonDialogSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/FileDialogModel.h"
#include "platform/controls/FolderTree.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/Static.h"

#include <cstring>
#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr int kFoldersLabel = 0xFFFF;

// The folder of the last file chosen (unless the caller asked OFN_NOCHANGEDIR), where the next
// dialog that names no folder opens. The process's working folder stays where it was: made the
// chosen folder, it would keep a removable disk busy for as long as the program runs.
std::string& LastChosenFolder()
{
    static std::string folder;
    return folder;
}

struct FileDialogState {
    OPENFILENAME* ofn = nullptr;
    FileDialogModel model;
    FolderTree tree;
    std::string title;
    std::string chosen;
    bool readOnlyChecked = false;
};

std::vector<BYTE> BuildTemplate(const char* title, bool save)
{
    using C = DialogControlClass;
    DialogTemplate t = commdlg::Frame(title, 278, 138);
    const DWORD list = WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT;
    commdlg::Add(t, C::Static, "File &name:", SS_LEFT, 6, 6, 92, 9, stc3);
    commdlg::Add(t, C::Edit, "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 6, 16, 92, 12, edt1);
    commdlg::Add(t, C::ListBox, "", list, 6, 32, 92, 68, lst1);
    commdlg::Add(t, C::Static, "", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 106, 18, 102, 9, stc1);
    commdlg::Add(t, C::Static, "&Folders:", SS_LEFT, 106, 6, 102, 9, kFoldersLabel);
    commdlg::Add(t, C::ListBox, "", list | LBS_OWNERDRAWFIXED, 106, 32, 102, 68, lst2);
    commdlg::Add(t, C::Static, save ? "Save as &type:" : "Files of &type:", SS_LEFT, 6, 106, 92, 9, stc2);
    commdlg::Add(t, C::ComboBox, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 6, 116, 92, 80, cmb1);
    commdlg::Add(t, C::Button, "&Read only", BS_AUTOCHECKBOX | WS_TABSTOP, 106, 117, 102, 10, chx1);
    commdlg::Add(t, C::Button, save ? "&Save" : "&Open", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 216, 16, 56, 14,
                 IDOK);
    commdlg::Add(t, C::Button, "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 216, 34, 56, 14, IDCANCEL);
    return WriteDialogTemplate(t);
}

void ShowFiles(HWND dlg, const FileDialogState& s)
{
    HWND files = GetDlgItem(dlg, lst1);
    SendMessage(files, WM_SETREDRAW, FALSE, 0);
    SendMessage(files, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : s.model.Files())
        SendMessage(files, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SendMessage(files, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(files, nullptr, TRUE);
}

void ShowFolder(HWND dlg, FileDialogState& s)
{
    SetDlgItemText(dlg, stc1, s.model.Folder().c_str());
    s.tree.Fill(GetDlgItem(dlg, lst2), "/", s.model.Folder());
    ShowFiles(dlg, s);
}

int Ask(HWND dlg, const FileDialogState& s, const std::string& text, UINT type)
{
    return MessageBox(dlg, text.c_str(), s.title.c_str(), type);
}

bool GoTo(HWND dlg, FileDialogState& s, const std::string& path)
{
    if (!s.model.SetFolder(path)) {
        Ask(dlg, s, path + "\nThis folder cannot be opened.\nCheck the path and try again.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    ShowFolder(dlg, s);
    return true;
}

// Whether a chosen file passes the checks the flags ask for, asking the user where they say so.
bool Accept(HWND dlg, const FileDialogState& s, const std::string& path)
{
    const std::string name = fs::path(path).filename().string();
    switch (s.model.Validate(path)) {
    case FileDialogModel::Check::Accept: return true;
    case FileDialogModel::Check::PathMissing:
        Ask(dlg, s, path + "\nPath does not exist.\nCheck the path and try again.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    case FileDialogModel::Check::FileMissing:
        Ask(dlg, s, name + "\nFile not found.\nCheck the file name and try again.", MB_OK | MB_ICONEXCLAMATION);
        return false;
    case FileDialogModel::Check::AskCreate:
        return Ask(dlg, s, name + "\nThis file does not exist.\nDo you want to create it?",
                   MB_YESNO | MB_ICONQUESTION) == IDYES;
    case FileDialogModel::Check::AskOverwrite:
        // Replacing a file loses it, so No is the default answer.
        return Ask(dlg, s, name + " already exists.\nDo you want to replace it?",
                   MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2) == IDYES;
    }
    return false;
}

void SelectEditText(HWND dlg)
{
    HWND edit = GetDlgItem(dlg, edt1);
    SetFocus(edit);
    SendMessage(edit, EM_SETSEL, 0, -1);
}

// Enter or the Open/Save button: open the folder chosen in the tree, or act on the typed text.
void OnOk(HWND dlg, FileDialogState& s)
{
    HWND focus = GetFocus();
    if (focus == GetDlgItem(dlg, lst2)) {
        const int index = static_cast<int>(SendMessage(focus, LB_GETCURSEL, 0, 0));
        if (const FolderTree::Entry* e = s.tree.At(index)) {
            const std::string path = e->path;
            if (path != s.model.Folder())
                GoTo(dlg, s, path);
        }
        return;
    }
    const FileDialogModel::Typed typed = s.model.Interpret(commdlg::ItemText(dlg, edt1));
    switch (typed.intent) {
    case FileDialogModel::Intent::Nothing: return;
    case FileDialogModel::Intent::GoTo:
        if (GoTo(dlg, s, typed.path))
            SetDlgItemText(dlg, edt1, "");
        SelectEditText(dlg);
        return;
    case FileDialogModel::Intent::Filter:
        if (typed.path != s.model.Folder() && !GoTo(dlg, s, typed.path))
            return;
        s.model.SetTypedPattern(typed.pattern);
        ShowFiles(dlg, s);
        SetDlgItemText(dlg, edt1, typed.pattern.c_str());
        SelectEditText(dlg);
        return;
    case FileDialogModel::Intent::Choose:
        if (!Accept(dlg, s, typed.path)) {
            SelectEditText(dlg);
            return;
        }
        s.chosen = typed.path;
        s.readOnlyChecked = IsDlgButtonChecked(dlg, chx1) == BST_CHECKED;
        EndDialog(dlg, IDOK);
        return;
    }
}

void OnInitFile(HWND dlg, FileDialogState& s)
{
    const OPENFILENAME& ofn = *s.ofn;
    SetWindowText(dlg, s.title.c_str());
    if (ofn.Flags & OFN_HIDEREADONLY)
        ShowWindow(GetDlgItem(dlg, chx1), SW_HIDE);
    else if (ofn.Flags & OFN_READONLY)
        CheckDlgButton(dlg, chx1, BST_CHECKED);
    HWND types = GetDlgItem(dlg, cmb1);
    for (const FileFilter& f : s.model.Filters())
        SendMessage(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.text.c_str()));
    SendMessage(types, CB_SETCURSEL, static_cast<WPARAM>(s.model.FilterIndex()), 0);
    if (s.model.Filters().empty())
        EnableWindow(types, FALSE);

    // The first folder that works of: the one asked for, the one of the initial path, the one
    // of the last file chosen, the current one, the root.
    std::string initialName = ofn.lpstrFile ? ofn.lpstrFile : "";
    std::string fromName;
    const size_t slash = initialName.rfind('/');
    if (slash != std::string::npos) {
        fromName = slash == 0 ? "/" : initialName.substr(0, slash);
        initialName.erase(0, slash + 1);
    }
    std::error_code error;
    const std::string candidates[] = {ofn.lpstrInitialDir ? ofn.lpstrInitialDir : "", fromName, LastChosenFolder(),
                                      fs::current_path(error).string(), "/"};
    for (const std::string& c : candidates)
        if (!c.empty() && s.model.SetFolder(c))
            break;
    SetDlgItemText(dlg, edt1, initialName.c_str());
    ShowFolder(dlg, s);
}

INT_PTR CALLBACK FileDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* s = reinterpret_cast<FileDialogState*>(GetWindowLongPtr(dlg, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        OnInitFile(dlg, *reinterpret_cast<FileDialogState*>(lParam));
        return TRUE;
    case WM_MEASUREITEM: {
        auto* m = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        if (m->CtlID != static_cast<UINT>(lst2))
            return FALSE;
        m->itemHeight = static_cast<UINT>(FolderTree::ItemHeight(dlg));
        return TRUE;
    }
    case WM_DRAWITEM: {
        auto* d = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
        if (!s || d->CtlID != static_cast<UINT>(lst2))
            return FALSE;
        s->tree.Draw(*d);
        return TRUE;
    }
    case WM_COMMAND: {
        if (!s)
            return FALSE;
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == IDOK && code == BN_CLICKED) {
            OnOk(dlg, *s);
        } else if (id == IDCANCEL && code == BN_CLICKED) {
            EndDialog(dlg, IDCANCEL);
        } else if (id == lst1 && (code == LBN_SELCHANGE || code == LBN_DBLCLK)) {
            HWND files = GetDlgItem(dlg, lst1);
            const int index = static_cast<int>(SendMessage(files, LB_GETCURSEL, 0, 0));
            if (index >= 0 && index < static_cast<int>(s->model.Files().size()))
                SetDlgItemText(dlg, edt1, s->model.Files()[static_cast<size_t>(index)].c_str());
            if (code == LBN_DBLCLK && index >= 0) {
                SetFocus(GetDlgItem(dlg, edt1));
                OnOk(dlg, *s);
            }
        } else if (id == lst2 && code == LBN_DBLCLK) {
            OnOk(dlg, *s);
        } else if (id == cmb1 && code == CBN_SELCHANGE) {
            s->model.SetFilterIndex(static_cast<int>(SendDlgItemMessage(dlg, cmb1, CB_GETCURSEL, 0, 0)));
            ShowFiles(dlg, *s);
        } else {
            return FALSE;
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// Fills the caller's record with the chosen path.
BOOL DeliverFileDialog(OPENFILENAME& ofn, const FileDialogState& s, bool readOnly)
{
    const std::string& path = s.chosen;
    if (path.size() + 1 > ofn.nMaxFile) {
        if (ofn.nMaxFile >= 2) {
            const WORD needed = static_cast<WORD>(std::min<size_t>(path.size() + 1, 0xFFFF));
            std::memcpy(ofn.lpstrFile, &needed, sizeof needed);
        }
        commdlg::SetError(FNERR_BUFFERTOOSMALL);
        return FALSE;
    }
    commdlg::CopyOut(path, ofn.lpstrFile, ofn.nMaxFile);
    const size_t nameAt = path.rfind('/') + 1;
    const std::string name = path.substr(nameAt);
    const size_t dot = name.rfind('.');
    ofn.nFileOffset = static_cast<WORD>(nameAt);
    ofn.nFileExtension = dot != std::string::npos && dot > 0 ? static_cast<WORD>(nameAt + dot + 1) : 0;
    if (ofn.lpstrFileTitle && ofn.nMaxFileTitle)
        commdlg::CopyOut(name, ofn.lpstrFileTitle, ofn.nMaxFileTitle);
    ofn.nFilterIndex = s.model.Filters().empty() ? 0 : static_cast<DWORD>(s.model.FilterIndex() + 1);
    ofn.Flags &= ~static_cast<DWORD>(OFN_READONLY | OFN_EXTENSIONDIFFERENT);
    if (readOnly)
        ofn.Flags |= OFN_READONLY;
    if (ofn.lpstrDefExt && *ofn.lpstrDefExt) {
        std::string want = ofn.lpstrDefExt;
        while (!want.empty() && want.front() == '.')
            want.erase(0, 1);
        const std::string got = ofn.nFileExtension ? path.substr(ofn.nFileExtension) : std::string();
        if (strcasecmp(want.c_str(), got.c_str()) != 0)
            ofn.Flags |= OFN_EXTENSIONDIFFERENT;
    }
    if (!(ofn.Flags & OFN_NOCHANGEDIR))
        LastChosenFolder() = path.substr(0, nameAt > 1 ? nameAt - 1 : 1);
    return TRUE;
}

BOOL Run(LPOPENFILENAME ofn, FileDialogModel::Mode mode)
{
    commdlg::Begin();
    if (!ofn || ofn->lStructSize != sizeof(OPENFILENAME)) {
        commdlg::SetError(CDERR_STRUCTSIZE);
        return FALSE;
    }
    if (!ofn->lpstrFile || ofn->nMaxFile == 0) {
        commdlg::SetError(CDERR_INITIALIZATION);
        return FALSE;
    }
    if (ofn->Flags & OFN_ENABLEHOOK) {
        commdlg::SetError(CDERR_NOHOOK);
        return FALSE;
    }
    if (ofn->Flags & (OFN_ENABLETEMPLATE | OFN_ENABLETEMPLATEHANDLE)) {
        commdlg::SetError(CDERR_NOTEMPLATE);
        return FALSE;
    }
    const bool save = mode == FileDialogModel::Mode::Save;
    auto state = std::make_unique<FileDialogState>(FileDialogState{
        ofn,
        FileDialogModel(mode, ofn->Flags, ParseFileFilters(ofn->lpstrFilter),
                        ofn->lpstrDefExt ? ofn->lpstrDefExt : ""),
        {},
        ofn->lpstrTitle ? ofn->lpstrTitle : (save ? "Save As" : "Open"),
        {},
        false});
    state->model.SetFilterIndex(ofn->nFilterIndex > 0 ? static_cast<int>(ofn->nFilterIndex) - 1 : 0);
    const std::vector<BYTE> bytes = BuildTemplate(state->title.c_str(), save);
    HWND owner = ofn->hwndOwner ? GetAncestor(ofn->hwndOwner, GA_ROOT) : nullptr;
    const INT_PTR result = DialogBoxIndirectParam(ofn->hInstance, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()),
                                                  owner, FileDialogProc, reinterpret_cast<LPARAM>(state.get()));
    if (result == -1) {
        commdlg::SetError(CDERR_DIALOGFAILURE);
        return FALSE;
    }
    if (result != IDOK)
        return FALSE;
    return DeliverFileDialog(*ofn, *state, state->readOnlyChecked);
}

} // namespace

BOOL GetOpenFileName(LPOPENFILENAME lpofn)
{
    return Run(lpofn, FileDialogModel::Mode::Open);
}

BOOL GetSaveFileName(LPOPENFILENAME lpofn)
{
    return Run(lpofn, FileDialogModel::Mode::Save);
}
