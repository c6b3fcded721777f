// A tree of folders shown in an owner-drawn list box, for the file dialogs' folder list and the
// folder browser: the folders from a root down to the current one, each open, then the current
// one's sub-folders, indented by depth with a folder glyph before each name.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <string>
#include <vector>

class FolderTree {
public:
    struct Entry {
        std::string path;   // absolute
        std::string name;   // what is shown
        int level = 0;
        bool open = false;  // on the way from the root to the current folder
        bool hasChildren = false;   // it holds folders (known for the shape with siblings)
    };

    // PathOnly: the folders from the root to the current one and the current one's children.
    // WithSiblings: every folder of each level on the way, the way down opened in place.
    enum class Shape { PathOnly, WithSiblings };

    // Fills `list` (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS) with the tree from root down to
    // current (which must lie under root, else root is current), and selects current.
    void Fill(HWND list, const std::string& root, const std::string& current, Shape shape = Shape::PathOnly);
    // The index of an entry by path, or -1.
    int IndexOf(const std::string& path) const;
    // The entry of a list index, or null.
    const Entry* At(int index) const;
    const std::vector<Entry>& Entries() const { return m_entries; }

    // Draws one item; the dialog calls it from WM_DRAWITEM. The height of an item suits the
    // glyph and the font.
    void Draw(const DRAWITEMSTRUCT& item) const;
    // Expand buttons before the folders that hold folders: "+" closed, "-" open.
    void ShowExpandButtons(bool bShow) { m_expandButtons = bShow; }
    // Whether a point of the list's client area, on the row of the entry, lies on its button.
    bool OnExpandButton(int index, int x) const;
    static int ItemHeight(HWND list);

private:
    std::vector<Entry> m_entries;
    bool m_expandButtons = false;
};

// The sub-folders of a folder that a person would pick (no dot folders), sorted.
std::vector<std::string> ListSubfolders(const std::string& folder);
// Whether a folder holds at least one such sub-folder (stops at the first).
bool HasSubfolder(const std::string& folder);
