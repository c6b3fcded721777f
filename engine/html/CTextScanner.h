// CTextScanner: reads fields from a text the way the C library's formatted input does, one
// directive at a time, but with every field bounded by the text itself: strings go into
// CStrings and numbers saturate instead of overflowing. Tag actions read attribute values
// (sizes, refresh contents, dates) with it.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

class CTextScanner {
public:
    explicit CTextScanner(LPCSTR lpszText) : m_p(lpszText != nullptr ? lpszText : "") {}

    // A blank of a format: skips any run of whitespace, also none.
    void SkipSpace();
    // An ordinary character of a format: TRUE and past it when it is next.
    BOOL Literal(char ch);
    // "%d" with an optional width (0: none): skips whitespace, reads a sign and digits. A value
    // beyond the int range saturates. FALSE, with nothing read, when no digit follows.
    BOOL Int(int& nValue, int nWidth = 0);
    // "%s" with an optional width: skips whitespace and reads up to nWidth non-blank characters
    // (all of them for 0). FALSE when none is there.
    BOOL String(CString& strValue, int nWidth = 0);
    // "%c": the next character, whatever it is. FALSE at the end of the text.
    BOOL Char(char& ch);
    // "%[^x]": one or more characters up to the stop character. FALSE when none is there.
    BOOL Until(char chStop, CString& strValue);

    LPCSTR GetRest() const { return m_p; }

private:
    LPCSTR m_p;
};
