// Window class registration and the class data functions.
#include "platform/win/detail/WindowClass.h"

#include "platform/core/WinError.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <strings.h>

namespace {

struct Registry {
    std::mutex mutex;
    std::vector<std::shared_ptr<WindowClassData>> classes;
    ATOM nextAtom = 0xC000;
};

Registry& TheRegistry()
{
    static Registry* registry = new Registry;
    return *registry;
}

bool NameMatches(const WindowClassData& data, LPCSTR name)
{
    if (IS_INTRESOURCE(name))
        return data.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    return strcasecmp(data.name.c_str(), name) == 0;
}

std::shared_ptr<WindowClassData> FindLocked(Registry& registry, LPCSTR name, HINSTANCE instance)
{
    std::shared_ptr<WindowClassData> global;
    for (auto& data : registry.classes) {
        if (!NameMatches(*data, name))
            continue;
        if (data->instance == instance)
            return data;
        if ((data->style & CS_GLOBALCLASS) || !global)
            global = data;
    }
    return global;
}

ATOM Register(const WNDCLASSEX& wc)
{
    if (!wc.lpszClassName || (!IS_INTRESOURCE(wc.lpszClassName) && !*wc.lpszClassName) ||
        wc.cbClsExtra < 0 || wc.cbWndExtra < 0 || wc.cbClsExtra > 40000 || wc.cbWndExtra > 40000) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (auto& data : registry.classes) {
        if (NameMatches(*data, wc.lpszClassName) &&
            (data->instance == wc.hInstance || ((wc.style & CS_GLOBALCLASS) && (data->style & CS_GLOBALCLASS)))) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    auto data = std::make_shared<WindowClassData>();
    if (IS_INTRESOURCE(wc.lpszClassName)) {
        data->atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(wc.lpszClassName));
        data->name = "#" + std::to_string(data->atom);
    } else {
        data->name = wc.lpszClassName;
        // Classes registered under the same name (by other instances) share their atom.
        for (auto& other : registry.classes)
            if (strcasecmp(other->name.c_str(), wc.lpszClassName) == 0)
                data->atom = other->atom;
        if (!data->atom)
            data->atom = registry.nextAtom++;
    }
    data->style = wc.style;
    data->wndProc = wc.lpfnWndProc;
    data->clsExtra = wc.cbClsExtra;
    data->wndExtra = wc.cbWndExtra;
    data->instance = wc.hInstance;
    data->icon = wc.hIcon;
    data->iconSmall = wc.hIconSm;
    data->cursor = wc.hCursor;
    data->background = wc.hbrBackground;
    data->menuNamePtr = wc.lpszMenuName;
    if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) {
        data->menuName = wc.lpszMenuName;
        data->menuNamePtr = nullptr;
    }
    data->extra.assign(static_cast<size_t>(wc.cbClsExtra), 0);
    registry.classes.push_back(data);
    return data->atom;
}

void Fill(const WindowClassData& data, WNDCLASSEX& wc)
{
    wc.style = data.style;
    wc.lpfnWndProc = data.wndProc;
    wc.cbClsExtra = data.clsExtra;
    wc.cbWndExtra = data.wndExtra;
    wc.hInstance = data.instance;
    wc.hIcon = data.icon;
    wc.hIconSm = data.iconSmall;
    wc.hCursor = data.cursor;
    wc.hbrBackground = data.background;
    wc.lpszMenuName = data.menuName.empty() ? data.menuNamePtr : data.menuName.c_str();
    wc.lpszClassName = data.name.c_str();
}

std::shared_ptr<WindowClassData> ClassOf(HWND hwnd)
{
    Window* window = WindowManager::Find(hwnd);
    if (!window) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return window->cls;
}

} // namespace

std::shared_ptr<WindowClassData> WindowClasses::Find(LPCSTR name, HINSTANCE instance)
{
    if (!name)
        return nullptr;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    return FindLocked(registry, name, instance);
}

void WindowClasses::EnsureSystemClasses()
{
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSEX wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_GLOBALCLASS;
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = WC_DESKTOP_NAME;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<intptr_t>(COLOR_BACKGROUND + 1));
        Register(wc);
        wc.lpszClassName = WC_MESSAGE_NAME;
        wc.hbrBackground = nullptr;
        Register(wc);
    });
}

ATOM RegisterClass(const WNDCLASS* lpWndClass)
{
    if (!lpWndClass) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEX wc{};
    wc.cbSize = sizeof(wc);
    wc.style = lpWndClass->style;
    wc.lpfnWndProc = lpWndClass->lpfnWndProc;
    wc.cbClsExtra = lpWndClass->cbClsExtra;
    wc.cbWndExtra = lpWndClass->cbWndExtra;
    wc.hInstance = lpWndClass->hInstance;
    wc.hIcon = lpWndClass->hIcon;
    wc.hCursor = lpWndClass->hCursor;
    wc.hbrBackground = lpWndClass->hbrBackground;
    wc.lpszMenuName = lpWndClass->lpszMenuName;
    wc.lpszClassName = lpWndClass->lpszClassName;
    return Register(wc);
}

ATOM RegisterClassEx(const WNDCLASSEX* lpwcx)
{
    if (!lpwcx) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return Register(*lpwcx);
}

BOOL UnregisterClass(LPCSTR lpClassName, HINSTANCE hInstance)
{
    if (!lpClassName)
        return FALSE;
    Registry& registry = TheRegistry();
    std::lock_guard lock(registry.mutex);
    for (auto it = registry.classes.begin(); it != registry.classes.end(); ++it) {
        if (!NameMatches(**it, lpClassName) || ((*it)->instance != hInstance && !((*it)->style & CS_GLOBALCLASS)))
            continue;
        if ((*it)->windows > 0) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
        registry.classes.erase(it);
        return TRUE;
    }
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
}

BOOL GetClassInfoEx(HINSTANCE hInstance, LPCSTR lpszClass, LPWNDCLASSEX lpwcx)
{
    auto data = WindowClasses::Find(lpszClass, hInstance);
    if (!data || !lpwcx) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    Fill(*data, *lpwcx);
    return data->atom;
}

BOOL GetClassInfo(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASS lpWndClass)
{
    WNDCLASSEX wc{};
    if (!lpWndClass || !GetClassInfoEx(hInstance, lpClassName, &wc))
        return FALSE;
    lpWndClass->style = wc.style;
    lpWndClass->lpfnWndProc = wc.lpfnWndProc;
    lpWndClass->cbClsExtra = wc.cbClsExtra;
    lpWndClass->cbWndExtra = wc.cbWndExtra;
    lpWndClass->hInstance = wc.hInstance;
    lpWndClass->hIcon = wc.hIcon;
    lpWndClass->hCursor = wc.hCursor;
    lpWndClass->hbrBackground = wc.hbrBackground;
    lpWndClass->lpszMenuName = wc.lpszMenuName;
    lpWndClass->lpszClassName = wc.lpszClassName;
    return TRUE;
}

ULONG_PTR GetClassLongPtr(HWND hWnd, int nIndex)
{
    auto data = ClassOf(hWnd);
    if (!data)
        return 0;
    if (nIndex >= 0) {
        if (static_cast<size_t>(nIndex) + sizeof(ULONG_PTR) > data->extra.size()) {
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
        }
        ULONG_PTR value;
        std::memcpy(&value, data->extra.data() + nIndex, sizeof(value));
        return value;
    }
    switch (nIndex) {
    case GCLP_HBRBACKGROUND: return reinterpret_cast<ULONG_PTR>(data->background);
    case GCLP_HCURSOR: return reinterpret_cast<ULONG_PTR>(data->cursor);
    case GCLP_HICON: return reinterpret_cast<ULONG_PTR>(data->icon);
    case GCLP_HICONSM: return reinterpret_cast<ULONG_PTR>(data->iconSmall);
    case GCLP_HMODULE: return reinterpret_cast<ULONG_PTR>(data->instance);
    case GCLP_WNDPROC: return reinterpret_cast<ULONG_PTR>(data->wndProc);
    case GCL_STYLE: return data->style;
    case GCL_CBWNDEXTRA: return static_cast<ULONG_PTR>(data->wndExtra);
    case GCL_CBCLSEXTRA: return static_cast<ULONG_PTR>(data->clsExtra);
    case GCW_ATOM: return data->atom;
    case GCLP_MENUNAME:
        return reinterpret_cast<ULONG_PTR>(data->menuName.empty() ? data->menuNamePtr : data->menuName.c_str());
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

ULONG_PTR SetClassLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    auto data = ClassOf(hWnd);
    if (!data)
        return 0;
    ULONG_PTR old = GetClassLongPtr(hWnd, nIndex);
    if (nIndex >= 0) {
        if (static_cast<size_t>(nIndex) + sizeof(ULONG_PTR) > data->extra.size())
            return 0;
        std::memcpy(data->extra.data() + nIndex, &dwNewLong, sizeof(dwNewLong));
        return old;
    }
    switch (nIndex) {
    case GCLP_HBRBACKGROUND: data->background = reinterpret_cast<HBRUSH>(dwNewLong); break;
    case GCLP_HCURSOR: data->cursor = reinterpret_cast<HCURSOR>(dwNewLong); break;
    case GCLP_HICON: data->icon = reinterpret_cast<HICON>(dwNewLong); break;
    case GCLP_HICONSM: data->iconSmall = reinterpret_cast<HICON>(dwNewLong); break;
    case GCLP_HMODULE: data->instance = reinterpret_cast<HINSTANCE>(dwNewLong); break;
    case GCLP_WNDPROC: data->wndProc = reinterpret_cast<WNDPROC>(dwNewLong); break;
    case GCL_STYLE: data->style = static_cast<UINT>(dwNewLong); break;
    default: SetLastError(ERROR_INVALID_INDEX); return 0;
    }
    return old;
}

DWORD GetClassLong(HWND hWnd, int nIndex)
{
    return static_cast<DWORD>(GetClassLongPtr(hWnd, nIndex));
}

DWORD SetClassLong(HWND hWnd, int nIndex, LONG dwNewLong)
{
    return static_cast<DWORD>(SetClassLongPtr(hWnd, nIndex, dwNewLong));
}

WORD GetClassWord(HWND hWnd, int nIndex)
{
    return static_cast<WORD>(GetClassLongPtr(hWnd, nIndex));
}

int GetClassName(HWND hWnd, LPSTR lpClassName, int nMaxCount)
{
    auto data = ClassOf(hWnd);
    if (!data || !lpClassName || nMaxCount <= 0)
        return 0;
    int n = std::min<int>(static_cast<int>(data->name.size()), nMaxCount - 1);
    std::memcpy(lpClassName, data->name.data(), static_cast<size_t>(n));
    lpClassName[n] = '\0';
    return n;
}
