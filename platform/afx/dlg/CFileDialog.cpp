// CFileDialog: the record filled for the dialog, and the answer read back from it.
#include "platform/afx/dlg/CFileDialog.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CFileDialog, CDialog)

namespace {

// Room for a long path, or several names when many may be chosen.
constexpr size_t kFileBuffer = 4096;
constexpr size_t kMultiFileBuffer = 65536;

} // namespace

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_ofn{}, m_bOpenFileDialog(bOpenFileDialog)
{
    m_pParentWnd = pParentWnd;
    m_ofn.lStructSize = sizeof(OPENFILENAME);
    m_ofn.Flags = dwFlags | OFN_EXPLORER;
    m_file.assign((dwFlags & OFN_ALLOWMULTISELECT) ? kMultiFileBuffer : kFileBuffer, '\0');
    if (lpszFileName)
        std::strncpy(m_file.data(), lpszFileName, m_file.size() - 1);
    m_ofn.lpstrFile = m_file.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_file.size());
    m_fileTitle.assign(kFileBuffer, '\0');
    m_ofn.lpstrFileTitle = m_fileTitle.data();
    m_ofn.nMaxFileTitle = static_cast<DWORD>(m_fileTitle.size());
    if (lpszDefExt) {
        m_defExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_defExt.c_str();
    }
    if (lpszFilter) {
        // "a|b|c|d||" becomes "a\0b\0c\0d\0\0".
        m_filter = lpszFilter;
        for (char& c : m_filter)
            if (c == '|')
                c = '\0';
        m_filter.push_back('\0');
        m_filter.push_back('\0');
        m_ofn.lpstrFilter = m_filter.c_str();
    }
}

INT_PTR CFileDialog::DoModal()
{
    m_ofn.hwndOwner = PreModal();
    // The buffers may have moved if the object was copied into place; point at them again.
    m_ofn.lpstrFile = m_file.data();
    m_ofn.lpstrFileTitle = m_fileTitle.data();
    const BOOL chosen = m_bOpenFileDialog ? ::GetOpenFileName(&m_ofn) : ::GetSaveFileName(&m_ofn);
    return chosen ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT))
        return CString(m_ofn.lpstrFile);
    POSITION pos = GetStartPosition();
    return pos ? GetNextPathName(pos) : CString();
}

CString CFileDialog::GetFileName() const
{
    const CString path = GetPathName();
    const int slash = path.ReverseFind('/');
    return slash < 0 ? path : path.Mid(slash + 1);
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot <= 0 ? name : name.Left(dot);
}

POSITION CFileDialog::GetStartPosition() const
{
    return m_ofn.lpstrFile && *m_ofn.lpstrFile ? reinterpret_cast<POSITION>(m_ofn.lpstrFile) : nullptr;
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    const char* at = reinterpret_cast<const char*>(pos);
    if (!at) {
        return CString();
    }
    const char* first = m_ofn.lpstrFile;
    // One path, or (several chosen) the folder first and then each name after a NUL.
    const bool multiple = (m_ofn.Flags & OFN_ALLOWMULTISELECT) && first[std::strlen(first) + 1] != '\0';
    if (!multiple) {
        pos = nullptr;
        return CString(first);
    }
    if (at == first)
        at += std::strlen(first) + 1;
    CString folder(first);
    CString path = folder + (folder.Right(1) == "/" ? "" : "/") + at;
    const char* next = at + std::strlen(at) + 1;
    pos = *next ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : nullptr;
    return path;
}
