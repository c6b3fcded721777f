// UrlCredentials: keeping user names and passwords where they belong. URLs lose their user
// information before the engine shows or reports them, log lines lose every credential, and the
// user information of a URL is percent-decoded before it logs in.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

// The URL without "user:password@" in its authority; any other text as it is.
CString StripUserInfo(LPCTSTR lpszUrl);
// The same without a copy when the URL has no user information: the URL itself (empty for
// null), or else strStripped, filled. A URL can be megabytes long (a picture written into a page).
LPCTSTR StripUserInfo(LPCTSTR lpszUrl, CString& strStripped);

// A text for the log: the values of Authorization and Proxy-Authorization header lines
// replaced by "[withheld]", and the user information of every URL in it dropped.
CString RedactCredentials(LPCTSTR lpszText);

// The user name or password of a URL as the server must get it: "%XX" decoded, except "%00",
// which no login can carry and which stays as written.
CString DecodeUserInfo(LPCTSTR lpszText);

// Whether two URLs name the same scheme, host and port (hosts compared without case; a missing
// port is the scheme's default).
bool IsSameSite(LPCTSTR lpszUrl, LPCTSTR lpszSiteUrl);
