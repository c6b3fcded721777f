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
#include "engine/project/CPageNode.h"
#include "engine/project/CPageNodeCol.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanBackend.h"
#include "engine/project/IScanHost.h"
#include "engine/project/OutputAreaLine.h"
#include "engine/project/PathToFileUrl.h"
#include "engine/project/CScanOptions.h"
#include "platform/core/CException.h"
#include "platform/core/CFileException.h"
#include "platform/core/CFileFind.h"
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

#include <cerrno>
#include <dirent.h>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <exception>
#include <fcntl.h>
#include <new>
#include <random>
#include <set>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr int kLastBackupNumber = 24;
constexpr UINT kMaxMessage = 1000;
constexpr LPCTSTR kDeniedAccess = "Denied Access.";
constexpr LPCTSTR kNoRecycleBin = "Could not backup to Recycle Bin.";
constexpr LPCTSTR kNoBackupName = "Could not backup: the backup names .old to .old24 are all taken.";
constexpr LPCTSTR kNoKeywordEngine =
    "The keyword engine could not be made (out of memory): this scan suggests no keywords.";

std::unique_ptr<CParserEngine>& EngineSlot()
{
    static std::unique_ptr<CParserEngine> s_pEngine;
    return s_pEngine;
}

void Post(HWND hWnd, UINT nMessage, LPARAM lParam = 0)
{
    if (hWnd != nullptr)
        PostMessage(hWnd, nMessage, 0, lParam);
}

CString MessageOf(CException* e)
{
    char szMessage[kMaxMessage + 1] = {};
    if (!e->GetErrorMessage(szMessage, kMaxMessage + 1) || szMessage[0] == '\0')
        return CString("Unknown error message.");
    return CString(szMessage);
}

// The message of a platform error code for a file.
CString MessageOfError(DWORD dwError, const CString& strPath)
{
    CFileException error(CFileException::OsErrorToException(static_cast<LONG>(dwError)), static_cast<LONG>(dwError),
                         strPath);
    return MessageOf(&error);
}

CString MessageOfErrno(int nErrno, const CString& strPath)
{
    CFileException error(CFileException::ErrnoToException(nErrno), nErrno, strPath);
    return MessageOf(&error);
}

// ---- Enumeration ----

struct EnumParams {
    std::shared_ptr<CParserEngine::ThreadState> pState;
    CString strFolder;
    CPageNode* pRoot = nullptr;
    HWND hDialog = nullptr;
    CStringList extensions;
    // Folders already walked, by device and inode, so that a link back up the tree cannot make
    // the walk endless.
    std::set<std::pair<dev_t, ino_t>> visited;
    // The first folder that could not be listed: the tree is then incomplete.
    CString strFailure;
};

// Makes the node of one path under the parent, from what the file system says of it.
CPageNode* MakeNode(CPageNode* pParent, const CString& strPath, UINT nKind, const struct stat& info)
{
    // The walk always starts under the root; a node with no parent would have no owner.
    if (pParent == nullptr)
        return nullptr;
    const int nSlash = strPath.ReverseFind('/');
    CString strName = strPath.Mid(nSlash + 1);
    CString strFolder = nSlash < 0 ? CString() : strPath.Left(nSlash);
    if (nSlash == 0)
        strFolder = "/";
    if (strName.IsEmpty())
        strName = "/";
    auto pNode = std::make_unique<CPageNode>();
    pNode->SetKind(nKind);
    pNode->SetName(strName);
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

// One entry of a folder: its name and the kind its folder gives (DT_UNKNOWN when none).
struct FolderEntry {
    std::string name;
    unsigned char type;
};

void WalkFolder(EnumParams& params, const CString& strPath, CPageNode* pNode);

// Adds the folder at the path under the parent and walks it, unless it was walked already.
void AddFolder(EnumParams& params, CPageNode* pParent, const CString& strPath, const struct stat& info)
{
    if (!params.visited.insert({info.st_dev, info.st_ino}).second)
        return;
    if (CPageNode* pNode = MakeNode(pParent, strPath, CPageNode::kindFolder, info); pNode != nullptr)
        WalkFolder(params, strPath, pNode);
}

// Adds one entry of a folder. Only folders and page files are looked at more closely: the kind
// the folder gives spares a look at every other file.
void AddEntry(EnumParams& params, CPageNode* pParent, const CString& strPath, const FolderEntry& entry)
{
    const bool bPageName = CParserEngine::HasPageExtension(CString(entry.name.c_str()), params.extensions) != 0;
    if (entry.type != DT_DIR && entry.type != DT_LNK && entry.type != DT_UNKNOWN && !(entry.type == DT_REG && bPageName))
        return;
    struct stat info {};
    if (::stat(strPath, &info) != 0) {
        // Gone meanwhile, or a link to nothing: not part of the site. A name too long for the
        // system is part of it, and cannot be walked.
        if (errno == ENAMETOOLONG || errno == ELOOP)
            NoteFailure(params, MessageOfErrno(errno, strPath));
        return;
    }
    if (S_ISDIR(info.st_mode)) {
        AddFolder(params, pParent, strPath, info);
    } else if (S_ISREG(info.st_mode) && bPageName) {
        // Only regular files are pages: reading a pipe or a device would never end.
        if (CPageNode* pNode = MakeNode(pParent, strPath, CPageNode::kindPage, info); pNode != nullptr)
            Post(params.hDialog, kMsgEnumPageFound, reinterpret_cast<LPARAM>(pNode));
    }
}

void WalkFolder(EnumParams& params, const CString& strPath, CPageNode* pNode)
{
    if (params.pState->bStop.load())
        return;
    // The entries are read first and the folder closed before going down, so that a deep tree
    // holds no more than one folder open.
    std::vector<FolderEntry> entries;
    {
        DIR* pDir = ::opendir(strPath);
        if (pDir == nullptr) {
            if (errno != ENOENT && errno != ENOTDIR)
                NoteFailure(params, MessageOfErrno(errno, strPath));
            return;
        }
        errno = 0;
        while (const dirent* pEntry = ::readdir(pDir)) {
            const char* pszName = pEntry->d_name;
            if (pszName[0] == '.' && (pszName[1] == '\0' || (pszName[1] == '.' && pszName[2] == '\0')))
                continue;
            entries.push_back({pszName, pEntry->d_type});
        }
        if (errno != 0)
            NoteFailure(params, MessageOfErrno(errno, strPath));
        ::closedir(pDir);
    }
    CString strPrefix = strPath;
    if (strPrefix.IsEmpty() || strPrefix[strPrefix.GetLength() - 1] != '/')
        strPrefix += "/";
    for (const FolderEntry& entry : entries) {
        if (params.pState->bStop.load())
            return;
        AddEntry(params, pNode, strPrefix + entry.name.c_str(), entry);
    }
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
    AddFolder(params, params.pRoot, params.strFolder, info);
}

UINT EnumerationThread(LPVOID pParam)
{
    std::unique_ptr<EnumParams> pParams(static_cast<EnumParams*>(pParam));
    // Whatever ends the walk early, the dialog must not take a half-walked tree for the project.
    try {
        Enumerate(*pParams);
    } catch (CException* e) {
        NoteFailure(*pParams, MessageOf(e));
        e->Delete();
    } catch (const std::bad_alloc&) {
        NoteFailure(*pParams, "There was not enough memory to walk the whole project folder.");
    } catch (const std::exception& e) {
        NoteFailure(*pParams, e.what());
    } catch (...) {
        NoteFailure(*pParams, "Unknown error message.");
    }
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
};

enum class PageResult { Saved, ReadOnly, Failed };

constexpr LPCTSTR kNotARegularFile = "Not a regular file (a pipe, a device or a folder): the page was left alone.";
constexpr LPCTSTR kChangedMeanwhile =
    "Another program changed the page while it was being saved: its version was kept, and the edits are still "
    "to be saved.";
constexpr LPCTSTR kOtherNamesKeepOldText =
    "Saved as a new file: the page's other names (hard links) still show the old text.";
constexpr LPCTSTR kTooLarge =
    "Not saved: the page would be larger than the file size limit allows. The page was left as it was.";
constexpr LPCTSTR kDiskFull = "Not saved: there is not enough space on the disk. The page was left as it was.";

void Line(HWND hPane, const CString& strSource, const CString& strMessage)
{
    PostOutputAreaLine(hPane, strSource, strMessage);
}

class FdCloser {
public:
    explicit FdCloser(int fd) : m_fd(fd) {}
    ~FdCloser() { Close(); }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    int Get() const { return m_fd; }
    int Close()
    {
        const int nResult = m_fd >= 0 ? ::close(m_fd) : 0;
        m_fd = -1;
        return nResult;
    }

private:
    int m_fd;
};

// The copy the save writes beside a page: removed again unless it took the page's place.
class CSaveCopy : public CFile {
public:
    CSaveCopy(int fd, const CString& strPath) : CFile(fd), m_strPath(strPath) {}
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

private:
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
    return MessageOfError(static_cast<DWORD>(lError), strPath);
}

// A new empty file "<prefix><hex>.tmp" in the folder, readable by its owner only; its open
// descriptor, or -1 with errno. Names are only bound by the system's own path limit.
int CreateTempFileIn(const CString& strFolder, LPCTSTR lpszPrefix, CString& strPath)
{
    CString strBase = strFolder.IsEmpty() ? CString(".") : strFolder;
    if (strBase[strBase.GetLength() - 1] != '/')
        strBase += "/";
    strBase += CString(lpszPrefix != nullptr ? lpszPrefix : "").Left(3);
    // A random start keeps the names hard to guess; O_EXCL keeps them ours.
    thread_local std::mt19937 random{std::random_device{}()};
    UINT nNumber = std::uniform_int_distribution<UINT>(1, 0xFFFF)(random);
    for (UINT nTry = 0; nTry < 0xFFFF; ++nTry, nNumber = nNumber % 0xFFFF + 1) {
        CString strCandidate;
        strCandidate.Format("%s%X.tmp", strBase.GetString(), nNumber);
        const int fd = ::open(strCandidate, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            strPath = strCandidate;
            return fd;
        }
        if (errno != EEXIST)
            return -1;
    }
    errno = EEXIST;
    return -1;
}

// The file a page's path names. A page that is a link is saved through it: the file it names
// is rewritten, with its backup beside it, and the link stays as it is.
BOOL ResolvePageFile(const CString& strPath, CString& strFile, CString& strMessage)
{
    struct stat info {};
    if (::lstat(strPath, &info) != 0 || !S_ISLNK(info.st_mode)) {
        strFile = strPath;
        return TRUE;
    }
    char* pszReal = ::realpath(strPath, nullptr);
    if (pszReal == nullptr) {
        strMessage = MessageOfErrno(errno, strPath);
        return FALSE;
    }
    strFile = pszReal;
    std::free(pszReal);
    return TRUE;
}

CString FolderOf(const CString& strFile)
{
    const int nSlash = strFile.ReverseFind('/');
    if (nSlash < 0)
        return CString(".");
    return nSlash == 0 ? CString("/") : strFile.Left(nSlash);
}

// Whether the file under the path is still the one that was read.
bool IsUnchanged(const struct stat& read, const CString& strFile)
{
    struct stat now {};
    return ::stat(strFile, &now) == 0 && now.st_dev == read.st_dev && now.st_ino == read.st_ino
        && now.st_size == read.st_size && now.st_mtim.tv_sec == read.st_mtim.tv_sec
        && now.st_mtim.tv_nsec == read.st_mtim.tv_nsec;
}

// Gives the copy the page's owner, group and permissions, and puts its bytes on the disk, so
// that after a crash the page's name holds the old or the whole new text, never an empty file.
// 0, or the platform error.
LONG PrepareCopy(CSaveCopy& copy, const struct stat& page)
{
    const int fd = copy.Descriptor();
    if (page.st_uid != ::geteuid() || page.st_gid != ::getegid()) {
        // Only root may give a file away; others keep at least the group where they may.
        if (::fchown(fd, page.st_uid, page.st_gid) != 0)
            (void)::fchown(fd, static_cast<uid_t>(-1), page.st_gid);
    }
    // After the owner: a change of owner clears the set-id bits.
    if (::fchmod(fd, page.st_mode & 07777) != 0 || ::fsync(fd) != 0)
        return static_cast<LONG>(ErrnoToLastError(errno));
    if (const int nError = copy.Release(); nError != 0)
        return static_cast<LONG>(ErrnoToLastError(nError));
    return 0;
}

// Scheme 0: the old page keeps living under its backup name. The backup is made as a second
// name of the old file before the new file takes the page's place, so the page's path always
// holds either the old or the new page.
BOOL ReplaceKeepingBackup(const CString& strFile, const CString& strTemp, CString& strMessage)
{
    CString strBackup;
    if (CParserEngine::MakeBackupName(strFile, strBackup) != 0) {
        strMessage = kNoBackupName;
        return FALSE;
    }
    if (::link(strFile, strBackup) != 0) {
        const int nError = errno;
        if (nError == EEXIST || nError == ENOENT || nError == EACCES || nError == ENOSPC || nError == EROFS) {
            strMessage = MessageOfErrno(nError, strFile);
            return FALSE;
        }
        // A file system without links: the backup is a copy.
        if (!CopyFile(strFile, strBackup, TRUE)) {
            strMessage = MessageOfError(GetLastError(), strFile);
            return FALSE;
        }
    }
    if (::rename(strTemp, strFile) != 0) {
        strMessage = MessageOfErrno(errno, strFile);
        ::unlink(strBackup); // the page is still there; leave things as they were
        return FALSE;
    }
    return TRUE;
}

// Scheme 1: the old page goes to the trash; when the new one cannot take its place, the old
// one comes back.
BOOL ReplaceViaTrash(const CString& strFile, const CString& strTemp, CString& strMessage)
{
    const TrashResult trashed = MoveToTrash(std::string(strFile.GetString()));
    if (!trashed.Succeeded()) {
        strMessage = kNoRecycleBin;
        return FALSE;
    }
    if (::rename(strTemp, strFile) == 0)
        return TRUE;
    strMessage = MessageOfErrno(errno, strFile);
    if (MoveFileEx(trashed.trashedPath.c_str(), strFile, MOVEFILE_COPY_ALLOWED))
        ::unlink(trashed.infoPath.c_str());
    return FALSE;
}

// Other schemes: the new page replaces the old one in one rename, which is what deleting the
// old one and renaming the new one comes to, without a moment in which neither exists.
BOOL ReplaceDeleting(const CString& strFile, const CString& strTemp, CString& strMessage)
{
    if (::rename(strTemp, strFile) == 0)
        return TRUE;
    strMessage = MessageOfErrno(errno, strFile);
    return FALSE;
}

// Makes the folder's new entries (the page's new file, its backup) last through a crash.
void SyncFolder(const CString& strFolder)
{
    FdCloser folder(::open(strFolder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Get() >= 0)
        (void)::fsync(folder.Get());
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

private:
    CPageNode* m_pPage;
    UINT m_bEdited;
    bool m_bCommitted = false;
};

PageResult SavePage(SaveParams& params, CPageNode* pPage)
{
    CString strPath;
    pPage->GetFullPath(strPath);
    const CString& strName = pPage->GetName();

    // Every selected page is rewritten and backed up, edited or not: a page without edits comes
    // out byte for byte as it was, except that a head without a TITLE gets the page's title.
    CMetaContentList edited(FALSE);
    pPage->GetModifiedContents(edited);

    CString strMessage;
    CString strFile;
    if (!ResolvePageFile(strPath, strFile, strMessage)) {
        Line(params.hPane, strName, strMessage);
        return PageResult::Failed;
    }
    // Without blocking, and only a regular file, judged by the opened descriptor: a page that
    // is (or has become) a FIFO or a link to a device must not hang or flood the save.
    FdCloser pageFd(::open(strFile, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (pageFd.Get() < 0) {
        Line(params.hPane, strName, MessageOfErrno(errno, strPath));
        return PageResult::Failed;
    }
    struct stat page {};
    if (::fstat(pageFd.Get(), &page) != 0) {
        Line(params.hPane, strName, MessageOfErrno(errno, strPath));
        return PageResult::Failed;
    }
    if (!S_ISREG(page.st_mode)) {
        Line(params.hPane, strName, kNotARegularFile);
        return PageResult::Failed;
    }
    // Read-only is the file's own mark, whoever saves: root too leaves such a page alone.
    if ((page.st_mode & 0222) == 0) {
        Line(params.hPane, strName, kDeniedAccess);
        return PageResult::ReadOnly;
    }
    // O_NONBLOCK is left set: it changes nothing for a regular file.
    CFile pageFile(pageFd.Get());

    const CString strFolder = FolderOf(strFile);
    CString strTemp;
    const int fdTemp = CreateTempFileIn(strFolder, "SAV", strTemp);
    if (fdTemp < 0) {
        Line(params.hPane, strName, MessageOfErrno(errno, strFolder));
        return PageResult::Failed;
    }
    CSaveCopy copyFile(fdTemp, strTemp);

    CMetaContentList copy;
    copy.CopyFrom(edited);
    TitleFlagKeeper titleFlag(pPage);
    try {
        // The engine gets no pane: a failed write is told here, naming the page, not the copy.
        CMetaEditEngine engine(&copy, pPage, &pageFile, &copyFile, nullptr);
        engine.Run();
        UINT nID = 0;
        if (engine.GetError(nID) != 0)
            Line(params.hPane, strName, GetMetaEditErrorText(nID));
        if (engine.GetWriteFailed()) {
            Line(params.hPane, strName, CopyFailureText(copyFile.GetWriteError(), strPath));
            return PageResult::Failed;
        }
    } catch (CException* e) {
        const LONG lError = copyFile.GetWriteError();
        Line(params.hPane, strName, lError != 0 ? CopyFailureText(lError, strPath) : MessageOf(e));
        e->Delete();
        return PageResult::Failed;
    }
    if (const LONG lError = PrepareCopy(copyFile, page); lError != 0) {
        Line(params.hPane, strName, CopyFailureText(lError, strPath));
        return PageResult::Failed;
    }
    pageFd.Close();
    // The last look before the page is replaced: another program's newer text wins.
    if (!IsUnchanged(page, strFile)) {
        Line(params.hPane, strName, kChangedMeanwhile);
        return PageResult::Failed;
    }
    BOOL bReplaced = FALSE;
    switch (params.nBackupScheme) {
    case 0: bReplaced = ReplaceKeepingBackup(strFile, strTemp, strMessage); break;
    case 1: bReplaced = ReplaceViaTrash(strFile, strTemp, strMessage); break;
    default: bReplaced = ReplaceDeleting(strFile, strTemp, strMessage); break;
    }
    if (!bReplaced) {
        Line(params.hPane, strName, strMessage);
        return PageResult::Failed;
    }
    copyFile.Keep();
    titleFlag.Commit();
    SyncFolder(strFolder);
    // The page's other hard links still name the old file: writing the page in place would
    // carry the edit to them, but also into every copy that shares the file by accident (a
    // backup tree made of links, say), and would leave a half-written page after a crash. The
    // page is replaced as a whole, and the user is told.
    if (page.st_nlink > 1)
        Line(params.hPane, strName, kOtherNamesKeepOldText);

    // The contents whose tags were written are saved; any the page had no place for (no head)
    // stay marked, so the edit is not lost.
    POSITION posCopy = copy.GetHeadPosition();
    for (POSITION pos = edited.GetHeadPosition(); pos != nullptr && posCopy != nullptr;) {
        CMetaContent* pOriginal = edited.GetNext(pos);
        CMetaContent* pCopy = copy.GetNext(posCopy);
        if (pOriginal != nullptr && pCopy != nullptr && !pCopy->GetModified())
            pOriginal->SetModified(0);
    }
    return PageResult::Saved;
}

// Any failure of one page, whatever raised it, is that page's: it is told in the Output Area
// and the page counts as not saved.
PageResult SavePageGuarded(SaveParams& params, CPageNode* pPage)
{
    CString strError;
    try {
        return SavePage(params, pPage);
    } catch (CException* e) {
        strError = MessageOf(e);
        e->Delete();
    } catch (const std::bad_alloc&) {
        strError = "Not saved: there was not enough memory.";
    } catch (const std::exception& e) {
        strError = e.what();
    } catch (...) {
        strError = "Unknown error message.";
    }
    Line(params.hPane, pPage->GetName(), strError);
    return PageResult::Failed;
}

UINT SaveThread(LPVOID pParam)
{
    std::unique_ptr<SaveParams> pParams(static_cast<SaveParams*>(pParam));
    Post(pParams->hPane, kMsgOutputClear);
    BOOL bStopped = FALSE;
    for (CPageNode* pPage : pParams->pages) {
        if (pPage == nullptr)
            continue;
        Post(pParams->hDialog, kMsgSavePageBegin, reinterpret_cast<LPARAM>(pPage));
        const PageResult result = SavePageGuarded(*pParams, pPage);
        if (result == PageResult::Saved)
            Post(pParams->hDialog, kMsgSavePageDone, reinterpret_cast<LPARAM>(pPage));
        if (result != PageResult::ReadOnly && pParams->pState->bStop.load()) {
            bStopped = TRUE;
            break;
        }
    }
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

// Starts a worker suspended, keeps a duplicate of its handle in the state and resumes it. The
// thread takes the parameters over; they stay with the caller when no thread could be started.
template <class Params>
UINT StartWorker(AFX_THREADPROC pfnProc, std::unique_ptr<Params>& pParams, CParserEngine::ThreadState& state)
{
    CWinThread* pThread = AfxBeginThread(pfnProc, pParams.get(), THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == nullptr)
        return 1;
    HANDLE hDuplicate = nullptr;
    DuplicateHandle(GetCurrentProcess(), pThread->m_hThread, GetCurrentProcess(), &hDuplicate, 0, FALSE,
                    DUPLICATE_SAME_ACCESS);
    if (const HANDLE hOld = state.hThread.exchange(hDuplicate); hOld != nullptr)
        CloseHandle(hOld);
    pParams.release(); // the thread frees its parameters
    pThread->ResumeThread();
    return 0;
}

// ---- Scan ----

// The check threads of a scan, and what a scan allows per host and in all.
constexpr int kScanThreads = 1;
constexpr int kScanTasksPerHost = 100;
constexpr int kScanTotalTasksPerHost = 1;
// The fetch engine's link kind of a page, and its type id of META names without a setting.
constexpr int kLinkKindPage = 1;
constexpr UINT kTypeUndefined = 7;
// How often a worker waiting for the main window looks whether the window is still there.
constexpr DWORD kShowSettingSliceMs = 250;

struct StopParams {
    std::shared_ptr<CParserEngine::ThreadState> pState;
    std::unique_ptr<IScanTaskManager> pTaskManager;
    HWND hMainWnd = nullptr;
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

CParserEngine::CParserEngine()
    : m_pStopState(std::make_shared<ThreadState>()), m_pEnumState(std::make_shared<ThreadState>()),
      m_pSaveState(std::make_shared<ThreadState>())
{
}

CParserEngine::~CParserEngine()
{
    // The fetch engine's workers report to this object until their engine has stopped.
    if (const HANDLE hStop = m_pStopState->hThread.exchange(nullptr); hStop != nullptr) {
        WaitForSingleObject(hStop, INFINITE);
        CloseHandle(hStop);
    }
    std::unique_ptr<IScanTaskManager> pTaskManager;
    {
        std::lock_guard<std::mutex> guard(m_managerLock);
        pTaskManager = std::move(m_pTaskManager);
    }
    if (pTaskManager) {
        pTaskManager->RequestStop();
        pTaskManager->StopThreads();
    }
    // A worker still running keeps its own reference to the state and its duplicate handle;
    // only handles of finished workers are closed here.
    for (const auto& pState : {m_pEnumState, m_pSaveState}) {
        if (pState.use_count() == 1) {
            if (const HANDLE h = pState->hThread.exchange(nullptr); h != nullptr)
                CloseHandle(h);
        }
    }
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
    if (settings.m_bShowAllFound) {
        CMetaSettingList& catalogue = app.GetMetaSettings();
        for (POSITION pos = catalogue.GetHeadPosition(); pos != nullptr;) {
            if (CMetaSetting* pSetting = catalogue.GetNext(pos); pSetting != nullptr)
                pSetting->SetShow(0);
        }
        if (m_pHost != nullptr)
            m_pHost->ReloadGroupView(app.GetSelectedNodes());
    }
    m_bShowAllFound.store(settings.m_bShowAllFound);
    m_bKeywordExtractor.store(settings.m_bKeywordExtractor);
    m_hMainWnd.store(m_pHost != nullptr ? m_pHost->GetMainWindow() : nullptr);

    IScanTaskManager* pTaskManager = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_managerLock);
        if (!m_pTaskManager) {
            if (m_pBackend == nullptr)
                return 1;
            CConnectOptions connect;
            CScanOptions scan;
            MakeFetchOptions(app.GetAppOptions(), kScanThreads, connect, scan);
            m_pTaskManager = m_pBackend->CreateTaskManager(this, connect);
            if (!m_pTaskManager)
                return 1;
            // A fetch engine left from a failed start keeps the scan options it has.
            m_pTaskManager->SetScanOptions(scan);
            // A fetch engine that stops on an error leaves its pages unreported, so the count
            // of pages left never reaches 0: the scan ends as a user's stop ends it.
            m_pTaskManager->SetErrorStopHandler([this] { StopScan(); });
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
        if (CPageNode* pPage = pages.GetNext(pos); pPage != nullptr)
            queued.push_back(pPage);
    }
    // One more than the pages: the last page cannot end the scan while it is being started.
    m_nPagesLeft.store(static_cast<UINT>(queued.size()) + 1);
    for (CPageNode* pPage : queued) {
        pPage->ClearTitle();
        pPage->SetTitleModified(0);
        CMetaContentList* pList = nullptr;
        if (pPage->GetContentList(pList) == 0 && pList != nullptr)
            pList->DeleteAll();
        CString strUrl;
        pPage->GetFullPath(strUrl);
        PathToFileUrl(strUrl);
        pTaskManager->QueueUrl(reinterpret_cast<DWORD_PTR>(pPage), strUrl, kLinkKindPage, TRUE);
    }
    {
        // The run state is 1 before any worker can finish the last page, or its stop would be
        // refused and the scan would never end.
        std::lock_guard<std::mutex> guard(m_managerLock);
        app.SetRunState(CVostrelAppModel::runScanning);
        m_bThreadsStarted = true;
    }
    pTaskManager->StartThreads();
    // Every page was done already (or there was none): the scan ends here.
    if (CountPageDone())
        StopScan();
    return 0;
}

UINT CParserEngine::StopScan()
{
    auto pParams = std::make_unique<StopParams>();
    {
        std::lock_guard<std::mutex> guard(m_managerLock);
        CVostrelAppModel& app = GetAppModel();
        if (app.GetRunState() != CVostrelAppModel::runScanning)
            return 0;
        app.SetRunState(CVostrelAppModel::runBusy);
        pParams->pTaskManager = std::move(m_pTaskManager);
        m_bThreadsStarted = false;
        m_pStopState->bStop.store(1);
    }
    pParams->pState = m_pStopState;
    pParams->hMainWnd = m_hMainWnd.load();
    if (StartWorker(&ScanStopThread, pParams, *m_pStopState) != 0) {
        // No thread: the scan goes on as it was, so that Stop can be tried again.
        std::lock_guard<std::mutex> guard(m_managerLock);
        m_pTaskManager = std::move(pParams->pTaskManager);
        m_bThreadsStarted = true;
        m_pStopState->bStop.store(0);
        GetAppModel().SetRunState(CVostrelAppModel::runScanning);
    }
    return 0;
}

void CParserEngine::MakeFetchOptions(const CAppOptions& record, int nThreads, CConnectOptions& connect,
                                     CScanOptions& scan)
{
    scan.SetUsingFrontPage(record.m_bFrontPage);

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
    connect.SetMaxTotalTasksPerHost(kScanTotalTasksPerHost);
    connect.SetMaxTotalTasks(nThreads);
}

void CParserEngine::OnTitle(DWORD_PTR dwPage, LPCSTR lpszTitle)
{
    if (auto* pPage = reinterpret_cast<CPageNode*>(dwPage); pPage != nullptr)
        pPage->SetTitle(TextOf(lpszTitle));
}

void CParserEngine::OnKeyword(DWORD_PTR dwPage, LPCSTR lpszKeyword, int nSource)
{
    AddMeta(reinterpret_cast<CPageNode*>(dwPage), "keywords", lpszKeyword, nSource == 0);
}

void CParserEngine::OnNamedMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent, LPCSTR)
{
    AddMeta(reinterpret_cast<CPageNode*>(dwPage), lpszName, lpszContent, false);
}

void CParserEngine::OnHttpEquivMeta(DWORD_PTR dwPage, LPCSTR lpszName, LPCSTR lpszContent)
{
    AddMeta(reinterpret_cast<CPageNode*>(dwPage), lpszName, lpszContent, false);
}

void CParserEngine::OnTaskDone(DWORD_PTR dwPage)
{
    auto* pPage = reinterpret_cast<CPageNode*>(dwPage);
    CSingleLock lock(&m_lock, TRUE);
    if (pPage != nullptr)
        pPage->SetScanState(0);
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

void CParserEngine::AddMeta(CPageNode* pPage, LPCSTR lpszName, LPCSTR lpszText, bool bSuggested)
{
    const CString strName = TextOf(lpszName);
    // A tag without a name has no setting to belong to; a nameless column would follow.
    if (pPage == nullptr || strName.IsEmpty())
        return;
    const CString strText = TextOf(lpszText);

    CSingleLock lock(&m_lock, TRUE);
    CMetaContentList* pList = nullptr;
    if (pPage->GetContentList(pList) != 0 || pList == nullptr)
        pPage->CreateContentList(pList);
    CMetaContent* pContent = nullptr;
    if (pList->FindByName(strName, pContent) != 0 || pContent == nullptr) {
        auto pNew = std::make_unique<CMetaContent>();
        pContent = pNew.get();
        pList->AddTail(pNew.release());
        pContent->SetName(strName);

        CMetaSettingList& catalogue = GetAppModel().GetMetaSettings();
        CMetaSetting* pSetting = nullptr;
        if (catalogue.FindByName(strName, pSetting) == 0 && pSetting != nullptr) {
            UINT nType = 0;
            pSetting->GetType(nType);
            pContent->SetType(nType);
        } else {
            auto pUndefined = std::make_unique<CMetaUndefinedSetting>();
            pUndefined->SetName(strName);
            pUndefined->SetShow(0);
            pSetting = pUndefined.get();
            catalogue.AddTail(pUndefined.release());
            pContent->SetType(kTypeUndefined);
        }
        UINT bShown = 0;
        pSetting->GetShow(bShown);
        if (m_bShowAllFound.load() != 0 && bShown == 0) {
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
    } else {
        pContent->AddItem(strText);
    }
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
            if (!IsWindow(hMainWnd) || dwWaited >= kShowSettingWaitLimitMs)
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
    auto pParams = std::make_unique<EnumParams>();
    pParams->pState = m_pEnumState;
    pParams->strFolder = strFolder;
    // A trailing "/" would give the project folder an empty name.
    while (pParams->strFolder.GetLength() > 1 && pParams->strFolder[pParams->strFolder.GetLength() - 1] == '/')
        pParams->strFolder = pParams->strFolder.Left(pParams->strFolder.GetLength() - 1);
    pParams->pRoot = pRoot;
    pParams->hDialog = hDialog;
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
    CProjectSettings* pSettings = nullptr;
    if (GetAppModel().GetProjectSettings(pSettings) == 0 && pSettings != nullptr)
        pParams->nBackupScheme = pSettings->m_nBackupScheme;
    // A page that would pass the file size limit must fail its write (EFBIG), not kill the
    // program with its temporary copy left in the site.
    std::signal(SIGXFSZ, SIG_IGN);
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
    if (AfxBeginThread(&WaitingThread, pParams.get()) == nullptr)
        return 1;
    pParams.release();
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

UINT CParserEngine::MakeBackupName(const CString& strPath, CString& strName)
{
    for (int n = 1; n <= kLastBackupNumber; ++n) {
        if (n == 1)
            strName = strPath + ".old";
        else
            strName.Format("%s%d", strPath + ".old", n);
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
