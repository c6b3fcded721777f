#include "engine/project/CFileWrapper.h"

#include "platform/core/CFileException.h"
#include "platform/core/FileOperations.h"

#include <memory>
#include <sys/stat.h>

namespace {

constexpr LPCTSTR kUnknownError = "Unknown error message.";

CString FileMessageOf(const CException& e, UINT nMax)
{
    std::unique_ptr<char[]> buffer(new char[nMax + 1]());
    if (!e.GetErrorMessage(buffer.get(), nMax + 1) || buffer[0] == '\0')
        return CString(kUnknownError);
    return CString(buffer.get());
}

} // namespace

void CFileWrapper::SetFilePath(LPCTSTR lpszNewName)
{
    m_strFileName = lpszNewName;
}

UINT CFileWrapper::OpenStoredPath(UINT nOpenFlags, CFileException* pError)
{
    return Open(m_strPath, nOpenFlags, pError) ? 0 : 1;
}

UINT CFileWrapper::OpenWithMessage(UINT nOpenFlags, CString& strMessage)
{
    CFileException error;
    if (Open(m_strPath, nOpenFlags, &error))
        return 0;
    strMessage = FileMessageOf(error, 1000);
    return 1;
}

UINT CFileWrapper::WriteWithMessage(const void* lpBuffer, UINT nCount, CString& strMessage)
{
    try {
        Write(lpBuffer, nCount);
    } catch (CFileException* e) {
        strMessage = FileMessageOf(*e, 1024);
        e->Delete();
        return 1;
    }
    return 0;
}

UINT CFileWrapper::Rename(const CString& strNewPath, CString& strMessage)
{
    try {
        CFile::Rename(m_strPath, strNewPath);
        m_strPath = strNewPath;
        return 0;
    } catch (CFileException* e) {
        strMessage = FileMessageOf(*e, 1024);
        e->Delete();
    }
    // The copy goes through a temporary file beside the target, so a copy that fails part-way
    // leaves the file that was there untouched.
    if (!::CopyFile(m_strPath, strNewPath, FALSE))
        return 1;
    try {
        CFile::Remove(m_strPath);
    } catch (CFileException* e) {
        e->Delete();
        return 1;
    }
    m_strPath = strNewPath;
    strMessage.Empty();
    return 0;
}

UINT CFileWrapper::GetAccessState()
{
    const BOOL bWasOpen = m_hFile != hFileNull;
    if (!bWasOpen && !Open(m_strPath, CFile::modeRead | CFile::shareDenyNone))
        return 1;
    CFileStatus status;
    const BOOL bGotStatus = GetStatus(status);
    if (!bWasOpen)
        Abort();
    if (!bGotStatus)
        return 1;
    return (status.m_attribute & CFile::readOnly) != 0 ? 2 : 3;
}

UINT CFileWrapper::GetFileName(CString& strName) const
{
    const int nSlash = m_strPath.ReverseFind('/');
    strName = nSlash < 0 ? m_strPath : m_strPath.Mid(nSlash + 1);
    return 0;
}

UINT CFileWrapper::GetFolder(CString& strFolder) const
{
    const int nSlash = m_strPath.ReverseFind('/');
    if (nSlash < 0)
        return 1;
    strFolder = m_strPath.Left(nSlash + 1);
    return 0;
}

UINT CFileWrapper::FileExists(const CString& strPath)
{
    struct stat info {};
    return ::stat(strPath, &info) == 0 && !S_ISDIR(info.st_mode) ? 2 : 3;
}

UINT CFileWrapper::Delete(CString& strMessage)
{
    try {
        CFile::Remove(m_strPath);
    } catch (CFileException* e) {
        e->Delete();
        strMessage.Format("Could not delete file '%s'.", m_strPath);
        return 1;
    }
    return 0;
}
