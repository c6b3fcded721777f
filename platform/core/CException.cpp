// The exception root, the simple exceptions and error reporting through the hook.
#include "platform/core/CException.h"

#include "platform/core/CString.h"

#include <atomic>
#include <cstdio>
#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CUserException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)

namespace {

std::atomic<AFX_REPORT_ERROR_HOOK> g_reportErrorHook{nullptr};

constexpr const char kNoErrorMessage[] = "No error message is available.";

} // namespace

AFX_REPORT_ERROR_HOOK AfxSetReportErrorHook(AFX_REPORT_ERROR_HOOK hook)
{
    return g_reportErrorHook.exchange(hook);
}

AFX_REPORT_ERROR_HOOK AfxGetReportErrorHook()
{
    return g_reportErrorHook.load();
}

void AfxCopyErrorText(LPTSTR lpszDest, UINT nMax, LPCTSTR lpszSource)
{
    if (lpszDest == nullptr || nMax == 0)
        return;
    if (lpszSource == nullptr)
        lpszSource = "";
    size_t nLength = std::strlen(lpszSource);
    if (nLength >= nMax) {
        nLength = nMax - 1;
        // Back off over UTF-8 continuation bytes so the cut leaves whole characters.
        while (nLength > 0 && (static_cast<unsigned char>(lpszSource[nLength]) & 0xC0) == 0x80)
            --nLength;
    }
    std::memcpy(lpszDest, lpszSource, nLength);
    lpszDest[nLength] = '\0';
}

void AfxCopyFileErrorText(LPTSTR lpszDest, UINT nMax, const char* const* ppszFormats, int nFormats,
                          int nCause, int nGeneric, LPCTSTR lpszFileName)
{
    const char* pszFormat = (nCause >= 0 && nCause < nFormats) ? ppszFormats[nCause] : ppszFormats[nGeneric];
    LPCTSTR inserts[] = {lpszFileName != nullptr && *lpszFileName != '\0' ? lpszFileName : "an unnamed file"};
    CString strMessage;
    AfxFormatStrings(strMessage, pszFormat, inserts, 1);
    AfxCopyErrorText(lpszDest, nMax, strMessage);
}

CException::CException() : m_bAutoDelete(TRUE)
{
}

CException::CException(BOOL bAutoDelete) : m_bAutoDelete(bAutoDelete)
{
}

void CException::Delete()
{
    if (m_bAutoDelete > 0)
        delete this;
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    AfxCopyErrorText(lpszError, nMaxError, "");
    return FALSE;
}

int CException::ReportError(UINT nType, UINT nMessageID)
{
    char szMessage[512];
    UINT nHelpContext = 0;
    CString strText;
    if (GetErrorMessage(szMessage, sizeof(szMessage), &nHelpContext))
        strText = szMessage;
    else if (nMessageID == 0 || !strText.LoadString(nMessageID))
        strText = kNoErrorMessage;

    if (AFX_REPORT_ERROR_HOOK hook = g_reportErrorHook.load())
        return hook(strText, nType, nHelpContext);
    std::fprintf(stderr, "%s\n", strText.GetString());
    return IDOK;
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    AfxCopyErrorText(lpszError, nMaxError, "Out of memory.");
    return TRUE;
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    AfxCopyErrorText(lpszError, nMaxError, "An unsupported operation was attempted.");
    return TRUE;
}

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    AfxCopyErrorText(lpszError, nMaxError, "A required resource was not available.");
    return TRUE;
}

void AfxThrowMemoryException()
{
    static CMemoryException s_memoryException(FALSE);
    throw &s_memoryException;
}

void AfxThrowNotSupportedException()
{
    throw new CNotSupportedException;
}

void AfxThrowUserException()
{
    throw new CUserException;
}

void AfxThrowResourceException()
{
    throw new CResourceException;
}
