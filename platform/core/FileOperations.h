// File and folder operations by path: attributes, copy, move, delete, folders, the current folder,
// full path names and the shell's file operation.
//
// Attributes map onto POSIX: FILE_ATTRIBUTE_READONLY is a file without the owner's write bit,
// FILE_ATTRIBUTE_HIDDEN a name starting with ".", FILE_ATTRIBUTE_DIRECTORY a folder; other
// files carry FILE_ATTRIBUTE_ARCHIVE. As on the platform, a read-only file cannot be deleted or
// replaced (ERROR_ACCESS_DENIED). Failures set the last error: ERROR_FILE_NOT_FOUND when the
// folder exists but the name does not, ERROR_PATH_NOT_FOUND when the folder is missing.
// All functions are callable from any thread.
#pragma once

#include "platform/core/FileAttributes.h"
#include "platform/core/Types.h"
#include "platform/core/WinError.h"

#include <string>
#include <string_view>

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

DWORD GetFileAttributes(LPCSTR lpFileName);
// Setting FILE_ATTRIBUTE_READONLY clears every write bit of a file; clearing it gives the owner
// the write bit back. Folders and the other attributes are left as they are.
BOOL SetFileAttributes(LPCSTR lpFileName, DWORD dwFileAttributes);

// Copies through a temporary file beside the destination and a rename, so the destination is
// never seen half written; the copy gets the source's mode and modification time.
BOOL CopyFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists);
// Renames; across file systems a file is copied and the original deleted.
BOOL MoveFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName);
// MOVEFILE_REPLACE_EXISTING replaces a file (never a folder); MOVEFILE_COPY_ALLOWED lets a file
// move across file systems; MOVEFILE_DELAY_UNTIL_REBOOT is not supported (ERROR_NOT_SUPPORTED).
BOOL MoveFileEx(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags);
BOOL DeleteFile(LPCSTR lpFileName);
BOOL CreateDirectory(LPCSTR lpPathName, void* lpSecurityAttributes);
BOOL RemoveDirectory(LPCSTR lpPathName);

// The length, or the size needed (with the NUL) when the buffer is too small.
DWORD GetCurrentDirectory(DWORD nBufferLength, LPSTR lpBuffer);
BOOL SetCurrentDirectory(LPCSTR lpPathName);
// The absolute form of a path, "." and ".." resolved by name (links are not followed).
// *lpFilePart points at the last name in the buffer, or is null when the path ends with "/".
DWORD GetFullPathName(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart);
// The same as a string.
std::string MakeFullPath(std::string_view path);

#define FO_MOVE 0x0001u
#define FO_COPY 0x0002u
#define FO_DELETE 0x0003u
#define FO_RENAME 0x0004u
#define FOF_MULTIDESTFILES 0x0001u
#define FOF_CONFIRMMOUSE 0x0002u
#define FOF_SILENT 0x0004u
#define FOF_RENAMEONCOLLISION 0x0008u
#define FOF_NOCONFIRMATION 0x0010u
#define FOF_WANTMAPPINGHANDLE 0x0020u
#define FOF_ALLOWUNDO 0x0040u
#define FOF_FILESONLY 0x0080u
#define FOF_SIMPLEPROGRESS 0x0100u
#define FOF_NOCONFIRMMKDIR 0x0200u
#define FOF_NOERRORUI 0x0400u

struct SHFILEOPSTRUCT {
    HWND hwnd;
    UINT wFunc;
    LPCSTR pFrom; // paths, each ended by a NUL, the list by a second NUL
    LPCSTR pTo;
    WORD fFlags;
    BOOL fAnyOperationsAborted;
    LPVOID hNameMappings;
    LPCSTR lpszProgressTitle;
};
typedef SHFILEOPSTRUCT* LPSHFILEOPSTRUCT;

// FO_DELETE with FOF_ALLOWUNDO moves each path to the desktop trash (Trash.h); without it, files
// are deleted and folders removed with their contents. Nothing is ever asked or shown. Returns 0
// when every path was handled, else the error code of the first failure (the remaining paths are
// still tried). Other operations are not supported (ERROR_CALL_NOT_IMPLEMENTED).
int SHFileOperation(LPSHFILEOPSTRUCT lpFileOp);
