// The open and save dialogs: a file-name edit, the files of the current folder that match the
// chosen type, a tree of folders to move through, the list of types, and the checks the flags
// ask for before a name is accepted. Paths are POSIX paths.
#pragma once

#include "platform/controls/CommonDialog.h"
#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_SHOWHELP 0x00000010
#define OFN_ENABLEHOOK 0x00000020
#define OFN_ENABLETEMPLATE 0x00000040
#define OFN_ENABLETEMPLATEHANDLE 0x00000080
#define OFN_NOVALIDATE 0x00000100
#define OFN_ALLOWMULTISELECT 0x00000200
#define OFN_EXTENSIONDIFFERENT 0x00000400
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_CREATEPROMPT 0x00002000
#define OFN_SHAREAWARE 0x00004000
#define OFN_NOREADONLYRETURN 0x00008000
#define OFN_NOTESTFILECREATE 0x00010000
#define OFN_EXPLORER 0x00080000
#define OFN_NODEREFERENCELINKS 0x00100000
#define OFN_LONGNAMES 0x00200000
#define OFN_ENABLESIZING 0x00800000

typedef UINT_PTR(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAME {
    DWORD lStructSize;
    HWND hwndOwner;
    HINSTANCE hInstance;
    LPCSTR lpstrFilter;        // "text\0pattern;pattern\0…\0\0"
    LPSTR lpstrCustomFilter;   // not kept
    DWORD nMaxCustFilter;
    DWORD nFilterIndex;        // 1-based; 0 means the first
    LPSTR lpstrFile;           // in: an initial name or path; out: the full path
    DWORD nMaxFile;
    LPSTR lpstrFileTitle;      // out: the name alone
    DWORD nMaxFileTitle;
    LPCSTR lpstrInitialDir;
    LPCSTR lpstrTitle;         // null: "Open" or "Save As"
    DWORD Flags;
    WORD nFileOffset;          // out: where the name starts in lpstrFile
    WORD nFileExtension;       // out: where the extension starts, 0 when there is none
    LPCSTR lpstrDefExt;        // added to a name typed without an extension
    LPARAM lCustData;
    LPOFNHOOKPROC lpfnHook;    // hooks and custom templates are not offered by these dialogs
    LPCSTR lpTemplateName;
};
typedef OPENFILENAME* LPOPENFILENAME;

// Run the modal dialogs. TRUE with the path in lpstrFile when the user chose a file; FALSE
// when cancelled (CommDlgExtendedError 0) or on an error (its code: CDERR_STRUCTSIZE,
// CDERR_INITIALIZATION for a missing buffer, CDERR_NOHOOK / CDERR_NOTEMPLATE for the hooks and
// templates not offered, FNERR_BUFFERTOOSMALL with the size needed in lpstrFile's first WORD).
// The process's current folder is left alone; unless OFN_NOCHANGEDIR, the next dialog that
// names no folder opens in the chosen file's.
BOOL GetOpenFileName(LPOPENFILENAME lpofn);
BOOL GetSaveFileName(LPOPENFILENAME lpofn);
