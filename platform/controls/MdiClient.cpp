// The MDI client, DefFrameProc and DefMDIChildProc.
#include "platform/controls/MdiClient.h"

#include "platform/controls/Button.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/Static.h"
#include "platform/core/CRect.h"
#include "platform/core/ResourceFormats.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <strings.h>

namespace {

struct MdiClientState {
    HWND self = nullptr;
    HWND frame = nullptr;
    HMENU windowMenu = nullptr;
    UINT firstChildId = 0;
    std::vector<HWND> children;   // in creation order; each one's id is firstChildId + its index
    HWND active = nullptr;
    // The maximised child whose system menu and buttons sit in the frame's bar, and the bar
    // that carries them with the pictures shown there.
    HWND maxChild = nullptr;
    HMENU decoratedMenu = nullptr;
    std::vector<HBITMAP> pictures;
    // The frame's own title while a maximised child's joins it.
    std::string frameTitle;
    bool titleJoined = false;
    // The Window menu that lists the children, and whether the list added a separator to it.
    HMENU listedMenu = nullptr;
    bool listedSeparator = false;
    int cascadeNext = 0;
    int m_depth = 0;
    bool m_orphaned = false;
};

bool IsMdiClient(HWND hwnd)
{
    char name[32] = {};
    return hwnd && GetClassName(hwnd, name, sizeof name) > 0 && strcasecmp(name, WC_MDICLIENT) == 0;
}

MdiClientState* StateOf(HWND client)
{
    return IsMdiClient(client) ? ControlStateOf<MdiClientState>(client) : nullptr;
}

bool IsOurChild(const MdiClientState& s, HWND child)
{
    return child && std::find(s.children.begin(), s.children.end(), child) != s.children.end() && IsWindow(child);
}

std::string MdiTextOf(HWND hwnd)
{
    const int n = GetWindowTextLength(hwnd);
    std::string text(static_cast<size_t>(std::max(n, 0)) + 1, '\0');
    GetWindowText(hwnd, text.data(), n + 1);
    text.resize(static_cast<size_t>(std::max(n, 0)));
    return text;
}

// The children in z-order, topmost first; with `usable` only the visible, enabled ones.
std::vector<HWND> ZOrder(const MdiClientState& s, bool usable)
{
    std::vector<HWND> out;
    for (HWND h = GetWindow(s.self, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (!IsOurChild(s, h))
            continue;
        if (usable && (!IsWindowVisible(h) || !IsWindowEnabled(h)))
            continue;
        out.push_back(h);
    }
    return out;
}

// ---- Pictures for the frame's bar ----

HBITMAP NewPicture(int cx, int cy, const std::function<void(HDC, RECT)>& draw)
{
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, cx, cy);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT r{0, 0, cx, cy};
    FillRect(dc, &r, GetSysColorBrush(COLOR_MENU));
    draw(dc, r);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// The child's small icon, or a little document window when its class has none.
HBITMAP IconPicture(HWND child)
{
    const int cx = GetSystemMetrics(SM_CXSMICON);
    const int cy = GetSystemMetrics(SM_CYSMICON);
    auto icon = reinterpret_cast<HICON>(GetClassLongPtr(child, GCLP_HICONSM));
    if (!icon)
        icon = reinterpret_cast<HICON>(GetClassLongPtr(child, GCLP_HICON));
    return NewPicture(cx, cy, [&](HDC dc, RECT r) {
        if (icon) {
            DrawIconEx(dc, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
            return;
        }
        InflateRect(&r, -2, -2);
        FillRect(dc, &r, GetSysColorBrush(COLOR_WINDOW));
        FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWTEXT));
        RECT title{r.left + 1, r.top + 1, r.right - 1, r.top + 4};
        FillRect(dc, &title, GetSysColorBrush(COLOR_ACTIVECAPTION));
    });
}

HBITMAP ButtonPicture(UINT kind)
{
    const int cx = GetSystemMetrics(SM_CXMENUSIZE);
    const int cy = GetSystemMetrics(SM_CYMENUSIZE);
    return NewPicture(cx, cy, [&](HDC dc, RECT r) {
        InflateRect(&r, 0, -1);
        r.right -= 2;
        DrawFrameControl(dc, &r, DFC_CAPTION, kind);
    });
}

// ---- The frame's bar and title while a child is maximised ----

void UpdateFrameTitle(MdiClientState& s)
{
    if (!IsWindow(s.frame))
        return;
    if (s.maxChild && IsWindow(s.maxChild)) {
        if (!s.titleJoined) {
            s.frameTitle = MdiTextOf(s.frame);
            s.titleJoined = true;
        }
        const std::string child = MdiTextOf(s.maxChild);
        const std::string joined = child.empty() ? s.frameTitle : s.frameTitle + " - [" + child + "]";
        DefWindowProc(s.frame, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(joined.c_str()));
    } else if (s.titleJoined) {
        s.titleJoined = false;
        DefWindowProc(s.frame, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(s.frameTitle.c_str()));
    }
}

bool IsDecoration(HMENU menu, int pos, HWND child)
{
    MENUITEMINFO mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfo(menu, static_cast<UINT>(pos), TRUE, &mii) || !(mii.fType & MFT_BITMAP))
        return false;
    if (mii.hSubMenu)
        return child && mii.hSubMenu == GetSystemMenu(child, FALSE);
    return mii.wID == SC_MINIMIZE || mii.wID == SC_RESTORE || mii.wID == SC_CLOSE;
}

void RemoveDecorations(MdiClientState& s)
{
    if (s.decoratedMenu && IsMenu(s.decoratedMenu)) {
        // Removed, not deleted: the system menu stays the child's.
        for (int pos = GetMenuItemCount(s.decoratedMenu) - 1; pos >= 0; --pos)
            if (IsDecoration(s.decoratedMenu, pos, s.maxChild))
                RemoveMenu(s.decoratedMenu, static_cast<UINT>(pos), MF_BYPOSITION);
        if (IsWindow(s.frame) && GetMenu(s.frame) == s.decoratedMenu)
            DrawMenuBar(s.frame);
    }
    s.decoratedMenu = nullptr;
    for (HBITMAP picture : s.pictures)
        DeleteObject(picture);
    s.pictures.clear();
}

// The maximised child's system menu at the bar's left, its minimise, restore and close buttons
// at its right end.
void AddDecorations(MdiClientState& s)
{
    HMENU bar = IsWindow(s.frame) ? GetMenu(s.frame) : nullptr;
    if (!bar || !s.maxChild)
        return;
    const DWORD style = static_cast<DWORD>(GetWindowLong(s.maxChild, GWL_STYLE));
    HBITMAP icon = IconPicture(s.maxChild);
    s.pictures.push_back(icon);
    if (style & WS_SYSMENU)
        InsertMenu(bar, 0, MF_BYPOSITION | MF_POPUP | MF_BITMAP,
                   reinterpret_cast<UINT_PTR>(GetSystemMenu(s.maxChild, FALSE)), reinterpret_cast<LPCSTR>(icon));
    UINT justify = MF_RIGHTJUSTIFY;
    auto button = [&](UINT id, UINT kind, bool enabled) {
        HBITMAP picture = ButtonPicture(kind | (enabled ? 0 : DFCS_INACTIVE));
        s.pictures.push_back(picture);
        AppendMenu(bar, MF_BITMAP | justify | (enabled ? MF_ENABLED : MF_GRAYED), id, reinterpret_cast<LPCSTR>(picture));
        justify = 0;
    };
    if (style & WS_MINIMIZEBOX)
        button(SC_MINIMIZE, DFCS_CAPTIONMIN, true);
    if (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX))
        button(SC_RESTORE, DFCS_CAPTIONRESTORE, true);
    if (style & WS_SYSMENU)
        button(SC_CLOSE, DFCS_CAPTIONCLOSE, true);
    s.decoratedMenu = bar;
    DrawMenuBar(s.frame);
}

void SetMaximised(MdiClientState& s, HWND child)
{
    if (s.maxChild == child)
        return;
    RemoveDecorations(s);
    s.maxChild = child;
    AddDecorations(s);
    UpdateFrameTitle(s);
}

// ---- The Window menu ----

void RemoveList(MdiClientState& s)
{
    HMENU menu = s.listedMenu;
    if (menu && IsMenu(menu)) {
        for (int pos = GetMenuItemCount(menu) - 1; pos >= 0; --pos) {
            const UINT id = GetMenuItemID(menu, pos);
            if (id != static_cast<UINT>(-1) && id >= s.firstChildId && id <= s.firstChildId + kMdiListedChildren &&
                !GetSubMenu(menu, pos))
                DeleteMenu(menu, static_cast<UINT>(pos), MF_BYPOSITION);
        }
        const int last = GetMenuItemCount(menu) - 1;
        if (s.listedSeparator && last >= 0 && (GetMenuState(menu, static_cast<UINT>(last), MF_BYPOSITION) & MF_SEPARATOR))
            DeleteMenu(menu, static_cast<UINT>(last), MF_BYPOSITION);
    }
    s.listedMenu = nullptr;
    s.listedSeparator = false;
}

void RefreshList(MdiClientState& s)
{
    RemoveList(s);
    HMENU menu = s.windowMenu;
    if (!menu || !IsMenu(menu))
        return;
    std::vector<HWND> shown;
    for (HWND child : s.children)
        if (IsWindow(child) && IsWindowVisible(child))
            shown.push_back(child);
    s.listedMenu = menu;
    if (shown.empty())
        return;
    if (GetMenuItemCount(menu) > 0) {
        AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        s.listedSeparator = true;
    }
    const size_t listed = std::min<size_t>(shown.size(), kMdiListedChildren);
    for (size_t i = 0; i < listed; ++i) {
        const std::string text = "&" + std::to_string(i + 1) + " " + MdiTextOf(shown[i]);
        AppendMenu(menu, MF_STRING | (shown[i] == s.active ? MF_CHECKED : MF_UNCHECKED),
                   static_cast<UINT_PTR>(GetDlgCtrlID(shown[i])), text.c_str());
    }
    if (shown.size() > listed)
        AppendMenu(menu, MF_STRING, s.firstChildId + kMdiListedChildren, "&More Windows...");
}

// ---- Activation ----

void Activate(MdiClientState& s, HWND child)
{
    if (child && !IsOurChild(s, child))
        return;
    if (child == s.active)
        return;
    HWND old = s.active && IsWindow(s.active) ? s.active : nullptr;
    // A child on its way out is told, but is not restored or pushed around.
    const bool oldLeaving = old && std::find(s.children.begin(), s.children.end(), old) == s.children.end();
    const bool wasMaximised = old && IsZoomed(old);
    s.active = child;
    if (old) {
        SendMessage(old, WM_NCACTIVATE, FALSE, 0);
        SendMessage(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
    }
    if (child && IsWindow(child) && s.active == child) {
        SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        if (wasMaximised && !IsZoomed(child)) {
            // The maximised state goes with the activation.
            ShowWindow(child, SW_SHOWMAXIMIZED);
            if (IsWindow(old) && !oldLeaving)
                ShowWindow(old, SW_RESTORE);
        }
        const HWND root = GetAncestor(s.self, GA_ROOT);
        SendMessage(child, WM_NCACTIVATE, GetActiveWindow() == root ? TRUE : FALSE, 0);
        SendMessage(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
        if (IsWindow(child) && GetActiveWindow() == root) {
            HWND focus = GetFocus();
            if (focus != child && !IsChild(child, focus))
                SetFocus(child);
        }
    }
    RefreshList(s);
}

// The child that takes over when `leaving` goes: the topmost other usable one.
HWND Successor(const MdiClientState& s, HWND leaving)
{
    for (HWND h : ZOrder(s, true))
        if (h != leaving)
            return h;
    return nullptr;
}

void Forget(MdiClientState& s, HWND child)
{
    auto it = std::find(s.children.begin(), s.children.end(), child);
    if (it == s.children.end())
        return;
    if (s.maxChild == child)
        SetMaximised(s, nullptr);
    // The child with the last id takes the vacant one, so the ids stay without gaps.
    const size_t index = static_cast<size_t>(it - s.children.begin());
    if (index + 1 < s.children.size()) {
        HWND last = s.children.back();
        s.children[index] = last;
        SetWindowLongPtr(last, GWLP_ID, static_cast<LONG_PTR>(s.firstChildId + index));
    }
    s.children.pop_back();
    // The child hears that it lost the activation, even when none takes it over (the last
    // one): the framework puts the frame's own menu back then.
    if (s.active == child)
        Activate(s, Successor(s, child));
    RefreshList(s);
}

// ---- Creating, arranging ----

HWND CreateChild(MdiClientState& s, MDICREATESTRUCT& mcs)
{
    RECT area;
    GetClientRect(s.self, &area);
    DWORD style = mcs.style;
    if (!(GetWindowLong(s.self, GWL_STYLE) & MDIS_ALLCHILDSTYLES))
        style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
    style = (style | WS_CHILD | WS_CLIPSIBLINGS) & ~(WS_POPUP | WS_MAXIMIZE | WS_MINIMIZE);
    const bool visible = (style & WS_VISIBLE) != 0;
    style &= ~WS_VISIBLE;
    int x = mcs.x, y = mcs.y, cx = mcs.cx, cy = mcs.cy;
    const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    if (x == CW_USEDEFAULT || y == CW_USEDEFAULT) {
        const int limit = std::max(1, ((area.bottom - area.top) / 2) / std::max(step, 1));
        x = y = (s.cascadeNext++ % limit) * step;
    }
    if (cx == CW_USEDEFAULT || cy == CW_USEDEFAULT) {
        cx = (area.right - area.left) * 3 / 4;
        cy = (area.bottom - area.top) * 3 / 4;
    }
    const UINT id = s.firstChildId + static_cast<UINT>(s.children.size());
    HWND child = CreateWindowEx(WS_EX_MDICHILD, mcs.szClass, mcs.szTitle, style, x, y, cx, cy, s.self,
                                reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                                reinterpret_cast<HINSTANCE>(mcs.hOwner), &mcs);
    if (!child)
        return nullptr;
    s.children.push_back(child);
    const bool maximise = (mcs.style & WS_MAXIMIZE) || (s.maxChild && IsWindow(s.maxChild));
    if (visible)
        ShowWindow(child, SW_SHOWNOACTIVATE);
    if (visible || maximise)
        Activate(s, child);
    if (mcs.style & WS_MINIMIZE)
        ShowWindow(child, SW_SHOWMINNOACTIVE);
    else if (maximise && IsWindow(child) && !IsZoomed(child))
        ShowWindow(child, SW_SHOWMAXIMIZED);
    RefreshList(s);
    return IsWindow(child) ? child : nullptr;
}

void RestoreMaximised(MdiClientState& s)
{
    if (s.maxChild && IsWindow(s.maxChild))
        ShowWindow(s.maxChild, SW_RESTORE);
}

std::vector<HWND> Arrangeable(const MdiClientState& s, UINT how)
{
    std::vector<HWND> out;
    for (HWND h : ZOrder(s, false))
        if (IsWindowVisible(h) && !IsIconic(h) && (!(how & MDITILE_SKIPDISABLED) || IsWindowEnabled(h)))
            out.push_back(h);
    return out;
}

// The client area less the row of icons along its bottom, when there are minimised children.
RECT AreaAboveIcons(const MdiClientState& s)
{
    RECT area;
    GetClientRect(s.self, &area);
    for (HWND h : ZOrder(s, false))
        if (IsWindowVisible(h) && IsIconic(h)) {
            area.bottom = std::max(area.top, area.bottom - GetSystemMetrics(SM_CYMINIMIZED));
            break;
        }
    return area;
}

void ArrangeIcons(MdiClientState& s)
{
    RECT area;
    GetClientRect(s.self, &area);
    const int w = GetSystemMetrics(SM_CXMINIMIZED);
    const int h = GetSystemMetrics(SM_CYMINIMIZED);
    const int perRow = std::max<int>(1, (area.right - area.left) / std::max(w, 1));
    int n = 0;
    for (HWND child : s.children) {
        if (!IsWindow(child) || !IsIconic(child))
            continue;
        const int x = area.left + (n % perRow) * w;
        const int y = area.bottom - (n / perRow + 1) * h;
        SetWindowPos(child, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ++n;
    }
}

void Place(HWND hwnd, const RECT& r)
{
    SetWindowPos(hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Cascade(MdiClientState& s, UINT how)
{
    RestoreMaximised(s);
    std::vector<HWND> windows = Arrangeable(s, how);
    // The topmost window ends last, in front at the far end of the cascade.
    std::reverse(windows.begin(), windows.end());
    const int step = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    const std::vector<RECT> rects = MdiCascadeRects(static_cast<int>(windows.size()), AreaAboveIcons(s), step);
    for (size_t i = 0; i < windows.size(); ++i)
        Place(windows[i], rects[i]);
}

void Tile(MdiClientState& s, UINT how)
{
    RestoreMaximised(s);
    const std::vector<HWND> windows = Arrangeable(s, how);
    const std::vector<RECT> rects = MdiTileRects(static_cast<int>(windows.size()), AreaAboveIcons(s), how);
    for (size_t i = 0; i < windows.size(); ++i)
        Place(windows[i], rects[i]);
}

void Next(MdiClientState& s, HWND from, bool previous)
{
    if (!from || !IsOurChild(s, from))
        from = s.active;
    const std::vector<HWND> order = ZOrder(s, true);
    if (order.empty())
        return;
    HWND target = nullptr;
    if (previous) {
        target = order.back();
    } else {
        auto it = std::find(order.begin(), order.end(), from);
        target = (it == order.end() || it + 1 == order.end()) ? order.front() : *(it + 1);
    }
    if (!target || target == from)
        return;
    Activate(s, target);
    // Going forward sends the window left behind to the back, so repeating it visits them all.
    if (!previous && IsWindow(from))
        SetWindowPos(from, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The maximised child keeps filling the client area when the client changes size.
void FitMaximised(MdiClientState& s)
{
    if (!s.maxChild || !IsWindow(s.maxChild))
        return;
    RECT r;
    GetClientRect(s.self, &r);
    AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLong(s.maxChild, GWL_STYLE)) & ~WS_MAXIMIZE, FALSE,
                       static_cast<DWORD>(GetWindowLong(s.maxChild, GWL_EXSTYLE)));
    Place(s.maxChild, r);
}

// ---- "More Windows..." ----

constexpr int kSelectList = 100;

struct SelectWindow {
    std::vector<HWND> windows;
    HWND active = nullptr;
    HWND chosen = nullptr;
};

INT_PTR CALLBACK SelectWindowProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* data = reinterpret_cast<SelectWindow*>(GetWindowLongPtr(dlg, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        data = reinterpret_cast<SelectWindow*>(lParam);
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        HWND list = GetDlgItem(dlg, kSelectList);
        for (HWND h : data->windows) {
            const std::string title = MdiTextOf(h);
            const LRESULT index = SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
            SendMessage(list, LB_SETITEMDATA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(h));
            if (h == data->active)
                SendMessage(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        }
        return TRUE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (id == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        if (id == IDOK || (id == kSelectList && HIWORD(wParam) == LBN_DBLCLK)) {
            HWND list = GetDlgItem(dlg, kSelectList);
            const LRESULT index = SendMessage(list, LB_GETCURSEL, 0, 0);
            if (index >= 0 && data)
                data->chosen = reinterpret_cast<HWND>(SendMessage(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        return FALSE;
    }
    default:
        return FALSE;
    }
}

HWND ChooseFromAll(MdiClientState& s)
{
    SelectWindow data;
    for (HWND child : s.children)
        if (IsWindow(child) && IsWindowVisible(child))
            data.windows.push_back(child);
    data.active = s.active;
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    t.title = "Select Window";
    t.cx = 160;
    t.cy = 110;
    auto item = [](DWORD style, short x, short y, short cx, short cy, DWORD id, WORD cls, const char* text) {
        DialogItemTemplate i;
        i.style = style | WS_CHILD | WS_VISIBLE;
        i.x = x, i.y = y, i.cx = cx, i.cy = cy;
        i.id = id;
        i.windowClass.isOrdinal = true;
        i.windowClass.ordinal = cls;
        i.title.text = text;
        return i;
    };
    t.items.push_back(item(SS_LEFT, 7, 7, 146, 8, static_cast<DWORD>(-1), 0x0082, "&Select Window:"));
    t.items.push_back(item(LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 7, 17, 146, 66, kSelectList, 0x0083, ""));
    t.items.push_back(item(BS_DEFPUSHBUTTON | WS_TABSTOP, 49, 89, 50, 14, IDOK, 0x0080, "&OK"));
    t.items.push_back(item(BS_PUSHBUTTON | WS_TABSTOP, 103, 89, 50, 14, IDCANCEL, 0x0080, "&Cancel"));
    const std::vector<BYTE> bytes = WriteDialogTemplate(t);
    DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), s.frame, SelectWindowProc,
                           reinterpret_cast<LPARAM>(&data));
    return IsOurChild(s, data.chosen) ? data.chosen : nullptr;
}

void ActivateChosen(MdiClientState& s, HWND child)
{
    if (!child)
        return;
    if (IsIconic(child))
        ShowWindow(child, SW_RESTORE);
    SendMessage(s.self, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
}

// ---- The client's procedure ----

LRESULT HandleMdiClientMessage(HWND hwnd, MdiClientState& s, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto child = [&] { return reinterpret_cast<HWND>(wParam); };
    switch (message) {
    case WM_CREATE: {
        auto* cs = reinterpret_cast<CREATESTRUCT*>(lParam);
        s.frame = GetParent(hwnd);
        if (cs && cs->lpCreateParams) {
            auto* ccs = static_cast<CLIENTCREATESTRUCT*>(cs->lpCreateParams);
            s.windowMenu = reinterpret_cast<HMENU>(ccs->hWindowMenu);
            s.firstChildId = ccs->idFirstChild;
        }
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    case WM_MDICREATE: {
        auto* mcs = reinterpret_cast<MDICREATESTRUCT*>(lParam);
        return mcs ? reinterpret_cast<LRESULT>(CreateChild(s, *mcs)) : 0;
    }
    case WM_MDIDESTROY: {
        HWND c = child();
        if (!IsOurChild(s, c))
            return 0;
        if (s.active == c)
            Activate(s, Successor(s, c));
        DestroyWindow(c);
        Forget(s, c);   // when the child's procedure did not tell already
        return 0;
    }
    case WM_MDIACTIVATE:
        Activate(s, child());
        return 0;
    case WM_MDINEXT:
        Next(s, child(), lParam != 0);
        return 0;
    case WM_MDIMAXIMIZE:
        if (IsOurChild(s, child())) {
            Activate(s, child());
            if (IsWindow(child()))
                ShowWindow(child(), SW_SHOWMAXIMIZED);
        }
        return 0;
    case WM_MDIRESTORE:
        if (IsOurChild(s, child()))
            ShowWindow(child(), SW_RESTORE);
        return 0;
    case WM_MDIGETACTIVE:
        if (lParam)
            *reinterpret_cast<BOOL*>(lParam) = s.active && s.active == s.maxChild ? TRUE : FALSE;
        return reinterpret_cast<LRESULT>(s.active);
    case WM_MDISETMENU: {
        HMENU old = IsWindow(s.frame) ? GetMenu(s.frame) : nullptr;
        auto frameMenu = reinterpret_cast<HMENU>(wParam);
        auto windowMenu = reinterpret_cast<HMENU>(lParam);
        RemoveList(s);
        if (frameMenu && frameMenu != old && IsMenu(frameMenu)) {
            HWND maximised = s.maxChild;
            RemoveDecorations(s);
            SetMenu(s.frame, frameMenu);
            if (maximised && IsWindow(maximised))
                AddDecorations(s);
        }
        if (windowMenu && IsMenu(windowMenu))
            s.windowMenu = windowMenu;
        RefreshList(s);
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_MDIREFRESHMENU:
        RefreshList(s);
        return reinterpret_cast<LRESULT>(IsWindow(s.frame) ? GetMenu(s.frame) : nullptr);
    case WM_MDICASCADE:
        Cascade(s, static_cast<UINT>(wParam));
        return TRUE;
    case WM_MDITILE:
        Tile(s, static_cast<UINT>(wParam));
        return TRUE;
    case WM_MDIICONARRANGE:
        ArrangeIcons(s);
        return 0;
    case WM_PARENTNOTIFY: {
        // A press anywhere in a child, its frame or its contents, activates it.
        const UINT event = LOWORD(wParam);
        if (event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN || event == WM_MBUTTONDOWN) {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &pt);
            for (HWND h : ZOrder(s, true)) {
                RECT r;
                GetWindowRect(h, &r);
                if (PtInRect(&r, pt)) {
                    if (h != s.active)
                        Activate(s, h);
                    break;
                }
            }
        }
        return 0;
    }
    case WM_SIZE:
        FitMaximised(s);
        return DefWindowProc(hwnd, message, wParam, lParam);
    case WM_SETFOCUS:
        if (s.active && IsWindow(s.active) && !IsIconic(s.active))
            SetFocus(s.active);
        return 0;
    case WM_DESTROY:
        RemoveList(s);
        RemoveDecorations(s);
        s.maxChild = nullptr;
        UpdateFrameTitle(s);
        return DefWindowProc(hwnd, message, wParam, lParam);
    default:
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
}

// The child's client, when the child lives in one.
MdiClientState* ClientOfChild(HWND child)
{
    MdiClientState* s = StateOf(GetParent(child));
    return s && IsOurChild(*s, child) ? s : nullptr;
}

// The child's system menu below its icon, chosen from and carried out at once.
void TrackChildSystemMenu(HWND child)
{
    HMENU menu = GetSystemMenu(child, FALSE);
    if (!menu)
        return;
    RECT r;
    GetWindowRect(child, &r);
    POINT pt{r.left, r.top + GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME)};
    if (IsZoomed(child)) {
        // Maximised, the icon is in the frame's bar: the bar's keys open the menu from there.
        MdiClientState* s = ClientOfChild(child);
        if (s && IsWindow(s->frame) && GetMenu(s->frame)) {
            SendMessage(s->frame, WM_SYSCOMMAND, SC_KEYMENU, '-');
            return;
        }
    }
    const UINT command = static_cast<UINT>(TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN, pt.x, pt.y, 0, child, nullptr));
    if (command && IsWindow(child))
        SendMessage(child, WM_SYSCOMMAND, command, 0);
}

} // namespace

std::vector<RECT> MdiCascadeRects(int count, const RECT& area, int step)
{
    std::vector<RECT> out;
    if (count <= 0)
        return out;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    step = std::max(step, 1);
    // Each window as large as the area less the room the cascade needs, but not below half of it.
    const int span = std::min(count - 1, std::max(0, std::min(width, height) / 2 / step));
    const int cx = std::max(width - span * step, width / 2);
    const int cy = std::max(height - span * step, height / 2);
    int at = 0;
    for (int i = 0; i < count; ++i) {
        if (at * step + cy > height || at * step + cx > width)
            at = 0;
        const int x = area.left + at * step;
        const int y = area.top + at * step;
        out.push_back(RECT{x, y, x + cx, y + cy});
        ++at;
    }
    return out;
}

std::vector<RECT> MdiTileRects(int count, const RECT& area, UINT how)
{
    std::vector<RECT> out;
    if (count <= 0)
        return out;
    // Tiling vertically makes tall windows side by side, in rows when there are many; tiling
    // horizontally makes wide ones stacked, in columns. The later lanes take the extra windows.
    const bool rows = !(how & MDITILE_HORIZONTAL);
    const int lanes = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
    const int length = rows ? area.bottom - area.top : area.right - area.left;
    const int across = rows ? area.right - area.left : area.bottom - area.top;
    int placed = 0;
    for (int lane = 0; lane < lanes; ++lane) {
        const int inLane = count / lanes + (lane >= lanes - count % lanes ? 1 : 0);
        const int a0 = lane * length / lanes;
        const int a1 = (lane + 1) * length / lanes;
        for (int k = 0; k < inLane; ++k, ++placed) {
            const int b0 = k * across / inLane;
            const int b1 = (k + 1) * across / inLane;
            out.push_back(rows ? RECT{area.left + b0, area.top + a0, area.left + b1, area.top + a1}
                               : RECT{area.left + a0, area.top + b0, area.left + a1, area.top + b1});
        }
    }
    return out;
}

LRESULT CALLBACK MdiClientWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* state = new MdiClientState;
        state->self = hwnd;
        AttachControlState(hwnd, state);
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    auto* state = ControlStateOf<MdiClientState>(hwnd);
    if (message == WM_NCDESTROY) {
        if (state)
            OrphanControlState(hwnd, state);
        return DefWindowProc(hwnd, message, wParam, lParam);
    }
    if (!state)
        return DefWindowProc(hwnd, message, wParam, lParam);
    ControlCallGuard<MdiClientState> guard(state);
    return HandleMdiClientMessage(hwnd, *state, message, wParam, lParam);
}

LRESULT DefFrameProc(HWND hWnd, HWND hWndMDIClient, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    MdiClientState* s = StateOf(hWndMDIClient);
    if (!s)
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    ControlCallGuard<MdiClientState> guard(s);
    switch (uMsg) {
    case WM_COMMAND: {
        const UINT id = LOWORD(wParam);
        if (HIWORD(wParam) == 0 && !lParam && id >= s->firstChildId) {
            if (id < s->firstChildId + kMdiListedChildren) {
                HWND child = GetDlgItem(hWndMDIClient, static_cast<int>(id));
                if (IsOurChild(*s, child)) {
                    ActivateChosen(*s, child);
                    return 0;
                }
            } else if (id == s->firstChildId + kMdiListedChildren && s->children.size() > kMdiListedChildren) {
                ActivateChosen(*s, ChooseFromAll(*s));
                return 0;
            }
        }
        // The maximised child's buttons in the bar are its system commands.
        if (id >= 0xF000 && s->maxChild && IsWindow(s->maxChild)) {
            SendMessage(s->maxChild, WM_SYSCOMMAND, id, lParam);
            return 0;
        }
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    }
    case WM_NCACTIVATE:
        if (s->active && IsWindow(s->active))
            SendMessage(s->active, WM_NCACTIVATE, wParam, lParam);
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    case WM_SETTEXT:
        if (s->titleJoined) {
            s->frameTitle = lParam ? reinterpret_cast<LPCSTR>(lParam) : "";
            UpdateFrameTitle(*s);
            return TRUE;
        }
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    case WM_SETFOCUS:
        if (s->active && IsWindow(s->active) && !IsIconic(s->active))
            SetFocus(s->active);
        else
            SetFocus(hWndMDIClient);
        return 0;
    case WM_SIZE:
        MoveWindow(hWndMDIClient, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_SYSCOMMAND:
        // Alt+'-' opens the active child's system menu; a maximised child's stands in the bar,
        // whose own keys open it there.
        if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == '-' && s->active && IsWindow(s->active) && !IsZoomed(s->active)) {
            TrackChildSystemMenu(s->active);
            return 0;
        }
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    default:
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    }
}

LRESULT DefMDIChildProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    HWND client = GetParent(hWnd);
    MdiClientState* s = ClientOfChild(hWnd);
    if (!s)
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    ControlCallGuard<MdiClientState> guard(s);
    switch (uMsg) {
    case WM_SETFOCUS:
        if (s->active != hWnd)
            Activate(*s, hWnd);
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    case WM_CHILDACTIVATE:
        if (s->active != hWnd)
            Activate(*s, hWnd);
        return 0;
    case WM_MOUSEACTIVATE: {
        const LRESULT result = DefWindowProc(hWnd, uMsg, wParam, lParam);
        if (s->active != hWnd && IsWindow(hWnd))
            Activate(*s, hWnd);
        return result;
    }
    case WM_SIZE: {
        const LRESULT result = DefWindowProc(hWnd, uMsg, wParam, lParam);
        if (wParam == SIZE_MAXIMIZED) {
            SetMaximised(*s, hWnd);
        } else if (s->maxChild == hWnd) {
            SetMaximised(*s, nullptr);
        }
        if (wParam == SIZE_MINIMIZED)
            ArrangeIcons(*s);
        return result;
    }
    case WM_SETTEXT: {
        const LRESULT result = DefWindowProc(hWnd, uMsg, wParam, lParam);
        if (s->maxChild == hWnd)
            UpdateFrameTitle(*s);
        RefreshList(*s);
        return result;
    }
    case WM_CLOSE:
        SendMessage(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hWnd), 0);
        return 0;
    case WM_DESTROY:
        Forget(*s, hWnd);
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    case WM_SHOWWINDOW: {
        const LRESULT result = DefWindowProc(hWnd, uMsg, wParam, lParam);
        PostMessage(client, WM_MDIREFRESHMENU, 0, 0);
        return result;
    }
    case WM_SYSCOMMAND:
        switch (wParam & 0xFFF0) {
        case SC_NEXTWINDOW:
            SendMessage(client, WM_MDINEXT, reinterpret_cast<WPARAM>(hWnd), 0);
            return 0;
        case SC_PREVWINDOW:
            SendMessage(client, WM_MDINEXT, reinterpret_cast<WPARAM>(hWnd), 1);
            return 0;
        case SC_MAXIMIZE:
            SendMessage(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(hWnd), 0);
            return 0;
        case SC_MOUSEMENU:
            // A press on the child's own icon opens its own system menu, not the frame's.
            if ((wParam & 0xF) == HTSYSMENU) {
                TrackChildSystemMenu(hWnd);
                return 0;
            }
            return DefWindowProc(hWnd, uMsg, wParam, lParam);
        case SC_KEYMENU:
            if (lParam == '-' || lParam == ' ') {
                TrackChildSystemMenu(hWnd);
                return 0;
            }
            return DefWindowProc(hWnd, uMsg, wParam, lParam);
        default:
            return DefWindowProc(hWnd, uMsg, wParam, lParam);
        }
    default:
        return DefWindowProc(hWnd, uMsg, wParam, lParam);
    }
}

BOOL TranslateMDISysAccel(HWND hWndClient, LPMSG lpMsg)
{
    if (!lpMsg || (lpMsg->message != WM_KEYDOWN && lpMsg->message != WM_SYSKEYDOWN))
        return FALSE;
    MdiClientState* s = StateOf(hWndClient);
    if (!s || !s->active || !IsWindow(s->active) || !IsWindowEnabled(s->active))
        return FALSE;
    // Ctrl without Alt: with Alt, F4 closes the frame itself.
    if (!(GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000))
        return FALSE;
    UINT command = 0;
    switch (lpMsg->wParam) {
    case VK_F4:
        command = SC_CLOSE;
        break;
    case VK_F6:
    case VK_TAB:
        command = (GetKeyState(VK_SHIFT) & 0x8000) ? SC_PREVWINDOW : SC_NEXTWINDOW;
        break;
    default:
        return FALSE;
    }
    SendMessage(s->active, WM_SYSCOMMAND, command, MAKELPARAM(lpMsg->wParam, 0));
    return TRUE;
}
