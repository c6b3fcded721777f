// CParserEngine: the project's work on its pages. A scan drives a fetch engine over the
// selected pages and files the titles, META tags and keywords it reports into the pages and the
// catalogue; the enumeration thread walks the project folder into the page tree; the save
// thread writes edited META tags and titles into the selected pages, keeping backups by the
// project's backup scheme. All of them tell windows only by posting messages (EngineMessages.h).
#pragma once

#include "engine/html/ITaskManager.h"
#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"
#include "platform/core/SyncObjects.h"
#include "platform/core/Types.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_set>
#include <utility>
#include <vector>

class CConnectOptions;
class CMetaSetting;
class CVostrelAppModel;
class CPageNode;
class CProjectSettings;
class CScanNameLookup;
class CScanOptions;
class SavedPagesRead;
class CSelNodesCol;
class IScanBackend;
class IScanHost;
class IScanTaskManager;
struct CAppOptions;

class CParserEngine : public ITaskManager {
public:
    CParserEngine();
    // Stops and deletes a fetch engine that is left, asks every thread the engine started to
    // stop (a save stops after the page it is saving) and waits until each has ended.
    virtual ~CParserEngine();
    CParserEngine(const CParserEngine&) = delete;
    CParserEngine& operator=(const CParserEngine&) = delete;

    // The one process-wide engine, made on first use; DeleteEngine deletes it at exit.
    static CParserEngine& GetEngine();
    static void DeleteEngine();

    // Where scans get their fetch engine and their main window; neither is owned. Set at
    // start-up, before any scan. User-interface thread.
    void SetScanBackend(IScanBackend* pBackend) { m_pBackend = pBackend; }
    void SetScanHost(IScanHost* pHost) { m_pHost = pHost; }

    // Starts a scan of the pages: each is emptied of its title and META contents and queued as
    // a file URL, the run state becomes 1 and the fetch engine's threads start. Posts
    // kMsgFileScanned per page done, kMsgShowSetting when a setting is first shown, and
    // kMsgScanFinished once the scan has stopped, also when the fetch engine stopped on an error
    // (the scan then ends as StopScan ends it). 0 when started; 1 when the internet session
    // cannot be opened, no fetch engine can be made or a scan is still running (nothing is then
    // queued or changed). User-interface thread.
    UINT StartScan(const CSelNodesCol& pages, const CProjectSettings& settings);
    // Only while the run state is 1 and the engine is not being deleted: sets it to 2 and starts
    // the thread that stops and deletes the fetch engine and then posts kMsgScanFinished. 0.
    // Callable from any thread.
    UINT StopScan();
    // Fills the options of a fetch engine with nThreads check threads from the options record;
    // the pages of this machine may be read by all of them at once.
    static void MakeFetchOptions(const CAppOptions& record, int nThreads, CConnectOptions& connect,
                                 CScanOptions& scan);
    // The check threads of the scans to come: 0 (the default) gives one per processor, at most
    // kMaxScanThreads. The pages' reports reach the engine in their order whatever the number.
    // User-interface thread, between scans.
    void SetScanThreads(UINT nThreads) { m_nScanThreads = nThreads; }
    // The number of check threads a scan starts now.
    int GetScanThreadCount() const;
    static constexpr UINT kMaxScanThreads = 16;

    // ---- ITaskManager: called by the fetch engine's worker threads, several at a time ----
    void OnLinkFound(DWORD_PTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    // Sets the page's title, without the lock: a page's reports come one after another.
    void OnTitle(DWORD_PTR dwPage, LPCSTR lpszTitle) override;
    void OnAnchor(DWORD_PTR, LPCSTR) override {}
    void OnAuthor(DWORD_PTR, LPCSTR) override {}
    void OnDescription(DWORD_PTR, LPCSTR) override {}
    void OnOtherMeta(DWORD_PTR, LPCSTR, LPCSTR, LPCSTR) override {}
    void OnAuthenticationRequired(DWORD_PTR, LPCSTR) override {}
    void OnBaseUrl(DWORD_PTR, LPCSTR) override {}
    void OnExtraLink(DWORD_PTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
    void OnLastModified(DWORD_PTR, LONG) override {}
    void OnContentType(DWORD_PTR, LPCSTR) override {}
    void OnContentLength(DWORD_PTR, DWORD) override {}
    // Keeps the file the page was read from, for the save; without the lock, as OnTitle.
    void OnFileRead(DWORD_PTR dwPage, const struct stat& file, LPCSTR lpszResolved) override;
    // Keeps the checksum of the bytes read from that file, for the save; without the lock.
    void OnFileChecksum(DWORD_PTR dwPage, ULONGLONG nChecksum) override;
    // Called on a check thread: tells the main window, without waiting for room in its queue.
    void OnReadProgress(DWORD_PTR dwPage, ULONGLONG nDone, ULONGLONG nTotal) override;
    // A keyword from keyword extraction (nSource 0) is a suggestion. One of the page's own
    // KEYWORDS tag (1) adds nothing: the tag's content came whole, as written, with OnNamedMeta.
    void OnKeyword(DWORD_PTR dwPage, LPCSTR lpszKeyword, int nSource) override;
    void OnNamedMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme) override;
    void OnHttpEquivMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent) override;
    // Marks the page scanned, posts kMsgFileScanned and stops the scan after the last page.
    void OnTaskDone(DWORD_PTR dwPage) override;
    // Results and redirects are not the scan's business, but for two: a page whose file could
    // not be found, opened or read, or whose bytes are no page, gets the result's text as its
    // read failure, and the Output Area a line naming the page and the reason; a page a save
    // would refuse gets the line alone. Otherwise the page would look like one without tags,
    // and the user would learn of it only when a save failed.
    void ReportResult(DWORD_PTR dwPage, DWORD dwClass, DWORD dwCode, UINT nStringId, LPCSTR lpszInsert1,
                      DWORD_PTR dwInsert2) override;

    // How long a worker waits at most for the main window to show a setting's column before it
    // goes on without; it stops waiting at once when the window is gone.
    static constexpr DWORD kShowSettingWaitLimitMs = 60000;
    // Tests shorten the wait, to see that a window that never answers is given up. Before a scan.
    void SetShowSettingWaitLimit(DWORD dwMs) { m_dwShowSettingWaitLimitMs.store(dwMs); }

    // Reads the titles and META contents of pages a save has just written from their files
    // again, as a scan reads them: a page that another program had changed since its scan then
    // holds what its file now holds. A value that differs from the page's, and is not an edit
    // still to be saved, takes its place. Gives back, per page that changed, the names of the
    // values that did ("" for the title). User-interface thread, while no scan runs.
    std::vector<std::pair<CPageNode*, std::vector<CString>>> ReadSavedPagesAgain(const std::vector<CPageNode*>& pages);

    // Starts the enumeration thread over the folder: the folder becomes a folder node under
    // the root, and every folder and page file below it a node of the tree. Posts
    // kMsgEnumPageFound per page and kMsgEnumFinished at the end (not after a stop) to hDialog,
    // or kMsgEnumFailed in its place when the project folder itself could not be walked.
    // Folders below it that cannot be read are left out (GetEnumerationSkipped).
    // 0, or 1 when no thread could be started. User-interface thread.
    UINT StartEnumeration(const CString& strFolder, CPageNode* pRoot, HWND hDialog, const CProjectSettings& settings);
    // Raises the stop flag and starts a thread that waits for the enumeration thread to end and
    // then posts kMsgEnumStopped; 1 when a stop is already under way. User-interface thread.
    UINT StopEnumeration();
    // Starts the save thread over the pages (the list is copied; the pages are borrowed and
    // must not be touched until kMsgSaveFinished or kMsgSaveStopped). The backup scheme is
    // taken from the application's project settings now. 0, or 1 when no thread could be
    // started. User-interface thread.
    UINT StartSave(const CSelNodesCol& pages, HWND hDialog, HWND hOutputPane);
    // Unless a stop is already under way, raises the stop flag and starts a thread that waits
    // for the save thread to end and then posts kMsgSaveStopped; 0. User-interface thread.
    UINT StopSave();

    // A new empty file with the prefix in the platform's temporary folder; 0, or 1.
    static UINT MakeTempFileName(LPCTSTR lpszPrefix, CString& strPath);
    // The same in a given folder (the save puts its copy beside the page, so that it can take
    // the page's place by a rename).
    static UINT MakeTempFileNameIn(const CString& strFolder, LPCTSTR lpszPrefix, CString& strPath);
    // The first of path + ".old", path + ".old2" ... ".old24" under which no file exists: 0;
    // 1 when all 24 exist (strName is then the last one tried, which is taken).
    static UINT MakeBackupName(const CString& strPath, CString& strName);
    // Removes from the folder the copies that a save which never ended left there, and only
    // those: files of the save's copy names that carry its mark, made by a process known to be
    // gone; a backup name such a save gave a page and left naming the page itself goes with its
    // copy. The count of copies removed. Any thread.
    static UINT RemoveLeftSaveCopies(const CString& strFolder);
    // Moves the file to the desktop's trash; 0, or 1.
    static UINT MoveToRecycleBin(const CString& strPath);
    // "R" for read-only, then "S" for a system file, then "A" for the archive mark.
    static CString MakeAttributesText(DWORD dwAttributes);
    // Whether the file name ends with one of the extensions (".htm"), without regard to case:
    // the part from its last "." on must equal one of them.
    static BOOL HasPageExtension(const CString& strName, const CStringList& extensions);

    // A folder of the project that the enumeration could not read, and why.
    struct SkippedFolder {
        CString strPath;
        CString strReason;
    };

    // What the threads share with the engine.
    struct ThreadState {
        std::atomic<UINT> bStop{0};
        std::atomic<HANDLE> hThread{nullptr}; // a duplicate of the worker's handle
        // Why the worker failed; set before it posts its failure. Any thread.
        void SetFailure(const CString& strText)
        {
            std::lock_guard<std::mutex> guard(failureLock);
            strFailure = strText;
        }
        CString GetFailure()
        {
            std::lock_guard<std::mutex> guard(failureLock);
            return strFailure;
        }
        void SetSkipped(std::vector<SkippedFolder> folders)
        {
            std::lock_guard<std::mutex> guard(failureLock);
            skipped = std::move(folders);
        }
        std::vector<SkippedFolder> GetSkipped()
        {
            std::lock_guard<std::mutex> guard(failureLock);
            return skipped;
        }

    private:
        std::mutex failureLock;
        CString strFailure;
        std::vector<SkippedFolder> skipped;
    };
    // After kMsgEnumFailed: why the project folder could not be walked. User-interface thread.
    CString GetEnumerationFailure() const { return m_pEnumState->GetFailure(); }
    // After the enumeration's end: the folders below the project folder that could not be read
    // (permissions, a path too long for the system, ...), in the order met; the tree holds
    // everything else. User-interface thread.
    std::vector<SkippedFolder> GetEnumerationSkipped() const { return m_pEnumState->GetSkipped(); }

private:
    // The attribute a META tag names itself with.
    enum class TagForm { Name, HttpEquiv };
    // Files one reported META value into the page and the catalogue, under the lock. A name the
    // catalogue lacks becomes a setting of the form of the tag it came in.
    void AddMeta(CPageNode* pPage, LPCSTR lpszName, LPCSTR lpszText, bool bSuggested, TagForm form);
    // Has the main window show the setting's column and waits for it (lock held).
    void HandOverShownSetting(CMetaSetting* pSetting);
    // The catalogue's hidden settings whose tags some page of the project holds now.
    static std::unordered_set<const CMetaSetting*> HiddenSettingsOnPages(CVostrelAppModel& app);
    // Counts one page done; true when it was the last. Never below 0.
    bool CountPageDone();
    // The fetch engine stopped on an error: the scan ends as a user's stop ends it, once the
    // scan's start has returned. A worker thread.
    void StopOnError();

    UINT StartWaiter(const std::shared_ptr<ThreadState>& pState, HWND hDialog, UINT nMessage);
    // Keeps the handle of a helper thread (a sweep, a waiting thread) for the engine's end to
    // wait for.
    void KeepHelper(HANDLE hThread);

    // Guards the pages' META contents and the catalogue's growth, and orders the pages' ends. A
    // worker holds it while the main window shows a setting, so the user-interface thread never
    // takes it.
    CCriticalSection m_lock;
    // Owned; made at a scan's start, handed to the stop thread at its end. Under m_managerLock.
    std::unique_ptr<IScanTaskManager> m_pTaskManager;
    // Pages of the running scan that have not reported their end, plus one while StartScan is
    // still starting, so that the scan cannot end before it has begun. Atomic rather than under
    // m_lock: StartScan runs on the user-interface thread, which must never wait for m_lock.
    std::atomic<UINT> m_nPagesLeft{0};
    // Guards the task manager pointer and the run state's change from 1 to 2; never held
    // while waiting for anything.
    std::mutex m_managerLock;
    bool m_bThreadsStarted = false;
    // Under m_managerLock: the fetch engine's threads are being started, and one of them
    // stopped it on an error meanwhile. Its stop waits for the start to return: the stop thread
    // deletes the fetch engine, which StartScan is still using.
    bool m_bStarting = false;
    bool m_bErrorStopHeld = false;
    std::atomic<HWND> m_hMainWnd{nullptr};
    // The Output Area pane of the running scan, for the lines of pages that could not be read.
    std::atomic<HWND> m_hOutputPane{nullptr};
    std::atomic<DWORD> m_dwShowSettingWaitLimitMs{kShowSettingWaitLimitMs};
    // The project settings the running scan reads.
    std::atomic<UINT> m_bShowAllFound{0};
    std::atomic<UINT> m_bKeywordExtractor{0};
    IScanBackend* m_pBackend = nullptr;
    IScanHost* m_pHost = nullptr;
    UINT m_nScanThreads = 0;
    // The names the running scan has met, under m_lock; made at its start, dropped at its end.
    std::unique_ptr<CScanNameLookup> m_pNames;
    // The hidden settings whose tags the project's pages held when the scan started: the user
    // hid them, and finding them again does not show them. Made before the workers start.
    std::unordered_set<const CMetaSetting*> m_keptHidden;
    // The stop thread: its handle, and bStop set while it runs.
    std::shared_ptr<ThreadState> m_pStopState;

    std::shared_ptr<ThreadState> m_pEnumState;
    std::shared_ptr<ThreadState> m_pSaveState;
    // Set when the engine goes; helper threads read it.
    std::shared_ptr<std::atomic<UINT>> m_pClosing;
    // The handles of helper threads that may still run, under m_helpersLock.
    std::mutex m_helpersLock;
    std::vector<HANDLE> m_helpers;
    HWND m_hEnumDialog = nullptr;
    HWND m_hSaveDialog = nullptr;
    // What the last save read back from the pages it wrote; shared with its thread.
    std::shared_ptr<SavedPagesRead> m_pSavedReads;
};
