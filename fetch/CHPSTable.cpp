#include "fetch/CHPSTable.h"

#include "engine/project/CConnectOptions.h"
#include "engine/project/CUrlString.h"
#include "engine/project/SystemUtil.h"
#include "platform/core/Registry.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CURLToCheck, CObject)
IMPLEMENT_DYNAMIC(CHPSUP, CObject)
IMPLEMENT_DYNAMIC(CHPS, CObject)
IMPLEMENT_DYNAMIC(CHost, CObject)
IMPLEMENT_DYNAMIC(CHPSTable, CObject)

namespace {

constexpr LPCTSTR kInternetSettingsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

// The number of digits of n written in the base; 1 for every count up to the base itself.
int DigitsInBase(int n, int nBase)
{
    if (n <= nBase)
        return 1;
    int nDigits = 0;
    while (n > 0) {
        n /= nBase;
        ++nDigits;
    }
    return nDigits;
}

// Byte-wise order of names taken as unsigned characters.
int CompareNames(LPCTSTR a, LPCTSTR b)
{
    return std::strcmp(a, b);
}

} // namespace

// ---------------------------------------------------------------------------------------
// CURLToCheck

CString CURLToCheck::GetPath() const
{
    CString strPath = m_szPathHead;
    strPath += m_strPathRest;
    return strPath;
}

void CURLToCheck::SetPath(LPCTSTR lpszPath)
{
    const size_t nLength = lpszPath != nullptr ? std::strlen(lpszPath) : 0;
    const size_t nHead = std::min<size_t>(nLength, kInlinePath);
    if (nHead > 0)
        std::memcpy(m_szPathHead, lpszPath, nHead);
    m_szPathHead[nHead] = '\0';
    m_strPathRest = nLength > nHead ? CString(lpszPath + nHead) : CString();
}

void CURLToCheck::Clear()
{
    m_szPathHead[0] = '\0';
    m_strPathRest.Empty();
    m_strParams.Empty();
    m_strQuery.Empty();
    m_strFragment.Empty();
    m_strFormData.Empty();
    m_bHasFormData = FALSE;
    m_dwCallerId = 0;
    m_nTryCount = 0;
    m_pHpsup = nullptr;
    m_pNext = nullptr;
    m_nTakenOrder = 0;
    m_nLinkKind = 0;
    m_bFetch = 0;
    m_bRequeued = 0;
}

CString CURLToCheck::GetFullUrl() const
{
    return MakeUrl(true);
}

CString CURLToCheck::GetDisplayUrl() const
{
    return MakeUrl(false);
}

CString CURLToCheck::MakeUrl(bool bWithCredentials) const
{
    CHPSTable* pTable = m_pHpsup->GetTable();
    CSingleLock lock(&pTable->GetLock(), TRUE);
    const CHPS* pHps = m_pHpsup->GetHps();
    const CHost* pHost = pHps->GetHost();
    const CUrlString::SchemeEntry& scheme = CUrlString::GetSchemeEntry(pHps->GetSchemeIndex());

    CString strUrl = scheme.pszScheme;
    strUrl += ':';
    if (!pHost->GetName().IsEmpty()) {
        strUrl += "//";
        LPCTSTR lpszUser = m_pHpsup->GetUser();
        LPCTSTR lpszPassword = m_pHpsup->GetPassword();
        const bool bUser = lpszUser != nullptr && *lpszUser != '\0';
        const bool bPassword = lpszPassword != nullptr && *lpszPassword != '\0';
        if (bWithCredentials && (bUser || bPassword)) {
            if (bUser)
                strUrl += lpszUser;
            strUrl += ':';
            if (bPassword)
                strUrl += lpszPassword;
            strUrl += '@';
        }
        strUrl += pHost->GetName();
    } else if (scheme.bAlwaysSlashes) {
        strUrl += "//";
    }
    if (pHps->GetPort() != scheme.nDefaultPort)
        strUrl.AppendFormat(":%u", pHps->GetPort());
    const CString strPath = GetPath();
    if (strPath.IsEmpty() && scheme.bAlwaysSlashes)
        strUrl += '/';
    else
        strUrl += strPath;
    strUrl += m_strParams;
    strUrl += m_strQuery;
    // The fragment is kept without its "#"; written back without it, it would join the path.
    if (!m_strFragment.IsEmpty()) {
        strUrl += '#';
        strUrl += m_strFragment;
    }
    return strUrl;
}

void CURLToCheck::Requeue()
{
    CHPSTable* pTable = m_pHpsup->GetTable();
    CSingleLock lock(&pTable->GetLock(), TRUE);
    CURLToCheck* pCopy = pTable->NewUrlRecord();
    std::memcpy(pCopy->m_szPathHead, m_szPathHead, sizeof m_szPathHead);
    pCopy->m_strPathRest = m_strPathRest;
    pCopy->m_strParams = m_strParams;
    pCopy->m_strQuery = m_strQuery;
    pCopy->m_strFragment = m_strFragment;
    pCopy->m_strFormData = m_strFormData;
    pCopy->m_bHasFormData = m_bHasFormData;
    pCopy->m_dwCallerId = m_dwCallerId;
    pCopy->m_nLinkKind = m_nLinkKind;
    pCopy->m_bFetch = m_bFetch;
    pCopy->m_nTryCount = m_nTryCount + 1;
    ++pCopy->m_nTryCount;
    m_bRequeued = 1;
    m_pHpsup->EnqueueUrl(pCopy);
}

// ---------------------------------------------------------------------------------------
// CHPSUP

CHPSUP::CHPSUP(CHPS* pOwner, LPCTSTR lpszUser, LPCTSTR lpszPassword)
    : m_pOwner(pOwner),
      m_strUser(lpszUser),
      m_strPassword(lpszPassword),
      m_bHasUser(lpszUser != nullptr),
      m_bHasPassword(lpszPassword != nullptr)
{
}

CHPSUP::~CHPSUP()
{
    while (m_pHead != nullptr) {
        CURLToCheck* pNext = m_pHead->m_pNext;
        delete m_pHead;
        m_pHead = pNext;
    }
    // Long chains are unlinked one by one so that destruction never recurses deeply.
    while (m_pNext)
        m_pNext = std::move(m_pNext->m_pNext);
}

CHost* CHPSUP::GetHost() const
{
    return m_pOwner->GetHost();
}

CHPSTable* CHPSUP::GetTable() const
{
    return m_pOwner->GetHost()->GetTable();
}

bool CHPSUP::Matches(LPCTSTR lpszUser, LPCTSTR lpszPassword) const
{
    auto same = [](bool bHas, const CString& strMine, LPCTSTR lpszOther) {
        if (!bHas || lpszOther == nullptr)
            return !bHas && lpszOther == nullptr;
        return std::strcmp(strMine.GetString(), lpszOther) == 0;
    };
    return same(m_bHasUser, m_strUser, lpszUser) && same(m_bHasPassword, m_strPassword, lpszPassword);
}

void CHPSUP::EnqueueUrl(CURLToCheck* pRecord)
{
    CHPSTable* pTable = GetTable();
    CSingleLock lock(&pTable->GetLock(), TRUE);
    pRecord->m_pHpsup = this;
    pRecord->m_pNext = nullptr;
    ++pRecord->m_nTryCount;
    if (m_pTail != nullptr)
        m_pTail->m_pNext = pRecord;
    else
        m_pHead = pRecord;
    m_pTail = pRecord;
    if (m_nCount == 0)
        pTable->AppendReady(this);
    ++m_nCount;
    pTable->NotifyWork();
}

CURLToCheck* CHPSUP::DequeueUrl()
{
    CHPSTable* pTable = GetTable();
    CSingleLock lock(&pTable->GetLock(), TRUE);
    CURLToCheck* pRecord = m_pHead;
    if (pRecord == nullptr)
        return nullptr;
    m_pHead = pRecord->m_pNext;
    if (m_pHead == nullptr)
        m_pTail = nullptr;
    pRecord->m_pNext = nullptr;
    pRecord->m_nTakenOrder = m_nTaken++;
    --m_nCount;
    if (m_nCount == 0)
        pTable->UnlinkReady(this);
    return pRecord;
}

int CHPSUP::GetStartableCount()
{
    CSingleLock lock(&GetTable()->GetLock(), TRUE);
    const int nWanted = DigitsInBase(m_nCount, m_pOwner->m_nGrowthBase);
    const int nStartable = std::max(nWanted - m_nRunning, 0);
    return std::min(nStartable, m_pOwner->GetFreeSlots());
}

void CHPSUP::ReleaseHps()
{
    CHPSTable* pTable = GetTable();
    CSingleLock lock(&pTable->GetLock(), TRUE);
    --m_nRunning;
    --m_pOwner->m_nRunning;
    --m_pOwner->m_pOwner->m_nRunning;
    --pTable->m_nRunning;
    pTable->NotifyWork();
}

int CHPSUP::GetQueueCount()
{
    CSingleLock lock(&GetTable()->GetLock(), TRUE);
    return m_nCount;
}

int CHPSUP::GetRunningCount()
{
    CSingleLock lock(&GetTable()->GetLock(), TRUE);
    return m_nRunning;
}

BOOL CHPSUP::GetIgnoreCertificate()
{
    CSingleLock lock(&GetTable()->GetLock(), TRUE);
    return m_bIgnoreCertificate != 0;
}

void CHPSUP::SetIgnoreCertificate()
{
    CSingleLock lock(&GetTable()->GetLock(), TRUE);
    m_bIgnoreCertificate = 1;
}

// ---------------------------------------------------------------------------------------
// CHPS

CHPS::CHPS(CHost* pOwner, UINT nPort, UINT nSchemeIndex)
    : m_pOwner(pOwner),
      m_nPort(nPort),
      m_nSchemeIndex(nSchemeIndex),
      m_nSchemeKind(CUrlString::GetSchemeEntry(nSchemeIndex).nSchemeType)
{
    const CHPSTable* pTable = pOwner->GetTable();
    m_nUrlsPerExtraTask = 1;
    m_nGrowthBase = 2;
    switch (m_nSchemeKind) {
    case SCHEME_KIND_FTP:
        m_nTaskLimit = pTable->m_nMaxFtpTasksPerHost;
        m_nUrlsPerExtraTask = pTable->m_nUrlsPerExtraFtpTask;
        m_nGrowthBase = 4;
        break;
    case SCHEME_KIND_HTTP:
        m_nTaskLimit = pTable->m_nMaxHttpTasksPerHost;
        break;
    case SCHEME_KIND_HTTPS:
        m_nTaskLimit = pTable->m_nMaxHttpsTasksPerHost;
        break;
    case SCHEME_KIND_FILE:
        m_nTaskLimit = pTable->m_nMaxFileTasksPerHost;
        break;
    default:
        m_nTaskLimit = pTable->m_nMaxOtherTasksPerHost;
        m_nGrowthBase = 4;
        break;
    }
}

CHPS::~CHPS()
{
    while (m_pNext)
        m_pNext = std::move(m_pNext->m_pNext);
}

CHPSUP* CHPS::FindOrAddHpsup(LPCTSTR lpszUser, LPCTSTR lpszPassword)
{
    CSingleLock lock(&m_pOwner->GetTable()->GetLock(), TRUE);
    for (CHPSUP* pEntry = m_pFirst.get(); pEntry != nullptr; pEntry = pEntry->m_pNext.get()) {
        if (pEntry->Matches(lpszUser, lpszPassword))
            return pEntry;
    }
    auto pEntry = std::make_unique<CHPSUP>(this, lpszUser, lpszPassword);
    pEntry->m_pNext = std::move(m_pFirst);
    m_pFirst = std::move(pEntry);
    return m_pFirst.get();
}

int CHPS::GetConnectionLimit()
{
    CHPSTable* pTable = m_pOwner->GetTable();
    CSingleLock lock(&pTable->GetLock(), TRUE);
    if (m_nSchemeKind != SCHEME_KIND_HTTP && m_nSchemeKind != SCHEME_KIND_HTTPS)
        return m_nTaskLimit;
    switch (m_dwHttpVersion & 0xF) {
    case 0:
        return 1;
    case 3:
        return pTable->m_nMaxConnectionsPerServer;
    default:
        return pTable->m_nMaxConnectionsPer1_0Server;
    }
}

int CHPS::GetFreeSlots()
{
    CSingleLock lock(&m_pOwner->GetTable()->GetLock(), TRUE);
    return std::min(GetConnectionLimit() - m_nRunning, m_pOwner->GetFreeSlots());
}

void CHPS::SetServerHttpVersion(int nCode)
{
    CHPSTable* pTable = m_pOwner->GetTable();
    CSingleLock lock(&pTable->GetLock(), TRUE);
    if (nCode == 3 && (pTable->GetWinInetCaps() & WININET_CAP_HTTP11) == 0)
        nCode = 2;
    const DWORD dwBefore = m_dwHttpVersion;
    m_dwHttpVersion = (m_dwHttpVersion & ~0xFu) | (static_cast<DWORD>(nCode) & 0xF);
    if (m_dwHttpVersion != dwBefore)
        pTable->NotifyWork();   // the server's connection limit follows its version
}

int CHPS::GetServerHttpVersion()
{
    CSingleLock lock(&m_pOwner->GetTable()->GetLock(), TRUE);
    return static_cast<int>(m_dwHttpVersion & 0xF);
}

LPCTSTR CHPS::GetServerHttpVersionText()
{
    const int nCode = GetServerHttpVersion();
    return nCode == 1 || nCode == 2 ? "HTTP/1.0" : "HTTP/1.1";
}

void CHPS::AddHeadSuccess()
{
    CSingleLock lock(&m_pOwner->GetTable()->GetLock(), TRUE);
    if (m_nHeadSuccesses < 255)
        ++m_nHeadSuccesses;
}

void CHPS::AddHeadFailure()
{
    CSingleLock lock(&m_pOwner->GetTable()->GetLock(), TRUE);
    if (m_nHeadFailures < 255)
        ++m_nHeadFailures;
}

BOOL CHPS::HeadCallsForGet()
{
    CSingleLock lock(&m_pOwner->GetTable()->GetLock(), TRUE);
    return m_nHeadSuccesses == 0 && m_nHeadFailures >= 2;
}

// ---------------------------------------------------------------------------------------
// CHost

CHost::CHost(CHPSTable* pOwner, DWORD dwHash, LPCTSTR lpszName)
    : m_pOwner(pOwner), m_dwHash(dwHash), m_strName(lpszName)
{
}

CHost::~CHost()
{
    while (m_pNext)
        m_pNext = std::move(m_pNext->m_pNext);
}

CHPS* CHost::FindOrAddHps(UINT nPort, UINT nSchemeIndex)
{
    CSingleLock lock(&m_pOwner->GetLock(), TRUE);
    // Keyed by the scheme's row rather than its internet number alone, so that two schemes
    // without a number of their own keep their names apart.
    for (CHPS* pHps = m_pFirst.get(); pHps != nullptr; pHps = pHps->m_pNext.get()) {
        if (pHps->m_nPort == nPort && pHps->m_nSchemeIndex == nSchemeIndex)
            return pHps;
    }
    auto pHps = std::make_unique<CHPS>(this, nPort, nSchemeIndex);
    pHps->m_pNext = std::move(m_pFirst);
    m_pFirst = std::move(pHps);
    return m_pFirst.get();
}

int CHost::GetFreeSlots()
{
    CSingleLock lock(&m_pOwner->GetLock(), TRUE);
    int nLimit = m_pOwner->m_nMaxTotalTasksPerHost;
    // A named host that has not answered yet gets one worker until it has.
    if (!m_strName.IsEmpty() && (m_bNotFound != 0 || m_bReached == 0))
        nLimit = 1;
    return std::min(nLimit - m_nRunning, m_pOwner->GetFreeSlots());
}

void CHost::SetNotFound()
{
    CSingleLock lock(&m_pOwner->GetLock(), TRUE);
    m_bNotFound = 1;
}

BOOL CHost::IsNotFound()
{
    CSingleLock lock(&m_pOwner->GetLock(), TRUE);
    return m_bNotFound != 0;
}

void CHost::SetReached()
{
    CSingleLock lock(&m_pOwner->GetLock(), TRUE);
    if (m_bReached != 0)
        return;
    m_bReached = 1;
    m_pOwner->NotifyWork();   // a reached host takes more than one worker
}

BOOL CHost::IsReached()
{
    CSingleLock lock(&m_pOwner->GetLock(), TRUE);
    return m_bReached != 0;
}

int CHost::GetRunningCount()
{
    CSingleLock lock(&m_pOwner->GetLock(), TRUE);
    return m_nRunning;
}

// ---------------------------------------------------------------------------------------
// CHPSTable

CHPSTable::CHPSTable(const CConnectOptions& options, DWORD dwWinInetCaps, UINT nBuckets)
    : m_buckets(std::max(nBuckets, 1u)),
      m_dwWinInetCaps(dwWinInetCaps),
      m_nMaxHttpTasksPerHost(options.GetMaxHttpTasksPerHost()),
      m_nMaxHttpsTasksPerHost(options.GetMaxHttpsTasksPerHost()),
      m_nUrlsPerExtraHttpsTask(options.GetUrlsPerExtraHttpsTask()),
      m_nMaxFileTasksPerHost(options.GetMaxFileTasksPerHost()),
      m_nMaxFtpTasksPerHost(options.GetMaxFtpTasksPerHost()),
      m_nUrlsPerExtraFtpTask(options.GetUrlsPerExtraFtpTask()),
      m_nMaxOtherTasksPerHost(options.GetMaxOtherTasksPerHost()),
      m_nMaxTotalTasksPerHost(options.GetMaxTotalTasksPerHost()),
      m_nMaxTotalTasks(options.GetMaxTotalTasks())
{
    m_nMaxConnectionsPer1_0Server =
        static_cast<int>(ReadRegistryDword(HKEY_CURRENT_USER, kInternetSettingsKey, "MaxConnectionsPer1_0Server", 4));
    m_nMaxConnectionsPerServer =
        static_cast<int>(ReadRegistryDword(HKEY_CURRENT_USER, kInternetSettingsKey, "MaxConnectionsPerServer", 2));
}

CHPSTable::~CHPSTable()
{
    while (m_pFree != nullptr) {
        CURLToCheck* pNext = m_pFree->m_pNext;
        delete m_pFree;
        m_pFree = pNext;
    }
    for (auto& pHost : m_buckets) {
        while (pHost)
            pHost = std::move(pHost->m_pNext);
    }
}

DWORD CHPSTable::HashHostName(LPCTSTR lpszName)
{
    DWORD dwHash = 42;
    for (LPCTSTR p = lpszName; p != nullptr && *p != '\0'; ++p) {
        const signed char ch = static_cast<signed char>(*p);
        dwHash = dwHash * 2416u + static_cast<DWORD>(static_cast<int>(ch)) + 374441u;
    }
    return dwHash;
}

CHost* CHPSTable::FindOrAddHost(LPCTSTR lpszName)
{
    CSingleLock lock(&m_lock, TRUE);
    if (lpszName == nullptr)
        lpszName = "";
    const DWORD dwHash = HashHostName(lpszName);
    std::unique_ptr<CHost>* pLink = &m_buckets[dwHash % m_buckets.size()];
    // The chain is kept in ascending order of hash, then name.
    while (*pLink) {
        CHost* pHost = pLink->get();
        if (pHost->m_dwHash == dwHash) {
            const int nOrder = CompareNames(pHost->m_strName, lpszName);
            if (nOrder == 0)
                return pHost;
            if (nOrder > 0)
                break;
        } else if (pHost->m_dwHash > dwHash) {
            break;
        }
        pLink = &pHost->m_pNext;
    }
    auto pHost = std::make_unique<CHost>(this, dwHash, lpszName);
    pHost->m_pNext = std::move(*pLink);
    *pLink = std::move(pHost);
    return pLink->get();
}

CURLToCheck* CHPSTable::NewUrlRecord()
{
    CSingleLock lock(&m_lock, TRUE);
    if (m_pFree == nullptr)
        return new CURLToCheck;
    CURLToCheck* pRecord = m_pFree;
    m_pFree = pRecord->m_pNext;
    pRecord->m_pNext = nullptr;
    return pRecord;
}

void CHPSTable::AddUrl(DWORD_PTR dwCallerId, int nLinkKind, BYTE bFetch, LPCTSTR lpszHost, UINT nPort,
    UINT nSchemeIndex, LPCTSTR lpszUser, LPCTSTR lpszPassword, LPCTSTR lpszPath, LPCTSTR lpszParams,
    LPCTSTR lpszQuery, LPCTSTR lpszFragment, LPCTSTR lpszFormData)
{
    CSingleLock lock(&m_lock, TRUE);
    CHPSUP* pEntry = FindOrAddHost(lpszHost)->FindOrAddHps(nPort, nSchemeIndex)->FindOrAddHpsup(lpszUser, lpszPassword);
    CURLToCheck* pRecord = NewUrlRecord();
    pRecord->SetPath(lpszPath);
    pRecord->m_strParams = lpszParams;
    pRecord->m_strQuery = lpszQuery;
    pRecord->m_strFragment = lpszFragment;
    pRecord->m_strFormData = lpszFormData;
    pRecord->m_bHasFormData = lpszFormData != nullptr;
    pRecord->m_dwCallerId = dwCallerId;
    pRecord->m_nLinkKind = nLinkKind;
    pRecord->m_bFetch = bFetch != 0 ? 1 : 0;
    pRecord->m_nTryCount = 0;
    pRecord->m_bRequeued = 0;
    pEntry->EnqueueUrl(pRecord);
}

CURLToCheck* CHPSTable::TakeNextUrl()
{
    CSingleLock lock(&m_lock, TRUE);
    // Turning the list by one on every call lets the entries take turns.
    if (m_nReady >= 2) {
        CHPSUP* pHead = m_pReadyHead;
        UnlinkReady(pHead);
        AppendReady(pHead);
    }
    for (CHPSUP* pEntry = m_pReadyHead; pEntry != nullptr; pEntry = pEntry->m_pNextReady) {
        if (pEntry->GetStartableCount() <= 0)
            continue;
        CURLToCheck* pRecord = pEntry->DequeueUrl();
        if (pRecord != nullptr) {
            ++pEntry->m_nRunning;
            ++pEntry->m_pOwner->m_nRunning;
            ++pEntry->m_pOwner->m_pOwner->m_nRunning;
            ++m_nRunning;
        }
        return pRecord;
    }
    return nullptr;
}

CURLToCheck* CHPSTable::TakeNextUrlOfSameHps(CHPSUP* pHpsup)
{
    CSingleLock lock(&m_lock, TRUE);
    return pHpsup->DequeueUrl();
}

void CHPSTable::ReleaseUrl(CURLToCheck* pRecord)
{
    if (pRecord == nullptr)
        return;
    CSingleLock lock(&m_lock, TRUE);
    pRecord->Clear();
    pRecord->m_pNext = m_pFree;
    m_pFree = pRecord;
}

int CHPSTable::GetFreeSlots()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_nMaxTotalTasks - m_nRunning;
}

int CHPSTable::GetRunningCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_nRunning;
}

int CHPSTable::GetReadyCount()
{
    CSingleLock lock(&m_lock, TRUE);
    return m_nReady;
}

void CHPSTable::SetServerConnectionLimits(int nPer1_0Server, int nPerServer)
{
    CSingleLock lock(&m_lock, TRUE);
    m_nMaxConnectionsPer1_0Server = nPer1_0Server;
    m_nMaxConnectionsPerServer = nPerServer;
}

void CHPSTable::AppendReady(CHPSUP* pEntry)
{
    if (pEntry->m_bInReadyList)
        return;
    pEntry->m_pNextReady = nullptr;
    pEntry->m_pPrevReady = m_pReadyTail;
    if (m_pReadyTail != nullptr)
        m_pReadyTail->m_pNextReady = pEntry;
    else
        m_pReadyHead = pEntry;
    m_pReadyTail = pEntry;
    pEntry->m_bInReadyList = true;
    ++m_nReady;
}

void CHPSTable::UnlinkReady(CHPSUP* pEntry)
{
    if (!pEntry->m_bInReadyList)
        return;
    if (pEntry->m_pPrevReady != nullptr)
        pEntry->m_pPrevReady->m_pNextReady = pEntry->m_pNextReady;
    else
        m_pReadyHead = pEntry->m_pNextReady;
    if (pEntry->m_pNextReady != nullptr)
        pEntry->m_pNextReady->m_pPrevReady = pEntry->m_pPrevReady;
    else
        m_pReadyTail = pEntry->m_pPrevReady;
    pEntry->m_pNextReady = nullptr;
    pEntry->m_pPrevReady = nullptr;
    pEntry->m_bInReadyList = false;
    --m_nReady;
}
