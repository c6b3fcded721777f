// CTaskManager: the fetch engine object. A pool of worker threads takes the queued URLs from the
// host table by host, checks each with the reference checker of its scheme, and reports what it
// finds to its owner's ITaskManager; it also holds the options, the keyword extractor, the stop
// event and the optional log.
#pragma once

#include "fetch/CHPSTable.h"
#include "platform/core/CObject.h"
#include "platform/core/CString.h"
#include "platform/core/ErrorGuard.h"
#include "platform/core/SyncObjects.h"
#include "platform/core/Types.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <iosfwd>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

class CConnectOptions;
class CExtractor;
class CRecordedReports;
class CReportSequence;
class CExtractorDoc;
class CInternetSession;
class CScanOptions;
class CUrlString;
class CWinThread;
class ITaskManager;

// A job for thread 0. Nothing in the program queues one yet; the thread drains the list.
class CTask {
public:
    virtual ~CTask() = default;
    virtual void Run() = 0;
};

// Where the engine stands; changed only through CTaskManager::SetState.
enum class TaskManagerState {
    Made,
    SessionOpen,
    Running,
    StopRequested,
    Stopped,
};

class CTaskManager : public CObject {
    DECLARE_DYNAMIC(CTaskManager)
public:
    // The sink and the log stream are not owned; the connection options are copied (null:
    // defaults). Writes the log header when there is a log stream.
    CTaskManager(ITaskManager* pSink, std::ostream* pLog, DWORD dwKept, const CConnectOptions* pOptions);
    // Stops the threads that are still running first, and waits for any given up on.
    ~CTaskManager() override;
    CTaskManager(const CTaskManager&) = delete;
    CTaskManager& operator=(const CTaskManager&) = delete;

    // Replaces the scan options by a copy. Before StartThreads only.
    void SetScanOptions(const CScanOptions& options);
    // 1 when a session is open, 0 when making it failed.
    BOOL OpenInternetSession();
    // Queues a URL for the page id; false (the URL reported as bad and finished) when it does not
    // parse. The owner's thread calls it, also while the workers run.
    bool QueueUrl(DWORD_PTR dwPage, LPCTSTR lpszUrl, int nLinkKind, BOOL bFetch, LPCTSTR lpszFormData = nullptr);
    // The same with the URL parsed already.
    bool QueueUrl(DWORD_PTR dwPage, const CUrlString& url, int nLinkKind, BOOL bFetch, LPCTSTR lpszFormData = nullptr);
    // Starts NumThreads + 1 threads once: thread 0 runs the task list, the others check URLs.
    void StartThreads();
    // Sets the stop event. Callable from any thread.
    void RequestStop();
    // After RequestStop: waits for the threads (10 s each, then up to 60 s, then 30 s more) and
    // gives up on those that still run; the destructor still waits for those before it frees
    // what they use. Called by one thread, never by a worker.
    void StopThreads();
    // The function called once, on the worker thread that failed, when the engine stops on its
    // own because an exception escaped a check (not when its owner asked for the stop). It must
    // not wait for the engine's threads. Before StartThreads only.
    void SetErrorStopHandler(std::function<void()> handler) { m_onErrorStop = std::move(handler); }
    // TRUE once the engine has stopped on its own after an escaped exception. Callable from any
    // thread.
    BOOL HasStoppedOnError() const { return m_bStoppedOnError.load() ? TRUE : FALSE; }
    // The message of the first error that escaped a worker (and so stopped the engine); empty
    // when none did. Callable from any thread.
    CString GetStopErrorText() const;

    // For the checkers; callable from any worker thread.
    const CConnectOptions& GetConnectOptions() const { return *m_pConnectOptions; }
    const CScanOptions& GetScanOptions() const { return *m_pScanOptions; }
    CHPSTable& GetHostTable() { return *m_pHostTable; }
    // Null when no session is open. Closed (not deleted) by a stop that has to hurry.
    CInternetSession* GetSession() const { return m_pSession.get(); }
    ITaskManager* GetSink() const { return m_pSink; }
    BOOL IsStopRequested();
    // Waits on the stop event for n seconds plus up to 99 ms; TRUE when stop was requested.
    BOOL IdleWait(int nSeconds);
    // A new keyword engine document for one page, owned by the caller; null when none can be made.
    CExtractorDoc* NewExtractorDocument();
    // FALSE when the keyword engine could not be made, so that no page gets suggestions.
    BOOL HasKeywordEngine() const;
    BOOL HasWinInetCapability(DWORD dwMask) const { return (m_dwWinInetCaps & dwMask) == dwMask; }
    DWORD GetWinInetCaps() const { return m_dwWinInetCaps; }
    const CString& GetWinInetName() const { return m_strWinInetName; }
    BOOL UsesProxy() const;
    // The most one check may take, in milliseconds (0: no limit).
    DWORD GetCheckTimeLimitMs() const;
    BOOL IsLogging() const { return m_pLog != nullptr; }
    // One log line: the thread id as "%08x: ", the texts given, an end of line, a flush.
    void Log(LPCTSTR a, LPCTSTR b = nullptr, LPCTSTR c = nullptr);
    // Sends the result row of the code to the sink. Callable from any worker thread.
    void ReportResultCode(DWORD_PTR dwPage, DWORD dwCode, LPCTSTR lpszInsert1, DWORD_PTR dwInsert2);
    BOOL GetProxyCredentials(CString& strUser, CString& strPassword) const;
    BOOL GetFtpCredentials(CString& strUser, CString& strPassword) const;
    BOOL GetHttpCredentials(CString& strUser, CString& strPassword) const;
    BOOL GetProxyFtpCern() const;
    BOOL GetHttpAcceptCookies() const;
    const CString& GetIndexFilename() const;

    int GetThreadCount() const { return m_nThreadCount; }
    LONG GetUrlsDone() const;
    BOOL AreTasksFinished();
    TaskManagerState GetState();
    DWORD GetKeptWord() const { return m_dwKept; }

    // Picks the capability row for an internet library version: the last row not above it, or
    // the first row when none qualifies.
    static void LookupWinInetCapabilities(const WORD version[4], CString& strName, DWORD& dwFlags);

private:
    static UINT TaskThreadProc(LPVOID pParam);
    static UINT CheckThreadProc(LPVOID pParam);
    // Runs a worker thread's loop; an exception that escapes it stops the engine.
    void RunWorker(void (CTaskManager::*pfnLoop)());
    void RunTasks();
    void RunChecks();
    // Checks one URL with the checker; false when an exception escaped (the engine then stops).
    bool CheckOneUrl(class CRefChecker& checker, CURLToCheck* pRecord);
    // The turn in which the entry's reports reach the sink, for an entry that several workers
    // check at once (local files); null for one that reports as its worker goes.
    CReportSequence* GetReportSequence(CHPSUP* pEntry);
    // Tells the sink what the checks of the entry's URLs reported, when their turn has come.
    void PassOnReports(CReportSequence& sequence, const CURLToCheck& record, CRecordedReports& recorded);
    void SetState(TaskManagerState state);
    // Sets the stop event after an exception escaped a worker, and tells the owner the first
    // time when the stop is the engine's own. Worker threads only.
    void StopOnError();
    // Logs the first error that escaped a worker; called once, by the worker guard.
    void OnFirstWorkerError(const std::string& strMessage);
    void WriteLogHeader();
    // The work signal: raised by the host table whenever an idle worker may find a URL, and by
    // a stop. Callable from any thread.
    void SignalWork();
    unsigned long long GetWorkSignalCount();
    // Waits up to a second (plus up to 99 ms) until the signal count differs from nSeen.
    void WaitForWork(unsigned long long nSeen);
    void StopThreadsImpl();

    DWORD m_dwKept;
    std::unique_ptr<CExtractor> m_pExtractor;
    std::unique_ptr<CConnectOptions> m_pConnectOptions;
    std::unique_ptr<CScanOptions> m_pScanOptions;
    ITaskManager* m_pSink;
    int m_nThreadCount = 0;
    std::vector<CWinThread*> m_threads;   // owned; automatic deletion off
    std::unique_ptr<CHPSTable> m_pHostTable;
    CCriticalSection m_taskLock;
    std::deque<std::unique_ptr<CTask>> m_tasks;
    BOOL m_bTasksFinished = FALSE;
    CEvent m_stopEvent;
    volatile LONG m_nUrlsDone = 0;
    std::unique_ptr<CInternetSession> m_pSession;
    WORD m_wWinInetVersion[4] = {0, 0, 0, 0};
    CString m_strWinInetName;
    DWORD m_dwWinInetCaps = 0;
    CCriticalSection m_logLock;
    std::ostream* m_pLog;
    CCriticalSection m_stateLock;
    TaskManagerState m_state = TaskManagerState::Made;
    bool m_bThreadsStopped = false;
    std::function<void()> m_onErrorStop;
    std::atomic<bool> m_bStoppedOnError{false};
    // The report turns of the entries of local files, made when a worker first takes one.
    std::mutex m_sequencesLock;
    std::unordered_map<CHPSUP*, std::unique_ptr<CReportSequence>> m_sequences;
    std::mutex m_workMutex;
    std::condition_variable m_workQueued;
    unsigned long long m_nWorkSignals = 0;
    // Every worker's entry and every check runs through it; it keeps the first error.
    ErrorGuard m_workerGuard;
};
