// Private INI files: "[section]" headers and "key=value" lines, read and written by name.
//
// Section and key names compare without ASCII case; names and values are trimmed of blanks; a
// value enclosed in matching single or double quotes reads without them. Lines starting with ";"
// are comments and, like every other line not touched by a write, are kept as they are when the
// file is rewritten (atomically, keeping its mode; new files get mode 0600 since option records
// may hold passwords). A file name without a "/" names a file in the program's configuration
// folder ("$XDG_CONFIG_HOME/vostrel", created when a write needs it). All functions are callable
// from any thread.
#pragma once

#include "platform/core/Types.h"

#include <string>

// lpAppName null lists the section names, lpKeyName null the keys of the section, each ended by a
// NUL with one more NUL after the last; a truncated list ends with two NULs and returns nSize - 2.
// Otherwise the value (or lpDefault without its trailing blanks, "" when null) is copied; a
// truncated value returns nSize - 1. The return value never counts the final NUL.
DWORD GetPrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                              LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);
// The value's leading number: optional sign, decimal digits or "0x" and hex digits; a negative
// number returns its two's complement; no digits give 0. A missing or empty value gives nDefault.
UINT GetPrivateProfileInt(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName);
DWORD GetPrivateProfileSectionNames(LPSTR lpszReturnBuffer, DWORD nSize, LPCSTR lpFileName);
// The "key=value" lines of a section as a NUL-separated list, as for the lists above.
DWORD GetPrivateProfileSection(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize,
                               LPCSTR lpFileName);
// lpKeyName null deletes the section with all its lines; lpString null deletes the key. A new key
// goes after the last key of its section, a new section at the end of the file. Names or values
// holding a line break (or a key holding "=", a section "]") are refused with
// ERROR_INVALID_PARAMETER, since they would corrupt the file.
BOOL WritePrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                               LPCSTR lpFileName);

// The path a profile file name stands for (see above).
std::string ResolvePrivateProfilePath(LPCSTR lpFileName);
