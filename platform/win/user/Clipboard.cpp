// The clipboard's formats, its owner and the exchange of text with other programs.
#include "platform/win/Clipboard.h"

#include "platform/core/AtomTable.h"
#include "platform/core/GlobalMemory.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/WinError.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"
#include "platform/win/WindowBackend.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

struct Entry {
    UINT format;
    HANDLE data;   // null: the owner renders it when asked
};

struct ClipboardState {
    std::recursive_mutex mutex;
    bool open = false;
    HWND openWindow = nullptr;
    DWORD openThread = 0;
    HWND owner = nullptr;
    std::vector<Entry> entries;
    bool textChanged = false;     // CF_TEXT placed since the clipboard was opened
    std::string published;        // the text last handed to the other programs
    bool havePublished = false;
    bool askedOthers = false;     // the other programs' text was read since the clipboard was opened
    UINT rendering = 0;           // the format the owner is rendering now
    DWORD sequence = 1;
};

ClipboardState& ClipboardData()
{
    static ClipboardState* state = new ClipboardState;
    return *state;
}

bool IsGdiFormat(UINT format)
{
    return format == CF_BITMAP || format == CF_PALETTE || format == CF_DSPBITMAP ||
           (format >= CF_GDIOBJFIRST && format <= CF_GDIOBJLAST);
}

void FreeData(UINT format, HANDLE data)
{
    if (!data)
        return;
    if (IsGdiFormat(format))
        DeleteObject(data);
    else if (format < CF_PRIVATEFIRST || format > CF_PRIVATELAST)
        GlobalFree(data);   // private formats' data belongs to the owner
}

Entry* FindEntry(ClipboardState& s, UINT format)
{
    for (Entry& e : s.entries)
        if (e.format == format)
            return &e;
    return nullptr;
}

bool OpenedByCaller(ClipboardState& s)
{
    return s.open && s.openThread == GetCurrentThreadId();
}

// The text of a CF_TEXT block, up to its terminating zero.
std::string TextOf(HANDLE data)
{
    std::string text;
    if (!data)
        return text;
    const SIZE_T size = GlobalSize(data);
    if (auto* p = static_cast<const char*>(GlobalLock(data))) {
        text.assign(p, strnlen(p, size));
        GlobalUnlock(data);
    }
    return text;
}

HANDLE BlockOf(const std::string& text)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (!block)
        return nullptr;
    auto* p = static_cast<char*>(GlobalLock(block));
    std::memcpy(p, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    return block;
}

// Another program placed text since this process last did: the process's own formats are no
// longer the clipboard's, and the text is the other program's.
void AdoptForeignText(ClipboardState& s)
{
    // While this thread holds the clipboard open, one reading of the other programs' text
    // serves every question: a large text comes in pieces and is not worth fetching again.
    if (OpenedByCaller(s)) {
        if (s.askedOthers)
            return;
        s.askedOthers = true;
    }
    // Still the text this process published, or the process's own formats without text: nothing
    // to fetch. Every menu and toolbar update asks whether there is something to paste, and a
    // copied column of a large grid is megabytes.
    if (s.havePublished ? GetWindowBackend().OwnsClipboard() : s.owner != nullptr)
        return;
    std::string text;
    if (!GetWindowBackend().GetClipboardText(text))
        return;
    if (s.havePublished && text == s.published)
        return;
    if (Entry* e = FindEntry(s, CF_TEXT); e && e->data && !s.owner && TextOf(e->data) == text)
        return;   // adopted already
    for (Entry& e : s.entries)
        FreeData(e.format, e.data);
    s.entries.clear();
    s.owner = nullptr;
    s.havePublished = true;
    s.published = text;
    s.entries.push_back(Entry{CF_TEXT, BlockOf(text)});
    ++s.sequence;
}

void Publish(ClipboardState& s)
{
    Entry* e = FindEntry(s, CF_TEXT);
    if (!e)
        return;
    if (!e->data && s.owner && IsWindow(s.owner)) {
        // The other programs cannot ask this process later through the backend: render now.
        s.rendering = CF_TEXT;
        SendMessage(s.owner, WM_RENDERFORMAT, CF_TEXT, 0);
        s.rendering = 0;
        e = FindEntry(s, CF_TEXT);
    }
    if (!e || !e->data)
        return;
    s.published = TextOf(e->data);
    s.havePublished = true;
    GetWindowBackend().SetClipboardText(s.published);
}

} // namespace

BOOL OpenClipboard(HWND hWndNewOwner)
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    if (hWndNewOwner && !IsWindow(hWndNewOwner)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (s.open) {
        if (s.openThread == GetCurrentThreadId() && s.openWindow == hWndNewOwner)
            return TRUE;
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    s.open = true;
    s.openWindow = hWndNewOwner;
    s.openThread = GetCurrentThreadId();
    s.textChanged = false;
    s.askedOthers = false;
    return TRUE;
}

BOOL CloseClipboard()
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    if (!OpenedByCaller(s)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    if (s.textChanged)
        Publish(s);
    s.open = false;
    s.openWindow = nullptr;
    s.openThread = 0;
    s.textChanged = false;
    return TRUE;
}

BOOL EmptyClipboard()
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    if (!OpenedByCaller(s)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return FALSE;
    }
    if (s.owner && IsWindow(s.owner))
        SendMessage(s.owner, WM_DESTROYCLIPBOARD, 0, 0);
    for (Entry& e : s.entries)
        FreeData(e.format, e.data);
    s.entries.clear();
    s.owner = s.openWindow;
    s.havePublished = false;
    s.published.clear();
    ++s.sequence;
    return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem)
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    const bool rendering = s.rendering == uFormat && uFormat != 0;
    if (!OpenedByCaller(s) && !rendering) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    if (uFormat == 0 || (!hMem && !s.owner && !rendering)) {
        // Rendering later needs an owner to ask.
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (Entry* e = FindEntry(s, uFormat)) {
        if (e->data != hMem)
            FreeData(uFormat, e->data);
        e->data = hMem;
    } else {
        s.entries.push_back(Entry{uFormat, hMem});
    }
    if (uFormat == CF_TEXT)
        s.textChanged = true;
    ++s.sequence;
    return hMem;
}

HANDLE GetClipboardData(UINT uFormat)
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    if (!OpenedByCaller(s)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return nullptr;
    }
    if (uFormat == CF_TEXT)
        AdoptForeignText(s);
    Entry* e = FindEntry(s, uFormat);
    if (!e)
        return nullptr;
    if (!e->data && s.owner && IsWindow(s.owner) && s.rendering == 0) {
        s.rendering = uFormat;
        SendMessage(s.owner, WM_RENDERFORMAT, uFormat, 0);
        s.rendering = 0;
        e = FindEntry(s, uFormat);
    }
    return e ? e->data : nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format)
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    // Whatever the format: text copied by another program replaces the process's formats.
    AdoptForeignText(s);
    return FindEntry(s, format) ? TRUE : FALSE;
}

UINT EnumClipboardFormats(UINT format)
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    if (!OpenedByCaller(s)) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return 0;
    }
    if (format == 0)
        AdoptForeignText(s);
    SetLastError(NO_ERROR);
    if (format == 0)
        return s.entries.empty() ? 0 : s.entries.front().format;
    for (size_t i = 0; i + 1 < s.entries.size(); ++i)
        if (s.entries[i].format == format)
            return s.entries[i + 1].format;
    return 0;
}

int CountClipboardFormats()
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    AdoptForeignText(s);
    return static_cast<int>(s.entries.size());
}

HWND GetClipboardOwner()
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    return (s.owner && IsWindow(s.owner)) ? s.owner : nullptr;
}

HWND GetOpenClipboardWindow()
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    return s.open ? s.openWindow : nullptr;
}

UINT RegisterClipboardFormat(LPCSTR lpszFormat)
{
    return RegisterWindowMessage(lpszFormat);
}

int GetClipboardFormatName(UINT format, LPSTR lpszFormatName, int cchMaxCount)
{
    if (format < 0xC000 || format > 0xFFFF || !lpszFormatName || cchMaxCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return static_cast<int>(GlobalGetAtomName(static_cast<ATOM>(format), lpszFormatName, cchMaxCount));
}

DWORD GetClipboardSequenceNumber()
{
    ClipboardState& s = ClipboardData();
    std::lock_guard lock(s.mutex);
    return s.sequence;
}
