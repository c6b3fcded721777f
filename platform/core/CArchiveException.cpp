// Archive exceptions and the texts shown for them.
#include "platform/core/CArchiveException.h"

#include <iterator>

IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace {

// One text per cause, in cause order; "%1" is the archive's file name.
constexpr const char* kArchiveMessages[] = {
    "No error occurred while reading or writing %1.",
    "An unexpected error occurred while reading or writing %1.",
    "%1 is open for reading and cannot be written.",
    "The end of %1 was reached before all its data was read.",
    "%1 is open for writing and cannot be read.",
    "%1 does not have the expected format.",
    "%1 holds an object of an unexpected class.",
    "%1 holds data of a version that this program cannot read.",
};

} // namespace

CArchiveException::CArchiveException(int cause, LPCTSTR lpszArchiveName)
    : m_cause(cause), m_strFileName(lpszArchiveName)
{
}

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext != nullptr)
        *pnHelpContext = 0;
    AfxCopyFileErrorText(lpszError, nMaxError, kArchiveMessages,
                         static_cast<int>(std::size(kArchiveMessages)), m_cause, genericException,
                         m_strFileName);
    return TRUE;
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}
