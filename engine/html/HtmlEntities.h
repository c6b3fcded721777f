// The character-entity table of the HTML lexer and its two lookups: named references
// ("&amp;") and decimal numeric references ("&#65;"). Results are one-byte texts (Latin-1 for
// codes from 160 up), as the engine keeps page text as bytes. Callable from any thread.
#pragma once

#include "platform/core/Types.h"

// The one-character text of the entity named by the nLength bytes at pszName (compared byte
// for byte, case-sensitive), or null when the table has no such name. The text is static and
// NUL-terminated.
LPCSTR LookupHtmlEntity(LPCSTR pszName, int nLength);

// The one-character text of the decimal reference whose digits are the nLength bytes at
// pszDigits, or null when there are more than 3 digits, a byte is not a digit, the value is not
// 1 to 255, or the code has no row in the table (1 to 8, 11, 12, 14 to 31, 127 to 159).
LPCSTR ParseNumericCharRef(LPCSTR pszDigits, int nLength);
