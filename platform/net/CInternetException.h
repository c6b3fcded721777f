// CInternetException: an internet operation failed; m_dwError holds the internet error number
// (ERROR_INTERNET_...) or a system error code.
#pragma once

#include "platform/core/CException.h"
#include "platform/core/CString.h"
#include "platform/net/WinInet.h"

class CInternetException : public CException {
    DECLARE_DYNAMIC(CInternetException)
public:
    explicit CInternetException(DWORD dwError);

    // The layer's text for the error number; for an extended error (or a number without a text
    // of its own) the detail recorded with it, such as the server's reply. FALSE and an empty
    // text when there is nothing to say.
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;

    DWORD_PTR m_dwContext = 0;
    DWORD m_dwError;
    // What the transfer library or the server said about the failure, kept for the message.
    CString m_strDetail;
};

// Throws a heap-allocated CInternetException. dwError 0 takes the calling thread's last error.
[[noreturn]] void AfxThrowInternetException(DWORD_PTR dwContext, DWORD dwError = 0, LPCTSTR lpszDetail = nullptr);
