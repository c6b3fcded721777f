// The clipboard: formats and their data in global memory blocks (or rendered on demand by the
// owner), registered formats shared with registered message numbers, and CF_TEXT exchanged
// with other programs through the backend (UTF-8). Private formats stay in the process.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/WinUser.h"

// Opens the clipboard for the window (null: for the calling thread); FALSE while another
// window or thread has it open.
BOOL OpenClipboard(HWND hWndNewOwner);
// Closes it; CF_TEXT placed meanwhile goes to the other programs (rendered now if delayed).
BOOL CloseClipboard();
// Frees every format (the previous owner gets WM_DESTROYCLIPBOARD) and makes the window that
// opened the clipboard its owner.
BOOL EmptyClipboard();
// Places data (a global memory block; a bitmap for CF_BITMAP) for a format, replacing what was
// there; the clipboard owns it from then on. Null data promises to render the format on
// WM_RENDERFORMAT. The clipboard must be open, or the owner must be rendering that format.
HANDLE SetClipboardData(UINT uFormat, HANDLE hMem);
// The data of a format while the clipboard is open: asks the owner to render delayed formats,
// and reads CF_TEXT from other programs. The clipboard keeps the data.
HANDLE GetClipboardData(UINT uFormat);
BOOL IsClipboardFormatAvailable(UINT format);
// The format after `format` (0 for the first); 0 at the end (NO_ERROR) or when closed.
UINT EnumClipboardFormats(UINT format);
int CountClipboardFormats();
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
// Formats by name share the registered message numbers (0xC000 and up, names compared without
// case). Callable from any thread.
UINT RegisterClipboardFormat(LPCSTR lpszFormat);
int GetClipboardFormatName(UINT format, LPSTR lpszFormatName, int cchMaxCount);
// Raised by every change of the clipboard's contents. Callable from any thread.
DWORD GetClipboardSequenceNumber();
