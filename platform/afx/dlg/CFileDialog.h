// CFileDialog: the open or save dialog as an object: filters written with '|', the default
// extension, and the chosen path taken apart.
#pragma once

#include "platform/afx/dlg/CDialog.h"
#include "platform/controls/FileDialog.h"

#include <string>

class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // lpszFilter: "Text|pattern;pattern|…||" pairs of a description and its patterns.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);

    OPENFILENAME m_ofn;

    // IDOK with a file chosen, IDCANCEL when cancelled or on an error (CommDlgExtendedError).
    INT_PTR DoModal() override;

    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
    // The chosen paths one by one (one path unless several may be chosen).
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

protected:
    BOOL m_bOpenFileDialog;
    std::string m_filter;        // the filter with NULs for '|'
    std::string m_defExt;
    std::string m_file;          // lpstrFile's buffer
    std::string m_fileTitle;
};
