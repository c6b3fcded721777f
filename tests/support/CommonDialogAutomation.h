// Drives the common dialogs in tests on the headless backend, through the public window API
// only, as DialogAutomation.h drives message boxes: the dialog is found by enumeration when a
// modal loop waits, and is filled and closed with injected mouse and keys.
#pragma once

#include "platform/controls/CommonDialog.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/ListBoxDefs.h"
#include "tests/support/DialogAutomation.h"

#include <string>

namespace dialog_automation {

// The shown dialog that has all the given control ids, or null.
inline HWND DialogWith(std::initializer_list<int> ids)
{
    for (HWND dlg : ShownDialogs()) {
        bool all = true;
        for (int id : ids)
            all = all && GetDlgItem(dlg, id) != nullptr;
        if (all)
            return dlg;
    }
    return nullptr;
}

inline HWND OpenFileDialog()
{
    return DialogWith({edt1, lst1, lst2, cmb1});
}

inline HWND OpenFolderBrowser()
{
    HWND dlg = DialogWith({lst2, stc1, IDOK});
    return dlg && !GetDlgItem(dlg, lst1) ? dlg : nullptr;
}

// Clicks a list box's item by its index (scrolled into view first).
inline void ClickListItem(HeadlessBackend& backend, HWND list, int index)
{
    SendMessage(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT r{};
    SendMessage(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
    POINT pt{r.left + 8, (r.top + r.bottom) / 2};
    ClientToScreen(list, &pt);
    backend.Click(1, pt);
}

} // namespace dialog_automation

// What a file dialog showed when it was driven.
struct SeenFileDialog {
    bool seen = false;
    std::string caption;
    std::string folder;                 // the folder it showed first
    std::vector<std::string> files;     // the files listed then
    std::vector<std::string> types;     // the entries of its type list
};

// When the next open or save dialog opens: types `name` (a name, a relative or an absolute
// path) into its file-name edit and presses Enter, which chooses the file or, for a folder or
// a pattern, goes there or lists by it. An empty name cancels the dialog with Esc.
inline void PickFile(HeadlessBackend& backend, const std::string& name, SeenFileDialog* seen = nullptr)
{
    using namespace dialog_automation;
    WhenWindowOpens(
        backend, [] { return OpenFileDialog(); },
        [&backend, name, seen](HWND dlg) {
            if (seen) {
                seen->seen = true;
                seen->caption = TextOf(dlg);
                seen->folder = TextOf(GetDlgItem(dlg, stc1));
                HWND files = GetDlgItem(dlg, lst1);
                char text[1024];
                for (int i = 0; i < SendMessage(files, LB_GETCOUNT, 0, 0); ++i) {
                    SendMessage(files, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                    seen->files.push_back(text);
                }
                HWND types = GetDlgItem(dlg, cmb1);
                for (int i = 0; i < SendMessage(types, CB_GETCOUNT, 0, 0); ++i) {
                    SendMessage(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                    seen->types.push_back(text);
                }
            }
            if (name.empty()) {
                backend.Key(VK_ESCAPE, "\x1b");
                return;
            }
            Retype(backend, GetDlgItem(dlg, edt1), name);
            backend.Key(VK_RETURN, "\r");
        },
        nullptr);
}

namespace dialog_automation {

// One step of PickFolder per idle turn, so that the dialog's own loop routes each Right and the
// tree shows the folder opened before the next name is looked for.
inline void OpenFolderSteps(HeadlessBackend& backend, HWND dlg, std::vector<std::string> names, int from)
{
    backend.WhenIdle([&backend, dlg, names, from]() mutable {
        if (!IsWindow(dlg))
            return;
        HWND tree = GetDlgItem(dlg, lst2);
        if (names.empty()) {
            backend.Click(1, CentreOf(GetDlgItem(dlg, IDOK)));
            return;
        }
        const std::string name = names.front();
        names.erase(names.begin());
        const int index = static_cast<int>(SendMessage(tree, LB_FINDSTRINGEXACT, static_cast<WPARAM>(from),
                                                       reinterpret_cast<LPARAM>(name.c_str())));
        if (index < from) {
            // Not there: leave the browser open on what was reached, and cancel it.
            backend.Click(1, CentreOf(GetDlgItem(dlg, IDCANCEL)));
            return;
        }
        ClickListItem(backend, tree, index);
        backend.Key(VK_RIGHT);
        OpenFolderSteps(backend, dlg, names, index);
    });
}

} // namespace dialog_automation

// When the next folder browser opens: opens each folder on the way from its top entry down to
// `path` by clicking it and pressing Right in the tree, then presses OK. An empty path, or a
// folder the tree does not show, cancels it.
inline void PickFolder(HeadlessBackend& backend, const std::string& path)
{
    using namespace dialog_automation;
    WhenWindowOpens(
        backend, [] { return OpenFolderBrowser(); },
        [&backend, path](HWND dlg) {
            HWND tree = GetDlgItem(dlg, lst2);
            char text[1024] = {};
            SendMessage(tree, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
            const std::string top = text;
            std::vector<std::string> names;
            if (path.empty() || path.compare(0, top.size(), top) != 0) {
                backend.Click(1, CentreOf(GetDlgItem(dlg, IDCANCEL)));
                return;
            }
            size_t start = top.size();
            while (start < path.size()) {
                const size_t end = std::min(path.find('/', start), path.size());
                if (end > start)
                    names.push_back(path.substr(start, end - start));
                start = end + 1;
            }
            OpenFolderSteps(backend, dlg, names, 0);
        },
        nullptr);
}
