// The common dialogs' shared helpers and the thread's extended error.
#include "platform/controls/CommonDialogSupport.h"

#include "platform/controls/Dialog.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/ResourceTable.h"

#include <cstring>

namespace {

thread_local DWORD t_lastError = 0;

} // namespace

DWORD CommDlgExtendedError()
{
    return t_lastError;
}

namespace commdlg {

void SetError(DWORD code)
{
    t_lastError = code;
}

void Begin()
{
    t_lastError = 0;
    // The dialogs are made of the standard controls, whoever calls them first.
    RegisterStandardControls();
}

DialogTemplate Frame(const char* title, short cx, short cy)
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER | DS_3DLOOK;
    t.cx = cx;
    t.cy = cy;
    t.title = title;
    t.pointSize = 8;
    t.typeface = "MS Shell Dlg";
    return t;
}

void Add(DialogTemplate& t, DialogControlClass cls, const char* text, DWORD style, short x, short y, short cx,
         short cy, int id)
{
    DialogItemTemplate item;
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = static_cast<DWORD>(id) & 0xFFFF;
    item.windowClass.isOrdinal = true;
    item.windowClass.ordinal = static_cast<WORD>(cls);
    item.title.text = text;
    t.items.push_back(std::move(item));
}

bool LoadCallerTemplate(HINSTANCE instance, LPCSTR name, std::vector<BYTE>& bytes)
{
    bytes.clear();
    if (!name) {
        SetError(CDERR_NOTEMPLATE);
        return false;
    }
    HRSRC found = FindResource(instance, name, RT_DIALOG);
    if (!found) {
        SetError(CDERR_FINDRESFAILURE);
        return false;
    }
    const void* data = LockResource(LoadResource(instance, found));
    const DWORD size = SizeofResource(instance, found);
    DialogTemplate check;
    if (!data || !ReadDialogTemplate(data, size, check)) {
        SetError(CDERR_LOADRESFAILURE);
        return false;
    }
    const auto* p = static_cast<const BYTE*>(data);
    bytes.assign(p, p + size);
    return true;
}

std::string ItemText(HWND dlg, int id)
{
    HWND item = GetDlgItem(dlg, id);
    if (!item)
        return {};
    const int length = GetWindowTextLength(item);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    GetWindowText(item, text.data(), length + 1);
    text.resize(std::strlen(text.c_str()));
    return text;
}

bool CopyOut(const std::string& text, LPSTR buffer, size_t size)
{
    if (!buffer || size == 0)
        return false;
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return n == text.size();
}

} // namespace commdlg
