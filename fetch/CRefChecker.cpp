#include "fetch/CRefChecker.h"

#include "engine/html/CHtmlParser.h"
#include "engine/html/HtmlLinkTypes.h"
#include "engine/html/ITaskManager.h"
#include "engine/project/CConnectOptions.h"
#include "engine/project/CScanOptions.h"
#include "engine/project/CUrlString.h"
#include "fetch/CFileRefChecker.h"
#include "fetch/CFtpRefChecker.h"
#include "fetch/CHPSTable.h"
#include "fetch/CHttpRefChecker.h"
#include "fetch/CMailtoRefChecker.h"
#include "fetch/COtherRefChecker.h"
#include "fetch/CTaskManager.h"
#include "fetch/InternetErrors.h"
#include "fetch/ResultCodes.h"
#include "fetch/UrlCredentials.h"
#include "keywords/CExtractorDoc.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"
#include "platform/core/TickCount.h"

#include <cctype>

IMPLEMENT_DYNAMIC(CRefChecker, CObject)

namespace {

struct INTERNET_ERROR_RESULT {
    DWORD dwError;
    DWORD dwCode;
};

constexpr INTERNET_ERROR_RESULT kInternetErrorResults[] = {
    {12002, 0x8000000e}, {12005, 0x8000000f}, {12006, 0x80000010}, {12007, 0x8000000d},
    {12008, 0x80000012}, {12013, 0x80000013}, {12014, 0x80000014}, {12015, 0x80000015},
    {12029, 0x80000016}, {12030, 0x80000017}, {12031, 0x80000018}, {12037, 0x80000019},
    {12038, 0x8000001a}, {12045, 0x8000001b}, {12169, 0x8000001c}, {12170, 0x8000001d},
};

constexpr UINT kKeywordReadSize = 511;

// Whether a reference names its scheme ("http:", "file:"); one without is relative. Parsed
// alone, the URL value would take a scheme-less reference for a host name.
bool HasScheme(LPCSTR lpszHref)
{
    if (lpszHref == nullptr || !std::isalpha(static_cast<unsigned char>(*lpszHref)))
        return false;
    for (LPCSTR p = lpszHref; *p != '\0'; ++p) {
        const unsigned char ch = static_cast<unsigned char>(*p);
        if (ch == ':')
            return true;
        if (!std::isalnum(ch) && ch != '+' && ch != '-' && ch != '.')
            return false;
    }
    return false;
}

} // namespace

std::unique_ptr<CRefChecker> CreateRefChecker(CTaskManager* pTaskManager, ITaskManager* pSink, CHPSUP* pHpsup)
{
    switch (pHpsup->GetHps()->GetSchemeKind()) {
    case SCHEME_KIND_FILE:
        return std::make_unique<CFileRefChecker>(pTaskManager, pSink, pHpsup);
    case SCHEME_KIND_MAILTO:
        return std::make_unique<CMailtoRefChecker>(pTaskManager, pSink, pHpsup);
    case SCHEME_KIND_HTTP:
    case SCHEME_KIND_HTTPS:
        return std::make_unique<CHttpRefChecker>(pTaskManager, pSink, pHpsup);
    case SCHEME_KIND_FTP:
        return std::make_unique<CFtpRefChecker>(pTaskManager, pSink, pHpsup);
    default:
        return std::make_unique<COtherRefChecker>(pTaskManager, pSink, pHpsup);
    }
}

CRefChecker::CRefChecker(CTaskManager* pTaskManager, ITaskManager* pSink, CHPSUP* pHpsup)
    : m_pTaskManager(pTaskManager), m_pSink(pSink), m_pHpsup(pHpsup), m_dwStartTick(GetTickCount())
{
}

CRefChecker::~CRefChecker() = default;

DWORD_PTR CRefChecker::GetPageId() const
{
    return m_pRecord != nullptr ? m_pRecord->GetCallerId() : 0;
}

BOOL CRefChecker::Check(CURLToCheck* pRecord)
{
    m_pRecord = pRecord;
    m_ullCheckStart = GetTickCount64();
    m_strBaseUrl = pRecord->GetFullUrl();
    m_dwKeptClass = RESULT_CLASS_NOT_CHECKED;
    ReportResultCode(RC_CHECKING);

    CHPS* pHps = m_pHpsup->GetHps();
    const int nKind = pHps->GetSchemeKind();
    if (nKind >= SCHEME_KIND_FTP && nKind <= SCHEME_KIND_HTTPS && pHps->GetHost()->IsNotFound()) {
        ReportExceptionText(RESULT_CLASS_ERROR, ERROR_INTERNET_NAME_NOT_RESOLVED, nullptr);
        return FALSE;
    }
    if (pRecord->GetLinkKind() == LINK_KIND_SERVER_MAP) {
        if (nKind == SCHEME_KIND_HTTP || nKind == SCHEME_KIND_HTTPS || nKind == SCHEME_KIND_FILE)
            ReportResultCode(RC_SERVER_MAP_UNSUPPORTED);
        else
            ReportResultCode(RC_SERVER_MAP_WRONG_PROTOCOL);
        return FALSE;
    }
    const CUrlString url(m_strBaseUrl);
    if (url.HasInvalidChars())
        ReportResultCode(RC_UNSAFE_CHARS);
    if (CUrlString::IsValidPortForScheme(nKind, pHps->GetPort()))
        return TRUE;
    ReportResultCode(RC_BAD_PORT);
    return FALSE;
}

void CRefChecker::CheckMore()
{
    ReportResultCode(RC_UNSUPPORTED_SCHEME);
}

void CRefChecker::Finish()
{
    if (m_pRecord != nullptr && !m_pRecord->IsRequeued())
        m_pSink->OnTaskDone(m_pRecord->GetCallerId());
    m_pRecord = nullptr;
}

void CRefChecker::StartKeywordExtraction()
{
    m_pExtractorDoc.reset(m_pTaskManager->NewExtractorDocument());
}

void CRefChecker::ResetKeywordExtraction()
{
    if (m_pExtractorDoc)
        m_pExtractorDoc->Reset();
}

void CRefChecker::AddKeywordText(const char* pBuffer, int nLength)
{
    if (m_pExtractorDoc && pBuffer != nullptr && nLength > 0)
        m_pExtractorDoc->AddText(pBuffer, nLength);
}

void CRefChecker::FinishKeywordExtraction(BOOL bReport)
{
    if (!m_pExtractorDoc)
        return;
    if (m_pExtractorDoc->Extract() == 0 && bReport) {
        const int nCount = m_pExtractorDoc->GetPhraseCount();
        for (int i = 0; i < nCount; ++i) {
            LPCSTR lpszPhrase = m_pExtractorDoc->GetPhrase(i);
            if (lpszPhrase != nullptr && *lpszPhrase != '\0')
                m_pSink->OnKeyword(GetPageId(), lpszPhrase, 0);
        }
    }
    m_pExtractorDoc.reset();
}

void CRefChecker::ReportExceptionText(DWORD dwClass, DWORD dwError, CException* pException)
{
    if (IsStopRequested()) {
        ReportResultCode(RC_CANCELLED);
        return;
    }
    const CString strText = GetExceptionMessageText(dwError, pException);
    ReportResultCode(dwClass == RESULT_CLASS_WARNING ? RC_WARNING_TEXT : RC_ERROR_TEXT, strText, dwError);
}

void CRefChecker::ReportErrorText(DWORD dwClass, CException* pException)
{
    if (IsStopRequested()) {
        ReportResultCode(RC_CANCELLED);
        return;
    }
    const CString strText = GetBlankedErrorMessage(pException, 255);
    ReportResultCode(dwClass == RESULT_CLASS_WARNING ? RC_WARNING_TEXT : RC_ERROR_TEXT, strText, 0);
}

void CRefChecker::ReportException(DWORD dwDefaultCode, CException* pException)
{
    if (IsStopRequested()) {
        ReportResultCode(RC_CANCELLED);
        return;
    }
    if (auto* pFileException = dynamic_cast<CFileException*>(pException)) {
        const CString strText = GetBlankedErrorMessage(pFileException, 1024);
        ReportResultCode(dwDefaultCode, strText, static_cast<DWORD_PTR>(static_cast<DWORD>(pFileException->m_lOsError)));
        return;
    }
    DWORD dwError = 0;
    if (GetInternetErrorNumber(pException, dwError)) {
        // A check ended by its limits says which limit, in the terms the options give it.
        if (dwError == ERROR_INTERNET_TRANSFER_TIME_LIMIT || dwError == ERROR_INTERNET_TRANSFER_SIZE_LIMIT) {
            ReportResultCode(dwDefaultCode, GetLimitText(dwError), dwError);
            return;
        }
        for (const INTERNET_ERROR_RESULT& row : kInternetErrorResults) {
            if (row.dwError == dwError) {
                if (dwError == ERROR_INTERNET_NAME_NOT_RESOLVED)
                    m_pHpsup->GetHost()->SetNotFound();
                ReportResultCode(row.dwCode, nullptr, dwError);
                return;
            }
        }
        ReportResultCode(dwDefaultCode, GetExceptionMessageText(dwError, pException), dwError);
        return;
    }
    ReportResultCode(dwDefaultCode, GetBlankedErrorMessage(pException, 1024), 0);
}

void CRefChecker::ReportResultCode(DWORD dwCode, LPCTSTR lpszInsert1, DWORD_PTR dwInsert2)
{
    const RESULT_CODE_ENTRY& row = FindResultCode(dwCode);
    if (!IsResultReportable(m_dwKeptClass, row.dwClass))
        return;
    m_pSink->ReportResult(GetPageId(), row.dwClass, row.dwCode, row.nStringId, lpszInsert1, dwInsert2);
    m_dwKeptClass = row.dwClass;
}

void CRefChecker::ReportResultText(DWORD dwCode, DWORD dwClass, LPCTSTR lpszText)
{
    if (!IsResultReportable(m_dwKeptClass, dwClass))
        return;
    m_pSink->ReportResult(GetPageId(), dwClass, dwCode, 0, lpszText, 0);
    m_dwKeptClass = dwClass;
}

CString CRefChecker::GetLimitText(DWORD dwError) const
{
    const CConnectOptions& options = m_pTaskManager->GetConnectOptions();
    CString strText;
    if (dwError == ERROR_INTERNET_TRANSFER_TIME_LIMIT) {
        strText.Format("Stopped: the check took longer than its limit of %d s", options.GetCheckTimeLimit());
    } else {
        const DWORD dwLimit = options.GetCheckSizeLimit();
        if (dwLimit % (1024 * 1024) == 0)
            strText.Format("Stopped: the reply is larger than its limit of %u MB", dwLimit / (1024 * 1024));
        else
            strText.Format("Stopped: the reply is larger than its limit of %u bytes", dwLimit);
    }
    return strText;
}

DWORD CRefChecker::GetCheckTimeLeft() const
{
    const DWORD dwLimit = m_pTaskManager->GetCheckTimeLimitMs();
    if (dwLimit == 0)
        return 0xFFFFFFFFu;
    const ULONGLONG ullUsed = GetTickCount64() - m_ullCheckStart;
    return ullUsed >= dwLimit ? 0 : static_cast<DWORD>(dwLimit - ullUsed);
}

BOOL CRefChecker::IsStopRequested()
{
    return m_pTaskManager->IsStopRequested();
}

CHtmlParser::PageFrame CRefChecker::ParsePage(CFile* pFile)
{
    const CScanOptions& options = m_pTaskManager->GetScanOptions();
    CHtmlParser parser(this, pFile, options.GetJavaScript(), options.GetVBScript(), SCRIPT_KIND_JAVASCRIPT);
    parser.Parse();
    m_pSink->OnContentLength(GetPageId(), parser.GetBytesRead());
    return parser.GetPageFrame();
}

void CRefChecker::ReadPageForKeywords(CFile* pFile)
{
    char buffer[kKeywordReadSize];
    DWORD dwTotal = 0;
    for (;;) {
        const UINT nRead = pFile->Read(buffer, kKeywordReadSize);
        if (nRead > 0)
            AddKeywordText(buffer, static_cast<int>(nRead));
        dwTotal += nRead;
        if (nRead < kKeywordReadSize)
            break;
    }
    m_pSink->OnContentLength(GetPageId(), dwTotal);
}

CString CRefChecker::GetBaseUrl() const
{
    if (!m_strBaseUrl.IsEmpty())
        return m_strBaseUrl;
    return m_pRecord != nullptr ? m_pRecord->GetFullUrl() : CString();
}

void CRefChecker::ReportLink(LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags, int nWidth,
    int nHeight)
{
    const CScanOptions& options = m_pTaskManager->GetScanOptions();
    if (!options.GetReportLinks())
        return;
    if ((dwFlags & LINK_FLAG_SERVER_MAP) != 0 && !options.GetDisabledAccessibility())
        return;
    // A link resolved against a URL with credentials would carry them: no report shows them.
    CString strStripped;
    m_pSink->OnLinkFound(GetPageId(), StripUserInfo(lpszUrl, strStripped), lpszDescription, nLinkKind, dwFlags,
        nWidth, nHeight);
}

void CRefChecker::ReportCodebaseLink(LPCSTR lpszCodebase, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind,
    DWORD dwFlags, int nWidth, int nHeight)
{
    if (!m_pTaskManager->GetScanOptions().GetReportLinks())
        return;
    CString strCodebase = lpszCodebase;
    strCodebase.TrimRight();
    if (strCodebase.IsEmpty()) {
        ReportLink(lpszUrl, lpszDescription, nLinkKind, dwFlags, nWidth, nHeight);
        return;
    }
    const CUrlString base(GetBaseUrl());
    const CUrlString codebase(lpszCodebase, &base);
    const CUrlString url(lpszUrl, &codebase);
    const CString strUrl = url.GetUrl(TRUE);
    ReportLink(strUrl, lpszDescription, nLinkKind, dwFlags, nWidth, nHeight);
}

void CRefChecker::OnTitle(LPCSTR lpszTitle)
{
    m_pSink->OnTitle(GetPageId(), lpszTitle);
}

void CRefChecker::OnAnchor(LPCSTR lpszName)
{
    if (m_pTaskManager->GetScanOptions().GetReportAnchors())
        m_pSink->OnAnchor(GetPageId(), lpszName);
}

void CRefChecker::OnBase(LPCSTR lpszHref)
{
    const CString strUrl = m_pRecord->GetFullUrl();
    const CUrlString current(strUrl);
    const CUrlString resolved(lpszHref, &current);
    const CString strShown = StripUserInfo(lpszHref);
    if (resolved.HasError()) {
        ReportResultCode(RC_BAD_BASE_URL, strShown);
        m_strBaseUrl = strUrl;
    } else {
        if (!HasScheme(lpszHref))
            ReportResultCode(RC_RELATIVE_BASE_URL, strShown);
        m_strBaseUrl = resolved.GetUrl(TRUE);
    }
    m_pSink->OnBaseUrl(GetPageId(), strShown);
}

void CRefChecker::ReportRedirect(UINT nStatus, LPCTSTR lpszNewUrl)
{
    m_pSink->OnRedirect(GetPageId(), nStatus, StripUserInfo(lpszNewUrl), m_pRecord->GetLinkKind());
}

void CRefChecker::OnExtraLink(LPCSTR, LPCSTR lpszUrl, LPCSTR lpszDescription, int nLinkKind, DWORD dwFlags,
    int nWidth, int nHeight)
{
    m_pSink->OnExtraLink(GetPageId(), StripUserInfo(lpszUrl), lpszDescription, nLinkKind, dwFlags, nWidth, nHeight);
}

void CRefChecker::OnAuthor(LPCSTR lpszAuthor)
{
    m_pSink->OnAuthor(GetPageId(), lpszAuthor);
}

void CRefChecker::OnKeyword(LPCSTR lpszKeyword)
{
    if (m_pTaskManager->GetScanOptions().GetCollectKeywords())
        m_pSink->OnKeyword(GetPageId(), lpszKeyword, 1);
}

void CRefChecker::OnDescription(LPCSTR lpszDescription)
{
    if (m_pTaskManager->GetScanOptions().GetReportDescription())
        m_pSink->OnDescription(GetPageId(), lpszDescription);
}

void CRefChecker::OnOtherMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme)
{
    if (m_pTaskManager->GetScanOptions().GetReportMeta())
        m_pSink->OnOtherMeta(GetPageId(), lpszName, lpszContent, lpszScheme);
}

void CRefChecker::OnFormEnd(LPCSTR lpszFormName, DWORD dwChecksum)
{
    m_pSink->OnFormEnd(GetPageId(), lpszFormName, dwChecksum);
}

void CRefChecker::OnNamedMeta(LPCSTR lpszName, LPCSTR lpszContent, LPCSTR lpszScheme)
{
    if (m_pTaskManager->GetScanOptions().GetReportMeta())
        m_pSink->OnNamedMeta(GetPageId(), lpszName, lpszContent, lpszScheme);
}

void CRefChecker::OnHttpEquivMeta(LPCSTR lpszName, LPCSTR lpszContent)
{
    if (m_pTaskManager->GetScanOptions().GetReportMeta())
        m_pSink->OnHttpEquivMeta(GetPageId(), lpszName, lpszContent);
}

void CRefChecker::OnLastModified(LONG nTime)
{
    m_pSink->OnLastModified(GetPageId(), nTime);
}
