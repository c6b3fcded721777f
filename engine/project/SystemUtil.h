// Time, module version and registry helpers shared by the tag actions and the fetch engine.
#pragma once

#include "platform/core/SystemTime.h"
#include "platform/core/Types.h"

// Seconds since 1970-01-01 00:00:00 UTC of a calendar date and time taken as UTC; the day of
// week and the milliseconds are ignored. FALSE for a date outside 1970 to 2037 or a field out
// of range. Callable from any thread.
bool SystemTimeToSeconds1970(const SYSTEMTIME& st, LONG& nSeconds);

// The file version of a loaded module: the high and low words of the version's most and least
// significant halves. Each out parameter may be null. FALSE when the module has no version
// information. Callable from any thread.
bool GetModuleFileVersion(HMODULE hModule, WORD* pMajor, WORD* pMinor, WORD* pBuild, WORD* pRevision);

// A REG_DWORD value under the root key, or the default when the key or value is missing or of
// another type. Callable from any thread.
DWORD ReadRegistryDword(HKEY hRoot, LPCSTR lpszSubKey, LPCSTR lpszValueName, DWORD dwDefault);
