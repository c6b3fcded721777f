#include "engine/html/HtmlLinkTypes.h"

#include <cstring>
#include <strings.h>

namespace {

bool StartsWith(LPCSTR lpszText, LPCSTR lpszPrefix)
{
    return strncmp(lpszText, lpszPrefix, strlen(lpszPrefix)) == 0;
}

bool StartsWithNoCase(LPCSTR lpszText, LPCSTR lpszPrefix)
{
    return strncasecmp(lpszText, lpszPrefix, strlen(lpszPrefix)) == 0;
}

} // namespace

int ClassifyMimeType(LPCSTR lpszType)
{
    if (lpszType == nullptr)
        return LINK_KIND_OTHER;
    if (StartsWithNoCase(lpszType, "text/html"))
        return LINK_KIND_PLAIN;
    if (StartsWithNoCase(lpszType, "image/") || StartsWithNoCase(lpszType, "video/"))
        return LINK_KIND_IMAGE;
    if (StartsWithNoCase(lpszType, "audio/"))
        return LINK_KIND_SOUND;
    return LINK_KIND_OTHER;
}

int GetScriptLanguageKind(LPCSTR lpszLanguage)
{
    if (lpszLanguage == nullptr)
        return SCRIPT_KIND_NONE;
    if (StartsWith(lpszLanguage, "javascript") || strcmp(lpszLanguage, "jscript") == 0)
        return SCRIPT_KIND_JAVASCRIPT;
    if (strcmp(lpszLanguage, "vbscript") == 0)
        return SCRIPT_KIND_VBSCRIPT;
    return SCRIPT_KIND_NONE;
}

int GetScriptMimeTypeKind(LPCSTR lpszType)
{
    if (lpszType == nullptr)
        return SCRIPT_KIND_NONE;
    if (StartsWith(lpszType, "text/javascript") || StartsWith(lpszType, "application/x-javascript"))
        return SCRIPT_KIND_JAVASCRIPT;
    if (strcmp(lpszType, "text/vbscript") == 0)
        return SCRIPT_KIND_VBSCRIPT;
    return SCRIPT_KIND_NONE;
}
