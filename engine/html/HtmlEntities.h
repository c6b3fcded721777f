// The character-reference tables of the HTML lexer and their lookups: named references ("&amp;")
// and numeric references ("&#65;", "&#x41;"). Results are UTF-8, the engine's text encoding, so
// a reference decodes to the same bytes whatever the page's own charset was. Callable from any
// thread.
#pragma once

#include "platform/core/Types.h"

// How a named reference ends in the page: with its ";", or without one (at a line feed or
// anything else that is no name character).
enum class HtmlRefEnd { Semicolon, Open };

// The UTF-8 text of the named character reference of HTML whose name (without "&" and ";") is
// the nLength bytes at pszName, compared byte for byte; null when HTML has no such name. Without
// its ";" a reference is read only for the older names HTML still reads so ("&amp", "&eacute").
// A few names stand for two characters. The text is static and NUL-terminated.
LPCSTR LookupHtmlEntity(LPCSTR pszName, int nLength, HtmlRefEnd end = HtmlRefEnd::Semicolon);

// The UTF-8 text of the table row for the decimal reference whose digits are the nLength bytes at
// pszDigits, or null when there are more than 3 digits, a byte is not a digit, the value is not
// 1 to 255, or the code has no row in the table (1 to 8, 11, 12, 14 to 31, 127 to 159).
LPCSTR ParseNumericCharRef(LPCSTR pszDigits, int nLength);

// Decodes the digits of a numeric reference (decimal, or hexadecimal when bHex) into UTF-8 at
// pOut (room for 4 bytes) and returns the byte count, or 0 when the reference names no
// character: a code of the table's gaps below 128, 127, a surrogate, one above U+10FFFF or one of
// the five unassigned Windows-1252 codes. Codes 128 to 159 stand for their Windows-1252
// characters, as pages written on that code page mean them.
int DecodeNumericCharRef(LPCSTR pszDigits, int nLength, bool bHex, char* pOut);

#include <string>
#include <string_view>

// What a text is written as: element content, or an attribute value between double quotes.
enum class HtmlEscape { Text, Attribute };

// The text with "&", "<" and ">" written as references, and for an attribute value the double
// quote, line feed, carriage return and tab too, so that a page's reader (and the scan, which
// decodes them) reads the text back exactly as given. An "&" that begins a whole reference HTML
// does not know ("&nosuch;") stays as it is: it reads back as itself.
std::string EscapeHtml(std::string_view text, HtmlEscape kind);
