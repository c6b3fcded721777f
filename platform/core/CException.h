// CException, the root of the exceptions the class library throws by pointer, the simple
// exception classes, the AfxThrow functions for them and the TRY/CATCH macros.
#pragma once

#include "platform/core/CObject.h"
#include "platform/core/Types.h"

#include <exception>

#ifndef MB_OK
#define MB_OK 0x00000000u
#endif
#ifndef MB_ICONEXCLAMATION
#define MB_ICONEXCLAMATION 0x00000030u
#endif
#ifndef IDOK
#define IDOK 1
#endif

// Shows an error text to the user and returns the button chosen (IDOK, ...). The message box
// installs itself here; without a hook the text goes to stderr and the answer is IDOK.
typedef int (*AFX_REPORT_ERROR_HOOK)(LPCTSTR lpszText, UINT nType, UINT nIDHelp);

// Installs the reporting hook; returns the previous one. Callable from any thread.
AFX_REPORT_ERROR_HOOK AfxSetReportErrorHook(AFX_REPORT_ERROR_HOOK hook);
AFX_REPORT_ERROR_HOOK AfxGetReportErrorHook();

// Exceptions are thrown as heap pointers (`throw new CFileException(...)`, or an AfxThrow
// function) and caught as `catch (CException* e)`; the handler ends with e->Delete().
class CException : public CObject {
    DECLARE_DYNAMIC(CException)
public:
    // Auto-delete: Delete() frees the object. Exceptions on the stack or in static storage
    // must be made with bAutoDelete FALSE.
    CException();
    explicit CException(BOOL bAutoDelete);
    ~CException() override = default;

    // Frees a heap-allocated exception; does nothing for one that is not auto-deleted.
    void Delete();

    // Copies the error text into lpszError (at most nMaxError bytes with the terminating NUL,
    // cut at a character boundary). FALSE (and an empty text) when there is none.
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const;

    // Shows the error text (or string resource nMessageID when there is none, or a generic
    // text) through the reporting hook and returns the answer.
    virtual int ReportError(UINT nType = MB_OK, UINT nMessageID = 0);

    BOOL m_bAutoDelete;
};

// Allocation failed. AfxThrowMemoryException throws one shared static object, since a new one
// could not be allocated either; its Delete does nothing.
class CMemoryException : public CException {
    DECLARE_DYNAMIC(CMemoryException)
public:
    CMemoryException() = default;
    explicit CMemoryException(BOOL bAutoDelete) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

// An operation this object does not support (writing a read-only memory file, and so on).
class CNotSupportedException : public CException {
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    CNotSupportedException() = default;
    explicit CNotSupportedException(BOOL bAutoDelete) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

// The user cancelled an operation; the user already knows, so it carries no message.
class CUserException : public CException {
    DECLARE_DYNAMIC(CUserException)
public:
    CUserException() = default;
    explicit CUserException(BOOL bAutoDelete) : CException(bAutoDelete) {}
};

// A resource (string, bitmap, window) could not be loaded or created.
class CResourceException : public CException {
    DECLARE_DYNAMIC(CResourceException)
public:
    CResourceException() = default;
    explicit CResourceException(BOOL bAutoDelete) : CException(bAutoDelete) {}
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) const override;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowUserException();
[[noreturn]] void AfxThrowResourceException();

// Copies a text into a caller's buffer the way GetErrorMessage does: truncated to nMax - 1
// bytes without splitting a UTF-8 sequence, always terminated when nMax > 0.
void AfxCopyErrorText(LPTSTR lpszDest, UINT nMax, LPCTSTR lpszSource);

// The error text of an exception about a named file: the cause's entry of a table of texts
// (the generic entry for a cause outside it) with "%1" replaced by the file name, or by
// "an unnamed file" when there is none; copied as AfxCopyErrorText does.
void AfxCopyFileErrorText(LPTSTR lpszDest, UINT nMax, const char* const* ppszFormats, int nFormats,
                          int nCause, int nGeneric, LPCTSTR lpszFileName);

// Deletes the exception caught by a CATCH block when the block ends, as the macros promise,
// unless the block re-throws it with THROW_LAST.
class AfxExceptionLink {
public:
    explicit AfxExceptionLink(CException* pException)
        : m_pException(pException), m_nUncaught(std::uncaught_exceptions())
    {
    }
    ~AfxExceptionLink()
    {
        if (m_pException != nullptr && std::uncaught_exceptions() == m_nUncaught)
            m_pException->Delete();
    }
    AfxExceptionLink(const AfxExceptionLink&) = delete;
    AfxExceptionLink& operator=(const AfxExceptionLink&) = delete;

private:
    CException* m_pException;
    int m_nUncaught;
};

// Thin wrappers over try/catch of exception pointers. The caught exception is deleted at the
// end of its CATCH block (do not call Delete inside one); THROW_LAST passes it on instead.
#define TRY try {
#define CATCH(class_name, e) } catch (class_name* e) { AfxExceptionLink _afxExceptionLink(e);
#define AND_CATCH(class_name, e) } catch (class_name* e) { AfxExceptionLink _afxExceptionLink(e);
#define END_CATCH }
#define CATCH_ALL(e) } catch (CException* e) { AfxExceptionLink _afxExceptionLink(e);
#define AND_CATCH_ALL(e) } catch (CException* e) { AfxExceptionLink _afxExceptionLink(e);
#define END_CATCH_ALL }
#define END_TRY } catch (CException* e) { e->Delete(); }
#define THROW(e) throw e
#define THROW_LAST() throw
