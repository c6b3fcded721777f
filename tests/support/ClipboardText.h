// The clipboard's text in tests, put there and read back as another program does: CF_TEXT in a
// global memory block, the clipboard opened for a window of the test (null: for the thread).
#pragma once

#include "platform/core/GlobalMemory.h"
#include "platform/win/Clipboard.h"

#include <cstring>
#include <string>

namespace clipboard_text {

// Puts the text on the clipboard, the window its owner; false when the clipboard did not open.
inline bool Put(HWND owner, const std::string& text)
{
    if (!::OpenClipboard(owner))
        return false;
    ::EmptyClipboard();
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    std::memcpy(::GlobalLock(block), text.c_str(), text.size() + 1);
    ::GlobalUnlock(block);
    ::SetClipboardData(CF_TEXT, block);
    ::CloseClipboard();
    return true;
}

// The clipboard's text; empty when it holds none or did not open.
inline std::string Get(HWND owner)
{
    std::string text;
    if (!::OpenClipboard(owner))
        return text;
    if (HANDLE block = ::GetClipboardData(CF_TEXT)) {
        text = static_cast<const char*>(::GlobalLock(block));
        ::GlobalUnlock(block);
    }
    ::CloseClipboard();
    return text;
}

} // namespace clipboard_text
