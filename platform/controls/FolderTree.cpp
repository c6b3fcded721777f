// The folder tree of the file dialogs and the folder browser.
#include "platform/controls/FolderTree.h"

#include "platform/controls/ListBoxDefs.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <functional>

namespace fs = std::filesystem;

namespace {

constexpr int kIndent = 12;
constexpr int kGlyphWidth = 16;
constexpr int kGlyphHeight = 12;
// The expand button: a 9-pixel box, with a gap to the glyph.
constexpr int kButtonSize = 9;
constexpr int kButtonSpace = 13;

void Fill(HDC dc, int l, int t, int r, int b, COLORREF c)
{
    HBRUSH brush = CreateSolidBrush(c);
    RECT rc{l, t, r, b};
    FillRect(dc, &rc, brush);
    DeleteObject(brush);
}

// A 16 × 12 folder in the flat 16-colour style: a dark outline, a yellow body and a tab; an
// open folder shows its lighter inside.
void DrawFolderGlyph(HDC dc, int x, int y, bool open)
{
    const COLORREF outline = RGB(128, 128, 0);
    const COLORREF body = RGB(255, 255, 0);
    const COLORREF light = RGB(255, 255, 255);
    Fill(dc, x + 1, y, x + 7, y + 2, outline);             // the tab
    Fill(dc, x + 2, y + 1, x + 6, y + 2, body);
    Fill(dc, x, y + 2, x + 15, y + 12, outline);          // the box
    Fill(dc, x + 1, y + 3, x + 14, y + 11, body);
    Fill(dc, x + 1, y + 3, x + 14, y + 4, light);
    if (open)
        Fill(dc, x + 3, y + 6, x + 14, y + 11, RGB(255, 255, 128));
}

// A 9 × 9 box with a grey edge and a black "+" or "-", as tree views draw them.
void DrawExpandButton(HDC dc, int x, int y, bool open)
{
    const COLORREF edge = RGB(128, 128, 128);
    Fill(dc, x, y, x + kButtonSize, y + kButtonSize, edge);
    Fill(dc, x + 1, y + 1, x + kButtonSize - 1, y + kButtonSize - 1, RGB(255, 255, 255));
    Fill(dc, x + 2, y + 4, x + 7, y + 5, RGB(0, 0, 0));
    if (!open)
        Fill(dc, x + 4, y + 2, x + 5, y + 7, RGB(0, 0, 0));
}

} // namespace

bool HasSubfolder(const std::string& folder)
{
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (!name.empty() && name[0] != '.' && it->is_directory(typeError))
            return true;
    }
    return false;
}

std::vector<std::string> ListSubfolders(const std::string& folder)
{
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (!name.empty() && name[0] != '.' && it->is_directory(typeError))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const size_t n = std::min(a.size(), b.size());
        for (size_t i = 0; i < n; ++i) {
            const int ca = std::tolower(static_cast<unsigned char>(a[i]));
            const int cb = std::tolower(static_cast<unsigned char>(b[i]));
            if (ca != cb)
                return ca < cb;
        }
        return a.size() != b.size() ? a.size() < b.size() : a < b;
    });
    return names;
}

void FolderTree::Fill(HWND list, const std::string& root, const std::string& current, Shape shape)
{
    m_entries.clear();
    const fs::path r = fs::path(root).lexically_normal();
    fs::path c = fs::path(current).lexically_normal();
    const fs::path rel = c.lexically_relative(r);
    if (rel.empty() || *rel.begin() == "..")
        c = r;
    std::string rootText = r.string();
    while (rootText.size() > 1 && rootText.back() == '/')
        rootText.pop_back();
    // The folders on the way from the root to the current one.
    std::vector<std::string> way{rootText};
    if (c != r) {
        fs::path walk(rootText);
        for (const fs::path& part : c.lexically_relative(r)) {
            if (part.empty() || part == ".")
                continue;
            walk /= part;
            way.push_back(walk.string());
        }
    }
    m_entries.push_back(Entry{rootText, rootText, 0, true});
    int currentIndex = 0;
    if (shape == Shape::PathOnly) {
        for (size_t i = 1; i < way.size(); ++i)
            m_entries.push_back(Entry{way[i], fs::path(way[i]).filename().string(), static_cast<int>(i), true});
        currentIndex = static_cast<int>(m_entries.size()) - 1;
        const int level = static_cast<int>(way.size());
        for (const std::string& name : ListSubfolders(way.back()))
            m_entries.push_back(Entry{(fs::path(way.back()) / name).string(), name, level, false});
    } else {
        // Each open folder's children follow it, and the one on the way opens in place.
        std::function<void(size_t)> openLevel = [&](size_t depth) {
            const std::string& folder = way[depth];
            std::vector<std::string> names = ListSubfolders(folder);
            // A hidden folder on the way is shown all the same, so that the selection is there.
            if (depth + 1 < way.size()) {
                const std::string next = fs::path(way[depth + 1]).filename().string();
                if (std::find(names.begin(), names.end(), next) == names.end())
                    names.insert(names.begin(), next);
            }
            for (const std::string& name : names) {
                const std::string path = (fs::path(folder) / name).string();
                const bool onWay = depth + 1 < way.size() && way[depth + 1] == path;
                m_entries.push_back(Entry{path, name, static_cast<int>(depth) + 1, onWay, HasSubfolder(path)});
                if (onWay) {
                    if (depth + 2 == way.size())
                        currentIndex = static_cast<int>(m_entries.size()) - 1;
                    openLevel(depth + 1);
                }
            }
        };
        m_entries.front().hasChildren = HasSubfolder(rootText);
        openLevel(0);
    }

    SendMessage(list, WM_SETREDRAW, FALSE, 0);
    SendMessage(list, LB_RESETCONTENT, 0, 0);
    for (const Entry& e : m_entries)
        SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.name.c_str()));
    SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(currentIndex), 0);
    SendMessage(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

int FolderTree::IndexOf(const std::string& path) const
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (m_entries[i].path == path)
            return static_cast<int>(i);
    return -1;
}

const FolderTree::Entry* FolderTree::At(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_entries.size()))
        return nullptr;
    return &m_entries[static_cast<size_t>(index)];
}

bool FolderTree::OnExpandButton(int index, int x) const
{
    const Entry* e = At(index);
    if (!m_expandButtons || !e || !e->hasChildren)
        return false;
    const int left = 2 + e->level * kIndent;
    // A pixel of slack on each side of the box.
    return x >= left - 1 && x <= left + kButtonSize;
}

int FolderTree::ItemHeight(HWND list)
{
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(list, WM_GETFONT, 0, 0)));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    return std::max<int>(kGlyphHeight + 4, tm.tmHeight + 2);
}

void FolderTree::Draw(const DRAWITEMSTRUCT& item) const
{
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    FillRect(dc, &row, GetSysColorBrush(COLOR_WINDOW));
    const Entry* e = At(static_cast<int>(item.itemID));
    if (!e)
        return;
    int x = row.left + 2 + e->level * kIndent;
    if (m_expandButtons) {
        if (e->hasChildren)
            DrawExpandButton(dc, x, row.top + (row.bottom - row.top - kButtonSize) / 2, e->open);
        x += kButtonSpace;
    }
    const int glyphTop = row.top + (row.bottom - row.top - kGlyphHeight) / 2;
    DrawFolderGlyph(dc, x, glyphTop, e->open);

    SIZE extent{};
    GetTextExtentPoint32(dc, e->name.c_str(), static_cast<int>(e->name.size()), &extent);
    RECT text{x + kGlyphWidth + 3, row.top, x + kGlyphWidth + 3 + extent.cx + 4, row.bottom};
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    if (selected)
        FillRect(dc, &text, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT inner = text;
    inner.left += 2;
    DrawText(dc, e->name.c_str(), static_cast<int>(e->name.size()), &inner, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &text);
}
