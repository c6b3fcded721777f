// Files by handle: open, read, write and close through HANDLE values of the kernel object table,
// with failures reported as GetLastError codes, for callers written against the handle calls.
// All functions are callable from any thread; one handle is used by one thread at a time.
#pragma once

#include "platform/core/FileOperations.h"
#include "platform/core/KernelObject.h"
#include "platform/core/Types.h"
#include "platform/core/WinError.h"

#ifndef GENERIC_READ
#define GENERIC_READ 0x80000000u
#endif
#ifndef GENERIC_WRITE
#define GENERIC_WRITE 0x40000000u
#endif
#ifndef FILE_SHARE_READ
#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u
#endif
#ifndef CREATE_NEW
#define CREATE_NEW 1u
#define CREATE_ALWAYS 2u
#define OPEN_EXISTING 3u
#define OPEN_ALWAYS 4u
#define TRUNCATE_EXISTING 5u
#endif
#ifndef SEM_FAILCRITICALERRORS
#define SEM_FAILCRITICALERRORS 0x0001u
#define SEM_NOGPFAULTERRORBOX 0x0002u
#define SEM_NOOPENFILEERRORBOX 0x8000u
#endif

// Opens or creates a file. Linux has no share modes: dwShareMode is accepted and ignored. New
// files get mode 0666 less the umask, or 0444 less the umask with FILE_ATTRIBUTE_READONLY.
// Opening a folder fails with ERROR_ACCESS_DENIED. INVALID_HANDLE_VALUE on failure.
HANDLE CreateFileA(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode,
                   LPVOID lpSecurityAttributes, DWORD dwCreationDisposition,
                   DWORD dwFlagsAndAttributes, HANDLE hTemplateFile);
// Reads up to nNumberOfBytesToRead bytes; 0 bytes read with TRUE is the end of the file.
// Overlapped reads are not supported (lpOverlapped must be null).
BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, LPVOID lpOverlapped);
// Writes all bytes or fails; a failure leaves *lpNumberOfBytesWritten at what reached the file.
BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, LPVOID lpOverlapped);
// The file's size; INVALID_FILE_SIZE with the last error set on failure.
#ifndef INVALID_FILE_SIZE
#define INVALID_FILE_SIZE 0xFFFFFFFFu
#endif
DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh);

inline DWORD GetFileAttributesA(LPCSTR lpFileName) { return GetFileAttributes(lpFileName); }

// There are no critical-error boxes to suppress: the mode is kept and handed back, nothing more.
UINT SetErrorMode(UINT uMode);
