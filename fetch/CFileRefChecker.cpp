#include "fetch/CFileRefChecker.h"

#include "engine/html/CTranslatingFile.h"
#include "engine/html/HtmlLinkTypes.h"
#include "engine/html/ITaskManager.h"
#include "engine/meta/CMetaEditEngine.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CPageBytesCheck.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/CUrlString.h"
#include "engine/project/PageFileCheck.h"
#include "engine/project/PageReadability.h"
#include "fetch/CHPSTable.h"
#include "fetch/CTaskManager.h"
#include "fetch/ResultCodes.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "platform/core/Registry.h"

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <string>

IMPLEMENT_DYNAMIC(CFileRefChecker, CRefChecker)

namespace {

constexpr LONG kOneDay = 24 * 60 * 60;

// A page is read twice: its bytes looked at whole (binary data, the checksum), then parsed. Of
// the time a page takes, the look takes about kLookShare parts and the parse kParseShare (the
// look a fiftieth of the parse where the page is in memory, a quarter where it comes from a
// disk): the progress told through the page follows the time, not the bytes.
constexpr ULONGLONG kLookShare = 1;
constexpr ULONGLONG kParseShare = 9;
// How far the check tells its progress through a page: at every so many bytes read. A page
// smaller than that tells none.
constexpr ULONGLONG kProgressStep = 4u << 20;

// The page's file as the parse reads it, telling the check how far it has come.
class ProgressReads : public CFile {
public:
    ProgressReads(CFile& file, std::function<void(ULONGLONG)> onProgress)
        : m_file(file), m_onProgress(std::move(onProgress))
    {
    }
    UINT Read(void* lpBuf, UINT nCount) override
    {
        const UINT nRead = m_file.Read(lpBuf, nCount);
        m_nDone += nRead;
        if (m_nDone >= m_nNext) {
            m_nNext = m_nDone + kProgressStep;
            m_onProgress(m_nDone);
        }
        return nRead;
    }

private:
    CFile& m_file;
    std::function<void(ULONGLONG)> m_onProgress;
    ULONGLONG m_nDone = 0;
    ULONGLONG m_nNext = kProgressStep;
};

// Link kinds whose targets are pages worth reading.
bool IsPageLinkKind(int nKind)
{
    return nKind == LINK_KIND_ANCHOR || nKind == LINK_KIND_PLAIN || nKind == LINK_KIND_SCRIPT
        || nKind == LINK_KIND_OTHER || nKind == LINK_KIND_FRAME;
}

bool IsDirectory(const CString& strPath)
{
    struct stat st {};
    return ::stat(strPath, &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const CString& strPath)
{
    struct stat st {};
    return ::stat(strPath, &st) == 0 && S_ISREG(st.st_mode);
}

// The extension from the last "." of the file name; empty when there is none.
CString GetExtension(const CString& strPath)
{
    const int nDot = strPath.ReverseFind('.');
    const int nSlash = strPath.ReverseFind('/');
    if (nDot < 0 || nDot < nSlash)
        return CString();
    return strPath.Mid(nDot);
}

} // namespace

CString CFileRefChecker::GetRegisteredContentType(const CString& strPath)
{
    const CString strExtension = GetExtension(strPath);
    if (strExtension.IsEmpty())
        return CString();
    HKEY hKey = nullptr;
    if (RegOpenKeyEx(HKEY_CLASSES_ROOT, strExtension, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return CString();
    char buffer[257] = {};
    DWORD dwType = 0;
    DWORD dwSize = 256;
    CString strType;
    if (RegQueryValueEx(hKey, "Content Type", nullptr, &dwType, reinterpret_cast<LPBYTE>(buffer), &dwSize)
            == ERROR_SUCCESS
        && dwType == REG_SZ)
        strType = buffer;   // the buffer keeps a NUL after the 256 bytes read
    RegCloseKey(hKey);
    return strType;
}

bool CFileRefChecker::IsHtmlFileName(const CString& strPath)
{
    CString strExtension = GetExtension(strPath);
    if (strExtension.IsEmpty())
        return false;
    strExtension.MakeLower();
    for (LPCTSTR lpszHtml : {".htm", ".html", ".shtm", ".shtml"}) {
        if (strExtension == lpszHtml)
            return true;
    }
    for (LPCTSTR lpszOther : {".bmp", ".class", ".gif", ".jpeg", ".jpg", ".wav"}) {
        if (strExtension == lpszOther)
            return false;
    }
    return GetRegisteredContentType(strPath).CompareNoCase("text/html") == 0;
}

BOOL CFileRefChecker::Check(CURLToCheck* pRecord)
{
    const BOOL bGoOn = CRefChecker::Check(pRecord);
    m_bFetch = pRecord->GetFetch();
    return bGoOn;
}

CFileRefChecker::ContentKind CFileRefChecker::GetContentKind(const CString& strPath, const CString& strContentType) const
{
    const CScanOptions& options = m_pTaskManager->GetScanOptions();
    if (options.GetIgnoreScriptType())
        return ContentKind::Html;
    CString strType = strContentType;
    strType.MakeLower();
    if (GetScriptMimeTypeKind(strType) == SCRIPT_KIND_JAVASCRIPT)
        return ContentKind::Script;
    bool bPlain = false;
    if (!strContentType.IsEmpty()) {
        bPlain = strContentType.CompareNoCase("text/plain") == 0;
    } else {
        CString strExtension = GetExtension(strPath);
        strExtension.MakeLower();
        bPlain = strExtension == ".txt" || strExtension == ".lst" || strExtension == ".diz";
    }
    if (bPlain)
        return options.GetCollectKeywords() ? ContentKind::PlainText : ContentKind::Other;
    return IsHtmlFileName(strPath) ? ContentKind::Html : ContentKind::Other;
}

void CFileRefChecker::CheckMore()
{
    ReportResultCode(RC_CHECKING);

    CUrlString url(m_pRecord->GetFullUrl());
    const CString& strUrlPath = url.GetPath();
    if (strUrlPath.Left(2) == "\\\\" || strUrlPath.Left(2) == "//" || !url.GetHost().IsEmpty())
        ReportResultCode(RC_FILE_REMOTE_HOST);

    // A file URL naming a host is still read from this machine.
    CString strPath = m_pTaskManager->GetConnectOptions().MapFileUrlToPath(nullptr, strUrlPath);
    if (!IsPageLinkKind(m_pRecord->GetLinkKind()))
        m_bFetch = FALSE;

    if (IsDirectory(strPath)) {
        if (strPath.Right(1) != "/") {
            url.SetPath(strUrlPath + "/");
            ReportResultCode(RC_FILE_FOLDER_REDIRECT);
            ReportRedirect(302, url.GetUrl(TRUE));
            return;
        }
        const CString& strIndex = m_pTaskManager->GetIndexFilename();
        if (strIndex.IsEmpty()) {
            ReportResultCode(RC_FILE_OK);
            return;
        }
        if (!FileExists(strPath + strIndex)) {
            ReportResultCode(RC_FILE_NO_INDEX);
            return;
        }
        strPath += strIndex;
    }

    CFile file;
    CFileException openError;
    openError.m_bAutoDelete = FALSE;
    if (!file.Open(strPath, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary, &openError)) {
        // A named pipe or a device under a page's name is told as what it is: the open was not
        // refused, there is nothing a page could be read from.
        struct stat info {};
        if (openError.m_lOsError == ERROR_BAD_FILE_TYPE && ::stat(strPath, &info) == 0
            && !NotAFileText(info.st_mode).IsEmpty()) {
            ReportResultText(RC_FILE_UNREADABLE, RESULT_CLASS_ERROR, NotAFileText(info.st_mode));
            return;
        }
        ReportException(RC_FILE_OPEN_FAILED, &openError);
        return;
    }

    // One look at the file opened: which file the page's name leads to now and by which path (a
    // save writes only into this one, or into one saved anew in its place), its size and its
    // date.
    bool bDateWarning = false;
    unsigned long long nSize = 0;
    if (struct stat opened {}; ::fstat(static_cast<int>(file.m_hFile), &opened) == 0) {
        nSize = static_cast<unsigned long long>(opened.st_size);
        m_pSink->OnFileRead(GetPageId(), opened, ResolvedPathOf(static_cast<int>(file.m_hFile), strPath));
        m_pSink->OnContentLength(GetPageId(), static_cast<DWORD>(opened.st_size));
        const LONG nTime = static_cast<LONG>(opened.st_mtim.tv_sec);
        m_pSink->OnLastModified(GetPageId(), nTime);
        if (static_cast<long long>(nTime) > static_cast<long long>(std::time(nullptr)) + kOneDay) {
            ReportResultCode(RC_FILE_BAD_DATE);
            bDateWarning = true;
        }
    }

    const CString strContentType = GetRegisteredContentType(strPath);
    if (!strContentType.IsEmpty())
        m_pSink->OnContentType(GetPageId(), strContentType);

    const ContentKind kind = GetContentKind(strPath, strContentType);
    if (!m_bFetch || kind == ContentKind::Other) {
        if (!bDateWarning)
            ReportResultCode(RC_FILE_OK);
    } else if (kind == ContentKind::Html && nSize > kLargestReadPage) {
        // Told by its size alone: not a byte of it is read.
        ReportResultText(RC_FILE_TOO_LARGE, RESULT_CLASS_ERROR, TooLargePageText(nSize));
    } else {
        ReadContent(file, kind, bDateWarning, nSize);
    }
    file.Close();
}

void CFileRefChecker::ReadContent(CFile& file, ContentKind kind, bool bDateWarning, ULONGLONG nSize)
{
    // The owner hears of the progress at once, whatever turn the other reports wait for.
    ITaskManager* pOwner = m_pTaskManager->GetSink();
    const ULONGLONG nTotal = nSize * (kLookShare + kParseShare);
    const DWORD_PTR dwPage = GetPageId();
    ProgressReads counted(file, [=](ULONGLONG nParsed) {
        pOwner->OnReadProgress(dwPage, nSize * kLookShare + std::min(nParsed, nSize) * kParseShare, nTotal);
    });
    CTranslatingFile translated(&counted);
    try {
        if (kind == ContentKind::PlainText) {
            StartKeywordExtraction();
            ReadPageForKeywords(&translated);
            FinishKeywordExtraction(TRUE);
        } else if (kind == ContentKind::Html) {
            // The page's start tells a charset this program does not write, and binary data.
            std::string start(kPageSniffBytes, '\0');
            start.resize(file.Read(start.data(), static_cast<UINT>(start.size())));
            file.SeekToBegin();
            if (const CString strCharset = UnwrittenCharsetText(start); !strCharset.IsEmpty()) {
                ReportResultText(RC_FILE_UNREADABLE, RESULT_CLASS_ERROR, strCharset);
                return;
            }
            // All of the file's bytes tell a picture or an archive saved under a page's name,
            // whatever HTML its bytes hold, and a page in UTF-16 without its mark; such a file
            // is not parsed at all.
            bool bStopped = false;
            ULONGLONG nLooked = 0;
            const CPageBytesCheck bytes = CPageBytesCheck::OfFile(static_cast<int>(file.m_hFile), [&] {
                nLooked += CPageBytesCheck::kFilePiece;
                if (nLooked % kProgressStep == 0 && nLooked < nSize)
                    pOwner->OnReadProgress(dwPage, nLooked * kLookShare, nTotal);
                return IsStopRequested() != FALSE;
            }, bStopped);
            if (bStopped) {
                ReportResultCode(RC_CANCELLED);
                return;
            }
            if (bytes.GetKind() != CPageBytesCheck::Kind::Text) {
                ReportResultText(RC_FILE_UNREADABLE, RESULT_CLASS_ERROR, bytes.GetText());
                return;
            }
            // The look read every byte of the page: their checksum tells a save whether another
            // program changed them since.
            m_pSink->OnFileChecksum(GetPageId(), bytes.GetChecksum());
            StartKeywordExtraction();
            ResetKeywordExtraction();
            const CHtmlParser::PageFrame frame = ParsePage(&translated);
            // A page the save would refuse is told now, when the user can still do something
            // about it, rather than only after its cells were edited.
            if (frame == CHtmlParser::PageFrame::NoHtmlStart && LooksBinary(start) && !IsStopRequested()) {
                FinishKeywordExtraction(FALSE);
                ReportResultText(RC_FILE_UNREADABLE, RESULT_CLASS_ERROR, BinaryPageText());
                return;
            }
            FinishKeywordExtraction(TRUE);
            if (frame == CHtmlParser::PageFrame::NoHtmlStart && start.empty() && !IsStopRequested()) {
                ReportResultText(RC_FILE_NOT_SAVABLE, RESULT_CLASS_WARNING, EmptyPageText());
                return;
            }
            if (frame != CHtmlParser::PageFrame::Whole && !IsStopRequested()) {
                const UINT nId = frame == CHtmlParser::PageFrame::NoHtmlStart ? kIdsMissingHtmlStart
                    : frame == CHtmlParser::PageFrame::NoHeadStart            ? kIdsMissingHeadStart
                                                                              : kIdsMissingHeadEnd;
                ReportResultText(RC_FILE_NOT_SAVABLE, RESULT_CLASS_WARNING, GetMetaEditErrorText(nId));
                return;
            }
        }
        if (!bDateWarning)
            ReportResultCode(RC_FILE_OK);
    } catch (CFileException* e) {
        // Read and scanner failures only: anything else is a fault of the engine or its owner,
        // which stops the whole engine.
        if (IsStopRequested())
            ReportResultCode(RC_CANCELLED);
        else
            ReportException(RC_FILE_OPEN_FAILED, e);
        e->Delete();
        FinishKeywordExtraction(FALSE);
    }
}

void CFileRefChecker::ReportException(DWORD dwDefaultCode, CException* pException)
{
    if (auto* pFileException = dynamic_cast<CFileException*>(pException)) {
        if (!IsStopRequested()
            && (pFileException->m_cause == CFileException::fileNotFound
                || pFileException->m_cause == CFileException::badPath)) {
            ReportResultCode(RC_FILE_NOT_FOUND, pFileException->m_strFileName,
                static_cast<DWORD_PTR>(pFileException->m_cause));
            return;
        }
    }
    CRefChecker::ReportException(dwDefaultCode, pException);
}
