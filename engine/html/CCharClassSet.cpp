#include "engine/html/CCharClassSet.h"

#include "platform/core/CodePage.h"

#define URL_CHARS "A-Za-z0-9$%-_.+!*'(),\";/?:@=&%%"

constinit const CCharClassSet g_ControlChars("\x01- ");
constinit const CCharClassSet g_ServerNameChars("a-zA-Z0-9!@#$%%^&\x91)(.%-_{}~");
constinit const CCharClassSet g_HostChars("a-zA-Z0-9%-.");
constinit const CCharClassSet g_IpChars("0-9.");
constinit const CCharClassSet g_UrlChars(URL_CHARS);
constinit const CCharClassSet g_UrlCharsTilde(URL_CHARS "~");
constinit const CCharClassSet g_UrlCharsTildeBlank(URL_CHARS "~ ");
constinit const CCharClassSet g_UrlCharsBar(URL_CHARS "|");

BOOL CCharClassSet::ContainsAll(LPCSTR pszText) const
{
    if (pszText == nullptr)
        return TRUE;
    for (LPCSTR p = pszText; *p != '\0'; p = CharNextA(p)) {
        if (!Contains(static_cast<unsigned char>(*p)))
            return FALSE;
    }
    return TRUE;
}

void BlankControlChars(LPSTR pszText)
{
    if (pszText == nullptr)
        return;
    for (char* p = pszText; *p != '\0'; ++p) {
        if (g_ControlChars.Contains(static_cast<unsigned char>(*p)))
            *p = ' ';
    }
}

void BlankControlChars(CString& strText)
{
    // By index, so that text after an embedded NUL is treated too.
    for (int i = 0; i < strText.GetLength(); ++i) {
        if (g_ControlChars.Contains(static_cast<unsigned char>(strText.GetAt(i))))
            strText.SetAt(i, ' ');
    }
}
