#include "engine/project/CParserEngine.h"

#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/meta/CMetaSetting.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/meta/CMetaUndefinedSetting.h"
#include "engine/project/CAppOptions.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CFileWrapper.h"
#include "engine/project/CPageBytesCheck.h"
#include "engine/project/CPageChecksum.h"
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/SavedPageValues.h"
#include "engine/project/IScanBackend.h"
#include "engine/project/IScanHost.h"
#include "engine/project/OutputAreaLine.h"
#include "engine/project/PageFileCheck.h"
#include "engine/project/PageReadability.h"
#include "engine/project/PathToFileUrl.h"
#include "engine/project/CScanNameLookup.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/CUrlString.h"
#include "engine/project/SaveCopies.h"
#include "engine/project/SaveFlush.h"
#include "engine/project/SaveHold.h"
#include "platform/core/CodePage.h"
#include "engine/project/SavePageWatch.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/CException.h"
#include "platform/core/CFileException.h"
#include "platform/core/CFileFind.h"
#include "platform/core/CMemFile.h"
#include "platform/core/CWinThread.h"
#include "platform/core/FileOperations.h"
#include "platform/core/KernelObject.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/SyncApi.h"
#include "platform/core/SystemServices.h"
#include "platform/core/ThreadApi.h"
#include "platform/core/Trash.h"
#include "platform/core/WinError.h"
#include "platform/core/WindowHandle.h"
#include "platform/core/FdGuard.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <functional>
#include <fcntl.h>
#include <map>
#include <new>
#include <set>
#include <system_error>
#include <strings.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unordered_map>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kLastBackupNumber = 24;

// The page's nth backup name: ".old", then ".old2" to ".old24".
CString BackupNameOf(const CString& strPath, int n)
{
    CString strName = strPath + ".old";
    if (n > 1)
        strName.Format("%s%d", (strPath + ".old").GetString(), n);
    return strName;
}

// How many of the file's backup names name the file itself: second names that a save stopped
// between making the backup and replacing the page left, not other names of the user's.
UINT CountBackupNamesOfItself(const CString& strFile, const struct stat& file)
{
    UINT nCount = 0;
    for (int n = 1; n <= kLastBackupNumber; ++n) {
        struct stat info {};
        if (::lstat(BackupNameOf(strFile, n), &info) == 0 && info.st_dev == file.st_dev && info.st_ino == file.st_ino)
            ++nCount;
    }
    return nCount;
}

// Empties what a scan filed in the page: its title, its META contents and why it could not be
// read. A page that does not count as read shows none of it, and holds none of it either.
void ForgetReadValues(CPageNode& page)
{
    page.ClearTitle();
    page.SetTitleModified(0);
    page.SetReadFailure(CString());
    CMetaContentList* pList = nullptr;
    if (page.GetContentList(pList) == 0 && pList != nullptr)
        pList->DeleteAll();
}

// The most threads that prepare the pages at the start of a scan, and the fewest pages worth a
// second thread.
constexpr size_t kPrepareThreads = 8;
constexpr size_t kPagesPerPrepareThread = 512;

// Clears what an earlier scan left on each page (its title and META contents) and makes its file
// URL, in the pages' order. Each URL asks the file system whether the path names a folder, and a
// site has thousands of pages: the work is split over a few threads, each with pages of its own,
// while the caller waits, so that nothing else touches the pages meanwhile.
std::vector<CUrlString> PreparePages(const std::vector<CPageNode*>& pages)
{
    std::vector<CUrlString> urls(pages.size());
    auto prepare = [&](size_t nFrom, size_t nTo) {
        for (size_t i = nFrom; i < nTo; ++i) {
            CPageNode* pPage = pages[i];
            // Not read in this scan until its end is reported: a page a stop leaves unread must
            // not look like a page without tags.
            pPage->SetScanState(1);
            ForgetReadValues(*pPage);
            pPage->ForgetReadFile();
            pPage->SetLeftUnread(false);
            CString strUrl;
            pPage->GetFullPath(strUrl);
            PathToFileUrl(strUrl);
            urls[i].Parse(strUrl);
        }
    };
    const size_t nThreads = std::clamp<size_t>(std::min<size_t>(std::thread::hardware_concurrency(),
                                                                pages.size() / kPagesPerPrepareThread),
                                               1, kPrepareThreads);
    const size_t nChunk = (pages.size() + nThreads - 1) / nThreads;
    std::vector<std::thread> threads;
    size_t nFrom = nChunk;
    try {
        for (; nFrom < pages.size(); nFrom += nChunk)
            threads.emplace_back(prepare, nFrom, std::min(pages.size(), nFrom + nChunk));
    } catch (const std::system_error&) {
        // No thread to be had: this one does the rest too.
        prepare(nFrom, pages.size());
    }
    prepare(0, std::min(nChunk, pages.size()));
    for (std::thread& thread : threads)
        thread.join();
    return urls;
}

constexpr UINT kMaxMessage = 1000;
// A page the save may not touch says why, as the other refusals do.
constexpr LPCTSTR kDeniedReadOnly = "Denied Access: the page is read-only. The page was left as it was.";
constexpr LPCTSTR kDeniedAccess =
    "Denied Access: the page may not be opened or changed (its permissions, or its folder's, do not allow it). The "
    "page was left as it was.";
constexpr LPCTSTR kNoRecycleBin = "Could not backup to Recycle Bin.";
constexpr LPCTSTR kNoBackupName = "Could not backup: the backup names .old to .old24 are all taken.";
constexpr LPCTSTR kNoKeywordEngine =
    "The keyword engine could not be made (out of memory): this scan suggests no keywords.";

std::unique_ptr<CParserEngine>& EngineSlot()
{
    static std::unique_ptr<CParserEngine> s_pEngine;
    return s_pEngine;
}

// A worker's report to a window: it waits while the window's queue is full, since a lost
// message would leave a page unreported or a dialog waiting for an end that never comes.
void Post(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (hWnd != nullptr)
        PostMessageWhenRoom(hWnd, nMessage, wParam, lParam);
}

void Post(HWND hWnd, UINT nMessage, LPARAM lParam = 0)
{
    Post(hWnd, nMessage, 0, lParam);
}

CString ScanMessageOf(CException* e)
{
    char szMessage[kMaxMessage + 1] = {};
    if (!e->GetErrorMessage(szMessage, kMaxMessage + 1) || szMessage[0] == '\0')
        return CString("Unknown error message.");
    return CString(szMessage);
}

// The message of a platform error code for a file.
CString ScanMessageOfError(DWORD dwError, const CString& strPath)
{
    CFileException error(CFileException::OsErrorToException(static_cast<LONG>(dwError)), static_cast<LONG>(dwError),
                         strPath);
    return ScanMessageOf(&error);
}

CString MessageOfErrno(int nErrno, const CString& strPath)
{
    CFileException error(CFileException::ErrnoToException(nErrno), nErrno, strPath);
    return ScanMessageOf(&error);
}

// ---- Enumeration ----

struct EnumParams {
    std::shared_ptr<CParserEngine::ThreadState> pState;
    CString strFolder;
    CPageNode* pRoot = nullptr;
    HWND hDialog = nullptr;
    // The Output Area, told of each file of a page's name that cannot be a page.
    HWND hPane = nullptr;
    CStringList extensions;
    // Folders already walked, by device and inode, so that a link back up the tree cannot make
    // the walk endless.
    std::set<std::pair<dev_t, ino_t>> visited;
    // Why the walk failed as a whole: the project folder itself could not be read.
    CString strFailure;
    // The folders below it that could not be read, each with its reason: the project is made
    // without them, and the user is told.
    std::vector<CParserEngine::SkippedFolder> skipped;
    // Pages found but not yet posted. They are posted a folder (or a few dozen pages) at a time,
    // one message each: a lone post would wake the dialog's thread for every page.
    std::vector<CPageNode*> found;
};

constexpr size_t kPostedTogether = 64;

void PostFound(EnumParams& params)
{
    for (CPageNode* pNode : params.found)
        Post(params.hDialog, kMsgEnumPageFound, reinterpret_cast<LPARAM>(pNode));
    params.found.clear();
}

// Makes the node of a folder entry under the parent, from what the file system says of it.
CPageNode* MakeNode(CPageNode* pParent, const CString& strFolder, const CString& strName, UINT nKind,
                    const struct stat& info)
{
    // The walk always starts under the root; a node with no parent would have no owner.
    if (pParent == nullptr)
        return nullptr;
    auto pNode = std::make_unique<CPageNode>();
    pNode->SetKind(nKind);
    pNode->SetName(strName.IsEmpty() ? CString("/") : strName);
    pNode->SetFolder(strFolder);
    pNode->SetParent(pParent);
    DWORD dwAttributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    if (!S_ISDIR(info.st_mode) && (info.st_mode & 0222) == 0)
        dwAttributes |= FILE_ATTRIBUTE_READONLY;
    pNode->SetAttributes(CParserEngine::MakeAttributesText(dwAttributes));
    CPageNode* pMade = pNode.get();
    pParent->AddChild(pNode.release());
    return pMade;
}

void NoteFailure(EnumParams& params, const CString& strText)
{
    if (params.strFailure.IsEmpty())
        params.strFailure = strText;
}

void NoteSkipped(EnumParams& params, const CString& strPath, const CString& strReason)
{
    params.skipped.push_back({strPath, strReason});
}

// Tells the Output Area of a file of a page's name that is left out of the project: a user who
// misses it among the pages learns why.
void NoteLeftOutPage(const EnumParams& params, const CString& strFolder, const char* pszName, const CString& strReason)
{
    CString strPath = strFolder + "/" + pszName;
    if (strPath.Left(params.strFolder.GetLength() + 1) == params.strFolder + "/")
        strPath = strPath.Mid(params.strFolder.GetLength() + 1);
    PostOutputAreaLine(params.hPane, CString(), strPath + " : Left out of the project: " + strReason);
}

// Why an entry of a page's name whose target cannot be looked at is no page: a link to nothing,
// or to itself. Empty for an entry that is gone meanwhile.
CString DanglingEntryText(int fdFolder, const char* pszName, int nError, const CString& strPath)
{
    struct stat link {};
    if (::fstatat(fdFolder, pszName, &link, AT_SYMLINK_NOFOLLOW) != 0)
        return CString();
    if (S_ISLNK(link.st_mode) && nError == ENOENT)
        return "It is a link to a file that does not exist.";
    if (S_ISLNK(link.st_mode) && nError == ELOOP)
        return "It is a link that leads back to itself.";
    return MessageOfErrno(nError, strPath);
}

// One entry of a folder that may be a folder or a page, with what the file system says of it.
struct FolderEntry {
    CString strName;
    bool bPageName = false;
    struct stat info {};
};

bool WalkFolder(EnumParams& params, const CString& strPath, CPageNode* pNode);

// Adds the folder under the parent and walks it, unless it was walked already. A folder that
// cannot be read is left out of the tree, as it is of the project.
void AddFolder(EnumParams& params, CPageNode* pParent, const CString& strFolder, const CString& strName,
               const struct stat& info)
{
    if (!params.visited.insert({info.st_dev, info.st_ino}).second)
        return;
    CString strPath = strFolder;
    if (strPath.IsEmpty() || strPath[strPath.GetLength() - 1] != '/')
        strPath += "/";
    strPath += strName;
    CPageNode* pNode = MakeNode(pParent, strFolder, strName, CPageNode::kindFolder, info);
    if (pNode != nullptr && !WalkFolder(params, strPath, pNode) && pParent->GetChildren().GetTail() == pNode) {
        pParent->GetChildren().RemoveTail();
        delete pNode;
    }
}

// Lists the folder's folders and page files, looked at through the folder itself. Only they are
// looked at more closely: the kind the folder gives spares a look at every other file. The
// folder is closed again before anything below it is walked, so that a deep tree holds no more
// than one folder open.
bool ListFolder(EnumParams& params, const CString& strPath, std::vector<FolderEntry>& entries)
{
    const int fd = ::open(strPath, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* pDir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (pDir == nullptr) {
        const int nError = errno;
        if (fd >= 0)
            ::close(fd);
        // One folder that cannot be read leaves the rest of the site to the project; only the
        // project folder itself can refuse it.
        if (strPath == params.strFolder)
            NoteFailure(params, MessageOfErrno(nError, strPath));
        else if (nError != ENOENT && nError != ENOTDIR)
            NoteSkipped(params, strPath, MessageOfErrno(nError, strPath));
        return false;
    }
    errno = 0;
    while (const dirent* pEntry = ::readdir(pDir)) {
        const char* pszName = pEntry->d_name;
        if (pszName[0] == '.' && (pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0')))
            continue;
        const unsigned char type = pEntry->d_type;
        FolderEntry entry;
        entry.strName = pszName;
        entry.bPageName = CParserEngine::HasPageExtension(entry.strName, params.extensions) != 0;
        if (type != DT_DIR && type != DT_LNK && type != DT_UNKNOWN && !entry.bPageName)
            continue;
        if (::fstatat(fd, pszName, &entry.info, 0) != 0) {
            // Gone meanwhile, a link to nothing or a link to itself: not part of the site, as a
            // link back to a folder already walked is not. One of a page's name is told.
            if (const int nError = errno; entry.bPageName) {
                if (const CString strReason = DanglingEntryText(fd, pszName, nError, strPath + "/" + pszName);
                    !strReason.IsEmpty())
                    NoteLeftOutPage(params, strPath, pszName, strReason);
            }
            errno = 0;
            continue;
        }
        if (S_ISDIR(entry.info.st_mode) || (S_ISREG(entry.info.st_mode) && entry.bPageName))
            entries.push_back(std::move(entry));
        else if (entry.bPageName && !NotAFileText(entry.info.st_mode).IsEmpty())
            NoteLeftOutPage(params, strPath, pszName, NotAFileText(entry.info.st_mode));
        errno = 0;
    }
    // A folder whose listing broke off is walked as far as it was read, and told as skipped.
    if (errno != 0)
        NoteSkipped(params, strPath, MessageOfErrno(errno, strPath));
    ::closedir(pDir);
    return true;
}

// Whether the folder could be listed.
bool WalkFolder(EnumParams& params, const CString& strPath, CPageNode* pNode)
{
    if (params.pState->bStop.load())
        return true;
    std::vector<FolderEntry> entries;
    if (!ListFolder(params, strPath, entries))
        return false;
    // Folders and pages in name order, as the user looks for them, whatever order the file
    // system keeps them in.
    std::sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
        const int nOrder = strcasecmp(a.strName, b.strName);
        return nOrder != 0 ? nOrder < 0 : std::strcmp(a.strName, b.strName) < 0;
    });
    for (const FolderEntry& entry : entries) {
        if (params.pState->bStop.load())
            break;
        if (S_ISDIR(entry.info.st_mode)) {
            AddFolder(params, pNode, strPath, entry.strName, entry.info);
            continue;
        }
        // Only regular files are pages: reading a pipe or a device would never end.
        if (CPageNode* pPage = MakeNode(pNode, strPath, entry.strName, CPageNode::kindPage, entry.info)) {
            params.found.push_back(pPage);
            if (params.found.size() >= kPostedTogether)
                PostFound(params);
        }
    }
    PostFound(params);
    return true;
}

void Enumerate(EnumParams& params)
{
    struct stat info {};
    if (::stat(params.strFolder, &info) != 0) {
        NoteFailure(params, MessageOfErrno(errno, params.strFolder));
        return;
    }
    if (!S_ISDIR(info.st_mode)) {
        NoteFailure(params, MessageOfErrno(ENOTDIR, params.strFolder));
        return;
    }
    const CString& strPath = params.strFolder;
    const int nSlash = strPath.ReverseFind('/');
    CString strFolder = nSlash < 0 ? CString() : strPath.Left(nSlash);
    if (nSlash == 0)
        strFolder = "/";
    const CString strName = strPath.Mid(nSlash + 1);
    if (!params.visited.insert({info.st_dev, info.st_ino}).second)
        return;
    if (CPageNode* pNode = MakeNode(params.pRoot, strFolder, strName, CPageNode::kindFolder, info); pNode != nullptr)
        WalkFolder(params, strPath, pNode);
}

UINT EnumerationThread(LPVOID pParam)
{
    std::unique_ptr<EnumParams> pParams(static_cast<EnumParams*>(pParam));
    // Whatever ends the walk early, the dialog must not take a half-walked tree for the project.
    try {
        Enumerate(*pParams);
    } catch (CException* e) {
        NoteFailure(*pParams, ScanMessageOf(e));
        e->Delete();
    } catch (const std::bad_alloc&) {
        NoteFailure(*pParams, "There was not enough memory to walk the whole project folder.");
    } catch (const std::exception& e) {
        NoteFailure(*pParams, e.what());
    } catch (...) {
        NoteFailure(*pParams, "Unknown error message.");
    }
    // Every page found is reported before the end, also after a stop.
    PostFound(*pParams);
    pParams->pState->SetSkipped(std::move(pParams->skipped));
    if (pParams->pState->bStop.load())
        return 1;
    if (pParams->strFailure.IsEmpty()) {
        Post(pParams->hDialog, kMsgEnumFinished);
    } else {
        pParams->pState->SetFailure(pParams->strFailure);
        Post(pParams->hDialog, kMsgEnumFailed);
    }
    return 1;
}

// ---- Save ----

struct SaveParams {
    std::shared_ptr<CParserEngine::ThreadState> pState;
    std::vector<CPageNode*> pages;
    HWND hDialog = nullptr;
    HWND hPane = nullptr;
    UINT nBackupScheme = 0;
    // Where the thread leaves what it reads back from the pages it wrote.
    std::shared_ptr<SavedPagesRead> pReads;
};

// Alias: the page names a file that this save wrote already through another page.
// Deferred: it names the file of a page of the same batch that is still on its way; it waits for
// the next batch, which knows whether that page was written. Stopped: the user stopped the save
// while the page was on its way; it is left as it was, its edits marked.
enum class PageResult { Saved, ReadOnly, Failed, Alias, Deferred, Unchanged, Stopped };

// A file by its device and inode: what tells that two pages' paths name one file.
using FileKey = std::pair<dev_t, ino_t>;

FileKey KeyOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino};
}

// The files a save has written, each with the page whose edits went into it: by the file's key
// as it was read (other names of the old file, hard links, still show it) and by the key of the
// new file that took its place (links to the page's path now reach that one).
struct WrittenFile {
    CPageNode* pWriter;
    FileKey read; // the file the writer's edits went into, as it was read
    ULONGLONG nChecksum; // of the bytes the file under the key holds
};
using WrittenFiles = std::map<FileKey, WrittenFile>;

// A file error of the save, told in one wording per cause: a page (or its folder) the user may
// not open or write is refused as a read-only page is, with its own cause.
CString SaveMessageOfErrno(int nErrno, const CString& strPath)
{
    if (nErrno == EACCES || nErrno == EPERM)
        return kDeniedAccess;
    return MessageOfErrno(nErrno, strPath);
}

// A failure to make an entry in the page's folder (its new copy, its backup, the new page under
// its name): the folder is what the user must look at, not the page, which may well be writable.
CString FolderMessageOfErrno(int nErrno, const CString& strFolder)
{
    CString strMessage;
    if (nErrno == EACCES || nErrno == EPERM)
        strMessage.Format("Not saved: the folder '%s' may not be written, so neither the new page nor the old "
                          "page's backup can be made there. The page was left as it was.",
                          strFolder.GetString());
    else if (nErrno == EROFS)
        strMessage.Format("Not saved: the folder '%s' lies on a read-only file system. The page was left as it was.",
                          strFolder.GetString());
    else
        strMessage = MessageOfErrno(nErrno, strFolder);
    return strMessage;
}

constexpr LPCTSTR kNotARegularFile = "Not a regular file (a pipe, a device or a folder): the page was left alone.";
constexpr LPCTSTR kChangedMeanwhile =
    "Another program changed the page while it was being saved: its version was kept, and the edits are still "
    "to be saved.";
constexpr LPCTSTR kOtherNamesKeepOldText =
    "Saved as a new file: the page's other names (hard links) still show the old text.";
constexpr LPCTSTR kTooLarge =
    "Not saved: the page would be larger than the file size limit allows. The page was left as it was.";
constexpr LPCTSTR kDiskFull = "Not saved: there is not enough space on the disk. The page was left as it was.";
constexpr LPCTSTR kPageImmutable =
    "Not saved: the page is marked unchangeable (immutable) in the file system, so it can be neither replaced nor "
    "backed up. The page was left as it was.";
constexpr LPCTSTR kPageAppendOnly =
    "Not saved: the page is marked append-only in the file system, so it cannot be replaced. The page was left as "
    "it was.";
constexpr LPCTSTR kNotReadWhenScanned =
    "Not saved: the page could not be read when it was scanned, so its tags are not known. Scan it again first.";
constexpr LPCTSTR kNotReadByScan =
    "Not saved: the scan did not read the page, so its tags are not known. Start Scan reads it.";
constexpr LPCTSTR kLeftUnreadForSize =
    "Not saved: the scan left the page unread for its size, so its tags are not known.";
constexpr LPCTSTR kChangedBehind = "Saved, but another program had changed the page since it was scanned: its "
                                   "changes were kept, and the edits written over them.";
constexpr LPCTSTR kNothingToWrite =
    "Nothing to write: the page holds its edits already, byte for byte. It was left as it was, without a backup.";

// A page converted to a charset that lacks some of its characters holds them as references or
// escapes, which browsers read back but an editor of its bytes shows as such: the user learns
// which page, how many and the first. Empty when there are none.
CString EscapedText(const CMetaEditEngine& engine)
{
    const size_t nEscaped = engine.GetEscapedCount();
    if (nEscaped == 0)
        return CString();
    std::string character;
    Utf8Encode(engine.GetFirstEscaped(), character);
    CString strText;
    strText.Format("%s lacks %zu of its characters (the first is \"%s\", U+%04X): they were written as character "
                   "references or escapes, which browsers read as the characters.",
                   engine.GetWrittenCharset().GetName().c_str(), nEscaped, character.c_str(),
                   static_cast<unsigned>(engine.GetFirstEscaped()));
    return strText;
}

// What a saved page lost of its repeated tags: a page keeps one tag of a name, and the user
// learns which tags went, with how many of each name. Empty when none went.
CString RepeatsTakenOutText(const std::vector<CMetaEditEngine::RemovedRepeat>& removed)
{
    if (removed.empty())
        return CString();
    std::vector<std::pair<CString, UINT>> names;
    for (const CMetaEditEngine::RemovedRepeat& repeat : removed) {
        auto found = std::find_if(names.begin(), names.end(),
                                  [&](const auto& name) { return name.first.CompareNoCase(repeat.strName) == 0; });
        if (found == names.end())
            names.emplace_back(repeat.strName, 1);
        else
            ++found->second;
    }
    CString strNames;
    for (const auto& [strName, nCount] : names) {
        CString strOne;
        strOne.Format("%s\"%s\": %u", strNames.IsEmpty() ? "" : ", ", strName.GetString(), nCount);
        strNames += strOne;
    }
    CString strText;
    strText.Format(removed.size() == 1
                       ? "Saved with %u repeated META tag taken out (%s): a page keeps one tag of a name, the first, "
                         "which holds the value."
                       : "Saved with %u repeated META tags taken out (%s): a page keeps one tag of a name, the first, "
                         "which holds the value.",
                   static_cast<UINT>(removed.size()), strNames.GetString());
    return strText;
}

// The edits the catalogue holds no setting for any more (deleted or renamed since they were
// typed): no tag was written for them, and the page keeps its tags of their names.
CString WithoutSettingText(const std::vector<CString>& names)
{
    CString strNames;
    for (const CString& strName : names)
        strNames += (strNames.IsEmpty() ? "\"" : ", \"") + strName + "\"";
    CString strText;
    strText.Format(names.size() == 1
                       ? "Not written: the edit of %s, as the metatag settings no longer hold a metatag of that name. "
                         "The page keeps its tags of that name as they were."
                       : "Not written: the edits of %s, as the metatag settings no longer hold metatags of those names. "
                         "The page keeps its tags of those names as they were.",
                   strNames.GetString());
    return strText;
}

// The line of a page whose file another page of the save wrote: the page keeps its edits.
CString AliasLine(const CPageNode& page, const CPageNode& writer)
{
    CString strLine;
    strLine.Format("%s : Not saved: it is the same file as %s, which was saved with that page's edits. The edits of "
                   "this page are kept for the next save.",
                   page.GetSitePath().GetString(), writer.GetSitePath().GetString());
    return strLine;
}

void Line(HWND hPane, const CString& strSource, const CString& strMessage)
{
    PostOutputAreaLine(hPane, strSource, strMessage);
}

// Pages up to this size are read whole before they are rewritten.
constexpr off_t kReadWholeLimit = 4 << 20;

// The copy the save writes beside a page: removed again unless it took the page's place.
class CSaveCopy : public CFile {
public:
    // Takes the descriptor of a copy the save made for reading and writing. Its path tells the
    // engine where to hold back what it cannot write yet: beside the copy, on the same disk.
    CSaveCopy(int fd, const CString& strPath) : m_strPath(strPath)
    {
        m_hFile = static_cast<UINT>(fd);
        m_nOpenFlags = modeReadWrite | shareDenyNone;
        m_strFileName = strPath;
    }
    ~CSaveCopy() override
    {
        Release();
        if (!m_bKept)
            ::unlink(m_strPath);
    }
    CSaveCopy(const CSaveCopy&) = delete;
    CSaveCopy& operator=(const CSaveCopy&) = delete;

    // Keeps the platform's error of the first failed write, to name its cause.
    void Write(const void* lpBuf, UINT nCount) override
    {
        try {
            CFile::Write(lpBuf, nCount);
            m_written.Add(lpBuf, nCount);
        } catch (CFileException* e) {
            if (m_lWriteError == 0)
                m_lWriteError = e->m_lOsError;
            throw;
        }
    }
    int Descriptor() const { return static_cast<int>(m_hFile); }
    // Closes the descriptor; the errno of a failed close, else 0.
    int Release()
    {
        if (m_hFile == hFileNull)
            return 0;
        const int nResult = ::close(static_cast<int>(m_hFile));
        m_hFile = hFileNull;
        return nResult == 0 ? 0 : errno;
    }
    const CString& GetPath() const { return m_strPath; }
    void Keep() { m_bKept = true; }
    LONG GetWriteError() const { return m_lWriteError; }
    // The checksum of the bytes written, as the scan takes it of the pages it reads.
    ULONGLONG GetChecksum() const { return m_written.Get(); }

private:
    CPageChecksum m_written;
    CString m_strPath;
    LONG m_lWriteError = 0;
    bool m_bKept = false;
};

// What a failed write or flush of a page's copy means for the page.
CString CopyFailureText(LONG lError, const CString& strPath)
{
    if (lError == ERROR_FILE_TOO_LARGE)
        return kTooLarge;
    if (lError == ERROR_DISK_FULL || lError == ERROR_HANDLE_DISK_FULL)
        return kDiskFull;
    return ScanMessageOfError(static_cast<DWORD>(lError), strPath);
}

// The line that tells of the copies removed from a folder.
CString LeftCopiesLine(const CString& strFolder, UINT nRemoved)
{
    CString strLine;
    strLine.Format(nRemoved == 1 ? "%s : Removed %u temporary file that an interrupted save had left there."
                                 : "%s : Removed %u temporary files that an interrupted save had left there.",
                   strFolder.GetString(), nRemoved);
    return strLine;
}

// Removes the copies an interrupted save left in the folders (each once) and tells the pane.
class LeftCopiesSweep {
public:
    explicit LeftCopiesSweep(HWND hPane) : m_hPane(hPane) {}
    void Sweep(const CString& strFolder)
    {
        try {
            if (!m_swept.insert(std::string(strFolder.GetString())).second)
                return;
            if (const UINT nRemoved = CParserEngine::RemoveLeftSaveCopies(strFolder); nRemoved > 0)
                PostOutputAreaLine(m_hPane, CString(), LeftCopiesLine(strFolder, nRemoved));
        } catch (...) {
            // Left copies are only untidy: a sweep that fails leaves them for the next one.
        }
    }

private:
    HWND m_hPane;
    std::set<std::string> m_swept;
};

struct SweepParams {
    std::vector<CString> folders;
    HWND hPane = nullptr;
    // Set when the engine goes: the sweep ends after the folder it is in.
    std::shared_ptr<std::atomic<UINT>> pClosing;
};

UINT SweepThread(LPVOID pParam)
{
    std::unique_ptr<SweepParams> pParams(static_cast<SweepParams*>(pParam));
    LeftCopiesSweep sweep(pParams->hPane);
    for (const CString& strFolder : pParams->folders) {
        if (pParams->pClosing->load() != 0)
            break;
        sweep.Sweep(strFolder);
    }
    return 0;
}

CString FolderOfPage(const CString& strFile)
{
    const int nSlash = strFile.ReverseFind('/');
    if (nSlash < 0)
        return CString(".");
    return nSlash == 0 ? CString("/") : strFile.Left(nSlash);
}

// Whether the file under the path is still the one that was read. The path is the file's own
// (a page that is a link was resolved when it was read): a link put there since is a change.
bool IsUnchanged(const struct stat& read, const CString& strFile)
{
    struct stat now {};
    return ::lstat(strFile, &now) == 0 && now.st_dev == read.st_dev && now.st_ino == read.st_ino
        && now.st_size == read.st_size && now.st_mtim.tv_sec == read.st_mtim.tv_sec
        && now.st_mtim.tv_nsec == read.st_mtim.tv_nsec;
}

// Gives the copy the page's owner, group and permissions, and starts writing its bytes to the
// disk; the flush that waits for them comes later, for a whole batch of pages at once. 0, or
// the platform error.
LONG PrepareCopy(CSaveCopy& copy, const struct stat& page)
{
    const int fd = copy.Descriptor();
    static const uid_t s_uid = ::geteuid();
    static const gid_t s_gid = ::getegid();
    if (page.st_uid != s_uid || page.st_gid != s_gid) {
        // Only root may give a file away; others keep at least the group where they may.
        if (::fchown(fd, page.st_uid, page.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), page.st_gid);
    }
    // After the owner: a change of owner clears the set-id bits.
    if (::fchmod(fd, page.st_mode & 07777) != 0)
        return static_cast<LONG>(ErrnoToLastError(errno));
    (void)::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    return 0;
}

// Restores the page's title-edited flag, which the rewriting engine clears as it writes, unless
// the new page took the old one's place.
class TitleFlagKeeper {
public:
    explicit TitleFlagKeeper(CPageNode* pPage) : m_pPage(pPage), m_bEdited(pPage->GetTitleModified()) {}
    ~TitleFlagKeeper()
    {
        if (!m_bCommitted)
            m_pPage->SetTitleModified(m_bEdited);
    }
    TitleFlagKeeper(const TitleFlagKeeper&) = delete;
    TitleFlagKeeper& operator=(const TitleFlagKeeper&) = delete;
    void Commit() { m_bCommitted = true; }
    bool WasEdited() const { return m_bEdited != 0; }

private:
    CPageNode* m_pPage;
    UINT m_bEdited;
    bool m_bCommitted = false;
};

// One page on its way. The save works in batches: every page of a batch gets its copy written
// beside it (and, with the backup-file scheme, its backup name), then one flush puts all of them
// on the disk, and then the pages take their copies in turn, each told to the dialog as before.
// A page that is never put in place leaves nothing behind: its copy and backup name are removed
// and its edits stay marked.
struct PendingPage {
    PendingPage(CPageNode* pNode, const WrittenFiles& writtenFiles, const std::set<FileKey>& batchFiles)
        : pPage(pNode), edited(FALSE), written(writtenFiles), batch(batchFiles)
    {
    }
    ~PendingPage()
    {
        if (!strBackup.IsEmpty() && !bCommitted)
            ::unlink(strBackup);
    }
    PendingPage(const PendingPage&) = delete;
    PendingPage& operator=(const PendingPage&) = delete;

    // Fails the page with a line for the Output Area; its copy goes when the page does.
    PageResult Fail(const CString& strLine, PageResult failure = PageResult::Failed)
    {
        lines.push_back(strLine);
        result = failure;
        pCopy.reset();
        return result;
    }
    // The save was stopped on the page's way: its copy goes, and nothing is told of it.
    PageResult Stop()
    {
        result = PageResult::Stopped;
        pCopy.reset();
        return result;
    }
    bool Ready() const { return result == PageResult::Saved && pCopy != nullptr; }

    CPageNode* pPage;
    PageResult result = PageResult::Saved;
    std::vector<CString> lines; // told when the page's turn comes
    CString strRepeatsTakenOut; // told when the page is saved
    CString strEscaped;         // the same
    // The charset the copy is written in: it is read back in it, also when it declares none any
    // more, which a scan would guess.
    CPageCharset writtenCharset;
    CString strPath;            // the page's own path
    CString strFile;            // the file it names (the same, unless the page is a link)
    CString strFolder;
    CString strBackup;          // scheme 0: the old page's second name, made before the flush
    struct stat read {};        // the file as it was read
    ULONGLONG nReadChecksum = 0; // of its bytes
    CMetaContentList edited;    // the page's edited contents, borrowed
    CMetaContentList copies;    // the engine's copy of them: what is still marked was not written
    const WrittenFiles& written; // the files the save wrote so far
    const std::set<FileKey>& batch; // the files of the batch's pages on their way
    CPageNode* pWrittenBy = nullptr; // Alias: the page whose edits went into the file
    bool bChangedBehind = false; // another program changed the file since the page was read
    struct stat copyInfo {};    // the copy, which takes the file's place
    ULONGLONG nCopyChecksum = 0; // of the copy's bytes
    UINT nBackupNamesOfItself = 0; // of the file's other names, the backup names
    std::unique_ptr<CSaveCopy> pCopy;
    std::unique_ptr<TitleFlagKeeper> pTitle;
    bool bCommitted = false;
};

// Why the engine found no frame for the page's tags (no HTML start tag, no head). A page in a
// charset this program does not write shows none either, and is told as what it is, as is a page
// emptied since it was written.
CString MissingFrameText(int fdPage, UINT nID)
{
    char szStart[4] = {};
    const ssize_t n = nID == kIdsMissingHtmlStart ? ::pread(fdPage, szStart, sizeof szStart, 0) : 0;
    if (nID == kIdsMissingHtmlStart && n == 0)
        return EmptyPageText();
    const CString strCharset = UnwrittenCharsetText(std::string_view(szStart, n > 0 ? static_cast<size_t>(n) : 0));
    return strCharset.IsEmpty() ? GetMetaEditErrorText(nID) : strCharset;
}

// Whether the copy the engine wrote holds the page's bytes as they are. The page is in whole
// when it was read in one go, else it is read again from its descriptor.
bool CopyHoldsPage(int fdCopy, int fdPage, const std::vector<BYTE>& whole, off_t nPageSize)
{
    struct stat copy {};
    if (::fstat(fdCopy, &copy) != 0 || copy.st_size != nPageSize)
        return false;
    constexpr size_t kPiece = 64 * 1024;
    std::vector<char> mine(kPiece), theirs(kPiece);
    for (off_t at = 0; at < nPageSize;) {
        const size_t n = static_cast<size_t>(std::min<off_t>(static_cast<off_t>(kPiece), nPageSize - at));
        if (::pread(fdCopy, mine.data(), n, at) != static_cast<ssize_t>(n))
            return false;
        const char* pPage = nullptr;
        if (static_cast<off_t>(whole.size()) == nPageSize) {
            pPage = reinterpret_cast<const char*>(whole.data()) + at;
        } else {
            if (::pread(fdPage, theirs.data(), n, at) != static_cast<ssize_t>(n))
                return false;
            pPage = theirs.data();
        }
        if (std::memcmp(mine.data(), pPage, n) != 0)
            return false;
        at += static_cast<off_t>(n);
    }
    return true;
}

// The contents whose tags were written are saved, and the title with them when it was; any the
// page had no place for (no head) stay marked, so the edit is not lost.
void MarkEditsSaved(PendingPage& pending)
{
    pending.pTitle->Commit();
    POSITION posCopy = pending.copies.GetHeadPosition();
    for (POSITION pos = pending.edited.GetHeadPosition(); pos != nullptr && posCopy != nullptr;) {
        CMetaContent* pOriginal = pending.edited.GetNext(pos);
        CMetaContent* pCopy = pending.copies.GetNext(posCopy);
        if (pOriginal != nullptr && pCopy != nullptr && !pCopy->GetModified())
            pOriginal->SetModified(0);
    }
}

// Writes the page's copy beside the file it names; the watch stops it where the user stops the
// save.
PageResult PreparePage(PendingPage& pending, SavePageWatch& watch)
{
    CPageNode* pPage = pending.pPage;
    pPage->GetFullPath(pending.strPath);
    const CString& strPath = pending.strPath;
    // Edits made to a page the scan could not read, or did not come to (a stopped scan), would
    // go into tags the user never saw.
    if (!pPage->GetReadFailure().IsEmpty())
        return pending.Fail(kNotReadWhenScanned);
    if (!pPage->IsRead())
        return pending.Fail(pPage->IsLeftUnread() ? kLeftUnreadForSize : kNotReadByScan);
    // Every selected page is rewritten and backed up, edited or not: a page without edits comes
    // out byte for byte as it was.
    pPage->GetModifiedContents(pending.edited);

    // Without blocking, and only a regular file, judged by the opened descriptor: a page that
    // is (or has become) a FIFO or a link to a device must not hang or flood the save. A link
    // is opened as the file it names, whose path the save then works on.
    FdGuard pageFd(OpenPageFile(strPath, pending.strFile));
    if (pageFd.Get() < 0)
        return pending.Fail(SaveMessageOfErrno(errno, strPath));
    struct stat& page = pending.read;
    if (::fstat(pageFd.Get(), &page) != 0)
        return pending.Fail(SaveMessageOfErrno(errno, strPath));
    if (!S_ISREG(page.st_mode))
        return pending.Fail(kNotARegularFile);
    watch.SetPageSize(static_cast<ULONGLONG>(page.st_size));
    // In one save a file is written once, with the edits of the first of its pages: a later
    // page through another name of the file the two read would write over them.
    if (const auto found = pending.written.find(KeyOf(page));
        found != pending.written.end() && pPage->IsReadFile(found->second.read.first, found->second.read.second)) {
        pending.pWrittenBy = found->second.pWriter;
        pending.result = PageResult::Alias;
        // Its name leads to the file that page wrote now, or still to the file both read (a
        // hard link): the next save writes this page's edits there, and that page's text is
        // this program's, not another's.
        pPage->SetReadFileState(page, found->second.nChecksum);
        return pending.result;
    }
    // The edits are of the tags the scan read in one file. A name that leads to another file now
    // (a link put in the page's place, to a file outside the site or to another page) is not
    // written through: the edits would land in a file the user never saw. The page's own file,
    // changed by another program since, takes them over its changes, and the user is told. The
    // check is made on the file opened, which is the one read below and backed up; its size and
    // time are a first look, which the bytes read below have the last word on.
    switch (JudgePageFile(*pPage, strPath, pageFd.Get(), page)) {
    case PageFileState::NotRead: return pending.Fail(kNotReadByScan);
    case PageFileState::LeadsElsewhere: return pending.Fail(LeadsElsewhereLine());
    case PageFileState::ChangedBehind: pending.bChangedBehind = true; break;
    case PageFileState::AsRead: break;
    }
    if (page.st_nlink > 1)
        pending.nBackupNamesOfItself = CountBackupNamesOfItself(pending.strFile, page);
    // Read-only is the file's own mark, whoever saves: root too leaves such a page alone.
    if ((page.st_mode & 0222) == 0)
        return pending.Fail(kDeniedReadOnly, PageResult::ReadOnly);
    if (pending.batch.count(KeyOf(page)) != 0) {
        pending.result = PageResult::Deferred;
        return pending.result;
    }
    // O_NONBLOCK is left set: it changes nothing for a regular file. A page of common size is
    // read in one go; a large one is read as the engine goes.
    std::vector<BYTE> whole;
    std::unique_ptr<CFile> pPageFile;
    CPageBytesCheck bytes;
    if (page.st_size > 0 && page.st_size <= kReadWholeLimit) {
        whole.resize(static_cast<size_t>(page.st_size));
        size_t nRead = 0;
        while (nRead < whole.size()) {
            const ssize_t n = ::read(pageFd.Get(), whole.data() + nRead, whole.size() - nRead);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return pending.Fail(SaveMessageOfErrno(errno, strPath));
            if (n == 0)
                break;
            nRead += static_cast<size_t>(n);
        }
        pPageFile = std::make_unique<CMemFile>(whole.data(), static_cast<UINT>(nRead));
        bytes.Add(reinterpret_cast<const char*>(whole.data()), nRead);
    } else {
        pPageFile = std::make_unique<CFile>(pageFd.Get());
        bool bStopped = false;
        bytes = CPageBytesCheck::OfFile(pageFd.Get(), [&watch] { return watch.IsStopRequested(); }, bStopped);
        if (bStopped)
            return pending.Stop();
    }
    // The save's own look at the bytes it would rewrite: a picture or an archive put in the
    // page's place since its edits were made holds no tags to write, whatever HTML is among its
    // bytes. Nothing is written and nothing is backed up.
    if (bytes.GetKind() != CPageBytesCheck::Kind::Text)
        return pending.Fail(bytes.GetText());
    // Another program changed the page when its bytes are not those the scan read: a page only
    // touched, or copied out and moved back, is as it was, and one changed in place with its
    // size and time put back is not. A page whose bytes the scan did not read is judged by its
    // size and time.
    pending.nReadChecksum = bytes.GetChecksum();
    if (const std::optional<bool> bSameBytes = pPage->IsReadBytes(pending.nReadChecksum))
        pending.bChangedBehind = !*bSameBytes;
    CFile& pageFile = *pPageFile;

    pending.strFolder = FolderOfPage(pending.strFile);
    CString strTemp;
    const int fdTemp = CreateSaveCopy(pending.strFolder, strTemp);
    if (fdTemp < 0)
        return pending.Fail(FolderMessageOfErrno(errno, pending.strFolder));
    pending.pCopy = std::make_unique<CSaveCopy>(fdTemp, strTemp);
    CSaveCopy& copyFile = *pending.pCopy;

    pending.copies.CopyFrom(pending.edited);
    pending.pTitle = std::make_unique<TitleFlagKeeper>(pPage);
    size_t nWithoutSetting = 0;
    try {
        // The engine gets no pane: a failed write is told here, naming the page, not the copy.
        CMetaEditEngine engine(&pending.copies, pPage, &pageFile, &copyFile, nullptr);
        engine.SetWatch(&watch);
        engine.Run();
        if (engine.WasStopped())
            return pending.Stop();
        if (engine.GetWriteFailed()) {
            const LONG lError = copyFile.GetWriteError();
            return pending.Fail(CopyFailureText(lError != 0 ? lError : static_cast<LONG>(engine.GetHeldWriteError()), strPath));
        }
        // A page the engine finds no head in (an empty page, a binary file) is reported as not
        // saved, and so it is: the file, its times and its backups stay as they are.
        UINT nID = 0;
        if (engine.GetError(nID) != 0)
            return pending.Fail(MissingFrameText(pageFd.Get(), nID));
        // A new charset the page cannot be written in leaves it as it was, edits and all.
        if (!engine.GetRefusal().IsEmpty())
            return pending.Fail(engine.GetRefusal());
        pending.strRepeatsTakenOut = RepeatsTakenOutText(engine.GetRemovedRepeats());
        pending.strEscaped = EscapedText(engine);
        pending.writtenCharset = engine.GetWrittenCharset();
        nWithoutSetting = engine.GetEditsWithoutSetting().size();
        if (nWithoutSetting > 0)
            pending.lines.push_back(WithoutSettingText(engine.GetEditsWithoutSetting()));
    } catch (CException* e) {
        const LONG lError = copyFile.GetWriteError();
        const CString strError = lError != 0 ? CopyFailureText(lError, strPath) : ScanMessageOf(e);
        e->Delete();
        return pending.Fail(strError);
    }
    // Edits that change no byte of the page (a charset named again in other letters, a value
    // given what it held) write nothing: the page, its date and its backups stay as they are.
    if (CopyHoldsPage(copyFile.Descriptor(), pageFd.Get(), whole, page.st_size)) {
        pending.pCopy.reset();
        // The page shows what its file holds once it is read again below: the file as it is now
        // is no other program's change to the next save.
        pPage->SetReadFileState(page, pending.nReadChecksum);
        // A page whose every edit had no setting was left for that, and is told so alone.
        if (nWithoutSetting == 0 || pending.pTitle->WasEdited()
            || nWithoutSetting < static_cast<size_t>(pending.edited.GetCount()))
            pending.lines.push_back(kNothingToWrite);
        pending.result = PageResult::Unchanged;
        return pending.result;
    }
    if (const LONG lError = PrepareCopy(copyFile, page); lError != 0)
        return pending.Fail(CopyFailureText(lError, strPath));
    if (::fstat(copyFile.Descriptor(), &pending.copyInfo) != 0)
        return pending.Fail(MessageOfErrno(errno, strPath));
    pending.nCopyChecksum = copyFile.GetChecksum();
    return PageResult::Saved;
}

// Why the page itself may be neither replaced nor given a second name, although its folder may be
// written: the file system's marks on the file. Empty when they are not the cause.
CString PageRefusalText(const CString& strFile)
{
    FdGuard file(::open(strFile, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY));
    int nFlags = 0;
    if (file.Get() < 0 || ::ioctl(file.Get(), FS_IOC_GETFLAGS, &nFlags) != 0)
        return CString();
    if ((nFlags & FS_IMMUTABLE_FL) != 0)
        return kPageImmutable;
    if ((nFlags & FS_APPEND_FL) != 0)
        return kPageAppendOnly;
    return CString();
}

// What a refused replace of the page means: the page's own cause when it has one, else the
// folder's.
CString ReplaceFailureText(int nErrno, const PendingPage& pending)
{
    if (nErrno == EACCES || nErrno == EPERM) {
        if (const CString strText = PageRefusalText(pending.strFile); !strText.IsEmpty())
            return strText;
    }
    if (nErrno == EACCES || nErrno == EPERM || nErrno == EROFS)
        return FolderMessageOfErrno(nErrno, pending.strFolder);
    return SaveMessageOfErrno(nErrno, pending.strFile);
}

CString NameOf(const CString& strPath)
{
    return strPath.Mid(strPath.ReverseFind('/') + 1);
}

// Scheme 0: the old page keeps living under its backup name, made as a second name of the old
// file before the new file takes the page's place, so the page's path always holds either the
// old or the new page.
void MakeBackup(PendingPage& pending)
{
    CString strBackup;
    if (CParserEngine::MakeBackupName(pending.strFile, strBackup) != 0) {
        pending.Fail(kNoBackupName);
        return;
    }
    // The copy's mark tells the name, so that a sweep after a save killed before the page is
    // replaced takes the name back.
    NoteSaveCopyBackup(pending.pCopy->Descriptor(), NameOf(pending.strFile), NameOf(strBackup));
    // An old file with other names (hard links) than its backup names goes on living under them,
    // and what is written through them would change a backup that were one more of its names:
    // the backup is a copy then, the old text as it was.
    const bool bOtherNames = pending.read.st_nlink > 1 + pending.nBackupNamesOfItself;
    if (!bOtherNames && ::link(pending.strFile, strBackup) == 0) {
        pending.strBackup = strBackup;
        return;
    }
    if (!bOtherNames) {
        const int nError = errno;
        if (nError == EPERM) {
            if (const CString strText = PageRefusalText(pending.strFile); !strText.IsEmpty()) {
                pending.Fail(strText);
                return;
            }
        }
        // (EPERM is otherwise a file system without links, which the copy below serves.)
        if (nError == EACCES || nError == EROFS) {
            pending.Fail(FolderMessageOfErrno(nError, pending.strFolder));
            return;
        }
        if (nError == EEXIST || nError == ENOENT || nError == ENOSPC) {
            pending.Fail(SaveMessageOfErrno(nError, pending.strFile));
            return;
        }
    }
    // Other names, or a file system without links: the backup is a copy.
    if (!CopyFile(pending.strFile, strBackup, TRUE)) {
        pending.Fail(ScanMessageOfError(GetLastError(), pending.strFile));
        return;
    }
    pending.strBackup = strBackup;
}

// Puts every copy of the batch, and the folder entries made for them, on the disk: after a
// crash a page's name holds the old or the whole new text, never an empty or partial file.
void FlushBatch(std::vector<std::unique_ptr<PendingPage>>& batch, UINT nBackupScheme, SaveFlush& flush)
{
    for (auto& pPending : batch) {
        // The page is looked at once more just before it is replaced; a backup made of
        // another program's newer text then goes again with the page's copy.
        if (pPending->Ready() && nBackupScheme == CProjectSettings::kBackupFile)
            MakeBackup(*pPending);
    }
    std::vector<SaveFlush::Copy> copies;
    std::vector<PendingPage*> flushed;
    for (auto& pPending : batch) {
        if (pPending->Ready()) {
            copies.push_back({pPending->pCopy->Descriptor(), pPending->strFolder});
            flushed.push_back(pPending.get());
        }
    }
    flush.FlushCopies(copies);
    for (size_t i = 0; i < flushed.size(); ++i) {
        PendingPage& pending = *flushed[i];
        int nError = copies[i].nError;
        if (nError == 0)
            nError = pending.pCopy->Release();
        if (nError != 0)
            pending.Fail(CopyFailureText(static_cast<LONG>(ErrnoToLastError(nError)), pending.strPath));
    }
}

// Puts the page's copy in its place by the backup scheme.
PageResult CommitPage(PendingPage& pending, UINT nBackupScheme)
{
    const CString& strFile = pending.strFile;
    const CString& strTemp = pending.pCopy->GetPath();
    HoldSaveAt(SaveStep::CopyReady, *pending.pPage, static_cast<ULONGLONG>(pending.copyInfo.st_size));
    // The last look before the page is replaced: another program's newer text wins.
    if (!IsUnchanged(pending.read, strFile))
        return pending.Fail(kChangedMeanwhile);
    if (nBackupScheme == CProjectSettings::kBackupTrash) {
        // The old page goes to the trash; when the new one cannot take its place, the old one
        // comes back.
        const TrashResult trashed = MoveToTrash(std::string(strFile.GetString()));
        if (!trashed.Succeeded()) {
            const CString strText = PageRefusalText(strFile);
            return pending.Fail(strText.IsEmpty() ? CString(kNoRecycleBin) : strText);
        }
        if (::rename(strTemp, strFile) != 0) {
            const CString strError = SaveMessageOfErrno(errno, strFile);
            if (MoveFileEx(trashed.trashedPath.c_str(), strFile, MOVEFILE_COPY_ALLOWED))
                ::unlink(trashed.infoPath.c_str());
            return pending.Fail(strError);
        }
    } else if (::rename(strTemp, strFile) != 0) {
        // The backup-file scheme made its backup already; the deleting scheme needs none: the new
        // page replaces the old one in one rename, which is what deleting the old one and
        // renaming the new one comes to, without a moment in which neither exists.
        return pending.Fail(ReplaceFailureText(errno, pending));
    }
    // The page does not keep the copy's mark, which it bore until it had the page's name: a
    // save killed before leaves a copy the next sweep can tell for a left one.
    UnmarkSaveCopy(strFile);
    pending.bCommitted = true;
    // The page's file is the new one from now on, for the next save's look: what this save wrote
    // is no other program's change.
    pending.pPage->SetReadFileState(pending.copyInfo, pending.nCopyChecksum);
    pending.pCopy->Keep();
    // The page's other hard links still name the old file: writing the page in place would
    // carry the edit to them, but also into every copy that shares the file by accident (a
    // backup tree made of links, say), and would leave a half-written page after a crash. The
    // page is replaced as a whole, and the user is told.
    if (pending.bChangedBehind)
        pending.lines.push_back(kChangedBehind);
    if (pending.read.st_nlink > 1 + pending.nBackupNamesOfItself)
        pending.lines.push_back(kOtherNamesKeepOldText);
    if (!pending.strRepeatsTakenOut.IsEmpty())
        pending.lines.push_back(pending.strRepeatsTakenOut);
    if (!pending.strEscaped.IsEmpty())
        pending.lines.push_back(pending.strEscaped);
    MarkEditsSaved(pending);
    return PageResult::Saved;
}

// Any failure of one page, whatever raised it, is that page's: it is told in the Output Area
// and the page counts as not saved.
template <class Step>
void Guarded(PendingPage& pending, Step&& step)
{
    CString strError;
    try {
        step();
        return;
    } catch (CException* e) {
        strError = ScanMessageOf(e);
        e->Delete();
    } catch (const std::bad_alloc&) {
        strError = "Not saved: there was not enough memory.";
    } catch (const std::exception& e) {
        strError = e.what();
    } catch (...) {
        strError = "Unknown error message.";
    }
    pending.Fail(strError);
}

// How many pages share one flush: enough to spread its cost thin, few enough that a stop comes
// soon and open copies stay few.
constexpr size_t kSaveBatch = 64;
// A page whose copy is this large ends its batch: it is put in its place as soon as it is
// written, not after the pages that follow it, and a flush of its own costs little beside its
// writing.
constexpr long long kLargeCopy = 16ll << 20;

UINT SaveThread(LPVOID pParam)
{
    std::unique_ptr<SaveParams> pParams(static_cast<SaveParams*>(pParam));
    Post(pParams->hPane, kMsgOutputClear);
    BOOL bStopped = FALSE;
    size_t nNext = 0;
    std::vector<CPageNode*>& pages = pParams->pages;
    WrittenFiles written;
    LeftCopiesSweep sweep(pParams->hPane);
    SaveFlush flush;
    // Ended, with every page read, before the end is told.
    std::unique_ptr<SavedPagesReader> pReader;
    if (pParams->pReads)
        pReader = std::make_unique<SavedPagesReader>(pParams->pReads);
    SavePageWatch watch(pParams->pState->bStop, pParams->hDialog);
    while (nNext < pages.size() && !bStopped) {
        // Prepare a batch. A page naming a file the batch already holds (a link and its target
        // both selected) waits for the next batch, which knows whether that file was written.
        std::vector<std::unique_ptr<PendingPage>> batch;
        std::set<FileKey> files;
        bool bLargeCopy = false;
        for (; nNext < pages.size() && batch.size() < kSaveBatch && !bLargeCopy; ++nNext) {
            if (pages[nNext] == nullptr)
                continue;
            sweep.Sweep(pages[nNext]->GetFolder());
            watch.Watch(pages[nNext], nNext);
            auto pPending = std::make_unique<PendingPage>(pages[nNext], written, files);
            Guarded(*pPending, [&] { PreparePage(*pPending, watch); });
            if (pPending->result == PageResult::Deferred)
                break;
            if (pPending->Ready()) {
                files.insert(KeyOf(pPending->read));
                bLargeCopy = pPending->copyInfo.st_size >= kLargeCopy;
            }
            batch.push_back(std::move(pPending));
            // A stop is answered after the page being saved: the next one to be put in place.
            if (pParams->pState->bStop.load())
                break;
        }
        // The flush works on the whole batch; one page's failure there is that page's.
        try {
            FlushBatch(batch, pParams->nBackupScheme, flush);
        } catch (...) {
            for (auto& pPending : batch) {
                if (pPending->Ready())
                    pPending->Fail("Unknown error message.");
            }
        }
        for (auto& pPending : batch) {
            CPageNode* pPage = pPending->pPage;
            Post(pParams->hDialog, kMsgSavePageBegin, reinterpret_cast<LPARAM>(pPage));
            if (pPending->Ready()) {
                Guarded(*pPending, [&] { CommitPage(*pPending, pParams->nBackupScheme); });
                if (pPending->bCommitted) {
                    flush.NoteReplaced(pPending->strFolder, pPending->copyInfo.st_dev);
                    written.emplace(KeyOf(pPending->read),
                                    WrittenFile{pPage, KeyOf(pPending->read), pPending->nReadChecksum});
                    written.emplace(KeyOf(pPending->copyInfo),
                                    WrittenFile{pPage, KeyOf(pPending->read), pPending->nCopyChecksum});
                    // The page is read back, as a scan would read it, so that the window has
                    // only to show it once the save is done.
                    if (pReader)
                        pReader->Read(pPage, pPending->strPath, pPending->writtenCharset);
                }
            }
            if (pPending->result == PageResult::Unchanged) {
                // Saved as it stands: its edits are what it holds.
                MarkEditsSaved(*pPending);
                if (pReader)
                    pReader->Read(pPage, pPending->strPath, pPending->writtenCharset);
            }
            if (pPending->result == PageResult::Alias)
                Line(pParams->hPane, CString(), AliasLine(*pPage, *pPending->pWrittenBy));
            // Named by its path in the site: pages of the same name in other folders (every
            // folder's index page) must not read alike.
            for (const CString& strLine : pPending->lines)
                Line(pParams->hPane, pPage->GetSitePath(), strLine);
            if (pPending->result == PageResult::Saved || pPending->result == PageResult::Unchanged)
                Post(pParams->hDialog, kMsgSavePageDone,
                     pPending->result == PageResult::Unchanged ? kSavedUnchanged : kSavedWritten,
                     reinterpret_cast<LPARAM>(pPage));
            if (pPending->result != PageResult::ReadOnly && pParams->pState->bStop.load()) {
                bStopped = TRUE;
                break;
            }
        }
        // The new names last through a crash too: with the next batch's flush, or now.
        flush.FlushReplaced(SaveFlush::Replaced::OfThisBatch);
    }
    flush.FlushReplaced(SaveFlush::Replaced::All);
    pReader.reset();
    if (!bStopped)
        Post(pParams->hDialog, kMsgSaveFinished);
    return 1;
}

// ---- Waiting for a worker's end ----

struct WaitParams {
    std::shared_ptr<CParserEngine::ThreadState> pState;
    HWND hDialog = nullptr;
    UINT nMessage = 0;
};

UINT WaitingThread(LPVOID pParam)
{
    std::unique_ptr<WaitParams> pParams(static_cast<WaitParams*>(pParam));
    const HANDLE hThread = pParams->pState->hThread.exchange(nullptr);
    if (hThread != nullptr) {
        WaitForSingleObject(hThread, INFINITE);
        CloseHandle(hThread);
    }
    Post(pParams->hDialog, pParams->nMessage);
    return 0;
}

// Starts a thread suspended, takes a duplicate of its handle and resumes it. The thread takes the
// parameters over; they stay with the caller when no thread could be started (false).
template <class Params>
bool StartThread(AFX_THREADPROC pfnProc, std::unique_ptr<Params>& pParams, HANDLE& hDuplicate)
{
    hDuplicate = nullptr;
    CWinThread* pThread = AfxBeginThread(pfnProc, pParams.get(), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == nullptr)
        return false;
    DuplicateHandle(GetCurrentProcess(), pThread->m_hThread, GetCurrentProcess(), &hDuplicate, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    pParams.release(); // the thread frees its parameters
    pThread->ResumeThread();
    return true;
}

// Starts a worker and keeps the duplicate of its handle in the state.
template <class Params>
UINT StartWorker(AFX_THREADPROC pfnProc, std::unique_ptr<Params>& pParams, CParserEngine::ThreadState& state)
{
    HANDLE hDuplicate = nullptr;
    if (!StartThread(pfnProc, pParams, hDuplicate))
        return 1;
    if (const HANDLE hOld = state.hThread.exchange(hDuplicate); hOld != nullptr)
        CloseHandle(hOld);
    return 0;
}

void WaitAndClose(HANDLE hThread)
{
    if (hThread != nullptr) {
        WaitForSingleObject(hThread, INFINITE);
        CloseHandle(hThread);
    }
}

// ---- Scan ----

// What a scan allows per host and scheme.
constexpr int kScanTasksPerHost = 100;
// The fetch engine's link kind of a page, and its type id of META names without a setting.
constexpr int kLinkKindPage = 1;
constexpr UINT kTypeUndefined = 7;
constexpr LPCTSTR kCouldNotRead = "The page could not be read.";
// The scan state of a page whose check a stop cut off, until its end is reported.
constexpr UINT kScanCutOff = 2;
// How often a worker waiting for the main window looks whether the window is still there.
constexpr DWORD kShowSettingSliceMs = 250;

struct StopParams {
    std::shared_ptr<CParserEngine::ThreadState> pState;
    std::unique_ptr<IScanTaskManager> pTaskManager;
    HWND hMainWnd = nullptr;
    // Run once the fetch engine's workers are gone.
    std::function<void()> afterStop;
};

UINT ScanStopThread(LPVOID pParam)
{
    std::unique_ptr<StopParams> pParams(static_cast<StopParams*>(pParam));
    if (pParams->pTaskManager) {
        try {
            pParams->pTaskManager->RequestStop();
            pParams->pTaskManager->StopThreads();
            pParams->pTaskManager.reset();
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
    }
    if (pParams->afterStop)
        pParams->afterStop();
    // Cleared before the post: the main window may start the next scan as soon as it has it.
    pParams->pState->bStop.store(0);
    Post(pParams->hMainWnd, kMsgScanFinished);
    return 0;
}

// A proxy port as the record holds it: text read as a number, 0 when it is none or no port.
WORD PortOf(const CString& strPort)
{
    const long nPort = std::atol(strPort);
    return nPort > 0 && nPort <= 0xFFFF ? static_cast<WORD>(nPort) : 0;
}

CString TextOf(LPCSTR lpsz)
{
    return CString(lpsz != nullptr ? lpsz : "");
}

} // namespace

bool IScanTaskManager::QueueParsedUrl(DWORD_PTR dwPage, const CUrlString& url, int nLinkKind, BOOL bFetch)
{
    // A fetch engine without a queue for parsed URLs is given the URL's text again.
    return QueueUrl(dwPage, url.GetUrl(TRUE), nLinkKind, bFetch);
}

CParserEngine::CParserEngine()
    : m_pStopState(std::make_shared<ThreadState>()), m_pEnumState(std::make_shared<ThreadState>()),
      m_pSaveState(std::make_shared<ThreadState>()), m_pClosing(std::make_shared<std::atomic<UINT>>(0))
{
}

CParserEngine::~CParserEngine()
{
    // No thread the engine started outlives it: each is asked to end soon and waited for. The
    // enumeration ends at once, a save after the page it is saving, a sweep after its folder.
    // From here on no stop starts: a worker's last page may still end the scan, and a stop
    // thread started now would be waited for by no one. The fetch engine is taken at the same
    // moment, so that it is either here or with a stop thread that has started already.
    std::unique_ptr<IScanTaskManager> pTaskManager;
    {
        std::lock_guard<std::mutex> guard(m_managerLock);
        m_pClosing->store(1);
        pTaskManager = std::move(m_pTaskManager);
    }
    m_pEnumState->bStop.store(1);
    m_pSaveState->bStop.store(1);
    // The fetch engine's workers report to this object until their engine has stopped.
    WaitAndClose(m_pStopState->hThread.exchange(nullptr));
    if (pTaskManager) {
        pTaskManager->RequestStop();
        pTaskManager->StopThreads();
    }
    // The waiting threads end with the workers they wait for; a worker no stop was asked of is
    // waited for here.
    std::vector<HANDLE> helpers;
    {
        std::lock_guard<std::mutex> guard(m_helpersLock);
        helpers.swap(m_helpers);
    }
    for (const HANDLE hHelper : helpers)
        WaitAndClose(hHelper);
    WaitAndClose(m_pEnumState->hThread.exchange(nullptr));
    WaitAndClose(m_pSaveState->hThread.exchange(nullptr));
}

void CParserEngine::KeepHelper(HANDLE hThread)
{
    std::lock_guard<std::mutex> guard(m_helpersLock);
    // Helpers that have ended are forgotten here, so that the list stays short.
    for (auto it = m_helpers.begin(); it != m_helpers.end();) {
        if (WaitForSingleObject(*it, 0) == WAIT_OBJECT_0) {
            CloseHandle(*it);
            it = m_helpers.erase(it);
        } else {
            ++it;
        }
    }
    if (hThread != nullptr)
        m_helpers.push_back(hThread);
}

CParserEngine& CParserEngine::GetEngine()
{
    std::unique_ptr<CParserEngine>& pEngine = EngineSlot();
    if (!pEngine)
        pEngine = std::make_unique<CParserEngine>();
    return *pEngine;
}

void CParserEngine::DeleteEngine()
{
    EngineSlot().reset();
}

// ---- Scan ----

UINT CParserEngine::StartScan(const CSelNodesCol& pages, const CProjectSettings& settings)
{
    {
        std::lock_guard<std::mutex> guard(m_managerLock);
        // The fetch engine of a scan that runs or is being stopped is not to be touched.
        if (m_bThreadsStarted || m_pStopState->bStop.load() != 0)
            return 1;
    }
    CVostrelAppModel& app = GetAppModel();
    // A scan shows the tags it finds and hides nothing: the columns of pages it does not read
    // (another folder's) and the ticks the user set stay. A setting the user hid although the
    // project's pages hold its tag stays hidden when a page shows it again.
    m_keptHidden = settings.m_bShowAllFound ? HiddenSettingsOnPages(app) : std::unordered_set<const CMetaSetting*>();
    m_bShowAllFound.store(settings.m_bShowAllFound);
    m_bKeywordExtractor.store(settings.m_bKeywordExtractor);
    m_hMainWnd.store(m_pHost != nullptr ? m_pHost->GetMainWindow() : nullptr);
    m_hOutputPane.store(m_pHost != nullptr ? m_pHost->GetOutputPane() : nullptr);

    IScanTaskManager* pTaskManager = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_managerLock);
        if (!m_pTaskManager) {
            if (m_pBackend == nullptr)
                return 1;
            CConnectOptions connect;
            CScanOptions scan;
            MakeFetchOptions(app.GetAppOptions(), GetScanThreadCount(), connect, scan);
            m_pTaskManager = m_pBackend->CreateTaskManager(this, connect);
            if (!m_pTaskManager)
                return 1;
            // A fetch engine left from a failed start keeps the scan options it has.
            m_pTaskManager->SetScanOptions(scan);
            // A fetch engine that stops on an error leaves its pages unreported, so the count
            // of pages left never reaches 0: the scan ends as a user's stop ends it.
            m_pTaskManager->SetErrorStopHandler([this] { StopOnError(); });
            // Without its keyword engine the scan runs on, but not one page would get a
            // suggestion: the user is told once, not once per page.
            if (!m_pTaskManager->CanExtractKeywords() && m_pHost != nullptr)
                PostOutputAreaLine(m_pHost->GetOutputPane(), "Keyword extraction", kNoKeywordEngine);
        }
        pTaskManager = m_pTaskManager.get();
    }
    if (!pTaskManager->OpenInternetSession())
        return 1;

    std::vector<CPageNode*> queued;
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;) {
        if (CPageNode* pPage = pages.GetNext(pos); pPage != nullptr) {
            queued.push_back(pPage);
            // Every page's list is made here, not by the worker that files its first tag: a
            // list stays from scan to scan, and lists made by the workers would lie one per
            // page among the values a rescan frees, keeping that memory with the program.
            CMetaContentList* pList = nullptr;
            if (pPage->GetContentList(pList) != 0 || pList == nullptr)
                pPage->CreateContentList(pList);
        }
    }
    // The scanned folders are swept of copies an interrupted save left there, beside the scan.
    {
        auto pSweep = std::make_unique<SweepParams>();
        pSweep->hPane = m_hOutputPane.load();
        std::set<std::string> folders;
        for (CPageNode* pPage : queued) {
            if (folders.insert(std::string(pPage->GetFolder().GetString())).second)
                pSweep->folders.push_back(pPage->GetFolder());
        }
        pSweep->pClosing = m_pClosing;
        HANDLE hSweep = nullptr;
        if (StartThread(&SweepThread, pSweep, hSweep))
            KeepHelper(hSweep);
    }
    // One more than the pages: the last page cannot end the scan while it is being started.
    m_nPagesLeft.store(static_cast<UINT>(queued.size()) + 1);
    // No worker runs yet, so the lock is not needed (and the user-interface thread never takes
    // it).
    m_pNames = std::make_unique<CScanNameLookup>(app.GetMetaSettings());
    const std::vector<CUrlString> urls = PreparePages(queued);
    for (size_t i = 0; i < queued.size(); ++i)
        pTaskManager->QueueParsedUrl(reinterpret_cast<DWORD_PTR>(queued[i]), urls[i], kLinkKindPage, TRUE);
    {
        // The run state is 1 before any worker can finish the last page, or its stop would be
        // refused and the scan would never end.
        std::lock_guard<std::mutex> guard(m_managerLock);
        app.SetRunState(CVostrelAppModel::runScanning);
        m_bThreadsStarted = true;
        m_bStarting = true;
    }
    pTaskManager->StartThreads();
    bool bErrorStop = false;
    {
        std::lock_guard<std::mutex> guard(m_managerLock);
        m_bStarting = false;
        bErrorStop = std::exchange(m_bErrorStopHeld, false);
    }
    // A worker that failed while the others were being started, or every page done already (or
    // none there): the scan ends here.
    if (bErrorStop)
        StopScan();
    if (CountPageDone())
        StopScan();
    return 0;
}

void CParserEngine::StopOnError()
{
    {
        std::lock_guard<std::mutex> guard(m_managerLock);
        if (m_bStarting) {
            m_bErrorStopHeld = true;
            return;
        }
    }
    StopScan();
}

UINT CParserEngine::StopScan()
{
    auto pParams = std::make_unique<StopParams>();
    pParams->pState = m_pStopState;
    pParams->hMainWnd = m_hMainWnd.load();
    // The lookup points into the pages and the catalogue, which the user may change once the
    // scan is over.
    pParams->afterStop = [this] {
        CSingleLock lock(&m_lock, TRUE);
        m_pNames.reset();
    };
    std::lock_guard<std::mutex> guard(m_managerLock);
    CVostrelAppModel& app = GetAppModel();
    // A closing engine stops the fetch engine itself.
    if (m_pClosing->load() != 0 || app.GetRunState() != CVostrelAppModel::runScanning)
        return 0;
    app.SetRunState(CVostrelAppModel::runBusy);
    pParams->pTaskManager = std::move(m_pTaskManager);
    m_bThreadsStarted = false;
    m_pStopState->bStop.store(1);
    // Started under the lock (which starting a thread does not wait on): the engine's end, which
    // takes the lock first, then finds the thread of every stop that went before it.
    if (StartWorker(&ScanStopThread, pParams, *m_pStopState) != 0) {
        // No thread: the scan goes on as it was, so that Stop can be tried again.
        m_pTaskManager = std::move(pParams->pTaskManager);
        m_bThreadsStarted = true;
        m_pStopState->bStop.store(0);
        app.SetRunState(CVostrelAppModel::runScanning);
    }
    return 0;
}

void CParserEngine::MakeFetchOptions(const CAppOptions& record, int nThreads, CConnectOptions& connect,
                                     CScanOptions& scan)
{
    scan.SetUsingFrontPage(record.m_bFrontPage);
    // The scan files no link: a picture written into a page is not copied into a report of it.
    scan.SetReportLinks(0);

    connect.SetAccessType(1);
    if (record.m_bUseProxy == 1) {
        connect.SetAccessType(CConnectOptions::kAccessProxy);
        connect.SetProxyHttp(record.m_strHttpProxy, PortOf(record.m_strHttpProxyPort));
        connect.SetProxyHttps(record.m_strHttpsProxy, PortOf(record.m_strHttpsProxyPort));
        connect.SetProxyFtp(record.m_strFtpProxy, PortOf(record.m_strFtpProxyPort), record.m_bFtpProxy == 1 ? 1 : 0);
        connect.SetProxyGopher(record.m_strGopherProxy, PortOf(record.m_strGopherProxyPort));
        connect.SetProxyAllSame(record.m_bSameProxyForAll != 0 ? 1 : 0);
        CString strBypass;
        for (POSITION pos = record.m_BypassList.GetHeadPosition(); pos != nullptr;) {
            const CString& strName = record.m_BypassList.GetNext(pos);
            if (strName.IsEmpty())
                continue;
            if (!strBypass.IsEmpty())
                strBypass += ";";
            strBypass += strName;
        }
        connect.SetProxyBypassList(strBypass);
        connect.SetProxyBypassLocal(record.m_bBypassLocal != 0 ? 1 : 0);
        if (record.m_bProxyLogin != 0)
            connect.SetProxyCredentials(record.m_strProxyUser, record.m_strProxyPassword);
        else
            connect.SetProxyCredentials("", "");
    }

    connect.SetAgentName(record.m_strAgentName);
    connect.SetFtpCredentials("anonymous", record.m_strFtpPassword);
    if (record.m_bHttpLogin != 0)
        connect.SetHttpCredentials(record.m_strHttpUser, record.m_strHttpPassword);
    else
        connect.SetHttpCredentials("", "");
    connect.SetHttpAcceptCookies(record.m_bAcceptCookies == 1 ? 1 : 0);
    connect.SetIndexFilename(record.m_strIndexFileName);
    connect.SetFileRoot(record.m_strFileRoot);
    connect.SetNumThreads(nThreads);
    const int nTimeout = static_cast<int>(record.m_nTimeoutSeconds);
    connect.SetConnectTimeout(nTimeout);
    connect.SetDataTimeout(nTimeout);
    connect.SetControlTimeout(nTimeout);
    connect.SetFtpPasvMode(record.m_bFtpPassive == 1 ? 1 : 0);

    connect.SetMaxHttpTasksPerHost(kScanTasksPerHost);
    connect.SetMaxFileTasksPerHost(kScanTasksPerHost);
    // The pages of this machine are all one host's: every check thread may read them. A server
    // is still served as its connection limits allow.
    connect.SetMaxTotalTasksPerHost(nThreads);
    connect.SetMaxTotalTasks(nThreads);
}

int CParserEngine::GetScanThreadCount() const
{
    const UINT nThreads = m_nScanThreads != 0 ? m_nScanThreads : std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp<UINT>(nThreads, 1, kMaxScanThreads));
}

void CParserEngine::OnTitle(DWORD_PTR dwPage, LPCSTR lpszTitle)
{
    if (auto* pPage = reinterpret_cast<CPageNode*>(dwPage); pPage != nullptr)
        pPage->SetTitle(TextOf(lpszTitle));
}

void CParserEngine::OnFileRead(DWORD_PTR dwPage, const struct stat& file, LPCSTR lpszResolved)
{
    auto* pPage = reinterpret_cast<CPageNode*>(dwPage);
    if (pPage == nullptr)
        return;
    // Where the name led is kept only where it is not the page's own path: in most sites no
    // page is a link, and 100,000 pages need not hold their paths twice.
    CString strPath;
    pPage->GetFullPath(strPath);
    const bool bElsewhere = lpszResolved != nullptr && *lpszResolved != '\0' && strPath != lpszResolved;
    pPage->SetReadFile(file, bElsewhere ? CString(lpszResolved) : CString());
}

void CParserEngine::OnReadProgress(DWORD_PTR dwPage, ULONGLONG nDone, ULONGLONG nTotal)
{
    // A progress lost to a full queue is made good by the next one, or by the page's end.
    if (HWND hWnd = m_hMainWnd.load(); hWnd != nullptr && dwPage != 0 && nTotal > 0)
        PostMessage(hWnd, kMsgScanPageProgress, static_cast<WPARAM>(std::min(nDone, nTotal) * 1000 / nTotal),
                    static_cast<LPARAM>(dwPage));
}

void CParserEngine::OnFileChecksum(DWORD_PTR dwPage, ULONGLONG nChecksum)
{
    if (auto* pPage = reinterpret_cast<CPageNode*>(dwPage); pPage != nullptr)
        pPage->SetReadChecksum(nChecksum);
}

void CParserEngine::OnKeyword(DWORD_PTR dwPage, LPCSTR lpszKeyword, int nSource)
{
    // Each keyword of the page's own tag, stripped of its punctuation, would be a second,
    // different item beside the tag's content: "(beta)" would come back as "(beta),beta".
    if (nSource != 0)
        return;
    AddMeta(reinterpret_cast<CPageNode*>(dwPage), "keywords", lpszKeyword, true, TagForm::Name);
}

void CParserEngine::OnNamedMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR)
{
    AddMeta(reinterpret_cast<CPageNode*>(dwPage), lpszName, lpszContent, false, TagForm::Name);
}

void CParserEngine::OnHttpEquivMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent)
{
    AddMeta(reinterpret_cast<CPageNode*>(dwPage), lpszName, lpszContent, false, TagForm::HttpEquiv);
}

void CParserEngine::ReportResult(DWORD_PTR dwPage, DWORD, DWORD dwCode, UINT nStringId, LPCSTR lpszInsert1,
                                 DWORD_PTR dwInsert2)
{
    auto* pPage = reinterpret_cast<CPageNode*>(dwPage);
    if (pPage != nullptr && dwCode == ITaskManager::kCodeCancelled) {
        // Its end, which follows, leaves it not scanned.
        pPage->SetScanState(kScanCutOff);
        return;
    }
    if (pPage != nullptr && dwCode == ITaskManager::kCodePageTooLarge) {
        // Its end leaves it not read, and the user learns why, with its size.
        pPage->SetLeftUnread(true);
        PostOutputAreaLine(m_hOutputPane.load(), CString(),
                           pPage->GetSitePath() + " : " + FormatResultMessage(nStringId, lpszInsert1, dwInsert2));
        return;
    }
    const bool bNotRead = dwCode == ITaskManager::kCodeFileNotFound || dwCode == ITaskManager::kCodeFileOpenFailed
        || dwCode == ITaskManager::kCodeFileUnreadable;
    if (pPage == nullptr || (!bNotRead && dwCode != ITaskManager::kCodePageNotSavable))
        return;
    CString strText = FormatResultMessage(nStringId, lpszInsert1, dwInsert2);
    if (strText.IsEmpty())
        strText = kCouldNotRead;
    // One worker reports one page, and the views read the text only after the page's end. A
    // page that was read but that a save would refuse keeps what was read: the save tells why
    // again.
    if (bNotRead)
        pPage->SetReadFailure(strText);
    PostOutputAreaLine(m_hOutputPane.load(), CString(), pPage->GetSitePath() + " : " + strText);
}

void CParserEngine::OnTaskDone(DWORD_PTR dwPage)
{
    auto* pPage = reinterpret_cast<CPageNode*>(dwPage);
    CSingleLock lock(&m_lock, TRUE);
    // A page whose check a stop cut off counts as not read. The fetch engine ends a page whose
    // reading a stop broke off as it ends a page read whole, so every page that ends once the
    // stop has begun is taken for cut off: one read whole just then is read again next time,
    // rather than a half-read one taken for whole.
    // A page left unread for its size is not read either, although the scan went on past it.
    // What the reports of a page cut off filed in it (its title, the tags before the cut) is
    // forgotten, as is the title of a file that turned out to be no page: a row shows values
    // exactly when its page counts as read, and only what counts as read is kept.
    if (pPage != nullptr) {
        const bool bCutOff = pPage->GetScanState() == kScanCutOff || m_pStopState->bStop.load() != 0;
        const bool bNotRead = bCutOff || pPage->IsLeftUnread();
        if (bNotRead || !pPage->GetReadFailure().IsEmpty()) {
            const CString strFailure = bNotRead ? CString() : pPage->GetReadFailure();
            ForgetReadValues(*pPage);
            pPage->SetReadFailure(strFailure);
        }
        pPage->SetScanState(bNotRead ? 1 : 0);
        // What found the page's items quickly while its tags came in is of no more use.
        CMetaContentList* pList = nullptr;
        if (pPage->GetContentList(pList) == 0 && pList != nullptr)
            for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;)
                pList->GetNext(pos)->DropItemIndex();
    }
    const bool bLast = CountPageDone();
    Post(m_hMainWnd.load(), kMsgFileScanned, reinterpret_cast<LPARAM>(pPage));
    if (bLast)
        StopScan();
}

bool CParserEngine::CountPageDone()
{
    // A page reported twice must not wrap the count.
    UINT nLeft = m_nPagesLeft.load();
    while (nLeft > 0 && !m_nPagesLeft.compare_exchange_weak(nLeft, nLeft - 1)) {
    }
    return nLeft == 1;
}

void CParserEngine::AddMeta(CPageNode* pPage, LPCSTR lpszName, LPCSTR lpszText, bool bSuggested, TagForm form)
{
    const CString strName = TextOf(lpszName);
    // A tag without a name has no setting to belong to; a nameless column would follow.
    if (pPage == nullptr || strName.IsEmpty())
        return;
    const CString strText = TextOf(lpszText);

    CSingleLock lock(&m_lock, TRUE);
    // Once a stop has begun, the page whose tags still come in counts as cut off and forgets
    // them at its end: filing them would only keep the stop waiting, by minutes for a page that
    // repeats a tag by the hundred thousand.
    if (m_pStopState->bStop.load() != 0)
        return;
    // Outside a scan (nothing but tests) the lists are read afresh for each tag.
    std::unique_ptr<CScanNameLookup> pOwnNames;
    if (!m_pNames)
        pOwnNames = std::make_unique<CScanNameLookup>(GetAppModel().GetMetaSettings());
    CScanNameLookup& names = m_pNames ? *m_pNames : *pOwnNames;
    CMetaContentList* pList = nullptr;
    if (pPage->GetContentList(pList) != 0 || pList == nullptr)
        pPage->CreateContentList(pList);
    CMetaContent* pContent = names.FindContent(*pList, strName);
    if (pContent == nullptr) {
        auto pNew = std::make_unique<CMetaContent>();
        pContent = pNew.get();
        pContent->SetName(strName);
        names.AddContent(*pList, std::move(pNew));

        CMetaSetting* pSetting = names.FindSetting(strName);
        if (pSetting != nullptr) {
            UINT nType = 0;
            pSetting->GetType(nType);
            pContent->SetType(nType);
        } else {
            auto pUndefined = std::make_unique<CMetaUndefinedSetting>();
            pUndefined->SetName(strName);
            pUndefined->SetShow(0);
            // Written as the page wrote it: a Content-Type written as a NAME would be lost on
            // browsers.
            pUndefined->SetHttpEquiv(form == TagForm::HttpEquiv ? 1 : 0);
            pSetting = pUndefined.get();
            names.AddSetting(std::move(pUndefined));
            pContent->SetType(kTypeUndefined);
        }
        UINT bShown = 0;
        pSetting->GetShow(bShown);
        if (m_bShowAllFound.load() != 0 && bShown == 0 && m_keptHidden.count(pSetting) == 0) {
            pSetting->SetShow(1);
            HandOverShownSetting(pSetting);
        }
    }
    if (bSuggested) {
        pContent->AddSuggestion(strText);
        if (m_bKeywordExtractor.load() != 0 && pContent->AddItem(strText) == 0) {
            pContent->SetModified(1);
            GetAppModel().SetEditState(1);
        }
    } else if (!pContent->HoldsValue(strText)) {
        // A second tag of the same name adds its value to the first, unless the page only
        // repeats it.
        pContent->AddItem(strText);
    }
}

std::unordered_set<const CMetaSetting*> CParserEngine::HiddenSettingsOnPages(CVostrelAppModel& app)
{
    std::unordered_set<const CMetaSetting*> kept;
    std::unordered_map<std::string, const CMetaSetting*> hidden;
    CMetaSettingList& catalogue = app.GetMetaSettings();
    for (POSITION pos = catalogue.GetHeadPosition(); pos != nullptr;) {
        const CMetaSetting* pSetting = catalogue.GetNext(pos);
        if (pSetting != nullptr && pSetting->IsShown() == 0)
            hidden.emplace(CScanNameLookup::Key(pSetting->Name()), pSetting);
    }
    if (hidden.empty())
        return kept;
    std::vector<const CPageNode*> nodes;
    for (POSITION pos = app.GetPageCol().GetHeadPosition(); pos != nullptr;)
        nodes.push_back(app.GetPageCol().GetNext(pos));
    while (!nodes.empty()) {
        const CPageNode* pNode = nodes.back();
        nodes.pop_back();
        for (POSITION pos = pNode->GetChildren().GetHeadPosition(); pos != nullptr;)
            nodes.push_back(pNode->GetChildren().GetNext(pos));
        CMetaContentList* pList = nullptr;
        if (pNode->GetContentList(pList) != 0 || pList == nullptr)
            continue;
        for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
            const CMetaContent* pContent = pList->GetNext(pos);
            if (const auto found = hidden.find(CScanNameLookup::Key(pContent->GetName())); found != hidden.end())
                kept.insert(found->second);
        }
    }
    return kept;
}

void CParserEngine::HandOverShownSetting(CMetaSetting* pSetting)
{
    const HWND hMainWnd = m_hMainWnd.load();
    if (hMainWnd == nullptr)
        return;
    const HANDLE hEvent = CreateEvent(nullptr, FALSE, FALSE, nullptr);
    if (hEvent == nullptr)
        return;
    const auto wParam = reinterpret_cast<WPARAM>(hEvent);
    const auto lParam = reinterpret_cast<LPARAM>(pSetting);
    if (GetWindowThreadProcessId(hMainWnd, nullptr) == GetCurrentThreadId()) {
        // The window's own thread would wait for itself: it handles the message at once.
        SendMessage(hMainWnd, kMsgShowSetting, wParam, lParam);
    } else if (PostMessage(hMainWnd, kMsgShowSetting, wParam, lParam)) {
        // The window's thread normally answers at once. A window that is gone, or a thread that
        // does not answer for long, must not hold every worker (and the lock) for ever; handle
        // values are never reused, so a late answer to the closed event does no harm.
        DWORD dwWaited = 0;
        while (WaitForSingleObject(hEvent, kShowSettingSliceMs) == WAIT_TIMEOUT) {
            dwWaited += kShowSettingSliceMs;
            if (!IsWindow(hMainWnd) || dwWaited >= m_dwShowSettingWaitLimitMs.load())
                break;
        }
    }
    CloseHandle(hEvent);
}

// ---- Enumeration and save ----

UINT CParserEngine::StartEnumeration(const CString& strFolder, CPageNode* pRoot, HWND hDialog,
                                     const CProjectSettings& settings)
{
    m_hEnumDialog = hDialog;
    m_pEnumState->bStop.store(0);
    m_pEnumState->SetFailure(CString());
    m_pEnumState->SetSkipped({});
    auto pParams = std::make_unique<EnumParams>();
    pParams->pState = m_pEnumState;
    pParams->strFolder = strFolder;
    // A trailing "/" would give the project folder an empty name.
    while (pParams->strFolder.GetLength() > 1 && pParams->strFolder[pParams->strFolder.GetLength() - 1] == '/')
        pParams->strFolder = pParams->strFolder.Left(pParams->strFolder.GetLength() - 1);
    pParams->pRoot = pRoot;
    pParams->hDialog = hDialog;
    pParams->hPane = m_pHost != nullptr ? m_pHost->GetOutputPane() : nullptr;
    for (POSITION pos = settings.m_FileExtensions.GetHeadPosition(); pos != nullptr;)
        pParams->extensions.AddTail(settings.m_FileExtensions.GetNext(pos));
    return StartWorker(&EnumerationThread, pParams, *m_pEnumState);
}

UINT CParserEngine::StopEnumeration()
{
    UINT bExpected = 0;
    if (!m_pEnumState->bStop.compare_exchange_strong(bExpected, 1))
        return 1;
    return StartWaiter(m_pEnumState, m_hEnumDialog, kMsgEnumStopped);
}

UINT CParserEngine::StartSave(const CSelNodesCol& pages, HWND hDialog, HWND hOutputPane)
{
    m_hSaveDialog = hDialog;
    m_pSaveState->bStop.store(0);
    auto pParams = std::make_unique<SaveParams>();
    pParams->pState = m_pSaveState;
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;)
        pParams->pages.push_back(pages.GetNext(pos));
    pParams->hDialog = hDialog;
    pParams->hPane = hOutputPane;
    m_pSavedReads = std::make_shared<SavedPagesRead>();
    pParams->pReads = m_pSavedReads;
    CProjectSettings* pSettings = nullptr;
    if (GetAppModel().GetProjectSettings(pSettings) == 0 && pSettings != nullptr)
        pParams->nBackupScheme = pSettings->m_nBackupScheme;
    // A page that would pass the file size limit must fail its write (EFBIG), not kill the
    // program with its temporary copy left in the site.
    IgnoreFileSizeLimitSignal();
    return StartWorker(&SaveThread, pParams, *m_pSaveState);
}

UINT CParserEngine::StopSave()
{
    UINT bExpected = 0;
    if (m_pSaveState->bStop.compare_exchange_strong(bExpected, 1))
        StartWaiter(m_pSaveState, m_hSaveDialog, kMsgSaveStopped);
    return 0;
}

UINT CParserEngine::StartWaiter(const std::shared_ptr<ThreadState>& pState, HWND hDialog, UINT nMessage)
{
    auto pParams = std::make_unique<WaitParams>();
    pParams->pState = pState;
    pParams->hDialog = hDialog;
    pParams->nMessage = nMessage;
    HANDLE hWaiter = nullptr;
    if (!StartThread(&WaitingThread, pParams, hWaiter))
        return 1;
    KeepHelper(hWaiter);
    return 0;
}

UINT CParserEngine::MakeTempFileName(LPCTSTR lpszPrefix, CString& strPath)
{
    char szFolder[PATH_MAX] = {};
    const DWORD nLength = GetTempPath(PATH_MAX, szFolder);
    if (nLength == 0 || nLength >= PATH_MAX)
        return 1;
    return MakeTempFileNameIn(CString(szFolder), lpszPrefix, strPath);
}

UINT CParserEngine::MakeTempFileNameIn(const CString& strFolder, LPCTSTR lpszPrefix, CString& strPath)
{
    const int fd = CreateTempFileIn(strFolder, lpszPrefix, strPath);
    if (fd < 0) {
        SetLastError(ErrnoToLastError(errno));
        return 1;
    }
    ::close(fd);
    return 0;
}

UINT CParserEngine::RemoveLeftSaveCopies(const CString& strFolder)
{
    return RemoveLeftSaveCopiesIn(strFolder);
}

UINT CParserEngine::MakeBackupName(const CString& strPath, CString& strName)
{
    for (int n = 1; n <= kLastBackupNumber; ++n) {
        strName = BackupNameOf(strPath, n);
        // Any kind of entry under the name counts as taken.
        struct stat info {};
        if (::lstat(strName, &info) != 0 && errno == ENOENT)
            return 0;
    }
    return 1;
}

UINT CParserEngine::MoveToRecycleBin(const CString& strPath)
{
    return MoveToTrash(std::string(strPath.GetString())).Succeeded() ? 0 : 1;
}

CString CParserEngine::MakeAttributesText(DWORD dwAttributes)
{
    CString strText;
    if (dwAttributes & FILE_ATTRIBUTE_READONLY)
        strText += "R";
    if (dwAttributes & FILE_ATTRIBUTE_SYSTEM)
        strText += "S";
    if (dwAttributes & FILE_ATTRIBUTE_ARCHIVE)
        strText += "A";
    return strText;
}

BOOL CParserEngine::HasPageExtension(const CString& strName, const CStringList& extensions)
{
    const int nDot = strName.ReverseFind('.');
    if (nDot < 0)
        return FALSE;
    const CString strExtension = strName.Mid(nDot);
    for (POSITION pos = extensions.GetHeadPosition(); pos != nullptr;) {
        if (strExtension.CompareNoCase(extensions.GetNext(pos)) == 0)
            return TRUE;
    }
    return FALSE;
}
