// The menu loop: pop-up windows of the menu class, mouse and keyboard tracking, notifications
// and the chosen command.
#include "platform/win/detail/MenuTracker.h"

#include "platform/win/detail/Input.h"

#include "platform/core/CRect.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/WinError.h"
#include "platform/win/Cursor.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/SystemParameters.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

constexpr UINT_PTR kOpenTimer = 0xFFFF'FF02;   // the sub-menu under the pointer opens

// One open pop-up: its menu, window and layout, the item highlighted, and the item of the
// level above (or of the bar) that opened it.
struct Level {
    HMENU menu = nullptr;
    HWND window = nullptr;
    PopupLayout layout;
    int selected = -1;
    int opener = -1;
};

// The bar's system-menu entry, left of item 0.
constexpr int kSystemEntry = -2;
constexpr int kNoEntry = -1;

struct Tracker {
    unsigned serial = 0;
    HWND owner = nullptr;           // gets the notifications and the command
    HWND capture = nullptr;
    UINT flags = 0;
    bool notify = true;
    bool barMode = false;           // a window's menu bar with its system menu
    HMENU bar = nullptr;
    int barItem = kNoEntry;         // the lit bar entry
    bool barOpen = false;           // its pop-up is open
    bool walkingOpen = false;       // a command entry lit on a walk with the menus open
    bool systemOnly = false;        // the system menu alone (a window without a bar)
    std::vector<Level> levels;
    bool done = false;
    UINT command = 0;
    bool commandIsSystem = false;
    HWND commandTarget = nullptr;   // a system menu's own window, when it is not the owner
    POINT lastMouse{-100000, -100000};
    POINT commandPoint{0, 0};
    DWORD sysIconClick = 0;         // when the system menu was opened by a press on its icon
    bool pressOnIcon = false;
    // The press elsewhere that dismissed the menu: it goes on to what it was on once the menu
    // has closed.
    bool replayPress = false;
    BackendEvent press;
};

Tracker*& Current()
{
    thread_local Tracker* current = nullptr;
    return current;
}

unsigned& LoopCount()
{
    thread_local unsigned count = 0;
    return count;
}

MenuObject* Obj(HMENU menu)
{
    return Menus::Find(menu);
}

bool IsSystemMenu(HMENU menu)
{
    MenuObject* m = Obj(menu);
    return m && m->systemMenu;
}

// The window whose system menu this is: the owner unless the menu is another window's (a
// maximised MDI child's, carried in its frame's bar).
HWND SystemMenuWindow(Tracker& t, HMENU menu)
{
    MenuObject* m = Obj(menu);
    if (m && m->systemOwner && m->systemOwner != t.owner && IsWindow(m->systemOwner))
        return m->systemOwner;
    return t.owner;
}

// ---- Notifications ----

void SendMenuSelect(Tracker& t, HMENU menu, int position, bool byMouse)
{
    if (!t.notify || !IsWindow(t.owner))
        return;
    MenuObject* m = Obj(menu);
    if (!m || position < 0 || static_cast<size_t>(position) >= m->items.size())
        return;
    const MenuItem& item = m->items[static_cast<size_t>(position)];
    UINT flags = item.Flags() | MF_HILITE;
    if (byMouse)
        flags |= MF_MOUSESELECT;
    if (m->systemMenu)
        flags |= MF_SYSMENU;
    const UINT idOrPos = item.submenu ? static_cast<UINT>(position) : item.id;
    SendMessage(t.owner, WM_MENUSELECT, MAKEWPARAM(idOrPos, flags), reinterpret_cast<LPARAM>(menu));
}

void SendInitPopup(Tracker& t, HMENU menu, int index)
{
    if (IsSystemMenu(menu))
        MenuBars::UpdateSystemMenu(SystemMenuWindow(t, menu), menu);
    if (t.notify && IsWindow(t.owner))
        SendMessage(t.owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu),
                    MAKELPARAM(index, IsSystemMenu(menu) ? 1 : 0));
}

// ---- The pop-up windows ----

Level* LevelOfWindow(HWND hwnd)
{
    Tracker* t = Current();
    if (!t)
        return nullptr;
    for (Level& l : t->levels)
        if (l.window == hwnd)
            return &l;
    return nullptr;
}

LRESULT CALLBACK PopupProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        Level* level = LevelOfWindow(hwnd);
        MenuObject* menu = level ? Obj(level->menu) : nullptr;
        if (dc && menu)
            MenuPainter::PaintPopup(dc, *menu, level->layout, level->selected, Current()->owner);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;   // the painter fills everything
    case MN_GETHMENU: {
        Level* level = LevelOfWindow(hwnd);
        return level ? reinterpret_cast<LRESULT>(level->menu) : 0;
    }
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

void RegisterPopupClass()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    WNDCLASS wc{};
    wc.style = CS_SAVEBITS | CS_DBLCLKS;
    wc.lpfnWndProc = PopupProc;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = WC_MENU_NAME;
    RegisterClass(&wc);
}

RECT ScreenRect()
{
    RECT work = GetWorkArea();
    return work;
}

// Where a pop-up of `size` goes for an anchor point with the alignment flags, kept on the
// screen and off the exclude rectangle.
POINT PlacePopup(SIZE size, POINT pt, UINT flags, const RECT* exclude)
{
    RECT screen = ScreenRect();
    int x = pt.x;
    int y = pt.y;
    if (flags & TPM_CENTERALIGN)
        x -= size.cx / 2;
    else if (flags & TPM_RIGHTALIGN)
        x -= size.cx;
    if (flags & TPM_VCENTERALIGN)
        y -= size.cy / 2;
    else if (flags & TPM_BOTTOMALIGN)
        y -= size.cy;
    auto overlaps = [&](int px, int py) {
        if (!exclude)
            return false;
        RECT r{px, py, px + size.cx, py + size.cy};
        RECT both;
        return IntersectRect(&both, &r, exclude) != FALSE;
    };
    // Keep on the screen first.
    if (x + size.cx > screen.right)
        x = std::max<int>(screen.left, (flags & TPM_RIGHTALIGN) ? screen.right - size.cx : pt.x - size.cx);
    if (y + size.cy > screen.bottom)
        y = std::max<int>(screen.top, pt.y - size.cy);
    x = std::max<int>(x, screen.left);
    y = std::max<int>(y, screen.top);
    if (overlaps(x, y)) {
        if (flags & TPM_VERTICAL) {
            // Below the rectangle, else above it.
            if (exclude->bottom + size.cy <= screen.bottom)
                y = exclude->bottom;
            else
                y = std::max<int>(screen.top, exclude->top - size.cy);
        } else {
            // Right of the rectangle, else left of it.
            if (exclude->right + size.cx <= screen.right)
                x = exclude->right;
            else
                x = std::max<int>(screen.left, exclude->left - size.cx);
        }
    }
    return POINT{x, y};
}

bool ShowLevel(Tracker& t, Level& level, POINT origin)
{
    RegisterPopupClass();
    HWND owner = t.owner ? GetAncestor(t.owner, GA_ROOT) : nullptr;
    level.window = CreateWindowEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, WC_MENU_NAME, "", WS_POPUP, origin.x, origin.y,
                                  level.layout.size.cx, level.layout.size.cy, owner, nullptr, nullptr, nullptr);
    if (!level.window)
        return false;
    ShowWindow(level.window, SW_SHOWNOACTIVATE);
    UpdateWindow(level.window);
    return true;
}

void CloseLevelsFrom(Tracker& t, size_t from)
{
    while (t.levels.size() > from) {
        Level level = t.levels.back();
        t.levels.pop_back();
        if (level.window && IsWindow(level.window)) {
            KillTimer(level.window, kOpenTimer);
            DestroyWindow(level.window);
        }
        if (t.notify && IsWindow(t.owner))
            SendMessage(t.owner, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level.menu),
                        IsSystemMenu(level.menu) ? MAKELPARAM(0, MF_SYSMENU) : 0);
    }
}

void RepaintItem(Level& level, int position, bool selected)
{
    MenuObject* menu = Obj(level.menu);
    if (!menu || !level.window)
        return;
    HDC dc = GetDC(level.window);
    MenuPainter::PaintPopupItem(dc, *menu, level.layout, position, selected, Current() ? Current()->owner : nullptr);
    ReleaseDC(level.window, dc);
}

void Refresh(Tracker& t);

void Select(Tracker& t, size_t levelIndex, int position, bool byMouse)
{
    Level& level = t.levels[levelIndex];
    if (level.selected == position)
        return;
    const int old = level.selected;
    level.selected = position;
    RepaintItem(level, old, false);
    RepaintItem(level, position, true);
    if (position >= 0)
        SendMenuSelect(t, level.menu, position, byMouse);
    Refresh(t);
}

// Opens a pop-up as the next level: below a bar item, beside a pop-up item, or at a point.
bool OpenLevel(Tracker& t, HMENU menu, int opener, POINT anchor, UINT placeFlags, const RECT* exclude)
{
    SendInitPopup(t, menu, std::max(opener, 0));
    MenuObject* m = Obj(menu);
    if (!m || t.done)
        return false;
    Level level;
    level.menu = menu;
    level.opener = opener;
    level.layout = MenuLayouts::LayOutPopup(*m, t.owner);
    const POINT origin = PlacePopup(level.layout.size, anchor, placeFlags, exclude);
    t.levels.push_back(level);
    if (!ShowLevel(t, t.levels.back(), origin)) {
        t.levels.pop_back();
        return false;
    }
    return true;
}

RECT ItemScreenRect(const Level& level, int position)
{
    if (position < 0 || static_cast<size_t>(position) >= level.layout.items.size())
        return RECT{0, 0, 0, 0};
    RECT r = level.layout.items[static_cast<size_t>(position)].rect;
    POINT o{0, 0};
    ClientToScreen(level.window, &o);
    OffsetRect(&r, o.x, o.y);
    return r;
}

bool Selectable(const MenuItem& item)
{
    return !item.IsSeparator() || item.IsOwnerDraw();
}

// The item at a position of a level's menu, or null: the owner may change a menu while it is
// shown, so positions are checked on every use.
MenuItem* ItemOf(const Level& level, int position)
{
    MenuObject* menu = Obj(level.menu);
    if (!menu || position < 0 || static_cast<size_t>(position) >= menu->items.size())
        return nullptr;
    return &menu->items[static_cast<size_t>(position)];
}

// Lays out again the pop-ups whose menus the owner changed while they were shown (in
// WM_MENUSELECT, WM_MENUCHAR, WM_ENTERIDLE or a timer); a menu destroyed ends the loop.
void Refresh(Tracker& t)
{
    for (Level& level : t.levels) {
        MenuObject* menu = Obj(level.menu);
        if (!menu) {
            t.done = true;
            continue;
        }
        if (menu->items.size() == level.layout.items.size())
            continue;
        level.layout = MenuLayouts::LayOutPopup(*menu, t.owner);
        if (level.selected >= static_cast<int>(menu->items.size()))
            level.selected = -1;
        if (level.window && IsWindow(level.window)) {
            SetWindowPos(level.window, nullptr, 0, 0, level.layout.size.cx, level.layout.size.cy,
                         SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            InvalidateRect(level.window, nullptr, FALSE);
        }
    }
}

int NextSelectable(const MenuObject& menu, int from, int step)
{
    const int n = static_cast<int>(menu.items.size());
    if (n == 0)
        return -1;
    int i = from;
    for (int k = 0; k < n; ++k) {
        i = (i + step + n) % n;
        if (i < 0)
            i = n - 1;
        if (Selectable(menu.items[static_cast<size_t>(i)]))
            return i;
    }
    return -1;
}

// Opens the sub-menu of the selected item of a level; with `selectFirst` its first item lit.
void OpenSubmenu(Tracker& t, size_t levelIndex, bool selectFirst)
{
    Level& level = t.levels[levelIndex];
    const MenuItem* found = ItemOf(level, level.selected);
    if (!found || !found->submenu || found->IsDisabled())
        return;
    const MenuItem item = *found;
    if (t.levels.size() > levelIndex + 1 && t.levels[levelIndex + 1].opener == level.selected)
        return;   // already open
    CloseLevelsFrom(t, levelIndex + 1);
    RECT r = ItemScreenRect(t.levels[levelIndex], t.levels[levelIndex].selected);
    const int frame = MenuMetrics::Get().frame;
    RECT exclude{r.left, r.top, r.right, r.bottom};
    if (!OpenLevel(t, item.submenu, t.levels[levelIndex].selected, POINT{r.right, r.top - frame}, TPM_LEFTALIGN,
                   &exclude))
        return;
    if (selectFirst) {
        MenuObject* sub = Obj(t.levels.back().menu);
        if (sub)
            Select(t, t.levels.size() - 1, NextSelectable(*sub, -1, 1), false);
    }
}

void Choose(Tracker& t, HMENU menu, const MenuItem& item, POINT pt)
{
    t.done = true;
    if (item.IsDisabled() || item.submenu)
        return;
    t.command = item.id;
    t.commandIsSystem = IsSystemMenu(menu);
    t.commandTarget = t.commandIsSystem ? SystemMenuWindow(t, menu) : t.owner;
    t.commandPoint = pt;
}

// ---- The bar ----

MenuObject* BarMenu(Tracker& t)
{
    return t.barMode ? Obj(t.bar) : nullptr;
}

int BarCount(Tracker& t)
{
    MenuObject* bar = BarMenu(t);
    return bar ? static_cast<int>(bar->items.size()) : 0;
}

bool HasSystemEntry(Tracker& t)
{
    return t.barMode && (GetWindowLong(t.owner, GWL_STYLE) & WS_SYSMENU) && MenuBars::SystemMenuOf(t.owner);
}

void RepaintBar(Tracker& t)
{
    if (!t.barMode || t.systemOnly || !IsWindow(t.owner))
        return;
    HDC dc = GetWindowDC(t.owner);
    MenuBars::PaintRow(t.owner, dc);
    ReleaseDC(t.owner, dc);
}

// The screen rectangle of a bar entry (the system-menu icon for kSystemEntry).
RECT BarEntryRect(Tracker& t, int entry)
{
    if (entry == kSystemEntry)
        return MenuBars::SystemIconRect(t.owner);
    MenuObject* bar = BarMenu(t);
    RECT row = MenuBars::BarRow(t.owner);
    if (!bar || entry < 0 || entry >= static_cast<int>(bar->items.size()) || IsRectEmpty(&row))
        return RECT{0, 0, 0, 0};
    BarLayout layout = MenuLayouts::LayOutBar(*bar, row.right - row.left, t.owner);
    RECT r = layout.items[static_cast<size_t>(entry)].rect;
    OffsetRect(&r, row.left, row.top);
    RECT wr;
    GetWindowRect(t.owner, &wr);
    OffsetRect(&r, wr.left, wr.top);
    return r;
}

// An enabled bar entry that opens nothing and is chosen on release, as a button is.
bool IsBarCommand(Tracker& t, int entry)
{
    MenuObject* bar = BarMenu(t);
    if (!bar || entry < 0 || entry >= static_cast<int>(bar->items.size()))
        return false;
    const MenuItem& item = bar->items[static_cast<size_t>(entry)];
    return !item.submenu && !item.IsDisabled() && !item.IsSeparator();
}

int BarEntryAt(Tracker& t, POINT screen)
{
    if (!t.barMode)
        return kNoEntry;
    if (HasSystemEntry(t)) {
        RECT icon = MenuBars::SystemIconRect(t.owner);
        if (PtInRect(&icon, screen))
            return kSystemEntry;
    }
    if (t.systemOnly)
        return kNoEntry;
    for (int i = 0; i < BarCount(t); ++i) {
        RECT r = BarEntryRect(t, i);
        if (PtInRect(&r, screen))
            return i;
    }
    return kNoEntry;
}

void LightBarEntry(Tracker& t, int entry)
{
    if (t.barItem == entry)
        return;
    t.barItem = entry;
    RepaintBar(t);
    if (entry >= 0)
        SendMenuSelect(t, t.bar, entry, false);
}

// Opens the pop-up of a bar entry (closing what was open), optionally with its first item lit.
void OpenBarEntry(Tracker& t, int entry, bool selectFirst)
{
    CloseLevelsFrom(t, 0);
    LightBarEntry(t, entry);
    t.barOpen = false;
    HMENU popup = nullptr;
    if (entry == kSystemEntry) {
        popup = MenuBars::SystemMenuOf(t.owner);
    } else if (MenuObject* bar = BarMenu(t); bar && entry >= 0 && entry < static_cast<int>(bar->items.size())) {
        const MenuItem& item = bar->items[static_cast<size_t>(entry)];
        if (item.IsDisabled())
            return;
        popup = item.submenu;
        if (!popup) {
            // A bar item without a pop-up is a command of its own.
            if (!selectFirst)
                return;
            Choose(t, t.bar, item, POINT{0, 0});
            return;
        }
    }
    if (!popup)
        return;
    RECT r = BarEntryRect(t, entry);
    if (!OpenLevel(t, popup, entry == kSystemEntry ? 0 : entry, POINT{r.left, r.bottom}, TPM_LEFTALIGN | TPM_VERTICAL,
                   &r))
        return;
    t.barOpen = true;
    RepaintBar(t);
    if (selectFirst) {
        MenuObject* sub = Obj(t.levels.back().menu);
        if (sub)
            Select(t, 0, NextSelectable(*sub, -1, 1), false);
    }
}

void MoveAlongBar(Tracker& t, int step)
{
    std::vector<int> entries;
    if (HasSystemEntry(t))
        entries.push_back(kSystemEntry);
    if (!t.systemOnly)
        for (int i = 0; i < BarCount(t); ++i)
            entries.push_back(i);
    if (entries.empty())
        return;
    auto it = std::find(entries.begin(), entries.end(), t.barItem);
    int index = it == entries.end() ? 0 : static_cast<int>(it - entries.begin());
    index = (index + step + static_cast<int>(entries.size())) % static_cast<int>(entries.size());
    const int entry = entries[static_cast<size_t>(index)];
    if (!t.barOpen && !t.walkingOpen) {
        LightBarEntry(t, entry);
        return;
    }
    // Walking the bar with its menus open: a menu on the way opens, a command on the way (a
    // maximised document window's buttons) is only lit; Enter or its key carries it out.
    if (IsBarCommand(t, entry)) {
        CloseLevelsFrom(t, 0);
        t.barOpen = false;
        t.walkingOpen = true;
        LightBarEntry(t, entry);
        RepaintBar(t);
        return;
    }
    t.walkingOpen = false;
    OpenBarEntry(t, entry, true);
}

// ---- Input ----

// The level and item under a screen point; the level is -1 when the point is on no pop-up.
int LevelAt(Tracker& t, POINT screen, int& item)
{
    item = -1;
    for (int i = static_cast<int>(t.levels.size()) - 1; i >= 0; --i) {
        Level& level = t.levels[static_cast<size_t>(i)];
        RECT wr;
        GetWindowRect(level.window, &wr);
        if (!PtInRect(&wr, screen))
            continue;
        POINT local{screen.x - wr.left, screen.y - wr.top};
        for (size_t k = 0; k < level.layout.items.size(); ++k)
            if (PtInRect(&level.layout.items[k].rect, local))
                item = static_cast<int>(k);
        return i;
    }
    return -1;
}

void OnMouseMove(Tracker& t, POINT pt)
{
    if (pt.x == t.lastMouse.x && pt.y == t.lastMouse.y)
        return;
    t.lastMouse = pt;
    int item = -1;
    const int li = LevelAt(t, pt, item);
    if (li >= 0) {
        Level& level = t.levels[static_cast<size_t>(li)];
        MenuObject* menu = Obj(level.menu);
        if (!menu)
            return;
        if (item >= 0 && (!ItemOf(level, item) || !Selectable(*ItemOf(level, item))))
            item = -1;
        // Deeper levels stay only while the pointer is on the item that opened them.
        if (t.levels.size() > static_cast<size_t>(li) + 1 && t.levels[static_cast<size_t>(li) + 1].opener != item &&
            item >= 0)
            CloseLevelsFrom(t, static_cast<size_t>(li) + 1);
        if (item < 0)
            return;
        Select(t, static_cast<size_t>(li), item, true);
        const MenuItem* it = ItemOf(level, item);
        if (it && it->submenu && !it->IsDisabled()) {
            UINT delay = 400;
            SystemParametersInfo(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
            SetTimer(level.window, kOpenTimer, std::max(1u, delay), nullptr);
        }
        return;
    }
    const int entry = BarEntryAt(t, pt);
    if (entry != kNoEntry && entry != t.barItem && (t.barOpen || t.walkingOpen))
        OpenBarEntry(t, entry, false);
}

void OnButtonDown(Tracker& t, POINT pt, bool right, DWORD time)
{
    int item = -1;
    const int li = LevelAt(t, pt, item);
    if (li >= 0) {
        if (right && !(t.flags & TPM_RIGHTBUTTON) && !t.barMode)
            return;
        const MenuItem* it = ItemOf(t.levels[static_cast<size_t>(li)], item);
        if (!it || !Selectable(*it))
            return;
        Select(t, static_cast<size_t>(li), item, true);
        OpenSubmenu(t, static_cast<size_t>(li), false);
        return;
    }
    const int entry = BarEntryAt(t, pt);
    if (entry != kNoEntry) {
        if (entry == kSystemEntry && t.pressOnIcon && time - t.sysIconClick <= GetDoubleClickTime()) {
            // A double click on the icon carries out the system menu's default command.
            HMENU sys = MenuBars::SystemMenuOf(t.owner);
            const UINT id = GetMenuDefaultItem(sys, FALSE, 0);
            if (id != static_cast<UINT>(-1)) {
                MenuItem* it = Menus::FindItem(sys, id, false);
                if (it)
                    Choose(t, sys, *it, pt);
                return;
            }
        }
        if (entry == t.barItem && t.barOpen) {
            t.done = true;   // a second press on the open entry closes the menu
            return;
        }
        OpenBarEntry(t, entry, false);
        return;
    }
    // A press anywhere else dismisses the menu, and then reaches what it was on.
    t.done = true;
    t.replayPress = true;
    t.press.kind = BackendEvent::Kind::ButtonDown;
    t.press.pt = pt;
    t.press.button = right ? 3 : 1;
    t.press.time = time;
    t.press.modifiers = (right ? MK_RBUTTON : MK_LBUTTON) | (GetKeyState(VK_SHIFT) < 0 ? MK_SHIFT : 0) |
                        (GetKeyState(VK_CONTROL) < 0 ? MK_CONTROL : 0);
}

void OnButtonUp(Tracker& t, POINT pt, bool right)
{
    if (right && !(t.flags & TPM_RIGHTBUTTON) && !t.barMode)
        return;
    int item = -1;
    const int li = LevelAt(t, pt, item);
    if (li < 0 && t.barMode && !t.barOpen && t.barItem >= 0 && BarEntryAt(t, pt) == t.barItem) {
        // Released on the lit bar entry that opens nothing: the entry is a command of its own
        // (a maximised MDI child's buttons are such entries).
        if (IsBarCommand(t, t.barItem))
            Choose(t, t.bar, BarMenu(t)->items[static_cast<size_t>(t.barItem)], pt);
        else
            t.done = true;
        return;
    }
    if (li < 0 || item < 0)
        return;
    Level& level = t.levels[static_cast<size_t>(li)];
    const MenuItem* it = ItemOf(level, item);
    if (!it || !Selectable(*it) || it->submenu || it->IsDisabled())
        return;
    Choose(t, level.menu, *it, pt);
}

// A character typed in the menu: the mnemonics of the deepest pop-up (or of the bar), else the
// owner's WM_MENUCHAR.
void OnChar(Tracker& t, char ch)
{
    const char key = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (t.levels.empty()) {
        MenuObject* bar = BarMenu(t);
        if (!bar || t.systemOnly)
            return;
        for (size_t i = 0; i < bar->items.size(); ++i)
            if (bar->items[i].Mnemonic() == key && key) {
                OpenBarEntry(t, static_cast<int>(i), true);
                return;
            }
        MessageBeep(0);
        return;
    }
    const size_t li = t.levels.size() - 1;
    Level& level = t.levels[li];
    MenuObject* menu = Obj(level.menu);
    if (!menu)
        return;
    std::vector<int> matches;
    for (size_t i = 0; i < menu->items.size(); ++i)
        if (key && !menu->items[i].IsOwnerDraw() && menu->items[i].Mnemonic() == key)
            matches.push_back(static_cast<int>(i));
    int act = -1;
    bool execute = false;
    if (matches.size() == 1) {
        act = matches[0];
        execute = true;
    } else if (matches.size() > 1) {
        act = matches[0];
        for (int m : matches)
            if (m > level.selected) {
                act = m;
                break;
            }
    } else if (t.notify && IsWindow(t.owner)) {
        UINT flags = MF_POPUP;
        if (menu->systemMenu)
            flags |= MF_SYSMENU;
        const LRESULT answer = SendMessage(t.owner, WM_MENUCHAR, MAKEWPARAM(static_cast<unsigned char>(ch), flags),
                                           reinterpret_cast<LPARAM>(level.menu));
        switch (HIWORD(answer)) {
        case MNC_EXECUTE:
            act = LOWORD(answer);
            execute = true;
            break;
        case MNC_SELECT:
            act = LOWORD(answer);
            break;
        case MNC_CLOSE:
            t.done = true;
            return;
        default:
            MessageBeep(0);
            return;
        }
    } else {
        MessageBeep(0);
        return;
    }
    menu = Obj(level.menu);
    if (!menu || act < 0 || static_cast<size_t>(act) >= menu->items.size() || t.levels.size() <= li)
        return;
    Select(t, li, act, false);
    if (!execute)
        return;
    const MenuItem& it = menu->items[static_cast<size_t>(act)];
    if (it.submenu)
        OpenSubmenu(t, li, true);
    else
        Choose(t, level.menu, it, POINT{0, 0});
}

void OnKey(Tracker& t, UINT vk)
{
    if (t.levels.empty()) {
        // The bar lit from the keyboard with nothing open.
        switch (vk) {
        case VK_LEFT: MoveAlongBar(t, -1); return;
        case VK_RIGHT: MoveAlongBar(t, 1); return;
        case VK_DOWN:
        case VK_UP:
            // Only a menu opens downwards; a command entry waits for Enter.
            if (!IsBarCommand(t, t.barItem))
                OpenBarEntry(t, t.barItem, true);
            return;
        case VK_RETURN: OpenBarEntry(t, t.barItem, true); return;
        case VK_ESCAPE:
        case VK_MENU:
        case VK_F10: t.done = true; return;
        default: return;
        }
    }
    const size_t li = t.levels.size() - 1;
    Level& level = t.levels[li];
    MenuObject* menu = Obj(level.menu);
    if (!menu)
        return;
    switch (vk) {
    case VK_UP:
    case VK_DOWN: {
        const int next = NextSelectable(*menu, level.selected < 0 && vk == VK_UP ? 0 : level.selected,
                                        vk == VK_UP ? -1 : 1);
        Select(t, li, next, false);
        return;
    }
    case VK_RIGHT:
        if (ItemOf(level, level.selected) && ItemOf(level, level.selected)->submenu &&
            !ItemOf(level, level.selected)->IsDisabled()) {
            OpenSubmenu(t, li, true);
            return;
        }
        if (t.barMode)
            MoveAlongBar(t, 1);
        return;
    case VK_LEFT:
        if (li > 0) {
            CloseLevelsFrom(t, li);
            return;
        }
        if (t.barMode)
            MoveAlongBar(t, -1);
        return;
    case VK_ESCAPE:
        if (li > 0) {
            CloseLevelsFrom(t, li);
        } else if (t.barMode && !t.systemOnly) {
            // Back to the bar, its entry still lit.
            CloseLevelsFrom(t, 0);
            t.barOpen = false;
            RepaintBar(t);
        } else {
            t.done = true;
        }
        return;
    case VK_RETURN: {
        const MenuItem* it = ItemOf(level, level.selected);
        if (!it) {
            t.done = true;
            return;
        }
        if (it->submenu) {
            OpenSubmenu(t, li, true);
            return;
        }
        Choose(t, level.menu, *it, POINT{0, 0});
        return;
    }
    case VK_MENU:
    case VK_F10:
        t.done = true;
        return;
    case VK_F1: {
        // Help on the lit item: the owner is told which, and the menu closes for the help.
        const MenuItem* it = ItemOf(level, level.selected);
        if (!it || it->submenu || !t.owner)
            return;
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_MENUITEM;
        info.iCtrlId = static_cast<int>(it->id);
        info.hItemHandle = level.menu;
        GetCursorPos(&info.MousePos);
        t.done = true;
        SendMessage(t.owner, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return;
    }
    default:
        return;
    }
}

bool IsMouseMessage(UINT m)
{
    return (m >= WM_MOUSEFIRST && m <= WM_MOUSELAST) || (m >= WM_NCMOUSEMOVE && m <= WM_NCMBUTTONDBLCLK);
}

void Handle(Tracker& t, MSG& msg)
{
    Refresh(t);
    if (t.done)
        return;
    const UINT m = msg.message;
    if (IsMouseMessage(m)) {
        switch (m) {
        case WM_MOUSEMOVE:
        case WM_NCMOUSEMOVE:
            OnMouseMove(t, msg.pt);
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONDBLCLK:
            OnButtonDown(t, msg.pt, false, msg.time);
            return;
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
        case WM_NCRBUTTONDBLCLK:
            OnButtonDown(t, msg.pt, true, msg.time);
            return;
        case WM_LBUTTONUP:
        case WM_NCLBUTTONUP:
            OnButtonUp(t, msg.pt, false);
            return;
        case WM_RBUTTONUP:
        case WM_NCRBUTTONUP:
            OnButtonUp(t, msg.pt, true);
            return;
        default:
            return;   // other buttons and the wheel do nothing in a menu
        }
    }
    switch (m) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // F1 is the lit item's help, given here: translated, it would ask the window's too.
        if (msg.wParam != VK_F1)
            TranslateMessage(&msg);
        OnKey(t, static_cast<UINT>(msg.wParam));
        return;
    case WM_CHAR:
    case WM_SYSCHAR:
        OnChar(t, static_cast<char>(msg.wParam));
        return;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return;
    case WM_TIMER:
        if (msg.wParam == kOpenTimer) {
            KillTimer(msg.hwnd, kOpenTimer);
            for (size_t i = 0; i < t.levels.size(); ++i)
                if (t.levels[i].window == msg.hwnd) {
                    OpenSubmenu(t, i, false);
                    break;
                }
            return;
        }
        DispatchMessage(&msg);
        return;
    default:
        TranslateMessage(&msg);
        DispatchMessage(&msg);
        return;
    }
}

// Runs the loop until a command is chosen or the menu is dismissed.
void RunLoop(Tracker& t)
{
    bool idleSent = false;
    while (!t.done) {
        if (!IsWindow(t.owner) || GetCapture() != t.capture) {
            t.done = true;
            break;
        }
        MSG msg;
        if (!PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE) && !idleSent) {
            idleSent = true;
            if (t.notify) {
                HWND popup = t.levels.empty() ? nullptr : t.levels.back().window;
                SendMessage(t.owner, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(popup));
                continue;   // the owner may have posted or ended the menu
            }
        }
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));   // the outer loop must see it too
            t.done = true;
            break;
        }
        idleSent = false;
        if (CallMsgFilter(&msg, MSGF_MENU))
            continue;
        Handle(t, msg);
    }
}

// Begins and ends a menu loop around `body`, and delivers the command.
template <typename Body>
UINT RunTracker(Tracker& t, HMENU initMenu, bool popupLoop, Body body)
{
    Tracker* outer = Current();
    Current() = &t;
    t.serial = ++LoopCount();
    t.capture = t.owner;
    if (t.notify)
        SendMessage(t.owner, WM_ENTERMENULOOP, popupLoop ? TRUE : FALSE, 0);
    SetCapture(t.capture);
    if (t.notify && IsWindow(t.owner))
        SendMessage(t.owner, WM_INITMENU, reinterpret_cast<WPARAM>(initMenu), 0);
    body();
    if (!t.done)
        RunLoop(t);
    CloseLevelsFrom(t, 0);
    const bool lit = t.barItem != kNoEntry;
    t.barItem = kNoEntry;
    t.barOpen = false;
    if (GetCapture() == t.capture)
        ReleaseCapture();
    Current() = outer;
    if (lit && t.barMode && IsWindow(t.owner))
        DrawMenuBar(t.owner);
    if (t.notify && IsWindow(t.owner)) {
        SendMessage(t.owner, WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
        SendMessage(t.owner, WM_EXITMENULOOP, popupLoop ? TRUE : FALSE, 0);
    }
    if (t.replayPress && !t.command && GetCapture() == nullptr)
        InputTranslator::Replay(t.press);
    return t.command;
}

void Deliver(Tracker& t)
{
    if (!t.command || !IsWindow(t.owner))
        return;
    if (t.commandIsSystem)
        PostMessage(t.commandTarget && IsWindow(t.commandTarget) ? t.commandTarget : t.owner, WM_SYSCOMMAND, t.command,
                    MAKELPARAM(t.commandPoint.x, t.commandPoint.y));
    else
        PostMessage(t.owner, WM_COMMAND, MAKEWPARAM(t.command, 0), 0);
}

} // namespace

BOOL MenuTracking::TrackPopup(HMENU menu, UINT flags, POINT pt, HWND owner, const RECT* exclude)
{
    if (!Menus::Find(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if (!owner || !IsWindow(owner) || (Current() && !(flags & TPM_RECURSE))) {
        SetLastError(owner && IsWindow(owner) ? ERROR_INVALID_PARAMETER : ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Tracker t;
    t.owner = owner;
    t.flags = flags;
    t.notify = !(flags & TPM_NONOTIFY);
    const UINT command = RunTracker(t, menu, true, [&] {
        if (!OpenLevel(t, menu, 0, pt, flags, exclude)) {
            t.done = true;
            return;
        }
        // A menu asked for from the keyboard shows where the keys are at once: its first item
        // lit, ready for the arrows and Enter.
        if (InputTranslator::LastInputWasKey())
            if (MenuObject* m = Obj(menu))
                Select(t, 0, NextSelectable(*m, -1, 1), false);
    });
    if (flags & TPM_RETURNCMD)
        return static_cast<BOOL>(command);
    if (t.notify)
        Deliver(t);
    return TRUE;   // shown and tracked, whether or not something was chosen
}

void MenuTracking::TrackBarByMouse(HWND frame, POINT screen)
{
    if (Current() || !IsWindow(frame))
        return;
    Tracker t;
    t.owner = frame;
    t.barMode = true;
    t.bar = GetMenu(frame);
    t.systemOnly = !IsMenu(t.bar);
    t.notify = true;
    RunTracker(t, t.systemOnly ? MenuBars::SystemMenuOf(frame) : t.bar, false, [&] {
        const int entry = BarEntryAt(t, screen);
        if (entry == kNoEntry) {
            t.done = true;
            return;
        }
        if (entry == kSystemEntry) {
            t.pressOnIcon = true;
            t.sysIconClick = GetMessageTime();
        }
        OpenBarEntry(t, entry, false);
        if (entry != kSystemEntry && !t.barOpen && !t.done && !IsBarCommand(t, entry))
            t.done = true;   // a disabled entry
    });
    Deliver(t);
}

void MenuTracking::TrackBarByKey(HWND frame, char key)
{
    if (Current() || !IsWindow(frame))
        return;
    HMENU bar = GetMenu(frame);
    const bool hasBar = IsMenu(bar) != FALSE;
    const bool hasSystem = (GetWindowLong(frame, GWL_STYLE) & WS_SYSMENU) && MenuBars::SystemMenuOf(frame);
    if (key == ' ' ? !hasSystem : (!hasBar && !hasSystem))
        return;
    // Alt+'-' is the maximised document window's own system menu, which stands first in the
    // bar: it drops from its icon there, as a click on the icon opens it.
    const MenuObject* barMenu = hasBar ? Menus::Find(bar) : nullptr;
    const MenuObject* firstMenu = barMenu && !barMenu->items.empty() && barMenu->items[0].submenu
                                      ? Menus::Find(barMenu->items[0].submenu)
                                      : nullptr;
    const bool startsWithDocumentMenu = firstMenu != nullptr && firstMenu->systemMenu && barMenu->items.size() > 1;
    const bool documentMenu = key == '-' && startsWithDocumentMenu;
    if (key && key != ' ' && hasBar && !documentMenu) {
        // Only a mnemonic of the bar opens a menu; anything else asks the window, then beeps.
        MenuObject* m = Menus::Find(bar);
        const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(key)));
        bool found = false;
        for (const MenuItem& item : m->items)
            found = found || item.Mnemonic() == lower;
        if (!found) {
            const LRESULT answer = SendMessage(frame, WM_MENUCHAR, MAKEWPARAM(static_cast<unsigned char>(key), 0),
                                               reinterpret_cast<LPARAM>(bar));
            if (HIWORD(answer) != MNC_CLOSE)
                MessageBeep(0);
            return;
        }
    } else if (key && key != ' ' && !documentMenu) {
        MessageBeep(0);
        return;
    }
    Tracker t;
    t.owner = frame;
    t.barMode = true;
    t.bar = bar;
    t.systemOnly = !hasBar;
    t.notify = true;
    RunTracker(t, hasBar && key != ' ' ? bar : MenuBars::SystemMenuOf(frame), false, [&] {
        if (key == ' ') {
            OpenBarEntry(t, kSystemEntry, true);
        } else if (documentMenu) {
            OpenBarEntry(t, 0, true);
        } else if (key) {
            OnChar(t, key);
        } else {
            // Alt alone or F10 lights the bar's first menu, past the document window's icon
            // (which Left reaches): the icon lit alone is easily missed, and Down would drop
            // the document's menu where the user looks for File.
            LightBarEntry(t, hasBar ? (startsWithDocumentMenu ? 1 : 0) : kSystemEntry);
        }
        if (key && t.levels.empty() && !t.done)
            t.done = true;
    });
    Deliver(t);
}

bool MenuTracking::IsTracking()
{
    return Current() != nullptr;
}

unsigned MenuTracking::CurrentLoop()
{
    return Current() ? Current()->serial : 0;
}

unsigned MenuTracking::NextLoop()
{
    return LoopCount() + 1;
}

void MenuTracking::End()
{
    if (Tracker* t = Current()) {
        t->done = true;
        PostMessage(nullptr, WM_NULL, 0, 0);   // wakes the loop if it waits
    }
}

bool MenuTracking::BarHighlight(HWND frame, int& item, MenuPainter::BarItemLook& look)
{
    Tracker* t = Current();
    if (!t || !t->barMode || t->owner != frame || t->barItem < 0)
        return false;
    item = t->barItem;
    look = t->barOpen ? MenuPainter::BarItemLook::Open : MenuPainter::BarItemLook::Hot;
    return true;
}

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int, HWND hWnd, const RECT*)
{
    return MenuTracking::TrackPopup(hMenu, uFlags, POINT{x, y}, hWnd, nullptr);
}

BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm)
{
    const RECT* exclude = lptpm && lptpm->cbSize >= sizeof(TPMPARAMS) ? &lptpm->rcExclude : nullptr;
    return MenuTracking::TrackPopup(hMenu, uFlags, POINT{x, y}, hwnd, exclude);
}

BOOL EndMenu()
{
    MenuTracking::End();
    return TRUE;
}

BOOL GetMenuItemRect(HWND hWnd, HMENU hMenu, UINT uItem, LPRECT lprcItem)
{
    if (!lprcItem || !Menus::Find(hMenu))
        return FALSE;
    if (Tracker* t = Current()) {
        for (const Level& level : t->levels)
            if (level.menu == hMenu && uItem < level.layout.items.size()) {
                *lprcItem = ItemScreenRect(level, static_cast<int>(uItem));
                return TRUE;
            }
    }
    if (!hWnd || GetMenu(hWnd) != hMenu)
        return FALSE;
    MenuObject* bar = Menus::Find(hMenu);
    RECT row = MenuBars::BarRow(hWnd);
    if (!bar || uItem >= bar->items.size() || IsRectEmpty(&row))
        return FALSE;
    BarLayout layout = MenuLayouts::LayOutBar(*bar, row.right - row.left, hWnd);
    RECT r = layout.items[uItem].rect;
    RECT wr;
    GetWindowRect(hWnd, &wr);
    OffsetRect(&r, row.left + wr.left, row.top + wr.top);
    *lprcItem = r;
    return TRUE;
}
