// Per-window data: the window longs and extra bytes, properties, text, dialog items and the
// registered message numbers.
#include "platform/core/AtomTable.h"
#include "platform/core/WinError.h"
#include "platform/win/UserApi.h"
#include "platform/win/detail/WindowManager.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>


namespace {

bool ReadExtra(Window& window, int index, void* out, size_t size)
{
    if (index < 0 || static_cast<size_t>(index) + size > window.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    std::memcpy(out, window.extra.data() + index, size);
    return true;
}

bool WriteExtra(Window& window, int index, const void* in, size_t size)
{
    if (index < 0 || static_cast<size_t>(index) + size > window.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    std::memcpy(window.extra.data() + index, in, size);
    return true;
}

LONG_PTR SetStyle(HWND hwnd, int index, DWORD value)
{
    Window* window = WindowManager::FindOwned(hwnd);
    if (!window)
        return 0;
    DWORD& field = index == GWL_STYLE ? window->style : window->exStyle;
    STYLESTRUCT ss{field, value};
    SendMessage(hwnd, WM_STYLECHANGING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    window = WindowManager::Find(hwnd);
    if (!window)
        return 0;
    DWORD& target = index == GWL_STYLE ? window->style : window->exStyle;
    const DWORD old = target;
    target = ss.styleNew;
    ss.styleOld = old;
    SendMessage(hwnd, WM_STYLECHANGED, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&ss));
    return static_cast<LONG_PTR>(static_cast<LONG>(old));
}

// Property keys are strings (case-insensitive) or integer atoms.
bool KeyMatches(const Window::Prop& prop, LPCSTR key)
{
    if (IS_INTRESOURCE(key))
        return prop.name.empty() && prop.atom == static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(key));
    return !prop.name.empty() && strcasecmp(prop.name.c_str(), key) == 0;
}

} // namespace

LONG_PTR GetWindowLongPtr(HWND hWnd, int nIndex)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return 0;
    switch (nIndex) {
    case GWLP_WNDPROC: return reinterpret_cast<LONG_PTR>(window->WndProc());
    case GWLP_HINSTANCE: return reinterpret_cast<LONG_PTR>(window->instance);
    case GWLP_HWNDPARENT:
        return reinterpret_cast<LONG_PTR>(window->IsChild() ? window->parent : window->owner);
    case GWLP_ID: return window->id;
    case GWLP_USERDATA: return window->userData;
    case GWL_STYLE: return static_cast<LONG_PTR>(static_cast<LONG>(window->style));
    case GWL_EXSTYLE: return static_cast<LONG_PTR>(static_cast<LONG>(window->exStyle));
    }
    LONG_PTR value = 0;
    ReadExtra(*window, nIndex, &value, sizeof(value));
    return value;
}

LONG_PTR SetWindowLongPtr(HWND hWnd, int nIndex, LONG_PTR dwNewLong)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window)
        return 0;
    LONG_PTR old = 0;
    switch (nIndex) {
    case GWLP_WNDPROC:
        old = reinterpret_cast<LONG_PTR>(window->WndProc());
        window->SetWndProc(reinterpret_cast<WNDPROC>(dwNewLong));
        return old;
    case GWLP_HINSTANCE:
        old = reinterpret_cast<LONG_PTR>(window->instance);
        window->instance = reinterpret_cast<HINSTANCE>(dwNewLong);
        return old;
    case GWLP_HWNDPARENT:
        old = reinterpret_cast<LONG_PTR>(window->owner);
        if (!window->IsChild())
            window->owner = reinterpret_cast<HWND>(dwNewLong);
        return old;
    case GWLP_ID:
        old = window->id;
        window->id = dwNewLong;
        return old;
    case GWLP_USERDATA:
        old = window->userData;
        window->userData = dwNewLong;
        return old;
    case GWL_STYLE:
    case GWL_EXSTYLE:
        return SetStyle(hWnd, nIndex, static_cast<DWORD>(dwNewLong));
    }
    if (!ReadExtra(*window, nIndex, &old, sizeof(old)))
        return 0;
    WriteExtra(*window, nIndex, &dwNewLong, sizeof(dwNewLong));
    return old;
}

LONG GetWindowLong(HWND hWnd, int nIndex)
{
    if (nIndex >= 0) {
        Window* window = WindowManager::FindOwned(hWnd);
        LONG value = 0;
        if (window)
            ReadExtra(*window, nIndex, &value, sizeof(value));
        return value;
    }
    return static_cast<LONG>(GetWindowLongPtr(hWnd, nIndex));
}

LONG SetWindowLong(HWND hWnd, int nIndex, LONG dwNewLong)
{
    if (nIndex >= 0) {
        Window* window = WindowManager::FindOwned(hWnd);
        LONG old = 0;
        if (window && ReadExtra(*window, nIndex, &old, sizeof(old)))
            WriteExtra(*window, nIndex, &dwNewLong, sizeof(dwNewLong));
        return old;
    }
    LONG_PTR value = dwNewLong;
    if (nIndex == GWL_STYLE || nIndex == GWL_EXSTYLE)
        value = static_cast<LONG_PTR>(static_cast<DWORD>(dwNewLong));
    return static_cast<LONG>(SetWindowLongPtr(hWnd, nIndex, value));
}

WORD GetWindowWord(HWND hWnd, int nIndex)
{
    Window* window = WindowManager::FindOwned(hWnd);
    WORD value = 0;
    if (window)
        ReadExtra(*window, nIndex, &value, sizeof(value));
    return value;
}

WORD SetWindowWord(HWND hWnd, int nIndex, WORD wNewWord)
{
    Window* window = WindowManager::FindOwned(hWnd);
    WORD old = 0;
    if (window && ReadExtra(*window, nIndex, &old, sizeof(old)))
        WriteExtra(*window, nIndex, &wNewWord, sizeof(wNewWord));
    return old;
}

BOOL SetProp(HWND hWnd, LPCSTR lpString, HANDLE hData)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpString)
        return FALSE;
    for (auto& prop : window->props) {
        if (KeyMatches(prop, lpString)) {
            prop.data = hData;
            return TRUE;
        }
    }
    Window::Prop prop;
    if (IS_INTRESOURCE(lpString))
        prop.atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(lpString));
    else
        prop.name = lpString;
    prop.data = hData;
    window->props.push_back(std::move(prop));
    return TRUE;
}

HANDLE GetProp(HWND hWnd, LPCSTR lpString)
{
    Window* window = WindowManager::Find(hWnd);
    if (!window || !lpString)
        return nullptr;
    for (auto& prop : window->props)
        if (KeyMatches(prop, lpString))
            return prop.data;
    return nullptr;
}

HANDLE RemoveProp(HWND hWnd, LPCSTR lpString)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !lpString)
        return nullptr;
    for (auto it = window->props.begin(); it != window->props.end(); ++it) {
        if (KeyMatches(*it, lpString)) {
            HANDLE data = it->data;
            window->props.erase(it);
            return data;
        }
    }
    return nullptr;
}

namespace {
// Calls `call(key, data)` for each property of a snapshot (the callback may remove
// properties) until it answers 0; -1 when there is nothing to enumerate.
template <typename Call>
int EnumPropsOf(HWND hWnd, bool haveCallback, Call call)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !haveCallback || window->props.empty())
        return -1;
    auto props = window->props;
    int result = -1;
    for (auto& prop : props) {
        LPSTR key = prop.name.empty() ? MAKEINTRESOURCE(prop.atom) : prop.name.data();
        result = call(key, prop.data);
        if (!result)
            break;
    }
    return result;
}
} // namespace

int EnumPropsEx(HWND hWnd, PROPENUMPROCEX lpEnumFunc, LPARAM lParam)
{
    return EnumPropsOf(hWnd, lpEnumFunc != nullptr, [&](LPSTR key, HANDLE data) {
        return lpEnumFunc(hWnd, key, data, static_cast<ULONG_PTR>(lParam));
    });
}

int EnumProps(HWND hWnd, PROPENUMPROC lpEnumFunc)
{
    return EnumPropsOf(hWnd, lpEnumFunc != nullptr, [&](LPSTR key, HANDLE data) { return lpEnumFunc(hWnd, key, data); });
}

BOOL SetWindowText(HWND hWnd, LPCSTR lpString)
{
    if (!WindowManager::FindOwned(hWnd))
        return FALSE;
    return SendMessage(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lpString ? lpString : "")) ? TRUE : FALSE;
}

int GetWindowText(HWND hWnd, LPSTR lpString, int nMaxCount)
{
    if (!lpString || nMaxCount <= 0)
        return 0;
    lpString[0] = '\0';
    if (!WindowManager::Find(hWnd))
        return 0;
    return static_cast<int>(SendMessage(hWnd, WM_GETTEXT, static_cast<WPARAM>(nMaxCount),
                                        reinterpret_cast<LPARAM>(lpString)));
}

int GetWindowTextLength(HWND hWnd)
{
    if (!WindowManager::Find(hWnd))
        return 0;
    return static_cast<int>(SendMessage(hWnd, WM_GETTEXTLENGTH, 0, 0));
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem)
{
    if (!WindowManager::FindOwned(hDlg))
        return nullptr;
    for (HWND child : WindowManager::Get().Children(hDlg)) {
        Window* w = WindowManager::Find(child);
        if (w && static_cast<int>(w->id) == nIDDlgItem)
            return child;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int GetDlgCtrlID(HWND hWnd)
{
    Window* window = WindowManager::FindOwned(hWnd);
    if (!window || !window->IsChild())
        return 0;
    return static_cast<int>(window->id);
}

BOOL SetDlgItemText(HWND hDlg, int nIDDlgItem, LPCSTR lpString)
{
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SetWindowText(item, lpString) : FALSE;
}

UINT GetDlgItemText(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax)
{
    if (lpString && cchMax > 0)
        lpString[0] = '\0';
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? static_cast<UINT>(GetWindowText(item, lpString, cchMax)) : 0;
}

BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned)
{
    char buffer[16];
    if (bSigned)
        std::snprintf(buffer, sizeof buffer, "%d", static_cast<int>(uValue));
    else
        std::snprintf(buffer, sizeof buffer, "%u", uValue);
    return SetDlgItemText(hDlg, nIDDlgItem, buffer);
}

UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned)
{
    if (lpTranslated)
        *lpTranslated = FALSE;
    char buffer[64];
    if (!GetDlgItemText(hDlg, nIDDlgItem, buffer, sizeof buffer) && !GetDlgItem(hDlg, nIDDlgItem))
        return 0;
    // Leading and trailing blanks are allowed; anything else, or a value out of range, fails.
    const char* p = buffer;
    while (*p == ' ' || *p == '\t')
        ++p;
    bool negative = false;
    if (bSigned && (*p == '-' || *p == '+')) {
        negative = *p == '-';
        ++p;
    }
    if (*p < '0' || *p > '9')
        return 0;
    unsigned long long value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + static_cast<unsigned>(*p - '0');
        if (value > 0xFFFFFFFFull)
            return 0;
        ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    if (*p)
        return 0;
    if (bSigned) {
        if ((!negative && value > 0x7FFFFFFFull) || (negative && value > 0x80000000ull))
            return 0;
    }
    if (lpTranslated)
        *lpTranslated = TRUE;
    return negative ? static_cast<UINT>(-static_cast<long long>(value)) : static_cast<UINT>(value);
}

LRESULT SendDlgItemMessage(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam)
{
    HWND item = GetDlgItem(hDlg, nIDDlgItem);
    return item ? SendMessage(item, Msg, wParam, lParam) : 0;
}

UINT RegisterWindowMessage(LPCSTR lpString)
{
    if (!lpString || !*lpString) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ATOM atom = GlobalFindAtom(lpString);
    if (!atom)
        atom = GlobalAddAtom(lpString);
    return atom >= MAXINTATOM ? atom : 0;
}
