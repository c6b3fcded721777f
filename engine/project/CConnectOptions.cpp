#include "engine/project/CConnectOptions.h"

#include <filesystem>
#include <string>
#include <string_view>

IMPLEMENT_DYNCREATE(CConnectOptions, CSaveOptions)

CConnectOptions::CConnectOptions()
{
    Exchange(modeDefaults, nullptr, 0);
}

BOOL CConnectOptions::Exchange(UINT nMode, LPCTSTR lpszFileName, DWORD_PTR)
{
    // The keys in their stored order; every key is exchanged even after one fails.
    BOOL bOk = TRUE;
    const auto keep = [&bOk](BOOL bResult) { bOk = bOk && bResult; };
    const LPCTSTR s = kSection;
    const LPCTSTR f = lpszFileName;
    keep(ExchangeInt(nMode, s, "AccessType", m_nAccessType, 0, f));
    keep(ExchangeString(nMode, s, "ProxyHttp", m_strProxyHttp, "", f));
    keep(ExchangeString(nMode, s, "ProxyHttps", m_strProxyHttps, "", f));
    keep(ExchangeString(nMode, s, "ProxyFtp", m_strProxyFtp, "", f));
    keep(ExchangeString(nMode, s, "ProxyGopher", m_strProxyGopher, "", f));
    keep(ExchangeString(nMode, s, "ProxySocks", m_strProxySocks, "", f));
    keep(ExchangeWord(nMode, s, "ProxyHttpPort", m_wProxyHttpPort, 8080, f));
    keep(ExchangeWord(nMode, s, "ProxyHttpsPort", m_wProxyHttpsPort, 8081, f));
    keep(ExchangeWord(nMode, s, "ProxyFtpPort", m_wProxyFtpPort, 8082, f));
    keep(ExchangeWord(nMode, s, "ProxyGopherPort", m_wProxyGopherPort, 8083, f));
    keep(ExchangeWord(nMode, s, "ProxySocksPort", m_wProxySocksPort, 1080, f));
    keep(ExchangeFlag(nMode, s, "ProxyHttpsCern", m_bProxyHttpsCern, 0, f));
    keep(ExchangeFlag(nMode, s, "ProxyFtpCern", m_bProxyFtpCern, 0, f));
    keep(ExchangeFlag(nMode, s, "ProxyGopherCern", m_bProxyGopherCern, 0, f));
    keep(ExchangeFlag(nMode, s, "ProxyAllSame", m_bProxyAllSame, 0, f));
    keep(ExchangeString(nMode, s, "ProxyBypassList", m_strProxyBypassList, "", f));
    keep(ExchangeFlag(nMode, s, "ProxyBypassLocal", m_bProxyBypassLocal, 0, f));
    keep(ExchangeString(nMode, s, "ProxyUser", m_strProxyUser, "", f));
    keep(ExchangeString(nMode, s, "ProxyPassword", m_strProxyPassword, "", f));
    keep(ExchangeString(nMode, s, "AgentName", m_strAgentName, "", f));
    keep(ExchangeString(nMode, s, "FtpUser", m_strFtpUser, "", f));
    keep(ExchangeString(nMode, s, "FtpPassword", m_strFtpPassword, "", f));
    keep(ExchangeFlag(nMode, s, "FtpPasvMode", m_bFtpPasvMode, 0, f));
    keep(ExchangeString(nMode, s, "HttpUser", m_strHttpUser, "", f));
    keep(ExchangeString(nMode, s, "HttpPassword", m_strHttpPassword, "", f));
    keep(ExchangeFlag(nMode, s, "HttpAcceptCookies", m_bHttpAcceptCookies, 1, f));
    keep(ExchangeFlag(nMode, s, "HttpsIgnoreCertErrors", m_bHttpsIgnoreCertErrors, 0, f));
    keep(ExchangeString(nMode, s, "QXindexFilename", m_strIndexFilename, "", f));
    keep(ExchangeString(nMode, s, "FileRoot", m_strFileRoot, "", f));
    keep(ExchangeInt(nMode, s, "ConnectRetries", m_nConnectRetries, 0, f));
    keep(ExchangeInt(nMode, s, "ConnectTimeout", m_nConnectTimeout, 30, f));
    keep(ExchangeInt(nMode, s, "DataTimeout", m_nDataTimeout, 30, f));
    keep(ExchangeInt(nMode, s, "ControlTimeout", m_nControlTimeout, 30, f));
    keep(ExchangeInt(nMode, s, "NumThreads", m_nNumThreads, 10, f));

    const LPCTSTR t = kTuningSection;
    keep(ExchangeInt(nMode, t, "MaxHttpTasksPerHost", m_nMaxHttpTasksPerHost, 6, f));
    keep(ExchangeInt(nMode, t, "MaxHttpsTasksPerHost", m_nMaxHttpsTasksPerHost, 4, f));
    keep(ExchangeInt(nMode, t, "UrlsPerExtraHttpsTask", m_nUrlsPerExtraHttpsTask, 10, f));
    keep(ExchangeInt(nMode, t, "MaxFileTasksPerHost", m_nMaxFileTasksPerHost, 6, f));
    keep(ExchangeInt(nMode, t, "MaxFtpTasksPerHost", m_nMaxFtpTasksPerHost, 2, f));
    keep(ExchangeInt(nMode, t, "UrlsPerExtraFtpTask", m_nUrlsPerExtraFtpTask, 20, f));
    keep(ExchangeInt(nMode, t, "MaxOtherTasksPerHost", m_nMaxOtherTasksPerHost, 1, f));
    keep(ExchangeInt(nMode, t, "MaxTotalTasksPerHost", m_nMaxTotalTasksPerHost, 10, f));
    keep(ExchangeInt(nMode, t, "MaxTotalTasks", m_nMaxTotalTasks, 30, f));
    return bOk;
}

namespace {

BOOL GetPair(const CString& strUser, const CString& strPassword, CString& strUserOut, CString& strPasswordOut)
{
    strUserOut = strUser;
    strPasswordOut = strPassword;
    return strUser.IsEmpty() ? FALSE : TRUE;
}

int HexDigitValue(char ch)
{
    if (ch >= '0' && ch <= '9')
        return ch - '0';
    if (ch >= 'a' && ch <= 'f')
        return ch - 'a' + 10;
    if (ch >= 'A' && ch <= 'F')
        return ch - 'A' + 10;
    return -1;
}

// Without throwing: an overlong or unreadable path simply does not exist as given.
bool ExistsAsGiven(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path("/" + path), error) && !error;
}

} // namespace

BOOL CConnectOptions::GetProxyCredentials(CString& strUser, CString& strPassword) const
{
    return GetPair(m_strProxyUser, m_strProxyPassword, strUser, strPassword);
}

BOOL CConnectOptions::GetFtpCredentials(CString& strUser, CString& strPassword) const
{
    return GetPair(m_strFtpUser, m_strFtpPassword, strUser, strPassword);
}

BOOL CConnectOptions::GetHttpCredentials(CString& strUser, CString& strPassword) const
{
    return GetPair(m_strHttpUser, m_strHttpPassword, strUser, strPassword);
}

CString CConnectOptions::GetProxyList() const
{
    CString strList;
    if (m_nAccessType != kAccessProxy)
        return strList;
    if (m_bProxyAllSame != 0) {
        // Without a host there is no proxy to name; ":8080" alone would be taken for one.
        if (!m_strProxyHttp.IsEmpty())
            strList.Format("%s:%d", m_strProxyHttp, static_cast<int>(m_wProxyHttpPort));
        return strList;
    }
    if (!m_strProxyHttp.IsEmpty())
        strList.AppendFormat("http=%s:%d ", m_strProxyHttp, static_cast<int>(m_wProxyHttpPort));
    if (!m_strProxyHttps.IsEmpty())
        strList.AppendFormat("https=%s:%d ", m_strProxyHttps, static_cast<int>(m_wProxyHttpsPort));
    if (!m_strProxyFtp.IsEmpty())
        strList.AppendFormat("ftp=%s%s:%d ", m_bProxyFtpCern == 0 ? "ftp://" : "", m_strProxyFtp,
                             static_cast<int>(m_wProxyFtpPort));
    if (!m_strProxyGopher.IsEmpty())
        strList.AppendFormat("gopher=%s:%d ", m_strProxyGopher, static_cast<int>(m_wProxyGopherPort));
    if (!m_strProxySocks.IsEmpty())
        strList.AppendFormat("socks=%s:%d ", m_strProxySocks, static_cast<int>(m_wProxySocksPort));
    return strList;
}

CString CConnectOptions::GetProxyBypass() const
{
    CString strBypass;
    if (m_nAccessType != kAccessProxy)
        return strBypass;
    strBypass = m_strProxyBypassList;
    if (m_bProxyBypassLocal != 0)
        strBypass += strBypass.IsEmpty() ? "<local>" : " <local>";
    return strBypass;
}

CString CConnectOptions::MapFileUrlToPath(LPCTSTR lpszServer, LPCTSTR lpszUrlPath) const
{
    std::string_view urlPath(lpszUrlPath != nullptr ? lpszUrlPath : "");
    if (!urlPath.empty() && urlPath.front() == '/')
        urlPath.remove_prefix(1);

    std::string path;
    path.reserve(urlPath.size());
    bool bDrive = false;
    for (size_t i = 0; i < urlPath.size(); ++i) {
        const char ch = urlPath[i];
        if (ch == '%' && i + 2 < urlPath.size() && HexDigitValue(urlPath[i + 1]) >= 0 && HexDigitValue(urlPath[i + 2]) >= 0) {
            const char byte = static_cast<char>(HexDigitValue(urlPath[i + 1]) * 16 + HexDigitValue(urlPath[i + 2]));
            // A NUL would end the path early and name another file than the URL does; it
            // stays escaped.
            if (byte == '\0') {
                path += ch;
                continue;
            }
            path += byte;
            i += 2;
        } else if (ch == '+') {
            path += ' ';
        } else if (ch == '\\') {
            // Written by hand as on other systems: a separator.
            path += '/';
        } else if (ch == '|') {
            path += ':';
            bDrive = true;
        } else {
            path += ch;
        }
    }

    CString strPath;
    if (lpszServer != nullptr && *lpszServer != '\0') {
        strPath = "//";
        strPath += lpszServer;
        strPath += '/';
    } else if (bDrive) {
        // A path with a drive names its place itself.
    } else if (m_strFileRoot.IsEmpty() || ExistsAsGiven(path)) {
        // Every local path here is written without a drive, the project's own pages too; a path
        // that names something on this machine as it stands is that thing, and only other paths
        // (site-rooted links) are looked for under the file root.
        strPath = "/";
    } else {
        strPath = m_strFileRoot;
        const TCHAR chLast = strPath[strPath.GetLength() - 1];
        if (chLast != '/' && chLast != '\\')
            strPath += '/';
    }
    strPath.Append(path.data(), static_cast<int>(path.size()));
    return strPath;
}
