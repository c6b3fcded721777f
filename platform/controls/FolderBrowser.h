// The folder browser: a modal dialog with a tree of folders (an indented, owner-drawn list box)
// that gives back the folder chosen as an item ID list. Here an ID list is an opaque, owned
// absolute path allocated with the task allocator: SHGetPathFromIDList reads it, and ILFree or
// CoTaskMemFree frees it.
#pragma once

#include "platform/controls/CommonDialog.h"
#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

struct ITEMIDLIST;
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;

#define BIF_RETURNONLYFSDIRS 0x00000001
#define BIF_DONTGOBELOWDOMAIN 0x00000002
#define BIF_STATUSTEXT 0x00000004
#define BIF_RETURNFSANCESTORS 0x00000008
#define BIF_EDITBOX 0x00000010
#define BIF_VALIDATE 0x00000020
#define BIF_NEWDIALOGSTYLE 0x00000040

// To the callback.
#define BFFM_INITIALIZED 1
#define BFFM_SELCHANGED 2
// To the dialog.
#define BFFM_SETSTATUSTEXT (WM_USER + 100)
#define BFFM_ENABLEOK (WM_USER + 101)
#define BFFM_SETSELECTION (WM_USER + 102)

typedef int(CALLBACK* BFFCALLBACK)(HWND hwnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

struct BROWSEINFO {
    HWND hwndOwner;
    LPCITEMIDLIST pidlRoot;   // the top of the tree; null: the file system's root
    LPSTR pszDisplayName;     // out: the chosen folder's name (MAX_PATH bytes)
    LPCSTR lpszTitle;         // shown above the tree
    UINT ulFlags;             // every folder here is a file-system folder; BIF_STATUSTEXT adds
                              // a status line; BIF_NEWDIALOGSTYLE changes nothing
    BFFCALLBACK lpfn;         // BFFM_INITIALIZED once shown, BFFM_SELCHANGED with the new
                              // selection's ID list (valid during the call)
    LPARAM lParam;            // passed to lpfn as lpData
    int iImage;
};
typedef BROWSEINFO* LPBROWSEINFO;

// Runs the browser; the chosen folder's ID list, which the caller frees, or null when
// cancelled. BFFM_SETSELECTION takes a path (wParam TRUE) or an ID list (wParam FALSE) and
// opens the tree down to it.
LPITEMIDLIST SHBrowseForFolder(LPBROWSEINFO lpbi);
// Copies the path of an ID list into a MAX_PATH buffer; FALSE when either is null or the path
// does not fit, and the buffer then holds an empty string.
BOOL SHGetPathFromIDList(LPCITEMIDLIST pidl, LPSTR pszPath);
// An ID list for an absolute path (null for a relative or empty one).
LPITEMIDLIST ILCreateFromPath(LPCSTR pszPath);
void ILFree(LPITEMIDLIST pidl);
// The task allocator's release; the shell's allocator frees through it.
void CoTaskMemFree(void* pv);

// The shell's allocator, through which callers free the ID lists they are given. One object
// for the process; AddRef and Release only count.
struct IMalloc {
    virtual void* Alloc(SIZE_T cb);
    virtual void* Realloc(void* pv, SIZE_T cb);
    virtual void Free(void* pv);
    virtual SIZE_T GetSize(void* pv);
    virtual ULONG AddRef();
    virtual ULONG Release();
    virtual ~IMalloc() = default;
};
typedef IMalloc* LPMALLOC;
// S_OK with the allocator (AddRef'd), E_INVALIDARG for a null pointer.
HRESULT SHGetMalloc(LPMALLOC* ppMalloc);
