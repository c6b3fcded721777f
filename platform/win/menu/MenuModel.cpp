// The menu model and the functions that read and change menus and their items.
#include "platform/win/detail/MenuModel.h"

#include "platform/core/CRect.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/WinError.h"
#include "platform/win/UserApi.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <memory>

namespace {

// Handles are numbers that are never reused, so a stale handle finds nothing.
struct MenuTable {
    std::map<HMENU, std::unique_ptr<MenuObject>> menus;
    uintptr_t next = 0x4D0000;
};

MenuTable& TheMenuTable()
{
    static auto* table = new MenuTable;   // menus may outlive static destruction order
    return *table;
}

MenuObject* FindOrFail(HMENU menu)
{
    MenuObject* m = Menus::Find(menu);
    if (!m)
        SetLastError(ERROR_INVALID_MENU_HANDLE);
    return m;
}

bool ByPosition(UINT flags)
{
    return (flags & MF_BYPOSITION) != 0;
}

// An item made from the flags and arguments of AppendMenu, InsertMenu and ModifyMenu.
bool ItemFromFlags(UINT flags, UINT_PTR idOrPopup, LPCSTR newItem, MenuItem& item)
{
    item = MenuItem{};
    item.type = flags & (MF_BITMAP | MF_OWNERDRAW | MF_MENUBARBREAK | MF_MENUBREAK | MF_SEPARATOR | MF_RIGHTJUSTIFY);
    item.state = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_HILITE | MF_DEFAULT);
    if (item.state & MF_DISABLED)
        item.state |= MFS_GRAYED;
    if (flags & MF_POPUP) {
        auto sub = reinterpret_cast<HMENU>(idOrPopup);
        if (!Menus::Find(sub)) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return false;
        }
        item.submenu = sub;
        item.id = static_cast<UINT>(idOrPopup);
    } else {
        item.id = static_cast<UINT>(idOrPopup);
    }
    if (item.type & MF_SEPARATOR) {
        item.id = 0;
        item.submenu = nullptr;
        return true;
    }
    if (item.type & MF_BITMAP)
        item.bitmap = reinterpret_cast<HBITMAP>(const_cast<LPSTR>(newItem));
    else if (item.type & MF_OWNERDRAW)
        item.data = reinterpret_cast<ULONG_PTR>(newItem);
    else if (newItem)
        item.text = newItem;
    return true;
}

bool InsertAt(MenuObject& menu, size_t position, MenuItem item)
{
    if (item.submenu && Menus::Contains(item.submenu, menu.handle)) {
        SetLastError(ERROR_INVALID_PARAMETER);   // a menu inside itself would loop forever
        return false;
    }
    position = std::min(position, menu.items.size());
    menu.items.insert(menu.items.begin() + static_cast<ptrdiff_t>(position), std::move(item));
    return true;
}

// Where InsertMenu puts a new item: before the item named, or at the end.
bool InsertPosition(HMENU hmenu, UINT item, bool byPosition, MenuObject*& target, size_t& position)
{
    target = FindOrFail(hmenu);
    if (!target)
        return false;
    if (byPosition) {
        position = item == static_cast<UINT>(-1) ? target->items.size() : item;
        return true;
    }
    MenuObject* owner = nullptr;
    int at = -1;
    if (Menus::FindItem(hmenu, item, false, &owner, &at)) {
        target = owner;
        position = static_cast<size_t>(at);
    } else {
        position = target->items.size();
    }
    return true;
}

bool Delete(HMENU hmenu, UINT item, UINT flags, bool destroy)
{
    MenuObject* owner = nullptr;
    int position = -1;
    MenuItem* found = Menus::FindItem(hmenu, item, ByPosition(flags), &owner, &position);
    if (!found)
        return false;
    HMENU sub = found->submenu;
    owner->items.erase(owner->items.begin() + position);
    if (destroy && sub)
        DestroyMenu(sub);
    return true;
}

void CopyText(const std::string& text, LPSTR buffer, UINT& cch)
{
    if (!buffer) {
        cch = static_cast<UINT>(text.size());
        return;
    }
    if (cch == 0)
        return;
    const size_t n = std::min<size_t>(text.size(), cch - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    cch = static_cast<UINT>(n);
}

} // namespace

std::string MenuItem::Label() const
{
    const size_t tab = text.find('\t');
    return tab == std::string::npos ? text : text.substr(0, tab);
}

std::string MenuItem::Shortcut() const
{
    const size_t tab = text.find('\t');
    return tab == std::string::npos ? std::string() : text.substr(tab + 1);
}

char MenuItem::Mnemonic() const
{
    const std::string label = Label();
    for (size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&')
            continue;
        if (label[i + 1] == '&') {
            ++i;   // "&&" is a literal ampersand
            continue;
        }
        return static_cast<char>(std::tolower(static_cast<unsigned char>(label[i + 1])));
    }
    return 0;
}

UINT MenuItem::Flags() const
{
    UINT flags = (type & (MFT_BITMAP | MFT_OWNERDRAW | MFT_MENUBARBREAK | MFT_MENUBREAK | MFT_SEPARATOR |
                          MFT_RIGHTJUSTIFY)) |
                 (state & (MFS_GRAYED | MFS_CHECKED | MFS_HILITE | MFS_DEFAULT));
    if (submenu)
        flags |= MF_POPUP;
    return flags;
}

int MenuObject::DefaultPosition() const
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].state & MFS_DEFAULT)
            return static_cast<int>(i);
    return -1;
}

MenuObject* Menus::Find(HMENU menu)
{
    auto& menus = TheMenuTable().menus;
    auto it = menus.find(menu);
    return it == menus.end() ? nullptr : it->second.get();
}

MenuItem* Menus::FindItem(HMENU hmenu, UINT item, bool byPosition, MenuObject** owner, int* position)
{
    MenuObject* menu = Find(hmenu);
    if (!menu)
        return nullptr;
    if (byPosition) {
        if (item >= menu->items.size())
            return nullptr;
        if (owner)
            *owner = menu;
        if (position)
            *position = static_cast<int>(item);
        return &menu->items[item];
    }
    // By command: the item itself first, then inside its pop-up, in order.
    for (size_t i = 0; i < menu->items.size(); ++i) {
        MenuItem& it = menu->items[i];
        if (!it.submenu && !it.IsSeparator() && it.id == item) {
            if (owner)
                *owner = menu;
            if (position)
                *position = static_cast<int>(i);
            return &it;
        }
        if (it.submenu) {
            if (MenuItem* inner = FindItem(it.submenu, item, false, owner, position))
                return inner;
            if (it.id == item) {
                // A pop-up item can be named by the handle it carries.
                if (owner)
                    *owner = menu;
                if (position)
                    *position = static_cast<int>(i);
                return &it;
            }
        }
    }
    return nullptr;
}

HMENU Menus::Create(bool popup)
{
    MenuTable& table = TheMenuTable();
    auto menu = std::make_unique<MenuObject>();
    menu->handle = reinterpret_cast<HMENU>(table.next++);
    menu->popup = popup;
    menu->thread = GetCurrentThreadId();
    HMENU handle = menu->handle;
    table.menus.emplace(handle, std::move(menu));
    return handle;
}

size_t Menus::LiveCount()
{
    return TheMenuTable().menus.size();
}

bool Menus::Contains(HMENU outer, HMENU inner)
{
    if (outer == inner)
        return true;
    MenuObject* m = Find(outer);
    if (!m)
        return false;
    for (const MenuItem& item : m->items)
        if (item.submenu && Contains(item.submenu, inner))
            return true;
    return false;
}

HMENU CreateMenu()
{
    return Menus::Create(false);
}

HMENU CreatePopupMenu()
{
    return Menus::Create(true);
}

BOOL DestroyMenu(HMENU hMenu)
{
    MenuTable& table = TheMenuTable();
    auto it = table.menus.find(hMenu);
    if (it == table.menus.end()) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    std::unique_ptr<MenuObject> menu = std::move(it->second);
    table.menus.erase(it);
    for (const MenuItem& item : menu->items)
        if (item.submenu)
            DestroyMenu(item.submenu);
    return TRUE;
}

BOOL IsMenu(HMENU hMenu)
{
    return Menus::Find(hMenu) ? TRUE : FALSE;
}

BOOL AppendMenu(HMENU hMenu, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    MenuObject* menu = FindOrFail(hMenu);
    MenuItem item;
    if (!menu || !ItemFromFlags(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    return InsertAt(*menu, menu->items.size(), std::move(item)) ? TRUE : FALSE;
}

BOOL InsertMenu(HMENU hMenu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    MenuObject* target = nullptr;
    size_t position = 0;
    MenuItem item;
    if (!InsertPosition(hMenu, uPosition, ByPosition(uFlags), target, position) ||
        !ItemFromFlags(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    return InsertAt(*target, position, std::move(item)) ? TRUE : FALSE;
}

BOOL InsertMenuItem(HMENU hmenu, UINT item, BOOL fByPosition, LPCMENUITEMINFO lpmi)
{
    if (!lpmi || lpmi->cbSize < sizeof(MENUITEMINFO) - sizeof(HBITMAP)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MenuObject* target = nullptr;
    size_t position = 0;
    if (!InsertPosition(hmenu, item, fByPosition != FALSE, target, position))
        return FALSE;
    // A blank string item at the place, then the fields the mask gives.
    if (!InsertAt(*target, position, MenuItem{}))
        return FALSE;
    const HMENU holder = target->handle;
    const UINT at = static_cast<UINT>(std::min(position, target->items.size() - 1));
    if (!SetMenuItemInfo(holder, at, TRUE, lpmi)) {
        MenuObject* again = Menus::Find(holder);
        if (again && at < again->items.size())
            again->items.erase(again->items.begin() + at);
        return FALSE;
    }
    return TRUE;
}

BOOL ModifyMenu(HMENU hMnu, UINT uPosition, UINT uFlags, UINT_PTR uIDNewItem, LPCSTR lpNewItem)
{
    MenuItem* found = Menus::FindItem(hMnu, uPosition, ByPosition(uFlags));
    MenuItem item;
    if (!found || !ItemFromFlags(uFlags, uIDNewItem, lpNewItem, item))
        return FALSE;
    // The check-mark bitmaps stay; a pop-up the item no longer opens is destroyed.
    item.checked = found->checked;
    item.unchecked = found->unchecked;
    if (found->submenu && found->submenu != item.submenu)
        DestroyMenu(found->submenu);
    // The old pop-up's destruction may have reshaped nothing above it, but find the item anew.
    found = Menus::FindItem(hMnu, uPosition, ByPosition(uFlags));
    if (!found) {
        // The item was inside the destroyed pop-up (found by command): nothing to modify.
        return FALSE;
    }
    *found = std::move(item);
    return TRUE;
}

BOOL DeleteMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    return Delete(hMenu, uPosition, uFlags, true) ? TRUE : FALSE;
}

BOOL RemoveMenu(HMENU hMenu, UINT uPosition, UINT uFlags)
{
    return Delete(hMenu, uPosition, uFlags, false) ? TRUE : FALSE;
}

DWORD CheckMenuItem(HMENU hMenu, UINT uIDCheckItem, UINT uCheck)
{
    MenuItem* item = Menus::FindItem(hMenu, uIDCheckItem, ByPosition(uCheck));
    if (!item)
        return static_cast<DWORD>(-1);
    const DWORD previous = item->state & MF_CHECKED;
    if (uCheck & MF_CHECKED)
        item->state |= MFS_CHECKED;
    else
        item->state &= ~static_cast<UINT>(MFS_CHECKED);
    return previous;
}

BOOL CheckMenuRadioItem(HMENU hmenu, UINT first, UINT last, UINT check, UINT flags)
{
    const bool byPosition = ByPosition(flags);
    MenuObject* menu = nullptr;
    int firstPos = -1;
    int lastPos = -1;
    int checkPos = -1;
    if (byPosition) {
        menu = FindOrFail(hmenu);
        if (!menu || first > last || last >= menu->items.size() || check < first || check > last)
            return FALSE;
        firstPos = static_cast<int>(first);
        lastPos = static_cast<int>(last);
        checkPos = static_cast<int>(check);
    } else {
        // The range is of commands in one menu: where the first one is found.
        MenuObject* owner = nullptr;
        int at = -1;
        if (!Menus::FindItem(hmenu, first, false, &owner, &at))
            return FALSE;
        menu = owner;
        for (size_t i = 0; i < menu->items.size(); ++i) {
            const MenuItem& it = menu->items[i];
            if (it.submenu || it.IsSeparator())
                continue;
            if (it.id == first && firstPos < 0)
                firstPos = static_cast<int>(i);
            if (it.id == last)
                lastPos = static_cast<int>(i);
            if (it.id == check)
                checkPos = static_cast<int>(i);
        }
        if (firstPos < 0 || lastPos < firstPos || checkPos < firstPos || checkPos > lastPos)
            return FALSE;
    }
    for (int i = firstPos; i <= lastPos; ++i) {
        MenuItem& it = menu->items[static_cast<size_t>(i)];
        if (it.submenu || it.IsSeparator())
            continue;
        if (i == checkPos) {
            it.state |= MFS_CHECKED;
            it.type |= MFT_RADIOCHECK;
        } else {
            it.state &= ~static_cast<UINT>(MFS_CHECKED);
        }
    }
    return TRUE;
}

BOOL EnableMenuItem(HMENU hMenu, UINT uIDEnableItem, UINT uEnable)
{
    MenuItem* item = Menus::FindItem(hMenu, uIDEnableItem, ByPosition(uEnable));
    if (!item)
        return -1;
    const BOOL previous = static_cast<BOOL>(item->state & MFS_GRAYED);
    item->state &= ~static_cast<UINT>(MFS_GRAYED);
    item->state |= uEnable & (MF_GRAYED | MF_DISABLED);
    return previous;
}

int GetMenuItemCount(HMENU hMenu)
{
    MenuObject* menu = FindOrFail(hMenu);
    return menu ? static_cast<int>(menu->items.size()) : -1;
}

UINT GetMenuItemID(HMENU hMenu, int nPos)
{
    MenuItem* item = nPos < 0 ? nullptr : Menus::FindItem(hMenu, static_cast<UINT>(nPos), true);
    if (!item || item->submenu)
        return static_cast<UINT>(-1);
    return item->IsSeparator() ? 0 : item->id;
}

HMENU GetSubMenu(HMENU hMenu, int nPos)
{
    MenuItem* item = nPos < 0 ? nullptr : Menus::FindItem(hMenu, static_cast<UINT>(nPos), true);
    return item ? item->submenu : nullptr;
}

UINT GetMenuState(HMENU hMenu, UINT uId, UINT uFlags)
{
    MenuItem* item = Menus::FindItem(hMenu, uId, ByPosition(uFlags));
    if (!item)
        return static_cast<UINT>(-1);
    UINT flags = item->Flags();
    if (item->submenu) {
        MenuObject* sub = Menus::Find(item->submenu);
        const UINT count = sub ? static_cast<UINT>(std::min<size_t>(sub->items.size(), 0xFF)) : 0;
        flags = (count << 8) | (flags & 0xFF);
    }
    return flags;
}

int GetMenuString(HMENU hMenu, UINT uIDItem, LPSTR lpString, int cchMax, UINT flags)
{
    MenuItem* item = Menus::FindItem(hMenu, uIDItem, ByPosition(flags));
    if (!item) {
        if (lpString && cchMax > 0)
            lpString[0] = '\0';
        return 0;
    }
    if (!lpString || cchMax <= 0)
        return static_cast<int>(item->text.size());
    UINT cch = static_cast<UINT>(cchMax);
    CopyText(item->text, lpString, cch);
    return static_cast<int>(cch);
}

BOOL GetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPosition, LPMENUITEMINFO lpmii)
{
    if (!lpmii) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MenuItem* it = Menus::FindItem(hmenu, item, fByPosition != FALSE);
    if (!it)
        return FALSE;
    const UINT mask = lpmii->fMask;
    if (mask & (MIIM_TYPE | MIIM_FTYPE))
        lpmii->fType = it->type;
    if (mask & MIIM_STATE)
        lpmii->fState = it->state;
    if (mask & MIIM_ID)
        lpmii->wID = it->id;
    if (mask & MIIM_SUBMENU)
        lpmii->hSubMenu = it->submenu;
    if (mask & MIIM_CHECKMARKS) {
        lpmii->hbmpChecked = it->checked;
        lpmii->hbmpUnchecked = it->unchecked;
    }
    if (mask & MIIM_DATA)
        lpmii->dwItemData = it->data;
    if (mask & MIIM_BITMAP)
        lpmii->hbmpItem = it->bitmap;
    if (mask & (MIIM_TYPE | MIIM_STRING)) {
        if ((mask & MIIM_TYPE) && (it->type & MFT_BITMAP))
            lpmii->dwTypeData = reinterpret_cast<LPSTR>(it->bitmap);
        else if ((mask & MIIM_TYPE) && (it->type & (MFT_SEPARATOR | MFT_OWNERDRAW)) && !(mask & MIIM_STRING))
            lpmii->cch = 0;
        else
            CopyText(it->text, lpmii->dwTypeData, lpmii->cch);
    }
    return TRUE;
}

BOOL SetMenuItemInfo(HMENU hmenu, UINT item, BOOL fByPositon, LPCMENUITEMINFO lpmii)
{
    if (!lpmii) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    MenuObject* owner = nullptr;
    MenuItem* it = Menus::FindItem(hmenu, item, fByPositon != FALSE, &owner);
    if (!it)
        return FALSE;
    const UINT mask = lpmii->fMask;
    if (mask & MIIM_SUBMENU) {
        if (lpmii->hSubMenu && (!Menus::Find(lpmii->hSubMenu) || Menus::Contains(lpmii->hSubMenu, owner->handle))) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        it->submenu = lpmii->hSubMenu;
    }
    if (mask & (MIIM_TYPE | MIIM_FTYPE)) {
        const UINT kinds = MFT_BITMAP | MFT_OWNERDRAW | MFT_SEPARATOR;
        it->type = lpmii->fType;
        if ((mask & MIIM_TYPE) && !(lpmii->fType & kinds))
            it->text = lpmii->dwTypeData ? lpmii->dwTypeData : "";
        if ((mask & MIIM_TYPE) && (lpmii->fType & MFT_BITMAP))
            it->bitmap = reinterpret_cast<HBITMAP>(lpmii->dwTypeData);
    }
    if (mask & MIIM_STRING)
        it->text = lpmii->dwTypeData ? lpmii->dwTypeData : "";
    if (mask & MIIM_BITMAP)
        it->bitmap = lpmii->hbmpItem;
    if (mask & MIIM_STATE) {
        it->state = lpmii->fState;
        if (it->state & MFS_DEFAULT) {
            // One default per menu.
            for (MenuItem& other : owner->items)
                if (&other != it)
                    other.state &= ~static_cast<UINT>(MFS_DEFAULT);
        }
    }
    if (mask & MIIM_ID)
        it->id = lpmii->wID;
    if (mask & MIIM_CHECKMARKS) {
        it->checked = lpmii->hbmpChecked;
        it->unchecked = lpmii->hbmpUnchecked;
    }
    if (mask & MIIM_DATA)
        it->data = lpmii->dwItemData;
    return TRUE;
}

UINT GetMenuDefaultItem(HMENU hMenu, UINT fByPos, UINT gmdiFlags)
{
    MenuObject* menu = FindOrFail(hMenu);
    if (!menu)
        return static_cast<UINT>(-1);
    const int position = menu->DefaultPosition();
    if (position < 0)
        return static_cast<UINT>(-1);
    const MenuItem& item = menu->items[static_cast<size_t>(position)];
    if (item.IsDisabled() && !(gmdiFlags & GMDI_USEDISABLED))
        return static_cast<UINT>(-1);
    if (item.submenu && (gmdiFlags & GMDI_GOINTOPOPUPS)) {
        const UINT inner = GetMenuDefaultItem(item.submenu, fByPos, gmdiFlags);
        if (inner != static_cast<UINT>(-1))
            return inner;
    }
    return fByPos ? static_cast<UINT>(position) : item.id;
}

BOOL SetMenuDefaultItem(HMENU hMenu, UINT uItem, UINT fByPos)
{
    MenuObject* menu = FindOrFail(hMenu);
    if (!menu)
        return FALSE;
    int position = -1;
    if (uItem != static_cast<UINT>(-1)) {
        if (fByPos) {
            if (uItem >= menu->items.size())
                return FALSE;
            position = static_cast<int>(uItem);
        } else {
            // Only this menu's own items: the default is a property of one menu.
            for (size_t i = 0; i < menu->items.size() && position < 0; ++i)
                if (!menu->items[i].IsSeparator() && menu->items[i].id == uItem)
                    position = static_cast<int>(i);
            if (position < 0)
                return FALSE;
        }
    }
    for (size_t i = 0; i < menu->items.size(); ++i) {
        if (static_cast<int>(i) == position)
            menu->items[i].state |= MFS_DEFAULT;
        else
            menu->items[i].state &= ~static_cast<UINT>(MFS_DEFAULT);
    }
    return TRUE;
}

BOOL SetMenuItemBitmaps(HMENU hMenu, UINT uPosition, UINT uFlags, HBITMAP hBitmapUnchecked, HBITMAP hBitmapChecked)
{
    MenuItem* item = Menus::FindItem(hMenu, uPosition, ByPosition(uFlags));
    if (!item)
        return FALSE;
    item->unchecked = hBitmapUnchecked;
    item->checked = hBitmapChecked;
    return TRUE;
}

LONG GetMenuCheckMarkDimensions()
{
    return MAKELONG(GetSystemMetrics(SM_CXMENUCHECK), GetSystemMetrics(SM_CYMENUCHECK));
}
