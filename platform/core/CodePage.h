// The process code page (UTF-8), character stepping, conversions between byte strings and
// UTF-16 for UTF-8, Windows-1252 and Shift-JIS (932), and the byte-string helpers.
// Every function here is callable from any thread.
#pragma once

#include "platform/core/Types.h"

#include <string>
#include <string_view>

#ifndef CP_ACP
#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF7 65000
#define CP_UTF8 65001
#endif

#ifndef MB_PRECOMPOSED
#define MB_PRECOMPOSED 0x00000001
#define MB_COMPOSITE 0x00000002
#define MB_USEGLYPHCHARS 0x00000004
#define MB_ERR_INVALID_CHARS 0x00000008
#endif

#ifndef WC_ERR_INVALID_CHARS
#define WC_DISCARDNS 0x00000010
#define WC_SEPCHARS 0x00000020
#define WC_DEFAULTCHAR 0x00000040
#define WC_ERR_INVALID_CHARS 0x00000080
#define WC_COMPOSITECHECK 0x00000200
#define WC_NO_BEST_FIT_CHARS 0x00000400
#endif

// The process code page is UTF-8: both answer 65001.
UINT GetACP();
UINT GetOEMCP();

// No byte of the process code page is a double-byte lead byte.
BOOL IsDBCSLeadByte(BYTE TestChar);
// For code page 932 the Shift-JIS lead bytes (0x81-0x9F, 0xE0-0xFC); FALSE for the others.
BOOL IsDBCSLeadByteEx(UINT CodePage, BYTE TestChar);

// The next character: a whole valid UTF-8 sequence, or one byte when the bytes there do not
// form one. Stays on the terminating NUL.
LPSTR CharNextA(LPCSTR lpsz);
// The previous character before lpszCurrent, never before lpszStart.
LPSTR CharPrevA(LPCSTR lpszStart, LPCSTR lpszCurrent);

// Byte string to UTF-16 in code page CodePage (CP_ACP, CP_THREAD_ACP and CP_OEMCP mean UTF-8;
// also 1252, 932 and 28591). cbMultiByte -1 converts up to and including the NUL. With
// cchWideChar 0 the result is the size needed; a buffer too small fails with
// ERROR_INSUFFICIENT_BUFFER. Invalid input becomes U+FFFD (U+30FB for 932), or fails with
// ERROR_NO_UNICODE_TRANSLATION under MB_ERR_INVALID_CHARS. Returns 0 on failure.
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
    LPWSTR lpWideCharStr, int cchWideChar);
// UTF-16 to a byte string. For UTF-8 a lone surrogate becomes U+FFFD (or fails under
// WC_ERR_INVALID_CHARS) and lpDefaultChar/lpUsedDefaultChar must be NULL; for the other code
// pages an unmappable character becomes *lpDefaultChar ('?' without one) and sets
// *lpUsedDefaultChar.
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
    LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar, LPBOOL lpUsedDefaultChar);

// C-string helpers that accept NULL (length 0, copy fails with NULL).
int lstrlenA(LPCSTR lpString);
LPSTR lstrcpyA(LPSTR lpString1, LPCSTR lpString2);
// Copies at most iMaxLength - 1 bytes and always terminates (when iMaxLength > 0).
LPSTR lstrcpynA(LPSTR lpString1, LPCSTR lpString2, int iMaxLength);
// Comparisons in word order: letters compare without regard to case first, and only an
// otherwise equal pair is ordered by case (lower case first). Returns -1, 0 or 1.
int lstrcmpA(LPCSTR lpString1, LPCSTR lpString2);
int lstrcmpiA(LPCSTR lpString1, LPCSTR lpString2);
LPSTR lstrcatA(LPSTR lpString1, LPCSTR lpString2);

// Whether two names are equal when ASCII letters are compared without case (the rule for
// section, key and value names); other bytes must match exactly.
bool AsciiEqualNoCase(std::string_view a, std::string_view b);

// The Unicode characters of the Windows-1252 bytes 0x80..0x9F; the five unassigned bytes keep
// their C1 control value.
extern const char16_t kCp1252High[32];

// Appends the UTF-8 form of one code point.
void Utf8Encode(char32_t cp, std::string& out);

// Case conversion of ASCII letters; bytes of multibyte characters are left alone. A pointer
// value below 0x10000 is a single character and the converted character is returned the same way.
LPSTR CharUpperA(LPSTR lpsz);
LPSTR CharLowerA(LPSTR lpsz);
DWORD CharUpperBuffA(LPSTR lpsz, DWORD cchLength);
DWORD CharLowerBuffA(LPSTR lpsz, DWORD cchLength);
BOOL IsCharAlphaA(CHAR ch);
BOOL IsCharAlphaNumericA(CHAR ch);
BOOL IsCharUpperA(CHAR ch);
BOOL IsCharLowerA(CHAR ch);

// The unsuffixed names: the program's strings are byte strings.
inline LPSTR CharNext(LPCSTR lpsz) { return CharNextA(lpsz); }
inline LPSTR CharPrev(LPCSTR lpszStart, LPCSTR lpszCurrent) { return CharPrevA(lpszStart, lpszCurrent); }
inline int lstrlen(LPCSTR lpString) { return lstrlenA(lpString); }
inline LPSTR lstrcpy(LPSTR lpString1, LPCSTR lpString2) { return lstrcpyA(lpString1, lpString2); }
inline LPSTR lstrcpyn(LPSTR lpString1, LPCSTR lpString2, int iMaxLength) { return lstrcpynA(lpString1, lpString2, iMaxLength); }
inline int lstrcmp(LPCSTR lpString1, LPCSTR lpString2) { return lstrcmpA(lpString1, lpString2); }
inline int lstrcmpi(LPCSTR lpString1, LPCSTR lpString2) { return lstrcmpiA(lpString1, lpString2); }
inline LPSTR lstrcat(LPSTR lpString1, LPCSTR lpString2) { return lstrcatA(lpString1, lpString2); }
inline LPSTR CharUpper(LPSTR lpsz) { return CharUpperA(lpsz); }
inline LPSTR CharLower(LPSTR lpsz) { return CharLowerA(lpsz); }
inline DWORD CharUpperBuff(LPSTR lpsz, DWORD cchLength) { return CharUpperBuffA(lpsz, cchLength); }
inline DWORD CharLowerBuff(LPSTR lpsz, DWORD cchLength) { return CharLowerBuffA(lpsz, cchLength); }
inline BOOL IsCharAlpha(CHAR ch) { return IsCharAlphaA(ch); }
inline BOOL IsCharAlphaNumeric(CHAR ch) { return IsCharAlphaNumericA(ch); }
inline BOOL IsCharUpper(CHAR ch) { return IsCharUpperA(ch); }
inline BOOL IsCharLower(CHAR ch) { return IsCharLowerA(ch); }
