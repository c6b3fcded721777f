// The folder browser and its ID lists.
#include "platform/controls/FolderBrowser.h"

#include "platform/controls/Button.h"
#include "platform/controls/CommonDialogSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/FolderTree.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/Static.h"
#include "platform/core/WinError.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>

// An ID list is its path and a NUL in one block from the task allocator.
struct ITEMIDLIST {
    char path[1];
};

namespace fs = std::filesystem;

namespace {

struct BrowseState {
    BROWSEINFO* info = nullptr;
    std::string root;
    std::string selected;
    FolderTree tree;
    WNDPROC listProc = nullptr;   // the tree's own window procedure, under the browser's keys
};

constexpr char kStateProp[] = "FolderBrowserState";

std::vector<BYTE> BrowseTemplate()
{
    using C = DialogControlClass;
    DialogTemplate t = commdlg::Frame("Browse for Folder", 220, 196);
    commdlg::Add(t, C::Static, "", SS_LEFT | SS_NOPREFIX, 7, 6, 206, 18, stc2);
    commdlg::Add(t, C::Static, "", SS_LEFT | SS_NOPREFIX | SS_ENDELLIPSIS, 7, 26, 206, 9, stc3);
    commdlg::Add(t, C::ListBox, "",
                 // Whole rows only: a row half out of sight would scroll in under the pointer
                 // between the two clicks of a double click, which then opened its neighbour.
                 WS_BORDER | WS_VSCROLL | WS_TABSTOP | LBS_NOTIFY | LBS_HASSTRINGS | LBS_OWNERDRAWFIXED,
                 7, 38, 206, 118, lst2);
    commdlg::Add(t, C::Static, "", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 7, 160, 206, 9, stc1);
    commdlg::Add(t, C::Button, "&OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 107, 176, 50, 14, IDOK);
    commdlg::Add(t, C::Button, "&Cancel", BS_PUSHBUTTON | WS_TABSTOP, 163, 176, 50, 14, IDCANCEL);
    return WriteDialogTemplate(t);
}

std::string NormalFolder(const std::string& path)
{
    std::string s = fs::path(path).lexically_normal().string();
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

bool Under(const std::string& path, const std::string& root)
{
    if (root == "/")
        return !path.empty() && path[0] == '/';
    return path == root || (path.size() > root.size() && path.compare(0, root.size(), root) == 0 &&
                            path[root.size()] == '/');
}

// Makes a folder the selection, telling the callback when it changed.
void Select(HWND dlg, BrowseState& s, const std::string& path)
{
    if (path == s.selected)
        return;
    s.selected = path;
    SetDlgItemText(dlg, stc1, path.c_str());
    if (s.info->lpfn) {
        LPITEMIDLIST pidl = ILCreateFromPath(path.c_str());
        s.info->lpfn(dlg, BFFM_SELCHANGED, reinterpret_cast<LPARAM>(pidl), s.info->lParam);
        ILFree(pidl);
    }
}

// Opens the tree down to a folder and selects it; false when it is no folder under the root.
bool OpenTo(HWND dlg, BrowseState& s, const std::string& path)
{
    const std::string normal = NormalFolder(path);
    std::error_code ec;
    if (!Under(normal, s.root) || !fs::is_directory(normal, ec))
        return false;
    HWND list = GetDlgItem(dlg, lst2);
    s.tree.Fill(list, s.root, normal, FolderTree::Shape::WithSiblings);
    const int index = s.tree.IndexOf(normal);
    if (index >= 0) {
        SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        // The opened folder shows with as many of its sub-folders as the tree has room for.
        int children = 0;
        for (const FolderTree::Entry* e = s.tree.At(index + 1 + children); e && e->level > s.tree.At(index)->level;
             e = s.tree.At(index + 1 + children))
            ++children;
        RECT client{};
        GetClientRect(list, &client);
        const int rowHeight = std::max(1, static_cast<int>(SendMessage(list, LB_GETITEMHEIGHT, 0, 0)));
        const int rows = std::max(1, static_cast<int>(client.bottom / rowHeight));
        const int top = static_cast<int>(SendMessage(list, LB_GETTOPINDEX, 0, 0));
        const int last = index + std::min(children, rows - 1);
        if (last >= top + rows)
            SendMessage(list, LB_SETTOPINDEX, static_cast<WPARAM>(std::max(0, last - rows + 1)), 0);
    }
    Select(dlg, s, index >= 0 ? normal : s.root);
    return true;
}

std::string ParentOf(const std::string& path)
{
    const std::string parent = fs::path(path).parent_path().string();
    return parent.empty() ? "/" : parent;
}

// Opens a folder in place: its sub-folders show under it, and it stays the selection.
void Expand(HWND dlg, BrowseState& s, const std::string& path)
{
    OpenTo(dlg, s, path);
}

// Closes an open folder: its sub-folders go, and it stays the selection.
void Collapse(HWND dlg, BrowseState& s, const std::string& path)
{
    if (path == s.root)
        return;
    HWND list = GetDlgItem(dlg, lst2);
    s.tree.Fill(list, s.root, ParentOf(path), FolderTree::Shape::WithSiblings);
    const int index = s.tree.IndexOf(path);
    if (index >= 0)
        SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Select(dlg, s, path);
}

// The tree's keys and its expand buttons, before the list box's own handling.
LRESULT CALLBACK TreeProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* s = static_cast<BrowseState*>(GetProp(list, kStateProp));
    if (!s)
        return DefWindowProc(list, message, wParam, lParam);
    HWND dlg = GetParent(list);
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) {
        const auto hit = static_cast<DWORD>(SendMessage(list, LB_ITEMFROMPOINT, 0, lParam));
        const int index = HIWORD(hit) == 0 ? static_cast<int>(LOWORD(hit)) : -1;
        if (s->tree.OnExpandButton(index, static_cast<short>(LOWORD(lParam)))) {
            const FolderTree::Entry entry = *s->tree.At(index);
            SetFocus(list);
            if (entry.open)
                Collapse(dlg, *s, entry.path);
            else
                Expand(dlg, *s, entry.path);
            return 0;
        }
    }
    if (message == WM_KEYDOWN && (wParam == VK_RIGHT || wParam == VK_LEFT)) {
        const int index = static_cast<int>(SendMessage(list, LB_GETCURSEL, 0, 0));
        if (const FolderTree::Entry* e = s->tree.At(index)) {
            const FolderTree::Entry entry = *e;
            if (wParam == VK_RIGHT) {
                // Right opens a closed folder, then goes to its first sub-folder.
                if (!entry.open && entry.hasChildren) {
                    Expand(dlg, *s, entry.path);
                } else if (entry.open) {
                    const FolderTree::Entry* child = s->tree.At(index + 1);
                    if (child && child->level == entry.level + 1) {
                        SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(index + 1), 0);
                        Select(dlg, *s, child->path);
                    }
                }
            } else if (entry.open && entry.hasChildren && entry.path != s->root) {
                // Left closes an open folder, then goes to its parent.
                Collapse(dlg, *s, entry.path);
            } else if (entry.path != s->root) {
                const int parent = s->tree.IndexOf(ParentOf(entry.path));
                if (parent >= 0) {
                    SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(parent), 0);
                    Select(dlg, *s, ParentOf(entry.path));
                }
            }
        }
        return 0;
    }
    return CallWindowProc(s->listProc, list, message, wParam, lParam);
}

// The title (when there is one) and the status line (once it has a text) stand above the
// tree; without them the tree takes their room, so that no empty band stands above it.
void LayOutFolderBrowser(HWND dlg, const BrowseState& s)
{
    HWND title = GetDlgItem(dlg, stc2);
    HWND status = GetDlgItem(dlg, stc3);
    HWND list = GetDlgItem(dlg, lst2);
    const bool hasTitle = s.info->lpszTitle && s.info->lpszTitle[0];
    const bool hasStatus = (s.info->ulFlags & BIF_STATUSTEXT) && GetWindowTextLength(status) > 0;
    RECT unit{0, 0, 4, 2};
    MapDialogRect(dlg, &unit);   // 4 × 2 dialog units: a gap between the lines
    RECT titleRect{}, statusRect{}, listRect{};
    GetWindowRect(title, &titleRect);
    GetWindowRect(status, &statusRect);
    GetWindowRect(list, &listRect);
    for (RECT* r : {&titleRect, &statusRect, &listRect})
        MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(r), 2);
    RECT button{};
    GetWindowRect(GetDlgItem(dlg, stc1), &button);
    MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&button), 2);
    const int gap = unit.bottom;
    // The lines start where the template's first line starts.
    int top = titleRect.top;
    ShowWindow(title, hasTitle ? SW_SHOWNA : SW_HIDE);
    if (hasTitle) {
        MoveWindow(title, titleRect.left, top, titleRect.right - titleRect.left, titleRect.bottom - titleRect.top, TRUE);
        top += titleRect.bottom - titleRect.top + gap;
    }
    ShowWindow(status, hasStatus ? SW_SHOWNA : SW_HIDE);
    if (hasStatus) {
        MoveWindow(status, statusRect.left, top, statusRect.right - statusRect.left, statusRect.bottom - statusRect.top, TRUE);
        top += statusRect.bottom - statusRect.top + gap;
    }
    // The tree reaches down to the line that names the selection.
    MoveWindow(list, listRect.left, top, listRect.right - listRect.left, button.top - gap - top, TRUE);
}

void OnFolderOk(HWND dlg, const BrowseState& s)
{
    if (!s.selected.empty())
        EndDialog(dlg, IDOK);
}

// A double click opens a closed folder in place; on an open one it chooses it, as OK does.
// Enter is OK wherever the focus is: it chooses the folder the tree shows selected.
void OnDoubleClick(HWND dlg, BrowseState& s)
{
    const int index = static_cast<int>(SendDlgItemMessage(dlg, lst2, LB_GETCURSEL, 0, 0));
    const FolderTree::Entry* e = s.tree.At(index);
    if (e && !e->open) {
        OpenTo(dlg, s, e->path);
        return;
    }
    OnFolderOk(dlg, s);
}

INT_PTR CALLBACK BrowseProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* s = reinterpret_cast<BrowseState*>(GetWindowLongPtr(dlg, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        s = reinterpret_cast<BrowseState*>(lParam);
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        SetDlgItemText(dlg, stc2, s->info->lpszTitle ? s->info->lpszTitle : "");
        LayOutFolderBrowser(dlg, *s);
        HWND list = GetDlgItem(dlg, lst2);
        SetProp(list, kStateProp, s);
        s->listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtr(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc)));
        s->tree.ShowExpandButtons(true);
        s->tree.Fill(list, s->root, s->root, FolderTree::Shape::WithSiblings);
        s->selected = s->root;
        SetDlgItemText(dlg, stc1, s->root.c_str());
        SetFocus(GetDlgItem(dlg, lst2));
        if (s->info->lpfn)
            s->info->lpfn(dlg, BFFM_INITIALIZED, 0, s->info->lParam);
        return FALSE;
    }
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
    case BFFM_SETSELECTION: {
        if (!s || !lParam)
            return FALSE;
        const char* path = wParam ? reinterpret_cast<LPCSTR>(lParam) : reinterpret_cast<LPCITEMIDLIST>(lParam)->path;
        SetWindowLongPtr(dlg, DWLP_MSGRESULT, OpenTo(dlg, *s, path));
        return TRUE;
    }
    case BFFM_SETSTATUSTEXT:
        SetDlgItemText(dlg, stc3, lParam ? reinterpret_cast<LPCSTR>(lParam) : "");
        if (s)
            LayOutFolderBrowser(dlg, *s);
        return TRUE;
    case BFFM_ENABLEOK:
        EnableWindow(GetDlgItem(dlg, IDOK), lParam != 0);
        return TRUE;
    case WM_COMMAND: {
        if (!s)
            return FALSE;
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (id == lst2 && code == LBN_SELCHANGE) {
            const int index = static_cast<int>(SendDlgItemMessage(dlg, lst2, LB_GETCURSEL, 0, 0));
            if (const FolderTree::Entry* e = s->tree.At(index))
                Select(dlg, *s, e->path);
        } else if (id == lst2 && code == LBN_DBLCLK) {
            OnDoubleClick(dlg, *s);
        } else if (id == IDOK && code == BN_CLICKED) {
            OnFolderOk(dlg, *s);
        } else if (id == IDCANCEL && code == BN_CLICKED) {
            EndDialog(dlg, IDCANCEL);
        } else {
            return FALSE;
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}

} // namespace

LPITEMIDLIST ILCreateFromPath(LPCSTR pszPath)
{
    if (!pszPath || pszPath[0] != '/')
        return nullptr;
    const std::string path = NormalFolder(pszPath);
    auto* pidl = static_cast<ITEMIDLIST*>(std::malloc(path.size() + 1));
    if (!pidl)
        return nullptr;
    std::memcpy(pidl->path, path.c_str(), path.size() + 1);
    return pidl;
}

void ILFree(LPITEMIDLIST pidl)
{
    std::free(pidl);
}

void CoTaskMemFree(void* pv)
{
    std::free(pv);
}

void* IMalloc::Alloc(SIZE_T cb)
{
    return std::malloc(cb ? cb : 1);
}

void* IMalloc::Realloc(void* pv, SIZE_T cb)
{
    return std::realloc(pv, cb ? cb : 1);
}

void IMalloc::Free(void* pv)
{
    std::free(pv);
}

SIZE_T IMalloc::GetSize(void*)
{
    // The C allocator does not say how big a block is.
    return static_cast<SIZE_T>(-1);
}

ULONG IMalloc::AddRef()
{
    return 2;
}

ULONG IMalloc::Release()
{
    return 1;
}

HRESULT SHGetMalloc(LPMALLOC* ppMalloc)
{
    if (!ppMalloc)
        return E_INVALIDARG;
    static IMalloc shellAllocator;
    *ppMalloc = &shellAllocator;
    shellAllocator.AddRef();
    return S_OK;
}

BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR pszPath)
{
    if (!pszPath)
        return FALSE;
    pszPath[0] = '\0';
    if (!pidl)
        return FALSE;
    const size_t length = std::strlen(pidl->path);
    if (length + 1 > MAX_PATH)
        return FALSE;
    std::memcpy(pszPath, pidl->path, length + 1);
    return TRUE;
}

LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO lpbi)
{
    commdlg::Begin();
    if (!lpbi)
        return nullptr;
    BrowseState state;
    state.info = lpbi;
    state.root = lpbi->pidlRoot ? NormalFolder(lpbi->pidlRoot->path) : "/";
    std::error_code ec;
    if (!fs::is_directory(state.root, ec)) {
        commdlg::SetError(CDERR_INITIALIZATION);
        return nullptr;
    }
    const std::vector<BYTE> bytes = BrowseTemplate();
    HWND owner = lpbi->hwndOwner ? GetAncestor(lpbi->hwndOwner, GA_ROOT) : nullptr;
    const INT_PTR result = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), owner,
                                                  BrowseProc, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK)
        return nullptr;
    if (lpbi->pszDisplayName) {
        const std::string name = state.selected == "/" ? "/" : fs::path(state.selected).filename().string();
        commdlg::CopyOut(name, lpbi->pszDisplayName, MAX_PATH);
    }
    return ILCreateFromPath(state.selected.c_str());
}
