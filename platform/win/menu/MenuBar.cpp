// Menu bars in the non-client area of top-level windows, the system menu, and the default
// window procedure's ways into them (clicks on the bar and the icon, Alt, F10, Alt+letter).
#include "platform/win/detail/MenuTracker.h"

#include "platform/core/CRect.h"
#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowDefaults.h"
#include "platform/win/detail/WindowClass.h"
#include "platform/win/detail/WindowManager.h"

#include <map>

namespace {

std::map<HWND, HMENU>& SystemMenus()
{
    static auto* menus = new std::map<HWND, HMENU>();
    return *menus;
}

// The part of a window inside its frame and caption, in window coordinates.
RECT InsideCaption(const Window& w)
{
    RECT r{0, 0, w.Width(), w.Height()};
    if (w.style & WS_THICKFRAME)
        InflateRect(&r, -GetSystemMetrics(SM_CXFRAME), -GetSystemMetrics(SM_CYFRAME));
    else if ((w.style & WS_DLGFRAME) || (w.exStyle & WS_EX_DLGMODALFRAME))
        InflateRect(&r, -GetSystemMetrics(SM_CXDLGFRAME), -GetSystemMetrics(SM_CYDLGFRAME));
    else if (w.style & WS_BORDER)
        InflateRect(&r, -1, -1);
    if ((w.style & WS_CAPTION) == WS_CAPTION)
        r.top += GetSystemMetrics((w.exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    return r;
}

bool HasBar(const Window& w)
{
    return !w.IsChild() && w.id && IsMenu(reinterpret_cast<HMENU>(w.id));
}

HWND Root(HWND hwnd)
{
    HWND root = GetAncestor(hwnd, GA_ROOT);
    return root ? root : hwnd;
}

// A document window of an MDI client closes with Ctrl+F4; Alt+F4 closes the whole frame.
HMENU MakeSystemMenu(bool documentWindow)
{
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING, SC_RESTORE, "&Restore");
    AppendMenu(menu, MF_STRING, SC_MOVE, "&Move");
    AppendMenu(menu, MF_STRING, SC_SIZE, "&Size");
    AppendMenu(menu, MF_STRING, SC_MINIMIZE, "Mi&nimize");
    AppendMenu(menu, MF_STRING, SC_MAXIMIZE, "Ma&ximize");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_STRING, SC_CLOSE, documentWindow ? "&Close\tCtrl+F4" : "&Close\tAlt+F4");
    SetMenuDefaultItem(menu, SC_CLOSE, FALSE);
    if (MenuObject* m = Menus::Find(menu))
        m->systemMenu = true;
    return menu;
}

// What the default window procedure does with menu keys and clicks.
class MenuHandler : public IDefaultHandler {
public:
    bool Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override
    {
        result = 0;
        switch (message) {
        case WM_NCLBUTTONDBLCLK:
            // A quick second press on the bar opens it again like the first.
            if (wParam == HTMENU) {
                SendMessage(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU | HTMENU, lParam);
                return true;
            }
            return false;
        case WM_NCLBUTTONDOWN:
            if (wParam == HTMENU || wParam == HTSYSMENU) {
                SendMessage(hwnd, WM_SYSCOMMAND, SC_MOUSEMENU | (wParam & 0xF), lParam);
                return true;
            }
            return false;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
            case SC_MOUSEMENU:
                MenuTracking::TrackBarByMouse(Root(hwnd), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                return true;
            case SC_KEYMENU:
                if (Root(hwnd) != hwnd)
                    SendMessage(Root(hwnd), WM_SYSCOMMAND, wParam, lParam);
                else
                    MenuTracking::TrackBarByKey(hwnd, static_cast<char>(lParam));
                return true;
            default:
                return false;
            }
        case WM_SYSKEYDOWN:
            m_altAlone = wParam == VK_MENU && !(lParam & (LPARAM(1) << 30));
            // Shift+F10 counts as pressed with Shift even when Shift comes up before F10.
            if (wParam == VK_F10)
                m_shiftF10 = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
            if (wParam == VK_F4 && (lParam & (LPARAM(1) << 29))) {
                SendMessage(Root(hwnd), WM_SYSCOMMAND, SC_CLOSE, 0);
                return true;
            }
            return false;
        case WM_KEYDOWN:
            m_altAlone = false;
            return false;
        case WM_SYSKEYUP:
            if (wParam == VK_F10 && (m_shiftF10 || (GetKeyState(VK_SHIFT) & 0x8000))) {
                m_altAlone = false;
                m_shiftF10 = false;
                SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
                return true;
            }
            // Alt pressed and released alone, or F10: the keyboard's way into the menu bar.
            if ((wParam == VK_MENU && m_altAlone) || wParam == VK_F10) {
                m_altAlone = false;
                SendMessage(Root(hwnd), WM_SYSCOMMAND, SC_KEYMENU, 0);
                return true;
            }
            m_altAlone = false;
            return false;
        case WM_SYSCHAR:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE)
                return false;
            SendMessage(Root(hwnd), WM_SYSCOMMAND, SC_KEYMENU, static_cast<LPARAM>(wParam));
            return true;
        case WM_CANCELMODE:
            MenuTracking::End();
            return false;   // the default goes on (the capture is released)
        case WM_RBUTTONUP: {
            // A right click asks the window for its context menu, at the screen point.
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ClientToScreen(hwnd, &pt);
            SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(pt.x, pt.y));
            return true;
        }
        case WM_NCRBUTTONUP:
            SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), lParam);
            return true;
        case WM_KEYUP:
            // The menu key asks for the context menu from the keyboard: no point (-1, -1).
            if (wParam == VK_APPS) {
                SendMessage(hwnd, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(hwnd), MAKELPARAM(-1, -1));
                return true;
            }
            return false;
        case WM_CONTEXTMENU:
            return ContextMenu(hwnd, lParam);
        default:
            return false;
        }
    }

private:
    // A top-level window's own context menu is its system menu, over the caption; a child's
    // request goes on to its parent.
    static bool ContextMenu(HWND hwnd, LPARAM lParam)
    {
        Window* w = WindowManager::Find(hwnd);
        if (!w)
            return true;
        if (w->IsChild())
            return false;   // the default passes it on to the parent
        const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        const LRESULT hit = SendMessage(hwnd, WM_NCHITTEST, 0, lParam);
        HMENU system = MenuBars::SystemMenuOf(hwnd);
        if (system && (hit == HTCAPTION || hit == HTSYSMENU)) {
            const UINT command =
                static_cast<UINT>(TrackPopupMenu(system, TPM_RETURNCMD | TPM_RIGHTBUTTON, pt.x, pt.y, 0, hwnd, nullptr));
            if (command && IsWindow(hwnd))
                PostMessage(hwnd, WM_SYSCOMMAND, command, lParam);
        }
        return true;
    }

    bool m_altAlone = false;
    bool m_shiftF10 = false;
};

} // namespace

RECT MenuBars::BarRow(HWND frame)
{
    Window* w = WindowManager::Find(frame);
    if (!w || !HasBar(*w))
        return RECT{0, 0, 0, 0};
    RECT r = InsideCaption(*w);
    r.bottom = std::min<LONG>(r.top + MenuBars::BarHeight(reinterpret_cast<HMENU>(w->id), r.right - r.left, frame),
                              r.bottom);
    return r;
}

int MenuBars::BarHeight(HMENU menu, int width, HWND owner)
{
    MenuObject* m = Menus::Find(menu);
    if (!m || m->items.empty())
        return GetSystemMetrics(SM_CYMENU);
    return MenuLayouts::LayOutBar(*m, width, owner).height;
}

void MenuBars::PaintRow(HWND frame, HDC windowDC)
{
    Window* w = WindowManager::Find(frame);
    if (!w || w->IsChild() || !w->id)
        return;
    RECT row = InsideCaption(*w);
    row.bottom = std::min<LONG>(row.top + BarHeight(reinterpret_cast<HMENU>(w->id), row.right - row.left, frame),
                                row.bottom);
    MenuObject* menu = Menus::Find(reinterpret_cast<HMENU>(w->id));
    if (!menu) {
        FillRect(windowDC, &row, GetSysColorBrush(COLOR_MENU));
        return;
    }
    const BarLayout layout = MenuLayouts::LayOutBar(*menu, row.right - row.left, frame);
    int item = -1;
    MenuPainter::BarItemLook look = MenuPainter::BarItemLook::Normal;
    if (!MenuTracking::BarHighlight(frame, item, look)) {
        for (size_t i = 0; i < menu->items.size(); ++i)
            if (menu->items[i].state & MFS_HILITE) {
                item = static_cast<int>(i);
                look = MenuPainter::BarItemLook::Hot;
            }
    }
    // The bar's own one-pixel line under it separates it from the client area.
    RECT items = row;
    items.bottom -= 1;
    RECT line{row.left, items.bottom, row.right, row.bottom};
    FillRect(windowDC, &line, GetSysColorBrush(COLOR_MENU));
    MenuPainter::PaintBar(windowDC, items, *menu, layout, item, look, frame);
}

void MenuBars::UpdateSystemMenu(HWND frame, HMENU systemMenu)
{
    Window* w = WindowManager::Find(frame);
    if (!w)
        return;
    const DWORD style = w->style;
    const bool minimized = (style & WS_MINIMIZE) != 0;
    const bool maximized = (style & WS_MAXIMIZE) != 0;
    auto enable = [&](UINT id, bool on) { EnableMenuItem(systemMenu, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
    enable(SC_RESTORE, minimized || maximized);
    enable(SC_MOVE, !maximized);
    enable(SC_SIZE, (style & WS_THICKFRAME) && !minimized && !maximized);
    enable(SC_MINIMIZE, (style & WS_MINIMIZEBOX) && !minimized);
    enable(SC_MAXIMIZE, (style & WS_MAXIMIZEBOX) && !maximized);
    enable(SC_CLOSE, !(w->cls && (w->cls->style & CS_NOCLOSE)));
}

HMENU MenuBars::SystemMenuOf(HWND frame)
{
    if (!(GetWindowLong(frame, GWL_STYLE) & WS_SYSMENU))
        return nullptr;
    return GetSystemMenu(frame, FALSE);
}

RECT MenuBars::SystemIconRect(HWND frame)
{
    Window* w = WindowManager::Find(frame);
    if (!w || (w->style & WS_CAPTION) != WS_CAPTION || !(w->style & WS_SYSMENU) || (w->exStyle & WS_EX_TOOLWINDOW))
        return RECT{0, 0, 0, 0};
    RECT inside = InsideCaption(*w);
    const int ch = GetSystemMetrics(SM_CYCAPTION);
    RECT r{inside.left, inside.top - ch, inside.left + GetSystemMetrics(SM_CXSMICON) + 2, inside.top};
    RECT wr;
    GetWindowRect(frame, &wr);
    OffsetRect(&r, wr.left, wr.top);
    return r;
}

void MenuBars::ForgetWindow(HWND hwnd, HMENU barMenu, bool topLevel)
{
    auto& menus = SystemMenus();
    auto it = menus.find(hwnd);
    if (it != menus.end()) {
        DestroyMenu(it->second);
        menus.erase(it);
    }
    // A window takes its menu bar with it.
    if (topLevel && barMenu && IsMenu(barMenu))
        DestroyMenu(barMenu);
}

void MenuBars::InstallDefaultHandler()
{
    AddDefaultHandler(std::make_unique<MenuHandler>());
}

HMENU GetMenu(HWND hWnd)
{
    Window* w = WindowManager::FindOwned(hWnd);
    if (!w || w->IsChild())
        return nullptr;
    return reinterpret_cast<HMENU>(w->id);
}

BOOL SetMenu(HWND hWnd, HMENU hMenu)
{
    Window* w = WindowManager::FindOwned(hWnd);
    if (!w || w->IsChild()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (hMenu && !IsMenu(hMenu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    if (MenuObject* old = Menus::Find(reinterpret_cast<HMENU>(w->id)); old && old->barOwner == hWnd)
        old->barOwner = nullptr;
    w->id = reinterpret_cast<LONG_PTR>(hMenu);
    if (MenuObject* m = Menus::Find(hMenu))
        m->barOwner = hWnd;
    // The client area shrinks or grows by the bar.
    SetWindowPos(hWnd, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    return TRUE;
}

BOOL DrawMenuBar(HWND hWnd)
{
    Window* w = WindowManager::FindOwned(hWnd);
    if (!w || w->IsChild())
        return FALSE;
    if (!HasBar(*w))
        return TRUE;
    // Items added or removed may change the number of rows: the frame follows.
    const RECT expected = DefaultClientRect(*w, w->rect);
    if (expected.top != w->client.top) {
        SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
        return TRUE;
    }
    if (!IsWindowVisible(hWnd))
        return TRUE;
    HDC dc = GetWindowDC(hWnd);
    MenuBars::PaintRow(hWnd, dc);
    ReleaseDC(hWnd, dc);
    return TRUE;
}

HMENU GetSystemMenu(HWND hWnd, BOOL bRevert)
{
    if (!WindowManager::FindOwned(hWnd))
        return nullptr;
    auto& menus = SystemMenus();
    auto it = menus.find(hWnd);
    if (bRevert) {
        if (it != menus.end()) {
            DestroyMenu(it->second);
            menus.erase(it);
        }
        return nullptr;
    }
    if (it != menus.end() && IsMenu(it->second))
        return it->second;
    HMENU menu = MakeSystemMenu((GetWindowLong(hWnd, GWL_EXSTYLE) & WS_EX_MDICHILD) != 0);
    if (MenuObject* m = Menus::Find(menu))
        m->systemOwner = hWnd;
    menus[hWnd] = menu;
    return menu;
}

BOOL HiliteMenuItem(HWND hWnd, HMENU hMenu, UINT uIDHiliteItem, UINT uHilite)
{
    MenuItem* item = Menus::FindItem(hMenu, uIDHiliteItem, (uHilite & MF_BYPOSITION) != 0);
    if (!item)
        return FALSE;
    if (uHilite & MF_HILITE)
        item->state |= MFS_HILITE;
    else
        item->state &= ~static_cast<UINT>(MFS_HILITE);
    if (GetMenu(hWnd) == hMenu)
        DrawMenuBar(hWnd);
    return TRUE;
}
