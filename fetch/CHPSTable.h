// The host scheduling tables: every URL waiting to be checked, filed under its host
// (CHost), port and scheme (CHPS), and user name and password (CHPSUP), and the rule by which
// a free worker thread takes the next one (CHPSTable).
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/SyncObjects.h"
#include "platform/core/Types.h"

#include <functional>
#include <memory>
#include <vector>

class CConnectOptions;
class CHPSTable;
class CHost;
class CHPS;
class CHPSUP;

// Internet scheme numbers, as the URL value's scheme table gives them.
enum : int {
    SCHEME_KIND_OTHER = -1,
    SCHEME_KIND_FTP = 1,
    SCHEME_KIND_GOPHER = 2,
    SCHEME_KIND_HTTP = 3,
    SCHEME_KIND_HTTPS = 4,
    SCHEME_KIND_FILE = 5,
    SCHEME_KIND_NEWS = 6,
    SCHEME_KIND_MAILTO = 7,
};

// Capability bit of the installed internet library: HTTP/1.1 requests are supported.
constexpr DWORD WININET_CAP_HTTP11 = 0x4;

// One queued URL, a record the table recycles. Between queueing and ReleaseUrl a record
// belongs to the worker thread that took it; its URL parts never change after queueing.
class CURLToCheck : public CObject {
    DECLARE_DYNAMIC(CURLToCheck)
public:
    static constexpr int kInlinePath = 31;

    CURLToCheck() = default;
    CURLToCheck(const CURLToCheck&) = delete;
    CURLToCheck& operator=(const CURLToCheck&) = delete;

    // The whole path: the inline head and the heap rest.
    CString GetPath() const;
    const char* GetPathHead() const { return m_szPathHead; }
    const CString& GetPathRest() const { return m_strPathRest; }
    const CString& GetParams() const { return m_strParams; }
    const CString& GetQuery() const { return m_strQuery; }
    const CString& GetFragment() const { return m_strFragment; }
    const CString& GetFormData() const { return m_strFormData; }
    BOOL HasFormData() const { return m_bHasFormData; }
    DWORD_PTR GetCallerId() const { return m_dwCallerId; }
    int GetLinkKind() const { return m_nLinkKind; }
    BOOL GetFetch() const { return m_bFetch != 0; }
    int GetTryCount() const { return m_nTryCount; }
    BOOL IsRequeued() const { return m_bRequeued != 0; }
    CHPSUP* GetHpsup() const { return m_pHpsup; }
    // The place in which the record was taken from its entry: 0 for the entry's first, then
    // counting up, as the entry's queue gave them out.
    ULONGLONG GetTakenOrder() const { return m_nTakenOrder; }

    // The full URL text: scheme, authority with credentials, port when not the default, path,
    // parameters, query and fragment. Takes the table lock.
    CString GetFullUrl() const;
    // The full URL without the user name and password: the form that logs and reports show.
    CString GetDisplayUrl() const;

    // Queues the same URL again at the tail of its entry as a new record, and marks this one
    // requeued. Called by the worker thread that holds the record; takes the table lock.
    void Requeue();

private:
    friend class CHPSTable;
    friend class CHPSUP;

    void SetPath(LPCTSTR lpszPath);
    void Clear();
    CString MakeUrl(bool bWithCredentials) const;

    char m_szPathHead[kInlinePath + 1] = {};
    CString m_strPathRest;
    CString m_strParams;
    CString m_strQuery;
    CString m_strFragment;
    CString m_strFormData;
    BOOL m_bHasFormData = FALSE;
    DWORD_PTR m_dwCallerId = 0;
    int m_nTryCount = 0;
    CHPSUP* m_pHpsup = nullptr;
    CURLToCheck* m_pNext = nullptr;
    ULONGLONG m_nTakenOrder = 0;
    int m_nLinkKind = 0;
    BYTE m_bFetch = 0;
    BYTE m_bRequeued = 0;
};

// One user name and password on a port and scheme of a host: a queue of URLs.
class CHPSUP : public CObject {
    DECLARE_DYNAMIC(CHPSUP)
public:
    CHPSUP(CHPS* pOwner, LPCTSTR lpszUser, LPCTSTR lpszPassword);
    ~CHPSUP() override;
    CHPSUP(const CHPSUP&) = delete;
    CHPSUP& operator=(const CHPSUP&) = delete;

    CHPS* GetHps() const { return m_pOwner; }
    CHost* GetHost() const;
    CHPSTable* GetTable() const;
    // Null when none was given.
    LPCTSTR GetUser() const { return m_bHasUser ? m_strUser.GetString() : nullptr; }
    LPCTSTR GetPassword() const { return m_bHasPassword ? m_strPassword.GetString() : nullptr; }
    bool Matches(LPCTSTR lpszUser, LPCTSTR lpszPassword) const;

    // Appends a record (its try count rises by 1); the entry joins the ready list when its
    // queue was empty. Table lock held by the caller or taken here.
    void EnqueueUrl(CURLToCheck* pRecord);
    // The head record or null, numbered in the order taken; the entry leaves the ready list
    // when its queue empties.
    CURLToCheck* DequeueUrl();
    // How many more worker threads may start on this entry now.
    int GetStartableCount();
    // The calling worker thread stops serving this entry. Callable from any worker thread.
    void ReleaseHps();

    int GetQueueCount();
    int GetRunningCount();
    BOOL GetIgnoreCertificate();
    void SetIgnoreCertificate();

private:
    friend class CHPSTable;
    friend class CHPS;

    CHPS* m_pOwner;
    CString m_strUser;
    CString m_strPassword;
    bool m_bHasUser;
    bool m_bHasPassword;
    int m_nRunning = 0;
    CURLToCheck* m_pHead = nullptr;
    CURLToCheck* m_pTail = nullptr;
    int m_nCount = 0;
    ULONGLONG m_nTaken = 0;
    std::unique_ptr<CHPSUP> m_pNext;
    CHPSUP* m_pNextReady = nullptr;
    CHPSUP* m_pPrevReady = nullptr;
    bool m_bInReadyList = false;
    BYTE m_bIgnoreCertificate = 0;
};

// One port and scheme of a host.
class CHPS : public CObject {
    DECLARE_DYNAMIC(CHPS)
public:
    CHPS(CHost* pOwner, UINT nPort, UINT nSchemeIndex);
    ~CHPS() override;
    CHPS(const CHPS&) = delete;
    CHPS& operator=(const CHPS&) = delete;

    CHost* GetHost() const { return m_pOwner; }
    UINT GetPort() const { return m_nPort; }
    int GetSchemeKind() const { return m_nSchemeKind; }
    // The row of the URL value's scheme table, which also gives the scheme's name.
    UINT GetSchemeIndex() const { return m_nSchemeIndex; }

    CHPSUP* FindOrAddHpsup(LPCTSTR lpszUser, LPCTSTR lpszPassword);
    // How many worker threads may serve this port and scheme at once.
    int GetConnectionLimit();
    int GetFreeSlots();

    // 0 not yet known, 1 and 2 HTTP/1.0, 3 HTTP/1.1; 3 is kept as 2 when the internet library
    // cannot speak HTTP/1.1.
    void SetServerHttpVersion(int nCode);
    int GetServerHttpVersion();
    LPCTSTR GetServerHttpVersionText();
    // The HEAD record: successes and failures (a HEAD sent again as GET), each stopping at 255.
    void AddHeadSuccess();
    void AddHeadFailure();
    // No HEAD success yet and at least two failures: ask with GET from the start.
    BOOL HeadCallsForGet();

private:
    friend class CHPSTable;
    friend class CHPSUP;
    friend class CHost;

    CHost* m_pOwner;
    UINT m_nPort;
    UINT m_nSchemeIndex;
    int m_nSchemeKind;
    int m_nTaskLimit;
    int m_nUrlsPerExtraTask;
    int m_nGrowthBase;
    int m_nRunning = 0;
    std::unique_ptr<CHPSUP> m_pFirst;
    std::unique_ptr<CHPS> m_pNext;
    DWORD m_dwHttpVersion = 0;
    BYTE m_nHeadSuccesses = 0;
    BYTE m_nHeadFailures = 0;
};

// One host name (compared exactly, so names differing in case are two hosts).
class CHost : public CObject {
    DECLARE_DYNAMIC(CHost)
public:
    CHost(CHPSTable* pOwner, DWORD dwHash, LPCTSTR lpszName);
    ~CHost() override;
    CHost(const CHost&) = delete;
    CHost& operator=(const CHost&) = delete;

    CHPSTable* GetTable() const { return m_pOwner; }
    const CString& GetName() const { return m_strName; }
    DWORD GetHash() const { return m_dwHash; }

    CHPS* FindOrAddHps(UINT nPort, UINT nSchemeIndex);
    int GetFreeSlots();

    // The host name did not resolve / a connection has succeeded. Callable from any worker.
    void SetNotFound();
    BOOL IsNotFound();
    void SetReached();
    BOOL IsReached();
    int GetRunningCount();

private:
    friend class CHPSTable;
    friend class CHPS;
    friend class CHPSUP;

    CHPSTable* m_pOwner;
    DWORD m_dwHash;
    CString m_strName;
    BYTE m_bNotFound = 0;
    BYTE m_bReached = 0;
    int m_nRunning = 0;
    std::unique_ptr<CHPS> m_pFirst;
    std::unique_ptr<CHost> m_pNext;
};

// The table. One re-entrant lock guards it whole: every operation of the five classes that
// reads or changes shared state takes it, and may call the others while holding it.
class CHPSTable : public CObject {
    DECLARE_DYNAMIC(CHPSTable)
public:
    // The limits are copied from the options; dwWinInetCaps are the internet library's
    // capability flags.
    CHPSTable(const CConnectOptions& options, DWORD dwWinInetCaps, UINT nBuckets = 1000);
    ~CHPSTable() override;
    CHPSTable(const CHPSTable&) = delete;
    CHPSTable& operator=(const CHPSTable&) = delete;

    static DWORD HashHostName(LPCTSTR lpszName);

    // Files a URL. nSchemeIndex is the row of the URL value's scheme table. The owner's thread
    // calls it, also while workers run.
    void AddUrl(DWORD_PTR dwCallerId, int nLinkKind, BYTE bFetch, LPCTSTR lpszHost, UINT nPort, UINT nSchemeIndex,
        LPCTSTR lpszUser, LPCTSTR lpszPassword, LPCTSTR lpszPath, LPCTSTR lpszParams, LPCTSTR lpszQuery,
        LPCTSTR lpszFragment, LPCTSTR lpszFormData);
    // The next URL for a worker that serves no entry yet, or null; counts the worker as running
    // on the entry. Callable from any worker thread.
    CURLToCheck* TakeNextUrl();
    // The next URL of the entry the worker already serves, or null. Callable from any worker.
    CURLToCheck* TakeNextUrlOfSameHps(CHPSUP* pHpsup);
    // Gives a record back to the free list. Callable from any worker thread.
    void ReleaseUrl(CURLToCheck* pRecord);

    CHost* FindOrAddHost(LPCTSTR lpszName);
    CURLToCheck* NewUrlRecord();

    int GetFreeSlots();
    int GetRunningCount();
    int GetReadyCount();
    DWORD GetWinInetCaps() const { return m_dwWinInetCaps; }
    // The per-server connection limits of the internet settings (read at construction).
    void SetServerConnectionLimits(int nPer1_0Server, int nPerServer);

    CCriticalSection& GetLock() { return m_lock; }

    // Called, under the table lock, whenever a worker that found nothing may now find a URL:
    // one was queued, a running worker let go of its entry, or a host's or server's limit rose.
    // It must not take the table lock on another thread's behalf. Before workers run only.
    void SetWorkHandler(std::function<void()> handler) { m_onWork = std::move(handler); }

private:
    friend class CHost;
    friend class CHPS;
    friend class CHPSUP;
    friend class CURLToCheck;

    void AppendReady(CHPSUP* pEntry);
    void UnlinkReady(CHPSUP* pEntry);
    void NotifyWork()
    {
        if (m_onWork)
            m_onWork();
    }

    std::function<void()> m_onWork;

    std::vector<std::unique_ptr<CHost>> m_buckets;
    int m_nRunning = 0;
    CCriticalSection m_lock;
    DWORD m_dwWinInetCaps;

    int m_nMaxHttpTasksPerHost;
    int m_nMaxHttpsTasksPerHost;
    int m_nUrlsPerExtraHttpsTask;
    int m_nMaxFileTasksPerHost;
    int m_nMaxFtpTasksPerHost;
    int m_nUrlsPerExtraFtpTask;
    int m_nMaxOtherTasksPerHost;
    int m_nMaxTotalTasksPerHost;
    int m_nMaxTotalTasks;
    int m_nMaxConnectionsPer1_0Server;
    int m_nMaxConnectionsPerServer;

    CHPSUP* m_pReadyHead = nullptr;
    CHPSUP* m_pReadyTail = nullptr;
    int m_nReady = 0;
    CURLToCheck* m_pFree = nullptr;
};
