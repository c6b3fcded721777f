// Accelerator tables and TranslateAccelerator; menus and accelerator tables from resources.
#include "platform/core/CRect.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/core/WinError.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/MenuModel.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <vector>

namespace {

struct AcceleratorTables {
    std::map<HACCEL, std::vector<ACCEL>> tables;
    uintptr_t next = 0xAC0000;
};

AcceleratorTables& Tables()
{
    static auto* tables = new AcceleratorTables;
    return *tables;
}

std::vector<ACCEL>* FindTable(HACCEL table)
{
    auto& tables = Tables().tables;
    auto it = tables.find(table);
    return it == tables.end() ? nullptr : &it->second;
}

bool Down(int vk)
{
    return (GetKeyState(vk) & 0x8000) != 0;
}

// Whether a key message matches an entry: virtual keys with exactly the modifiers the entry
// names; characters by their code, Alt for the system characters.
bool Matches(const ACCEL& a, const MSG& msg)
{
    const bool alt = msg.message == WM_SYSKEYDOWN || msg.message == WM_SYSCHAR ? (msg.lParam & (LPARAM(1) << 29)) != 0
                                                                                : Down(VK_MENU);
    if (a.fVirt & FVIRTKEY) {
        if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN)
            return false;
        if ((msg.wParam & 0xFFFF) != a.key)
            return false;
        return ((a.fVirt & FSHIFT) != 0) == Down(VK_SHIFT) && ((a.fVirt & FCONTROL) != 0) == Down(VK_CONTROL) &&
               ((a.fVirt & FALT) != 0) == alt;
    }
    if (msg.message != WM_CHAR && msg.message != WM_SYSCHAR)
        return false;
    if ((msg.wParam & 0xFFFF) != a.key)
        return false;
    return ((a.fVirt & FALT) != 0) == (msg.message == WM_SYSCHAR);
}

HMENU MenuFromTemplate(const MenuTemplate& tmpl);

void AddItems(HMENU menu, const std::vector<MenuTemplateItem>& items, bool extended)
{
    for (const MenuTemplateItem& item : items) {
        if (extended) {
            MENUITEMINFO mii{};
            mii.cbSize = sizeof(mii);
            mii.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
            mii.fType = item.type;
            mii.fState = item.state;
            mii.wID = item.id;
            mii.dwTypeData = const_cast<LPSTR>(item.text.c_str());
            if (item.popup) {
                HMENU sub = CreatePopupMenu();
                AddItems(sub, item.children, true);
                mii.fMask |= MIIM_SUBMENU;
                mii.hSubMenu = sub;
            }
            if (item.type & MFT_SEPARATOR)
                mii.fMask &= ~static_cast<UINT>(MIIM_STRING);
            InsertMenuItem(menu, static_cast<UINT>(-1), TRUE, &mii);
            continue;
        }
        const UINT flags = item.option & ~static_cast<UINT>(MF_END | MF_POPUP);
        if (item.popup) {
            HMENU sub = CreatePopupMenu();
            AddItems(sub, item.children, false);
            AppendMenu(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), item.text.c_str());
        } else if (item.id == 0 && item.text.empty() && !(flags & MF_OWNERDRAW)) {
            AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenu(menu, flags, item.id, item.text.c_str());
        }
    }
}

HMENU MenuFromTemplate(const MenuTemplate& tmpl)
{
    HMENU menu = CreateMenu();
    AddItems(menu, tmpl.items, tmpl.extended);
    return menu;
}

HMENU MenuFromBytes(const void* data, size_t size)
{
    MenuTemplate tmpl;
    if (!data || !ReadMenuTemplate(data, size, tmpl)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return MenuFromTemplate(tmpl);
}

// The bytes of a resource, or null with the last error set.
const void* ResourceBytes(HINSTANCE instance, LPCSTR name, LPCSTR type, DWORD& size)
{
    HMODULE module = reinterpret_cast<HMODULE>(instance);
    HRSRC info = FindResource(module, name, type);
    if (!info)
        return nullptr;
    HGLOBAL data = LoadResource(module, info);
    size = SizeofResource(module, info);
    return data ? LockResource(data) : nullptr;
}

} // namespace

HACCEL CreateAcceleratorTable(LPACCEL paccel, int cAccel)
{
    if (!paccel || cAccel <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    AcceleratorTables& tables = Tables();
    auto handle = reinterpret_cast<HACCEL>(tables.next++);
    tables.tables.emplace(handle, std::vector<ACCEL>(paccel, paccel + cAccel));
    return handle;
}

BOOL DestroyAcceleratorTable(HACCEL hAccel)
{
    return Tables().tables.erase(hAccel) ? TRUE : FALSE;
}

int CopyAcceleratorTable(HACCEL hAccelSrc, LPACCEL lpAccelDst, int cAccelEntries)
{
    std::vector<ACCEL>* table = FindTable(hAccelSrc);
    if (!table)
        return 0;
    if (!lpAccelDst)
        return static_cast<int>(table->size());
    const int n = std::min(cAccelEntries, static_cast<int>(table->size()));
    std::copy(table->begin(), table->begin() + std::max(n, 0), lpAccelDst);
    return std::max(n, 0);
}

int TranslateAccelerator(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg)
{
    std::vector<ACCEL>* table = FindTable(hAccTable);
    if (!table || !lpMsg || !IsWindow(hWnd))
        return 0;
    const UINT m = lpMsg->message;
    if (m != WM_KEYDOWN && m != WM_SYSKEYDOWN && m != WM_CHAR && m != WM_SYSCHAR)
        return 0;
    const auto entry = std::find_if(table->begin(), table->end(), [&](const ACCEL& a) { return Matches(a, *lpMsg); });
    if (entry == table->end())
        return 0;
    const WORD cmd = entry->cmd;
    // A command of the window's menu is offered the usual menu updates first, and a disabled
    // one (or any while the window is minimised) is swallowed without a command.
    HWND root = GetAncestor(hWnd, GA_ROOT);
    HMENU bar = root ? GetMenu(root) : nullptr;
    HMENU system = root && (GetWindowLong(root, GWL_STYLE) & WS_SYSMENU) ? GetSystemMenu(root, FALSE) : nullptr;
    MenuObject* holder = nullptr;
    HMENU found = nullptr;
    if (IsMenu(bar) && Menus::FindItem(bar, cmd, false, &holder))
        found = bar;
    else if (system && Menus::FindItem(system, cmd, false, &holder))
        found = system;
    if (found && GetCapture() == nullptr) {
        SendMessage(hWnd, WM_INITMENU, reinterpret_cast<WPARAM>(found), 0);
        if (holder && holder->handle != found && IsWindow(hWnd))
            SendMessage(hWnd, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(holder->handle),
                        MAKELPARAM(0, found == system ? 1 : 0));
    }
    if (!IsWindow(hWnd))
        return 1;
    if (found) {
        MenuItem* item = Menus::FindItem(found, cmd, false);
        if (!item || item->IsDisabled() || IsIconic(root))
            return 1;
    }
    if (found && found == system)
        SendMessage(hWnd, WM_SYSCOMMAND, cmd, 0);
    else
        SendMessage(hWnd, WM_COMMAND, MAKEWPARAM(cmd, 1), 0);
    return 1;
}

HACCEL LoadAccelerators(HINSTANCE hInstance, LPCSTR lpTableName)
{
    DWORD size = 0;
    const void* bytes = ResourceBytes(hInstance, lpTableName, RT_ACCELERATOR, size);
    if (!bytes)
        return nullptr;
    std::vector<AcceleratorEntry> entries;
    if (!ReadAcceleratorTable(bytes, size, entries) || entries.empty()) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    std::vector<ACCEL> accels;
    for (const AcceleratorEntry& e : entries)
        accels.push_back(ACCEL{e.flags, e.key, e.cmd});
    return CreateAcceleratorTable(accels.data(), static_cast<int>(accels.size()));
}

HMENU LoadMenu(HINSTANCE hInstance, LPCSTR lpMenuName)
{
    DWORD size = 0;
    const void* bytes = ResourceBytes(hInstance, lpMenuName, RT_MENU, size);
    return bytes ? MenuFromBytes(bytes, size) : nullptr;
}

HMENU LoadMenuIndirect(const void* lpMenuTemplate)
{
    // The reader stops at the template's last item; the bound only caps a template without one.
    constexpr size_t kLargestTemplate = 1 << 20;
    return MenuFromBytes(lpMenuTemplate, kLargestTemplate);
}
