// How the fetch engine connects: access type, proxies, credentials, time-outs, thread count and
// the per-host task limits; exchanged under "ConnectOptions" and "TuningOptions".
#pragma once

#include "engine/project/CSaveOptions.h"

class CConnectOptions : public CSaveOptions {
    DECLARE_DYNCREATE(CConnectOptions)
public:
    // Every field at its default.
    CConnectOptions();
    CConnectOptions(const CConnectOptions& other) = default;
    CConnectOptions& operator=(const CConnectOptions& other) = default;
    ~CConnectOptions() override = default;

    static constexpr LPCTSTR kSection = "ConnectOptions";
    static constexpr LPCTSTR kTuningSection = "TuningOptions";
    // The access type that makes the session use the proxies.
    static constexpr int kAccessProxy = 3;

    BOOL Exchange(UINT nMode, LPCTSTR lpszFileName, DWORD_PTR dwExtra) override;

    int GetAccessType() const { return m_nAccessType; }
    void SetAccessType(int nAccessType) { m_nAccessType = nAccessType; }

    const CString& GetProxyHttp() const { return m_strProxyHttp; }
    WORD GetProxyHttpPort() const { return m_wProxyHttpPort; }
    void SetProxyHttp(LPCTSTR lpszHost, WORD wPort) { m_strProxyHttp = lpszHost; m_wProxyHttpPort = wPort; }
    const CString& GetProxyHttps() const { return m_strProxyHttps; }
    WORD GetProxyHttpsPort() const { return m_wProxyHttpsPort; }
    void SetProxyHttps(LPCTSTR lpszHost, WORD wPort) { m_strProxyHttps = lpszHost; m_wProxyHttpsPort = wPort; }
    BYTE GetProxyHttpsCern() const { return m_bProxyHttpsCern; }
    void SetProxyHttpsCern(BYTE bCern) { m_bProxyHttpsCern = bCern != 0 ? 1 : 0; }
    const CString& GetProxyFtp() const { return m_strProxyFtp; }
    WORD GetProxyFtpPort() const { return m_wProxyFtpPort; }
    // bCern: the FTP proxy is an HTTP (CERN) proxy.
    void SetProxyFtp(LPCTSTR lpszHost, WORD wPort, BYTE bCern)
    {
        m_strProxyFtp = lpszHost;
        m_wProxyFtpPort = wPort;
        m_bProxyFtpCern = bCern != 0 ? 1 : 0;
    }
    BYTE GetProxyFtpCern() const { return m_bProxyFtpCern; }
    const CString& GetProxyGopher() const { return m_strProxyGopher; }
    WORD GetProxyGopherPort() const { return m_wProxyGopherPort; }
    void SetProxyGopher(LPCTSTR lpszHost, WORD wPort) { m_strProxyGopher = lpszHost; m_wProxyGopherPort = wPort; }
    BYTE GetProxyGopherCern() const { return m_bProxyGopherCern; }
    void SetProxyGopherCern(BYTE bCern) { m_bProxyGopherCern = bCern != 0 ? 1 : 0; }
    const CString& GetProxySocks() const { return m_strProxySocks; }
    WORD GetProxySocksPort() const { return m_wProxySocksPort; }
    void SetProxySocks(LPCTSTR lpszHost, WORD wPort) { m_strProxySocks = lpszHost; m_wProxySocksPort = wPort; }
    BYTE GetProxyAllSame() const { return m_bProxyAllSame; }
    // One proxy for every protocol is the HTTP proxy, so FTP goes through it as through a CERN
    // proxy.
    void SetProxyAllSame(BYTE bAllSame)
    {
        m_bProxyAllSame = bAllSame != 0 ? 1 : 0;
        if (m_bProxyAllSame != 0)
            m_bProxyFtpCern = 1;
    }
    const CString& GetProxyBypassList() const { return m_strProxyBypassList; }
    void SetProxyBypassList(LPCTSTR lpszList) { m_strProxyBypassList = lpszList; }
    BYTE GetProxyBypassLocal() const { return m_bProxyBypassLocal; }
    void SetProxyBypassLocal(BYTE bLocal) { m_bProxyBypassLocal = bLocal != 0 ? 1 : 0; }

    // Credentials: the getters answer whether a user name is given.
    BOOL GetProxyCredentials(CString& strUser, CString& strPassword) const;
    void SetProxyCredentials(LPCTSTR lpszUser, LPCTSTR lpszPassword) { m_strProxyUser = lpszUser; m_strProxyPassword = lpszPassword; }
    BOOL GetFtpCredentials(CString& strUser, CString& strPassword) const;
    void SetFtpCredentials(LPCTSTR lpszUser, LPCTSTR lpszPassword) { m_strFtpUser = lpszUser; m_strFtpPassword = lpszPassword; }
    BOOL GetHttpCredentials(CString& strUser, CString& strPassword) const;
    void SetHttpCredentials(LPCTSTR lpszUser, LPCTSTR lpszPassword) { m_strHttpUser = lpszUser; m_strHttpPassword = lpszPassword; }
    // The site the HTTP credentials belong to (a URL; its scheme, host and port count): they go
    // to no other server. Empty: to none. Not stored with the options.
    const CString& GetHttpCredentialsSite() const { return m_strHttpCredentialsSite; }
    void SetHttpCredentialsSite(LPCTSTR lpszSiteUrl) { m_strHttpCredentialsSite = lpszSiteUrl; }

    const CString& GetAgentName() const { return m_strAgentName; }
    void SetAgentName(LPCTSTR lpszName) { m_strAgentName = lpszName; }
    BYTE GetFtpPasvMode() const { return m_bFtpPasvMode; }
    void SetFtpPasvMode(BYTE bPassive) { m_bFtpPasvMode = bPassive != 0 ? 1 : 0; }
    BYTE GetHttpAcceptCookies() const { return m_bHttpAcceptCookies; }
    void SetHttpAcceptCookies(BYTE bAccept) { m_bHttpAcceptCookies = bAccept != 0 ? 1 : 0; }
    BYTE GetHttpsIgnoreCertErrors() const { return m_bHttpsIgnoreCertErrors; }
    void SetHttpsIgnoreCertErrors(BYTE bIgnore) { m_bHttpsIgnoreCertErrors = bIgnore != 0 ? 1 : 0; }
    // The page a folder URL stands for ("QXindexFilename").
    const CString& GetIndexFilename() const { return m_strIndexFilename; }
    void SetIndexFilename(LPCTSTR lpszName) { m_strIndexFilename = lpszName; }
    // The local folder under which file URLs without a server are found.
    const CString& GetFileRoot() const { return m_strFileRoot; }
    void SetFileRoot(LPCTSTR lpszRoot) { m_strFileRoot = lpszRoot; }

    int GetConnectRetries() const { return m_nConnectRetries; }
    void SetConnectRetries(int nRetries) { m_nConnectRetries = nRetries; }
    // Time-outs in seconds.
    int GetConnectTimeout() const { return m_nConnectTimeout; }
    void SetConnectTimeout(int nSeconds) { m_nConnectTimeout = nSeconds; }
    int GetDataTimeout() const { return m_nDataTimeout; }
    void SetDataTimeout(int nSeconds) { m_nDataTimeout = nSeconds; }
    int GetControlTimeout() const { return m_nControlTimeout; }
    void SetControlTimeout(int nSeconds) { m_nControlTimeout = nSeconds; }
    // The most one check of a URL may take, in seconds, and the most of a reply body it reads,
    // in bytes (0: no limit); then it ends with a result that says so. Not stored with the
    // options.
    static constexpr int kDefaultCheckTimeLimit = 60;
    static constexpr DWORD kDefaultCheckSizeLimit = 50u * 1024 * 1024;
    int GetCheckTimeLimit() const { return m_nCheckTimeLimit; }
    void SetCheckTimeLimit(int nSeconds) { m_nCheckTimeLimit = nSeconds; }
    DWORD GetCheckSizeLimit() const { return m_dwCheckSizeLimit; }
    void SetCheckSizeLimit(DWORD dwBytes) { m_dwCheckSizeLimit = dwBytes; }
    int GetNumThreads() const { return m_nNumThreads; }
    void SetNumThreads(int nThreads) { m_nNumThreads = nThreads; }

    int GetMaxHttpTasksPerHost() const { return m_nMaxHttpTasksPerHost; }
    void SetMaxHttpTasksPerHost(int n) { m_nMaxHttpTasksPerHost = n; }
    int GetMaxHttpsTasksPerHost() const { return m_nMaxHttpsTasksPerHost; }
    void SetMaxHttpsTasksPerHost(int n) { m_nMaxHttpsTasksPerHost = n; }
    int GetUrlsPerExtraHttpsTask() const { return m_nUrlsPerExtraHttpsTask; }
    void SetUrlsPerExtraHttpsTask(int n) { m_nUrlsPerExtraHttpsTask = n; }
    int GetMaxFileTasksPerHost() const { return m_nMaxFileTasksPerHost; }
    void SetMaxFileTasksPerHost(int n) { m_nMaxFileTasksPerHost = n; }
    int GetMaxFtpTasksPerHost() const { return m_nMaxFtpTasksPerHost; }
    void SetMaxFtpTasksPerHost(int n) { m_nMaxFtpTasksPerHost = n; }
    int GetUrlsPerExtraFtpTask() const { return m_nUrlsPerExtraFtpTask; }
    void SetUrlsPerExtraFtpTask(int n) { m_nUrlsPerExtraFtpTask = n; }
    int GetMaxOtherTasksPerHost() const { return m_nMaxOtherTasksPerHost; }
    void SetMaxOtherTasksPerHost(int n) { m_nMaxOtherTasksPerHost = n; }
    int GetMaxTotalTasksPerHost() const { return m_nMaxTotalTasksPerHost; }
    void SetMaxTotalTasksPerHost(int n) { m_nMaxTotalTasksPerHost = n; }
    int GetMaxTotalTasks() const { return m_nMaxTotalTasks; }
    void SetMaxTotalTasks(int n) { m_nMaxTotalTasks = n; }

    // The session's proxy list ("http=host:port " and so on), empty unless the access type is 3.
    CString GetProxyList() const;
    // The bypass list with " <local>" when local addresses bypass, empty unless the access type
    // is 3.
    CString GetProxyBypass() const;
    // The local path that the path of a file URL on the server (none: this machine) stands for:
    // "%XX" unescaped (but "%00"), "+" read as a blank, "|" as a drive's ":". A path that exists
    // as it stands is used so; any other is looked for under the file root when one is set.
    CString MapFileUrlToPath(LPCTSTR lpszServer, LPCTSTR lpszUrlPath) const;

private:
    int m_nAccessType;
    CString m_strProxyHttp;
    CString m_strProxyHttps;
    CString m_strProxyFtp;
    CString m_strProxyGopher;
    CString m_strProxySocks;
    WORD m_wProxyHttpPort;
    WORD m_wProxyHttpsPort;
    WORD m_wProxyFtpPort;
    WORD m_wProxyGopherPort;
    WORD m_wProxySocksPort;
    BYTE m_bProxyHttpsCern;
    BYTE m_bProxyFtpCern;
    BYTE m_bProxyGopherCern;
    BYTE m_bProxyAllSame;
    CString m_strProxyBypassList;
    BYTE m_bProxyBypassLocal;
    CString m_strProxyUser;
    CString m_strProxyPassword;
    CString m_strAgentName;
    CString m_strFtpUser;
    CString m_strFtpPassword;
    BYTE m_bFtpPasvMode;
    CString m_strHttpUser;
    CString m_strHttpPassword;
    CString m_strHttpCredentialsSite;
    BYTE m_bHttpAcceptCookies;
    BYTE m_bHttpsIgnoreCertErrors;
    CString m_strIndexFilename;
    CString m_strFileRoot;
    int m_nConnectRetries;
    int m_nConnectTimeout;
    int m_nDataTimeout;
    int m_nControlTimeout;
    int m_nNumThreads;
    int m_nCheckTimeLimit = kDefaultCheckTimeLimit;
    DWORD m_dwCheckSizeLimit = kDefaultCheckSizeLimit;

    int m_nMaxHttpTasksPerHost;
    int m_nMaxHttpsTasksPerHost;
    int m_nUrlsPerExtraHttpsTask;
    int m_nMaxFileTasksPerHost;
    int m_nMaxFtpTasksPerHost;
    int m_nUrlsPerExtraFtpTask;
    int m_nMaxOtherTasksPerHost;
    int m_nMaxTotalTasksPerHost;
    int m_nMaxTotalTasks;
};
