// CParserEngine: the project's file work on local folders. Its enumeration thread walks the
// project folder into the page tree; its save thread writes edited META tags and titles into
// the selected pages, keeping backups by the project's backup scheme. Both report to their
// progress dialogs and the Output Area only by posting messages (EngineMessages.h).
#pragma once

#include "platform/core/CPtrList.h"
#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <atomic>
#include <memory>

class CPageNode;
class CProjectSettings;
class CSelNodesCol;

class CParserEngine {
public:
    CParserEngine();
    // Running workers keep the state they share with the engine, so they may outlive it.
    ~CParserEngine();
    CParserEngine(const CParserEngine&) = delete;
    CParserEngine& operator=(const CParserEngine&) = delete;

    // The one process-wide engine, made on first use; DeleteEngine deletes it at exit.
    static CParserEngine& GetEngine();
    static void DeleteEngine();

    // Starts the enumeration thread over the folder: the folder becomes a folder node under
    // the root, and every folder and page file below it a node of the tree. Posts
    // kMsgEnumPageFound per page and kMsgEnumFinished at the end (not after a stop) to hDialog.
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
    // Moves the file to the desktop's trash; 0, or 1.
    static UINT MoveToRecycleBin(const CString& strPath);
    // "R" for read-only, then "S" for a system file, then "A" for the archive mark.
    static CString MakeAttributesText(DWORD dwAttributes);
    // Whether the file name ends with one of the extensions (".htm"), without regard to case:
    // the part from its last "." on must equal one of them.
    static BOOL HasPageExtension(const CString& strName, const CStringList& extensions);

    // What the threads share with the engine.
    struct ThreadState {
        std::atomic<UINT> bStop{0};
        std::atomic<HANDLE> hThread{nullptr}; // a duplicate of the worker's handle
    };

private:
    static UINT StartWaiter(const std::shared_ptr<ThreadState>& pState, HWND hDialog, UINT nMessage);

    std::shared_ptr<ThreadState> m_pEnumState;
    std::shared_ptr<ThreadState> m_pSaveState;
    HWND m_hEnumDialog = nullptr;
    HWND m_hSaveDialog = nullptr;
};
