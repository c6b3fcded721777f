#include "platform/net/CInternetException.h"

#include "platform/core/FormatMessage.h"

#include <cstring>
#include <iterator>

IMPLEMENT_DYNAMIC(CInternetException, CException)

namespace {

struct ErrorText {
    DWORD dwError;
    LPCSTR pszText;
};

// Our own wording; callers that show a fixed text of their own look the number up first.
const ErrorText kErrorTexts[] = {
    {ERROR_INTERNET_OUT_OF_HANDLES, "No more internet handles could be made"},
    {ERROR_INTERNET_TIMEOUT, "The operation timed out"},
    {ERROR_INTERNET_EXTENDED_ERROR, "The server returned an error"},
    {ERROR_INTERNET_INTERNAL_ERROR, "An internal error occurred in the internet layer"},
    {ERROR_INTERNET_INVALID_URL, "The URL is not valid"},
    {ERROR_INTERNET_UNRECOGNIZED_SCHEME, "The URL names a scheme that is not supported"},
    {ERROR_INTERNET_NAME_NOT_RESOLVED, "The server name could not be resolved"},
    {ERROR_INTERNET_PROTOCOL_NOT_FOUND, "No protocol could be found for the request"},
    {ERROR_INTERNET_INVALID_OPTION, "The option is not known"},
    {ERROR_INTERNET_BAD_OPTION_LENGTH, "The option value has the wrong length"},
    {ERROR_INTERNET_OPTION_NOT_SETTABLE, "The option cannot be set"},
    {ERROR_INTERNET_SHUTDOWN, "The internet layer is shutting down"},
    {ERROR_INTERNET_INCORRECT_USER_NAME, "The server did not accept the user name"},
    {ERROR_INTERNET_INCORRECT_PASSWORD, "The server did not accept the password"},
    {ERROR_INTERNET_LOGIN_FAILURE, "The login to the server failed"},
    {ERROR_INTERNET_INVALID_OPERATION, "The operation is not valid here"},
    {ERROR_INTERNET_OPERATION_CANCELLED, "The operation was cancelled"},
    {ERROR_INTERNET_INCORRECT_HANDLE_TYPE, "The handle is of the wrong type for the operation"},
    {ERROR_INTERNET_INCORRECT_HANDLE_STATE, "The handle is in the wrong state for the operation"},
    {ERROR_INTERNET_ITEM_NOT_FOUND, "The requested item could not be found"},
    {ERROR_INTERNET_CANNOT_CONNECT, "A connection with the server could not be made"},
    {ERROR_INTERNET_CONNECTION_ABORTED, "The connection with the server was ended abnormally"},
    {ERROR_INTERNET_CONNECTION_RESET, "The connection with the server was reset"},
    {ERROR_INTERNET_INVALID_PROXY_REQUEST, "The request to the proxy was not valid"},
    {ERROR_INTERNET_SEC_CERT_DATE_INVALID, "The server's certificate has expired or is not yet valid"},
    {ERROR_INTERNET_SEC_CERT_CN_INVALID, "The server's certificate was made out for another name"},
    {ERROR_INTERNET_CLIENT_AUTH_CERT_NEEDED, "The server asks for a client certificate"},
    {ERROR_INTERNET_INVALID_CA, "The server's certificate comes from an authority that is not trusted"},
    {ERROR_FTP_TRANSFER_IN_PROGRESS, "An FTP transfer is already in progress on this connection"},
    {ERROR_FTP_DROPPED, "The FTP transfer was dropped"},
    {ERROR_HTTP_HEADER_NOT_FOUND, "The header could not be found"},
    {ERROR_HTTP_INVALID_SERVER_RESPONSE, "The server's reply could not be understood"},
    {ERROR_HTTP_INVALID_HEADER, "The header is not valid"},
    {ERROR_HTTP_INVALID_QUERY_REQUEST, "The header query is not valid"},
    {ERROR_HTTP_REDIRECT_FAILED, "The redirection could not be followed"},
    {ERROR_INTERNET_SECURITY_CHANNEL_ERROR, "The secure channel to the server failed"},
    {ERROR_INTERNET_SEC_INVALID_CERT, "The server's certificate is not valid"},
    {ERROR_INTERNET_SEC_CERT_REVOKED, "The server's certificate has been revoked"},
    {ERROR_INTERNET_DECODING_FAILED, "The content could not be decoded"},
    {ERROR_INTERNET_TRANSFER_TIME_LIMIT, "The transfer took longer than its time limit"},
    {ERROR_INTERNET_TRANSFER_SIZE_LIMIT, "The reply is larger than its size limit"},
};

} // namespace

LPCSTR GetInternetErrorText(DWORD dwError)
{
    for (const ErrorText& row : kErrorTexts)
        if (row.dwError == dwError)
            return row.pszText;
    return nullptr;
}

CInternetException::CInternetException(DWORD dwError) : m_dwError(dwError) {}

BOOL CInternetException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    LPCSTR pszText = nullptr;
    // An extended error is only as good as what the server said; a reply that cannot be
    // understood, an internal error (the first error a callback kept), a limit reached and a
    // proxy that cannot carry the request are best told by their own detail.
    if ((m_dwError == ERROR_INTERNET_EXTENDED_ERROR || m_dwError == ERROR_HTTP_INVALID_SERVER_RESPONSE
            || m_dwError == ERROR_INTERNET_INTERNAL_ERROR || m_dwError == ERROR_INTERNET_TRANSFER_TIME_LIMIT
            || m_dwError == ERROR_INTERNET_TRANSFER_SIZE_LIMIT || m_dwError == ERROR_INTERNET_INVALID_PROXY_REQUEST)
        && !m_strDetail.IsEmpty())
        pszText = m_strDetail;
    if (pszText == nullptr)
        pszText = GetInternetErrorText(m_dwError);
    if (pszText == nullptr && m_dwError < INTERNET_ERROR_BASE)
        pszText = GetSystemErrorText(m_dwError);
    if (pszText == nullptr && !m_strDetail.IsEmpty())
        pszText = m_strDetail;
    if (pszText == nullptr) {
        AfxCopyErrorText(lpszError, nMaxError, "");
        return FALSE;
    }
    AfxCopyErrorText(lpszError, nMaxError, pszText);
    return TRUE;
}

void AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError, LPCTSTR lpszDetail)
{
    if (dwError == 0)
        dwError = GetLastError();
    auto* pException = new CInternetException(dwError);
    pException->m_dwContext = dwContext;
    if (lpszDetail != nullptr)
        pException->m_strDetail = lpszDetail;
    throw pException;
}
