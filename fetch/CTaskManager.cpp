#include "fetch/CTaskManager.h"

#include "engine/html/ITaskManager.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/CUrlString.h"
#include "engine/project/SystemUtil.h"
#include "fetch/CRefChecker.h"
#include "fetch/CReportSequence.h"
#include "fetch/FetchStringTable.h"
#include "fetch/ResultCodes.h"
#include "fetch/UrlCredentials.h"
#include "keywords/CExtractor.h"
#include "keywords/CExtractorDoc.h"
#include "platform/core/CException.h"
#include "platform/core/CWinThread.h"
#include "platform/core/Interlocked.h"
#include "platform/core/KernelObject.h"
#include "platform/core/SystemServices.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/TickCount.h"
#include "platform/net/CInternetException.h"
#include "platform/net/CInternetSession.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <chrono>
#include <ctime>
#include <iterator>
#include <ostream>

IMPLEMENT_DYNAMIC(CTaskManager, CObject)

namespace {

constexpr LPCTSTR kBackendVersion = "X534 (Jun 23 1999 09:40:18)";
constexpr int kActionLimit = 20;
constexpr UINT kHostBuckets = 1000;
constexpr DWORD kFirstWaitPerThread = 10 * 1000;
constexpr DWORD kSecondWait = 60 * 1000;
constexpr DWORD kLastWait = 30 * 1000;
constexpr UINT kIconError = 0x10;
// The pages whose reports may wait for an earlier page's turn, per check thread.
constexpr size_t kReportsWaitingPerWorker = 32;

struct WININET_CAPABILITY {
    LPCTSTR pszName;
    WORD version[4];
    DWORD dwFlags;
};

constexpr WININET_CAPABILITY kWinInetCapabilities[] = {
    {"IE 3.0", {4, 70, 1155, 0}, 0x0},
    {"IE 3.01", {4, 70, 1215, 0}, 0x0},
    {"IE 3.02", {4, 70, 1300, 0}, 0x8},
    {"IE 3.02", {4, 70, 1323, 0}, 0x8},
    {"IE 3.02", {4, 70, 1434, 0}, 0x8},
    {"IE 3.02", {4, 70, 1439, 0}, 0x8},
    {"IE 4.0", {4, 71, 1712, 5}, 0x1b},
    {"IE 4.01", {4, 72, 2106, 5}, 0x1f},
    {"IE 4.01 SP1", {4, 72, 3110, 0}, 0x1f},
    {"IE 4.01 SP2", {4, 72, 3612, 1700}, 0x3f},
    {"IE 5.0", {5, 0, 2014, 213}, 0x3f},
};

bool VersionNotAbove(const WORD row[4], const WORD installed[4])
{
    for (int i = 0; i < 4; ++i) {
        if (row[i] != installed[i])
            return row[i] < installed[i];
    }
    return true;
}

bool IsSignalled(HANDLE hObject, DWORD dwMilliseconds)
{
    return WaitForSingleObject(hObject, dwMilliseconds) == WAIT_OBJECT_0;
}

DWORD RemainingUntil(ULONGLONG ullDeadline)
{
    const ULONGLONG ullNow = GetTickCount64();
    return ullNow >= ullDeadline ? 0 : static_cast<DWORD>(ullDeadline - ullNow);
}

} // namespace

CTaskManager::CTaskManager(ITaskManager* pSink, std::ostream* pLog, DWORD dwKept, const CConnectOptions* pOptions)
    : m_dwKept(dwKept),
      m_pExtractor(std::make_unique<CExtractor>()),
      m_pConnectOptions(pOptions != nullptr ? std::make_unique<CConnectOptions>(*pOptions)
                                            : std::make_unique<CConnectOptions>()),
      m_pScanOptions(std::make_unique<CScanOptions>()),
      m_pSink(pSink),
      m_stopEvent(FALSE, TRUE),
      m_pLog(pLog),
      m_workerGuard([this](const std::string& strMessage) { OnFirstWorkerError(strMessage); })
{
    InstallFetchStringTable();
    // The library is loaded only to read its version.
    if (HMODULE hWinInet = LoadLibrary("WININET.DLL")) {
        if (!GetModuleFileVersion(hWinInet, &m_wWinInetVersion[0], &m_wWinInetVersion[1], &m_wWinInetVersion[2],
                &m_wWinInetVersion[3])) {
            for (WORD& w : m_wWinInetVersion)
                w = 0;
        }
        FreeLibrary(hWinInet);
    }
    LookupWinInetCapabilities(m_wWinInetVersion, m_strWinInetName, m_dwWinInetCaps);
    m_pHostTable = std::make_unique<CHPSTable>(*m_pConnectOptions, m_dwWinInetCaps, kHostBuckets);
    m_pHostTable->SetWorkHandler([this] { SignalWork(); });
    if (m_pLog != nullptr)
        WriteLogHeader();
}

CTaskManager::~CTaskManager()
{
    if (!m_threads.empty()) {
        RequestStop();
        if (!m_bThreadsStopped)
            StopThreads();
        for (CWinThread* pThread : m_threads) {
            if (pThread == nullptr)
                continue;
            // A thread given up on still runs on this object (its checker, the host table, the
            // stop event). Freeing them under it would corrupt memory, and every worker ends on
            // its own once stop is set (reads and waits are bounded), so wait for it here.
            if (!IsSignalled(pThread->m_hThread, 0)) {
                CString strLine;
                strLine.Format("Waiting for thread 0x%x to end", pThread->m_nThreadID);
                Log(strLine);
                WaitForSingleObject(pThread->m_hThread, INFINITE);
            }
            delete pThread;
        }
        m_threads.clear();
    }
    m_pHostTable.reset();
    if (m_pSession) {
        m_pSession->Close();
        m_pSession.reset();
    }
    m_tasks.clear();
}

void CTaskManager::LookupWinInetCapabilities(const WORD version[4], CString& strName, DWORD& dwFlags)
{
    const WININET_CAPABILITY* pRow = &kWinInetCapabilities[0];
    for (const WININET_CAPABILITY& row : kWinInetCapabilities) {
        if (VersionNotAbove(row.version, version))
            pRow = &row;
    }
    strName = pRow->pszName;
    dwFlags = pRow->dwFlags;
}

void CTaskManager::WriteLogHeader()
{
    char szComputer[256] = {};
    DWORD dwSize = sizeof szComputer;
    if (GetComputerName(szComputer, &dwSize))
        Log("=== Log from: ", szComputer);
    Log("=== Backend Version: ", kBackendVersion);
    CString strVersion;
    strVersion.Format("WININET V%u.%u.%u.%u\n", m_wWinInetVersion[0], m_wWinInetVersion[1], m_wWinInetVersion[2],
        m_wWinInetVersion[3]);
    Log("=== WININET.DLL: ", strVersion);
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char szTime[128] = {};
    std::strftime(szTime, sizeof szTime, " (%H:%M:%S %d-%b-%Y %z)", &local);
    Log("=== Start Time: ", szTime);
    CString strNumber;
    strNumber.Format("%d", kActionLimit);
    Log("=== Action Limit: ", strNumber, "\n");
    strNumber.Format("%d", m_pConnectOptions->GetNumThreads());
    Log("=== Threads: ", strNumber, "\n");
}

void CTaskManager::SetState(TaskManagerState state)
{
    // The one place where the engine's state changes, so that a trace can be hung here. The
    // engine never restarts: once stopped it stays so, and a stop request is not undone.
    CSingleLock lock(&m_stateLock, TRUE);
    if (m_state == TaskManagerState::Stopped)
        return;
    if (m_state == TaskManagerState::StopRequested && state != TaskManagerState::Stopped)
        return;
    m_state = state;
}

TaskManagerState CTaskManager::GetState()
{
    CSingleLock lock(&m_stateLock, TRUE);
    return m_state;
}

void CTaskManager::SetScanOptions(const CScanOptions& options)
{
    *m_pScanOptions = options;
}

BOOL CTaskManager::OpenInternetSession()
{
    if (m_pSession) {
        m_pSession->Close();
        m_pSession.reset();
    }
    InternetAttemptConnect(0);
    const CConnectOptions& options = *m_pConnectOptions;
    const CString strProxy = options.GetProxyList();
    const CString strBypass = options.GetProxyBypass();
    try {
        auto pSession = std::make_unique<CInternetSession>(options.GetAgentName(), 1,
            static_cast<DWORD>(options.GetAccessType()), strProxy.IsEmpty() ? nullptr : strProxy.GetString(),
            strBypass.IsEmpty() ? nullptr : strBypass.GetString(), INTERNET_FLAG_DONT_CACHE);
        // A setting the session refuses is not worth failing the scan for.
        pSession->SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, static_cast<DWORD>(options.GetConnectTimeout()) * 1000);
        pSession->SetOption(INTERNET_OPTION_DATA_SEND_TIMEOUT, static_cast<DWORD>(options.GetDataTimeout()) * 1000);
        pSession->SetOption(INTERNET_OPTION_DATA_RECEIVE_TIMEOUT, static_cast<DWORD>(options.GetDataTimeout()) * 1000);
        pSession->SetOption(INTERNET_OPTION_CONNECT_RETRIES, static_cast<DWORD>(options.GetConnectRetries()));
        pSession->SetOption(INTERNET_OPTION_CONTROL_SEND_TIMEOUT, static_cast<DWORD>(options.GetControlTimeout()) * 1000);
        pSession->SetOption(INTERNET_OPTION_CONTROL_RECEIVE_TIMEOUT,
            static_cast<DWORD>(options.GetControlTimeout()) * 1000);
        // No transfer outlasts a whole check or reads more than it may; the checkers narrow the
        // time to what is left of their check.
        pSession->SetOption(INTERNET_OPTION_TRANSFER_TIME_LIMIT, GetCheckTimeLimitMs());
        pSession->SetOption(INTERNET_OPTION_TRANSFER_SIZE_LIMIT, options.GetCheckSizeLimit());
        m_pSession = std::move(pSession);
    } catch (CInternetException* e) {
        e->ReportError(MB_OK | kIconError);
        e->Delete();
        return 0;
    }
    SetState(TaskManagerState::SessionOpen);
    return 1;
}

bool CTaskManager::QueueUrl(DWORD_PTR dwPage, LPCTSTR lpszUrl, int nLinkKind, BOOL bFetch, LPCTSTR lpszFormData)
{
    return QueueUrl(dwPage, CUrlString(lpszUrl), nLinkKind, bFetch, lpszFormData);
}

bool CTaskManager::QueueUrl(DWORD_PTR dwPage, const CUrlString& url, int nLinkKind, BOOL bFetch, LPCTSTR lpszFormData)
{
    if (url.HasError()) {
        ReportResultCode(dwPage, RC_ERROR_TEXT, url.GetErrorText(), 0);
        m_pSink->OnTaskDone(dwPage);
        return false;
    }
    auto orNull = [](const CString& s) -> LPCTSTR { return s.IsEmpty() ? nullptr : s.GetString(); };
    m_pHostTable->AddUrl(dwPage, nLinkKind, bFetch ? 1 : 0, url.GetHost(), url.GetPort(), url.GetSchemeIndex(),
        orNull(url.GetUser()), orNull(url.GetPassword()), url.GetPath(), url.GetParams(), url.GetQuery(),
        url.GetFragment(), lpszFormData);
    return true;
}

void CTaskManager::StartThreads()
{
    if (!m_threads.empty())
        return;
    // Without one check thread nothing would ever be checked and no page would finish.
    m_nThreadCount = std::max(m_pConnectOptions->GetNumThreads(), 1) + 1;
    for (int i = 0; i < m_nThreadCount; ++i) {
        CWinThread* pThread = AfxBeginThread(i == 0 ? &TaskThreadProc : &CheckThreadProc, this,
            THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
        if (pThread == nullptr)
            continue;
        pThread->m_bAutoDelete = FALSE;
        m_threads.push_back(pThread);
    }
    SetState(TaskManagerState::Running);
    for (CWinThread* pThread : m_threads)
        pThread->ResumeThread();
}

void CTaskManager::RequestStop()
{
    m_stopEvent.SetEvent();
    SetState(TaskManagerState::StopRequested);
    SignalWork();   // idle workers see the stop at once
    // So do workers that wait for their pages' reports to find room.
    std::lock_guard<std::mutex> lock(m_sequencesLock);
    for (const auto& [pEntry, pSequence] : m_sequences)
        pSequence->StopWaiting();
}

void CTaskManager::SignalWork()
{
    {
        std::lock_guard<std::mutex> lock(m_workMutex);
        ++m_nWorkSignals;
    }
    m_workQueued.notify_all();
}

unsigned long long CTaskManager::GetWorkSignalCount()
{
    std::lock_guard<std::mutex> lock(m_workMutex);
    return m_nWorkSignals;
}

void CTaskManager::WaitForWork(unsigned long long nSeen)
{
    // The idle wait of up to a second stays as the bound; what ends it early is new work (or
    // a stop), so that a second worker joins a host the moment it may.
    const DWORD dwWait = 1000 + GetTickCount() % 100;
    std::unique_lock<std::mutex> lock(m_workMutex);
    m_workQueued.wait_for(lock, std::chrono::milliseconds(dwWait), [&] { return m_nWorkSignals != nSeen; });
}

BOOL CTaskManager::IsStopRequested()
{
    return IsSignalled(m_stopEvent, 0);
}

BOOL CTaskManager::IdleWait(int nSeconds)
{
    const DWORD dwWait = static_cast<DWORD>(nSeconds) * 1000 + GetTickCount() % 100;
    return IsSignalled(m_stopEvent, dwWait);
}

void CTaskManager::StopThreads()
{
    StopThreadsImpl();
    m_bThreadsStopped = true;
    SetState(TaskManagerState::Stopped);
}

void CTaskManager::StopThreadsImpl()
{
    for (CWinThread*& pThread : m_threads) {
        if (pThread != nullptr && IsSignalled(pThread->m_hThread, kFirstWaitPerThread)) {
            delete pThread;
            pThread = nullptr;
        }
    }
    const ULONGLONG ullSecondDeadline = GetTickCount64() + kSecondWait;
    for (CWinThread*& pThread : m_threads) {
        if (pThread == nullptr)
            continue;
        if (IsSignalled(pThread->m_hThread, RemainingUntil(ullSecondDeadline))) {
            delete pThread;
            pThread = nullptr;
        } else {
            CString strLine;
            strLine.Format("Thread 0x%x failed to terminate after 60 secs", pThread->m_nThreadID);
            Log(strLine);
        }
    }
    // Transfers still running fail at once when their session closes. Done whenever a session
    // is there, even when every thread has ended, so that nothing of it outlives the stop.
    if (m_pSession) {
        Log("Emergency session close!");
        m_pSession->Close();
    }
    const ULONGLONG ullLastDeadline = GetTickCount64() + kLastWait;
    for (CWinThread*& pThread : m_threads) {
        if (pThread == nullptr)
            continue;
        if (IsSignalled(pThread->m_hThread, RemainingUntil(ullLastDeadline))) {
            delete pThread;
            pThread = nullptr;
            continue;
        }
        CString strLine;
        strLine.Format("Thread 0x%x failed to terminate after 90 secs", pThread->m_nThreadID);
        Log(strLine);
        strLine.Format("Blowing away thread 0x%x", pThread->m_nThreadID);
        Log(strLine);
        // Only detaches the thread: its object stays until the destructor has seen it end.
        TerminateThread(pThread->m_hThread, 0);
    }
}

LONG CTaskManager::GetUrlsDone() const
{
    return InterlockedCompareExchange(const_cast<volatile LONG*>(&m_nUrlsDone), 0, 0);
}

BOOL CTaskManager::AreTasksFinished()
{
    CSingleLock lock(&m_taskLock, TRUE);
    return m_bTasksFinished;
}

CExtractorDoc* CTaskManager::NewExtractorDocument()
{
    CExtractorDoc* pDoc = m_pExtractor->NewDocument();
    if (pDoc != nullptr)
        pDoc->SetScaledBeta(m_pScanOptions->GetExtractorBeta1000() * 0.001);
    return pDoc;
}

DWORD CTaskManager::GetCheckTimeLimitMs() const
{
    const int nSeconds = m_pConnectOptions->GetCheckTimeLimit();
    return nSeconds <= 0 ? 0 : static_cast<DWORD>(std::min(nSeconds, 0x7FFFFFFF / 1000)) * 1000;
}

BOOL CTaskManager::HasKeywordEngine() const
{
    return m_pExtractor && m_pExtractor->GetEngine() != nullptr;
}

BOOL CTaskManager::UsesProxy() const
{
    if (m_pSession) {
        alignas(INTERNET_PROXY_INFO) char buffer[2048] = {};
        DWORD dwLength = sizeof buffer;
        if (m_pSession->QueryOption(INTERNET_OPTION_PROXY, buffer, &dwLength)) {
            const auto* pInfo = reinterpret_cast<const INTERNET_PROXY_INFO*>(buffer);
            return pInfo->dwAccessType != INTERNET_OPEN_TYPE_DIRECT;
        }
        return TRUE;
    }
    switch (m_pConnectOptions->GetAccessType()) {
    case 1:
        return FALSE;
    case CConnectOptions::kAccessProxy:
        return TRUE;
    default:
        break;
    }
    // The process-wide setting: the proxy variables of the environment.
    for (LPCTSTR lpszName : {"http_proxy", "HTTP_PROXY", "https_proxy", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"}) {
        LPCTSTR lpszValue = std::getenv(lpszName);
        if (lpszValue != nullptr && *lpszValue != '\0')
            return TRUE;
    }
    return FALSE;
}

void CTaskManager::Log(LPCTSTR a, LPCTSTR b, LPCTSTR c)
{
    if (m_pLog == nullptr)
        return;
    char szPrefix[16];
    std::snprintf(szPrefix, sizeof szPrefix, "%08x: ", static_cast<unsigned>(GetCurrentThreadId()));
    CSingleLock lock(&m_logLock, TRUE);
    *m_pLog << szPrefix;
    // Request headers and URLs carry the user's credentials: none of them reach the log.
    for (LPCTSTR lpszText : {a, b, c}) {
        if (lpszText != nullptr)
            *m_pLog << RedactCredentials(lpszText).GetString();
    }
    *m_pLog << '\n';
    m_pLog->flush();
}

void CTaskManager::ReportResultCode(DWORD_PTR dwPage, DWORD dwCode, LPCTSTR lpszInsert1, DWORD_PTR dwInsert2)
{
    const RESULT_CODE_ENTRY& row = FindResultCode(dwCode);
    m_pSink->ReportResult(dwPage, row.dwClass, row.dwCode, row.nStringId, lpszInsert1, dwInsert2);
}

BOOL CTaskManager::GetProxyCredentials(CString& strUser, CString& strPassword) const
{
    return m_pConnectOptions->GetProxyCredentials(strUser, strPassword);
}

BOOL CTaskManager::GetFtpCredentials(CString& strUser, CString& strPassword) const
{
    return m_pConnectOptions->GetFtpCredentials(strUser, strPassword);
}

BOOL CTaskManager::GetHttpCredentials(CString& strUser, CString& strPassword) const
{
    return m_pConnectOptions->GetHttpCredentials(strUser, strPassword);
}

BOOL CTaskManager::GetProxyFtpCern() const
{
    return m_pConnectOptions->GetProxyFtpCern() != 0;
}

BOOL CTaskManager::GetHttpAcceptCookies() const
{
    return m_pConnectOptions->GetHttpAcceptCookies() != 0;
}

const CString& CTaskManager::GetIndexFilename() const
{
    return m_pConnectOptions->GetIndexFilename();
}

// ---------------------------------------------------------------------------------------
// Worker threads

UINT CTaskManager::TaskThreadProc(LPVOID pParam)
{
    static_cast<CTaskManager*>(pParam)->RunWorker(&CTaskManager::RunTasks);
    return 0;
}

UINT CTaskManager::CheckThreadProc(LPVOID pParam)
{
    static_cast<CTaskManager*>(pParam)->RunWorker(&CTaskManager::RunChecks);
    return 0;
}

void CTaskManager::RunWorker(void (CTaskManager::*pfnLoop)())
{
    // Nothing may unwind out of a thread entry: an escaped exception stops the engine instead.
    if (!m_workerGuard.Run([&] { (this->*pfnLoop)(); }))
        StopOnError();
}

void CTaskManager::OnFirstWorkerError(const std::string& strMessage)
{
    Log("Stopping after an error: ", strMessage.c_str());
}

CString CTaskManager::GetStopErrorText() const
{
    return CString(m_workerGuard.GetFirstError().c_str());
}

void CTaskManager::StopOnError()
{
    // The pages still queued will never be reported done, so an owner waiting for them must
    // hear of the stop. A failure while the owner's own stop is under way tells it nothing new.
    const bool bUnasked = !IsStopRequested();
    RequestStop();
    if (!bUnasked || m_bStoppedOnError.exchange(true))
        return;
    if (!m_onErrorStop)
        return;
    // Called from a worker's last guard: what the handler throws is kept like any other error.
    m_workerGuard.Run(m_onErrorStop);
}

void CTaskManager::RunTasks()
{
    for (;;) {
        std::unique_ptr<CTask> pTask;
        {
            CSingleLock lock(&m_taskLock, TRUE);
            if (m_tasks.empty()) {
                m_bTasksFinished = TRUE;
                return;
            }
            pTask = std::move(m_tasks.front());
            m_tasks.pop_front();
        }
        pTask->Run();
        pTask.reset();
        if (IsStopRequested()) {
            CSingleLock lock(&m_taskLock, TRUE);
            m_bTasksFinished = TRUE;
            return;
        }
    }
}

bool CTaskManager::CheckOneUrl(CRefChecker& checker, CURLToCheck* pRecord)
{
    const bool bChecked = m_workerGuard.Run([&] {
        if (checker.Check(pRecord))
            checker.CheckMore();
        checker.Finish();
    });
    if (bChecked)
        return true;
    Log("Exception while checking ", pRecord->GetDisplayUrl(), ": stopping");
    StopOnError();
    return false;
}

CReportSequence* CTaskManager::GetReportSequence(CHPSUP* pEntry)
{
    // A server is checked by few workers, each reporting as it goes; the pages of this machine
    // are read by as many as the table lets in, and must still reach the owner in their order.
    if (pEntry->GetHps()->GetSchemeKind() != SCHEME_KIND_FILE)
        return nullptr;
    std::lock_guard<std::mutex> lock(m_sequencesLock);
    std::unique_ptr<CReportSequence>& pSequence = m_sequences[pEntry];
    if (!pSequence) {
        // A few pages' reports per worker are room enough for a page that takes long while the
        // others go on; more would only pile up while the owner files them.
        const int nWorkers = std::max(m_pConnectOptions->GetNumThreads(), 1);
        pSequence = std::make_unique<CReportSequence>(static_cast<size_t>(nWorkers) * kReportsWaitingPerWorker);
        // A stop asked before the sequence was made must not leave a worker waiting in it.
        if (IsStopRequested())
            pSequence->StopWaiting();
    }
    return pSequence.get();
}

void CTaskManager::PassOnReports(CReportSequence& sequence, const CURLToCheck& record, CRecordedReports& recorded)
{
    // Handed over even after a failed check: the URLs after it wait for its turn.
    if (m_workerGuard.Run([&] { sequence.HandOver(record.GetTakenOrder(), recorded.Take(), *m_pSink); }))
        return;
    Log("Exception while reporting ", record.GetDisplayUrl(), ": stopping");
    StopOnError();
}

void CTaskManager::RunChecks()
{
    CHPSTable& table = *m_pHostTable;
    while (!IsStopRequested()) {
        // Read before looking, so that work queued between the look and the wait is not missed.
        const unsigned long long nSeen = GetWorkSignalCount();
        CURLToCheck* pRecord = table.TakeNextUrl();
        if (pRecord == nullptr) {
            WaitForWork(nSeen);
            continue;
        }
        CHPSUP* pEntry = pRecord->GetHpsup();
        CReportSequence* pSequence = nullptr;
        CRecordedReports recorded;
        std::unique_ptr<CRefChecker> pChecker;
        if (!m_workerGuard.Run([&] {
                pSequence = GetReportSequence(pEntry);
                pChecker = CreateRefChecker(this, pSequence != nullptr ? &recorded : m_pSink, pEntry);
            }))
            StopOnError();
        while (pRecord != nullptr) {
            if (pChecker)
                CheckOneUrl(*pChecker, pRecord);
            if (pSequence != nullptr)
                PassOnReports(*pSequence, *pRecord, recorded);
            if (!pRecord->IsRequeued())
                InterlockedIncrement(&m_nUrlsDone);
            table.ReleaseUrl(pRecord);
            pRecord = IsStopRequested() ? nullptr : table.TakeNextUrlOfSameHps(pEntry);
        }
        pChecker.reset();
        pEntry->ReleaseHps();
    }
}
