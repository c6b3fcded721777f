// The application's options record: proxies, credentials, agent name, time-out and the file
// settings the scan engine turns into connection and scan options.
#pragma once

#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

struct CAppOptions {
    UINT m_bUseProxy = 0; // 1: the proxies below are used
    CString m_strHttpProxy;
    CString m_strHttpProxyPort;
    CString m_strHttpsProxy;
    CString m_strHttpsProxyPort;
    CString m_strFtpProxy;
    CString m_strFtpProxyPort;
    CString m_strGopherProxy;
    CString m_strGopherProxyPort;
    UINT m_bFtpProxy = 0;
    UINT m_bSameProxyForAll = 0;
    CStringList m_BypassList;
    UINT m_bBypassLocal = 0;
    UINT m_bProxyLogin = 0;
    CString m_strProxyUser;
    CString m_strProxyPassword;
    CString m_strAgentName;
    CString m_strFtpPassword;
    UINT m_bHttpLogin = 0;
    CString m_strHttpUser;
    CString m_strHttpPassword;
    UINT m_bAcceptCookies = 1;
    CString m_strIndexFileName;
    CString m_strFileRoot;
    UINT m_nTimeoutSeconds = 30;
    BYTE m_bFtpPassive = 0;
    BYTE m_bFrontPage = 0;
};
